// The process-wide state, owned by the application object. Portable code takes the
// parts it needs as arguments; only Win32 callbacks reach them through app().
#pragma once
#include "model/currency.h"
#include "model/profile.h"
#include "model/quit_record.h"
#include "model/statistics.h"
#include "model/text_buffer.h"
#include "script/interpreter.h"

namespace kalverin {

struct AppState {
    QuitRecord record;
    QuitStatistics stats;
    InterpreterState interpreter;
    TextBuffer renderBuffer{kRenderMax};
    ProfileFile* settings = nullptr;  // the settings file of this run
    CurrencyFormat* currency = nullptr;
    int aboutBoxOpen = 0;

    ScriptContext scriptContext() { return ScriptContext{stats, record, interpreter, *currency}; }
};

AppState& app();

}  // namespace kalverin
