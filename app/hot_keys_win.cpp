// Hot-key registration and hot-paste delivery for the main window.
#include "app/app_win.h"
#include "app/application.h"
#include "app/desktop_win.h"
#include "app/hot_keys.h"
#include "app/hot_paste.h"

namespace kalverin {
namespace {

// The registrations of this run's main window; they end with it.
HotKeyRegistrations& registrations() {
    static HotKeyRegistrations instance;
    return instance;
}

}  // namespace

void registerHotKey(int id) {
    Win32Desktop desktop = mainDesktop();
    registrations().registerHotKey(desktop, app().record, id);
}

void hotPaste(int id) {
    AppState& state = app();
    Win32Desktop desktop = mainDesktop();
    ScriptContext script = state.scriptContext();
    hotPaste(Delivery{desktop, state.record, state.renderBuffer, script, renderScript}, id);
}

void deliverText(int index) {
    AppState& state = app();
    Win32Desktop desktop = mainDesktop();
    ScriptContext script = state.scriptContext();
    deliverText(Delivery{desktop, state.record, state.renderBuffer, script, renderScript}, index);
}

}  // namespace kalverin
