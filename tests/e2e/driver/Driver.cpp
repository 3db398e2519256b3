// e2e_driver: drives the real program from outside, as a user would, for the
// end-to-end scripts. One command per run; results on stdout (UTF-8), errors
// on stderr; exit code 0 when the command did what it was asked, 1 when a
// window, a menu item or a condition was not there in time, 2 on bad usage.
//
// Only windows and processes of the program under test are looked at: those
// whose executable path ends with $E2E_EXE (the copy in the test's own program
// directory). Without E2E_EXE every process counts.

#include <windows.h>
// commctrl.h and tlhelp32.h need the types of windows.h.
#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "RemoteMenu.h"

namespace tav::e2e {
namespace {

// Generous: a busy machine must not fail a test; a pass never waits this long.
constexpr DWORD kDefaultTimeoutMs = 60000;
constexpr UINT kTrayCallbackMessage = WM_APP + 1;  // TrayIcon's callback
constexpr wchar_t kTrayWindowClass[] = L"TavelinServiceWindow";
constexpr wchar_t kMenuClass[] = L"#32768";
constexpr wchar_t kDialogClass[] = L"#32770";

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string utf8(const std::wstring& s) {
    if (s.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::wstring wide(const std::string& s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

std::wstring lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

// WriteFile, not stdio: text-mode stdio would turn "\n" into "\r\n".
void writeTo(DWORD which, const std::string& s) {
    DWORD written = 0;
    WriteFile(GetStdHandle(which), s.data(), static_cast<DWORD>(s.size()), &written, nullptr);
}
void out(const std::wstring& line) { writeTo(STD_OUTPUT_HANDLE, utf8(line) + "\n"); }
void err(const std::wstring& line) { writeTo(STD_ERROR_HANDLE, utf8(line) + "\n"); }

std::wstring hex(HWND h) {
    wchar_t buf[32];
    swprintf(buf, 32, L"0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(h)));
    return buf;
}

unsigned long long number(const std::wstring& s) {
    wchar_t* end = nullptr;
    const unsigned long long v = wcstoull(s.c_str(), &end, 0);
    if (s.empty() || *end) throw UsageError("not a number: " + utf8(s));
    return v;
}
long long signedNumber(const std::wstring& s) {
    wchar_t* end = nullptr;
    const long long v = wcstoll(s.c_str(), &end, 0);
    if (s.empty() || *end) throw UsageError("not a number: " + utf8(s));
    return v;
}

HWND windowArg(const std::wstring& s) {
    HWND h = reinterpret_cast<HWND>(static_cast<UINT_PTR>(number(s)));
    if (!IsWindow(h)) throw Failure("no such window: " + utf8(s));
    return h;
}

// The window enumerations' callback: each window into a vector. A named
// function, as the callback must use the system's calling convention, which
// on 32-bit Windows is not the one of a lambda.
BOOL CALLBACK collectWindow(HWND h, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(h);
    return TRUE;
}

// Polls until done() or the time is up; never a fixed sleep in the scripts.
bool poll(DWORD timeoutMs, const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(40);
    }
}

// Returns once the thread has gone back to a message loop: what the last
// input set off there (a file written after a box was answered, a menu
// command) is done by then, or waits in a box of its own. Asks any window of
// the thread but the one that is going away.
void settle(DWORD thread, HWND goingAway, DWORD timeoutMs) {
    std::vector<HWND> windows;
    EnumThreadWindows(thread, collectWindow, reinterpret_cast<LPARAM>(&windows));
    DWORD_PTR ignored = 0;
    // No window left: the program has ended, nothing is left to wait for.
    for (HWND h : windows) {
        if (h == goingAway) continue;
        SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored);
        return;
    }
}

// ---- the program under test ------------------------------------------------

std::wstring targetSuffix() {
    wchar_t buf[MAX_PATH * 2];
    const DWORD n = GetEnvironmentVariableW(L"E2E_EXE", buf, MAX_PATH * 2);
    if (n == 0 || n >= MAX_PATH * 2) return {};
    std::wstring s(buf, n);
    std::replace(s.begin(), s.end(), L'/', L'\\');
    return lower(s);
}

// Processes whose image path could not be read, with the error: a command
// that found nothing names them, so that a window missed for that reason is
// told from one that was not there.
std::map<DWORD, DWORD> unreadable;

std::wstring imagePath(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    wchar_t buf[MAX_PATH * 2];
    DWORD size = MAX_PATH * 2;
    std::wstring path;
    if (process && QueryFullProcessImageNameW(process, 0, buf, &size)) path.assign(buf, size);
    if (path.empty()) unreadable[pid] = GetLastError();
    if (process) CloseHandle(process);
    return path;
}

bool isTarget(DWORD pid) {
    static const std::wstring suffix = targetSuffix();
    static std::map<DWORD, bool> cache;
    if (pid == GetCurrentProcessId()) return false;
    if (suffix.empty()) return true;
    const auto found = cache.find(pid);
    if (found != cache.end()) return found->second;
    std::wstring path = lower(imagePath(pid));
    // A process whose path cannot be read just now (starting, ending) is
    // asked again at the next look, not taken for another program for good.
    if (path.empty()) return false;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    const bool match = path.size() >= suffix.size() &&
                       path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
    cache[pid] = match;
    return match;
}

std::vector<DWORD> targetProcesses() {
    std::vector<DWORD> pids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return pids;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32FirstW(snap, &entry); ok; ok = Process32NextW(snap, &entry)) {
        if (isTarget(entry.th32ProcessID)) pids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snap);
    return pids;
}

// ---- windows -----------------------------------------------------------------

struct WindowInfo {
    HWND hwnd;
    std::wstring className;
    std::wstring title;
    bool visible;
    RECT rect;
    DWORD pid;
};

WindowInfo describe(HWND h) {
    WindowInfo w{h, {}, {}, IsWindowVisible(h) != FALSE, {}, 0};
    // A window that went meanwhile has neither, not last call's leftovers.
    wchar_t buf[512] = {};
    GetClassNameW(h, buf, 512);
    w.className = buf;
    buf[0] = 0;
    GetWindowTextW(h, buf, 512);
    w.title = buf;
    GetWindowRect(h, &w.rect);
    GetWindowThreadProcessId(h, &w.pid);
    return w;
}

std::vector<WindowInfo> topLevelWindows() {
    std::vector<HWND> all;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&all));
    std::vector<WindowInfo> result;
    for (HWND h : all) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (isTarget(pid)) result.push_back(describe(h));
    }
    return result;
}

