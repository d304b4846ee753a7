#include "ViewWindows.h"

#include "FormBase.h"
#include "FormPara.h"
#include "MeterParamDecode.h"
#include "MeteringLogControl.h"
#include "frmMain.h"

namespace {

const QString kFormBase = QStringLiteral("FormBase");
const QString kFormPara = QStringLiteral("FormPara");
const QString kFormSetPara = QStringLiteral("FormSetPara");

QWidget* CreateFormBase(TFormTeskLink& shell) {
    auto* w = new TFormBase(shell.State(), shell.Dialogs());
    w->setObjectName(kFormBase);
    return w;
}

QWidget* CreateFormPara(TFormTeskLink& shell) {
    std::function<void()> openSettings;
    if (shell.IsWindowRegistered(kFormSetPara))
        openSettings = [&shell] { shell.ShowWindowOfMenuItem(QStringLiteral("MM0302")); };
    auto* w = new TFormPara(std::move(openSettings));
    w->setObjectName(kFormPara);
    w->ApplyMeterModel(shell.State().MeterModel);
    QObject::connect(&shell, &TFormTeskLink::MeterModelApplied, w, &TFormPara::ApplyMeterModel);
    return w;
}

} // namespace

void RegisterViewWindows(TFormTeskLink& shell) {
    shell.RegisterWindow(kFormBase, CreateFormBase);
    shell.RegisterWindow(kFormPara, CreateFormPara);

    // The metering window exists for the whole run; the look-up only guards the moments
    // before it is created and after it is gone.
    auto formBase = [&shell] { return shell.WindowAs<TFormBase>(kFormBase); };
    ReplyRouting& routing = shell.Routing();
    routing.SetCoilHandler([formBase](quint16, const QList<bool>& values) {
        if (auto* w = formBase())
            w->ShowRelayStates(values);
    });
    routing.SetInputHandler([formBase](quint16, const QList<bool>& values) {
        if (auto* w = formBase())
            w->ShowInputStates(values);
    });
    routing.SetRelayWriteHandler([formBase](quint16 coil, bool value) {
        if (auto* w = formBase())
            w->RelayWriteConfirmed(coil, value);
    });
    routing.AddBlockDecoder(MeteringBlockStart, [formBase](const QList<quint16>& values) {
        if (auto* w = formBase())
            w->ShowMeteringBlock(values);
    });
    routing.AddBlockDecoder(TemperatureRegister, [formBase](const QList<quint16>& values) {
        if (auto* w = formBase())
            w->ShowTemperature(values);
    });
    // Every parameter reply rescales what the other windows show, whether or not the
    // parameter window is open.
    routing.AddBlockDecoder(MeterParamBlockStart, [&shell](const QList<quint16>& values) {
        SessionState& state = shell.State();
        const ScaleRatios ratios =
            RatiosFromParamBlock(values, ScaleRatios{state.PtRatio, state.CtRatio});
        state.PtRatio = ratios.pt;
        state.CtRatio = ratios.ct;
        if (auto* w = shell.WindowAs<TFormPara>(kFormPara); w && shell.IsChildOpen(kFormPara))
            w->ShowParameters(values);
    });
    // "Log to file…": the metering block's values to CSV, scaled as the window shows them
    // (the ratios above are set before a later block 0x130 arrives). Owned by the shell.
    new MeteringLogControl(shell);
}
