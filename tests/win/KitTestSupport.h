#pragma once
// Helpers of the form kit's tests: pumping messages until something happens,
// and a driver thread that waits for a modal window and works it as a user would.

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "desktop/Utf.h"
#include "forms/Dialogs.h"

namespace tav::test {

// Generous: Wine can be slow on a busy machine; a pass never waits this long.
constexpr ULONGLONG kWaitLimitMs = 30000;

// Runs what is waiting in this thread's queue, without waiting for more. A
// quit message is noted in *quitSeen instead of being lost unseen.
inline void pumpMessages(bool* quitSeen = nullptr) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            if (quitSeen) *quitSeen = true;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Pumps until done() holds. The limit counts the clock's seconds and only
// keeps a broken build from hanging the run; a pass never comes near it.
inline bool pumpUntil(const std::function<bool()>& done, bool* quitSeen = nullptr) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        pumpMessages(quitSeen);
        if (done()) return true;
        if (GetTickCount64() - start > kWaitLimitMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Runs everything that was posted to this thread before the call, and what
// that posts in turn before the marker: a message posted now comes after all
// that is queued already. A check that something did not happen needs this
// (or a condition to wait for) to know that the program had its chance.
// The marker goes to a window of its own: a modal loop that runs meanwhile
// (a message box) dispatches it there, where a thread message would be lost.
inline bool markerSeen = false;
inline LRESULT CALLBACK markerWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m != WM_APP) return DefWindowProcW(w, m, wp, lp);
    markerSeen = true;
    return 0;
}
inline bool pumpPosted() {
    static const HWND target = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = markerWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TavelinTestQueueMarker";
        RegisterClassW(&wc);
        return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr);
    }();
    markerSeen = false;
    PostMessageW(target, WM_APP, 0, 0);
    return pumpUntil([] { return markerSeen; });
}

// The top-level windows of a thread. The enumeration's callback is a named
// function: it must use the system's calling convention, which on 32-bit
// Windows is not the one of a lambda.
inline BOOL CALLBACK collectWindow(HWND w, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(w);
    return TRUE;
}
inline std::vector<HWND> threadWindows(DWORD thread) {
    std::vector<HWND> windows;
    EnumThreadWindows(thread, collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// A global hot key that the program could not register counts as taken
// only when nobody else can register it either; otherwise the program failed.
inline bool hotKeyTakenElsewhere(UINT modifiers, UINT key) {
    const int id = 0xBFF0;
    if (RegisterHotKey(nullptr, id, modifiers, key)) {
        UnregisterHotKey(nullptr, id);
        return false;
    }
    return true;
}

// Another program's window with the focus, as there always is one on a
// user's desktop: Wine drops typed keys that no window could receive before
// it looks for a hot key in them.
class ForeignFocus {
public:
    ForeignFocus()
        : hwnd_(CreateWindowExW(0, L"STATIC", L"fremd", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                nullptr, nullptr, nullptr, nullptr)) {
        SetForegroundWindow(hwnd_);
    }
    ~ForeignFocus() { DestroyWindow(hwnd_); }
    ForeignFocus(const ForeignFocus&) = delete;
    ForeignFocus& operator=(const ForeignFocus&) = delete;
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_;
};

// A real click through the system's input queue at a screen point; the
// position travels with the click, so it cannot land where the cursor was.
inline void clickAt(POINT screen, bool right = false) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in[3] = {};
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = MulDiv(screen.x, 65535, w - 1);
        i.mi.dy = MulDiv(screen.y, 65535, h - 1);
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
    }
    in[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
    in[1].mi.dwFlags |= right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags |= right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(3, in, sizeof(INPUT));
}

// A folder of the test's own under the temporary folder, "\\" at the end,
// removed with all in it at the end; read-only files too, which would
// otherwise stay.
class TempFolder {
public:
    explicit TempFolder(const char* tag) {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        static int counter = 0;
        const std::wstring dir = std::wstring(base) + L"tav_" + widen(tag) + L"_" +
                                 std::to_wstring(GetCurrentProcessId()) + L"_" +
                                 std::to_wstring(GetTickCount64()) + L"_" +
                                 std::to_wstring(++counter);
        std::filesystem::create_directories(dir);
        path_ = narrow(dir) + "\\";
    }
    ~TempFolder() {
        std::error_code ignored;
        const std::filesystem::path dir = widen(path_);
        for (auto it = std::filesystem::recursive_directory_iterator(dir, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
            SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(dir, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

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

// What a window draws, read from a bitmap through WM_PRINTCLIENT: the client
// area of the window itself, without its child windows.
class Snapshot {
public:
    Snapshot(HWND window, int width, int height) : width_(width), height_(height) {
        const HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_),
                     PRF_CLIENT | PRF_ERASEBKGND);
    }
    explicit Snapshot(HWND window) : Snapshot(window, clientWidth(window), clientHeight(window)) {}
    ~Snapshot() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

    COLORREF pixel(int x, int y) const { return GetPixel(dc_, x, y); }
    int count(COLORREF color) const {
        int n = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) n += pixel(x, y) == color;
        return n;
    }
    // The colour most of the rectangle shows: a background behind a text.
    COLORREF mostIn(const RECT& r) const {
        std::map<COLORREF, int> seen;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) ++seen[pixel(x, y)];
        COLORREF best = CLR_INVALID;
        int most = 0;
        for (const auto& [color, n] : seen) {
            if (n > most) best = color, most = n;
        }
        return best;
    }

private:
    static int clientWidth(HWND w) {
        RECT r{};
        GetClientRect(w, &r);
        return r.right;
    }
    static int clientHeight(HWND w) {
        RECT r{};
        GetClientRect(w, &r);
        return r.bottom;
    }
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
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
