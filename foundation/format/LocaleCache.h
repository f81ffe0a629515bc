// The cached locale behind the formatting helpers (not for callers outside foundation/format).
// One immutable snapshot per locale: readers keep the snapshot they took, so a test that
// switches locales never pulls one out from under a formatter running elsewhere.
#pragma once

#include <array>
#include <locale.h>
#include <memory>
#include <string>

struct FormatLocaleData {
    FormatLocaleData() = default;
    FormatLocaleData(const FormatLocaleData&) = delete;
    FormatLocaleData& operator=(const FormatLocaleData&) = delete;
    ~FormatLocaleData();

    // The locale the texts and formats come from; the "C" locale when the wanted one could
    // not be had (then `loaded` is false and the four values below keep their defaults).
    locale_t locale = nullptr;
    bool loaded = false;

    bool twelveHour = true;
    unsigned char decimal = '.';    // Windows-1252
    unsigned char thousands = ',';  // Windows-1252
    bool dayLeadingZero = true;

    // strftime formats and names, UTF-8 as the C library gives them; a name is empty when
    // the locale has none.
    std::string dateFormat;      // short date
    std::string timeFormat;      // time with seconds
    std::string timeFormatAmPm;  // 12-hour time with seconds
    std::array<std::string, 12> monthNames;          // stand-alone ("January")
    std::array<std::string, 12> monthNamesInDates;   // as dates write them (genitive in some languages)
    std::array<std::string, 12> monthAbbreviations;
    std::array<std::string, 7> dayNames;  // Sunday first
    std::array<std::string, 7> dayAbbreviations;
    std::string amText, pmText;

    // Order of day, month and year in the short date: three of 'D', 'M', 'Y'.
    std::array<char, 3> dateOrder{'M', 'D', 'Y'};
};

// The snapshot in force, read from the user's locale on first use.
std::shared_ptr<const FormatLocaleData> CurrentFormatLocale();
