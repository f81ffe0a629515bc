#include "FormatTestSupport.h"

#include "foundation/format/NumberFormat.h"
#include "foundation/format/Units.h"

#include <cmath>
#include <limits>
#include <vector>

namespace {

class NumberFormat : public FormatLocaleTest {};

struct FNumberCase {
    double value;
    short code;
    const char* pointLocale;  // C.UTF-8
    const char* commaLocale;  // de_DE.UTF-8
};

const std::vector<FNumberCase> kFNumbers = {
    {2.50, kNumberOneDecimalTrimmed, "2.5", "2,5"},
    {3.0, kNumberOneDecimalTrimmed, "3", "3"},
    {10.0, kNumberOneDecimalTrimmed, "10", "10"},  // trimming stops at the point
    {100.04, kNumberOneDecimalTrimmed, "100", "100"},
    {0.0, kNumberOneDecimalTrimmed, "0", "0"},
    {1.25, kNumberTwoDecimalsTrimmed, "1.25", "1,25"},
    {1.20, kNumberTwoDecimalsTrimmed, "1.2", "1,2"},
    {29.970, kNumberThreeDecimalsTrimmed, "29.97", "29,97"},
    {-0.5, kNumberOneDecimalTrimmed, "-0.5", "-0,5"},
    {2.50, kNumberOneDecimal, "2.5", "2,5"},
    {3.0, kNumberOneDecimal, "3.0", "3,0"},
    {3.0, kNumberTwoDecimals, "3.00", "3,00"},
    {3.14159, kNumberThreeDecimals, "3.142", "3,142"},
    {2.8, kNumberFNumber, "f2.8", "f2,8"},
    {11.0, kNumberFNumber, "f11.0", "f11,0"},
    {0.7, kNumberSignedOneDecimal, "+0.7", "+0,7"},
    {-1.33, kNumberSignedOneDecimal, "-1.3", "-1,3"},
    {0.0, kNumberSignedOneDecimal, "+0.0", "+0,0"},
    {1.0, 999, "", ""},  // unknown code
};

TEST_F(NumberFormat, FNumberCodesInTwoLocales) {
    Str255 out;
    for (const auto& c : kFNumbers) {
        SCOPED_TRACE(testing::Message() << c.value << " code " << c.code);
        SetFormatLocale("C.UTF-8");
        FormatFNumber(c.value, c.code, out);
        EXPECT_EQ(PText(out), c.pointLocale);
    }
    USE_LOCALE_OR_SKIP("de_DE.UTF-8");
    for (const auto& c : kFNumbers) {
        SCOPED_TRACE(testing::Message() << c.value << " code " << c.code);
        FormatFNumber(c.value, c.code, out);
        EXPECT_EQ(PText(out), c.commaLocale);
    }
}

TEST_F(NumberFormat, FNumberIsNotSwayedByTheProcessLocale) {
    // The interface toolkit may set LC_NUMERIC to the user's locale; the separator must come
    // from the cached locale alone.
    const char* old = setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (!setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    SetFormatLocale("C.UTF-8");
    Str255 out;
    FormatFNumber(2.5, kNumberOneDecimal, out);
    EXPECT_EQ(PText(out), "2.5");
    FormatGpsCoordinate(51, 1, 30, 1, 2640, 100, out);
    EXPECT_EQ(PText(out), "051\xB0 30' 26.40\"");
    setlocale(LC_NUMERIC, saved.c_str());
}

TEST_F(NumberFormat, LargeValuesFitAndAreCut) {
    Str255 out;
    FormatFNumber(1e300, kNumberThreeDecimals, out);
    EXPECT_EQ(out[0], 255);
    EXPECT_EQ(out[1], '1');
    FormatFNumber(std::numeric_limits<double>::max(), kNumberOneDecimalTrimmed, out);
    EXPECT_EQ(out[0], 255);
}

struct ByteSizeCase {
    UInt32 low, high;
    const char* text;
    short unit;
};

TEST_F(NumberFormat, ByteSizesAndTheirUnits) {
    const std::vector<ByteSizeCase> cases = {
        {0, 0, "0", kByteUnitBytes},
        {1023, 0, "1023", kByteUnitBytes},
        {1024, 0, "1", kByteUnitKilo},
        {1536, 0, "1.5", kByteUnitKilo},
        {2560, 0, "2.5", kByteUnitKilo},
        {1048575, 0, "1024", kByteUnitKilo},  // 1023.999 rounds up, unit stays
        {1048576, 0, "1", kByteUnitMega},
        {1073741823, 0, "1024", kByteUnitMega},
        {1073741824, 0, "1", kByteUnitGiga},
        {0xFFFFFFFFu, 0, "4", kByteUnitGiga},
    };
    Str255 out;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.low);
        EXPECT_EQ(FormatByteSize(c.low, out, 0), c.unit);
        EXPECT_EQ(PText(out), c.text);
        EXPECT_EQ(FormatByteSize64(c.low, 0, out, 0), c.unit);
        EXPECT_EQ(PText(out), c.text);
    }
}

