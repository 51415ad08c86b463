#include "script/number_words.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <sstream>
#include <string>

namespace kalverin {
namespace {

std::string words(uint32_t v) {
    std::string s;
    EXPECT_EQ(numberWords(s, v), 0);
    return s;
}

struct WordsCase {
    uint32_t value;
    const char* words;
};

const WordsCase kWordsCases[] = {
    {0, ""},
    {7, "seven"},
    {10, "ten"},
    {11, "eleven"},
    {15, "fifteen"},
    {19, "nineteen"},
    {20, "twenty"},
    {40, "fourty"},
    {45, "fourty-five"},
    {99, "ninety-nine"},
    {100, "one hundred"},
    {101, "one hundred and one"},
    {110, "one hundred and ten"},
    {121, "one hundred and twenty-one"},
    {999, "nine hundred and ninety-nine"},
    {1000, "one thousand"},
    {1005, "one thousand and five"},
    {1010, "one thousand and ten"},
    {1100, "one thousand, one hundred"},
    {1234, "one thousand, two hundred and thirty-four"},
    {8724, "eight thousand, seven hundred and twenty-four"},
    {12345, "twelve thousand, three hundred and fourty-five"},
    {100000, "one hundred thousand"},
    {1000000, "one thousand thousand"},
    {1001000, "one thousand and one thousand"},
    {2000001, "two thousand thousand and one"},
    {1777777777,
     "one thousand, seven hundred and seventy-seven thousand, seven hundred and seventy-seven thousand, "
     "seven hundred and seventy-seven"},
    {4294967295u,
     "four thousand, two hundred and ninety-four thousand, nine hundred and sixty-seven thousand, "
     "two hundred and ninety-five"},
};

TEST(NumberWords, WritesTheTableValues) {
    for (const WordsCase& c : kWordsCases) EXPECT_EQ(words(c.value), c.words) << c.value;
}

TEST(NumberWords, LongestWordsFitTheirBuffer) {
    // Three groups of "three hundred and seventy-three" after "three" are the longest words.
    char text[kNumberWordsMax];
    size_t n = numberWords(text, 3373373373u);
    EXPECT_EQ(n, 131u);
    EXPECT_EQ(std::string(text, n), words(3373373373u));
}

TEST(NumberWords, AppendsToWhatTheDestinationHolds) {
    std::string s = "x: ";
    EXPECT_EQ(numberWords(s, 45), 0);
    EXPECT_EQ(s, "x: fourty-five");
    EXPECT_EQ(numberWords(s, 0), 0);
    EXPECT_EQ(s, "x: fourty-five");
}

// Reads the words back into a number, by the grammar a reader would apply, independently of
// how they were built: "thousand" multiplies everything before it.
bool readBack(const std::string& text, uint64_t& value) {
    static const std::map<std::string, uint64_t> kSmall = {
        {"one", 1},      {"two", 2},        {"three", 3},     {"four", 4},      {"five", 5},
        {"six", 6},      {"seven", 7},      {"eight", 8},     {"nine", 9},      {"ten", 10},
        {"eleven", 11},  {"twelve", 12},    {"thirteen", 13}, {"fourteen", 14}, {"fifteen", 15},
        {"sixteen", 16}, {"seventeen", 17}, {"eighteen", 18}, {"nineteen", 19}, {"twenty", 20},
        {"thirty", 30},  {"fourty", 40},    {"fifty", 50},    {"sixty", 60},    {"seventy", 70},
        {"eighty", 80},  {"ninety", 90}};
    std::string spaced;
    for (char c : text) spaced += (c == '-' || c == ',') ? ' ' : c;
    std::istringstream in(spaced);
    uint64_t total = 0, current = 0;
    for (std::string w; in >> w;) {
        if (w == "and") continue;
        if (w == "hundred") {
            current *= 100;
        } else if (w == "thousand") {
            total = (total + current) * 1000;
            current = 0;
        } else {
            auto it = kSmall.find(w);
            if (it == kSmall.end()) return false;
            current += it->second;
        }
    }
    value = total + current;
    return true;
}

TEST(NumberWords, ReadBackGivesTheValueAcrossTheRange) {
    auto check = [](uint32_t v) {
        std::string s = words(v);
        uint64_t back = 0;
        ASSERT_LE(s.size(), kNumberWordsMax) << v;
        ASSERT_TRUE(readBack(s, back)) << v << ": " << s;
        ASSERT_EQ(back, v) << s;
        // Well-formed joins: no doubled or dangling separators.
        ASSERT_EQ(s.find("  "), std::string::npos) << s;
        ASSERT_EQ(s.find(" and and "), std::string::npos) << s;
        if (v != 0) {
            ASSERT_NE(s.back(), ' ') << s;
            ASSERT_NE(s.front(), ' ') << s;
        }
    };
    for (uint32_t v = 0; v < 100000; ++v) check(v);
    for (uint64_t v = 100000; v <= UINT32_MAX; v += 9973 * 1001) check(static_cast<uint32_t>(v));
    for (uint32_t v = UINT32_MAX - 2000; v != 0; ++v) check(v);
}

}  // namespace
}  // namespace kalverin
