#include "CalibrationWindows.h"

#include "CoefficientMessages.h"
#include "FormCalirate.h"
#include "FormChangeConst.h"
#include "MeteringDecode.h"
#include "SessionState.h"
#include "WindowRouting.h"

#include <QCoreApplication>
#include <utility>

namespace {

// The coefficient writes the meter confirms with a box: the voltage and current gains,
// and the angle constants with the currents' own.
constexpr const char* kModularConfirmed =
    QT_TRANSLATE_NOOP("CalibrationWindows", "Modular Coefficients have modified successfully!");
constexpr const char* kAngleConfirmed =
    QT_TRANSLATE_NOOP("CalibrationWindows", "Angle Difference Const has modified successfully!");
constexpr std::pair<quint16, const char*> kConfirmedCoefficientWrites[] = {
    {CoefficientBlockStart, kModularConfirmed},
    {0x526, kModularConfirmed},
    {0x52C, kAngleConfirmed},
    {0x531, kAngleConfirmed},
};

QWidget* CreateFormCalirate(Shell& shell) {
    CalibrationHost host;
    // The coefficients window lives in the main window, which may lie behind the
    // calibration window: the main window comes to the front with it.
    host.OpenCoefficients = [&shell] { shell.BringWindowToFront(WindowName::ChangeConst); };
    host.MinimiseChildren = [&shell] { shell.MinimiseChildren(); };
    host.RestoreMetering = [&shell] { shell.ShowWindowNamed(WindowName::Base); };
    return new TFormCalirate(shell.State(), shell.Dialogs(), std::move(host));
}

QWidget* CreateFormChangeConst(Shell& shell) {
    return new TFormChangeConst(shell.State(), shell.Dialogs());
}

} // namespace

void RegisterCalibrationWindows(Shell& shell) {
    shell.RegisterWindow(WindowName::Calirate, CreateFormCalirate);
    shell.RegisterWindow(WindowName::ChangeConst, CreateFormChangeConst);

    // The display mode setting lives in the coefficient block; the "Display" command
    // toggles what was read last.
    shell.Routing().AddBlockDecoder(
        CoefficientBlockStart,
        [&state = shell.State()](const QList<quint16>& values) {
            if (const auto mode = DisplayModeOf(values))
                state.DisplayModeByte = *mode;
        },
        ReplyRouting::DecodeStage::SharedState);
    RouteBlock(shell, CoefficientBlockStart, WindowName::Calirate,
               &TFormCalirate::ShowCoefficients);
    RouteBlock(shell, CoefficientBlockStart, WindowName::ChangeConst,
               &TFormChangeConst::ShowCoefficients);
    RouteBlock(shell, RawVectorBlockStart, WindowName::Calirate, &TFormCalirate::TakeReading);
    RouteBlock(shell, MeteringBlockStart, WindowName::Calirate, &TFormCalirate::ShowMetering);

    // The coefficients window's work is done once the meter took its values. Whatever is
    // written into the coefficient area is read back, so both windows show what the meter
    // stored.
    ReplyRouting& routing = shell.Routing();
    for (const auto& [start, text] : kConfirmedCoefficientWrites)
        routing.AddWriteConfirmation(start, QCoreApplication::translate("CalibrationWindows", text),
                                     WindowName::ChangeConst);
    routing.AddWriteConfirmation(
        DisplayModeRegister,
        QCoreApplication::translate("CalibrationWindows",
                                    "Meter Display Mode has modified successfully!"));
    routing.AddReadBack(CoefficientBlockStart, 0xFFFF, PollSchedule::kCoefficientRead);
}
