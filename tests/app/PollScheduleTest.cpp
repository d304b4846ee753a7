#include "PollSchedule.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <vector>

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
    EXPECT_EQ(Take(s, 7), QStringList({"01,03,05,1B,00,19,00,00", kParams, kCoils, kInputs,
                                       kMetering, kParams, kTemp}));
}

TEST(PollSchedule, SixthPlaceReadsTheActiveWindowsBlocksInTurn) {
    const QString first = "01,03,02,39,00,77,00,00", second = "01,03,02,B0,00,77,00,00";
    const QString single = "01,03,03,9D,00,08,00,00";
    const struct {
        const char* window;
        QStringList sixthPlaces; // of three rotations in a row
    } cases[] = {
        // No window with reads active: the temperature is read again.
        {"", {kTemp, kTemp, kTemp}},
        {"FormTwo", {first, second, first}},
        {"FormOne", {single, single, single}},
        // A window without reads of its own leaves the sixth place as it was.
        {"FormNone", {kTemp, kTemp, kTemp}},
    };
    for (const auto& c : cases) {
        PollSchedule s = Started();
        s.SetWindowReads("FormTwo", {"00,03,02,39,00,77,00,00", "00,03,02,B0,00,77,00,00"});
        s.SetWindowReads("FormOne", {"00,03,03,9D,00,08,00,00"});
        s.SelectWindowReads(c.window);
        QStringList sixth;
        for (int cycle = 0; cycle < 3; ++cycle) {
            const QStringList rotation = Take(s, 6);
            EXPECT_EQ(rotation.mid(0, 5),
                      QStringList({kCoils, kInputs, kMetering, kParams, kTemp}));
            sixth << rotation.last();
        }
        EXPECT_EQ(sixth, c.sixthPlaces) << c.window;
        EXPECT_EQ(s.RotationIndex(), 0u);
    }
    // The turn is shared: a window brought up after the first block of another reads its
    // second block first.
    PollSchedule s = Started();
    s.SetWindowReads("FormTwo", {"00,03,02,39,00,77,00,00", "00,03,02,B0,00,77,00,00"});
    s.SetWindowReads("FormOther", {"00,03,01,68,00,08,00,00", "00,03,01,D6,00,63,00,00"});
    s.SelectWindowReads("FormTwo");
    EXPECT_EQ(Take(s, 6).last(), first);
    s.SelectWindowReads("FormOther");
    EXPECT_EQ(Take(s, 6).last(), "01,03,01,D6,00,63,00,00");
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
    EXPECT_EQ(Take(s, 3), QStringList(3, "01,03,05,34,00,0C,00,00"));
    EXPECT_EQ(s.CalibrationReadsLeft, 3); // counted down by the replies, not here
    EXPECT_EQ(s.RotationIndex(), 0u);
    s.CalibrationReadsLeft = 0;
    EXPECT_EQ(Take(s, 2), QStringList({"01,10,01,56,00,10,20,00,00", kCoils}));
}

TEST(PollSchedule, TheCoefficientReadPrecedesACalibrationRun) {
    PollSchedule s = Started();
    s.CalibrationReadsLeft = 5;
    s.ReadCoefficientsOnce = true;
    EXPECT_EQ(Take(s, 2), QStringList({"01,03,05,1B,00,19,00,00", "01,03,05,34,00,0C,00,00"}));
}

TEST(PollSchedule, RestartDropsQueuedWritesButKeepsWindowFlags) {
    PollSchedule s = Started();
    s.SetWindowReads("FormAngle", {"00,03,03,9D,00,08,00,00"});
    s.SelectWindowReads("FormAngle");
    Take(s, 3);
    s.Queue(1, "00,05,00,01,FF,00,00,00");
    s.Queue(4, "00,B0,05,2D,00,01,02,00,01,00,00");
    s.Restart();
    EXPECT_EQ(Take(s, 7), QStringList({kParams, kCoils, kInputs, kMetering, kParams, kTemp,
                                       "01,03,03,9D,00,08,00,00"}));
    s.Reset();
    EXPECT_FALSE(s.ReadsWindow("FormAngle"));
    EXPECT_EQ(s.WindowReads("FormAngle"), QStringList({"00,03,03,9D,00,08,00,00"}));
    EXPECT_TRUE(s.ReadCoefficientsOnce);
    EXPECT_EQ(s.CalibrationReadsLeft, -1);
}

TEST(PollSchedule, ActivatingAnotherWindowLeavesOnlyItsReadsAndAKeptWindowQueuesBehind) {
    PollSchedule s = Started();
    const QString angles = "00,03,03,9D,00,08,00,00", clock = "00,03,03,2A,00,06,00,00";
    s.SetWindowReads("FormAngle", {angles});
    s.SetWindowReads("FormClock", {clock});
    s.SelectWindowReads("FormClock");
    s.SelectWindowReads("FormAngle");
    EXPECT_FALSE(s.ReadsWindow("FormClock"));
    // Kept beside the active window, the clock waits behind it and follows when it goes.
    s.KeepWindowReads("FormClock");
    EXPECT_TRUE(s.ReadsWindow("FormClock"));
    EXPECT_EQ(Take(s, 6).last(), "01,03,03,9D,00,08,00,00");
    s.DropWindowReads("FormAngle"); // the angle window is destroyed
    EXPECT_EQ(Take(s, 6).last(), "01,03,03,2A,00,06,00,00");
    s.DropWindowReads("FormClock");
    EXPECT_EQ(Take(s, 6).last(), kTemp);
}

