// Display colour matching through LittleCMS: RGB, grey and CMYK paths, profile facts, the
// profile comments of picture files, and colour management switched off in the readers.
#include "media/imaging/ColorMatching.h"
#include "media/imaging/Offscreen.h"
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"
#include "support/ImageFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <lcms2.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A profile as bytes in a handle, with its description; v2 stores 'desc', v4 'mluc'.
Handle ProfileHandle(cmsHPROFILE p, const std::string& description, double version = 2.1) {
    cmsSetProfileVersion(p, version);
    cmsMLU* mlu = cmsMLUalloc(nullptr, 1);
    cmsMLUsetASCII(mlu, "en", "US", description.c_str());
    cmsWriteTag(p, cmsSigProfileDescriptionTag, mlu);
    cmsMLUfree(mlu);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(p, nullptr, &size);
    std::vector<char> bytes(size);
    cmsSaveProfileToMem(p, bytes.data(), &size);
    cmsCloseProfile(p);
    Handle h = nullptr;
    PtrToHand(bytes.data(), &h, Size(size));
    return h;
}

Handle Srgb(const std::string& description = "sRGB test") {
    return ProfileHandle(cmsCreate_sRGBProfile(), description);
}

// A wide-gamut RGB profile (primaries far out, linear), under which colours look different.
Handle WideGamut(const std::string& description = "Wide test") {
    cmsCIExyY white{0.3457, 0.3585, 1.0};
    cmsCIExyYTRIPLE primaries{{0.7347, 0.2653, 1}, {0.1152, 0.8264, 1}, {0.1566, 0.0177, 1}};
    cmsToneCurve* linear = cmsBuildGamma(nullptr, 1.0);
    cmsToneCurve* curves[3] = {linear, linear, linear};
    cmsHPROFILE p = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(linear);
    return ProfileHandle(p, description);
}

// A narrow-gamut RGB profile: its pure primaries are dull colours on an sRGB display.
Handle Narrow(const std::string& description) {
    cmsCIExyY white{0.3457, 0.3585, 1.0};
    cmsCIExyYTRIPLE primaries{{0.50, 0.33, 1}, {0.30, 0.50, 1}, {0.22, 0.20, 1}};
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
    cmsToneCurve* curves[3] = {gamma, gamma, gamma};
    cmsHPROFILE p = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(gamma);
    return ProfileHandle(p, description);
}

Handle Grey() {
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
    cmsHPROFILE p = cmsCreateGrayProfile(cmsD50_xyY(), gamma);
    cmsFreeToneCurve(gamma);
    return ProfileHandle(p, "Grey test");
}

std::string Desc(Handle h) {
    Str255 s;
    ProfileGetDescription(h, s);
    return std::string(reinterpret_cast<char*>(s + 1), s[0]);
}

GWorldPtr Filled(OSType format, int w, int h, std::initializer_list<std::uint8_t> pixel) {
    Rect r{0, 0, std::int16_t(h), std::int16_t(w)};
    GWorldPtr world = nullptr;
    EXPECT_EQ(NewGWorldFromFormat(&world, format, &r), noErr);
    PixelView v = GetGWorldPixels(world);
    int bytes = v.depth / 8;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) std::memcpy(v.base + y * v.rowBytes + x * bytes, pixel.begin(), std::size_t(bytes));
    return world;
}

const std::uint8_t* Px(GWorldPtr w, int x = 0, int y = 0) {
    PixelView v = GetGWorldPixels(w);
    return v.base + y * v.rowBytes + x * (v.depth / 8);
}

