#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "dde/dde_server.h"
#include "tests/support/fake_ddeml.h"

namespace kalverin {
namespace {

using namespace std::string_literals;

DataHandle flag(uintptr_t v) {
    return reinterpret_cast<DataHandle>(v);
}

const RequestHandler constantReply = [](DdeServer& server, DdeItem&, unsigned format, Hsz, Hsz item) {
    return server.textReply(format, "constant", item);
};
const RequestHandler otherReply = [](DdeServer& server, DdeItem&, unsigned format, Hsz, Hsz item) {
    return server.textReply(format, "other", item);
};
const PokeHandler acceptPoke = [](DdeServer&, DdeItem&, unsigned, Hsz, Hsz, DataHandle) { return 1; };
const PokeHandler refusePoke = [](DdeServer&, DdeItem&, unsigned, Hsz, Hsz, DataHandle) { return 0; };

class DdeServerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.start("Kalverin")); }

    std::optional<std::string> request(const char* topic, const char* item, unsigned format = kCfText) {
        return fake.request(topic, item, format);
    }
    std::vector<HszPair> wildConnect(const char* topic, const char* service) {
        Hsz t = topic ? fake.clientHandle(topic) : nullptr;
        Hsz s = service ? fake.clientHandle(service) : nullptr;
        auto bytes = fake.take(server.onTransaction(kXtypWildConnect, 0, nullptr, t, s, nullptr, 0, 0));
        std::vector<HszPair> pairs;
        if (!bytes) return pairs;
        pairs.resize(bytes->size() / sizeof(HszPair));
        memcpy(pairs.data(), bytes->data(), pairs.size() * sizeof(HszPair));
        return pairs;
    }

    FakeDdeml fake;
    DdeServer server{fake};
};

TEST_F(DdeServerTest, StartBuildsTheSystemTopicAndRegistersTheName) {
    EXPECT_EQ(fake.log, (std::vector<std::string>{"initialize", "nameService Kalverin 1"}));
    EXPECT_EQ(server.instance(), fake.instance);
    EXPECT_EQ(request("System", "Topics"), "System\0"s);
    EXPECT_EQ(request("System", "SysItems"), "Protocols\tSysItems\tTopics\tFormats\tTopicItemList\0"s);
    EXPECT_EQ(request("System", "TopicItemList"), "Protocols\tSysItems\tTopics\tFormats\tTopicItemList\0"s);
    EXPECT_EQ(request("System", "Formats"), "TEXT\0"s);
    EXPECT_EQ(request("SYSTEM", "protocols"), "Execute Control 1\0"s);
    EXPECT_FALSE(server.start("Kalverin")) << "a running service is not started twice";
}

TEST_F(DdeServerTest, ListsGrowAtTheirHeadsAndEachTopicOwnsItsListItems) {
    server.addItem("Alpha", "ONE", kTextFormats, constantReply, nullptr);
    server.addItem("Beta", "TWO", kTextFormats, constantReply, nullptr);
    server.addItem("Alpha", "THREE", kTextFormats, constantReply, nullptr);
    EXPECT_EQ(request("System", "Topics"), "Beta\tAlpha\tSystem\0"s);
    EXPECT_EQ(request("Alpha", "TopicItemList"), "THREE\tONE\tFormats\tTopicItemList\0"s);
    EXPECT_EQ(request("beta", "topicitemlist"), "TWO\tFormats\tTopicItemList\0"s);
    EXPECT_EQ(request("Beta", "Formats"), "TEXT\0"s);
    EXPECT_EQ(request("Alpha", "three"), "constant\0"s);
}

TEST_F(DdeServerTest, RegisteringAnExistingNameInOtherCaseReplacesTheHandlersInPlace) {
    DdeItem* first = server.addItem("Alpha", "ONE", kTextFormats, constantReply, refusePoke);
    server.addItem("Alpha", "TWO", kTextFormats, constantReply, nullptr);
    DdeItem* again = server.addItem("ALPHA", "one", kTextFormats, otherReply, acceptPoke);
    EXPECT_EQ(first, again);
    EXPECT_STREQ(again->name, "ONE");
    EXPECT_EQ(request("Alpha", "TopicItemList"), "TWO\tONE\tFormats\tTopicItemList\0"s);
    EXPECT_EQ(request("Alpha", "ONE"), "other\0"s);
    EXPECT_EQ(fake.poke("Alpha", "ONE", "x"s), kDdeFack);
    EXPECT_EQ(request("System", "Topics"), "Alpha\tSystem\0"s);
}

