// What every rendering of the run reads and writes: the quit record, the last tick's
// statistics, the interpreter's state and the shared render buffer. The application owns
// one; tests build their own.
#pragma once
#include "model/currency.h"
#include "model/quit_record.h"
#include "model/statistics.h"
#include "model/text_buffer.h"
#include "script/interpreter.h"

namespace kalverin {

struct SharedState {
    QuitRecord record;
    QuitStatistics stats;
    InterpreterState interpreter;
    TextBuffer renderBuffer{kRenderMax};
    CurrencyFormat* currency = nullptr;  // the user's currency format, set before any rendering

    ScriptContext scriptContext() { return ScriptContext{stats, record, interpreter, *currency}; }
};

}  // namespace kalverin
