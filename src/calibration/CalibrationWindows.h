#pragma once

class Shell;

// Registers the calibration window and the coefficients window with the main window,
// with the decoders of the coefficient block (0x51B), the raw vector block (0x534) and the
// calibration window's copy of the live values (0x130).
void RegisterCalibrationWindows(Shell& shell);