// "-" matches anything; a trailing "*" makes the title a prefix.
bool matches(const WindowInfo& w, const std::wstring& cls, const std::wstring& title) {
    if (cls != L"-" && lower(cls) != lower(w.className)) return false;
    if (title == L"-") return true;
    if (!title.empty() && title.back() == L'*') {
        return w.title.compare(0, title.size() - 1, title, 0, title.size() - 1) == 0;
    }
    return w.title == title;
}

std::vector<HWND> visibleMatches(const std::wstring& cls, const std::wstring& title) {
    std::vector<HWND> found;
    for (const auto& w : topLevelWindows()) {
        if (w.visible && matches(w, cls, title)) found.push_back(w.hwnd);
    }
    return found;
}

std::wstring rectText(const RECT& r) {
    wchar_t buf[96];
    swprintf(buf, 96, L"%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
    return buf;
}

std::vector<HWND> childWindows(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(parent, collectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::wstring className(HWND h) {
    wchar_t buf[256] = {};
    GetClassNameW(h, buf, 256);
    return buf;
}

// The text a control holds now, asked of its own thread (WM_GETTEXT is
// carried across processes).
std::wstring controlText(HWND h) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kDefaultTimeoutMs,
                             &length)) {
        throw Failure("window does not answer WM_GETTEXTLENGTH");
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kDefaultTimeoutMs, &copied)) {
        throw Failure("window does not answer WM_GETTEXT");
    }
    text.resize(std::min<size_t>(copied, length));
    return text;
}

bool isEditClass(const std::wstring& cls) {
    const std::wstring c = lower(cls);
    return c.find(L"richedit") != std::wstring::npos || c == L"edit";
}

// A note's text control: the window itself when it is one, else its first
// rich-text (or edit) child.
HWND textControl(HWND h) {
    if (isEditClass(className(h))) return h;
    for (HWND child : childWindows(h)) {
        if (isEditClass(className(child))) return child;
    }
    throw Failure("window " + utf8(hex(h)) + " has no text control");
}

std::wstring oneLine(std::wstring s) {
    std::wstring result;
    for (size_t i = 0; i < s.size(); i++) {
        if (s[i] == L'\r') {
            result += L"\\n";
            if (i + 1 < s.size() && s[i + 1] == L'\n') i++;
        } else if (s[i] == L'\n') {
            result += L"\\n";
        } else {
            result += s[i];
        }
    }
    return result;
}

// ---- input -------------------------------------------------------------------

void sendInputs(std::vector<INPUT>& inputs) {
    if (inputs.empty()) return;
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) throw Failure("SendInput refused the input");
}

INPUT keyInput(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    switch (vk) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_INSERT:
        case VK_DELETE:
            in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
            break;
    }
    return in;
}

WORD keyCode(const std::wstring& name) {
    static const std::map<std::wstring, WORD> named = {
        {L"ctrl", VK_CONTROL},  {L"strg", VK_CONTROL}, {L"alt", VK_MENU},
        {L"shift", VK_SHIFT},   {L"win", VK_LWIN},     {L"enter", VK_RETURN},
        {L"return", VK_RETURN}, {L"esc", VK_ESCAPE},   {L"escape", VK_ESCAPE},
        {L"tab", VK_TAB},       {L"space", VK_SPACE},  {L"backspace", VK_BACK},
        {L"delete", VK_DELETE}, {L"del", VK_DELETE},   {L"insert", VK_INSERT},
        {L"up", VK_UP},         {L"down", VK_DOWN},    {L"left", VK_LEFT},
        {L"right", VK_RIGHT},   {L"home", VK_HOME},    {L"end", VK_END},
        {L"pgup", VK_PRIOR},    {L"pgdn", VK_NEXT},    {L"apps", VK_APPS},
    };
    const std::wstring key = lower(name);
    if (auto it = named.find(key); it != named.end()) return it->second;
    if (key.size() == 1 && std::iswalnum(key[0]) && key[0] < 128) {
        return static_cast<WORD>(std::towupper(key[0]));
    }
    if (key.size() >= 2 && key[0] == L'f') {
        const int n = _wtoi(key.c_str() + 1);
        if (n >= 1 && n <= 24) return static_cast<WORD>(VK_F1 + n - 1);
    }
    throw UsageError("unknown key: " + utf8(name));
}

// "ctrl+alt+k": the keys of a combination in the order they are pressed.
std::vector<WORD> comboKeys(const std::wstring& combo) {
    std::vector<WORD> keys;
    size_t start = 0;
    while (start <= combo.size()) {
        size_t plus = combo.find(L'+', start);
        // "ctrl++" means the plus key itself.
        if (plus == start && plus != std::wstring::npos) plus = combo.find(L'+', start + 1);
        const std::wstring part =
            combo.substr(start, plus == std::wstring::npos ? std::wstring::npos : plus - start);
        keys.push_back(part == L"+" ? static_cast<WORD>(VK_OEM_PLUS) : keyCode(part));
        if (plus == std::wstring::npos) break;
        start = plus + 1;
    }
    return keys;
}

// Modifiers down, key down and up, modifiers up.
void addCombo(std::vector<INPUT>& inputs, const std::wstring& combo) {
    const std::vector<WORD> keys = comboKeys(combo);
    for (WORD vk : keys) inputs.push_back(keyInput(vk, false));
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) inputs.push_back(keyInput(*it, true));
}

// Text as the keyboard would type it, umlauts included.
void addText(std::vector<INPUT>& inputs, const std::wstring& text) {
    for (wchar_t c : text) {
        if (c == L'\n') {
            inputs.push_back(keyInput(VK_RETURN, false));
            inputs.push_back(keyInput(VK_RETURN, true));
            continue;
        }
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wScan = c;
        in.ki.dwFlags = KEYEVENTF_UNICODE;
        inputs.push_back(in);
        in.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
}

void mouseAt(std::vector<INPUT>& inputs, POINT screen, DWORD flags) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(screen.x, 65535, std::max(1, w - 1));
    in.mi.dy = MulDiv(screen.y, 65535, std::max(1, h - 1));
    in.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | flags;
    inputs.push_back(in);
}

