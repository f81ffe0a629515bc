// What the user's locale says about numbers, dates and times, read once and kept for the run:
// the 12/24-hour clock, the decimal and thousands separators, whether days carry a leading
// zero, and the month and day names. Texts come out as Windows-1252.
#pragma once

#include "platform/MacTypes.h"

// String lists with the English month names (entries 1..12, January first) and day names
// (entries 1..7, Sunday first), used when the locale has none.
enum : short {
    kMonthNameList = 514,
    kDayNameList = 515,
};

// True when the locale's time format counts hours 1..12 (also when the locale cannot tell).
Boolean IsTwelveHourClock();

// True unless the locale's short date writes day numbers without a leading zero.
Boolean UsesDayLeadingZero();

// The decimal and thousands separator characters; either pointer may be null.
void LocaleSeparators(char* decimal, char* thousands);

// The locale's name of month 1..12; list kMonthNameList when the locale has none. Other
// month numbers leave out untouched.
void GetMonthName(short month, StringPtr out);

// The locale's name of day 1..7, 1 = Sunday; list kDayNameList when the locale has none.
// Other day numbers leave out untouched.
void GetDayName(short day, StringPtr out);

// Which locale the values above come from. By default the user's locale as the environment
// names it (LC_ALL, LC_TIME, LANG ...), read on first use. SetFormatLocale reads the named
// locale at once (null or "" names the user's locale again) and answers false when the
// system has no such locale; the values then fall back to their defaults (12-hour clock,
// ".", ",", leading zero) and the C library's English texts.
bool SetFormatLocale(const char* localeName);
