#pragma once
// Pop-up menus as a model. The HMENU is built from the model each time the
// menu pops up, so a hidden item is simply left out and a check mark or a
// greyed state is never out of step with the model.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/Handle.h"

namespace tav {

// One item. Forms hold their items as named members and link them into a
// tree with add(); the tree does not own them, so an item must live as long
// as the menu it is in (both are members of the same form).
class MenuItem {
public:
    MenuItem() = default;
    // caption "-" makes a separator.
    MenuItem(std::string name, std::string caption, int shortcut = 0)
        : name(std::move(name)), caption(std::move(caption)), shortcut(shortcut) {}
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    std::string name;
    std::string caption;  // UTF-8, '&' marks the access key
    int shortcut = 0;     // key code + 0x2000 Shift + 0x4000 Ctrl + 0x8000 Alt
    bool checked = false;
    bool visible = true;
    bool enabled = true;
    std::string hint;
    int tag = 0;
    std::function<void()> onClick;
    std::vector<MenuItem*> items;  // a submenu when not empty

    MenuItem& add(MenuItem& child) {
        items.push_back(&child);
        return *this;
    }
    bool isSeparator() const { return caption == "-"; }
    // Runs onClick inside the guard, as a click would.
    void click(HWND owner = nullptr);
};

class PopupMenu {
public:
    PopupMenu() = default;
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    std::string name;
    std::vector<MenuItem*> items;
    PopupMenu& add(MenuItem& item) {
        items.push_back(&item);
        return *this;
    }

    // Depth first through the whole tree; nullptr when there is none.
    MenuItem* find(std::string_view itemName) const;

    // A fresh HMENU of the visible items. commands[i] is the item behind
    // command id i + 1 (submenus and separators get none).
    MenuHandle build(std::vector<MenuItem*>& commands) const;

    // Shows the menu at a screen point and runs the chosen item's handler
    // inside the guard after the menu has closed. False when nothing was chosen.
    bool popup(HWND owner, POINT screen);

    // Runs the first item (depth first) with this shortcut that the user
    // could reach: it and every submenu above it visible and enabled. Hidden
    // or greyed commands are not there for the user, so their keys do nothing.
    bool handleShortcut(int shortcutValue, HWND owner = nullptr);

    // Runs before every build, to bring check marks up to date.
    std::function<void()> onPopup;
};

// Ends the thread's message loop with this exit code, also from a handler
// that runs while a pop-up menu is open: the menu's own loop would take the
// quit message and stay, so the menu is ended and the quit posted once it
// has closed.
void quitMessageLoop(int exitCode);

// The shortcut value of a key press: vk plus the modifiers held now
// (GetKeyState). 0 for a bare modifier key.
int shortcutFromKey(WPARAM vk);

// "&Notiz löschen" plus TAB plus "Strg+L": the text an item shows.
std::wstring menuItemText(const MenuItem& item);

}  // namespace tav
