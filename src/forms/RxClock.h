#pragma once
// The note's clock: a strip 17 pixels high at 96 dpi at the bottom of the
// note that shows the time of day and carries the note's alarm time. The
// alarm fields also work without a window.

#include <windows.h>

#include <functional>
#include <string>

#include "desktop/Handle.h"
#include "forms/Form.h"
#include "store/AlarmTime.h"

namespace tav {

class RxClock : public WindowControl {
public:
    static constexpr int kHeight = 17;  // a 96-dpi figure

    RxClock();
    ~RxClock() override;

    // Hidden until setVisible(true); the form's layout places it.
    void create(Form& parent, int id);
    bool visible() const { return visible_; }
    void setVisible(bool visible);

    // Background: the owner hands over the window's colour whenever it changes.
    COLORREF color() const { return color_; }
    void setColor(COLORREF color);
    COLORREF fontColor() const { return fontColor_; }
    void setFontColor(COLORREF color);

    // "HH:MM:SS" as the clock shows it now.
    static std::wstring timeText(const SYSTEMTIME& time);

    bool alarmEnabled() const { return alarmEnabled_; }
    void setAlarmEnabled(bool enabled);
    int alarmHour() const { return alarmHour_; }
    int alarmMinute() const { return alarmMinute_; }
    int alarmSecond() const { return alarmSecond_; }
    // Out-of-range values (hour above 23, minute or second above 59, below
    // 0) throw std::out_of_range and change nothing.
    void setAlarmHour(int hour);
    void setAlarmMinute(int minute);
    void setAlarmSecond(int second);

    TimeOfDay alarmTime() const { return {alarmHour_, alarmMinute_, alarmSecond_}; }

    // One tick at the given time: repaint, and raise onAlarm once when the
    // alarm is enabled and due, or when its time came since the previous
    // tick (or since the alarm was last set, whichever is later). A timer
    // calls it at every full second; tests call it with chosen times.
    void tick(const SYSTEMTIME& now);

    // Gets the moments of the previous tick and of this one, so that the
    // owner can tell which day the alarm came on.
    std::function<void(const DateTime& previous, const DateTime& now)> onAlarm;
    // Where the clock takes the time of day from: the system's local time;
    // tests put a fixed time here.
    std::function<SYSTEMTIME()> now;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void draw(HDC dc);
    void updateTimer();
    void stopTicking();
    void rearm(const SYSTEMTIME& now);

    FontHandle font_;
    int fontDpi_ = 0;
    HBRUSH brush_ = nullptr;
    bool visible_ = false;
    COLORREF color_ = RGB(255, 255, 0);
    COLORREF fontColor_ = RGB(0, 0, 0);
    bool alarmEnabled_ = false;
    int alarmHour_ = 0;
    int alarmMinute_ = 0;
    int alarmSecond_ = 0;
    // True while the alarm time is still ahead today; it keeps a minute-long
    // match from firing more than once.
    bool waiting_ = false;
    DateTime previous_;
};

}  // namespace tav
