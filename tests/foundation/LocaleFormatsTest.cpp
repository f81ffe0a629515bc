#include "FormatTestSupport.h"

#include "foundation/format/LocaleFormats.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct LocaleCase {
    const char* locale;
    bool twelveHour;
    bool dayLeadingZero;
    char decimal;
    char thousands;
    std::string march;   // Windows-1252
    std::string sunday;  // day 1
    std::string saturday;
};

class LocaleHelpers : public FormatLocaleTest {};

TEST_F(LocaleHelpers, ValuesAndNamesFollowTheLocale) {
    const std::vector<LocaleCase> cases = {
        // The C locale has no thousands separator: the default "," stays.
        {"C.UTF-8", false, true, '.', ',', "March", "Sunday", "Saturday"},
        {"de_DE.UTF-8", false, true, ',', '.', "M\xE4rz", "Sonntag", "Samstag"},
        {"en_US.UTF-8", true, true, '.', ',', "March", "Sunday", "Saturday"},
        // Digits grouped with a narrow no-break space, which Windows-1252 lacks.
        {"fr_FR.UTF-8", false, true, ',', '\xA0', "mars", "dimanche", "samedi"},
        {"hi_IN.UTF-8", true, false, '.', ',', "?????", "??????", "??????"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        if (!SetFormatLocale(c.locale)) {
            ADD_FAILURE() << "locale " << c.locale
                          << " is not installed (scripts/install-deps brings locales-all)";
            continue;
        }
        EXPECT_EQ(bool(IsTwelveHourClock()), c.twelveHour);
        EXPECT_EQ(bool(UsesDayLeadingZero()), c.dayLeadingZero);
        char decimal = 0, thousands = 0;
        LocaleSeparators(&decimal, &thousands);
        EXPECT_EQ(decimal, c.decimal);
        EXPECT_EQ(thousands, c.thousands);
        LocaleSeparators(nullptr, &thousands);
        LocaleSeparators(&decimal, nullptr);
        Str255 name;
        GetMonthName(3, name);
        EXPECT_EQ(PText(name), c.march);
        GetDayName(1, name);
        EXPECT_EQ(PText(name), c.sunday);
        GetDayName(7, name);
        EXPECT_EQ(PText(name), c.saturday);
    }
}

TEST_F(LocaleHelpers, MonthNamesAreTheStandAloneForm) {
    // Catalan writes "de gener" (of January) inside a date and "gener" on its own.
    USE_LOCALE_OR_SKIP("ca_ES.UTF-8");
    Str255 name;
    GetMonthName(1, name);
    EXPECT_EQ(PText(name), "gener");
    GetMonthName(5, name);
    EXPECT_EQ(PText(name), "maig");
}

TEST_F(LocaleHelpers, OutOfRangeNumbersLeaveTheOutputAlone) {
    Str255 name;
    for (short bad : {short(0), short(13), short(-1)}) {
        SetPText(name, "keep");
        GetMonthName(bad, name);
        EXPECT_EQ(PText(name), "keep");
    }
    for (short bad : {short(0), short(8)}) {
        SetPText(name, "keep");
        GetDayName(bad, name);
        EXPECT_EQ(PText(name), "keep");
    }
    GetMonthName(12, name);
    EXPECT_EQ(PText(name), "December");
}

TEST_F(LocaleHelpers, MissingLocaleKeepsDefaultsAndUsesTheStringLists) {
    EXPECT_FALSE(SetFormatLocale("xx_YY.UTF-8"));
    EXPECT_TRUE(IsTwelveHourClock());
    EXPECT_TRUE(UsesDayLeadingZero());
    char decimal = 0, thousands = 0;
    LocaleSeparators(&decimal, &thousands);
    EXPECT_EQ(decimal, '.');
    EXPECT_EQ(thousands, ',');
    Str255 name;
    GetMonthName(1, name);
    EXPECT_EQ(PText(name), "January");
    GetDayName(1, name);
    EXPECT_EQ(PText(name), "Sunday");
    GetDayName(4, name);
    EXPECT_EQ(PText(name), "Wednesday");
}

TEST_F(LocaleHelpers, NoNameMeansTheEnvironmentsLocale) {
    const char* old = std::getenv("LC_ALL");
    const std::string saved = old ? old : "";
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    const bool german = SetFormatLocale(nullptr);
    char decimal = 0;
    LocaleSeparators(&decimal, nullptr);
    setenv("LC_ALL", "C.UTF-8", 1);
    const bool plain = SetFormatLocale("");
    char plainDecimal = 0;
    LocaleSeparators(&plainDecimal, nullptr);
    if (old)
        setenv("LC_ALL", saved.c_str(), 1);
    else
        unsetenv("LC_ALL");
    if (!german) GTEST_SKIP() << "de_DE.UTF-8 is not installed (scripts/install-deps brings locales-all)";
    EXPECT_EQ(decimal, ',');
    EXPECT_TRUE(plain);
    EXPECT_EQ(plainDecimal, '.');
}

}  // namespace
