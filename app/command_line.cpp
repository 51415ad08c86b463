#include "app/command_line.h"

#include "model/quit_record.h"

namespace kalverin {

SectionNameResult sectionNameFromCommandLine(const char* arguments, std::string& section) {
    const char* p = arguments ? arguments : "";
    while (*p == ' ' || *p == '\t') ++p;
    std::string name(p);
    if (name.empty()) name = kFirstUserSection;
    if (name.size() > kSectionNameMax) return SectionNameResult::tooLong;
    for (unsigned char c : name) {
        // A ']' would end the section header early and '[' would start another one when the
        // file is read back; control characters would split the line.
        if (c < 0x20 || c == 0x7f || c == '[' || c == ']') return SectionNameResult::badCharacter;
    }
    section = name;
    return SectionNameResult::ok;
}

}  // namespace kalverin
