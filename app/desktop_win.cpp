#include "app/desktop_win.h"

#include <shellapi.h>

#include <cstring>
#include <utility>

#include "app/app_win.h"
#include "app/tray.h"

namespace kalverin {
namespace {

// The first form of the notification-icon record: 88 bytes in a 32-bit process, 104 in a
// 64-bit one (the window and icon handles grow). Its tip field holds 64 bytes.
static_assert(NOTIFYICONDATAA_V1_SIZE == (sizeof(void*) == 8 ? 104 : 88), "first notification-icon form");
constexpr size_t kV1TipBytes = 64;
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

Win32Desktop::Win32Desktop(HWND window, HICON icon, std::string caption)
    : window_(window), icon_(icon), caption_(std::move(caption)) {}

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

bool Win32Desktop::registerHotKey(int id, unsigned modifiers, uint8_t vk) {
    return RegisterHotKey(window_, id, modifiers, vk) != FALSE;
}

void Win32Desktop::unregisterHotKey(int id) {
    UnregisterHotKey(window_, id);
}

void Win32Desktop::notifyIcon(TrayAction action, unsigned flags, const std::string& tip) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window_;
    data.uID = kTrayIconId;
    data.uFlags = flags;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = icon_;
    // The shell reads only the first 64 bytes of the tip in this form.
    size_t length = tip.size() < kTrayTipMax ? tip.size() : kTrayTipMax;
    std::memcpy(data.szTip, tip.data(), length);
    data.szTip[length] = '\0';
    Shell_NotifyIconA(static_cast<DWORD>(action), &data);
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

void Win32Desktop::messageBox(const char* text) {
    MessageBoxA(window_, text, caption_.c_str(), MB_OK);
}

void Win32Desktop::beep() {
    MessageBeep(MB_ICONEXCLAMATION);
}

Win32Desktop mainDesktop() {
    return Win32Desktop(mainWindow(), programIcon(), programName());
}

}  // namespace kalverin