// ---- menus -------------------------------------------------------------------

// "&Notiz löschen\tStrg+L" → "Notiz löschen"
std::wstring plainCaption(const std::wstring& text) {
    std::wstring result;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == L'\t') break;
        if (text[i] == L'&') {
            if (i + 1 < text.size() && text[i + 1] == L'&') result += L'&', i++;
            continue;
        }
        result += text[i];
    }
    return result;
}

std::vector<HWND> visibleMenuWindows() {
    std::vector<HWND> found;
    for (const auto& w : topLevelWindows()) {
        if (w.visible && w.className == kMenuClass) found.push_back(w.hwnd);
    }
    return found;
}

// The pop-up menu itself, not a submenu that the mouse may have opened: the
// submenus lie above it in the z-order, so it is the last one listed.
HWND visibleMenuWindow() {
    const auto found = visibleMenuWindows();
    return found.empty() ? nullptr : found.back();
}

// Why no menu came: whether the program's thread went into a menu loop at
// all (a menu that closed at once) and which of its windows could have
// taken the tray icon's click.
std::string menuDiagnosis() {
    std::string said;
    for (const auto& w : topLevelWindows()) {
        if (w.className != kTrayWindowClass) continue;
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(w.hwnd, nullptr), &info);
        said += "; service window " + utf8(hex(w.hwnd)) +
                ((info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) ? " in a menu loop"
                                                                      : " in no menu loop");
    }
    wchar_t name[128] = {};
    GetClassNameW(GetForegroundWindow(), name, 128);
    return said + "; foreground " + utf8(name);
}

HWND waitMenuWindow(DWORD timeoutMs) {
    HWND menuWindow = nullptr;
    if (!poll(timeoutMs, [&] { return (menuWindow = visibleMenuWindow()) != nullptr; })) {
        throw Failure("no pop-up menu of the program opened" + menuDiagnosis());
    }
    return menuWindow;
}

std::vector<RemoteMenuItem> readMenu(HWND menuWindow, HMENU menu) {
    DWORD pid = 0;
    GetWindowThreadProcessId(menuWindow, &pid);
    return readRemoteMenu(pid, menu);
}

HMENU menuOf(HWND menuWindow) {
    DWORD_PTR menu = 0;
    SendMessageTimeoutW(menuWindow, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, kDefaultTimeoutMs, &menu);
    if (!menu) throw Failure("the pop-up menu window has no menu");
    return reinterpret_cast<HMENU>(menu);
}

void printMenu(HWND menuWindow, HMENU menu, int depth) {
    for (const auto& item : readMenu(menuWindow, menu)) {
        std::wstring line(depth * 2, L' ');
        if (item.separator()) {
            out(line + L"-");
            continue;
        }
        line += plainCaption(item.text);
        if (item.checked()) line += L" [x]";
        if (item.grayed()) line += L" [grau]";
        if (item.subMenu) line += L" >";
        out(line);
        if (item.subMenu) printMenu(menuWindow, item.subMenu, depth + 1);
    }
}

void closeMenus(DWORD timeoutMs) {
    poll(timeoutMs, [] {
        HWND m = visibleMenuWindow();
        if (!m) return true;
        PostMessageW(m, WM_KEYDOWN, VK_ESCAPE, 0);
        Sleep(100);
        return false;
    });
}

// Chooses the item at the end of a caption path with the keyboard, as a user
// would: greyed items are stopped on by the arrow keys but cannot be chosen.
void chooseMenuPath(const std::wstring& path, DWORD timeoutMs) {
    const HWND menuWindow = waitMenuWindow(timeoutMs);
    HMENU menu = menuOf(menuWindow);
    std::vector<std::wstring> parts;
    for (size_t start = 0;;) {
        const size_t slash = path.find(L'/', start);
        parts.push_back(path.substr(start, slash == std::wstring::npos ? slash : slash - start));
        if (slash == std::wstring::npos) break;
        start = slash + 1;
    }
    // Back to the menu itself and to its first item, whatever the mouse selected.
    const size_t open = visibleMenuWindows().size();
    std::vector<WPARAM> keys(open > 1 ? open - 1 : 0, VK_LEFT);
    keys.push_back(VK_HOME);
    for (size_t level = 0; level < parts.size(); level++) {
        const auto items = readMenu(menuWindow, menu);
        const std::wstring wanted = plainCaption(parts[level]);
        int index = -1;
        for (size_t i = 0; i < items.size(); i++) {
            if (!items[i].separator() && plainCaption(items[i].text) == wanted) {
                index = static_cast<int>(i);
                break;
            }
        }
        if (index < 0) {
            std::wstring known;
            for (const auto& item : items) {
                if (!item.separator()) known += L" \"" + plainCaption(item.text) + L"\"";
            }
            closeMenus(timeoutMs);
            throw Failure("menu item \"" + utf8(wanted) + "\" not found; the menu holds" +
                          utf8(known));
        }
        const auto& item = items[index];
        const bool last = level + 1 == parts.size();
        if (last == (item.subMenu != nullptr)) {
            closeMenus(timeoutMs);
            throw Failure("\"" + utf8(wanted) +
                          (last ? "\" opens a submenu" : "\" has no submenu"));
        }
        if (item.grayed()) {
            closeMenus(timeoutMs);
            throw Failure("menu item \"" + utf8(wanted) + "\" is greyed");
        }
        // Home (or Right into a submenu) has selected the first item.
        for (int i = 0; i < index; i++) {
            if (!items[i].separator()) keys.push_back(VK_DOWN);
        }
        keys.push_back(last ? VK_RETURN : VK_RIGHT);
        menu = item.subMenu;
    }
    // All keys go to the menu loop of the program's thread, whichever of its
    // menu windows they are posted to.
    const DWORD thread = GetWindowThreadProcessId(menuWindow, nullptr);
    for (WPARAM k : keys) PostMessageW(menuWindow, WM_KEYDOWN, k, 0);
    if (!poll(timeoutMs, [] { return visibleMenuWindow() == nullptr; })) {
        throw Failure("the menu did not close after choosing");
    }
    // The command runs once the menu is closed; wait until it has.
    settle(thread, nullptr, timeoutMs);
}

