#pragma once

class Shell;
class TFormTeskLink;

// Makes every window subsystem of the program known to the shell (the main window): their
// windows, the blocks they read and the writes they confirm. Call before the resident windows are
// created.
void RegisterProgramWindows(Shell& shell);

// For long unattended runs (scripts/endurance.sh): opens every registered window, starts
// polling and then brings the next child window to the front every `cycleMs`, so that each
// window's own reads take their turn on the line as they do for a technician going
// through the windows. Call once the main window has started up.
void OpenEveryWindowAndPoll(TFormTeskLink& shell, int cycleMs);
