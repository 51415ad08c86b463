#include "app/desktop_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <utility>

#include "app/hot_paste.h"
#include "app/main_window.h"
#include "app/tray.h"
#include "dialogs/dialog_support_win.h"
#include "dialogs/about_dialogs_win.h"
#include "model/profile_disk_win.h"
#include "resources/resource.h"

namespace kalverin {
namespace {

// The first form of the notification-icon record: 88 bytes in a 32-bit process, 104 in a
// 64-bit one (the window and icon handles grow). Its tip field holds 64 bytes.
static_assert(NOTIFYICONDATAA_V1_SIZE == (sizeof(void*) == 8 ? 104 : 88), "first notification-icon form");
constexpr size_t kV1TipBytes = 64;

// The portable steps name these platform values themselves; each must be what Win32 says.
static_assert(kVkControl == VK_CONTROL, "VK_CONTROL");
static_assert(kVkV == 'V', "the V key's virtual-key code is its capital letter");
static_assert(kKeyEventKeyUp == KEYEVENTF_KEYUP, "KEYEVENTF_KEYUP");
static_assert(kModAlt == MOD_ALT && kModControl == MOD_CONTROL && kModShift == MOD_SHIFT, "MOD_*");
static_assert(kStoredShift == HOTKEYF_SHIFT && kStoredControl == HOTKEYF_CONTROL &&
                  kStoredAlt == HOTKEYF_ALT && kStoredExtended == HOTKEYF_EXT,
              "the stored modifiers are the key-combination control's HOTKEYF_* bits");
static_assert(static_cast<DWORD>(TrayAction::add) == NIM_ADD, "NIM_ADD");
static_assert(static_cast<DWORD>(TrayAction::modify) == NIM_MODIFY, "NIM_MODIFY");
static_assert(static_cast<DWORD>(TrayAction::remove) == NIM_DELETE, "NIM_DELETE");
static_assert(kTrayFlagMessage == NIF_MESSAGE && kTrayFlagIcon == NIF_ICON && kTrayFlagTip == NIF_TIP,
              "NIF_*");
static_assert(kLeftDoubleClick == WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK");
// System menu items: below 0xF000, where the system's own commands start, with the low four
// bits clear, which the system uses itself (WM_SYSCOMMAND's handler masks them off).
static_assert(kAboutCommand < 0xF000 && (kAboutCommand & 0xF) == 0, "a system menu item id");
static_assert(kCopySigCommand < 0xF000 && (kCopySigCommand & 0xF) == 0, "a system menu item id");

constexpr UINT kTickTimer = 1;
constexpr UINT kTickPeriod = 1000;
static_assert(kTrayTipMax < kV1TipBytes, "the tip and its terminator fit the first form");

// A global memory block until the clipboard takes it over.
class GlobalBlock {
public:
    explicit GlobalBlock(HGLOBAL block) : block_(block) {}
    ~GlobalBlock() {
        if (block_) GlobalFree(block_);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    HGLOBAL get() const { return block_; }
    // After a successful SetClipboardData the block belongs to the clipboard: freeing it
    // here would leave the clipboard pointing at freed memory.
    void handOver() { block_ = nullptr; }

private:
    HGLOBAL block_;
};

}  // namespace

Win32Desktop::Win32Desktop(HWND window, HICON largeIcon, HICON smallIcon, std::string caption,
                           HFONT userNameFont, HFONT statisticsFont)
    : window_(window),
      largeIcon_(largeIcon),
      smallIcon_(smallIcon),
      caption_(std::move(caption)),
      userNameFont_(userNameFont),
      statisticsFont_(statisticsFont) {}

bool Win32Desktop::openClipboard() {
    return OpenClipboard(window_) != FALSE;
}

void Win32Desktop::emptyClipboard() {
    EmptyClipboard();
}

ClipboardSet Win32Desktop::setClipboardText(const std::string& text) {
    // Fixed memory: the handle is the address, so no lock is needed to fill it.
    GlobalBlock block(GlobalAlloc(GMEM_FIXED, text.size() + 1));
    if (!block.get()) return ClipboardSet::outOfMemory;
    std::memcpy(block.get(), text.c_str(), text.size() + 1);
    if (!SetClipboardData(CF_TEXT, block.get())) return ClipboardSet::refused;  // still ours: freed
    block.handOver();
    return ClipboardSet::ok;
}

void Win32Desktop::closeClipboard() {
    CloseClipboard();
}

void Win32Desktop::keyEvent(uint8_t vk, uint32_t flags) {
    keybd_event(vk, 0, flags, 0);
}

bool Win32Desktop::claimHotKey(int id, unsigned modifiers, uint8_t vk) {
    return RegisterHotKey(window_, id, modifiers, vk) != FALSE;
}

void Win32Desktop::releaseHotKey(int id) {
    UnregisterHotKey(window_, id);
}

bool Win32Desktop::notifyIcon(TrayAction action, unsigned flags, const std::string& tip) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window_;
    data.uID = kTrayIconId;
    data.uFlags = flags;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = smallIcon_;  // the notification area shows small icons
    // The shell reads only the first 64 bytes of the tip in this form.
    size_t length = tip.size() < kTrayTipMax ? tip.size() : kTrayTipMax;
    std::memcpy(data.szTip, tip.data(), length);
    data.szTip[length] = '\0';
    return Shell_NotifyIconA(static_cast<DWORD>(action), &data) != FALSE;
}

bool Win32Desktop::isVisible() {
    return IsWindowVisible(window_) != FALSE;
}

bool Win32Desktop::isMinimised() {
    return IsIconic(window_) != FALSE;
}

void Win32Desktop::minimise() {
    ShowWindow(window_, SW_MINIMIZE);
}

void Win32Desktop::hide() {
    ShowWindow(window_, SW_HIDE);
}

void Win32Desktop::showMinimised() {
    ShowWindow(window_, SW_SHOWMINIMIZED);
}

bool Win32Desktop::isEnabled() {
    return IsWindowEnabled(window_) != FALSE;
}

void Win32Desktop::setControlText(int id, const std::string& text) {
    SetDlgItemTextA(window_, id, text.c_str());
}

void Win32Desktop::setCaption(const std::string& caption) {
    SetWindowTextA(window_, caption.c_str());
}

void Win32Desktop::showHotKeyCombination(uint16_t combination) {
    SendDlgItemMessageA(window_, IDC_PRIMARY_HOT_KEY, HKM_SETHOTKEY, combination, 0);
}

uint16_t Win32Desktop::hotKeyCombination() {
    return LOWORD(SendDlgItemMessageA(window_, IDC_PRIMARY_HOT_KEY, HKM_GETHOTKEY, 0, 0));
}

void Win32Desktop::startTickTimer() {
    SetTimer(window_, kTickTimer, kTickPeriod, nullptr);
}

void Win32Desktop::decorateWindow() {
    HMENU menu = GetSystemMenu(window_, FALSE);
    char text[128];
    if (LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUT_ITEM, text, sizeof text) > 0) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, kAboutCommand, text);
    }
    if (LoadStringA(GetModuleHandleA(nullptr), IDS_COPY_SIG_ITEM, text, sizeof text) > 0) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, kCopySigCommand, text);
    }
    SendDlgItemMessageA(window_, IDC_USER_NAME, WM_SETFONT, reinterpret_cast<WPARAM>(userNameFont_), TRUE);
    for (int id : {IDC_MONEY_SAVED, IDC_LIFE_SAVED, IDC_NOT_SMOKED, IDC_ELAPSED})
        SendDlgItemMessageA(window_, id, WM_SETFONT, reinterpret_cast<WPARAM>(statisticsFont_), TRUE);
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_));
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    addToolTips(window_);
}

void Win32Desktop::showWelcome() {
    kalverin::showWelcome(window_);
}

void Win32Desktop::showAbout() {
    kalverin::showAbout(window_);
}

void Win32Desktop::postChangeQuitDetails() {
    PostMessageA(window_, WM_COMMAND, MAKEWPARAM(IDC_CHANGE_QUIT_DETAILS, BN_CLICKED), 0);
}

// The texts are UTF-8 (the ASCII ones included): a settings path names the profile folder,
// which may lie outside the ANSI code page.
void Win32Desktop::messageBox(const char* text) {
    MessageBoxW(window_, wideText(text).c_str(), wideText(caption_).c_str(), MB_OK);
}

void Win32Desktop::beep() {
    MessageBeep(MB_ICONEXCLAMATION);
}

}  // namespace kalverin
