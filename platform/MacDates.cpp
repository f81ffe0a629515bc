#include "platform/MacDates.h"

#include <ctime>

// Howard Hinnant's civil-from-days algorithms: exact for the whole proleptic Gregorian range.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t* year, unsigned* month, unsigned* day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *day = doy - (153 * mp + 2) / 5 + 1;
    *month = mp < 10 ? mp + 3 : mp - 9;
    *year = y + (*month <= 2);
}

void SecondsToDate(std::uint32_t macSeconds, DateTimeRec* out) {
    std::int64_t unixSecs = std::int64_t(macSeconds) - kMacEpochToUnixEpoch;
    std::int64_t days = unixSecs >= 0 ? unixSecs / 86400 : -((-unixSecs + 86399) / 86400);
    std::int64_t rem = unixSecs - days * 86400;
    std::int64_t y;
    unsigned m, d;
    CivilFromDays(days, &y, &m, &d);
    out->year = std::int16_t(y);
    out->month = std::int16_t(m);
    out->day = std::int16_t(d);
    out->hour = std::int16_t(rem / 3600);
    out->minute = std::int16_t(rem / 60 % 60);
    out->second = std::int16_t(rem % 60);
    // 1970-01-01 was a Thursday (5 with Sunday = 1).
    std::int64_t wd = (days % 7 + 7 + 4) % 7;
    out->dayOfWeek = std::int16_t(wd + 1);
}

std::int64_t DateToSeconds64(const DateTimeRec& in) {
    std::int64_t days = DaysFromCivil(in.year, unsigned(in.month), unsigned(in.day));
    return days * 86400 + std::int64_t(in.hour) * 3600 + std::int64_t(in.minute) * 60 + in.second +
           kMacEpochToUnixEpoch;
}

void DateToSeconds(const DateTimeRec* in, std::uint32_t* macSeconds) {
    std::int64_t s = DateToSeconds64(*in);
    if (s < 0) s = 0;
    if (s > 0xFFFFFFFFll) s = 0xFFFFFFFFll;
    *macSeconds = std::uint32_t(s);
}

std::int64_t UnixToLocalMacSeconds(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return std::int64_t(t) + tm.tm_gmtoff + kMacEpochToUnixEpoch;
}

std::time_t LocalMacSecondsToUnix(std::int64_t macSeconds) {
    DateTimeRec d;
    std::int64_t clamped = macSeconds < 0 ? 0 : (macSeconds > 0xFFFFFFFFll ? 0xFFFFFFFFll : macSeconds);
    SecondsToDate(std::uint32_t(clamped), &d);
    std::tm tm{};
    tm.tm_year = d.year - 1900;
    tm.tm_mon = d.month - 1;
    tm.tm_mday = d.day;
    tm.tm_hour = d.hour;
    tm.tm_min = d.minute;
    tm.tm_sec = d.second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

void GetDateTime(std::uint32_t* macSeconds) {
    std::int64_t s = UnixToLocalMacSeconds(std::time(nullptr));
    *macSeconds = s < 0 ? 0 : (s > 0xFFFFFFFFll ? 0xFFFFFFFFu : std::uint32_t(s));
}
