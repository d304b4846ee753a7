#include "SetupWindows.h"

#include "AlarmWindows.h"
#include "ConfigWindows.h"
#include "SettingsWindows.h"

void RegisterSetupWindows(Shell& shell) {
    RegisterSettingsWindows(shell);
    RegisterAlarmWindows(shell);
    RegisterConfigWindows(shell);
}
