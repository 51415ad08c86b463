#include "app/hot_paste.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "script/number_words.h"
#include "tests/support/recording_desktop.h"
#include "tests/support/us_currency.h"

namespace kalverin {
namespace {

const Calls kCtrlV = {"keys:17v 86v 86^ 17^"};

// A clipboard another program holds throughout: tried for about a second.
Calls busyThroughout() {
    Calls calls;
    for (int attempt = 1; attempt <= kPauseSteps; ++attempt)
        calls = calls + (attempt < kPauseSteps ? Calls{"open:failed", "pause:50"} : Calls{"open:failed"});
    return calls;
}

// Stands in for the interpreter: writes "<" source ">" and notes the call in the
// desktop's log, so that the order of rendering and clipboard steps shows.
RecordingDesktop* gDesktop = nullptr;
void fakeRender(const char* source, TextBuffer& out, ScriptContext&) {
    gDesktop->calls.push_back(std::string("render:") + source);
    out.append("<");
    out.append(source);
    out.append(">");
}

// Writes the source alone, for exact lengths.
void plainRender(const char* source, TextBuffer& out, ScriptContext&) {
    out.append(source);
}

class HotPasteTest : public ::testing::Test {
protected:
    HotPasteTest() { gDesktop = &desktop; }
    ~HotPasteTest() override { gDesktop = nullptr; }

    Delivery delivery(RenderFunction render = fakeRender) {
        return Delivery{desktop, desktop, record, renderBuffer, script, render};
    }

