// The quit details dialog: copies between its controls and a QuitDetailsForm; every
// decision is in quit_details.cpp.
#include <windows.h>

#include "dialogs/dialog_support_win.h"
#include "dialogs/quit_details_win.h"
#include "dialogs/secondary_hot_keys_win.h"
#include "dialogs/quit_details.h"
#include "resources/resource.h"

namespace kalverin {
namespace {

QuitDetailsData& dataOf(HWND dialog) {
    return *reinterpret_cast<QuitDetailsData*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void fillList(HWND dialog, int id, const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
}

void selectEntry(HWND dialog, int id, const std::string& text) {
    SendDlgItemMessageA(dialog, id, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(text.c_str()));
}

void setCheck(HWND dialog, int id, bool on) {
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}
bool checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

// Enough for any list entry; the habit fields hold short numbers, the name 99 characters.
constexpr size_t kFieldChars = 255;

void showForm(HWND dialog, const QuitDetailsForm& form) {
    setCheck(dialog, IDC_QD_SHOW_NOT_SMOKED, form.showNotSmoked);
    setCheck(dialog, IDC_QD_SHOW_MONEY_SAVED, form.showMoneySaved);
    setCheck(dialog, IDC_QD_SHOW_SECONDS, form.showSeconds);
    setCheck(dialog, IDC_QD_SHOW_LIFE_SAVED, form.showLifeSaved);
    SetDlgItemTextA(dialog, IDC_QD_NAME, form.name.c_str());
    selectEntry(dialog, IDC_QD_DAY, form.day);
    selectEntry(dialog, IDC_QD_MONTH, form.month);
    selectEntry(dialog, IDC_QD_YEAR, form.year);
    selectEntry(dialog, IDC_QD_HOUR, form.hour);
    selectEntry(dialog, IDC_QD_MINUTE, form.minute);
    SetDlgItemTextA(dialog, IDC_QD_PER_DAY, form.perDay.c_str());
    SetDlgItemTextA(dialog, IDC_QD_PRICE, form.price.c_str());
    SetDlgItemTextA(dialog, IDC_QD_PER_PACK, form.perPack.c_str());
    setCheck(dialog, IDC_QD_ENABLE_SECONDARY, form.enableSecondary);
    EnableWindow(GetDlgItem(dialog, IDC_QD_EDIT_SECONDARY), form.enableSecondary);
}

QuitDetailsForm readForm(HWND dialog) {
    QuitDetailsForm form;
    form.day = controlText(dialog, IDC_QD_DAY, kFieldChars);
    form.month = controlText(dialog, IDC_QD_MONTH, kFieldChars);
    form.year = controlText(dialog, IDC_QD_YEAR, kFieldChars);
    form.hour = controlText(dialog, IDC_QD_HOUR, kFieldChars);
    form.minute = controlText(dialog, IDC_QD_MINUTE, kFieldChars);
    form.perDay = controlText(dialog, IDC_QD_PER_DAY, kFieldChars);
    form.price = controlText(dialog, IDC_QD_PRICE, kPriceCharsRead);
    form.perPack = controlText(dialog, IDC_QD_PER_PACK, kFieldChars);
    form.showNotSmoked = checked(dialog, IDC_QD_SHOW_NOT_SMOKED);
    form.showMoneySaved = checked(dialog, IDC_QD_SHOW_MONEY_SAVED);
    form.showSeconds = checked(dialog, IDC_QD_SHOW_SECONDS);
    form.showLifeSaved = checked(dialog, IDC_QD_SHOW_LIFE_SAVED);
    form.name = controlText(dialog, IDC_QD_NAME, kUserNameMax);
    form.enableSecondary = checked(dialog, IDC_QD_ENABLE_SECONDARY);
    return form;
}

INT_PTR onInit(HWND dialog, LPARAM param) {
    SetWindowLongPtrA(dialog, DWLP_USER, param);
    const QuitDetailsLists& lists = quitDetailsLists();
    fillList(dialog, IDC_QD_MONTH, lists.months);
    fillList(dialog, IDC_QD_YEAR, lists.years);
    fillList(dialog, IDC_QD_DAY, lists.days);
    fillList(dialog, IDC_QD_HOUR, lists.hours);
    fillList(dialog, IDC_QD_MINUTE, lists.minutes);
    QuitDetailsData& data = dataOf(dialog);
    showForm(dialog, openQuitDetails(data.record, data.services));
    addToolTips(dialog, quitDetailsTip);  // "Edit &Secondary" explains why it is grey
    return TRUE;                          // the day list, first in tab order, takes the focus
}

void onSave(HWND dialog) {
    QuitDetailsData& data = dataOf(dialog);
    QuitDetailsSaveResult result = saveQuitDetails(readForm(dialog), data.record, data.services);
    if (result.close) {
        EndDialog(dialog, IDOK);
        return;
    }
    warn(dialog, result.message);
    focusAndSelect(dialog, result.focusControl);
}

void onEnableSecondary(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDC_QD_EDIT_SECONDARY), checked(dialog, IDC_QD_ENABLE_SECONDARY));
}

// The secondary dialog's changes reach the record in memory; they are registered and written
// when this dialog is saved.
void onEditSecondary(HWND dialog) {
    QuitRecord& record = dataOf(dialog).record;
    SecondaryHotKeysForm form = secondaryFormFromRecord(record);
    if (showSecondaryHotKeys(dialog, form)) storeSecondaryForm(form, record);
}

INT_PTR onCommand(HWND dialog, int id) {
    switch (id) {
        case IDOK:
            onSave(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_QD_EDIT_PRIMARY:
            showHotPasteEditor(dialog, dataOf(dialog).editor);
            return TRUE;
        case IDC_QD_EDIT_SECONDARY:
            onEditSecondary(dialog);
            return TRUE;
        case IDC_QD_ENABLE_SECONDARY:
            onEnableSecondary(dialog);
            return TRUE;
    }
    return FALSE;
}

INT_PTR handleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return onInit(dialog, lParam);
        case WM_COMMAND:
            return onCommand(dialog, LOWORD(wParam));
        case WM_NOTIFY:
            return answerToolTip(lParam, quitDetailsTip) ? TRUE : FALSE;
    }
    return FALSE;
}

INT_PTR CALLBACK quitDetailsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return guardDialogMessage(dialog, message,
                              [&] { return handleMessage(dialog, message, wParam, lParam); });
}

}  // namespace

bool showQuitDetails(HWND owner, QuitDetailsData& data) {
    return runDialog(IDD_QUIT_DETAILS, owner, quitDetailsProc, reinterpret_cast<LPARAM>(&data)) == IDOK;
}

}  // namespace kalverin
