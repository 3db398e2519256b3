#include "desktop/HotKey.h"

namespace tav {
namespace {

// Application hot-key ids must lie below 0xC000; one per object keeps two
// hot keys of the program apart even though each has a window of its own.
int nextId() {
    static int id = 0;
    id = id % 0xBFFF + 1;
    return id;
}

UINT modifiersOf(int shortcutValue) {
    UINT modifiers = 0;
    if (shortcutValue & 0x2000) modifiers |= MOD_SHIFT;
    if (shortcutValue & 0x4000) modifiers |= MOD_CONTROL;
    if (shortcutValue & 0x8000) modifiers |= MOD_ALT;
    return modifiers;
}

}  // namespace

HotKey::HotKey() : id_(nextId()) {
    window_.onMessage = [this](UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (msg == WM_HOTKEY && static_cast<int>(wParam) == id_) {
            if (onPress) {
                const auto handler = onPress;  // the handler may destroy this object
                handler();
            }
            return 0;
        }
        return DefWindowProcW(window_.hwnd(), msg, wParam, lParam);
    };
}

HotKey::~HotKey() {
    if (registered_) UnregisterHotKey(window_.hwnd(), id_);
}

bool HotKey::setShortcut(int shortcutValue) {
    if (registered_) {
        UnregisterHotKey(window_.hwnd(), id_);
        registered_ = false;
    }
    shortcut_ = shortcutValue;
    if (shortcutValue == 0) return true;
    const UINT key = static_cast<UINT>(shortcutValue & 0xFF);
    if (key == 0) return false;
    registered_ = RegisterHotKey(window_.hwnd(), id_, modifiersOf(shortcutValue), key) != 0;
    return registered_;
}

}  // namespace tav
