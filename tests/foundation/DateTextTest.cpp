#include "FormatTestSupport.h"

#include "foundation/format/DateConvert.h"
#include "foundation/format/DateFormat.h"
#include "foundation/format/DateParse.h"

#include <string>
#include <vector>

namespace {

constexpr UInt32 kNewYearsEve2004 = 3187382398u;  // 2004-12-31 23:59:58
constexpr UInt32 kMarch2005 = 3193031103u;        // 2005-03-07 09:05:03
constexpr UInt32 kLastMacSecond = 0xFFFFFFFFu;    // 2040-02-06 06:28:15

class DateText : public FormatLocaleTest {};

struct FormatCase {
    const char* locale;
    UInt32 seconds;
    bool date, time, withSeconds;
    std::string text;
};

TEST_F(DateText, FormatDateTimeByLocale) {
    const std::vector<FormatCase> cases = {
        {"C.UTF-8", kNewYearsEve2004, true, true, true, "12/31/04 23:59:58"},
        {"C.UTF-8", kNewYearsEve2004, true, true, false, "12/31/04 23:59"},
        {"C.UTF-8", kNewYearsEve2004, true, false, true, "12/31/04"},
        {"C.UTF-8", kNewYearsEve2004, false, true, true, " 23:59:58"},  // the blank stays
        {"C.UTF-8", kNewYearsEve2004, false, false, false, ""},
        {"C.UTF-8", kLastMacSecond, true, true, true, "02/06/40 06:28:15"},
        {"de_DE.UTF-8", kNewYearsEve2004, true, true, true, "31.12.2004 23:59:58"},
        {"de_DE.UTF-8", kNewYearsEve2004, true, true, false, "31.12.2004 23:59"},
        {"de_DE.UTF-8", kMarch2005, true, true, false, "07.03.2005 09:05"},
        {"de_DE.UTF-8", kLastMacSecond, true, false, false, "06.02.2040"},
        {"en_US.UTF-8", kNewYearsEve2004, true, true, true, "12/31/2004 11:59:58 PM"},
        {"en_US.UTF-8", kMarch2005, true, true, false, "03/07/2005 09:05 AM"},
        {"fi_FI.UTF-8", kMarch2005, true, true, false, "07.03.2005 09.05"},
        {"hi_IN.UTF-8", kMarch2005, true, false, false, "7/3/05"},
        // The locale's time format ends with a zone name; a Mac date has none.
        {"en_IN.UTF-8", kMarch2005, false, true, true, " 09:05:03 AM"},
        {"en_IN.UTF-8", kMarch2005, false, true, false, " 09:05 AM"},
        {"sv_SE.UTF-8", kMarch2005, true, true, true, "2005-03-07 09:05:03"},
    };
    Str255 out;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.locale << " " << c.seconds << " " << c.date << c.time
                                        << c.withSeconds);
        if (!SetFormatLocale(c.locale)) {
            ADD_FAILURE() << "locale " << c.locale << " is not installed (scripts/install-deps brings locales-all)";
            continue;
        }
        FormatDateTime(out, c.seconds, c.date, c.time, c.withSeconds);
        EXPECT_EQ(PText(out), c.text);
    }
}

TEST_F(DateText, FormatDateTimeOfZeroIsNow) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    Str255 out;
    FormatDateTime(out, 0, true, false, false);
    char expected[16];
    std::snprintf(expected, sizeof expected, "%02d/%02d/%02d", now.wMonth, now.wDay, now.wYear % 100);
    EXPECT_EQ(PText(out), expected);
}

TEST_F(DateText, DayAndMonthNamesComeOutInWindows1252) {
    USE_LOCALE_OR_SKIP("de_DE.UTF-8");
    Str255 out;
    GetMonthName(3, out);
    EXPECT_EQ(PText(out), "M\xE4rz");
}

TEST(ParseYYYYMMDD, EightDigits) {
    const std::vector<std::pair<const char*, UInt32>> cases = {
        {"20041231", 3187296000u},
        {"19040101", 0},            // the first Mac day is second 0
        {"19700101", 2082844800u},
        {"20400206", 4294944000u},
        {"00001231", 0},            // no year
        {"20041331", 0},            // month 13
        {"20040230", 0},            // 30 February
        {"20040229", 3160857600u},
        {"2004123", 0},             // too short
        {"2004-12-", 0},
        {"18991231", 0},            // before the Mac epoch
    };
    for (const auto& [text, seconds] : cases) EXPECT_EQ(ParseYYYYMMDD(text), seconds) << text;
    EXPECT_EQ(ParseYYYYMMDD(nullptr), 0u);
}

