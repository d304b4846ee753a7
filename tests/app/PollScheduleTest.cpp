#include "PollSchedule.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

// Requests of a schedule, in the order they go out, with the address of the first meter.
QStringList Take(PollSchedule& s, int count, int address = 1) {
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << s.NextMessage(address);
    return out;
}

// A schedule as it is right after "Start COMM" with the one-shot coefficient read done.
PollSchedule Started() {
    PollSchedule s;
    s.Reset();
    s.ReadCoefficientsOnce = false;
    s.Queue(5, QString()); // skip the parameter read that opens every session
    return s;
}

const QString kCoils = "01,01,00,00,00,02,00,00";
const QString kInputs = "01,02,00,00,00,04,00,00";
const QString kMetering = "01,03,01,30,00,36,00,00";
const QString kParams = "01,03,01,00,00,22,00,00";
const QString kTemp = "01,03,05,18,00,01,00,00";

} // namespace

TEST(PollSchedule, SessionStartsWithCoefficientsThenParametersThenRotation) {
    PollSchedule s;
    s.Reset();
    EXPECT_EQ(Take(s, 7), QStringList({"01,03,05,1b,00,19,00,00", kParams, kCoils, kInputs,
                                       kMetering, kParams, kTemp}));
}

TEST(PollSchedule, SixthPlaceReadsTheActiveWindowsBlocksInTurn) {
    const QString max = "01,03,02,39,00,77,00,00", min = "01,03,02,B0,00,77,00,00";
    const QString clock = "01,03,03,2a,00,06,00,00", runTime = "01,03,03,a5,00,02,00,00";
    const QString thd = "01,03,01,68,00,08,00,00", alarms = "01,03,03,54,00,49,00,00";
    const QString angles = "01,03,03,9D,00,08,00,00", spectrum = "01,03,01,D6,00,63,00,00";
    const struct {
        PollFlag flag;
        QStringList sixthPlaces; // of three rotations in a row
    } cases[] = {
        // No measurement window active: the temperature is read again.
        {PollFlag::None, {kTemp, kTemp, kTemp}},     {PollFlag::MaxMin, {max, min, max}},
        {PollFlag::Harmonics, {thd, spectrum, thd}}, {PollFlag::Alarm, {alarms, alarms, alarms}},
        {PollFlag::Angle, {angles, angles, angles}}, {PollFlag::Clock, {clock, runTime, clock}},
    };
    for (const auto& c : cases) {
        PollSchedule s = Started();
        s.SelectWindowPollFlag(c.flag);
        QStringList sixth;
        for (int cycle = 0; cycle < 3; ++cycle) {
            const QStringList rotation = Take(s, 6);
            EXPECT_EQ(rotation.mid(0, 5),
                      QStringList({kCoils, kInputs, kMetering, kParams, kTemp}));
            sixth << rotation.last();
        }
        EXPECT_EQ(sixth, c.sixthPlaces) << int(c.flag);
        EXPECT_EQ(s.RotationIndex(), 0u);
    }
    // Max/min outranks the others when several are set.
    PollSchedule s = Started();
    s.PollAngle = s.PollMaxMin = true;
    EXPECT_EQ(Take(s, 6).last(), max);
}

TEST(PollSchedule, AWriteSentBeforeAnIdleSixthPlaceIsNotRepeated) {
    // A relay command queued right after the temperature read goes out once; the sixth
    // place that follows reads the temperature, not the command again.
    PollSchedule s = Started();
    Take(s, 5);
    s.Queue(RelaySlot, "00,05,00,00,FF,00,00,00");
    EXPECT_EQ(Take(s, 3), QStringList({"01,05,00,00,FF,00,00,00", kTemp, kCoils}));
}

