#include "dde/quit_items.h"

#include <cstdio>
#include <cstring>

#include "script/interpreter.h"

namespace kalverin {

const char* const kVersionBanner = "Kalverin Version 2.50 - quit statistics over DDE  ";

namespace {

enum class Reply { version, figure, script, hotPaste, userName, parseScript };

struct QuitItemRow {
    const char* topic;
    const char* item;
    Reply reply;
    int32_t QuitStatistics::*field;  // figure items
    const char* script;              // fixed-script items
    size_t capacity;                 // fixed-script items: their own buffer
    size_t textIndex;                // hot-paste items: entry of hotPasteTexts
};

using S = QuitStatistics;

// Registration order; each topic's items are listed from the last one registered.
const QuitItemRow kRows[kQuitItemCount] = {
    {"System", "VERSION", Reply::version, nullptr, nullptr, 0, 0},
    {"DURATION", "YEAR", Reply::figure, &S::years, nullptr, 0, 0},
    {"DURATION", "YEARWORD", Reply::script, nullptr, "{A}{+Y}", kWordItemMax, 0},
    {"DURATION", "MONTH", Reply::figure, &S::months, nullptr, 0, 0},
    {"DURATION", "MONTHWORD", Reply::script, nullptr, "{A}{+M}", kWordItemMax, 0},
    {"DURATION", "WEEK", Reply::figure, &S::weeks, nullptr, 0, 0},
    {"DURATION", "WEEKWORD", Reply::script, nullptr, "{A}{+W}", kWordItemMax, 0},
    {"DURATION", "DAY", Reply::figure, &S::days, nullptr, 0, 0},
    {"DURATION", "DAYWORD", Reply::script, nullptr, "{A}{+D}", kWordItemMax, 0},
    {"DURATION", "HOUR", Reply::figure, &S::hours, nullptr, 0, 0},
    {"DURATION", "HOURWORD", Reply::script, nullptr, "{A}{+h}", kWordItemMax, 0},
    {"DURATION", "MINUTE", Reply::figure, &S::minutes, nullptr, 0, 0},
    {"DURATION", "MINUTEWORD", Reply::script, nullptr, "{A}{+m}", kWordItemMax, 0},
    {"DURATION", "SECOND", Reply::figure, &S::seconds, nullptr, 0, 0},
    {"DURATION", "SECONDWORD", Reply::script, nullptr, "{A}{+s}", kWordItemMax, 0},
    {"LIFESAVED", "YEAR", Reply::figure, &S::lifeSavedYears, nullptr, 0, 0},
    {"LIFESAVED", "YEARWORD", Reply::script, nullptr, "{A}{+U}", kWordItemMax, 0},
    {"LIFESAVED", "WEEK", Reply::figure, &S::lifeSavedWeeks, nullptr, 0, 0},
    {"LIFESAVED", "WEEKWORD", Reply::script, nullptr, "{A}{+I}", kWordItemMax, 0},
    {"LIFESAVED", "DAY", Reply::figure, &S::lifeSavedDays, nullptr, 0, 0},
    {"LIFESAVED", "DAYWORD", Reply::script, nullptr, "{A}{+O}", kWordItemMax, 0},
    {"LIFESAVED", "HOUR", Reply::figure, &S::lifeSavedHours, nullptr, 0, 0},
    {"LIFESAVED", "HOURWORD", Reply::script, nullptr, "{A}{+j}", kWordItemMax, 0},
    {"LIFESAVED", "MINUTE", Reply::figure, &S::lifeSavedMinutes, nullptr, 0, 0},
    {"LIFESAVED", "MINUTEWORD", Reply::script, nullptr, "{A}{+k}", kWordItemMax, 0},
    {"LIFESAVED", "SECOND", Reply::figure, &S::lifeSavedSeconds, nullptr, 0, 0},
    {"LIFESAVED", "SECONDWORD", Reply::script, nullptr, "{A}{+l}", kWordItemMax, 0},
    {"HABIT", "NOTSMOKED", Reply::script, nullptr, "{1}{+C}", kHabitItemMax, 0},
    {"HABIT", "NOTSMOKEDWORD", Reply::script, nullptr, "{A}{+C}", kHabitItemMax, 0},
    {"HABIT", "MONEYSAVED", Reply::script, nullptr, "{+$}", kHabitItemMax, 0},
    {"HOTPASTE", "PRIMARY", Reply::hotPaste, nullptr, nullptr, 0, 0},
    {"HOTPASTE", "OTHER1", Reply::hotPaste, nullptr, nullptr, 0, 1},
    {"HOTPASTE", "OTHER2", Reply::hotPaste, nullptr, nullptr, 0, 2},
    {"HOTPASTE", "OTHER3", Reply::hotPaste, nullptr, nullptr, 0, 3},
    {"HOTPASTE", "OTHER4", Reply::hotPaste, nullptr, nullptr, 0, 4},
    {"USER", "NAME", Reply::userName, nullptr, "{+N}", 0, 0},
    {"COMMAND", "PARSEORVANE", Reply::parseScript, nullptr, nullptr, 0, 0},
};

const char* const kTopicRemovalOrder[] = {"DURATION", "LIFESAVED", "HABIT", "HOTPASTE", "USER", "COMMAND"};

constexpr size_t kFigureBufferSize = 52;

void render(QuitItems& items, const char* script, TextBuffer& out) {
    out.clear();
    ScriptContext context = items.state->scriptContext();
    renderScript(script, out, context);
}

DataHandle quitItemRequest(DdeServer& server, DdeItem& item, unsigned format, Hsz, Hsz itemHandle) {
    // Every reply is CF_TEXT: anything else gets no data before any work is done.
    if (format != kCfText) return nullptr;
    auto* binding = static_cast<QuitItemBinding*>(item.context);
    QuitItems& items = *binding->owner;
    const QuitItemRow& row = kRows[binding->row];
    SharedState& state = *items.state;
    switch (row.reply) {
        case Reply::version:
            return server.textReply(format, kVersionBanner, itemHandle);
        case Reply::figure: {
            char text[kFigureBufferSize];
            std::snprintf(text, sizeof text, "%d", static_cast<int>(state.stats.*row.field));
            return server.textReply(format, text, itemHandle);
        }
        case Reply::script: {
            TextBuffer& own = items.ownBuffers[binding->row];
            render(items, row.script, own);
            return server.textReply(format, own.c_str(), itemHandle);
        }
        case Reply::hotPaste:
            render(items, state.record.hotPasteTexts[row.textIndex].c_str(), state.renderBuffer);
            return server.textReply(format, state.renderBuffer.c_str(), itemHandle);
        case Reply::userName:
            render(items, row.script, state.renderBuffer);
            return server.textReply(format, state.renderBuffer.c_str(), itemHandle);
        case Reply::parseScript:
            return server.textReply(format, items.scriptResult.c_str(), itemHandle);
    }
    return nullptr;
}

int refusePoke(DdeServer&, DdeItem&, unsigned, Hsz, Hsz, DataHandle) {
    return 0;
}

// COMMAND/PARSEORVANE: the poked text is a script; its rendering becomes the result.
int parseScriptPoke(DdeServer& server, DdeItem& item, unsigned, Hsz, Hsz, DataHandle data) {
    auto* binding = static_cast<QuitItemBinding*>(item.context);
    QuitItems& items = *binding->owner;
    SharedState& state = *items.state;
    uint32_t size = 0;
    const uint8_t* bytes = data ? server.api().accessData(data, &size) : nullptr;
    if (!bytes) return 0;
    // The sender need not terminate its text: read no further than the data it sent,
    // stop at the first zero byte, keep at most what the render buffer holds.
    size_t length = 0;
    while (length < size && bytes[length] != 0) ++length;
    state.renderBuffer.clear();
    state.renderBuffer.append(std::string_view(reinterpret_cast<const char*>(bytes), length));
    items.scriptResult.clear();
    server.api().unaccessData(data);
    ScriptContext context = state.scriptContext();
    renderScript(state.renderBuffer.c_str(), items.scriptResult, context);
    return 1;
}

}  // namespace

QuitItems::QuitItems() {
    ownBuffers.reserve(kQuitItemCount);
    for (size_t i = 0; i < kQuitItemCount; ++i) {
        ownBuffers.emplace_back(kRows[i].reply == Reply::script ? kRows[i].capacity : 0);
        bindings[i] = QuitItemBinding{this, i};
    }
}

void registerQuitItems(DdeServer& server, QuitItems& items, SharedState& state) {
    items.state = &state;
    items.scriptResult.clear();
    for (size_t i = 0; i < kQuitItemCount; ++i) {
        const QuitItemRow& row = kRows[i];
        PokeHandler poke = row.reply == Reply::parseScript ? parseScriptPoke : refusePoke;
        server.addItem(row.topic, row.item, kTextFormats, quitItemRequest, poke, &items.bindings[i]);
    }
}

bool unregisterQuitItems(DdeServer& server, QuitItems& items) {
    items.scriptResult.clear();
    bool result = false;
    for (const QuitItemRow& row : kRows) result = server.removeItem(row.topic, row.item);
    for (const char* topic : kTopicRemovalOrder) result = server.removeTopic(topic);
    return result;
}

}  // namespace kalverin
