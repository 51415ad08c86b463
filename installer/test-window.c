/* A helper of tools/test-installer: works windows on the desktop as a person would, finding a
 * control by its text in any visible top-level window:
 *   test-window click TEXT     presses the button (or check box) TEXT
 *   test-window checked TEXT   exit code 0 when the check box TEXT is ticked, 1 when not
 *   test-window gone TEXT      waits until no control TEXT is shown
 *   test-window shown TEXT N   waits until N controls TEXT are shown (N windows of a program)
 * Each waits, with a deadline of 10 s, for the control; exit code 2 when it never came.
 *   test-window run CMDLINE    runs CMDLINE exactly as written (as Windows runs a registered
 *                              command) and ends with its exit code */
#include <windows.h>
#include <stdlib.h>
#include <string.h>

struct Search {
    const char* text;
    HWND found;
    int count;
};

static BOOL CALLBACK matchControl(HWND window, LPARAM param) {
    struct Search* search = (struct Search*)param;
    char text[256];
    if (IsWindowVisible(window) && GetWindowTextA(window, text, sizeof text) > 0 &&
        strcmp(text, search->text) == 0) {
        if (!search->found) search->found = window;
        ++search->count;
    }
    return TRUE;
}

static BOOL CALLBACK searchTopLevel(HWND window, LPARAM param) {
    if (!IsWindowVisible(window)) return TRUE;
    EnumChildWindows(window, matchControl, param);  // every descendant, pages inside pages too
    return TRUE;
}

static struct Search findControls(const char* text) {
    struct Search search = {text, NULL, 0};
    EnumWindows(searchTopLevel, (LPARAM)&search);
    return search;
}

static int run(char* commandLine) {
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process;
    if (!CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) return 255;
    DWORD code = 255;
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (int)code;
}

int main(int argc, char** argv) {
    if (argc < 3) return 3;
    const char* command = argv[1];
    if (strcmp(command, "run") == 0) return run(argv[2]);
    int gone = strcmp(command, "gone") == 0;
    int wanted = strcmp(command, "shown") == 0 && argc == 4 ? atoi(argv[3]) : -1;
    for (int i = 0; i < 100; ++i, Sleep(100)) {
        struct Search search = findControls(argv[2]);
        HWND control = search.found;
        if (gone || wanted >= 0) {
            if (search.count == (gone ? 0 : wanted)) return 0;
            continue;
        }
        if (!control || !IsWindowEnabled(control)) continue;
        if (strcmp(command, "checked") == 0)
            return SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 0 : 1;
        if (strcmp(command, "click") != 0) return 3;
        PostMessageA(control, BM_CLICK, 0, 0);
        return 0;
    }
    return 2;
}
