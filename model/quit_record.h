// The user's quit details and options, as held in memory for the whole run.
#pragma once
#include <cstdint>
#include <string>

namespace kalverin {

constexpr size_t kUserNameMax = 99;          // characters; a 100-byte field
constexpr size_t kPrimaryTextStored = 1020;  // bytes of the primary text kept in the file
constexpr size_t kPrimaryTextMax = 8191;     // characters the primary buffer holds
constexpr size_t kSecondaryTextMax = 499;    // characters; a 500-byte field, stored whole
constexpr size_t kSecondaryTextStored = 500;
constexpr size_t kRenderMax = 8191;  // characters of one rendering (renderBuffer)
constexpr size_t kHotKeyCount = 5;
constexpr int kMinutesPerDay = 1440;
constexpr int kCurrentBuild = 151;
constexpr int kWelcomeBelowBuild = 150;

// Seconds since 1970-01-01 00:00 UTC, unsigned so that dates up to 2106 fit.
using TimeValue = uint32_t;

// Stored modifier bits, as the key-combination controls report them (HOTKEYF_*; only the
// Ctrl bit has the value of its RegisterHotKey counterpart, MOD_CONTROL).
constexpr unsigned kStoredShift = 1, kStoredControl = 2, kStoredAlt = 4, kStoredExtended = 8;
// The keys of the default combinations as the platform numbers them: VK_OEM_PLUS (the key with
// the equals and plus signs) for the primary text, VK_F9 to VK_F12 for the others, all with Ctrl.
constexpr uint16_t kVkOemPlus = 187;
constexpr uint16_t kVkF9 = 120;
constexpr uint16_t kVkF10 = 121;
constexpr uint16_t kVkF11 = 122;
constexpr uint16_t kVkF12 = 123;

extern const char* const kDefaultPrimaryText;
// The section of a user the command line does not name.
constexpr const char* kFirstUserSection = "User 1";

struct QuitRecord {
    std::string sectionName = kFirstUserSection;
    std::string userName;
    TimeValue quitStart = 0;
    int32_t cigarettesPerDay = 0;
    int32_t packPriceWhole = 0;
    int32_t packPriceHundredths = 0;
    int32_t cigarettesPerPack = 20;
    int32_t tipShowsNotSmoked = 1;
    int32_t tipShowsMoneySaved = 1;
    int32_t tipShowsSeconds = 1;
    int32_t tipShowsLifeSaved = 1;
    int16_t showOnTaskbar = -1;
    int32_t secondaryHotKeysEnabled = 0;
    uint16_t hotKeyVk[kHotKeyCount] = {kVkOemPlus, kVkF9, kVkF10, kVkF11, kVkF12};
    uint16_t hotKeyModifiers[kHotKeyCount] = {kStoredControl, kStoredControl, kStoredControl, kStoredControl,
                                              kStoredControl};
    std::string hotPasteTexts[kHotKeyCount];
    int32_t lastBuild = 100;

    // Derived, never stored.
    float moneyPerMinute = 0.0f;
    float cigarettesPerMinute = 0.0f;
    int32_t minutesPerDay = kMinutesPerDay;
};

// Recomputes moneyPerMinute and cigarettesPerMinute from the habit fields.
void recomputeRates(QuitRecord& record);

}  // namespace kalverin
