// Any bytes as a settings file: loading must not fail, must keep every text within its
// limits, and what it loads must survive a save and a second load unchanged, both in a
// fresh file and written over the damaged one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/ini_file.h"
#include "model/settings.h"

namespace {

using kalverin::QuitRecord;

constexpr kalverin::TimeValue kNow = 1017240312;

void require(bool condition) {
    if (!condition) std::abort();
}

void requireSame(const QuitRecord& a, const QuitRecord& b) {
    require(a.userName == b.userName);
    require(a.quitStart == b.quitStart);
    require(a.cigarettesPerDay == b.cigarettesPerDay);
    require(a.packPriceWhole == b.packPriceWhole);
    require(a.packPriceHundredths == b.packPriceHundredths);
    require(a.cigarettesPerPack == b.cigarettesPerPack);
    require(a.tipShowsNotSmoked == b.tipShowsNotSmoked);
    require(a.tipShowsMoneySaved == b.tipShowsMoneySaved);
    require(a.tipShowsSeconds == b.tipShowsSeconds);
    require(a.tipShowsLifeSaved == b.tipShowsLifeSaved);
    require(a.showOnTaskbar == b.showOnTaskbar);
    require(a.secondaryHotKeysEnabled == b.secondaryHotKeysEnabled);
    for (size_t i = 0; i < kalverin::kHotKeyCount; ++i) {
        require(a.hotKeyVk[i] == b.hotKeyVk[i]);
        require(a.hotKeyModifiers[i] == b.hotKeyModifiers[i]);
        require(a.hotPasteTexts[i] == b.hotPasteTexts[i]);
    }
    require(a.lastBuild == b.lastBuild);
}

QuitRecord loadFrom(kalverin::IniProfileFile& file) {
    QuitRecord record;
    kalverin::loadSettings(record, file, kNow);
    return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // In memory: the profile rules are the same as on disk, and a file rewritten for every
    // key would hold the fuzzer to a few dozen inputs a second.
    auto damaged = kalverin::IniProfileFile::inMemory(std::string(reinterpret_cast<const char*>(data), size));
    auto fresh = kalverin::IniProfileFile::inMemory("");

    QuitRecord loaded = loadFrom(damaged);
    require(loaded.userName.size() <= kalverin::kUserNameMax);
    require(loaded.hotPasteTexts[0].size() < kalverin::kPrimaryTextStored);
    for (size_t i = 1; i < kalverin::kHotKeyCount; ++i)
        require(loaded.hotPasteTexts[i].size() <= kalverin::kSecondaryTextMax);
    require(loaded.hotKeyVk[0] <= 0xFF && loaded.hotKeyModifiers[0] <= 0x0F);

    kalverin::saveSettings(loaded, fresh);
    requireSame(loaded, loadFrom(fresh));

    kalverin::saveSettings(loaded, damaged);
    requireSame(loaded, loadFrom(damaged));
    return 0;
}
