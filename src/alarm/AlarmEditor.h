#pragma once
// The alarm editor "Alarm-Dialog": a date, a time of day and whether the
// alarm is on, shown modally. A real dialog, so Enter is "OK", Escape
// "Abbrechen" and Tab goes from field to field.

#include <windows.h>

#include "store/AlarmTime.h"

namespace tav {

struct AlarmEditorValues {
    Date date;
    TimeOfDay time;
    bool alarmSet = true;  // "&Alarm aktiv"
};

class AlarmEditor {
public:
    // The dialog's control ids, for the tests and drivers that fill it.
    static constexpr int kActiveId = 101;       // CheckBox1
    static constexpr int kDateId = 102;         // DateTimePicker1
    static constexpr int kTimeId = 103;         // DateTimePicker2
    static constexpr int kBevelId = 104;        // Bevel1
    static constexpr int kOkId = IDOK;          // OKBtn
    static constexpr int kCancelId = IDCANCEL;  // CancelBtn

    // Shows the values; "OK" puts what the user chose back into them and
    // returns true, "Abbrechen" leaves them as they were.
    static bool execute(HWND owner, AlarmEditorValues& values);
};

}  // namespace tav
