#include "foundation/format/DateConvert.h"

#include "platform/MacDates.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

struct MacDateCase {
    const char* what;
    UInt32 mac;
    SYSTEMTIME st;  // year, month, day of week (0 = Sunday), day, hour, minute, second, ms
};

// Both directions over the edges of the Mac range and of a signed 32-bit Unix time.
const std::vector<MacDateCase> kMacDates = {
    {"first second after the Mac epoch", 1, {1904, 1, 5, 1, 0, 0, 1, 0}},
    {"leap day 1904", 59 * 86400, {1904, 2, 1, 29, 0, 0, 0, 0}},
    {"Unix epoch", 2082844800u, {1970, 1, 4, 1, 0, 0, 0, 0}},
    {"last second of signed 32-bit Unix time", 2082844800u + 2147483647u, {2038, 1, 2, 19, 3, 14, 7, 0}},
    {"first second after it", 2082844800u + 2147483648u, {2038, 1, 2, 19, 3, 14, 8, 0}},
    {"leap day 2000", 3034627200u, {2000, 2, 2, 29, 0, 0, 0, 0}},
    {"new year 2040", 4291833600u, {2040, 1, 0, 1, 0, 0, 0, 0}},
    {"last Mac second", 0xFFFFFFFFu, {2040, 2, 1, 6, 6, 28, 15, 0}},
};

TEST(MacSecondsToSystemTime, CalendarFieldsAcrossEpochsAnd2038) {
    for (const auto& c : kMacDates) {
        SCOPED_TRACE(c.what);
        SYSTEMTIME st{};
        MacSecondsToSystemTime(c.mac, &st);
        EXPECT_EQ(st.wYear, c.st.wYear);
        EXPECT_EQ(st.wMonth, c.st.wMonth);
        EXPECT_EQ(st.wDay, c.st.wDay);
        EXPECT_EQ(st.wHour, c.st.wHour);
        EXPECT_EQ(st.wMinute, c.st.wMinute);
        EXPECT_EQ(st.wSecond, c.st.wSecond);
        EXPECT_EQ(st.wDayOfWeek, c.st.wDayOfWeek);
        EXPECT_EQ(st.wMilliseconds, 0);
    }
}

TEST(DateTimeToMacSeconds, GivesBackTheSecondsAndStoresThem) {
    for (const auto& c : kMacDates) {
        SCOPED_TRACE(c.what);
        UInt32 out = 12345;
        EXPECT_EQ(DateTimeToMacSeconds(&c.st, &out), c.mac);
        EXPECT_EQ(out, c.mac);
        SYSTEMTIME st{};
        MacSecondsToSystemTime(c.mac, &st);
        EXPECT_EQ(DateTimeToMacSeconds(&st, nullptr), c.mac);
    }
}

TEST(DateTimeToMacSeconds, IgnoresDayOfWeekAndMilliseconds) {
    SYSTEMTIME st{1970, 1, 6, 1, 0, 0, 0, 999};
    EXPECT_EQ(DateTimeToMacSeconds(&st, nullptr), 2082844800u);
}

