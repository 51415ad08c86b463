#include <gtest/gtest.h>

#include <string>

#include "dialogs/hot_paste_editor.h"
#include "resources/resource.h"
#include "tests/support/us_currency.h"

namespace kalverin {
namespace {

struct Fixture {
    QuitRecord record;
    QuitStatistics stats;
    InterpreterState state;
    UsCurrencyFormat currency;
    ScriptContext context{stats, record, state, currency};
    EditorPreview preview;
};

TEST(HotPasteEditor, PreviewRendersTheFirst1023Characters) {
    Fixture f;
    std::string typed(1100, 'a');
    typed[1022] = 'b';
    renderPreview(typed, f.preview, f.context);
    EXPECT_EQ(f.preview.output.str(), typed.substr(0, 1023));
    EXPECT_EQ(f.preview.output.str().back(), 'b');
}

TEST(HotPasteEditor, PreviewIsEmptiedBeforeEveryRendering) {
    Fixture f;
    renderPreview("first", f.preview, f.context);
    renderPreview("", f.preview, f.context);
    EXPECT_EQ(f.preview.output.str(), "");
    renderPreview("second", f.preview, f.context);
    EXPECT_EQ(f.preview.output.str(), "second");
}

TEST(HotPasteEditor, LongRenderingIsCutAtThePreviewSize) {
    Fixture f;
    f.record.userName = std::string(99, 'n');
    std::string script;
    for (int i = 0; i < 20; ++i) script += "{+N}";  // about 2000 characters of names
    renderPreview(script, f.preview, f.context);
    EXPECT_EQ(f.preview.output.size(), 1023u);
    EXPECT_EQ(f.preview.output.str(), std::string(1023, 'n'));
}

TEST(HotPasteEditor, PreviewLeavesTheRecordAlone) {
    Fixture f;
    f.record.hotPasteTexts[0] = "stored";
    renderPreview("typed", f.preview, f.context);
    EXPECT_EQ(f.record.hotPasteTexts[0], "stored");
}

TEST(HotPasteEditor, SaveStoresAtMost1023AndSaysWhenTheFileCutsIt) {
    struct Case {
        size_t typed, stored;
        bool warns;
    } cases[] = {
        {0, 0, false}, {1019, 1019, false}, {1020, 1020, true}, {1023, 1023, true}, {1100, 1023, true}};
    for (const Case& c : cases) {
        QuitRecord record;
        std::string typed(c.typed, 'x');
        EXPECT_EQ(storeEditorText(typed, record), c.warns) << c.typed;
        EXPECT_EQ(record.hotPasteTexts[0], std::string(c.stored, 'x')) << c.typed;
    }
}

TEST(HotPasteEditor, Tips) {
    EXPECT_STREQ(editorTip(1), "Save Hot-Paste text and return to Kalverin");
    EXPECT_STREQ(editorTip(IDC_ED_CANCEL), "Return to Kalverin, do not save Hot-Paste text");
    EXPECT_STREQ(editorTip(IDC_ED_TEXT), "Your Hot-Paste text should be entered here");
    EXPECT_EQ(editorTip(2), nullptr);
    EXPECT_EQ(editorTip(-1), nullptr);
}

}  // namespace
}  // namespace kalverin
