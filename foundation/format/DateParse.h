// Dates read from text: the eight-digit form of annotation fields, date-time texts of
// metadata, and dates the user types.
#pragma once

#include "platform/MacTypes.h"

// Eight digit characters, year, month and day ("20041231"), to the Mac seconds of that day at
// midnight. 0 when the year is 0 or the text is not such a date.
UInt32 ParseYYYYMMDD(const char* digits);

// A zero-terminated text of year, month, day, hour, minute and second, numbers parted by any
// single character ("2004:12:31 23:59:58"); missing parts count as 0. Answers the Mac seconds,
// or 0 when no year was read or the parts make no date.
UInt32 ParseDateTimeText(const char* text);

// A date as the user types it, in the order of the locale's short date (31.12.2004,
// 12/31/04, 31 December 2004), or as an ISO date (2004-12-31). Succeeds only for real dates
// of the years 1904 to 2040; then, when normalized is not null, it receives the date as eight
// digits, year, month and day. A time after the date is allowed and ignored.
Boolean ParseDateText(ConstStr255Param text, StringPtr normalized);
