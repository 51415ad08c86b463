#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "script/shared_state.h"
#include "dde/quit_items.h"
#include "script/interpreter.h"
#include "tests/support/fake_ddeml.h"
#include "tests/support/us_currency.h"

namespace kalverin {
namespace {

using namespace std::string_literals;

class QuitItemsTest : public ::testing::Test {
protected:
    void SetUp() override {
        state.currency = &currency;
        state.record.userName = "Ada Quitter";
        ASSERT_TRUE(server.start("Kalverin"));
        registerQuitItems(server, items, state);
    }

    std::optional<std::string> request(const char* topic, const char* item, unsigned format = kCfText) {
        return fake.request(topic, item, format);
    }
    std::string render(const std::string& script) {
        TextBuffer out{kRenderMax};
        ScriptContext context = state.scriptContext();
        renderScript(script.c_str(), out, context);
        return out.str();
    }

    UsCurrencyFormat currency;
    SharedState state;
    FakeDdeml fake;
    DdeServer server{fake};
    QuitItems items;
};

TEST_F(QuitItemsTest, TopicItemListsAndTopicsByteForByte) {
    struct Case {
        const char* topic;
        const char* items;
    } cases[] = {
        {"System", "VERSION\tProtocols\tSysItems\tTopics\tFormats\tTopicItemList"},
        {"DURATION",
         "SECONDWORD\tSECOND\tMINUTEWORD\tMINUTE\tHOURWORD\tHOUR\tDAYWORD\tDAY\t"
         "WEEKWORD\tWEEK\tMONTHWORD\tMONTH\tYEARWORD\tYEAR\tFormats\tTopicItemList"},
        {"LIFESAVED",
         "SECONDWORD\tSECOND\tMINUTEWORD\tMINUTE\tHOURWORD\tHOUR\tDAYWORD\tDAY\t"
         "WEEKWORD\tWEEK\tYEARWORD\tYEAR\tFormats\tTopicItemList"},
        {"HABIT", "MONEYSAVED\tNOTSMOKEDWORD\tNOTSMOKED\tFormats\tTopicItemList"},
        {"HOTPASTE", "OTHER4\tOTHER3\tOTHER2\tOTHER1\tPRIMARY\tFormats\tTopicItemList"},
        {"USER", "NAME\tFormats\tTopicItemList"},
        {"COMMAND", "PARSEORVANE\tFormats\tTopicItemList"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(request(c.topic, "TopicItemList"), std::string(c.items) + '\0') << c.topic;
        EXPECT_EQ(request(c.topic, "Formats"), "TEXT\0"s) << c.topic;
    }
    EXPECT_EQ(request("System", "Topics"), "COMMAND\tUSER\tHOTPASTE\tHABIT\tLIFESAVED\tDURATION\tSystem\0"s);
    EXPECT_EQ(request("System", "SysItems"),
              "VERSION\tProtocols\tSysItems\tTopics\tFormats\tTopicItemList\0"s);
}

TEST_F(QuitItemsTest, WildConnectOffersEveryTopicInTheOrderOfTopics) {
    auto bytes =
        fake.take(server.onTransaction(kXtypWildConnect, 0, nullptr, nullptr, nullptr, nullptr, 0, 0));
    ASSERT_TRUE(bytes);
    ASSERT_EQ(bytes->size(), 8 * sizeof(HszPair));
    std::vector<HszPair> pairs(8);
    std::memcpy(pairs.data(), bytes->data(), bytes->size());
    const char* order[] = {"COMMAND", "USER", "HOTPASTE", "HABIT", "LIFESAVED", "DURATION", "System"};
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(fake.text(pairs[i].service), "Kalverin");
        EXPECT_EQ(fake.text(pairs[i].topic), order[i]);
    }
    EXPECT_EQ(pairs[7].service, nullptr);
    EXPECT_EQ(pairs[7].topic, nullptr);
}

TEST_F(QuitItemsTest, FiguresAreSignedDecimalTextInCfTextOnly) {
    QuitStatistics& s = state.stats;
    const struct {
        const char* topic;
        const char* item;
        int32_t QuitStatistics::*field;
        int32_t value;
        const char* text;
        const char* words;
    } cases[] = {
        {"DURATION", "YEAR", &QuitStatistics::years, 3, "3", "one"},
        {"DURATION", "MONTH", &QuitStatistics::months, -11, "-11", "two"},
        {"DURATION", "WEEK", &QuitStatistics::weeks, 2, "2", "three"},
        {"DURATION", "DAY", &QuitStatistics::days, 0, "0", "four"},
        {"DURATION", "HOUR", &QuitStatistics::hours, -23, "-23", "five"},
        {"DURATION", "MINUTE", &QuitStatistics::minutes, 59, "59", "six"},
        {"DURATION", "SECOND", &QuitStatistics::seconds, 7, "7", "seven"},
        {"LIFESAVED", "YEAR", &QuitStatistics::lifeSavedYears, 2147483647, "2147483647", "eight"},
        {"LIFESAVED", "WEEK", &QuitStatistics::lifeSavedWeeks, -2147483647 - 1, "-2147483648", "nine"},
        {"LIFESAVED", "DAY", &QuitStatistics::lifeSavedDays, 6, "6", "ten"},
        {"LIFESAVED", "HOUR", &QuitStatistics::lifeSavedHours, 12, "12", "eleven"},
        {"LIFESAVED", "MINUTE", &QuitStatistics::lifeSavedMinutes, -1, "-1", "twelve"},
        {"LIFESAVED", "SECOND", &QuitStatistics::lifeSavedSeconds, 45, "45", "thirteen"},
    };
    for (const auto& c : cases) s.*c.field = c.value;
    for (const auto& c : cases) {
        EXPECT_EQ(request(c.topic, c.item), std::string(c.text) + '\0') << c.topic << "/" << c.item;
        EXPECT_EQ(request(c.topic, c.item, kCfOemText), std::nullopt) << c.topic << "/" << c.item;
    }
    EXPECT_EQ(request("LIFESAVED", "MONTH"), std::nullopt);
    // Every field its own value: each figure item and each word item shows its own field.
    int32_t value = 0;
    for (const auto& c : cases) s.*c.field = ++value;
    value = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.topic) + "/" + c.item);
        EXPECT_EQ(request(c.topic, c.item), std::to_string(++value) + '\0');
        EXPECT_EQ(request(c.topic, (std::string(c.item) + "WORD").c_str()), std::string(c.words) + '\0');
    }
}

