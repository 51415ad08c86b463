#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dde/client_command.h"

namespace kalverin {
namespace {

using namespace std::string_literals;

TEST(ClientCommand, ParsesEachCommandWithItsOptions) {
    struct Case {
        std::vector<std::string> args;
        ClientAction action;
        const char *topic, *item, *text;
        unsigned format = 1;
        int count = 0;
        const char* service = "Kalverin";
    } cases[] = {
        {{"request", "DURATION", "SECOND"}, ClientAction::request, "DURATION", "SECOND", ""},
        {{"--service", "Other", "--format", "7", "request", "t", "i"},
         ClientAction::request,
         "t",
         "i",
         "",
         7,
         0,
         "Other"},
        {{"poke", "COMMAND", "PARSEORVANE", "{+N}"}, ClientAction::poke, "COMMAND", "PARSEORVANE", "{+N}"},
        {{"poke", "T", "I", "--", "--raw"}, ClientAction::poke, "T", "I", "--raw"},
        {{"execute", "System", "[x]"}, ClientAction::execute, "System", "", "[x]"},
        {{"render", "{+N}"}, ClientAction::render, "COMMAND", "PARSEORVANE", "{+N}"},
        {{"topics"}, ClientAction::topics, "System", "Topics", ""},
        {{"items", "USER"}, ClientAction::items, "USER", "TopicItemList", ""},
        {{"watch", "COMMAND", "PARSEORVANE", "2"}, ClientAction::watch, "COMMAND", "PARSEORVANE", "", 1, 2},
        {{"watch", "A", "B", "--format", "0x10"}, ClientAction::watch, "A", "B", "", 16},
        {{"watch", "A", "B", "010"}, ClientAction::watch, "A", "B", "", 1, 10},
        {{"--format", "010", "watch", "A", "B"}, ClientAction::watch, "A", "B", "", 10},
        {{"--format", "08", "watch", "A", "B"}, ClientAction::watch, "A", "B", "", 8},
        // Registered formats lie in 0xC000 to 0xFFFF.
        {{"--format", "65535", "topics"}, ClientAction::topics, "System", "Topics", "", 65535},
        {{"--format", "0xC001", "topics"}, ClientAction::topics, "System", "Topics", "", 49153},
        {{"--format", "0X10", "topics"}, ClientAction::topics, "System", "Topics", "", 16},
    };
    for (const Case& c : cases) {
        ClientCommand command;
        std::string error;
        ASSERT_TRUE(parseClientCommand(c.args, command, error)) << c.args[0] << ": " << error;
        EXPECT_EQ(command.action, c.action);
        EXPECT_EQ(command.service, c.service);
        EXPECT_EQ(command.topic, c.topic);
        EXPECT_EQ(command.item, c.item);
        EXPECT_EQ(command.text, c.text);
        EXPECT_EQ(command.format, c.format);
        EXPECT_EQ(command.count, c.count);
    }
}

TEST(ClientCommand, TimeoutsAreDecimalMilliseconds) {
    for (auto [text, ms] : {std::pair<const char*, unsigned>{"0100", 100}, {"3600000", 3600000}, {"0", 0}}) {
        ClientCommand command;
        std::string error;
        ASSERT_TRUE(parseClientCommand({"--timeout", text, "topics"}, command, error))
            << text << ": " << error;
        EXPECT_EQ(command.timeoutMs, ms) << text;
        EXPECT_TRUE(command.timeoutGiven);
    }
}

TEST(ClientCommand, RefusesMalformedCommandLinesWithAMessage) {
    std::vector<std::vector<std::string>> cases = {
        {},
        {"fetch"},
        {"request", "T"},
        {"request", "T", "I", "extra"},
        {"topics", "x"},
        {"--service"},
        {"--service", "", "topics"},
        {"--format", "0", "topics"},
        {"--format", "65536", "topics"},
        {"--format", "-1", "topics"},
        {"--format", "7x", "topics"},
        {"--format", "0x", "topics"},
        {"--timeout", "abc", "topics"},
        {"--timeout", "0x10", "topics"},
        {"--timeout", "3600001", "topics"},
        {"--bogus", "topics"},
        {"watch", "T", "I", "-3"},
        {"watch", "T", "I", "many"},
    };
    for (const auto& args : cases) {
        ClientCommand command;
        std::string error;
        EXPECT_FALSE(parseClientCommand(args, command, error)) << (args.empty() ? "" : args[0]);
        EXPECT_FALSE(error.empty());
    }
}

TEST(ClientCommand, ReplyTextStopsAtTheTerminatorOfTextFormats) {
    EXPECT_EQ(replyText("7\0"s, 1), "7");
    EXPECT_EQ(replyText("a\tb\0junk"s, 7), "a\tb");
    EXPECT_EQ(replyText("no end", 1), "no end");
    EXPECT_EQ(replyText("bin\0ary"s, 2), "bin\0ary"s);
}

}  // namespace
}  // namespace kalverin
