// Where the settings file lives: %APPDATA%\Kalverin\kalverin.ini, read once from the
// Windows directory where older versions kept it.
#pragma once
#include <string>

#include "model/profile.h"
#include "model/profile_win.h"

namespace kalverin {

// %APPDATA%\Kalverin\kalverin.ini, with the folder created. APPDATA comes from the
// environment first (so that a caller can give the program a folder of its own), else from
// the shell; when neither answers, the legacy path.
std::string settingsFilePath();
// kalverin.ini in the Windows directory, where the file used to be kept.
std::string legacySettingsFilePath();

// The settings file at `path`. While that file does not exist and one exists at
// `legacyPath`, reads come from the legacy file; the first write copies the legacy file to
// `path` (so that every user's section moves along) and from then on reads and writes go to
// `path` only (should writes there fail, reads stay with the legacy file). The legacy file is
// never changed.
class SettingsFile : public ProfileFile {
public:
    SettingsFile(std::string path, std::string legacyPath);

    unsigned readInt(const char* section, const char* key, unsigned fallback) override;
    std::string readString(const char* section, const char* key, const char* fallback,
                           size_t maxChars) override;
    bool readStruct(const char* section, const char* key, void* area, size_t size) override;
    void writeString(const char* section, const char* key, const char* value) override;
    void writeStruct(const char* section, const char* key, const void* area, size_t size) override;

    bool readingLegacy() const { return readingLegacy_; }

private:
    ProfileFile& source() { return readingLegacy_ ? static_cast<ProfileFile&>(legacy_) : current_; }
    void copyLegacy();
    void afterWrite();

    Win32ProfileFile current_;
    Win32ProfileFile legacy_;
    bool readingLegacy_;
};

}  // namespace kalverin
