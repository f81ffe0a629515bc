#include "foundation/format/LocaleFormats.h"

#include "foundation/format/LocaleCache.h"
#include "foundation/format/LocaleText.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/PString.h"

#include <langinfo.h>
#include <mutex>
#include <string_view>

FormatLocaleData::~FormatLocaleData() {
    if (locale) freelocale(locale);
}

namespace {

std::string Query(locale_t loc, nl_item item) {
    const char* s = nl_langinfo_l(item, loc);
    return s ? std::string(s) : std::string();
}

// Calls fn(conversion, flags) for each conversion of a strftime format, %% skipped. The
// E and O modifiers and the GNU flags and widths are passed over and reported as flags.
template <class Fn>
void ForEachConversion(std::string_view fmt, Fn fn) {
    for (size_t i = 0; i < fmt.size(); ++i) {
        if (fmt[i] != '%') continue;
        std::string flags;
        size_t j = i + 1;
        while (j < fmt.size() && std::string_view("_-0^#EO123456789").find(fmt[j]) != std::string_view::npos)
            flags += fmt[j++];
        if (j >= fmt.size()) return;
        if (fmt[j] != '%') fn(fmt[j], flags);
        i = j;
    }
}

// A 12-hour time format uses %I, %l or %r; a 24-hour one %H, %k, %T or %R. Anything else
// leaves the question open.
void ReadClock(FormatLocaleData& d) {
    int answer = -1;
    ForEachConversion(d.timeFormat, [&](char c, const std::string&) {
        if (answer >= 0) return;
        if (c == 'I' || c == 'l' || c == 'r') answer = 1;
        if (c == 'H' || c == 'k' || c == 'T' || c == 'R') answer = 0;
    });
    if (answer >= 0) d.twelveHour = answer == 1;
}

// Day leading zero and the order of day, month and year, from the short date format.
void ReadDateFormat(FormatLocaleData& d) {
    std::string order;
    int leadingZero = -1;
    auto add = [&order](char part) {
        if (order.find(part) == std::string::npos) order += part;
    };
    ForEachConversion(d.dateFormat, [&](char c, const std::string& flags) {
        switch (c) {
        case 'd':
            if (leadingZero < 0) leadingZero = flags.find('-') == std::string::npos;
            add('D');
            break;
        case 'e':
            if (leadingZero < 0) leadingZero = 0;
            add('D');
            break;
        case 'm': case 'b': case 'B': case 'h':
            add('M');
            break;
        case 'y': case 'Y': case 'C':
            add('Y');
            break;
        case 'D':  // %m/%d/%y
            if (leadingZero < 0) leadingZero = 1;
            add('M'), add('D'), add('Y');
            break;
        case 'F':  // %Y-%m-%d
            if (leadingZero < 0) leadingZero = 1;
            add('Y'), add('M'), add('D');
            break;
        default:
            break;
        }
    });
    if (leadingZero >= 0) d.dayLeadingZero = leadingZero == 1;
    if (order.size() == 3) d.dateOrder = {order[0], order[1], order[2]};
}

// First byte of a separator in Windows-1252. The thin and narrow no-break spaces that several
// locales group digits with have no place in the code page: they become a no-break space.
bool SeparatorByte(const std::string& utf8, unsigned char* out) {
    if (utf8.empty()) return false;
    if (utf8 == "\u202F" || utf8 == "\u2009") {
        *out = 0xA0;
        return true;
    }
    const std::string ansi = LocaleTextToAnsi(utf8);
    if (ansi.empty()) return false;
    *out = static_cast<unsigned char>(ansi[0]);
    return true;
}

std::shared_ptr<FormatLocaleData> Load(const char* name) {
    auto d = std::make_shared<FormatLocaleData>();
    d->locale = newlocale(LC_ALL_MASK, name ? name : "", static_cast<locale_t>(nullptr));
    d->loaded = d->locale != nullptr;
    if (!d->locale) d->locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (!d->locale) return d;  // out of memory: defaults and empty texts

    locale_t loc = d->locale;
    d->dateFormat = Query(loc, D_FMT);
    d->timeFormat = Query(loc, T_FMT);
    d->timeFormatAmPm = Query(loc, T_FMT_AMPM);
    ReadDateFormat(*d);
    if (!d->loaded) {
        // Every query failed: the four values keep their defaults and the names come from
        // the string lists; the C locale's formats still give dates a shape.
        d->dayLeadingZero = true;
        return d;
    }
    for (int i = 0; i < 12; ++i) {
        // The stand-alone form where the locale has one: MON_n is the genitive in some
        // languages ("of January"), which reads wrong on its own.
        d->monthNamesInDates[i] = Query(loc, nl_item(MON_1 + i));
#ifdef ALTMON_1
        d->monthNames[i] = Query(loc, nl_item(ALTMON_1 + i));
        if (d->monthNames[i].empty()) d->monthNames[i] = d->monthNamesInDates[i];
#else
        d->monthNames[i] = d->monthNamesInDates[i];
#endif
        d->monthAbbreviations[i] = Query(loc, nl_item(ABMON_1 + i));
    }
    for (int i = 0; i < 7; ++i) {
        d->dayNames[i] = Query(loc, nl_item(DAY_1 + i));
        d->dayAbbreviations[i] = Query(loc, nl_item(ABDAY_1 + i));
    }
    d->amText = Query(loc, AM_STR);
    d->pmText = Query(loc, PM_STR);
    ReadClock(*d);
    SeparatorByte(Query(loc, RADIXCHAR), &d->decimal);
    SeparatorByte(Query(loc, THOUSEP), &d->thousands);
    return d;
}

std::mutex gLocaleMutex;
std::shared_ptr<const FormatLocaleData> gLocale;

}  // namespace

std::shared_ptr<const FormatLocaleData> CurrentFormatLocale() {
    std::lock_guard<std::mutex> lock(gLocaleMutex);
    if (!gLocale) gLocale = Load(nullptr);
    return gLocale;
}

bool SetFormatLocale(const char* localeName) {
    auto d = Load(localeName && *localeName ? localeName : nullptr);
    const bool ok = d->loaded;
    std::lock_guard<std::mutex> lock(gLocaleMutex);
    gLocale = std::move(d);
    return ok;
}

Boolean IsTwelveHourClock() { return CurrentFormatLocale()->twelveHour; }

Boolean UsesDayLeadingZero() { return CurrentFormatLocale()->dayLeadingZero; }

void LocaleSeparators(char* decimal, char* thousands) {
    auto d = CurrentFormatLocale();
    if (decimal) *decimal = static_cast<char>(d->decimal);
    if (thousands) *thousands = static_cast<char>(d->thousands);
}

void GetMonthName(short month, StringPtr out) {
    if (month < 1 || month > 12) return;
    auto d = CurrentFormatLocale();
    const std::string& name = d->monthNames[month - 1];
    if (name.empty())
        LoadIndexedString(out, kMonthNameList, month);
    else
        LocaleTextToPStr(name, out);
}

void GetDayName(short day, StringPtr out) {
    if (day < 1 || day > 7) return;
    auto d = CurrentFormatLocale();
    const std::string& name = d->dayNames[day - 1];
    if (name.empty())
        LoadIndexedString(out, kDayNameList, day);
    else
        LocaleTextToPStr(name, out);
}
