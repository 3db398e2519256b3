#include "store/ShortcutText.h"

#include <array>
#include <cstddef>

namespace tav {

namespace {

constexpr int kVkInsert = 0x2D;
constexpr int kVkDelete = 0x2E;
constexpr int kVkF1 = 0x70;

struct Modifier {
    const char* text;
    int flag;
};

// The order in which shortcutToText writes them.
constexpr std::array<Modifier, 3> kModifiers = {
    {{"Umsch+", kShift}, {"Strg+", kCtrl}, {"Alt+", kAlt}}};

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool isLetterOrDigit(char c) {
    const char u = upper(c);
    return (u >= 'A' && u <= 'Z') || (c >= '0' && c <= '9');
}

bool startsWithIgnoreCase(const std::string& text, std::size_t pos, const std::string& prefix) {
    if (text.size() - pos < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (upper(text[pos + i]) != upper(prefix[i])) return false;
    }
    return true;
}

bool equalsIgnoreCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && startsWithIgnoreCase(a, 0, b);
}

std::string keyName(int key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    if (key >= kVkF1 && key < kVkF1 + 12) return "F" + std::to_string(key - kVkF1 + 1);
    if (key == kVkDelete) return "Entf";
    if (key == kVkInsert) return "Einfg";
    return "";
}

int keyCode(const std::string& name) {
    if (name.size() == 1 && isLetterOrDigit(name[0])) return upper(name[0]);
    for (int key = kVkF1; key < kVkF1 + 12; ++key) {
        if (equalsIgnoreCase(name, keyName(key))) return key;
    }
    if (equalsIgnoreCase(name, "Entf")) return kVkDelete;
    if (equalsIgnoreCase(name, "Einfg")) return kVkInsert;
    return 0;
}

}  // namespace

int textToShortcut(const std::string& text) {
    int flags = 0;
    std::size_t pos = 0;
    for (bool more = true; more;) {
        more = false;
        for (const Modifier& m : kModifiers) {
            if (startsWithIgnoreCase(text, pos, m.text)) {
                flags |= m.flag;
                pos += std::char_traits<char>::length(m.text);
                more = true;
            }
        }
    }
    const int key = keyCode(text.substr(pos));
    return key == 0 ? 0 : flags | key;
}

std::string shortcutToText(int shortcut) {
    const std::string name = keyName(shortcut & 0xFF);
    if (name.empty()) return "";
    std::string text;
    for (const Modifier& m : kModifiers) {
        if (shortcut & m.flag) text += m.text;
    }
    return text + name;
}

int hotKeyShortcut(const std::string& character) {
    if (character.size() != 1 || !isLetterOrDigit(character[0])) return 0;
    return textToShortcut("STRG+ALT+" + character);
}

}  // namespace tav
