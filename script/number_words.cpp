#include "script/number_words.h"

namespace kalverin {

namespace {

// Indexed by a digit 1..9; slot 0 is never read.
const char* const kUnits[10] = {"", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine"};
// "fourty" is the program's spelling, kept so existing texts and readers see the same words.
const char* const kTens[10] = {"", "ten", "twenty", "thirty", "fourty", "fifty", "sixty", "seventy", "eighty", "ninety"};
const char* const kTeens[10] = {"",        "eleven",  "twelve",    "thirteen", "fourteen",
                                "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};

void appendWords(std::string& d, uint32_t v) {
    const uint32_t t = v / 1000;
    const uint32_t h = (v / 100) % 10;
    const uint32_t e = v % 100;
    const uint32_t u = v % 10;

    // The thousands are spelled by the same rule, so a million reads "one thousand thousand".
    // The recursion is at most four deep for 32-bit values.
    if (t > 0) {
        appendWords(d, t);
        d += " thousand";
    }
    if (h > 0) {
        if (t > 0) d += ", ";
        d += kUnits[h];
        d += e > 0 ? " hundred and " : " hundred";
    }
    if (e == 0) return;
    if (h == 0 && t > 0) d += " and ";
    if (e % 10 == 0) {
        d += kTens[e / 10];
    } else if (e < 10) {
        d += kUnits[e];
    } else if (e < 20) {
        d += kTeens[e - 10];
    } else {
        d += kTens[e / 10];
        d += '-';
        d += kUnits[u];
    }
}

}  // namespace

int numberWords(std::string& destination, uint32_t value) {
    appendWords(destination, value);
    return 0;
}

}  // namespace kalverin
