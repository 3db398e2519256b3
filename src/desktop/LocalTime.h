#pragma once
// The system's local time and the user's short date format, in the core's
// terms.

#include <windows.h>

#include <string>

#include "store/AlarmTime.h"

namespace tav {

DateTime dateTimeOf(const SYSTEMTIME& time);
SYSTEMTIME systemTimeOf(const DateTime& moment);
SYSTEMTIME localTimeNow();
// The system's time zone with its rules of daylight saving.
const LocalZone& systemZone();

// The user's short date format ("dd.MM.yyyy" under German settings), the
// one that dates in the settings file are written in.
std::string shortDateFormat();

}  // namespace tav
