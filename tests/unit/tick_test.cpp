#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/tick.h"
#include "tests/support/example_quit.h"
#include "tests/support/recording_desktop.h"
#include "tests/support/time_zone.h"
#include "tests/support/us_currency.h"

namespace kalverin {
namespace {

// Every call the tick makes, in order, as one line each; the tray tip as "tip:".
class RecordingView : public RecordingDesktop {
public:
    bool notifyIcon(TrayAction, unsigned, const std::string& tip) override {
        calls.push_back("tip:" + tip);
        return !refusesTip;
    }
    TickContext with(CurrencyFormat& currency) {
        return TickContext{currency, memo, kControls, *this, *this};
    }

    static constexpr TickControls kControls{1031, 1032, 1033, 1034, 1035};
    TickMemo memo;
    bool refusesTip = false;
};

constexpr TimeValue kQuit = 979551000;      // 2001-01-15 09:30:00 UTC
constexpr TimeValue kExample = 1017240312;  // 2002-03-27 14:45:12 UTC
const std::string kExampleCaption =
    " 1Y 2M 1W 5D 5h 15m 12s, 8724 not smoked, a saving of $1,962.98, LS: 4W 2D 7h ";

// The example moments are winter wall-clock readings in either zone.
class TickTest : public ::testing::TestWithParam<const char*> {
protected:
    TickTest() { record.quitStart += shift; }
    std::vector<std::string> run(TimeValue now, bool minimised) {
        RecordingView view;
        tick(record, stats, now, minimised, view.with(currency));
        return view.calls;
    }

