// The user's currency format as Windows keeps it in the regional settings.
#pragma once
#include <string>

#include "model/currency.h"

namespace kalverin {

class Win32CurrencyFormat : public CurrencyFormat {
public:
    bool format(const std::string& amount, std::string& out) override;
};

}  // namespace kalverin
