#pragma once
// A system-wide hot key. The value is the program's shortcut value: key code
// in the low byte, +0x2000 Shift, +0x4000 Ctrl, +0x8000 Alt (Ctrl+Alt+K is
// 49227); 0 means no key.

#include <functional>

#include "desktop/MessageWindow.h"

namespace tav {

class HotKey {
public:
    HotKey();
    ~HotKey();  // unregisters
    HotKey(const HotKey&) = delete;
    HotKey& operator=(const HotKey&) = delete;

    // Drops the old key and registers the new one. False when the key could
    // not be registered (another program owns it, or the value has no key
    // code); the hot key is then inactive. 0 only unregisters and gives true.
    bool setShortcut(int shortcutValue);
    int shortcut() const { return shortcut_; }
    bool registered() const { return registered_; }

    std::function<void()> onPress;

private:
    MessageWindow window_;
    int id_;
    int shortcut_ = 0;
    bool registered_ = false;
};

}  // namespace tav