TEST_F(NumberFormat, ByteSizes64) {
    const std::vector<ByteSizeCase> cases = {
        {0, 1, "4", kByteUnitGiga},                    // 2^32
        {0x80000000u, 2, "10", kByteUnitGiga},         // 10 GB
        {0, 255, "1020", kByteUnitGiga},
        {0xFFFFFFFFu, 255, "1024", kByteUnitGiga},     // just below 2^40
        {0, 256, "1", kByteUnitTera},                  // 2^40
        {0, 384, "1.5", kByteUnitTera},
        {0xFFFFFFFFu, 0xFFFFFFFFu, "16777216", kByteUnitTera},
    };
    Str255 out;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.high << ":" << c.low);
        EXPECT_EQ(FormatByteSize64(c.low, c.high, out, 0), c.unit);
        EXPECT_EQ(PText(out), c.text);
    }
}

TEST_F(NumberFormat, ByteSizeAppendsTheUnitName) {
    Str255 out;
    EXPECT_EQ(FormatByteSize(1536, out, kByteUnitList), kByteUnitKilo);
    EXPECT_EQ(PText(out), "1.5KB");
    EXPECT_EQ(FormatByteSize(12, out, kByteUnitList), kByteUnitBytes);
    EXPECT_EQ(PText(out), "12bytes");
    EXPECT_EQ(FormatByteSize64(0, 512, out, kByteUnitList), kByteUnitTera);
    EXPECT_EQ(PText(out), "2TB");
}

TEST_F(NumberFormat, ByteSizeInACommaLocale) {
    USE_LOCALE_OR_SKIP("de_DE.UTF-8");
    Str255 out;
    EXPECT_EQ(FormatByteSize(2560, out, 0), kByteUnitKilo);
    EXPECT_EQ(PText(out), "2,5");
    EXPECT_EQ(FormatByteSize(1023, out, 0), kByteUnitBytes);
    EXPECT_EQ(PText(out), "1023");
}

TEST_F(NumberFormat, RoundHalfAwayFromZero) {
    const std::vector<std::pair<double, double>> cases = {
        {0.5, 1}, {1.5, 2}, {2.5, 3}, {2.4999, 2}, {-0.5, -1}, {-2.5, -3}, {-2.4, -2}, {0, 0}, {7, 7},
    };
    for (const auto& [in, expected] : cases) EXPECT_EQ(RoundHalfAwayFromZero(in), expected) << in;
}

TEST_F(NumberFormat, ResolutionInEachUnit) {
    struct Case {
        SInt32 value;
        double resolution;
        short unit;
        const char* text;
    };
    const std::vector<Case> cases = {
        {0, 300, kUnitInches, ""},
        {0, 300, kUnitPixels, ""},
        {1200, 300, kUnitPixels, "1200"},
        {1200, 300, kUnitInches, "4.0"},
        {1200, 300, kUnitCentimeters, "10.2"},  // 10.16
        {1200, 300, kUnitPoints, "288.0"},
        {1200, 300, kUnitPicas, "24.0"},
        {144, 0, kUnitInches, "2.0"},    // no resolution: 72
        {144, 1.5, kUnitInches, "2.0"},  // below 2 counts as 72
        {144, 2, kUnitInches, "72.0"},
        {-72, 72, kUnitInches, "-1.0"},
        {1200, 300, 6, ""},
        {1200, 300, 0, ""},
    };
    Str255 out;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " at " << c.resolution << " unit " << c.unit);
        SetPText(out, "stale");
        FormatResolution(c.value, c.resolution, c.unit, out);
        EXPECT_EQ(PText(out), c.text);
    }
}

TEST_F(NumberFormat, Inches) {
    Str255 out;
    SetPText(out, "stale");
    FormatInches(0, kUnitInches, out);
    EXPECT_EQ(PText(out), "");
    FormatInches(25.4, kUnitInches, out);
    EXPECT_EQ(PText(out), "10.0");
    FormatInches(2.54, kUnitCentimeters, out);
    EXPECT_EQ(PText(out), "1.0");
    FormatInches(640.7, kUnitPixels, out);
    EXPECT_EQ(PText(out), "640");
}

