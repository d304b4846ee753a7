#include "ViewWindows.h"

#include "FormBase.h"
#include "FormPara.h"
#include "MeterParamDecode.h"
#include "WindowRouting.h"

namespace {

QWidget* CreateFormBase(TFormTeskLink& shell) {
    return new TFormBase(shell.State(), shell.Dialogs());
}

QWidget* CreateFormPara(TFormTeskLink& shell) {
    std::function<void()> openSettings;
    if (shell.IsWindowRegistered(WindowName::SetPara))
        openSettings = [&shell] { shell.ShowWindowNamed(WindowName::SetPara); };
    auto* w = new TFormPara(std::move(openSettings));
    w->ApplyMeterModel(shell.State().MeterModel);
    QObject::connect(&shell, &TFormTeskLink::MeterModelApplied, w, &TFormPara::ApplyMeterModel);
    return w;
}

// Every parameter reply rescales what the other windows show, whether or not the
// parameter window is open.
void TakeRatios(SessionState& state, const QList<quint16>& values) {
    const ScaleRatios ratios = RatiosFromParamBlock(values, {state.PtRatio, state.CtRatio});
    state.PtRatio = ratios.pt;
    state.CtRatio = ratios.ct;
}

} // namespace

void RegisterViewWindows(TFormTeskLink& shell) {
    shell.RegisterWindow(WindowName::Base, CreateFormBase);
    shell.RegisterWindow(WindowName::Para, CreateFormPara);

    ReplyRouting& routing = shell.Routing();
    // The metering window exists for the whole run; the look-up only guards the moments
    // before it is created and after it is gone.
    auto formBase = [&shell] { return shell.WindowAs<TFormBase>(WindowName::Base); };
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
    RouteBlock(shell, MeteringBlockStart, WindowName::Base, &TFormBase::ShowMeteringBlock);
    RouteBlock(shell, TemperatureRegister, WindowName::Base, &TFormBase::ShowTemperature);

    routing.AddBlockDecoder(
        MeterParamBlockStart,
        [&shell](const QList<quint16>& values) { TakeRatios(shell.State(), values); },
        ReplyRouting::DecodeStage::SharedState);
    RouteBlock(shell, MeterParamBlockStart, WindowName::Para, &TFormPara::ShowParameters,
               RouteWhen::OnlyWhileOpen);
}
