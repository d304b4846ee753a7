#include "MeterModel.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <cmath>
#include <numbers>
#include <vector>

using namespace MeterReg;

namespace {

constexpr std::int64_t Start = 1'780'000'000'000; // a fixed moment in 2026

std::int16_t Signed(std::uint16_t v) {
    return static_cast<std::int16_t>(v);
}

std::int32_t Long(const MeterModel& m, std::uint16_t reg) {
    return static_cast<std::int32_t>((std::uint32_t{m.reg(reg)} << 16) | m.reg(reg + 1));
}

std::vector<std::uint16_t> Read(const MeterModel& m, std::uint16_t start, std::uint16_t count) {
    std::vector<std::uint16_t> out;
    EXPECT_EQ(m.readRegisters(start, count, out), MeterError::None) << std::hex << start;
    return out;
}

// Runs the meter on in steps, calling `check` after each.
template <typename F>
void RunMeter(MeterModel& m, std::int64_t& now, int steps, int stepMs, F check) {
    for (int k = 0; k < steps; ++k) {
        now += stepMs;
        m.advance(now);
        check();
    }
}

} // namespace

TEST(MeterModel, LiveQuantitiesStayPhysicallyConsistent) {
    MeterModel m({.seed = 3}, Start);
    std::int64_t now = Start;
    bool sawCapacitive = false, sawInductive = false;
    // Two simulated hours, long enough for the load to change character.
    RunMeter(m, now, 7200, 1000, [&] {
        const double f = m.reg(Frequency);
        ASSERT_GE(f, 4990);
        ASSERT_LE(f, 5010);
        double pSum = 0, qSum = 0, sSum = 0;
        for (int k = 0; k < 3; ++k) {
            const double v = m.reg(V1 + k) / 10.0;
            const double i = m.reg(I1 + k) / 1000.0;
            const double p = Signed(m.reg(P1 + k));
            const double q = Signed(m.reg(Q1 + k));
            const double s = m.reg(S1 + k);
            const double pf = Signed(m.reg(Pf1 + k)) / 1000.0;
            ASSERT_GE(v, 220.0);
            ASSERT_LE(v, 240.0);
            ASSERT_GE(i, 4.0);
            ASSERT_LE(i, 6.0);
            ASSERT_NEAR(s, v * i, 1.5);
            ASSERT_NEAR(p, v * i * pf, 2.0);
            ASSERT_NEAR(s * s, p * p + q * q, 3.0 * s); // each register rounds
            ASSERT_GE(pf, 0.899);
            ASSERT_LE(pf, 0.981);
            pSum += p;
            qSum += q;
            sSum += s;
        }
        ASSERT_NEAR(Signed(m.reg(P1 + 3)), pSum, 2.0);
        ASSERT_NEAR(Signed(m.reg(Q1 + 3)), qSum, 2.0);
        ASSERT_NEAR(m.reg(S1 + 3), sSum, 2.0);
        // Balanced three-phase system: line voltages are sqrt(3) larger.
        const double avgPhase = m.reg(V1 + 3) / 10.0;
        const double avgLine = m.reg(V1 + 7) / 10.0;
        ASSERT_NEAR(avgLine / avgPhase, std::numbers::sqrt3, 0.02);
        // The load letter agrees with the sign of the reactive power.
        const auto letter = m.reg(LoadType);
        if (Signed(m.reg(Q1 + 3)) < 0) {
            ASSERT_EQ(letter, 'C');
            sawCapacitive = true;
        } else {
            ASSERT_EQ(letter, 'L');
            sawInductive = true;
        }
        const int temp = Signed(m.reg(Temperature));
        ASSERT_GE(temp, 300);
        ASSERT_LE(temp, 400);
    });
    EXPECT_TRUE(sawCapacitive);
    EXPECT_TRUE(sawInductive);
}

TEST(MeterModel, MetersOnOtherFeedersOfTheLineMeasureOtherValues) {
    // The first meter of the line keeps the default feeder; four more on the same seed
    // differ from it and from each other in voltage, current and power factor, and stay
    // within what a meter on a real feeder shows.
    std::vector<std::array<double, 3>> seen;
    for (int address : {1, 2, 3, 4, 17}) {
        SCOPED_TRACE(address);
        MeterConfig config{.address = address, .seed = 5};
        config.feeder = FeederLoadFor(address, 1);
        if (address == 1) {
            EXPECT_EQ(config.feeder.volts, FeederLoad{}.volts);
            EXPECT_EQ(config.feeder.amps, FeederLoad{}.amps);
        }
        MeterModel m(config, Start);
        std::int64_t now = Start;
        RunMeter(m, now, 60, 1000, [] {});
        const std::array<double, 3> values{m.reg(V1) / 10.0, m.reg(I1) / 1000.0,
                                           Signed(m.reg(Pf1)) / 1000.0};
        EXPECT_GE(values[0], 220.0);
        EXPECT_LE(values[0], 240.0);
        EXPECT_GE(values[1], 4.0);
        EXPECT_LE(values[1], 6.0);
        EXPECT_GE(std::abs(values[2]), 0.89);
        for (const auto& other : seen) {
            EXPECT_GT(std::abs(values[0] - other[0]), 0.5);
            EXPECT_GT(std::abs(values[1] - other[1]), 0.05);
        }
        seen.push_back(values);
    }
}

