#include "ViewWindows.h"

#include <QCoreApplication>

#include "AddressList.h"
#include "BusOverview.h"
#include "FormAngle.h"
#include "FormBase.h"
#include "FormBus.h"
#include "FormDriveType.h"
#include "FormPara.h"
#include "FormSuperNum.h"
#include "FormTrends.h"
#include "FormWave.h"
#include "HarmonicsDecode.h"
#include "MaxMinDecode.h"
#include "MessageText.h"
#include "MeterModelDecode.h"
#include "MeterParamDecode.h"
#include "MeteringLogControl.h"
#include "PhaseAngleDecode.h"
#include "SessionState.h"
#include "TrendRecorder.h"
#include "WindowRouting.h"

namespace {

QWidget* CreateFormBase(Shell& shell) {
    return new TFormBase(shell.State(), shell.Dialogs());
}

QWidget* CreateFormPara(Shell& shell) {
    std::function<void()> openSettings;
    if (shell.IsWindowRegistered(WindowName::SetPara))
        openSettings = [&shell] { shell.ShowWindowNamed(WindowName::SetPara); };
    auto* w = new TFormPara(std::move(openSettings));
    w->ApplyMeterModel(shell.State().MeterModel);
    QObject::connect(&shell.Events(), &ShellEvents::MeterModelApplied, w,
                     &TFormPara::ApplyMeterModel);
    return w;
}

QWidget* CreateFormWave(Shell& shell) {
    auto* w = new TFormWave(shell.State());
    OnWindowActivated(shell, w, &TFormWave::FormActivate);
    QObject::connect(&shell.Events(), &ShellEvents::MeterModelApplied, w,
                     &TFormWave::ApplyMeterModel);
    return w;
}

QWidget* CreateFormSuperNum(Shell& shell) {
    return new TFormSuperNum(shell.State(), shell.Dialogs());
}

QWidget* CreateFormAngle(Shell&) {
    return new TFormAngle;
}

QWidget* CreateFormDriveType(Shell& shell) {
    auto* w =
        new TFormDriveType(shell.State(), shell.Dialogs(), [&shell] { shell.ApplyMeterModel(); });
    OnWindowActivated(shell, w, &TFormDriveType::FormActivate);
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

void RegisterViewWindows(Shell& shell) {
    shell.RegisterWindow(WindowName::Base, CreateFormBase);
    shell.RegisterWindow(WindowName::Para, CreateFormPara);
    // The harmonics window shows the distortion and, from every other turn, the current
    // spectrum (the meter has no voltage spectrum block).
    shell.RegisterWindow(WindowName::Wave, CreateFormWave,
                         {ReadMessage(ThdBlockStart, ThdBlockCount),
                          ReadMessage(CurrentSpectrumStart, CurrentSpectrumCount)});
    shell.RegisterWindow(WindowName::SuperNum, CreateFormSuperNum,
                         {ReadMessage(MaxBlockStart, MaxMinBlockCount),
                          ReadMessage(MinBlockStart, MaxMinBlockCount)});
    shell.RegisterWindow(WindowName::Angle, CreateFormAngle,
                         {ReadMessage(PhaseAngleBlockStart, PhaseAngleBlockCount)});
    shell.RegisterWindow(WindowName::DriveType, CreateFormDriveType,
                         {ReadMessage(ClockBlockStart, ClockBlockCount),
                          ReadMessage(RunTimeBlockStart, RunTimeBlockCount)});

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
        [&state = shell.State()](const QList<quint16>& values) { TakeRatios(state, values); },
        ReplyRouting::DecodeStage::SharedState);
    RouteBlock(shell, MeterParamBlockStart, WindowName::Para, &TFormPara::ShowParameters);

    RouteBlock(shell, ThdBlockStart, WindowName::Wave, &TFormWave::ShowThd);
    RouteBlock(shell, CurrentSpectrumStart, WindowName::Wave, &TFormWave::ShowCurrentSpectrum);

    RouteBlock(shell, MaxBlockStart, WindowName::SuperNum, &TFormSuperNum::ShowMaxBlock);
    RouteBlock(shell, MinBlockStart, WindowName::SuperNum, &TFormSuperNum::ShowMinBlock);

    RouteBlock(shell, PhaseAngleBlockStart, WindowName::Angle, &TFormAngle::ShowAngles);
    RouteBlock(shell, MeteringBlockStart, WindowName::Angle, &TFormAngle::ShowMeteringBlock);
    RouteBlock(shell, MeterParamBlockStart, WindowName::Angle, &TFormAngle::ShowParameters);

    // The display mode byte follows every reply of block 0x510, whether or not the meter
    // model window is open.
    routing.AddBlockDecoder(
        ModelBlockStart,
        [&state = shell.State()](const QList<quint16>& values) {
            if (const auto mode = DisplayModeFromModelBlock(values))
                state.DisplayModeByte = *mode;
        },
        ReplyRouting::DecodeStage::SharedState);
    RouteBlock(shell, ModelBlockStart, WindowName::DriveType, &TFormDriveType::ShowModelBlock);
    RouteBlock(shell, ClockBlockStart, WindowName::DriveType, &TFormDriveType::ShowClock);
    RouteBlock(shell, RunTimeBlockStart, WindowName::DriveType, &TFormDriveType::ShowRunTime);

    // The energy reset here and the energy presetting of the setup windows write the same
    // counters; the box is the same for both.
    routing.AddWriteConfirmation(
        EnergyCountersStart, QCoreApplication::translate(
                                 "ViewWindows", "Energy Parameters have modified successfully!"));
    routing.AddWriteConfirmation(
        ClockBlockStart,
        QCoreApplication::translate("ViewWindows", "Meter Clock has adjusted successfully!"));
    routing.AddWriteConfirmation(
        FrequencyDisplayPtStart,
        QCoreApplication::translate("ViewWindows",
                                    "Meter Coefficients have modified successfully!"));
    routing.AddWriteConfirmation(
        PtTypeRegister,
        QCoreApplication::translate("ViewWindows", "Meter PT Type has modified successfully!"));

    // "Log to file…": the metering block's values to CSV, scaled as the window shows them
    // (the ratios above are set before a later block 0x130 arrives). Owned by the shell.
    new MeteringLogControl(shell);

    // "Bus": the other meters of the line, read one per round of the picked meter's
    // rotation; the picked meter's own blocks reach its row through the routing. The
    // overview is owned by the shell and lives as long as it.
    auto* overview = new BusOverview(shell.State(), shell.Requests(), &shell.Frame());
    overview->SetAddresses(AddressList::Read(shell.State().BusAddresses).addresses);
    for (const quint16 start : {MeterParamBlockStart, MeteringBlockStart})
        shell.Routing().AddBlockDecoder(start, [overview, start](const QList<quint16>& values) {
            overview->PickedReplied(start, values);
        });
    shell.RegisterWindow(BusWindowName, [overview](Shell& s) -> QWidget* {
        return new TFormBus(*overview, s.State(), s.Routing().Freshness(), s.Dialogs());
    });

    // "Trends": the history records every metering reply from start-up, so the window,
    // opened at any time, shows what happened before it. Owned by the shell.
    auto* recorder = new TrendRecorder(shell.Routing(), shell.State(), &shell.Frame());
    shell.RegisterWindow(TrendsWindowName, [recorder](Shell& s) -> QWidget* {
        auto* w = new TFormTrends(recorder->History(), s.Dialogs());
        QObject::connect(recorder, &TrendRecorder::Recorded, w, &TFormTrends::LiveRecorded);
        return w;
    });
}
