#include "platform/SystemTime.h"

#include "platform/MacDates.h"

#include <ctime>

void GetLocalTime(SYSTEMTIME* out) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm tm{};
    localtime_r(&now.tv_sec, &tm);
    out->wYear = std::uint16_t(tm.tm_year + 1900);
    out->wMonth = std::uint16_t(tm.tm_mon + 1);
    out->wDayOfWeek = std::uint16_t(tm.tm_wday);
    out->wDay = std::uint16_t(tm.tm_mday);
    out->wHour = std::uint16_t(tm.tm_hour);
    out->wMinute = std::uint16_t(tm.tm_min);
    // A leap second shows as :60 in some zones' rules; a system time has no room for it.
    out->wSecond = std::uint16_t(tm.tm_sec > 59 ? 59 : tm.tm_sec);
    out->wMilliseconds = std::uint16_t(now.tv_nsec / 1000000);
}

bool SystemTimeIsValid(const SYSTEMTIME& st) {
    if (st.wYear < 1601 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1) return false;
    if (st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59 || st.wMilliseconds > 999) return false;
    const std::int64_t first = DaysFromCivil(st.wYear, st.wMonth, 1);
    const std::int64_t next = st.wMonth == 12 ? DaysFromCivil(st.wYear + 1, 1, 1)
                                              : DaysFromCivil(st.wYear, st.wMonth + 1u, 1);
    return st.wDay <= next - first;  // the length of the month
}
