// The modal dialogs of the real program, driven by control id as a user would fill them:
// the quit details with its validation, the hot-paste editor's live preview, the secondary
// hot-keys, and the first-run welcome.
#include <gtest/gtest.h>

#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>

#include <memory>
#include <string>
#include <utility>

#include "resources/resource.h"
#include "tests/e2e/harness.h"
#include "tests/support/civil_time.h"
#include "tests/support/clipboard_win.h"

namespace e2e {
namespace {

using kalverin::clipboardText;

const char* const kSettingsCaption = "Kalverin - Settings";
const char* const kEditorCaption = "Kalverin - Hot-Paste Editor             ";
const char* const kSecondaryCaption = "Secondary Hot-key Text";
const char* const kMessageBoxCaption = "kalverin";  // the executable's base name
constexpr int kMessageBoxText = 0xFFFF;             // the static a message box shows its text in
constexpr WPARAM kCopySigCommand = 32;              // the system menu's "Copy Sig To Clipboard"

// Seconds since the epoch of a UTC civil date (the tests run with TZ=UTC0).
long long utc(int y, int m, int d, int hh, int mm) {
    return kalverin::utcSeconds(y, m, d, hh, mm);
}

void setText(HWND dialog, int id, const std::string& text) {
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void select(HWND dialog, int id, int index) {
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, index, 0);
}

void setCheck(HWND dialog, int id, bool on) {
    SendDlgItemMessageA(dialog, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Posted, not sent: the command may open a modal dialog or a message box.
void press(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Each control of `window` shows its text.
void expectTexts(HWND window, std::initializer_list<std::pair<int, const char*>> texts) {
    for (const auto& [id, text] : texts) EXPECT_EQ(controlText(window, id), text) << id;
}

HWND focusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

class DialogsE2E : public ::testing::Test {
protected:
    void SetUp() override {
        appData.writeSettings(settingsText("User 1", {{"Name", "Ann"},
                                                      {"Start", "1000000000"},
                                                      {"spd", "10"},
                                                      {"cph", "3"},
                                                      {"cptu", "20"},
                                                      {"cpp", "20"}}));
        kalverin = std::make_unique<KalverinProcess>(appData);
        ASSERT_TRUE(kalverin->started());
        main = kalverin->waitUntilMinimised();
        ASSERT_NE(main, nullptr);
    }

    HWND openQuitDetails() {
        PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_CHANGE_QUIT_DETAILS, BN_CLICKED), 0);
        return kalverin->waitForWindow(kSettingsCaption);
    }

    // Presses Save and waits for the message box it raises; returns its text and closes it.
    std::string saveExpectingMessage(HWND details) {
        press(details, IDOK);
        HWND box = kalverin->waitForWindow(kMessageBoxCaption);
        if (!box) return "<no message box>";
        std::string text = controlText(box, kMessageBoxText);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        waitUntil([&] { return kalverin->findWindow(kMessageBoxCaption) == nullptr; });
        return text;
    }

    // "Copy Sig To Clipboard" from the system menu; the clipboard is read only once the
    // program has put the text there, so that it never finds the clipboard held by us.
    std::string copySig() {
        const DWORD before = GetClipboardSequenceNumber();
        PostMessageA(main, WM_SYSCOMMAND, kCopySigCommand, 0);
        std::string text;
        waitUntil([&] {
            if (GetClipboardSequenceNumber() == before) return false;
            text = clipboardText();
            return text != "<cannot open>" && text != "<no text>";
        });
        return text;
    }

    bool closed(const char* caption) {
        return waitUntil([&] { return kalverin->findWindow(caption) == nullptr; });
    }
    // Presses `button` of `dialog` and waits for the window captioned `caption` to open.
    HWND pressToOpen(HWND dialog, int button, const char* caption) {
        press(dialog, button);
        return kalverin->waitForWindow(caption);
    }
    // Presses `button` of `dialog` and waits for the window captioned `caption` to close.
    bool pressToClose(HWND dialog, int button, const char* caption) {
        press(dialog, button);
        return closed(caption);
    }
    // Each "key=value" holds in the first user's section.
    void expectSettings(std::initializer_list<std::string> lines) {
        for (const std::string& line : lines) {
            const size_t equals = line.find('=');
            EXPECT_EQ(userSetting(appData, line.substr(0, equals)), line.substr(equals + 1)) << line;
        }
    }

    AppDataFolder appData;
    std::unique_ptr<KalverinProcess> kalverin;
    HWND main = nullptr;
};

TEST_F(DialogsE2E, OpensWithTheStoredValues) {
    HWND details = openQuitDetails();
    ASSERT_NE(details, nullptr);
    // 1000000000 is 2001-09-09 01:46:40 UTC.
    expectTexts(details, {{IDC_QD_NAME, "Ann"},
                          {IDC_QD_PER_DAY, "10"},
                          {IDC_QD_PRICE, "3.20"},
                          {IDC_QD_PER_PACK, "20"},
                          {IDC_QD_DAY, "09"},
                          {IDC_QD_MONTH, "September"},
                          {IDC_QD_YEAR, "2001"},
                          {IDC_QD_HOUR, "01"},
                          {IDC_QD_MINUTE, "46"}});
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(details, IDC_QD_EDIT_SECONDARY)));
    EXPECT_EQ(SendDlgItemMessageA(details, IDC_QD_YEAR, CB_GETCOUNT, 0, 0), 80);
    EXPECT_TRUE(pressToClose(details, IDCANCEL, kSettingsCaption));
}

TEST_F(DialogsE2E, SavingEveryFieldWritesTheFileAndTheMainWindowFollows) {
    HWND details = openQuitDetails();
    ASSERT_NE(details, nullptr);
    setText(details, IDC_QD_NAME, "Jo Tester");
    select(details, IDC_QD_DAY, 30);   // 31
    select(details, IDC_QD_MONTH, 1);  // February
    select(details, IDC_QD_YEAR, 2002 - 1970);
    select(details, IDC_QD_HOUR, 14);
    select(details, IDC_QD_MINUTE, 45);
    setText(details, IDC_QD_PER_DAY, "25");
    setText(details, IDC_QD_PRICE, "4.35");
    setText(details, IDC_QD_PER_PACK, "25");
    setCheck(details, IDC_QD_SHOW_SECONDS, false);
    setCheck(details, IDC_QD_SHOW_NOT_SMOKED, true);
    setCheck(details, IDC_QD_SHOW_MONEY_SAVED, false);
    setCheck(details, IDC_QD_SHOW_LIFE_SAVED, true);
    setCheck(details, IDC_QD_ENABLE_SECONDARY, true);
    ASSERT_TRUE(pressToClose(details, IDOK, kSettingsCaption));

    // 31 February rolls over to 3 March.
    expectSettings({"Name=Jo Tester", "Start=" + std::to_string(utc(2002, 3, 3, 14, 45)), "spd=25", "cph=4",
                    "cptu=35", "cpp=25", "ws=0", "wns=1", "wc=0", "ls=1", "mirc=1"});

    // The main window refreshes its texts only while it is shown normally.
    ShowWindow(main, SW_RESTORE);
    EXPECT_TRUE(waitUntil([&] { return controlText(main, IDC_USER_NAME) == "Jo Tester"; }));

    // The next opening shows the rolled-over date and the price as stored.
    details = openQuitDetails();
    ASSERT_NE(details, nullptr);
    expectTexts(details, {{IDC_QD_DAY, "03"}, {IDC_QD_MONTH, "March"}, {IDC_QD_PRICE, "4.35"}});
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(details, IDC_QD_EDIT_SECONDARY)));
    EXPECT_TRUE(pressToClose(details, IDCANCEL, kSettingsCaption));
}