TEST(ColorMatching, SrgbToTheSrgbDisplayKeepsThePixelsAndAWideGamutChangesThem) {
    Handle srgb = Srgb(), wide = WideGamut();
    GWorldPtr w = Filled(32, 4, 4, {40, 80, 160, 0xFF});
    ASSERT_EQ(IccMatchOffscreen(w, srgb, nullptr, nullptr, 0, nullptr), noErr);
    EXPECT_NEAR(Px(w)[0], 40, 1);
    EXPECT_NEAR(Px(w)[1], 80, 1);
    EXPECT_NEAR(Px(w)[2], 160, 1);
    Str31 name;
    ASSERT_EQ(IccMatchOffscreen(w, wide, nullptr, nullptr, 0, name), noErr);
    EXPECT_GT(std::abs(int(Px(w)[2]) - 160), 10);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(name + 1), name[0]), "Wide test");
    // Neither profile given: from the display to itself.
    GWorldPtr same = Filled(32, 2, 2, {1, 2, 3, 0xFF});
    ASSERT_EQ(IccMatchOffscreen(same, nullptr, nullptr, nullptr, 0, nullptr), noErr);
    EXPECT_NEAR(Px(same)[2], 3, 1);
    // A profile that is not RGB, or no profile at all, is refused and changes nothing.
    Handle grey = Grey();
    GWorldPtr keep = Filled(32, 2, 2, {10, 20, 30, 0xFF});
    EXPECT_EQ(IccMatchOffscreen(keep, grey, nullptr, nullptr, 0, nullptr), paramErr);
    Handle junk = NewHandleClear(300);
    EXPECT_EQ(IccMatchOffscreen(keep, junk, nullptr, nullptr, 0, nullptr), paramErr);
    EXPECT_EQ(Px(keep)[0], 10);
    for (GWorldPtr g : {w, same, keep}) DisposeGWorld(g);
    for (Handle h : {srgb, wide, grey, junk}) DisposeHandle(h);
}

TEST(ColorMatching, TheDisplayProfileCanBeReplacedAndReset) {
    Handle wide = WideGamut(), srgb = Srgb();
    // Matched once to the sRGB display (the transform is kept), then to a new display.
    GWorldPtr first = Filled(32, 2, 2, {40, 80, 160, 0xFF});
    ASSERT_EQ(IccMatchOffscreen(first, srgb, nullptr, nullptr, 0, nullptr), noErr);
    EXPECT_NEAR(Px(first)[2], 160, 1);
    DisposeGWorld(first);
    ASSERT_EQ(DisplayProfileSet(wide), noErr);
    GWorldPtr w = Filled(32, 2, 2, {40, 80, 160, 0xFF});
    ASSERT_EQ(IccMatchOffscreen(w, srgb, nullptr, nullptr, 0, nullptr), noErr);
    EXPECT_GT(std::abs(int(Px(w)[2]) - 160), 10);
    ASSERT_EQ(DisplayProfileSet(nullptr), noErr);
    Handle junk = NewHandleClear(64);
    EXPECT_EQ(DisplayProfileSet(junk), paramErr);
    DisposeGWorld(w);
    for (Handle h : {wide, srgb, junk}) DisposeHandle(h);
}

TEST(ColorMatching, GreyWorldsConvertThroughTheirProfileWithoutInversion) {
    Handle grey = Grey();
    GWorldPtr g = Filled(k8IndexedGrayPixelFormat, 2, 1, {0});
    PixelView v = GetGWorldPixels(g);
    v.base[1] = 255;
    GWorldPtr out = nullptr;
    Str31 name;
    ASSERT_EQ(IccConvertToBGRA(g, grey, &out, 'GRAY', name, nullptr, 0), noErr);
    EXPECT_LE(Px(out, 0)[1], 2);    // black stays black
    EXPECT_GE(Px(out, 1)[1], 253);  // white stays white
    EXPECT_EQ(GetPortBounds(out).right, 2);
    DisposeGWorld(out);
    // The wrong kind of profile, or of world, is refused.
    Handle srgb = Srgb();
    EXPECT_EQ(IccConvertToBGRA(g, srgb, &out, 'GRAY', nullptr, nullptr, 0), paramErr);
    EXPECT_EQ(out, nullptr);
    GWorldPtr rgb = Filled(32, 1, 1, {0, 0, 0, 0});
    EXPECT_EQ(IccConvertToBGRA(rgb, grey, &out, 'GRAY', nullptr, nullptr, 0), paramErr);
    DisposeGWorld(rgb);
    DisposeGWorld(g);
    DisposeHandle(srgb);
    DisposeHandle(grey);
}

