#include "model/profile_disk_win.h"

#include <windows.h>

#include <climits>
#include <vector>

namespace kalverin {

bool toUtf16(const std::string& bytes, unsigned codePage, std::wstring& text) {
    text.clear();
    if (bytes.empty()) return true;
    if (bytes.size() > static_cast<size_t>(INT_MAX)) return false;
    const int size = static_cast<int>(bytes.size());
    // No MB_ERR_INVALID_CHARS: a stray byte shows as the default character rather than the
    // whole text being lost.
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0) return false;
    text.resize(static_cast<size_t>(length));
    if (MultiByteToWideChar(codePage, 0, bytes.data(), size, &text[0], length) != length) {
        text.clear();
        return false;
    }
    return true;
}

std::wstring wideText(const std::string& utf8) {
    std::wstring wide;
    toUtf16(utf8, CP_UTF8, wide);
    return wide;
}

std::string utf8Text(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], length, nullptr,
                        nullptr);
    return utf8;
}

std::string systemReason(unsigned long error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring sentence = length && text ? std::wstring(text, length) : std::wstring();
    if (text) LocalFree(text);
    while (!sentence.empty() &&
           (sentence.back() == L'\r' || sentence.back() == L'\n' || sentence.back() == L' '))
        sentence.pop_back();
    if (sentence.empty()) return "Error " + std::to_string(error) + ".";
    if (sentence.back() != L'.') sentence += L'.';
    return utf8Text(sentence);
}

namespace {

// A file handle closed with its owner.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

Win32ProfileDisk::~Win32ProfileDisk() {
    close();
}

bool Win32ProfileDisk::fail() {
    error_ = GetLastError();
    return false;
}

void Win32ProfileDisk::close() {
    if (out_) CloseHandle(static_cast<HANDLE>(out_));
    out_ = nullptr;
}

FileRead Win32ProfileDisk::readAll(const std::string& path, std::string& bytes) {
    bytes.clear();
    // Others may go on reading, writing and replacing the file while it is read.
    FileHandle in(CreateFileW(wideText(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!in.valid()) {
        fail();
        return error_ == ERROR_FILE_NOT_FOUND || error_ == ERROR_PATH_NOT_FOUND ? FileRead::absent
                                                                                : FileRead::unreadable;
    }
    char chunk[4096];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in.get(), chunk, sizeof chunk, &got, nullptr)) {
            fail();
            return FileRead::unreadable;
        }
        if (got == 0) return FileRead::read;
        bytes.append(chunk, got);
    }
}

bool Win32ProfileDisk::createTemporary(const std::string& path, std::string& temporary) {
    close();
    // CREATE_NEW never opens a file someone else has made; a name taken is tried again.
    for (int attempt = 0; attempt < 8; ++attempt) {
        temporary = temporaryNameFor(path, GetCurrentProcessId());
        HANDLE out = CreateFileW(wideText(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out != INVALID_HANDLE_VALUE) {
            out_ = out;
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return fail();
}

bool Win32ProfileDisk::write(const char* data, size_t size) {
    while (size > 0) {
        const DWORD piece = size > 0x10000000u ? 0x10000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!out_ || !WriteFile(static_cast<HANDLE>(out_), data, piece, &written, nullptr)) return fail();
        // A write that takes less than it was given without an error is a full disk too.
        if (written == 0) {
            SetLastError(ERROR_DISK_FULL);
            return fail();
        }
        data += written;
        size -= written;
    }
    return true;
}

bool Win32ProfileDisk::flush() {
    if (!out_) return false;
    if (!FlushFileBuffers(static_cast<HANDLE>(out_))) return fail();
    HANDLE out = static_cast<HANDLE>(out_);
    out_ = nullptr;
    return CloseHandle(out) ? true : fail();
}

bool Win32ProfileDisk::replace(const std::string& temporary, const std::string& path) {
    const std::wstring target = wideText(path);
    // Windows refuses to replace a read-only file (access denied), and the person who marked
    // it so meant it to stay. Wine replaces it all the same: asked here, so both refuse.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return fail();
    }
    // One rename replaces the old file, and returns only once it is on the disk. A file
    // another program holds open without sharing refuses it and stays.
    if (MoveFileExW(wideText(temporary).c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    return fail();
}

void Win32ProfileDisk::remove(const std::string& temporary) {
    close();
    DeleteFileW(wideText(temporary).c_str());
}

std::string Win32ProfileDisk::failureReason() {
    return systemReason(error_);
}

}  // namespace kalverin
