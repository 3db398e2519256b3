#pragma once
// "Alarme": every armed alarm of the open notes, hidden ones included, one
// line each with the note's title, the moment and the repetition, the next
// first. From a line the note comes to the front, or its alarm goes off.
// While shown, the list follows every change of an alarm.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/DialogForm.h"

namespace tav {

class NoteWindow;

class AlarmListDialog : public DialogForm {
public:
    using Notes = std::function<std::vector<NoteWindow*>()>;
    using BringToFront = std::function<void(NoteWindow&)>;

    static constexpr int kListId = 101;
    static constexpr int kAlarmOffId = 102;

    AlarmListDialog(HWND owner, Notes notes, BringToFront bringToFront);

    ListBox alarmList;
    Button showNoteButton;  // "&Notiz zeigen", the default: Enter shows the note
    Button alarmOffButton;  // "&Alarm aus"
    Button closeButton;     // "Schließen"

    // Lists the alarms anew, keeping the chosen note chosen.
    void refresh();
    void showNoteButtonClick();
    void alarmOffButtonClick();

protected:
    bool onCommand(int id, int code, HWND control) override;
    void onShow(bool shown) override;

private:
    // The note of the chosen line, if it is still there.
    NoteWindow* chosenNote() const;

    struct Line {
        std::string noteName;
        HWND window;
    };
    std::vector<Line> lines_;
    Notes notes_;
    BringToFront bringToFront_;
};

}  // namespace tav
