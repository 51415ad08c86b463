#include "app/main_window.h"

#include "app/tray.h"
#include "model/hot_key_ids.h"
#include "model/settings.h"

namespace kalverin {

void StartUpRestoreGuard::arm() {
    armed_ = true;
    ownLoopTicks_ = 0;
}

void StartUpRestoreGuard::onUserRestore() {
    armed_ = false;
}

bool StartUpRestoreGuard::allowsRestore() {
    bool allow = !armed_;
    armed_ = false;
    return allow;
}

void StartUpRestoreGuard::onTick(bool ownLoop) {
    // A modal dialog over the window disables it; its ticks come through that dialog's loop.
    if (armed_ && ownLoop && ++ownLoopTicks_ >= 2) armed_ = false;
}

bool welcomeDue(const QuitRecord& record) {
    return record.lastBuild < kWelcomeBelowBuild;
}

void startUp(MainWindow& window, TimeValue now) {
    Desktop& desktop = window.desktop;
    QuitRecord& record = window.shared.record;
    // Before the record is loaded; the result is not looked at: the program runs on without it.
    window.service.start(window.shared);
    desktop.decorateWindow();
    loadSettings(record, window.settings, now);
    desktop.showHotKeyCombination(
        static_cast<uint16_t>((record.hotKeyVk[0] & 0xFF) | ((record.hotKeyModifiers[0] & 0xFF) << 8)));
    if (record.quitStart == 0) record.quitStart = now;
    keepTrayIcon(desktop, window.tick.icon, window.shared.stats.tipText);  // empty until the first tick
    if (welcomeDue(record)) {
        record.lastBuild = kCurrentBuild;
        desktop.showWelcome();
        storeRecord(window, record);
        // Handled once the window's own loop runs, so the quit details open after the start-up.
        desktop.postChangeQuitDetails();
    }
    desktop.startTickTimer();
    if (record.secondaryHotKeysEnabled)
        for (int id = kPrimaryHotKey + 1; id <= kLastHotKey; ++id)
            window.hotKeys.registerHotKey(desktop, record, id);
    sendToTaskbar(window);
    window.restoreGuard.arm();
}

void sendToTaskbar(MainWindow& window) {
    Desktop& desktop = window.desktop;
    QuitRecord& record = window.shared.record;
    const uint16_t combination = desktop.hotKeyCombination();
    record.hotKeyVk[0] = combination & 0xFF;
    record.hotKeyModifiers[0] = (combination >> 8) & 0xFF;
    storeRecord(window, record);
    window.hotKeys.registerHotKey(desktop, record, kPrimaryHotKey);
    desktop.startTickTimer();
    desktop.minimise();
}

void onTick(MainWindow& window, TimeValue now) {
    Desktop& desktop = window.desktop;
    SharedState& shared = window.shared;
    window.restoreGuard.onTick(desktop.isEnabled());
    // Hidden, the window still counts as minimised for the rest of the tick. Hidden while the
    // shell has lost the icon, it comes back as a taskbar button.
    const bool iconShown = window.tick.icon.shown;
    if (!desktop.isVisible()) {
        if (!iconShown) desktop.showMinimised();
    } else if (hidesBeforeTick(shared.record, desktop.isMinimised(), iconShown)) {
        desktop.hide();
    }
    const TickContext context{*shared.currency, window.tick, window.controls, desktop, desktop};
    tick(shared.record, shared.stats, now, desktop.isMinimised(), context);
}

void showAboutOnce(MainWindow& window) {
    bool& open = window.aboutBoxOpen;
    if (open) return;
    open = true;
    window.desktop.showAbout();
    open = false;
}

namespace {

template <typename Deliver>
void deliver(MainWindow& window, Deliver step) {
    SharedState& shared = window.shared;
    ScriptContext script = shared.scriptContext();
    step(Delivery{window.desktop, window.desktop, shared.record, shared.renderBuffer, script, renderScript});
}

}  // namespace

void onHotKey(MainWindow& window, int id) {
    if (!window.repeatGuard.admit(id)) return;
    deliver(window, [id](const Delivery& delivery) { hotPaste(delivery, id); });
    if (!window.repeatGuard.released(window.desktop, window.shared.record))
        window.desktop.watchKeyRelease(true);
}

void onKeyWatch(MainWindow& window) {
    if (window.repeatGuard.released(window.desktop, window.shared.record))
        window.desktop.watchKeyRelease(false);
}

void onCopySig(MainWindow& window) {
    deliver(window, [](const Delivery& delivery) { deliverText(delivery, 0); });
}

void onTrayMessage(MainWindow& window, unsigned mouseMessage) {
    onTrayCallback(window.desktop, window.shared.record, mouseMessage,
                   [&window](const QuitRecord& record) { storeRecord(window, record); });
}

void onTaskbarRestart(MainWindow& window) {
    onTaskbarCreated(window.desktop, window.tick.icon, window.shared.stats.tipText);
}

void shutDown(MainWindow& window) {
    storeRecord(window, window.shared.record);
    window.service.stop();
    setTrayIcon(window.desktop, TrayAction::remove, window.shared.stats.tipText);
}

std::string saveFailureText(const SaveResult& result) {
    std::string reason = result.reason;
    if (!reason.empty() && reason.back() != '.') reason += '.';
    return "Kalverin could not save your quit details to " + result.path + ": " + reason +
           " Your figures are kept while Kalverin runs; it will try again at the next save.";
}

void storeRecord(MainWindow& window, const QuitRecord& record) {
    const SaveResult result = saveSettings(record, window.settings);
    if (result.saved) {
        window.saveFailing = false;
        return;
    }
    // Every later save writes the whole record, so a failure that lasts is worth one message.
    if (window.saveFailing) return;
    window.saveFailing = true;
    window.desktop.messageBox(saveFailureText(result).c_str());
}

}  // namespace kalverin
