// The harmonics, max/min, phase angle and meter model windows registered with the main
// window: created and minimised as the program starts, their blocks selected by activation
// and routed to them, the meter model applied through the main window.

#include "FormAngle.h"
#include "FormDriveType.h"
#include "FormSuperNum.h"
#include "FormWave.h"
#include "PhasorDiagram.h"
#include "ShellHarness.h"
#include "SpectrumChart.h"
#include "WindowKit.h"

#include "RegisterBlock.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

class MeasurementShell : public ::testing::Test {
protected:
    void SetUp() override {
        h.Make(true);
        h.shell->show();
        for (QWidget* w : {static_cast<QWidget*>(Wave()), static_cast<QWidget*>(SuperNum()),
                           static_cast<QWidget*>(Angle())})
            ASSERT_NE(w, nullptr);
        Wave()->SetLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        SuperNum()->SetLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        Angle()->SetLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    TFormWave* Wave() const { return h.Window<TFormWave>(WindowName::Wave); }
    TFormSuperNum* SuperNum() const { return h.Window<TFormSuperNum>(WindowName::SuperNum); }
    TFormAngle* Angle() const { return h.Window<TFormAngle>(WindowName::Angle); }
    TFormDriveType* DriveType() const { return h.Window<TFormDriveType>(WindowName::DriveType); }
    ReplyRouting& Routing() const { return h.shell->Routing(); }

    ViewShell h;
};

} // namespace

TEST_F(MeasurementShell, ResidentWindowsStartMinimisedAndEachActivationSelectsItsBlocks) {
    for (QWidget* w : {static_cast<QWidget*>(Wave()), static_cast<QWidget*>(SuperNum()),
                       static_cast<QWidget*>(Angle())})
        EXPECT_TRUE(h.shell->SubWindowOf(w)->isMinimized()) << w->objectName().toStdString();
    EXPECT_FALSE(h.shell->IsChildOpen(WindowName::DriveType));

    PollSchedule& s = h.shell->Schedule();
    const struct {
        const char* menuItem;
        const char* window;
        QStringList reads; // the sixth place, in turn
    } cases[] = {
        {"MM0203", "FormSuperNum", {"00,03,02,39,00,77,00,00", "00,03,02,B0,00,77,00,00"}},
        {"MM0206", "FormAngle", {"00,03,03,9D,00,08,00,00"}},
        {"MM0204", "FormWave", {"00,03,01,68,00,08,00,00", "00,03,01,D6,00,63,00,00"}},
        {"MM0304", "FormDriveType", {"00,03,03,2A,00,06,00,00", "00,03,03,A5,00,02,00,00"}},
    };
    for (const auto& c : cases) {
        // The harmonics menu item only restores its window, which activates it when it was
        // minimised.
        QWidget* w = h.shell->ShowWindowOfMenuItem(c.menuItem);
        ASSERT_NE(w, nullptr) << c.window;
        EXPECT_EQ(h.shell->ClientArea()->activeSubWindow(), h.shell->SubWindowOf(w)) << c.window;
        EXPECT_EQ(s.WindowReads(c.window), c.reads) << c.window;
        for (const auto& other : cases)
            EXPECT_EQ(s.ReadsWindow(other.window), other.window == c.window)
                << c.window << " reads " << other.window;
    }
    // The meter model window's activation reads block 0x510, behind the session's parameter
    // read that is still waiting.
    EXPECT_EQ(s.PendingReads(),
              QStringList({PollSchedule::kParameterRead, "00,03,05,10,00,22,00,00"}));
    EXPECT_TRUE(DriveType()->Button("Button2")->isEnabled());

    QPointer<TFormDriveType> model = DriveType();
    h.shell->CloseChild(WindowName::DriveType);
    ASSERT_TRUE(WaitUntil([&] { return model.isNull(); }));
    EXPECT_FALSE(s.ReadsWindow(WindowName::DriveType));
}

