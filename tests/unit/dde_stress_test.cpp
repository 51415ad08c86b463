// Thousands of random transactions, registrations and library failures: the service must
// keep answering, never touch a dead handle, and end with every handle freed.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "script/shared_state.h"
#include "dde/quit_items.h"
#include "tests/support/fake_ddeml.h"
#include "tests/support/us_currency.h"

namespace kalverin {
namespace {

using namespace std::string_literals;

DataHandle echoReply(DdeServer& server, DdeItem& item, unsigned format, Hsz, Hsz handle) {
    return server.textReply(format, item.name, handle);
}
int acceptPoke(DdeServer&, DdeItem&, unsigned, Hsz, Hsz, DataHandle) {
    return 1;
}

TEST(DdeStress, RandomTrafficLeavesTheServiceAnsweringAndItsDataIntact) {
    const char* topics[] = {"System",   "system", "DURATION", "duration",     "LIFESAVED", "HABIT",
                            "HOTPASTE", "USER",   "COMMAND",  "command",      "Extra",     "EXTRA",
                            "Other",    "",       "\xff\xfe", "TopicItemList"};
    const char* items[] = {"Topics",  "SysItems",  "TopicItemList", "Formats",     "Protocols",
                           "VERSION", "YEAR",      "yearword",      "SECOND",      "SECONDWORD",
                           "MONTH",   "NOTSMOKED", "NOTSMOKEDWORD", "MONEYSAVED",  "PRIMARY",
                           "OTHER4",  "NAME",      "PARSEORVANE",   "parseorvane", "ONE",
                           "two",     "",          "\x01"};
    const unsigned types[] = {kXtypError,
                              kXtypAdvData,
                              kXtypAdvReq,
                              kXtypAdvStart,
                              kXtypAdvStop,
                              kXtypExecute,
                              kXtypConnect,
                              kXtypConnectConfirm,
                              kXtypXactComplete,
                              kXtypPoke,
                              kXtypRegister,
                              kXtypRequest,
                              kXtypDisconnect,
                              kXtypUnregister,
                              kXtypWildConnect,
                              kXtypMonitor,
                              0,
                              0x1234,
                              kXtypRequest,
                              kXtypPoke,
                              kXtypRequest,
                              kXtypPoke};
    const std::string scripts[] = {"{+N}",     "{A}{+s} {1}{+C}",      "{",     "}{}{{",
                                   "{+$}{+Y}", std::string(9000, '{'), "\0\0"s, ""};

    UsCurrencyFormat currency;
    SharedState state;
    state.currency = &currency;
    state.record.userName = "Stress";
    FakeDdeml fake;
    DdeServer server{fake};
    QuitItems quitItems;
    ASSERT_TRUE(server.start("Kalverin"));
    registerQuitItems(server, quitItems, state);
    bool registered = true;
    fake.adviseLoops.push_back({"COMMAND", "PARSEORVANE", kCfText, {}});

    std::mt19937 random(20261207);
    auto pick = [&](auto& array) -> decltype(array[0]) {
        return array[random() % (sizeof(array) / sizeof(array[0]))];
    };
    auto anyBytes = [&]() {
        std::string bytes;
        switch (random() % 4) {
            case 0:
                bytes = pick(scripts);
                break;
            case 1:
                bytes.assign(random() % 10000, static_cast<char>(random()));
                break;
            default:
                for (size_t n = random() % 64; n > 0; --n) bytes += static_cast<char>(random());
        }
        return bytes;
    };

    for (int step = 0; step < 20000; ++step) {
        fake.failAccess = random() % 50 == 0;
        fake.failAddData = random() % 50 == 0;
        fake.failDataCreationAfter = random() % 50 == 0 ? 0 : -1;
        fake.failConvQuery = random() % 10 == 0;
        fake.convStatus = random() % 4 == 0 ? kStIsSelf : 0;
        int action = static_cast<int>(random() % 100);
        if (action < 3) {
            server.addItem(pick(topics), pick(items), kTextFormats, echoReply,
                           random() % 2 ? acceptPoke : nullptr);
        } else if (action < 5) {
            server.removeItem(pick(topics), pick(items));
        } else if (action < 6) {
            server.removeTopic(pick(topics));
        } else if (action < 7) {
            if (registered)
                unregisterQuitItems(server, quitItems);
            else
                registerQuitItems(server, quitItems, state);
            registered = !registered;
        } else {
            unsigned type = pick(types);
            unsigned format = random() % 4 == 0 ? static_cast<unsigned>(random() % 0x10000) : kCfText;
            const char* topic = random() % 20 ? pick(topics) : nullptr;
            const char* item = random() % 20 ? pick(items) : nullptr;
            Conv conversation = reinterpret_cast<Conv>(static_cast<uintptr_t>(1 + random() % 8));
            DataHandle data = random() % 10 ? fake.clientData(anyBytes(), format) : nullptr;
            uintptr_t result = fake.call(type, topic, item, format, conversation, data);
            if (data) fake.freeDataHandle(data);
            if (type == kXtypRequest || type == kXtypAdvReq || type == kXtypWildConnect) {
                auto reply = fake.take(reinterpret_cast<DataHandle>(result));
                if (reply && type != kXtypWildConnect) {
                    ASSERT_FALSE(reply->empty());
                    EXPECT_EQ(reply->back(), '\0');
                }
            } else {
                EXPECT_LE(result, uintptr_t{kDdeFack}) << type;
            }
        }
        ASSERT_EQ(fake.handleErrors, 0) << "step " << step;
        ASSERT_FALSE(fake.anyDataAccessed()) << "step " << step;
        ASSERT_EQ(fake.liveDataHandles(), 0) << "step " << step;
        ASSERT_LE(quitItems.scriptResult.size(), kScriptResultMax);
        ASSERT_LE(state.renderBuffer.size(), kRenderMax);
    }

    // Whatever happened, a fresh registration answers as on the first day.
    fake.failAccess = fake.failAddData = fake.failConvQuery = false;
    fake.failDataCreationAfter = -1;
    if (registered) unregisterQuitItems(server, quitItems);
    registerQuitItems(server, quitItems, state);
    EXPECT_EQ(fake.request("USER", "NAME"), "Stress\0"s);
    EXPECT_EQ(fake.poke("COMMAND", "PARSEORVANE", "[{+N}]"s), kDdeFack);
    EXPECT_EQ(fake.request("COMMAND", "PARSEORVANE"), "[Stress]\0"s);
    unregisterQuitItems(server, quitItems);
    server.stop();
    EXPECT_EQ(fake.liveServerStrings(), 0);
    EXPECT_EQ(fake.handleErrors, 0);
}

}  // namespace
}  // namespace kalverin
