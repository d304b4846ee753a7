// The harmonics, max/min, phase angle and meter model windows on their own: every decoded
// name has its control, the controls start as the meter's windows do, and the buttons
// queue their writes only after the connection check and a Yes.

#include "FormAngle.h"
#include "FormDriveType.h"
#include "FormSuperNum.h"
#include "FormWave.h"
#include "HarmonicsDecode.h"
#include "MaxMinDecode.h"
#include "MeterModelDecode.h"
#include "PhaseAngleDecode.h"
#include "PhasorDiagram.h"
#include "SpectrumChart.h"
#include "WindowKit.h"
#include "WiringCheck.h"

#include "RegisterBlock.h"
#include "ScriptedDialogs.h"
#include "SessionState.h"
#include "WindowTable.h"
#include "WindowTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);

class MeasurementWindows : public ::testing::Test {
protected:
    void SetUp() override {
        WidgetTestApp();
        state.Schedule.Restart();
        state.Schedule.Queue(ReadOnceSlot, QString());
    }
    QStringList Queued() const {
        QStringList q;
        for (int slot = 1; slot <= 5; ++slot)
            q << state.Schedule.Slot(slot);
        return q;
    }
    static QStringList Only(int slot, const QString& message) {
        QStringList q(5);
        q[slot - 1] = message;
        return q;
    }

    SessionState state;
    ScriptedDialogs dialogs;
};

} // namespace

TEST_F(MeasurementWindows, HarmonicsWindowShowsDistortionSpectrumAndChart) {
    TFormWave form(state);
    form.SetLocale(kUs);
    EXPECT_EQ(form.windowTitle(), "Voltage / Current Harmonics");
    ExpectLabelsInForm(form, DecodeThdBlock(RegisterBlock(ThdBlockCount), kUs));
    ExpectLabelsNotReadYet(form, DecodeThdBlock(RegisterBlock(ThdBlockCount), kUs));
    EXPECT_EQ(form.Label("LabelTHD_V1")->text(), "");
    EXPECT_EQ(form.Label("CaptionTHD_I")->text(), "THD_Iavg:");

    // Grids of 35 and 34 columns by 4 rows, counting the headings.
    QTableWidget* u = form.VoltageGrid();
    QTableWidget* i = form.CurrentGrid();
    EXPECT_EQ(u->columnCount() + 1, 35);
    EXPECT_EQ(i->columnCount() + 1, 34);
    EXPECT_EQ(u->rowCount() + 1, 4);
    EXPECT_EQ(GridCellText(u, 0, 34), "THFF(TIF)");
    EXPECT_EQ(GridCellText(i, 3, 0), "I3");
    EXPECT_TRUE(u->toolTip().contains("no voltage spectrum"));

    const RegisterBlock spectrum = RegisterBlock(CurrentSpectrumCount).Set(5, 250).Set(32, 15);
    ExpectCellsInGrid(*i, DecodeCurrentSpectrum(spectrum, kUs));
    EXPECT_FALSE(form.Chart()->Spectrum());
    form.ShowCurrentSpectrum(spectrum);
    EXPECT_EQ(GridCellText(i, 1, 6), "2.5 %");
    ASSERT_TRUE(form.Chart()->Spectrum());
    EXPECT_DOUBLE_EQ(form.Chart()->Spectrum()->percent[0][5], 2.5);

    // The grids belong to model index 1 only.
    EXPECT_TRUE(u->isEnabled());
    state.MeterModel = 0;
    form.FormActivate();
    EXPECT_FALSE(u->isEnabled());
    EXPECT_FALSE(i->isEnabled());
    form.ApplyMeterModel(1);
    EXPECT_TRUE(i->isEnabled());

    EXPECT_DOUBLE_EQ(SpectrumAxisTop(0.0), 1.0);
    EXPECT_DOUBLE_EQ(SpectrumAxisTop(7.3), 10.0);
    EXPECT_DOUBLE_EQ(SpectrumAxisTop(10.0), 10.0);
    EXPECT_DOUBLE_EQ(SpectrumAxisTop(12.0), 20.0);
    EXPECT_DOUBLE_EQ(SpectrumAxisTop(655.35), 1000.0);
}

