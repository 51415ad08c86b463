// The file calls a profile file is read and saved through: whole reads, and the steps of an
// atomic save (a temporary file beside the settings file, written, flushed and put in its
// place in one step). Paths are UTF-8 text; the Win32 side turns them into wide paths.
#pragma once
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

namespace kalverin {

enum class FileRead { read, absent, unreadable };

class ProfileDisk {
public:
    virtual ~ProfileDisk() = default;
    // The file's bytes; absent when there is no such file.
    virtual FileRead readAll(const std::string& path, std::string& bytes) = 0;
    // Creates a new file beside `path`, named in `temporary`, and keeps it open for writing.
    virtual bool createTemporary(const std::string& path, std::string& temporary) = 0;
    // Appends to the open temporary file.
    virtual bool write(const char* data, size_t size) = 0;
    // Forces what was written onto the disk and closes the temporary file.
    virtual bool flush() = 0;
    // Puts the temporary file in the place of `path` in one step, replacing the old file.
    virtual bool replace(const std::string& temporary, const std::string& path) = 0;
    // Closes the temporary file if it is still open and deletes it.
    virtual void remove(const std::string& temporary) = 0;
    // The system's reason for the last step that failed, as a sentence.
    virtual std::string failureReason() = 0;
};

// The C library's files; the tests and platforms without the Win32 calls use them.
class StdioProfileDisk : public ProfileDisk {
public:
    ~StdioProfileDisk() override;
    FileRead readAll(const std::string& path, std::string& bytes) override;
    bool createTemporary(const std::string& path, std::string& temporary) override;
    bool write(const char* data, size_t size) override;
    bool flush() override;
    bool replace(const std::string& temporary, const std::string& path) override;
    void remove(const std::string& temporary) override;
    std::string failureReason() override { return reason_; }

private:
    void fail(int error);
    std::FILE* out_ = nullptr;
    std::string reason_;
};

// One shared instance for files given no disk of their own.
StdioProfileDisk& stdioProfileDisk();

// A name beside `path` that no other save uses: the process, the clock's finest ticks and a
// count of this program's saves. A temporary file left behind by a crash is never read.
// Inline: the program links it without the C library's files above.
inline std::string temporaryNameFor(const std::string& path, unsigned process) {
    static unsigned saves = 0;
    auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%x.%08x%04x.tmp", process,
                  static_cast<unsigned>(static_cast<unsigned long long>(ticks) & 0xFFFFFFFFu),
                  ++saves & 0xFFFFu);
    return path + suffix;
}

}  // namespace kalverin
