#include "store/AlarmTime.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace tav {

namespace {

constexpr long long kMsPerDay = 86'400'000LL;
constexpr long long kMsPerMinute = 60'000LL;
constexpr long long kMsPerQuarterHour = 15 * kMsPerMinute;

// The multiple of `step` at or before `value`, also for moments before 1970.
long long floorTo(long long value, long long step) {
    const long long rest = value % step;
    return value - (rest < 0 ? rest + step : rest);
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's
// civil-date algorithms); exact for every year the program can meet.
long long daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153LL * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date civilFromDays(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400 + (m <= 2)), m, d};
}

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : days[m - 1];
}

int secondsOfDay(const TimeOfDay& t) { return t.hour * 3600 + t.minute * 60 + t.second; }

// ---- Short date formats

enum class Field { Literal, Day, Month, Year };

struct Token {
    Field field = Field::Literal;
    int width = 0;  // letters in the format: d 1, dd 2, yy 2, yyyy 4; see loosened()
    std::string text;
};

// The parts of a short date format; nothing when it names months or
// weekdays, or an era, which only the system itself can write and read.
std::optional<std::vector<Token>> tokenize(const std::string& format) {
    std::vector<Token> tokens;
    auto literal = [&](char c) {
        if (tokens.empty() || tokens.back().field != Field::Literal) tokens.push_back({});
        tokens.back().text += c;
    };
    for (std::size_t i = 0; i < format.size();) {
        const char c = format[i];
        if (c == '\'') {
            ++i;
            while (i < format.size()) {
                if (format[i] == '\'') {
                    if (i + 1 < format.size() && format[i + 1] == '\'') {
                        literal('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal(format[i++]);
            }
            continue;
        }
        if (c == 'd' || c == 'M' || c == 'y') {
            std::size_t run = 1;
            while (i + run < format.size() && format[i + run] == c) ++run;
            i += run;
            if (c != 'y' && run > 2) return std::nullopt;  // names
            const Field field = c == 'd' ? Field::Day : c == 'M' ? Field::Month : Field::Year;
            const int width =
                c == 'y' ? (run >= 3 ? 4 : static_cast<int>(run)) : static_cast<int>(run);
            tokens.push_back({field, width, {}});
            continue;
        }
        if (c == 'g') return std::nullopt;
        literal(c);
        ++i;
    }
    const auto has = [&](Field f) {
        return std::any_of(tokens.begin(), tokens.end(),
                           [f](const Token& t) { return t.field == f; });
    };
    if (!has(Field::Day) || !has(Field::Month) || !has(Field::Year)) return std::nullopt;
    return tokens;
}

std::string number(int value, int minDigits) {
    std::string digits = std::to_string(value < 0 ? -static_cast<long long>(value) : value);
    const int width = minDigits - (value < 0 ? 1 : 0);
    if (width > static_cast<int>(digits.size())) digits.insert(0, width - digits.size(), '0');
    return value < 0 ? "-" + digits : digits;
}

// Two-digit years as the system reads them by default: 1930 to 2029.
int fullYear(int twoDigits) { return twoDigits < 30 ? 2000 + twoDigits : 1900 + twoDigits; }

// Digits at pos: exactly `exact` of them, or between 1 and `most`.
std::optional<int> readDigits(const std::string& text, std::size_t& pos, int exact, int most) {
    int count = 0;
    int value = 0;
    const int limit = exact > 0 ? exact : most;
    while (pos < text.size() && count < limit && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++count;
    }
    if (count == 0 || (exact > 0 && count != exact)) return std::nullopt;
    // A longer run of digits than the field takes is no date of this format.
    if (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') return std::nullopt;
    return value;
}

std::optional<Date> parseAs(const std::string& text, const std::vector<Token>& tokens) {
    Date date{0, 0, 0};
    std::size_t pos = 0;
    for (const Token& token : tokens) {
        if (token.field == Field::Literal) {
            if (text.compare(pos, token.text.size(), token.text) != 0) return std::nullopt;
            pos += token.text.size();
            continue;
        }
        std::optional<int> value;
        switch (token.field) {
            case Field::Day:
            case Field::Month:
                value = readDigits(text, pos, token.width == 2 ? 2 : 0, 2);
                break;
            case Field::Year: {
                const std::size_t start = pos;
                value = readDigits(text, pos, token.width == 1 ? 0 : token.width,
                                   token.width == 0 ? 4 : 2);
                const std::size_t digits = pos - start;
                if (token.width == 0 && digits != 2 && digits != 4) return std::nullopt;
                if (value && digits < 4) value = fullYear(*value);
                break;
            }
            case Field::Literal:
                break;
        }
        if (!value) return std::nullopt;
        (token.field == Field::Day     ? date.day
         : token.field == Field::Month ? date.month
                                       : date.year) = *value;
    }
    if (pos != text.size() || !isValidDate(date)) return std::nullopt;
    return date;
}

// The same order and separators with any usual count of digits: one or two
// for day and month, two or four for the year (width 0).
std::vector<Token> loosened(std::vector<Token> tokens) {
    for (Token& token : tokens) {
        if (token.field == Field::Day || token.field == Field::Month) token.width = 1;
        if (token.field == Field::Year) token.width = 0;
    }
    return tokens;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

constexpr char kGermanDateFormat[] = "dd.MM.yyyy";

}  // namespace

bool isValidDate(const Date& date) {
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 &&
           date.day >= 1 && date.day <= daysInMonth(date.year, date.month);
}

Date addDays(const Date& date, long long days) {
    return civilFromDays(daysFromCivil(date.year, date.month, date.day) + days);
}

long long timeline(const DateTime& moment) {
    return daysFromCivil(moment.date.year, moment.date.month, moment.date.day) * kMsPerDay +
           secondsOfDay(moment.time) * 1000LL + moment.millisecond;
}

DateTime fromTimeline(long long milliseconds) {
    long long days = milliseconds / kMsPerDay;
    long long rest = milliseconds % kMsPerDay;
    if (rest < 0) {
        rest += kMsPerDay;
        --days;
    }
    const int seconds = static_cast<int>(rest / 1000);
    return {civilFromDays(days),
            {seconds / 3600, seconds / 60 % 60, seconds % 60},
            static_cast<int>(rest % 1000)};
}

bool alarmMatches(const TimeOfDay& now, const TimeOfDay& alarm) {
    return now.hour == alarm.hour && now.minute == alarm.minute && now.second >= alarm.second;
}

bool alarmWaiting(const TimeOfDay& now, const TimeOfDay& alarm) {
    return secondsOfDay(now) < secondsOfDay(alarm) || secondsOfDay(alarm) == 0;
}

bool alarmTimePassed(const DateTime& previous, const DateTime& now, const TimeOfDay& alarm) {
    const long long from = timeline(previous);
    const long long to = timeline(now);
    if (to <= from) return false;
    if (to - from >= kMsPerDay) return true;
    // The last time the clock showed the alarm time, at or before now.
    DateTime last{now.date, alarm, 0};
    if (timeline(last) > to) last.date = addDays(now.date, -1);
    return timeline(last) > from;
}

ClockTick clockTick(bool enabled, bool waiting, const DateTime& previous, const DateTime& now,
                    const TimeOfDay& alarm) {
    const bool match = alarmMatches(now.time, alarm);
    if (enabled && ((match && waiting) || alarmTimePassed(previous, now, alarm)))
        return {true, false};
    // Within the minute that already raised it the mark stays clear.
    if (enabled && match) return {false, false};
    return {false, alarmWaiting(now.time, alarm)};
}

bool alarmMomentCame(const DateTime& moment, const DateTime& previous, const DateTime& now) {
    const long long at = timeline(moment);
    return timeline(previous) < at && at <= timeline(now);
}

DateTime armedSince(const DateTime& now) { return fromTimeline(floorTo(timeline(now), 1000) - 1); }

DateTime proposedAlarmMoment(const DateTime& stored, const DateTime& now) {
    if (timeline(stored) > timeline(now)) return stored;
    return fromTimeline(floorTo(timeline(now), kMsPerQuarterHour) + kMsPerQuarterHour);
}

int snoozeMinutes(int index) {
    if (index < 0 || index >= static_cast<int>(kSnoozeChoices.size()))
        return kSnoozeChoices.front().minutes;
    return kSnoozeChoices[static_cast<std::size_t>(index)].minutes;
}

DateTime snoozedMoment(const Date& alarmDate, int alarmHour, int alarmMinute,
                       const DateTime& answered, int minutes, const LocalZone& zone) {
    const DateTime alarm{alarmDate, {alarmHour, alarmMinute, 0}, 0};
    const DateTime answer{answered.date, {answered.time.hour, answered.time.minute, 0}, 0};
    const DateTime base = timeline(alarm) > timeline(answer) ? alarm : answer;
    return zone.toLocal(fromTimeline(timeline(zone.toUtc(base)) + minutes * kMsPerMinute));
}

DateTime quickAlarmMoment(int index, const DateTime& now) {
    if (index == 2) return {addDays(now.date, 1), {9, 0, 0}, 0};
    const long long minute = floorTo(timeline(now), kMsPerMinute);
    return fromTimeline(minute + (index == 0 ? 10 : 60) * kMsPerMinute);
}

const char* repeatText(Repeat repeat) { return kRepeatTexts[static_cast<std::size_t>(repeat)]; }

int weekday(const Date& date) {
    const long long days = daysFromCivil(date.year, date.month, date.day);
    return static_cast<int>(((days + 4) % 7 + 7) % 7);  // 1970-01-01 was a Thursday
}

std::optional<DateTime> nextOccurrence(const AlarmSeries& series, const DateTime& after) {
    const DateTime& start = series.start;
    if (series.repeat == Repeat::Never) return std::nullopt;
    if (timeline(after) < timeline(start)) return start;
    const auto onDay = [&](const Date& day) { return DateTime{day, start.time, 0}; };
    const auto later = [&](const DateTime& moment) { return timeline(moment) > timeline(after); };
    if (series.repeat == Repeat::Monthly) {
        int year = after.date.year, month = after.date.month;
        for (;;) {
            const DateTime moment =
                onDay({year, month, std::min(start.date.day, daysInMonth(year, month))});
            if (later(moment)) return moment;
            if (++month > 12) month = 1, ++year;
        }
    }
    for (Date day = after.date;; day = addDays(day, 1)) {
        const int wd = weekday(day);
        const bool fits = series.repeat == Repeat::Daily      ? true
                          : series.repeat == Repeat::Weekdays ? wd >= 1 && wd <= 5
                                                              : wd == weekday(start.date);
        if (fits && later(onDay(day))) return onDay(day);
    }
}

namespace {

std::string twoDigits(int value) { return number(value, 2); }

}  // namespace

namespace {

std::string dayAndTime(const DateTime& moment, bool withDate) {
    static constexpr const char* kWeekdays[] = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
    const Date& d = moment.date;
    std::string text;
    if (withDate)
        text = std::string(kWeekdays[weekday(d)]) + " " + twoDigits(d.day) + "." +
               twoDigits(d.month) + "." + number(d.year, 4) + " ";
    return text + twoDigits(moment.time.hour) + ":" + twoDigits(moment.time.minute);
}

}  // namespace

std::string alarmMomentText(const DateTime& moment) { return dayAndTime(moment, true); }

std::string alarmHintText(const DateTime& moment, Repeat repeat) {
    std::string text = "Alarm: " + alarmMomentText(moment);
    if (repeat != Repeat::Never) text += std::string(", ") + repeatText(repeat);
    return text;
}

std::string nextAlarmText(const DateTime& moment, const Date& today) {
    return dayAndTime(moment, moment.date != today);
}

std::string seriesText(const AlarmSeries& series) {
    const DateTime& s = series.start;
    std::string text = repeatText(series.repeat);
    if (series.repeat == Repeat::Never) return text;
    // The editor's word without its explanation, so that the value reads as
    // one word and a blank.
    text = text.substr(0, text.find(' '));
    return text + " " + number(s.date.year, 4) + "-" + twoDigits(s.date.month) + "-" +
           twoDigits(s.date.day) + " " + twoDigits(s.time.hour) + ":" + twoDigits(s.time.minute) +
           ":" + twoDigits(s.time.second);
}

AlarmSeries parseSeriesText(const std::string& text, const DateTime& alarm) {
    const std::string value = trimmed(text);
    const std::string word = value.substr(0, value.find(' '));
    AlarmSeries series{Repeat::Never, alarm};
    for (std::size_t i = 1; i < kRepeatTexts.size(); ++i) {
        const std::string known = kRepeatTexts[i];
        if (word == known.substr(0, known.find(' '))) series.repeat = static_cast<Repeat>(i);
    }
    if (series.repeat == Repeat::Never || word.size() == value.size()) return series;
    int y, mo, d, h, mi, s;
    char tail;
    const std::string rest = value.substr(word.size());
    if (std::sscanf(rest.c_str(), " %4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) ==
            6 &&
        isValidDate({y, mo, d}) && h >= 0 && h <= 23 && mi >= 0 && mi <= 59 && s >= 0 && s <= 59)
        series.start = {{y, mo, d}, {h, mi, s}, 0};
    return series;
}

bool alarmOverdue(const Date& alarmDate, int alarmHour, int alarmMinute, const DateTime& now) {
    return timeline(now) > timeline({alarmDate, {alarmHour, alarmMinute, 0}, 0});
}

namespace {

std::string formatAs(const Date& date, const std::vector<Token>& tokens) {
    std::string text;
    for (const Token& token : tokens) {
        switch (token.field) {
            case Field::Literal:
                text += token.text;
                break;
            case Field::Day:
                text += number(date.day, token.width);
                break;
            case Field::Month:
                text += number(date.month, token.width);
                break;
            case Field::Year:
                text +=
                    token.width == 4 ? number(date.year, 4) : number(date.year % 100, token.width);
                break;
        }
    }
    return text;
}

}  // namespace

std::optional<Date> parseDateText(const std::string& text, const std::string& shortDateFormat) {
    const std::string value = trimmed(text);
    if (const auto current = tokenize(shortDateFormat)) {
        if (const auto date = parseAs(value, *current)) return date;
        if (const auto date = parseAs(value, loosened(*current))) return date;
    }
    for (const char* format : {kGermanDateFormat, "d.M.yyyy", "M/d/yyyy", "yyyy-MM-dd"}) {
        if (const auto date = parseAs(value, *tokenize(format))) return date;
    }
    return std::nullopt;
}

// A date that would not read back as itself (a two-digit year outside the
// years it is read as, day and month run together without a separator) is
// written dd.MM.yyyy, like one in a format that names months; where even
// that would be misread (a format with digits of its own), yyyy-MM-dd.
std::string formatDate(const Date& date, const std::string& shortDateFormat) {
    if (const auto tokens = tokenize(shortDateFormat)) {
        std::string text = formatAs(date, *tokens);
        if (parseDateText(text, shortDateFormat) == date) return text;
    }
    std::string german = formatAs(date, *tokenize(kGermanDateFormat));
    if (parseDateText(german, shortDateFormat) == date) return german;
    std::string iso = formatAs(date, *tokenize("yyyy-MM-dd"));
    return parseDateText(iso, shortDateFormat) == date ? iso : german;
}

}  // namespace tav
