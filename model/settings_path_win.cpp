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

SettingsFile::SettingsFile(std::string path, std::string legacyPath)
    : current_(std::move(path)), legacy_(std::move(legacyPath)), readingLegacy_(false) {
    readingLegacy_ = !fileExists(current_.path()) && fileExists(legacy_.path()) &&
                     lstrcmpiA(current_.path().c_str(), legacy_.path().c_str()) != 0;
}

void SettingsFile::copyLegacy() {
    if (!readingLegacy_) return;
    // Copy first: the file may hold other users' sections, which must not be left behind.
    // A read-only legacy file would give a read-only copy that no write could change.
    if (CopyFileA(legacy_.path().c_str(), current_.path().c_str(), TRUE)) {
        DWORD attributes = GetFileAttributesA(current_.path().c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            SetFileAttributesA(current_.path().c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
}

// Reads move to the new file only once it exists: while writes there fail (no folder, no
// room), the user's record keeps coming from the legacy file rather than from nothing.
void SettingsFile::afterWrite() {
    if (readingLegacy_ && fileExists(current_.path())) readingLegacy_ = false;
}

unsigned SettingsFile::readInt(const char* section, const char* key, unsigned fallback) {
    return source().readInt(section, key, fallback);
}

std::string SettingsFile::readString(const char* section, const char* key, const char* fallback,
                                     size_t maxChars) {
    return source().readString(section, key, fallback, maxChars);
}

bool SettingsFile::readStruct(const char* section, const char* key, void* area, size_t size) {
    return source().readStruct(section, key, area, size);
}

void SettingsFile::writeString(const char* section, const char* key, const char* value) {
    copyLegacy();
    current_.writeString(section, key, value);
    afterWrite();
}

void SettingsFile::writeStruct(const char* section, const char* key, const void* area, size_t size) {
    copyLegacy();
    current_.writeStruct(section, key, area, size);
    afterWrite();
}

}  // namespace kalverin
