// The lock that keeps one copy per section, and the way a second start reaches the first.
#pragma once
#include <windows.h>

#include <string>

namespace kalverin {

class SingleInstance {
public:
    // Takes the lock of the section of that settings file, or finds it taken by a running copy.
    SingleInstance(const std::string& section, const std::string& settingsPath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool first() const { return first_; }
    // Also the name of the property that marks the main window of this section's copy.
    const std::string& name() const { return name_; }
    // Asks the running copy's main window to the front with `showRequest`; waits a few
    // seconds for a copy that is still starting to show its window.
    void bringRunningCopyForward(UINT showRequest) const;

private:
    std::string name_;
    HANDLE mutex_ = nullptr;
    bool first_ = true;
};

}  // namespace kalverin
