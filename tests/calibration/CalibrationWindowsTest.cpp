// The coefficients and calibration windows registered with the main window and fed
// through its reply routing and poll schedule.

#include "CalibrationWindows.h"
#include "FormBase.h"
#include "FormCalirate.h"
#include "FormChangeConst.h"
#include "MeteringDecode.h"
#include "RegisterBlock.h"
#include "TestShell.h"
#include "ViewWindows.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <optional>

namespace {

QList<quint16> Coefficients() {
    RegisterBlock block(CoefficientBlockCount);
    block.Set(0x51B - 0x51B, 10).SetSigned(0x520 - 0x51B, -5).Set(0x523 - 0x51B, 0xFFFE);
    block.Set(0x52A - 0x51B, 1);
    return block;
}

QList<quint16> Raw(std::initializer_list<std::pair<int, int>> channels) {
    QList<quint16> values;
    for (const auto& [re, im] : channels)
        values << quint16(qint16(re)) << quint16(qint16(im));
    return values;
}

class CalibrationWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        WidgetTestApp();
        t.Make({RegisterViewWindows, RegisterCalibrationWindows});
        t.State().Traffic.Connected = true;
        Calirate()->SetLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        Calirate()->SetCountPrompt([this](CalibrationMode mode, const QString& current) {
            prompts << (mode == CalibrationMode::Angle ? QStringLiteral("angle ")
                                                       : QStringLiteral("amplitude ")) +
                           current;
            return count;
        });
    }

    TFormCalirate* Calirate() const { return t.Window<TFormCalirate>(WindowName::Calirate); }
    TFormChangeConst* ChangeConst() const {
        return t.Window<TFormChangeConst>(WindowName::ChangeConst);
    }
    QString Text(const char* label) const { return Calirate()->Label(label)->text(); }
    bool Enabled(const char* action) const { return Calirate()->MenuAction(action)->isEnabled(); }
    void Feed(quint16 start, const QList<quint16>& values) {
        t->Routing().RegistersReceived(start, values);
    }

    TestShell t;
    std::optional<QString> count;
    QStringList prompts;
};

} // namespace

TEST_F(CalibrationWindowsTest, FactoryMenusOpenTheCalibrationWindowBesideTheMainWindow) {
    QAction* calibrate = t->Action("MM05");
    QMenu* sys = t->findChild<QMenu*>("mnuSys");
    ASSERT_NE(calibrate, nullptr);
    ASSERT_NE(sys, nullptr);
    EXPECT_FALSE(calibrate->isVisible());
    EXPECT_FALSE(sys->menuAction()->isVisible());
    t->ShowFactoryMenus();
    EXPECT_TRUE(calibrate->isVisible());
    EXPECT_TRUE(sys->menuAction()->isVisible());

    // Created at start-up, hidden, not in the client area; the menu shows it at the origin.
    ASSERT_NE(Calirate(), nullptr);
    EXPECT_FALSE(Calirate()->isVisible());
    EXPECT_EQ(t->SubWindowOf(Calirate()), nullptr);
    calibrate->trigger();
    EXPECT_TRUE(Calirate()->isVisible());
    EXPECT_TRUE(Calirate()->isWindow());
    EXPECT_EQ(Calirate()->pos(), QPoint(0, 0));
    EXPECT_EQ(Calirate()->windowTitle(), "Calibrating");
    EXPECT_EQ(Calirate()->StatusText(1, 3), "校正停止");
    EXPECT_EQ(Calirate()->StatusText(2, 0), "角度校正");
    EXPECT_EQ(Calirate()->StatusText(2, 1), "校正次数：100");

    // The coefficient block sets the display mode that "Display" toggles.
    Feed(CoefficientBlockStart, Coefficients());
    EXPECT_EQ(t.State().DisplayModeByte, 1);
    t->Action("mnuDisplay")->trigger();
    EXPECT_EQ(t.State().Schedule.Slot(2), "00,B0,05,2A,00,01,02,00,00,00,00");

    // Closing hides it, stops a run and brings the metering window back to the front.
    Calirate()->FormActivate();
    EXPECT_TRUE(t->SubWindowOf(t->Window(WindowName::Base))->isMinimized());
    count = "5";
    Calirate()->Button(1)->click();
    EXPECT_EQ(t.State().Schedule.CalibrationReadsLeft, 5);
    Calirate()->close();
    EXPECT_FALSE(Calirate()->isVisible());
    EXPECT_NE(Calirate(), nullptr);
    EXPECT_EQ(t.State().Schedule.CalibrationReadsLeft, -1);
    EXPECT_EQ(Calirate()->StatusText(1, 3), "停止校验！");
    EXPECT_FALSE(t->SubWindowOf(t->Window(WindowName::Base))->isMinimized());
    EXPECT_EQ(t->ClientArea()->activeSubWindow(), t->SubWindowOf(t->Window(WindowName::Base)));
}

