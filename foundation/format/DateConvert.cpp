#include "foundation/format/DateConvert.h"

#include "platform/MacDates.h"

#include <atomic>
#include <ctime>

UInt32 DateTimeToMacSeconds(const SYSTEMTIME* st, UInt32* out) {
    UInt32 result = 0;
    if (st && SystemTimeIsValid(*st)) {
        const std::int64_t days = DaysFromCivil(st->wYear, st->wMonth, st->wDay);
        std::int64_t secs = days * 86400 + std::int64_t(st->wHour) * 3600 +
                            std::int64_t(st->wMinute) * 60 + st->wSecond + kMacEpochToUnixEpoch;
        if (secs < 0) secs = 0;
        if (secs > 0xFFFFFFFFll) secs = 0xFFFFFFFFll;
        result = UInt32(secs);
    }
    if (out) *out = result;
    return result;
}

void MacSecondsToSystemTime(UInt32 seconds, SYSTEMTIME* out) {
    if (seconds == 0) {
        GetLocalTime(out);
        return;
    }
    DateTimeRec d;
    SecondsToDate(seconds, &d);
    out->wYear = std::uint16_t(d.year);
    out->wMonth = std::uint16_t(d.month);
    out->wDayOfWeek = std::uint16_t(d.dayOfWeek - 1);
    out->wDay = std::uint16_t(d.day);
    out->wHour = std::uint16_t(d.hour);
    out->wMinute = std::uint16_t(d.minute);
    out->wSecond = std::uint16_t(d.second);
    out->wMilliseconds = 0;
}

void DateFromCatalogDate(LongDateRec* out, UInt32 seconds) {
    SYSTEMTIME st;
    MacSecondsToSystemTime(seconds, &st);
    *out = LongDateRec{};
    out->year = SInt16(st.wYear);
    out->month = SInt16(st.wMonth);
    out->day = SInt16(st.wDay);
    out->hour = SInt16(st.wHour);
    out->minute = SInt16(st.wMinute);
    out->second = SInt16(st.wSecond);
    out->dayOfWeek = SInt16(st.wDayOfWeek + 1);
}

namespace {
std::atomic<bool> gZoneKnown{false};
std::atomic<SInt32> gZoneOffset{0};
}  // namespace

SInt32 TimeZoneOffset(Boolean refresh) {
    if (refresh || !gZoneKnown.load()) {
        // Re-read the zone rules: the C library keeps the ones it loaded first otherwise.
        tzset();
        const std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        gZoneOffset.store(SInt32(tm.tm_gmtoff));
        gZoneKnown.store(true);
    }
    return gZoneOffset.load();
}

UInt32 CurrentUtcMacSeconds() {
    UInt32 local = 0;
    GetDateTime(&local);
    return UInt32(std::int64_t(local) - TimeZoneOffset(false));
}
