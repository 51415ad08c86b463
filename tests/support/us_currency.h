// The currency format of an en-US user ("$1,962.98", "($0.02)"), for tests, benchmarks and
// fuzzers that must not depend on the machine's locale (and spend no time in its lookups).
// `fixed` stands in for a locale whose text is always the same, `works` for one that fails.
#pragma once
#include <string>

#include "model/currency.h"

namespace kalverin {

class UsCurrencyFormat : public CurrencyFormat {
public:
    std::string fixed;  // when not empty, every amount formats as this text
    bool works = true;

    bool format(const std::string& amount, std::string& out) override {
        if (!fixed.empty()) {
            out = fixed;
            return works;
        }
        bool negative = !amount.empty() && amount[0] == '-';
        std::string digits = negative ? amount.substr(1) : amount;
        size_t dot = digits.find('.');
        std::string whole = digits.substr(0, dot);
        std::string fraction = dot == std::string::npos ? "00" : digits.substr(dot + 1);
        std::string grouped;
        for (size_t i = 0; i < whole.size(); ++i) {
            if (i > 0 && (whole.size() - i) % 3 == 0) grouped += ',';
            grouped += whole[i];
        }
        std::string body = "$" + grouped + "." + fraction;
        out = negative ? "(" + body + ")" : body;
        return works;
    }
};

}  // namespace kalverin
