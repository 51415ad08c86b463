#include "dde/ddeml_win.h"

#include <windows.h>
#include <ddeml.h>

#include "dde/dde_server.h"

namespace kalverin {

// The portable side spells the library's numbers itself; they must be the library's.
static_assert(kXtypError == XTYP_ERROR, "XTYP_ERROR");
static_assert(kXtypAdvData == XTYP_ADVDATA, "XTYP_ADVDATA");
static_assert(kXtypAdvReq == XTYP_ADVREQ, "XTYP_ADVREQ");
static_assert(kXtypAdvStart == XTYP_ADVSTART, "XTYP_ADVSTART");
static_assert(kXtypAdvStop == XTYP_ADVSTOP, "XTYP_ADVSTOP");
static_assert(kXtypExecute == XTYP_EXECUTE, "XTYP_EXECUTE");
static_assert(kXtypConnectConfirm == XTYP_CONNECT_CONFIRM, "XTYP_CONNECT_CONFIRM");
static_assert(kXtypConnect == XTYP_CONNECT, "XTYP_CONNECT");
static_assert(kXtypXactComplete == XTYP_XACT_COMPLETE, "XTYP_XACT_COMPLETE");
static_assert(kXtypPoke == XTYP_POKE, "XTYP_POKE");
static_assert(kXtypRegister == XTYP_REGISTER, "XTYP_REGISTER");
static_assert(kXtypRequest == XTYP_REQUEST, "XTYP_REQUEST");
static_assert(kXtypDisconnect == XTYP_DISCONNECT, "XTYP_DISCONNECT");
static_assert(kXtypUnregister == XTYP_UNREGISTER, "XTYP_UNREGISTER");
static_assert(kXtypWildConnect == XTYP_WILDCONNECT, "XTYP_WILDCONNECT");
static_assert(kXtypMonitor == XTYP_MONITOR, "XTYP_MONITOR");
static_assert(kCfText == CF_TEXT, "CF_TEXT");
static_assert(kCfOemText == CF_OEMTEXT, "CF_OEMTEXT");
static_assert(kDdeFack == DDE_FACK, "DDE_FACK");
static_assert(kDdeFNotProcessed == DDE_FNOTPROCESSED, "DDE_FNOTPROCESSED");
static_assert(kCpWinAnsi == CP_WINANSI, "CP_WINANSI");
static_assert(kDnsRegister == DNS_REGISTER, "DNS_REGISTER");
static_assert(kDnsUnregister == DNS_UNREGISTER, "DNS_UNREGISTER");
static_assert(kStIsSelf == ST_ISSELF, "ST_ISSELF");
static_assert(sizeof(HszPair) == sizeof(HSZPAIR) && offsetof(HszPair, topic) == offsetof(HSZPAIR, hszTopic),
              "HSZPAIR layout");
static_assert(sizeof(Hsz) == sizeof(HSZ) && sizeof(DataHandle) == sizeof(HDDEDATA) &&
                  sizeof(Conv) == sizeof(HCONV),
              "handle sizes");

namespace {

// DDEML's callback carries no context of ours; the process has one service.
DdeServer* activeServer = nullptr;

HSZ hsz(Hsz h) {
    return reinterpret_cast<HSZ>(h);
}
Hsz hsz(HSZ h) {
    return reinterpret_cast<Hsz>(h);
}
HDDEDATA data(DataHandle h) {
    return reinterpret_cast<HDDEDATA>(h);
}
DataHandle data(HDDEDATA h) {
    return reinterpret_cast<DataHandle>(h);
}

HDDEDATA CALLBACK serverCallback(UINT type, UINT format, HCONV conversation, HSZ hsz1, HSZ hsz2,
                                 HDDEDATA dataHandle, ULONG_PTR data1, ULONG_PTR data2) {
    if (!activeServer) return nullptr;
    return data(activeServer->onTransaction(type, format, reinterpret_cast<Conv>(conversation), hsz(hsz1),
                                            hsz(hsz2), data(dataHandle), data1, data2));
}

}  // namespace

bool Win32Ddeml::initialize(uint32_t& instance, DdeServer& server) {
    DdeServer* previous = activeServer;
    activeServer = &server;  // DdeInitializeA may already call back (XTYP_REGISTER notices)
    DWORD id = 0;
    if (DdeInitializeA(&id, serverCallback, 0, 0) != DMLERR_NO_ERROR) {
        activeServer = previous;
        return false;
    }
    instance = id;
    return true;
}

bool Win32Ddeml::uninitialize(uint32_t instance) {
    bool done = DdeUninitialize(instance) != FALSE;
    activeServer = nullptr;
    return done;
}

Hsz Win32Ddeml::createStringHandle(uint32_t instance, const char* text) {
    return hsz(DdeCreateStringHandleA(instance, text, CP_WINANSI));
}

bool Win32Ddeml::freeStringHandle(uint32_t instance, Hsz handle) {
    return DdeFreeStringHandle(instance, hsz(handle)) != FALSE;
}

int Win32Ddeml::compareStringHandles(Hsz a, Hsz b) {
    return DdeCmpStringHandles(hsz(a), hsz(b));
}

bool Win32Ddeml::nameService(uint32_t instance, Hsz service, unsigned command) {
    return DdeNameService(instance, hsz(service), nullptr, command) != nullptr;
}

DataHandle Win32Ddeml::createDataHandle(uint32_t instance, const void* source, uint32_t size, uint32_t offset,
                                        Hsz item, unsigned format, unsigned flags) {
    // The library copies the bytes; a handle returned from the callback becomes its own.
    return data(DdeCreateDataHandle(instance, static_cast<LPBYTE>(const_cast<void*>(source)), size, offset,
                                    hsz(item), format, flags));
}

DataHandle Win32Ddeml::addData(DataHandle handle, const void* source, uint32_t size, uint32_t offset) {
    return data(DdeAddData(data(handle), static_cast<LPBYTE>(const_cast<void*>(source)), size, offset));
}

bool Win32Ddeml::freeDataHandle(DataHandle handle) {
    return DdeFreeDataHandle(data(handle)) != FALSE;
}

uint8_t* Win32Ddeml::accessData(DataHandle handle, uint32_t* size) {
    DWORD length = 0;
    LPBYTE bytes = DdeAccessData(data(handle), &length);
    if (size) *size = length;
    return bytes;
}

bool Win32Ddeml::unaccessData(DataHandle handle) {
    return DdeUnaccessData(data(handle)) != FALSE;
}

bool Win32Ddeml::queryConvStatus(Conv conversation, unsigned& status) {
    CONVINFO info = {};
    info.cb = sizeof info;
    if (!DdeQueryConvInfo(reinterpret_cast<HCONV>(conversation), QID_SYNC, &info)) return false;
    status = info.wStatus;
    return true;
}

bool Win32Ddeml::postAdvise(uint32_t instance, Hsz topic, Hsz item) {
    return DdePostAdvise(instance, hsz(topic), hsz(item)) != FALSE;
}

bool Win32Ddeml::disconnect(Conv conversation) {
    return DdeDisconnect(reinterpret_cast<HCONV>(conversation)) != FALSE;
}

int Win32Ddeml::clipboardFormatName(unsigned format, char* buffer, int capacity) {
    return GetClipboardFormatNameA(format, buffer, capacity);
}

}  // namespace kalverin