// ---- dialogs -----------------------------------------------------------------

struct DialogInfo {
    HWND hwnd = nullptr;
    std::wstring caption;
    std::wstring text;  // the static texts, joined by blanks
    HWND edit = nullptr;
    std::vector<std::pair<int, std::wstring>> buttons;
};

DialogInfo readDialog(HWND dialog) {
    DialogInfo d;
    d.hwnd = dialog;
    d.caption = describe(dialog).title;
    for (HWND child : childWindows(dialog)) {
        const std::wstring cls = lower(className(child));
        if (cls == L"static") {
            const std::wstring t = controlText(child);
            if (!t.empty()) d.text += (d.text.empty() ? L"" : L" ") + t;
        } else if (cls == L"edit") {
            if (!d.edit) d.edit = child;
        } else if (cls == L"button") {
            d.buttons.emplace_back(GetDlgCtrlID(child), plainCaption(controlText(child)));
        }
    }
    return d;
}

HWND waitDialog(DWORD timeoutMs, bool wantEdit) {
    HWND dialog = nullptr;
    const bool found = poll(timeoutMs, [&] {
        for (HWND h : visibleMatches(kDialogClass, L"-")) {
            bool hasEdit = false;
            for (HWND child : childWindows(h)) hasEdit |= lower(className(child)) == L"edit";
            if (hasEdit == wantEdit) {
                dialog = h;
                return true;
            }
        }
        return false;
    });
    if (!found) throw Failure(wantEdit ? "no input box appeared" : "no message box appeared");
    return dialog;
}

int buttonId(const std::wstring& name) {
    static const std::map<std::wstring, int> named = {
        {L"ok", IDOK},       {L"cancel", IDCANCEL}, {L"abbrechen", IDCANCEL}, {L"abort", IDABORT},
        {L"retry", IDRETRY}, {L"ignore", IDIGNORE}, {L"yes", IDYES},          {L"ja", IDYES},
        {L"no", IDNO},       {L"nein", IDNO},
    };
    if (auto it = named.find(lower(name)); it != named.end()) return it->second;
    return static_cast<int>(number(name));
}

void pressButton(const DialogInfo& d, int id, DWORD timeoutMs) {
    HWND button = GetDlgItem(d.hwnd, id);
    if (!button) {
        std::wstring known;
        for (const auto& [bid, text] : d.buttons)
            known += L" " + std::to_wstring(bid) + L"=" + text;
        throw Failure("the box has no button " + std::to_string(id) + ";" + utf8(known));
    }
    // Posted: the program's answer may be another modal box.
    const DWORD thread = GetWindowThreadProcessId(d.hwnd, nullptr);
    PostMessageW(d.hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    if (!poll(timeoutMs, [&] { return !IsWindow(d.hwnd) || !IsWindowVisible(d.hwnd); })) {
        throw Failure("the box did not close");
    }
    // What the answer sets off (the title written, the note deleted) is done
    // before the script looks at it.
    settle(thread, d.hwnd, timeoutMs);
}

// ---- commands ----------------------------------------------------------------

using Args = std::vector<std::wstring>;

DWORD timeoutArg(const Args& a, size_t i) {
    return i < a.size() ? static_cast<DWORD>(number(a[i])) : kDefaultTimeoutMs;
}

void need(const Args& a, size_t n, const char* usage) {
    if (a.size() < n) throw UsageError(std::string("usage: ") + usage);
}

// Exit code 1 for a search that found nothing, said on stderr, so that an
// exit code 1 without a word means that the driver did not end by itself.
int nothingFound(const Args& a) {
    std::wstring what;
    for (const auto& arg : a) what += L" " + arg;
    err(L"e2e_driver: nothing found for" + (what.empty() ? L" the program" : what));
    return 1;
}

int cmdList(const Args&) {
    for (const auto& w : topLevelWindows()) {
        out(hex(w.hwnd) + L"\t" + w.className + L"\t" + w.title + L"\t" +
            (w.visible ? L"1" : L"0") + L"\t" + rectText(w.rect) + L"\t" + std::to_wstring(w.pid));
    }
    return 0;
}

int cmdFind(const Args& a) {
    need(a, 2, "find <class|-> <title|->");
    const auto found = visibleMatches(a[0], a[1]);
    for (HWND h : found) out(hex(h));
    return found.empty() ? nothingFound(a) : 0;
}

// The number of visible windows that match; exit code 0 whatever it is, so
// that a script can tell "none" from a driver that did not run.
int cmdCount(const Args& a) {
    need(a, 2, "count <class|-> <title|->");
    out(std::to_wstring(visibleMatches(a[0], a[1]).size()));
    return 0;
}

// Hidden windows too, such as the tray controller's after the splash.
int cmdFindAny(const Args& a) {
    need(a, 2, "find-any <class|-> <title|->");
    int found = 0;
    for (const auto& w : topLevelWindows()) {
        if (matches(w, a[0], a[1])) {
            out(hex(w.hwnd));
            found++;
        }
    }
    return found == 0 ? nothingFound(a) : 0;
}

int cmdWaitWindow(const Args& a) {
    need(a, 2, "wait-window <class|-> <title|-> [timeoutMs]");
    std::vector<HWND> found;
    if (!poll(timeoutArg(a, 2), [&] { return !(found = visibleMatches(a[0], a[1])).empty(); })) {
        throw Failure("no visible window class=" + utf8(a[0]) + " title=" + utf8(a[1]));
    }
    out(hex(found.front()));
    return 0;
}

int cmdWaitCount(const Args& a) {
    need(a, 3, "wait-count <class|-> <title|-> <n> [timeoutMs]");
    const size_t n = number(a[2]);
    std::vector<HWND> found;
    if (!poll(timeoutArg(a, 3), [&] { return (found = visibleMatches(a[0], a[1])).size() == n; })) {
        throw Failure("expected " + std::to_string(n) + " visible windows class=" + utf8(a[0]) +
                      ", found " + std::to_string(found.size()));
    }
    for (HWND h : found) out(hex(h));
    return 0;
}

int cmdWaitGone(const Args& a) {
    need(a, 1, "wait-gone <hwnd> [timeoutMs]");
    const HWND h = reinterpret_cast<HWND>(static_cast<UINT_PTR>(number(a[0])));
    if (!poll(timeoutArg(a, 1), [&] { return !IsWindow(h) || !IsWindowVisible(h); })) {
        throw Failure("window " + utf8(a[0]) + " is still visible");
    }
    return 0;
}

// Until the child of this id is enabled: a window may take no input for a
// moment after it comes.
int cmdWaitEnabled(const Args& a) {
    need(a, 2, "wait-enabled <hwnd> <child id> [timeoutMs]");
    const HWND parent = windowArg(a[0]);
    const int id = static_cast<int>(number(a[1]));
    if (!poll(timeoutArg(a, 2), [&] {
            const HWND child = GetDlgItem(parent, id);
            return child != nullptr && IsWindowEnabled(child);
        })) {
        throw Failure("child " + utf8(a[1]) + " stays disabled");
    }
    return 0;
}

int cmdWaitExit(const Args& a) {
    if (!poll(timeoutArg(a, 0), [] { return targetProcesses().empty(); })) {
        throw Failure("the program is still running");
    }
    return 0;
}

int cmdPids(const Args& a) {
    const auto pids = targetProcesses();
    for (DWORD pid : pids) out(std::to_wstring(pid));
    return pids.empty() ? nothingFound(a) : 0;
}

// Only the program under test: the suffix names the copy in the test's own
// directory. Without E2E_EXE this would hit every process, so it refuses.
int cmdKill(const Args&) {
    if (targetSuffix().empty()) throw UsageError("kill needs E2E_EXE");
    int killed = 0;
    for (DWORD pid : targetProcesses()) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!process) continue;
        if (TerminateProcess(process, 99)) {
            WaitForSingleObject(process, kDefaultTimeoutMs);
            killed++;
        }
        CloseHandle(process);
    }
    out(std::to_wstring(killed));
    return 0;
}

