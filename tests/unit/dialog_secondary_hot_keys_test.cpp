#include <gtest/gtest.h>

#include <string>

#include "dialogs/secondary_hot_keys.h"

namespace kalverin {
namespace {

TEST(SecondaryHotKeys, DefaultsFillTheControlsAsCtrlF9ToF12) {
    QuitRecord record;
    SecondaryHotKeysForm form = secondaryFormFromRecord(record);
    EXPECT_EQ(form.hotKeys[0], 0x0278);  // Ctrl (2) + F9 (0x78)
    EXPECT_EQ(form.hotKeys[3], 0x027B);  // Ctrl + F12
}

TEST(SecondaryHotKeys, UnchangedRoundTripStoresTheSameValues) {
    QuitRecord record;
    for (int i = 1; i <= 4; ++i) record.hotPasteTexts[i] = "text " + std::to_string(i);
    record.hotKeyVk[2] = 0x41;
    record.hotKeyModifiers[2] = 5;  // Shift+Alt
    QuitRecord copy = record;
    storeSecondaryForm(secondaryFormFromRecord(record), copy);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(copy.hotKeyVk[i], record.hotKeyVk[i]) << i;
        EXPECT_EQ(copy.hotKeyModifiers[i], record.hotKeyModifiers[i]) << i;
        EXPECT_EQ(copy.hotPasteTexts[i], record.hotPasteTexts[i]) << i;
    }
}

TEST(SecondaryHotKeys, StoresTheControlsPairsAndLeavesEntryZero) {
    QuitRecord record;
    record.hotPasteTexts[0] = "primary";
    SecondaryHotKeysForm form;
    form.hotKeys[0] = 0x0174;  // Shift+F5
    form.hotKeys[1] = 0;       // emptied by the user
    form.hotKeys[2] = 0x0E41;  // Ctrl+Alt+extended, A
    form.hotKeys[3] = 0x027B;
    form.texts[1] = std::string(600, 'r');
    storeSecondaryForm(form, record);
    EXPECT_EQ(record.hotKeyVk[1], 116);
    EXPECT_EQ(record.hotKeyModifiers[1], 1);
    EXPECT_EQ(record.hotKeyVk[2], 0);
    EXPECT_EQ(record.hotKeyModifiers[2], 0);
    EXPECT_EQ(record.hotKeyVk[3], 0x41);
    EXPECT_EQ(record.hotKeyModifiers[3], 0x0E);
    EXPECT_EQ(record.hotPasteTexts[2], std::string(499, 'r'));
    EXPECT_EQ(record.hotKeyVk[0], kVkOemPlus);
    EXPECT_EQ(record.hotKeyModifiers[0], kStoredControl);
    EXPECT_EQ(record.hotPasteTexts[0], "primary");
    // The next opening shows Shift+F5 again.
    EXPECT_EQ(secondaryFormFromRecord(record).hotKeys[0], 0x0174);
}

TEST(SecondaryHotKeys, FillingUsesOnlyTheLowBytes) {
    QuitRecord record;
    record.hotKeyVk[4] = 0x1234;
    record.hotKeyModifiers[4] = 0xFF01;
    EXPECT_EQ(secondaryFormFromRecord(record).hotKeys[3], 0x0134);
}

}  // namespace
}  // namespace kalverin
