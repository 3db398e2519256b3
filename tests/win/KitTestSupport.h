#pragma once
// Helpers of the form kit's tests: pumping messages until something happens,
// and a driver thread that waits for a modal window and works it as a user would.

#include <windows.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

namespace tav::test {

// Generous: Wine can be slow on a busy machine; a pass never waits this long.
constexpr ULONGLONG kWaitLimitMs = 30000;

// Runs what is waiting in this thread's queue, without waiting for more.
inline void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

inline bool pumpUntil(const std::function<bool()>& done) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        pumpMessages();
        if (done()) return true;
        if (GetTickCount64() - start > kWaitLimitMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Waits on its own thread for a top-level window of this class and caption,
// then runs action on it (an empty caption takes any). The modal loop that shows the window keeps
// running on the test's thread meanwhile.
class WindowDriver {
public:
    WindowDriver(std::wstring className, std::wstring caption, std::function<void(HWND)> action)
        : thread_([=, this] {
              const ULONGLONG start = GetTickCount64();
              while (GetTickCount64() - start < kWaitLimitMs) {
                  if (HWND w = FindWindowW(className.c_str(),
                                           caption.empty() ? nullptr : caption.c_str())) {
                      if (IsWindowVisible(w)) {
                          action(w);
                          found_ = true;
                          return;
                      }
                  }
                  Sleep(10);
              }
          }) {}
    ~WindowDriver() {
        if (thread_.joinable()) thread_.join();
    }
    // Joins the thread: true when the window came and was worked.
    bool finished() {
        if (thread_.joinable()) thread_.join();
        return found_;
    }

private:
    std::atomic<bool> found_{false};
    std::thread thread_;
};

inline std::wstring windowText(HWND w) {
    wchar_t buf[1024] = {};
    GetWindowTextW(w, buf, 1024);
    return buf;
}

// All static texts of a dialog, joined by '|' (a message box's text is one of them).
inline std::wstring staticTexts(HWND dialog) {
    std::wstring all;
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(c, cls, 32);
        if (lstrcmpiW(cls, L"Static") == 0) all += windowText(c) + L"|";
    }
    return all;
}

}  // namespace tav::test
