// The alarm windows against the simulated meter on a pseudo-terminal, through the real
// serial port, Modbus master, poll schedule and reply routing: a limit set in the settings
// window trips the meter's alarm, the records window shows it, and raising the limit
// again ends it.

#include "AlarmCodec.h"
#include "AlarmWindows.h"
#include "FormAlarm.h"
#include "FormSetAlarm.h"
#include "MeterSimShell.h"
#include "TestShell.h"
#include "WindowKit.h"
#include "WindowTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kConfirmed = QStringLiteral("Alarm Parameters have modified successfully!");
const QLocale kUs(QLocale::English, QLocale::UnitedStates);

class AlarmEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        WidgetTestApp(); // before the simulator process: it reports through the event loop
        ASSERT_TRUE(t.StartMeter({}, {QStringLiteral("COM7")})) << qPrintable(t.SimErrors());
        t.Make({RegisterAlarmWindows}, TestShell::RealPort);
        ASSERT_TRUE(t.dialogs.Shown().isEmpty()) << t.dialogs.Texts().join('|').toStdString();
        t->show();
        t->StartPolling();
    }

    TFormAlarm* Records() const { return t.Window<TFormAlarm>(WindowName::Alarm); }
    QString Cell(int row, int column) const {
        return GridCellText(Records()->RecordGrid(), row, column);
    }
    int Confirmations() const { return int(t.dialogs.Texts().count(kConfirmed)); }

    // Opens the settings window, waits for the meter's configuration in it, sets group 1
    // to watch V1 above `limit` without delay, and sends it.
    void SetGroup1Above(const QString& limit) {
        auto* w = qobject_cast<TFormSetAlarm*>(t->ShowWindowOfMenuItem("MM0303"));
        ASSERT_NE(w, nullptr);
        w->SetLocale(kUs);
        ASSERT_TRUE(WaitUntil([&] { return w->DelayCombo()->currentIndex() >= 0; }));
        w->SwitchCombo(1)->setCurrentIndex(1);
        w->ItemCombo(1)->setCurrentIndex(1);
        w->DirectionCombo(1)->setCurrentIndex(1);
        w->LimitEdit(1)->setText(limit);
        w->DelayCombo()->setCurrentIndex(0);
        const int before = Confirmations();
        t.dialogs.QueueAnswer(true);
        w->SetButton()->click();
        ASSERT_EQ(t.dialogs.UnansweredQuestions(), 0) << t.dialogs.Texts().join('|').toStdString();
        ASSERT_TRUE(WaitUntil([&] { return Confirmations() == before + 1; }));
        EXPECT_TRUE(WaitUntil([&] { return !t->IsChildOpen(WindowName::SetAlarm); }));
    }

    MeterSimShell t;
};

bool Matches(const QString& text, const char* pattern) {
    return QRegularExpression(QString::fromLatin1(pattern)).match(text).hasMatch();
}

} // namespace

TEST_F(AlarmEndToEnd, ALimitBelowTheVoltageTripsGroup1AndRaisingItResetsIt) {
    ASSERT_TRUE(WaitUntil([&] { return t->Connected(); }));
    ASSERT_NE(Records(), nullptr);
    Records()->SetLocale(kUs);
    // The records window puts the record block into the rotation while it is active.
    ASSERT_EQ(t->ShowWindowOfMenuItem("MM0205"), Records());
    ASSERT_TRUE(WaitUntil([&] { return Records()->Label("Label1State")->text() == "Normal"; }));

    // The simulated phases run near 230 V.
    ASSERT_NO_FATAL_FAILURE(SetGroup1Above("200.0 V"));
    ASSERT_TRUE(WaitUntil([&] { return Records()->Label("Label1State")->text() == "Alarm"; }));
    EXPECT_EQ(Records()->Label("Label1AlarmType")->text(), "V1 (Phase A Voltage)");
    ASSERT_TRUE(WaitUntil([&] { return Cell(1, 2) == "Alarm"; }));
    EXPECT_EQ(Cell(1, 1), "V1 (Phase A Voltage)");
    EXPECT_TRUE(Matches(Cell(1, 3), R"(^2[234]\d\.\d V$)")) << Cell(1, 3).toStdString();
    // Year (two digits), month, day, hour, minute, second.
    EXPECT_TRUE(Matches(Cell(1, 4), R"(^\d{1,2}$)")) << Cell(1, 4).toStdString();
    EXPECT_TRUE(Matches(Cell(1, 5), R"(^([1-9]|1[012])$)")) << Cell(1, 5).toStdString();
    EXPECT_TRUE(Matches(Cell(1, 6), R"(^([1-9]|[12]\d|3[01])$)")) << Cell(1, 6).toStdString();
    for (int column = 7; column <= 9; ++column)
        EXPECT_TRUE(Matches(Cell(1, column), R"(^[0-5]?\d$)")) << Cell(1, column).toStdString();
    // No second record (the write started afresh): its slot is blank.
    EXPECT_EQ(Cell(2, 1), "");
    EXPECT_EQ(Cell(2, 4), "");

    ASSERT_NO_FATAL_FAILURE(SetGroup1Above("300.0 V"));
    ASSERT_TRUE(WaitUntil([&] { return Records()->Label("Label1State")->text() == "Normal"; }));
    ASSERT_TRUE(WaitUntil([&] { return Cell(1, 2) == "Reset"; }));
    EXPECT_EQ(Cell(1, 1), "V1 (Phase A Voltage)");
    EXPECT_TRUE(Matches(Cell(1, 3), R"(^2[234]\d\.\d V$)")) << Cell(1, 3).toStdString();
    EXPECT_EQ(t.dialogs.Texts().count(AlarmWriteQuestion), 2);
}
