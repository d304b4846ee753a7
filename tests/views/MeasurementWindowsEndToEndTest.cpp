// The harmonics, max/min, phase angle and meter model windows against the simulated meter
// on a pseudo-terminal, through the real serial port, Modbus master, poll schedule and
// reply routing.

#include "FormAngle.h"
#include "FormDriveType.h"
#include "FormSuperNum.h"
#include "FormWave.h"
#include "MeterModelDecode.h"
#include "MeterSimShell.h"
#include "PhasorDiagram.h"
#include "ShellHarness.h"
#include "SpectrumChart.h"
#include "WindowKit.h"
#include "WiringCheck.h"

#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A rotation is five fixed reads and the active window's block.
constexpr quint32 kRotation = 6;

class MeasurementEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        WidgetTestApp(); // before the simulator process: it reports through the event loop
    }

    // Starts the simulator as COM8 at 38400 baud and a main window polling it every 2 ms.
    void Start(const QStringList& simArguments = {}) {
        ASSERT_TRUE(h.StartMeter(simArguments, {QStringLiteral("COM8"), 38400, 1, 2}))
            << qPrintable(h.SimErrors());
        h.Make(false);
        ASSERT_TRUE(h.dialogs.Shown().isEmpty()) << h.dialogs.Texts().join('|').toStdString();
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        Wave()->SetLocale(us);
        SuperNum()->SetLocale(us);
        Angle()->SetLocale(us);
        h.shell->show();
        h.shell->StartPolling();
    }

    TFormWave* Wave() const { return h.Window<TFormWave>(WindowName::Wave); }
    TFormSuperNum* SuperNum() const { return h.Window<TFormSuperNum>(WindowName::SuperNum); }
    TFormAngle* Angle() const { return h.Window<TFormAngle>(WindowName::Angle); }
    quint32 Sent() const { return h.State().Traffic.SendCount; }
    bool BoxShown(const QString& text) const { return h.dialogs.Texts().contains(text); }
    static bool Matches(const QString& text, const char* pattern) {
        return QRegularExpression(QString::fromLatin1(pattern)).match(text).hasMatch();
    }

    // Shows a window as its menu item does, or activates it by hand when the menu only
    // restores it, and returns the request count at that moment.
    quint32 Activate(const QString& name) {
        const quint32 before = Sent();
        QWidget* w = h.shell->ShowWindowNamed(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        if (w)
            h.shell->ClientArea()->setActiveSubWindow(h.shell->SubWindowOf(w));
        return before;
    }

    // The time stamp of one grid row (the meter keeps two-digit years).
    static QDateTime Stamp(const QTableWidget* grid, int row) {
        int v[6];
        for (int c = 0; c < 6; ++c)
            v[c] = GridCellText(grid, row, c + 1).toInt();
        return QDateTime(QDate(2000 + v[0], v[1], v[2]), QTime(v[3], v[4], v[5]));
    }

    WithMeterSim<ViewShell> h;
};

} // namespace

