#include "CalibrationWindows.h"

#include "FormCalirate.h"
#include "FormChangeConst.h"
#include "MeteringDecode.h"
#include "WindowRouting.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

QWidget* CreateFormCalirate(TFormTeskLink& shell) {
    CalibrationHost host;
    host.OpenCoefficients = [&shell] { shell.ShowWindowNamed(WindowName::ChangeConst); };
    host.MinimiseChildren = [&shell] {
        for (QMdiSubWindow* sub : shell.ClientArea()->subWindowList())
            sub->showMinimized();
    };
    host.RestoreMetering = [&shell] { shell.ShowWindowNamed(WindowName::Base); };
    return new TFormCalirate(shell.State(), shell.Dialogs(), std::move(host));
}

QWidget* CreateFormChangeConst(TFormTeskLink& shell) {
    return new TFormChangeConst(shell.State(), shell.Dialogs());
}

} // namespace

void RegisterCalibrationWindows(TFormTeskLink& shell) {
    shell.RegisterWindow(WindowName::Calirate, CreateFormCalirate);
    shell.RegisterWindow(WindowName::ChangeConst, CreateFormChangeConst);

    // The display mode setting lives in the coefficient block; the "Display" command
    // toggles what was read last.
    shell.Routing().AddBlockDecoder(
        CoefficientBlockStart,
        [&shell](const QList<quint16>& values) {
            if (const auto mode = DisplayModeOf(values))
                shell.State().DisplayModeByte = *mode;
        },
        ReplyRouting::DecodeStage::SharedState);
    RouteBlock(shell, CoefficientBlockStart, WindowName::Calirate,
               &TFormCalirate::ShowCoefficients);
    RouteBlock(shell, CoefficientBlockStart, WindowName::ChangeConst,
               &TFormChangeConst::ShowCoefficients);
    RouteBlock(shell, RawVectorBlockStart, WindowName::Calirate, &TFormCalirate::TakeReading);
    RouteBlock(shell, MeteringBlockStart, WindowName::Calirate, &TFormCalirate::ShowMetering);
}