TEST_F(DialogsE2E, TrailingLettersAreStoredThenRefused) {
    HWND details = openQuitDetails();
    ASSERT_NE(details, nullptr);
    setText(details, IDC_QD_PER_DAY, "20x");
    EXPECT_EQ(saveExpectingMessage(details), "Please enter a positive integer.");
    EXPECT_EQ(userSetting(appData, "spd"), "20");
    ASSERT_NE(kalverin->findWindow(kSettingsCaption), nullptr);  // still open
    HWND field = GetDlgItem(details, IDC_QD_PER_DAY);
    EXPECT_TRUE(waitUntil([&] { return focusOf(details) == field; }));
    DWORD selection = static_cast<DWORD>(SendMessageA(field, EM_GETSEL, 0, 0));
    EXPECT_EQ(LOWORD(selection), 0);
    EXPECT_EQ(HIWORD(selection), 3);
    EXPECT_TRUE(pressToClose(details, IDCANCEL, kSettingsCaption));
    EXPECT_EQ(userSetting(appData, "spd"), "20");
}

TEST_F(DialogsE2E, DecimalCommaStoresTheWholePartThenAsksForANumber) {
    HWND details = openQuitDetails();
    ASSERT_NE(details, nullptr);
    setText(details, IDC_QD_PRICE, "4,35");
    EXPECT_EQ(saveExpectingMessage(details), "Please enter a number.");
    expectSettings({"cph=4", "cptu=0"});
    HWND field = GetDlgItem(details, IDC_QD_PRICE);
    EXPECT_TRUE(waitUntil([&] { return focusOf(details) == field; }));
    // Correcting the field and saving again closes the dialog.
    setText(details, IDC_QD_PRICE, "4.5");
    EXPECT_TRUE(pressToClose(details, IDOK, kSettingsCaption));
    EXPECT_EQ(userSetting(appData, "cptu"), "50");
}

