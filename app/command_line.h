// The settings section named by the command line.
#pragma once
#include <string>

namespace kalverin {

constexpr size_t kSectionNameMax = 200;

enum class SectionNameResult { ok, tooLong, badCharacter };

// The text after the program name, from its first non-blank character to its end, taken
// whole; "User 1" when empty. A name the settings file cannot hold as a section header
// (a bracket, a control character, more than kSectionNameMax characters) is refused.
SectionNameResult sectionNameFromCommandLine(const char* arguments, std::string& section);

}  // namespace kalverin
