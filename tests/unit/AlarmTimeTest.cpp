#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "store/AlarmTime.h"

namespace tav {
namespace {

DateTime at(Date date, int h, int m, int s = 0, int ms = 0) { return {date, {h, m, s}, ms}; }

constexpr Date kDay{2024, 3, 9};
constexpr Date kNextDay{2024, 3, 10};

// Runs the clock over the given moments and counts its alarms, as the clock
// control does: each tick sees the one before it.
int alarmsOver(const std::vector<DateTime>& ticks, const TimeOfDay& alarm, bool enabled = true) {
    int raised = 0;
    bool waiting = alarmWaiting(ticks.front().time, alarm);
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        const ClockTick tick = clockTick(enabled, waiting, ticks[i - 1], ticks[i], alarm);
        waiting = tick.waiting;
        raised += tick.raise;
    }
    return raised;
}

std::vector<DateTime> everySecond(DateTime from, int seconds) {
    std::vector<DateTime> ticks{from};
    for (int i = 0; i < seconds; ++i) ticks.push_back(fromTimeline(timeline(ticks.back()) + 1000));
    return ticks;
}

TEST(AlarmClock, MatchesFromTheAlarmSecondToTheEndOfItsMinute) {
    const TimeOfDay alarm{9, 0, 40};
    EXPECT_FALSE(alarmMatches({9, 0, 39}, alarm));
    EXPECT_TRUE(alarmMatches({9, 0, 40}, alarm));
    EXPECT_TRUE(alarmMatches({9, 0, 59}, alarm));
    EXPECT_FALSE(alarmMatches({9, 1, 0}, alarm));
    EXPECT_FALSE(alarmMatches({10, 0, 45}, alarm));

    EXPECT_TRUE(alarmWaiting({8, 59, 59}, alarm));
    EXPECT_FALSE(alarmWaiting({9, 0, 40}, alarm));
    EXPECT_FALSE(alarmWaiting({23, 0, 0}, alarm));
    EXPECT_TRUE(alarmWaiting({23, 0, 0}, {0, 0, 0})) << "midnight always waits";
}

TEST(AlarmClock, RaisesOncePerDayAndOnlyWhenEnabled) {
    const TimeOfDay alarm{9, 0, 40};
    EXPECT_EQ(alarmsOver(everySecond(at(kDay, 8, 59, 0), 180), alarm), 1);
    EXPECT_EQ(alarmsOver(everySecond(at(kDay, 8, 59, 0), 180), alarm, false), 0);
    // Armed within the minute but after the alarm second: not today.
    EXPECT_EQ(alarmsOver(everySecond(at(kDay, 9, 0, 45), 60), alarm), 0);
    // Ticks late in the minute still raise it, once.
    EXPECT_EQ(alarmsOver({at(kDay, 9, 0, 10), at(kDay, 9, 0, 50), at(kDay, 9, 0, 55)}, alarm), 1);
    // The next day brings it again.
    EXPECT_EQ(alarmsOver({at(kDay, 8, 0), at(kDay, 9, 0, 41), at(kDay, 12, 0), at(kNextDay, 8, 0),
                          at(kNextDay, 9, 0, 40)},
                         alarm),
              2);
}

TEST(AlarmClock, RaisesWhenTheAlarmTimePassedSinceThePreviousTick) {
    const TimeOfDay alarm{9, 0, 0};
    // Slept through the minute, or the clock was put forward.
    EXPECT_EQ(alarmsOver({at(kDay, 8, 55), at(kDay, 9, 30), at(kDay, 9, 30, 1)}, alarm), 1);
    // Across midnight, to a minute before the alarm and after it.
    const TimeOfDay late{23, 59, 30};
    EXPECT_TRUE(alarmTimePassed(at(kDay, 23, 59, 0), at(kNextDay, 0, 10), late));
    EXPECT_FALSE(alarmTimePassed(at(kDay, 23, 59, 40), at(kNextDay, 0, 10), late));
    EXPECT_TRUE(alarmTimePassed(at(kDay, 23, 59, 0), at(kNextDay, 0, 0, 5), {0, 0, 0}));
    // A gap of a day or more passes every time of day.
    EXPECT_TRUE(alarmTimePassed(at(kDay, 10, 0), at(kNextDay, 10, 0), {9, 0, 0}));
    // A clock put back passes nothing, and no alarm rings twice for it...
    EXPECT_FALSE(alarmTimePassed(at(kDay, 10, 0), at(kDay, 8, 0), {9, 0, 0}));
    EXPECT_FALSE(alarmTimePassed(at(kNextDay, 0, 5), at(kDay, 23, 55), {0, 0, 0}));
    EXPECT_EQ(alarmsOver({at(kDay, 8, 59, 59), at(kDay, 9, 0, 0), at(kDay, 9, 0, 30),
                          at(kDay, 8, 59, 0), at(kDay, 8, 59, 30)},
                         alarm),
              1);
    // ...but one put back before an alarm still meets it when it comes.
    EXPECT_EQ(alarmsOver({at(kDay, 9, 30), at(kDay, 8, 30), at(kDay, 9, 0, 1)}, alarm), 1);
}

// The note's alarm as the clock and the note decide it together: armed at
// one moment, ticked over the given moments, disarmed when it rings.
// Returns the ticks it rang at.
std::vector<DateTime> ringsOver(const DateTime& moment, const DateTime& armedAt,
                                const std::vector<DateTime>& ticks) {
    std::vector<DateTime> rang;
    bool enabled = true;
    DateTime previous = armedSince(armedAt);
    bool waiting = alarmWaiting(previous.time, moment.time);
    for (const DateTime& now : ticks) {
        const ClockTick tick = clockTick(enabled, waiting, previous, now, moment.time);
        if (tick.raise && alarmMomentCame(moment, previous, now)) {
            rang.push_back(now);
            enabled = false;
        }
        waiting = tick.waiting;
        previous = now;
    }
    return rang;
}

TEST(AlarmRinging, OnlyItsOwnMomentRingsWhateverTheClockDoes) {
    constexpr Date kMon{2024, 3, 11}, kTue{2024, 3, 12}, kWed{2024, 3, 13}, kThu{2024, 3, 14};
    struct Case {
        const char* what;
        DateTime moment;
        DateTime armedAt;
        std::vector<DateTime> ticks;
        std::vector<DateTime> rings;
    };
    const std::vector<Case> cases{
        {"ticks through the alarm",
         at(kTue, 9, 0, 40),
         at(kTue, 9, 0, 30),
         everySecond(at(kTue, 9, 0, 30, 15), 90),
         {at(kTue, 9, 0, 40, 15)}},
        {"slept across it the same day: rings on waking",
         at(kTue, 20, 0),
         at(kTue, 8, 0),
         {at(kTue, 19, 0), at(kTue, 21, 0), at(kTue, 21, 0, 1)},
         {at(kTue, 21, 0)}},
        {"slept across its time of day the day before: not early",
         at(kTue, 20, 0),
         at(kMon, 17, 59),
         {at(kMon, 18, 0), at(kTue, 8, 0), at(kTue, 19, 59, 59, 15), at(kTue, 20, 0, 0, 15)},
         {at(kTue, 20, 0, 0, 15)}},
        {"slept for days across it",
         at(kTue, 20, 0),
         at(kMon, 18, 0),
         {at(kThu, 8, 0), at(kThu, 20, 0, 0, 15)},
         {at(kThu, 8, 0)}},
        {"across midnight to its first second",
         at(kWed, 0, 0),
         at(kTue, 23, 0),
         {at(kTue, 23, 59, 59, 15), at(kWed, 0, 0, 0, 15)},
         {at(kWed, 0, 0, 0, 15)}},
        {"slept across midnight and the alarm",
         at(kTue, 23, 59, 30),
         at(kTue, 23, 0),
         {at(kTue, 23, 50), at(kWed, 0, 10)},
         {at(kWed, 0, 10)}},
        {"clock put forward past it",
         at(kTue, 9, 0),
         at(kTue, 8, 0),
         {at(kTue, 8, 0, 1), at(kTue, 12, 0)},
         {at(kTue, 12, 0)}},
        {"clock put forward a day, to before its time",
         at(kTue, 20, 0),
         at(kMon, 8, 0),
         {at(kMon, 8, 0, 1), at(kTue, 8, 0, 1), at(kTue, 20, 0, 1)},
         {at(kTue, 20, 0, 1)}},
        {"clock put back a day: its time of day comes, its day not yet",
         at(kTue, 9, 0),
         at(kTue, 8, 0),
         {at(kMon, 8, 59, 59), at(kMon, 9, 0, 1), at(kTue, 8, 59, 59), at(kTue, 9, 0, 1)},
         {at(kTue, 9, 0, 1)}},
        {"armed within its own second",
         at(kTue, 9, 0, 0),
         at(kTue, 9, 0, 0, 300),
         {at(kTue, 9, 0, 1, 15), at(kTue, 9, 0, 2, 15)},
         {at(kTue, 9, 0, 1, 15)}},
        {"armed a second after it: past",
         at(kTue, 9, 0, 0),
         at(kTue, 9, 0, 1, 0),
         {at(kTue, 9, 0, 2, 15), at(kWed, 9, 0, 0, 15)},
         {}},
        {"a moment long past, its time of day comes again",
         at(kMon, 9, 0),
         at(kTue, 8, 0),
         {at(kTue, 8, 59, 59), at(kTue, 9, 0, 0, 15), at(kWed, 9, 0, 0, 15)},
         {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ringsOver(c.moment, c.armedAt, c.ticks), c.rings) << c.what;
}

TEST(AlarmEditor, ProposesTheStoredMomentWhileAheadElseTheNextQuarterHour) {
    const DateTime now = at(kDay, 10, 7, 30);
    EXPECT_EQ(proposedAlarmMoment(at(kNextDay, 8, 0), now), at(kNextDay, 8, 0));
    EXPECT_EQ(proposedAlarmMoment(at(kDay, 10, 7, 31), now), at(kDay, 10, 7, 31));
    EXPECT_EQ(proposedAlarmMoment(at(kDay, 10, 7, 30), now), at(kDay, 10, 15));
    EXPECT_EQ(proposedAlarmMoment(at({2020, 1, 1}, 0, 0), now), at(kDay, 10, 15));
    EXPECT_EQ(proposedAlarmMoment(at(kDay, 0, 0), at(kDay, 10, 15)), at(kDay, 10, 30));
    EXPECT_EQ(proposedAlarmMoment(at(kDay, 0, 0), at(kDay, 23, 50)), at(kNextDay, 0, 0));
}

// A zone one hour east of UTC that adds an hour of daylight saving between
// two moments of UTC, as central Europe does.
class SavingZone final : public LocalZone {
public:
    SavingZone(DateTime savingFromUtc, DateTime savingToUtc)
        : from_(timeline(savingFromUtc)), to_(timeline(savingToUtc)) {}
    DateTime toUtc(const DateTime& local) const override {
        const long long standard = timeline(local) - kHour;
        const long long saving = standard - kHour;
        return fromTimeline(saving >= from_ && saving < to_ ? saving : standard);
    }
    DateTime toLocal(const DateTime& utc) const override {
        const long long t = timeline(utc);
        return fromTimeline(t + (t >= from_ && t < to_ ? 2 : 1) * kHour);
    }

private:
    static constexpr long long kHour = 3'600'000;
    long long from_, to_;
};

const SavingZone kNoSaving{at({1900, 1, 1}, 0, 0), at({1900, 1, 1}, 0, 0)};

TEST(Snooze, TheTableAndItsDelays) {
    std::vector<int> minutes;
    for (int i = 0; i < 10; ++i) minutes.push_back(snoozeMinutes(i));
    EXPECT_EQ(minutes, (std::vector<int>{5, 10, 15, 30, 60, 120, 300, 600, 720, 1440}));
    EXPECT_STREQ(kSnoozeChoices[0].text, "5 Minuten");
    EXPECT_STREQ(kSnoozeChoices[9].text, "1 Tag");
    EXPECT_EQ(snoozeMinutes(-1), 5);
    EXPECT_EQ(snoozeMinutes(10), 5);
}

TEST(Snooze, CountsFromTheAlarmMinuteAndPassesMidnightIntoTheNextDay) {
    EXPECT_EQ(snoozedMoment(kDay, 9, 0, at(kDay, 9, 0, 20), 5, kNoSaving), at(kDay, 9, 5));
    EXPECT_EQ(snoozedMoment(kDay, 23, 50, at(kDay, 23, 50, 30), 15, kNoSaving), at(kNextDay, 0, 5));
    EXPECT_EQ(snoozedMoment(kDay, 14, 30, at(kDay, 14, 30, 5), 1440, kNoSaving),
              at(kNextDay, 14, 30));
    EXPECT_EQ(snoozedMoment({2024, 12, 31}, 22, 0, at({2024, 12, 31}, 22, 0), 720, kNoSaving),
              at({2025, 1, 1}, 10, 0));
    EXPECT_EQ(snoozedMoment({2024, 2, 28}, 12, 0, at({2024, 2, 28}, 12, 0), 1440, kNoSaving),
              at({2024, 2, 29}, 12, 0));
}

TEST(Snooze, AnAnswerGivenLateCountsFromTheAnswer) {
    // An hour late with five minutes: five minutes after the answer, not
    // five after the alarm, which is long past.
    EXPECT_EQ(snoozedMoment(kDay, 9, 0, at(kDay, 10, 2, 45), 5, kNoSaving), at(kDay, 10, 7));
    // Answered the next morning, the date is the answer's.
    EXPECT_EQ(snoozedMoment(kDay, 23, 50, at(kNextDay, 7, 0), 10, kNoSaving), at(kNextDay, 7, 10));
    // Within the alarm's own minute the alarm counts.
    EXPECT_EQ(snoozedMoment(kDay, 23, 55, at(kDay, 23, 55, 59), 5, kNoSaving), at(kNextDay, 0, 0));
}

TEST(Snooze, DelaysAreRealTimeAcrossAChangeOfDaylightSaving) {
    const SavingZone europe{at({2024, 3, 31}, 1, 0), at({2024, 10, 27}, 1, 0)};
    // Clocks go from 02:00 to 03:00: five real hours from 23:00 end at 05:00.
    EXPECT_EQ(snoozedMoment({2024, 3, 30}, 23, 0, at({2024, 3, 30}, 23, 0, 10), 300, europe),
              at({2024, 3, 31}, 5, 0));
    // Clocks go from 03:00 back to 02:00: they end at 03:00.
    EXPECT_EQ(snoozedMoment({2024, 10, 26}, 23, 0, at({2024, 10, 26}, 23, 0, 10), 300, europe),
              at({2024, 10, 27}, 3, 0));
    // Away from the change the clock and real time agree.
    EXPECT_EQ(snoozedMoment({2024, 7, 1}, 23, 50, at({2024, 7, 1}, 23, 50), 15, europe),
              at({2024, 7, 2}, 0, 5));
}

TEST(Overdue, TheAlarmsSecondsDoNotCount) {
    EXPECT_TRUE(alarmOverdue(kDay, 10, 0, at(kDay, 10, 0, 0, 1)));
    EXPECT_FALSE(alarmOverdue(kDay, 10, 0, at(kDay, 10, 0, 0, 0)));
    EXPECT_FALSE(alarmOverdue(kDay, 10, 0, at(kDay, 9, 59, 59, 999)));
    EXPECT_TRUE(alarmOverdue(kDay, 23, 59, at(kNextDay, 0, 0)));
    EXPECT_FALSE(alarmOverdue(kNextDay, 0, 0, at(kDay, 23, 59, 59)));
}

TEST(Dates, DaysAndTheTimelineAgree) {
    EXPECT_EQ(addDays({2024, 2, 28}, 1), (Date{2024, 2, 29}));
    EXPECT_EQ(addDays({2023, 2, 28}, 1), (Date{2023, 3, 1}));
    EXPECT_EQ(addDays({2024, 1, 1}, -1), (Date{2023, 12, 31}));
    EXPECT_EQ(addDays({1900, 2, 28}, 1), (Date{1900, 3, 1}));
    EXPECT_EQ(addDays({2000, 2, 28}, 1), (Date{2000, 2, 29}));
    const DateTime moment = at({2031, 7, 4}, 13, 14, 15, 16);
    EXPECT_EQ(fromTimeline(timeline(moment)), moment);
    EXPECT_EQ(fromTimeline(timeline(at({1899, 12, 30}, 0, 0)) - 1),
              at({1899, 12, 29}, 23, 59, 59, 999));
    EXPECT_FALSE(isValidDate({2023, 2, 29}));
    EXPECT_FALSE(isValidDate({2024, 13, 1}));
    EXPECT_FALSE(isValidDate({2024, 4, 31}));
}

TEST(DateText, WrittenInTheShortDateFormat) {
    EXPECT_EQ(formatDate({2024, 3, 9}, "dd.MM.yyyy"), "09.03.2024");
    EXPECT_EQ(formatDate({2024, 3, 9}, "M/d/yyyy"), "3/9/2024");
    EXPECT_EQ(formatDate({2024, 3, 9}, "yyyy-MM-dd"), "2024-03-09");
    EXPECT_EQ(formatDate({2024, 3, 9}, "dd.MM.yy"), "09.03.24");
    EXPECT_EQ(formatDate({2024, 3, 9}, "d'. 'M'. 'yyyy"), "9. 3. 2024");
    // Names of months or weekdays: a form that every reader knows.
    EXPECT_EQ(formatDate({2024, 3, 9}, "dddd, d. MMMM yyyy"), "09.03.2024");
    EXPECT_EQ(formatDate({2024, 3, 9}, ""), "09.03.2024");
    // A two-digit year that would read back as another century: an alarm in
    // 2031 under "dd.MM.yy" must not come back as 1931, overdue at once.
    EXPECT_EQ(formatDate({2031, 3, 9}, "dd.MM.yy"), "09.03.2031");
    EXPECT_EQ(parseDateText(formatDate({2031, 3, 9}, "dd.MM.yy"), "dd.MM.yy"), (Date{2031, 3, 9}));
    // Day and month run together cannot be told apart on reading.
    EXPECT_EQ(formatDate({2024, 11, 2}, "dMyyyy"), "02.11.2024");
}

TEST(DateText, ReadBackUnderAnyRegionalSettingsTheProgramHasMet) {
    const std::string german = "dd.MM.yyyy";
    EXPECT_EQ(parseDateText("09.03.2024", german), (Date{2024, 3, 9}));
    EXPECT_EQ(parseDateText(" 9.3.2024 ", german), (Date{2024, 3, 9}));
    EXPECT_EQ(parseDateText("3/9/2024", german), (Date{2024, 3, 9}));
    EXPECT_EQ(parseDateText("2024-03-09", german), (Date{2024, 3, 9}));
    // The current format comes first: under British settings this is March.
    EXPECT_EQ(parseDateText("09/03/2024", "dd/MM/yyyy"), (Date{2024, 3, 9}));
    EXPECT_EQ(parseDateText("09/03/2024", german), (Date{2024, 9, 3}));
    // A date that the current format's order reads is read in that order,
    // also with other counts of digits than the format's.
    EXPECT_EQ(parseDateText("03/04/2024", "dd/MM/yy"), (Date{2024, 4, 3}));
    EXPECT_EQ(parseDateText("3/4/24", "dd/MM/yyyy"), (Date{2024, 4, 3}));
    EXPECT_EQ(parseDateText("9.3.24", german), (Date{2024, 3, 9}));
    EXPECT_EQ(parseDateText("09.03.24", "dd.MM.yy"), (Date{2024, 3, 9}));
    EXPECT_EQ(parseDateText("09.03.99", "dd.MM.yy"), (Date{1999, 3, 9}));
    for (const char* bad : {"", "heute", "31.02.2024", "09.03.20245", "09.03.2024x", "0.3.2024",
                            "9.3.024", "2024-3-9", "1.13.2024", "09..03.2024", "-1.3.2024"})
        EXPECT_EQ(parseDateText(bad, german), std::nullopt) << bad;
    EXPECT_EQ(parseDateText("9. März 2024", "d. MMMM yyyy"), std::nullopt);
}

TEST(AlarmSeries, NextOccurrence) {
    struct Row {
        Repeat repeat;
        DateTime start, after;
        std::optional<DateTime> next;
    };
    const Date wed{2026, 12, 9}, fri{2026, 12, 11};
    const Row rows[] = {
        {Repeat::Never, at(wed, 20, 0), at(wed, 20, 0), std::nullopt},
        {Repeat::Daily, at(wed, 20, 0), at(wed, 20, 0), at({2026, 12, 10}, 20, 0)},
        // Before its start the series has its first moment ahead.
        {Repeat::Daily, at(wed, 20, 0), at(wed, 8, 0), at(wed, 20, 0)},
        // Answered late: the next moment still to come, none of the missed.
        {Repeat::Daily, at(wed, 20, 0), at({2026, 12, 11}, 8, 0), at(fri, 20, 0)},
        {Repeat::Daily, at(wed, 20, 0), at(fri, 20, 0, 1), at({2026, 12, 12}, 20, 0)},
        {Repeat::Daily, at({2028, 2, 28}, 7, 0), at({2028, 2, 28}, 7, 0), at({2028, 2, 29}, 7, 0)},
        {Repeat::Daily, at({2026, 12, 31}, 23, 59), at({2026, 12, 31}, 23, 59),
         at({2027, 1, 1}, 23, 59)},
        // Daylight saving begins on 29 March and ends on 25 October 2026: the
        // clock's time stays; 02:30 on the first is passed at 03:00.
        {Repeat::Daily, at({2026, 3, 28}, 2, 30), at({2026, 3, 28}, 2, 30),
         at({2026, 3, 29}, 2, 30)},
        {Repeat::Daily, at({2026, 10, 24}, 20, 0), at({2026, 10, 24}, 20, 0),
         at({2026, 10, 25}, 20, 0)},
        {Repeat::Weekdays, at(fri, 20, 0), at(fri, 20, 0), at({2026, 12, 14}, 20, 0)},
        {Repeat::Weekdays, at(fri, 20, 0), at({2026, 12, 13}, 21, 0), at({2026, 12, 14}, 20, 0)},
        {Repeat::Weekdays, at(wed, 20, 0), at(wed, 20, 0), at({2026, 12, 10}, 20, 0)},
        {Repeat::Weekly, at(wed, 20, 0), at(wed, 20, 0), at({2026, 12, 16}, 20, 0)},
        {Repeat::Weekly, at(wed, 20, 0), at({2026, 12, 16}, 19, 0), at({2026, 12, 16}, 20, 0)},
        {Repeat::Weekly, at(wed, 20, 0), at({2026, 12, 28}, 9, 0), at({2026, 12, 30}, 20, 0)},
        {Repeat::Monthly, at({2026, 1, 31}, 20, 0), at({2026, 1, 31}, 20, 0),
         at({2026, 2, 28}, 20, 0)},
        // The shorter month does not move the series off the 31st.
        {Repeat::Monthly, at({2026, 1, 31}, 20, 0), at({2026, 2, 28}, 20, 0),
         at({2026, 3, 31}, 20, 0)},
        {Repeat::Monthly, at({2026, 1, 31}, 20, 0), at({2026, 3, 31}, 20, 0),
         at({2026, 4, 30}, 20, 0)},
        {Repeat::Monthly, at({2028, 1, 31}, 20, 0), at({2028, 1, 31}, 20, 0),
         at({2028, 2, 29}, 20, 0)},
        {Repeat::Monthly, at({2028, 2, 29}, 9, 0), at({2028, 2, 29}, 9, 0),
         at({2028, 3, 29}, 9, 0)},
        {Repeat::Monthly, at({2026, 12, 15}, 9, 0), at({2026, 12, 15}, 9, 0),
         at({2027, 1, 15}, 9, 0)},
        {Repeat::Monthly, at({2026, 1, 31}, 20, 0), at({2026, 11, 2}, 8, 0),
         at({2026, 11, 30}, 20, 0)},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(nextOccurrence({row.repeat, row.start}, row.after), row.next)
            << repeatText(row.repeat) << " from " << row.start.date.day << "."
            << row.start.date.month << " after " << row.after.date.day << "."
            << row.after.date.month;
    }
}

TEST(AlarmSeries, HintAndTrayTexts) {
    const DateTime moment = at({2026, 12, 9}, 20, 0, 30);
    EXPECT_EQ(alarmHintText(moment, Repeat::Daily), "Alarm: Mi 09.12.2026 20:00, täglich");
    EXPECT_EQ(alarmHintText(at({2027, 1, 3}, 7, 5), Repeat::Never), "Alarm: So 03.01.2027 07:05");
    EXPECT_EQ(nextAlarmText(moment, {2026, 12, 9}), "20:00");
    EXPECT_EQ(nextAlarmText(moment, {2026, 12, 8}), "Mi 09.12.2026 20:00");
}

TEST(AlarmSeries, EditorQuickChoicesCountFromTheCurrentMinute) {
    const DateTime now = at({2026, 12, 31}, 23, 55, 30);
    EXPECT_EQ(quickAlarmMoment(0, now), at({2027, 1, 1}, 0, 5));
    EXPECT_EQ(quickAlarmMoment(1, now), at({2027, 1, 1}, 0, 55));
    EXPECT_EQ(quickAlarmMoment(2, now), at({2027, 1, 1}, 9, 0));
}

TEST(AlarmSeries, RecordText) {
    const DateTime alarm = at({2026, 12, 9}, 20, 0);
    for (Repeat repeat : {Repeat::Daily, Repeat::Weekdays, Repeat::Weekly, Repeat::Monthly}) {
        const AlarmSeries series{repeat, at({2026, 1, 31}, 7, 5, 9)};
        EXPECT_EQ(parseSeriesText(seriesText(series), alarm), series) << seriesText(series);
    }
    EXPECT_EQ(seriesText({Repeat::Monthly, at({2026, 1, 31}, 7, 5)}),
              "monatlich 2026-01-31 07:05:00");
    // The word alone counts from the alarm; a file without the key, an
    // unknown word and a broken start are what they can be read as.
    EXPECT_EQ(parseSeriesText("täglich", alarm), (AlarmSeries{Repeat::Daily, alarm}));
    EXPECT_EQ(parseSeriesText("", alarm).repeat, Repeat::Never);
    EXPECT_EQ(parseSeriesText("jährlich", alarm).repeat, Repeat::Never);
    EXPECT_EQ(parseSeriesText("werktags 2026-02-30 20:00:00", alarm),
              (AlarmSeries{Repeat::Weekdays, alarm}));
}

}  // namespace
}  // namespace tav