TEST_F(QuitItemsTest, TheVersionBanner) {
    auto banner = request("System", "VERSION");
    ASSERT_TRUE(banner);
    EXPECT_EQ(banner->rfind("Kalverin Version 2.50", 0), 0u);
    EXPECT_EQ(banner->substr(banner->size() - 3), "  \0"s);
    EXPECT_EQ(banner->find('\n'), std::string::npos);
}

TEST_F(QuitItemsTest, WordItemsMatchTheirScriptsAndLeaveTheModeForTheNextRendering) {
    state.stats.seconds = 7;
    state.stats.notSmoked = 1234;
    state.record.hotPasteTexts[0] = "{+s} s";
    const std::string figures = render("{1}{+s} s");
    const std::string words = render("{A}{+s} s");
    ASSERT_NE(figures, words);
    struct Case {
        const char* topic;
        const char* item;
        bool wordsAfter;
    } cases[] = {
        {"HABIT", "NOTSMOKED", false},  {"DURATION", "SECONDWORD", true}, {"HABIT", "NOTSMOKED", false},
        {"DURATION", "YEARWORD", true}, {"HABIT", "MONEYSAVED", true},  // does not touch the mode
        {"HABIT", "NOTSMOKED", false},  {"USER", "NAME", false},          {"LIFESAVED", "SECONDWORD", true},
        {"DURATION", "SECOND", true},   {"HABIT", "NOTSMOKED", false},    {"HABIT", "NOTSMOKEDWORD", true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(request(c.topic, c.item)) << c.item;
        EXPECT_EQ(request("HOTPASTE", "PRIMARY"), (c.wordsAfter ? words : figures) + '\0') << c.item;
    }
    EXPECT_EQ(request("DURATION", "SECONDWORD"), render("{A}{+s}") + '\0');
    EXPECT_EQ(request("HABIT", "NOTSMOKED"), render("{1}{+C}") + '\0');
    EXPECT_EQ(request("HABIT", "NOTSMOKEDWORD"), render("{A}{+C}") + '\0');
}

TEST_F(QuitItemsTest, NegativeFieldsInWordItems) {
    state.stats.seconds = -7;
    EXPECT_EQ(request("DURATION", "SECOND"), "-7\0"s);
    EXPECT_EQ(request("DURATION", "SECONDWORD"), "7\0"s);
}

TEST_F(QuitItemsTest, FixedScriptsStayInsideTheirOwnBuffers) {
    // Extreme values give the longest words; no reply may outgrow its buffer.
    for (int32_t v : {2147483647, -2147483647 - 1, 777777777}) {
        QuitStatistics& s = state.stats;
        s.years = s.months = s.weeks = s.days = s.hours = s.minutes = s.seconds = v;
        s.lifeSavedYears = s.lifeSavedWeeks = s.lifeSavedDays = v;
        s.lifeSavedHours = s.lifeSavedMinutes = s.lifeSavedSeconds = v;
        s.notSmoked = v;
        s.moneySaved = 3.0e38f;
        for (const char* topic : {"DURATION", "LIFESAVED"}) {
            for (const char* item :
                 {"YEARWORD", "WEEKWORD", "DAYWORD", "HOURWORD", "MINUTEWORD", "SECONDWORD"}) {
                auto reply = request(topic, item);
                ASSERT_TRUE(reply) << topic << item;
                EXPECT_LE(reply->size(), kWordItemMax + 1) << topic << item;
                EXPECT_EQ(reply->find('\0'), reply->size() - 1);
            }
        }
        for (const char* item : {"NOTSMOKED", "NOTSMOKEDWORD", "MONEYSAVED"}) {
            auto reply = request("HABIT", item);
            ASSERT_TRUE(reply) << item;
            EXPECT_LE(reply->size(), kHabitItemMax + 1) << item;
        }
    }
}

TEST_F(QuitItemsTest, HotPasteItemsRenderTheirTextsWithoutALineBreak) {
    const char* names[] = {"PRIMARY", "OTHER1", "OTHER2", "OTHER3", "OTHER4"};
    for (size_t i = 0; i < kHotKeyCount; ++i)
        state.record.hotPasteTexts[i] = "Text " + std::to_string(i) + " of {+N}";
    for (size_t i = 0; i < kHotKeyCount; ++i) {
        EXPECT_EQ(request("HOTPASTE", names[i]), "Text " + std::to_string(i) + " of Ada Quitter" + '\0')
            << names[i];
        EXPECT_EQ(state.renderBuffer.str(), "Text " + std::to_string(i) + " of Ada Quitter");
    }
    state.record.hotPasteTexts[2] = std::string(9000, 'x');
    EXPECT_EQ(request("HOTPASTE", "OTHER2"), std::string(kRenderMax, 'x') + '\0');
    EXPECT_EQ(request("USER", "NAME"), "Ada Quitter\0"s);
    EXPECT_EQ(request("HABIT", "MONEYSAVED"), render("{+$}") + '\0');
}

TEST_F(QuitItemsTest, ParseScriptRendersWhatWasPokedAndAdvisesIt) {
    EXPECT_EQ(request("COMMAND", "PARSEORVANE"), "\0"s);
    fake.adviseLoops.push_back({"COMMAND", "PARSEORVANE", kCfText, {}});
    EXPECT_EQ(fake.poke("COMMAND", "PARSEORVANE", "Hi {+N}!\0"s), kDdeFack);
    EXPECT_EQ(request("COMMAND", "PARSEORVANE"), "Hi Ada Quitter!\0"s);
    ASSERT_EQ(fake.adviseLoops[0].received.size(), 1u);
    EXPECT_EQ(fake.adviseLoops[0].received[0], "Hi Ada Quitter!\0"s);
    EXPECT_EQ(fake.advisesPosted, std::vector<std::string>{"COMMAND/PARSEORVANE"});
    EXPECT_EQ(request("COMMAND", "PARSEORVANE", kCfOemText), std::nullopt);
}

TEST_F(QuitItemsTest, PokedDataIsReadNoFurtherThanItsSizeOrItsFirstZero) {
    struct Case {
        std::string poked;
        std::string result;
    } cases[] = {
        {"{+N}", "Ada Quitter"},  // no terminator at all
        {"abc\0{+N}\0"s, "abc"},  // stops at the first zero
        {""s, ""},                // empty block
        {"\0"s, ""},
        {std::string(8191, 'y') + "{+N}", std::string(8191, 'y')},
        {std::string(20000, 'z'), std::string(8191, 'z')},
        {"\xff\x80\x01\t\r\n"s, "\xff\x80\x01\t\r\n"s},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fake.poke("COMMAND", "PARSEORVANE", c.poked), kDdeFack);
        EXPECT_EQ(request("COMMAND", "PARSEORVANE"), c.result + '\0') << c.poked.size();
    }
    EXPECT_EQ(fake.handleErrors, 0);
    EXPECT_FALSE(fake.anyDataAccessed());
}

