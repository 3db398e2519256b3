#pragma once
// Reads a pop-up menu that belongs to another process.
//
// Wine keeps a menu's items in the memory of the process that made it: from
// here GetMenuItemCount on the handle of the program's open menu answers -1.
// So the reading runs as a small thread inside the program: its code is
// copied over and it calls GetMenuItemCount, GetMenuStringW and GetSubMenu
// through pointers that we hand it, adjusted to where user32 sits there.

#include <windows.h>

#include <string>
#include <vector>

namespace tav::e2e {

struct RemoteMenuItem {
    std::wstring text;  // as drawn, with '&' and the tab before the shortcut
    UINT state = 0;     // GetMenuState: MF_CHECKED, MF_GRAYED, MF_SEPARATOR ...
    HMENU subMenu = nullptr;

    bool separator() const { return (state & MF_SEPARATOR) != 0 && !subMenu; }
    bool grayed() const { return (state & (MF_GRAYED | MF_DISABLED)) != 0; }
    bool checked() const { return (state & MF_CHECKED) != 0; }
};

// The items of menu in process pid; throws std::runtime_error on failure.
std::vector<RemoteMenuItem> readRemoteMenu(DWORD pid, HMENU menu);

}  // namespace tav::e2e
