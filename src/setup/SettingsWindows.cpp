#include "SettingsWindows.h"

#include "FormKw.h"
#include "FormSetPara.h"
#include "MeterParamDecode.h"
#include "MeteringDecode.h"
#include "WindowRouting.h"

namespace {

QWidget* CreateFormSetPara(TFormTeskLink& shell) {
    auto* w = new TFormSetPara(shell.State(), shell.Dialogs());
    w->ApplyMeterModel(shell.State().MeterModel);
    QObject::connect(&shell, &TFormTeskLink::MeterModelApplied, w, &TFormSetPara::ApplyMeterModel);
    OnWindowActivated(shell, w, &TFormSetPara::FormActivate);
    return w;
}

QWidget* CreateFormKw(TFormTeskLink& shell) {
    return new TFormKw(shell.State(), shell.Dialogs());
}

} // namespace

void RegisterSettingsWindows(TFormTeskLink& shell) {
    shell.RegisterWindow(WindowName::SetPara, CreateFormSetPara);
    shell.RegisterWindow(WindowName::Kw, CreateFormKw);

    // The parameter block fills the settings window after the ratios were taken from it.
    RouteBlock(shell, MeterParamBlockStart, WindowName::SetPara, &TFormSetPara::FillFromMeter,
               RouteWhen::OnlyWhileOpen);
    RouteBlock(shell, MeteringBlockStart, WindowName::Kw, &TFormKw::FillFromMeter,
               RouteWhen::OnlyWhileOpen);
    RouteWriteConfirmed(shell, EnergyPresetStart, WindowName::Kw, &TFormKw::EnergyWriteConfirmed);
}
