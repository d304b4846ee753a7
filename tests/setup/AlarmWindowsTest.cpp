// The alarm settings and alarm records windows in the main window, fed through its reply
// routing: what they read on activation, what replies show, what "Set" queues.

#include "AlarmWindows.h"
#include "AlarmCodec.h"
#include "AlarmRecords.h"
#include "FormAlarm.h"
#include "FormSetAlarm.h"
#include "RegisterBlock.h"
#include "TestShell.h"
#include "WindowKit.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);

class AlarmWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        WidgetTestApp();
        t.Make({RegisterAlarmWindows});
        t->show();
    }
    void TearDown() override { t.shell.reset(); }

    TFormAlarm* Records() const { return t.Window<TFormAlarm>(WindowName::Alarm); }
    TFormSetAlarm* Settings() const { return t.Window<TFormSetAlarm>(WindowName::SetAlarm); }
    PollSchedule& Schedule() const { return t->Schedule(); }
    void ClearSlots() const {
        for (int slot = 1; slot <= PollSchedule::kSlotCount; ++slot)
            Schedule().Queue(slot, QString());
    }
    QStringList Slots() const {
        QStringList queued;
        for (int slot = 1; slot <= PollSchedule::kSlotCount; ++slot)
            queued << Schedule().Slot(slot);
        return queued;
    }

    // Group 1 watches V1 above 240.0 V and drives DO1; group 4 watches I1 below 1.000 A;
    // the others the frequency above 50.10 Hz; delay 900 ms.
    static RegisterBlock Parameters() {
        RegisterBlock block(AlarmParamBlockCount);
        block.Set(0, 0x0009).Set(1, 3).Set(2, 0x0001);
        for (int g = 0; g < AlarmGroupCount; ++g)
            block.Set(4 + 3 * g, 0).Set(5 + 3 * g, 1).Set(6 + 3 * g, 5010);
        block.Set(4, 1).Set(6, 2400);
        block.Set(13, 9).Set(14, 0).Set(15, 1000);
        return block;
    }

    TestShell t;
};

} // namespace

TEST_F(AlarmWindowsTest, ModelSwitchCreatesAndDestroysTheRecordsWindow) {
    QPointer<TFormAlarm> first = Records();
    ASSERT_FALSE(first.isNull());
    EXPECT_TRUE(t->SubWindowOf(first)->isMinimized());

    // The menu item brings it back; its activation reads the group items and puts the
    // record block into the rotation, where the settings window leaves it.
    ASSERT_NE(t->ShowWindowOfMenuItem("MM0303"), nullptr);
    ClearSlots();
    Schedule().ClearWindowReads();
    ASSERT_EQ(t->ShowWindowOfMenuItem("MM0205"), first);
    EXPECT_FALSE(t->SubWindowOf(first)->isMinimized());
    EXPECT_EQ(Schedule().Slot(ReadOnceSlot), AlarmParamRead);
    EXPECT_TRUE(Schedule().ReadsWindow(WindowName::Alarm));
    ASSERT_NE(t->ShowWindowOfMenuItem("MM0303"), nullptr);
    EXPECT_TRUE(Schedule().ReadsWindow(WindowName::Alarm));
    // Its close box only minimises it.
    t->CloseChild(WindowName::Alarm);
    QCoreApplication::processEvents();
    ASSERT_EQ(Records(), first);
    EXPECT_TRUE(t->SubWindowOf(first)->isMinimized());

    t.State().MeterModel = 0;
    t->ApplyMeterModel();
    EXPECT_TRUE(first.isNull());
    EXPECT_FALSE(t->IsChildOpen(WindowName::Alarm));
    EXPECT_FALSE(Schedule().ReadsWindow(WindowName::Alarm));
    EXPECT_FALSE(t->Action("MM0205")->isVisible());
    EXPECT_FALSE(t->Action("MM0303")->isVisible());

    t.State().MeterModel = 1;
    t->ApplyMeterModel();
    ASSERT_NE(Records(), nullptr);
    EXPECT_TRUE(t->SubWindowOf(Records())->isMinimized());
    EXPECT_TRUE(t->Action("MM0303")->isVisible());
}

