#include "model/settings.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace kalverin {
namespace {

const char* const kVkKeys[kHotKeyCount] = {"hkv", "hkv1", "hkv2", "hkv3", "hkv4"};
const char* const kModifierKeys[kHotKeyCount] = {"hmod", "hmod1", "hmod2", "hmod3", "hmod4"};
const char* const kTextKeys[kHotKeyCount] = {"Text", "Text1", "Text2", "Text3", "Text4"};
// A missing key reads as the value a fresh record has.
const QuitRecord kDefaults;

// The largest virtual-key code and the modifier bits a key-combination control produces.
// Anything beyond them cannot have been written by the program and would register a
// combination nobody chose, so it counts as a missing key.
constexpr unsigned kVkLimit = 0xFF;
constexpr unsigned kModifierLimit = 0x0F;

size_t storedArea(size_t index) {
    return index == 0 ? kPrimaryTextStored : kSecondaryTextStored;
}

void writeNumber(ProfileFile& file, const char* section, const char* key, uint32_t value) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%u", static_cast<unsigned>(value));
    file.writeString(section, key, digits);
}

int32_t readSigned(ProfileFile& file, const char* section, const char* key, int32_t fallback) {
    return static_cast<int32_t>(file.readInt(section, key, static_cast<uint32_t>(fallback)));
}

uint16_t readBounded(ProfileFile& file, const char* section, const char* key, uint16_t fallback,
                     unsigned limit) {
    unsigned value = file.readInt(section, key, fallback);
    return value <= limit ? static_cast<uint16_t>(value) : fallback;
}

// Reads a text structure; false (and `text` untouched) when the value is absent or bad.
// The text ends at the first zero byte, and never later than the last byte of the area,
// which is where the writer would have had to put the terminator.
bool readText(ProfileFile& file, const char* section, const char* key, size_t areaSize, std::string& text) {
    std::vector<char> area(areaSize, '\0');
    if (!file.readStruct(section, key, area.data(), area.size())) return false;
    size_t length = 0;
    while (length + 1 < areaSize && area[length] != '\0') ++length;
    text.assign(area.data(), length);
    return true;
}

// The whole area is written, the terminator included; the bytes after it are zeros so that
// nothing of earlier texts leaks into the file.
void writeText(ProfileFile& file, const char* section, const char* key, size_t areaSize,
               const std::string& text) {
    std::vector<char> area(areaSize, '\0');
    size_t length = std::strlen(text.c_str());  // an embedded zero ends the text
    if (length > areaSize - 1) length = areaSize - 1;
    std::memcpy(area.data(), text.data(), length);
    file.writeStruct(section, key, area.data(), area.size());
}

// A profile reader trims blanks around a value and removes one pair of surrounding quotes,
// and a line break would end the value and start a new key. Names that would not read back
// as written are therefore cut at a line break and put in quotes.
std::string storableText(const std::string& text) {
    std::string value = text.substr(0, text.find_first_of("\r\n", 0));
    value = value.substr(0, std::strlen(value.c_str()));
    if (value.empty()) return value;
    char first = value.front(), last = value.back();
    bool quoted = value.size() > 1 && (first == '"' || first == '\'') && last == first;
    if (isProfileSpace(first) || isProfileSpace(last) || quoted) return '"' + value + '"';
    return value;
}

// The section a record lives in. Profile readers compare section names without their
// surrounding blanks and the writers start a new line at a line break, so a name with
// nothing else in it would address the unnamed lines at the top of the file: such a
// record lives in the first user's section instead.
std::string userSection(const QuitRecord& record) {
    const std::string& name = record.sectionName;
    for (char c : name) {
        if (c == '\r' || c == '\n') break;
        if (!isProfileSpace(c)) return name;
    }
    return kFirstUserSection;
}

}  // namespace

