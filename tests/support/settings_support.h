// Helpers shared by the settings tests, natively and under Wine.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "model/settings.h"

namespace kalverin {

inline std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeAll(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A record with every stored field away from its default: a name with quotes, an equals sign
// and a byte above 127, a quit beyond 2038, texts with line breaks and odd bytes.
inline QuitRecord unusualRecord() {
    QuitRecord r;
    r.userName = "Ann O'Neil \xC9lise = \"Annie\"";
    r.quitStart = 4102444800u;  // 2100-01-01
    r.cigarettesPerDay = 35;
    r.packPriceWhole = 12;
    r.packPriceHundredths = 99;
    r.cigarettesPerPack = 25;
    r.tipShowsNotSmoked = r.tipShowsSeconds = r.tipShowsLifeSaved = 0;
    r.showOnTaskbar = 0;
    r.secondaryHotKeysEnabled = 1;
    for (size_t i = 0; i < kHotKeyCount; ++i) {
        r.hotKeyVk[i] = static_cast<uint16_t>(0x70 + i);
        r.hotKeyModifiers[i] = static_cast<uint16_t>(15 - i);
        r.hotPasteTexts[i] = "text " + std::to_string(i) + " {+C}\r\nnext \xE9\xFF\x01 [x]=y";
    }
    r.lastBuild = 151;
    return r;
}

// Every field the settings file keeps is the same in both records.
inline void expectSameStored(const QuitRecord& a, const QuitRecord& b) {
    for (const SettingsKey& key : kSettingsKeys)
        EXPECT_EQ(settingsFieldText(key, a), settingsFieldText(key, b)) << key.name;
}

}  // namespace kalverin
