#include "desktop/HiTimer.h"

namespace tav {
namespace {
constexpr UINT_PTR kTimerId = 1;
}

Timer::Timer() : Timer(1000) {}

Timer::Timer(unsigned intervalMs) : interval_(intervalMs) {
    window_.onMessage = [this](UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (msg != WM_TIMER || wParam != kTimerId)
            return DefWindowProcW(window_.hwnd(), msg, wParam, lParam);
        // WM_TIMER can still be queued after the timer was switched off.
        if (!enabled_ || !onTimer) return 0;
        bool alive = true;
        alive_ = &alive;
        const auto handler = onTimer;  // the handler may destroy this timer
        handler();
        if (alive) alive_ = nullptr;
        return 0;
    };
}

Timer::~Timer() {
    if (alive_) *alive_ = false;
    if (window_.exists()) KillTimer(window_.hwnd(), kTimerId);
}

void Timer::setInterval(unsigned intervalMs) {
    if (intervalMs == interval_) return;
    interval_ = intervalMs;
    restart();
}

void Timer::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    restart();
}

void Timer::restart() {
    if (window_.exists()) KillTimer(window_.hwnd(), kTimerId);
    // Interval 0 stops the timer, as it always has for the form timers.
    if (enabled_ && interval_ > 0) SetTimer(window_.hwnd(), kTimerId, interval_, nullptr);
}

}  // namespace tav
