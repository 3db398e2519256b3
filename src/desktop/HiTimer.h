#pragma once
// Timers that call their handler on the UI thread.

#include <functional>

#include "desktop/MessageWindow.h"

namespace tav {

// A message timer (SetTimer): interval in milliseconds, off until enabled.
// Changing the interval of a running timer restarts the count. The handler
// may switch its own timer off or destroy it.
class Timer {
public:
    Timer();
    explicit Timer(unsigned intervalMs);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    unsigned interval() const { return interval_; }
    void setInterval(unsigned intervalMs);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    std::function<void()> onTimer;

private:
    void restart();
    MessageWindow window_;
    unsigned interval_ = 1000;
    bool enabled_ = false;
    bool* alive_ = nullptr;  // set while onTimer runs, cleared by the destructor
};

// The note's 50 ms taskbar keeper. The component it replaces ran a worker
// thread and handed every tick to the UI thread before the handler ran; since
// the handler only hides a window, which must happen on the UI thread anyway,
// a plain UI-thread timer gives the same behaviour without a thread, a lock or
// a tick queue that grows while the UI thread is busy.
class HiTimer : public Timer {
public:
    HiTimer() : Timer(50) {}
    explicit HiTimer(unsigned intervalMs) : Timer(intervalMs) {}
};

}  // namespace tav
