// The two windows against the simulated meter on a pseudo-terminal, through the real
// serial port, Modbus master, poll schedule and reply routing.

#include "MeterSimShell.h"
#include "ShellHarness.h"
#include "WindowKit.h"
#include "WindowTestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <memory>

namespace {

class ViewsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        WidgetTestApp(); // before the simulator process: it reports through the event loop
    }

    // Starts the simulator as COM7 and a main window polling it every 20 ms.
    void Start(const QStringList& simArguments = {}) {
        ASSERT_TRUE(h.StartMeter(simArguments)) << qPrintable(h.SimErrors());
        h.Make(false);
        ASSERT_TRUE(h.dialogs.Shown().isEmpty()) << h.dialogs.Texts().join('|').toStdString();
        h.shell->StartPolling();
    }

    bool Matches(const QString& text, const char* pattern) {
        return QRegularExpression(QString::fromLatin1(pattern)).match(text).hasMatch();
    }
    bool BoxShown(const QString& text) { return h.dialogs.Texts().contains(text); }

    WithMeterSim<ViewShell> h;
};

} // namespace

TEST_F(ViewsEndToEnd, LiveValuesRelayAndEnergyResetAndParameters) {
    Start();
    // Start reads block 0x100 first, then coils, inputs and 0x130: the metering values
    // must be there well within two rotations of six requests.
    ASSERT_TRUE(WaitUntil([&] { return h.BaseText("LabelF").endsWith(" Hz"); }));
    EXPECT_LE(h.shell->State().Traffic.SendCount, 1 + 2 * 6);
    EXPECT_TRUE(Matches(h.BaseText("LabelF"), R"(^(49\.9\d|50\.0\d|50\.10) Hz$)"))
        << h.BaseText("LabelF").toStdString();
    for (const char* label : {"LabelUa", "LabelUb", "LabelUc"})
        EXPECT_TRUE(Matches(h.BaseText(label), R"(^2[234]\d\.\d V$)"))
            << label << " " << h.BaseText(label).toStdString();
    EXPECT_TRUE(Matches(h.BaseText("LabelIa"), R"(^\d+\.\d+ A$)"));
    ASSERT_TRUE(WaitUntil([&] { return h.BaseText("LabelTemp").endsWith(" \u00B0C"); }));
    const QString energyBefore = h.BaseText("LabelEp_imp");
    EXPECT_TRUE(Matches(energyBefore, R"(^\d+\.\d{4} MWh$)")) << energyBefore.toStdString();
    EXPECT_NE(energyBefore, "0.0 kWh");

    // Writes need the connected state, which comes after a run of replies.
    ASSERT_TRUE(WaitUntil([&] { return h.shell->Connected(); }));
    QPushButton* ro1 = h.Base()->RelayButton(1);
    ASSERT_TRUE(WaitUntil([&] { return !ro1->text().isEmpty(); }));
    if (ro1->text() == "On") { // the meter came up with RO1 on: switch it off first
        h.dialogs.QueueAnswer(true);
        ro1->click();
        ASSERT_TRUE(WaitUntil([&] { return BoxShown("Control RO1 successfully!"); }));
        h.dialogs.Clear();
    }
    ASSERT_EQ(ro1->text(), "Off");
    h.dialogs.QueueAnswer(true);
    ro1->click();
    ASSERT_TRUE(WaitUntil([&] { return BoxShown("Control RO1 successfully!"); }));
    EXPECT_EQ(h.dialogs.Texts().first(), "Are you sure to switch on RO1?");
    EXPECT_EQ(ro1->text(), "On");
    EXPECT_EQ(ro1->palette().color(QPalette::Active, QPalette::ButtonText), OnColor());
    // Only the next relay poll can put the caption back: the meter really switched.
    ro1->setText(QString());
    ASSERT_TRUE(WaitUntil([&] { return !ro1->text().isEmpty(); }));
    EXPECT_EQ(ro1->text(), "On");

    h.dialogs.Clear();
    h.dialogs.QueueAnswer(true);
    h.Base()->EnergyResetButton()->click();
    ASSERT_TRUE(
        WaitUntil([&] { return BoxShown("Energy Parameters have modified successfully!"); }));
    h.Base()->Label("LabelEp_imp")->setText(QString());
    ASSERT_TRUE(WaitUntil([&] { return !h.BaseText("LabelEp_imp").isEmpty(); }));
    EXPECT_EQ(h.BaseText("LabelEp_imp"), "0.0 kWh");
    EXPECT_EQ(h.BaseText("LabelEp_total"), "0.0 kWh");
    EXPECT_EQ(h.BaseText("LabelEq_net"), "0.0 kvarh");

    auto* para = qobject_cast<TFormPara*>(h.shell->ShowWindowOfMenuItem("MM0202"));
    ASSERT_NE(para, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return para->Label("LabelAddr")->text() == "1"; }));
    EXPECT_EQ(para->Label("LabelPT1")->text(), "100 V");
    EXPECT_EQ(para->Label("LabelPT2")->text(), "100 V");
    EXPECT_EQ(para->Label("LabelCT1")->text(), "5 A");
    EXPECT_EQ(para->Label("LabelBaudrate")->text(), "9600 bps");
    EXPECT_EQ(h.dialogs.UnansweredQuestions(), 0);
}

TEST_F(ViewsEndToEnd, PtRatioOfTheMeterShowsVoltagesInKilovolts) {
    Start({"--pt-ratio", "100", "--ct1", "100"});
    ASSERT_TRUE(WaitUntil([&] { return h.BaseText("LabelUa").endsWith(" kV"); }));
    EXPECT_TRUE(Matches(h.BaseText("LabelUa"), R"(^2[234]\.\d{3} kV$)"))
        << h.BaseText("LabelUa").toStdString();
    EXPECT_DOUBLE_EQ(h.shell->State().PtRatio, 100.0);
    EXPECT_DOUBLE_EQ(h.shell->State().CtRatio, 20.0);
}
