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

// Every field the settings file keeps is the same in both records.
inline void expectSameStored(const QuitRecord& a, const QuitRecord& b) {
    for (const SettingsKey& key : kSettingsKeys)
        EXPECT_EQ(settingsFieldText(key, a), settingsFieldText(key, b)) << key.name;
}

}  // namespace kalverin
