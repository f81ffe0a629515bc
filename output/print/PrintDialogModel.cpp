#include "output/print/PrintDialogModel.h"

#include "foundation/format/LocaleFormats.h"
#include "foundation/format/NumberFormat.h"
#include "foundation/format/Units.h"
#include "foundation/resources/ResourceStrings.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

constexpr int kEntries[kScalingEntryCount] = {1, 2, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16};
constexpr UInt16 kPercents[7] = {25, 50, 100, 200, 400, 800, 1600};
// Strings of the print dialog's list (630).
constexpr UInt16 kCentimetres = 63042, kInches = 63043, kPageLine = 63044, kCellLine = 63045;
// From points to the unit of the summary.
constexpr double kCmPerPoint = 0.03529411765, kInchPerPoint = 0.013837;

std::string Text(UInt16 id) {
    std::string s;
    LoadResourceStringUtf8(id, &s);
    return s;
}

std::string Substitute(const std::string& pattern, const std::string (&values)[5]) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '^' && i + 1 < pattern.size() && pattern[i + 1] >= '0' && pattern[i + 1] <= '4') {
            out += values[pattern[i + 1] - '0'];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string Length(double points, bool metric) {
    Str255 s{};
    FormatFNumber(points * (metric ? kCmPerPoint : kInchPerPoint), kNumberTwoDecimalsTrimmed, s);
    return std::string(reinterpret_cast<const char*>(s + 1), s[0]);
}

}  // namespace

int ScalingEntryNumber(int position) { return position >= 0 && position < kScalingEntryCount ? kEntries[position] : 2; }

void ScalingFromEntry(int number, UInt8* code, UInt16* percent) {
    if (number == 1 || (number >= 4 && number <= 8)) {
        *code = UInt8(number);
        *percent = 0;
    } else if (number >= 10 && number <= 16) {
        *code = kScalePercent;
        *percent = kPercents[number - 10];
    } else {
        *code = kScaleToFit;
        *percent = 0;
    }
}

int ScalingPositionOf(UInt8 code, UInt16 percent) {
    int number = code;
    if (code == kScalePercent) {
        const UInt16* p = std::find(std::begin(kPercents), std::end(kPercents), percent);
        number = p == std::end(kPercents) ? kScaleToFit : 10 + int(p - kPercents);
    }
    const int* at = std::find(std::begin(kEntries), std::end(kEntries), number);
    return at == std::end(kEntries) ? 1 : int(at - kEntries);
}

std::string PrintUnitName(bool metric) { return Text(metric ? kCentimetres : kInches); }

std::string PrintFormatSummary(SInt32 page, SInt32 pageCount, const Rect& content, const PrintGrid& grid, bool metric) {
    const std::string unit = PrintUnitName(metric);
    const std::string first[5] = {std::to_string(page), std::to_string(pageCount), Length(content.right - content.left, metric),
                                  Length(content.bottom - content.top, metric), unit};
    const std::string second[5] = {std::to_string(grid.columns), std::to_string(grid.rows), Length(grid.cellWidth, metric),
                                   Length(grid.cellHeight, metric), unit};
    return Substitute(Text(kPageLine), first) + "\n" + Substitute(Text(kCellLine), second);
}

std::string MarginText(double value) {
    Str255 s{};
    FormatFNumber(value, kNumberTwoDecimals, s);
    return std::string(reinterpret_cast<const char*>(s + 1), s[0]);
}

bool ParseMarginText(const std::string& text, double* value) {
    char decimal = '.';
    LocaleSeparators(&decimal, nullptr);
    std::string t = text;
    for (char& c : t)
        if (c == decimal || c == ',') c = '.';
    const auto first = t.find_first_not_of(" \t");
    if (first == std::string::npos) return false;
    const auto last = t.find_last_not_of(" \t");
    t = t.substr(first, last - first + 1);
    double v = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size() || !(v >= 0)) return false;
    *value = v;
    return true;
}

double GridLengthInUnit(UInt16 points, short unit) {
    // At 72 to the inch a pixel is a point.
    const double v = PixelsToUnitValue(SInt32(points), unit, 72);
    return std::floor(v * 10 + 0.5) / 10;
}

UInt16 GridLengthToPoints(double length, short unit) {
    return UInt16(std::clamp<SInt32>(ScaleValueByUnit(length, unit, 72), 0, 65535));
}
