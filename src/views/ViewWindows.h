#pragma once

class Shell;

// Makes the measurement windows of this subsystem known to the main window (metering,
// harmonics, max/min and phase angle windows resident; meter parameters and meter model
// on demand) and hands their blocks to the reply routing: coils, inputs and relay echoes,
// blocks 0x130 and 0x518; block 0x100, whose every reply also sets the main window's PT
// and CT ratios; 0x168 and 0x1D6 (harmonics); 0x239 and 0x2B0 (max/min, only while that
// window is open); 0x39D (angles); 0x510, 0x32A and 0x3A5 (meter model, clock, run time,
// only while that window is open; every 0x510 reply also sets the display mode byte).
// Call before the resident windows are created.
void RegisterViewWindows(Shell& shell);