int cmdRect(const Args& a) {
    need(a, 1, "rect <hwnd>");
    RECT r;
    GetWindowRect(windowArg(a[0]), &r);
    out(rectText(r));
    return 0;
}

int cmdInfo(const Args& a) {
    need(a, 1, "info <hwnd>");
    const HWND h = windowArg(a[0]);
    const auto w = describe(h);
    RECT client;
    GetClientRect(h, &client);
    wchar_t buf[256];
    swprintf(buf, 256, L"style=0x%08lx exstyle=0x%08lx owner=%ls client=%ldx%ld",
             static_cast<unsigned long>(GetWindowLongW(h, GWL_STYLE)),
             static_cast<unsigned long>(GetWindowLongW(h, GWL_EXSTYLE)),
             hex(GetWindow(h, GW_OWNER)).c_str(), client.right, client.bottom);
    out(hex(h) + L"\t" + w.className + L"\t" + w.title + L"\t" + (w.visible ? L"1" : L"0") + L"\t" +
        rectText(w.rect) + L"\t" + buf);
    return 0;
}

int cmdChildren(const Args& a) {
    need(a, 1, "children <hwnd>");
    for (HWND child : childWindows(windowArg(a[0]))) {
        RECT r;
        GetWindowRect(child, &r);
        std::wstring text;
        try {
            text = oneLine(controlText(child));
        } catch (const Failure&) {
        }
        if (text.size() > 60) text = text.substr(0, 60) + L"...";
        out(hex(child) + L"\t" + className(child) + L"\t" + std::to_wstring(GetDlgCtrlID(child)) +
            L"\t" + (IsWindowVisible(child) ? L"1" : L"0") + L"\t" + rectText(r) + L"\t" + text);
    }
    return 0;
}

// The first child window whose class contains the text (any case), e.g.
// "richedit" or "toolbar"; with an index n, the n-th of them (from 0).
int cmdChild(const Args& a) {
    need(a, 2, "child <hwnd> <class part> [n]");
    const std::wstring part = lower(a[1]);
    size_t wanted = a.size() > 2 ? number(a[2]) : 0;
    for (HWND child : childWindows(windowArg(a[0]))) {
        if (lower(className(child)).find(part) == std::wstring::npos) continue;
        if (wanted-- == 0) {
            out(hex(child));
            return 0;
        }
    }
    throw Failure("no such child window: " + utf8(a[1]));
}

// The lines of a list box, one a line.
int cmdItems(const Args& a) {
    need(a, 1, "items <listbox>");
    const HWND list = windowArg(a[0]);
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kDefaultTimeoutMs,
                             &count) ||
        static_cast<LRESULT>(count) == LB_ERR) {
        throw Failure("window does not answer LB_GETCOUNT");
    }
    for (WPARAM i = 0; i < count; i++) {
        DWORD_PTR length = 0;
        SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, kDefaultTimeoutMs,
                            &length);
        std::wstring line(length + 1, L'\0');
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()),
                            SMTO_ABORTIFHUNG, kDefaultTimeoutMs, &copied);
        line.resize(std::min<size_t>(copied, length));
        out(line);
    }
    return 0;
}

// As a user dragging the frame: the window sees the size-move bracket, and
// the system's minimum and maximum tracking sizes apply.
int cmdMove(const Args& a) {
    need(a, 5, "move <hwnd> <left> <top> <width> <height>");
    const HWND h = windowArg(a[0]);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(h, WM_ENTERSIZEMOVE, 0, 0, SMTO_ABORTIFHUNG, kDefaultTimeoutMs, &ignored);
    SetWindowPos(h, nullptr, static_cast<int>(signedNumber(a[1])),
                 static_cast<int>(signedNumber(a[2])), static_cast<int>(signedNumber(a[3])),
                 static_cast<int>(signedNumber(a[4])), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageTimeoutW(h, WM_EXITSIZEMOVE, 0, 0, SMTO_ABORTIFHUNG, kDefaultTimeoutMs, &ignored);
    RECT r;
    GetWindowRect(h, &r);
    out(rectText(r));
    return 0;
}

int cmdPost(const Args& a) {
    need(a, 4, "post <hwnd> <msg> <wparam> <lparam>");
    if (!PostMessageW(windowArg(a[0]), static_cast<UINT>(number(a[1])),
                      static_cast<WPARAM>(number(a[2])), static_cast<LPARAM>(signedNumber(a[3])))) {
        throw Failure("PostMessage failed");
    }
    return 0;
}

int cmdSend(const Args& a) {
    need(a, 4, "send <hwnd> <msg> <wparam> <lparam>");
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(windowArg(a[0]), static_cast<UINT>(number(a[1])),
                             static_cast<WPARAM>(number(a[2])),
                             static_cast<LPARAM>(signedNumber(a[3])), SMTO_ABORTIFHUNG,
                             kDefaultTimeoutMs, &result)) {
        throw Failure("SendMessage failed or timed out");
    }
    out(std::to_wstring(static_cast<long long>(result)));
    return 0;
}