TEST_F(AlarmWindowsTest, RecordsWindowShowsItemsStatesAndRecords) {
    TFormAlarm* w = Records();
    ASSERT_NE(w, nullptr);
    w->SetLocale(kUs);
    EXPECT_EQ(w->windowTitle(), "Alarm Parameters");
    EXPECT_EQ(GridCellText(w->RecordGrid(), 0, 1), "Parameter");
    EXPECT_EQ(GridCellText(w->RecordGrid(), 0, 9), "ss");
    EXPECT_EQ(GridCellText(w->RecordGrid(), 9, 0), "Alarm Record 9");

    RegisterBlock records(AlarmRecordBlockCount);
    records.Set(0, 0x0001).Set(1, 0x0001).Set(2, 2451).Set(3, 25).Set(4, 6).Set(5, 30);
    const AlarmRecordTexts texts = DecodeAlarmRecordBlock(records, {{}, kUs});
    ExpectLabelsInForm(*w, DecodeAlarmItems(Parameters()));
    ExpectLabelsInForm(*w, texts.states);
    ExpectCellsInGrid(*w->RecordGrid(), texts.records);

    t->Routing().RegistersReceived(AlarmParamBlockStart, Parameters());
    t->Routing().RegistersReceived(AlarmRecordBlockStart, records);
    EXPECT_EQ(w->Label("Label1AlarmType")->text(), "V1 (Phase A Voltage)");
    EXPECT_EQ(w->Label("Label4AlarmType")->text(), "I1 (Current A)");
    EXPECT_EQ(w->Label("Label1State")->text(), "Alarm");
    EXPECT_EQ(w->Label("Label2State")->text(), "Normal");
    const auto color = [&](const char* label) {
        return w->Label(label)->palette().color(QPalette::Active, QPalette::WindowText);
    };
    EXPECT_EQ(color("Label1State"), OnColor());
    EXPECT_EQ(color("Label2State"), OffColor());
    EXPECT_EQ(GridCellText(w->RecordGrid(), 2, 1), "");
    EXPECT_EQ(GridCellText(w->RecordGrid(), 1, 1), "V1 (Phase A Voltage)");
    EXPECT_EQ(GridCellText(w->RecordGrid(), 1, 3), "245.1 V");
    EXPECT_EQ(GridCellText(w->RecordGrid(), 1, 6), "30");

    // Its button opens the settings window, whose activation reads the block too.
    ClearSlots();
    w->SetupButton()->click();
    ASSERT_NE(Settings(), nullptr);
    EXPECT_EQ(Schedule().Slot(ReadOnceSlot), AlarmParamRead);
}

