#pragma once
// The alarm editor "Alarm-Dialog": a date, a time of day and whether the
// alarm is on, shown modally. A dialog box of the system's class, so Enter
// is "OK", Escape "Abbrechen" and Tab goes from field to field, and drivers
// find it as they find every dialog box.

#include <windows.h>

#include "forms/DialogForm.h"
#include "store/AlarmTime.h"

namespace tav {

struct AlarmEditorValues {
    Date date;
    TimeOfDay time;
    bool alarmSet = true;  // "&Alarm aktiv"
};

class AlarmEditor : public DialogForm {
public:
    // The dialog's control ids, for the tests and drivers that fill it.
    static constexpr int kActiveId = 101;
    static constexpr int kDateId = 102;
    static constexpr int kTimeId = 103;
    static constexpr int kBevelId = 104;

    // Shows the values; "OK" puts what the user chose back into them and
    // returns true, "Abbrechen" leaves them as they were.
    static bool execute(HWND owner, AlarmEditorValues& values);

    AlarmEditor(HWND owner, const AlarmEditorValues& values);

    Bevel fieldsBevel;
    CheckBox activeCheckBox;  // "&Alarm aktiv"
    DateTimePicker datePicker;
    DateTimePicker timePicker;
    Button okButton;
    Button cancelButton;

    AlarmEditorValues values() const;

protected:
    void createParams(DWORD& style, DWORD& exStyle) override;
};

}  // namespace tav
