#include "script/interpreter.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>

#include "tests/support/example_quit.h"
#include "tests/support/us_currency.h"

namespace kalverin {
namespace {

// The same span with the quit still ahead.
QuitStatistics futureMoment() {
    QuitStatistics s;
    s.years = -1, s.months = -2, s.weeks = -1, s.days = -5, s.hours = -5, s.minutes = -15, s.seconds = -12;
    s.totalDays = -436, s.direction = -1;
    return s;
}

QuitStatistics zeroMoment() {
    QuitStatistics s;
    s.direction = 1;
    return s;
}

class Renderer {
public:
    explicit Renderer(QuitStatistics stats = exampleMoment()) : stats(stats) {}

    // The source is copied into a heap block of exactly its own size, so that a read past
    // its terminator is caught by the address sanitizer.
    std::string render(const std::string& source, size_t capacity = kRenderMax) {
        TextBuffer out(capacity);
        renderInto(source, out);
        truncated = out.truncated();
        return out.str();
    }
    void renderInto(const std::string& source, TextBuffer& out) {
        std::unique_ptr<char[]> exact(new char[source.size() + 1]);
        std::memcpy(exact.get(), source.c_str(), source.size() + 1);
        ScriptContext context{stats, record, state, currency};
        renderScript(exact.get(), out, context);
    }

