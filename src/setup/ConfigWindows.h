#pragma once

class Shell;

// The meter configuration windows of the Setup menu: save, compare, restore, clone.
void RegisterConfigWindows(Shell& shell);
