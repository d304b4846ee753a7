// The meter settings and energy presetting windows against the simulated meter on a
// pseudo-terminal: writes read back, and the line following the meter to a new baud rate
// and address.

#include "FormKw.h"
#include "FormSetPara.h"
#include "MeterSimShell.h"
#include "SetupWindows.h"
#include "TestShell.h"
#include "ViewWindows.h"
#include "WindowTestSupport.h"
#include "frmComm.h"
#include "ui_frmComm.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

class SettingsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        WidgetTestApp(); // before the simulator process: it reports through the event loop
        // -v: the simulator reports its baud rate changes on standard error.
        ASSERT_TRUE(t.StartMeter({"-v"}, {QStringLiteral("COM9")})) << qPrintable(t.SimErrors());
    }

    // A main window started from the saved settings, polling until the meter counts as
    // connected. A request the meter does not answer fails after 300 ms.
    void StartShell() {
        t.Make({RegisterViewWindows, RegisterSetupWindows}, TestShell::RealPort);
        t->show();
        ASSERT_TRUE(t->Modbus().PortOpen()) << t.dialogs.Texts().join('|').toStdString();
        t->Modbus().SetQueryTimeout(300);
        t->StartPolling();
        ASSERT_TRUE(WaitUntil([&] { return t->Connected(); }));
    }

    // The settings window in front and loaded from the meter.
    TFormSetPara* LoadedSettings() {
        t->ShowWindowOfMenuItem("MM0201");
        auto* w = qobject_cast<TFormSetPara*>(t->ShowWindowOfMenuItem("MM0302"));
        if (w == nullptr || !w->LoadRequested())
            return nullptr;
        return WaitUntil([&] { return !w->LoadRequested(); }) ? w : nullptr;
    }

    bool BoxShown(const QString& text) const { return t.dialogs.Texts().contains(text); }

    // Twelve requests (two rotations) in a row answered. The request the master sent
    // just before the port was reopened at the new rate is lost, and with it the first
    // one after: a rotation is allowed for that.
    bool PollsAnswered() {
        const TrafficCounters& c = t.State().Traffic;
        const int settled = c.SendCount + 6;
        if (!WaitUntil([&] { return c.SendCount >= settled; }))
            return false;
        const int failed = c.NoResponseCount + c.CrcErrorCount;
        const int sent = c.SendCount;
        return WaitUntil([&] { return c.SendCount >= sent + 12; }) &&
               c.NoResponseCount + c.CrcErrorCount == failed;
    }

    // The settings write with the address and baud rate chosen, confirmed with Yes.
    void WriteAddressAndBaud(TFormSetPara* w, const char* address, const char* baud) {
        t.dialogs.Clear();
        w->Combo("ComboAddr")->setCurrentText(address);
        w->Combo("ComboBaudRate")->setCurrentText(baud);
        t.dialogs.QueueAnswer(true);
        w->SetButton()->click();
    }

    // What the COMM settings dialog offers, as "baud/address".
    QString CommDialogShows() {
        TFormComm comm(*t.shell, t.shell->Line());
        return comm.Controls().ComboBox2->currentText() + '/' +
               comm.Controls().ComboBox3->currentText();
    }

    QString Saved() {
        t.settings.sync();
        return t.settings.value("Comm/Baudrate").toString() + '/' +
               t.settings.value("Comm/DevAddr").toString();
    }

    MeterSimShell t;
};

} // namespace