TEST(ProfileFacts, DescriptionsAreCutAndBadProfilesAnswerNothing) {
    std::string forty = "A profile description of forty letters!";
    ASSERT_EQ(forty.size(), 39u);
    forty += "x";
    for (double version : {2.1, 4.3}) {
        Handle h = ProfileHandle(cmsCreate_sRGBProfile(), forty, version);
        EXPECT_EQ(Desc(h), forty) << version;
        Str31 shortName;
        OSType space = 0;
        ASSERT_TRUE(IccProfileGetInfo(h, shortName, &space));
        EXPECT_EQ(shortName[0], 30);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(shortName + 1), 30), forty.substr(0, 30));
        EXPECT_EQ(space, OSType('RGB '));
        // A profile cut short answers no description and no crash.
        SetHandleSize(h, 140);
        EXPECT_EQ(Desc(h), "");
        DisposeHandle(h);
    }
    Handle tiny = NewHandleClear(20);
    EXPECT_FALSE(IccProfileGetInfo(tiny, nullptr, nullptr));
    EXPECT_FALSE(IccProfileGetInfo(nullptr, nullptr, nullptr));
    DisposeHandle(tiny);
}

TEST(ProfileFacts, TheInfoRecordKeepsAProfileNameOf31CharactersOrItsFirst28AndThreeDots) {
    struct {
        std::string description;
        std::string expect;
    } cases[] = {
        {std::string(31, 'a'), std::string(31, 'a')},
        {std::string(32, 'b'), std::string(28, 'b') + "..."},
        {"Forty characters of profile description", "Forty characters of profile ..."},
    };
    for (auto& c : cases) {
        Handle profile = Srgb(c.description);
        UserData list = nullptr;
        NewUserData(&list);
        KindInfoRec info{};
        KindGetMetadata(list, &info, profile, nullptr, nullptr, nullptr);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(info.colorProfile + 1), info.colorProfile[0]), c.expect);
        DisposeUserData(list);
        DisposeHandle(profile);
    }
}

// A picture file (with its 512-byte header) whose opcodes after the header are given.
std::string PictFile(const std::vector<std::string>& opcodes) {
    std::string f(512, '\0');
    f += std::string("\x00\x00\x00\x00\x00\x00\x00\x10\x00\x10", 10);
    f += std::string("\x00\x11\x02\xFF\x0C\x00", 6) + std::string(24, '\0');
    for (auto& o : opcodes) f += o;
    f += std::string("\x00\xFF", 2);
    return f;
}

// A long comment of kind 0xE0 with a selector and data (padded to even).
std::string ProfileComment(std::uint32_t selector, const std::string& data, std::uint16_t kind = 0xE0) {
    std::string c("\x00\xA1", 2);
    std::uint8_t head[8];
    WriteBE16(head, kind);
    WriteBE16(head + 2, std::uint16_t(data.size() + 4));
    WriteBE32(head + 4, selector);
    c += std::string(reinterpret_cast<char*>(head), 8) + data;
    if (c.size() & 1) c.push_back('\0');
    return c;
}

TEST(PictureProfiles, TheProfileOfAPictureFileIsCollectedFromItsComments) {
    TempFolder t;
    std::string part1 = "ICC-", part2 = "profile-", part3 = "bytes!!";  // the last one is odd-sized
    struct {
        const char* what;
        std::vector<std::string> ops;
        std::string expect;  // empty: no profile
    } cases[] = {
        {"three parts", {ProfileComment(0, part1), ProfileComment(1, part2), ProfileComment(1, part3), ProfileComment(2, "")},
         part1 + part2 + part3},
        {"no end", {ProfileComment(0, part1), ProfileComment(1, part2)}, ""},
        {"first opcode not a comment", {std::string("\x00\x1E", 2), ProfileComment(0, part1), ProfileComment(2, "")}, ""},
        {"other comments before", {ProfileComment(5, "xx", 0x64), ProfileComment(0, part1), ProfileComment(2, "")}, part1},
        {"continuation without a start", {ProfileComment(1, part2), ProfileComment(0, part1), ProfileComment(2, "")}, part1},
        {"comment too short for a selector", {std::string("\x00\xA1\x00\xE0\x00\x02xy", 8), ProfileComment(0, part1)}, ""},
    };
    for (auto& c : cases) {
        FSSpec spec;
        FSMakeFSSpecFromPath(fixtures::WriteFile(t / "p.pict", PictFile(c.ops)), &spec);
        Handle h = PictFileReadProfile(&spec);
        if (c.expect.empty()) {
            EXPECT_EQ(h, nullptr) << c.what;
        } else {
            ASSERT_NE(h, nullptr) << c.what;
            EXPECT_EQ(std::string(*h, std::size_t(GetHandleSize(h))), c.expect) << c.what;
        }
        if (h) DisposeHandle(h);
    }
    FSSpec none;
    FSMakeFSSpecFromPath(fixtures::WriteFile(t / "x.pict", "short"), &none);
    EXPECT_EQ(PictFileReadProfile(&none), nullptr);
}

