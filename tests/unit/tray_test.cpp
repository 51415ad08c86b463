#include "app/tray.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/support/recording_desktop.h"

namespace kalverin {
namespace {

TEST(TrayIcon, ActionsCarryTheirFlagsAndTheTip) {
    struct Case {
        TrayAction action;
        const char* call;
    };
    const Case cases[] = {
        {TrayAction::add, "notify:add:message+icon+tip:2d 3h"},
        {TrayAction::modify, "notify:modify:tip:2d 3h"},
        {TrayAction::remove, "notify:remove::2d 3h"},
    };
    for (const Case& c : cases) {
        RecordingDesktop desktop;
        setTrayIcon(desktop, c.action, "2d 3h");
        EXPECT_EQ(desktop.calls, (Calls{c.call}));
    }
}

TEST(TrayIcon, TipIsCutTo63Characters) {
    const std::pair<size_t, size_t> cases[] = {{0, 0}, {1, 1}, {62, 62}, {63, 63}, {64, 63}, {200, 63}};
    for (auto [length, kept] : cases) {
        RecordingDesktop desktop;
        setTrayIcon(desktop, TrayAction::modify, std::string(length, 't'));
        EXPECT_EQ(desktop.calls, (Calls{"notify:modify:tip:" + std::string(kept, 't')})) << length;
    }
}

// Each step asks for a tip with the shell refusing its first `refused` requests; the icon
// the shell holds afterwards and the requests made.
TEST(TrayIcon, KeptIconIsAddedUntilTheShellHoldsItAndModifiedAfter) {
    const std::string add = "notify:add:message+icon+tip:", modify = "notify:modify:tip:";
    struct Step {
        const char* tip;
        int refused;
        bool shown;
        Calls calls;
    };
    const Step steps[] = {
        // At logon, before the notification area exists, then once it does.
        {"", 2, false, {add + " refused", modify + " refused"}},
        {"1m", 2, false, {add + "1m refused", modify + "1m refused"}},
        {"1m", 0, true, {add + "1m"}},
        {"1m", 0, true, {}},
        {"2m", 0, true, {modify + "2m"}},
        // A modify refused: the shell lost the icon, which is added again.
        {"3m", 1, true, {modify + "3m refused", add + "3m"}},
        // Refused throughout: nothing held, tried again next time though the tip is the same.
        {"4m", 3, false, {modify + "4m refused", add + "4m refused", modify + "4m refused"}},
        {"4m", 1, true, {add + "4m refused", modify + "4m"}},
    };
    RecordingDesktop desktop;
    KeptTrayIcon kept;
    for (const Step& step : steps) {
        desktop.calls.clear();
        desktop.refusedNotifies = step.refused;
        EXPECT_EQ(keepTrayIcon(desktop, kept, step.tip), step.shown) << step.tip;
        EXPECT_EQ(kept.shown, step.shown);
        EXPECT_EQ(desktop.calls, step.calls) << step.tip;
    }
    // A restarted shell has no icon, whatever was held before.
    desktop.calls.clear();
    EXPECT_TRUE(onTaskbarCreated(desktop, kept, "4m"));
    EXPECT_EQ(desktop.calls, (Calls{add + "4m"}));
}

struct ToggleCase {
    const char* name;
    bool visible, minimised;
    Calls calls;  // window actions, then the save with the stored showOnTaskbar
    bool visibleAfter;
};

void PrintTo(const ToggleCase& c, std::ostream* os) {
    *os << c.name;
}

const ToggleCase kToggleCases[] = {
    {"ShownNormally", true, false, {"minimise", "hide", "save:0"}, false},
    {"MinimisedOnTheTaskbar", true, true, {"hide", "save:0"}, false},
    {"Hidden", false, true, {"showMinimised", "save:1"}, true},
    {"HiddenNotMinimised", false, false, {"showMinimised", "save:1"}, true},
};

class TrayToggleTest : public ::testing::TestWithParam<ToggleCase> {};

TEST_P(TrayToggleTest, FromEachWindowState) {
    const ToggleCase& c = GetParam();
    RecordingDesktop desktop;
    desktop.visible = c.visible;
    desktop.minimised = c.minimised;
    QuitRecord record;
    record.showOnTaskbar = 5;  // neither value the toggle stores
    trayToggle(desktop, record, [&](const QuitRecord& saved) {
        desktop.calls.push_back("save:" + std::to_string(saved.showOnTaskbar));
    });
    EXPECT_EQ(desktop.calls, c.calls);
    EXPECT_EQ(desktop.visible, c.visibleAfter);
    EXPECT_TRUE(desktop.minimised);  // never comes back at normal size
}

INSTANTIATE_TEST_SUITE_P(Tray, TrayToggleTest, ::testing::ValuesIn(kToggleCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TrayCallback, OnlyALeftDoubleClickToggles) {
    // Mouse move, left down/up, right down/up/double-click, middle down.
    for (unsigned message : {512u, 513u, 514u, 516u, 517u, 518u, 519u}) {
        RecordingDesktop desktop;
        QuitRecord record;
        int saves = 0;
        EXPECT_FALSE(onTrayCallback(desktop, record, message, [&](const QuitRecord&) { ++saves; }))
            << message;
        EXPECT_TRUE(desktop.calls.empty());
        EXPECT_EQ(saves, 0);
    }
    RecordingDesktop desktop;
    QuitRecord record;
    int saves = 0;
    EXPECT_TRUE(onTrayCallback(desktop, record, kLeftDoubleClick, [&](const QuitRecord&) { ++saves; }));
    EXPECT_EQ(desktop.calls, (Calls{"minimise", "hide"}));
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(record.showOnTaskbar, 0);
}

}  // namespace
}  // namespace kalverin