int cmdFocus(const Args& a) {
    need(a, 1, "focus <hwnd> [timeoutMs]");
    const HWND h = windowArg(a[0]);
    if (!poll(timeoutArg(a, 1), [&] {
            if (GetForegroundWindow() == h) return true;
            SetForegroundWindow(h);
            return false;
        })) {
        throw Failure("window " + utf8(a[0]) + " did not come to the foreground");
    }
    return 0;
}

int cmdForeground(const Args&) {
    const HWND h = GetForegroundWindow();
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(0, &info);
    const auto w = describe(h);
    out(hex(h) + L"\t" + w.className + L"\t" + w.title + L"\tfocus=" + hex(info.hwndFocus) + L"\t" +
        className(info.hwndFocus));
    return 0;
}

int cmdKeys(const Args& a) {
    need(a, 1, "keys <ctrl+alt+k|enter|text:...>...");
    std::vector<INPUT> inputs;
    for (const auto& combo : a) {
        if (combo.rfind(L"text:", 0) == 0) {
            addText(inputs, combo.substr(5));
        } else {
            addCombo(inputs, combo);
        }
    }
    sendInputs(inputs);
    return 0;
}

// Whether another program could take this combination as its global hot
// key now: "free" (exit 0) or "taken" (exit 1). Nothing stays registered.
int cmdHotkeyFree(const Args& a) {
    need(a, 1, "hotkey-free <ctrl+alt+k>");
    UINT modifiers = 0;
    WORD key = 0;
    for (const WORD vk : comboKeys(a[0])) {
        switch (vk) {
            case VK_CONTROL:
                modifiers |= MOD_CONTROL;
                break;
            case VK_MENU:
                modifiers |= MOD_ALT;
                break;
            case VK_SHIFT:
                modifiers |= MOD_SHIFT;
                break;
            case VK_LWIN:
                modifiers |= MOD_WIN;
                break;
            default:
                key = vk;
        }
    }
    if (key == 0) throw UsageError("hotkey-free needs a key besides the modifiers");
    if (!RegisterHotKey(nullptr, 1, modifiers, key)) {
        out(L"taken");
        return 1;
    }
    UnregisterHotKey(nullptr, 1);
    out(L"free");
    return 0;
}

// x and y count from the window's top-left corner (outer rectangle).
int cmdClick(const Args& a) {
    need(a, 3, "click <hwnd> <x> <y> [left|right|double]");
    const HWND h = windowArg(a[0]);
    RECT r;
    GetWindowRect(h, &r);
    const POINT p{r.left + static_cast<LONG>(signedNumber(a[1])),
                  r.top + static_cast<LONG>(signedNumber(a[2]))};
    const std::wstring kind = a.size() > 3 ? lower(a[3]) : L"left";
    std::vector<INPUT> inputs;
    mouseAt(inputs, p, MOUSEEVENTF_MOVE);
    const int clicks = kind == L"double" ? 2 : 1;
    const bool right = kind == L"right";
    if (kind != L"left" && kind != L"right" && kind != L"double") {
        throw UsageError("click kind: left, right or double");
    }
    for (int i = 0; i < clicks; i++) {
        mouseAt(inputs, p, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
        mouseAt(inputs, p, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    }
    sendInputs(inputs);
    return 0;
}

// Press at (x, y) of the window, move by (dx, dy), release.
int cmdDrag(const Args& a) {
    need(a, 5, "drag <hwnd> <x> <y> <dx> <dy>");
    const HWND h = windowArg(a[0]);
    RECT r;
    GetWindowRect(h, &r);
    const POINT from{r.left + static_cast<LONG>(signedNumber(a[1])),
                     r.top + static_cast<LONG>(signedNumber(a[2]))};
    const POINT to{from.x + static_cast<LONG>(signedNumber(a[3])),
                   from.y + static_cast<LONG>(signedNumber(a[4]))};
    std::vector<INPUT> inputs;
    mouseAt(inputs, from, MOUSEEVENTF_MOVE);
    mouseAt(inputs, from, MOUSEEVENTF_LEFTDOWN);
    sendInputs(inputs);
    inputs.clear();
    // In steps, so the move loop sees the mouse travel.
    for (int step = 1; step <= 8; step++) {
        Sleep(30);
        const POINT p{from.x + (to.x - from.x) * step / 8, from.y + (to.y - from.y) * step / 8};
        mouseAt(inputs, p, MOUSEEVENTF_MOVE);
        sendInputs(inputs);
        inputs.clear();
    }
    mouseAt(inputs, to, MOUSEEVENTF_LEFTUP);
    sendInputs(inputs);
    return 0;
}

int cmdTypeInto(const Args& a) {
    need(a, 2, "type-into <hwnd> <text>");
    const HWND edit = textControl(windowArg(a[0]));
    for (wchar_t c : a[1]) {
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutW(edit, WM_CHAR, c == L'\n' ? L'\r' : c, 1, SMTO_ABORTIFHUNG,
                                 kDefaultTimeoutMs, &ignored)) {
            throw Failure("the text control does not take characters");
        }
    }
    return 0;
}

// A text control's text with each line ending as "\n".
std::wstring textLines(HWND window) {
    const std::wstring text = controlText(textControl(window));
    std::wstring lines;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == L'\r') {
            lines += L'\n';
            if (i + 1 < text.size() && text[i + 1] == L'\n') i++;
        } else {
            lines += text[i];
        }
    }
    return lines;
}

