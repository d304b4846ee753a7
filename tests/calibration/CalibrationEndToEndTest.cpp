// A miscalibrated simulated meter on its calibration bench (380 V, rated current),
// calibrated through the program over a real pseudo-terminal: one amplitude run and one
// angle run, each answered Yes, leave nothing for the next runs to correct, and the
// metering window then agrees with the bench.

#include "CalibrationWindows.h"
#include "FormBase.h"
#include "FormCalirate.h"
#include "MeterSimShell.h"
#include "TestShell.h"
#include "ViewWindows.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

namespace {

// What the bench feeds, in what the metering window shows: 380.0 V, 5.000 A, unity
// power factor.
constexpr double kVolts = 380.0;
constexpr double kAmps = 5.0;
// What 20 readings of 16-bit raw vectors can tell apart (see below): gain counts and
// thousandths of a degree.
constexpr int kGainBound = 15;
constexpr int kAngleBound = 18;

// The number in front of a value's unit ("387.6 V" -> 387.6, "-50 var" -> -50).
double Number(const QString& text) {
    QString n = text.section(QLatin1Char(' '), 0, 0);
    n.remove(QLatin1Char(','));
    bool ok = false;
    const double v = n.toDouble(&ok);
    return ok ? v : std::nan("");
}

class CalibrationEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        WidgetTestApp();
        ASSERT_TRUE(
            t.StartMeter({"--reference", "380V/100%", "--miscalibrate"}, {QStringLiteral("COM8")}))
            << qPrintable(t.SimErrors());
        t.Make({RegisterViewWindows, RegisterCalibrationWindows}, TestShell::RealPort);
        ASSERT_TRUE(t.dialogs.Shown().isEmpty()) << t.dialogs.Texts().join('|').toStdString();
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        Base()->SetLocale(english);
        Calirate()->SetLocale(english);
        Calirate()->SetCountPrompt([](CalibrationMode, const QString&) { return QString("20"); });
        t->ShowFactoryMenus();
        t->StartPolling();
    }

    TFormBase* Base() const { return t.Window<TFormBase>(WindowName::Base); }
    TFormCalirate* Calirate() const { return t.Window<TFormCalirate>(WindowName::Calirate); }
    QString Text(const char* label) const { return Calirate()->Label(label)->text(); }
    double Metering(const char* label) const { return Number(Base()->Label(label)->text()); }

    // One run of 20 readings started by `button`; the operator answers the write question
    // with `yes`. Returns the corrections shown, by "Calculate Value" label.
    QMap<QString, int> RunCalibration(int button, bool yes, const QStringList& labels) {
        t.dialogs.Clear();
        t.dialogs.QueueAnswer(yes);
        for (const QString& l : labels)
            Calirate()->Label(l)->setText(QString());
        Calirate()->Button(button)->click();
        const bool asked = WaitUntil(
            [&] {
                for (const auto& box : t.dialogs.Shown())
                    if (box.kind == ScriptedDialogs::Kind::Question)
                        return true;
                return false;
            },
            20000);
        EXPECT_TRUE(asked) << t.dialogs.Texts().join('|').toStdString();
        EXPECT_EQ(Calirate()->StatusText(1, 3), "校验完毕！");
        QMap<QString, int> corrections;
        for (const QString& l : labels) {
            bool ok = false;
            corrections[l] = Text(qPrintable(l)).toInt(&ok);
            EXPECT_TRUE(ok) << l.toStdString() << " shows " << Text(qPrintable(l)).toStdString();
        }
        return corrections;
    }

    // Waits until the coefficient `history` shows `value` (the meter stored the write and
    // the program read the block back).
    bool HistoryShows(const char* history, int value) {
        return WaitUntil([&] { return Text(history) == QString::number(value); }, 10000);
    }

    MeterSimShell t;
};

const QStringList kGainLabels = {"LabVaADv", "LabVbADv", "LabVcADv",
                                 "LabIaADv", "LabIbADv", "LabIcADv"};
const QStringList kAngleLabels = {"LabIaRIv", "LabVbRIv", "LabIbRIv", "LabVcRIv", "LabIcRIv"};

void Report(const char* what, const QMap<QString, int>& corrections) {
    std::printf("%s:", what);
    for (auto it = corrections.cbegin(); it != corrections.cend(); ++it)
        std::printf(" %s=%d", qPrintable(it.key()), it.value());
    std::printf("\n");
}

} // namespace

