// The process-wide objects: the record and buffers, the three fonts, the program icon.
#include <windows.h>

#include <string>

#include "app/app_win.h"
#include "app/application.h"
#include "app/main_window_win.h"
#include "resources/resource.h"

namespace kalverin {
namespace {

AppState* gState = nullptr;
HWND gMainWindow = nullptr;
HFONT gScriptFont = nullptr;
HFONT gUserNameFont = nullptr;
HFONT gStatisticsFont = nullptr;
HICON gProgramIcon = nullptr;

}  // namespace

AppState& app() {
    return *gState;
}
HWND mainWindow() {
    return gMainWindow;
}
HFONT scriptFont() {
    return gScriptFont;
}
HFONT userNameFont() {
    return gUserNameFont;
}
HFONT statisticsFont() {
    return gStatisticsFont;
}
HICON programIcon() {
    return gProgramIcon;
}

void setMainWindow(HWND window) {
    gMainWindow = window;
}

// The executable's name does not change while it runs: it is worked out once, not on
// every tick that touches the taskbar icon.
std::string programName() {
    static const std::string name = [] {
        char path[MAX_PATH];
        DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string base(path, n < MAX_PATH ? n : 0);
        size_t slash = base.find_last_of("\\/");
        if (slash != std::string::npos) base.erase(0, slash + 1);
        size_t dot = base.find_last_of('.');
        if (dot != std::string::npos) base.erase(dot);
        return base.empty() ? std::string("Kalverin") : base;
    }();
    return name;
}

// A point font for the screen: the size in tenths of a point.
static HFONT createPointFont(int tenthsOfPoint, const char* face) {
    HDC screen = GetDC(nullptr);
    int height = -MulDiv(tenthsOfPoint, GetDeviceCaps(screen, LOGPIXELSY), 720);
    ReleaseDC(nullptr, screen);
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

void createFonts() {
    gScriptFont = createPointFont(90, "Courier New");
    gUserNameFont = createPointFont(140, "Arial");
    gStatisticsFont = createPointFont(100, "Times New Roman");
}

void releaseFonts() {
    for (HFONT* font : {&gScriptFont, &gUserNameFont, &gStatisticsFont}) {
        if (*font) DeleteObject(*font);
        *font = nullptr;
    }
}

void setAppState(AppState* state) {
    gState = state;
}
void loadProgramIcon(HINSTANCE instance) {
    gProgramIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
}

}  // namespace kalverin
