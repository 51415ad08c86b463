#include "model/settings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace kalverin {
namespace {

// A missing key reads as the value a fresh record has.
const QuitRecord kDefaults;

// The largest virtual-key code and the modifier bits a key-combination control produces.
// Anything beyond them cannot have been written by the program and would register a
// combination nobody chose, so it counts as a missing key.
constexpr unsigned kVkLimit = 0xFF;
constexpr unsigned kModifierLimit = 0x0F;
constexpr unsigned kNoLimit = 0xFFFFFFFFu;

void writeNumber(ProfileFile& file, const char* section, const char* key, uint32_t value) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%u", static_cast<unsigned>(value));
    file.writeString(section, key, digits);
}

// Reads a text structure; false (and `text` untouched) when the value is absent or bad.
// The text ends at the first zero byte, and never later than the last byte of the area,
// which is where the writer would have had to put the terminator.
bool readText(ProfileFile& file, const char* section, const char* key, size_t areaSize, std::string& text) {
    std::string area(areaSize, '\0');
    if (!file.readStruct(section, key, &area[0], area.size())) return false;
    area.resize(std::min(std::strlen(area.c_str()), areaSize - 1));
    text = std::move(area);
    return true;
}

// The whole area is written, the terminator included; the bytes after it are zeros so that
// nothing of earlier texts leaks into the file.
void writeText(ProfileFile& file, const char* section, const char* key, size_t areaSize,
               const std::string& text) {
    std::string area(text.c_str(),
                     std::min(std::strlen(text.c_str()), areaSize - 1));  // a zero ends the text
    area.resize(areaSize, '\0');
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

// Numbers are written with "%u" of the full 32 bits: the 16-bit fields widened without their
// sign, except showOnTaskbar, which keeps it (true, -1, is written as 4294967295).
uint32_t widened(const SettingsField& field) {
    if (auto p = std::get_if<uint32_t*>(&field)) return **p;
    if (auto p = std::get_if<int32_t*>(&field)) return static_cast<uint32_t>(**p);
    if (auto p = std::get_if<int16_t*>(&field)) return static_cast<uint32_t>(static_cast<int32_t>(**p));
    if (auto p = std::get_if<uint16_t*>(&field)) return **p;
    return 0;
}

// Narrowed to the field's width, so the digits 4294967295 come back as -1 in a 16-bit flag.
void narrow(const SettingsField& field, uint32_t value) {
    if (auto p = std::get_if<uint32_t*>(&field)) **p = value;
    if (auto p = std::get_if<int32_t*>(&field)) **p = static_cast<int32_t>(value);
    if (auto p = std::get_if<int16_t*>(&field)) **p = static_cast<int16_t>(static_cast<int32_t>(value));
    if (auto p = std::get_if<uint16_t*>(&field)) **p = static_cast<uint16_t>(value);
}

// Saving and comparing only read the record: the one access function serves them too.
SettingsField fieldOf(const SettingsKey& key, const QuitRecord& record) {
    return key.field(const_cast<QuitRecord&>(record));
}

const char* sectionOf(const SettingsKey& key, const std::string& user) {
    return key.section == SettingsSection::program ? kProgramSection : user.c_str();
}

void loadKey(const SettingsKey& key, QuitRecord& record, ProfileFile& file, const std::string& user,
             TimeValue now) {
    const char* section = sectionOf(key, user);
    SettingsField field = key.field(record);
    std::string* const* text = std::get_if<std::string*>(&field);
    if (!text) {
        uint32_t fallback = key.fallback == SettingsFallback::now ? now : widened(fieldOf(key, kDefaults));
        uint32_t value = file.readInt(section, key.name, fallback);
        narrow(field, value <= key.limit ? value : fallback);
    } else if (key.area == 0) {
        std::string defaultName = record.sectionName.substr(0, kUserNameMax);
        **text = file.readString(section, key.name, defaultName.c_str(), kUserNameMax);
    } else if (!readText(file, section, key.name, key.area, **text)) {
        // A secondary text that is missing or unreadable keeps what the record held: the texts
        // start empty, and a damaged value must not wipe a text the user has in memory.
        if (key.fallback == SettingsFallback::builtInText) **text = kDefaultPrimaryText;
    }
}

void saveKey(const SettingsKey& key, const QuitRecord& record, ProfileFile& file, const std::string& user) {
    const char* section = sectionOf(key, user);
    SettingsField field = fieldOf(key, record);
    std::string* const* text = std::get_if<std::string*>(&field);
    if (!text) {
        writeNumber(file, section, key.name, widened(field));
    } else if (key.area == 0) {
        file.writeString(section, key.name, storableText((*text)->substr(0, kUserNameMax)).c_str());
    } else {
        writeText(file, section, key.name, key.area, **text);
    }
}

}  // namespace

