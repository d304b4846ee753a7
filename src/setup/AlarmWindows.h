#pragma once

class Shell;

// The alarm settings and alarm records windows: their factories, the blocks they show
// (0x330 to both, 0x354 to the records window) and their activation reads.
void RegisterAlarmWindows(Shell& shell);
