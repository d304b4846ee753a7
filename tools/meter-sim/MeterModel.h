#pragma once

#include "MeterPhysics.h"
#include "MeterRegisters.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// Modbus exception codes the meter answers with.
enum class MeterError : std::uint8_t {
    None = 0,
    IllegalFunction = 1,
    IllegalAddress = 2,
    IllegalValue = 3,
};

// A connection fault of the installation: the meter measures its inputs as they are
// wired, so its voltages, currents, powers and phase angles show the fault.
enum class WiringFault : std::uint8_t {
    None,
    ReversedCt1, // CT of phase 1 turned round (S1 and S2 swapped)
    ReversedCt2,
    ReversedCt3,
    SwappedCt12, // the CTs of phases 1 and 2 on each other's current inputs
    SwappedCt23,
    SwappedCt31,
    SwappedPhases23, // phases 2 and 3 exchanged, voltage and current together
    MissingV1,       // no voltage on V1 (blown fuse, loose lead)
    MissingV2,
    MissingV3,
};

struct MeterConfig {
    int address = 1;
    int baud = 9600;
    std::uint32_t seed = 1;
    // The load of the feeder the meter measures.
    FeederLoad feeder{};
    double ptRatio = 1.0; // PT1 / PT2, with PT2 fixed at 100 V
    int ct1 = 5;          // CT primary; the secondary is 5 A
    // Current the calibration bench feeds, in percent of rated (10 or 100); the
    // bench voltage follows the PT type register (100 V or 380 V).
    int referenceCurrentPercent = 100;
    // The meter sits on the calibration bench (--reference): its PT type starts at
    // 380 V or 100 V as the bench feeds, its factory calibration matches its channels,
    // and its live block shows what the channels measure.
    bool onBench = false;
    bool benchPt380 = true;
    // The factory calibration no longer matches two channels (--miscalibrate): voltage
    // B reads 2 % high and current C 1.5 degrees ahead.
    bool miscalibrated = false;
    WiringFault wiring = WiringFault::None;
    // The feeder exports (--export): a solar plant or generator behind the meter drives
    // every current against its voltage, as if all three CTs were turned round.
    bool exporting = false;
    // A register whose writes the meter acknowledges but does not take (--ignore-write):
    // a meter that silently keeps a setting, which only a read-back shows. -1 = none.
    int ignoredWrite = -1;
    // A load that comes and goes over this many seconds (0 = a steady load).
    double loadCycleSeconds = 0;
};

// The drift --miscalibrate gives the meter, beyond what its coefficients cancel.
constexpr double MiscalibratedGainVB = 0.02;
constexpr double MiscalibratedDegreesIC = 1.5;

// The meter's state and register image. Time comes from outside: advance() is
// given the wall-clock time in milliseconds since the epoch, so tests can run a
// meter through hours in a moment. Reads see the image as of the last advance
// or write.
class MeterModel {
public:
    MeterModel(const MeterConfig& config, std::int64_t nowMs);

    void advance(std::int64_t nowMs);

    int address() const;
    int baud() const;

    MeterError readCoils(std::uint16_t start, std::uint16_t count, std::vector<bool>& out) const;
    MeterError readInputs(std::uint16_t start, std::uint16_t count, std::vector<bool>& out) const;
    MeterError writeCoil(std::uint16_t coil, bool on);
    MeterError readRegisters(std::uint16_t start, std::uint16_t count,
                             std::vector<std::uint16_t>& out) const;
    // Functions 06 and 0x10: settings, commands, energies, clock, alarm configuration.
    MeterError writeRegisters(std::uint16_t start, std::span<const std::uint16_t> values);
    // Function 0xB0: the coefficient area.
    MeterError writeCoefficients(std::uint16_t start, std::span<const std::uint16_t> values);

    // The register image as of now (inspection by tests and the trace).
    std::uint16_t reg(std::uint16_t address) const;
    const MeterPhysicsState& physics() const { return physics_.state(); }

    // The electrical error of each raw channel (VA VB VC IA IB IC) that the
    // coefficients are meant to cancel.
    struct ChannelError {
        double gain;    // relative amplitude error
        double degrees; // phase error
    };
    const std::array<ChannelError, 6>& channelErrors() const { return channelErrors_; }

private:
    struct Energy {
        std::array<double, MeterReg::EnergyCounters> kwh{};
    };
    struct Extreme {
        std::uint16_t value = 0;
        std::array<std::uint16_t, 6> stamp{};
    };
    struct AlarmRecord {
        std::uint16_t event = 0;
        std::uint16_t value = 0;
        std::array<std::uint16_t, 6> stamp{};
    };
    struct AlarmGroupState {
        bool active = false;
        bool pending = false;
        std::int64_t pendingSinceMs = 0;
    };

    void refreshImage();
    void refreshLive();
    void refreshEnergy();
    void refreshDistortion();
    void refreshStatistics();
    void refreshClockAndRunTime();
    void refreshAlarms();
    void refreshModelBlock();
    void refreshRawVectors();
    void refreshBenchLive();
    void calibrateCoefficients();
    void updateExtremes();
    void evaluateAlarms();
    void clearExtremes();
    std::array<std::uint16_t, 6> clockStamp(bool twoDigitYear) const;
    double ptRatio() const;
    double ctRatio() const;

    MeterError writeSettings(std::uint16_t start, std::span<const std::uint16_t> values);
    MeterError writeEnergy(std::uint16_t start, std::span<const std::uint16_t> values);
    MeterError writeClock(std::uint16_t start, std::span<const std::uint16_t> values);
    MeterError writeAlarmConfig(std::uint16_t start, std::span<const std::uint16_t> values);

    MeterPhysics physics_;
    std::int64_t nowMs_;
    std::int64_t clockOffsetMs_ = 0;
    double runHours_ = 0.0;

    std::array<std::uint16_t, MeterReg::SettingsLast - MeterReg::SettingsFirst + 1> settings_{};
    std::array<bool, 2> relays_{};
    std::array<std::int64_t, 2> relayOnSinceMs_{};
    std::array<bool, 4> inputs_{};
    Energy energy_;
    std::array<double, 3> demand_{}; // P, Q, S on the secondary side
    std::array<Extreme, MeterReg::ExtremeRecords> max_{};
    std::array<Extreme, MeterReg::ExtremeRecords> min_{};
    std::array<std::uint16_t, MeterReg::AlarmLast - MeterReg::AlarmEnable + 1> alarmConfig_{};
    std::array<AlarmGroupState, MeterReg::AlarmGroupCount> alarmGroups_{};
    std::vector<AlarmRecord> alarmRecords_; // newest first, at most nine
    std::array<std::uint16_t, MeterReg::CoefficientsLast - MeterReg::CoefficientsFirst + 1>
        coefficients_{};
    std::array<ChannelError, 6> channelErrors_{};
    bool lowCurrentReference_ = false;
    bool onBench_ = false;
    WiringFault wiring_ = WiringFault::None;
    bool exporting_ = false;
    int ignoredWrite_ = -1;

    // Registers 0x000..0x53F; addresses outside the readable areas stay zero.
    std::array<std::uint16_t, MeterReg::RawVectorsLast + 1> image_{};
};
