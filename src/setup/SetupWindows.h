#pragma once

class Shell;

// Makes the setup windows known to the main window and hands them their blocks and write
// confirmations. Call before the resident windows are created.
void RegisterSetupWindows(Shell& shell);
