#include "desktop/MessageWindow.h"

#include <stdexcept>

#include "desktop/ErrorBox.h"

namespace tav {
namespace {

constexpr wchar_t kClassName[] = L"TavelinServiceWindow";

void registerClassOnce() {
    static const bool registered = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;  // ours is set per window after creation
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
}

}  // namespace

MessageWindow::MessageWindow(bool messageOnly) : messageOnly_(messageOnly) {}

MessageWindow::~MessageWindow() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

HWND MessageWindow::hwnd() {
    if (!hwnd_) {
        registerClassOnce();
        // The class's procedure is DefWindowProcW so that one class serves
        // every service; ours is put in right after creation, before any
        // message of interest can arrive.
        hwnd_ = CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 0, 0,
                                messageOnly_ ? HWND_MESSAGE : nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        if (!hwnd_) throw std::runtime_error("Hilfsfenster konnte nicht erzeugt werden");
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowProc));
    }
    return hwnd_;
}

LRESULT CALLBACK MessageWindow::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || !self->onMessage) return DefWindowProcW(hwnd, msg, wParam, lParam);
    // A copy, because the handler may destroy the service that owns us.
    const Handler handler = self->onMessage;
    LRESULT result = 0;
    bool handled = false;
    guarded(nullptr, [&] {
        result = handler(msg, wParam, lParam);
        handled = true;
    });
    return handled ? result : DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace tav
