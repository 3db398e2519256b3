#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>

#include "KitTestSupport.h"
#include "forms/Form.h"
#include "forms/Menu.h"
#include "desktop/Utf.h"

namespace tav {
namespace {

std::wstring menuString(HMENU menu, UINT pos) {
    wchar_t buf[256] = {};
    GetMenuStringW(menu, pos, buf, 256, MF_BYPOSITION);
    return buf;
}

// A cut-down note view menu: a submenu with shortcuts and check marks, a
// hidden item, a greyed one and a separator.
struct ViewMenu {
    MenuItem NotizEigenschaften1{"NotizEigenschaften1", "Notiz-Eigenschaften"};
    MenuItem NotizTitel1{"NotizTitel1", "Notiz-Titel", 16468};
    MenuItem Zeilenumbruch1{"Zeilenumbruch1", "Zeilenumbruch", 16474};
    MenuItem Notizunsichtbar1{"Notizunsichtbar1", "Notiz &unsichtbar"};
    MenuItem Bearbeiten1{"Bearbeiten1", "&Notiz bearbeiten", 16450};
    MenuItem Notizlschen1{"Notizlschen1", "&Notiz l\xC3\xB6schen", 16460};
    MenuItem N2{"N2", "-"};
    MenuItem Info1{"Info1",
                   "&Info \xC3\xBC"
                   "ber das Programm...",
                   16457};
    PopupMenu PopupMenu1;
    std::vector<std::string> clicked;

