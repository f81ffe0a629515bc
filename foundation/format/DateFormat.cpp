#include "foundation/format/DateFormat.h"

#include "foundation/format/DateConvert.h"
#include "foundation/format/LocaleCache.h"
#include "foundation/format/LocaleText.h"
#include "platform/MacDates.h"

#include <cctype>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Longest short date the interface makes room for, as the platform's date formatter had it.
constexpr size_t kMaxDateChars = 119;

std::tm TmFromMacSeconds(UInt32 seconds) {
    SYSTEMTIME st;
    MacSecondsToSystemTime(seconds, &st);
    std::tm tm{};
    tm.tm_year = st.wYear - 1900;
    tm.tm_mon = st.wMonth - 1;
    tm.tm_mday = st.wDay;
    tm.tm_hour = st.wHour;
    tm.tm_min = st.wMinute;
    tm.tm_sec = st.wSecond;
    tm.tm_wday = st.wDayOfWeek;
    tm.tm_yday = int(DaysFromCivil(st.wYear, st.wMonth, st.wDay) - DaysFromCivil(st.wYear, 1, 1));
    tm.tm_isdst = -1;
    return tm;
}

// strftime into at most maxChars bytes; empty when the result would be longer.
std::string Strftime(const std::string& fmt, const std::tm& tm, locale_t loc, size_t maxChars) {
    if (fmt.empty() || !loc) return {};
    std::string buf(maxChars + 1, '\0');
    const size_t n = strftime_l(buf.data(), buf.size(), fmt.c_str(), &tm, loc);
    buf.resize(n);
    return buf;
}

struct FormatPiece {
    bool conversion;
    char letter;  // the conversion's letter
    std::string text;
};

// A strftime format cut into literal runs and conversions (with their flags and modifiers).
std::vector<FormatPiece> SplitFormat(std::string_view fmt) {
    std::vector<FormatPiece> pieces;
    for (size_t i = 0; i < fmt.size();) {
        if (fmt[i] != '%') {
            if (pieces.empty() || pieces.back().conversion) pieces.push_back({false, 0, {}});
            pieces.back().text += fmt[i++];
            continue;
        }
        size_t j = i + 1;
        while (j < fmt.size() && std::string_view("_-0^#EO123456789").find(fmt[j]) != std::string_view::npos)
            ++j;
        const size_t end = j < fmt.size() ? j + 1 : fmt.size();
        pieces.push_back({true, j < fmt.size() ? fmt[j] : char(0), std::string(fmt.substr(i, end - i))});
        i = end;
    }
    return pieces;
}

bool IsSeparatorText(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80 || std::isalnum(c)) return false;
    return true;
}

// The time format without its seconds: the seconds conversion goes together with the
// separator in front of it ("%H:%M:%S" -> "%H:%M", "%I:%M:%S %p" -> "%I:%M %p"), or, in
// languages that write a unit after each number, together with the unit after it.

// The time format with its shorthands spelled out, so that its parts can be seen.
std::string ExpandTimeShorthands(const std::string& fmt, const FormatLocaleData& d) {
    std::string expanded;
    for (const auto& p : SplitFormat(fmt)) {
        if (p.conversion && p.letter == 'T')
            expanded += "%H:%M:%S";
        else if (p.conversion && p.letter == 'R')
            expanded += "%H:%M";
        else if (p.conversion && p.letter == 'r')
            expanded += d.timeFormatAmPm.empty() ? std::string("%I:%M:%S %p") : d.timeFormatAmPm;
        else
            expanded += p.text;
    }
    return expanded;
}

// A Mac date carries no time zone, so a zone name or offset in the locale's time format
// (some locales end it with %Z) would only name the zone of the moment of showing. It goes,
// with the blank before it.
std::string WithoutZone(const std::string& fmt) {
    std::vector<FormatPiece> pieces = SplitFormat(fmt);
    for (size_t k = 0; k < pieces.size();) {
        if (!pieces[k].conversion || (pieces[k].letter != 'Z' && pieces[k].letter != 'z')) {
            ++k;
            continue;
        }
        pieces.erase(pieces.begin() + long(k));
        if (k > 0 && !pieces[k - 1].conversion) {
            std::string& lead = pieces[k - 1].text;
            while (!lead.empty() && lead.back() == ' ') lead.pop_back();
        }
    }
    std::string result;
    for (const auto& p : pieces) result += p.text;
    return result;
}

std::string WithoutSeconds(const std::string& fmt) {
    std::vector<FormatPiece> pieces = SplitFormat(fmt);
    for (size_t k = 0; k < pieces.size();) {
        if (!pieces[k].conversion || pieces[k].letter != 'S') {
            ++k;
            continue;
        }
        const bool leadIsSeparator = k > 0 && !pieces[k - 1].conversion && IsSeparatorText(pieces[k - 1].text);
        const bool trailIsUnit = k + 1 < pieces.size() && !pieces[k + 1].conversion &&
                                 !IsSeparatorText(pieces[k + 1].text);
        if (leadIsSeparator) {
            pieces.erase(pieces.begin() + long(k) - 1, pieces.begin() + long(k) + 1);
            --k;
        } else if (trailIsUnit) {
            pieces.erase(pieces.begin() + long(k), pieces.begin() + long(k) + 2);
        } else {
            pieces.erase(pieces.begin() + long(k));
        }
    }
    std::string result;
    for (const auto& p : pieces) result += p.text;
    return result;
}

}  // namespace

void FormatDateTime(StringPtr out, UInt32 seconds, Boolean withDate, Boolean withTime,
                    Boolean withSeconds) {
    auto d = CurrentFormatLocale();
    const std::tm tm = TmFromMacSeconds(seconds);
    std::string text;
    if (withDate) text = Strftime(d->dateFormat, tm, d->locale, kMaxDateChars);
    if (withTime) {
        std::string fmt = ExpandTimeShorthands(d->timeFormat, *d);
        if (!withSeconds) fmt = WithoutSeconds(fmt);
        fmt = WithoutZone(fmt);
        text += ' ';
        text += Strftime(fmt, tm, d->locale, 255);
    }
    LocaleTextToPStr(text, out);
}
