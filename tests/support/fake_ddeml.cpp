#include "tests/support/fake_ddeml.h"

#include <cstring>

#include "model/ascii_case.h"

namespace kalverin {

FakeDdeml::~FakeDdeml() = default;

FakeDdeml::StringEntry* FakeDdeml::liveString(Hsz handle) {
    auto found = strings_.find(id(handle));
    if (found == strings_.end() || found->second.references <= 0) return nullptr;
    return &found->second;
}

FakeDdeml::DataEntry* FakeDdeml::liveData(DataHandle handle) {
    auto found = data_.find(id(handle));
    if (found != data_.end()) return &found->second;
    ++handleErrors;
    return nullptr;
}

bool FakeDdeml::initialize(uint32_t& inst, DdeServer& s) {
    log.push_back("initialize");
    if (failInitialize) return false;
    server = &s;
    instance = inst = 0x51;
    return true;
}

bool FakeDdeml::uninitialize(uint32_t inst) {
    log.push_back("uninitialize");
    if (inst != instance) ++handleErrors;
    instance = 0;
    return true;
}

Hsz FakeDdeml::createStringHandle(uint32_t inst, const char* text) {
    if (inst == 0 || inst != instance || !text) return nullptr;
    // The library's string handles are atoms: one per text, whatever its case.
    for (auto& [key, entry] : strings_) {
        if (!entry.client && entry.references > 0 && sameName(entry.text, text)) {
            ++entry.references;
            return reinterpret_cast<Hsz>(key);
        }
    }
    uintptr_t key = nextId_++;
    strings_[key] = StringEntry{text, 1, false};
    return reinterpret_cast<Hsz>(key);
}

bool FakeDdeml::freeStringHandle(uint32_t, Hsz handle) {
    StringEntry* entry = liveString(handle);
    if (!entry || entry->client) {
        ++handleErrors;
        return false;
    }
    --entry->references;
    return true;
}

int FakeDdeml::compareStringHandles(Hsz a, Hsz b) {
    if (!a || !b) return a == b ? 0 : (a ? 1 : -1);
    StringEntry* x = liveString(a);
    StringEntry* y = liveString(b);
    if (!x || !y) {
        ++handleErrors;
        return a == b ? 0 : 1;
    }
    return sameName(x->text, y->text) ? 0 : (x->text < y->text ? -1 : 1);
}

std::string FakeDdeml::text(Hsz handle) const {
    auto found = strings_.find(id(handle));
    return found == strings_.end() ? std::string() : found->second.text;
}

bool FakeDdeml::nameService(uint32_t, Hsz service, unsigned command) {
    log.push_back("nameService " + text(service) + " " + std::to_string(command));
    if (insideNameService) insideNameService(log.back());
    return true;
}

DataHandle FakeDdeml::createDataHandle(uint32_t inst, const void* source, uint32_t size, uint32_t offset, Hsz,
                                       unsigned format, unsigned) {
    if (inst != instance || inst == 0) return nullptr;
    if (failDataCreationAfter >= 0 && dataCreations_ >= failDataCreationAfter) return nullptr;
    ++dataCreations_;
    DataEntry entry{std::vector<uint8_t>(size_t(offset) + size, 0xCD), format, false};
    if (source && size) std::memcpy(entry.bytes.data() + offset, source, size);
    uintptr_t key = nextId_++;
    data_[key] = std::move(entry);
    return reinterpret_cast<DataHandle>(key);
}

DataHandle FakeDdeml::addData(DataHandle handle, const void* source, uint32_t size, uint32_t offset) {
    DataEntry* entry = liveData(handle);
    if (!entry) return nullptr;
    if (failAddData) return nullptr;
    if (entry->bytes.size() < size_t(offset) + size) entry->bytes.resize(size_t(offset) + size, 0xCD);
    if (source && size) std::memcpy(entry->bytes.data() + offset, source, size);
    return handle;
}

bool FakeDdeml::freeDataHandle(DataHandle handle) {
    if (!liveData(handle)) return false;
    data_.erase(id(handle));
    return true;
}

uint8_t* FakeDdeml::accessData(DataHandle handle, uint32_t* size) {
    DataEntry* entry = liveData(handle);
    if (!entry) return nullptr;
    if (failAccess) return nullptr;
    entry->accessed = true;
    if (size) *size = static_cast<uint32_t>(entry->bytes.size());
    // A zero-length block still has an address, as the library's do.
    static uint8_t empty = 0;
    return entry->bytes.empty() ? &empty : entry->bytes.data();
}

bool FakeDdeml::unaccessData(DataHandle handle) {
    DataEntry* entry = liveData(handle);
    if (entry && !entry->accessed) ++handleErrors;
    if (!entry || !entry->accessed) return false;
    entry->accessed = false;
    return true;
}

bool FakeDdeml::queryConvStatus(Conv, unsigned& status) {
    if (failConvQuery) return false;
    status = convStatus;
    return true;
}

bool FakeDdeml::postAdvise(uint32_t, Hsz topic, Hsz item) {
    std::string t = text(topic), i = text(item);
    advisesPosted.push_back(t + "/" + i);
    for (AdviseLoop& loop : adviseLoops) {
        if (!sameName(loop.topic, t) || !sameName(loop.item, i)) continue;
        DataHandle reply =
            server->onTransaction(kXtypAdvReq, loop.format, nullptr, topic, item, nullptr, 1, 0);
        loop.received.push_back(take(reply));
    }
    return true;
}

bool FakeDdeml::disconnect(Conv conversation) {
    disconnected.push_back(conversation);
    return true;
}

int FakeDdeml::clipboardFormatName(unsigned format, char* buffer, int capacity) {
    auto found = registeredFormats.find(format);
    if (found == registeredFormats.end() || capacity <= 0) return 0;
    // Like the platform: at most capacity - 1 characters and a terminator.
    int length = static_cast<int>(found->second.size());
    if (length > capacity - 1) length = capacity - 1;
    std::memcpy(buffer, found->second.data(), size_t(length));
    buffer[length] = '\0';
    return length;
}

int FakeDdeml::liveServerStrings() const {
    int live = 0;
    for (const auto& [key, entry] : strings_)
        if (!entry.client) live += entry.references;
    return live;
}

int FakeDdeml::liveDataHandles() const {
    return static_cast<int>(data_.size());
}

bool FakeDdeml::anyDataAccessed() const {
    for (const auto& [key, entry] : data_)
        if (entry.accessed) return true;
    return false;
}

Hsz FakeDdeml::clientHandle(const std::string& text) {
    for (auto& [key, entry] : strings_)
        if (entry.client && entry.text == text) return reinterpret_cast<Hsz>(key);
    uintptr_t key = nextId_++;
    strings_[key] = StringEntry{text, 1, true};
    return reinterpret_cast<Hsz>(key);
}

DataHandle FakeDdeml::clientData(const std::string& bytes, unsigned format) {
    uintptr_t key = nextId_++;
    data_[key] = DataEntry{std::vector<uint8_t>(bytes.begin(), bytes.end()), format, false};
    return reinterpret_cast<DataHandle>(key);
}

std::optional<std::string> FakeDdeml::take(DataHandle reply) {
    if (!reply) return std::nullopt;
    DataEntry* entry = liveData(reply);
    if (!entry) return std::nullopt;
    std::string bytes(entry->bytes.begin(), entry->bytes.end());
    data_.erase(id(reply));
    return bytes;
}

uintptr_t FakeDdeml::call(unsigned type, const char* topic, const char* item, unsigned format,
                          Conv conversation, DataHandle data) {
    Hsz t = topic ? clientHandle(topic) : nullptr;
    Hsz i = item ? clientHandle(item) : nullptr;
    return reinterpret_cast<uintptr_t>(server->onTransaction(type, format, conversation, t, i, data, 0, 0));
}

std::optional<std::string> FakeDdeml::request(const char* topic, const char* item, unsigned format) {
    return take(reinterpret_cast<DataHandle>(call(kXtypRequest, topic, item, format)));
}

uintptr_t FakeDdeml::poke(const char* topic, const char* item, const std::string& bytes, unsigned format,
                          Conv conversation) {
    DataHandle data = clientData(bytes, format);
    uintptr_t result = call(kXtypPoke, topic, item, format, conversation, data);
    freeDataHandle(data);  // the client's data stays the client's
    return result;
}

}  // namespace kalverin
