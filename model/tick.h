// The once-a-second tick: statistics, status texts and what they do to the main window.
#pragma once
#include <string>

#include "model/currency.h"
#include "model/quit_record.h"
#include "model/statistics.h"
#include "resources/resource.h"  // the ids of the controls the tick fills

namespace kalverin {

constexpr size_t kStatusTextMax = 99;
extern const char* const kShownCaption;  // the caption while the window is shown normally

// What the tick changes on the desktop, in the order the tick calls it.
class TickView {
public:
    virtual ~TickView() = default;
    virtual void setTrayTip(const std::string& tip) = 0;
    virtual void setControlText(int id, const std::string& text) = 0;
    virtual void beep() = 0;  // the exclamation sound, MessageBeep(48)
    virtual void setCaption(const std::string& caption) = 0;
};

// True when a minimised window goes behind the taskbar icon before the tick (showOnTaskbar
// off). The window stays minimised, so the tick that follows is given minimised = true.
bool hidesBeforeTick(const QuitRecord& record, bool minimised);

// One tick at `now`: fills `stats`, then sets the tip, the controls (only when not
// minimised), sounds the day-change beep and sets the caption, in that order.
void tick(const QuitRecord& record, QuitStatistics& stats, TimeValue now, bool minimised,
          CurrencyFormat& currency, TickView& view);

}  // namespace kalverin
