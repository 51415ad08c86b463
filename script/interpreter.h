// The template interpreter of hot-paste texts and poked scripts.
#pragma once
#include <string>

#include "model/currency.h"
#include "model/quit_record.h"
#include "model/statistics.h"
#include "model/text_buffer.h"

namespace kalverin {

// Persists for the whole run and carries over between renderings, whoever renders.
struct InterpreterState {
    int wordsMode = 0;
    std::string pluralSuffix = "S";
};

struct ScriptContext {
    const QuitStatistics& stats;
    const QuitRecord& record;
    InterpreterState& state;
    CurrencyFormat& currency;
};

// Appends the rendering of the zero-terminated source to `out`, cut at out's capacity.
void renderScript(const char* source, TextBuffer& out, ScriptContext& context);

}  // namespace kalverin
