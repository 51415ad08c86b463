// The process: the user's section from the command line, the application object, the main
// window run modally for the whole life of the program, and the clean-up.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <new>
#include <string>

#include "app/application_win.h"
#include "app/command_line.h"
#include "app/main_window_win.h"
#include "app/single_instance_win.h"
#include "dialogs/dialog_support_win.h"

using namespace kalverin;

namespace {

void reportBadSection(SectionNameResult result) {
    const char* why = result == SectionNameResult::tooLong
                          ? "The user name on the command line is too long for the settings file."
                          : "The user name on the command line contains a character the settings "
                            "file cannot hold (a bracket or a control character).";
    MessageBoxA(nullptr, why, programName().c_str(), MB_OK | MB_ICONSTOP);
}

// The program cannot run without its fonts, buffers or main window.
int outOfMemory() {
    MessageBoxA(nullptr, "Unable to run Kalverin", "Not enough memory available!", MB_OK);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    // The key-combination control and tool-tips are the only common controls in use.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_HOTKEY_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    std::string section;
    SectionNameResult parsed = sectionNameFromCommandLine(arguments, section);
    if (parsed != SectionNameResult::ok) {
        reportBadSection(parsed);
        return 1;
    }

    // One copy per section: a second start shows the running one and leaves the file alone.
    const std::string settingsPath = settingsFilePath();
    SingleInstance copy(section, settingsPath);
    const UINT showRequest = RegisterWindowMessageA("Kalverin.ShowYourself");
    if (!copy.first()) {
        copy.bringRunningCopyForward(showRequest);
        return 0;
    }

    // Fonts, buffers, icon and settings file live until the main window has closed.
    std::unique_ptr<Application> app;
    try {
        app = std::make_unique<Application>(instance, section, settingsPath);
    } catch (const std::bad_alloc&) {
        return outOfMemory();
    }
    app->showRequest = showRequest;
    app->instanceName = copy.name();
    // -1: the dialog could not be made, or its start-up ran out of memory.
    if (runMainWindow(*app) == -1) return outOfMemory();
    return 0;
}
