// The benchmark's stopwatch, run under Wine beside the program it measures,
// so that both programs are timed the same way from inside Wine.
//   probe start <exe> <window class> <count>
//       starts exe in its own directory and prints the milliseconds until
//       <count> visible windows of that class belong to it; the program
//       keeps running.
//   probe exit <window class>
//       posts WM_CLOSE to the (possibly hidden) window of that class and
//       prints the milliseconds until its process has ended.

#include <windows.h>

#include <cstdio>
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

struct Count {
    const wchar_t* className;
    DWORD pid;
    int visible;
};

BOOL CALLBACK countWindow(HWND w, LPARAM param) {
    auto* count = reinterpret_cast<Count*>(param);
    wchar_t name[64];
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == count->pid && IsWindowVisible(w) && GetClassNameW(w, name, 64) &&
        wcscmp(name, count->className) == 0)
        ++count->visible;
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
    for (;;) {
        Count count{className, process.dwProcessId, 0};
        EnumWindows(countWindow, reinterpret_cast<LPARAM>(&count));
        if (count.visible >= wanted) break;
        if (GetTickCount64() > limit) {
            fwprintf(stderr, L"only %d windows of %ls\n", count.visible, className);
            return 1;
        }
        Sleep(10);  // polled gently: every look is a round trip to the wineserver
    }
    printf("%.1f\n", nowMs() - begin);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

int exitProgram(const wchar_t* className) {
    HWND w = FindWindowW(className, nullptr);
    if (w == nullptr) {
        fwprintf(stderr, L"no window of %ls\n", className);
        return 1;
    }
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
    if (argc == 3 && wcscmp(argv[1], L"exit") == 0) return exitProgram(argv[2]);
    fwprintf(stderr, L"usage: probe start <exe> <class> <count> | probe exit <class>\n");
    return 2;
}