TEST_F(QuitItemsTest, APokeWhoseDataCannotBeReadIsRefusedAndKeepsTheResult) {
    ASSERT_EQ(fake.poke("COMMAND", "PARSEORVANE", "{+N}"s), kDdeFack);
    fake.advisesPosted.clear();
    fake.failAccess = true;
    EXPECT_EQ(fake.poke("COMMAND", "PARSEORVANE", "other"s), kDdeFNotProcessed);
    EXPECT_EQ(fake.call(kXtypPoke, "COMMAND", "PARSEORVANE", kCfText), kDdeFNotProcessed)
        << "a poke without data";
    fake.failAccess = false;
    EXPECT_EQ(request("COMMAND", "PARSEORVANE"), "Ada Quitter\0"s);
    EXPECT_TRUE(fake.advisesPosted.empty());
}

TEST_F(QuitItemsTest, EveryOtherItemRefusesPokes) {
    const char* topics[] = {"System", "DURATION", "LIFESAVED", "HABIT", "HOTPASTE", "USER"};
    for (const char* topic : topics) {
        auto list = request(topic, "TopicItemList");
        ASSERT_TRUE(list);
        std::string names = list->substr(0, list->size() - 1) + '\t';
        for (size_t start = 0, tab; (tab = names.find('\t', start)) != std::string::npos; start = tab + 1) {
            std::string item = names.substr(start, tab - start);
            EXPECT_EQ(fake.poke(topic, item.c_str(), "{+N}"s), kDdeFNotProcessed) << topic << "/" << item;
        }
    }
    EXPECT_TRUE(fake.advisesPosted.empty());
    EXPECT_EQ(request("DURATION", "YEAR"), "0\0"s);
}

