#include "model/currency.h"

#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

bool LocaleCurrencyFormat::format(const std::string& amount, std::string& out) {
    const lconv* lc = std::localeconv();
    if (!lc) return false;
    const char* symbol = lc->currency_symbol ? lc->currency_symbol : "";
    const char* point = (lc->mon_decimal_point && *lc->mon_decimal_point) ? lc->mon_decimal_point : ".";
    const char* sep = lc->mon_thousands_sep ? lc->mon_thousands_sep : "";
    const char* grouping = lc->mon_grouping ? lc->mon_grouping : "";

    bool negative = !amount.empty() && amount[0] == '-';
    std::string digits = negative ? amount.substr(1) : amount;
    size_t dot = digits.find('.');
    std::string whole = digits.substr(0, dot);
    std::string fraction = dot == std::string::npos ? "" : digits.substr(dot + 1);
    for (char c : whole + fraction)
        if (c < '0' || c > '9') return false;

    // Group the whole part from the right by the locale's grouping sizes.
    std::string grouped;
    int group = (*grouping > 0 && *grouping != CHAR_MAX) ? *grouping : 0;
    int inGroup = 0;
    for (size_t i = whole.size(); i > 0; --i) {
        if (group > 0 && inGroup == group && *sep) {
            grouped.insert(0, sep);
            inGroup = 0;
            if (grouping[1] > 0 && grouping[1] != CHAR_MAX) group = *++grouping;
        }
        grouped.insert(grouped.begin(), whole[i - 1]);
        ++inGroup;
    }
    std::string number = grouped + (fraction.empty() ? "" : point + fraction);
    bool before = negative ? lc->n_cs_precedes != 0 : lc->p_cs_precedes != 0;
    bool spaced = negative ? lc->n_sep_by_space == 1 : lc->p_sep_by_space == 1;
    std::string sym = symbol;
    std::string body = sym.empty() ? number
                       : before    ? sym + (spaced ? " " : "") + number
                                   : number + (spaced ? " " : "") + sym;
    out = negative ? "(" + body + ")" : body;
    return true;
}

}  // namespace kalverin
