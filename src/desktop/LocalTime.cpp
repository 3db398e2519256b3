#include "desktop/LocalTime.h"

#include "desktop/Utf.h"

namespace tav {

DateTime dateTimeOf(const SYSTEMTIME& time) {
    return {{time.wYear, time.wMonth, time.wDay},
            {time.wHour, time.wMinute, time.wSecond},
            time.wMilliseconds};
}

SYSTEMTIME systemTimeOf(const DateTime& moment) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(moment.date.year);
    time.wMonth = static_cast<WORD>(moment.date.month);
    time.wDay = static_cast<WORD>(moment.date.day);
    time.wHour = static_cast<WORD>(moment.time.hour);
    time.wMinute = static_cast<WORD>(moment.time.minute);
    time.wSecond = static_cast<WORD>(moment.time.second);
    time.wMilliseconds = static_cast<WORD>(moment.millisecond);
    // The day of the week, which date controls want right.
    FILETIME file{};
    if (SystemTimeToFileTime(&time, &file)) FileTimeToSystemTime(&file, &time);
    return time;
}

SYSTEMTIME localTimeNow() {
    SYSTEMTIME time{};
    GetLocalTime(&time);
    return time;
}

namespace {

// A moment the system cannot convert (outside its years) stays as it is.
class SystemZone final : public LocalZone {
public:
    DateTime toUtc(const DateTime& local) const override {
        const SYSTEMTIME in = systemTimeOf(local);
        SYSTEMTIME out{};
        return TzSpecificLocalTimeToSystemTime(nullptr, &in, &out) ? dateTimeOf(out) : local;
    }
    DateTime toLocal(const DateTime& utc) const override {
        const SYSTEMTIME in = systemTimeOf(utc);
        SYSTEMTIME out{};
        return SystemTimeToTzSpecificLocalTime(nullptr, &in, &out) ? dateTimeOf(out) : utc;
    }
};

}  // namespace

const LocalZone& systemZone() {
    static const SystemZone zone;
    return zone;
}

std::string shortDateFormat() {
    wchar_t format[80] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTDATE, format, 80) == 0) return {};
    return narrow(format);
}

}  // namespace tav
