// The hot-paste editor: a text field, its rendered preview and a once-a-second refresh.
#include <windows.h>

#include "dialogs/dialog_support_win.h"
#include "dialogs/hot_paste_editor_win.h"
#include "dialogs/hot_paste_editor.h"
#include "resources/resource.h"

namespace kalverin {
namespace {

constexpr UINT_PTR kPreviewTimer = 1;

// The editor's data and its own preview buffers, for as long as the dialog runs.
struct EditorSession {
    HotPasteEditorData& data;
    EditorPreview preview;
};

EditorSession* sessionOf(HWND dialog) {
    return reinterpret_cast<EditorSession*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void refreshPreview(HWND dialog) {
    EditorSession* session = sessionOf(dialog);
    if (!session) return;  // EN_CHANGE may come before WM_INITDIALOG has stored the session
    renderPreview(controlText(dialog, IDC_ED_TEXT, kEditorTextMax), session->preview, session->data.preview);
    SetDlgItemTextA(dialog, IDC_ED_PREVIEW, session->preview.output.c_str());
}

INT_PTR onInit(HWND dialog, LPARAM param) {
    SetWindowLongPtrA(dialog, DWLP_USER, param);
    HotPasteEditorData& data = sessionOf(dialog)->data;
    // Setting the text raises EN_CHANGE, which renders once already; the explicit render
    // below keeps the order right even where it does not.
    SetDlgItemTextA(dialog, IDC_ED_TEXT, data.record.hotPasteTexts[0].c_str());
    if (HFONT font = data.scriptFont) {
        SendDlgItemMessageA(dialog, IDC_ED_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        SendDlgItemMessageA(dialog, IDC_ED_PREVIEW, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    CheckDlgButton(dialog, IDC_ED_REAL_TIME, BST_CHECKED);
    refreshPreview(dialog);
    // The timer dies with the window, however the dialog closes.
    SetTimer(dialog, kPreviewTimer, 1000, nullptr);
    addToolTips(dialog);
    return TRUE;
}

void onSave(HWND dialog) {
    if (storeEditorText(controlText(dialog, IDC_ED_TEXT, kEditorTextMax), sessionOf(dialog)->data.record)) {
        warn(dialog, kTextWillBeCutMessage);
    }
    EndDialog(dialog, IDOK);
}

INT_PTR onCommand(HWND dialog, int id, int code) {
    switch (id) {
        case IDC_ED_TEXT:
            if (code == EN_CHANGE) refreshPreview(dialog);
            return TRUE;
        case IDOK:
            onSave(dialog);
            return TRUE;
        case IDC_ED_CANCEL:
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

INT_PTR onTimer(HWND dialog) {
    if (IsDlgButtonChecked(dialog, IDC_ED_REAL_TIME) == BST_CHECKED) refreshPreview(dialog);
    return FALSE;  // and let the default handling see the tick
}

INT_PTR handleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return onInit(dialog, lParam);
        case WM_COMMAND:
            return onCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        case WM_TIMER:
            return onTimer(dialog);
        case WM_NOTIFY:
            return answerToolTip(lParam, editorTip) ? TRUE : FALSE;
    }
    return FALSE;
}

INT_PTR CALLBACK editorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return guardDialogMessage(dialog, message,
                              [&] { return handleMessage(dialog, message, wParam, lParam); });
}

}  // namespace

bool showHotPasteEditor(HWND owner, HotPasteEditorData& data) {
    EditorSession session{data, {}};
    return runDialog(IDD_EDITOR, owner, editorProc, reinterpret_cast<LPARAM>(&session)) == IDOK;
}

}  // namespace kalverin
