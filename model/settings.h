// Loading and saving the quit record in its section of the settings file.
#pragma once
#include <array>
#include <string>
#include <variant>

#include "model/profile.h"
#include "model/quit_record.h"

namespace kalverin {

constexpr const char* kSettingsFileName = "kalverin.ini";
constexpr const char* kProgramSection = "Kalverin";

enum class SettingsSection { user, program };
// What a key that is missing or cannot be read leaves in its field.
enum class SettingsFallback { freshRecord, now, sectionName, builtInText, unchanged };

// The field a key carries: a number of one of the record's widths, or a text.
using SettingsField = std::variant<uint32_t*, int32_t*, int16_t*, uint16_t*, std::string*>;

struct SettingsKey {
    const char* name;
    SettingsSection section;
    SettingsFallback fallback;
    int readOrder;   // place in the order loadSettings reads the keys
    unsigned limit;  // a larger number cannot have been written by the program: read as missing
    size_t area;     // bytes of a text stored as a structure; 0 for a number or a plain text
    SettingsField (*field)(QuitRecord& record);
};

constexpr size_t kSettingsKeyCount = 28;
// Every key of the file, in the order saveSettings writes them.
extern const std::array<SettingsKey, kSettingsKeyCount> kSettingsKeys;

// Reads every key (missing or bad ones take their defaults); `now` stands in for a missing Start.
void loadSettings(QuitRecord& record, ProfileFile& file, TimeValue now);
// Writes every key in the file's order, all of them or (when the save fails) none.
SaveResult saveSettings(const QuitRecord& record, ProfileFile& file);
// The value of the key's field as text (numbers as written, texts whole): two records keep
// the same value under a key exactly when these texts are equal.
std::string settingsFieldText(const SettingsKey& key, const QuitRecord& record);

}  // namespace kalverin