    ScopedTimeZone zone{GetParam()};
    const TimeValue shift = std::string(GetParam()) == "EST5EDT" ? 5 * 3600 : 0;
    QuitRecord record = exampleHabitRecord();
    QuitStatistics stats;
    UsCurrencyFormat currency;
};

TEST_P(TickTest, ShownWindowGetsEveryValueInOrder) {
    const std::vector<std::string> expected = {"tip:1Y 2M 1W 5D 5h 15m 12s",
                                               "1031:1Y 2M 1W 5D 5h 15m 12s",
                                               "1033:8724",
                                               "1035:Robin Hale",
                                               "1032:$1,962.98",
                                               "1034:4W 2D 7h ",
                                               "caption:Kalverin Version 2"};
    EXPECT_EQ(run(kExample + shift, false), expected);

    EXPECT_EQ(stats.now, kExample + shift);
    EXPECT_EQ(stats.totalDays, 436);
    EXPECT_EQ(stats.totalMinutes, 628155);
    EXPECT_EQ(stats.direction, 1);
    EXPECT_EQ(stats.notSmoked, 8724);
    EXPECT_EQ(stats.moneySaved, 1962.984375f);
    EXPECT_EQ(stats.tipText, "1Y 2M 1W 5D 5h 15m 12s");
    const int32_t life[] = {stats.lifeSavedYears, stats.lifeSavedWeeks,   stats.lifeSavedDays,
                            stats.lifeSavedHours, stats.lifeSavedMinutes, stats.lifeSavedSeconds};
    EXPECT_EQ(std::vector<int32_t>(std::begin(life), std::end(life)),
              (std::vector<int32_t>{0, 4, 2, 7, 0, 0}));
}

TEST_P(TickTest, MinimisedWindowShowsTheStatusTextAsCaption) {
    const std::vector<std::string> expected = {"tip:1Y 2M 1W 5D 5h 15m 12s", "caption:" + kExampleCaption};
    EXPECT_EQ(run(kExample + shift, true), expected);
    EXPECT_EQ(kExampleCaption.size(), 78u);
}

INSTANTIATE_TEST_SUITE_P(Zones, TickTest, ::testing::Values("UTC0", "EST5EDT"));

struct CaptionCase {
    const char* name;
    TimeValue quit, now;
    int flagsOff;  // 1 seconds, 2 not smoked, 4 money, 8 life saved
    const char* tip;
    const char* caption;
    const char* zone = "UTC0";
};

const CaptionCase kCaptionCases[] = {
    {"future", kExample, kQuit, 0, "-1Y -2M -1W -5D -5h -15m -12s",
     " -1Y -2M -1W -5D -5h -15m -12s, 0 not smoked, a saving of $0.00"},
    {"future_whole_range", 4294967295u, 0, 0, "-136Y -1M -6D -6h -28m -15s",
     " -136Y -1M -6D -6h -28m -15s, 0 not smoked, a saving of $0.00"},
    {"equal", kExample, kExample, 0, "", ", 0 not smoked, a saving of $0.00"},
    // Fifty minutes ahead the partial day rounds to no cigarette; the money stays none.
    {"future_within_the_hour", kExample + 3000, kExample, 0, "-50m",
     " -50m, 0 not smoked, a saving of $0.00"},
    {"seconds_off", kQuit, kExample, 1, "1Y 2M 1W 5D 5h 15m",
     " 1Y 2M 1W 5D 5h 15m, 8724 not smoked, a saving of $1,962.98, LS: 4W 2D 7h "},
    {"not_smoked_off", kQuit, kExample, 2, "1Y 2M 1W 5D 5h 15m 12s",
     " 1Y 2M 1W 5D 5h 15m 12s, a saving of $1,962.98, LS: 4W 2D 7h "},
    {"money_off", kQuit, kExample, 4, "1Y 2M 1W 5D 5h 15m 12s",
     " 1Y 2M 1W 5D 5h 15m 12s, 8724 not smoked, LS: 4W 2D 7h "},
    {"life_saved_off", kQuit, kExample, 8, "1Y 2M 1W 5D 5h 15m 12s",
     " 1Y 2M 1W 5D 5h 15m 12s, 8724 not smoked, a saving of $1,962.98"},
    {"all_off", kQuit, kExample, 15, "1Y 2M 1W 5D 5h 15m", " 1Y 2M 1W 5D 5h 15m"},
    // Under an hour of smoke-free time is no whole cigarette: no ", LS: " part.
    {"first_minutes", kQuit, kQuit + 150, 0, "2m 30s", " 2m 30s, 0 not smoked, a saving of $0.01"},
    {"first_cigarette", kQuit, kQuit + 75 * 60, 0, "1h 15m",
     " 1h 15m, 1 not smoked, a saving of $0.23, LS: 5m "},
    // A month across the start of daylight saving is 27 days and 23 hours: cigarettes count
    // by whole days (540), not by elapsed minutes (559); money by elapsed minutes.
    {"month_across_clock_change", 1171990800u /* 2007-02-20 12:00 EST */,
     1174406400u /* 2007-03-20 12:00 EDT */, 0, "1M", " 1M, 540 not smoked, a saving of $125.81, LS: 1D 21h ",
     "EST5EDT"},
};

class CaptionTest : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(CaptionTest, MinimisedTipAndCaption) {
    const CaptionCase& c = GetParam();
    ScopedTimeZone zone(c.zone);
    QuitRecord record = exampleHabitRecord();
    record.quitStart = c.quit;
    record.tipShowsSeconds = !(c.flagsOff & 1);
    record.tipShowsNotSmoked = !(c.flagsOff & 2);
    record.tipShowsMoneySaved = !(c.flagsOff & 4);
    record.tipShowsLifeSaved = !(c.flagsOff & 8);
    QuitStatistics stats;
    UsCurrencyFormat currency;
    RecordingView view;
    tick(record, stats, c.now, true, view.with(currency));
    const std::vector<std::string> expected = {std::string("tip:") + c.tip,
                                               std::string("caption:") + c.caption};
    EXPECT_EQ(view.calls, expected);
    EXPECT_EQ(stats.tipText, c.tip);
    EXPECT_GE(stats.notSmoked, 0);
    EXPECT_GE(stats.moneySaved, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Flags, CaptionTest, ::testing::ValuesIn(kCaptionCases),
                         [](const ::testing::TestParamInfo<CaptionCase>& info) { return info.param.name; });

// One tick at a time in UTC with the example habit; `run` gives the calls of one tick.
class Tick : public ::testing::Test {
protected:
    std::vector<std::string> run(TimeValue now, bool minimised, CurrencyFormat& format) {
        RecordingView view;
        tick(record, stats, now, minimised, view.with(format));
        return view.calls;
    }
    std::vector<std::string> run(TimeValue now, bool minimised) { return run(now, minimised, currency); }

