#include "dde/client_output_win.h"

#include "dde/ddeml_api.h"
#include "model/profile_disk_win.h"

namespace kalverin {

static_assert(kCfText == CF_TEXT && kCfOemText == CF_OEMTEXT, "text clipboard formats");

namespace {

bool isConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != FALSE;
}

// WriteConsoleW takes a limited buffer at a time (the console's shared heap), so long texts go
// in pieces, never splitting a surrogate pair between two of them.
constexpr size_t kConsolePiece = 8192;

}  // namespace

bool replyCodePage(unsigned format, UINT& codePage) {
    if (format == kCfText) {
        codePage = CP_ACP;
        return true;
    }
    if (format == kCfOemText) {
        codePage = CP_OEMCP;
        return true;
    }
    return false;
}

ClientStream::ClientStream(std::FILE* stream, HANDLE handle)
    : stream_(stream), handle_(handle), console_(kalverin::isConsole(handle)) {}

void ClientStream::writeText(const std::string& bytes, UINT codePage) {
    if (!console_) return writeBytes(bytes);
    std::wstring text;
    if (!toUtf16(bytes, codePage, text)) {
        failed_ = true;
        return;
    }
    // What went through the C stream before must show first.
    if (std::fflush(stream_) != 0) failed_ = true;
    size_t done = 0;
    while (done < text.size()) {
        size_t piece = text.size() - done < kConsolePiece ? text.size() - done : kConsolePiece;
        if (done + piece < text.size() && IS_HIGH_SURROGATE(text[done + piece - 1])) --piece;
        DWORD written = 0;
        if (!WriteConsoleW(handle_, text.data() + done, static_cast<DWORD>(piece), &written, nullptr) ||
            written == 0) {
            failed_ = true;
            return;
        }
        done += written;
    }
}

void ClientStream::writeBytes(const std::string& bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) failed_ = true;
}

bool ClientStream::finish() {
    if (std::fflush(stream_) != 0 || std::ferror(stream_)) failed_ = true;
    return !failed_;
}

}  // namespace kalverin
