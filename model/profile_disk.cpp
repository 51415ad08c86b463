#include "model/profile_disk.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace kalverin {

StdioProfileDisk::~StdioProfileDisk() {
    if (out_) std::fclose(out_);
}

void StdioProfileDisk::fail(int error) {
    reason_ = std::strerror(error);
    if (!reason_.empty() && reason_.back() != '.') reason_ += '.';
}

// Plain C streams: they report failures by return value, never by throwing (a folder where
// the file should be makes the C++ stream iterators throw).
FileRead StdioProfileDisk::readAll(const std::string& path, std::string& bytes) {
    bytes.clear();
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) {
        const int error = errno;
        std::error_code ignored;
        if (error == ENOENT && !std::filesystem::exists(path, ignored)) return FileRead::absent;
        fail(error);
        return FileRead::unreadable;
    }
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.append(chunk, got);
    const bool failed = std::ferror(in) != 0;
    std::fclose(in);
    if (failed) fail(EIO);
    return failed ? FileRead::unreadable : FileRead::read;
}

bool StdioProfileDisk::createTemporary(const std::string& path, std::string& temporary) {
    temporary = temporaryNameFor(path, 0);
    out_ = std::fopen(temporary.c_str(), "wb");
    if (!out_) fail(errno);
    return out_ != nullptr;
}

bool StdioProfileDisk::write(const char* data, size_t size) {
    if (out_ && std::fwrite(data, 1, size, out_) == size) return true;
    fail(errno ? errno : EIO);
    return false;
}

bool StdioProfileDisk::flush() {
    if (!out_) return false;
    bool done = std::fflush(out_) == 0;
    done = std::fclose(out_) == 0 && done;  // a full disk may show only here
    out_ = nullptr;
    if (!done) fail(errno ? errno : EIO);
    return done;
}

bool StdioProfileDisk::replace(const std::string& temporary, const std::string& path) {
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) reason_ = error.message() + ".";
    return !error;
}

void StdioProfileDisk::remove(const std::string& temporary) {
    if (out_) std::fclose(out_);
    out_ = nullptr;
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
}

StdioProfileDisk& stdioProfileDisk() {
    static StdioProfileDisk disk;
    return disk;
}

}  // namespace kalverin