    ScopedTimeZone zone{"UTC0"};
    QuitRecord record = exampleHabitRecord();
    QuitStatistics stats;
    UsCurrencyFormat currency;
};

TEST_F(Tick, ShownWindowShowsSecondsWhateverTheTipFlagAndNoneForLifeSaved) {
    record.tipShowsSeconds = 0;
    record.tipShowsLifeSaved = 0;
    record.quitStart = kExample;  // a quit yet to come: nothing saved
    const std::vector<std::string> expected = {"tip:-1Y -2M -1W -5D -5h -15m -12s",
                                               "1031:-1Y -2M -1W -5D -5h -15m -12s",
                                               "1033:0",
                                               "1035:Robin Hale",
                                               "1032:$0.00",
                                               "1034:None",
                                               "caption:Kalverin Version 2"};
    EXPECT_EQ(run(kQuit, false), expected);
    EXPECT_EQ(stats.lifeSavedWeeks, 0);
}

TEST_F(Tick, LifeSavedStaysOnItsControlWhenTheCaptionLeavesItOut) {
    record.tipShowsLifeSaved = 0;
    EXPECT_EQ(run(kExample, false).at(5), "1034:4W 2D 7h ");
}

TEST_F(Tick, BeepsOnceWhenTheDayCountChanges) {
    const TimeValue day = 86400;
    EXPECT_EQ(stats.lastDayShown, kNoDayShown);
    struct Step {
        TimeValue now;
        bool beeps;
    } steps[] = {
        {kQuit + 3 * day + 3600, false},                           // the first tick, 3 days in: no beep
        {kQuit + 3 * day + 3601, false},                           // still 3 days
        {kQuit + 4 * day - 1, false},    {kQuit + 4 * day, true},  // 3 -> 4
        {kQuit + 4 * day + 1, false},    {kQuit + 4 * day + 2, false},
    };
    for (const Step& step : steps) {
        int beeps = 0;
        for (const std::string& call : run(step.now, true)) beeps += call == "beep";
        EXPECT_EQ(beeps, step.beeps ? 1 : 0) << step.now - kQuit;
    }
    EXPECT_EQ(stats.lastDayShown, 4);

    // An edit of the quit moment that changes the day count beeps at the next tick, and the
    // beep falls between the money and the life saved.
    record.quitStart -= 2 * day;
    const std::vector<std::string> calls = run(kQuit + 4 * day + 3, false);
    ASSERT_EQ(calls.size(), 8u);
    EXPECT_EQ(calls[4].substr(0, 5), "1032:");
    EXPECT_EQ(calls[5], "beep");
    EXPECT_EQ(calls[6].substr(0, 5), "1034:");
}

TEST_F(Tick, StatusTextNeverPassesItsBufferAndKeepsWholeFragments) {
    const std::string smoked = " 1Y 2M 1W 5D 5h 15m 12s, 8724 not smoked";
    struct Case {
        int32_t tipShowsMoneySaved;
        size_t moneyLength;
        std::string caption;
    } cases[] = {
        {1, kCurrencyTextMax, smoked},
        {0, kCurrencyTextMax, smoked + ", LS: 4W 2D 7h "},
        {1, 45, smoked + ", a saving of " + std::string(45, 'X')},  // exactly the 99 characters
        {1, 46, smoked},
    };
    for (const Case& c : cases) {
        record.tipShowsMoneySaved = c.tipShowsMoneySaved;
        stats = QuitStatistics();
        UsCurrencyFormat longCurrency;  // a locale whose text is as long as the buffer takes
        longCurrency.fixed = std::string(c.moneyLength, 'X');
        const std::string caption = run(kExample, true, longCurrency).back();
        EXPECT_EQ(caption, std::string("caption:") + c.caption);
        EXPECT_LE(caption.size() - 8, kStatusTextMax);
    }
}

TEST_F(Tick, CurrencyFailureFallsBackToThePlainFigure) {
    UsCurrencyFormat failing;
    failing.works = false;
    EXPECT_EQ(run(kExample, false, failing).at(4), "1032:1962.98");
}

TEST_F(Tick, MoneyFollowsTheMinutesFromTickToTick) {
    struct Step {
        TimeValue now;
        const char* money;
    } steps[] = {{kExample, "$1,962.98"}, {kQuit + 59, "$0.00"},   {kQuit + 60, "$0.00"},
                 {kQuit + 240, "$0.01"},  {kExample, "$1,962.98"}, {kExample + 60, "$1,962.99"}};
    for (const Step& step : steps)
        EXPECT_EQ(run(step.now, false).at(4), std::string("1032:") + step.money) << step.now - kQuit;
}

// With seconds hidden the tip and the caption change once a minute; in between the tick hands
// nothing over, except a tip the shell refused.
TEST_F(Tick, TipAndCaptionGoOutOnlyWhenChangedOrRefused) {
    record.tipShowsSeconds = 0;
    const std::string caption = ", 8724 not smoked, a saving of $1,962.9";
    struct Step {
        TimeValue now;
        bool refused;
        std::vector<std::string> calls;
    } steps[] = {
        // No icon yet and the shell refuses it: added, then modified in case it was there.
        {kExample,
         true,
         {"tip:1Y 2M 1W 5D 5h 15m", "tip:1Y 2M 1W 5D 5h 15m",
          "caption: 1Y 2M 1W 5D 5h 15m" + caption + "8, LS: 4W 2D 7h "}},
        {kExample + 1, false, {"tip:1Y 2M 1W 5D 5h 15m"}},
        {kExample + 2, false, {}},
        {kExample + 48,
         false,
         {"tip:1Y 2M 1W 5D 5h 16m", "caption: 1Y 2M 1W 5D 5h 16m" + caption + "9, LS: 4W 2D 7h "}},
    };
    RecordingView view;
    for (const Step& step : steps) {
        view.calls.clear();
        view.refusesTip = step.refused;
        tick(record, stats, step.now, true, view.with(currency));
        EXPECT_EQ(view.calls, step.calls) << step.now - kExample;
    }
}

TEST_F(Tick, HugeHabitOverDecadesKeepsLifeSavedPositive) {
    record.quitStart = 0;
    record.cigarettesPerDay = 1000;
    recomputeRates(record);
    run(4294967295u, true);
    // 49710 days and 6 h 28 m: 49710000 + trunc(388 * 1000/1440) = 49710269 cigarettes,
    // 14913080700 s of life (past 32 bits), 4142522 h.
    EXPECT_EQ(stats.notSmoked, 49710269);
    EXPECT_EQ(stats.lifeSavedYears, 472);
    EXPECT_EQ(stats.lifeSavedWeeks, (4142522 % 8766) / 168);
    EXPECT_EQ(stats.lifeSavedDays, (4142522 % 168) / 24);
    EXPECT_EQ(stats.lifeSavedHours, 4142522 % 24);
    EXPECT_EQ(stats.lifeSavedMinutes, 25);
    EXPECT_EQ(stats.totalSeconds, INT32_MAX);
}

TEST_F(Tick, MinimisedWindowHidesOnlyWhenNotKeptOnTheTaskbarAndTheIconIsThere) {
    struct Case {
        int16_t showOnTaskbar;
        bool minimised, iconShown, hides;
    } cases[] = {{-1, true, true, false},  {0, true, true, true},  {0, false, true, false},
                 {-1, false, true, false}, {1, true, true, false}, {0, true, false, false}};
    for (const Case& c : cases) {
        record.showOnTaskbar = c.showOnTaskbar;
        EXPECT_EQ(hidesBeforeTick(record, c.minimised, c.iconShown), c.hides)
            << c.showOnTaskbar << c.minimised << c.iconShown;
    }
}

}  // namespace
}  // namespace kalverin
