// The quit items: statistics in figures and words, rendered hot-paste texts, the user's
// name and the script item, registered on the DDE service core.
#pragma once
#include <cstddef>
#include <vector>

#include "script/shared_state.h"
#include "dde/dde_server.h"
#include "model/text_buffer.h"

namespace kalverin {

constexpr size_t kQuitItemCount = 37;
constexpr size_t kWordItemMax = 51;   // DURATION and LIFESAVED word items
constexpr size_t kHabitItemMax = 99;  // HABIT items
constexpr size_t kScriptResultMax = 8191;
extern const char* const kVersionBanner;

struct QuitItems;

// What one registered item needs to answer: the shared state and its own table row.
struct QuitItemBinding {
    QuitItems* owner = nullptr;
    size_t row = 0;
};

struct QuitItems {
    QuitItems();
    QuitItems(const QuitItems&) = delete;
    QuitItems& operator=(const QuitItems&) = delete;

    SharedState* state = nullptr;
    // The text rendered from the last script poked to COMMAND/PARSEORVANE; one for all
    // conversations.
    TextBuffer scriptResult{kScriptResultMax};
    // Each fixed-script item renders into a buffer of its own, sized by its table row.
    std::vector<TextBuffer> ownBuffers;
    QuitItemBinding bindings[kQuitItemCount];
};

// Registers the whole item table in order, after emptying the script result.
void registerQuitItems(DdeServer& server, QuitItems& items, SharedState& state);
// Empties the script result, removes every item, then the six topics. The System topic
// stays for the server's stop. Returns the result of the last removal.
bool unregisterQuitItems(DdeServer& server, QuitItems& items);

}  // namespace kalverin
