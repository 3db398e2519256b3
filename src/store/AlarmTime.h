#pragma once
// The arithmetic of a note's alarm, kept apart from any window: when the
// clock raises its alarm, whether the alarm's day has come, the repeat
// reminder's new moment, the overdue test at start, and the alarm date as
// text in the user's short date format.

#include <array>
#include <compare>
#include <optional>
#include <string>

namespace tav {

struct Date {
    int year = 1899;
    int month = 12;
    int day = 30;
    auto operator<=>(const Date&) const = default;
};

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
    auto operator<=>(const TimeOfDay&) const = default;
};

struct DateTime {
    Date date;
    TimeOfDay time;
    int millisecond = 0;
    auto operator<=>(const DateTime&) const = default;
};

bool isValidDate(const Date& date);
Date addDays(const Date& date, long long days);
// Milliseconds on one continuous line, so that moments on different days
// compare and subtract correctly.
long long timeline(const DateTime& moment);
DateTime fromTimeline(long long milliseconds);

// ---- The clock
// The alarm time matches from its second to the end of its minute, so a
// tick that comes late still counts.
bool alarmMatches(const TimeOfDay& now, const TimeOfDay& alarm);
// Set while the alarm time is still ahead today (and always for 00:00:00);
// it lets a minute-long match raise the alarm only once.
bool alarmWaiting(const TimeOfDay& now, const TimeOfDay& alarm);
// Whether the alarm's time of day came in (previous, now]: a machine that
// slept, a clock put forward or a busy machine that skipped ticks would
// otherwise step over the alarm's minute. A clock put back passes nothing.
bool alarmTimePassed(const DateTime& previous, const DateTime& now, const TimeOfDay& alarm);

struct ClockTick {
    bool raise = false;
    bool waiting = false;
};
// One tick of an alarm clock: whether it raises its alarm and what its
// waiting mark is afterwards.
ClockTick clockTick(bool enabled, bool waiting, const DateTime& previous, const DateTime& now,
                    const TimeOfDay& alarm);

// The clock knows only the time of day and comes every day at it; the alarm
// itself rings only at the tick that first reaches its full moment, date and
// time: after the previous tick, at or before now. A machine that slept or a
// clock put forward past the moment rings it on waking; one that slept past
// the same time of day on an earlier day does not.
bool alarmMomentCame(const DateTime& moment, const DateTime& previous, const DateTime& now);
// The moment an alarm armed at `now` counts from: just before the current
// second began, so that an alarm set for this very second still rings.
DateTime armedSince(const DateTime& now);

// What the editor opens on: the stored moment while it is still ahead, else
// the next full quarter hour, so that confirming it at once never arms an
// alarm that has already passed.
DateTime proposedAlarmMoment(const DateTime& stored, const DateTime& now);

// Local time as the user's clock shows it, and the real time under it: they
// part where daylight saving begins or ends. The platform supplies its zone.
class LocalZone {
public:
    virtual ~LocalZone() = default;
    virtual DateTime toUtc(const DateTime& local) const = 0;
    virtual DateTime toLocal(const DateTime& utc) const = 0;
};

// ---- The repeat reminder
struct SnoozeChoice {
    const char* text;
    int minutes;
};
inline constexpr std::array<SnoozeChoice, 10> kSnoozeChoices{{{"5 Minuten", 5},
                                                              {"10 Minuten", 10},
                                                              {"15 Minuten", 15},
                                                              {"30 Minuten", 30},
                                                              {"1 Stunde", 60},
                                                              {"2 Stunden", 120},
                                                              {"5 Stunden", 300},
                                                              {"10 Stunden", 600},
                                                              {"12 Stunden", 720},
                                                              {"1 Tag", 1440}}};
// A pick outside the list counts as the first entry, which the list shows
// when nothing was chosen.
int snoozeMinutes(int index);

// The repeated alarm's moment: the delay counts from the alarm's minute, or
// from the minute of the answer when that is later, so that a reminder
// answered late is never re-armed for a moment already past. The delay is
// real elapsed time: "5 Stunden" across a change of daylight saving are five
// hours, not four or six. The seconds of the result are 0.
DateTime snoozedMoment(const Date& alarmDate, int alarmHour, int alarmMinute,
                       const DateTime& answered, int minutes, const LocalZone& zone);

// The editor's quick choices, from the moment it is used: the first two
// count from the current minute, the last is tomorrow at 9:00.
inline constexpr std::array<const char*, 3> kQuickAlarmTexts{"in 10 Minuten", "in 1 Stunde",
                                                             "morgen 9:00"};
DateTime quickAlarmMoment(int index, const DateTime& now);

// ---- Repeating alarms
enum class Repeat { Never, Daily, Weekdays, Weekly, Monthly };
// The editor's words, in the order of its list.
inline constexpr std::array<const char*, 5> kRepeatTexts{"nie", "täglich", "werktags (Mo–Fr)",
                                                         "wöchentlich", "monatlich"};
const char* repeatText(Repeat repeat);

// A series is counted from the moment the user set: its time of day, its
// weekday and its day of the month, which a snooze in between never moves.
struct AlarmSeries {
    Repeat repeat = Repeat::Never;
    DateTime start;
    bool operator==(const AlarmSeries&) const = default;
};

// 0 Sunday to 6 Saturday.
int weekday(const Date& date);
// The first occurrence of the series later than `after`, in the clock's own
// local time: a daily 20:00 stays 20:00 across a change of daylight saving.
// A day of the month that a month lacks is that month's last day. Nothing
// for a series that does not repeat.
std::optional<DateTime> nextOccurrence(const AlarmSeries& series, const DateTime& after);

// As the note's record keeps it: the repetition's word and the series'
// start ("monatlich 2026-01-31 20:00:00"), or the word alone, which counts
// from the alarm as set. Nothing, or a word unknown, is "nie".
std::string seriesText(const AlarmSeries& series);
AlarmSeries parseSeriesText(const std::string& text, const DateTime& alarm);

// "Mi 09.12.2026 20:00"
std::string alarmMomentText(const DateTime& moment);
// What a note's title line says of its alarm: "Alarm: Mi 09.12.2026 20:00"
// and, for a series, ", täglich".
std::string alarmHintText(const DateTime& moment, Repeat repeat);
// The tray's word for the next alarm: the time alone today, else with the
// weekday and date ("Do 10.12.2026 20:00").
std::string nextAlarmText(const DateTime& moment, const Date& today);

// ---- At start
// Overdue when now is later than the alarm's date, hour and minute; the
// alarm's seconds do not count.
bool alarmOverdue(const Date& alarmDate, int alarmHour, int alarmMinute, const DateTime& now);

// ---- Date text
// In the given short date format (d, dd, M, MM, yy, yyyy and literal text;
// quoted text kept as it is). A date that the format would not read back as
// itself (one that names months or weekdays, a two-digit year outside 1930
// to 2029) is written dd.MM.yyyy, which every reader here takes.
std::string formatDate(const Date& date, const std::string& shortDateFormat);
// Reads a date written under any regional settings the program has met:
// the given short date format first, then its order of day, month and year
// with one or two digits for day and month and two or four for the year,
// then dd.MM.yyyy, d.M.yyyy, M/d/yyyy and yyyy-MM-dd. The current order wins
// over the fallbacks, so "03/04/2024" under dd/MM/yy is the 3rd of April.
// Nothing when none of them fits.
std::optional<Date> parseDateText(const std::string& text, const std::string& shortDateFormat);

}  // namespace tav
