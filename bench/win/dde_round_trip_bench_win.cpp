// Round trip of a DDE request as a client makes it (connect, request, disconnect), against
// the real service and against a minimal server that answers a constant text, each in a
// process of its own, measured alternately in one run.
//   kalverin_dde_bench [rounds]
#include <windows.h>
#include <ddeml.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/win/timing.h"
#include "script/shared_state.h"
#include "dde/dde_client_win.h"
#include "dde/dde_server.h"
#include "dde/ddeml_win.h"
#include "dde/quit_items.h"
#include "tests/support/us_currency.h"

using namespace kalverin;

namespace {

constexpr const char* kRealService = "KalverinBenchReal";
constexpr const char* kMinimalService = "KalverinBenchMinimal";

// Serves until the parent process ends.
void serveUntilParentEnds(DWORD parentId) {
    HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, parentId);
    for (;;) {
        DWORD woke = MsgWaitForMultipleObjects(parent ? 1 : 0, &parent, FALSE, INFINITE, QS_ALLINPUT);
        if (parent && woke == WAIT_OBJECT_0) break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
}

int serveReal(DWORD parentId) {
    UsCurrencyFormat currency;
    SharedState state;
    state.currency = &currency;
    state.stats.seconds = 7;
    Win32Ddeml library;
    DdeServer server{library};
    QuitItems items;
    if (!server.start(kRealService)) return 1;
    registerQuitItems(server, items, state);
    serveUntilParentEnds(parentId);
    unregisterQuitItems(server, items);
    server.stop();
    return 0;
}

DWORD minimalInstance = 0;
HSZ minimalTopic = nullptr;

HDDEDATA CALLBACK minimalCallback(UINT type, UINT format, HCONV, HSZ topic, HSZ item, HDDEDATA, ULONG_PTR,
                                  ULONG_PTR) {
    switch (type) {
        case XTYP_CONNECT:
            return reinterpret_cast<HDDEDATA>(
                static_cast<ULONG_PTR>(DdeCmpStringHandles(topic, minimalTopic) == 0));
        case XTYP_REQUEST:
            if (format != CF_TEXT) return nullptr;
            return DdeCreateDataHandle(minimalInstance, reinterpret_cast<LPBYTE>(const_cast<char*>("7")), 2,
                                       0, item, CF_TEXT, 0);
        default:
            return nullptr;
    }
}

int serveMinimal(DWORD parentId) {
    if (DdeInitializeA(&minimalInstance, minimalCallback, 0, 0) != DMLERR_NO_ERROR) return 1;
    HSZ service = DdeCreateStringHandleA(minimalInstance, kMinimalService, CP_WINANSI);
    minimalTopic = DdeCreateStringHandleA(minimalInstance, "DURATION", CP_WINANSI);
    DdeNameService(minimalInstance, service, nullptr, DNS_REGISTER);
    serveUntilParentEnds(parentId);
    DdeNameService(minimalInstance, service, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(minimalInstance, service);
    DdeFreeStringHandle(minimalInstance, minimalTopic);
    DdeUninitialize(minimalInstance);
    return 0;
}

bool startServer(const char* mode, PROCESS_INFORMATION& process) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string line =
        std::string("\"") + self + "\" --serve " + mode + " " + std::to_string(GetCurrentProcessId());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process) != FALSE;
}

double oneRoundTripMicros(DdeClient& client, const char* service, std::string& reply) {
    auto begin = std::chrono::steady_clock::now();
    DdeOutcome outcome = client.request(service, "DURATION", "SECOND", CF_TEXT, reply);
    auto end = std::chrono::steady_clock::now();
    if (outcome != DdeOutcome::ok) return -1;
    return std::chrono::duration<double, std::micro>(end - begin).count();
}

bool waitUntilAnswering(DdeClient& client, const char* service) {
    std::string reply;
    for (int i = 0; i < 200; ++i) {
        if (client.request(service, "DURATION", "SECOND", CF_TEXT, reply) == DdeOutcome::ok) return true;
        Sleep(50);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--serve") {
        DWORD parent = static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10));
        return std::string(argv[2]) == "real" ? serveReal(parent) : serveMinimal(parent);
    }
    int rounds = argc > 1 ? std::atoi(argv[1]) : 500;
    if (rounds < 1) rounds = 500;

    PROCESS_INFORMATION real = {}, minimal = {};
    if (!startServer("real", real) || !startServer("minimal", minimal)) {
        std::fprintf(stderr, "could not start the servers\n");
        return 2;
    }
    DdeClient client;
    int status = 0;
    if (!client.ready() || !waitUntilAnswering(client, kRealService) ||
        !waitUntilAnswering(client, kMinimalService)) {
        std::fprintf(stderr, "the servers do not answer\n");
        status = 2;
    } else {
        std::vector<double> realTimes, minimalTimes;
        std::string realReply, minimalReply;
        for (int i = 0; i < 20; ++i) {  // warm both paths
            oneRoundTripMicros(client, kRealService, realReply);
            oneRoundTripMicros(client, kMinimalService, minimalReply);
        }
        // Alternating keeps both series under the same load of the machine.
        for (int i = 0; i < rounds && status == 0; ++i) {
            double a = oneRoundTripMicros(client, kRealService, realReply);
            double b = oneRoundTripMicros(client, kMinimalService, minimalReply);
            if (a < 0 || b < 0) status = 3;
            realTimes.push_back(a);
            minimalTimes.push_back(b);
        }
        if (status == 0) {
            double r = median(realTimes), m = median(minimalTimes);
            std::printf("DDE request round trip, DURATION/SECOND, %d rounds each\n", rounds);
            std::printf("  Kalverin service: median %.1f us (reply \"%s\")\n", r, realReply.c_str());
            std::printf("  minimal server:   median %.1f us (reply \"%s\")\n", m, minimalReply.c_str());
            std::printf("  ratio %.3f (goal: at most 1.2) %s\n", r / m, r / m <= 1.2 ? "met" : "NOT met");
        } else {
            std::fprintf(stderr, "a request failed during the run\n");
        }
    }
    TerminateProcess(real.hProcess, 0);
    TerminateProcess(minimal.hProcess, 0);
    CloseHandle(real.hProcess);
    CloseHandle(real.hThread);
    CloseHandle(minimal.hProcess);
    CloseHandle(minimal.hThread);
    return status;
}
