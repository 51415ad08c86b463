// Loading and saving the quit record in its section of the settings file.
#pragma once
#include "model/profile.h"
#include "model/quit_record.h"

namespace kalverin {

constexpr const char* kSettingsFileName = "kalverin.ini";
constexpr const char* kProgramSection = "Kalverin";

// Reads every key (missing or bad ones take their defaults); `now` stands in for a missing Start.
void loadSettings(QuitRecord& record, ProfileFile& file, TimeValue now);
// Writes every key in the file's order.
void saveSettings(const QuitRecord& record, ProfileFile& file);

}  // namespace kalverin
