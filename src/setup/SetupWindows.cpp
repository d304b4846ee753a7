#include "SetupWindows.h"

#include "SettingsWindows.h"
#include "frmMain.h"

void RegisterSetupWindows(TFormTeskLink& shell) {
    // Each window group registers its windows, decoders and follow-ups here.
    RegisterSettingsWindows(shell);
}
