#include "app/single_instance_win.h"

#include "app/single_instance.h"

namespace kalverin {
namespace {

struct Search {
    const char* property;
    HWND found;
};

BOOL CALLBACK findMarked(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    if (!GetPropA(window, search->property)) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

SingleInstance::SingleInstance(const std::string& section, const std::string& settingsPath)
    : name_(instanceName(section, settingsPath)) {
    // In the session's own namespace: another person logged on keeps a copy of their own.
    mutex_ = CreateMutexA(nullptr, FALSE, ("Local\\" + name_).c_str());
    // A lock that cannot be made at all does not stop the program; it runs as before.
    first_ = !(mutex_ && GetLastError() == ERROR_ALREADY_EXISTS);
}

SingleInstance::~SingleInstance() {
    if (mutex_) CloseHandle(mutex_);
}

void SingleInstance::bringRunningCopyForward(UINT showRequest) const {
    for (int wait = 0; wait < 100; ++wait) {
        Search search{name_.c_str(), nullptr};
        EnumWindows(findMarked, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            // This process was just started by the person, so it may hand the foreground on.
            DWORD process = 0;
            GetWindowThreadProcessId(search.found, &process);
            AllowSetForegroundWindow(process);
            PostMessageA(search.found, showRequest, 0, 0);
            return;
        }
        Sleep(50);  // the running copy is still starting: its window comes within moments
    }
}

}  // namespace kalverin
