// The service on the real DDE library, answering the real console client in another process.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "script/shared_state.h"
#include "dde/dde_server.h"
#include "dde/ddeml_win.h"
#include "dde/quit_items.h"
#include "dde/quit_service.h"
#include "tests/support/us_currency.h"
#include "tests/support/captured_process_win.h"

namespace kalverin {
namespace {

using namespace std::string_literals;

constexpr const char* kService = "KalverinUnderTest";

std::string besideThisProgram(const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    dir = dir.substr(0, dir.find_last_of("\\/") + 1);
    return dir + name;
}

// The build puts the client beside the tests; without it every case here would be void.
::testing::AssertionResult clientBuilt() {
    if (GetFileAttributesA(besideThisProgram("kalverin-dde.exe").c_str()) != INVALID_FILE_ATTRIBUTES)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "kalverin-dde.exe is not built beside the tests";
}

std::string quoted(const std::string& arg) {
    std::string out = "\"";
    for (char c : arg) {
        if (c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

// Serves DDE while waiting: the library calls the server through this thread's messages.
void pumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    for (DWORD passed = 0; passed < ms; passed = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - passed, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
}

struct ClientRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
};

class Client : public CapturedProcess {
public:
    explicit Client(const std::vector<std::string>& args) : CapturedProcess(commandLine(args)) {}
    // Pumps this thread's messages until the client ends or the deadline passes.
    ClientRun finish(DWORD deadlineMs = 20000) {
        DWORD start = GetTickCount();
        HANDLE process = handle();
        while (!done() && GetTickCount() - start < deadlineMs) {
            MsgWaitForMultipleObjects(1, &process, FALSE, 100, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        }
        return ClientRun{exitCode(), output()};
    }

private:
    static std::string commandLine(const std::vector<std::string>& args) {
        std::string line = quoted(besideThisProgram("kalverin-dde.exe")) + " --service " + kService;
        for (const std::string& a : args) line += " " + quoted(a);
        return line;
    }
};

ClientRun runClient(const std::vector<std::string>& args) {
    Client client(args);
    if (!client.started()) return ClientRun{};
    return client.finish();
}

class DdeWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(clientBuilt());
        state.currency = &currency;
        state.record.userName = "Wine Tester";
        state.stats.seconds = 7;
        state.stats.years = -2;
        state.record.hotPasteTexts[0] = "Smoke-free, {+N}";
        ASSERT_TRUE(startService());
    }
    void TearDown() override { stopService(); }

    bool startService() {
        if (!server.start(kService)) return false;
        registerQuitItems(server, items, state);
        return true;
    }
    void stopService() {
        unregisterQuitItems(server, items);
        server.stop();
    }

    UsCurrencyFormat currency;
    SharedState state;
    Win32Ddeml library;
    DdeServer server{library};
    QuitItems items;
};

TEST_F(DdeWinTest, RequestsThroughTheRealLibrary) {
    struct Case {
        std::vector<std::string> args;
        DWORD exitCode;
        std::string out;
    } cases[] = {
        {{"request", "DURATION", "SECOND"}, 0, "7\n"},
        {{"request", "duration", "year"}, 0, "-2\n"},
        {{"--format", "7", "request", "DURATION", "SECOND"}, 3, ""},
        {{"--raw", "request", "System", "Topics"},
         0,
         "COMMAND\tUSER\tHOTPASTE\tHABIT\tLIFESAVED\tDURATION\tSystem\0"s},
        {{"--raw", "request", "system", "SysItems"},
         0,
         "VERSION\tProtocols\tSysItems\tTopics\tFormats\tTopicItemList\0"s},
        {{"items", "USER"}, 0, "NAME\nFormats\nTopicItemList\n"},
        {{"request", "HABIT", "Formats"}, 0, "TEXT\n"},
        {{"request", "System", "Protocols"}, 0, "Execute Control 1\n"},
        {{"request", "HOTPASTE", "PRIMARY"}, 0, "Smoke-free, Wine Tester\n"},
        {{"request", "COMMAND", "PARSEORVANE"}, 0, "\n"},
        {{"request", "DURATION", "NOSUCHITEM"}, 3, ""},
        {{"request", "NOSUCHTOPIC", "YEAR"}, 2, ""},
        {{"--service", "NoSuchService", "topics"}, 2, ""},
        {{"poke", "DURATION", "YEAR", "5"}, 3, ""},
        {{"execute", "System", "[Open()]"}, 3, ""},
        {{"render", "Hello {+N}"}, 0, "Hello Wine Tester\n"},
        {{"request", "COMMAND", "PARSEORVANE"}, 0, "Hello Wine Tester\n"},
        {{"bogus"}, 1, ""},
    };
    for (const Case& c : cases) {
        ClientRun run = runClient(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.back();
        EXPECT_EQ(run.out, c.out) << c.args.back();
    }
    EXPECT_EQ(state.stats.years, -2) << "a refused poke changes nothing";
    EXPECT_EQ(items.scriptResult.str(), "Hello Wine Tester");
}

TEST_F(DdeWinTest, ALongScriptIsCutAtTheRenderBuffer) {
    ClientRun run = runClient({"render", std::string(9000, 'q')});
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.out, std::string(8191, 'q') + "\n");
}

TEST_F(DdeWinTest, ASecondClientHoldingAnAdviseLoopReceivesTheRendering) {
    Client watcher({"--timeout", "15000", "watch", "COMMAND", "PARSEORVANE", "1"});
    ASSERT_TRUE(watcher.started());
    // Poke until the watcher has its update: its loop starts at a moment we cannot see.
    DWORD start = GetTickCount();
    while (!watcher.done() && GetTickCount() - start < 15000) {
        ClientRun poke = runClient({"poke", "COMMAND", "PARSEORVANE", "Advised {+N}"});
        ASSERT_EQ(poke.exitCode, 0u);
        pumpFor(200);
    }
    ClientRun run = watcher.finish();
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.out, "Advised Wine Tester\n");
}

TEST_F(DdeWinTest, AWatchWithoutTimeoutEndsWhenTheServiceStops) {
    Client watcher({"watch", "COMMAND", "PARSEORVANE"});
    ASSERT_TRUE(watcher.started());
    // Poke until the watcher has printed an update: then its loop is surely held.
    DWORD start = GetTickCount();
    while (watcher.output().empty() && !watcher.done() && GetTickCount() - start < 15000) {
        ASSERT_EQ(runClient({"poke", "COMMAND", "PARSEORVANE", "held"}).exitCode, 0u);
        pumpFor(200);
    }
    ASSERT_EQ(watcher.output().substr(0, 5), "held\n");
    stopService();
    ClientRun run = watcher.finish();
    EXPECT_EQ(run.exitCode, 2u);
    ASSERT_TRUE(startService());
}

TEST_F(DdeWinTest, ConversationsEndWithTheirClientsAndTheServiceWithStop) {
    ASSERT_EQ(runClient({"topics"}).exitCode, 0u);
    DWORD start = GetTickCount();
    while (!server.conversations().empty() && GetTickCount() - start < 5000) pumpFor(50);
    EXPECT_TRUE(server.conversations().empty());
    stopService();
    EXPECT_EQ(runClient({"topics"}).exitCode, 2u);
    ASSERT_TRUE(startService());
    EXPECT_EQ(runClient({"request", "USER", "NAME"}).out, "Wine Tester\n");
}

// What the main window calls: the service under its own name, answering the client's default.
TEST(QuitServiceWin, StartsAndStopsTheKalverinService) {
    ASSERT_TRUE(clientBuilt());
    UsCurrencyFormat currency;
    SharedState state;
    state.currency = &currency;
    state.record.userName = "Main Window";
    Win32Ddeml library;
    QuitService service{library};
    ASSERT_TRUE(service.start(state));
    Client name({"--service", "Kalverin", "request", "USER", "NAME"});
    EXPECT_EQ(name.finish().out, "Main Window\n");
    service.stop();
    Client gone({"--service", "Kalverin", "topics"});
    EXPECT_EQ(gone.finish().exitCode, 2u);
}

}  // namespace
}  // namespace kalverin
