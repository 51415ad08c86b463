#include "app/main_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/logging_profile.h"
#include "tests/support/fake_ddeml.h"
#include "tests/support/recording_desktop.h"
#include "tests/support/us_currency.h"

namespace kalverin {
namespace {

using Values = std::vector<std::pair<std::string, std::string>>;  // "section/key", value

// The DDE library, noting when the service starts and stops in the shared log.
class LoggingDdeml : public FakeDdeml {
public:
    explicit LoggingDdeml(Calls& log) : log_(log) {}
    bool initialize(uint32_t& instance, DdeServer& s) override {
        log_.push_back("dde:start");
        return FakeDdeml::initialize(instance, s);
    }
    bool uninitialize(uint32_t instance) override {
        log_.push_back("dde:stop");
        return FakeDdeml::uninitialize(instance);
    }

private:
    Calls& log_;
};

constexpr TimeValue kNow = 1017240312;  // 2002-03-27 14:45:12 UTC
const TickControls kControls{1031, 1032, 1033, 1034, 1035};

struct MainWindowTest : ::testing::Test {
    MainWindowTest() { shared.currency = &currency; }
    std::unique_ptr<RecordingDesktop> window = std::make_unique<RecordingDesktop>();
    RecordingDesktop& desktop = *window;  // owned by `main` from here on
    Calls& calls = desktop.calls;
    UsCurrencyFormat currency;
    SharedState shared;
    HotKeyRegistrations hotKeys;
    // Before the parts that log into the desktop's calls, so that it outlives them: the
    // service logs its stop as it goes. It only keeps references to the parts until then.
    MainWindow main{std::move(window), shared, settings, service, hotKeys, kControls};
    LoggingProfile settings{&desktop.calls};
    LoggingDdeml ddeml{desktop.calls};
    QuitService service{ddeml};