TEST_F(MeasurementEndToEnd, EachWindowShowsLiveValuesWithinTwoRotations) {
    Start();
    ASSERT_TRUE(WaitUntil([&] { return h.BaseText("LabelF").endsWith(" Hz"); }));
    // Two rotations, the request on the line when the window became active and a one-shot
    // read of the meter model window.
    const quint32 allowed = 2 * kRotation + 2;

    quint32 from = Activate(WindowName::Angle);
    ASSERT_TRUE(WaitUntil([&] { return Angle()->Diagram()->Phasors().has_value(); }));
    EXPECT_LE(Sent() - from, allowed);
    EXPECT_TRUE(Matches(Angle()->Label("LabelAngleUbUa")->text(), R"(^1[12]\d\.\d$)"));
    EXPECT_TRUE(Matches(Angle()->Label("LabelAngleUcUa")->text(), R"(^2[34]\d\.\d$)"));
    EXPECT_EQ(Angle()->WiringText(), QString::fromLatin1(WiringLooksRight));

    from = Activate(WindowName::Wave);
    ASSERT_TRUE(WaitUntil([&] {
        return Wave()->Chart()->Spectrum().has_value() &&
               Wave()->Label("LabelTHD_I")->text() != "00.000";
    }));
    EXPECT_LE(Sent() - from, allowed);
    // The simulated load draws some 8 % of third harmonic.
    const QString third = GridCellText(Wave()->CurrentGrid(), 1, 2);
    EXPECT_TRUE(Matches(third, R"(^[5-9]\.\d %$|^1[01]\.\d %$)")) << third.toStdString();
    EXPECT_GT(Wave()->Chart()->Spectrum()->percent[2][1], 4.0);
    EXPECT_TRUE(Matches(Wave()->Label("LabelTHD_V")->text(), R"(^\d+\.\d$)"));
    EXPECT_TRUE(Matches(GridCellText(Wave()->CurrentGrid(), 3, 33), R"(^\d+\.\d$)"));
    EXPECT_EQ(GridCellText(Wave()->VoltageGrid(), 1, 1), "");

    from = Activate(WindowName::SuperNum);
    ASSERT_TRUE(WaitUntil([&] {
        return GridCellText(SuperNum()->MaxGrid(), 14, 7).endsWith(" Hz") &&
               GridCellText(SuperNum()->MinGrid(), 14, 7).endsWith(" Hz");
    }));
    EXPECT_LE(Sent() - from, allowed);
    EXPECT_TRUE(Matches(GridCellText(SuperNum()->MaxGrid(), 1, 7), R"(^2[234]\d\.\d V$)"));
    EXPECT_TRUE(Stamp(SuperNum()->MinGrid(), 7).isValid());

    from = Activate(WindowName::DriveType);
    auto* model = h.Window<TFormDriveType>(WindowName::DriveType);
    ASSERT_NE(model, nullptr);
    ASSERT_TRUE(WaitUntil([&] {
        return model->Label("LabelVersion")->text() == "1.20" &&
               model->Label("LabelEquipRunTime")->text().endsWith(" Hours") &&
               !model->Label("LabelEquipTime")->text().isEmpty();
    }));
    EXPECT_LE(Sent() - from, allowed);
    EXPECT_EQ(model->Combo("ComboSYSHz")->currentText(), "50 Hz");
    EXPECT_EQ(model->Combo("ComboDisplay")->currentText(), "Normal");
}

TEST_F(MeasurementEndToEnd, ClearStatisticsRestartsTheRecordsAndTheGridsShowIt) {
    const QDateTime started = QDateTime::currentDateTime();
    Start();
    Activate(WindowName::SuperNum);
    auto filled = [&](const QTableWidget* grid) {
        return GridCellText(grid, 17, 7).endsWith("VA");
    };
    ASSERT_TRUE(
        WaitUntil([&] { return filled(SuperNum()->MaxGrid()) && filled(SuperNum()->MinGrid()); }));
    ASSERT_TRUE(WaitUntil([&] { return h.shell->Connected(); }));
    // Clear in a later second than the meter's start: records that have not moved since
    // (the slow demands) still carry the start's stamp until the clear.
    ASSERT_TRUE(WaitUntil(
        [&] {
            return QDateTime::currentDateTime().toSecsSinceEpoch() > started.toSecsSinceEpoch() + 1;
        },
        5000));
    const QDateTime cleared = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch());
    auto earliest = [&] {
        QDateTime first = Stamp(SuperNum()->MaxGrid(), 1);
        for (const QTableWidget* grid : {SuperNum()->MaxGrid(), SuperNum()->MinGrid()})
            for (int row = 1; row <= 17; ++row)
                first = std::min(first, Stamp(grid, row));
        return first;
    };
    ASSERT_LT(earliest(), cleared) << "nothing to clear yet";

    h.dialogs.QueueAnswer(true);
    SuperNum()->ClearButton()->click();
    EXPECT_EQ(h.dialogs.Texts(), QStringList({"Are you sure to clear these Max/Min Statistics?"}));
    // Both grids are read again after the clear: every record starts afresh.
    EXPECT_TRUE(WaitUntil([&] { return earliest() >= cleared; }))
        << earliest().toString(Qt::ISODate).toStdString() << " before "
        << cleared.toString(Qt::ISODate).toStdString();
    EXPECT_LE(earliest().secsTo(QDateTime::currentDateTime()), 5);
}

