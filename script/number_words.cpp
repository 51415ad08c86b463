#include "script/number_words.h"

#include <cstring>
#include <string_view>

namespace kalverin {

namespace {

using namespace std::string_view_literals;

// Indexed by a digit 1..9; slot 0 is never read.
constexpr std::string_view kUnits[10] = {""sv,     "one"sv, "two"sv,   "three"sv, "four"sv,
                                         "five"sv, "six"sv, "seven"sv, "eight"sv, "nine"sv};
// "fourty" is the program's spelling, kept so existing texts and readers see the same words.
constexpr std::string_view kTens[10] = {""sv,      "ten"sv,   "twenty"sv,  "thirty"sv, "fourty"sv,
                                        "fifty"sv, "sixty"sv, "seventy"sv, "eighty"sv, "ninety"sv};
constexpr std::string_view kTeens[10] = {""sv,        "eleven"sv,  "twelve"sv,    "thirteen"sv, "fourteen"sv,
                                         "fifteen"sv, "sixteen"sv, "seventeen"sv, "eighteen"sv, "nineteen"sv};

class Writer {
public:
    explicit Writer(char* at) : at_(at) {}
    void add(std::string_view s) {
        std::memcpy(at_, s.data(), s.size());
        at_ += s.size();
    }
    void add(char c) { *at_++ = c; }
    char* at() const { return at_; }

private:
    char* at_;
};

void appendWords(Writer& d, uint32_t v) {
    const uint32_t t = v / 1000;
    const uint32_t h = (v / 100) % 10;
    const uint32_t e = v % 100;
    const uint32_t u = v % 10;

    // The thousands are spelled by the same rule, so a million reads "one thousand thousand".
    // The recursion is at most four deep for 32-bit values.
    if (t > 0) {
        appendWords(d, t);
        d.add(" thousand"sv);
    }
    if (h > 0) {
        if (t > 0) d.add(", "sv);
        d.add(kUnits[h]);
        d.add(e > 0 ? " hundred and "sv : " hundred"sv);
    }
    if (e == 0) return;
    if (h == 0 && t > 0) d.add(" and "sv);
    if (e % 10 == 0) {
        d.add(kTens[e / 10]);
    } else if (e < 10) {
        d.add(kUnits[e]);
    } else if (e < 20) {
        d.add(kTeens[e - 10]);
    } else {
        d.add(kTens[e / 10]);
        d.add('-');
        d.add(kUnits[u]);
    }
}

}  // namespace

size_t numberWords(char* destination, uint32_t value) {
    Writer w(destination);
    appendWords(w, value);
    return static_cast<size_t>(w.at() - destination);
}

int numberWords(std::string& destination, uint32_t value) {
    char words[kNumberWordsMax];
    destination.append(words, numberWords(words, value));
    return 0;
}

}  // namespace kalverin
