// The DDE service "Kalverin" with its quit items, as the main window starts and stops it.
#pragma once
#include "dde/dde_server.h"
#include "dde/quit_items.h"
#include "script/shared_state.h"

namespace kalverin {

constexpr const char* kServiceName = "Kalverin";

class QuitService {
public:
    explicit QuitService(DdemlApi& library) : server_(library) {}
    QuitService(const QuitService&) = delete;
    QuitService& operator=(const QuitService&) = delete;

    // Starts the service and registers the quit items over `state`, which must outlive the
    // service. Returns whether the library started it; the items are registered either way.
    bool start(SharedState& state);
    // Removes the quit items and stops the service.
    void stop();

private:
    DdeServer server_;
    QuitItems items_;
};

}  // namespace kalverin