TEST_F(MeasurementEndToEnd, AdjustSetsTheMeterClockAndResetZeroesTheRunTime) {
    Start();
    h.shell->ShowWindowOfMenuItem("MM0304");
    auto* model = h.Window<TFormDriveType>(WindowName::DriveType);
    ASSERT_NE(model, nullptr);
    QLabel* clock = model->Label("LabelEquipTime");
    QLabel* runTime = model->Label("LabelEquipRunTime");
    ASSERT_TRUE(WaitUntil([&] { return h.shell->Connected(); }));
    ASSERT_TRUE(WaitUntil([&] { return runTime->text().endsWith(" Hours"); }));
    ASSERT_NE(runTime->text(), "0.00 Hours");

    // Put the meter's clock far off first, with the message "Adjust" builds.
    h.State().Schedule.Queue(WriteSlot,
                             ClockAdjustMessage(QDateTime(QDate(2006, 3, 1), QTime(12, 34, 56))));
    ASSERT_TRUE(WaitUntil([&] { return clock->text().startsWith("2006-3-1 12:3"); }))
        << clock->text().toStdString();
    h.dialogs.Clear();

    h.dialogs.QueueAnswer(true);
    model->Button("Button2")->click();
    ASSERT_TRUE(WaitUntil([&] { return BoxShown("Meter Clock has adjusted successfully!"); }));
    EXPECT_EQ(h.dialogs.Texts().first(), "Are you sure to adjust the Meter Clock?");
    clock->setText(QString());
    ASSERT_TRUE(WaitUntil([&] { return !clock->text().isEmpty(); }));
    const QDateTime meter = QDateTime::fromString(clock->text(), "yyyy-M-d H:m:s");
    ASSERT_TRUE(meter.isValid()) << clock->text().toStdString();
    EXPECT_LE(std::abs(meter.secsTo(QDateTime::currentDateTime())), 2)
        << clock->text().toStdString();

    h.dialogs.Clear();
    h.dialogs.QueueAnswer(true);
    model->Button("Button3")->click();
    EXPECT_EQ(h.dialogs.Texts(), QStringList({"Are you sure to reset the Meter Runtime?"}));
    EXPECT_TRUE(WaitUntil([&] { return runTime->text() == "0.00 Hours"; }))
        << runTime->text().toStdString();
}

TEST_F(MeasurementEndToEnd, WiringFaultsOfTheMeterBringTheirHints) {
    const struct {
        QStringList options;
        const char* hint;
    } cases[] = {
        {{"--wiring-fault", "reversed-ct2"}, "CT2 is reversed"},
        {{"--wiring-fault", "swapped-phases23"}, "Phase sequence reversed"},
        // A feeder that exports is not three reversed CTs.
        {{"--export"}, "either power flows towards the supply"},
    };
    for (const auto& c : cases) {
        Start(c.options);
        Activate(WindowName::Angle);
        EXPECT_TRUE(WaitUntil([&] { return Angle()->WiringText().contains(c.hint); }))
            << c.options.join(' ').toStdString() << ": " << Angle()->WiringText().toStdString();
        TearDown();
    }
}

TEST_F(MeasurementEndToEnd, TheModelReadOfTheMeterModelWindowLostOnTheLineIsAskedAgain) {
    // The meter leaves the first read of its model block unanswered, as a noisy line would;
    // nothing but the window's activation reads that block.
    Start({"--drop-read", "0x510"});
    ASSERT_TRUE(WaitUntil([&] { return h.shell->Connected(); }));
    auto* model = qobject_cast<TFormDriveType*>(h.shell->ShowWindowOfMenuItem("MM0304"));
    ASSERT_NE(model, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return model->Label("LabelVersion")->text() == "1.20"; }))
        << model->Label("LabelVersion")->text().toStdString();
    EXPECT_GE(h.State().Traffic.NoResponseCount, 1);
    // The read that filled the window was a second one: the first was lost.
    h.sim->signal(SIGUSR1);
    EXPECT_TRUE(h.sim->waitForError(" scripted_drops=1\n")) << qPrintable(h.SimErrors());
}
