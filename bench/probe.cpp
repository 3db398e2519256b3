// The benchmark's stopwatch, run under Wine beside the program it measures,
// so that both programs are timed the same way from inside Wine.
//   probe start <exe> <window class> <count>
//       starts exe in its own directory and prints the milliseconds until
//       <count> visible windows of that class belong to it, each with its
//       text loaded (a rich edit control inside it that holds text); the
//       program keeps running.
//   probe exit <window class> <note class>
//       moves every window of the note class one pixel to the right, as a
//       user would move notes, so that each placement has something to
//       write; then posts WM_CLOSE to the (possibly hidden) window of the
//       first class, prints the moment it did so (milliseconds since 1970,
//       the clock Linux keeps as well) and returns once the process has
//       ended for Windows. perf.sh times the end of the Linux process
//       against that moment: until then the notes stay on the screen.

#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr ULONGLONG kLimitMs = 180000;

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

BOOL CALLBACK collect(HWND w, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(w);
    return TRUE;
}

BOOL CALLBACK findRichEdit(HWND w, LPARAM param) {
    wchar_t name[64];
    if (!GetClassNameW(w, name, 64) || _wcsnicmp(name, L"RichEdit", 8) != 0) return TRUE;
    *reinterpret_cast<HWND*>(param) = w;
    return FALSE;
}

// What the stopwatch knows of a top-level window. Every look at a window of
// another process is a round trip to the wineserver, which the measured
// program needs as well: each window is looked at as little as possible.
struct Seen {
    bool note = false;    // of the measured process and class
    HWND edit = nullptr;  // its rich edit control, once found
    bool ready = false;   // shown, with text in the control
};

// True when the note is shown and its text is in.
bool becameReady(HWND w, Seen& seen) {
    if (!IsWindowVisible(w)) return false;
    if (seen.edit == nullptr)
        EnumChildWindows(w, findRichEdit, reinterpret_cast<LPARAM>(&seen.edit));
    DWORD_PTR length = 0;
    return seen.edit != nullptr &&
           SendMessageTimeoutW(seen.edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length) &&
           length > 0;
}

int start(const wchar_t* exe, const wchar_t* className, int wanted) {
    std::wstring dir = exe;
    dir.erase(dir.find_last_of(L"\\/") + 1);
    std::wstring commandLine = L"\"" + std::wstring(exe) + L"\"";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    const double begin = nowMs();
    if (!CreateProcessW(exe, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                        &startup, &process)) {
        fwprintf(stderr, L"cannot start %ls\n", exe);
        return 1;
    }
    const ULONGLONG limit = GetTickCount64() + kLimitMs;
    std::map<HWND, Seen> seen;
    int ready = 0;
    for (;;) {
        std::vector<HWND> windows;
        EnumWindows(collect, reinterpret_cast<LPARAM>(&windows));
        for (HWND w : windows) {
            auto [it, added] = seen.try_emplace(w);
            Seen& s = it->second;
            if (added) {
                wchar_t name[64];
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                s.note = pid == process.dwProcessId && GetClassNameW(w, name, 64) &&
                         wcscmp(name, className) == 0;
            }
            if (s.note && !s.ready && becameReady(w, s)) {
                s.ready = true;
                ++ready;
            }
        }
        if (ready >= wanted) break;
        if (GetTickCount64() > limit) {
            fwprintf(stderr, L"only %d windows of %ls\n", ready, className);
            return 1;
        }
        Sleep(10);  // polled gently: every look is a round trip to the wineserver
    }
    printf("%.1f\n", nowMs() - begin);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

BOOL CALLBACK nudgeWindow(HWND w, LPARAM param) {
    wchar_t name[64];
    RECT r;
    if (IsWindowVisible(w) && GetClassNameW(w, name, 64) &&
        wcscmp(name, reinterpret_cast<const wchar_t*>(param)) == 0 && GetWindowRect(w, &r))
        SetWindowPos(w, nullptr, r.left + 1, r.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

int exitProgram(const wchar_t* className, const wchar_t* noteClass) {
    HWND w = FindWindowW(className, nullptr);
    if (w == nullptr) {
        fwprintf(stderr, L"no window of %ls\n", className);
        return 1;
    }
    EnumWindows(nudgeWindow, reinterpret_cast<LPARAM>(noteClass));
    Sleep(1000);  // the moves are handled and drawn before the clock starts
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    FILETIME posted;  // 100 ns steps since 1601
    GetSystemTimePreciseAsFileTime(&posted);
    PostMessageW(w, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process, static_cast<DWORD>(kLimitMs)) != WAIT_OBJECT_0) {
        fwprintf(stderr, L"the program did not end\n");
        return 1;
    }
    const ULONGLONG since1601 = (ULONGLONG{posted.dwHighDateTime} << 32) | posted.dwLowDateTime;
    printf("%.1f\n", static_cast<double>(since1601 - 116444736000000000ULL) / 10000.0);
    CloseHandle(process);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 5 && wcscmp(argv[1], L"start") == 0) return start(argv[2], argv[3], _wtoi(argv[4]));
    if (argc == 4 && wcscmp(argv[1], L"exit") == 0) return exitProgram(argv[2], argv[3]);
    fwprintf(stderr,
             L"usage: probe start <exe> <class> <count> | probe exit <class> <note class>\n");
    return 2;
}