TEST(ParseDateTimeText, MetadataDates) {
    const std::vector<std::pair<const char*, UInt32>> cases = {
        {"2004:12:31 23:59:58", kNewYearsEve2004},
        {"2004-12-31T23:59:58", 3187296000u},  // the T stops the reading: midnight
        {"2004/12/31 23:59:58", kNewYearsEve2004},
        {"2004:12:31", 3187296000u},        // no time: midnight
        {"2004:12:31 23", 3187378800u},
        {"2040:02:06 06:28:15", kLastMacSecond},
        {"2038:01:19 03:14:08", 2082844800u + 2147483648u},
        {"0000:00:00 00:00:00", 0},         // what cameras write for no date
        {"", 0},
        {"    ", 0},
        {"date", 0},
        {"2004", 0},                        // a year alone is no day
        {"2004:13:01 00:00:00", 0},
        {"2004:12:31 24:00:00", 0},
        {"-5:12:31", 0},
        {"99999999999:1:1", 0},
    };
    for (const auto& [text, seconds] : cases) EXPECT_EQ(ParseDateTimeText(text), seconds) << text;
    EXPECT_EQ(ParseDateTimeText(nullptr), 0u);
}

struct ParseCase {
    std::string text;  // Windows-1252
    bool ok;
    const char* normalized;
};

void ExpectParses(const std::vector<ParseCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Str255 in, out;
        SetPText(in, c.text);
        SetPText(out, "untouched");
        EXPECT_EQ(bool(ParseDateText(in, out)), c.ok);
        EXPECT_EQ(PText(out), c.ok ? c.normalized : "untouched");
        EXPECT_EQ(bool(ParseDateText(in, nullptr)), c.ok);
    }
}

TEST_F(DateText, ParseDateTextYearRange) {
    ExpectParses({
        {"2004-12-31", true, "20041231"},
        {"1903-12-31", false, nullptr},
        {"1904-01-01", true, "19040101"},
        {"2040-12-31", true, "20401231"},  // the year counts, not the last Mac second
        {"2041-01-01", false, nullptr},
        {"12/31/1903", false, nullptr},
        {"01/01/1904", true, "19040101"},
        {"06/30/2040", true, "20400630"},
        {"01/01/2041", false, nullptr},
    });
}

TEST_F(DateText, ParseDateTextInTheCLocale) {
    // Month, day, year, as the C locale's short date has them.
    ExpectParses({
        {"12/31/04", true, "20041231"},
        {"12/31/2004", true, "20041231"},
        {" 3/7/05 ", true, "20050307"},
        {"12-31-2004", true, "20041231"},
        {"12/31/29", true, "20291231"},   // two-digit years: 00..29 this century
        {"12/31/30", true, "19301231"},   // 30..99 the last
        {"31/12/2004", false, nullptr},   // month 31
        {"2/30/2004", false, nullptr},
        {"2/29/2004", true, "20040229"},
        {"2/29/2003", false, nullptr},
        {"20041231", true, "20041231"},   // the normal form comes back in
        {"December 31, 2004", true, "20041231"},
        {"31 December 2004", true, "20041231"},
        {"Dec 31 2004", true, "20041231"},
        {"dec. 31, 2004", true, "20041231"},
        {"Friday, December 31, 2004", true, "20041231"},
        {"12/31/2004 11:59 PM", true, "20041231"},
        {"12/31/2004 23:59:58", true, "20041231"},
        {"2004-12-31T23:59:58", true, "20041231"},
        {"12/31/2004 25:00", false, nullptr},
        {"12/31", false, nullptr},
        {"", false, nullptr},
        {"tomorrow", false, nullptr},
        {"12/31/2004 x", false, nullptr},
        {"12/31/2004/5", false, nullptr},
        {"12#31#2004", false, nullptr},
        {"Smarch 31 2004", false, nullptr},
        {"December 2004", false, nullptr},
        {"12345678901/1/1", false, nullptr},
    });
}

TEST_F(DateText, ParseDateTextInACommaLocale) {
    USE_LOCALE_OR_SKIP("de_DE.UTF-8");
    // Day, month, year; ISO dates as everywhere; German month names.
    ExpectParses({
        {"31.12.2004", true, "20041231"},
        {"7.3.05", true, "20050307"},
        {"12/31/2004", false, nullptr},  // month 31 in this order
        {"2004-12-31", true, "20041231"},
        {"31. Dezember 2004", true, "20041231"},
        {"7. M\xE4rz 2005", true, "20050307"},
        {"7. m\xC4rz 2005", true, "20050307"},  // letter case does not matter
        {"Montag, 7. M\xE4rz 2005", true, "20050307"},
        {"31.12.2004 23:59", true, "20041231"},
        {"31.12.1903", false, nullptr},
        {"31.12.2040", true, "20401231"},
        {"01.01.2041", false, nullptr},
    });
}

TEST_F(DateText, ParseDateTextFollowsTheLocaleOrder) {
    USE_LOCALE_OR_SKIP("sv_SE.UTF-8");
    ExpectParses({
        {"2005-03-07", true, "20050307"},
        {"05-03-07", true, "20050307"},  // year, month, day even with two digits
    });
    USE_LOCALE_OR_SKIP("en_GB.UTF-8");
    ExpectParses({
        {"07/03/05", true, "20050307"},
        {"7 March 2005", true, "20050307"},
        {"March 7, 2005", true, "20050307"},
    });
}

}  // namespace
