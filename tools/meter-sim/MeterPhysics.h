#pragma once

#include <array>
#include <cstdint>
#include <random>

// The electrical state of the simulated installation on the meter's secondary
// side: three phases that wander slowly around 230 V and 5 A with a power factor
// between 0.9 and 0.98, a frequency near 50 Hz and a warm meter. Everything
// drifts as a mean-reverting random walk, so successive reads differ a little
// but stay plausible; a seed makes a run repeatable.
struct PhaseState {
    double volts = 230.0;
    double amps = 5.0;
    double lagDegrees = 18.0; // current behind voltage; negative = leading
};

struct MeterPhysicsState {
    std::array<PhaseState, 3> phases{};
    double frequencyHz = 50.0;
    double temperatureC = 35.0;
    bool capacitive = false;
    // Harmonic amplitudes in percent of the fundamental, index n = order (2..31).
    std::array<std::array<double, 32>, 3> voltageHarmonics{};
    std::array<std::array<double, 32>, 3> currentHarmonics{};
};

// What a feeder draws on average: a meter on another feeder of the same switchboard
// sees other voltages, currents and power factors. The walk wanders around these.
struct FeederLoad {
    double volts = 230.0;
    double amps = 5.0;
    double lagDegrees = 18.0;
};

// The load of the feeder behind the meter at `address` of a line: the first meter's is
// the default one; the others differ by address (volts 222..238, amps 4.1..5.9, lag
// 12..25 degrees, PF 0.91..0.98), the same on every run.
FeederLoad FeederLoadFor(int address, int firstAddress);

class MeterPhysics {
public:
    explicit MeterPhysics(std::uint32_t seed, const FeederLoad& feeder = {});

    // Moves the state on by dtSeconds (0 is allowed and changes nothing).
    void advance(double dtSeconds);

    // A load that comes and goes (0 = off, the steady load above): every `seconds` the
    // currents climb from a fifth of rated to full load and back, a short inrush peak as
    // the load switches in, and the voltages sag a little under it. For pictures and
    // trend charts of an hour that shows something.
    void setLoadCycle(double seconds) { loadCycleS_ = seconds; }
    // The share of full load the cycle asks for now (1 without a cycle).
    double loadShare() const;

    const MeterPhysicsState& state() const { return state_; }
    std::mt19937& random() { return rng_; }

private:
    double drift(double value, double mean, double pull, double sigma, double dt);

    std::mt19937 rng_;
    std::normal_distribution<double> normal_{0.0, 1.0};
    MeterPhysicsState state_;
    FeederLoad feeder_;
    double loadCycleS_ = 0;
    double elapsedS_ = 0;
};

// Power factor range the load keeps to, as lag angles in degrees.
constexpr double MinLagDegrees = 11.48; // PF 0.98
constexpr double MaxLagDegrees = 25.84; // PF 0.90