TEST_F(DialogsE2E, EnableSecondaryEnablesItsButtonAtOnce) {
    HWND details = openQuitDetails();
    ASSERT_NE(details, nullptr);
    HWND box = GetDlgItem(details, IDC_QD_ENABLE_SECONDARY);
    HWND button = GetDlgItem(details, IDC_QD_EDIT_SECONDARY);
    EXPECT_FALSE(IsWindowEnabled(button));
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(button) != FALSE; }));
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(button) == FALSE; }));
    EXPECT_TRUE(pressToClose(details, IDCANCEL, kSettingsCaption));
    EXPECT_EQ(userSetting(appData, "mirc"), "0");
}

// Every row of both tip tables, read from the tip that shows while the mouse rests on the
// control; "Edit &Secondary" shows its tip while it is grey.
TEST_F(DialogsE2E, EveryTipShowsOnItsControl) {
    const struct {
        int id;
        const char* tip;
    } mainTips[] =
        {
            {IDOK, "Minimize the Kalverin window and show a timer in the task bar"},
            {IDC_CHANGE_QUIT_DETAILS, "Set or alter your quit details"},
            {IDC_ELAPSED, "Shows how well your quit is going"},
            {IDC_MONEY_SAVED, "An estimate of the amount of money you have not spent on cigarettes"},
            {IDC_NOT_SMOKED, "An estimate of how many cigarettes you have not smoked"},
            {IDC_USER_NAME, "The name of the user who's quit information is displayed below"},
            {IDC_PRIMARY_HOT_KEY, "The key combination you will press to hot-paste your quit information"},
            {IDC_CHAT, "Display version information and web site address"},
        },
      detailsTips[] = {
          {IDC_QD_EDIT_SECONDARY, "Edit secondary hot-paste!"},
          {IDOK, "Save changes and return to Kalverin"},
          {IDCANCEL, "Return to Kalverin and cancel changes"},
          {IDC_QD_EDIT_PRIMARY, "Alter the Hot-Paste text"},
          {IDC_QD_DAY, "Select the day of your quit date here"},
          {IDC_QD_MONTH, "Select the month of your quit date here"},
          {IDC_QD_YEAR, "Select the year of your quit date here"},
          {IDC_QD_HOUR, "Select the hour of the day you quit here"},
          {IDC_QD_MINUTE, "Select the minute of the day you quit here"},
          {IDC_QD_PER_DAY, "Enter an estimate of the number of cigarettes you smoked here"},
          {IDC_QD_PRICE, "Enter the cost of a pack of cigarettes here in the form ##.##"},
          {IDC_QD_PER_PACK, "Enter the number of cigarettes in a full pack"},
          {IDC_QD_NAME, "Enter your name here"},
          {IDC_QD_SHOW_NOT_SMOKED,
           "Set this option to see the number of cigarettes not smoked on the task bar"},
          {IDC_QD_SHOW_MONEY_SAVED, "Set this option to see the amount of money saved on the task bar"},
          {IDC_QD_SHOW_SECONDS, "Set this option to see the seconds tick by on the task bar"},
          {IDC_QD_ENABLE_SECONDARY, "Set this option to enable secondary hot-paste editor!"},
      };
    ShowWindow(main, SW_RESTORE);
    ASSERT_TRUE(waitUntil([&] { return !IsIconic(main) && IsWindowVisible(main); }));
    for (const auto& row : mainTips)
        EXPECT_EQ(tipShownOn(*kalverin, GetDlgItem(main, row.id), row.tip), row.tip) << row.id;
    HWND details = openQuitDetails();
    ASSERT_NE(details, nullptr);
    ASSERT_FALSE(IsWindowEnabled(GetDlgItem(details, IDC_QD_EDIT_SECONDARY)));
    for (const auto& row : detailsTips)
        EXPECT_EQ(tipShownOn(*kalverin, GetDlgItem(details, row.id), row.tip), row.tip) << row.id;
    EXPECT_TRUE(pressToClose(details, IDCANCEL, kSettingsCaption));
}

