#include "model/settings_path_win.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include "model/settings.h"

namespace kalverin {
namespace {

constexpr const char* kSettingsFolder = "Kalverin";

bool fileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

std::string appDataFolder() {
    char buffer[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("APPDATA", buffer, MAX_PATH);
    // 0: not set; MAX_PATH or more: the value did not fit and buffer holds nothing useful.
    if (length > 0 && length < MAX_PATH) return withoutTrailingSlash(buffer);
    if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                   buffer)))
        return withoutTrailingSlash(buffer);
    return std::string();
}

// Creates the folder and any missing parents; true when it exists afterwards.
bool ensureFolder(const std::string& folder) {
    for (size_t at = folder.find_first_of("\\/", 3); at != std::string::npos;
         at = folder.find_first_of("\\/", at + 1))
        CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);  // existing parents fail, fine
    CreateDirectoryA(folder.c_str(), nullptr);
    DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string legacySettingsFilePath() {
    char buffer[MAX_PATH];
    UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return kSettingsFileName;
    return withoutTrailingSlash(buffer) + "\\" + kSettingsFileName;
}

std::string settingsFilePath() {
    std::string base = appDataFolder();
    if (base.empty()) return legacySettingsFilePath();
    std::string folder = base + "\\" + kSettingsFolder;
    if (!ensureFolder(folder)) return legacySettingsFilePath();
    return folder + "\\" + kSettingsFileName;
}

bool Win32SettingsFileSystem::exists(const std::string& path) {
    return fileExists(path);
}

void Win32SettingsFileSystem::copy(const std::string& from, const std::string& to) {
    // A read-only legacy file would give a read-only copy that no write could change.
    if (CopyFileA(from.c_str(), to.c_str(), TRUE)) {
        DWORD attributes = GetFileAttributesA(to.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            SetFileAttributesA(to.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
}

bool Win32SettingsFileSystem::samePath(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

SettingsFile::SettingsFile(std::string path, std::string legacyPath)
    : SettingsFileParts{Win32ProfileFile(path), Win32ProfileFile(legacyPath), {}},
      MovingSettingsFile(current, path, legacy, legacyPath, files) {}

}  // namespace kalverin
