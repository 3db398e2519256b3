#include "desktop/TrayIcon.h"

#include <shellapi.h>

#include "desktop/Utf.h"

namespace tav {
namespace {
constexpr UINT kCallbackMessage = WM_APP + 1;
}  // namespace

TrayIcon::TrayIcon() : taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {
    window_.onMessage = [this](UINT msg, WPARAM wParam, LPARAM lParam) {
        return handleMessage(msg, wParam, lParam);
    };
}

TrayIcon::~TrayIcon() { hide(); }

void TrayIcon::setHint(const std::string& hint) {
    hint_ = widen(hint);
    if (hint_.size() > 127) hint_.resize(127);
    if (added_) notify(NIM_MODIFY);
}

void TrayIcon::setIcon(HICON icon) {
    icon_ = icon;
    if (added_) notify(NIM_MODIFY);
}

bool TrayIcon::show() {
    visible_ = true;
    if (!added_) added_ = notify(NIM_ADD);
    return added_;
}

void TrayIcon::hide() {
    visible_ = false;
    if (added_) notify(NIM_DELETE);
    added_ = false;
}

bool TrayIcon::notify(DWORD message) {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = window_.hwnd();
    data.uID = kIconId;
    data.uFlags = NIF_MESSAGE | NIF_TIP | (icon_ ? NIF_ICON : 0);
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon_;
    lstrcpynW(data.szTip, hint_.c_str(), ARRAYSIZE(data.szTip));
    return Shell_NotifyIconW(message, &data) != 0;
}

LRESULT TrayIcon::handleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kCallbackMessage) {
        switch (LOWORD(lParam)) {
            case WM_LBUTTONDBLCLK:
                if (onDoubleClick) {
                    const auto handler = onDoubleClick;
                    handler();
                }
                break;
            case WM_RBUTTONUP:
                if (onContextMenu) {
                    POINT point = {};
                    GetCursorPos(&point);
                    // Without the foreground a tray menu stays open after a
                    // click elsewhere; the WM_NULL afterwards lets a second
                    // right click open it again at once.
                    const HWND self = window_.hwnd();
                    SetForegroundWindow(self);
                    const auto handler = onContextMenu;
                    handler(point);
                    PostMessageW(self, WM_NULL, 0, 0);
                }
                break;
        }
        return 0;
    }
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        // A restarted taskbar has forgotten every icon. Should ours have
        // survived after all, the add fails and a modify keeps it current.
        if (visible_) added_ = notify(NIM_ADD) || notify(NIM_MODIFY);
        return 0;
    }
    return DefWindowProcW(window_.hwnd(), msg, wParam, lParam);
}

}  // namespace tav
