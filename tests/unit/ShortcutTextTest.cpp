#include <gtest/gtest.h>

#include "store/ShortcutText.h"

namespace tav {
namespace {

TEST(ShortcutText, ReadsGermanMenuTexts) {
    EXPECT_EQ(textToShortcut("STRG+ALT+K"), 49227);
    EXPECT_EQ(textToShortcut("Strg+T"), 16468);
    EXPECT_EQ(textToShortcut("strg+b"), 16450);
    EXPECT_EQ(textToShortcut("Alt+Strg+k"), 49227);
    EXPECT_EQ(textToShortcut("Umsch+Strg+7"), kShift | kCtrl | '7');
    EXPECT_EQ(textToShortcut("F5"), 0x74);
    EXPECT_EQ(textToShortcut("Strg+f12"), kCtrl | 0x7B);
    EXPECT_EQ(textToShortcut("Strg+Entf"), kCtrl | 0x2E);
    EXPECT_EQ(textToShortcut("Einfg"), 0x2D);
}

TEST(ShortcutText, NoKeyNameGivesNoShortcut) {
    for (const char* text : {"", "Strg+", "Strg+Alt+", "STRG+ALT+ ", "STRG+ALT+Ä", "Strg+KK",
                             "Ctrl+K", "Strg-K", "F13", "F0", "Strg+Alt+Umsch"}) {
        EXPECT_EQ(textToShortcut(text), 0) << text;
    }
}

TEST(ShortcutText, WritesMenuTextsThatReadBack) {
    EXPECT_EQ(shortcutToText(49227), "Strg+Alt+K");
    EXPECT_EQ(shortcutToText(16468), "Strg+T");
    EXPECT_EQ(shortcutToText(kShift | kCtrl | 0x70), "Umsch+Strg+F1");
    EXPECT_EQ(shortcutToText(kCtrl | 0x2E), "Strg+Entf");
    EXPECT_EQ(shortcutToText(0), "");
    EXPECT_EQ(shortcutToText(kCtrl | 0x13), "");
    for (int shortcut : {49227, 16468, kShift | '0', kAlt | 0x7B, kShift | kCtrl | kAlt | 0x2D})
        EXPECT_EQ(textToShortcut(shortcutToText(shortcut)), shortcut) << shortcut;
}

TEST(ShortcutText, HotKeysOnlyForLettersAndDigits) {
    EXPECT_EQ(hotKeyShortcut("K"), 49227);
    EXPECT_EQ(hotKeyShortcut("n"), kCtrl | kAlt | 'N');
    EXPECT_EQ(hotKeyShortcut("5"), kCtrl | kAlt | '5');
    for (const char* text : {"", " ", "F1", "Entf", "Ä", "+", "KX"})
        EXPECT_EQ(hotKeyShortcut(text), 0) << text;
}

}  // namespace
}  // namespace tav
