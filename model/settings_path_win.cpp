#include "model/settings_path_win.h"

#include <windows.h>
// After windows.h, which they need.
#include <knownfolders.h>
#include <shlobj.h>

#include "model/settings.h"

namespace kalverin {
namespace {

constexpr const wchar_t* kSettingsFolder = L"Kalverin";

DWORD attributesOf(const std::wstring& path) {
    return GetFileAttributesW(path.c_str());
}

bool fileExists(const std::wstring& path) {
    DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring withoutTrailingSlash(std::wstring path) {
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return path;
}

std::wstring appDataFolder() {
    // The environment's value may be of any length: asked for its size first.
    DWORD size = GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
    if (size > 1) {
        std::wstring value(size, L'\0');
        DWORD length = GetEnvironmentVariableW(L"APPDATA", &value[0], size);
        if (length > 0 && length < size) return withoutTrailingSlash(value.substr(0, length));
    }
    wchar_t* folder = nullptr;
    std::wstring found;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &folder)) && folder)
        found = withoutTrailingSlash(folder);
    CoTaskMemFree(folder);  // the shell allocates it even when the call fails
    return found;
}

// Creates the folder and any missing parents; true when it exists afterwards.
bool ensureFolder(const std::wstring& folder) {
    for (size_t at = folder.find_first_of(L"\\/", 3); at != std::wstring::npos;
         at = folder.find_first_of(L"\\/", at + 1))
        CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);  // existing parents fail, fine
    CreateDirectoryW(folder.c_str(), nullptr);
    DWORD attributes = attributesOf(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string legacySettingsFilePath() {
    wchar_t buffer[MAX_PATH];
    UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    return utf8Text(withoutTrailingSlash(std::wstring(buffer, length)) + L"\\") + kSettingsFileName;
}

std::string settingsFilePath() {
    const std::wstring base = appDataFolder();
    if (base.empty()) return std::string();
    const std::wstring folder = base + L"\\" + kSettingsFolder;
    // A folder that cannot be made shows at the first save, which names the file.
    ensureFolder(folder);
    return utf8Text(folder + L"\\") + kSettingsFileName;
}

bool Win32SettingsFileSystem::exists(const std::string& path) {
    return !path.empty() && fileExists(wideText(path));
}

void Win32SettingsFileSystem::copy(const std::string& from, const std::string& to) {
    const std::wstring target = wideText(to);
    // A read-only legacy file would give a read-only copy that no save could replace.
    if (CopyFileW(wideText(from).c_str(), target.c_str(), TRUE)) {
        DWORD attributes = attributesOf(target);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            SetFileAttributesW(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
}

bool Win32SettingsFileSystem::samePath(const std::string& a, const std::string& b) {
    return lstrcmpiW(wideText(a).c_str(), wideText(b).c_str()) == 0;
}

SettingsFile::SettingsFile(std::string path, std::string legacyPath)
    : SettingsFileParts{{}, {}, IniProfileFile(path, disk), IniProfileFile(legacyPath, legacyDisk), {}},
      MovingSettingsFile(current, path, legacy, legacyPath, files) {}

}  // namespace kalverin
