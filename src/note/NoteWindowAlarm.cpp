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
#include "forms/Dialogs.h"
#include "note/NoteHost.h"
#include "note/NoteWindow.h"
#include "store/IniFile.h"
#include "store/NoteStore.h"

namespace tav {

DateTime NoteWindow::now() const { return dateTimeOf(RxClock1.now()); }

// A date written under other regional settings is read in the usual forms;
// only a date that fits none of them becomes today.
void NoteWindow::readAlarmRecord(const IniFile& ini) {
    alarmDate_ = parseDateText(NoteRecord::alarmDate(ini, name(), ""), shortDateFormat())
                     .value_or(now().date);
    series_ = NoteRecord::alarmSeries(ini, name(), {alarmDate_, RxClock1.alarmTime()});
}

namespace {

bool sameMinute(const DateTime& a, const DateTime& b) {
    return a.date == b.date && a.time.hour == b.time.hour && a.time.minute == b.time.minute;
}

// The monitor-power command alone no longer switches a display on in newer
// systems: the display is also asked for, and a mouse move of nothing is the
// input that wakes it where that is not enough.
void wakeDisplay(HWND window) {
    SendMessageW(window, WM_SYSCOMMAND, SC_MONITORPOWER, -1);
    SetThreadExecutionState(ES_DISPLAY_REQUIRED);
    INPUT nudge{};
    nudge.type = INPUT_MOUSE;
    nudge.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &nudge, sizeof nudge);
}

}  // namespace

// A moment already past is never armed silently: the user rings it now or
// chooses anew. The minute being chosen while it passes rings without asking.
void NoteWindow::editAlarm() {
    IniFile ini(iniPath_);
    readAlarmRecord(ini);
    const DateTime proposed = proposedAlarmMoment({alarmDate_, RxClock1.alarmTime()}, now());
    AlarmEditorValues values{proposed.date, proposed.time, true, series_.repeat};
    bool ringNow = false;
    for (;;) {
        if (!AlarmEditor::execute(handle(), values, [this] { return now(); })) {
            ini.close();
            return;
        }
        const DateTime chosen{values.date, values.time};
        const DateTime current = now();
        if (!values.alarmSet || timeline(chosen) > timeline(current)) break;
        ringNow = sameMinute(chosen, current) ||
                  messageBox(handle(),
                             "Der gewählte Alarmzeitpunkt ist bereits vorbei.\n\n"
                             "Soll der Alarm jetzt ausgelöst werden? Mit „Nein“ "
                             "können Sie den Zeitpunkt ändern.",
                             "Alarm für diese Notiz", MB_YESNO | MB_ICONQUESTION) == IDYES;
        if (ringNow) break;
    }
    alarmDate_ = values.date;
    rung_.reset();  // a new alarm, even at a moment that rang before
    NoteRecord::setAlarmDate(ini, name(), formatDate(values.date, shortDateFormat()));
    RxClock1.setAlarmHour(values.time.hour);
    RxClock1.setAlarmMinute(values.time.minute);
    RxClock1.setAlarmSecond(values.time.second);
    // A cleared "Alarm aktiv" switches the alarm off.
    alarmItem.checked = values.alarmSet;
    RxClock1.setAlarmEnabled(values.alarmSet);
    NoteRecord::writeAlarm(ini, name(), clockAlarm());
    series_ = {values.repeat, {values.date, values.time}};
    NoteRecord::setAlarmSeries(ini, name(), series_);
    ini.close();
    showAlarmState();
    if (ringNow) {
        const DateTime moment{values.date, values.time};
        ringAlarm(fromTimeline(timeline(moment) - 1), now());
    }
}