TEST(DateTimeToMacSeconds, OutOfRangeAndInvalidDates) {
    struct Case {
        const char* what;
        SYSTEMTIME st;
        UInt32 expected;
    };
    const std::vector<Case> cases = {
        {"last second of 1903 cannot be held", {1903, 12, 4, 31, 23, 59, 59, 0}, 0},
        {"after the last Mac second", {2040, 2, 1, 6, 6, 28, 16, 0}, 0xFFFFFFFFu},
        {"year 2100", {2100, 1, 5, 1, 0, 0, 0, 0}, 0xFFFFFFFFu},
        {"month 13", {2004, 13, 0, 1, 0, 0, 0, 0}, 0},
        {"month 0", {2004, 0, 0, 1, 0, 0, 0, 0}, 0},
        {"day 0", {2004, 1, 0, 0, 0, 0, 0, 0}, 0},
        {"30 February", {2004, 2, 0, 30, 0, 0, 0, 0}, 0},
        {"29 February of a common year", {2003, 2, 0, 29, 0, 0, 0, 0}, 0},
        {"hour 24", {2004, 1, 0, 1, 24, 0, 0, 0}, 0},
        {"second 60", {2004, 1, 0, 1, 0, 0, 60, 0}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        UInt32 out = 777;
        EXPECT_EQ(DateTimeToMacSeconds(&c.st, &out), c.expected);
        EXPECT_EQ(out, c.expected);
    }
    EXPECT_EQ(DateTimeToMacSeconds(nullptr, nullptr), 0u);
}

TEST(MacSecondsToSystemTime, ZeroMeansNow) {
    SYSTEMTIME before{}, st{}, after{};
    GetLocalTime(&before);
    MacSecondsToSystemTime(0, &st);
    GetLocalTime(&after);
    const UInt32 b = DateTimeToMacSeconds(&before, nullptr);
    const UInt32 s = DateTimeToMacSeconds(&st, nullptr);
    const UInt32 a = DateTimeToMacSeconds(&after, nullptr);
    EXPECT_LE(b, s);
    EXPECT_LE(s, a);
    EXPECT_GE(st.wYear, 2024);
}

TEST(DateFromCatalogDate, FillsTheLongDateRecord) {
    LongDateRec r;
    std::memset(&r, 0x5A, sizeof r);
    // 2004-12-31 23:59:30 was a Friday.
    SYSTEMTIME st{2004, 12, 5, 31, 23, 59, 30, 0};
    DateFromCatalogDate(&r, DateTimeToMacSeconds(&st, nullptr));
    EXPECT_EQ(r.era, 0);
    EXPECT_EQ(r.year, 2004);
    EXPECT_EQ(r.month, 12);
    EXPECT_EQ(r.day, 31);
    EXPECT_EQ(r.hour, 23);
    EXPECT_EQ(r.minute, 59);
    EXPECT_EQ(r.second, 30);
    EXPECT_EQ(r.dayOfWeek, 6);  // 1 = Sunday
    EXPECT_EQ(r.dayOfYear, 0);
    EXPECT_EQ(r.weekOfYear, 0);
    EXPECT_EQ(r.pm, 0);
    EXPECT_EQ(r.ldReserved1 | r.ldReserved2 | r.ldReserved3, 0);

    DateFromCatalogDate(&r, 0xFFFFFFFFu);
    EXPECT_EQ(r.year, 2040);
    EXPECT_EQ(r.dayOfWeek, 2);  // Monday
}

// Sets TZ for the length of a scope and puts the old value back.
class ScopedZone {
public:
    explicit ScopedZone(const char* tz) {
        const char* old = std::getenv("TZ");
        had_ = old != nullptr;
        if (had_) old_ = old;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ScopedZone() {
        if (had_)
            setenv("TZ", old_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
        TimeZoneOffset(true);
    }

private:
    bool had_ = false;
    std::string old_;
};

TEST(TimeZoneOffset, FollowsTheZoneOnlyWhenRefreshed) {
    ScopedZone utc("UTC0");
    EXPECT_EQ(TimeZoneOffset(true), 0);
    {
        ScopedZone east("XST-2");  // two hours ahead of UTC, no daylight time
        EXPECT_EQ(TimeZoneOffset(false), 0) << "the remembered value until asked to refresh";
        EXPECT_EQ(TimeZoneOffset(true), 7200);
        EXPECT_EQ(TimeZoneOffset(false), 7200);
    }
    {
        ScopedZone west("YST5");  // five hours behind
        EXPECT_EQ(TimeZoneOffset(true), -18000);
    }
}

TEST(CurrentUtcMacSeconds, IsUtcWhateverTheZone) {
    ScopedZone east("XST-3");
    TimeZoneOffset(true);
    const std::int64_t expected = std::int64_t(std::time(nullptr)) + 2082844800;
    const std::int64_t got = CurrentUtcMacSeconds();
    EXPECT_LE(expected - 2, got);
    EXPECT_LE(got, expected + 2);
    UInt32 local = 0;
    GetDateTime(&local);
    EXPECT_NEAR(double(local) - double(got), 10800.0, 2.0);
}

}  // namespace
