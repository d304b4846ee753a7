#include "SettingsWindows.h"

#include "FormKw.h"
#include "FormSetPara.h"
#include "MessageText.h"
#include "MeterParamDecode.h"
#include "MeteringDecode.h"
#include "SessionState.h"
#include "SettingsMessages.h"
#include "WindowRouting.h"

#include <QCoreApplication>
#include <QPointer>
#include <memory>

namespace {

// The client area reports its children's activation also when the main window loses and
// regains the focus (around a message box, for one), so the front child can be reported
// active again without the operator touching it. Only a change of the front child is the
// operator bringing the settings window forward; otherwise the box of a refused input
// would be followed by a reload that throws away the operator's other edits.
void OnBroughtForward(Shell& shell, TFormSetPara* w) {
    auto front = std::make_shared<QPointer<QWidget>>();
    QObject::connect(&shell.Events(), &ShellEvents::ChildActivated, w, [w, front](QWidget* child) {
        if (child == nullptr)
            return;
        const bool wasFront = *front == w;
        *front = child;
        if (child == w && !wasFront)
            w->FormActivate();
    });
}

QWidget* CreateFormSetPara(Shell& shell) {
    auto* w = new TFormSetPara(shell.State(), shell.Dialogs());
    w->ApplyMeterModel(shell.State().MeterModel);
    QObject::connect(&shell.Events(), &ShellEvents::MeterModelApplied, w,
                     &TFormSetPara::ApplyMeterModel);
    OnBroughtForward(shell, w);
    return w;
}

QWidget* CreateFormKw(Shell& shell) {
    return new TFormKw(shell.State(), shell.Dialogs());
}

} // namespace

void RegisterSettingsWindows(Shell& shell) {
    shell.RegisterWindow(WindowName::SetPara, CreateFormSetPara);
    shell.RegisterWindow(WindowName::Kw, CreateFormKw);

    // The parameter block fills the settings window after the ratios were taken from it.
    RouteBlock(shell, MeterParamBlockStart, WindowName::SetPara, &TFormSetPara::FillFromMeter);
    RouteBlock(shell, MeteringBlockStart, WindowName::Kw, &TFormKw::FillFromMeter);
    ReplyRouting& routing = shell.Routing();
    // The stored settings are read back, so the windows show what the meter took.
    routing.AddWriteConfirmation(
        MeterSettingsStart, QCoreApplication::translate(
                                "SettingsWindows", "Meter Parameters have modified successfully!"));
    routing.AddReadBack(MeterSettingsStart, MeterSettingsStart,
                        ReadMessage(MeterSettingsStart, MeterSettingsCount));
    RouteWriteConfirmed(shell, EnergyPresetStart, WindowName::Kw, &TFormKw::EnergyWriteConfirmed);
}
