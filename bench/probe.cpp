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
//       first class and prints the milliseconds until its process has ended.

#include <windows.h>

#include <cstdio>
#include <set>
#include <string>

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

BOOL CALLBACK findText(HWND w, LPARAM param) {
    wchar_t name[64];
    DWORD_PTR length = 0;
    if (GetClassNameW(w, name, 64) && _wcsnicmp(name, L"RichEdit", 8) == 0 &&
        SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length) && length > 0) {
        *reinterpret_cast<bool*>(param) = true;
        return FALSE;
    }
    return TRUE;
}

bool holdsText(HWND w) {
    bool found = false;
    EnumChildWindows(w, findText, reinterpret_cast<LPARAM>(&found));
    return found;
}

struct Count {
    const wchar_t* className;
    DWORD pid;
    std::set<HWND>* ready;  // shown with their text; never asked again
};

BOOL CALLBACK countWindow(HWND w, LPARAM param) {
    auto* count = reinterpret_cast<Count*>(param);
    wchar_t name[64];
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == count->pid && !count->ready->contains(w) && IsWindowVisible(w) &&
        GetClassNameW(w, name, 64) && wcscmp(name, count->className) == 0 && holdsText(w))
        count->ready->insert(w);
    return TRUE;
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
    std::set<HWND> ready;
    for (;;) {
        Count count{className, process.dwProcessId, &ready};
        EnumWindows(countWindow, reinterpret_cast<LPARAM>(&count));
        if (static_cast<int>(ready.size()) >= wanted) break;
        if (GetTickCount64() > limit) {
            fwprintf(stderr, L"only %d windows of %ls\n", static_cast<int>(ready.size()),
                     className);
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
    const double begin = nowMs();
    PostMessageW(w, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process, static_cast<DWORD>(kLimitMs)) != WAIT_OBJECT_0) {
        fwprintf(stderr, L"the program did not end\n");
        return 1;
    }
    printf("%.1f\n", nowMs() - begin);
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