int cmdText(const Args& a) {
    need(a, 1, "text <hwnd>");
    out(textLines(windowArg(a[0])));
    return 0;
}

// The visible window of the class whose text control holds exactly this
// text (a final line end aside), once there is one.
int cmdWaitText(const Args& a) {
    need(a, 2, "wait-text <class|-> <text> [timeoutMs]");
    std::wstring wanted = a[1];
    HWND found = nullptr;
    auto same = [&](HWND h) {
        try {
            std::wstring text = textLines(h);
            while (!text.empty() && text.back() == L'\n') text.pop_back();
            return text == wanted;
        } catch (const Failure&) {
            return false;  // gone meanwhile, or no text control yet
        }
    };
    if (!poll(timeoutArg(a, 2), [&] {
            for (HWND h : visibleMatches(a[0], L"-")) {
                if (same(h)) {
                    found = h;
                    return true;
                }
            }
            return false;
        })) {
        throw Failure("no window holds the text \"" + utf8(wanted) + "\"");
    }
    out(hex(found));
    return 0;
}

void printDialog(const DialogInfo& d) {
    out(L"caption: " + d.caption);
    out(L"text: " + oneLine(d.text));
}

int cmdMsgbox(const Args& a) {
    printDialog(readDialog(waitDialog(timeoutArg(a, 0), false)));
    return 0;
}

int cmdAnswerMsgbox(const Args& a) {
    need(a, 1, "answer-msgbox <ok|cancel|yes|no|id> [timeoutMs]");
    const DWORD timeout = timeoutArg(a, 1);
    const DialogInfo d = readDialog(waitDialog(timeout, false));
    printDialog(d);
    pressButton(d, buttonId(a[0]), timeout);
    return 0;
}

// Every message box the program shows now, one line each ("caption<TAB>
// text"), each answered with the button (a box that another opened inside
// its own loop is answered first). None is no failure: the scripts count.
int cmdAnswerMsgboxes(const Args& a) {
    need(a, 1, "answer-msgboxes <ok|cancel|yes|no|id>");
    for (int answered = 0; answered < 100; ++answered) {
        HWND box = nullptr;
        for (HWND h : visibleMatches(kDialogClass, L"-")) {
            bool hasEdit = false;
            for (HWND child : childWindows(h)) hasEdit |= lower(className(child)) == L"edit";
            if (!hasEdit) {
                box = h;
                break;
            }
        }
        if (!box) return 0;
        const DialogInfo d = readDialog(box);
        out(d.caption + L"\t" + oneLine(d.text));
        pressButton(d, buttonId(a[0]), kDefaultTimeoutMs);
    }
    throw Failure("the boxes do not stop coming");
}

// Fills the box's edit field and presses OK ("--cancel" presses Cancel and
// leaves the field alone). Prints the caption, the prompt and the text the
// field held when the box came up.
int cmdAnswerInput(const Args& a) {
    need(a, 1, "answer-input <text|--cancel> [timeoutMs]");
    const DWORD timeout = timeoutArg(a, 1);
    const DialogInfo d = readDialog(waitDialog(timeout, true));
    printDialog(d);
    out(L"value: " + controlText(d.edit));
    if (a[0] == L"--cancel") {
        pressButton(d, IDCANCEL, timeout);
        return 0;
    }
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(d.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[0].c_str()),
                        SMTO_ABORTIFHUNG, timeout, &ignored);
    if (controlText(d.edit) != a[0]) throw Failure("the input box did not take the text");
    pressButton(d, IDOK, timeout);
    return 0;
}

// Any dialog of the program by its caption: fills controls by id ("706=0")
// and presses a button. For the system's dialogs, such as the colour dialog.
int cmdAnswerDialog(const Args& a) {
    need(a, 2, "answer-dialog <caption|caption*> <button> [id=text]...");
    HWND dialog = nullptr;
    if (!poll(kDefaultTimeoutMs, [&] {
            const auto found = visibleMatches(kDialogClass, a[0]);
            if (found.empty()) return false;
            dialog = found.front();
            return true;
        })) {
        throw Failure("no dialog \"" + utf8(a[0]) + "\" appeared");
    }
    const DialogInfo d = readDialog(dialog);
    printDialog(d);
    for (size_t i = 2; i < a.size(); i++) {
        const size_t equals = a[i].find(L'=');
        if (equals == std::wstring::npos) throw UsageError("expected id=text: " + utf8(a[i]));
        const HWND control = GetDlgItem(dialog, static_cast<int>(number(a[i].substr(0, equals))));
        if (!control) throw Failure("the dialog has no control " + utf8(a[i].substr(0, equals)));
        const std::wstring text = a[i].substr(equals + 1);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                            SMTO_ABORTIFHUNG, kDefaultTimeoutMs, &ignored);
    }
    pressButton(d, buttonId(a[1]), kDefaultTimeoutMs);
    return 0;
}

// A date or time picker of the program takes its value by a pointer into
// the program's own memory, so the value is written there first.
int cmdSetDatetime(const Args& a) {
    need(a, 3, "set-datetime <picker hwnd> <yyyy-mm-dd> <hh:mm:ss>");
    const HWND picker = windowArg(a[0]);
    SYSTEMTIME value = {};
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
    if (swscanf(a[1].c_str(), L"%d-%d-%d", &y, &mo, &d) != 3 ||
        swscanf(a[2].c_str(), L"%d:%d:%d", &h, &mi, &sec) != 3) {
        throw UsageError("set-datetime: a date yyyy-mm-dd and a time hh:mm:ss");
    }
    value.wYear = static_cast<WORD>(y);
    value.wMonth = static_cast<WORD>(mo);
    value.wDay = static_cast<WORD>(d);
    value.wHour = static_cast<WORD>(h);
    value.wMinute = static_cast<WORD>(mi);
    value.wSecond = static_cast<WORD>(sec);
    DWORD pid = 0;
    GetWindowThreadProcessId(picker, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) throw Failure("cannot open the program's process");
    void* remote =
        VirtualAllocEx(process, nullptr, sizeof value, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    DWORD_PTR accepted = 0;
    const bool sent =
        remote && WriteProcessMemory(process, remote, &value, sizeof value, nullptr) &&
        SendMessageTimeoutW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(remote),
                            SMTO_ABORTIFHUNG, kDefaultTimeoutMs, &accepted);
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    if (!sent || !accepted) throw Failure("the picker did not take the value");
    out(controlText(picker));
    return 0;
}

