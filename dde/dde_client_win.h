// A DDEML client for the console tool, the benchmark and the tests. Every transaction
// opens its own conversation: under Wine a stray acknowledgement after a request makes
// the next synchronous transaction on the same conversation fail.
#pragma once
#include <windows.h>
#include <ddeml.h>

#include <functional>
#include <string>

namespace kalverin {

// ended: the server ended the conversation while a watch held it.
enum class DdeOutcome { ok, noConversation, refused, library, ended };

class DdeClient {
public:
    DdeClient();
    ~DdeClient();
    DdeClient(const DdeClient&) = delete;
    DdeClient& operator=(const DdeClient&) = delete;

    bool ready() const { return instance_ != 0; }
    void setTimeout(DWORD ms) { timeoutMs_ = ms; }

    DdeOutcome request(const std::string& service, const std::string& topic, const std::string& item,
                       UINT format, std::string& reply);
    // Sends the bytes as they are; a text's terminator is the caller's to include.
    DdeOutcome poke(const std::string& service, const std::string& topic, const std::string& item,
                    UINT format, const std::string& bytes);
    DdeOutcome execute(const std::string& service, const std::string& topic, const std::string& command);
    // Holds an advise loop and hands each update to onData until it returns false or no
    // update came within waitMs (INFINITE waits for ever), or the server ends the
    // conversation (ended). ok once the loop was accepted.
    DdeOutcome watch(const std::string& service, const std::string& topic, const std::string& item,
                     UINT format, DWORD waitMs, const std::function<bool(const std::string&)>& onData,
                     bool* timedOut = nullptr);

private:
    static HDDEDATA CALLBACK callback(UINT type, UINT format, HCONV conversation, HSZ hsz1, HSZ hsz2,
                                      HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2);
    HCONV connect(const std::string& service, const std::string& topic);

    DWORD instance_ = 0;
    DWORD timeoutMs_ = 5000;
};

}  // namespace kalverin
