// The amount as it comes, with a dollar sign: a currency format without the platform's
// locale lookups, so that a benchmark times the program's own work.
#pragma once
#include <string>

#include "model/currency.h"

namespace kalverin {

class PlainCurrency : public CurrencyFormat {
public:
    bool format(const std::string& amount, std::string& out) override {
        out = "$" + amount;
        return true;
    }
};

}  // namespace kalverin