    RecordingDesktop desktop;
    QuitRecord record;
    QuitStatistics stats;
    InterpreterState state;
    UsCurrencyFormat currency;
    ScriptContext script{stats, record, state, currency};
    TextBuffer renderBuffer{kRenderMax};
};

struct DeliveryCase {
    const char* name;
    int id;  // hot-key id, or 0 for "Copy Sig To Clipboard" (text 0, no keys)
    const char* text;
    int busyOpens;  // opens that fail first
    ClipboardSet set;
    DeliveryResult result;
    Calls calls;
    const char* clipboard;  // what it holds afterwards (it started with "old")
};

void PrintTo(const DeliveryCase& c, std::ostream* os) {
    *os << c.name;
}

const DeliveryCase kDeliveryCases[] = {
    {"PrimaryHotKey", 1, "sig", 0, ClipboardSet::ok, DeliveryResult::delivered,
     Calls{"render:sig", "open", "empty", "set:<sig>\r\n", "close"} + kCtrlV, "<sig>\r\n"},
    {"SecondaryHotKeyDeliversItsEntry", 4, "third", 0, ClipboardSet::ok, DeliveryResult::delivered,
     Calls{"render:third", "open", "empty", "set:<third>\r\n", "close"} + kCtrlV, "<third>\r\n"},
    {"EmptyTextIsJustALineBreak", 2, "", 0, ClipboardSet::ok, DeliveryResult::delivered,
     Calls{"render:", "open", "empty", "set:<>\r\n", "close"} + kCtrlV, "<>\r\n"},
    {"ClipboardBusyForAMomentIsTriedAgain", 2, "sig", 2, ClipboardSet::ok, DeliveryResult::delivered,
     Calls{"render:sig", "open:failed", "pause:50", "open:failed", "pause:50", "open", "empty",
           "set:<sig>\r\n", "close"} +
         kCtrlV,
     "<sig>\r\n"},
    // Ctrl+V would paste what the clipboard held before: nothing is injected.
    {"ClipboardBusyThroughoutShowsTheBoxAndPastesNothing", 1, "sig", 1000, ClipboardSet::ok,
     DeliveryResult::clipboardBusy,
     Calls{"render:sig"} + busyThroughout() + Calls{"box:Cannot open clipboard!"}, "old"},
    {"OutOfMemoryClosesBeforeTheBox", 1, "sig", 0, ClipboardSet::outOfMemory, DeliveryResult::outOfMemory,
     Calls{"render:sig", "open", "empty", "set:<sig>\r\n", "close", "box:Out Of Memory!"}, ""},
    {"RefusedBlockIsClosedQuietly", 1, "sig", 0, ClipboardSet::refused, DeliveryResult::refused,
     Calls{"render:sig", "open", "empty", "set:<sig>\r\n", "close"}, ""},
    {"CopySigInjectsNoKeys", 0, "sig", 0, ClipboardSet::ok, DeliveryResult::delivered,
     Calls{"render:sig", "open", "empty", "set:<sig>\r\n", "close"}, "<sig>\r\n"},
    {"CopySigClipboardBusy", 0, "sig", 1000, ClipboardSet::ok, DeliveryResult::clipboardBusy,
     Calls{"render:sig"} + busyThroughout() + Calls{"box:Cannot open clipboard!"}, "old"},
    {"UnknownHotKeyIdDoesNothing", 6, "sig", 0, ClipboardSet::ok, DeliveryResult::ignored, Calls{}, "old"},
    {"HotKeyIdZeroDoesNothing", -1, "sig", 0, ClipboardSet::ok, DeliveryResult::ignored, Calls{}, "old"},
};

class DeliveryTest : public HotPasteTest, public ::testing::WithParamInterface<DeliveryCase> {};

TEST_P(DeliveryTest, CallsInOrder) {
    const DeliveryCase& c = GetParam();
    desktop.busyOpens = c.busyOpens;
    desktop.clipboardSet = c.set;
    desktop.clipboard = "old";
    for (auto& text : record.hotPasteTexts) text = "wrong entry";
    int index = c.id == 0 ? 0 : c.id - 1;
    if (index >= 0 && index < static_cast<int>(kHotKeyCount)) record.hotPasteTexts[index] = c.text;

    DeliveryResult result = c.id == 0 ? deliverText(delivery(), 0) : hotPaste(delivery(), c.id);

    EXPECT_EQ(result, c.result);
    EXPECT_EQ(desktop.calls, c.calls);
    EXPECT_EQ(desktop.clipboard, c.clipboard);
    EXPECT_FALSE(desktop.clipboardOpen);
}

INSTANTIATE_TEST_SUITE_P(HotPaste, DeliveryTest, ::testing::ValuesIn(kDeliveryCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A second hot-key handled by the box's message loop finds the clipboard closed and
// delivers and pastes at once; the first, which delivered nothing, injects nothing.
TEST_F(HotPasteTest, HotKeyDuringTheOutOfMemoryBoxDeliversAtOnce) {
    record.hotPasteTexts[0] = "first";
    record.hotPasteTexts[1] = "second";
    desktop.clipboardSet = ClipboardSet::outOfMemory;
    desktop.duringMessageBox = [&] {
        EXPECT_FALSE(desktop.clipboardOpen);
        desktop.clipboardSet = ClipboardSet::ok;
        EXPECT_EQ(hotPaste(delivery(), 2), DeliveryResult::delivered);
    };
    EXPECT_EQ(hotPaste(delivery(), 1), DeliveryResult::outOfMemory);
    EXPECT_EQ(desktop.calls,
              Calls({"render:first", "open", "empty", "set:<first>\r\n", "close", "box:Out Of Memory!",
                     "render:second", "open", "empty", "set:<second>\r\n", "close"}) +
                  kCtrlV + Calls{"box closed"});
    EXPECT_EQ(desktop.clipboard, "<second>\r\n");
}

// The person's Shift, Alt and Windows keys would turn Ctrl+V into another command: the paste
// waits for them, and lifts in its own input any still down after about a second. A Ctrl the
// person holds is used and stays down, so that the next press of the combination pastes too.
TEST(PasteKeys, WaitsForTheOtherModifiersAndLeavesAHeldCtrlDown) {
    struct Case {
        const char* name;
        std::set<int> held;
        int letGoAfter;  // pauses until every key but Ctrl is let go
        Calls calls;
    };
    Calls heldThroughout;
    for (int step = 0; step < kPauseSteps; ++step) heldThroughout.push_back("pause:50");
    const Case cases[] = {
        {"NothingHeld", {}, 0, {"keys:17v 86v 86^ 17^"}},
        {"CtrlHeld", {kVkControl}, 0, {"keys:17v 86v 86^"}},
        {"CtrlAndLeftAlt", {kVkControl, kVkLeftAlt}, 2, {"pause:50", "pause:50", "keys:17v 86v 86^"}},
        {"RightShiftAndWindowsKey",
         {kVkRightShift, kVkRightWindows},
         1,
         {"pause:50", "keys:17v 86v 86^ 17^"}},
        {"LeftShiftAndWindowsKey", {kVkLeftShift, kVkLeftWindows}, 1, {"pause:50", "keys:17v 86v 86^ 17^"}},
        {"RightAltHeldThroughout",
         {kVkControl, kVkRightAlt},
         1000,
         heldThroughout + Calls{"keys:165^ 17v 86v 86^"}},
        {"ShiftHeldThroughout", {kVkLeftShift}, 1000, heldThroughout + Calls{"keys:160^ 17v 86v 86^ 17^"}},
    };
    for (const Case& c : cases) {
        RecordingDesktop desktop;
        desktop.keysDown = c.held;
        int pauses = 0;
        desktop.duringPause = [&] {
            if (++pauses == c.letGoAfter)
                desktop.keysDown.erase(desktop.keysDown.upper_bound(kVkControl), desktop.keysDown.end());
        };
        pasteKeys(desktop);
        EXPECT_EQ(desktop.calls, c.calls) << c.name;
        EXPECT_EQ(desktop.keysDown.count(kVkControl), c.held.count(kVkControl)) << c.name;
    }
}

TEST_F(HotPasteTest, DeliverTextRejectsIndexesOutsideTheTexts) {
    for (int index : {-1, 5, 1000}) EXPECT_EQ(deliverText(delivery(), index), DeliveryResult::ignored);
    EXPECT_TRUE(desktop.calls.empty());
}

TEST_F(HotPasteTest, RenderBufferIsEmptiedFirstAndKeepsTheDeliveredText) {
    renderBuffer.append("left over from a DDE request");
    record.hotPasteTexts[0] = "sig";
    deliverText(delivery(), 0);
    EXPECT_EQ(renderBuffer.str(), "<sig>\r\n");
}

// A rendering that fills the buffer is cut so that the line break still fits: the text
// on the clipboard always ends in "\r\n" and never exceeds the buffer.
TEST_F(HotPasteTest, LongRenderingIsCutToKeepTheLineBreak) {
    const size_t room = kRenderMax - 2;
    const std::pair<size_t, size_t> cases[] = {
        {room - 1, room - 1}, {room, room}, {room + 1, room}, {kRenderMax, room}, {kRenderMax + 500, room}};
    for (auto [length, kept] : cases) {
        SCOPED_TRACE(length);
        desktop.calls.clear();
        record.hotPasteTexts[0] = std::string(length, 'x');
        ASSERT_EQ(deliverText(delivery(plainRender), 0), DeliveryResult::delivered);
        EXPECT_EQ(desktop.clipboard, std::string(kept, 'x') + "\r\n");
        EXPECT_EQ(renderBuffer.str(), desktop.clipboard);
    }
}

// With the real interpreter: what it writes, script errors included, is what is delivered,
// and its words mode carries over from one hot-key to the next.
TEST_F(HotPasteTest, DeliversTheInterpretersRendering) {
    record.userName = "Ann";
    stats.notSmoked = 42;
    record.hotPasteTexts[0] = "{+N}: {+C} not smoked{+Q}";
    record.hotPasteTexts[1] = "{A}";
    ASSERT_EQ(hotPaste(delivery(renderScript), 1), DeliveryResult::delivered);
    EXPECT_EQ(desktop.clipboard, "Ann: 42 not smoked<SCRIPT ERROR: 'Q'>\r\n");

    hotPaste(delivery(renderScript), 2);
    EXPECT_EQ(desktop.clipboard, "\r\n");
    hotPaste(delivery(renderScript), 1);
    std::string words;
    numberWords(words, 42);
    EXPECT_EQ(desktop.clipboard, "Ann: " + words + " not smoked<SCRIPT ERROR: 'Q'>\r\n");
}

TEST(HotKeyModifiers, TranslateToPlatformBits) {
    // Stored: 1 Shift, 2 Ctrl, 4 Alt, 8 extended key. On the platform: 1 Alt, 2 Ctrl, 4 Shift. The
    // extended key alone, bits above it and bits beyond the low byte give nothing.
    struct Case {
        uint16_t stored;
        unsigned platform;
    };
    const Case cases[] = {{0, 0}, {1, 4}, {2, 2},     {4, 1},  {3, 6},        {5, 5},         {6, 3},
                          {7, 7}, {8, 0}, {8 | 2, 2}, {15, 7}, {0xF0 | 1, 4}, {0x0100 | 4, 1}};
    for (const Case& c : cases) EXPECT_EQ(platformModifiers(c.stored), c.platform) << "stored " << c.stored;
}

class HotKeyRegistrationTest : public ::testing::Test {
protected:
    RecordingDesktop desktop;
    QuitRecord record;
    HotKeyRegistrations registrations;
};

TEST_F(HotKeyRegistrationTest, DefaultCombinations) {
    for (int id = 1; id <= 5; ++id) EXPECT_TRUE(registrations.registerHotKey(desktop, record, id));
    EXPECT_EQ(desktop.calls, (Calls{"register:1:2:187", "register:2:2:120", "register:3:2:121",
                                    "register:4:2:122", "register:5:2:123"}));
}

TEST_F(HotKeyRegistrationTest, OnlyTheLowByteOfTheKeyIsPassed) {
    record.hotKeyVk[0] = 0x0374;  // F5 with junk in the high byte
    record.hotKeyModifiers[0] = 1 | 8;
    registrations.registerHotKey(desktop, record, 1);
    EXPECT_EQ(desktop.calls, (Calls{"register:1:4:116"}));
}

TEST_F(HotKeyRegistrationTest, NewCombinationReleasesTheEarlierOneOfThatIdOnly) {
    registrations.registerHotKey(desktop, record, 1);
    registrations.registerHotKey(desktop, record, 2);
    record.hotKeyVk[0] = 116;  // Shift+F5
    record.hotKeyModifiers[0] = 1;
    registrations.registerHotKey(desktop, record, 1);
    EXPECT_EQ(desktop.calls,
              (Calls{"register:1:2:187", "register:2:2:120", "unregister:1", "register:1:4:116"}));
}

TEST_F(HotKeyRegistrationTest, RefusedCombinationLeavesNothingToRelease) {
    desktop.refusedHotKeyIds = {3};
    EXPECT_FALSE(registrations.registerHotKey(desktop, record, 3));
    EXPECT_FALSE(registrations.isRegistered(3));
    desktop.refusedHotKeyIds.clear();
    EXPECT_TRUE(registrations.registerHotKey(desktop, record, 3));
    EXPECT_TRUE(registrations.isRegistered(3));
    EXPECT_EQ(desktop.calls, (Calls{"register:3:2:121", "register:3:2:121"}));
    // Refused after an accepted one: the old combination was released, so nothing is left.
    desktop.refusedHotKeyIds = {3};
    EXPECT_FALSE(registrations.registerHotKey(desktop, record, 3));
    EXPECT_FALSE(registrations.isRegistered(3));
}

TEST_F(HotKeyRegistrationTest, IdsOutsideOneToFiveAreIgnored) {
    for (int id : {0, 6, -1}) EXPECT_FALSE(registrations.registerHotKey(desktop, record, id));
    EXPECT_TRUE(desktop.calls.empty());
}

}  // namespace
}  // namespace kalverin
