#pragma once
// The alarm editor "Alarm-Dialog": a date, a time of day and whether the
// alarm is on, shown modally. A dialog box of the system's class, so Enter
// is "OK", Escape "Abbrechen" and Tab goes from field to field, and drivers
// find it as they find every dialog box.

#include <windows.h>

#include <array>
#include <functional>

#include "forms/DialogForm.h"
#include "store/AlarmTime.h"

namespace tav {

struct AlarmEditorValues {
    Date date;
    TimeOfDay time;
    bool alarmSet = true;           // "&Alarm aktiv"
    Repeat repeat = Repeat::Never;  // "Wiederholen:"
};

class AlarmEditor : public DialogForm {
public:
    // The dialog's control ids, for the tests and drivers that fill it.
    static constexpr int kActiveId = 101;
    static constexpr int kDateId = 102;
    static constexpr int kTimeId = 103;
    static constexpr int kBevelId = 104;
    static constexpr int kRepeatId = 105;
    static constexpr int kQuickId = 110;  // and the two after it

    using Clock = std::function<DateTime()>;

    // Shows the values; "OK" puts what the user chose back into them and
    // returns true, "Abbrechen" leaves them as they were.
    // The quick choices count from `now`; the system's time when empty.
    static bool execute(HWND owner, AlarmEditorValues& values, Clock now = {});

    AlarmEditor(HWND owner, const AlarmEditorValues& values, Clock now = {});

    Bevel fieldsBevel;
    CheckBox activeCheckBox;  // "&Alarm aktiv"
    DateTimePicker datePicker;
    DateTimePicker timePicker;
    std::array<Button, kQuickAlarmTexts.size()> quickButtons;
    StaticText repeatLabel;
    ComboBox repeatComboBox;
    Button okButton;
    Button cancelButton;

    AlarmEditorValues values() const;
    void quickButtonClick(int index);

protected:
    void createParams(DWORD& style, DWORD& exStyle) override;

private:
    Clock now_;
};

}  // namespace tav
