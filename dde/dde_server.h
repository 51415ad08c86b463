// The DDE service core: a registry of topics and items over DDEML, the System topic,
// and the one transaction callback that answers the library on the registry's behalf.
#pragma once
#include <cstddef>
#include <cstdint>
#include <list>

#include "dde/ddeml_api.h"

namespace kalverin {

struct DdeItem;
struct DdeTopic;

// Handlers get the item they serve (its `context` is theirs), then what the library passed.
using RequestHandler = DataHandle (*)(DdeServer& server, DdeItem& item, unsigned format, Hsz topic,
                                      Hsz itemHandle);
using PokeHandler = int (*)(DdeServer& server, DdeItem& item, unsigned format, Hsz topic, Hsz itemHandle,
                            DataHandle data);

// The registry's lists grow at their heads (std::list::push_front): enumerations run from the
// entry added last to the one added first, and the records never move while registered, so
// handlers and callers may hold on to them.
struct DdeItem {
    const char* name = nullptr;  // borrowed: registrations pass constant texts
    Hsz handle = nullptr;
    DdeTopic* topic = nullptr;
    const uint16_t* formats = nullptr;  // borrowed, zero-terminated
    RequestHandler request = nullptr;
    PokeHandler poke = nullptr;
    void* context = nullptr;
};

struct DdeTopic {
    const char* name = nullptr;
    Hsz handle = nullptr;
    std::list<DdeItem> items;
};

struct DdeConversation {
    Conv conversation = nullptr;
    Hsz topic = nullptr;
};

// The format list every item of this program uses: CF_TEXT alone.
extern const uint16_t kTextFormats[];

constexpr size_t kFormatNameCapacity = 256;
constexpr size_t kMaxFormatUnion = 127;

class DdeServer {
public:
    explicit DdeServer(DdemlApi& api);
    ~DdeServer();
    DdeServer(const DdeServer&) = delete;
    DdeServer& operator=(const DdeServer&) = delete;

    // Initialises DDEML, builds the System topic and registers the service name.
    bool start(const char* serviceName, uint32_t* instanceOut = nullptr);
    // Unregisters the name, frees every handle and record, uninitialises DDEML.
    void stop();

    DdeItem* addItem(const char* topicName, const char* itemName, const uint16_t* formats,
                     RequestHandler request, PokeHandler poke, void* context = nullptr);
    bool removeItem(const char* topicName, const char* itemName);
    bool removeTopic(const char* topicName);

    DataHandle onTransaction(unsigned type, unsigned format, Conv conversation, Hsz hsz1, Hsz hsz2,
                             DataHandle data, uintptr_t data1, uintptr_t data2);

    // CF_TEXT text with its terminating zero; null for any other format.
    DataHandle textReply(unsigned format, const char* text, Hsz item);
    // Names joined by tabs, then one zero byte.
    DataHandle listReply(const char* const* names, size_t count, unsigned format, Hsz item);
    const char* formatName(unsigned format, char* buffer, size_t capacity);

    uint32_t instance() const { return instance_; }
    Hsz serviceHandle() const { return serviceHandle_; }
    const char* serviceName() const { return serviceName_; }
    DdemlApi& api() { return api_; }
    const std::list<DdeTopic>& topics() const { return topics_; }
    const std::list<DdeConversation>& conversations() const { return conversations_; }
    DdeTopic* findTopic(const char* name);
    DdeTopic* findTopic(Hsz handle);

private:
    DdeTopic* createTopic(const char* name);
    void freeHandles(const DdeTopic& topic);
    DdeItem* findKnownItem(Hsz topic, Hsz item, unsigned format);
    DataHandle wildConnectReply(Hsz topic, Hsz service);
    DataHandle poke(DdeItem& item, unsigned format, Conv conversation, Hsz hsz1, Hsz hsz2, DataHandle data);
    bool sameHandle(Hsz a, Hsz b) const;

    DdemlApi& api_;
    uint32_t instance_ = 0;
    const char* serviceName_ = nullptr;
    Hsz serviceHandle_ = nullptr;
    std::list<DdeTopic> topics_;
    std::list<DdeConversation> conversations_;
    bool stopping_ = false;
};

}  // namespace kalverin
