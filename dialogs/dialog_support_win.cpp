#include "dialogs/dialog_support_win.h"

#include <commctrl.h>

#include <vector>

namespace kalverin {

INT_PTR runDialog(int templateId, HWND owner, DLGPROC procedure, LPARAM param) {
    // The templates use the hot-key and tool-tip classes; registering them twice is harmless,
    // and a template with an unregistered class would simply fail to open.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_HOTKEY_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner, procedure, param);
}

// The executable's name does not change while it runs: it is worked out once, not on
// every message box.
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

void warn(HWND owner, const char* text) {
    MessageBoxA(owner, text, programName().c_str(), MB_OK | MB_ICONEXCLAMATION);
}

namespace {

struct ToolTipWindow {
    HWND tip;
    TipLookup tips;
};

BOOL CALLBACK addToolFor(HWND child, LPARAM lParam) {
    const ToolTipWindow& window = *reinterpret_cast<const ToolTipWindow*>(lParam);
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    // The tool is the control window itself; TTF_SUBCLASS lets the tip see the mouse
    // over it without the dialog relaying messages.
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(child);
    tool.uId = reinterpret_cast<UINT_PTR>(child);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(window.tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));

    // A disabled control gets no mouse messages: the window under it does. So the mouse over
    // it is seen by a second tool, the control's rectangle in that window, with the same
    // text. (Static texts pass the mouse on whether enabled or not and keep one tool.)
    const int id = GetDlgCtrlID(child);
    const char* text = window.tips ? window.tips(id) : nullptr;
    char className[16] = "";
    GetClassNameA(child, className, sizeof className);
    if (!text || lstrcmpiA(className, "Static") == 0) return TRUE;
    TTTOOLINFOA area{};
    area.cbSize = sizeof(area);
    area.uFlags = TTF_SUBCLASS;
    area.hwnd = tool.hwnd;
    area.uId = static_cast<UINT_PTR>(id);
    GetWindowRect(child, &area.rect);
    MapWindowPoints(nullptr, tool.hwnd, reinterpret_cast<POINT*>(&area.rect), 2);
    area.lpszText = const_cast<char*>(text);  // the tip keeps a copy
    SendMessageA(window.tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&area));
    return TRUE;
}

}  // namespace

void addToolTips(HWND dialog, TipLookup tips) {
    // The tip window belongs to the dialog and is destroyed with it.
    ToolTipWindow window{
        CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, GetModuleHandleA(nullptr), nullptr),
        tips};
    if (!window.tip) return;
    SendMessageA(window.tip, TTM_SETMAXTIPWIDTH, 0, 400);
    EnumChildWindows(dialog, addToolFor, reinterpret_cast<LPARAM>(&window));
}

bool answerToolTip(LPARAM lParam, TipLookup tips) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
        if (!(info->uFlags & TTF_IDISHWND)) return false;
        const char* text = tips(GetDlgCtrlID(reinterpret_cast<HWND>(info->hdr.idFrom)));
        if (!text) return false;
        info->lpszText = const_cast<char*>(text);
        info->hinst = nullptr;
        return true;
    }
    if (header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        if (!(info->uFlags & TTF_IDISHWND)) return false;
        const char* text = tips(GetDlgCtrlID(reinterpret_cast<HWND>(info->hdr.idFrom)));
        if (!text) return false;
        // The tip copies the text before the next request, so one buffer serves all tips.
        static wchar_t wide[256];
        int n = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 256);
        if (n == 0) wide[0] = L'\0';
        info->lpszText = wide;
        info->hinst = nullptr;
        return true;
    }
    return false;
}

void focusAndSelect(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    if (!control) return;
    // WM_NEXTDLGCTL rather than SetFocus keeps the dialog's default-button state right.
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    SendMessageA(control, EM_SETSEL, 0, -1);
}

std::string controlText(HWND dialog, int controlId, size_t maxChars) {
    std::vector<char> buffer(maxChars + 1, '\0');
    UINT n = GetDlgItemTextA(dialog, controlId, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), n <= maxChars ? n : maxChars);
}

}  // namespace kalverin
