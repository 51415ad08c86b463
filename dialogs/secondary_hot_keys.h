// The secondary hot-keys dialog's logic: four key combinations and four texts.
#pragma once
#include <cstdint>
#include <string>

#include "model/quit_record.h"

namespace kalverin {

constexpr int kSecondaryRows = 4;
extern const int kSecondaryKeyControls[kSecondaryRows];
extern const int kSecondaryTextControls[kSecondaryRows];

// A row's combination in the key-combination control's form: key in the low byte,
// modifier bits (1 Shift, 2 Ctrl, 4 Alt, 8 extended) in the high byte.
struct SecondaryHotKeysForm {
    uint16_t hotKeys[kSecondaryRows] = {};
    std::string texts[kSecondaryRows];
};

SecondaryHotKeysForm secondaryFormFromRecord(const QuitRecord& record);
// Stores entries 1 to 4; each text is cut to 499 characters.
void storeSecondaryForm(const SecondaryHotKeysForm& form, QuitRecord& record);

}  // namespace kalverin