TEST_F(CalibrationEndToEnd, TwoRunsCalibrateTheMeterToTheBench) {
    t->Action("MM05")->trigger();
    ASSERT_TRUE(Calirate()->isVisible());
    ASSERT_TRUE(WaitUntil([&] { return t->Connected(); }));
    // Before: voltage B reads 2 % high, current C's phase leaves reactive power.
    ASSERT_TRUE(WaitUntil([&] { return Metering("LabelUb") > 300; }));
    EXPECT_NEAR(Metering("LabelUb"), kVolts * 1.02, 0.4);
    EXPECT_LT(Metering("LabelQc"), -40);
    ASSERT_TRUE(WaitUntil([&] { return Text("LabVbAD") != "000000"; }));

    const int gainVb = Text("LabVbAD").toInt();
    const auto amplitude = RunCalibration(2, true, kGainLabels);
    Report("amplitude run 1", amplitude);
    // 2 % of 65535 counts off on voltage B; the others were calibrated at the factory.
    EXPECT_NEAR(amplitude["LabVbADv"], -1311, kGainBound);
    for (const char* l : {"LabVaADv", "LabVcADv", "LabIaADv", "LabIbADv", "LabIcADv"})
        EXPECT_NEAR(amplitude[l], 0, kGainBound) << l;
    ASSERT_TRUE(HistoryShows("LabVbAD", gainVb + amplitude["LabVbADv"]));

    const int angleIc = Text("LabIcRI").toInt();
    const auto angle = RunCalibration(1, true, kAngleLabels);
    Report("angle run 1", angle);
    EXPECT_NEAR(angle["LabIcRIv"], -1500, kAngleBound);
    for (const char* l : {"LabIaRIv", "LabVbRIv", "LabIbRIv", "LabVcRIv"})
        EXPECT_NEAR(angle[l], 0, kAngleBound) << l;
    ASSERT_TRUE(HistoryShows("LabIcRI", angleIc + angle["LabIcRIv"]));
    EXPECT_TRUE(t.dialogs.Texts().contains("Angle Difference Const has modified successfully!"));

    // The next runs find nothing left to correct beyond what the raw vectors' last digit
    // leaves in an average of 20 readings: one count of a raw vector is 17 gain counts
    // and 15 thousandths of a degree at 380 V, so a run's average wanders by some 3 to 4
    // counts. The bounds are four times that, a hundredth of the drift corrected above.
    const auto amplitudeAfter = RunCalibration(2, false, kGainLabels);
    Report("amplitude run 2", amplitudeAfter);
    for (const QString& l : kGainLabels)
        EXPECT_NEAR(amplitudeAfter[l], 0, kGainBound) << l.toStdString();
    const auto angleAfter = RunCalibration(1, false, kAngleLabels);
    Report("angle run 2", angleAfter);
    for (const QString& l : kAngleLabels)
        EXPECT_NEAR(angleAfter[l], 0, kAngleBound) << l.toStdString();

    // The metering window agrees with the bench.
    for (const char* l : {"LabelUa", "LabelUb", "LabelUc"})
        Base()->Label(l)->setText(QString());
    ASSERT_TRUE(WaitUntil([&] { return !Base()->Label("LabelUc")->text().isEmpty(); }));
    std::printf(
        "metering: %s %s %s, %s %s %s, %s %s %s\n", qPrintable(Base()->Label("LabelUa")->text()),
        qPrintable(Base()->Label("LabelUb")->text()), qPrintable(Base()->Label("LabelUc")->text()),
        qPrintable(Base()->Label("LabelIa")->text()), qPrintable(Base()->Label("LabelIb")->text()),
        qPrintable(Base()->Label("LabelIc")->text()), qPrintable(Base()->Label("LabelQa")->text()),
        qPrintable(Base()->Label("LabelQb")->text()), qPrintable(Base()->Label("LabelQc")->text()));
    for (const char* l : {"LabelUa", "LabelUb", "LabelUc"})
        EXPECT_NEAR(Metering(l), kVolts, 0.3) << l;
    for (const char* l : {"LabelIa", "LabelIb", "LabelIc"})
        EXPECT_NEAR(Metering(l), kAmps, 0.004) << l;
    for (const char* l : {"LabelQa", "LabelQb", "LabelQc"})
        EXPECT_NEAR(Metering(l), 0, 3) << l;
    EXPECT_EQ(Text("LabelVbCa"), Base()->Label("LabelUb")->text());
    EXPECT_EQ(t.dialogs.UnansweredQuestions(), 0);
}