class ReaderColour : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr); }
    void TearDown() override {
        KindSetImporterOptionB(0);
        KindSetImporterHook(kKindProfileFromFile);
        KindEngineShutdown();
        KindTableClear();
    }
};

TEST_F(ReaderColour, EmbeddedProfilesAreMatchedUnlessColourManagementIsOff) {
    TempFolder t;
    Handle narrow = Narrow("Embedded narrow");
    std::vector<std::uint8_t> icc(reinterpret_cast<std::uint8_t*>(*narrow),
                                  reinterpret_cast<std::uint8_t*>(*narrow) + GetHandleSize(narrow));
    std::string path = fixtures::WriteFile(t / "narrow.jpg", fixtures::Jpeg(32, 32, fixtures::JpegKind::Rgb, 95, 0, icc));
    FSSpec spec;
    FSMakeFSSpecFromPath(path, &spec);
    auto thumb = [&](UInt8 off, Handle hook) {
        KindSetImporterOptionB(off);
        KindSetImporterHook(hook);
        GWorldPtr w = nullptr;
        UInt32 index = 1;
        EXPECT_EQ(KindMakeThumbnail(&spec, &w, 32, 'JPEG', &index, 0), noErr);
        int red = Px(w, 4, 4)[2], green = Px(w, 4, 4)[1];
        DisposeGWorld(w);
        return std::pair{red, green};
    };
    auto matched = thumb(0, kKindProfileFromFile);
    auto plain = thumb(1, kKindProfileFromFile);
    auto ignored = thumb(0, kKindProfileNone);
    EXPECT_NEAR(plain.first, 255, 6);
    EXPECT_NEAR(plain.second, 0, 6);
    EXPECT_GT(std::abs(matched.second - plain.second) + std::abs(matched.first - plain.first), 10);
    EXPECT_EQ(ignored, plain);

    KindReadImageInfo(&spec, nullptr, nullptr, nullptr, nullptr, nullptr);
    bool canEmbed = false, hasProfile = false;
    Str255 name;
    OSType space = 0;
    KindSetImporterOptionB(0);
    KindSetImporterHook(kKindProfileFromFile);
    KindReadImageInfo(&spec, &canEmbed, &hasProfile, name, nullptr, &space);
    EXPECT_TRUE(canEmbed);
    EXPECT_TRUE(hasProfile);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(name + 1), name[0]), "Embedded narrow");
    EXPECT_EQ(space, OSType('RGB '));

    // Reading the file for the catalog: the profile's name unless colour management is off.
    for (UInt8 off : {0, 1}) {
        KindSetImporterOptionB(off);
        KindFileRec file;
        ASSERT_EQ(KindTypeOfFileSpec(&spec, &file), noErr);
        KindInfoRec info{};
        PicHandle pic = nullptr;
        ASSERT_EQ(KindGetInfo(&file, &info, true, 1, 1, 32, &pic, nullptr, nullptr, nullptr), noErr);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(info.colorProfile + 1), info.colorProfile[0]),
                  off ? "" : "Embedded narrow");
        if (pic) DisposeHandle(pic);
    }
    DisposeHandle(narrow);
}

}  // namespace
