#pragma once
// The program's icon in the notification area.

#include <windows.h>

#include <functional>
#include <string>

#include "desktop/MessageWindow.h"

namespace tav {

class TrayIcon {
public:
    // The icon's number with the shell; one icon per window.
    static constexpr UINT kIconId = 1;

    TrayIcon();
    ~TrayIcon();  // removes the icon
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void setHint(const std::string& hint);  // UTF-8, cut to 127 characters
    const std::wstring& hint() const { return hint_; }
    void setIcon(HICON icon);  // not owned; must outlive the tray icon
    // show() returns false when the shell refused the icon (no taskbar yet);
    // the icon is added again when the taskbar (re)starts.
    bool show();
    void hide();
    bool visible() const { return visible_; }

    // The hidden window that receives the icon's messages; a pop-up menu for
    // the icon should be owned by it.
    HWND hwnd() { return window_.hwnd(); }

    std::function<void()> onDoubleClick;
    // Screen coordinates of the click. The window is already in the
    // foreground, so the menu closes when the user clicks elsewhere.
    std::function<void(POINT screen)> onContextMenu;

private:
    LRESULT handleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    bool notify(DWORD message);

    MessageWindow window_{false};
    UINT taskbarCreated_ = 0;
    HICON icon_ = nullptr;
    std::wstring hint_;
    bool visible_ = false;
    bool added_ = false;
};

}  // namespace tav
