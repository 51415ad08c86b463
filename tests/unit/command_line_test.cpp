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
        {"", SectionNameResult::Ok, "User 1"},
        {nullptr, SectionNameResult::Ok, "User 1"},
        {"   ", SectionNameResult::Ok, "User 1"},
        {"User 2", SectionNameResult::Ok, "User 2"},
        {"  \tUser 2", SectionNameResult::Ok, "User 2"},
        {"\"Quoted\" name  ", SectionNameResult::Ok, "\"Quoted\" name  "},
        {"a]b", SectionNameResult::BadCharacter, "unchanged"},
        {"[x", SectionNameResult::BadCharacter, "unchanged"},
        {"line\nbreak", SectionNameResult::BadCharacter, "unchanged"},
        {"del\x7f", SectionNameResult::BadCharacter, "unchanged"},
        {"~top\x7e", SectionNameResult::Ok, "~top~"},
    };
    for (const Case& c : cases) {
        std::string section = "unchanged";
        EXPECT_EQ(sectionNameFromCommandLine(c.arguments, section), c.result)
            << (c.arguments ? c.arguments : "(null)");
        EXPECT_EQ(section, c.section);
    }
    std::string longName(kSectionNameMax, 'x'), section;
    EXPECT_EQ(sectionNameFromCommandLine(longName.c_str(), section), SectionNameResult::Ok);
    longName += 'x';
    EXPECT_EQ(sectionNameFromCommandLine(longName.c_str(), section), SectionNameResult::TooLong);
}

}  // namespace
}  // namespace kalverin