TEST(MeterModel, PhaseAnglesDescribeTheBalancedSystem) {
    MeterModel m({.seed = 5}, Start);
    std::int64_t now = Start;
    RunMeter(m, now, 600, 1000, [&] {
        ASSERT_NEAR(m.reg(PhaseAngles + 0), 1200, 1); // V2 - V1
        ASSERT_NEAR(m.reg(PhaseAngles + 1), 2400, 1); // V3 - V1
        // Line voltages lean a little with unequal phase voltages.
        ASSERT_NEAR(m.reg(PhaseAngles + 5), 1200, 30); // V23 - V12
        // I1 - V1 is the load angle of phase 1, lagging or leading.
        const double lag = std::acos(Signed(m.reg(Pf1)) / 1000.0) * 180 / std::numbers::pi;
        const double expected = Signed(m.reg(Q1)) >= 0 ? lag : 360 - lag;
        ASSERT_NEAR(m.reg(PhaseAngles + 2) / 10.0, expected, 0.3);
        // I1 - V12: V12 = V1 - V2 leads V1 by about 30 degrees.
        const double v1 = m.reg(V1), v2 = m.reg(V1 + 1);
        const double lead = std::atan2(v2 * std::sin(2 * std::numbers::pi / 3), v1 + v2 / 2) * 180 /
                            std::numbers::pi;
        ASSERT_NEAR(lead, 30.0, 3.0);
        double viaLine = expected + lead;
        if (viaLine >= 360)
            viaLine -= 360;
        ASSERT_NEAR(m.reg(PhaseAngles + 6) / 10.0, viaLine, 0.3);
    });
}

TEST(MeterModel, WiringFaultsShowInAnglesAndMagnitudes) {
    // The angles behind V1 of V2, V3, I1, I2, I3 that each fault gives: a base angle, plus
    // for a current the load angle of the phase whose current it really carries.
    struct Angle {
        double base;
        int loadOf = -1; // phase 0..2, or -1 for a voltage
    };
    const struct {
        WiringFault fault;
        Angle angles[5];
        int deadVoltage; // phase without voltage, or -1
    } cases[] = {
        {WiringFault::None, {{120}, {240}, {0, 0}, {120, 1}, {240, 2}}, -1},
        {WiringFault::ReversedCt1, {{120}, {240}, {180, 0}, {120, 1}, {240, 2}}, -1},
        {WiringFault::ReversedCt3, {{120}, {240}, {0, 0}, {120, 1}, {60, 2}}, -1},
        {WiringFault::SwappedCt12, {{120}, {240}, {120, 1}, {0, 0}, {240, 2}}, -1},
        {WiringFault::SwappedCt31, {{120}, {240}, {240, 2}, {120, 1}, {0, 0}}, -1},
        {WiringFault::SwappedPhases23, {{240}, {120}, {0, 0}, {240, 2}, {120, 1}}, -1},
        {WiringFault::MissingV2, {{0}, {240}, {0, 0}, {120, 1}, {240, 2}}, 1},
    };
    for (const auto& c : cases) {
        MeterModel m({.seed = 7, .wiring = c.fault}, Start);
        const auto& phases = m.physics().phases;
        for (int k = 0; k < 5; ++k) {
            const Angle a = c.angles[k];
            const double want = a.base + (a.loadOf >= 0 ? phases[a.loadOf].lagDegrees : 0.0);
            const double got = m.reg(PhaseAngles + k) / 10.0;
            const double diff = std::fmod(std::abs(got - want) + 360.0, 360.0);
            EXPECT_LT(std::min(diff, 360 - diff), 0.2)
                << "fault " << int(c.fault) << " angle " << k << ": " << got << " vs " << want;
        }
        for (int k = 0; k < 3; ++k) {
            EXPECT_GT(m.reg(I1 + k), 3000) << int(c.fault);
            if (k == c.deadVoltage) {
                EXPECT_EQ(m.reg(V1 + k), 0);
                EXPECT_EQ(Signed(m.reg(Pf1 + k)), 1000) << "no power without voltage";
            } else {
                EXPECT_GT(m.reg(V1 + k), 2000) << int(c.fault);
            }
        }
    }
}

