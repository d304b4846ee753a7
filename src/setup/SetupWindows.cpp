#include "SetupWindows.h"

#include "frmMain.h"

void RegisterSetupWindows(TFormTeskLink& shell) {
    // Each window group registers its windows, decoders and follow-ups here.
    (void)shell;
}
