// Drives the DDE service with transactions read from the input: pokes of any bytes (the
// script item first of all), requests, connects and registry changes, in any order.
#include <cstddef>
#include <cstdint>
#include <string>

#include "script/shared_state.h"
#include "dde/quit_items.h"
#include "tests/support/fake_ddeml.h"
#include "tests/support/us_currency.h"

using namespace kalverin;

namespace {

const char* const kTopics[] = {"System", "DURATION", "LIFESAVED", "HABIT",  "HOTPASTE",
                               "USER",   "COMMAND",  "command",   "Nothing"};
const char* const kItems[] = {"PARSEORVANE", "Topics",  "SysItems", "TopicItemList", "Formats",
                              "Protocols",   "VERSION", "SECOND",   "SECONDWORD",    "NOTSMOKEDWORD",
                              "MONEYSAVED",  "PRIMARY", "NAME",     "YEAR",          "Nothing"};
const unsigned kTypes[] = {kXtypPoke,        kXtypRequest, kXtypAdvReq,         kXtypAdvStart,  kXtypConnect,
                           kXtypWildConnect, kXtypExecute, kXtypConnectConfirm, kXtypDisconnect};

template <typename T, size_t N>
const T& pick(const T (&table)[N], uint8_t byte) {
    return table[byte % N];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    UsCurrencyFormat currency;
    SharedState state;
    state.currency = &currency;
    state.record.userName = "Fuzz";
    state.record.hotPasteTexts[0] = "{+N} {A}{+s}";
    FakeDdeml library;
    DdeServer server{library};
    QuitItems items;
    server.start("Kalverin");
    registerQuitItems(server, items, state);

    size_t at = 0;
    auto next = [&]() -> uint8_t { return at < size ? data[at++] : 0; };
    while (at < size) {
        uint8_t op = next();
        if (op == 0xFF) {
            if (next() & 1)
                unregisterQuitItems(server, items);
            else
                registerQuitItems(server, items, state);
            continue;
        }
        unsigned type = pick(kTypes, op);
        const char* topic = pick(kTopics, next());
        const char* item = pick(kItems, next());
        unsigned format = (op & 0x80) ? next() : kCfText;
        // The rest up to a length byte is the payload, terminated or not.
        size_t length = next();
        if (length > size - at) length = size - at;
        DataHandle payload =
            library.clientData(std::string(reinterpret_cast<const char*>(data + at), length), format);
        at += length;
        DataHandle reply = server.onTransaction(type, format, nullptr, library.clientHandle(topic),
                                                library.clientHandle(item), payload, 0, 0);
        library.freeDataHandle(payload);
        if (type == kXtypRequest || type == kXtypAdvReq || type == kXtypWildConnect) {
            if (reply) library.freeDataHandle(reply);
        }
        // A handle the server freed twice, or used after the library took it back, counts here.
        if (items.scriptResult.size() > kScriptResultMax || state.renderBuffer.size() > kRenderMax ||
            library.handleErrors != 0) {
            __builtin_trap();
        }
    }
    unregisterQuitItems(server, items);
    server.stop();
    return 0;
}
