#include "dde/quit_service.h"

namespace kalverin {

bool QuitService::start(SharedState& state) {
    bool started = server_.start(kServiceName);
    // Registered even when the library refused: the records then carry no handles and no
    // transaction can reach them, and the program runs on without the service.
    registerQuitItems(server_, items_, state);
    return started;
}

void QuitService::stop() {
    unregisterQuitItems(server_, items_);
    server_.stop();
}

}  // namespace kalverin