    void started() {
        startUp(main, kNow);
        calls.clear();
    }
    void observe(const std::string& what, long long value) { calls.push_back(what + std::to_string(value)); }
};

const Values kReturning = {{"Kalverin/Build", "151"}, {"User 1/Start", "979551000"}};
const Values kLivesInTheIcon = {
    {"Kalverin/Build", "151"}, {"User 1/Start", "979551000"}, {"User 1/sotb", "0"}};
const Calls kSendToTaskbar = {"save", "register:1:2:187", "timer", "minimise"};

struct StepCase {
    const char* name;
    Values file;                      // the settings file before the step
    void (*step)(MainWindowTest& t);  // notes what it wants to pin besides the calls
    Calls calls;
};

void PrintTo(const StepCase& c, std::ostream* os) {
    *os << c.name;
}

const StepCase kSteps[] = {
    {"FirstRunWelcomesThenQueuesTheQuitDetails",
     {},
     [](MainWindowTest& t) {
         startUp(t.main, kNow);
         t.observe("quitStart:", t.shared.record.quitStart);
         t.calls.push_back("Build=" + t.settings.value("Kalverin/Build"));
         t.calls.push_back("dde:" + std::string(t.ddeml.request("USER", "NAME").value_or("none").c_str()));
         t.observe("guard:", t.main.restoreGuard.armed());
     },
     Calls{"dde:start", "decorate", "load", "showHotKey:2:187", "notify:add:message+icon+tip:", "welcome",
           "save", "post:quitDetails", "timer"} +
         kSendToTaskbar + Calls{"quitStart:1017240312", "Build=151", "dde:User 1", "guard:1"}},
    {"ReturningUserWithSecondaryKeys",
     {{"Kalverin/Build", "150"}, {"User 1/mirc", "1"}, {"User 1/Start", "979551000"}},
     [](MainWindowTest& t) {
         startUp(t.main, kNow);
         t.observe("quitStart:", t.shared.record.quitStart);
     },
     Calls{"dde:start", "decorate", "load", "showHotKey:2:187", "notify:add:message+icon+tip:", "timer",
           "register:2:2:120", "register:3:2:121", "register:4:2:122", "register:5:2:123"} +
         kSendToTaskbar + Calls{"quitStart:979551000"}},
    {"StoredQuitTimeZeroBecomesNow",
     {{"Kalverin/Build", "151"}, {"User 1/Start", "0"}},
     [](MainWindowTest& t) {
         startUp(t.main, kNow);
         t.observe("quitStart:", t.shared.record.quitStart);
     },
     Calls{"dde:start", "decorate", "load", "showHotKey:2:187", "notify:add:message+icon+tip:", "timer"} +
         kSendToTaskbar + Calls{"quitStart:1017240312"}},
    {"SendToTaskbarTakesTheShownCombination",
     kReturning,
     [](MainWindowTest& t) {
         t.started();
         t.desktop.hotKeyShown = 116 | (1 << 8);  // Shift+F5
         sendToTaskbar(t.main);
         t.calls.push_back("hkv=" + t.settings.value("User 1/hkv") +
                           " hmod=" + t.settings.value("User 1/hmod"));
     },
     {"save", "unregister:1", "register:1:4:116", "timer", "minimise", "hkv=116 hmod=1"}},
    {"ShutDownSavesStopsTheServiceAndRemovesTheIcon",
     kReturning,
     [](MainWindowTest& t) {
         t.started();
         t.shared.stats.tipText = "1D";
         shutDown(t.main);
         t.calls.push_back("dde:" + std::string(t.ddeml.request("USER", "NAME").value_or("none").c_str()));
     },
     {"save", "dde:stop", "notify:remove::1D", "dde:none"}},
    {"ASaveThatFailsIsToldOnceUntilOneSucceeds", kReturning,
     [](MainWindowTest& t) {
         t.started();
         t.settings.refuses = true;
         sendToTaskbar(t.main);
         t.calls.push_back("Start=" + t.settings.value("User 1/Start"));
         onTrayMessage(t.main, 515);  // failing again: not told again
         t.calls.push_back("sotb=" + t.settings.value("User 1/sotb"));
         t.settings.refuses = false;
         shutDown(t.main);  // the record was kept: the save that works stores all of it
         t.calls.push_back("sotb=" + t.settings.value("User 1/sotb"));
         t.settings.refuses = true;  // a new episode is told again
         storeRecord(t.main, t.shared.record);
     },
     Calls{
         "save",
         "box:Kalverin could not save your quit details to "
         "C:\\Users\\\xD0\x96\xD0\xB0\xD0\xBD\\kalverin.ini: "
         "The disk is full. Your figures are kept while Kalverin runs; it will try again at the next save.",
         "unregister:1", "register:1:2:187", "timer", "minimise", "Start=979551000", "hide", "save",
         "sotb=4294967295", "save", "dde:stop", "notify:remove::", "sotb=0", "save",
         "box:Kalverin could not save your quit details to "
         "C:\\Users\\\xD0\x96\xD0\xB0\xD0\xBD\\kalverin.ini: "
         "The disk is full. Your figures are kept while Kalverin runs; it will try again at the next save."}},
    {"TickHidesAMinimisedWindowOfAnIconUser",
     kLivesInTheIcon,
     [](MainWindowTest& t) {
         t.started();
         onTick(t.main, 979551000 + 60);
         onTick(t.main, 979551000 + 120);  // hidden already: not again
     },
     {"hide", "notify:modify:tip:1m", "caption: 1m, 0 not smoked, a saving of $0.00", "notify:modify:tip:2m",
      "caption: 2m, 0 not smoked, a saving of $0.00"}},
    {"TickLeavesATaskbarButtonAndAShownWindow",
     kReturning,
     [](MainWindowTest& t) {
         t.started();
         onTick(t.main, 979551000 + 60);
         t.desktop.minimised = false;
         t.shared.record.showOnTaskbar = 0;
         onTick(t.main, 979551000 + 60);
     },
     {"notify:modify:tip:1m", "caption: 1m, 0 not smoked, a saving of $0.00", "1031:1m", "1033:0",
      "1035:User 1", "1032:$0.00", "1034:None", "caption:Kalverin Version 2"}},
    // A restarted shell gets the icon back with the tip, though the tick has sent that tip.
    {"TaskbarRestartAddsTheIconWithTheTip",
     kReturning,
     [](MainWindowTest& t) {
         t.started();
         onTick(t.main, 979551000 + 60);
         onTaskbarRestart(t.main);
         onTick(t.main, 979551000 + 60);
     },
     {"notify:modify:tip:1m", "caption: 1m, 0 not smoked, a saving of $0.00",
      "notify:add:message+icon+tip:1m"}},
    // At logon the notification area may not exist yet: the icon is added at each tick until
    // the shell takes it, and only then does the window go behind it.
    {"IconRefusedAtStartUpIsAddedByTheTicksBeforeTheWindowHides",
     kLivesInTheIcon,
     [](MainWindowTest& t) {
         t.desktop.refusedNotifies = 4;
         t.started();
         for (int second = 0; second < 3; ++second) onTick(t.main, 979551000 + 60);
     },
     {"notify:add:message+icon+tip:1m refused", "notify:modify:tip:1m refused",
      "caption: 1m, 0 not smoked, a saving of $0.00", "notify:add:message+icon+tip:1m", "hide"}},
    // Hidden behind an icon the shell has lost (a modify refused, and the add as well), the
    // window comes back as a taskbar button.
    {"HiddenWindowComesBackWhenTheIconIsLost",
     kLivesInTheIcon,
     [](MainWindowTest& t) {
         t.started();
         onTick(t.main, 979551000 + 60);
         t.desktop.refusedNotifies = 3;
         onTick(t.main, 979551000 + 120);
         onTick(t.main, 979551000 + 120);
     },
     {"hide", "notify:modify:tip:1m", "caption: 1m, 0 not smoked, a saving of $0.00",
      "notify:modify:tip:2m refused", "notify:add:message+icon+tip:2m refused",
      "notify:modify:tip:2m refused", "caption: 2m, 0 not smoked, a saving of $0.00", "showMinimised",
      "notify:add:message+icon+tip:2m"}},
    // A held combination repeats its hot-key message: one paste until the key is seen up.
    {"HeldHotKeyPastesOnceUntilItsKeyIsUp", kReturning,
     [](MainWindowTest& t) {
         t.desktop.keysDown = {kVkControl, 187};
         onHotKey(t.main, 1);
         onHotKey(t.main, 1);  // auto-repeat
         onKeyWatch(t.main);   // still down
         t.desktop.keysDown.erase(187);
         onKeyWatch(t.main);
         onHotKey(t.main, 1);  // let go before its paste ends: no watch
         onHotKey(t.main, 1);
     },
     Calls{"open", "empty", "set:\r\n", "close", "keys:17v 86v 86^", "watch:on", "watch:off", "open", "empty",
           "set:\r\n", "close", "keys:17v 86v 86^", "open", "empty", "set:\r\n", "close",
           "keys:17v 86v 86^"}},
    {"TrayDoubleClickHidesAndStoresTheRecord",
     kReturning,
     [](MainWindowTest& t) {
         t.started();
         onTrayMessage(t.main, 515);  // WM_LBUTTONDBLCLK
         t.calls.push_back("sotb=" + t.settings.value("User 1/sotb"));
     },
     {"hide", "save", "sotb=0"}},
    {"CopySigDeliversThePrimaryText",
     kReturning,
     [](MainWindowTest& t) {
         t.shared.record.hotPasteTexts[0] = "zero";
         t.shared.record.hotPasteTexts[1] = "one";
         onCopySig(t.main);
     },
     {"open", "empty", "set:zero\r\n", "close"}},
    {"AboutFromTheSystemMenuOnceAtATime",
     kReturning,
     [](MainWindowTest& t) {
         t.desktop.duringAbout = [&t] { showAboutOnce(t.main); };  // refused while the first is open
         showAboutOnce(t.main);
         showAboutOnce(t.main);
     },
     {"about", "about closed", "about"}},
};

class MainWindowSteps : public MainWindowTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(MainWindowSteps, InOrder) {
    const StepCase& c = GetParam();
    for (const auto& [key, value] : c.file) settings.set(key, value);
    c.step(*this);
    EXPECT_EQ(calls, c.calls);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, MainWindowSteps, ::testing::ValuesIn(kSteps),
                         [](const auto& info) { return std::string(info.param.name); });

// The start-up guard against the dialog manager's restore. Events: t a tick of the window's
// own loop, d a tick while a dialog is over it, u a restore the user asks for; r and a a
// restore request expected refused or allowed.
struct GuardCase {
    const char* name;
    const char* events;
};

const GuardCase kGuardCases[] = {
    {"DialogManagersRestoreIsRefusedOnce", "ra"},
    {"TwoOwnLoopTicksEndTheGuard", "tta"},
    {"OneTickIsNotEnough", "tra"},
    {"TicksUnderADialogDoNotCount", "ddddtra"},
    {"ThePersonsRestoreInTheFirstSecondIsNeverRefused", "ua"},
    {"ThePersonsRestoreAfterTheDialogManagers", "rua"},
};

TEST_F(MainWindowTest, RestoreGuard) {
    for (const GuardCase& c : kGuardCases) {
        settings.file = IniProfileFile::inMemory("");
        for (const auto& [key, value] : kReturning) settings.set(key, value);
        started();
        std::string seen;
        for (const char* e = c.events; *e; ++e) {
            desktop.enabled = *e != 'd';
            if (*e == 't' || *e == 'd') onTick(main, kNow), seen += *e;
            if (*e == 'u') main.restoreGuard.onUserRestore(), seen += 'u';
            if (*e == 'r' || *e == 'a') seen += main.restoreGuard.allowsRestore() ? 'a' : 'r';
        }
        EXPECT_EQ(seen, c.events) << c.name;
        shutDown(main);  // the service stops, ready for the next start
    }
}

}  // namespace
}  // namespace kalverin
