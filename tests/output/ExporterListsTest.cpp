// The format lists of the conversion dialogs against what the machine can write: every
// sound and movie format offered is one this FFmpeg has the muxer and encoders for (asked of
// the ffmpeg tool, not of our own code), the stored defaults find their formats, and a stored
// choice is found by its code before its position.
#include "output/convert/ExporterLists.h"

#include "platform/movies/MovieExportTable.h"
#include "support/RunTool.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

namespace {

std::string Name(ConstStringPtr p) { return std::string(reinterpret_cast<const char*>(p + 1), p[0]); }

// The encoder and muxer names the ffmpeg tool lists.
std::set<std::string> ToolNames(const char* option) {
    std::string out;
    RunTool({"ffmpeg", "-hide_banner", option}, &out);
    std::set<std::string> names;
    std::istringstream lines(out);
    std::string line;
    bool body = false;
    while (std::getline(lines, line)) {
        if (line.find("--") != std::string::npos && line.find_first_not_of(" -") == std::string::npos) {
            body = true;
            continue;
        }
        if (!body) continue;
        std::istringstream words(line);
        std::string flags, names_;
        words >> flags >> names_;
        std::istringstream each(names_);
        std::string n;
        while (std::getline(each, n, ',')) names.insert(n);
    }
    return names;
}

class ExporterListsTest : public ::testing::Test {
protected:
    void TearDown() override { FreeExporterLists(); }
};

}  // namespace

TEST_F(ExporterListsTest, TheImageListHoldsOurExportersAndFindsTheStoredJpegDefault) {
    ASSERT_GE(GetImageExporterCount(), 4);
    std::set<OSType> types;
    for (SInt32 i = 1; i <= GetImageExporterCount(); ++i) types.insert(GetImageExporterType(i));
    for (OSType t : {OSType('JPEG'), OSType('PNGf'), OSType('TIFF'), OSType('BMPf')}) EXPECT_TRUE(types.count(t));
    // The stored default names position 4 and 'JPEG': the code wins over the position.
    const SInt32 p = FindStoredExporter(GetImageExporters(), 'JPEG', 4);
    EXPECT_EQ(GetImageExporterType(p), OSType('JPEG'));
    EXPECT_EQ(Name(GetImageExporterName(p)), "JPEG");
}

TEST_F(ExporterListsTest, EverySoundAndMovieFormatOfferedIsOneTheMachinesFfmpegCanWrite) {
    const std::set<std::string> encoders = ToolNames("-encoders");
    const std::set<std::string> muxers = ToolNames("-muxers");
    ASSERT_TRUE(encoders.count("pcm_s16le")) << "the ffmpeg tool's encoder list could not be read";
    for (const auto& c : AllMovieExportComponents()) {
        bool writable = muxers.count(c.muxer) > 0;
        auto any = [&](const std::vector<std::string>& list) {
            for (const auto& e : list)
                if (encoders.count(e)) return true;
            return false;
        };
        if (!c.videoCodecs.empty()) writable = writable && any(c.videoCodecs);
        writable = writable && any(c.audioCodecs);
        const CExporterList* list = c.manufacturer == 'soun' ? GetSoundExporters() : GetMovieExporters();
        EXPECT_EQ(list->PositionOf(c.subtype) != 0, writable) << c.name;
    }
    // A stock FFmpeg writes AIFF and QuickTime movies: the stored defaults find them.
    EXPECT_EQ(GetSoundExporterType(FindStoredExporter(GetSoundExporters(), 'AIFF', 1)), OSType('AIFF'));
    EXPECT_EQ(GetMovieExporterType(FindStoredExporter(GetMovieExporters(), 'MooV', 2)), OSType('MooV'));
    for (SInt32 i = 1; i <= GetSoundExporterCount(); ++i) EXPECT_NE(GetSoundExporterType(i), OSType('snd '));
    for (SInt32 i = 1; i <= GetMovieExporterCount(); ++i) EXPECT_NE(GetMovieExporterType(i), OSType('snd '));
}

TEST_F(ExporterListsTest, AnEncoderMissingFromTheMachineHidesItsFormat) {
    MovieExportComponentInfo missing{'ZZZZ', 'soun', "Nothing", "zz", "wav", {}, {"no_such_encoder_here"}};
    EXPECT_FALSE(MovieExportComponentAvailable(missing));
    missing.audioCodecs.push_back("pcm_s16le");   // a fallback encoder the machine has
    EXPECT_TRUE(MovieExportComponentAvailable(missing));
    MovieExportComponentInfo noMuxer{'ZZZZ', 'soun', "Nothing", "zz", "no_such_muxer", {}, {"pcm_s16le"}};
    EXPECT_FALSE(MovieExportComponentAvailable(noMuxer));
}

TEST_F(ExporterListsTest, AStoredChoiceIsFoundByItsCodeThenItsPosition) {
    const CExporterList* list = GetImageExporters();
    const SInt32 png = list->PositionOf('PNGf');
    ASSERT_GT(png, 0);
    struct Case {
        OSType stored;
        UInt32 position;
        SInt32 expected;
    } cases[] = {
        {'PNGf', 1, png},                  // the code wins over a stale position
        {'XXXX', 2, 2},                    // an unknown code: the position, when in range
        {'XXXX', 999, 1},                  // neither: the first format
        {'XXXX', 0, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(FindStoredExporter(list, c.stored, c.position), c.expected);
    EXPECT_EQ(FindStoredExporter(nullptr, 'JPEG', 1), 0);
}

TEST_F(ExporterListsTest, ListsAreMadeOnceAndAgainAfterTheyWereFreed) {
    CExporterList* first = GetSoundExporters();
    EXPECT_EQ(GetSoundExporters(), first);
    EXPECT_EQ(first->Description().componentType, OSType('spit'));
    EXPECT_EQ(first->Description().componentManufacturer, OSType('soun'));
    EXPECT_EQ(GetMovieExporters()->Description().componentManufacturer, OSType('appl'));
    EXPECT_EQ(GetImageExporters()->Description().componentFlagsMask, 1u);
    const SInt32 count = first->Count();
    FreeExporterLists();
    CExporterList* again = GetSoundExporters();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Count(), count);
}
