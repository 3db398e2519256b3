#pragma once
// Helpers of the form kit's tests: pumping messages until something happens,
// and a driver thread that waits for a modal window and works it as a user would.

#include <windows.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Utf.h"

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

// Another program that holds a file open, as an editor or a virus scanner
// does: this test program started once more with kHoldOpenSwitch. It opens
// the file sharing it as `sharing` says ("r" read, "rwd" read, write and
// delete, "-" nothing) and keeps it open until the object goes. The path travels on a
// command line in the ANSI code page: the tests give ASCII paths.
inline constexpr char kHoldOpenSwitch[] = "--hold-open";

inline std::wstring uniqueEventName(const wchar_t* what) {
    static int counter = 0;
    return L"TavelinTest." + std::wstring(what) + L"." + std::to_wstring(GetCurrentProcessId()) +
           L"." + std::to_wstring(++counter);
}

// The other side, run from main().
inline int holdOpen(const char* path, const char* sharing, const char* events) {
    DWORD share = 0;
    for (const char* c = sharing; *c; ++c) {
        share |= *c == 'r'   ? FILE_SHARE_READ
                 : *c == 'w' ? FILE_SHARE_WRITE
                 : *c == 'd' ? FILE_SHARE_DELETE
                             : 0;
    }
    HANDLE file = CreateFileA(path, GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    const std::string names(events);
    const auto bar = names.find('|');
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, names.substr(0, bar).c_str());
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, names.substr(bar + 1).c_str());
    if (file == INVALID_HANDLE_VALUE || ready == nullptr || release == nullptr) return 2;
    SetEvent(ready);
    WaitForSingleObject(release, static_cast<DWORD>(kWaitLimitMs * 4));
    CloseHandle(file);
    return 0;
}

class FileHeldOpen {
public:
    FileHeldOpen(const std::string& path, const char* sharing) {
        const std::wstring readyName = uniqueEventName(L"Bereit");
        const std::wstring releaseName = uniqueEventName(L"Los");
        ready_ = CreateEventW(nullptr, TRUE, FALSE, readyName.c_str());
        release_ = CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str());
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring command = L"\"" + std::wstring(self) + L"\" " + toWide(kHoldOpenSwitch) +
                               L" \"" + toWide(path) + L"\" " + toWide(sharing) + L" \"" +
                               readyName + L"|" + releaseName + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &info)) {
            process_ = info.hProcess;
            CloseHandle(info.hThread);
            HANDLE both[2] = {ready_, process_};
            holding_ = WaitForMultipleObjects(2, both, FALSE, static_cast<DWORD>(kWaitLimitMs)) ==
                       WAIT_OBJECT_0;
        }
    }
    ~FileHeldOpen() { release(); }
    FileHeldOpen(const FileHeldOpen&) = delete;
    FileHeldOpen& operator=(const FileHeldOpen&) = delete;

    // Whether the other process has the file open.
    bool holding() const { return holding_; }
    // The other process closes the file and ends.
    void release() {
        if (process_ != nullptr) {
            SetEvent(release_);
            WaitForSingleObject(process_, static_cast<DWORD>(kWaitLimitMs));
            CloseHandle(process_);
            process_ = nullptr;
        }
        if (ready_ != nullptr) CloseHandle(ready_), ready_ = nullptr;
        if (release_ != nullptr) CloseHandle(release_), release_ = nullptr;
        holding_ = false;
    }

private:
    static std::wstring toWide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

    HANDLE ready_ = nullptr;
    HANDLE release_ = nullptr;
    HANDLE process_ = nullptr;
    bool holding_ = false;
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

// Answers the modal boxes that the code under test opens, from inside their
// own message loop: a thread timer looks for a dialog of this thread, notes
// what it says, fills the input field and presses a button.
class BoxAnswerer {
public:
    struct Box {
        std::string caption;
        std::string text;  // the static texts, one per line
    };

    explicit BoxAnswerer(std::string input = "", int button = IDOK)
        : input_(std::move(input)), button_(button) {
        current = this;
        timer_ = SetTimer(nullptr, 0, 30, &BoxAnswerer::tick);
    }
    ~BoxAnswerer() {
        KillTimer(nullptr, timer_);
        current = nullptr;
    }

    std::vector<Box> boxes;

private:
    static inline BoxAnswerer* current = nullptr;

    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        if (current == nullptr) return;
        EnumThreadWindows(GetCurrentThreadId(), &BoxAnswerer::visit,
                          reinterpret_cast<LPARAM>(current));
    }

    static BOOL CALLBACK visit(HWND w, LPARAM self) {
        wchar_t cls[32] = {};
        GetClassNameW(w, cls, 32);
        if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(w)) return TRUE;
        reinterpret_cast<BoxAnswerer*>(self)->answer(w);
        return TRUE;
    }

    static BOOL CALLBACK collectStatic(HWND child, LPARAM out) {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        const std::string text = narrow(windowText(child));
        if (lstrcmpiW(cls, L"Static") == 0 && !text.empty()) {
            auto& all = *reinterpret_cast<std::string*>(out);
            if (!all.empty()) all += "\n";
            all += text;
        }
        return TRUE;
    }

    void answer(HWND box) {
        if (answered_.count(box) != 0 && IsWindow(box)) return;
        answered_.insert(box);
        Box seen{narrow(windowText(box)), {}};
        EnumChildWindows(box, &BoxAnswerer::collectStatic, reinterpret_cast<LPARAM>(&seen.text));
        boxes.push_back(seen);
        if (HWND edit = GetDlgItem(box, kInputBoxEditId))
            SetWindowTextW(edit, widen(input_).c_str());
        HWND button = GetDlgItem(box, button_);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    }

    std::string input_;
    int button_;
    UINT_PTR timer_ = 0;
    std::set<HWND> answered_;
};

}  // namespace tav::test
