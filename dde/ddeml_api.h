// The handful of DDE Management Library calls the service core makes, behind a small
// interface so that the registry and its dispatch run without Windows. The Win32 side
// (ddeml_win.cpp) forwards each call to the library; tests use a recording fake.
#pragma once
#include <cstddef>
#include <cstdint>

namespace kalverin {

// Opaque library handles. On Windows they are the library's HSZ, HDDEDATA and HCONV.
using Hsz = struct DdeStringTag*;
using DataHandle = struct DdeDataTag*;
using Conv = struct DdeConvTag*;

// A service/topic pair as XTYP_WILDCONNECT replies carry them (the layout of HSZPAIR).
struct HszPair {
    Hsz service;
    Hsz topic;
};

// The platform's numbers; ddeml_win.cpp checks each one against <ddeml.h>.
constexpr unsigned kXtypError = 0x8002;
constexpr unsigned kXtypAdvData = 0x4010;
constexpr unsigned kXtypAdvReq = 0x2022;
constexpr unsigned kXtypAdvStart = 0x1030;
constexpr unsigned kXtypAdvStop = 0x8040;
constexpr unsigned kXtypExecute = 0x4050;
constexpr unsigned kXtypConnect = 0x1062;
constexpr unsigned kXtypConnectConfirm = 0x8072;
constexpr unsigned kXtypXactComplete = 0x8080;
constexpr unsigned kXtypPoke = 0x4090;
constexpr unsigned kXtypRegister = 0x80A2;
constexpr unsigned kXtypRequest = 0x20B0;
constexpr unsigned kXtypDisconnect = 0x80C2;
constexpr unsigned kXtypUnregister = 0x80D2;
constexpr unsigned kXtypWildConnect = 0x20E2;
constexpr unsigned kXtypMonitor = 0x80F2;

constexpr unsigned kCfText = 1;
constexpr unsigned kCfOemText = 7;
constexpr unsigned kDdeFack = 0x8000;
constexpr unsigned kDdeFNotProcessed = 0;
constexpr int kCpWinAnsi = 1004;
constexpr unsigned kDnsRegister = 1;
constexpr unsigned kDnsUnregister = 2;
constexpr unsigned kStIsSelf = 0x0100;

class DdeServer;

class DdemlApi {
public:
    virtual ~DdemlApi() = default;

    // DdeInitializeA(&instance, callback, 0, 0) with a callback that hands every
    // transaction to server.onTransaction. False when the library refuses.
    virtual bool initialize(uint32_t& instance, DdeServer& server) = 0;
    virtual bool uninitialize(uint32_t instance) = 0;
    // DdeCreateStringHandleA(instance, text, CP_WINANSI); null on failure.
    virtual Hsz createStringHandle(uint32_t instance, const char* text) = 0;
    virtual bool freeStringHandle(uint32_t instance, Hsz handle) = 0;
    // DdeCmpStringHandles: 0 when equal, ignoring case.
    virtual int compareStringHandles(Hsz a, Hsz b) = 0;
    virtual bool nameService(uint32_t instance, Hsz service, unsigned command) = 0;
    virtual DataHandle createDataHandle(uint32_t instance, const void* source, uint32_t size, uint32_t offset,
                                        Hsz item, unsigned format, unsigned flags) = 0;
    // DdeAddData; the returned handle replaces the one given (null on failure).
    virtual DataHandle addData(DataHandle data, const void* source, uint32_t size, uint32_t offset) = 0;
    // Frees a data handle that was never handed back to the library.
    virtual bool freeDataHandle(DataHandle data) = 0;
    // DdeAccessData: the bytes of the data and their number; null on failure.
    virtual uint8_t* accessData(DataHandle data, uint32_t* size) = 0;
    virtual bool unaccessData(DataHandle data) = 0;
    // DdeQueryConvInfo(conversation, QID_SYNC, ...): the conversation's status word.
    virtual bool queryConvStatus(Conv conversation, unsigned& status) = 0;
    virtual bool postAdvise(uint32_t instance, Hsz topic, Hsz item) = 0;
    virtual bool disconnect(Conv conversation) = 0;
    // GetClipboardFormatNameA: the name's length, 0 when the format has none.
    virtual int clipboardFormatName(unsigned format, char* buffer, int capacity) = 0;
};

}  // namespace kalverin
