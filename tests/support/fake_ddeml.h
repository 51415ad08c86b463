// A recording stand-in for DDEML: string handles behave as case-insensitive atoms, data
// handles hold their bytes, every call the server makes is logged, failures can be
// switched on, and a few helpers play the client's side of a transaction.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "dde/dde_server.h"

namespace kalverin {

class FakeDdeml : public DdemlApi {
public:
    ~FakeDdeml() override;

    // DdemlApi
    bool initialize(uint32_t& instance, DdeServer& server) override;
    bool uninitialize(uint32_t instance) override;
    Hsz createStringHandle(uint32_t instance, const char* text) override;
    bool freeStringHandle(uint32_t instance, Hsz handle) override;
    int compareStringHandles(Hsz a, Hsz b) override;
    bool nameService(uint32_t instance, Hsz service, unsigned command) override;
    DataHandle createDataHandle(uint32_t instance, const void* source, uint32_t size, uint32_t offset,
                                Hsz item, unsigned format, unsigned flags) override;
    DataHandle addData(DataHandle data, const void* source, uint32_t size, uint32_t offset) override;
    bool freeDataHandle(DataHandle data) override;
    uint8_t* accessData(DataHandle data, uint32_t* size) override;
    bool unaccessData(DataHandle data) override;
    bool queryConvStatus(Conv conversation, unsigned& status) override;
    bool postAdvise(uint32_t instance, Hsz topic, Hsz item) override;
    bool disconnect(Conv conversation) override;
    int clipboardFormatName(unsigned format, char* buffer, int capacity) override;

    // Switches and knobs.
    bool failInitialize = false;
    int failDataCreationAfter = -1;  // creations that still succeed; -1: never fail
    bool failAccess = false;
    bool failAddData = false;
    unsigned convStatus = 0;
    bool failConvQuery = false;
    std::map<unsigned, std::string> registeredFormats;
    // Called with each name-service entry of the log, as the library may deliver
    // transactions from inside that call.
    std::function<void(const std::string&)> insideNameService;

    // What happened.
    std::vector<std::string> log;
    std::vector<std::string> advisesPosted;  // "TOPIC/ITEM"
    std::vector<Conv> disconnected;
    int handleErrors = 0;  // frees or uses of handles that are not alive
    int liveServerStrings() const;
    int liveDataHandles() const;
    bool anyDataAccessed() const;
    std::string text(Hsz handle) const;

    // The client's side.
    Hsz clientHandle(const std::string& text);
    DataHandle clientData(const std::string& bytes, unsigned format = kCfText);
    // The reply's bytes (none for no data); frees the reply as the library would.
    std::optional<std::string> take(DataHandle reply);
    uintptr_t call(unsigned type, const char* topic, const char* item, unsigned format = kCfText,
                   Conv conversation = nullptr, DataHandle data = nullptr);
    std::optional<std::string> request(const char* topic, const char* item, unsigned format = kCfText);
    uintptr_t poke(const char* topic, const char* item, const std::string& bytes, unsigned format = kCfText,
                   Conv conversation = nullptr);
    // Advise loops the fake library holds: postAdvise asks the server for each.
    struct AdviseLoop {
        std::string topic, item;
        unsigned format;
        std::vector<std::optional<std::string>> received;
    };
    std::vector<AdviseLoop> adviseLoops;

    DdeServer* server = nullptr;
    uint32_t instance = 0;

private:
    struct StringEntry {
        std::string text;
        int references;
        bool client;
    };
    struct DataEntry {
        std::vector<uint8_t> bytes;
        unsigned format;
        bool accessed;
    };
    static uintptr_t id(const void* handle) { return reinterpret_cast<uintptr_t>(handle); }
    StringEntry* liveString(Hsz handle);
    DataEntry* liveData(DataHandle handle);  // a handle that is not live counts in handleErrors

    std::map<uintptr_t, StringEntry> strings_;
    std::map<uintptr_t, DataEntry> data_;
    // Flags and booleans come back in the data handle's place; handle ids start far above.
    uintptr_t nextId_ = 0x100000;
    int dataCreations_ = 0;
};

}  // namespace kalverin
