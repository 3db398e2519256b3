#include "forms/Menu.h"

#include <optional>
#include <stdexcept>
#include <utility>

#include "desktop/Utf.h"
#include "forms/Form.h"
#include "store/ShortcutText.h"

namespace tav {

namespace {

// Pop-up menus of this thread that are open now, and the exit code of a quit
// asked for meanwhile.
int openMenus = 0;
std::optional<int> quitAsked;

MenuItem* findByName(const std::vector<MenuItem*>& items, std::string_view itemName) {
    for (MenuItem* item : items) {
        if (item->name == itemName) return item;
        if (MenuItem* found = findByName(item->items, itemName)) return found;
    }
    return nullptr;
}

MenuItem* findByShortcut(const std::vector<MenuItem*>& items, int shortcut) {
    for (MenuItem* item : items) {
        if (!item->visible || !item->enabled || item->isSeparator()) continue;
        if (item->shortcut == shortcut) return item;
        if (MenuItem* found = findByShortcut(item->items, shortcut)) return found;
    }
    return nullptr;
}

void buildInto(HMENU menu, const std::vector<MenuItem*>& items, std::vector<MenuItem*>& commands) {
    for (MenuItem* item : items) {
        if (!item->visible) continue;
        if (item->isSeparator()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING;
        if (item->checked) flags |= MF_CHECKED;
        if (!item->enabled) flags |= MF_GRAYED;
        const std::wstring text = menuItemText(*item);
        if (!item->items.empty()) {
            MenuHandle sub(CreatePopupMenu());
            buildInto(sub.get(), item->items, commands);
            if (AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub.get()),
                            text.c_str())) {
                sub.release();  // now destroyed along with its parent
            }
        } else {
            commands.push_back(item);
            AppendMenuW(menu, flags, commands.size(), text.c_str());
        }
    }
}

}  // namespace

void MenuItem::click(HWND owner) {
    // A copy: the handler may reassign onClick while it runs.
    if (auto handler = onClick) guarded(owner, handler);
}

MenuItem* PopupMenu::find(std::string_view itemName) const { return findByName(items, itemName); }

MenuHandle PopupMenu::build(std::vector<MenuItem*>& commands) const {
    commands.clear();
    MenuHandle menu(CreatePopupMenu());
    if (!menu) throw std::runtime_error("Menü konnte nicht erzeugt werden.");
    buildInto(menu.get(), items, commands);
    return menu;
}

bool PopupMenu::popup(HWND owner, POINT screen) {
    if (onPopup) onPopup();
    std::vector<MenuItem*> commands;
    MenuHandle menu = build(commands);
    ++openMenus;
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                       screen.x, screen.y, 0, owner, nullptr));
    --openMenus;
    if (quitAsked) {
        if (openMenus == 0) PostQuitMessage(*std::exchange(quitAsked, std::nullopt));
        return false;
    }
    if (chosen == 0 || chosen > commands.size()) return false;
    commands[chosen - 1]->click(owner);
    return true;
}

void quitMessageLoop(int exitCode) {
    if (openMenus == 0) {
        PostQuitMessage(exitCode);
        return;
    }
    quitAsked = exitCode;
    EndMenu();
}

bool PopupMenu::handleShortcut(int shortcutValue, HWND owner) {
    if (shortcutValue == 0) return false;
    MenuItem* item = findByShortcut(items, shortcutValue);
    if (item == nullptr) return false;
    item->click(owner);
    return true;
}

int shortcutFromKey(WPARAM vk) {
    switch (vk) {
        case VK_SHIFT:
        case VK_CONTROL:
        case VK_MENU:
        case VK_LSHIFT:
        case VK_RSHIFT:
        case VK_LCONTROL:
        case VK_RCONTROL:
        case VK_LMENU:
        case VK_RMENU:
            return 0;
        default:
            break;
    }
    int value = static_cast<int>(vk & 0xFF);
    if (GetKeyState(VK_SHIFT) < 0) value |= kShift;
    if (GetKeyState(VK_CONTROL) < 0) value |= kCtrl;
    if (GetKeyState(VK_MENU) < 0) value |= kAlt;
    return value;
}

std::wstring menuItemText(const MenuItem& item) {
    std::string text = item.caption;
    if (item.shortcut != 0) {
        const std::string keys = shortcutToText(item.shortcut);
        if (!keys.empty()) text += "\t" + keys;
    }
    return widen(text);
}

}  // namespace tav