TEST_F(QuitItemsTest, UnregisteringLeavesTheSystemTopicAlone) {
    ASSERT_EQ(fake.poke("COMMAND", "PARSEORVANE", "{+N}"s), kDdeFack);
    // One conversation per topic, opened in an order of its own: the conversations end
    // topic by topic, in the order in which the topics are removed.
    const char* removalOrder[] = {"DURATION", "LIFESAVED", "HABIT", "HOTPASTE", "USER", "COMMAND"};
    std::vector<Conv> expectedEnds;
    for (size_t i : {3, 0, 5, 1, 4, 2})
        fake.call(kXtypConnectConfirm, removalOrder[i], "Kalverin", 0, reinterpret_cast<Conv>(0x100 + i));
    for (size_t i = 0; i < 6; ++i) expectedEnds.push_back(reinterpret_cast<Conv>(0x100 + i));
    EXPECT_TRUE(unregisterQuitItems(server, items));
    EXPECT_EQ(fake.disconnected, expectedEnds);
    EXPECT_TRUE(items.scriptResult.empty());
    EXPECT_EQ(request("System", "Topics"), "System\0"s);
    EXPECT_EQ(request("System", "SysItems"), "Protocols\tSysItems\tTopics\tFormats\tTopicItemList\0"s);
    EXPECT_FALSE(unregisterQuitItems(server, items)) << "nothing left to remove";
    // Registering again starts with an empty script result, whatever the buffer held.
    items.scriptResult.append("stale");
    registerQuitItems(server, items, state);
    EXPECT_EQ(request("COMMAND", "PARSEORVANE"), "\0"s);
    EXPECT_EQ(request("USER", "NAME"), "Ada Quitter\0"s);
    unregisterQuitItems(server, items);
    server.stop();
    EXPECT_EQ(fake.liveServerStrings(), 0);
    EXPECT_EQ(fake.liveDataHandles(), 0);
    EXPECT_EQ(fake.handleErrors, 0);
}

}  // namespace
}  // namespace kalverin
