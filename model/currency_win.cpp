#include "model/currency_win.h"

#include <windows.h>

namespace kalverin {

bool Win32CurrencyFormat::format(const std::string& amount, std::string& out) {
    // 50 characters with the terminator: a format that needs more fails here (the function
    // returns 0 with ERROR_INSUFFICIENT_BUFFER) and the caller falls back to the plain figure.
    char text[kCurrencyTextMax + 1];
    int written = GetCurrencyFormatA(LOCALE_USER_DEFAULT, 0, amount.c_str(), nullptr, text,
                                     static_cast<int>(sizeof text));
    if (written <= 0) return false;
    out.assign(text, static_cast<size_t>(written - 1));  // the count includes the terminator
    return true;
}

}  // namespace kalverin
