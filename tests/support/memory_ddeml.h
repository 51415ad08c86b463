// An in-memory DDE library for benchmarks and fuzzing: string handles point at interned
// texts, data handles are heap vectors (so the sanitizers see any misuse of them).
#pragma once
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "dde/dde_server.h"
#include "model/ascii_case.h"

namespace kalverin {

class MemoryDdeml : public DdemlApi {
public:
    bool initialize(uint32_t& instance, DdeServer&) override { return (instance = 1), true; }
    bool uninitialize(uint32_t) override { return true; }
    Hsz createStringHandle(uint32_t, const char* text) override { return intern(text); }
    bool freeStringHandle(uint32_t, Hsz) override { return true; }
    int compareStringHandles(Hsz a, Hsz b) override {
        return sameName(*reinterpret_cast<std::string*>(a), *reinterpret_cast<std::string*>(b)) ? 0 : 1;
    }
    bool nameService(uint32_t, Hsz, unsigned) override { return true; }
    DataHandle createDataHandle(uint32_t, const void* source, uint32_t size, uint32_t offset, Hsz, unsigned,
                                unsigned) override {
        auto* bytes = new std::vector<uint8_t>(size_t(offset) + size);
        if (source && size) std::memcpy(bytes->data() + offset, source, size);
        return reinterpret_cast<DataHandle>(bytes);
    }
    DataHandle addData(DataHandle data, const void* source, uint32_t size, uint32_t offset) override {
        auto* bytes = reinterpret_cast<std::vector<uint8_t>*>(data);
        if (bytes->size() < size_t(offset) + size) bytes->resize(size_t(offset) + size);
        std::memcpy(bytes->data() + offset, source, size);
        return data;
    }
    bool freeDataHandle(DataHandle data) override {
        delete reinterpret_cast<std::vector<uint8_t>*>(data);
        return true;
    }
    uint8_t* accessData(DataHandle data, uint32_t* size) override {
        auto* bytes = reinterpret_cast<std::vector<uint8_t>*>(data);
        if (size) *size = static_cast<uint32_t>(bytes->size());
        return bytes->data();
    }
    bool unaccessData(DataHandle) override { return true; }
    bool queryConvStatus(Conv, unsigned& status) override { return (status = 0), true; }
    bool postAdvise(uint32_t, Hsz, Hsz) override { return true; }
    bool disconnect(Conv) override { return true; }
    int clipboardFormatName(unsigned, char*, int) override { return 0; }

    Hsz intern(const char* text) {
        texts_.emplace_back(text);
        return reinterpret_cast<Hsz>(&texts_.back());
    }

private:
    std::deque<std::string> texts_;
};

}  // namespace kalverin
