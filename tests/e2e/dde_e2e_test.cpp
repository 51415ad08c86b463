// The DDE service of the running program, as other programs see it: the real kalverin.exe
// answering our own client in this process and kalverin-dde.exe in another.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <ctime>
#include <string>

#include "dde/dde_client_win.h"
#include "tests/e2e/harness.h"
#include "tests/support/captured_process_win.h"

namespace e2e {
namespace {

using kalverin::DdeClient;
using kalverin::DdeOutcome;
using namespace std::string_literals;

constexpr const char* kService = "Kalverin";

Keys habit(const char* start, const std::string& primary = "{+N} is free") {
    Keys keys = exampleHabit(start);
    keys.insert(keys.end(), {{"Text", storedText(primary, 1020)}, {"Text1", storedText("Other {+N}", 500)}});
    return keys;
}

// The reply's bytes, terminator included; "<no data>" or "<no conversation>" otherwise.
std::string request(const std::string& topic, const std::string& item, UINT format = CF_TEXT) {
    DdeClient client;
    std::string reply;
    switch (client.request(kService, topic, item, format, reply)) {
        case DdeOutcome::ok:
            return reply;
        case DdeOutcome::refused:
            return "<no data>";
        case DdeOutcome::noConversation:
            return "<no conversation>";
        case DdeOutcome::library:
        case DdeOutcome::ended:
            break;  // a request cannot end that way
    }
    return "<no library>";
}

DdeOutcome poke(const std::string& topic, const std::string& item, const std::string& bytes) {
    DdeClient client;
    return client.poke(kService, topic, item, CF_TEXT, bytes);
}

class Program {
public:
    explicit Program(const Keys& keys) {
        // Another program still serving under the name (one closing from an earlier case)
        // would answer in this one's place.
        serviceWasFree_ = waitUntil([] { return request("System", "Topics") == "<no conversation>"; });
        appData_.writeSettings(settingsText("User 1", keys));
        process_ = std::make_unique<KalverinProcess>(appData_);
        main_ = process_->waitUntilMinimised();
    }
    bool ready() const { return serviceWasFree_ && main_ != nullptr; }
    KalverinProcess& process() { return *process_; }
    HWND main() const { return main_; }

private:
    AppDataFolder appData_;
    std::unique_ptr<KalverinProcess> process_;
    HWND main_ = nullptr;
    bool serviceWasFree_ = false;
};

// A second client in its own process, holding an advise loop.
class Watcher : public kalverin::CapturedProcess {
public:
    Watcher(const std::string& topic, const std::string& item)
        : CapturedProcess("\"" + windowsPath(environment("KALVERIN_DDE_EXE")) + "\" --timeout 15000 watch " +
                          topic + " " + item + " 1") {}
};

std::string nowText() {
    return std::to_string(static_cast<long long>(std::time(nullptr)) - 100000);
}

TEST(DdeService, SystemTopicAndEveryItemListByteForByte) {
    Program kalverin(habit(nowText().c_str()));
    ASSERT_TRUE(kalverin.ready());
    struct Case {
        const char* topic;
        const char* item;
        std::string reply;
    } cases[] = {
        {"System", "Topics", "COMMAND\tUSER\tHOTPASTE\tHABIT\tLIFESAVED\tDURATION\tSystem\0"s},
        {"System", "SysItems", "VERSION\tProtocols\tSysItems\tTopics\tFormats\tTopicItemList\0"s},
        {"system", "TopicItemList", "VERSION\tProtocols\tSysItems\tTopics\tFormats\tTopicItemList\0"s},
        {"DURATION", "TopicItemList",
         "SECONDWORD\tSECOND\tMINUTEWORD\tMINUTE\tHOURWORD\tHOUR\tDAYWORD\tDAY\tWEEKWORD\tWEEK\t"
         "MONTHWORD\tMONTH\tYEARWORD\tYEAR\tFormats\tTopicItemList\0"s},
        {"LIFESAVED", "TopicItemList",
         "SECONDWORD\tSECOND\tMINUTEWORD\tMINUTE\tHOURWORD\tHOUR\tDAYWORD\tDAY\tWEEKWORD\tWEEK\t"
         "YEARWORD\tYEAR\tFormats\tTopicItemList\0"s},
        {"HABIT", "TopicItemList", "MONEYSAVED\tNOTSMOKEDWORD\tNOTSMOKED\tFormats\tTopicItemList\0"s},
        {"HOTPASTE", "TopicItemList", "OTHER4\tOTHER3\tOTHER2\tOTHER1\tPRIMARY\tFormats\tTopicItemList\0"s},
        {"USER", "TopicItemList", "NAME\tFormats\tTopicItemList\0"s},
        {"COMMAND", "TopicItemList", "PARSEORVANE\tFormats\tTopicItemList\0"s},
        {"System", "Protocols", "Execute Control 1\0"s},
        {"NOSUCHTOPIC", "Topics", "<no conversation>"},
        {"DURATION", "NOSUCHITEM", "<no data>"},
        {"LIFESAVED", "MONTH", "<no data>"},
    };
    for (const Case& c : cases) EXPECT_EQ(request(c.topic, c.item), c.reply) << c.topic << "/" << c.item;
    for (const char* topic : {"System", "DURATION", "LIFESAVED", "HABIT", "HOTPASTE", "USER", "COMMAND"})
        EXPECT_EQ(request(topic, "Formats"), "TEXT\0"s) << topic;
    std::string banner = request("System", "VERSION");
    EXPECT_EQ(banner.rfind("Kalverin Version 2.50", 0), 0u) << banner;
    EXPECT_EQ(banner.substr(banner.size() - 3), "  \0"s);
}

TEST(DdeService, TheScriptItemRendersWhatIsPokedAndAdvisesASecondClient) {
    Program kalverin(habit(nowText().c_str()));
    ASSERT_TRUE(kalverin.ready());
    EXPECT_EQ(request("COMMAND", "PARSEORVANE"), "\0"s) << "nothing poked yet";
    EXPECT_EQ(request("HOTPASTE", "OTHER1"), "Other Ann Example\0"s);
    EXPECT_EQ(request("USER", "NAME"), "Ann Example\0"s);

    Watcher watcher("COMMAND", "PARSEORVANE");
    ASSERT_TRUE(watcher.started());
    // The watcher's loop starts at a moment we cannot see: poke until it has its update.
    ASSERT_TRUE(waitUntil([&] {
        EXPECT_EQ(poke("COMMAND", "PARSEORVANE", "{+N}\0"s), DdeOutcome::ok);
        return waitUntil([&] { return watcher.done(); }, 300);
    }));
    EXPECT_EQ(watcher.exitCode(), 0u);
    EXPECT_EQ(watcher.output(), "Ann Example\n");
    EXPECT_EQ(request("COMMAND", "PARSEORVANE"), "Ann Example\0"s);

    EXPECT_EQ(poke("DURATION", "YEAR", "5\0"s), DdeOutcome::refused);
    EXPECT_EQ(poke("USER", "NAME", "Someone\0"s), DdeOutcome::refused);
    DdeClient client;
    EXPECT_EQ(client.execute(kService, "System", "[Open()]"), DdeOutcome::refused);
    EXPECT_EQ(client.execute(kService, "COMMAND", "{+N}"), DdeOutcome::refused);
    EXPECT_EQ(request("USER", "NAME"), "Ann Example\0"s);
}

TEST(DdeService, TheServiceEndsWithTheProgram) {
    Program kalverin(habit(nowText().c_str()));
    ASSERT_TRUE(kalverin.ready());
    ASSERT_EQ(request("USER", "NAME"), "Ann Example\0"s);
    kalverin.process().pressEscape(kalverin.main());
    ASSERT_TRUE(kalverin.process().waitForExit());
    EXPECT_EQ(request("System", "Topics"), "<no conversation>");
}

// With the wall clock frozen at kExampleNow.
class ClockDde : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(static_cast<long long>(std::time(nullptr)), std::atoll(kExampleNow))
            << "run with the frozen clock";
    }
};

