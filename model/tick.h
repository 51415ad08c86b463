// The once-a-second tick: statistics, status texts and what they do to the main window.
#pragma once
#include <string>

#include "model/currency.h"
#include "model/quit_record.h"
#include "model/statistics.h"
#include "model/status_view.h"
#include "model/tray_icon.h"

namespace kalverin {

constexpr size_t kStatusTextMax = 99;
extern const char* const kShownCaption;  // the caption while the window is shown normally

// The main window's controls the tick fills, as the shell numbers them.
struct TickControls {
    int elapsed, moneySaved, notSmoked, lifeSaved, userName;
};

// What one tick keeps for the next: the money's plain text, the icon and the caption last
// handed over, which are not handed over again unchanged.
struct TickMemo {
    PlainMoneyMemo money;
    KeptTrayIcon icon;
    std::string caption;
    bool captionSet = false;
};

// What the tick works with besides the record and the statistics it fills.
struct TickContext {
    CurrencyFormat& currency;
    TickMemo& memo;
    const TickControls& controls;
    StatusView& view;
    TrayIcon& tray;
};

// True when a minimised window goes behind the taskbar icon before the tick (showOnTaskbar
// off). The window stays minimised, so the tick that follows is given minimised = true. Never
// while the shell holds no icon: nothing would be left to bring the window back with.
bool hidesBeforeTick(const QuitRecord& record, bool minimised, bool iconShown);

// One tick at `now`: fills `stats`, then sets the tray tip (adding the icon if the shell holds
// none), the controls (only when not minimised), sounds the day-change beep and sets the
// caption, in that order; the tip and the caption only when they differ from the last ones.
void tick(const QuitRecord& record, QuitStatistics& stats, TimeValue now, bool minimised,
          const TickContext& context);

}  // namespace kalverin