TEST_F(DialogsE2E, EditorPreviewFollowsTypingAndSaveReachesTheFile) {
    HWND details = openQuitDetails();
    ASSERT_NE(details, nullptr);
    HWND editor = pressToOpen(details, IDC_QD_EDIT_PRIMARY, kEditorCaption);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(editor, IDC_ED_REAL_TIME, BM_GETCHECK, 0, 0), BST_CHECKED);

    // Checked, the preview follows the ticking seconds on its own.
    setText(editor, IDC_ED_TEXT, "{+s}");
    const std::string first = controlText(editor, IDC_ED_PREVIEW);
    EXPECT_TRUE(waitUntil([&] { return controlText(editor, IDC_ED_PREVIEW) != first; })) << first;

    // With the once-a-second refresh off, only the change notifications of typing can
    // bring the preview up to date: two captions of the ticking main window later, the
    // preview still shows what it showed.
    setCheck(editor, IDC_ED_REAL_TIME, false);
    const std::string frozen = controlText(editor, IDC_ED_PREVIEW);
    for (int tick = 0; tick < 2; ++tick) {
        const std::string caption = windowText(main);
        ASSERT_TRUE(waitUntil([&] { return windowText(main) != caption; }));
    }
    EXPECT_EQ(controlText(editor, IDC_ED_PREVIEW), frozen);
    HWND text = GetDlgItem(editor, IDC_ED_TEXT);
    SendMessageA(text, EM_SETSEL, 0, -1);
    for (char c : std::string("Hi {+N}!")) PostMessageA(text, WM_CHAR, static_cast<unsigned char>(c), 1);
    EXPECT_TRUE(waitUntil([&] { return controlText(editor, IDC_ED_PREVIEW) == "Hi Ann!"; }))
        << controlText(editor, IDC_ED_PREVIEW);
    ASSERT_TRUE(pressToClose(editor, IDOK, kEditorCaption));

    // The box is set again at every opening.
    editor = pressToOpen(details, IDC_QD_EDIT_PRIMARY, kEditorCaption);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(editor, IDC_ED_REAL_TIME, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(controlText(editor, IDC_ED_TEXT), "Hi {+N}!");
    ASSERT_TRUE(pressToClose(editor, IDC_ED_CANCEL, kEditorCaption));

    // Saved into memory only; the quit details dialog's Save writes it.
    EXPECT_NE(userSetting(appData, "Text"), storedText("Hi {+N}!", 1020));
    ASSERT_TRUE(pressToClose(details, IDOK, kSettingsCaption));
    EXPECT_EQ(userSetting(appData, "Text"), storedText("Hi {+N}!", 1020));
}

TEST_F(DialogsE2E, EditorCancelStoresNothing) {
    // Cancelled in the editor, then saved in the quit details: the file keeps its text. Saved
    // in the editor, then the quit details cancelled: the text works at once but reaches no
    // file, and the next opening of the quit details reloads the file's text.
    const struct {
        const char* text;
        int editorButton, detailsButton;
    } rounds[] = {{"thrown away", IDC_ED_CANCEL, IDOK}, {"kept in memory", IDOK, IDCANCEL}};
    std::string before;
    for (const auto& round : rounds) {
        HWND details = openQuitDetails();
        ASSERT_NE(details, nullptr);
        if (before.empty()) before = userSetting(appData, "Text");
        HWND editor = pressToOpen(details, IDC_QD_EDIT_PRIMARY, kEditorCaption);
        ASSERT_NE(editor, nullptr);
        setText(editor, IDC_ED_TEXT, round.text);
        ASSERT_TRUE(pressToClose(editor, round.editorButton, kEditorCaption));
        ASSERT_TRUE(pressToClose(details, round.detailsButton, kSettingsCaption));
        EXPECT_EQ(userSetting(appData, "Text"), before) << round.text;
    }
    EXPECT_EQ(copySig(), "kept in memory\r\n");
    HWND details = openQuitDetails();
    ASSERT_NE(details, nullptr);
    ASSERT_TRUE(pressToClose(details, IDCANCEL, kSettingsCaption));
    EXPECT_NE(copySig(), "kept in memory\r\n");
}

