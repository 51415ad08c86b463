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

// "%0.02f" of the amount, then the platform's currency format; an amount the platform
// cannot format (or whose text exceeds kCurrencyTextMax) falls back to the "%0.02f" text.
std::string formatMoney(float amount, CurrencyFormat& currency);
// Its second step alone, for a caller that already holds the "%0.02f" text.
std::string formatMoneyText(const std::string& plain, CurrencyFormat& currency);

}  // namespace kalverin
