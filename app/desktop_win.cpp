#include "app/desktop_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <iterator>
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
static_assert(kVkLeftShift == VK_LSHIFT && kVkRightShift == VK_RSHIFT && kVkLeftAlt == VK_LMENU &&
                  kVkRightAlt == VK_RMENU && kVkLeftWindows == VK_LWIN && kVkRightWindows == VK_RWIN,
              "the modifier keys of each side");
static_assert(kModAlt == MOD_ALT && kModControl == MOD_CONTROL && kModShift == MOD_SHIFT &&
                  kModNoRepeat == MOD_NOREPEAT,
              "MOD_*");
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

constexpr UINT kTickPeriod = 1000;
// While a hot-key's key stays down after its paste: as short as timers go, so that a press
// that follows its release is never taken for a repeat.
constexpr UINT kKeyWatchPeriod = USER_TIMER_MINIMUM;
static_assert(kTrayTipMax < kV1TipBytes, "the tip and its terminator fit the first form");

// The keys whose events carry the extended-key flag: the right Alt and both Windows keys.
bool isExtendedKey(uint8_t vk) {
    return vk == VK_RMENU || vk == VK_LWIN || vk == VK_RWIN;
}

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

namespace {

// Hands `bytes` over in the moveable memory the clipboard requires.
ClipboardSet putOnClipboard(UINT format, const void* data, size_t bytes) {
    GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE, bytes));
    void* memory = block.get() ? GlobalLock(block.get()) : nullptr;
    if (!memory) return ClipboardSet::outOfMemory;
    std::memcpy(memory, data, bytes);
    GlobalUnlock(block.get());
    if (!SetClipboardData(format, block.get())) return ClipboardSet::refused;  // still ours: freed
    block.handOver();
    return ClipboardSet::ok;
}

}  // namespace

ClipboardSet Win32Desktop::setClipboardText(const std::string& text) {
    ClipboardSet set = putOnClipboard(CF_TEXT, text.c_str(), text.size() + 1);
    if (set != ClipboardSet::ok) return set;
    // The text as programs that read Unicode see it; left to the system, it would be converted
    // with the keyboard layout's code page rather than the one the text is written in.
    std::wstring wide;
    if (toUtf16(text, CP_ACP, wide))
        putOnClipboard(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    return ClipboardSet::ok;
}

void Win32Desktop::closeClipboard() {
    CloseClipboard();
}

bool Win32Desktop::keyIsDown(uint8_t vk) {
    return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

void Win32Desktop::sendKeys(const KeyStroke* keys, size_t count) {
    INPUT inputs[16] = {};
    if (count > std::size(inputs)) count = std::size(inputs);
    for (size_t i = 0; i < count; ++i) {
        KEYBDINPUT& key = inputs[i].ki;
        inputs[i].type = INPUT_KEYBOARD;
        key.wVk = keys[i].vk;
        key.wScan = static_cast<WORD>(MapVirtualKeyW(keys[i].vk, MAPVK_VK_TO_VSC));
        key.dwFlags =
            (keys[i].up ? KEYEVENTF_KEYUP : 0) | (isExtendedKey(keys[i].vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    }
    SendInput(static_cast<UINT>(count), inputs, sizeof(INPUT));
}

void Win32Desktop::pause(unsigned milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD passed = GetTickCount() - start;
        if (passed >= milliseconds) return;
        // Hot-keys stay queued: they are neither woken for nor taken out.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - passed, QS_ALLINPUT & ~QS_HOTKEY);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, WM_HOTKEY - 1, PM_REMOVE) ||
               PeekMessageW(&message, nullptr, WM_HOTKEY + 1, 0xFFFFFFFF, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that waits for it
                return;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
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

void Win32Desktop::watchKeyRelease(bool on) {
    if (on)
        SetTimer(window_, kKeyWatchTimer, kKeyWatchPeriod, nullptr);
    else
        KillTimer(window_, kKeyWatchTimer);
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
