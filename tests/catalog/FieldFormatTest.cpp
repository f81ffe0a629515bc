// The field formatter: one table of display formats over the field table's rows, the zero
// rule per value type, units, code names and the locale's decimal separator.
#include "catalog/fields/FieldEngine.h"
#include "catalog/fields/FieldFormat.h"
#include "foundation/format/DateFormat.h"
#include "foundation/format/LocaleFormats.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Text(ConstStr255Param s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

struct Value {
    std::uint8_t type;
    FieldValue v;
};

Value Number(std::uint8_t type, std::uint32_t n) {
    Value x{type, {}};
    std::memset(&x.v, 0, sizeof x.v);
    if (type == kFieldTypeU8) x.v.u8 = std::uint8_t(n);
    else if (type == kFieldTypeI16) x.v.i16 = std::int16_t(n);
    else x.v.u32 = n;
    return x;
}
Value Pair(std::uint32_t a, std::uint32_t b, std::uint32_t c = 0) {
    Value x{kFieldTypePair, {}};
    std::memset(&x.v, 0, sizeof x.v);
    x.v.pair = {a, b, c, 0};
    return x;
}
Value Dims(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    Value x = Pair(a, b, c);
    x.type = kFieldTypeU32;  // the width, height and dimension rows are u32 rows of 16 bytes
    return x;
}
Value TextValue(const std::string& s, std::int16_t encoding) {
    Value x{kFieldTypeText, {}};
    std::memset(&x.v, 0, sizeof x.v);
    FieldValueSetText(&x.v, s.data(), long(s.size()), encoding);
    return x;
}
Value Chapter(const std::string& name, std::uint32_t start) {
    Value x{kFieldTypeChapter, {}};
    std::memset(&x.v, 0, sizeof x.v);
    x.v.chapter.name[0] = std::uint8_t(name.size());
    std::memcpy(x.v.chapter.name + 1, name.data(), name.size());
    x.v.chapter.start = start;
    return x;
}

std::string Format(const Value& x, FieldId id, bool withUnit) {
    Str255 out;
    std::memset(out, 0xEE, sizeof out);
    FieldValueToText(&x.v, x.type, id, out, withUnit);
    return Text(out);
}

class FieldFormatTest : public ::testing::Test {
protected:
    void SetUp() override {
        FieldEngineSetCodes(400, 200);
        FieldEngineSetDisplayOptions(1, 1, 1);
        FieldTableInit();
        SetFormatLocale("C");
    }
    void TearDown() override {
        FieldEngineSetDisplayOptions(1, 1, 1);
        SetFormatLocale(nullptr);
    }
};

struct Row {
    const char* what;
    Value value;
    FieldId id;
    bool withUnit;
    std::string want;  // owned: a row may be built from a string made on the spot
};

