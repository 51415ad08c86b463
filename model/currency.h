// Money as the user's locale writes it. The platform does the formatting behind a seam.
#pragma once
#include <string>

namespace kalverin {

constexpr size_t kCurrencyTextMax = 49;

class CurrencyFormat {
public:
    virtual ~CurrencyFormat() = default;
    // Formats a plain decimal amount such as "1962.98" in the user's currency format.
    // Returns false when the platform cannot.
    virtual bool format(const std::string& amount, std::string& out) = 0;
};

// The amount as "%0.02f" writes it: the text the currency format starts from.
std::string plainMoneyText(float amount);

// The plain text of the last amount asked for. The money saved changes once a minute at
// most while the tick asks every second, and printf's exact float formatting is the dearest
// step of a tick; the text is a function of the amount alone, so the last one is kept.
class PlainMoneyMemo {
public:
    const std::string& text(float amount);

private:
    bool valid_ = false;
    float amount_ = 0.0f;
    std::string text_;
};

// The plain text of the amount, then the platform's currency format; an amount the platform
// cannot format (or whose text exceeds kCurrencyTextMax) falls back to the plain text.
std::string formatMoney(float amount, CurrencyFormat& currency);
// Its second step alone, for a caller that already holds the plain text.
std::string formatMoneyText(const std::string& plain, CurrencyFormat& currency);

}  // namespace kalverin