// The file's keys with the field each carries, in the order they are written. A number's
// default is what a fresh record holds; readOrder is the order loadSettings reads them in.
constexpr std::array<SettingsKey, kSettingsKeyCount> kSettingsKeys = {{
    // clang-format off
    // name    section                   fallback                          read limit           area
    {"hkv",   SettingsSection::user,    SettingsFallback::freshRecord,    1,  kVkLimit,       0,
     [](QuitRecord& r) -> SettingsField { return &r.hotKeyVk[0]; }},
    {"hmod",  SettingsSection::user,    SettingsFallback::freshRecord,    2,  kModifierLimit, 0,
     [](QuitRecord& r) -> SettingsField { return &r.hotKeyModifiers[0]; }},
    {"hkv1",  SettingsSection::user,    SettingsFallback::freshRecord,    3,  kVkLimit,       0,
     [](QuitRecord& r) -> SettingsField { return &r.hotKeyVk[1]; }},
    {"hmod1", SettingsSection::user,    SettingsFallback::freshRecord,    4,  kModifierLimit, 0,
     [](QuitRecord& r) -> SettingsField { return &r.hotKeyModifiers[1]; }},
    {"hkv2",  SettingsSection::user,    SettingsFallback::freshRecord,    5,  kVkLimit,       0,
     [](QuitRecord& r) -> SettingsField { return &r.hotKeyVk[2]; }},
    {"hmod2", SettingsSection::user,    SettingsFallback::freshRecord,    6,  kModifierLimit, 0,
     [](QuitRecord& r) -> SettingsField { return &r.hotKeyModifiers[2]; }},
    {"hkv3",  SettingsSection::user,    SettingsFallback::freshRecord,    7,  kVkLimit,       0,
     [](QuitRecord& r) -> SettingsField { return &r.hotKeyVk[3]; }},
    {"hmod3", SettingsSection::user,    SettingsFallback::freshRecord,    8,  kModifierLimit, 0,
     [](QuitRecord& r) -> SettingsField { return &r.hotKeyModifiers[3]; }},
    {"hkv4",  SettingsSection::user,    SettingsFallback::freshRecord,    9,  kVkLimit,       0,
     [](QuitRecord& r) -> SettingsField { return &r.hotKeyVk[4]; }},
    {"hmod4", SettingsSection::user,    SettingsFallback::freshRecord,    10, kModifierLimit, 0,
     [](QuitRecord& r) -> SettingsField { return &r.hotKeyModifiers[4]; }},
    {"mirc",  SettingsSection::user,    SettingsFallback::freshRecord,    11, kNoLimit,       0,
     [](QuitRecord& r) -> SettingsField { return &r.secondaryHotKeysEnabled; }},
    {"Start", SettingsSection::user,    SettingsFallback::now,            0,  kNoLimit,       0,
     [](QuitRecord& r) -> SettingsField { return &r.quitStart; }},
    {"spd",   SettingsSection::user,    SettingsFallback::freshRecord,    12, kNoLimit,       0,
     [](QuitRecord& r) -> SettingsField { return &r.cigarettesPerDay; }},
    {"cph",   SettingsSection::user,    SettingsFallback::freshRecord,    13, kNoLimit,       0,
     [](QuitRecord& r) -> SettingsField { return &r.packPriceWhole; }},
    {"cptu",  SettingsSection::user,    SettingsFallback::freshRecord,    14, kNoLimit,       0,
     [](QuitRecord& r) -> SettingsField { return &r.packPriceHundredths; }},
    {"cpp",   SettingsSection::user,    SettingsFallback::freshRecord,    15, kNoLimit,       0,
     [](QuitRecord& r) -> SettingsField { return &r.cigarettesPerPack; }},
    {"wns",   SettingsSection::user,    SettingsFallback::freshRecord,    16, kNoLimit,       0,
     [](QuitRecord& r) -> SettingsField { return &r.tipShowsNotSmoked; }},
    {"wc",    SettingsSection::user,    SettingsFallback::freshRecord,    17, kNoLimit,       0,
     [](QuitRecord& r) -> SettingsField { return &r.tipShowsMoneySaved; }},
    {"ws",    SettingsSection::user,    SettingsFallback::freshRecord,    18, kNoLimit,       0,
     [](QuitRecord& r) -> SettingsField { return &r.tipShowsSeconds; }},
    {"ls",    SettingsSection::user,    SettingsFallback::freshRecord,    19, kNoLimit,       0,
     [](QuitRecord& r) -> SettingsField { return &r.tipShowsLifeSaved; }},
    {"Build", SettingsSection::program, SettingsFallback::freshRecord,    22, kNoLimit,       0,
     [](QuitRecord& r) -> SettingsField { return &r.lastBuild; }},
    {"sotb",  SettingsSection::user,    SettingsFallback::freshRecord,    20, kNoLimit,       0,
     [](QuitRecord& r) -> SettingsField { return &r.showOnTaskbar; }},
    {"Name",  SettingsSection::user,    SettingsFallback::sectionName,    21, kNoLimit,       0,
     [](QuitRecord& r) -> SettingsField { return &r.userName; }},
    {"Text",  SettingsSection::user,    SettingsFallback::builtInText,    23, kNoLimit,       kPrimaryTextStored,
     [](QuitRecord& r) -> SettingsField { return &r.hotPasteTexts[0]; }},
    {"Text1", SettingsSection::user,    SettingsFallback::unchanged,      24, kNoLimit,       kSecondaryTextStored,
     [](QuitRecord& r) -> SettingsField { return &r.hotPasteTexts[1]; }},
    {"Text2", SettingsSection::user,    SettingsFallback::unchanged,      25, kNoLimit,       kSecondaryTextStored,
     [](QuitRecord& r) -> SettingsField { return &r.hotPasteTexts[2]; }},
    {"Text3", SettingsSection::user,    SettingsFallback::unchanged,      26, kNoLimit,       kSecondaryTextStored,
     [](QuitRecord& r) -> SettingsField { return &r.hotPasteTexts[3]; }},
    {"Text4", SettingsSection::user,    SettingsFallback::unchanged,      27, kNoLimit,       kSecondaryTextStored,
     [](QuitRecord& r) -> SettingsField { return &r.hotPasteTexts[4]; }},
    // clang-format on
}};

