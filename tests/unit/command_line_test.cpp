#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/single_instance.h"

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

// Starts of one section share an instance name exactly when the settings file would give
// them one section, and only for one file.
TEST(CommandLine, SectionsShareAnInstanceAsTheFileSharesASection) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"User 1", "user 1", true},      {"Ann", " ANN\t", true}, {"", "User 1", true},
        {" ", "USER 1", true},           {"Ann", "Bob", false},   {"Ann", "Ann 2", false},
        {"\xC9lise", "\xE9lise", false},  // only ASCII letters fold
        {"a\\b", "a/b", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(instanceName(c.a, "C:\\k.ini") == instanceName(c.b, "c:\\K.INI"), c.same);
        EXPECT_EQ(instanceName(c.a, "C:\\k.ini").find('\\'), std::string::npos);
    }
    EXPECT_NE(instanceName("Ann", "C:\\a\\k.ini"), instanceName("Ann", "C:\\b\\k.ini"));
    EXPECT_NE(instanceName("a", "bc"), instanceName("ab", "c"));
    EXPECT_LE(instanceName(std::string(kSectionNameMax, 'x'), std::string(260, 'p')).size(), 64u);
}

}  // namespace
}  // namespace kalverin
