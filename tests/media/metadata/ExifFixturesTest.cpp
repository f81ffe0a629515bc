// EXIF, GPS and maker-note values read from real camera files, as the files hold them.
#include "media/metadata/Exif.h"
#include "media/metadata/JpegMetadata.h"
#include "media/metadata/MetaValueStore.h"
#include "MetaTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

using namespace metatest;

struct Rational {
    std::uint32_t num = 0, den = 0;
    bool operator==(const Rational& o) const { return num == o.num && den == o.den; }
};

Rational RationalItem(UserData ud, OSType type, int index = 0) {
    Bytes b = Item(ud, type);
    if (b.size() < std::size_t(8 * (index + 1))) return {};
    return {ReadBE32(b.data() + 8 * index), ReadBE32(b.data() + 8 * index + 4)};
}
int ShortItem(UserData ud, OSType type) {
    Bytes b = Item(ud, type);
    return b.size() == 2 ? ReadBE16(b.data()) : -1;
}

// Reads a file the way the readers do: JPEG through its marker walk, TIFF-based files at 0.
void ReadFile(const std::string& path, UserData ud) {
    FSSpec spec = CheckedSpecOf(path);
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".jpg") == 0)
        ASSERT_EQ(WalkJpegMarkers(&spec, nullptr, nullptr, nullptr, nullptr, ud), noErr) << path;
    else
        ASSERT_EQ(ExifReadFromFile(&spec, 0, ud, nullptr), noErr) << path;
}

struct Camera {
    const char* file;
    const char* make;
    const char* model;
    Rational exposure;
    Rational fnumber;
    int iso;  // -1: the file has no ISO a standard tag or a decoded maker note gives
    Rational focal;
    const char* dateOriginal;
    int orientation;
    const char* lens;  // from the maker note, when it has one
};

const Camera kCameras[] = {
    {"metadata-samples/Canon.jpg", "Canon", "Canon EOS DIGITAL REBEL", {4, 1}, {14, 1}, 100, {34, 1}, "2003:12:04 06:46:52", 1, "18-55 mm"},
    {"metadata-samples/Casio.jpg", "CASIO", "QV-3000EX", {10000, 1140250}, {20, 10}, -1, {1330, 100}, "2000:03:31 10:44:15", 1, nullptr},
    {"metadata-samples/FujiFilm.jpg", "FUJIFILM", "FinePix2400Zoom", {10, 640}, {350, 100}, 100, {600, 100}, "2001:05:19 18:36:41", 1, nullptr},
    {"metadata-samples/Kodak.jpg", "EASTMAN KODAK COMPANY", "KODAK DX4900 ZOOM DIGITAL CAMERA", {1, 180}, {67, 10}, -1, {102, 10}, "2002:05:01 10:22:28", 1, nullptr},
    {"metadata-samples/Minolta.jpg", "Minolta Co., Ltd.", "DiMAGE 7i", {1, 180}, {56, 10}, 100, {10836, 256}, "2002:06:01 12:37:27", 1, nullptr},
    {"metadata-samples/Nikon.jpg", "NIKON", "E775", {10, 2134}, {94, 10}, 100, {86, 10}, "2001:08:01 12:57:23", 1, nullptr},
    {"metadata-samples/Olympus.jpg", "OLYMPUS OPTICAL CO.,LTD", "C2000Z", {10, 300}, {20, 10}, 100, {70, 10}, "1999:12:06 16:38:40", 1, nullptr},
    {"metadata-samples/Panasonic.jpg", "Panasonic", "DMC-FZ3", {10, 4000}, {40, 10}, 80, {46, 10}, "2004:08:28 15:55:46", 1, nullptr},
    {"metadata-samples/Pentax.jpg", "PENTAX Corporation", "PENTAX K10D", {1, 100}, {130, 10}, 100, {1000, 100}, "2008:03:02 12:01:23", 8, nullptr},
    {"metadata-samples/Sony.jpg", "SONY", "DSC-F828", {10, 2500}, {71, 10}, 64, {125, 10}, "2003:12:18 13:51:33", 1, nullptr},
    {"metadata-samples/CanonRaw.cr2", "Canon", "Canon EOS 350D DIGITAL", {1, 15}, {80, 10}, 400, {55, 1}, "2005:08:03 18:59:18", 1, "18-55 mm"},
    {"metadata-samples/Nikon.nef", "NIKON CORPORATION", "NIKON D70", {5, 100}, {35, 10}, 200, {18, 1}, "2004:06:09 16:02:35", 1, "18-70 mm"},
    {"metadata-samples/DNG.dng", "Canon", "Canon EOS 350D DIGITAL", {1, 15}, {8, 1}, 400, {55, 1}, "2005:08:03 18:59:18", 1, nullptr},
    {"orientation/gps_DSCN0010.jpg", "NIKON", "COOLPIX P6000", {4, 300}, {59, 10}, 64, {24, 1}, "2008:10:22 16:28:39", 1, nullptr},
};

