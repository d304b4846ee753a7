#pragma once

class TFormTeskLink;

// The meter configuration windows of the Setup menu: save, compare, restore, clone.
void RegisterConfigWindows(TFormTeskLink& shell);
