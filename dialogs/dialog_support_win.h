// Pieces every dialog procedure shares: opening a template, message boxes, tool-tips.
#pragma once
#include <windows.h>

#include <string>

namespace kalverin {

// Looks a control id up in a dialog's tip table; null when the control has no tip.
using TipLookup = const char* (*)(int controlId);

// Runs one message of a dialog procedure through `handler`, the boundary no exception
// crosses: the dialog manager is C and cannot pass one on. Only std::bad_alloc can come (the
// handlers build strings). A dialog that could not fill its controls closes as cancelled,
// saving nothing; any other message counts as not handled and the dialog stays open.
template <typename Handler>
INT_PTR guardDialogMessage(HWND dialog, UINT message, Handler&& handler) noexcept {
    try {
        return handler();
    } catch (...) {
        if (message == WM_INITDIALOG) EndDialog(dialog, IDCANCEL);
        return FALSE;
    }
}

// Runs template `templateId` modally over `owner`; `param` reaches WM_INITDIALOG.
INT_PTR runDialog(int templateId, HWND owner, DLGPROC procedure, LPARAM param);

// The base name of the executable, "Kalverin" when it cannot be had: message box captions.
std::string programName();

// One-button message box with an exclamation icon, captioned with the program's name.
void warn(HWND owner, const char* text);

// Gives every child of `dialog` a tool-tip whose text is asked for on demand. With `tips`,
// the controls that have a tip show it while they are disabled too.
void addToolTips(HWND dialog, TipLookup tips = nullptr);

// Answers a tool-tip text request from `tips`; true when the request was one and was answered.
bool answerToolTip(LPARAM lParam, TipLookup tips);

// Moves the focus to a dialog control and selects its whole text.
void focusAndSelect(HWND dialog, int controlId);

// The text of a control, at most maxChars characters.
std::string controlText(HWND dialog, int controlId, size_t maxChars);

}  // namespace kalverin
