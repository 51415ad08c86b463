#include "dde/quit_service_win.h"

#include "app/application.h"
#include "dde/dde_server.h"
#include "dde/ddeml_win.h"
#include "dde/quit_items.h"

namespace kalverin {

namespace {

Win32Ddeml& library() {
    static Win32Ddeml api;
    return api;
}

DdeServer& service() {
    static DdeServer server{library()};
    return server;
}

QuitItems& quitItems() {
    static QuitItems items;
    return items;
}

}  // namespace

bool startQuitService(AppState& state) {
    bool started = service().start("Kalverin");
    // Registered even when the library refused: the records then carry no handles and no
    // transaction can reach them, and the program runs on without the service.
    registerQuitItems(service(), quitItems(), state);
    return started;
}

void stopQuitService() {
    unregisterQuitItems(service(), quitItems());
    service().stop();
}

}  // namespace kalverin