TEST_F(FieldFormatTest, DisplayFormats) {
    const FieldId shutter = kFieldShutterSpeed;
    const Row rows[] = {
        // byte sizes: number, blank, then the unit after the closing blank
        {"size 0 hidden", Number(kFieldTypeU32, 0), kFieldFileSize, true, ""},
        {"size 1023", Number(kFieldTypeU32, 1023), kFieldFileSize, false, "1023  bytes"},
        {"size 1536", Number(kFieldTypeU32, 1536), kFieldFileSize, false, "1.5  KB"},
        {"size 1 MB", Number(kFieldTypeU32, 1048576), kFieldFileSize, true, "1  MB"},
        {"size 4 GB - 1", Number(kFieldTypeU32, 0xFFFFFFFFu), kFieldFileSize, false, "4  GB"},
        {"data rate", Number(kFieldTypeU32, 2560), kFieldDataRate, false, "2.5  KB/sec"},
        // durations and chapters
        {"duration", Number(kFieldTypeU32, 36005), kFieldDuration, false, "01:00:00"},
        {"duration short", Number(kFieldTypeU32, 655), kFieldDuration, false, "00:01:05"},
        {"duration of 100 hours", Number(kFieldTypeU32, 3600000), kFieldDuration, false, "100:00:00"},
        {"chapter", Chapter("Intro", 36005), kFieldChapters, false, "Intro @ 01:00:00.5"},
        // exposure times: rounding half away from zero, no 32-bit overflow
        {"1/250", Pair(10, 2500), shutter, false, "1/250"},
        {"1/250 with unit", Pair(10, 2500), shutter, true, "1/250 sec"},
        {"2 sec", Pair(2, 1), shutter, false, "2"},
        {"half rounds up", Pair(2, 5), shutter, false, "1/3"},
        {"large terms", Pair(4000000000u, 1000000000u), shutter, false, "4"},
        {"tiny fraction", Pair(1, 4000000000u), shutter, false, "1/4000000000"},
        {"zero denominator", Pair(1, 0), shutter, false, ""},
        // other rationals
        {"f-number", Pair(28, 10), kFieldAperture, false, "f2.8"},
        {"f-number no denominator", Pair(28, 0), kFieldAperture, false, ""},
        {"bias positive", Pair(2, 3), kFieldExposureBias, false, "+0.7"},
        {"bias negative", Pair(std::uint32_t(-2), 3), kFieldExposureBias, false, "-0.7"},
        {"bias zero shown", Pair(0, 1), kFieldExposureBias, false, "+0.0"},
        {"focal length", Pair(50, 1), kFieldFocalLength, true, "50.0 mm"},
        {"focus distance", Pair(375, 100), kFieldFocusDistance, true, "3.75 m"},
        {"ratio", Pair(4, 1), kFieldCompressedRatio, true, "4:1 bits/pixel"},
        // code names
        {"media type", Number(kFieldTypeU8, 2), kFieldMediaType, false, "Video"},
        {"media type out of list", Number(kFieldTypeU8, 0xFF), kFieldMediaType, false, ""},
        {"audio channels", Number(kFieldTypeU32, 2), kFieldAudioChannels, true, "Stereo"},
        {"exposure program", Number(kFieldTypeI16, 3), kFieldExposureProgram, false, "Aperture priority"},
        {"program out of list", Number(kFieldTypeI16, 200), kFieldExposureProgram, false, ""},
        {"negative code", Number(kFieldTypeI16, std::uint32_t(-7)), kFieldLightSource, false, ""},
        {"light source", Number(kFieldTypeI16, 1), kFieldLightSource, false, "Daylight"},
        {"metering", Number(kFieldTypeI16, 5), kFieldMetering, false, "Pattern"},
        {"flash off", Number(kFieldTypeI16, 0), kFieldFlash, false, "OFF"},
        {"flash fired", Number(kFieldTypeI16, 1), kFieldFlash, false, "ON"},
        {"flash compulsory off", Number(kFieldTypeI16, 16), kFieldFlash, false, "OFF - Compulsory flash mode"},
        {"flash last", Number(kFieldTypeI16, 95), kFieldFlash, false,
         "ON - Auto mode, return light detected, red-eye reduction mode"},
        {"flash unknown", Number(kFieldTypeI16, 2), kFieldFlash, false, "ON"},
        {"noise reduction", Number(kFieldTypeI16, 1), kFieldNoiseReduction, false, "ON"},
        {"iso auto", Number(kFieldTypeI16, 255), kFieldIsoSpeed, false, "Auto"},
        {"iso", Number(kFieldTypeI16, 400), kFieldIsoSpeed, false, "400"},
        {"spatial quality", Number(kFieldTypeU32, 0x10004), kFieldSpatialQuality, false, "High"},
        {"spatial quality 0", Number(kFieldTypeU32, 0), kFieldSpatialQuality, false, ""},
        {"orientation CW", Number(kFieldTypeI16, 'CW'), kFieldOrientation, false, "90\xB0 CCW"},
        {"orientation none", Number(kFieldTypeI16, 0), kFieldOrientation, false, "Default"},
        {"orientation odd", Number(kFieldTypeI16, 'XY'), kFieldOrientation, false, "Default"},
        // numbers, type codes, versions, labels
        {"label", Number(kFieldTypeU8, 3), kFieldLabel, false, "3"},
        {"label none", Number(kFieldTypeU8, 0), kFieldLabel, false, "0"},
        {"item id", Number(kFieldTypeU32, 0x80000000u), kFieldItemId, false, "-2147483648"},
        {"type code", Number(kFieldTypeU32, 'JPEG'), kFieldFileType, false, "JPEG"},
        {"version 0220", Number(kFieldTypeU32, 0x30323230), kFieldExifVersion, false, "2.2"},
        {"version 0210", Number(kFieldTypeU32, 0x30313230), kFieldExifVersion, false, "2.1"},
        {"compression", Number(kFieldTypeU32, 0x0003FFFF), kFieldCompression, false, "3:-1"},
        {"frame rate", Number(kFieldTypeU32, 29970), kFieldFrameRate, true, "29.97 FPS"},
        {"frame rate whole", Number(kFieldTypeU32, 25000), kFieldFrameRate, false, "25"},
        {"depth with unit", Number(kFieldTypeU32, 24), kFieldDepth, true, "24 bits"},
        {"pages without unit", Number(kFieldTypeU32, 12), kFieldPages, true, "12"},
        // dimensions in pixels
        {"dimensions", Dims(640, 480, 72), kFieldDimensions, true, "640 x 480 pixels"},
        {"dimensions no width", Dims(0, 480, 72), kFieldDimensions, false, "-"},
        {"width", Dims(640, 480, 300), kFieldWidth, true, "640 pixels"},
        {"height", Dims(480, 300, 0), kFieldHeight, false, "480"},
        {"resolution", Number(kFieldTypeU32, 300), kFieldResolution, true, "300 pixels/inch"},
        // text
        {"ansi text", TextValue("Caf\xE9", kFieldTextAnsi), kFieldTitle, false, "Caf\xE9"},
        {"utf-8 text", TextValue("Caf\xC3\xA9", kFieldTextUtf8), kFieldTitle, false, "Caf\xE9"},
        {"long text cut", TextValue(std::string(300, 'x'), kFieldTextAnsi), kFieldCaption, false,
         std::string(255, 'x')},
        {"unknown field", Number(kFieldTypeU32, 5), 0x12345678, true, ""},
        {"no value", Value{kFieldTypeNone, {}}, kFieldTitle, true, ""},
    };
    for (const Row& r : rows) EXPECT_EQ(Format(r.value, r.id, r.withUnit), r.want) << r.what;
}

