#include "app/hot_paste.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "script/number_words.h"
#include "tests/support/recording_desktop.h"
#include "tests/support/us_currency.h"

namespace kalverin {
namespace {

const Calls kCtrlV = {"key:17:0", "key:86:0", "key:86:2", "key:17:2"};

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
    bool opens;
    ClipboardSet set;
    DeliveryResult result;
    Calls calls;
    const char* clipboard;  // what it holds afterwards (it started with "old")
};

void PrintTo(const DeliveryCase& c, std::ostream* os) {
    *os << c.name;
}

const DeliveryCase kDeliveryCases[] = {
    {"PrimaryHotKey", 1, "sig", true, ClipboardSet::ok, DeliveryResult::delivered,
     Calls{"render:sig", "open", "empty", "set:<sig>\r\n", "close"} + kCtrlV, "<sig>\r\n"},
    {"SecondaryHotKeyDeliversItsEntry", 4, "third", true, ClipboardSet::ok, DeliveryResult::delivered,
     Calls{"render:third", "open", "empty", "set:<third>\r\n", "close"} + kCtrlV, "<third>\r\n"},
    {"EmptyTextIsJustALineBreak", 2, "", true, ClipboardSet::ok, DeliveryResult::delivered,
     Calls{"render:", "open", "empty", "set:<>\r\n", "close"} + kCtrlV, "<>\r\n"},
    {"ClipboardBusyShowsBoxAndStillPastes", 1, "sig", false, ClipboardSet::ok, DeliveryResult::clipboardBusy,
     Calls{"render:sig", "open:failed", "box:Cannot open clipboard!"} + kCtrlV, "old"},
    {"OutOfMemoryClosesBeforeTheBox", 1, "sig", true, ClipboardSet::outOfMemory, DeliveryResult::outOfMemory,
     Calls{"render:sig", "open", "empty", "set:<sig>\r\n", "close", "box:Out Of Memory!"} + kCtrlV, ""},
    {"RefusedBlockIsClosedQuietly", 1, "sig", true, ClipboardSet::refused, DeliveryResult::refused,
     Calls{"render:sig", "open", "empty", "set:<sig>\r\n", "close"} + kCtrlV, ""},
    {"CopySigInjectsNoKeys", 0, "sig", true, ClipboardSet::ok, DeliveryResult::delivered,
     Calls{"render:sig", "open", "empty", "set:<sig>\r\n", "close"}, "<sig>\r\n"},
    {"CopySigClipboardBusy", 0, "sig", false, ClipboardSet::ok, DeliveryResult::clipboardBusy,
     Calls{"render:sig", "open:failed", "box:Cannot open clipboard!"}, "old"},
    {"UnknownHotKeyIdDoesNothing", 6, "sig", true, ClipboardSet::ok, DeliveryResult::ignored, Calls{}, "old"},
    {"HotKeyIdZeroDoesNothing", -1, "sig", true, ClipboardSet::ok, DeliveryResult::ignored, Calls{}, "old"},
};

class DeliveryTest : public HotPasteTest, public ::testing::WithParamInterface<DeliveryCase> {};

TEST_P(DeliveryTest, CallsInOrder) {
    const DeliveryCase& c = GetParam();
    desktop.clipboardOpens = c.opens;
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
// delivers at once; the first delivery then only injects its keys.
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
                  kCtrlV + Calls{"box closed"} + kCtrlV);
    EXPECT_EQ(desktop.clipboard, "<second>\r\n");
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
