// The main window's decisions: the start-up and shutdown steps in their order, send to
// taskbar, the tick with its hide rule, the start-up restore guard, the About-once rule and
// the hot-key, tray and system-menu actions. The window procedure only translates messages.
#pragma once
#include <memory>
#include <string>
#include <utility>

#include "app/desktop.h"
#include "app/hot_paste.h"
#include "dde/quit_service.h"
#include "model/currency.h"
#include "model/profile.h"
#include "model/tick.h"
#include "script/shared_state.h"

namespace kalverin {

// The items the main window adds to its system menu.
constexpr unsigned kAboutCommand = 16;
constexpr unsigned kCopySigCommand = 32;

// Keeps the window minimised against the dialog manager. The dialog manager shows a modal
// dialog "normally" the first time its own loop runs empty (Wine does so even when the dialog
// is already visible, minimised), which would undo the start-up's minimise. That loop first
// runs empty just after start-up, or, on a first run, only once the quit details opened from
// it have closed, however many ticks that took. So the first restore request is refused
// until the window's own loop (no dialog over the window) has handled two ticks. A restore
// the user asks for (the taskbar button sends a system command for it) is never refused: it
// ends the guard.
class StartUpRestoreGuard {
public:
    void arm();                 // the start-up has just minimised the window
    void onUserRestore();       // the user asked for a restore
    bool allowsRestore();       // a restore request; refused once while armed
    void onTick(bool ownLoop);  // ownLoop: no modal dialog over the window
    bool armed() const { return armed_; }

private:
    bool armed_ = false;
    int ownLoopTicks_ = 0;
};

// The main window from WM_INITDIALOG to its destruction: the desktop it owns, what it keeps
// from one message to the next, and the application's parts its steps work on (those outlive
// the window and stay with the application).
class MainWindow {
public:
    MainWindow(std::unique_ptr<Desktop> desktop, SharedState& shared, ProfileFile& settings,
               QuitService& service, HotKeyRegistrations& hotKeys, const TickControls& controls)
        : ownDesktop_(std::move(desktop)),
          desktop(*ownDesktop_),
          shared(shared),
          settings(settings),
          service(service),
          hotKeys(hotKeys),
          controls(controls) {}
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

private:
    std::unique_ptr<Desktop> ownDesktop_;  // first: `desktop` refers to it

public:
    Desktop& desktop;
    SharedState& shared;
    ProfileFile& settings;
    QuitService& service;
    HotKeyRegistrations& hotKeys;
    const TickControls& controls;

    TickMemo tick;  // kept from one tick to the next
    RepeatGuard repeatGuard;
    StartUpRestoreGuard restoreGuard;
    bool aboutBoxOpen = false;  // an About dialog opened from the system menu is on screen
    bool saveFailing = false;   // the last save failed and the person has been told
};

// True when this build has not yet welcomed the user (lastBuild below 150).
bool welcomeDue(const QuitRecord& record);

// Window initialisation once the controls exist: the DDE service, the window's looks, the
// record (quitStart defaults to `now`), the tray icon, the first-run welcome, the tick timer,
// the secondary hot-keys and sendToTaskbar, in that order; then the restore guard is armed.
void startUp(MainWindow& window, TimeValue now);

// The combination shown becomes the primary hot-key: store, register, restart the tick,
// minimise.
void sendToTaskbar(MainWindow& window);

// Timer 1: the restore guard counts the tick, a minimised window of a user who lives in the
// icon alone is hidden, then the tick runs.
void onTick(MainWindow& window, TimeValue now);

// "&About Kalverin..." from the system menu: a second one while the first is open is refused.
void showAboutOnce(MainWindow& window);

// The hot-key message for id 1 to 5 (a held key's repeats are ignored), the watch on the held
// key, and "Copy Sig To Clipboard".
void onHotKey(MainWindow& window, int id);
void onKeyWatch(MainWindow& window);
void onCopySig(MainWindow& window);

// The tray icon's callback message, and a restarted shell's taskbar.
void onTrayMessage(MainWindow& window, unsigned mouseMessage);
void onTaskbarRestart(MainWindow& window);

// Window destruction, and the end of the session (which may end the process without a
// destruction): store the record, stop the DDE service, delete the tray icon.
void shutDown(MainWindow& window);

// Stores the record. A save that fails leaves the file as it was and the record in memory;
// the person is told once, with the file and the reason, until a save succeeds again.
void storeRecord(MainWindow& window, const QuitRecord& record);
// What the person is told when a save failed.
std::string saveFailureText(const SaveResult& result);

}  // namespace kalverin
