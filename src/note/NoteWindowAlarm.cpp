// The note's alarm: the editor, ringing, the reminder's answer and the
// overdue check at the note's first appearance.
//
// The alarm's state reaches the settings file as soon as it changes, not
// only when the note closes: a note that is shown again re-reads it, and a
// crash must neither lose nor revive an alarm.

#include "alarm/AlarmEditor.h"
#include "alarm/AlarmReminder.h"
#include "alarm/OverdueAlarm.h"
#include "desktop/LocalTime.h"
#include "note/NoteHost.h"
#include "note/NoteWindow.h"
#include "store/IniFile.h"
#include "store/NoteStore.h"

namespace tav {

DateTime NoteWindow::now() const { return dateTimeOf(RxClock1.now()); }

// A date written under other regional settings is read in the usual forms;
// only a date that fits none of them becomes today.
void NoteWindow::readAlarmDate(const IniFile& ini) {
    alarmDate_ = parseDateText(NoteRecord::alarmDate(ini, name(), ""), shortDateFormat())
                     .value_or(now().date);
}

void NoteWindow::editAlarm() {
    IniFile ini(iniPath_);
    readAlarmDate(ini);
    AlarmEditorValues values{alarmDate_, RxClock1.alarmTime(), true};
    if (AlarmEditor::execute(handle(), values)) {
        alarmDate_ = values.date;
        NoteRecord::setAlarmDate(ini, name(), formatDate(values.date, shortDateFormat()));
        RxClock1.setAlarmHour(values.time.hour);
        RxClock1.setAlarmMinute(values.time.minute);
        RxClock1.setAlarmSecond(values.time.second);
        // A cleared "Alarm aktiv" switches the alarm off.
        alarmItem.checked = values.alarmSet;
        RxClock1.setAlarmEnabled(values.alarmSet);
        NoteRecord::writeAlarm(ini, name(), clockAlarm());
    }
    ini.close();
}

void NoteWindow::ringAlarm(const DateTime& previous, const DateTime& current) {
    // The clock comes every day at the alarm time; only the alarm's day rings.
    if (!alarmDayHasCome(alarmDate_, RxClock1.alarmTime(), previous, current)) return;
    AlarmReminder* reminder = host_.reminder();
    if (reminder == nullptr) return;

    alarmSound.play();
    SendMessageW(handle(), WM_SYSCOMMAND, SC_MONITORPOWER, -1);  // the monitor on

    AlarmReminder::Turn turn;
    turn.owner = this;
    turn.title = titleLine.text();
    turn.textPath = noteTextPath(name());
    turn.color = memo1.color();
    turn.alarmDate = alarmDate_;
    turn.alarmHour = RxClock1.alarmHour();
    turn.alarmMinute = RxClock1.alarmMinute();
    turn.onAnswer = [this,
                     alive = std::weak_ptr<bool>(alive_)](const std::optional<DateTime>& repeat) {
        if (alive.lock()) answerReminder(repeat);
    };

    disarm();
    IniFile ini(iniPath_);
    NoteRecord::writeAlarm(ini, name(), clockAlarm());
    ini.close();
    reminder->remind(std::move(turn));
}

// Without a repeat the note stays as it is: off since it rang, or armed
// anew if the editor set another alarm meanwhile.
void NoteWindow::answerReminder(const std::optional<DateTime>& repeat) {
    if (!repeat) return;
    alarmDate_ = repeat->date;
    alarmItem.checked = true;
    RxClock1.setAlarmHour(repeat->time.hour);
    RxClock1.setAlarmMinute(repeat->time.minute);
    RxClock1.setAlarmEnabled(true);
    IniFile ini(iniPath_);
    NoteRecord::setAlarmDate(ini, name(), formatDate(alarmDate_, shortDateFormat()));
    NoteRecord::writeAlarm(ini, name(), clockAlarm());
    ini.close();
}

void NoteWindow::checkOverdueAlarm(IniFile& ini) {
    if (!alarmItem.checked ||
        !alarmOverdue(alarmDate_, RxClock1.alarmHour(), RxClock1.alarmMinute(), now()))
        return;
    try {
        overdue_ = std::make_unique<OverdueAlarm>(handle(), name(), titleLine.text(),
                                                  noteTextPath(name()), memo1.color());
    } catch (...) {
        // Not shown, so not switched off: the next start shows it again.
        reportCurrentException(handle());
        return;
    }
    disarm();
    NoteRecord::writeAlarm(ini, name(), clockAlarm());
}

void NoteWindow::disarm() {
    alarmItem.checked = false;
    RxClock1.setAlarmEnabled(false);
}

}  // namespace tav
