#include <gtest/gtest.h>

#include <string>

#include "model/currency_win.h"

namespace kalverin {
namespace {

// The tests run with an en-US user locale (LANG=C.UTF-8 under Wine).
TEST(Win32Currency, FormatsInTheUserLocale) {
    Win32CurrencyFormat currency;
    struct Case {
        const char* amount;
        const char* text;
    } cases[] = {{"1962.98", "$1,962.98"}, {"0.00", "$0.00"}, {"4.50", "$4.50"}, {"999.99", "$999.99"}};
    for (const Case& c : cases) {
        std::string out;
        ASSERT_TRUE(currency.format(c.amount, out)) << c.amount;
        EXPECT_EQ(out, c.text);
    }
}

TEST(Win32Currency, MoneyTextGoesThroughThePlatform) {
    Win32CurrencyFormat currency;
    EXPECT_EQ(formatMoney(1962.984375f, currency), "$1,962.98");
}

TEST(Win32Currency, RefusesWhatIsNotANumber) {
    Win32CurrencyFormat currency;
    std::string out = "untouched";
    EXPECT_FALSE(currency.format("12x.5", out));
    EXPECT_EQ(formatMoney(0.0f, currency), "$0.00");
}

TEST(Win32Currency, TextBeyondTheBufferFallsBackToTheFigure) {
    Win32CurrencyFormat currency;
    // Forty-five digits and grouping make more than 49 characters.
    const std::string huge = std::string(45, '9') + ".00";
    std::string out;
    EXPECT_FALSE(currency.format(huge, out));
}

}  // namespace
}  // namespace kalverin
