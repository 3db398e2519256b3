#pragma once
// A hidden window of its own class for the desktop services (tray icon, hot
// key, timers). They must not depend on the form kit, and each needs no more
// than a window handle that receives its messages on the UI thread.

#include <windows.h>

#include <functional>

namespace tav {

class MessageWindow {
public:
    using Handler = std::function<LRESULT(UINT msg, WPARAM wParam, LPARAM lParam)>;

    // messageOnly: an HWND_MESSAGE window costs nothing and is never seen by
    // window enumeration; the tray icon needs a top-level one instead, since
    // only those receive the broadcast "TaskbarCreated".
    explicit MessageWindow(bool messageOnly = true);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    // Created on first use, so a service that is never switched on owns no window.
    HWND hwnd();
    bool exists() const { return hwnd_ != nullptr; }

    // Called for every message; its result is returned to the system. Whatever
    // the handler throws is shown in the program's error box and stops there,
    // because an exception must never unwind through user32.
    Handler onMessage;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool messageOnly_;
    HWND hwnd_ = nullptr;
};

}  // namespace tav