    ViewMenu() {
        NotizEigenschaften1.add(NotizTitel1).add(Zeilenumbruch1);
        PopupMenu1.add(NotizEigenschaften1)
            .add(Notizunsichtbar1)
            .add(Bearbeiten1)
            .add(Notizlschen1)
            .add(N2)
            .add(Info1);
        Notizunsichtbar1.visible = false;
        Zeilenumbruch1.checked = true;
        Notizlschen1.enabled = false;
        for (MenuItem* item : {&NotizTitel1, &Zeilenumbruch1, &Notizunsichtbar1, &Bearbeiten1,
                               &Notizlschen1, &Info1}) {
            item->onClick = [this, item] { clicked.push_back(item->name); };
        }
    }
};

TEST(MenuKit, BuiltMenuLeavesHiddenItemsOutAndShowsStatesAndShortcuts) {
    ViewMenu m;
    std::vector<MenuItem*> commands;
    MenuHandle menu = m.PopupMenu1.build(commands);
    ASSERT_EQ(5, GetMenuItemCount(menu.get()));  // Notizunsichtbar1 is left out
    EXPECT_EQ(L"Notiz-Eigenschaften", menuString(menu.get(), 0));
    EXPECT_EQ(L"&Notiz bearbeiten\tStrg+B", menuString(menu.get(), 1));
    EXPECT_EQ(L"&Notiz l\u00f6schen\tStrg+L", menuString(menu.get(), 2));
    EXPECT_TRUE(GetMenuState(menu.get(), 2, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(menu.get(), 1, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(menu.get(), 3, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(L"&Info \u00fcber das Programm...\tStrg+I", menuString(menu.get(), 4));

    HMENU sub = GetSubMenu(menu.get(), 0);
    ASSERT_NE(nullptr, sub);
    ASSERT_EQ(2, GetMenuItemCount(sub));
    EXPECT_EQ(L"Notiz-Titel\tStrg+T", menuString(sub, 0));
    EXPECT_EQ(L"Zeilenumbruch\tStrg+Z", menuString(sub, 1));
    EXPECT_FALSE(GetMenuState(sub, 0, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(sub, 1, MF_BYPOSITION) & MF_CHECKED);

    // Command ids lead back to the items.
    const UINT id = GetMenuItemID(menu.get(), 1);
    ASSERT_GE(id, 1u);
    ASSERT_LE(id, commands.size());
    EXPECT_EQ(&m.Bearbeiten1, commands[id - 1]);

    // A second build follows the model as it is now.
    m.Notizunsichtbar1.visible = true;
    m.Zeilenumbruch1.checked = false;
    MenuHandle again = m.PopupMenu1.build(commands);
    EXPECT_EQ(6, GetMenuItemCount(again.get()));
    EXPECT_FALSE(GetMenuState(GetSubMenu(again.get(), 0), 1, MF_BYPOSITION) & MF_CHECKED);
}

TEST(MenuKit, ShortcutRunsTheReachableItemOfThisMenuOnly) {
    ViewMenu view;
    // The edit menu has Ctrl+Z too, for something else.
    MenuItem rckgngig1{"rckgngig1",
                       "r\xC3\xBC"
                       "ckg\xC3\xA4ngig",
                       16474};
    PopupMenu PopupMenu2;
    PopupMenu2.add(rckgngig1);
    bool undone = false;
    rckgngig1.onClick = [&] { undone = true; };

    EXPECT_TRUE(view.PopupMenu1.handleShortcut(16474));  // found inside the submenu
    EXPECT_EQ(std::vector<std::string>{"Zeilenumbruch1"}, view.clicked);
    EXPECT_FALSE(undone);
    EXPECT_TRUE(PopupMenu2.handleShortcut(16474));
    EXPECT_TRUE(undone);

    // Greyed or hidden commands are not there for the user.
    EXPECT_FALSE(view.PopupMenu1.handleShortcut(16460));
    view.Bearbeiten1.visible = false;
    EXPECT_FALSE(view.PopupMenu1.handleShortcut(16450));
    view.NotizEigenschaften1.enabled = false;
    EXPECT_FALSE(view.PopupMenu1.handleShortcut(16468));
    EXPECT_FALSE(view.PopupMenu1.handleShortcut(0x4000 | 'Q'));
    EXPECT_FALSE(view.PopupMenu1.handleShortcut(0));
    EXPECT_EQ(1u, view.clicked.size());
}

TEST(MenuKit, ThrowingItemHandlerEndsInErrorBox) {
    std::vector<std::string> shown;
    setErrorBoxFunction([&](HWND, const std::string& text) { shown.push_back(text); });
    MenuItem item{"Notizdrucken1", "Notiz drucken", 16452};
    item.onClick = [] { throw std::runtime_error("Kein Drucker installiert"); };
    PopupMenu menu;
    menu.add(item);
    EXPECT_TRUE(menu.handleShortcut(16452));
    setErrorBoxFunction({});
    EXPECT_EQ(std::vector<std::string>{"Kein Drucker installiert"}, shown);
}

TEST(MenuKit, KeyDownWithModifiersGivesTheShortcutValue) {
    BYTE saved[256], keys[256] = {};
    GetKeyboardState(saved);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    EXPECT_EQ(16450, shortcutFromKey('B'));
    EXPECT_EQ(0, shortcutFromKey(VK_CONTROL));
    keys[VK_MENU] = 0x80;
    SetKeyboardState(keys);
    EXPECT_EQ(49227, shortcutFromKey('K'));  // Ctrl+Alt+K
    keys[VK_CONTROL] = keys[VK_MENU] = 0;
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    EXPECT_EQ(0x2000 | VK_F1, shortcutFromKey(VK_F1));
    SetKeyboardState(saved);
}

// The menu is really tracked: a driver picks the second item with the keys.
class MenuOwner : public Form {
public:
    MenuOwner() : Form(L"TKitMenuOwner") { create(); }
    ~MenuOwner() override { destroy(); }
};

TEST(MenuKit, PopupRunsTheChosenHandlerAfterTheMenuClosed) {
    MenuOwner owner;
    owner.show();
    MenuItem a{"a", "Erstes"}, b{"b", "Zweites"};
    PopupMenu menu;
    menu.add(a).add(b);
    std::string chosen;
    bool menuOpenDuringHandler = true;
    a.onClick = [&] { chosen = "a"; };
    b.onClick = [&] {
        chosen = "b";
        menuOpenDuringHandler = FindWindowW(L"#32768", nullptr) != nullptr &&
                                IsWindowVisible(FindWindowW(L"#32768", nullptr));
    };
    // Each key waits until the one before has moved the highlight.
    test::WindowDriver driver(L"#32768", L"", [](HWND m) {
        const HMENU shown = reinterpret_cast<HMENU>(SendMessageW(m, MN_GETHMENU, 0, 0));
        for (int item : {0, 1}) {
            PostMessageW(m, WM_KEYDOWN, VK_DOWN, 0);
            const ULONGLONG start = GetTickCount64();
            while (!(GetMenuState(shown, item, MF_BYPOSITION) & MF_HILITE) &&
                   GetTickCount64() - start < test::kWaitLimitMs)
                Sleep(10);
        }
        PostMessageW(m, WM_KEYDOWN, VK_RETURN, 0);
    });
    const bool ran = menu.popup(owner.handle(), {100, 100});
    ASSERT_TRUE(driver.finished());
    EXPECT_TRUE(ran);
    EXPECT_EQ("b", chosen);
    EXPECT_FALSE(menuOpenDuringHandler);
}

}  // namespace
}  // namespace tav
