#include "model/ini_file.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

namespace kalverin {
namespace {

// The integer reader sees at most this many characters of a value (its buffer is 30
// characters with the terminator), so longer digit strings are cut, not wrapped further.
constexpr size_t kIntDigitsSeen = 29;

// Blanks the profile reader trims around names and values: the C white space and the
// end-of-file mark (Ctrl+Z) that old editors leave behind.
bool isProfileSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1A;
}

std::string trimmed(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && isProfileSpace(text[begin])) ++begin;
    while (end > begin && isProfileSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(const std::string& a, const char* b) {
    size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

// One meaningful line of the file. Blank lines carry nothing and are not kept: the file is
// written back the way the platform's writer does, one trimmed line per entry.
struct Entry {
    enum Kind { kSection, kKey, kOther } kind = kOther;
    std::string name;   // section name, key name, or the whole line
    std::string value;  // kKey only
};

std::vector<Entry> parse(const std::string& bytes) {
    std::vector<Entry> entries;
    size_t pos = 0;
    while (pos < bytes.size()) {
        // A line ends at a line feed or a lone carriage return alike.
        size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(pos, end - pos);
        pos = end + 1;
        line.resize(std::strlen(line.c_str()));  // a zero byte ends the text of a line
        line = trimmed(line);
        if (line.empty()) continue;
        Entry entry;
        size_t close = line.rfind(']');
        if (line[0] == '[' && close != std::string::npos) {
            entry.kind = Entry::kSection;
            entry.name = trimmed(line.substr(1, close - 1));
        } else if (size_t equals = line.find('='); equals != std::string::npos) {
            entry.kind = Entry::kKey;
            entry.name = trimmed(line.substr(0, equals));
            entry.value = trimmed(line.substr(equals + 1));
        } else {
            entry.name = line;  // kept as written, never matched as a key with a value
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string render(const std::vector<Entry>& entries) {
    std::string out;
    for (const Entry& entry : entries) {
        if (entry.kind == Entry::kSection) {
            out += '[' + entry.name + ']';
        } else if (entry.kind == Entry::kKey) {
            out += entry.name + '=' + entry.value;
        } else {
            out += entry.name;
        }
        out += "\r\n";
    }
    return out;
}

bool readWholeFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Replaces the file only once the new text is wholly on disk beside it: a full disk or a
// crash mid-write leaves the previous file as it was. The rename replaces an existing file
// on Windows too (the library uses MoveFileEx with MOVEFILE_REPLACE_EXISTING there).
bool replaceFile(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

// Index of the first section of that name, or entries.size().
size_t findSection(const std::vector<Entry>& entries, const char* section) {
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].kind == Entry::kSection && sameName(entries[i].name, section)) return i;
    return entries.size();
}

// Like the platform, only the first section of a name is searched, and the first key in it.
const Entry* findKey(const std::vector<Entry>& entries, const char* section, const char* key) {
    for (size_t i = findSection(entries, section) + 1; i < entries.size(); ++i) {
        if (entries[i].kind == Entry::kSection) break;
        if (entries[i].kind == Entry::kKey && sameName(entries[i].name, key)) return &entries[i];
    }
    return nullptr;
}

bool findValue(const std::string& path, const char* section, const char* key, std::string& value) {
    std::string bytes;
    if (!readWholeFile(path, bytes)) return false;
    std::vector<Entry> entries = parse(bytes);
    const Entry* entry = findKey(entries, section, key);
    if (!entry) return false;
    value = entry->value;
    return true;
}

// A value in matching single or double quotes reads without them.
std::string unquoted(const std::string& value) {
    if (value.size() > 1 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

int digitIn(char c, unsigned base) {
    int digit = hexDigit(c);
    return digit >= 0 && static_cast<unsigned>(digit) < base ? digit : -1;
}

}  // namespace

unsigned parseProfileInt(const std::string& value) {
    size_t i = 0;
    while (i < value.size() && static_cast<unsigned char>(value[i]) <= ' ') ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
    unsigned base = 10;
    if (i + 1 < value.size() && value[i] == '0') {
        char prefix = asciiLower(value[i + 1]);
        if (prefix == 'x') base = 16;
        if (prefix == 'o') base = 8;
        if (prefix == 'b') base = 2;
        if (base != 10) i += 2;
    }
    uint32_t result = 0;  // wraps modulo 2^32 as the platform's reader does
    for (; i < value.size(); ++i) {
        int digit = digitIn(value[i], base);
        if (digit < 0) break;
        result = result * base + static_cast<uint32_t>(digit);
    }
    return negative ? 0u - result : result;
}

std::string encodeProfileStruct(const void* area, size_t size) {
    static const char kHex[] = "0123456789ABCDEF";
    const unsigned char* bytes = static_cast<const unsigned char*>(area);
    std::string text;
    text.reserve(2 * (size + 1));
    unsigned sum = 0;
    for (size_t i = 0; i <= size; ++i) {
        unsigned byte = i < size ? bytes[i] : (sum & 0xFFu);
        if (i < size) sum += byte;
        text += kHex[byte >> 4];
        text += kHex[byte & 0x0F];
    }
    return text;
}

bool decodeProfileStruct(const std::string& text, void* area, size_t size) {
    if (text.size() != 2 * (size + 1)) return false;
    std::vector<unsigned char> bytes(size + 1);
    for (size_t i = 0; i <= size; ++i) {
        int high = hexDigit(text[2 * i]), low = hexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        bytes[i] = static_cast<unsigned char>(high * 16 + low);
    }
    unsigned sum = 0;
    for (size_t i = 0; i < size; ++i) sum += bytes[i];
    if ((sum & 0xFFu) != bytes[size]) return false;
    if (size > 0) std::memcpy(area, bytes.data(), size);
    return true;
}

unsigned IniProfileFile::readInt(const char* section, const char* key, unsigned fallback) {
    std::string value;
    if (!findValue(path_, section, key, value)) return fallback;
    value = unquoted(value).substr(0, kIntDigitsSeen);
    // A key with an empty value counts as missing.
    if (value.empty()) return fallback;
    return parseProfileInt(value);
}

std::string IniProfileFile::readString(const char* section, const char* key, const char* fallback,
                                       size_t maxChars) {
    std::string value;
    if (findValue(path_, section, key, value)) {
        value = unquoted(value);
    } else {
        // The platform drops trailing blanks from the default.
        value = fallback ? fallback : "";
        while (!value.empty() && value.back() == ' ') value.pop_back();
    }
    if (value.size() > maxChars) value.resize(maxChars);
    return value;
}

bool IniProfileFile::readStruct(const char* section, const char* key, void* area, size_t size) {
    std::string value;
    // Quotes are not removed here: a quoted structure value is invalid.
    return findValue(path_, section, key, value) && decodeProfileStruct(value, area, size);
}

void IniProfileFile::writeString(const char* section, const char* key, const char* value) {
    std::string bytes;
    readWholeFile(path_, bytes);  // a missing file is an empty one
    std::vector<Entry> entries = parse(bytes);
    // A line break would end the value early and turn the rest into other keys; the text
    // from the break on is not storable as one value.
    std::string text = value ? value : "";
    text = trimmed(text.substr(0, text.find_first_of("\r\n")));

    size_t sectionAt = findSection(entries, section);
    if (sectionAt == entries.size()) {
        entries.push_back({Entry::kSection, section, {}});
        entries.push_back({Entry::kKey, key, text});
    } else {
        size_t end = sectionAt + 1;
        Entry* found = nullptr;
        for (; end < entries.size() && entries[end].kind != Entry::kSection; ++end)
            if (!found && entries[end].kind == Entry::kKey && sameName(entries[end].name, key))
                found = &entries[end];
        if (found) {
            if (found->value == text) return;  // nothing to change: the file is left alone
            found->value = text;  // the key keeps its spelling in the file
        } else {
            entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(end),
                           Entry{Entry::kKey, key, text});
        }
    }
    replaceFile(path_, render(entries));
}

void IniProfileFile::writeStruct(const char* section, const char* key, const void* area,
                                 size_t size) {
    writeString(section, key, encodeProfileStruct(area, size).c_str());
}

}  // namespace kalverin
