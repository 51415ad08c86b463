// The secondary hot-keys dialog: moves four combinations and four texts between its
// controls and the record in memory. It registers and writes nothing.
#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>

#include "app/application.h"
#include "dialogs/dialog_support_win.h"
#include "dialogs/dialogs_win.h"
#include "dialogs/secondary_hot_keys.h"
#include "resources/dialog_ids.h"

namespace kalverin {
namespace {

INT_PTR onInit(HWND dialog) {
    SecondaryHotKeysForm form = secondaryFormFromRecord(app().record);
    for (int row = 0; row < kSecondaryRows; ++row) {
        SendDlgItemMessageA(dialog, kSecondaryKeyControls[row], HKM_SETHOTKEY, form.hotKeys[row], 0);
    }
    for (int row = 0; row < kSecondaryRows; ++row) {
        SetDlgItemTextA(dialog, kSecondaryTextControls[row], form.texts[row].c_str());
    }
    return TRUE;  // the save button, first in tab order, takes the focus
}

void onSave(HWND dialog) {
    SecondaryHotKeysForm form;
    for (int row = 0; row < kSecondaryRows; ++row) {
        LRESULT pair = SendDlgItemMessageA(dialog, kSecondaryKeyControls[row], HKM_GETHOTKEY, 0, 0);
        form.hotKeys[row] = static_cast<uint16_t>(pair & 0xFFFF);
    }
    for (int row = 0; row < kSecondaryRows; ++row) {
        form.texts[row] = controlText(dialog, kSecondaryTextControls[row], kSecondaryTextMax);
    }
    storeSecondaryForm(form, app().record);
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK secondaryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return onInit(dialog);
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

}  // namespace

void showSecondaryHotKeys(HWND owner) {
    runDialog(IDD_SECONDARY, owner, secondaryProc, 0);
}

}  // namespace kalverin