// The alarm stays armed, in the clock and in the file, until its turn is
// answered: a turn still waiting or open when the program ends comes back
// as overdue at the next start. Its moment has passed, so the clock cannot
// bring it again; only a clock put back could, which rung_ stops.
void NoteWindow::ringAlarm(const DateTime& previous, const DateTime& current) {
    const DateTime moment{alarmDate_, RxClock1.alarmTime()};
    // The clock comes every day at the alarm time; only the alarm's own
    // moment rings.
    if (!alarmMomentCame(moment, previous, current) || rung_ == moment) return;
    AlarmReminder* reminder = host_.reminder();
    if (reminder == nullptr) return;
    rung_ = moment;

    AlarmReminder::Turn turn;
    turn.owner = this;
    turn.title = titleLine.text();
    turn.textPath = noteTextPath(name());
    turn.color = memo1.color();
    turn.alarmDate = alarmDate_;
    turn.alarmHour = RxClock1.alarmHour();
    turn.alarmMinute = RxClock1.alarmMinute();
    const std::weak_ptr<bool> alive = alive_;
    turn.announce = [this, alive] {
        if (!alive.lock()) return;
        alarmSound.play();
        wakeDisplay(handle());
    };
    turn.onAnswer = [this, alive, moment](const std::optional<DateTime>& repeat) {
        if (alive.lock()) answerReminder(moment, repeat);
    };
    reminder->remind(std::move(turn));
}

// An alarm set in the editor while the turn was open is newer than the
// answer and stays as it is.
void NoteWindow::answerReminder(const DateTime& rung, const std::optional<DateTime>& repeat) {
    if (!RxClock1.alarmEnabled() || DateTime{alarmDate_, RxClock1.alarmTime()} != rung) return;
    IniFile ini(iniPath_);
    if (repeat) {
        alarmDate_ = repeat->date;
        RxClock1.setAlarmHour(repeat->time.hour);
        RxClock1.setAlarmMinute(repeat->time.minute);
        NoteRecord::setAlarmDate(ini, name(), formatDate(alarmDate_, shortDateFormat()));
    } else {
        // A snooze in between does not move the series: it goes on from the
        // schedule, at the first moment still to come.
        const DateTime answered = now();
        armNextOrDisarm(ini, timeline(answered) > timeline(rung) ? answered : rung);
    }
    NoteRecord::writeAlarm(ini, name(), clockAlarm());
    ini.close();
    showAlarmState();
}

void NoteWindow::armNextOrDisarm(IniFile& ini, const DateTime& after) {
    const auto next = nextOccurrence(series_, after);
    if (!next) {
        disarm();
        return;
    }
    alarmDate_ = next->date;
    RxClock1.setAlarmHour(next->time.hour);
    RxClock1.setAlarmMinute(next->time.minute);
    RxClock1.setAlarmSecond(next->time.second);
    alarmItem.checked = true;
    RxClock1.setAlarmEnabled(true);
    NoteRecord::setAlarmDate(ini, name(), formatDate(alarmDate_, shortDateFormat()));
    // With its start, so that a later run keeps a monthly series on its day
    // although the date now written is a shorter month's last.
    NoteRecord::setAlarmSeries(ini, name(), series_);
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
    // Shown once for all the moments it missed; a series goes on.
    armNextOrDisarm(ini, now());
    NoteRecord::writeAlarm(ini, name(), clockAlarm());
}

std::optional<DateTime> NoteWindow::armedAlarm() const {
    // Until the start-up has read the alarm's date, the moment is unknown.
    if (!RxClock1.alarmEnabled() || !startupTicksDone()) return std::nullopt;
    return DateTime{alarmDate_, RxClock1.alarmTime()};
}

void NoteWindow::switchAlarmOff() {
    disarm();
    IniFile ini(iniPath_);
    NoteRecord::writeAlarm(ini, name(), clockAlarm());
    ini.close();
    showAlarmState();
}

// The hint keeps the title first: a title too long for the line is read
// there.
void NoteWindow::showAlarmState() {
    const auto moment = armedAlarm();
    titleLine.setBell(moment.has_value());
    titleLine.setHint(moment ? title() + "\r\n" + alarmHintText(*moment, series_.repeat)
                             : titleLine.text());
    host_.alarmsChanged();
}

void NoteWindow::disarm() {
    alarmItem.checked = false;
    RxClock1.setAlarmEnabled(false);
}

}  // namespace tav
