#include "forms/RxClock.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "forms/Dpi.h"
#include "desktop/LocalTime.h"

namespace tav {
namespace {

constexpr wchar_t kClassName[] = L"TavelinRxClock";
// Past the full second, so that a timer that comes a little early still
// finds the new second.
constexpr UINT kTickLateMs = 15;

// Every clock ticks from one timer, set each time for the next full second:
// fifty notes wake the program once a second instead of fifty times, and all
// clocks turn to the new second together, when the system's time does.
std::vector<RxClock*>& tickingClocks() {
    static std::vector<RxClock*> clocks;
    return clocks;
}
UINT_PTR tickTimer = 0;

bool isTicking(const RxClock* clock) {
    const auto& clocks = tickingClocks();
    return std::find(clocks.begin(), clocks.end(), clock) != clocks.end();
}

void CALLBACK tickAll(HWND, UINT, UINT_PTR, DWORD);

void scheduleTick() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    tickTimer = SetTimer(nullptr, tickTimer, 1000 - now.wMilliseconds + kTickLateMs, &tickAll);
}

void CALLBACK tickAll(HWND, UINT, UINT_PTR, DWORD) {
    scheduleTick();
    // An alarm handler may stop or destroy clocks, its own or others.
    const std::vector<RxClock*> clocks = tickingClocks();
    for (RxClock* clock : clocks) {
        if (isTicking(clock)) guarded(nullptr, [&] { clock->tick(clock->now()); });
    }
}

void registerClassOnce() {
    static const bool registered = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;  // ours is set per window after creation
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
}

void checkRange(int value, int highest, const char* what) {
    if (value < 0 || value > highest)
        throw std::out_of_range(std::string("Ung\xC3\xBCltige Alarmzeit (") + what +
                                "): " + std::to_string(value));
}

}  // namespace

RxClock::RxClock() : now(&localTimeNow) { previous_ = dateTimeOf(now()); }

RxClock::~RxClock() {
    stopTicking();
    leave();
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    if (brush_) DeleteObject(brush_);
}

void RxClock::create(Form& parent, int id) {
    registerClassOnce();
    join(parent);
    hwnd_ = makeWindow(kClassName, L"", WS_CLIPSIBLINGS, 0, id, place_, "Die Uhr");
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowProc));
    if (visible_) ShowWindow(hwnd_, SW_SHOWNA);
    updateTimer();
}

void RxClock::setVisible(bool visible) {
    visible_ = visible;
    if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
    updateTimer();
}

void RxClock::setColor(COLORREF color) {
    color_ = color;
    if (brush_) {
        DeleteObject(brush_);
        brush_ = nullptr;
    }
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void RxClock::setFontColor(COLORREF color) {
    fontColor_ = color;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

std::wstring RxClock::timeText(const SYSTEMTIME& time) {
    // The German time of day; fixed, because the program speaks only German.
    std::wstring text;
    for (const WORD part : {time.wHour, time.wMinute, time.wSecond}) {
        if (!text.empty()) text += L':';
        text += static_cast<wchar_t>(L'0' + part / 10 % 10);
        text += static_cast<wchar_t>(L'0' + part % 10);
    }
    return text;
}

void RxClock::setAlarmEnabled(bool enabled) {
    alarmEnabled_ = enabled;
    rearm(now());
    updateTimer();
}

void RxClock::setAlarmHour(int hour) {
    checkRange(hour, 23, "Stunde");
    alarmHour_ = hour;
    rearm(now());
}

void RxClock::setAlarmMinute(int minute) {
    checkRange(minute, 59, "Minute");
    alarmMinute_ = minute;
    rearm(now());
}

void RxClock::setAlarmSecond(int second) {
    checkRange(second, 59, "Sekunde");
    alarmSecond_ = second;
    rearm(now());
}

// A newly set alarm counts from now: a time that lay between the last tick
// and now was not yet the alarm's.
void RxClock::rearm(const SYSTEMTIME& now) {
    previous_ = dateTimeOf(now);
    waiting_ = alarmWaiting(previous_.time, alarmTime());
}

void RxClock::tick(const SYSTEMTIME& now) {
    if (hwnd_ && IsWindowVisible(hwnd_)) InvalidateRect(hwnd_, nullptr, FALSE);
    const DateTime previous = previous_;
    const DateTime current = dateTimeOf(now);
    const ClockTick result = clockTick(alarmEnabled_, waiting_, previous, current, alarmTime());
    previous_ = current;
    waiting_ = result.waiting;
    if (result.raise && onAlarm) {
        const auto handler = onAlarm;  // the handler may destroy the clock
        handler(previous, current);
    }
}

void RxClock::updateTimer() {
    if (!hwnd_) return;
    // A hidden clock without an alarm has nothing to do; an armed one keeps
    // ticking, since the alarm must come whether the clock is shown or not.
    if (!(visible_ || alarmEnabled_)) {
        stopTicking();
    } else if (!isTicking(this)) {
        tickingClocks().push_back(this);
        if (tickTimer == 0) scheduleTick();
    }
}

void RxClock::stopTicking() {
    auto& clocks = tickingClocks();
    std::erase(clocks, this);
    if (clocks.empty() && tickTimer != 0) {
        KillTimer(nullptr, tickTimer);
        tickTimer = 0;
    }
}

void RxClock::draw(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    if (!brush_) brush_ = CreateSolidBrush(color_);
    FillRect(dc, &client, brush_);
    // The form kit's default face, MS Sans Serif 8 points, at the density of
    // the monitor the clock is on now.
    const int dpi = windowDpi(hwnd_);
    if (!font_ || fontDpi_ != dpi) {
        font_ = makeFont({.name = "MS Sans Serif", .sizePoints = 8}, dpi);
        fontDpi_ = dpi;
    }
    const HGDIOBJ oldFont = SelectObject(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, fontColor_);
    const std::wstring text = timeText(now());
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

LRESULT CALLBACK RxClock::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<RxClock*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    LRESULT result = 0;
    guarded(nullptr, [&] { result = self->handleMessage(msg, wParam, lParam); });
    return result;
}

LRESULT RxClock::handleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT fills everything; erasing first would flicker
        case WM_PAINT: {
            PAINTSTRUCT ps;
            const HDC dc = BeginPaint(hwnd_, &ps);
            draw(dc);
            EndPaint(hwnd_, &ps);
            return 0;
        }
        case WM_PRINTCLIENT:
            draw(reinterpret_cast<HDC>(wParam));
            return 0;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace tav
