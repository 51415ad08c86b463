// A child process whose standard output goes to a temporary file, for tests that run the
// console client beside the program under test.
#pragma once
#include <windows.h>

#include <string>

namespace kalverin {

// Ends a child process now and waits, up to `timeoutMs`, until it has ended. TerminateProcess
// only sets the end going and returns: until the process has ended it still holds its handles
// (an output file, a settings file it was writing), so nothing may read, delete or reuse
// them before the wait. True when the process has ended (it may have done so on its own).
inline bool terminateAndWait(HANDLE process, UINT exitCode, DWORD timeoutMs = 5000) {
    TerminateProcess(process, exitCode);  // refused when it has ended already: the wait says so
    return WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
}

class CapturedProcess {
public:
    explicit CapturedProcess(std::string commandLine) {
        char temp[MAX_PATH], file[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        GetTempFileNameA(temp, "kcp", 0, file);
        outPath_ = file;
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE out = CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        started_ = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &process_) != FALSE;
        if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    }
    ~CapturedProcess() {
        if (started_) {
            if (!done()) terminateAndWait(process_.hProcess, 99);  // it holds the output file open
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        DeleteFileA(outPath_.c_str());
    }
    CapturedProcess(const CapturedProcess&) = delete;
    CapturedProcess& operator=(const CapturedProcess&) = delete;

    bool started() const { return started_; }
    HANDLE handle() const { return process_.hProcess; }
    bool done() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }
    DWORD exitCode() const {
        DWORD code = 0xFFFFFFFF;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }
    // What the process has written so far.
    std::string output() const {
        std::string text;
        HANDLE in = CreateFileA(outPath_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
        char buffer[4096];
        DWORD got = 0;
        while (in != INVALID_HANDLE_VALUE && ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got)
            text.append(buffer, got);
        if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
        return text;
    }

private:
    std::string outPath_;
    PROCESS_INFORMATION process_ = {};
    bool started_ = false;
};

}  // namespace kalverin
