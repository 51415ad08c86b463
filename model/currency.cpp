#include "model/currency.h"

#include <cstdio>
#include <cstring>

namespace kalverin {

std::string plainMoneyText(float amount) {
    char plain[64];
    std::snprintf(plain, sizeof plain, "%0.02f", static_cast<double>(amount));
    return plain;
}

const std::string& PlainMoneyMemo::text(float amount) {
    // Compared bit for bit: the same text for the same value, and no surprise with NaN.
    if (!valid_ || std::memcmp(&amount_, &amount, sizeof amount) != 0) {
        text_ = plainMoneyText(amount);
        amount_ = amount;
        valid_ = true;
    }
    return text_;
}

std::string formatMoney(float amount, CurrencyFormat& currency) {
    return formatMoneyText(plainMoneyText(amount), currency);
}

std::string formatMoneyText(const std::string& plain, CurrencyFormat& currency) {
    std::string formatted;
    if (currency.format(plain, formatted) && !formatted.empty() && formatted.size() <= kCurrencyTextMax)
        return formatted;
    return plain;
}

}  // namespace kalverin
