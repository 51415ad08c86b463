// Start-up time under Wine, against Wine's notepad in the same run:
//   kalverin from process creation to its DDE service answering a connection;
//   notepad from process creation to its main window being visible.
// Usage: kalverin_startup_bench.exe path\to\kalverin.exe [rounds]
#include <windows.h>
#include <ddeml.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

HDDEDATA CALLBACK ignoreTransactions(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A settings folder whose user has seen the welcome, so start-up runs straight through.
std::string makeAppData() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "kalverin-startup-bench";
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA((folder + "\\Kalverin").c_str(), nullptr);
    FILE* file = std::fopen((folder + "\\Kalverin\\kalverin.ini").c_str(), "wb");
    if (file) {
        std::fputs("[User 1]\r\nName=Bench\r\nStart=1000000000\r\n[Kalverin]\r\nBuild=151\r\n", file);
        std::fclose(file);
    }
    return folder;
}

std::string environmentWith(const std::string& name, const std::string& value) {
    std::string block;
    char* strings = GetEnvironmentStringsA();
    for (const char* p = strings; *p; p += std::strlen(p) + 1)
        if (_strnicmp(p, (name + "=").c_str(), name.size() + 1) != 0) block += std::string(p) + '\0';
    FreeEnvironmentStringsA(strings);
    return block + name + "=" + value + '\0' + '\0';
}

PROCESS_INFORMATION launch(std::string commandLine, const std::string* environment) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0,
                   environment ? const_cast<char*>(environment->data()) : nullptr, nullptr, &startup, &info);
    return info;
}

void end(PROCESS_INFORMATION& info) {
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 5000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}

bool ddeAnswers(DWORD instance) {
    HSZ service = DdeCreateStringHandleA(instance, "Kalverin", CP_WINANSI);
    HSZ topic = DdeCreateStringHandleA(instance, "System", CP_WINANSI);
    HCONV conversation = DdeConnect(instance, service, topic, nullptr);
    if (conversation) DdeDisconnect(conversation);
    DdeFreeStringHandle(instance, service);
    DdeFreeStringHandle(instance, topic);
    return conversation != nullptr;
}

bool visibleWindowOf(DWORD processId) {
    struct Search {
        DWORD id;
        bool found;
    } search{processId, false};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD id = 0;
            GetWindowThreadProcessId(window, &id);
            if (id == s->id && IsWindowVisible(window) && GetWindowTextLengthA(window) > 0) s->found = true;
            return !s->found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kalverin_startup_bench path\\to\\kalverin.exe [rounds]\n");
        return 1;
    }
    int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    DWORD instance = 0;
    if (DdeInitializeA(&instance, ignoreTransactions, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return 2;
    std::string environment = environmentWith("APPDATA", makeAppData());
    std::vector<double> kalverin, notepad;
    for (int round = 0; round < rounds; ++round) {
        double start = nowMs();
        PROCESS_INFORMATION k = launch("\"" + std::string(argv[1]) + "\"", &environment);
        while (!ddeAnswers(instance) && nowMs() - start < 30000) Sleep(1);
        kalverin.push_back(nowMs() - start);
        end(k);

        start = nowMs();
        PROCESS_INFORMATION n = launch("notepad.exe", nullptr);
        while (!visibleWindowOf(n.dwProcessId) && nowMs() - start < 30000) Sleep(1);
        notepad.push_back(nowMs() - start);
        end(n);
        Sleep(300);  // let both processes' exits settle before the next round
    }
    DdeUninitialize(instance);
    double k = median(kalverin), n = median(notepad);
    std::printf(
        "start-up median over %d rounds: kalverin to DDE answering %.1f ms, notepad to window %.1f ms, ratio "
        "%.2f\n",
        rounds, k, n, k / n);
    return 0;
}
