// Names compared without regard to case, as the profile functions and lstrcmpiA compare the
// names this program uses: only the ASCII letters fold, every other byte stands for itself.
#pragma once
#include <string_view>

namespace kalverin {

inline char asciiLower(char c) {
    return static_cast<unsigned char>(c - 'A') < 26 ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

}  // namespace kalverin
