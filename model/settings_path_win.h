// Where the settings file lives: %APPDATA%\Kalverin\kalverin.ini, moved over from the
// Windows directory where older versions kept it.
#pragma once
#include <string>

#include "model/profile.h"
#include "model/profile_win.h"
#include "model/settings_move.h"

namespace kalverin {

// %APPDATA%\Kalverin\kalverin.ini, with the folder created. APPDATA comes from the
// environment first (so that a caller can give the program a folder of its own), else from
// the shell; when neither answers, the legacy path.
std::string settingsFilePath();
// kalverin.ini in the Windows directory, where the file used to be kept.
std::string legacySettingsFilePath();

// The platform's file calls the move needs.
class Win32SettingsFileSystem : public SettingsFileSystem {
public:
    bool exists(const std::string& path) override;
    void copy(const std::string& from, const std::string& to) override;
    bool samePath(const std::string& a, const std::string& b) override;
};

// The two Win32 profile files and the file calls a MovingSettingsFile works on, held
// before it is built.
struct SettingsFileParts {
    Win32ProfileFile current;
    Win32ProfileFile legacy;
    Win32SettingsFileSystem files;
};

// The settings file at `path`, moved from `legacyPath` as MovingSettingsFile does.
class SettingsFile : private SettingsFileParts, public MovingSettingsFile {
public:
    SettingsFile(std::string path, std::string legacyPath);
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;
};

}  // namespace kalverin
