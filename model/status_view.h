// What the tick writes to besides the icon's tip: the main window's statistics controls, its
// caption and the day-change sound.
#pragma once
#include <string>

namespace kalverin {

class StatusView {
public:
    virtual ~StatusView() = default;
    virtual void setControlText(int id, const std::string& text) = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual void beep() = 0;  // the exclamation sound
};

}  // namespace kalverin
