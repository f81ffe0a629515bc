// A calendar date and time broken into fields, the form in which the date helpers receive
// file times and hand dates to the user interface. No time zone is attached: whoever fills
// one decides whether it holds local time or UTC.
#pragma once

#include <cstdint>

struct SYSTEMTIME {
    std::uint16_t wYear;
    std::uint16_t wMonth;      // 1..12
    std::uint16_t wDayOfWeek;  // 0 = Sunday .. 6 = Saturday
    std::uint16_t wDay;        // 1..31
    std::uint16_t wHour;
    std::uint16_t wMinute;
    std::uint16_t wSecond;
    std::uint16_t wMilliseconds;
};
static_assert(sizeof(SYSTEMTIME) == 16);

// The current local time, to the millisecond.
void GetLocalTime(SYSTEMTIME* out);

// True when the fields name a real moment of the proleptic Gregorian calendar (year 1601 or
// later, month, day within that month, hour, minute, second and milliseconds in range). The
// day of week is not checked: it is an output, ignored on input.
bool SystemTimeIsValid(const SYSTEMTIME& st);
