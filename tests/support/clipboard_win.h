// The clipboard as the tests and benchmarks see it from their own process.
#pragma once
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace kalverin {

// The clipboard's text in `format` (CF_TEXT, CF_UNICODETEXT); `cannotOpen` or `noText` when
// it cannot be read.
template <typename Char>
std::basic_string<Char> clipboardData(UINT format, const Char* cannotOpen, const Char* noText) {
    std::basic_string<Char> text = cannotOpen;
    if (!OpenClipboard(nullptr)) return text;
    text = noText;
    if (HANDLE data = GetClipboardData(format)) {
        if (const Char* p = static_cast<const Char*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

inline std::string clipboardText() {
    return clipboardData(CF_TEXT, "<cannot open>", "<no text>");
}

inline std::wstring clipboardWideText() {
    return clipboardData(CF_UNICODETEXT, L"<cannot open>", L"<no text>");
}

// Empties the clipboard and puts `text` on it; without an owner window emptying it later sends
// no message to this thread.
inline bool setClipboardText(HWND owner, const std::string& text) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    bool ok = false;
    if (block) {
        std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
        GlobalUnlock(block);
        ok = SetClipboardData(CF_TEXT, block) != nullptr;
        if (!ok) GlobalFree(block);
    }
    CloseClipboard();
    return ok;
}

// Holds the clipboard open from another thread's window until released, with `content` put on
// it first when given.
class ClipboardHolder {
public:
    explicit ClipboardHolder(std::optional<std::string> content = std::nullopt)
        : thread_([this, content] {
              HWND window =
                  CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
              bool opened = OpenClipboard(window) != FALSE;
              if (opened && content) {
                  EmptyClipboard();
                  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, content->size() + 1);
                  std::memcpy(GlobalLock(block), content->c_str(), content->size() + 1);
                  GlobalUnlock(block);
                  SetClipboardData(CF_TEXT, block);
              }
              std::unique_lock<std::mutex> lock(mutex_);
              held_ = opened;
              ready_ = true;
              changed_.notify_all();
              // Pump while holding: a thread that owns windows must answer messages sent to them.
              while (!changed_.wait_for(lock, std::chrono::milliseconds(10), [this] { return releasing_; })) {
                  lock.unlock();
                  MSG msg;
                  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
                  lock.lock();
              }
              if (opened) CloseClipboard();
              lock.unlock();
              DestroyWindow(window);
          }) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return ready_; });
    }
    ~ClipboardHolder() { release(); }
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;
    bool held() const { return held_; }
    void release() {
        if (!thread_.joinable()) return;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            releasing_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool ready_ = false, held_ = false, releasing_ = false;
    std::thread thread_;
};

}  // namespace kalverin