TEST_F(SettingsEndToEnd, SettingsAndPresetsAreWrittenAndReadBack) {
    StartShell();
    TFormSetPara* w = LoadedSettings();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Edit("EditPT1")->text(), "100");
    EXPECT_EQ(w->Combo("ComboBaudRate")->currentText(), "9600");
    w->Edit("EditPT1")->setText("10000");
    w->Edit("EditCT1")->setText("50");
    w->Combo("ComboLightTime")->setCurrentText("30");
    w->Combo("ComboDemaTime")->setCurrentText("15");
    t.dialogs.QueueAnswer(true);
    w->SetButton()->click();
    ASSERT_TRUE(
        WaitUntil([&] { return BoxShown("Meter Parameters have modified successfully!"); }));
    EXPECT_FALSE(t.State().AddressChangePending);
    EXPECT_FALSE(t.State().BaudChangePending);
    ASSERT_TRUE(WaitUntil([&] { return t.State().PtRatio == 100.0; }));
    EXPECT_DOUBLE_EQ(t.State().CtRatio, 10.0);
    w = LoadedSettings();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Edit("EditPT1")->text(), "10000");
    EXPECT_EQ(w->Edit("EditCT1")->text(), "50");
    EXPECT_EQ(w->Combo("ComboLightTime")->currentText(), "30");
    EXPECT_EQ(w->Combo("ComboDemaTime")->currentText(), "15");

    auto* kw = qobject_cast<TFormKw*>(t->ShowWindowOfMenuItem("MM0301"));
    ASSERT_NE(kw, nullptr);
    kw->SetLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    ASSERT_TRUE(WaitUntil([&] { return !kw->LoadRequested(); }));
    EXPECT_FALSE(kw->Edit(1)->text().isEmpty());
    kw->Edit(1)->setText("12345.6");
    kw->Edit(6)->setText("-1.0");
    t.dialogs.Clear();
    t.dialogs.QueueAnswer(true);
    kw->PresetButton()->click();
    ASSERT_TRUE(
        WaitUntil([&] { return BoxShown("Energy Parameters have modified successfully!"); }));
    ASSERT_TRUE(WaitUntil([&] { return !kw->LoadRequested(); }));
    // The simulated load keeps counting from the preset values.
    bool ok = false;
    const double imported = kw->Edit(1)->text().toDouble(&ok);
    ASSERT_TRUE(ok) << kw->Edit(1)->text().toStdString();
    EXPECT_GE(imported, 12345.6);
    EXPECT_LT(imported, 12346.6);
    const double net = kw->Edit(6)->text().toDouble(&ok);
    ASSERT_TRUE(ok) << kw->Edit(6)->text().toStdString();
    EXPECT_GE(net, -1.0);
    EXPECT_LT(net, 0.0);
    EXPECT_EQ(t.dialogs.UnansweredQuestions(), 0);
}

TEST_F(SettingsEndToEnd, TheLineFollowsTheMetersNewBaudRateAndAddressAndBack) {
    StartShell();
    TFormSetPara* w = LoadedSettings();
    ASSERT_NE(w, nullptr);

    // 9600 -> 19200: the write still goes out at 9600, the next request is not heard.
    WriteAddressAndBaud(w, "1", "19200");
    ASSERT_TRUE(WaitUntil([&] { return BoxShown("Meter Baudrate has modified successfully!"); }));
    EXPECT_EQ(t.dialogs.Texts(), QStringList({"Are you sure to set these Meter Parameters?",
                                              "Meter Parameters have modified successfully!",
                                              "Meter Baudrate has modified successfully!"}));
    ASSERT_TRUE(WaitUntil([&] { return t->Modbus().BaudRate() == 19200; }));
    EXPECT_TRUE(t->Modbus().PortOpen());
    EXPECT_TRUE(t.sim->waitForError("now at 19200 bps")) << qPrintable(t.SimErrors());
    EXPECT_TRUE(PollsAnswered());

    // Address 1 -> 5 at the new rate.
    w = LoadedSettings();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Combo("ComboBaudRate")->currentText(), "19200");
    WriteAddressAndBaud(w, "5", "19200");
    ASSERT_TRUE(WaitUntil([&] { return BoxShown("Meter Address has modified successfully!"); }));
    EXPECT_FALSE(BoxShown("Meter Baudrate has modified successfully!"));
    EXPECT_EQ(t.State().DevAddr, 5);
    EXPECT_TRUE(PollsAnswered());
    EXPECT_TRUE(t->StatusText(0).startsWith("TxD: 05 ")) << t->StatusText(0).toStdString();

    // The COMM settings and the saved settings are the meter's new ones.
    EXPECT_EQ(CommDialogShows(), "19200/5");
    t->Action("MMExit")->trigger();
    EXPECT_EQ(Saved(), "19200/5");

    // The next start finds the meter there; both back in one write, address first.
    StartShell();
    EXPECT_EQ(t->Modbus().BaudRate(), 19200u);
    w = LoadedSettings();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Combo("ComboAddr")->currentText(), "5");
    WriteAddressAndBaud(w, "1", "9600");
    ASSERT_TRUE(WaitUntil([&] { return BoxShown("Meter Baudrate has modified successfully!"); }));
    const QStringList boxes = t.dialogs.Texts();
    EXPECT_EQ(boxes.indexOf("Meter Address has modified successfully!") + 1,
              boxes.indexOf("Meter Baudrate has modified successfully!"));
    ASSERT_TRUE(WaitUntil([&] { return t->Modbus().BaudRate() == 9600; }));
    EXPECT_EQ(t.State().DevAddr, 1);
    EXPECT_TRUE(PollsAnswered());
    EXPECT_EQ(CommDialogShows(), "9600/1");
    t->Action("MMExit")->trigger();
    EXPECT_EQ(Saved(), "9600/1");
    EXPECT_EQ(t.dialogs.UnansweredQuestions(), 0);
}
