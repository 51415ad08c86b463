#include "dde/dde_server.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "model/ascii_case.h"

namespace kalverin {

const uint16_t kTextFormats[] = {static_cast<uint16_t>(kCfText), 0};

namespace {

constexpr const char* kSystemTopic = "System";
constexpr const char* kTopicItemList = "TopicItemList";
constexpr const char* kFormats = "Formats";
constexpr const char* kProtocols = "Execute Control 1";

// Callback results that are flags or booleans travel in the data handle's place.
DataHandle flagResult(uintptr_t value) {
    return reinterpret_cast<DataHandle>(value);
}

bool formatListed(const uint16_t* formats, unsigned format) {
    if (!formats || format == 0) return false;
    for (const uint16_t* f = formats; *f; ++f) {
        if (*f == format) return true;
    }
    return false;
}

// Appends an item's formats not yet collected; the union keeps room for its terminator.
void collectFormats(const DdeItem& item, uint16_t* collected, size_t& count) {
    if (!item.formats) return;
    for (const uint16_t* f = item.formats; *f; ++f) {
        bool seen = false;
        for (size_t i = 0; i < count; ++i) seen = seen || collected[i] == *f;
        if (!seen && count < kMaxFormatUnion) collected[count++] = *f;
    }
}

DataHandle formatsReply(DdeServer& server, const uint16_t* collected, size_t count, unsigned format,
                        Hsz item) {
    std::vector<std::vector<char>> names(count, std::vector<char>(kFormatNameCapacity));
    std::vector<const char*> pointers;
    for (size_t i = 0; i < count; ++i) {
        pointers.push_back(server.formatName(collected[i], names[i].data(), names[i].size()));
    }
    return server.listReply(pointers.data(), pointers.size(), format, item);
}

DataHandle topicsRequest(DdeServer& server, DdeItem&, unsigned format, Hsz, Hsz item) {
    std::vector<const char*> names;
    for (const DdeTopic& t : server.topics()) names.push_back(t.name);
    return server.listReply(names.data(), names.size(), format, item);
}

// "TopicItemList" on every topic, and "SysItems" on System: the items of the item's topic.
DataHandle itemListRequest(DdeServer& server, DdeItem& self, unsigned format, Hsz, Hsz item) {
    std::vector<const char*> names;
    for (const DdeItem& i : self.topic->items) names.push_back(i.name);
    return server.listReply(names.data(), names.size(), format, item);
}

DataHandle topicFormatsRequest(DdeServer& server, DdeItem& self, unsigned format, Hsz, Hsz item) {
    uint16_t collected[kMaxFormatUnion + 1] = {};
    size_t count = 0;
    for (const DdeItem& i : self.topic->items) collectFormats(i, collected, count);
    return formatsReply(server, collected, count, format, item);
}

DataHandle allFormatsRequest(DdeServer& server, DdeItem&, unsigned format, Hsz, Hsz item) {
    uint16_t collected[kMaxFormatUnion + 1] = {};
    size_t count = 0;
    for (const DdeTopic& t : server.topics()) {
        for (const DdeItem& i : t.items) collectFormats(i, collected, count);
    }
    return formatsReply(server, collected, count, format, item);
}

// Always CF_TEXT, whatever was asked for: the protocol list is text by nature.
DataHandle protocolsRequest(DdeServer& server, DdeItem&, unsigned, Hsz, Hsz item) {
    return server.textReply(kCfText, kProtocols, item);
}

const char* const kStandardFormatNames[] = {"TEXT",    "BITMAP", "METAFILEPICT", "SYLK",    "DIF",  "TIFF",
                                            "OEMTEXT", "DIB",    "PALETTE",      "PENDATA", "RIFF", "WAVE"};

}  // namespace

DdeServer::DdeServer(DdemlApi& api) : api_(api) {}

DdeServer::~DdeServer() {
    stop();
}

bool DdeServer::sameHandle(Hsz a, Hsz b) const {
    // A record whose handle could not be made must not answer for a missing handle.
    if (!a || !b) return false;
    return api_.compareStringHandles(a, b) == 0;
}

DdeTopic* DdeServer::findTopic(const char* name) {
    if (!name) return nullptr;
    for (DdeTopic& t : topics_) {
        if (sameName(t.name, name)) return &t;
    }
    return nullptr;
}

DdeTopic* DdeServer::findTopic(Hsz handle) {
    for (DdeTopic& t : topics_) {
        if (sameHandle(t.handle, handle)) return &t;
    }
    return nullptr;
}

bool DdeServer::start(const char* serviceName, uint32_t* instanceOut) {
    if (instance_ != 0 || !serviceName) return false;
    uint32_t instance = 0;
    if (!api_.initialize(instance, *this)) return false;
    instance_ = instance;
    if (instanceOut) *instanceOut = instance;
    serviceName_ = serviceName;
    serviceHandle_ = api_.createStringHandle(instance_, serviceName);

    addItem(kSystemTopic, "Topics", kTextFormats, topicsRequest, nullptr);
    addItem(kSystemTopic, "SysItems", kTextFormats, itemListRequest, nullptr);
    addItem(kSystemTopic, kTopicItemList, kTextFormats, itemListRequest, nullptr);
    addItem(kSystemTopic, kFormats, kTextFormats, allFormatsRequest, nullptr);
    addItem(kSystemTopic, "Protocols", kTextFormats, protocolsRequest, nullptr);

    api_.nameService(instance_, serviceHandle_, kDnsRegister);
    return true;
}

// The string handles a topic holds, its items' first; the caller then drops the record.
void DdeServer::freeHandles(const DdeTopic& topic) {
    for (const DdeItem& item : topic.items) {
        if (item.handle) api_.freeStringHandle(instance_, item.handle);
    }
    if (topic.handle) api_.freeStringHandle(instance_, topic.handle);
}

void DdeServer::stop() {
    stopping_ = true;
    if (instance_ != 0) api_.nameService(instance_, serviceHandle_, kDnsUnregister);
    if (serviceHandle_) api_.freeStringHandle(instance_, serviceHandle_);
    serviceHandle_ = nullptr;
    // The records go with their handles: a later start builds a fresh registry.
    for (const DdeTopic& topic : topics_) freeHandles(topic);
    topics_.clear();
    // Uninitialising ends the conversations; their disconnect notices may still arrive.
    if (instance_ != 0) api_.uninitialize(instance_);
    conversations_.clear();
    instance_ = 0;
    serviceName_ = nullptr;
    stopping_ = false;
}

DdeTopic* DdeServer::createTopic(const char* name) {
    DdeTopic* topic = nullptr;
    try {
        topic = &topics_.emplace_front();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    topic->name = name;
    topic->handle = api_.createStringHandle(instance_, name);
    addItem(name, kTopicItemList, kTextFormats, itemListRequest, nullptr);
    addItem(name, kFormats, kTextFormats, topicFormatsRequest, nullptr);
    return topic;
}

DdeItem* DdeServer::addItem(const char* topicName, const char* itemName, const uint16_t* formats,
                            RequestHandler request, PokeHandler poke, void* context) {
    if (!topicName || !itemName) return nullptr;
    DdeTopic* topic = findTopic(topicName);
    if (!topic) topic = createTopic(topicName);
    if (!topic) return nullptr;
    for (DdeItem& item : topic->items) {
        if (sameName(item.name, itemName)) {
            // Same name in any case: new handlers, same place, first name kept.
            item.formats = formats;
            item.request = request;
            item.poke = poke;
            item.context = context;
            return &item;
        }
    }
    DdeItem* item = nullptr;
    try {
        item = &topic->items.emplace_front();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    item->name = itemName;
    item->handle = api_.createStringHandle(instance_, itemName);
    item->topic = topic;
    item->formats = formats;
    item->request = request;
    item->poke = poke;
    item->context = context;
    return item;
}

bool DdeServer::removeItem(const char* topicName, const char* itemName) {
    DdeTopic* topic = findTopic(topicName);
    if (!topic || !itemName) return false;
    auto item = std::find_if(topic->items.begin(), topic->items.end(),
                             [&](const DdeItem& i) { return sameName(i.name, itemName); });
    if (item == topic->items.end()) return false;
    if (item->handle) api_.freeStringHandle(instance_, item->handle);
    topic->items.erase(item);
    return true;
}

bool DdeServer::removeTopic(const char* topicName) {
    DdeTopic* topic = findTopic(topicName);
    if (!topic) return false;
    // End the conversations on this topic. Each record is unlinked before the library
    // is called, so a disconnect notice arriving meanwhile finds nothing to remove twice.
    for (;;) {
        auto found =
            std::find_if(conversations_.begin(), conversations_.end(),
                         [&](const DdeConversation& c) { return sameHandle(c.topic, topic->handle); });
        if (found == conversations_.end()) break;
        Conv conversation = found->conversation;
        conversations_.erase(found);
        api_.disconnect(conversation);
    }
    freeHandles(*topic);
    topics_.remove_if([&](const DdeTopic& t) { return &t == topic; });
    return true;
}

DdeItem* DdeServer::findKnownItem(Hsz topicHandle, Hsz itemHandle, unsigned format) {
    DdeTopic* topic = findTopic(topicHandle);
    if (!topic) return nullptr;
    for (DdeItem& item : topic->items) {
        if (sameHandle(item.handle, itemHandle)) {
            return formatListed(item.formats, format) ? &item : nullptr;
        }
    }
    return nullptr;
}

DataHandle DdeServer::onTransaction(unsigned type, unsigned format, Conv conversation, Hsz hsz1, Hsz hsz2,
                                    DataHandle data, uintptr_t, uintptr_t) {
    // Nothing may escape into the library: a failure is an empty or negative reply.
    try {
        if (stopping_ && type != kXtypDisconnect) return nullptr;
        switch (type) {
            case kXtypConnect:
                return flagResult(findTopic(hsz1) ? 1 : 0);
            case kXtypWildConnect:
                return wildConnectReply(hsz1, hsz2);
            case kXtypConnectConfirm:
                // Out of memory the conversation goes unrecorded (the catch below): it only
                // misses being ended by removeTopic.
                conversations_.push_front(DdeConversation{conversation, hsz1});
                return nullptr;
            case kXtypDisconnect: {
                auto found =
                    std::find_if(conversations_.begin(), conversations_.end(),
                                 [&](const DdeConversation& c) { return c.conversation == conversation; });
                if (found != conversations_.end()) conversations_.erase(found);
                return nullptr;
            }
            case kXtypAdvStart:
                return flagResult(findKnownItem(hsz1, hsz2, format) ? 1 : 0);
            case kXtypRequest:
            case kXtypAdvReq: {
                DdeItem* item = findKnownItem(hsz1, hsz2, format);
                if (!item || !item->request) return nullptr;
                return item->request(*this, *item, format, hsz1, hsz2);
            }
            case kXtypPoke:
            case kXtypAdvData: {
                DdeItem* item = findKnownItem(hsz1, hsz2, format);
                if (!item) return flagResult(kDdeFNotProcessed);
                return poke(*item, format, conversation, hsz1, hsz2, data);
            }
            case kXtypExecute:
                return flagResult(kDdeFNotProcessed);
            default:
                return nullptr;
        }
    } catch (...) {
        return nullptr;
    }
}

DataHandle DdeServer::poke(DdeItem& item, unsigned format, Conv conversation, Hsz hsz1, Hsz hsz2,
                           DataHandle data) {
    if (!item.poke || item.poke(*this, item, format, hsz1, hsz2, data) == 0) {
        return flagResult(kDdeFNotProcessed);
    }
    // Our own conversations are not advised; DdePostAdvise re-enters onTransaction with
    // XTYP_ADVREQ for every loop on this item, and the handler has stored the new value.
    unsigned status = 0;
    if (api_.queryConvStatus(conversation, status) && !(status & kStIsSelf)) {
        api_.postAdvise(instance_, hsz1, hsz2);
    }
    return flagResult(kDdeFack);
}

DataHandle DdeServer::wildConnectReply(Hsz topicHandle, Hsz service) {
    if (service && !sameHandle(service, serviceHandle_)) return nullptr;
    std::vector<HszPair> pairs;
    if (topicHandle) {
        DdeTopic* topic = findTopic(topicHandle);
        if (!topic) return nullptr;
        pairs.push_back(HszPair{serviceHandle_, topicHandle});
    } else {
        for (const DdeTopic& t : topics_) pairs.push_back(HszPair{serviceHandle_, t.handle});
        if (pairs.empty()) return nullptr;
    }
    pairs.push_back(HszPair{nullptr, nullptr});
    uint32_t size = static_cast<uint32_t>(pairs.size() * sizeof(HszPair));
    DataHandle reply = api_.createDataHandle(instance_, nullptr, size, 0, nullptr, 0, 0);
    if (!reply) return nullptr;
    uint32_t room = 0;
    uint8_t* bytes = api_.accessData(reply, &room);
    if (!bytes || room < size) {
        if (bytes) api_.unaccessData(reply);
        api_.freeDataHandle(reply);
        return nullptr;
    }
    std::memcpy(bytes, pairs.data(), size);
    api_.unaccessData(reply);
    return reply;
}

DataHandle DdeServer::textReply(unsigned format, const char* text, Hsz item) {
    if (format != kCfText || !text) return nullptr;
    return api_.createDataHandle(instance_, text, static_cast<uint32_t>(std::strlen(text) + 1), 0, item,
                                 kCfText, 0);
}

DataHandle DdeServer::listReply(const char* const* names, size_t count, unsigned format, Hsz item) {
    DataHandle reply = api_.createDataHandle(instance_, nullptr, 0, 0, item, format, 0);
    if (!reply) return nullptr;
    uint32_t offset = 0;
    auto append = [&](const char* bytes, uint32_t size) {
        if (!reply || size == 0) return;
        DataHandle grown = api_.addData(reply, bytes, size, offset);
        if (!grown) {
            api_.freeDataHandle(reply);
            reply = nullptr;
            return;
        }
        reply = grown;
        offset += size;
    };
    for (size_t i = 0; i < count; ++i) {
        const char* name = names[i] ? names[i] : "";
        if (i > 0) append("\t", 1);
        append(name, static_cast<uint32_t>(std::strlen(name)));
    }
    append("", 1);
    return reply;
}

const char* DdeServer::formatName(unsigned format, char* buffer, size_t capacity) {
    if (!buffer || capacity == 0) return buffer;
    buffer[0] = '\0';
    if (format >= 1 && format <= 12) {
        const char* name = kStandardFormatNames[format - 1];
        size_t length = std::strlen(name);
        if (length > capacity - 1) length = capacity - 1;
        std::memcpy(buffer, name, length);
        buffer[length] = '\0';
        return buffer;
    }
    int cap = capacity > 0x7fffffff ? 0x7fffffff : static_cast<int>(capacity);
    int length = api_.clipboardFormatName(format, buffer, cap);
    if (length <= 0) {
        buffer[0] = '\0';
    } else {
        buffer[static_cast<size_t>(length) < capacity ? length : capacity - 1] = '\0';
    }
    return buffer;
}

}  // namespace kalverin