TEST_F(ClockDde, FiguresWordsAndFormatsOfAPastQuit) {
    Program kalverin(habit(kExampleQuit, "{+s} seconds"));
    ASSERT_TRUE(kalverin.ready());
    std::string second;
    ASSERT_TRUE(waitUntil([&] { return (second = request("DURATION", "SECOND")) == "12\0"s; })) << second;
    struct Case {
        const char* topic;
        const char* item;
        std::string reply;
    } cases[] = {
        {"DURATION", "YEAR", "1\0"s},
        {"DURATION", "MONTH", "2\0"s},
        {"DURATION", "WEEK", "1\0"s},
        {"DURATION", "DAY", "5\0"s},
        {"DURATION", "HOUR", "5\0"s},
        {"DURATION", "MINUTE", "15\0"s},
        {"HABIT", "NOTSMOKED", "8724\0"s},
        {"HABIT", "MONEYSAVED", "$1,962.98\0"s},
        {"LIFESAVED", "WEEK", "4\0"s},
        {"LIFESAVED", "DAY", "2\0"s},
        {"LIFESAVED", "HOUR", "7\0"s},
        {"DURATION", "SECONDWORD", "twelve\0"s},
        {"DURATION", "MINUTEWORD", "fifteen\0"s},
        {"HABIT", "NOTSMOKEDWORD", "eight thousand, seven hundred and twenty-four\0"s},
    };
    for (const Case& c : cases) EXPECT_EQ(request(c.topic, c.item), c.reply) << c.topic << "/" << c.item;
    EXPECT_EQ(request("DURATION", "SECOND", CF_OEMTEXT), "<no data>");
    EXPECT_EQ(request("DURATION", "SECONDWORD", CF_OEMTEXT), "<no data>");
}

TEST_F(ClockDde, TheWordModeOfAnItemCarriesIntoTheHotPasteText) {
    Program kalverin(habit(kExampleQuit, "{+s} seconds"));
    ASSERT_TRUE(kalverin.ready());
    ASSERT_TRUE(waitUntil([] { return request("DURATION", "SECOND") == "12\0"s; }));
    EXPECT_EQ(request("HABIT", "NOTSMOKED"), "8724\0"s);
    EXPECT_EQ(request("HOTPASTE", "PRIMARY"), "12 seconds\0"s) << "no line break either";
    EXPECT_EQ(request("DURATION", "YEARWORD"), "one\0"s);
    EXPECT_EQ(request("HOTPASTE", "PRIMARY"), "twelve seconds\0"s);
    EXPECT_EQ(request("HABIT", "NOTSMOKED"), "8724\0"s);
    EXPECT_EQ(request("HOTPASTE", "PRIMARY"), "12 seconds\0"s);
}

TEST_F(ClockDde, AFutureQuitGivesSignedFiguresAndUnsignedWordItems) {
    Program kalverin(habit(kFutureQuit));
    ASSERT_TRUE(kalverin.ready());
    ASSERT_TRUE(waitUntil([] { return request("DURATION", "SECOND") == "-12\0"s; }));
    EXPECT_EQ(request("DURATION", "YEAR"), "-1\0"s);
    EXPECT_EQ(request("DURATION", "MINUTE"), "-15\0"s);
    EXPECT_EQ(request("DURATION", "SECONDWORD"), "12\0"s);
    EXPECT_EQ(request("DURATION", "YEARWORD"), "1\0"s);
}

}  // namespace
}  // namespace e2e
