// The floor: the least a Win32 program must do to show the benchmark's 50
// notes. Owned pop-ups of 270 x 240 at the stored positions, each with a
// RichEdit control that loads the note's RTF file, a 17-pixel clock strip
// ticking once a second, dragging by the client area, and at exit one
// settings file of the program's size written through a temporary file and
// a rename. The benchmark measures Tavelin.exe against it in the same run.

#include <richedit.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kNotes = 50;
constexpr int kWidth = 270;
constexpr int kHeight = 240;
constexpr int kClockHeight = 17;
constexpr UINT_PTR kClockTimer = 1;

std::wstring dir;
HWND mainWindow = nullptr;
std::vector<HWND> notes;

DWORD CALLBACK readFile(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    DWORD read = 0;
    const BOOL ok = ReadFile(reinterpret_cast<HANDLE>(cookie), buffer, static_cast<DWORD>(size),
                             &read, nullptr);
    *done = static_cast<LONG>(read);
    return ok ? 0 : 1;
}

void loadRtf(HWND edit, const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(file), 0, readFile};
    SendMessageW(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    CloseHandle(file);
}

RECT clockStrip(HWND w) {
    RECT r;
    GetClientRect(w, &r);
    r.top = r.bottom - kClockHeight;
    return r;
}

LRESULT CALLBACK noteProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_NCHITTEST: {
            const LRESULT hit = DefWindowProcW(w, msg, wp, lp);
            return hit == HTCLIENT ? HTCAPTION : hit;
        }
        case WM_SIZE: {
            const RECT strip = clockStrip(w);
            MoveWindow(GetWindow(w, GW_CHILD), 0, 0, strip.right, strip.top, TRUE);
            return 0;
        }
        case WM_TIMER: {
            const RECT strip = clockStrip(w);
            InvalidateRect(w, &strip, FALSE);
            return 0;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(w, &ps);
            RECT strip = clockStrip(w);
            SYSTEMTIME now;
            GetLocalTime(&now);
            wchar_t text[16];
            swprintf(text, 16, L"%02u:%02u:%02u", now.wHour, now.wMinute, now.wSecond);
            SetBkColor(dc, RGB(255, 255, 0));
            ExtTextOutW(dc, strip.left, strip.top, ETO_OPAQUE, &strip, nullptr, 0, nullptr);
            DrawTextW(dc, text, -1, &strip, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            EndPaint(w, &ps);
            return 0;
        }
    }
    return DefWindowProcW(w, msg, wp, lp);
}

void openNotes() {
    const std::wstring ini = dir + L"Tavelin.ini";
    for (int n = 1; n <= kNotes; ++n) {
        const std::wstring section = L"Notiz" + std::to_wstring(n);
        wchar_t pos[64] = L"";
        GetPrivateProfileStringW(section.c_str(), L"NormPos", L"", pos, 64, ini.c_str());
        int left = 160, top = 160, right = 0, bottom = 0;
        swscanf(pos, L"%d,%d,%d,%d", &left, &top, &right, &bottom);
        HWND w = CreateWindowExW(0, L"FloorNote", section.c_str(),
                                 WS_POPUP | WS_THICKFRAME | WS_CLIPCHILDREN, left, top, kWidth,
                                 kHeight, mainWindow, nullptr, GetModuleHandleW(nullptr), nullptr);
        HWND edit = CreateWindowExW(
            0, MSFTEDIT_CLASS, L"",
            WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_HSCROLL, 0, 0, 0,
            0, w, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(edit, EM_SETBKGNDCOLOR, 0, RGB(255, 255, 0));
        loadRtf(edit, dir + section + L".tvn");
        SendMessageW(w, WM_SIZE, 0, 0);
        SetTimer(w, kClockTimer, 1000, nullptr);
        ShowWindow(w, SW_SHOWNOACTIVATE);
        notes.push_back(w);
    }
}

// One settings file as large as the program's, written as the program
// writes it: temporary file, flushed to disk, renamed over the old one.
void saveSettings() {
    const std::wstring ini = dir + L"Tavelin.ini";
    HANDLE in =
        CreateFileW(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string bytes;
    if (in != INVALID_HANDLE_VALUE) {
        bytes.resize(GetFileSize(in, nullptr));
        DWORD read = 0;
        ReadFile(in, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        CloseHandle(in);
    }
    const std::wstring temp = ini + L".tmp";
    HANDLE out = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    FlushFileBuffers(out);
    CloseHandle(out);
    MoveFileExW(temp.c_str(), ini.c_str(), MOVEFILE_REPLACE_EXISTING);
}

LRESULT CALLBACK mainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        for (HWND n : notes) DestroyWindow(n);
        saveSettings();
        DestroyWindow(w);
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    dir = exe;
    dir.erase(dir.find_last_of(L'\\') + 1);
    LoadLibraryW(L"Msftedit.dll");

    WNDCLASSW main{};
    main.lpfnWndProc = mainProc;
    main.hInstance = instance;
    main.lpszClassName = L"FloorMain";
    RegisterClassW(&main);
    WNDCLASSW note{};
    note.lpfnWndProc = noteProc;
    note.hInstance = instance;
    note.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    note.hbrBackground = CreateSolidBrush(RGB(255, 255, 0));
    note.lpszClassName = L"FloorNote";
    RegisterClassW(&note);

    mainWindow = CreateWindowExW(0, L"FloorMain", L"Floor", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 instance, nullptr);
    openNotes();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
