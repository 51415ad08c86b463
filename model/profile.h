// A private-profile (INI) file: the Win32 profile functions on Windows, our own
// reader/writer elsewhere, both reading and writing the same text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

namespace kalverin {

// Blanks a profile reader trims around names and values: the C white space and the
// end-of-file mark (Ctrl+Z) that old editors leave behind.
inline bool isProfileSpace(char c) {
    // One test of a bit for every character of every line read.
    constexpr uint64_t kBlanks =
        1ull << ' ' | 1ull << '\t' | 1ull << '\n' | 1ull << '\v' | 1ull << '\f' | 1ull << '\r' | 1ull << 0x1A;
    const auto code = static_cast<unsigned char>(c);
    return code <= ' ' && (kBlanks >> code & 1u);
}

// A name or value as far as its first line break: written whole, the break would end the
// line and the rest would read as a line of its own.
inline std::string profileLine(const char* text) {
    if (!text) return std::string();
    return std::string(text, std::strcspn(text, "\r\n"));
}

// How a save went: when it failed, the file it was for and the system's reason.
struct SaveResult {
    bool saved = true;
    std::string path;
    std::string reason;
};

class ProfileFile {
public:
    virtual ~ProfileFile() = default;
    // Decimal digits as GetPrivateProfileIntA reads them; `fallback` when the key is missing.
    virtual unsigned readInt(const char* section, const char* key, unsigned fallback) = 0;
    // At most maxChars characters of the value; `fallback` when the key is missing.
    virtual std::string readString(const char* section, const char* key, const char* fallback,
                                   size_t maxChars) = 0;
    // A structure value (hex bytes and a checksum byte); false when absent, of the wrong
    // length or with a wrong checksum, and then `area` is left as it was.
    virtual bool readStruct(const char* section, const char* key, void* area, size_t size) = 0;
    virtual void writeString(const char* section, const char* key, const char* value) = 0;
    virtual void writeStruct(const char* section, const char* key, const void* area, size_t size) = 0;
    // Makes the writes `writes` does to the file it is handed, all of them or none. Files that
    // store each write as it comes take them one by one and report success.
    virtual SaveResult save(const std::function<void(ProfileFile&)>& writes) {
        writes(*this);
        return {};
    }
};

}  // namespace kalverin