namespace {

// loadSettings places each key at its readOrder: every place from 0 on taken exactly once.
constexpr bool readOrderIsPermutation() {
    for (size_t place = 0; place < kSettingsKeyCount; ++place) {
        size_t keys = 0;
        for (const SettingsKey& key : kSettingsKeys) keys += key.readOrder == static_cast<int>(place) ? 1 : 0;
        if (keys != 1) return false;
    }
    return true;
}
static_assert(readOrderIsPermutation(), "kSettingsKeys: each read place from 0 to the key count once");

}  // namespace

void loadSettings(QuitRecord& record, ProfileFile& file, TimeValue now) {
    const std::string user = userSection(record);
    std::array<const SettingsKey*, kSettingsKeyCount> inReadOrder;
    for (const SettingsKey& key : kSettingsKeys) inReadOrder[static_cast<size_t>(key.readOrder)] = &key;
    for (const SettingsKey* key : inReadOrder) loadKey(*key, record, file, user, now);
    recomputeRates(record);
}

SaveResult saveSettings(const QuitRecord& record, ProfileFile& file) {
    const std::string user = userSection(record);
    return file.save([&](ProfileFile& target) {
        for (const SettingsKey& key : kSettingsKeys) saveKey(key, record, target, user);
    });
}

std::string settingsFieldText(const SettingsKey& key, const QuitRecord& record) {
    SettingsField field = fieldOf(key, record);
    if (auto text = std::get_if<std::string*>(&field)) return **text;
    return std::to_string(widened(field));
}

}  // namespace kalverin