TEST(MeterModel, EnergyCountersFollowActiveAndReactivePower) {
    // Primary side: a PT ratio of 100 and a CT ratio of 20 scale the counters.
    MeterModel m({.seed = 9, .ptRatio = 100, .ct1 = 100}, Start);
    std::int64_t now = Start;
    const std::int32_t impBefore = Long(m, EnergyFirst);
    const std::int32_t netBefore = Long(m, EnergyFirst + 10);
    const std::int32_t eqTotalBefore = Long(m, EnergyFirst + 12);
    double expectedKwh = 0, expectedKvarh = 0;
    RunMeter(m, now, 3600, 1000, [&] {
        expectedKwh += Signed(m.reg(P1 + 3)) * 100.0 * 20.0 / 1000.0 / 3600.0;
        expectedKvarh += std::abs(Signed(m.reg(Q1 + 3))) * 100.0 * 20.0 / 1000.0 / 3600.0;
    });
    const double gainedKwh = (Long(m, EnergyFirst) - impBefore) / 10.0;
    EXPECT_GT(gainedKwh, 1000.0);
    EXPECT_NEAR(gainedKwh, expectedKwh, expectedKwh * 0.01);
    EXPECT_NEAR((Long(m, EnergyFirst + 10) - netBefore) / 10.0, expectedKwh, expectedKwh * 0.01);
    EXPECT_NEAR((Long(m, EnergyFirst + 12) - eqTotalBefore) / 10.0, expectedKvarh,
                expectedKvarh * 0.02);
}

TEST(MeterModel, EnergyWritesClearAndPresetTheCounters) {
    MeterModel m({}, Start);
    std::vector<std::uint16_t> zeros(16, 0);
    ASSERT_EQ(m.writeRegisters(EnergyFirst, zeros), MeterError::None);
    for (int c = 0; c < EnergyCounters; ++c)
        EXPECT_EQ(Long(m, EnergyFirst + 2 * c), 0) << c;

    // 12345.6 kWh imported and a net of -1.0 kWh.
    std::vector<std::uint16_t> preset(16, 0);
    preset[0] = 0x0001;
    preset[1] = 0xE240;
    preset[10] = 0xFFFF;
    preset[11] = 0xFFF6;
    ASSERT_EQ(m.writeRegisters(EnergyFirst, preset), MeterError::None);
    EXPECT_EQ(Long(m, EnergyFirst), 123456);
    EXPECT_EQ(Long(m, EnergyFirst + 10), -10);
    // Counters keep counting from the preset.
    m.advance(Start + 3'600'000);
    EXPECT_GT(Long(m, EnergyFirst), 123456);
    // A write that reaches past the counters is refused as a whole.
    std::vector<std::uint16_t> tooLong(17, 0);
    EXPECT_EQ(m.writeRegisters(EnergyFirst, tooLong), MeterError::IllegalAddress);
    EXPECT_GT(Long(m, EnergyFirst), 123456);
}

TEST(MeterModel, CountersShowWholeTenthsOnlyAfterAReset) {
    // A capacitive load drives the net reactive counter below zero right after a reset;
    // like every counter it shows a tenth only once the whole tenth has been counted.
    MeterModel m({.seed = 3}, Start);
    std::int64_t now = Start;
    for (int k = 0; k < 7200 && Signed(m.reg(Q1 + 3)) >= 0; ++k)
        m.advance(now += 1000);
    ASSERT_LT(Signed(m.reg(Q1 + 3)), 0) << "the load never turned capacitive";
    ASSERT_EQ(m.writeRegisters(EnergyFirst, std::vector<std::uint16_t>(16, 0)), MeterError::None);
    m.advance(now += 2000);
    ASSERT_LT(Signed(m.reg(Q1 + 3)), 0);
    EXPECT_EQ(Long(m, EnergyFirst + 14), 0); // Eq_net
    EXPECT_EQ(Long(m, EnergyFirst + 6), 0);  // Eq_exp
}

TEST(MeterModel, ALoadCycleSwingsTheCurrentsAndSagsTheVoltages) {
    // An hour of a ten-minute cycle: a light load, then full load, six times over.
    MeterModel m({.seed = 5, .loadCycleSeconds = 600}, Start);
    std::int64_t now = Start;
    double lowest = 1e9, highest = 0, voltsLight = 0, voltsFull = 0;
    RunMeter(m, now, 3600, 1000, [&] {
        const double i = m.reg(I1) / 1000.0;
        lowest = std::min(lowest, i);
        if (i > highest) {
            highest = i;
            voltsFull = m.reg(V1) / 10.0;
        }
        if (i <= lowest)
            voltsLight = m.reg(V1) / 10.0;
    });
    EXPECT_LT(lowest, 1.5);
    EXPECT_GT(highest, 4.5);
    EXPECT_LT(voltsFull, voltsLight) << "the voltage sags under load";
    // Without the option the load stays steady around 5 A.
    MeterModel steady({.seed = 5}, Start);
    now = Start;
    RunMeter(steady, now, 600, 1000, [&] { ASSERT_GE(steady.reg(I1), 4000); });
}

