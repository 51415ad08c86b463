#include <gtest/gtest.h>

#include "app/command_line.h"

namespace kalverin {
namespace {

TEST(CommandLine, SectionNameCases) {
    struct Case {
        const char* arguments;
        SectionNameResult result;
        const char* section;
    } cases[] = {
        {"", SectionNameResult::ok, "User 1"},
        {nullptr, SectionNameResult::ok, "User 1"},
        {"   ", SectionNameResult::ok, "User 1"},
        {"User 2", SectionNameResult::ok, "User 2"},
        {"  \tUser 2", SectionNameResult::ok, "User 2"},
        {"\"Quoted\" name  ", SectionNameResult::ok, "\"Quoted\" name  "},
        {"a]b", SectionNameResult::badCharacter, "unchanged"},
        {"[x", SectionNameResult::badCharacter, "unchanged"},
        {"line\nbreak", SectionNameResult::badCharacter, "unchanged"},
        {"del\x7f", SectionNameResult::badCharacter, "unchanged"},
        {"~top\x7e", SectionNameResult::ok, "~top~"},
    };
    for (const Case& c : cases) {
        std::string section = "unchanged";
        EXPECT_EQ(sectionNameFromCommandLine(c.arguments, section), c.result)
            << (c.arguments ? c.arguments : "(null)");
        EXPECT_EQ(section, c.section);
    }
    std::string longName(kSectionNameMax, 'x'), section;
    EXPECT_EQ(sectionNameFromCommandLine(longName.c_str(), section), SectionNameResult::ok);
    longName += 'x';
    EXPECT_EQ(sectionNameFromCommandLine(longName.c_str(), section), SectionNameResult::tooLong);
}

}  // namespace
}  // namespace kalverin
