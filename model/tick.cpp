#include "model/tick.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

namespace kalverin {

const char* const kShownCaption = "Kalverin Version 2";

namespace {

constexpr int64_t kSecondsOfLifePerCigarette = 300;
constexpr int64_t kHoursPerYear = 8766;  // 365.25 days
constexpr int64_t kHoursPerWeek = 168;

// The tick runs every second for the whole life of the program: its texts are put together
// with to_chars in a local buffer rather than through printf and temporaries. A buffer of
// 112 holds seven parts of at most 11 digits, a sign, a unit and a blank each.
class Line {
public:
    void number(int32_t value) { end_ = std::to_chars(end_, text_ + sizeof text_, value).ptr; }
    void put(char c) { *end_++ = c; }
    bool empty() const { return end_ == text_; }
    size_t size() const { return static_cast<size_t>(end_ - text_); }
    std::string str() const { return std::string(text_, size()); }
    std::string_view view() const { return std::string_view(text_, size()); }

private:
    char text_[112];
    char* end_ = text_;
};

struct Part {
    int32_t value;
    char unit;
};

// " %dY %dM ..." for the parts that are not 0.
void writeElapsed(Line& line, const ElapsedTime& e, bool withSeconds) {
    const Part parts[] = {{e.years, 'Y'},
                          {e.months, 'M'},
                          {e.weeks, 'W'},
                          {e.days, 'D'},
                          {e.hours, 'h'},
                          {e.minutes, 'm'},
                          {withSeconds ? e.seconds : 0, 's'}};
    for (const Part& part : parts) {
        if (part.value == 0) continue;
        line.put(' ');
        line.number(part.value);
        line.put(part.unit);
    }
}

std::string numberText(int32_t value) {
    Line line;
    line.number(value);
    return line.str();
}

// Cigarettes not smoked, or -1 when there are none to count: a quit yet to come (however
// the partial day rounds) or a negative habit.
int64_t notSmokedCount(const QuitRecord& record, const ElapsedTime& e) {
    double partDay = (e.hours * 60.0 + e.minutes) * static_cast<double>(record.cigarettesPerMinute);
    int64_t n = static_cast<int64_t>(std::trunc(partDay)) + int64_t{e.totalDays} * record.cigarettesPerDay;
    if (e.direction < 0 || n < 0) return -1;
    return std::min<int64_t>(n, std::numeric_limits<int32_t>::max());
}

void fillLifeSaved(QuitStatistics& stats) {
    // 64 bits: a large habit over decades passes the 32-bit range in seconds.
    const int64_t s = int64_t{stats.notSmoked} * kSecondsOfLifePerCigarette;
    const int64_t h = s / 3600;
    stats.lifeSavedYears = static_cast<int32_t>(h / kHoursPerYear);
    stats.lifeSavedWeeks = static_cast<int32_t>((h % kHoursPerYear) / kHoursPerWeek);
    stats.lifeSavedDays = static_cast<int32_t>((h % kHoursPerWeek) / 24);
    stats.lifeSavedHours = static_cast<int32_t>(h % 24);
    stats.lifeSavedMinutes = static_cast<int32_t>(s / 60 - h * 60);
    stats.lifeSavedSeconds = static_cast<int32_t>(s - (s / 60) * 60);
}

// "%dY %dW ..." for the parts that are not 0, each followed by a blank; "None" for none.
std::string lifeSavedText(const QuitStatistics& stats) {
    const Part parts[] = {{stats.lifeSavedYears, 'Y'},   {stats.lifeSavedWeeks, 'W'},
                          {stats.lifeSavedDays, 'D'},    {stats.lifeSavedHours, 'h'},
                          {stats.lifeSavedMinutes, 'm'}, {stats.lifeSavedSeconds, 's'}};
    Line line;
    for (const Part& part : parts) {
        if (part.value == 0) continue;
        line.number(part.value);
        line.put(part.unit);
        line.put(' ');
    }
    return line.empty() ? "None" : line.str();
}

// The status text lives in a 100-byte caption buffer. A fragment that does not fit whole
// is left out with everything after it, so the caption never ends in half a number. Put
// together in place every tick: no allocation.
class StatusText {
public:
    void append(std::string_view lead, std::string_view body, std::string_view tail = {}) {
        if (full_ || size_ + lead.size() + body.size() + tail.size() > kStatusTextMax) {
            full_ = true;
            return;
        }
        for (std::string_view part : {lead, body, tail}) {
            part.copy(text_ + size_, part.size());
            size_ += part.size();
        }
    }
    std::string_view text() const { return std::string_view(text_, size_); }

private:
    char text_[kStatusTextMax];
    size_t size_ = 0;
    bool full_ = false;
};

}  // namespace

bool hidesBeforeTick(const QuitRecord& record, bool minimised, bool iconShown) {
    return minimised && record.showOnTaskbar == 0 && iconShown;
}

void tick(const QuitRecord& record, QuitStatistics& stats, TimeValue now, bool minimised,
          const TickContext& context) {
    StatusView& view = context.view;
    const TickControls& controls = context.controls;
    const ElapsedTime e = computeElapsed(record.quitStart, now);
    stats.now = now;
    stats.years = e.years;
    stats.months = e.months;
    stats.weeks = e.weeks;
    stats.days = e.days;
    stats.hours = e.hours;
    stats.minutes = e.minutes;
    stats.seconds = e.seconds;
    stats.totalDays = e.totalDays;
    stats.totalMinutes = e.totalMinutes;
    stats.totalSeconds = e.totalSeconds;
    stats.direction = e.direction;

    const int64_t counted = notSmokedCount(record, e);
    const int32_t notSmoked = counted < 0 ? 0 : static_cast<int32_t>(counted);
    // Formed in double precision, stored in single as the figure is kept.
    stats.moneySaved =
        counted < 0 ? 0.0f : static_cast<float>(e.totalMinutes * static_cast<double>(record.moneyPerMinute));

    const bool shown = !minimised;
    TickMemo& memo = context.memo;
    Line elapsed;
    writeElapsed(elapsed, e, record.tipShowsSeconds != 0 || shown);
    StatusText status;
    status.append(elapsed.view(), {});  // seven parts of at most 13 characters always fit
    if (elapsed.empty())
        stats.tipText.clear();
    else
        stats.tipText.assign(elapsed.view().substr(1, kTipTextMax));
    // Each request is a synchronous call into the shell, and with seconds hidden the tip
    // changes once a minute: an unchanged tip is not sent again.
    keepTrayIcon(context.tray, memo.icon, stats.tipText);
    if (shown) view.setControlText(controls.elapsed, stats.tipText);

    const std::string count = numberText(notSmoked);
    if (record.tipShowsNotSmoked) status.append(", ", count, " not smoked");
    if (shown) {
        view.setControlText(controls.notSmoked, count);
        view.setControlText(controls.userName, record.userName);
    }
    stats.notSmoked = notSmoked;

    const std::string money = formatMoneyText(memo.money.text(stats.moneySaved), context.currency);
    if (shown) view.setControlText(controls.moneySaved, money);
    if (record.tipShowsMoneySaved) status.append(", a saving of ", money);

    if (stats.lastDayShown != stats.days && stats.lastDayShown != kNoDayShown) view.beep();
    stats.lastDayShown = stats.days;

    fillLifeSaved(stats);
    const std::string lifeSaved = lifeSavedText(stats);
    if (shown) view.setControlText(controls.lifeSaved, lifeSaved);
    const int64_t lifeSum = int64_t{stats.lifeSavedYears} + stats.lifeSavedWeeks + stats.lifeSavedDays +
                            stats.lifeSavedHours + stats.lifeSavedMinutes + stats.lifeSavedSeconds;
    if (lifeSum > 0 && record.tipShowsLifeSaved) status.append(", LS: ", lifeSaved);

    // Setting a caption redraws the taskbar button, so an unchanged one is left alone.
    const std::string_view caption = shown ? std::string_view(kShownCaption) : status.text();
    if (!memo.captionSet || memo.caption != caption) {
        memo.caption.assign(caption);
        memo.captionSet = true;
        view.setCaption(memo.caption);
    }
}

}  // namespace kalverin