TEST_F(AlarmWindowsTest, SettingsWindowFillsFromTheMeterAndWritesAllOrNothing) {
    ScriptedDialogs& dialogs = t.dialogs;
    ClearSlots();
    auto* w = qobject_cast<TFormSetAlarm*>(t->ShowWindowOfMenuItem("MM0303"));
    ASSERT_NE(w, nullptr);
    w->SetLocale(kUs);
    EXPECT_EQ(w->windowTitle(), "Alarm Settings");
    EXPECT_EQ(Schedule().Slot(ReadOnceSlot), AlarmParamRead);
    for (int g = 1; g <= AlarmGroupCount; ++g) {
        ASSERT_NE(w->SwitchCombo(g), nullptr) << g;
        ASSERT_NE(w->Do1Combo(g), nullptr) << g;
        ASSERT_NE(w->Do2Combo(g), nullptr) << g;
        ASSERT_NE(w->DirectionCombo(g), nullptr) << g;
        ASSERT_EQ(w->ItemCombo(g)->count(), AlarmItemCount) << g;
        EXPECT_EQ(w->LimitEdit(g)->text(), "0000.00");
    }
    EXPECT_EQ(w->DelayCombo()->count(), AlarmDelayCount);
    EXPECT_EQ(w->DelayCombo()->currentIndex(), -1);

    t->Routing().RegistersReceived(AlarmParamBlockStart, Parameters());
    EXPECT_EQ(w->SwitchCombo(1)->currentText(), "ACTIVE");
    EXPECT_EQ(w->SwitchCombo(2)->currentText(), "OFF");
    EXPECT_EQ(w->Do1Combo(1)->currentText(), "ON");
    EXPECT_EQ(w->ItemCombo(4)->currentText(), "I1 (Current A)");
    EXPECT_EQ(w->DirectionCombo(4)->currentText(), "Below");
    EXPECT_EQ(w->LimitEdit(1)->text(), "240.0 V");
    EXPECT_EQ(w->LimitEdit(4)->text(), "1.000 A");
    EXPECT_EQ(w->DelayCombo()->currentText(), "900");

    ClearSlots();
    w->SetButton()->click();
    EXPECT_EQ(dialogs.Texts(), QStringList({"Please connect the meter first! "}));
    t.State().Traffic.Connected = true;
    dialogs.Clear();
    dialogs.QueueAnswer(false);
    // Below the question, what the write changes: "240" is the meter's "240.0 V".
    w->LimitEdit(1)->setText("240");
    w->DirectionCombo(4)->setCurrentText("Above");
    w->SetButton()->click();
    EXPECT_EQ(dialogs.Texts(), QStringList({AlarmWriteQuestion}));
    EXPECT_EQ(dialogs.Shown()[0].detail, "Group 4 Limit: Below → Above");
    EXPECT_EQ(Slots(), QStringList(5));
    w->DirectionCombo(4)->setCurrentText("Below");

    // A fault in a late group keeps the early groups' message back as well.
    dialogs.Clear();
    w->LimitEdit(6)->setText("fifty");
    w->SetButton()->click();
    ASSERT_EQ(dialogs.Shown().size(), 1);
    EXPECT_EQ(dialogs.Shown()[0].caption, "Parameters");
    EXPECT_EQ(dialogs.Shown()[0].text,
              "Alarm Parameter error!\nGroup 6: Value \"fifty\" is not a number as this desktop "
              "writes them (like \"123.45 Hz\").");
    EXPECT_EQ(Slots(), QStringList(5));
    w->LimitEdit(6)->setText("50.10 Hz");

    // The meter reported CT1 = 0: the current limit of group 4 cannot be converted.
    dialogs.Clear();
    t.State().CtRatio = 0;
    w->SetButton()->click();
    ASSERT_EQ(dialogs.Texts().size(), 1);
    EXPECT_TRUE(dialogs.Texts()[0].startsWith("Alarm Parameter error!\nGroup 4: "))
        << dialogs.Texts()[0].toStdString();
    EXPECT_EQ(Slots(), QStringList(5));
    t.State().CtRatio = 1;

    // Untouched, the window writes back what it read: groups 5..9 first (slot 2), then
    // the rest (slot 3), then the read-back.
    dialogs.Clear();
    dialogs.QueueAnswer(true);
    w->SetButton()->click();
    EXPECT_EQ(dialogs.Texts(), QStringList({AlarmWriteQuestion}));
    const AlarmWritePlan plan =
        PlanAlarmWrite(*AlarmSettingsFromBlock(Parameters(), {}, kUs), {}, kUs);
    ASSERT_TRUE(plan.ok());
    EXPECT_TRUE(plan.groups1to4.startsWith("00,10,03,30,00,10,20,00,09,00,03,00,01,00,00,"));
    EXPECT_EQ(Slots(), QStringList({"", plan.groups5to9, plan.groups1to4, "", AlarmParamRead}));

    // The meter's echo of the second message closes the window and reads the block again.
    ClearSlots();
    dialogs.Clear();
    t->Routing().WriteConfirmed(0x340);
    EXPECT_TRUE(dialogs.Texts().isEmpty());
    EXPECT_TRUE(t->IsChildOpen(WindowName::SetAlarm));
    t->Routing().WriteConfirmed(0x330);
    EXPECT_EQ(dialogs.Texts(), QStringList({"Alarm Parameters have modified successfully!"}));
    EXPECT_FALSE(t->IsChildOpen(WindowName::SetAlarm));
    EXPECT_EQ(Schedule().Slot(ReadOnceSlot), AlarmParamRead);
    EXPECT_EQ(dialogs.UnansweredQuestions(), 0);
}
