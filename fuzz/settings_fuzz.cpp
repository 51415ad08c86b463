// Any bytes as a settings file: loading must not fail, must keep every text within its
// limits, and what it loads must survive a save and a second load unchanged, both in a
// fresh file and written over the damaged one.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "model/ini_file.h"
#include "model/settings.h"

namespace {

using kalverin::QuitRecord;

constexpr kalverin::TimeValue kNow = 1017240312;

std::string scratchPath(const char* name) {
    // One folder per fuzzing process, so that parallel jobs do not share files.
    static const std::string folder = [] {
        std::error_code ignored;
        auto base = std::filesystem::temp_directory_path(ignored);
        std::string path =
            (base / ("kalverin-settings-fuzz-" + std::to_string(reinterpret_cast<std::uintptr_t>(&ignored))))
                .string();
        std::filesystem::create_directories(path, ignored);
        return path;
    }();
    return folder + "/" + name;
}

void writeBytes(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) std::abort();
    if (size) std::fwrite(data, 1, size, out);
    std::fclose(out);
}

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

QuitRecord loadFrom(const std::string& path) {
    QuitRecord record;
    kalverin::IniProfileFile file(path);
    kalverin::loadSettings(record, file, kNow);
    return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string damaged = scratchPath("damaged.ini"), fresh = scratchPath("fresh.ini");
    writeBytes(damaged, data, size);
    std::remove(fresh.c_str());

    QuitRecord loaded = loadFrom(damaged);
    require(loaded.userName.size() <= kalverin::kUserNameMax);
    require(loaded.hotPasteTexts[0].size() < kalverin::kPrimaryTextStored);
    for (size_t i = 1; i < kalverin::kHotKeyCount; ++i)
        require(loaded.hotPasteTexts[i].size() <= kalverin::kSecondaryTextMax);
    require(loaded.hotKeyVk[0] <= 0xFF && loaded.hotKeyModifiers[0] <= 0x0F);

    {
        kalverin::IniProfileFile file(fresh);
        kalverin::saveSettings(loaded, file);
    }
    requireSame(loaded, loadFrom(fresh));

    {
        kalverin::IniProfileFile file(damaged);
        kalverin::saveSettings(loaded, file);
    }
    requireSame(loaded, loadFrom(damaged));
    return 0;
}