TEST_F(DdeServerTest, ConnectAcceptsRegisteredTopicsInAnyCase) {
    server.addItem("Alpha", "ONE", kTextFormats, constantReply, nullptr);
    struct Case {
        const char* topic;
        uintptr_t expected;
    } cases[] = {{"System", 1}, {"system", 1}, {"ALPHA", 1}, {"Beta", 0}, {"", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(fake.call(kXtypConnect, c.topic, "AnyService"), c.expected) << c.topic;
}

TEST_F(DdeServerTest, OnlyTheItemsFormatsAreServedOrAdvised) {
    server.addItem("Alpha", "ONE", kTextFormats, constantReply, nullptr);
    EXPECT_EQ(request("Alpha", "ONE", kCfOemText), std::nullopt);
    EXPECT_EQ(request("Alpha", "ONE", 0), std::nullopt);
    EXPECT_EQ(request("Alpha", "MISSING"), std::nullopt);
    EXPECT_EQ(request("Missing", "ONE"), std::nullopt);
    EXPECT_EQ(fake.call(kXtypAdvStart, "Alpha", "ONE", kCfText), 1u);
    EXPECT_EQ(fake.call(kXtypAdvStart, "Alpha", "ONE", kCfOemText), 0u);
    EXPECT_EQ(fake.call(kXtypAdvStart, "Alpha", "TWO", kCfText), 0u);
    EXPECT_EQ(fake.take(flag(fake.call(kXtypAdvReq, "Alpha", "ONE", kCfText))), "constant\0"s);
    EXPECT_EQ(fake.call(kXtypAdvReq, "Alpha", "ONE", kCfOemText), 0u);
}

TEST_F(DdeServerTest, AnItemWithoutRequestHandlerGivesNoData) {
    server.addItem("Alpha", "ONE", kTextFormats, nullptr, acceptPoke);
    EXPECT_EQ(request("Alpha", "ONE"), std::nullopt);
}

TEST_F(DdeServerTest, WildConnectListsPairsInTopicOrder) {
    server.addItem("Alpha", "ONE", kTextFormats, constantReply, nullptr);
    server.addItem("Beta", "TWO", kTextFormats, constantReply, nullptr);
    auto pairs = wildConnect(nullptr, nullptr);
    ASSERT_EQ(pairs.size(), 4u);
    const char* order[] = {"Beta", "Alpha", "System"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(fake.text(pairs[i].service), "Kalverin");
        EXPECT_EQ(fake.text(pairs[i].topic), order[i]);
    }
    EXPECT_EQ(pairs[3].service, nullptr);
    EXPECT_EQ(pairs[3].topic, nullptr);

    EXPECT_TRUE(wildConnect(nullptr, "Other").empty());
    EXPECT_TRUE(wildConnect("Gamma", "Kalverin").empty());
    EXPECT_TRUE(wildConnect("Gamma", nullptr).empty());
    for (const char* service : {"kalverin", static_cast<const char*>(nullptr)}) {
        auto one = wildConnect("alpha", service);
        ASSERT_EQ(one.size(), 2u);
        EXPECT_EQ(fake.text(one[0].service), "Kalverin");
        EXPECT_EQ(fake.text(one[0].topic), "alpha");
        EXPECT_EQ(one[1].service, nullptr);
    }
    EXPECT_EQ(fake.liveDataHandles(), 0);
}

TEST_F(DdeServerTest, PokeRepliesAndAdvisesByHandlerAndConversationStatus) {
    server.addItem("Alpha", "NONE", kTextFormats, constantReply, nullptr);
    server.addItem("Alpha", "NO", kTextFormats, constantReply, refusePoke);
    server.addItem("Alpha", "YES", kTextFormats, constantReply, acceptPoke);
    struct Case {
        const char* item;
        unsigned format;
        unsigned status;
        bool queryFails;
        uintptr_t reply;
        bool advised;
    } cases[] = {
        {"NONE", kCfText, 0, false, kDdeFNotProcessed, false},
        {"NO", kCfText, 0, false, kDdeFNotProcessed, false},
        {"YES", kCfOemText, 0, false, kDdeFNotProcessed, false},
        {"MISSING", kCfText, 0, false, kDdeFNotProcessed, false},
        {"YES", kCfText, 0, false, kDdeFack, true},
        {"yes", kCfText, 0x0003, false, kDdeFack, true},
        {"YES", kCfText, kStIsSelf, false, kDdeFack, false},
        {"YES", kCfText, 0, true, kDdeFack, false},
    };
    for (const Case& c : cases) {
        fake.advisesPosted.clear();
        fake.convStatus = c.status;
        fake.failConvQuery = c.queryFails;
        EXPECT_EQ(fake.poke("Alpha", c.item, "data"s, c.format), c.reply) << c.item;
        EXPECT_EQ(fake.advisesPosted.size(), c.advised ? 1u : 0u) << c.item;
    }
    EXPECT_EQ(fake.call(kXtypAdvData, "Alpha", "YES", kCfText, nullptr, fake.clientData("x")), kDdeFack);
}

TEST_F(DdeServerTest, ExecuteIsRefusedAndOtherNoticesAreIgnored) {
    server.addItem("Alpha", "ONE", kTextFormats, constantReply, acceptPoke);
    for (const char* topic : {"System", "Alpha", "Missing"}) {
        EXPECT_EQ(fake.call(kXtypExecute, topic, nullptr, 0, nullptr, fake.clientData("[run]")),
                  kDdeFNotProcessed);
    }
    for (unsigned type : {kXtypAdvStop, kXtypRegister, kXtypUnregister, kXtypXactComplete, kXtypError,
                          kXtypMonitor, 0u, 0xFFFFu}) {
        EXPECT_EQ(fake.call(type, "Alpha", "ONE"), 0u) << type;
    }
    EXPECT_TRUE(fake.advisesPosted.empty());
}

TEST_F(DdeServerTest, ConversationsAreTrackedAndEndedWithTheirTopic) {
    server.addItem("Alpha", "ONE", kTextFormats, constantReply, nullptr);
    server.addItem("Beta", "TWO", kTextFormats, constantReply, nullptr);
    Conv a1 = reinterpret_cast<Conv>(0x10), b1 = reinterpret_cast<Conv>(0x20),
         a2 = reinterpret_cast<Conv>(0x30);
    fake.call(kXtypConnectConfirm, "Alpha", "Kalverin", 0, a1);
    fake.call(kXtypConnectConfirm, "Beta", "Kalverin", 0, b1);
    fake.call(kXtypConnectConfirm, "ALPHA", "Kalverin", 0, a2);
    fake.call(kXtypDisconnect, nullptr, nullptr, 0, b1);
    fake.call(kXtypConnectConfirm, "Beta", "Kalverin", 0, b1);
    EXPECT_TRUE(server.removeTopic("alpha"));
    EXPECT_EQ(fake.disconnected, (std::vector<Conv>{a2, a1}));
    ASSERT_EQ(server.conversations().size(), 1u);
    EXPECT_EQ(server.conversations().front().conversation, b1);
}

TEST_F(DdeServerTest, RemovingATopicAnywhereInTheListKeepsTheOthers) {
    for (const char* topic : {"Alpha", "Beta", "Gamma"})
        server.addItem(topic, "ONE", kTextFormats, constantReply, nullptr);
    int strings = fake.liveServerStrings();
    EXPECT_TRUE(server.removeTopic("Beta"));
    EXPECT_EQ(request("System", "Topics"), "Gamma\tAlpha\tSystem\0"s);
    for (const char* topic : {"Alpha", "Gamma"}) {
        EXPECT_EQ(request(topic, "ONE"), "constant\0"s) << topic;
        EXPECT_EQ(fake.call(kXtypConnect, topic, "Kalverin"), 1u);
    }
    EXPECT_EQ(fake.call(kXtypConnect, "Beta", "Kalverin"), 0u);
    EXPECT_EQ(fake.liveServerStrings(), strings - 4) << "topic name and its three items";
    EXPECT_TRUE(server.removeTopic("Alpha"));
    EXPECT_EQ(request("System", "Topics"), "Gamma\tSystem\0"s);
}

TEST_F(DdeServerTest, RemovingUnregisteredNamesChangesNothing) {
    server.addItem("Alpha", "ONE", kTextFormats, constantReply, nullptr);
    int strings = fake.liveServerStrings();
    EXPECT_FALSE(server.removeTopic("Beta"));
    EXPECT_FALSE(server.removeItem("Beta", "ONE"));
    EXPECT_FALSE(server.removeItem("Alpha", "TWO"));
    EXPECT_FALSE(server.removeItem(nullptr, "ONE"));
    EXPECT_EQ(fake.liveServerStrings(), strings);
    EXPECT_EQ(request("Alpha", "TopicItemList"), "ONE\tFormats\tTopicItemList\0"s);
    EXPECT_TRUE(server.removeItem("alpha", "one"));
    EXPECT_EQ(request("Alpha", "TopicItemList"), "Formats\tTopicItemList\0"s);
    EXPECT_EQ(request("Alpha", "ONE"), std::nullopt);
}

TEST_F(DdeServerTest, StopFreesEveryHandleAndUninitialises) {
    server.addItem("Alpha", "ONE", kTextFormats, constantReply, nullptr);
    fake.call(kXtypConnectConfirm, "Alpha", "Kalverin", 0, reinterpret_cast<Conv>(0x10));
    // A client that turns up while the name is being withdrawn is turned away.
    std::vector<uintptr_t> whileStopping;
    fake.insideNameService = [&](const std::string& entry) {
        if (entry != "nameService Kalverin 2") return;
        whileStopping.push_back(fake.call(kXtypConnect, "Alpha", "Kalverin"));
        whileStopping.push_back(request("System", "Topics").has_value());
    };
    server.stop();
    fake.insideNameService = nullptr;
    EXPECT_EQ(whileStopping, (std::vector<uintptr_t>{0, 0}));
    EXPECT_EQ(fake.log, (std::vector<std::string>{"initialize", "nameService Kalverin 1",
                                                  "nameService Kalverin 2", "uninitialize"}));
    EXPECT_EQ(fake.liveServerStrings(), 0);
    EXPECT_EQ(fake.liveDataHandles(), 0);
    EXPECT_EQ(fake.handleErrors, 0);
    EXPECT_EQ(server.instance(), 0u);
    EXPECT_TRUE(server.topics().empty());
    EXPECT_TRUE(server.conversations().empty());
    // A second run starts from a clean registry.
    ASSERT_TRUE(server.start("Kalverin"));
    EXPECT_EQ(request("System", "Topics"), "System\0"s);
}

TEST(DdeServerStart, AFailedStartLeavesRecordsThatNoTransactionReaches) {
    FakeDdeml fake;
    fake.failInitialize = true;
    DdeServer server{fake};
    EXPECT_FALSE(server.start("Kalverin"));
    EXPECT_EQ(fake.log, std::vector<std::string>{"initialize"});
    EXPECT_NE(server.addItem("Alpha", "ONE", kTextFormats, constantReply, nullptr), nullptr);
    fake.server = &server;
    EXPECT_EQ(server.onTransaction(kXtypConnect, 0, nullptr, nullptr, nullptr, nullptr, 0, 0), nullptr);
    EXPECT_EQ(fake.call(kXtypConnect, "Alpha", "Kalverin"), 0u);
    server.stop();
    EXPECT_EQ(fake.log, std::vector<std::string>{"initialize"});
    EXPECT_EQ(fake.handleErrors, 0);
}

TEST_F(DdeServerTest, FormatsReplyTheUnionInCollectionOrder) {
    static const uint16_t mixed[] = {7, 1, 0xC123, 2, 0};
    static const uint16_t some[] = {2, 12, 0xC999, 0};
    fake.registeredFormats[0xC123] = "Private Format";
    server.addItem("Alpha", "MIXED", mixed, constantReply, nullptr);
    server.addItem("Beta", "SOME", some, constantReply, nullptr);
    EXPECT_EQ(request("Alpha", "Formats"), "OEMTEXT\tTEXT\tPrivate Format\tBITMAP\0"s);
    EXPECT_EQ(request("Beta", "Formats"), "BITMAP\tWAVE\t\tTEXT\0"s) << "unnamed formats are empty";
    EXPECT_EQ(request("System", "Formats"), "BITMAP\tWAVE\t\tTEXT\tOEMTEXT\tPrivate Format\0"s);
    EXPECT_EQ(request("Alpha", "MIXED", 0xC123), std::nullopt) << "textReply answers kCfText only";
}

TEST_F(DdeServerTest, TheFormatUnionStopsAt127) {
    static uint16_t many[201];
    for (int i = 0; i < 200; ++i) many[i] = static_cast<uint16_t>(0xC000 + i);
    many[200] = 0;
    server.addItem("Alpha", "MANY", many, constantReply, nullptr);
    auto reply = request("Alpha", "Formats");
    ASSERT_TRUE(reply);
    EXPECT_EQ(std::count(reply->begin(), reply->end(), '\t'), 126);
}

TEST_F(DdeServerTest, FormatNameTableAndCuts) {
    const char* names[] = {"TEXT",    "BITMAP", "METAFILEPICT", "SYLK",    "DIF",  "TIFF",
                           "OEMTEXT", "DIB",    "PALETTE",      "PENDATA", "RIFF", "WAVE"};
    char buffer[kFormatNameCapacity];
    for (unsigned f = 1; f <= 12; ++f)
        EXPECT_STREQ(server.formatName(f, buffer, sizeof buffer), names[f - 1]);
    fake.registeredFormats[0xC001] = "Rich Text Format";
    EXPECT_STREQ(server.formatName(0xC001, buffer, sizeof buffer), "Rich Text Format");
    EXPECT_STREQ(server.formatName(0xC002, buffer, sizeof buffer), "");
    EXPECT_STREQ(server.formatName(0, buffer, sizeof buffer), "");
    char small[5];
    EXPECT_STREQ(server.formatName(3, small, sizeof small), "META");
    EXPECT_STREQ(server.formatName(0xC001, small, sizeof small), "Rich");
}

TEST_F(DdeServerTest, RepliesThatCannotBeBuiltGiveNoData) {
    server.addItem("Alpha", "ONE", kTextFormats, constantReply, nullptr);
    fake.failAddData = true;
    EXPECT_EQ(request("System", "Topics"), std::nullopt);
    fake.failAddData = false;
    fake.failDataCreationAfter = 0;
    EXPECT_EQ(request("System", "Topics"), std::nullopt);
    EXPECT_EQ(request("Alpha", "ONE"), std::nullopt);
    EXPECT_TRUE(wildConnect(nullptr, nullptr).empty());
    fake.failDataCreationAfter = -1;
    fake.failAccess = true;
    EXPECT_TRUE(wildConnect(nullptr, nullptr).empty());
    EXPECT_EQ(fake.liveDataHandles(), 0);
    EXPECT_EQ(fake.handleErrors, 0);
}

TEST_F(DdeServerTest, ListAndTextRepliesByteForByte) {
    const char* names[] = {"a", "", "c"};
    EXPECT_EQ(fake.take(server.listReply(names, 3, kCfText, nullptr)), "a\t\tc\0"s);
    EXPECT_EQ(fake.take(server.listReply(names, 0, kCfText, nullptr)), "\0"s);
    EXPECT_EQ(fake.take(server.textReply(kCfText, "", nullptr)), "\0"s);
    EXPECT_EQ(server.textReply(kCfOemText, "x", nullptr), nullptr);
}

}  // namespace
}  // namespace kalverin
