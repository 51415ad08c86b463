// The profile file's disk through the wide Win32 file calls, so that a path outside the ANSI
// code page (a profile folder named for any user) is reached as it is.
#pragma once
#include <string>

#include "model/profile_disk.h"

namespace kalverin {

// `bytes`, text in code page `codePage` (CP_ACP, CP_OEMCP, CP_UTF8...), as the platform's wide
// text; a byte that is no character there becomes the code page's default character, and zero
// bytes are kept. False, with `text` empty, for a code page the platform does not know or more
// bytes than one conversion takes.
bool toUtf16(const std::string& bytes, unsigned codePage, std::wstring& text);

// UTF-8 text and the platform's wide text, each way; bad sequences become U+FFFD.
std::wstring wideText(const std::string& utf8);
std::string utf8Text(const std::wstring& wide);

class Win32ProfileDisk : public ProfileDisk {
public:
    Win32ProfileDisk() = default;
    ~Win32ProfileDisk() override;
    Win32ProfileDisk(const Win32ProfileDisk&) = delete;
    Win32ProfileDisk& operator=(const Win32ProfileDisk&) = delete;

    FileRead readAll(const std::string& path, std::string& bytes) override;
    bool createTemporary(const std::string& path, std::string& temporary) override;
    bool write(const char* data, size_t size) override;
    bool flush() override;
    bool replace(const std::string& temporary, const std::string& path) override;
    void remove(const std::string& temporary) override;
    std::string failureReason() override;

private:
    bool fail();
    void close();
    void* out_ = nullptr;  // the temporary file's handle while it is open
    unsigned long error_ = 0;
};

// The system's sentence for an error code, in UTF-8, without its line break.
std::string systemReason(unsigned long error);

}  // namespace kalverin
