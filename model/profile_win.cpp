#include "model/profile_win.h"

#include <windows.h>

#include <climits>
#include <vector>

namespace kalverin {
namespace {

// Longest value read whole; a settings value is at most a 2042-digit structure.
constexpr size_t kLongestValue = 1 << 16;

// The value as GetPrivateProfileStringA returns it, but never cut by the buffer: the buffer
// grows until the text fits with room to spare. The spare room matters because a quoted
// value exactly one character shorter than the buffer loses its last character in some
// implementations of the function.
bool readWhole(const std::string& path, const std::string& section, const std::string& key,
               std::string& value) {
    // A default no real value can equal tells a missing key from an empty one.
    static const char kAbsent[] = "\x01<absent>\x01";
    for (size_t size = 256; size <= kLongestValue; size *= 4) {
        std::vector<char> buffer(size);
        DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), kAbsent, buffer.data(),
                                                static_cast<DWORD>(size), path.c_str());
        if (length + 2 < size) {
            value.assign(buffer.data(), length);
            return value != kAbsent;
        }
    }
    return false;
}

}  // namespace

unsigned Win32ProfileFile::readInt(const char* section, const char* key, unsigned fallback) {
    // The fallback passes through an INT parameter and comes back unchanged as a UINT.
    return GetPrivateProfileIntA(profileLine(section).c_str(), profileLine(key).c_str(),
                                 static_cast<INT>(fallback), path_.c_str());
}

std::string Win32ProfileFile::readString(const char* section, const char* key, const char* fallback,
                                         size_t maxChars) {
    std::string value;
    if (!readWhole(path_, profileLine(section), profileLine(key), value)) {
        // The platform drops trailing blanks from the default.
        value = fallback ? fallback : "";
        while (!value.empty() && value.back() == ' ') value.pop_back();
    }
    if (value.size() > maxChars) value.resize(maxChars);
    return value;
}

bool Win32ProfileFile::readStruct(const char* section, const char* key, void* area, size_t size) {
    if (size > kLongestValue / 2 - 2) return false;
    // GetPrivateProfileStructA accepts one hex digit too many and fills the caller's area
    // before it has checked the checksum: check the length here and decode into a copy.
    const std::string sectionName = profileLine(section), keyName = profileLine(key);
    std::string text;
    if (!readWhole(path_, sectionName, keyName, text) || text.size() != 2 * (size + 1)) return false;
    std::vector<unsigned char> copy(size + 1);
    if (!GetPrivateProfileStructA(sectionName.c_str(), keyName.c_str(), copy.data(), static_cast<UINT>(size),
                                  path_.c_str()))
        return false;
    if (size > 0) CopyMemory(area, copy.data(), size);
    return true;
}

void Win32ProfileFile::writeString(const char* section, const char* key, const char* value) {
    WritePrivateProfileStringA(profileLine(section).c_str(), profileLine(key).c_str(),
                               profileLine(value).c_str(), path_.c_str());
}

void Win32ProfileFile::writeStruct(const char* section, const char* key, const void* area, size_t size) {
    if (size > UINT_MAX) return;
    // The function takes a non-const pointer but only reads the area.
    WritePrivateProfileStructA(profileLine(section).c_str(), profileLine(key).c_str(),
                               const_cast<void*>(area), static_cast<UINT>(size), path_.c_str());
}

}  // namespace kalverin