TEST(ExifFixtures, CameraValuesAsTheFilesHoldThem) {
    for (const Camera& c : kCameras) {
        SCOPED_TRACE(c.file);
        List l;
        ReadFile(SharedFixture(c.file), l.ud);
        EXPECT_EQ(Text(l.ud, kUdText_mak), c.make);
        EXPECT_EQ(Text(l.ud, kUdText_mod), c.model);
        EXPECT_EQ(RationalItem(l.ud, ExifFieldId(0x829A)), c.exposure);
        EXPECT_EQ(RationalItem(l.ud, ExifFieldId(0x829D)), c.fnumber);
        EXPECT_EQ(ShortItem(l.ud, ExifFieldId(0x8827)), c.iso);
        EXPECT_EQ(RationalItem(l.ud, ExifFieldId(0x920A)), c.focal);
        EXPECT_EQ(Str(Item(l.ud, ExifFieldId(0x9003))), std::string(c.dateOriginal) + '\0');
        EXPECT_EQ(LastExifOrientation, c.orientation);
        if (c.lens) {
            EXPECT_EQ(Str(Item(l.ud, 0x6578B002)), c.lens);
        } else {
            EXPECT_EQ(CountUserDataType(l.ud, 0x6578B002), 0);
        }
        // The header item: byte order as read, magic 42 and the first directory, native order.
        Bytes tiff = Item(l.ud, 'TIFF');
        ASSERT_EQ(tiff.size(), 8u);
        EXPECT_TRUE(tiff[0] == tiff[1] && (tiff[0] == 'I' || tiff[0] == 'M'));
        EXPECT_EQ(ReadLE16(tiff.data() + 2), 42);
    }
}

TEST(ExifFixtures, OrientationOfEachPicture) {
    for (int n = 1; n <= 8; ++n) {
        List l;
        std::string file = SharedFixture("orientation/landscape_" + std::to_string(n) + ".jpg");
        ReadFile(file, l.ud);
        EXPECT_EQ(LastExifOrientation, n) << file;
    }
}

TEST(ExifFixtures, GpsPosition) {
    struct Case {
        const char* file;
        char latRef, lonRef;
        double latitude, longitude;
    } cases[] = {
        {"orientation/gps_DSCN0010.jpg", 'N', 'E', 43.4674483, 11.8851267},
        {"orientation/gps_DSCN0021.jpg", 'N', 'E', 43.4670817, 11.8845383},
        {"metadata-samples/GPS.jpg", 'N', 'W', 54.9896667, 1.9141667},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        List l;
        ReadFile(SharedFixture(c.file), l.ud);
        auto degrees = [&](OSType type) {
            double v = 0, scale = 1;
            for (int i = 0; i < 3; ++i, scale *= 60) {
                Rational r = RationalItem(l.ud, type, i);
                if (!r.den) return -1.0;
                v += double(r.num) / r.den / scale;
            }
            return v;
        };
        EXPECT_EQ(Item(l.ud, GpsFieldId(1)).at(0), c.latRef);
        EXPECT_EQ(Item(l.ud, GpsFieldId(3)).at(0), c.lonRef);
        EXPECT_NEAR(degrees(GpsFieldId(2)), c.latitude, 1e-6);
        EXPECT_NEAR(degrees(GpsFieldId(4)), c.longitude, 1e-6);
    }
}

