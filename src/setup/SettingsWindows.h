#pragma once

class Shell;

// The meter settings and energy presetting windows: their factories, the blocks that fill
// them, their model-dependent controls and the follow-up of a confirmed preset.
void RegisterSettingsWindows(Shell& shell);
