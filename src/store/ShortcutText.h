#pragma once
// Menu shortcut texts in the German form the menus show ("Strg+Alt+K") and
// the shortcut values behind them: the key code in the low byte, plus
// kShift, kCtrl and kAlt.

#include <string>

namespace tav {

inline constexpr int kShift = 0x2000;
inline constexpr int kCtrl = 0x4000;
inline constexpr int kAlt = 0x8000;

// "Strg+", "Alt+" and "Umsch+" in any order and case, then a key name: a
// letter or digit, F1 to F12, "Entf" or "Einfg". Anything else gives 0.
int textToShortcut(const std::string& text);

// "" for a value whose key has no name here.
std::string shortcutToText(int shortcut);

// The global hot keys are Ctrl+Alt plus the one stored character. Only a
// letter or digit makes a hot key; anything else (an F key name typed into
// the settings file, a blank, an umlaut) gives 0, no hot key.
int hotKeyShortcut(const std::string& character);

}  // namespace tav