// An altitude below sea level keeps its reference (GPS tag 5 = 1) beside the altitude, so the
// catalog shows it below sea level.
TEST(ExifFixtures, AnAltitudeBelowSeaLevelKeepsItsReference) {
    for (int reference : {0, 1}) {
        SCOPED_TRACE(reference);
        TempFolder dir;
        const std::string path = dir / "gps.jpg";
        WriteBytes(path, ReadBytes(SharedFixture("orientation/gps_DSCN0010.jpg")));
        int status = 0;
        RunProgram({"exiftool", "-q", "-overwrite_original", "-n", "-GPSAltitude=12.5",
                    "-GPSAltitudeRef=" + std::to_string(reference), path}, &status);
        ASSERT_EQ(0, status);
        List l;
        ReadFile(path, l.ud);
        EXPECT_EQ(Bytes{std::uint8_t(reference)}, Item(l.ud, GpsFieldId(5)));
        const Bytes altitude = Item(l.ud, GpsFieldId(6));
        ASSERT_EQ(8u, altitude.size());
        EXPECT_DOUBLE_EQ(12.5, double(ReadBE32(altitude.data())) / ReadBE32(altitude.data() + 4));
    }
}

// exiftool reads the same EXIF values (its EXIF group, not its maker-note decoders).
TEST(ExifFixtures, AgreesWithExiftool) {
    std::vector<std::string> args = {"exiftool", "-n", "-T", "-EXIF:ExposureTime", "-EXIF:FNumber", "-EXIF:FocalLength",
                                     "-EXIF:DateTimeOriginal", "-EXIF:Make", "-EXIF:Model", "-EXIF:ISO"};
    for (const Camera& c : kCameras) args.push_back(SharedFixture(c.file));
    std::string out = RunProgram(args);
    std::vector<std::vector<std::string>> rows;
    std::size_t start = 0;
    while (start < out.size()) {
        std::size_t end = out.find('\n', start);
        std::string line = out.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::vector<std::string> fields;
        std::size_t f = 0;
        while (true) {
            std::size_t tab = line.find('\t', f);
            fields.push_back(line.substr(f, tab == std::string::npos ? std::string::npos : tab - f));
            if (tab == std::string::npos) break;
            f = tab + 1;
        }
        rows.push_back(fields);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    ASSERT_EQ(rows.size(), std::size(kCameras)) << out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Camera& c = kCameras[i];
        const std::vector<std::string>& r = rows[i];
        SCOPED_TRACE(c.file);
        ASSERT_EQ(r.size(), 7u);
        List l;
        ReadFile(SharedFixture(c.file), l.ud);
        auto ratio = [](Rational x) { return x.den ? double(x.num) / x.den : NAN; };
        // "-" marks a tag the file does not have (an exposure time may then come from its APEX form).
        auto near = [&](OSType type, const std::string& expected) {
            if (expected == "-") return;
            EXPECT_NEAR(ratio(RationalItem(l.ud, type)), std::strtod(expected.c_str(), nullptr), 1e-6) << std::hex << type;
        };
        near(ExifFieldId(0x829A), r[0]);
        near(ExifFieldId(0x829D), r[1]);
        near(ExifFieldId(0x920A), r[2]);
        EXPECT_EQ(r[3], c.dateOriginal);
        EXPECT_EQ(r[4], Text(l.ud, kUdText_mak));
        EXPECT_EQ(r[5], Text(l.ud, kUdText_mod));
        if (r[6] != "-") {
            EXPECT_EQ(ShortItem(l.ud, ExifFieldId(0x8827)), std::atoi(r[6].c_str()));
        }
    }
}

}  // namespace
