#include "foundation/format/DateParse.h"

#include "foundation/format/DateConvert.h"
#include "foundation/format/LocaleCache.h"
#include "foundation/format/LocaleFormats.h"
#include "foundation/format/LocaleText.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/CodePages.h"
#include "foundation/text/PString.h"
#include "platform/MacDates.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Years a typed date may have: the span of Mac dates, whole years only.
constexpr long kFirstYear = 1904;
constexpr long kLastYear = 2040;

bool ValidDate(long year, long month, long day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    const std::int64_t first = DaysFromCivil(year, unsigned(month), 1);
    const std::int64_t next =
        month == 12 ? DaysFromCivil(year + 1, 1, 1) : DaysFromCivil(year, unsigned(month + 1), 1);
    return day <= next - first;
}

UInt32 MacSecondsOf(long year, long month, long day, long hour, long minute, long second) {
    auto fits = [](long v, long lo, long hi) { return v >= lo && v <= hi; };
    if (!fits(year, 0, 0xFFFF) || !fits(month, 0, 0xFFFF) || !fits(day, 0, 0xFFFF) ||
        !fits(hour, 0, 0xFFFF) || !fits(minute, 0, 0xFFFF) || !fits(second, 0, 0xFFFF))
        return 0;
    SYSTEMTIME st{std::uint16_t(year),   std::uint16_t(month),  0, std::uint16_t(day),
                  std::uint16_t(hour),   std::uint16_t(minute), std::uint16_t(second), 0};
    return DateTimeToMacSeconds(&st, nullptr);
}

// ---- the typed-date parser ----

struct Token {
    enum Kind { Number, Word, Colon };
    explicit Token(Kind k) : kind(k) {}
    Kind kind;
    long value = 0;     // Number
    int digits = 0;     // Number
    std::string upper;  // Word, upper-cased Windows-1252
};

bool IsLetter(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    // The letters of Windows-1252 above ASCII: the accented Latin-1 range and the few in 0x8A..0x9F.
    if (c >= 0xC0 && c != 0xD7 && c != 0xF7) return true;
    return c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F ||
           c == 0xAA || c == 0xBA || c == 0xB5;
}

bool IsSeparator(unsigned char c) {
    return c == ' ' || c == '\t' || c == '/' || c == '-' || c == '.' || c == ',' || c == 0xA0;
}

std::string Upper(std::string s) {
    UpperCaseBuffer(s.data(), long(s.size()));
    return s;
}

bool Tokenize(const unsigned char* p, size_t n, std::vector<Token>* tokens) {
    for (size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c >= '0' && c <= '9') {
            Token t(Token::Number);
            while (i < n && p[i] >= '0' && p[i] <= '9') {
                if (++t.digits > 9) return false;
                t.value = t.value * 10 + (p[i++] - '0');
            }
            tokens->push_back(t);
        } else if (IsLetter(c)) {
            Token t(Token::Word);
            size_t start = i;
            while (i < n && IsLetter(p[i])) ++i;
            t.upper = Upper(std::string(reinterpret_cast<const char*>(p + start), i - start));
            tokens->push_back(t);
        } else if (c == ':') {
            tokens->emplace_back(Token::Colon);
            ++i;
        } else if (IsSeparator(c)) {
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

// Names a word may be, upper-cased Windows-1252: the locale's full and abbreviated names
// (an abbreviation without its closing point) and the names of the string lists.
struct NameTable {
    std::vector<std::pair<std::string, int>> months;  // name, month 1..12
    std::vector<std::string> days;
    std::vector<std::string> amPm;
};

std::string NameKey(const std::string& utf8) {
    std::string s = Upper(LocaleTextToAnsi(utf8));
    while (!s.empty() && (s.back() == '.' || s.back() == ' ')) s.pop_back();
    return s;
}

NameTable BuildNames(const FormatLocaleData& d) {
    NameTable t;
    for (int i = 0; i < 12; ++i) {
        for (const std::string* name : {&d.monthNames[i], &d.monthNamesInDates[i], &d.monthAbbreviations[i]})
            if (!name->empty()) t.months.emplace_back(NameKey(*name), i + 1);
        Str255 listed;
        LoadIndexedString(listed, kMonthNameList, short(i + 1));
        if (listed[0]) t.months.emplace_back(Upper(std::string(reinterpret_cast<char*>(listed + 1), listed[0])), i + 1);
    }
    for (int i = 0; i < 7; ++i) {
        for (const std::string* name : {&d.dayNames[i], &d.dayAbbreviations[i]})
            if (!name->empty()) t.days.push_back(NameKey(*name));
        Str255 listed;
        LoadIndexedString(listed, kDayNameList, short(i + 1));
        if (listed[0]) t.days.push_back(Upper(std::string(reinterpret_cast<char*>(listed + 1), listed[0])));
    }
    for (const std::string* s : {&d.amText, &d.pmText})
        if (!s->empty()) t.amPm.push_back(NameKey(*s));
    t.amPm.push_back("AM");
    t.amPm.push_back("PM");
    return t;
}

bool Contains(const std::vector<std::string>& names, const std::string& word) {
    for (const auto& n : names)
        if (!n.empty() && n == word) return true;
    return false;
}

// Splits the tokens into the date's numbers and month word; a time (numbers joined by ':',
// an optional AM/PM word) and day names are checked and dropped.
bool ReadDateParts(std::vector<Token>& tokens, const NameTable& names, std::vector<Token>* numbers,
                   int* month) {
    *month = 0;
    bool hadTime = false;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind == Token::Number && i + 2 < tokens.size() && tokens[i + 1].kind == Token::Colon &&
            tokens[i + 2].kind == Token::Number) {
            // hh:mm or hh:mm:ss
            if (hadTime) return false;
            long parts[3] = {t.value, tokens[i + 2].value, 0};
            i += 2;
            if (i + 2 < tokens.size() && tokens[i + 1].kind == Token::Colon &&
                tokens[i + 2].kind == Token::Number) {
                parts[2] = tokens[i + 2].value;
                i += 2;
            }
            if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return false;
            hadTime = true;
            continue;
        }
        switch (t.kind) {
        case Token::Number:
            numbers->push_back(t);
            break;
        case Token::Colon:
            return false;
        case Token::Word: {
            if (t.upper == "T" && i + 1 < tokens.size() && tokens[i + 1].kind == Token::Number)
                break;  // ISO date-time: 2004-12-31T23:59
            int found = 0;
            for (const auto& [name, m] : names.months)
                if (!name.empty() && name == t.upper) {
                    found = m;
                    break;
                }
            if (found) {
                if (*month) return false;
                *month = found;
            } else if (Contains(names.days, t.upper)) {
                // a weekday in front of the date says nothing more
            } else if (Contains(names.amPm, t.upper) && hadTime) {
            } else {
                return false;
            }
            break;
        }
        }
    }
    return true;
}