TEST(MeterModel, MaxMinRecordsFollowTheValuesAndClearOnCommand) {
    MeterModel m({.seed = 11}, Start);
    std::int64_t now = Start;
    const bool isSigned[ExtremeRecords] = {false, false, false, false, false, false,
                                           false, false, false, true,  true,  false,
                                           true,  false, true,  true,  false};
    auto value = [&](std::uint16_t v, int r) { return isSigned[r] ? int{Signed(v)} : int{v}; };
    RunMeter(m, now, 900, 1000, [] {});
    for (int r = 0; r < ExtremeRecords; ++r) {
        const auto max = Read(m, MaxRecords + 7 * r, 7);
        const auto min = Read(m, MinRecords + 7 * r, 7);
        EXPECT_GT(value(max[0], r), value(min[0], r)) << "record " << r + 1;
        EXPECT_EQ(max[1], QDateTime::fromMSecsSinceEpoch(Start).date().year() % 100);
        EXPECT_GE(max[2], 1);
        EXPECT_LE(max[2], 12);
    }
    // Record 1 watches V1, record 14 the frequency.
    EXPECT_GE(m.reg(MaxRecords), m.reg(V1));
    EXPECT_LE(m.reg(MinRecords), m.reg(V1));
    EXPECT_GE(m.reg(MaxRecords + 7 * 13), m.reg(Frequency));

    const std::uint16_t bad = 5;
    EXPECT_EQ(m.writeRegisters(ClearStatistics, std::span(&bad, 1)), MeterError::IllegalValue);
    EXPECT_NE(m.reg(MaxRecords), m.reg(MinRecords));

    const std::uint16_t clear = CommandValue;
    ASSERT_EQ(m.writeRegisters(ClearStatistics, std::span(&clear, 1)), MeterError::None);
    for (int r = 0; r < ExtremeRecords; ++r)
        EXPECT_EQ(m.reg(MaxRecords + 7 * r), m.reg(MinRecords + 7 * r)) << r;
    EXPECT_EQ(m.reg(MaxRecords), m.reg(V1));
    EXPECT_EQ(m.reg(ClearStatistics), 0); // a command, not a setting
}

