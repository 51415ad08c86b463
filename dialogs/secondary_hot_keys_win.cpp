// The secondary hot-keys dialog: moves four combinations and four texts between its
// controls and a form. It registers and writes nothing.
#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>

#include "dialogs/dialog_support_win.h"
#include "dialogs/secondary_hot_keys_win.h"
#include "dialogs/secondary_hot_keys.h"
#include "resources/resource.h"

namespace kalverin {
namespace {

SecondaryHotKeysForm& formOf(HWND dialog) {
    return *reinterpret_cast<SecondaryHotKeysForm*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

INT_PTR onInit(HWND dialog, LPARAM param) {
    SetWindowLongPtrA(dialog, DWLP_USER, param);
    const SecondaryHotKeysForm& form = formOf(dialog);
    for (int row = 0; row < kSecondaryRows; ++row) {
        SendDlgItemMessageA(dialog, kSecondaryKeyControls[row], HKM_SETHOTKEY, form.hotKeys[row], 0);
    }
    for (int row = 0; row < kSecondaryRows; ++row) {
        SetDlgItemTextA(dialog, kSecondaryTextControls[row], form.texts[row].c_str());
    }
    return TRUE;  // the save button, first in tab order, takes the focus
}

void onSave(HWND dialog) {
    SecondaryHotKeysForm& form = formOf(dialog);
    for (int row = 0; row < kSecondaryRows; ++row) {
        LRESULT pair = SendDlgItemMessageA(dialog, kSecondaryKeyControls[row], HKM_GETHOTKEY, 0, 0);
        form.hotKeys[row] = static_cast<uint16_t>(pair & 0xFFFF);
    }
    for (int row = 0; row < kSecondaryRows; ++row) {
        form.texts[row] = controlText(dialog, kSecondaryTextControls[row], kSecondaryTextMax);
    }
    EndDialog(dialog, IDOK);
}

INT_PTR handleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return onInit(dialog, lParam);
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    onSave(dialog);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
            }
            break;
    }
    return FALSE;
}

INT_PTR CALLBACK secondaryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return guardDialogMessage(dialog, message,
                              [&] { return handleMessage(dialog, message, wParam, lParam); });
}

}  // namespace

bool showSecondaryHotKeys(HWND owner, SecondaryHotKeysForm& form) {
    // The dialog edits a copy: Cancel leaves the caller's form as it was.
    SecondaryHotKeysForm edited = form;
    if (runDialog(IDD_SECONDARY, owner, secondaryProc, reinterpret_cast<LPARAM>(&edited)) != IDOK)
        return false;
    form = edited;
    return true;
}

}  // namespace kalverin
