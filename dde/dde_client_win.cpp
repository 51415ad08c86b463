#include "dde/dde_client_win.h"

#include <ddeml.h>

#include <deque>

namespace kalverin {

namespace {

// Advise data arrives in the callback, which carries no context: one queue per thread.
thread_local std::deque<std::string>* adviseQueue = nullptr;

// RAII owners for the library's handles.
class StringHandle {
public:
    StringHandle(DWORD instance, const std::string& text)
        : instance_(instance), handle_(DdeCreateStringHandleA(instance, text.c_str(), CP_WINANSI)) {}
    ~StringHandle() {
        if (handle_) DdeFreeStringHandle(instance_, handle_);
    }
    StringHandle(const StringHandle&) = delete;
    StringHandle& operator=(const StringHandle&) = delete;
    HSZ get() const { return handle_; }

private:
    DWORD instance_;
    HSZ handle_;
};

class Conversation {
public:
    explicit Conversation(HCONV handle) : handle_(handle) {}
    ~Conversation() {
        if (handle_) DdeDisconnect(handle_);
    }
    Conversation(const Conversation&) = delete;
    Conversation& operator=(const Conversation&) = delete;
    HCONV get() const { return handle_; }

private:
    HCONV handle_;
};

std::string takeData(HDDEDATA data) {
    std::string bytes;
    DWORD size = DdeGetData(data, nullptr, 0, 0);
    bytes.resize(size);
    if (size) DdeGetData(data, reinterpret_cast<LPBYTE>(&bytes[0]), size, 0);
    return bytes;
}

// Wine completes a poke or execute that the server answered with a negative
// acknowledgement as if it had succeeded; the acknowledgement's flags tell the truth.
bool accepted(HDDEDATA done, DWORD status) {
    return done && (LOWORD(status) & DDE_FACK);
}

// Whether the server still holds the conversation. Wine marks one the server ended without
// telling the client's callback, so the status is asked for rather than waited for.
bool stillConnected(HCONV conversation) {
    CONVINFO info = {};
    info.cb = sizeof info;
    return DdeQueryConvInfo(conversation, QID_SYNC, &info) && (info.wStatus & ST_CONNECTED);
}

}  // namespace

DdeClient::DdeClient() {
    if (DdeInitializeA(&instance_, callback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) instance_ = 0;
}

DdeClient::~DdeClient() {
    if (instance_) DdeUninitialize(instance_);
}

HDDEDATA CALLBACK DdeClient::callback(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR) {
    if (type != XTYP_ADVDATA) return nullptr;
    // Nothing may be thrown through the library: an update too large to hold is refused.
    try {
        if (adviseQueue && data) adviseQueue->push_back(takeData(data));
    } catch (...) {
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(DDE_FNOTPROCESSED));
    }
    return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(DDE_FACK));
}

HCONV DdeClient::connect(const std::string& service, const std::string& topic) {
    StringHandle s(instance_, service), t(instance_, topic);
    if (!s.get() || !t.get()) return nullptr;
    return DdeConnect(instance_, s.get(), t.get(), nullptr);
}

DdeOutcome DdeClient::request(const std::string& service, const std::string& topic, const std::string& item,
                              UINT format, std::string& reply) {
    if (!instance_) return DdeOutcome::library;
    Conversation conversation(connect(service, topic));
    if (!conversation.get()) return DdeOutcome::noConversation;
    StringHandle i(instance_, item);
    HDDEDATA data = DdeClientTransaction(nullptr, 0, conversation.get(), i.get(), format, XTYP_REQUEST,
                                         timeoutMs_, nullptr);
    if (!data) return DdeOutcome::refused;
    reply = takeData(data);
    DdeFreeDataHandle(data);  // a synchronous reply belongs to the client
    return DdeOutcome::ok;
}

DdeOutcome DdeClient::poke(const std::string& service, const std::string& topic, const std::string& item,
                           UINT format, const std::string& bytes) {
    if (!instance_) return DdeOutcome::library;
    Conversation conversation(connect(service, topic));
    if (!conversation.get()) return DdeOutcome::noConversation;
    StringHandle i(instance_, item);
    std::string copy = bytes;
    DWORD status = 0;
    HDDEDATA done = DdeClientTransaction(reinterpret_cast<LPBYTE>(copy.empty() ? nullptr : &copy[0]),
                                         static_cast<DWORD>(copy.size()), conversation.get(), i.get(), format,
                                         XTYP_POKE, timeoutMs_, &status);
    return accepted(done, status) ? DdeOutcome::ok : DdeOutcome::refused;
}

DdeOutcome DdeClient::execute(const std::string& service, const std::string& topic,
                              const std::string& command) {
    if (!instance_) return DdeOutcome::library;
    Conversation conversation(connect(service, topic));
    if (!conversation.get()) return DdeOutcome::noConversation;
    std::string copy = command;
    copy.push_back('\0');
    DWORD status = 0;
    HDDEDATA done = DdeClientTransaction(reinterpret_cast<LPBYTE>(&copy[0]), static_cast<DWORD>(copy.size()),
                                         conversation.get(), nullptr, 0, XTYP_EXECUTE, timeoutMs_, &status);
    return accepted(done, status) ? DdeOutcome::ok : DdeOutcome::refused;
}

DdeOutcome DdeClient::watch(const std::string& service, const std::string& topic, const std::string& item,
                            UINT format, DWORD waitMs, const std::function<bool(const std::string&)>& onData,
                            bool* timedOut) {
    if (timedOut) *timedOut = false;
    if (!instance_) return DdeOutcome::library;
    Conversation conversation(connect(service, topic));
    if (!conversation.get()) return DdeOutcome::noConversation;
    StringHandle i(instance_, item);
    if (!DdeClientTransaction(nullptr, 0, conversation.get(), i.get(), format, XTYP_ADVSTART, timeoutMs_,
                              nullptr)) {
        return DdeOutcome::refused;
    }
    std::deque<std::string> queue;
    adviseQueue = &queue;
    bool more = true;
    DWORD lastUpdate = GetTickCount();
    while (more) {
        while (more && !queue.empty()) {
            std::string bytes = std::move(queue.front());
            queue.pop_front();
            more = onData(bytes);
            lastUpdate = GetTickCount();
        }
        if (!more) break;
        if (!stillConnected(conversation.get())) {
            // The service went away or dropped us: no update will come.
            adviseQueue = nullptr;
            return DdeOutcome::ended;
        }
        DWORD waited = GetTickCount() - lastUpdate;
        if (waitMs != INFINITE && waited >= waitMs) {
            if (timedOut) *timedOut = true;
            break;
        }
        DWORD slice = waitMs == INFINITE ? INFINITE : waitMs - waited;
        // DDEML delivers advises through window messages of this thread.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    adviseQueue = nullptr;
    DdeClientTransaction(nullptr, 0, conversation.get(), i.get(), format, XTYP_ADVSTOP, timeoutMs_, nullptr);
    return DdeOutcome::ok;
}

}  // namespace kalverin