HWND trayWindow() {
    for (const auto& w : topLevelWindows()) {
        if (w.className == kTrayWindowClass) return w.hwnd;
    }
    throw Failure("the program has no tray icon window");
}

// The notification area hands the icon's clicks to the program as this
// callback message; posting it is what the shell does.
int cmdTray(const Args& a) {
    need(a, 1, "tray <dblclick|rclick> [timeoutMs]");
    HWND tray = nullptr;
    if (!poll(timeoutArg(a, 1), [&] {
            try {
                tray = trayWindow();
                return true;
            } catch (const Failure&) {
                return false;
            }
        })) {
        throw Failure("the program has no tray icon window");
    }
    const std::wstring kind = lower(a[0]);
    if (kind == L"dblclick") {
        PostMessageW(tray, kTrayCallbackMessage, 1, WM_LBUTTONDOWN);
        PostMessageW(tray, kTrayCallbackMessage, 1, WM_LBUTTONUP);
        PostMessageW(tray, kTrayCallbackMessage, 1, WM_LBUTTONDBLCLK);
        PostMessageW(tray, kTrayCallbackMessage, 1, WM_LBUTTONUP);
    } else if (kind == L"rclick") {
        PostMessageW(tray, kTrayCallbackMessage, 1, WM_RBUTTONDOWN);
        PostMessageW(tray, kTrayCallbackMessage, 1, WM_RBUTTONUP);
    } else {
        throw UsageError("tray: dblclick or rclick");
    }
    return 0;
}

int cmdMenu(const Args& a) {
    need(a, 1, "menu <caption/caption/...> [timeoutMs]");
    chooseMenuPath(a[0], timeoutArg(a, 1));
    return 0;
}

int cmdMenuShow(const Args& a) {
    const HWND menuWindow = waitMenuWindow(timeoutArg(a, 0));
    printMenu(menuWindow, menuOf(menuWindow), 0);
    return 0;
}

int cmdMenuClose(const Args& a) {
    closeMenus(timeoutArg(a, 0));
    if (visibleMenuWindow()) throw Failure("the menu stays open");
    return 0;
}

const std::map<std::wstring, int (*)(const Args&)>& commands() {
    static const std::map<std::wstring, int (*)(const Args&)> table = {
        {L"list", cmdList},
        {L"find", cmdFind},
        {L"find-any", cmdFindAny},
        {L"count", cmdCount},
        {L"wait-window", cmdWaitWindow},
        {L"wait-count", cmdWaitCount},
        {L"wait-gone", cmdWaitGone},
        {L"wait-enabled", cmdWaitEnabled},
        {L"wait-exit", cmdWaitExit},
        {L"pids", cmdPids},
        {L"kill", cmdKill},
        {L"rect", cmdRect},
        {L"info", cmdInfo},
        {L"children", cmdChildren},
        {L"child", cmdChild},
        {L"items", cmdItems},
        {L"move", cmdMove},
        {L"post", cmdPost},
        {L"send", cmdSend},
        {L"focus", cmdFocus},
        {L"foreground", cmdForeground},
        {L"keys", cmdKeys},
        {L"hotkey-free", cmdHotkeyFree},
        {L"click", cmdClick},
        {L"drag", cmdDrag},
        {L"type-into", cmdTypeInto},
        {L"text", cmdText},
        {L"wait-text", cmdWaitText},
        {L"msgbox", cmdMsgbox},
        {L"answer-msgbox", cmdAnswerMsgbox},
        {L"answer-msgboxes", cmdAnswerMsgboxes},
        {L"answer-input", cmdAnswerInput},
        {L"answer-dialog", cmdAnswerDialog},
        {L"set-datetime", cmdSetDatetime},
        {L"tray", cmdTray},
        {L"menu", cmdMenu},
        {L"menu-show", cmdMenuShow},
        {L"menu-close", cmdMenuClose},
    };
    return table;
}

// The Unicode command line, split by the usual rules; shell32 is loaded only
// for this, the driver links nothing beyond user32, kernel32 and gdi32.
Args arguments() {
    using Split = LPWSTR*(WINAPI*)(LPCWSTR, int*);
    HMODULE shell = LoadLibraryW(L"shell32.dll");
    auto split = shell ? reinterpret_cast<Split>(
                             reinterpret_cast<void*>(GetProcAddress(shell, "CommandLineToArgvW")))
                       : nullptr;
    if (!split) throw UsageError("CommandLineToArgvW missing");
    int argc = 0;
    LPWSTR* argv = split(GetCommandLineW(), &argc);
    Args args(argv + 1, argv + argc);
    LocalFree(argv);
    return args;
}

int run() {
    Args args = arguments();
    if (args.empty()) {
        std::wstring names;
        for (const auto& [name, f] : commands()) names += L" " + name;
        err(L"usage: e2e_driver <command> ...; commands:" + names);
        return 2;
    }
    const auto found = commands().find(args.front());
    if (found == commands().end()) {
        err(L"unknown command: " + args.front());
        return 2;
    }
    const std::wstring name = args.front();
    args.erase(args.begin());
    // Only what it still could not read at the end: a process that was
    // starting or ending during a poll is no news.
    const auto tellUnreadable = [](int status) {
        if (status == 0) return status;
        for (const auto& [pid, error] : unreadable) {
            if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid)) {
                const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
                CloseHandle(process);
                if (running) {
                    err(L"e2e_driver: the path of running process " + std::to_wstring(pid) +
                        L" could not be read (error " + std::to_wstring(error) + L")");
                }
            }
        }
        return status;
    };
    try {
        return tellUnreadable(found->second(args));
    } catch (const UsageError& e) {
        err(L"e2e_driver " + name + L": " + wide(e.what()));
        return 2;
    } catch (const std::exception& e) {
        err(L"e2e_driver " + name + L": " + wide(e.what()));
        return tellUnreadable(1);
    }
}

}  // namespace
}  // namespace tav::e2e

int main() { return tav::e2e::run(); }