TEST_F(CalibrationWindowsTest, CoefficientsWindowReadsEditsAndWritesTheGroups) {
    // Opened from the calibration window, it comes in front of it with the main window.
    t->show();
    Calirate()->show();
    Calirate()->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == Calirate(); }));
    Calirate()->ParameterModification();
    ASSERT_NE(ChangeConst(), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == t.operator->(); }));
    EXPECT_EQ(t->ClientArea()->activeSubWindow(), t->SubWindowOf(ChangeConst()));
    EXPECT_TRUE(t->IsChildOpen(WindowName::ChangeConst));
    EXPECT_EQ(t.State().Schedule.Slot(4), PollSchedule::kCoefficientRead);
    EXPECT_EQ(ChangeConst()->Edit("Edit3")->text(), "00000");

    Feed(CoefficientBlockStart, Coefficients());
    EXPECT_EQ(ChangeConst()->Edit("Edit3")->text(), "-2");
    EXPECT_EQ(ChangeConst()->Edit("Edit17")->text(), "10");
    EXPECT_EQ(Text("LabIaAD"), "-2");
    EXPECT_EQ(Text("LabVaAD"), "-5");
    ExpectLabelsInForm(*Calirate(), CoefficientTexts(Coefficients(), false));

    // The clear box disables its edits; the group goes out as zeros.
    ChangeConst()->CheckBox("ChkBoxZeroConst")->setChecked(true);
    EXPECT_FALSE(ChangeConst()->Edit("Edit9")->isEnabled());
    ChangeConst()->CheckBox("ChkBoxChangedOthers")->setChecked(false);
    ChangeConst()->Edit("Edit0")->setText("300");
    t.State().Schedule.Queue(4, QString());
    ChangeConst()->ConfirmButton()->click();
    EXPECT_TRUE(
        t.State().Schedule.Slot(2).startsWith("00,b0,05,20,00,09,12,01,2C,00,00,00,00,FF,FE,"));
    EXPECT_EQ(t.State().Schedule.Slot(3),
              "00,b0,05,2c,00,08,10,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00");
    EXPECT_TRUE(t.State().Schedule.Slot(4).isEmpty());

    // A bad edit queues nothing at all and names itself.
    for (int slot : {2, 3})
        t.State().Schedule.Queue(slot, QString());
    ChangeConst()->CheckBox("ChkBoxZeroConst")->setChecked(false);
    ChangeConst()->Edit("Edit12")->setText("x");
    ChangeConst()->ConfirmButton()->click();
    EXPECT_TRUE(t.State().Schedule.Slot(2).isEmpty());
    EXPECT_TRUE(t.State().Schedule.Slot(3).isEmpty());
    ASSERT_EQ(t.dialogs.Shown().size(), 1);
    EXPECT_TRUE(t.dialogs.Texts().first().startsWith("VC--RI (Edit12) holds \"x\""));
    EXPECT_EQ(t.dialogs.Shown().first().window, ChangeConst());

    // The meter's confirmation of a gain write closes the window and reads the block back.
    t->Routing().WriteConfirmed(0x526);
    EXPECT_EQ(t.dialogs.Texts().last(), "Modular Coefficients have modified successfully!");
    EXPECT_FALSE(t->IsChildOpen(WindowName::ChangeConst));
    EXPECT_TRUE(t.State().Schedule.PendingReads().contains(PollSchedule::kCoefficientRead));
    // Replies to a closed window go nowhere.
    Feed(CoefficientBlockStart, Coefficients());
}

