// The About, welcome and preview dialogs: templates shown as they are, closed with OK.
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include "dialogs/dialog_support_win.h"
#include "dialogs/about_dialogs_win.h"
#include "dialogs/web_addresses.h"
#include "resources/resource.h"

namespace kalverin {
namespace {

void openPage(const char* address) noexcept {
    // No owner and no verb: the shell hands the address to the default browser; whether
    // it could is not our business, the dialog stays open either way.
    ShellExecuteA(nullptr, nullptr, address, nullptr, nullptr, SW_SHOWNORMAL);
}

// Closes on OK, Enter, Esc and the close box; nothing else. This and aboutProc call Win32
// alone and throw nothing, so they need no guard at the dialog manager's boundary.
INT_PTR CALLBACK plainProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) noexcept {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) break;
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
    }
    return FALSE;
}

INT_PTR onAboutInit(HWND dialog) noexcept {
    // "Chat Now!" comes first in the template; Enter must still mean OK.
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDOK)), TRUE);
    return FALSE;
}

// The About box: its two web buttons; otherwise it closes as the plain dialogs do.
INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_INITDIALOG:
            return onAboutInit(dialog);
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_ABOUT_CHAT_NOW:
                    openPage(kChatPageAddress);
                    return TRUE;
                case IDC_ABOUT_HOME_PAGE:
                    openPage(kHomePageAddress);
                    return TRUE;
            }
            break;
    }
    return plainProc(dialog, message, wParam, lParam);
}

}  // namespace

void showWelcome(HWND owner) {
    runDialog(IDD_WELCOME, owner, plainProc, 0);
}
void showAbout(HWND owner) {
    runDialog(IDD_ABOUT, owner, aboutProc, 0);
}
void showPreview(HWND owner) {
    runDialog(IDD_PREVIEW_NOTICE, owner, plainProc, 0);
}

}  // namespace kalverin
