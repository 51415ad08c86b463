#include "dialogs/secondary_hot_keys.h"

#include "resources/resource.h"

namespace kalverin {

const int kSecondaryKeyControls[kSecondaryRows] = {IDC_SEC_KEY1, IDC_SEC_KEY2, IDC_SEC_KEY3, IDC_SEC_KEY4};
const int kSecondaryTextControls[kSecondaryRows] = {IDC_SEC_TEXT1, IDC_SEC_TEXT2, IDC_SEC_TEXT3,
                                                    IDC_SEC_TEXT4};

SecondaryHotKeysForm secondaryFormFromRecord(const QuitRecord& record) {
    SecondaryHotKeysForm form;
    for (int row = 0; row < kSecondaryRows; ++row) {
        int entry = row + 1;
        form.hotKeys[row] = static_cast<uint16_t>(((record.hotKeyModifiers[entry] & 0xFF) << 8) |
                                                  (record.hotKeyVk[entry] & 0xFF));
        form.texts[row] = record.hotPasteTexts[entry].substr(0, kSecondaryTextMax);
    }
    return form;
}

void storeSecondaryForm(const SecondaryHotKeysForm& form, QuitRecord& record) {
    for (int row = 0; row < kSecondaryRows; ++row) {
        record.hotKeyVk[row + 1] = form.hotKeys[row] & 0xFF;
        record.hotKeyModifiers[row + 1] = (form.hotKeys[row] >> 8) & 0xFF;
    }
    for (int row = 0; row < kSecondaryRows; ++row) {
        record.hotPasteTexts[row + 1] = form.texts[row].substr(0, kSecondaryTextMax);
    }
}

}  // namespace kalverin
