// The conversion records: the 160-byte options record's defaults and layout, a stored record
// of the wrong size falling back to the defaults, and the exporter settings text that only the
// exporter that wrote it reads back.
#include "output/convert/ConvertOptions.h"

#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

Handle H(const std::string& bytes) {
    Handle h = nullptr;
    PtrToHand(bytes.data(), &h, Size(bytes.size()));
    return h;
}

std::string Bytes(const ConvertOptionsRec& r) { return std::string(reinterpret_cast<const char*>(&r), sizeof r); }

}  // namespace

TEST(ConvertOptionsTest, TheImageDefaultsLieAtTheirOffsetsInTheStoredBytes) {
    const std::string b = Bytes(DefaultConvertOptions(ConvertMediaKind::Image));
    ASSERT_EQ(b.size(), 160u);
    std::string expected(160, '\0');
    expected[0] = 4;                              // position 4
    expected.replace(4, 4, "GEPJ");               // 'JPEG' as a little-endian u32
    expected[8] = 1;
    expected[9] = expected[10] = 1;
    expected[11] = expected[12] = 1;
    expected[140] = 100;
    expected.replace(144, 2, "\x80\x02");         // 640
    expected.replace(148, 2, "\xE0\x01");         // 480
    expected[156] = 72;
    EXPECT_EQ(b, expected);
}

TEST(ConvertOptionsTest, MovieAndSoundDefaultsNameTheirFormats) {
    const ConvertOptionsRec m = DefaultConvertOptions(ConvertMediaKind::Movie);
    EXPECT_EQ(m.position, 2u);
    EXPECT_EQ(m.subType, OSType('MooV'));
    EXPECT_EQ(m.width, 0u);
    const ConvertOptionsRec s = DefaultConvertOptions(ConvertMediaKind::Sound);
    EXPECT_EQ(s.position, 1u);
    EXPECT_EQ(s.subType, OSType('AIFF'));
    EXPECT_EQ(ConvertEntries(ConvertMediaKind::Image).options, 3);
    EXPECT_EQ(ConvertEntries(ConvertMediaKind::Movie).settings, 6);
    EXPECT_EQ(ConvertEntries(ConvertMediaKind::Sound).optionSetKind, UInt32('SNDC'));
}

TEST(ConvertOptionsTest, AStoredRecordOfTheWrongSizeFallsBackToTheDefaults) {
    ConvertOptionsRec custom = DefaultConvertOptions(ConvertMediaKind::Image);
    custom.subType = 'PNGf';
    custom.sizeMode = 1;
    custom.width = 1600;
    for (std::size_t size : {0u, 1u, 159u, 161u, 320u}) {
        std::string bytes = Bytes(custom);
        bytes.resize(size, 'x');
        Handle h = H(bytes);
        EXPECT_EQ(Bytes(ConvertOptionsFromHandle(h, ConvertMediaKind::Image)),
                  Bytes(DefaultConvertOptions(ConvertMediaKind::Image)))
            << size;
        DisposeHandle(h);
    }
    Handle good = ConvertOptionsToHandle(custom);
    EXPECT_EQ(GetHandleSize(good), 160);
    EXPECT_EQ(Bytes(ConvertOptionsFromHandle(good, ConvertMediaKind::Image)), Bytes(custom));
    DisposeHandle(good);
    EXPECT_EQ(ConvertOptionsFromHandle(nullptr, ConvertMediaKind::Sound).subType, OSType('AIFF'));
}

TEST(ConvertOptionsTest, ExporterSettingsRoundTripAndAreReadOnlyByTheExporterThatWroteThem) {
    ExporterSettings s = DefaultExporterSettings('JPEG');
    EXPECT_EQ(s.Int("quality", 0), 85);
    s.values["quality"] = "40";
    Handle h = ExporterSettingsToHandle(s);
    EXPECT_EQ(ExporterSettingsFromHandle(h, 'JPEG').Int("quality", 0), 40);
    // Written for JPEG, read for PNG: the PNG defaults, not JPEG's values.
    EXPECT_EQ(ExporterSettingsFromHandle(h, 'PNGf').values, DefaultExporterSettings('PNGf').values);
    DisposeHandle(h);
    for (const std::string& damaged : {std::string(""), std::string("quality=1\n"), std::string("\0\0\0\x01", 4)}) {
        Handle d = H(damaged);
        EXPECT_EQ(ExporterSettingsFromHandle(d, 'JPEG').Int("quality", 0), 85);
        DisposeHandle(d);
    }
    ExporterSettings odd;
    odd.subType = 'JPEG';
    odd.values = {{"quality", "high"}};
    EXPECT_EQ(odd.Int("quality", 85), 85);
    EXPECT_EQ(ExporterSettingsText(s), "Quality: 40\n");
}
