// Helpers shared by the settings tests, natively and under Wine.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "model/quit_record.h"

namespace kalverin {

inline std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeAll(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Every field the settings file keeps is the same in both records.
inline void expectSameStored(const QuitRecord& a, const QuitRecord& b) {
    EXPECT_EQ(a.userName, b.userName);
    EXPECT_EQ(a.quitStart, b.quitStart);
    EXPECT_EQ(a.cigarettesPerDay, b.cigarettesPerDay);
    EXPECT_EQ(a.packPriceWhole, b.packPriceWhole);
    EXPECT_EQ(a.packPriceHundredths, b.packPriceHundredths);
    EXPECT_EQ(a.cigarettesPerPack, b.cigarettesPerPack);
    EXPECT_EQ(a.tipShowsNotSmoked, b.tipShowsNotSmoked);
    EXPECT_EQ(a.tipShowsMoneySaved, b.tipShowsMoneySaved);
    EXPECT_EQ(a.tipShowsSeconds, b.tipShowsSeconds);
    EXPECT_EQ(a.tipShowsLifeSaved, b.tipShowsLifeSaved);
    EXPECT_EQ(a.showOnTaskbar, b.showOnTaskbar);
    EXPECT_EQ(a.secondaryHotKeysEnabled, b.secondaryHotKeysEnabled);
    for (size_t i = 0; i < kHotKeyCount; ++i) {
        EXPECT_EQ(a.hotKeyVk[i], b.hotKeyVk[i]) << i;
        EXPECT_EQ(a.hotKeyModifiers[i], b.hotKeyModifiers[i]) << i;
        EXPECT_EQ(a.hotPasteTexts[i], b.hotPasteTexts[i]) << i;
    }
    EXPECT_EQ(a.lastBuild, b.lastBuild);
}

}  // namespace kalverin
