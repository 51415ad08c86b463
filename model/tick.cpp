#include "model/tick.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <utility>

namespace kalverin {

const char* const kShownCaption = "Kalverin Version 2";

namespace {

constexpr int64_t kSecondsOfLifePerCigarette = 300;
constexpr int64_t kHoursPerYear = 8766;  // 365.25 days
constexpr int64_t kHoursPerWeek = 168;

std::string format(const char* pattern, int value) {
    char text[32];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string elapsedText(const ElapsedTime& e, bool withSeconds) {
    std::string text;
    const struct {
        int32_t value;
        const char* pattern;
    } parts[] = {{e.years, " %dY"}, {e.months, " %dM"}, {e.weeks, " %dW"},
                 {e.days, " %dD"},  {e.hours, " %dh"},  {e.minutes, " %dm"}};
    for (const auto& part : parts)
        if (part.value != 0) text += format(part.pattern, part.value);
    if (e.seconds != 0 && withSeconds) text += format(" %ds", e.seconds);
    return text;
}

// Cigarettes not smoked, or -1 when there are none to count: a quit yet to come (however
// the partial day rounds) or a negative habit.
int64_t notSmokedCount(const QuitRecord& record, const ElapsedTime& e) {
    double partDay = (e.hours * 60.0 + e.minutes) * static_cast<double>(record.cigarettesPerMinute);
    int64_t n = static_cast<int64_t>(std::trunc(partDay)) +
                int64_t{e.totalDays} * record.cigarettesPerDay;
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

std::string lifeSavedText(const QuitStatistics& stats) {
    const struct {
        int32_t value;
        const char* pattern;
    } parts[] = {{stats.lifeSavedYears, "%dY "}, {stats.lifeSavedWeeks, "%dW "},
                 {stats.lifeSavedDays, "%dD "},  {stats.lifeSavedHours, "%dh "},
                 {stats.lifeSavedMinutes, "%dm "}, {stats.lifeSavedSeconds, "%ds "}};
    std::string text;
    for (const auto& part : parts)
        if (part.value != 0) text += format(part.pattern, part.value);
    return text.empty() ? "None" : text;
}

// The status text lives in a 100-byte caption buffer. A fragment that does not fit whole
// is left out with everything after it, so the caption never ends in half a number.
class StatusText {
public:
    explicit StatusText(std::string start) : text_(std::move(start)) {}
    void append(const std::string& fragment) {
        if (full_ || text_.size() + fragment.size() > kStatusTextMax) {
            full_ = true;
            return;
        }
        text_ += fragment;
    }
    const std::string& text() const { return text_; }

private:
    std::string text_;
    bool full_ = false;
};

}  // namespace

bool hidesBeforeTick(const QuitRecord& record, bool minimised) {
    return minimised && record.showOnTaskbar == 0;
}

void tick(const QuitRecord& record, QuitStatistics& stats, TimeValue now, bool minimised,
          CurrencyFormat& currency, TickView& view) {
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
    const std::string elapsed = elapsedText(e, record.tipShowsSeconds != 0 || shown);
    stats.tipText = elapsed.empty() ? std::string() : elapsed.substr(1, kTipTextMax);
    view.setTrayTip(stats.tipText);
    if (shown) view.setControlText(kElapsedControl, stats.tipText);

    StatusText status(elapsed);
    const std::string count = format("%d", notSmoked);
    if (record.tipShowsNotSmoked) status.append(", " + count + " not smoked");
    if (shown) {
        view.setControlText(kNotSmokedControl, count);
        view.setControlText(kUserNameControl, record.userName);
    }
    stats.notSmoked = notSmoked;

    const std::string money = formatMoney(stats.moneySaved, currency);
    if (shown) view.setControlText(kMoneyControl, money);
    if (record.tipShowsMoneySaved) status.append(", a saving of " + money);

    if (stats.lastDayShown != stats.days && stats.lastDayShown != kNoDayShown) view.beep();
    stats.lastDayShown = stats.days;

    fillLifeSaved(stats);
    const std::string lifeSaved = lifeSavedText(stats);
    if (shown) view.setControlText(kLifeSavedControl, lifeSaved);
    const int64_t lifeSum = int64_t{stats.lifeSavedYears} + stats.lifeSavedWeeks + stats.lifeSavedDays +
                            stats.lifeSavedHours + stats.lifeSavedMinutes + stats.lifeSavedSeconds;
    if (lifeSum > 0 && record.tipShowsLifeSaved) status.append(", LS: " + lifeSaved);

    view.setCaption(shown ? kShownCaption : status.text());
}

}  // namespace kalverin
