#include "AlarmWindows.h"

#include "AlarmCodec.h"
#include "AlarmRecords.h"
#include "FormAlarm.h"
#include "FormSetAlarm.h"
#include "MessageText.h"
#include "SessionState.h"
#include "WindowRouting.h"

#include <QCoreApplication>

namespace {

QWidget* CreateFormSetAlarm(Shell& shell) {
    auto* w = new TFormSetAlarm(shell.State(), shell.Dialogs());
    OnWindowActivated(shell, w, &TFormSetAlarm::FormActivate);
    return w;
}

QWidget* CreateFormAlarm(Shell& shell) {
    auto* w =
        new TFormAlarm(shell.State(), [&shell] { shell.ShowWindowNamed(WindowName::SetAlarm); });
    OnWindowActivated(shell, w, &TFormAlarm::FormActivate);
    return w;
}

} // namespace

void RegisterAlarmWindows(Shell& shell) {
    shell.RegisterWindow(WindowName::SetAlarm, CreateFormSetAlarm);
    shell.RegisterWindow(WindowName::Alarm, CreateFormAlarm,
                         {ReadMessage(AlarmRecordBlockStart, AlarmRecordBlockCount)});
    RouteBlock(shell, AlarmParamBlockStart, WindowName::SetAlarm,
               &TFormSetAlarm::ShowAlarmParameters);
    RouteBlock(shell, AlarmParamBlockStart, WindowName::Alarm, &TFormAlarm::ShowAlarmItems);
    RouteBlock(shell, AlarmRecordBlockStart, WindowName::Alarm, &TFormAlarm::ShowAlarmRecords);
    // The settings window's work is done once the meter took them; what it stored is read
    // back for the records window's group items.
    shell.Routing().AddWriteConfirmation(
        AlarmParamBlockStart,
        QCoreApplication::translate("AlarmWindows", "Alarm Parameters have modified successfully!"),
        WindowName::SetAlarm);
    shell.Routing().AddReadBack(AlarmParamBlockStart, AlarmParamBlockStart, AlarmParamRead);
}
