// A private-profile file read and written by our own code, giving the same results as the
// Win32 profile functions on the same bytes, for platforms that have none.
#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "model/profile.h"
#include "model/profile_disk.h"

namespace kalverin {

// Reads the file afresh on every call, as the platform functions do, so that changes by
// another writer are seen (only the parsing of unchanged bytes is saved). Every write, and every
// save of many writes, rewrites the whole file through a temporary file in the same folder that
// then replaces the old one: a failed write leaves the old file whole. A single write's failure
// is ignored, as the platform's writes are by the program; a save reports it.
class IniProfileFile : public ProfileFile {
public:
    explicit IniProfileFile(std::string path) : IniProfileFile(std::move(path), stdioProfileDisk()) {}
    IniProfileFile(std::string path, ProfileDisk& disk) : path_(std::move(path)), disk_(&disk) {}
    // The same rules over bytes held in memory alone, starting with `bytes`; nothing touches
    // the disk. Writes are collected and the text is rebuilt once, at the next read, so a
    // whole record costs one parse and one rebuild (the fuzzer checks thousands a second).
    static IniProfileFile inMemory(std::string bytes);
    // What an in-memory file holds now.
    const std::string& bytes();

    unsigned readInt(const char* section, const char* key, unsigned fallback) override;
    std::string readString(const char* section, const char* key, const char* fallback,
                           size_t maxChars) override;
    bool readStruct(const char* section, const char* key, void* area, size_t size) override;
    void writeString(const char* section, const char* key, const char* value) override;
    void writeStruct(const char* section, const char* key, const void* area, size_t size) override;
    // The writes are made to the file's text in memory, and the text is stored in one replace.
    SaveResult save(const std::function<void(ProfileFile&)>& writes) override;

    const std::string& path() const { return path_; }

private:
    IniProfileFile() = default;  // in memory: no disk
    struct Parsed;
    // The file's lines as last parsed, with the bytes they came from.
    std::shared_ptr<const Parsed> parsed(const std::string& bytes);
    // The key's value, or null when it is missing or has none; it lives in parsed_, so until
    // the next call.
    const std::string* findValue(const char* section, const char* key);
    // Writes `text`, already in the form the file holds.
    void writeValue(const char* section, const char* key, std::string text);
    void flush();
    std::shared_ptr<const Parsed> memoryLines();
    // Replaces the file on disk with `bytes`, or leaves it as it was.
    SaveResult store(const std::string& bytes);

    std::string path_;
    ProfileDisk* disk_ = nullptr;
    bool inMemory_ = false;
    std::string memory_;
    // In memory, writes change these lines in place, and the text is behind them until the
    // next read.
    bool pending_ = false;
    bool readsBack_ = true;  // the lines read back from their text as they stand
    std::shared_ptr<Parsed> parsed_;
};

// The pieces of the value forms, exposed for tests.

// The text of a structure value: two upper-case hex digits per byte, then the checksum byte
// (the sum of the bytes modulo 256) the same way.
std::string encodeProfileStruct(const void* area, size_t size);
// Decodes `text` into `area` when it is exactly 2 * (size + 1) hex digits with a matching
// checksum; otherwise returns false and leaves `area` as it was.
bool decodeProfileStruct(const std::string& text, void* area, size_t size);
// The integer reading of GetPrivateProfileIntA applied to a value already found: leading
// blanks, an optional sign, an optional 0x/0o/0b base prefix, then digits up to the first
// other character, all modulo 2^32; no digits read as 0.
unsigned parseProfileInt(std::string_view value);

}  // namespace kalverin
