#include "MeterPhysics.h"

#include <algorithm>
#include <cmath>

namespace {

// A typical spectrum of a mixed office load: strong low odd orders, weak even ones.
double BaseCurrentHarmonic(int n) {
    switch (n) {
    case 3:
        return 8.0;
    case 5:
        return 6.0;
    case 7:
        return 4.0;
    case 9:
        return 2.0;
    case 11:
        return 2.5;
    case 13:
        return 2.0;
    default:
        return n % 2 ? 12.0 / n : 0.4;
    }
}

double BaseVoltageHarmonic(int n) {
    switch (n) {
    case 3:
        return 1.5;
    case 5:
        return 1.2;
    case 7:
        return 0.8;
    default:
        return n % 2 ? 2.0 / n : 0.1;
    }
}

} // namespace

FeederLoad FeederLoadFor(int address, int firstAddress) {
    if (address == firstAddress)
        return {};
    // Steps that are prime to the spans, so neighbouring addresses differ in all three.
    return {222.0 + double((address * 7) % 17), 4.1 + 0.2 * double((address * 3) % 10),
            12.0 + double((address * 5) % 14)};
}

MeterPhysics::MeterPhysics(std::uint32_t seed, const FeederLoad& feeder)
    : rng_(seed), feeder_(feeder) {
    std::uniform_real_distribution<double> spread(-1.0, 1.0);
    for (auto& p : state_.phases) {
        p.volts = feeder_.volts + 1.5 * spread(rng_);
        p.amps = feeder_.amps + 0.2 * spread(rng_);
        p.lagDegrees = feeder_.lagDegrees + 3.0 * spread(rng_);
    }
    state_.frequencyHz = 50.0 + 0.02 * spread(rng_);
    state_.temperatureC = 35.0 + spread(rng_);
    for (int ph = 0; ph < 3; ++ph) {
        for (int n = 2; n <= 31; ++n) {
            state_.voltageHarmonics[ph][n] = BaseVoltageHarmonic(n) * (1.0 + 0.1 * spread(rng_));
            state_.currentHarmonics[ph][n] = BaseCurrentHarmonic(n) * (1.0 + 0.1 * spread(rng_));
        }
    }
}

double MeterPhysics::loadShare() const {
    if (!(loadCycleS_ > 0))
        return 1.0;
    constexpr double kPi = 3.14159265358979323846;
    const double phase = std::fmod(elapsedS_, loadCycleS_) / loadCycleS_;
    // Low for the first third, a switch-on peak, then full load easing off.
    if (phase < 1.0 / 3.0)
        return 0.2;
    const double on = (phase - 1.0 / 3.0) * 1.5; // 0..1 over the rest of the cycle
    const double inrush = on < 0.02 ? 0.3 : 0.0;
    return 0.2 + 0.8 * std::sin(kPi * std::min(1.0, 0.15 + on)) + inrush;
}

double MeterPhysics::drift(double value, double mean, double pull, double sigma, double dt) {
    return value + (mean - value) * std::min(1.0, pull * dt) +
           sigma * std::sqrt(dt) * normal_(rng_);
}

void MeterPhysics::advance(double dt) {
    if (!(dt > 0.0))
        return;
    // A long pause is walked in steps so the mean reversion stays stable.
    while (dt > 10.0) {
        advance(10.0);
        dt -= 10.0;
    }
    elapsedS_ += dt;
    // With a load cycle the currents follow it quickly; the voltages sag under it.
    const double share = loadShare();
    const double meanAmps = loadCycleS_ > 0 ? feeder_.amps * share : feeder_.amps;
    const double meanVolts = loadCycleS_ > 0 ? feeder_.volts + 3.0 - 6.0 * share : feeder_.volts;
    const double ampsPull = loadCycleS_ > 0 ? 2.0 : 0.05;
    // The load changes its character now and then: mostly inductive, at times
    // compensated into the capacitive region for a while.
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double switchRate = state_.capacitive ? 1.0 / 60.0 : 1.0 / 300.0;
    if (unit(rng_) < switchRate * dt)
        state_.capacitive = !state_.capacitive;

    for (auto& p : state_.phases) {
        p.volts = std::clamp(drift(p.volts, meanVolts, 0.05, 0.3, dt), 220.0, 240.0);
        p.amps = loadCycleS_ > 0
                     ? std::clamp(drift(p.amps, meanAmps, ampsPull, 0.05, dt), 0.5, 7.0)
                     : std::clamp(drift(p.amps, meanAmps, ampsPull, 0.05, dt), 4.0, 6.0);
        const double lag =
            std::clamp(drift(std::abs(p.lagDegrees), feeder_.lagDegrees, 0.05, 0.5, dt),
                       MinLagDegrees, MaxLagDegrees);
        p.lagDegrees = state_.capacitive ? -lag : lag;
    }
    state_.frequencyHz = std::clamp(drift(state_.frequencyHz, 50.0, 0.1, 0.005, dt), 49.9, 50.1);
    state_.temperatureC = std::clamp(drift(state_.temperatureC, 35.0, 0.01, 0.05, dt), 30.0, 40.0);
    for (int ph = 0; ph < 3; ++ph) {
        for (int n = 2; n <= 31; ++n) {
            auto& v = state_.voltageHarmonics[ph][n];
            v = std::max(0.0,
                         drift(v, BaseVoltageHarmonic(n), 0.1, 0.01 * BaseVoltageHarmonic(n), dt));
            auto& i = state_.currentHarmonics[ph][n];
            i = std::max(0.0,
                         drift(i, BaseCurrentHarmonic(n), 0.1, 0.02 * BaseCurrentHarmonic(n), dt));
        }
    }
}
