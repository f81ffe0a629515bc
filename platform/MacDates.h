// Mac dates: unsigned seconds since 1904-01-01 00:00 local time. The calendar arithmetic
// here is 64-bit throughout, so dates after 2038 stay right up to the end of the u32 range
// (2040-02-06 06:28:15).
#pragma once

#include <cstdint>
#include <ctime>

inline constexpr std::int64_t kMacEpochToUnixEpoch = 2082844800;  // 1904-01-01 to 1970-01-01

struct DateTimeRec {
    std::int16_t year;
    std::int16_t month;      // 1..12
    std::int16_t day;        // 1..31
    std::int16_t hour;
    std::int16_t minute;
    std::int16_t second;
    std::int16_t dayOfWeek;  // 1 = Sunday .. 7 = Saturday
};

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day);
void CivilFromDays(std::int64_t days, std::int64_t* year, unsigned* month, unsigned* day);

// Pure calendar conversions, no time zone involved.
void SecondsToDate(std::uint32_t macSeconds, DateTimeRec* out);
// Dates outside the Mac range clamp to 0 or 0xFFFFFFFF.
void DateToSeconds(const DateTimeRec* in, std::uint32_t* macSeconds);
std::int64_t DateToSeconds64(const DateTimeRec& in);

// The current local time in Mac seconds.
void GetDateTime(std::uint32_t* macSeconds);

// Unix time (UTC) to Mac seconds in local time, and back, through the C library's zone rules.
std::int64_t UnixToLocalMacSeconds(std::time_t t);
std::time_t LocalMacSecondsToUnix(std::int64_t macSeconds);