TEST_F(NumberFormat, GpsCoordinates) {
    struct Case {
        const char* what;
        SInt32 v[6];
        const char* text;
    };
    const std::vector<Case> cases = {
        {"degrees, minutes, seconds", {51, 1, 30, 1, 2640, 100}, "051\xB0 30' 26.40\""},
        {"seconds below ten get a zero", {8, 1, 5, 1, 905, 100}, "008\xB0 05' 09.05\""},
        {"decimal minutes, no seconds", {122, 1, 2515, 100, 0, 1}, "122\xB0 25' 09.00\""},
        {"decimal minutes, fraction of seconds truncated", {0, 1, 101, 10, 0, 1}, "000\xB0 10' 06.00\""},
        {"fractional degrees truncated", {515, 10, 0, 1, 0, 1}, "051\xB0 00' 00.00\""},
        {"degrees without denominator", {51, 0, 30, 1, 0, 1}, ""},
        {"minutes without denominator", {51, 1, 30, 0, 0, 1}, ""},
        {"seconds without denominator", {51, 1, 30, 1, 0, 0}, ""},
        {"extreme values do not trap", {INT32_MIN, -1, INT32_MIN, -1, INT32_MIN, -1}, nullptr},
    };
    Str255 out;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetPText(out, "stale");
        FormatGpsCoordinate(c.v[0], c.v[1], c.v[2], c.v[3], c.v[4], c.v[5], out);
        if (c.text) {
            EXPECT_EQ(PText(out), c.text);
        }
    }
}

TEST_F(NumberFormat, NumVersions) {
    const std::vector<std::pair<UInt32, const char*>> cases = {
        {0x07024005, "7.0.2a5"},
        {0x06508000, "6.5"},       // no ".0" for a zero fix digit, nothing for a release
        {0x10018000, "10.0.1"},
        {0x01002012, "1.0d12"},
        {0x02106003, "2.1b3"},
        {0x03000017, "3.017"},     // unknown stage: only the build number
        {0x00008000, "0.0"},
        {0x12348099, "12.3.4"},
    };
    Str255 out;
    for (const auto& [v, text] : cases) {
        FormatNumVersion(v, out);
        EXPECT_EQ(PText(out), text) << std::hex << v;
    }
}

TEST_F(NumberFormat, Durations) {
    struct Case {
        UInt32 tenths;
        bool shortForm, withTenths;
        const char* text;
    };
    const std::vector<Case> cases = {
        {36005, true, true, "01:00:00.5"},
        {655, true, false, "01:05"},
        {655, false, false, "00:01:05"},
        {655, false, true, "00:01:05.5"},
        {50, true, false, "5"},         // seconds alone are not padded
        {53, true, true, "5.3"},
        {0, true, false, "0"},
        {0, false, false, "00:00:00"},
        {36000, true, false, "01:00:00"},  // zero minutes shown under hours
        {3600000, true, false, "100:00:00"},
        {0xFFFFFFFFu, false, true, "119304:38:49.5"},
    };
    Str255 out;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tenths << " short " << c.shortForm << " tenths " << c.withTenths);
        FormatDuration(c.tenths, out, c.shortForm, c.withTenths);
        EXPECT_EQ(PText(out), c.text);
    }
}

TEST(Units, ScaleAndBack) {
    struct Case {
        double length;
        short unit;
        double resolution;
        SInt32 pixels;
    };
    const std::vector<Case> cases = {
        {2.0, kUnitInches, 300, 600},
        {2.54, kUnitCentimeters, 300, 300},
        {72.0, kUnitPoints, 300, 300},
        {6.0, kUnitPicas, 300, 300},
        {0.499, kUnitInches, 1, 0},
        {0.5, kUnitInches, 1, 1},
        {640.9, kUnitPixels, 300, 640},  // pixels are truncated, not rounded
        {640.9, 9, 300, 640},
        {1e12, kUnitInches, 300, INT32_MAX},
        {std::nan(""), kUnitInches, 300, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " unit " << c.unit);
        EXPECT_EQ(ScaleValueByUnit(c.length, c.unit, c.resolution), c.pixels);
    }
    EXPECT_DOUBLE_EQ(PixelsToUnitValue(600, kUnitInches, 300), 2.0);
    EXPECT_DOUBLE_EQ(PixelsToUnitValue(300, kUnitCentimeters, 300), 2.54);
    EXPECT_DOUBLE_EQ(PixelsToUnitValue(300, kUnitPoints, 300), 72.0);
    EXPECT_DOUBLE_EQ(PixelsToUnitValue(300, kUnitPicas, 300), 6.0);
    EXPECT_DOUBLE_EQ(PixelsToUnitValue(300, kUnitPixels, 300), 300.0);
    EXPECT_DOUBLE_EQ(PixelsToUnitValue(300, 0, 300), 300.0);
    for (short unit = kUnitInches; unit <= kUnitPicas; ++unit)
        EXPECT_EQ(ScaleValueByUnit(PixelsToUnitValue(1234, unit, 240), unit, 240), 1234) << unit;
}

}  // namespace
