#include "app/single_instance.h"

#include <cstdint>
#include <cstdio>

#include "model/ascii_case.h"
#include "model/profile.h"
#include "model/quit_record.h"

namespace kalverin {

std::string instanceName(const std::string& section, const std::string& settingsPath) {
    size_t begin = 0, end = section.size();
    while (begin < end && isProfileSpace(section[begin])) ++begin;
    while (end > begin && isProfileSpace(section[end - 1])) --end;
    const std::string name = begin == end ? kFirstUserSection : section.substr(begin, end - begin);
    // FNV-1a over the folded bytes: 64 bits make two sections sharing a name unlikely enough.
    // A zero byte, which neither holds, keeps "a" + "bc" apart from "ab" + "c".
    uint64_t hash = 14695981039346656037ull;
    for (char c : name + '\0' + settingsPath) {
        hash ^= static_cast<unsigned char>(asciiLower(c));
        hash *= 1099511628211ull;
    }
    char text[40];
    std::snprintf(text, sizeof text, "Kalverin.%016llx", static_cast<unsigned long long>(hash));
    return text;
}

}  // namespace kalverin
