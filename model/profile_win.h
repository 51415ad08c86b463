// The private-profile file through the Win32 profile functions, given a full path so that
// the functions never fall back to the Windows directory.
#pragma once
#include <string>

#include "model/profile.h"

namespace kalverin {

class Win32ProfileFile : public ProfileFile {
public:
    explicit Win32ProfileFile(std::string path) : path_(std::move(path)) {}

    unsigned readInt(const char* section, const char* key, unsigned fallback) override;
    std::string readString(const char* section, const char* key, const char* fallback,
                           size_t maxChars) override;
    bool readStruct(const char* section, const char* key, void* area, size_t size) override;
    void writeString(const char* section, const char* key, const char* value) override;
    void writeStruct(const char* section, const char* key, const void* area, size_t size) override;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace kalverin
