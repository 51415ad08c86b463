// The application object: everything the process holds from start to end, created in
// WinMain and handed to the main window.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "app/hot_paste.h"
#include "app/main_window.h"
#include "dde/ddeml_win.h"
#include "dde/quit_service.h"
#include "model/currency_win.h"
#include "model/settings_path_win.h"
#include "script/shared_state.h"

namespace kalverin {

// A font of ours, deleted with its owner.
class Font {
public:
    // The size in tenths of a point, for the screen.
    Font(int tenthsOfPoint, const char* face);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    HFONT get() const { return font_; }

private:
    HFONT font_;
};

// An icon loaded from our resources at the size of two system metrics (SM_CXICON and
// SM_CYICON, say), destroyed with its owner.
class Icon {
public:
    Icon(HINSTANCE instance, int id, int widthMetric, int heightMetric);
    ~Icon();
    Icon(const Icon&) = delete;
    Icon& operator=(const Icon&) = delete;
    HICON get() const { return icon_; }

private:
    HICON icon_;
};

class Application {
public:
    // Creates the fonts, the buffers and the program icons and opens the settings file at
    // `settingsPath`;
    // throws std::bad_alloc when memory runs out.
    Application(HINSTANCE instance, const std::string& section, const std::string& settingsPath);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    Font scriptFont{90, "Courier New"};
    Font userNameFont{140, "Arial"};
    Font statisticsFont{100, "Times New Roman"};
    HINSTANCE instance;
    Icon largeIcon;  // the window's icon in Alt+Tab and the taskbar
    Icon smallIcon;  // the title bar's and the notification area's
    SharedState shared;
    Win32CurrencyFormat currency;
    SettingsFile settings;
    Win32Ddeml ddeml;
    QuitService service{ddeml};
    HotKeyRegistrations hotKeys;  // this run's registrations; they end with the main window
    UINT taskbarCreated = 0;      // the shell's "TaskbarCreated" message, registered by the main window
    UINT showRequest = 0;         // a second start's request to come to the front
    std::string instanceName;     // the property that marks this section's main window
    // The open main window, from its WM_INITDIALOG to its WM_NCDESTROY; last, so that it goes
    // before the parts above that it works on.
    std::unique_ptr<MainWindow> mainWindow;
};

}  // namespace kalverin
