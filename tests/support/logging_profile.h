// A settings file in memory, kept by the program's own INI code, that notes each access: every
// key in `keys` ("section/key", with "/size" for a structure) and, in a shared log, a run of
// loads or saves as one "load" or "save" line followed by the file's name.
#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "model/ini_file.h"

namespace kalverin {

class LoggingProfile : public ProfileFile {
public:
    explicit LoggingProfile(std::vector<std::string>* log = nullptr, std::string name = "")
        : log_(log), name_(std::move(name)) {}

    unsigned readInt(const char* section, const char* key, unsigned fallback) override {
        note("load", section, key);
        return file.readInt(section, key, fallback);
    }
    std::string readString(const char* section, const char* key, const char* fallback, size_t max) override {
        note("load", section, key);
        return file.readString(section, key, fallback, max);
    }
    bool readStruct(const char* section, const char* key, void* area, size_t size) override {
        note("load", section, key, size);
        return file.readStruct(section, key, area, size);
    }
    void writeString(const char* section, const char* key, const char* value) override {
        note("save", section, key);
        file.writeString(section, key, value);
    }
    void writeStruct(const char* section, const char* key, const void* area, size_t size) override {
        note("save", section, key, size);
        file.writeStruct(section, key, area, size);
    }

    // A refused save changes nothing, as a full disk or a locked file leaves the real one.
    SaveResult save(const std::function<void(ProfileFile&)>& writes) override {
        if (!refuses) return ProfileFile::save(writes);
        note("save", "", "");
        return {false, "C:\\Users\\\xD0\x96\xD0\xB0\xD0\xBD\\kalverin.ini", "The disk is full."};
    }

    // The file's contents, set and read without a note: "section/key" and its value.
    void set(const std::string& sectionAndKey, const std::string& value) {
        const size_t slash = sectionAndKey.find('/');
        file.writeString(sectionAndKey.substr(0, slash).c_str(), sectionAndKey.substr(slash + 1).c_str(),
                         value.c_str());
    }
    std::string value(const std::string& sectionAndKey) {
        const size_t slash = sectionAndKey.find('/');
        return file.readString(sectionAndKey.substr(0, slash).c_str(),
                               sectionAndKey.substr(slash + 1).c_str(), "", 65535);
    }

    IniProfileFile file = IniProfileFile::inMemory("");
    std::vector<std::string> keys;
    bool refuses = false;  // saves fail, as a full disk would make them

private:
    void note(const char* step, const char* section, const char* key, size_t size = 0) {
        keys.push_back(std::string(section) + "/" + key + (size ? "/" + std::to_string(size) : ""));
        const std::string line = step + name_;
        if (log_ && (log_->empty() || log_->back() != line)) log_->push_back(line);
    }
    std::vector<std::string>* log_;
    std::string name_;
};

}  // namespace kalverin
