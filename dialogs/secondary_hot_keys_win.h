// The secondary hot-keys dialog, template 144, opened from the quit details dialog.
#pragma once
#include <windows.h>

#include "dialogs/secondary_hot_keys.h"

namespace kalverin {

// The form in, the edited form back when saved (true); it registers and writes nothing.
bool showSecondaryHotKeys(HWND owner, SecondaryHotKeysForm& form);

}  // namespace kalverin