TEST_F(FieldFormatTest, ZeroRuleByType) {
    struct Case {
        Value value;
        FieldId id;
        const char* want;
    } cases[] = {
        {Number(kFieldTypeU8, 0), kFieldLabel, "0"},              // shows zeros
        {Number(kFieldTypeI16, 0), kFieldExposureProgram, "Not defined"},
        {Number(kFieldTypeU32, 0), kFieldCharacters, "0"},
        {Number(kFieldTypeU32, 0), kFieldPages, ""},              // hides zeros
        {Number(kFieldTypeI16, 0), ExifFieldId(0xA408), ""},    // level 300 only: no row here
        {Pair(0, 5), kFieldAperture, ""},
        {Pair(5, 0), kFieldFocalLength, ""},
        {Pair(0, 1), kFieldExposureBias, "+0.0"},
    };
    for (const Case& c : cases) EXPECT_EQ(Format(c.value, c.id, false), c.want) << c.id;
}

TEST_F(FieldFormatTest, DimensionAndResolutionUnits) {
    struct Case {
        int dimUnit, resUnit;
        Value value;
        FieldId id;
        const char* want;
    } cases[] = {
        {2, 1, Dims(640, 480, 72), kFieldDimensions, "8.9 x 6.7 inches"},
        {3, 1, Dims(300, 150, 300), kFieldDimensions, "2.5 x 1.3 cm"},
        {4, 1, Dims(144, 72, 144), kFieldWidth, "72.0 points"},
        {5, 1, Dims(720, 0, 72), kFieldWidth, "60.0 picas"},
        {2, 1, Dims(144, 1, 0), kFieldWidth, "2.0 inches"},  // resolution below 2 counts as 72
        {1, 2, Number(kFieldTypeU32, 254), kFieldResolution, "100.0 pixels/cm"},
    };
    for (const Case& c : cases) {
        FieldEngineSetDisplayOptions(std::uint8_t(c.dimUnit), std::uint8_t(c.resUnit), 1);
        EXPECT_EQ(Format(c.value, c.id, true), c.want) << c.want;
    }
}

TEST_F(FieldFormatTest, DatesFollowTheDateFormatter) {
    const std::uint32_t date = 3200000000u;  // 2005-05-27 17:46:40
    Str255 withTime, dateOnly;
    FormatDateTime(withTime, date, true, true, true);
    FormatDateTime(dateOnly, date, true, false, false);
    ASSERT_GT(withTime[0], dateOnly[0]);
    EXPECT_EQ(Format(Number(kFieldTypeU32, date), kFieldCreated, false), Text(withTime));
    EXPECT_EQ(Format(Number(kFieldTypeU32, date), kFieldEventDate, false), Text(dateOnly));
    EXPECT_EQ(Format(Number(kFieldTypeU32, date), kFieldCaptureDate, false), Text(withTime));
    EXPECT_EQ(Format(Number(kFieldTypeU32, 0), kFieldCreated, false), "") << "no date, no text";
    EXPECT_NE(Text(dateOnly).find("05"), std::string::npos);
}

TEST_F(FieldFormatTest, LocaleDecimalSeparator) {
    if (!SetFormatLocale("de_DE.UTF-8")) GTEST_SKIP() << "no German locale installed";
    EXPECT_EQ(Format(Number(kFieldTypeU32, 2560), kFieldFileSize, false), "2,5  KB");
    EXPECT_EQ(Format(Pair(28, 10), kFieldAperture, false), "f2,8");
    EXPECT_EQ(Format(Number(kFieldTypeU32, 29970), kFieldFrameRate, false), "29,97");
}

}  // namespace