TEST_F(CalibrationWindowsTest, AmplitudeRunReadsOnlyTheRawVectorsThenWritesOnYes) {
    ExpectLabelsInForm(*Calirate(), CalibrationDisplayTexts(DecodeMeteringBlock(
                                        QList<quint16>(MeteringBlockCount, 2300), {}, QLocale())));
    RegisterBlock metering(MeteringBlockCount);
    metering.Set(0x01, 2300).Set(0x09, 5000).SetSigned(0x0E, -100);
    Feed(MeteringBlockStart, metering);
    EXPECT_EQ(Text("LabelVaCa"), "230.0 V");
    EXPECT_EQ(Text("LabelIaCa"), "5.000 A");
    EXPECT_EQ(Text("LabelPaCa"), "-100 W");

    // 100 V, 100 %: the voltage rows of the low PT range.
    Calirate()->Radio("RadioButton100V")->click();
    EXPECT_FALSE(t.State().CalibrationPt380V);
    EXPECT_TRUE(Calirate()->MenuAction("Menu100V")->isChecked());
    EXPECT_FALSE(Calirate()->MenuAction("Menu380V")->isChecked());
    EXPECT_EQ(Calirate()->StatusText(1, 0), "PT电压= 100V");
    Calirate()->MenuAction("Menu10")->trigger();
    EXPECT_TRUE(Calirate()->Radio("RadioButton10")->isChecked());
    EXPECT_EQ(Calirate()->StatusText(1, 1), "标准值= 10%");
    Calirate()->MenuAction("Menu100")->trigger();

    // A count that can never finish starts nothing.
    count = "0";
    Calirate()->Button(2)->click();
    EXPECT_EQ(t.State().Schedule.CalibrationReadsLeft, -1);
    EXPECT_EQ(t.dialogs.Shown().last().kind, ScriptedDialogs::Kind::DefaultError);
    EXPECT_EQ(t.State().CalibrationCount, "100");

    count = "2";
    Calirate()->Button(2)->click();
    EXPECT_EQ(prompts.last(), "amplitude 100");
    EXPECT_EQ(t.State().CalibrationCount, "2");
    EXPECT_FALSE(t.State().CalibrationAngleMode);
    EXPECT_EQ(Calirate()->StatusText(2, 0), "模值校正");
    EXPECT_FALSE(Enabled("MenuAngle"));
    EXPECT_FALSE(Enabled("MenuOthers"));
    EXPECT_TRUE(Enabled("MenuStop"));
    // The coefficients first, then only the raw vectors; a queued write waits.
    t.State().Schedule.Queue(2, "00,10,01,56,00,00,00,00");
    EXPECT_EQ(t.State().Schedule.NextMessage(1), "01,03,05,1B,00,19,00,00");
    EXPECT_EQ(t.State().Schedule.NextMessage(1), "01,03,05,34,00,0C,00,00");
    EXPECT_EQ(t.State().Schedule.NextMessage(1), "01,03,05,34,00,0C,00,00");
    t.State().Schedule.Queue(2, QString());

    Feed(CoefficientBlockStart, Coefficients());
    EXPECT_EQ(Calirate()->StatusText(1, 0), "PT Voltage= 100V");
    const auto reading = Raw({{990, 0}, {1000, 0}, {0, -1000}, {5000, 0}, {0, 5000}, {0, 0}});
    Feed(RawVectorBlockStart, reading);
    EXPECT_EQ(t.State().Schedule.CalibrationReadsLeft, 1);
    EXPECT_EQ(Calirate()->StatusText(1, 2), "正在读取RI数据= 1");
    EXPECT_EQ(Calirate()->StatusText(1, 3), "校验进行中");
    t.dialogs.Clear();
    t.dialogs.QueueAnswer(true);
    Feed(RawVectorBlockStart, reading);
    EXPECT_EQ(t.State().Schedule.CalibrationReadsLeft, 0);
    EXPECT_EQ(Calirate()->StatusText(1, 2), "读取数据完毕！");
    EXPECT_EQ(Calirate()->StatusText(1, 3), "校验完毕！");
    EXPECT_TRUE(Enabled("MenuAngle"));
    EXPECT_FALSE(Enabled("MenuStop"));
    EXPECT_EQ(Text("LabVaaADv"), "655");
    EXPECT_EQ(Text("LabVbbADv"), "0");
    ASSERT_EQ(t.dialogs.Shown().size(), 1);
    EXPECT_EQ(t.dialogs.Shown().first().caption, "提示信息");
    EXPECT_EQ(t.dialogs.Texts().first(), "原始数据读取计算完毕，写入模校正系数吗（仅电压部分）?");
    // Below it what the write changes; modal to the window whose corrections it asks about.
    EXPECT_EQ(t.dialogs.Shown().first().detail, "UAA--ADJ: 10 → 665");
    EXPECT_EQ(t.dialogs.Shown().first().window, Calirate());
    // 10 + 655, 0 + 0, 0 + 0.
    EXPECT_EQ(t.State().Schedule.Slot(2), "00,b0,05,1b,00,03,06,02,99,00,00,00,00,00,00");
    EXPECT_EQ(t.State().Schedule.NextMessage(1).left(8), "01,b0,05");
}