TEST_F(DialogsE2E, SecondaryHotKeysAreStoredWithTheQuitDetails) {
    HWND details = openQuitDetails();
    ASSERT_NE(details, nullptr);
    SendMessageA(GetDlgItem(details, IDC_QD_ENABLE_SECONDARY), BM_CLICK, 0, 0);
    HWND secondary = pressToOpen(details, IDC_QD_EDIT_SECONDARY, kSecondaryCaption);
    ASSERT_NE(secondary, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(secondary, IDC_SEC_KEY4, HKM_GETHOTKEY, 0, 0), 0x027B);  // Ctrl+F12
    SendDlgItemMessageA(secondary, IDC_SEC_KEY1, HKM_SETHOTKEY, 0x0174, 0);                // Shift+F5
    SendDlgItemMessageA(secondary, IDC_SEC_KEY3, HKM_SETHOTKEY, 0, 0);
    setText(secondary, IDC_SEC_TEXT2, std::string(600, 'r'));
    ASSERT_TRUE(pressToClose(secondary, IDOK, kSecondaryCaption));
    ASSERT_TRUE(pressToClose(details, IDOK, kSettingsCaption));
    expectSettings(
        {"hkv1=116", "hmod1=1", "hkv3=0", "hmod3=0", "Text2=" + storedText(std::string(499, 'r'), 500)});

    // The next opening shows what was stored.
    details = openQuitDetails();
    ASSERT_NE(details, nullptr);
    secondary = pressToOpen(details, IDC_QD_EDIT_SECONDARY, kSecondaryCaption);
    ASSERT_NE(secondary, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(secondary, IDC_SEC_KEY1, HKM_GETHOTKEY, 0, 0), 0x0174);
    ASSERT_TRUE(pressToClose(secondary, IDCANCEL, kSecondaryCaption));
    EXPECT_TRUE(pressToClose(details, IDCANCEL, kSettingsCaption));
}

TEST_F(DialogsE2E, AboutAndPreviewCloseWithTheirButtons) {
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(1072, BN_CLICKED), 0);
    HWND about = kalverin->waitForWindow("About Kalverin v2.60");
    ASSERT_NE(about, nullptr);
    expectTexts(about,
                {{IDC_ABOUT_HOME_PAGE, "https://kalverin.example.org/"}, {IDC_ABOUT_CHAT_NOW, "Chat Now!"}});
    EXPECT_TRUE(pressToClose(about, IDOK, "About Kalverin v2.60"));

    PostMessageA(main, WM_COMMAND, MAKEWPARAM(1080, BN_CLICKED), 0);
    HWND preview = kalverin->waitForWindow("Kalverin Online - A Preview");
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(controlText(preview, IDOK), "CLOSE");
    PostMessageA(preview, WM_COMMAND, IDCANCEL, 0);  // Esc
    EXPECT_TRUE(closed("Kalverin Online - A Preview"));
}

TEST(DialogsFirstRun, WelcomeDismissedWithEscStillLeadsToTheQuitDetails) {
    AppDataFolder appData;
    KalverinProcess kalverin(appData);
    ASSERT_TRUE(kalverin.started());
    HWND welcome = kalverin.waitForWindow("Welcome To Kalverin");
    ASSERT_NE(welcome, nullptr);
    EXPECT_EQ(controlText(welcome, IDOK), "OK, I will update my quit information now");
    PostMessageA(welcome, WM_COMMAND, IDCANCEL, 0);
    HWND details = kalverin.waitForWindow(kSettingsCaption);
    ASSERT_NE(details, nullptr);
    setText(details, IDC_QD_NAME, "New User");
    press(details, IDOK);
    ASSERT_TRUE(waitUntil([&] { return kalverin.findWindow(kSettingsCaption) == nullptr; }));
    auto sections = parseIni(appData.readSettings());
    ASSERT_NE(findSection(sections, "Kalverin"), nullptr);
    EXPECT_EQ(*findSection(sections, "Kalverin")->find("Build"), "151");
    ASSERT_NE(findSection(sections, "User 1"), nullptr);
    EXPECT_EQ(*findSection(sections, "User 1")->find("Name"), "New User");
}

}  // namespace
}  // namespace e2e
