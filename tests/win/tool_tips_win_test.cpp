// Pieces every dialog shares: tool-tips (one tip window per dialog, texts on request) and the
// exception boundary of a dialog procedure.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <new>

#include "dialogs/dialog_support_win.h"

namespace kalverin {
namespace {

constexpr int kWithTip = 1062;
constexpr int kWithoutTip = 1034;
constexpr int kDisabledButton = 1011;

const char* lookUp(int id) {
    if (id == kDisabledButton) return "Edit secondary hot-paste!";
    return id == kWithTip ? "Combination to paste your text" : nullptr;
}

class ToolTips : public ::testing::Test {
protected:
    ToolTips() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        parent = CreateWindowExA(0, "STATIC", "tips", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                 nullptr, nullptr);
        for (int id : {kWithTip, kWithoutTip})
            CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    ~ToolTips() override { DestroyWindow(parent); }

    template <typename Info>
    Info request(UINT code, int id, UINT flags = TTF_IDISHWND) {
        Info info = {};
        info.hdr.hwndFrom = nullptr;
        info.hdr.code = code;
        info.hdr.idFrom = reinterpret_cast<UINT_PTR>(GetDlgItem(parent, id));
        info.uFlags = flags;
        return info;
    }

    HWND tipWindow() const {
        HWND tip = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM found) {
                char cls[32] = "";
                GetClassNameA(window, cls, sizeof cls);
                if (lstrcmpiA(cls, TOOLTIPS_CLASSA) != 0) return TRUE;
                *reinterpret_cast<HWND*>(found) = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&tip));
        return tip;
    }

    HWND parent = nullptr;
};

TEST_F(ToolTips, EveryChildBecomesAToolOfOneTipWindow) {
    addToolTips(parent);
    HWND tip = tipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(GetWindow(tip, GW_OWNER), parent);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
}

// A disabled control gets no mouse messages, the window under it does: its area there is a
// tool of its own with the control's text. A static text passes the mouse on anyway.
TEST_F(ToolTips, DisabledControlsKeepTheirTipsThroughTheirArea) {
    CreateWindowExA(0, "BUTTON", "Edit", WS_CHILD | WS_VISIBLE | WS_DISABLED, 20, 30, 60, 20, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kDisabledButton)), nullptr, nullptr);
    addToolTips(parent, lookUp);
    HWND tip = tipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 4);
    TTHITTESTINFOA hit{};
    hit.hwnd = parent;
    hit.pt = {50, 40};
    hit.ti.cbSize = sizeof(hit.ti);
    ASSERT_TRUE(SendMessageA(tip, TTM_HITTESTA, 0, reinterpret_cast<LPARAM>(&hit)));
    EXPECT_EQ(hit.ti.uId, static_cast<UINT_PTR>(kDisabledButton));
    hit.pt = {5, 5};  // the static with a tip: no area tool
    EXPECT_FALSE(SendMessageA(tip, TTM_HITTESTA, 0, reinterpret_cast<LPARAM>(&hit)));
}

TEST_F(ToolTips, RequestsAreAnsweredInBothCharacterSets) {
    auto narrow = request<NMTTDISPINFOA>(TTN_GETDISPINFOA, kWithTip);
    ASSERT_TRUE(answerToolTip(reinterpret_cast<LPARAM>(&narrow), lookUp));
    EXPECT_STREQ(narrow.lpszText, "Combination to paste your text");

    auto wide = request<NMTTDISPINFOW>(TTN_GETDISPINFOW, kWithTip);
    ASSERT_TRUE(answerToolTip(reinterpret_cast<LPARAM>(&wide), lookUp));
    EXPECT_STREQ(wide.lpszText, L"Combination to paste your text");
}

TEST_F(ToolTips, OnlyToolsByWindowWithATextAreAnswered) {
    auto noTip = request<NMTTDISPINFOA>(TTN_GETDISPINFOA, kWithoutTip);
    EXPECT_FALSE(answerToolTip(reinterpret_cast<LPARAM>(&noTip), lookUp));
    auto byId = request<NMTTDISPINFOW>(TTN_GETDISPINFOW, kWithTip, 0);
    EXPECT_FALSE(answerToolTip(reinterpret_cast<LPARAM>(&byId), lookUp));
    auto other = request<NMTTDISPINFOA>(TTN_SHOW, kWithTip);
    EXPECT_FALSE(answerToolTip(reinterpret_cast<LPARAM>(&other), lookUp));
}

// A handler that throws: the dialog manager sees "not handled", and a dialog that could not
// fill its controls closes as cancelled instead of running empty (a timer ends it with 99).
HWND thrownIn = nullptr;
INT_PTR CALLBACK throwingProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    return guardDialogMessage(dialog, message, [&]() -> INT_PTR {
        if (message != WM_INITDIALOG) return FALSE;
        thrownIn = dialog;
        SetTimer(dialog, 1, 3000, [](HWND d, UINT, UINT_PTR, DWORD) { EndDialog(d, 99); });
        throw std::bad_alloc();
    });
}

TEST(DialogBoundary, AnExceptionStopsAtTheProcedure) {
    EXPECT_EQ(guardDialogMessage(nullptr, WM_COMMAND, []() -> INT_PTR { throw std::bad_alloc(); }), FALSE);
    EXPECT_EQ(guardDialogMessage(nullptr, WM_COMMAND, [] { return INT_PTR{TRUE}; }), TRUE);
    alignas(4) WORD blank[12] = {};  // a template without controls: style, counts, menu, class, title
    auto* form = reinterpret_cast<DLGTEMPLATE*>(blank);
    form->style = WS_POPUP;
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, form, nullptr, throwingProc, 0), IDCANCEL);
    EXPECT_NE(thrownIn, nullptr);
}

}  // namespace
}  // namespace kalverin