TEST_F(MeasurementShell, RepliesReachTheirWindows) {
    Routing().RegistersReceived(0x168, RegisterBlock(8).Set(0, 1234));
    EXPECT_EQ(Wave()->Label("LabelTHD_V1")->text(), "12.3");
    // The spectrum block fills the grid and the chart whether or not it was asked for.
    Routing().RegistersReceived(0x1D6, RegisterBlock(99).Set(33 + 5, 250));
    EXPECT_EQ(GridCellText(Wave()->CurrentGrid(), 2, 6), "2.5 %");
    ASSERT_TRUE(Wave()->Chart()->Spectrum());
    EXPECT_DOUBLE_EQ(Wave()->Chart()->Spectrum()->percent[1][5], 2.5);

    // A minimum block fills only the minimum grid, with the ratios of the last 0x100.
    RegisterBlock params(34);
    params.Set(0x05, 0).Set(0x06, 10000).Set(0x07, 100).Set(0x08, 5);
    Routing().RegistersReceived(0x100, params);
    Routing().RegistersReceived(0x2B0, RegisterBlock(119).Set(0, 2300).Set(1, 26));
    EXPECT_EQ(GridCellText(SuperNum()->MinGrid(), 1, 7), "23.000 kV");
    EXPECT_EQ(GridCellText(SuperNum()->MaxGrid(), 1, 7), "");

    RegisterBlock metering(54);
    for (int k = 0; k < 3; ++k)
        metering.Set(0x01 + k, 2300).Set(0x09 + k, 5000);
    Routing().RegistersReceived(0x130, metering);
    Routing().RegistersReceived(
        0x39D, RegisterBlock(8).Set(0, 2400).Set(1, 1200).Set(2, 180).Set(3, 2580).Set(4, 1380));
    EXPECT_EQ(Angle()->Label("LabelAngleUbUa")->text(), "240.0");
    ASSERT_TRUE(Angle()->Diagram()->Phasors());
    EXPECT_TRUE(Angle()->WiringText().contains("Phase sequence reversed"))
        << Angle()->WiringText().toStdString();

    // Meter model blocks: the display mode byte always, the window only while it is open.
    RegisterBlock modelBlock(34);
    modelBlock.Set(0, '2').Set(1, '.').Set(2, '0').Set(3, '1').Set(0x1A, 1);
    Routing().RegistersReceived(0x510, modelBlock);
    EXPECT_EQ(h.State().DisplayModeByte, 1);
    auto* model = qobject_cast<TFormDriveType*>(h.shell->ShowWindowOfMenuItem("MM0304"));
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->Label("LabelVersion")->text(), "");
    Routing().RegistersReceived(0x510, modelBlock.Set(0x1A, 0));
    EXPECT_EQ(model->Label("LabelVersion")->text(), "2.01");
    EXPECT_EQ(model->Combo("ComboDisplay")->currentIndex(), 0);
    EXPECT_EQ(h.State().DisplayModeByte, 0);
    Routing().RegistersReceived(0x32A, RegisterBlock(6).Set(0, 2006).Set(1, 3).Set(2, 1));
    EXPECT_EQ(model->Label("LabelEquipTime")->text(), "2006-3-1 0:0:0");
    Routing().RegistersReceived(0x3A5, RegisterBlock(2).Set(1, 12345));
    EXPECT_TRUE(model->Label("LabelEquipRunTime")->text().endsWith(" Hours"));
}

TEST_F(MeasurementShell, ChoosingAModelAppliesItThroughTheMainWindow) {
    auto* model = qobject_cast<TFormDriveType*>(h.shell->ShowWindowOfMenuItem("MM0304"));
    ASSERT_NE(model, nullptr);
    QComboBox* list = model->Combo("ComboDriveType");
    EXPECT_EQ(list->currentIndex(), 1);
    list->setCurrentIndex(0);
    emit list->activated(0);
    EXPECT_EQ(h.State().MeterModel, 0);
    EXPECT_TRUE(h.shell->windowTitle().endsWith("-- QETRA 7100"));
    EXPECT_FALSE(h.shell->Action("MM0303")->isVisible());
    EXPECT_FALSE(Wave()->CurrentGrid()->isEnabled());
    EXPECT_FALSE(Wave()->VoltageGrid()->isEnabled());
    EXPECT_TRUE(h.State().Schedule.ReadsWindow(WindowName::DriveType));

    list->setCurrentIndex(1);
    emit list->activated(1);
    EXPECT_TRUE(h.shell->windowTitle().endsWith("-- QETRA 7300"));
    EXPECT_TRUE(Wave()->CurrentGrid()->isEnabled());
}