TEST_F(MeasurementWindows, MaxMinWindowFillsEachGridAndClearsOnlyAfterYes) {
    TFormSuperNum form(state, dialogs);
    form.SetLocale(kUs);
    EXPECT_EQ(form.windowTitle(), "Max / Min Statistics with Time Stamps");
    for (QTableWidget* grid : {form.MaxGrid(), form.MinGrid()}) {
        EXPECT_EQ(grid->columnCount() + 1, 8);
        EXPECT_EQ(grid->rowCount() + 1, 18);
        EXPECT_EQ(GridCellText(grid, 17, 0), "Dmd_S");
        ExpectCellsInGrid(*grid, DecodeMaxMinBlock(RegisterBlock(MaxMinBlockCount), {}, kUs));
    }
    EXPECT_EQ(GridCellText(form.MinGrid(), 0, 7), "Min Value");

    EXPECT_EQ(form.ClearButton()->text(), "Clear Statistics");
    form.ClearButton()->click(); // not connected
    EXPECT_EQ(dialogs.Texts(), QStringList({"Please connect the meter first! "}));
    EXPECT_EQ(Queued(), QStringList(5));
    state.Traffic.Connected = true;
    dialogs.QueueAnswer(false);
    form.ClearButton()->click();
    EXPECT_EQ(Queued(), QStringList(5));
    dialogs.QueueAnswer(true);
    form.ClearButton()->click();
    EXPECT_EQ(dialogs.Texts().last(), "Are you sure to clear these Max/Min Statistics?");
    EXPECT_EQ(dialogs.Shown().last().caption, "Prompt");
    EXPECT_EQ(Queued(), Only(WriteSlot, "00,10,01,14,00,01,02,00,0A,00,00"));
}

TEST_F(MeasurementWindows, AngleWindowDrawsPhasorsAndNamesWiringFaults) {
    TFormAngle form;
    form.SetLocale(kUs);
    EXPECT_EQ(form.windowTitle(), "Phase Angle Parameters");
    ExpectLabelsInForm(form, DecodePhaseAngleBlock(RegisterBlock(PhaseAngleBlockCount), kUs));
    ExpectLabelsNotReadYet(form, DecodePhaseAngleBlock(RegisterBlock(PhaseAngleBlockCount), kUs));
    EXPECT_EQ(form.Label("LabelAngleIcUab")->text(), "");
    EXPECT_EQ(form.Label("CaptionAngleUbcUab")->text(), "V23 - V12 Phase Angle:");

    RegisterBlock metering(54);
    for (int k = 0; k < 3; ++k)
        metering.Set(0x01 + k, 2300).Set(0x09 + k, 5000);
    // Angles before the first metering block: the labels fill, the diagram waits.
    const RegisterBlock angles =
        RegisterBlock(8).Set(0, 1200).Set(1, 2400).Set(2, 180).Set(3, 1380).Set(
            4, 780); // I3 at 78 degrees: CT3 reversed
    form.ShowAngles(angles);
    EXPECT_EQ(form.Label("LabelAngleUbUa")->text(), "120.0");
    EXPECT_FALSE(form.Diagram()->Phasors());
    form.ShowMeteringBlock(metering);
    form.ShowAngles(angles);
    ASSERT_TRUE(form.Diagram()->Phasors());
    EXPECT_DOUBLE_EQ(form.Diagram()->Phasors()->currentLag[2], 78.0);
    EXPECT_EQ(form.WiringText(),
              "\u2022 I3 is 162\u00B0 from V3: CT3 is reversed. Swap its S1 and S2 leads.");
    form.ShowAngles(RegisterBlock(angles).Set(4, 2580));
    EXPECT_EQ(form.WiringText(), QString::fromLatin1(WiringLooksRight));
}

