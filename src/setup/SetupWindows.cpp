#include "SetupWindows.h"

#include "AlarmWindows.h"
#include "frmMain.h"

void RegisterSetupWindows(TFormTeskLink& shell) {
    // Each window group registers its windows, decoders and follow-ups here.
    RegisterAlarmWindows(shell);
}
