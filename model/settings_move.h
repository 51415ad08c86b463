// The settings file at its new place, read from the place older versions used until the
// first write moves it over.
#pragma once
#include <string>

#include "model/profile.h"

namespace kalverin {

// The operations on whole files the move needs: the platform's file calls in the program.
class SettingsFileSystem {
public:
    virtual ~SettingsFileSystem() = default;
    virtual bool exists(const std::string& path) = 0;
    // Copies `from` to `to` unless `to` exists; the copy is left writable.
    virtual void copy(const std::string& from, const std::string& to) = 0;
    // Whether the two paths name the same file (case-insensitively on Windows).
    virtual bool samePath(const std::string& a, const std::string& b) = 0;
};

// While the file at `path` does not exist and one exists at `legacyPath`, reads come from the
// legacy file; the first write copies the legacy file to `path` (so that every user's section
// moves along) and from then on reads and writes go to `path` only (should writes there fail,
// reads stay with the legacy file). The legacy file is never changed.
class MovingSettingsFile : public ProfileFile {
public:
    MovingSettingsFile(ProfileFile& current, std::string path, ProfileFile& legacy, std::string legacyPath,
                       SettingsFileSystem& files);

    unsigned readInt(const char* section, const char* key, unsigned fallback) override;
    std::string readString(const char* section, const char* key, const char* fallback,
                           size_t maxChars) override;
    bool readStruct(const char* section, const char* key, void* area, size_t size) override;
    void writeString(const char* section, const char* key, const char* value) override;
    void writeStruct(const char* section, const char* key, const void* area, size_t size) override;
    SaveResult save(const std::function<void(ProfileFile&)>& writes) override;

    bool readingLegacy() const { return readingLegacy_; }

private:
    ProfileFile& source() { return readingLegacy_ ? legacy_ : current_; }
    void copyLegacy();
    void afterWrite();

    ProfileFile& current_;
    std::string path_;
    ProfileFile& legacy_;
    std::string legacyPath_;
    SettingsFileSystem& files_;
    bool readingLegacy_;
};

}  // namespace kalverin
