// The DDEML seam on Windows: every call goes straight to the library.
#pragma once
#include "dde/ddeml_api.h"

namespace kalverin {

class Win32Ddeml : public DdemlApi {
public:
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
};

}  // namespace kalverin