    QuitStatistics stats;
    QuitRecord record;
    InterpreterState state;
    UsCurrencyFormat currency;
    bool truncated = false;
};

struct MomentCase {
    const char* name;
    QuitStatistics (*moment)();
    const char* expected;
};

const MomentCase kMomentCases[] = {
    {"past", exampleMoment,
     "One year, two months, one week, five days, 5 hours, 15 minutes and 12 seconds. 8724 cigarettes "
     "not smoked, saving $1,962.98. Life saved: 4 weeks, 2 days, 7 hours, 0 minutes."},
    {"future", futureMoment,
     "I will quit smoking in 1 years, 2 months, 1 weeks, 5 days, 5 hours, 15 minutes and 12 seconds."},
    {"zero", zeroMoment,
     "0 minutes and 0 seconds. 0 cigarettes not smoked, saving $0.00. Life saved: 0 minutes."},
};

TEST(RenderScript, DefaultTextAtTheExampleMoments) {
    for (const MomentCase& c : kMomentCases) {
        Renderer r(c.moment());
        EXPECT_EQ(r.render(kDefaultPrimaryText), c.expected) << c.name;
        EXPECT_EQ(r.state.wordsMode, 0) << c.name;
        EXPECT_EQ(r.state.pluralSuffix, "s") << c.name;
        // The text sets the mode it needs itself: a rendering left in words mode changes nothing.
        r.state.wordsMode = 1;
        EXPECT_EQ(r.render(kDefaultPrimaryText), c.expected) << c.name << " after words mode";
    }
}

struct ScriptCase {
    const char* source;
    const char* expected;
    void (*adjust)(Renderer&) = nullptr;  // changes the renderer before the source runs
};

// With the statistics of the past moment and the plural suffix already "s".
const ScriptCase kSmallCases[] = {
    {"{A}{+Y}", "one"},
    {"{A}{+C}", "eight thousand, seven hundred and twenty-four"},
    {"{1}{+C}", "8724"},
    {"{^{A}{+M} months}", "Two months"},
    {"{1}{*{-W} week{#Wl}}", "1 week"},
    {"{*{-U}x}end", "end"},
    {"x{+q}y", "x<SCRIPT ERROR: 'q'>y"},
    {"a}b", "a"},
    {"\\{+Y\\}", "{+Y}"},
};

void runCases(const ScriptCase* begin, const ScriptCase* end) {
    for (const ScriptCase* c = begin; c != end; ++c) {
        Renderer r;
        r.state.pluralSuffix = "s";
        if (c->adjust) c->adjust(r);
        EXPECT_EQ(r.render(c->source), c->expected) << "source: " << c->source;
    }
}

TEST(RenderScript, SmallExamples) {
    runCases(std::begin(kSmallCases), std::end(kSmallCases));
}

const ScriptCase kEdgeCases[] = {
    // Variables out of the table and empty letter positions.
    {"a{+}b", "ab"},
    {"a{-}b", "ab"},
    {"{*x{-}}", "x"},
    {"{+p}", "<SCRIPT ERROR: 'p'>"},
    {"{-\xA3}", "<SCRIPT ERROR: '\xA3'>"},
    {"{+{}x", "<SCRIPT ERROR: '{'>x"},
    // Zero with - drops the group around it, never more.
    {"a{*b{-D}c}d", "ad", [](Renderer& r) { r.stats.days = 0; }},
    {"a{*b{*{-D}}c}d", "abcd", [](Renderer& r) { r.stats.days = 0; }},
    {"a{-D}b", "ab", [](Renderer& r) { r.stats.days = 0; }},
    {"a{-D}b}c", "", [](Renderer& r) { r.stats.days = 0; }},
    {"a{-D}b}c", "a5b"},
    {"{*{-D}x}y", "5xy"},
    // Plurals: option l switches to "s" before the test; -1 and the two zero letters are plural.
    {"{#Yl}", "", [](Renderer& r) { r.stats.years = 1; }},
    {"{#Yl}", "s", [](Renderer& r) { r.stats.years = 0; }},
    {"{#Yl}", "s", [](Renderer& r) { r.stats.years = 2; }},
    {"{#Yl}", "s", [](Renderer& r) { r.stats.years = -1; }},
    {"{#Yx}", "S",
     [](Renderer& r) {
         r.state.pluralSuffix = "S";
         r.stats.years = 2;
     }},
    {"{#Yx}{#YL}{#Yx}", "Sss",
     [](Renderer& r) {
         r.state.pluralSuffix = "S";
         r.stats.years = 2;
     }},
    {"{#px}", "S", [](Renderer& r) { r.state.pluralSuffix = "S"; }},
    {"{#\xA3x}", "s"},
    {"[{#$l}{#Nl}{#ql}]", "[]"},
    {"{#}abc", "c"},
    // Capitals: only a to z at the start of the group's text.
    {"{^1 a}", "1 a"},
    {"{^ a}", " a"},
    {"{^\xE9t\xE9}", "\xE9t\xE9"},
    {"{^{+N} says}", "Zoe says", [](Renderer& r) { r.record.userName = "zoe"; }},
    {"{^}x", "x"},
    // A failing capital group fails its parent; a plain group stops the failure.
    {"{*a{^{-D}}b}c", "c", [](Renderer& r) { r.stats.days = 0; }},
    {"{*a{*{-D}}b}c", "abc", [](Renderer& r) { r.stats.days = 0; }},
    // Direction markers keep their body but fail the block they stand in.
    {"{*a{>b}c}", "abc"},
    {"{*a{>b}c}", "", [](Renderer& r) { r.stats.direction = -1; }},
    {"{*a{<b}c}", ""},
    {"{*a{<b}c}", "abc", [](Renderer& r) { r.stats.direction = -1; }},
    {"{*a{<b}{>c}d}", "abcd", [](Renderer& r) { r.stats.direction = 0; }},
    {"{*{>{-D}x}y}", "y", [](Renderer& r) { r.stats.days = 0; }},
    // Commands out of the table, and the one character skipped after every command.
    {"{Q}x", "x"},
    {"a{*b{QR}c}d", "abc"},
    {"a{QR}b", "a"},
    {"{}ab", "b"},
    {"{{ab", "b"},
    {"{AXyz{+Y}", "yzone"},
    {"{+Yab", "1b"},
    {"{#Mlxy", "sy"},
    // Escapes.
    {"a\\\\b", "a\\b"},
    {"\\}x\\{", "}x{"},
    {"\\ab", "ab"},
    // Negative counts are figures without sign, words or not.
    {"{A}{+Y}", "3", [](Renderer& r) { r.stats.years = -3; }},
    {"{A}{-Y} year{#Yl}", "1 years", [](Renderer& r) { r.stats.years = -1; }},
    {"{A}{+Y}", "2147483648", [](Renderer& r) { r.stats.years = INT_MIN; }},
    // Zero: no words at all with +, failure with -.
    {"{A}[{+Y}]", "[]", [](Renderer& r) { r.stats.years = 0; }},
    {"{1}[{+Y}]", "[0]", [](Renderer& r) { r.stats.years = 0; }},
    {"{*a{A}{-Y}}b", "b", [](Renderer& r) { r.stats.years = 0; }},
    // Text variables never fail.
    {"{+$}", "$1,962.98"},
    {"{*x{-$}}", "x$0.00", [](Renderer& r) { r.stats.moneySaved = 0.0f; }},
    {"{*x{-N}}", "x"},
};

TEST(RenderScript, EdgeCases) {
    runCases(std::begin(kEdgeCases), std::end(kEdgeCases));
}

TEST(RenderScript, EveryVariableLetterReadsItsField) {
    Renderer r;
    QuitStatistics& s = r.stats;
    s.years = 11, s.months = 12, s.weeks = 13, s.days = 14, s.hours = 15, s.minutes = 16, s.seconds = 17;
    s.notSmoked = 18, s.lifeSavedYears = 19, s.lifeSavedWeeks = 20, s.lifeSavedDays = 21;
    s.lifeSavedHours = 22, s.lifeSavedMinutes = 23, s.lifeSavedSeconds = 24;
    s.moneySaved = 0.25f;
    r.record.userName = "Ann";
    EXPECT_EQ(r.render("{1}{+Y},{+M},{+W},{+D},{+h},{+m},{+s},{+C},{+U},{+I},{+O},{+j},{+k},{+l},{+$},{+N}"),
              "11,12,13,14,15,16,17,18,19,20,21,22,23,24,$0.25,Ann");
    // The plural test reads the same fields: only the one equal to 1 drops the suffix.
    s.days = 1;
    EXPECT_EQ(r.render("{#Yx}{#Mx}{#Wx}{#Dx}{#hx}{#mx}{#sx}{#Cx}{#Ux}{#Ix}{#Ox}{#jx}{#kx}{#lx}"),
              std::string(13, 'S'));
}

TEST(RenderScript, StateCarriesOverBetweenRenderings) {
    Renderer r;
    EXPECT_EQ(r.state.wordsMode, 0);
    EXPECT_EQ(r.state.pluralSuffix, "S");
    EXPECT_EQ(r.render("{A}{+Y}"), "one");  // as a request for a word item would leave it
    EXPECT_EQ(r.render("{+M} month{#Mx}"), "two monthS");
    EXPECT_EQ(r.render("{#Mx}{#Ml}"), "Ss");
    EXPECT_EQ(r.render("{+M} month{#Mx}{1}"), "two months");
    EXPECT_EQ(r.render("{+M} month{#Mx}"), "2 months");
    // Nothing after a stray brace runs; a failed outermost block keeps its commands' effects.
    EXPECT_EQ(r.render("}{A}"), "");
    EXPECT_EQ(r.render("{+W}"), "1");
    EXPECT_EQ(r.render("{-U}{A}}"), "");
    EXPECT_EQ(r.render("{+W}"), "one");
    // Commands in a group that is dropped, or behind a marker that fails, still change the state.
    const struct {
        const char* source;
        int32_t direction;
        const char* next;
    } dropped[] = {
        {"{*{-U}{A}}", 1, "twoS"}, {"{A}{*{-U}{1}}", 1, "2S"}, {"{*{-U}{#Yl}}", 1, "2s"},
        {"{*{<{A}}}", 1, "twoS"},  {"{A}{*{<{1}}}", 1, "2S"},  {"{*{<{#Yl}}}", 1, "2s"},
        {"{*{>{A}}}", -1, "twoS"}, {"{A}{*{>{1}}}", -1, "2S"}, {"{*{>{#Yl}}}", -1, "2s"},
    };
    for (const auto& c : dropped) {
        Renderer fresh;
        fresh.stats.direction = c.direction;
        EXPECT_EQ(fresh.render(c.source), "") << c.source;
        EXPECT_EQ(fresh.render("{+M}{#Mx}"), c.next) << c.source;
    }
}

// Sources cut short anywhere: rendering stops at the terminator. Groups still open there are
// closed by it as their closing braces would have been.
const ScriptCase kUnterminatedCases[] = {
    {"abc\\", "abc"},
    {"abc{", "abc"},
    {"abc{A", "abc"},
    {"abc{+", "abc"},
    {"abc{-", "abc"},
    {"abc{+Y", "abc1"},
    {"abc{#", "abc"},
    {"abc{#M", "abc"},
    {"abc{#Ml", "abcs"},
    {"abc{Q", "abc"},
    {"a{*b", "ab"},
    {"a{^b", "aB"},
    {"a{^", "a"},
    {"{*{*{*x", "x"},
    {"a{*b{-D}c", "a", [](Renderer& r) { r.stats.days = 0; }},
    {"a{^{-D}", "a", [](Renderer& r) { r.stats.days = 0; }},
    {"a{*b{<c", "a"},
    {"a{>b", "ab", [](Renderer& r) { r.stats.direction = -1; }},
    {"a{*b\\", "ab"},
    {"a{*b{+", "ab"},
};

TEST(RenderScript, UnterminatedSourcesStopAtTheirEnd) {
    runCases(std::begin(kUnterminatedCases), std::end(kUnterminatedCases));
}

// Every prefix of the default text ends inside some command or group.
TEST(RenderScript, EveryPrefixOfTheDefaultTextRenders) {
    const std::string text = kDefaultPrimaryText;
    for (size_t n = 0; n <= text.size(); ++n) {
        Renderer r;
        std::string got = r.render(text.substr(0, n));
        EXPECT_LE(got.size(), 200u) << n;
    }
}

std::string repeated(const std::string& part, size_t times) {
    std::string s;
    for (size_t i = 0; i < times; ++i) s += part;
    return s;
}

TEST(RenderScript, OutputIsCutAtCapacity) {
    const std::string source = repeated(std::string(kDefaultPrimaryText) + "{A}{+C}{*{-D}x}", 80);
    Renderer unbounded;
    const std::string full = unbounded.render(source, 1 << 20);
    ASSERT_GT(full.size(), 8191u);
    for (size_t capacity : {0, 1, 51, 99, 1023, 8191}) {
        Renderer r;
        EXPECT_EQ(r.render(source, capacity), full.substr(0, capacity)) << capacity;
        EXPECT_TRUE(r.truncated) << capacity;
        EXPECT_EQ(r.state.wordsMode, unbounded.state.wordsMode);
        EXPECT_EQ(r.state.pluralSuffix, unbounded.state.pluralSuffix);
    }
}

const struct CutCase {
    const char* source;
    size_t capacity;
    const char* expected;
    bool truncated;
} kCutCases[] = {
    // Text beyond the room that a failing group then drops makes room for what follows.
    {"abc{*defghij{-D}}xy", 5, "abcxy", false},
    {"abc{*d{*efghij{-D}}}xy", 5, "abcdx", true},
    {"ab{^c}", 3, "abC", false},
    {"ab{^c}", 2, "ab", true},
    {"ab{A}{+C}", 6, "abeigh", true},
    {"ab{A}{+C}", 47, "abeight thousand, seven hundred and twenty-four", false},
    {"{+q}", 5, "<SCRI", true},
    {"abcdefg}hij", 7, "abcdefg", false},
};

TEST(RenderScript, CutKeepsTheFirstCharactersOfTheFullRendering) {
    for (const CutCase& c : kCutCases) {
        Renderer r;
        r.stats.days = 0;
        EXPECT_EQ(r.render(c.source, c.capacity), c.expected) << c.source << " in " << c.capacity;
        EXPECT_EQ(r.truncated, c.truncated) << c.source << " in " << c.capacity;
    }
}

TEST(RenderScript, AppendsAfterWhatTheOutputHolds) {
    Renderer r;
    TextBuffer out(8);
    out.append("12");
    r.renderInto("ab{+C}", out);
    EXPECT_EQ(out.str(), "12ab8724");
    EXPECT_FALSE(out.truncated());
    r.renderInto("x", out);
    EXPECT_EQ(out.str(), "12ab8724");
    EXPECT_TRUE(out.truncated());
}

TEST(RenderScript, DeepNestingNeedsNoStack) {
    const size_t depth = 100000;
    Renderer r;
    EXPECT_EQ(r.render(repeated("{*", depth) + "x" + repeated("}", depth) + "y"), "xy");
    EXPECT_EQ(r.render(repeated("{*", depth) + "x"), "x");
    EXPECT_EQ(r.render(repeated("{^", depth) + "x"), "X");
    // A failure deep down climbs through every capital group; the outermost is still delivered
    // at the end of the source.
    r.stats.days = 0;
    EXPECT_EQ(r.render("a" + repeated("{^", depth) + "{-D}" + repeated("}", depth) + "b"), "ab");
    EXPECT_EQ(r.render("a" + repeated("{^", depth) + "{-D}" + repeated("}", depth) + "b}c"), "");
    EXPECT_EQ(r.render("a" + repeated("{*{^", depth) + "{-D}" + repeated("}}", depth) + "b}c"), "ab");
}

TEST(RenderScript, NullSourceRendersNothing) {
    Renderer r;
    TextBuffer out(10);
    ScriptContext context{r.stats, r.record, r.state, r.currency};
    renderScript(nullptr, out, context);
    EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace kalverin
