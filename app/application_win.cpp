// The process-wide objects: the record and buffers, the three fonts, the program icon.
#include <windows.h>

#include <string>

#include "app/app_win.h"
#include "app/application.h"
#include "app/main_window_win.h"

namespace kalverin {
namespace {

AppState* gState = nullptr;
HWND gMainWindow = nullptr;
HFONT gScriptFont = nullptr;
HFONT gUserNameFont = nullptr;
HFONT gStatisticsFont = nullptr;
HICON gProgramIcon = nullptr;

}  // namespace

AppState& app() { return *gState; }
HWND mainWindow() { return gMainWindow; }
HFONT scriptFont() { return gScriptFont; }
HFONT userNameFont() { return gUserNameFont; }
HFONT statisticsFont() { return gStatisticsFont; }
HICON programIcon() { return gProgramIcon; }

void setMainWindow(HWND window) { gMainWindow = window; }

std::string programName() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, n < MAX_PATH ? n : 0);
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name.empty() ? "Kalverin" : name;
}

// A point font for the screen: the size in tenths of a point.
static HFONT createPointFont(int tenthsOfPoint, const char* face) {
    HDC screen = GetDC(nullptr);
    int height = -MulDiv(tenthsOfPoint, GetDeviceCaps(screen, LOGPIXELSY), 720);
    ReleaseDC(nullptr, screen);
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
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

void setAppState(AppState* state) { gState = state; }
void loadProgramIcon(HINSTANCE instance) {
    gProgramIcon = LoadIconA(instance, MAKEINTRESOURCEA(128));
}

}  // namespace kalverin
