// The console client's standard streams: characters on a console, bytes everywhere else.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

namespace kalverin {

// True when a reply in clipboard format `format` is text, with the code page its bytes are in:
// CF_TEXT's is the ANSI code page, CF_OEMTEXT's the OEM one. Other formats' bytes are no text.
bool replyCodePage(unsigned format, UINT& codePage);

// One standard stream of the client. A console (GetConsoleMode succeeds on the handle) is
// written with WriteConsoleW, so that text shows as the characters it is, whatever the
// console's output code page; a file or pipe gets the bytes unchanged through `stream`, as
// the scripts and programs reading the client's output expect.
class ClientStream {
public:
    ClientStream(std::FILE* stream, HANDLE handle);
    ClientStream(const ClientStream&) = delete;
    ClientStream& operator=(const ClientStream&) = delete;

    bool isConsole() const { return console_; }
    // Writes `bytes`, text in `codePage`.
    void writeText(const std::string& bytes, UINT codePage);
    // Writes `bytes` that are no text as they are, on a console too.
    void writeBytes(const std::string& bytes);
    // Flushes the stream; false when anything written to it was lost.
    bool finish();

private:
    std::FILE* stream_;
    HANDLE handle_;
    bool console_;
    bool failed_ = false;
};

}  // namespace kalverin
