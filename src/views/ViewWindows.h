#pragma once

class TFormTeskLink;

// Makes the measurement windows of this subsystem known to the main window ("FormBase"
// resident, "FormPara" on demand) and hands their blocks to the reply routing: coils,
// inputs and relay echoes, block 0x130, register 0x518, and block 0x100, whose every
// reply also sets the main window's PT and CT ratios. Call before the resident windows
// are created.
void RegisterViewWindows(TFormTeskLink& shell);
