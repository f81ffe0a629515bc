// Mac seconds (unsigned seconds since 1904-01-01 00:00, local time) to and from the calendar
// forms the rest of the program uses, the time-zone offset, and the current time in UTC.
// All arithmetic is 64-bit, so dates after 2038-01-19 stay right up to 2040-02-06 06:28:15.
#pragma once

#include "platform/MacTypes.h"
#include "platform/SystemTime.h"

// The toolbox's long date record: 28 bytes, fourteen 16-bit fields. Only era (always 0)
// through dayOfWeek are filled; the rest stay 0.
struct LongDateRec {
    SInt16 era;
    SInt16 year;
    SInt16 month;      // 1..12
    SInt16 day;        // 1..31
    SInt16 hour;
    SInt16 minute;
    SInt16 second;
    SInt16 dayOfWeek;  // 1 = Sunday .. 7 = Saturday
    SInt16 dayOfYear;
    SInt16 weekOfYear;
    SInt16 pm;
    SInt16 ldReserved1;
    SInt16 ldReserved2;
    SInt16 ldReserved3;
};
static_assert(sizeof(LongDateRec) == 28);

// The system time taken as it is (no time-zone change) in Mac seconds, stored in *out when
// out is not null and also answered. Milliseconds are dropped. A system time that names no
// real moment gives 0; one before 1904 gives 0 and one after the last Mac second gives
// 0xFFFFFFFF, since neither can be held.
UInt32 DateTimeToMacSeconds(const SYSTEMTIME* st, UInt32* out);

// Mac seconds to a system time; 0 gives the current local time.
void MacSecondsToSystemTime(UInt32 seconds, SYSTEMTIME* out);

// The long date record of a Mac date (0: now).
void DateFromCatalogDate(LongDateRec* out, UInt32 seconds);

// Seconds to add to UTC to get local time now. Worked out on first use, or again when
// refresh is set (after the time zone may have changed); otherwise the remembered value.
SInt32 TimeZoneOffset(Boolean refresh);

// The current date and time in Mac seconds counted in UTC.
UInt32 CurrentUtcMacSeconds();
