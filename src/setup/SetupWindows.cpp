#include "SetupWindows.h"

#include "AlarmWindows.h"
#include "ConfigWindows.h"
#include "SettingsWindows.h"
#include "frmMain.h"

void RegisterSetupWindows(TFormTeskLink& shell) {
    RegisterSettingsWindows(shell);
    RegisterAlarmWindows(shell);
    RegisterConfigWindows(shell);
}