long FullYear(const Token& t) {
    if (t.digits > 2) return t.value;
    // Two-digit years: 00..29 are this century, 30..99 the last.
    return t.value < 30 ? 2000 + t.value : 1900 + t.value;
}

bool ResolveDate(const std::vector<Token>& numbers, int wordMonth, const FormatLocaleData& d,
                 long* year, long* month, long* day) {
    auto orderOf = [&d](char part) {
        for (int i = 0; i < 3; ++i)
            if (d.dateOrder[i] == part) return i;
        return 3;
    };
    if (wordMonth) {
        if (numbers.size() != 2) return false;
        const bool firstIsYear = numbers[0].digits > 2 || numbers[0].value > 31;
        const bool secondIsYear = numbers[1].digits > 2 || numbers[1].value > 31;
        if (firstIsYear && secondIsYear) return false;
        int yearAt;
        if (firstIsYear)
            yearAt = 0;
        else if (secondIsYear)
            yearAt = 1;
        else
            yearAt = orderOf('Y') < orderOf('D') ? 0 : 1;
        *year = FullYear(numbers[yearAt]);
        *day = numbers[1 - yearAt].value;
        *month = wordMonth;
        return true;
    }
    if (numbers.size() == 1 && numbers[0].digits == 8) {
        *year = numbers[0].value / 10000;
        *month = numbers[0].value / 100 % 100;
        *day = numbers[0].value % 100;
        return true;
    }
    if (numbers.size() != 3) return false;
    if (numbers[0].digits > 2) {  // ISO order whatever the locale
        *year = numbers[0].value;
        *month = numbers[1].value;
        *day = numbers[2].value;
        return numbers[1].digits <= 2 && numbers[2].digits <= 2;
    }
    for (int i = 0; i < 3; ++i) {
        switch (d.dateOrder[i]) {
        case 'D': *day = numbers[i].value; break;
        case 'M': *month = numbers[i].value; break;
        default: *year = FullYear(numbers[i]); break;
        }
    }
    return true;
}

}  // namespace

UInt32 ParseYYYYMMDD(const char* digits) {
    if (!digits) return 0;
    long v[3] = {0, 0, 0};
    const int widths[3] = {4, 2, 2};
    const char* p = digits;
    for (int part = 0; part < 3; ++part) {
        for (int k = 0; k < widths[part]; ++k, ++p) {
            if (*p < '0' || *p > '9') return 0;
            v[part] = v[part] * 10 + (*p - '0');
        }
    }
    if (v[0] == 0) return 0;
    return MacSecondsOf(v[0], v[1], v[2], 0, 0, 0);
}

UInt32 ParseDateTimeText(const char* text) {
    if (!text) return 0;
    long year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char sep[4];
    const int n = std::sscanf(text, "%ld%c%ld%c%ld%ld%c%ld%c%ld", &year, &sep[0], &month, &sep[1],
                              &day, &hour, &sep[2], &minute, &sep[3], &second);
    if (n < 1) return 0;
    return MacSecondsOf(year, month, day, hour, minute, second);
}

Boolean ParseDateText(ConstStr255Param text, StringPtr normalized) {
    if (!text) return false;
    auto d = CurrentFormatLocale();
    std::vector<Token> tokens;
    if (!Tokenize(text + 1, text[0], &tokens)) return false;
    std::vector<Token> numbers;
    int wordMonth = 0;
    if (!ReadDateParts(tokens, BuildNames(*d), &numbers, &wordMonth)) return false;
    long year = 0, month = 0, day = 0;
    if (!ResolveDate(numbers, wordMonth, *d, &year, &month, &day)) return false;
    if (year < kFirstYear || year > kLastYear || !ValidDate(year, month, day)) return false;
    if (normalized) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%04ld%02ld%02ld", year, month, day);
        PStrFromBytes(normalized, buf, 8);
    }
    return true;
}