TEST(MeterModel, RunTimeCountsHundredthsOfHoursAndResets) {
    MeterModel m({}, Start);
    const std::int32_t before = Long(m, RunTime);
    EXPECT_GT(before, 0);
    m.advance(Start + 36'000'000); // ten hours
    EXPECT_NEAR(Long(m, RunTime) - before, 1000, 1);
    const std::uint16_t reset = CommandValue;
    ASSERT_EQ(m.writeRegisters(ResetRunTime, std::span(&reset, 1)), MeterError::None);
    EXPECT_EQ(Long(m, RunTime), 0);
    m.advance(Start + 36'000'000 + 360'000);
    EXPECT_EQ(Long(m, RunTime), 10);
}

TEST(MeterModel, ClockRunsFromThePcTimeAndCanBeSet) {
    MeterModel m({}, Start);
    const QDateTime pc = QDateTime::fromMSecsSinceEpoch(Start);
    EXPECT_EQ(m.reg(Clock), pc.date().year());
    EXPECT_EQ(m.reg(Clock + 4), pc.time().minute());

    const std::vector<std::uint16_t> set = {2006, 3, 1, 12, 34, 56};
    ASSERT_EQ(m.writeRegisters(Clock, set), MeterError::None);
    EXPECT_EQ(Read(m, Clock, 6), set);
    m.advance(Start + 3000);
    EXPECT_EQ(Read(m, Clock, 6), (std::vector<std::uint16_t>{2006, 3, 1, 12, 34, 59}));

    // Max/min time stamps use the meter's clock, with a two-digit year.
    const std::uint16_t clear = CommandValue;
    ASSERT_EQ(m.writeRegisters(ClearStatistics, std::span(&clear, 1)), MeterError::None);
    EXPECT_EQ(Read(m, MaxRecords + 1, 6), (std::vector<std::uint16_t>{6, 3, 1, 12, 34, 59}));

    const std::vector<std::uint16_t> feb30 = {2007, 2, 30, 0, 0, 0};
    EXPECT_EQ(m.writeRegisters(Clock, feb30), MeterError::IllegalValue);
    const std::vector<std::uint16_t> hour24 = {24};
    EXPECT_EQ(m.writeRegisters(Clock + 3, hour24), MeterError::IllegalValue);
    EXPECT_EQ(m.reg(Clock), 2006);
}

TEST(MeterModel, SettingsAreValidatedAsAWholeAndStored) {
    MeterModel m({.address = 1, .baud = 9600}, Start);
    auto settings = Read(m, SettingsFirst, 20);
    settings[Address - SettingsFirst] = 17;
    settings[Baud - SettingsFirst] = 38400;
    settings[Pt1High - SettingsFirst] = 0xB2D0;
    settings[Pt1Low - SettingsFirst] = 0x5E00; // PT1 = 3000000000, above the signed range
    ASSERT_EQ(m.writeRegisters(SettingsFirst, settings), MeterError::None);
    EXPECT_EQ(m.address(), 17);
    EXPECT_EQ(m.baud(), 38400);
    EXPECT_EQ(Read(m, SettingsFirst, 20), settings);

    // Each invalid field refuses the whole write.
    const std::pair<std::uint16_t, std::uint16_t> invalid[] = {
        {Address, 0},         {Address, 248},    {Baud, 1234},
        {VoltageWiring, 3},   {Pt2, 0},          {Ct1, 0},
        {PulseWidth, 0},      {PulseWidth, 51},  {Ro1Mode, 2},
        {BacklightTime, 121}, {DemandWindow, 0}, {DemandWindow, 31},
        {Do1Source, 9}};
    for (const auto& [reg, value] : invalid) {
        auto next = settings;
        next[Address - SettingsFirst] = 20;
        next[reg - SettingsFirst] = value;
        EXPECT_EQ(m.writeRegisters(SettingsFirst, next), MeterError::IllegalValue)
            << std::hex << reg << " = " << std::dec << value;
        EXPECT_EQ(m.address(), 17);
    }
    // Registers read with the block but not settable.
    const std::uint16_t one = 1;
    EXPECT_EQ(m.writeRegisters(0x116, std::span(&one, 1)), MeterError::IllegalAddress);
    EXPECT_EQ(m.writeRegisters(Frequency, std::span(&one, 1)), MeterError::IllegalAddress);
}

TEST(MeterModel, MomentaryRelayDropsOutLatchedRelayStays) {
    MeterModel m({}, Start);
    auto settings = Read(m, SettingsFirst, 20);
    settings[Ro1Mode - SettingsFirst] = 1;
    settings[Ro1Time - SettingsFirst] = 500;
    settings[Ro2Mode - SettingsFirst] = 0;
    ASSERT_EQ(m.writeRegisters(SettingsFirst, settings), MeterError::None);
    ASSERT_EQ(m.writeCoil(0, true), MeterError::None);
    ASSERT_EQ(m.writeCoil(1, true), MeterError::None);
    std::vector<bool> coils;
    m.advance(Start + 400);
    ASSERT_EQ(m.readCoils(0, 2, coils), MeterError::None);
    EXPECT_EQ(coils, (std::vector<bool>{true, true}));
    m.advance(Start + 600);
    ASSERT_EQ(m.readCoils(0, 2, coils), MeterError::None);
    EXPECT_EQ(coils, (std::vector<bool>{false, true}));

    EXPECT_EQ(m.writeCoil(2, true), MeterError::IllegalAddress);
    EXPECT_EQ(m.readCoils(1, 2, coils), MeterError::IllegalAddress);
    EXPECT_EQ(m.readInputs(0, 5, coils), MeterError::IllegalAddress);
}

TEST(MeterModel, InputsChangeNowAndThen) {
    MeterModel m({.seed = 2}, Start);
    std::int64_t now = Start;
    std::vector<bool> first, in;
    ASSERT_EQ(m.readInputs(0, 4, first), MeterError::None);
    int changes = 0;
    std::vector<bool> last = first;
    RunMeter(m, now, 600, 1000, [&] {
        ASSERT_EQ(m.readInputs(0, 4, in), MeterError::None);
        changes += in != last;
        last = in;
    });
    // About one change per input every half minute: plenty in ten minutes, not every second.
    EXPECT_GT(changes, 20);
    EXPECT_LT(changes, 300);
}

TEST(MeterModel, DistortionBlocksAgreeWithTheSpectrum) {
    MeterModel m({.seed = 4}, Start);
    m.advance(Start + 1000);
    for (int ph = 0; ph < 3; ++ph) {
        const auto spectrum = Read(m, CurrentSpectrum + 33 * ph, 33);
        double sum = 0;
        for (int k = 0; k < 30; ++k)
            sum += (spectrum[k] / 100.0) * (spectrum[k] / 100.0);
        const double thd = m.reg(Thd + 4 + ph) / 100.0;
        EXPECT_NEAR(thd, std::sqrt(sum), 0.05) << "phase " << ph;
        EXPECT_GT(thd, 5.0);
        EXPECT_LT(thd, 25.0);
        EXPECT_GT(spectrum[1], spectrum[0]); // the 3rd dominates the 2nd
        EXPECT_GT(spectrum[32], 10);         // K factor above 1.0
        const double vThd = m.reg(Thd + ph) / 100.0;
        EXPECT_GT(vThd, 0.5);
        EXPECT_LT(vThd, 8.0);
    }
}

TEST(MeterModel, ModelBlockCarriesVersionAndSettingsFlags) {
    MeterModel m({}, Start);
    const auto block = Read(m, Version, 34);
    EXPECT_EQ(std::string({char(block[0]), char(block[1]), char(block[2]), char(block[3])}),
              "1.20");
    EXPECT_EQ(block[SystemFrequency - Version], 0);
    EXPECT_EQ(block[DisplayMode - Version], 0);

    const std::vector<std::uint16_t> flags = {1, 1, 0};
    ASSERT_EQ(m.writeCoefficients(SystemFrequency, flags), MeterError::None);
    EXPECT_EQ(Read(m, SystemFrequency, 3), flags);
    const std::vector<std::uint16_t> badFlag = {2};
    EXPECT_EQ(m.writeCoefficients(DisplayMode, badFlag), MeterError::IllegalValue);
    EXPECT_EQ(m.writeCoefficients(RawVectors, badFlag), MeterError::IllegalAddress);
    // Coefficients are the custom function's business only.
    EXPECT_EQ(m.writeRegisters(CoefficientsFirst, badFlag), MeterError::IllegalAddress);
}

TEST(MeterModel, RegisterMapServesEveryBlockAndNothingOutside) {
    MeterModel m({}, Start);
    const std::pair<std::uint16_t, std::uint16_t> blocks[] = {
        {0x100, 34},  {0x130, 54}, {0x168, 8},  {0x1D6, 99}, {0x239, 119},
        {0x2B0, 119}, {0x32A, 6},  {0x330, 31}, {0x354, 73}, {0x39D, 8},
        {0x3A5, 2},   {0x510, 34}, {0x518, 1},  {0x51B, 25}, {0x534, 12}};
    std::vector<std::uint16_t> out;
    for (const auto& [start, count] : blocks) {
        EXPECT_EQ(m.readRegisters(start, count, out), MeterError::None) << std::hex << start;
        EXPECT_EQ(out.size(), count);
    }
    EXPECT_EQ(m.readRegisters(0x0FF, 2, out), MeterError::IllegalAddress);
    EXPECT_EQ(m.readRegisters(0x121, 2, out), MeterError::IllegalAddress);
    EXPECT_EQ(m.readRegisters(0x3A6, 2, out), MeterError::IllegalAddress);
    EXPECT_EQ(m.readRegisters(0x53F, 2, out), MeterError::IllegalAddress);
    EXPECT_EQ(m.readRegisters(0xFFFF, 1, out), MeterError::IllegalAddress);
    EXPECT_EQ(m.readRegisters(0x600, 1, out), MeterError::IllegalAddress);
}

TEST(MeterModel, AlarmRecordsAppearWhenALimitIsCrossed) {
    MeterModel m({.seed = 8}, Start);
    std::int64_t now = Start;
    // Group 2 watches V1 around its present value, so it trips and resets as
    // the voltage wanders; group 1 watches frequency above 40 Hz with a 3 s delay.
    std::vector<std::uint16_t> config(31, 0);
    config[0] = 0b11;
    config[1] = 10; // 3000 ms
    config[4] = 0;  // F
    config[5] = 1;  // above
    config[6] = 4000;
    config[7] = 1; // V1
    config[8] = 1;
    config[9] = m.reg(V1);
    ASSERT_EQ(m.writeRegisters(AlarmEnable, config), MeterError::None);
    EXPECT_EQ(Read(m, AlarmEnable, 31), config);

    RunMeter(m, now, 2, 1000, [] {});
    EXPECT_EQ(m.reg(AlarmState) & 1, 0) << "frequency alarm before its delay";
    RunMeter(m, now, 2, 1000, [] {});
    EXPECT_EQ(m.reg(AlarmState) & 1, 1);

    RunMeter(m, now, 600, 1000, [] {});
    const auto block = Read(m, AlarmState, 73);
    int alarms = 0, resets = 0;
    for (int r = 0; r < 9; ++r) {
        if (block[4 + 8 * r] == 0)
            break; // no more records: the month of a real one is at least 1
        const std::uint16_t event = block[1 + 8 * r];
        const std::uint16_t item = event & 0x7FFF;
        ASSERT_TRUE(item == 0 || item == 1) << "record " << r + 1;
        (event & 0x8000 ? resets : alarms) += 1;
        if (item == 1) {
            EXPECT_GE(block[2 + 8 * r], 2200);
            EXPECT_LE(block[2 + 8 * r], 2400);
        }
    }
    EXPECT_GT(alarms, 0);
    EXPECT_GT(resets, 0);
    // The newest V1 record tells the group's present state.
    for (int r = 0; r < 9; ++r) {
        if ((block[1 + 8 * r] & 0x7FFF) == 1) {
            EXPECT_EQ(bool(block[0] & 2), !(block[1 + 8 * r] & 0x8000));
            break;
        }
    }
    // New parameters start the records afresh; invalid ones are refused.
    std::vector<std::uint16_t> off(31, 0);
    ASSERT_EQ(m.writeRegisters(AlarmEnable, off), MeterError::None);
    EXPECT_EQ(Read(m, AlarmState, 73), std::vector<std::uint16_t>(73, 0));
    const std::uint16_t badItem = 35;
    EXPECT_EQ(m.writeRegisters(AlarmGroups, std::span(&badItem, 1)), MeterError::IllegalValue);
}

TEST(MeterModel, ANewLimitThatClearsAnActiveAlarmRecordsItsReset) {
    MeterModel m({.seed = 8}, Start);
    // Group 1: V1 above 200.0 V, no delay; the phases run near 230 V.
    std::vector<std::uint16_t> config(31, 0);
    config[0] = 1;
    config[4] = 1;
    config[5] = 1;
    config[6] = 2000;
    ASSERT_EQ(m.writeRegisters(AlarmEnable, config), MeterError::None);
    EXPECT_EQ(m.reg(AlarmState), 1);
    EXPECT_EQ(m.reg(AlarmRecords), 1);

    // Another group's parameters: the alarm goes on, the records start afresh.
    const std::uint16_t group2[3] = {0, 1, 5000};
    ASSERT_EQ(m.writeRegisters(AlarmGroups + 3, group2), MeterError::None);
    EXPECT_EQ(m.reg(AlarmState), 1);
    EXPECT_EQ(Read(m, AlarmRecords, 8), std::vector<std::uint16_t>(8, 0));

    // A limit above the voltage ends it, and that is its reset record.
    const std::uint16_t higher = 3000;
    ASSERT_EQ(m.writeRegisters(AlarmGroups + 2, std::span(&higher, 1)), MeterError::None);
    EXPECT_EQ(m.reg(AlarmState), 0);
    const auto record = Read(m, AlarmRecords, 8);
    EXPECT_EQ(record[0], 0x8001);
    EXPECT_EQ(record[1], m.reg(V1));
    EXPECT_GE(record[3], 1) << "month of the reset";

    // Switching a group in alarm off ends its watch without a record.
    ASSERT_EQ(m.writeRegisters(AlarmEnable, config), MeterError::None);
    ASSERT_EQ(m.reg(AlarmState), 1);
    const std::uint16_t off = 0;
    ASSERT_EQ(m.writeRegisters(AlarmEnable, std::span(&off, 1)), MeterError::None);
    EXPECT_EQ(Read(m, AlarmState, 73), std::vector<std::uint16_t>(73, 0));
}

// Calibrates like the factory window does: averages the raw vectors' error
// against the reference and adds it to the coefficients of the range in use.
// Both bench set-ups: 380 V with rated current, and 100 V with 10 % current.
TEST(MeterModel, CalibrationCorrectionsShrinkTheRawVectorError) {
    struct Bench {
        bool pt380;
        int percent;
        double refV, refI;
        std::uint16_t gainRegs[6];
        std::uint16_t angleRegs[6];
    };
    const Bench benches[] = {
        {true,
         100,
         3800,
         5000,
         {0x520, 0x521, 0x522, 0x523, 0x524, 0x525},
         {0, 0x52D, 0x52F, 0x52C, 0x52E, 0x530}},
        {false,
         10,
         1000,
         500,
         {0x51B, 0x51C, 0x51D, 0x526, 0x527, 0x528},
         {0, 0x51E, 0x51F, 0x531, 0x532, 0x533}},
    };
    for (const Bench& bench : benches) {
        SCOPED_TRACE(bench.pt380 ? "380 V, 100 %" : "100 V, 10 %");
        MeterModel m({.seed = 6, .referenceCurrentPercent = bench.percent}, Start);
        const std::uint16_t ptType = bench.pt380 ? 1 : 0;
        ASSERT_EQ(m.writeCoefficients(PtType, std::span(&ptType, 1)), MeterError::None);
        std::int64_t now = Start;
        std::array<double, 6> gainFix{}, angleFix{};
        auto measure = [&](double& worstGain, double& worstAngle) {
            gainFix = {};
            angleFix = {};
            const int reads = 50;
            RunMeter(m, now, reads, 1000, [&] {
                const auto raw = Read(m, RawVectors, 12);
                double angleA = 0;
                for (int ch = 0; ch < 6; ++ch) {
                    const double re = Signed(raw[2 * ch]), im = Signed(raw[2 * ch + 1]);
                    const double ref = ch < 3 ? bench.refV : bench.refI;
                    gainFix[ch] += (ref - std::hypot(re, im)) / ref * 65535 / reads;
                    double a = std::atan2(im, re) * 180 / std::numbers::pi;
                    if (a < 0)
                        a += 360;
                    if (ch == 0)
                        angleA = a;
                    double d = a - angleA;
                    while (d < -90)
                        d += 360;
                    while (d > 270)
                        d -= 360;
                    angleFix[ch] += ((ch % 3) * 120.0 - d) / reads;
                }
            });
            worstGain = worstAngle = 0;
            for (int ch = 0; ch < 6; ++ch) {
                worstGain = std::max(worstGain, std::abs(gainFix[ch]) / 65535);
                worstAngle = std::max(worstAngle, std::abs(angleFix[ch]));
            }
        };
        double gainBefore, angleBefore, gainAfter, angleAfter;
        measure(gainBefore, angleBefore);
        EXPECT_GT(gainBefore, 0.002);
        EXPECT_GT(angleBefore, 0.05);

        for (int ch = 0; ch < 6; ++ch) {
            const auto g = static_cast<std::uint16_t>(Signed(m.reg(bench.gainRegs[ch])) +
                                                      std::lround(gainFix[ch]));
            ASSERT_EQ(m.writeCoefficients(bench.gainRegs[ch], std::span(&g, 1)), MeterError::None);
            if (bench.angleRegs[ch]) {
                const auto a = static_cast<std::uint16_t>(Signed(m.reg(bench.angleRegs[ch])) +
                                                          std::lround(angleFix[ch] * 1000));
                ASSERT_EQ(m.writeCoefficients(bench.angleRegs[ch], std::span(&a, 1)),
                          MeterError::None);
            }
        }
        measure(gainAfter, angleAfter);
        EXPECT_LT(gainAfter, gainBefore / 5);
        // One count of noise weighs ten times more on the 10 % current.
        EXPECT_LT(gainAfter, bench.percent == 100 ? 0.0005 : 0.003);
        EXPECT_LT(angleAfter, angleBefore / 5);
        EXPECT_LT(angleAfter, bench.percent == 100 ? 0.03 : 0.2);
    }
}

// On the bench the live block is what the channels measure of the reference: a meter
// fresh from the factory agrees with the bench at both references; --miscalibrate puts
// voltage B 2 % high and current C 1.5 degrees ahead until its coefficients are corrected.
TEST(MeterModel, BenchMeterShowsTheReferenceUnlessMiscalibrated) {
    struct Case {
        const char* name;
        bool pt380;
        int percent;
        bool miscalibrated;
        double volts, amps;      // register units: 0.1 V and mA
        double v2, v12, q3, pf3; // what V2, V12, Q3 and PF3 show
    };
    const double q = 3800.0 * 5000.0 / 10000.0 * std::sin(-1.5 * std::numbers::pi / 180);
    const Case cases[] = {
        {"380 V 100 %", true, 100, false, 3800, 5000, 3800, 6581.8, 0, 1000},
        {"100 V 10 %", false, 10, false, 1000, 500, 1000, 1732.1, 0, 1000},
        {"380 V 100 % miscalibrated", true, 100, true, 3800, 5000, 3876, 6647.7, q, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MeterModel m({.seed = 9,
                      .referenceCurrentPercent = c.percent,
                      .onBench = true,
                      .benchPt380 = c.pt380,
                      .miscalibrated = c.miscalibrated},
                     Start);
        EXPECT_EQ(m.reg(PtType), c.pt380 ? 1 : 0);
        std::int64_t now = Start;
        RunMeter(m, now, 20, 500, [&] {
            // Raw vectors carry a count of noise; the live values follow them.
            EXPECT_NEAR(m.reg(V1), c.volts, 3);
            EXPECT_NEAR(m.reg(V1 + 1), c.v2, 4);
            EXPECT_NEAR(m.reg(V1 + 2), c.volts, 3);
            EXPECT_NEAR(m.reg(V1 + 4), c.v12, 6);
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(m.reg(I1 + k), c.amps, 3) << k;
            EXPECT_NEAR(Signed(m.reg(Q1 + 2)), c.q3, 3);
            EXPECT_NEAR(Signed(m.reg(Pf1 + 2)), c.pf3, 1);
        });
    }

    // Correcting the two drifted coefficients brings the channels back to the bench.
    MeterModel m({.seed = 9, .onBench = true, .miscalibrated = true}, Start);
    const auto gain = static_cast<std::uint16_t>(Signed(m.reg(0x521)) - 1311);
    const auto angle = static_cast<std::uint16_t>(Signed(m.reg(0x530)) - 1500);
    ASSERT_EQ(m.writeCoefficients(0x521, std::span(&gain, 1)), MeterError::None);
    ASSERT_EQ(m.writeCoefficients(0x530, std::span(&angle, 1)), MeterError::None);
    EXPECT_NEAR(m.reg(V1 + 1), 3800, 4);
    EXPECT_NEAR(Signed(m.reg(Q1 + 2)), 0, 3);
}

TEST(MeterModel, SameSeedAndTimesGiveTheSameMeter) {
    MeterModel a({.seed = 42}, Start), b({.seed = 42}, Start), c({.seed = 43}, Start);
    for (int k = 1; k <= 100; ++k) {
        a.advance(Start + 700 * k);
        b.advance(Start + 700 * k);
        c.advance(Start + 700 * k);
    }
    EXPECT_EQ(Read(a, 0x130, 54), Read(b, 0x130, 54));
    EXPECT_EQ(Read(a, 0x534, 12), Read(b, 0x534, 12));
    EXPECT_NE(Read(a, 0x130, 54), Read(c, 0x130, 54));
}
