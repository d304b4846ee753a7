// Every window subsystem registered with one main window, as the program starts it: what
// the meter is asked in turn, and what follows each write it confirms.

#include "ProgramWindows.h"
#include "TestShell.h"
#include "WindowTestSupport.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <gtest/gtest.h>

namespace {

class ProgramWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        WidgetTestApp();
        t.Make({RegisterProgramWindows});
        t->show();
    }

    TestShell t;
};

} // namespace

TEST_F(ProgramWindowsTest, TheFirstRequestsOfASessionAndTheActiveWindowsBlocks) {
    PollSchedule& s = t->Schedule();
    const QString coils = "01,01,00,00,00,02,00,00", inputs = "01,02,00,00,00,04,00,00";
    const QString metering = "01,03,01,30,00,36,00,00", params = "01,03,01,00,00,22,00,00";
    const QString temp = "01,03,05,18,00,01,00,00", alarms = "01,03,03,54,00,49,00,00";
    // The 7300's alarm records window, created at start-up, is the active one; its
    // activation read of the group items, asked before "Start COMM", follows the parameters.
    s.Restart(); // "Start COMM"
    QStringList first15;
    for (int i = 0; i < 15; ++i)
        first15 << s.NextMessage(1);
    EXPECT_EQ(first15, QStringList({"01,03,05,1B,00,19,00,00", params, "01,03,03,30,00,1F,00,00",
                                    coils, inputs, metering, params, temp, alarms, coils, inputs,
                                    metering, params, temp, alarms}));

    // The max/min window brought forward takes the sixth place with its two blocks in turn.
    t->ShowWindowOfMenuItem("MM0203");
    QStringList sixth;
    for (int i = 0; i < 18; ++i) {
        const QString m = s.NextMessage(1);
        if (s.RotationIndex() == 0)
            sixth << m;
    }
    EXPECT_EQ(sixth, QStringList({"01,03,02,39,00,77,00,00", "01,03,02,B0,00,77,00,00",
                                  "01,03,02,39,00,77,00,00"}));
}

TEST_F(ProgramWindowsTest, EveryConfirmedWriteShowsItsBoxClosesItsWindowAndReadsBack) {
    const QString coefficients = "00,03,05,1B,00,19,00,00";
    const QString alarms = "00,03,03,30,00,1F,00,00";
    const struct {
        quint16 addr;
        QString box;
        QStringList reads;  // the one-shot reads waiting after the write
        const char* closes; // a window open before the write and closed by it
    } cases[] = {
        {0x100,
         "Meter Parameters have modified successfully!",
         {"00,03,01,00,00,14,00,00"},
         nullptr},
        {0x156, "Energy Parameters have modified successfully!", {}, nullptr},
        {0x32A, "Meter Clock has adjusted successfully!", {}, nullptr},
        {0x330, "Alarm Parameters have modified successfully!", {alarms}, "FormSetAlarm"},
        {0x51B,
         "Modular Coefficients have modified successfully!",
         {coefficients},
         "FormChangeConst"},
        {0x526,
         "Modular Coefficients have modified successfully!",
         {coefficients},
         "FormChangeConst"},
        {0x529, "Meter Coefficients have modified successfully!", {coefficients}, nullptr},
        {0x52A, "Meter Display Mode has modified successfully!", {coefficients}, nullptr},
        {0x52B, "Meter PT Type has modified successfully!", {coefficients}, nullptr},
        {0x52C,
         "Angle Difference Const has modified successfully!",
         {coefficients},
         "FormChangeConst"},
        {0x531,
         "Angle Difference Const has modified successfully!",
         {coefficients},
         "FormChangeConst"},
        {0x52E, "", {coefficients}, nullptr},
        {0x115, "", {}, nullptr},
        {0x114, "", {}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.addr);
        // Both windows a write can finish are open; only the write's own one closes.
        for (const char* name : {"FormSetAlarm", "FormChangeConst"})
            ASSERT_NE(t->ShowWindowNamed(name), nullptr) << name;
        t.dialogs.Clear();
        t->Schedule().Queue(ReadOnceSlot, QString());
        t->Routing().WriteConfirmed(c.addr);
        if (c.box.isEmpty()) {
            EXPECT_TRUE(t.dialogs.Shown().isEmpty());
        } else {
            ASSERT_EQ(t.dialogs.Shown().size(), 1);
            EXPECT_EQ(t.dialogs.Shown()[0].text, c.box);
        }
        QStringList reads = t->Schedule().PendingReads();
        // The alarm settings window may come to the front when the coefficients window
        // closes; what it asks for then is its activation read, not a read-back.
        if (c.closes != nullptr && QString(c.closes) == "FormChangeConst")
            reads.removeAll(alarms);
        EXPECT_EQ(reads, c.reads);
        for (const char* name : {"FormSetAlarm", "FormChangeConst"})
            EXPECT_EQ(t->IsChildOpen(name), c.closes == nullptr || QString(c.closes) != name)
                << name;
    }
}

TEST_F(ProgramWindowsTest, WriteReplyForTheCoefficientAreaQueuesTheirReadWithoutABox) {
    t.Make({RegisterProgramWindows}, TestShell::ScriptedLine);
    t.FastLine();
    t->Schedule().Queue(WriteSlot, "00,B0,05,2E,00,01,02,00,01,00,00");
    t.port.Reply = ZeroMeterReply;
    t->StartPolling(); // a start drops writes queued while stopped
    EXPECT_TRUE(t->Schedule().Slot(WriteSlot).isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return t->Connected(); }));
    t.dialogs.Clear();
    t->Schedule().Queue(WriteSlot, "00,B0,05,2E,00,01,02,00,01,00,00");
    ASSERT_TRUE(WaitUntil([&] {
        const QList<QByteArray>& sent = t.port.sent;
        for (qsizetype i = 1; i < sent.size(); ++i)
            if (quint8(sent[i - 1][1]) == 0xB0 &&
                sent[i].left(6) == QByteArray::fromHex("0103051b0019"))
                return true;
        return false;
    }));
    EXPECT_TRUE(t.dialogs.Shown().isEmpty());
    t->StopPolling();
    EXPECT_TRUE(WaitUntil([&] { return !t->Modbus().CycleBusy(); }));
}