void loadSettings(QuitRecord& record, ProfileFile& file, TimeValue now) {
    const std::string section = userSection(record);
    const char* user = section.c_str();
    record.quitStart = file.readInt(user, "Start", now);
    for (size_t i = 0; i < kHotKeyCount; ++i) {
        record.hotKeyVk[i] = readBounded(file, user, kVkKeys[i], kDefaults.hotKeyVk[i], kVkLimit);
        record.hotKeyModifiers[i] =
            readBounded(file, user, kModifierKeys[i], kDefaults.hotKeyModifiers[i], kModifierLimit);
    }
    record.secondaryHotKeysEnabled = readSigned(file, user, "mirc", kDefaults.secondaryHotKeysEnabled);
    record.cigarettesPerDay = readSigned(file, user, "spd", kDefaults.cigarettesPerDay);
    record.packPriceWhole = readSigned(file, user, "cph", kDefaults.packPriceWhole);
    record.packPriceHundredths = readSigned(file, user, "cptu", kDefaults.packPriceHundredths);
    record.cigarettesPerPack = readSigned(file, user, "cpp", kDefaults.cigarettesPerPack);
    record.tipShowsNotSmoked = readSigned(file, user, "wns", kDefaults.tipShowsNotSmoked);
    record.tipShowsMoneySaved = readSigned(file, user, "wc", kDefaults.tipShowsMoneySaved);
    record.tipShowsSeconds = readSigned(file, user, "ws", kDefaults.tipShowsSeconds);
    record.tipShowsLifeSaved = readSigned(file, user, "ls", kDefaults.tipShowsLifeSaved);
    // Written widened with its sign: 4294967295 narrows back to -1.
    record.showOnTaskbar = static_cast<int16_t>(readSigned(file, user, "sotb", kDefaults.showOnTaskbar));
    std::string defaultName = record.sectionName.substr(0, kUserNameMax);
    record.userName = file.readString(user, "Name", defaultName.c_str(), kUserNameMax);
    record.lastBuild = readSigned(file, kProgramSection, "Build", kDefaults.lastBuild);
    if (!readText(file, user, kTextKeys[0], storedArea(0), record.hotPasteTexts[0]))
        record.hotPasteTexts[0] = kDefaultPrimaryText;
    // A secondary text that is missing or unreadable keeps what the record held: the texts
    // start empty, and a damaged value must not wipe a text the user has in memory.
    for (size_t i = 1; i < kHotKeyCount; ++i)
        readText(file, user, kTextKeys[i], storedArea(i), record.hotPasteTexts[i]);
    recomputeRates(record);
}

void saveSettings(const QuitRecord& record, ProfileFile& file) {
    const std::string section = userSection(record);
    const char* user = section.c_str();
    for (size_t i = 0; i < kHotKeyCount; ++i) {
        writeNumber(file, user, kVkKeys[i], record.hotKeyVk[i]);
        writeNumber(file, user, kModifierKeys[i], record.hotKeyModifiers[i]);
    }
    writeNumber(file, user, "mirc", static_cast<uint32_t>(record.secondaryHotKeysEnabled));
    writeNumber(file, user, "Start", record.quitStart);
    writeNumber(file, user, "spd", static_cast<uint32_t>(record.cigarettesPerDay));
    writeNumber(file, user, "cph", static_cast<uint32_t>(record.packPriceWhole));
    writeNumber(file, user, "cptu", static_cast<uint32_t>(record.packPriceHundredths));
    writeNumber(file, user, "cpp", static_cast<uint32_t>(record.cigarettesPerPack));
    writeNumber(file, user, "wns", static_cast<uint32_t>(record.tipShowsNotSmoked));
    writeNumber(file, user, "wc", static_cast<uint32_t>(record.tipShowsMoneySaved));
    writeNumber(file, user, "ws", static_cast<uint32_t>(record.tipShowsSeconds));
    writeNumber(file, user, "ls", static_cast<uint32_t>(record.tipShowsLifeSaved));
    writeNumber(file, kProgramSection, "Build", static_cast<uint32_t>(record.lastBuild));
    writeNumber(file, user, "sotb", static_cast<uint32_t>(static_cast<int32_t>(record.showOnTaskbar)));
    std::string name = storableText(record.userName.substr(0, kUserNameMax));
    file.writeString(user, "Name", name.c_str());
    for (size_t i = 0; i < kHotKeyCount; ++i)
        writeText(file, user, kTextKeys[i], storedArea(i), record.hotPasteTexts[i]);
}

}  // namespace kalverin
