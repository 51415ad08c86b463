#include "model/settings_move.h"

#include <utility>

namespace kalverin {

MovingSettingsFile::MovingSettingsFile(ProfileFile& current, std::string path, ProfileFile& legacy,
                                       std::string legacyPath, SettingsFileSystem& files)
    : current_(current),
      path_(std::move(path)),
      legacy_(legacy),
      legacyPath_(std::move(legacyPath)),
      files_(files),
      readingLegacy_(false) {
    readingLegacy_ =
        !files_.exists(path_) && files_.exists(legacyPath_) && !files_.samePath(path_, legacyPath_);
}

void MovingSettingsFile::copyLegacy() {
    // Copy first: the file may hold other users' sections, which must not be left behind.
    if (readingLegacy_) files_.copy(legacyPath_, path_);
}

// Reads move to the new file only once it exists: while writes there fail (no folder, no
// room), the user's record keeps coming from the legacy file rather than from nothing.
void MovingSettingsFile::afterWrite() {
    if (readingLegacy_ && files_.exists(path_)) readingLegacy_ = false;
}

unsigned MovingSettingsFile::readInt(const char* section, const char* key, unsigned fallback) {
    return source().readInt(section, key, fallback);
}

std::string MovingSettingsFile::readString(const char* section, const char* key, const char* fallback,
                                           size_t maxChars) {
    return source().readString(section, key, fallback, maxChars);
}

bool MovingSettingsFile::readStruct(const char* section, const char* key, void* area, size_t size) {
    return source().readStruct(section, key, area, size);
}

void MovingSettingsFile::writeString(const char* section, const char* key, const char* value) {
    copyLegacy();
    current_.writeString(section, key, value);
    afterWrite();
}

void MovingSettingsFile::writeStruct(const char* section, const char* key, const void* area, size_t size) {
    copyLegacy();
    current_.writeStruct(section, key, area, size);
    afterWrite();
}

SaveResult MovingSettingsFile::save(const std::function<void(ProfileFile&)>& writes) {
    copyLegacy();
    SaveResult result = current_.save(writes);
    afterWrite();
    return result;
}

}  // namespace kalverin
