#include "model/currency.h"

#include <cstdio>

namespace kalverin {

std::string formatMoney(float amount, CurrencyFormat& currency) {
    char plain[64];
    std::snprintf(plain, sizeof plain, "%0.02f", static_cast<double>(amount));
    return formatMoneyText(plain, currency);
}

std::string formatMoneyText(const std::string& plain, CurrencyFormat& currency) {
    std::string formatted;
    if (currency.format(plain, formatted) && !formatted.empty() && formatted.size() <= kCurrencyTextMax)
        return formatted;
    return plain;
}

}  // namespace kalverin