TEST(PollSchedule, SlotsGoFirstInSlotOrderAndALaterMessageReplacesTheEarlier) {
    PollSchedule s = Started();
    s.Queue(3, "00,10,03,30,00,01,02,00,01,00,00");
    s.Queue(2, "00,10,01,14,00,01,02,00,0A,00,00");
    s.Queue(2, "00,10,01,15,00,01,02,00,0A,00,00");
    s.Queue(1, "00,05,00,00,FF,00,00,00");
    EXPECT_EQ(Take(s, 4),
              QStringList({"01,05,00,00,FF,00,00,00", "01,10,01,15,00,01,02,00,0A,00,00",
                           "01,10,03,30,00,01,02,00,01,00,00", kCoils}));
    EXPECT_TRUE(s.Slot(2).isEmpty());
    // Slots outside 1..5 are not there.
    s.Queue(0, "x");
    s.Queue(6, "x");
    EXPECT_EQ(Take(s, 1), QStringList({kInputs}));
}

TEST(PollSchedule, CalibrationRunHoldsSlotsAndRotationUntilItEnds) {
    PollSchedule s = Started();
    s.CalibrationReadsLeft = 3;
    s.Queue(2, "00,10,01,56,00,10,20,00,00");
    EXPECT_EQ(Take(s, 3), QStringList(3, "01,03,05,34,00,0c,00,00"));
    EXPECT_EQ(s.CalibrationReadsLeft, 3); // counted down by the replies, not here
    EXPECT_EQ(s.RotationIndex(), 0u);
    s.CalibrationReadsLeft = 0;
    EXPECT_EQ(Take(s, 2), QStringList({"01,10,01,56,00,10,20,00,00", kCoils}));
}

TEST(PollSchedule, TheCoefficientReadPrecedesACalibrationRun) {
    PollSchedule s = Started();
    s.CalibrationReadsLeft = 5;
    s.ReadCoefficientsOnce = true;
    EXPECT_EQ(Take(s, 2), QStringList({"01,03,05,1b,00,19,00,00", "01,03,05,34,00,0c,00,00"}));
}

TEST(PollSchedule, RestartDropsQueuedWritesButKeepsWindowFlags) {
    PollSchedule s = Started();
    s.PollAngle = true;
    Take(s, 3);
    s.Queue(1, "00,05,00,01,FF,00,00,00");
    s.Queue(4, "00,B0,05,2D,00,01,02,00,01,00,00");
    s.Restart();
    EXPECT_EQ(Take(s, 7), QStringList({kParams, kCoils, kInputs, kMetering, kParams, kTemp,
                                       "01,03,03,9D,00,08,00,00"}));
    s.Reset();
    EXPECT_FALSE(s.PollAngle);
    EXPECT_TRUE(s.ReadCoefficientsOnce);
    EXPECT_EQ(s.CalibrationReadsLeft, -1);
}

TEST(PollSchedule, ActivatingAnotherWindowLeavesOnlyItsFlag) {
    PollSchedule s = Started();
    s.SelectWindowPollFlag(PollFlag::MaxMin);
    s.SelectWindowPollFlag(PollFlag::Angle);
    EXPECT_FALSE(s.IsPollFlagSet(PollFlag::MaxMin));
    s.SetPollFlag(PollFlag::Angle, false); // the angle window is destroyed
    EXPECT_EQ(Take(s, 6).last(), kTemp);
}

TEST(PollSchedule, SlaveAddressReplacesTheFirstByte) {
    EXPECT_EQ(WithSlaveAddress("00,03,01,30,00,36,00,00", 247), "F7,03,01,30,00,36,00,00");
    EXPECT_EQ(WithSlaveAddress("00,03,01,30,00,36,00,00", 16), "10,03,01,30,00,36,00,00");
    EXPECT_EQ(WithSlaveAddress("00,03,01,30,00,36,00,00", 0x1FE), "FE,03,01,30,00,36,00,00");
    PollSchedule s = Started();
    EXPECT_EQ(s.NextMessage(247), "F7,01,00,00,00,02,00,00");
}