TEST_F(MeasurementWindows, MeterModelWindowActivatesAndWritesAsTheMeterExpects) {
    int applied = 0;
    TFormDriveType form(state, dialogs, [&] { ++applied; });
    form.SetLocale(kUs);
    form.SetClock([] { return QDateTime(QDate(2006, 3, 1), QTime(12, 34, 56)); });
    EXPECT_EQ(form.windowTitle(), "Select Meter Model");
    QComboBox* model = form.Combo("ComboDriveType");
    EXPECT_EQ(model->count(), 2);
    EXPECT_EQ(model->itemText(0), "QETRA 7100");
    EXPECT_EQ(form.Label("LabelVersion")->text(), "");
    EXPECT_EQ(form.Label("LabelEquipTime")->text(), "");
    EXPECT_EQ(form.Label("LabelEquipRunTime")->text(), "");
    for (const char* name : {"Label9", "LabelEquipTime", "Label5", "LabelEquipRunTime"})
        EXPECT_FALSE(form.Label(name)->isEnabled()) << name;
    EXPECT_FALSE(form.Button("Button2")->isEnabled());
    EXPECT_FALSE(form.Button("Button3")->isEnabled());
    EXPECT_FALSE(form.Combo("ComboSYSHz")->isEnabled());
    EXPECT_FALSE(form.Combo("ComboDisplay")->isEnabled());
    form.show();
    // Nothing makes the PT type, its caption or "Set" visible.
    EXPECT_FALSE(form.Combo("ComboPT")->isVisible());
    EXPECT_FALSE(form.Label("Label3")->isVisible());
    EXPECT_FALSE(form.Button("Button1")->isVisible());
    EXPECT_TRUE(form.Combo("ComboSYSHz")->isVisible());

    state.MeterModel = 0;
    form.FormActivate();
    EXPECT_EQ(model->currentIndex(), 0);
    EXPECT_EQ(applied, 0); // following the main window is no choice of the operator
    EXPECT_EQ(Queued(), Only(ReadOnceSlot, "00,03,05,10,00,22,00,00"));
    for (const char* name : {"Label9", "LabelEquipTime", "Label5", "LabelEquipRunTime"})
        EXPECT_TRUE(form.Label(name)->isEnabled()) << name;
    EXPECT_TRUE(form.Button("Button2")->isEnabled());
    EXPECT_TRUE(form.Button("Button3")->isEnabled());

    // The operator picks the 7300: the main window applies it, the clock stays polled
    // beside whatever else is set.
    state.Schedule.SetWindowReads(WindowName::Angle, {"00,03,03,9D,00,08,00,00"});
    state.Schedule.SetWindowReads(WindowName::DriveType, {"00,03,03,2A,00,06,00,00"});
    state.Schedule.SelectWindowReads(WindowName::Angle);
    model->setCurrentIndex(1);
    emit model->activated(1);
    EXPECT_EQ(state.MeterModel, 1);
    EXPECT_EQ(applied, 1);
    EXPECT_TRUE(state.Schedule.ReadsWindow(WindowName::DriveType));
    EXPECT_TRUE(state.Schedule.ReadsWindow(WindowName::Angle));

    RegisterBlock modelBlock(34);
    modelBlock.Set(0, 0x0131).Set(1, 0x2E).Set(2, 0x32).Set(3, 0x30).Set(0x19, 2).Set(0x1A, 1).Set(
        0x1B, 1);
    form.ShowModelBlock(modelBlock);
    EXPECT_EQ(form.Label("LabelVersion")->text(), "1.20");
    EXPECT_EQ(form.Combo("ComboSYSHz")->currentText(), "50 Hz");
    EXPECT_EQ(form.Combo("ComboDisplay")->currentText(), "All Lights");
    EXPECT_EQ(form.Combo("ComboPT")->currentText(), "380 V");
    form.ShowClock(
        RegisterBlock(6).Set(0, 2006).Set(1, 3).Set(2, 1).Set(3, 12).Set(4, 34).Set(5, 56));
    EXPECT_EQ(form.Label("LabelEquipTime")->text(), "2006-3-1 12:34:56");
    form.ShowClock(RegisterBlock(6).First(5)); // a short reply changes nothing
    EXPECT_EQ(form.Label("LabelEquipTime")->text(), "2006-3-1 12:34:56");
    form.ShowRunTime(RegisterBlock(2).Set(0, 1).Set(1, 0x86A0));
    EXPECT_EQ(form.Label("LabelEquipRunTime")->text(), "1000.00 Hours");

    // Writes: not connected, then No, then Yes.
    state.Schedule.Queue(ReadOnceSlot, QString());
    form.Button("Button2")->click();
    EXPECT_EQ(dialogs.Texts(), QStringList({"Please connect the meter first! "}));
    state.Traffic.Connected = true;
    dialogs.QueueAnswer(false);
    form.Button("Button3")->click();
    EXPECT_EQ(Queued(), QStringList(5));
    dialogs.QueueAnswer(true);
    form.Button("Button2")->click();
    EXPECT_EQ(dialogs.Texts().last(), "Are you sure to adjust the Meter Clock?");
    EXPECT_EQ(Queued(),
              Only(WriteSlot, "00,10,03,2A,00,06,0C,07,D6,00,03,00,01,00,0C,00,22,00,38,00,00"));
    dialogs.QueueAnswer(true);
    form.Button("Button3")->click();
    EXPECT_EQ(dialogs.Texts().last(), "Are you sure to reset the Meter Runtime?");
    EXPECT_EQ(Queued(), Only(WriteSlot, "00,10,01,15,00,01,02,00,0A,00,00"));
    // "Set" asks nothing.
    const int boxes = int(dialogs.Shown().size());
    form.Button1Click();
    EXPECT_EQ(dialogs.Shown().size(), boxes);
    EXPECT_EQ(Queued(), Only(WriteSlot, "00,B0,05,29,00,03,06,00,00,00,01,00,01,00,00"));
    EXPECT_EQ(dialogs.UnansweredQuestions(), 0);
}
