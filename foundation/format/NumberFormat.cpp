#include "foundation/format/NumberFormat.h"

#include "foundation/format/LocaleFormats.h"
#include "foundation/format/Units.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/PString.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

// printf's "%.<n>f", but never swayed by the process's LC_NUMERIC: the decimal separator is
// put in afterwards, from the cached locale.
std::string FixedDecimals(double value, int decimals) {
    char buf[400];  // the largest double has 309 integer digits
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (r.ec != std::errc()) return {};
    return std::string(buf, r.ptr);
}

std::string NumberText(double value, short code) {
    switch (code) {
    case kNumberOneDecimalTrimmed:
    case kNumberTwoDecimalsTrimmed:
    case kNumberThreeDecimalsTrimmed: {
        std::string s = FixedDecimals(value, code - 100);
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
        return s;
    }
    case kNumberOneDecimal:
    case kNumberTwoDecimals:
    case kNumberThreeDecimals:
        return FixedDecimals(value, code - 200);
    case kNumberFNumber:
        return "f" + FixedDecimals(value, 1);
    case kNumberSignedOneDecimal: {
        std::string s = FixedDecimals(value, 1);
        if (!s.empty() && s[0] != '-' && !std::isnan(value)) s.insert(s.begin(), '+');
        return s;
    }
    default:
        return {};
    }
}

void SetText(StringPtr out, const std::string& s) { PStrFromBytes(out, s.data(), long(s.size())); }

short FormatScaledSize(double count, short unit, StringPtr out, short unitList) {
    static const double kDivisor[] = {1.0, 1.0, 1024.0, 1048576.0, 1073741824.0, 1099511627776.0};
    if (unit == kByteUnitBytes) {
        SetText(out, std::to_string(static_cast<unsigned long long>(count)));
    } else {
        FormatFNumber(count / kDivisor[unit], kNumberOneDecimalTrimmed, out);
    }
    if (unitList != 0) AppendIndexedString(out, unitList, unit);
    return unit;
}

}  // namespace

void FormatFNumber(double value, short code, StringPtr out) {
    std::string s = NumberText(value, code);
    char decimal = '.';
    LocaleSeparators(&decimal, nullptr);
    if (decimal != '.') {
        for (char& c : s)
            if (c == '.') c = decimal;
    }
    SetText(out, s);
}

double RoundHalfAwayFromZero(double value) {
    const double sign = value > 0 ? 1.0 : -1.0;
    return sign * std::floor(std::fabs(value) + 0.5);
}

short FormatByteSize(UInt32 count, StringPtr out, short unitList) {
    short unit = kByteUnitGiga;
    if (count < 1024u)
        unit = kByteUnitBytes;
    else if (count < (1u << 20))
        unit = kByteUnitKilo;
    else if (count < (1u << 30))
        unit = kByteUnitMega;
    return FormatScaledSize(double(count), unit, out, unitList);
}

short FormatByteSize64(UInt32 low, UInt32 high, StringPtr out, short unitList) {
    if (high == 0) return FormatByteSize(low, out, unitList);
    const double count = double(high) * 4294967296.0 + double(low);
    return FormatScaledSize(count, high >= 256 ? kByteUnitTera : kByteUnitGiga, out, unitList);
}

void FormatResolution(SInt32 value, double resolution, short unit, StringPtr out) {
    out[0] = 0;
    if (value == 0) return;
    if (unit == kUnitPixels) {
        SetText(out, std::to_string(value));
        return;
    }
    if (!(resolution >= 2.0)) resolution = 72.0;
    double shown;
    switch (unit) {
    case kUnitInches: shown = value / resolution; break;
    case kUnitCentimeters: shown = value * 254.0 / (resolution * 100.0); break;
    case kUnitPoints: shown = value * 72.0 / resolution; break;
    case kUnitPicas: shown = value * 6.0 / resolution; break;
    default: return;
    }
    FormatFNumber(shown, kNumberOneDecimal, out);
}

void FormatInches(double value, short unit, StringPtr out) {
    out[0] = 0;
    if (value == 0) return;
    if (unit == kUnitPixels) {
        SetText(out, std::to_string(static_cast<long long>(std::trunc(value))));
        return;
    }
    FormatFNumber(value / 2.54, kNumberOneDecimal, out);
}

void FormatGpsCoordinate(SInt32 degreesNum, SInt32 degreesDen, SInt32 minutesNum,
                         SInt32 minutesDen, SInt32 secondsNum, SInt32 secondsDen, StringPtr out) {
    out[0] = 0;
    if (degreesDen == 0 || minutesDen == 0 || secondsDen == 0) return;
    // 64-bit, so that INT32_MIN / -1 cannot overflow.
    const long long degrees = (long long)degreesNum / degreesDen;
    long long minutes = (long long)minutesNum / minutesDen;
    double seconds = double(secondsNum) / double(secondsDen);
    if (secondsNum == 0) {
        // Cameras that write decimal minutes and no seconds: whole minutes and whole
        // seconds, both truncated. Integer arithmetic, so 25.15' gives 9" and not the 8" of
        // a binary fraction just below it.
        const long long rest = (long long)minutesNum % minutesDen;
        seconds = double(rest * 60 / minutesDen);
    }
    // The degree sign of the code page this text lives in (0xB0 in Windows-1252; it becomes
    // Mac Roman 0xA1 on the way to disk like every other character).
    const unsigned char kDegreeSign = 0xB0;
    char buf[96];
    std::snprintf(buf, sizeof buf, "%03lld%c %02lld' %s", degrees, kDegreeSign, minutes,
                  (long long)seconds < 10 ? "0" : "");
    SetText(out, std::string(buf) + FixedDecimals(seconds, 2) + "\"");
}

void FormatNumVersion(UInt32 version, StringPtr out) {
    const unsigned major = version >> 24;
    const unsigned minor = (version >> 20) & 0xF;
    const unsigned fix = (version >> 16) & 0xF;
    const unsigned stage = (version >> 8) & 0xFF;
    const unsigned build = version & 0xFF;
    // Two binary-coded decimal digits, the first only when it is not zero.
    auto bcd = [](unsigned byte) {
        std::string s;
        if (byte >> 4) s += char('0' + (byte >> 4));
        s += char('0' + (byte & 0xF));
        return s;
    };
    std::string s = bcd(major) + "." + std::to_string(minor);
    if (fix != 0) s += "." + std::to_string(fix);
    switch (stage) {
    case 0x80: break;  // release
    case 0x20: s += "d" + bcd(build); break;
    case 0x40: s += "a" + bcd(build); break;
    case 0x60: s += "b" + bcd(build); break;
    default: s += bcd(build); break;
    }
    SetText(out, s);
}

void FormatDuration(UInt32 tenths, StringPtr out, Boolean shortForm, Boolean withTenths) {
    const UInt32 total = tenths / 10;
    const UInt32 hours = total / 3600;
    const UInt32 minutes = total / 60 % 60;
    const UInt32 seconds = total % 60;
    char buf[64];
    int n = 0;
    bool higher = false;
    if (hours > 0 || !shortForm) {
        n += std::snprintf(buf + n, sizeof buf - n, "%02u:", unsigned(hours));
        higher = true;
    }
    if (hours > 0 || minutes > 0 || !shortForm) {
        n += std::snprintf(buf + n, sizeof buf - n, "%02u:", unsigned(minutes));
        higher = true;
    }
    n += std::snprintf(buf + n, sizeof buf - n, higher ? "%02u" : "%u", unsigned(seconds));
    if (withTenths) std::snprintf(buf + n, sizeof buf - n, ".%u", unsigned(tenths % 10));
    SetText(out, buf);
}