TEST(PollSchedule, AOneShotReadThatFailsIsAskedAgainWhileItsWindowNeedsIt) {
    const QString alarm = "01,03,03,30,00,2E,00,00", model = "01,03,05,10,00,22,00,00";
    const QString readBack = "01,03,01,14,00,01,00,00", coefficients = "01,03,05,1B,00,19,00,00";
    const QString write = "01,10,01,15,00,01,02,00,0A,00,00";
    enum Step {
        AlarmWindowAsks, // the alarm settings window's activation read
        ModelWindowAsks, // the meter model window's activation read
        WriteIsReadBack, // a read-back after a write, for no window in particular
        CoefficientsArmed,
        CoefficientsBehindAWrite, // a read queued into a write slot behind a write
        WriteQueued,
        Send,
        Fails, // no reply, a broken one or an exception
        AlarmBlockArrives,
        ReadBackArrives,
        CoefficientsArrive,
        ModelWindowActivated,
        AlarmWindowClosed,
        StopStart,
    };
    const struct {
        const char* rule;
        std::vector<Step> steps;
        QStringList sent;
    } cases[] = {
        {"lost: asked again after one other request, until its block arrives",
         {AlarmWindowAsks, Send, Fails, Send, Send, Fails, Send, Send, AlarmBlockArrives, Send},
         {alarm, kCoils, alarm, kInputs, alarm, kMetering}},
        {"the block arriving by another request ends it too",
         {AlarmWindowAsks, Send, Fails, AlarmBlockArrives, Send, Send},
         {alarm, kCoils, kInputs}},
        {"another window activated: the alarm window asks again when it is back",
         {AlarmWindowAsks, Send, Fails, ModelWindowActivated, Send, Send},
         {alarm, kCoils, kInputs}},
        {"closed while waiting",
         {AlarmWindowAsks, Send, Fails, AlarmWindowClosed, Send, Send},
         {alarm, kCoils, kInputs}},
        {"closed while on the line",
         {AlarmWindowAsks, Send, AlarmWindowClosed, Fails, Send, Send},
         {alarm, kCoils, kInputs}},
        {"several waiting: each kept, in turn, one read per block",
         {AlarmWindowAsks, WriteIsReadBack, AlarmWindowAsks, Send, Fails, Send, Send, Fails, Send,
          Send, AlarmBlockArrives, Send, ReadBackArrives, Send},
         {alarm, kCoils, readBack, kInputs, alarm, readBack, kMetering}},
        {"writes go first and are never repeated",
         {AlarmWindowAsks, WriteQueued, Send, Fails, Send, Fails, WriteQueued, Send, Send},
         {write, alarm, write, alarm}},
        {"the coefficient read, armed or behind a write, is asked again",
         {CoefficientsArmed, Send, Fails, Send, Send, CoefficientsArrive, Send,
          CoefficientsBehindAWrite, Send, Send, Fails, Send, Send, CoefficientsArrive, Send},
         {coefficients, kCoils, coefficients, kInputs, write, coefficients, kMetering, coefficients,
          kParams}},
        {"Stop/Start COMM: the read-back goes with the session, the window's read stays",
         {ModelWindowAsks, WriteIsReadBack, Send, StopStart, Send, Send, Send},
         {model, kParams, model, kCoils}},
    };
    for (const auto& c : cases) {
        PollSchedule s = Started();
        s.SelectWindowReads("FormSetAlarm");
        QStringList sent;
        for (const Step step : c.steps) {
            switch (step) {
            case AlarmWindowAsks:
                s.QueueRead("00,03,03,30,00,2E,00,00", "FormSetAlarm");
                break;
            case ModelWindowAsks:
                s.SelectWindowReads("FormDriveType");
                s.QueueRead("00,03,05,10,00,22,00,00", "FormDriveType");
                break;
            case WriteIsReadBack:
                s.Queue(ReadOnceSlot, "00,03,01,14,00,01,00,00");
                break;
            case CoefficientsArmed:
                s.ReadCoefficientsOnce = true;
                break;
            case CoefficientsBehindAWrite:
                s.Queue(WriteSlot, "00,10,01,15,00,01,02,00,0A,00,00");
                s.Queue(ThirdWriteSlot, PollSchedule::kCoefficientRead);
                break;
            case WriteQueued:
                s.Queue(WriteSlot, "00,10,01,15,00,01,02,00,0A,00,00");
                break;
            case Send:
                sent << s.NextMessage(1);
                break;
            case Fails:
                s.RequestFailed();
                break;
            case AlarmBlockArrives:
                s.BlockReceived(0x330);
                break;
            case ReadBackArrives:
                s.BlockReceived(0x114);
                break;
            case CoefficientsArrive:
                s.BlockReceived(0x51B);
                break;
            case ModelWindowActivated:
                s.SelectWindowReads("FormDriveType");
                break;
            case AlarmWindowClosed:
                s.DropWindowReads("FormSetAlarm");
                break;
            case StopStart:
                s.Restart();
                break;
            }
        }
        EXPECT_EQ(sent, c.sent) << c.rule;
        EXPECT_TRUE(s.Slot(ReadOnceSlot).isEmpty()) << c.rule << ": nothing left waiting";
    }
}

TEST(PollSchedule, SlaveAddressReplacesTheFirstByte) {
    PollSchedule s = Started();
    EXPECT_EQ(s.NextMessage(247), "F7,01,00,00,00,02,00,00");
}
