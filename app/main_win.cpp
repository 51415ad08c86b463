// The process: fonts and buffers, the user's section from the command line, the main
// window run modally for the whole life of the program, and the clean-up.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <new>
#include <string>

#include "app/app_win.h"
#include "app/application.h"
#include "app/command_line.h"
#include "app/main_window_win.h"
#include "model/currency_win.h"
#include "model/settings_path_win.h"

using namespace kalverin;

namespace {

bool reportBadSection(SectionNameResult result) {
    const char* why = result == SectionNameResult::tooLong
                          ? "The user name on the command line is too long for the settings file."
                          : "The user name on the command line contains a character the settings "
                            "file cannot hold (a bracket or a control character).";
    MessageBoxA(nullptr, why, programName().c_str(), MB_OK | MB_ICONSTOP);
    return false;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    // The key-combination control and tool-tips are the only common controls in use.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_HOTKEY_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    createFonts();

    std::unique_ptr<AppState> state;
    try {
        state = std::make_unique<AppState>();
        state->record.hotPasteTexts[0].reserve(kPrimaryTextMax + 1);
        state->record.userName.reserve(kUserNameMax + 1);
    } catch (const std::bad_alloc&) {
        MessageBoxA(nullptr, "Unable to run Kalverin", "Not enough memory available!", MB_OK);
        return 0;
    }
    loadProgramIcon(instance);

    std::string section;
    SectionNameResult parsed = sectionNameFromCommandLine(arguments, section);
    if (parsed != SectionNameResult::ok) return reportBadSection(parsed), 1;
    state->record.sectionName = section;

    SettingsFile settings(settingsFilePath(), legacySettingsFilePath());
    Win32CurrencyFormat currency;
    state->settings = &settings;
    state->currency = &currency;
    setAppState(state.get());

    runMainWindow(instance);

    setAppState(nullptr);
    state.reset();
    releaseFonts();
    return 0;
}
