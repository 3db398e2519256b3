#pragma once
// Sizes and places of the alarm windows' controls, in pixels at 96 dots per
// inch (the windows show them at their screen's density), all in one place.

#include <windows.h>

#include "forms/Dpi.h"
#include "forms/Form.h"
#include "store/DpiScale.h"

namespace tav::alarm_layout {

struct Place {
    int x, y, width, height;
};

// "Alarm-Dialog": client area, the frame round the fields, the fields, the buttons.
inline constexpr SIZE kEditorClient{313, 148};
inline constexpr Place kEditorBevel{8, 8, 297, 101};
inline constexpr Place kEditorActive{24, 24, 180, 17};
inline constexpr Place kEditorDate{24, 58, 132, 22};
inline constexpr Place kEditorTime{168, 58, 120, 22};
inline constexpr Place kEditorOk{79, 116, 75, 25};
inline constexpr Place kEditorCancel{159, 116, 75, 25};

// The reminder: client area, the note's text on top, the repeat row below.
inline constexpr SIZE kReminderClient{395, 345};
inline constexpr Place kReminderText{0, 0, 395, 290};
inline constexpr Place kReminderWaiting{10, 291, 375, 14};
inline constexpr Place kReminderRepeat{10, 308, 160, 21};
// The height holds the closed box and its list of ten entries.
inline constexpr Place kReminderDelay{172, 306, 110, 200};
inline constexpr Place kReminderOk{308, 305, 75, 25};

// "Alarm überfallig": outer size; title panel on top, button panel below.
inline constexpr SIZE kOverdueSize{381, 331};
inline constexpr int kOverdueTitleHeight = 32;
inline constexpr int kOverdueButtonPanelHeight = 41;
inline constexpr SIZE kOverdueButton{75, 25};

// A child control of a dialog at its place (96-dpi figures, in the pixels of
// the dialog's density) with the given font.
inline HWND makeControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                        int id, const Place& place, HFONT font) {
    const RECT r = deviceRect(parent, place.x, place.y, place.width, place.height);
    HWND control = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                   r.right - r.left, r.bottom - r.top, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (control != nullptr && font != nullptr)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

// A child control of a form at its place, in the given font; the form keeps
// both at its screen's density.
inline HWND makeControl(Form& form, const wchar_t* className, const wchar_t* text, DWORD style,
                        int id, const Place& place, const FontSpec& font) {
    return form.createChild(className, text, style, id, place.x, place.y, place.width, place.height,
                            font);
}

// Gives a dialog this client size (96-dpi figures) in the middle of the screen.
inline void centreDialog(HWND dialog, SIZE client) {
    const int dpi = windowDpi(dialog);
    const SIZE frame = frameSizeFor(static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)),
                                    static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)), dpi);
    const int width = scaleToDpi(client.cx, dpi) + frame.cx;
    const int height = scaleToDpi(client.cy, dpi) + frame.cy;
    SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace tav::alarm_layout
