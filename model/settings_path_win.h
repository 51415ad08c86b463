// Where the settings file lives: %APPDATA%\Kalverin\kalverin.ini, moved over from the
// Windows directory where older versions kept it. Paths are UTF-8 text, reached through the
// wide file calls, so that a profile folder outside the ANSI code page works.
#pragma once
#include <string>

#include "model/ini_file.h"
#include "model/profile.h"
#include "model/profile_disk_win.h"
#include "model/settings_move.h"

namespace kalverin {

// %APPDATA%\Kalverin\kalverin.ini, with the folder created when it can be. APPDATA comes from
// the environment first (so that a caller can give the program a folder of its own), else from
// the shell. Never the Windows directory, which a standard user cannot write: when the folder
// cannot be made, the path is still this one and saves there report the failure; when no
// application-data folder is known at all, the path is empty and every save fails.
std::string settingsFilePath();
// kalverin.ini in the Windows directory, where the file used to be kept; only ever read.
std::string legacySettingsFilePath();

// The platform's file calls the move needs.
class Win32SettingsFileSystem : public SettingsFileSystem {
public:
    bool exists(const std::string& path) override;
    void copy(const std::string& from, const std::string& to) override;
    bool samePath(const std::string& a, const std::string& b) override;
};

// The two profile files and the file calls a MovingSettingsFile works on, held before it is
// built.
struct SettingsFileParts {
    Win32ProfileDisk disk;
    Win32ProfileDisk legacyDisk;
    IniProfileFile current;
    IniProfileFile legacy;
    Win32SettingsFileSystem files;
};

// The settings file at `path`, moved from `legacyPath` as MovingSettingsFile does.
class SettingsFile : private SettingsFileParts, public MovingSettingsFile {
public:
    SettingsFile(std::string path, std::string legacyPath);
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;
    const std::string& path() const { return current.path(); }
};

}  // namespace kalverin