TEST_F(CalibrationWindowsTest, StoppedAngleRunComputesNothingAndOverLimitIsReported) {
    Feed(CoefficientBlockStart, Coefficients());
    count = "3";
    Calirate()->MenuAction("MenuAngle")->trigger();
    EXPECT_EQ(prompts.last(), "angle 100");
    const auto bench = Raw({{3800, 0}, {-1300, 3571}, {-1900, -3291}, {5000, 0}, {0, 0}, {0, 0}});
    Feed(RawVectorBlockStart, bench);
    t.dialogs.QueueAnswer(false); // Cancel
    Calirate()->StopCalibrating();
    EXPECT_EQ(t.State().Schedule.CalibrationReadsLeft, 2);
    t.dialogs.QueueAnswer(true);
    Calirate()->MenuAction("MenuStop")->trigger();
    EXPECT_EQ(t.dialogs.Shown().last().caption, "停止校正");
    EXPECT_EQ(t.State().Schedule.CalibrationReadsLeft, -1);
    EXPECT_EQ(Calirate()->StatusText(1, 2), "停止读取数据！");
    // A reply still on its way is no reading of a new run.
    Feed(RawVectorBlockStart, bench);
    EXPECT_EQ(Calirate()->StatusText(1, 2), "停止读取数据！");

    count = "1";
    t.dialogs.Clear();
    t.dialogs.QueueAnswer(false);
    Calirate()->Button(1)->click();
    Feed(RawVectorBlockStart, bench);
    // Voltage B sits 10 degrees short: reported, shown and offered all the same.
    ASSERT_EQ(t.dialogs.Shown().size(), 2);
    EXPECT_EQ(t.dialogs.Shown()[0].caption, "错误");
    EXPECT_EQ(t.dialogs.Texts()[0], "计算角差超限（-5~+5）");
    EXPECT_EQ(t.dialogs.Texts()[1], "原始数据读取计算完毕，写入角差校正系数吗?");
    EXPECT_EQ(t.dialogs.Shown()[1].detail, "IA--RI: 0 → 25\nVB--RI: 0 → 9996\nVC--RI: 0 → -1");
    EXPECT_EQ(t.dialogs.Shown()[0].window, Calirate());
    EXPECT_EQ(Text("LabVbRIv"), "9996");
    EXPECT_EQ(Text("LabIaRIv"), "25");
    EXPECT_TRUE(t.State().Schedule.Slot(2).isEmpty()) << "No discards the corrections";
    EXPECT_EQ(t.dialogs.UnansweredQuestions(), 0);
}

TEST_F(CalibrationWindowsTest, ValueLabelsHoldTheWidestTextsAtAnyRatio) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    for (const ExtremeMetering& c : ExtremeMeteringCases(MeteringBlockCount))
        ExpectTextsFitTheirLabels(
            *Calirate(), CalibrationDisplayTexts(DecodeMeteringBlock(c.block, c.ratios, english)),
            c.what);
}
