#pragma once

class TFormTeskLink;

// Makes every window subsystem of the program known to the main window: their windows,
// the blocks they read and the writes they confirm. Call before the resident windows are
// created.
void RegisterProgramWindows(TFormTeskLink& shell);
