// Converting sounds and movies through FFmpeg, checked by ffprobe: the format and codec asked
// for, a sound's duration within one frame of its source, a movie's frame count; a sound
// export of a silent movie failing cleanly; and a cancel that leaves no partial file.
#include "ConvertTestSupport.h"

#include "platform/movies/MovieExportTable.h"
#include "support/MovieFixtures.h"

#include <cmath>

namespace {

using moviefixtures::ProbeFile;

double Number(const moviefixtures::Probe& p, const std::string& key) {
    auto it = p.find(key);
    return it == p.end() ? -1 : std::atof(it->second.c_str());
}

// Cancels at the first progress it is told of.
class CancellingHooks : public ViewHooks {
public:
    OSErr ProgressFraction(short message, double) override {
        if (message == 1) ++calls;
        return message == 1 ? OSErr(userCanceledErr) : OSErr(noErr);
    }
    int calls = 0;
};

}  // namespace

TEST_F(ConvertTest, SoundsBecomeWaveAndAacFilesOfTheSameDuration) {
    ASSERT_TRUE(moviefixtures::MakeSound(folder / "media/tone.aif", {"-c:a", "pcm_s16be"}, 1.5, 44100, 2));
    AddAndSelect({"media/tone.aif"});
    const double source = Number(ProbeFile(folder / "media/tone.aif"), "format.duration");
    ASSERT_GT(source, 1.4);
    const FSSpec out = Folder("out");
    struct Case {
        OSType format;
        const char* file;
        const char* codec;
        double frame;   // the format's frame length in seconds
    } cases[] = {
        {'WAVE', "out/tone.wav", "pcm_s16le", 1.0 / 44100},
        {'mp4a', "out/tone.m4a", "aac", 1024.0 / 44100},
        {'FLAC', "out/tone.flac", "flac", 4608.0 / 44100},
    };
    for (const Case& c : cases) {
        if (!GetSoundExporters()->PositionOf(c.format)) continue;   // this FFmpeg cannot write it
        ConvertOptionsRec o = DefaultConvertOptions(ConvertMediaKind::Sound);
        o.subType = c.format;
        StoreOptions(ConvertMediaKind::Sound, o);
        ConvertSummary summary;
        ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Sound, view, nullptr, false, &out, &summary), noErr);
        EXPECT_EQ(summary.done, 1) << c.file;
        const auto p = ProbeFile(folder / c.file);
        EXPECT_EQ(p.count("streams.stream.1.codec_type"), 0u) << c.file;
        EXPECT_EQ(p.at("streams.stream.0.codec_name"), c.codec);
        EXPECT_EQ(p.at("streams.stream.0.channels"), "2");
        EXPECT_NEAR(Number(p, "format.duration"), source, c.frame) << c.file;
    }
    EXPECT_EQ(Names("media"), (std::vector<std::string>{"tone.aif"}));
}

TEST_F(ConvertTest, SoundSettingsChangeTheRateAndChannels) {
    ASSERT_TRUE(moviefixtures::MakeSound(folder / "media/tone.wav", {"-c:a", "pcm_s16le"}, 1.0, 22050, 2));
    AddAndSelect({"media/tone.wav"});
    ConvertOptionsRec o = DefaultConvertOptions(ConvertMediaKind::Sound);
    o.subType = 'AIFF';
    ExporterSettings s = DefaultExporterSettings('AIFF');
    s.values = {{"samplerate", "8000"}, {"channels", "1"}};
    StoreOptions(ConvertMediaKind::Sound, o, &s);
    const FSSpec out = Folder("out");
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Sound, view, nullptr, false, &out, nullptr), noErr);
    const auto p = ProbeFile(folder / "out/tone.aif");
    EXPECT_EQ(p.at("streams.stream.0.sample_rate"), "8000");
    EXPECT_EQ(p.at("streams.stream.0.channels"), "1");
    EXPECT_NEAR(Number(p, "format.duration"), 1.0, 1.0 / 8000 + 0.001);
}

TEST_F(ConvertTest, AMovieKeepsEveryFrameAndItsSound) {
    ASSERT_TRUE(moviefixtures::MakeMovie(folder / "media/clip.avi", {"-c:v", "mpeg4", "-c:a", "pcm_s16le"}, true, 2.0,
                                         "160x120", 10));
    AddAndSelect({"media/clip.avi"});
    ConvertOptionsRec o = DefaultConvertOptions(ConvertMediaKind::Movie);
    ExporterSettings s = DefaultExporterSettings('MooV');
    s.values = {{"width", "80"}, {"height", "60"}};
    StoreOptions(ConvertMediaKind::Movie, o, &s);
    const FSSpec out = Folder("out");
    ConvertSummary summary;
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Movie, view, nullptr, false, &out, &summary), noErr);
    ASSERT_EQ(summary.done, 1);
    std::string frames;
    RunTool({"ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
             "stream=nb_read_frames", "-of", "csv=p=0", folder / "out/clip.mov"},
            &frames);
    EXPECT_EQ(std::atoi(frames.c_str()), 20);
    const auto p = ProbeFile(folder / "out/clip.mov");
    EXPECT_NE(p.at("format.format_name").find("mov"), std::string::npos);
    EXPECT_EQ(p.at("streams.stream.0.width"), "80");
    EXPECT_EQ(p.at("streams.stream.0.height"), "60");
    EXPECT_EQ(p.at("streams.stream.1.codec_type"), "audio");
}

TEST_F(ConvertTest, ASoundExportOfASilentMovieFailsAndLeavesNothing) {
    ASSERT_TRUE(moviefixtures::MakeMovie(folder / "media/silent.avi", {"-c:v", "mpeg4"}, false, 1.0));
    AddAndSelect({"media/silent.avi"});
    const FSSpec out = Folder("out");
    ConvertSummary summary;
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Sound, view, nullptr, false, &out, &summary), noErr);
    ASSERT_EQ(summary.outcomes.size(), 1u);
    EXPECT_EQ(summary.outcomes[0].reason, kReasonNoSound);
    EXPECT_TRUE(summary.outcomes[0].failed);
    EXPECT_TRUE(Names("out").empty());
}

TEST_F(ConvertTest, ACancelledConversionEndsTheRunAndRemovesItsPartialFile) {
    ASSERT_TRUE(moviefixtures::MakeMovie(folder / "media/clip.avi", {"-c:v", "mpeg4"}, false, 2.0));
    ASSERT_TRUE(moviefixtures::MakeMovie(folder / "media/other.avi", {"-c:v", "mpeg4"}, false, 1.0));
    AddAndSelect({"media/clip.avi", "media/other.avi"});
    CancellingHooks cancelling;
    SetUiHooks(&cancelling);
    const FSSpec out = Folder("out");
    ConvertSummary summary;
    const OSErr err = ExportMediaFiles(ConvertMediaKind::Movie, view, nullptr, false, &out, &summary);
    SetUiHooks(&hooks);
    EXPECT_EQ(err, userCanceledErr);
    EXPECT_GE(cancelling.calls, 1);
    EXPECT_TRUE(summary.outcomes.empty());   // the second item was never started
    EXPECT_TRUE(Names("out").empty());
    // In place: the source stays when the conversion is cancelled.
    SetUiHooks(&cancelling);
    EXPECT_EQ(ExportMediaFiles(ConvertMediaKind::Movie, view, nullptr, false, nullptr, nullptr), userCanceledErr);
    SetUiHooks(&hooks);
    EXPECT_EQ(Names("media"), (std::vector<std::string>{"clip.avi", "other.avi"}));
}

TEST_F(ConvertTest, PicturesAreNotSoundsAndSoundsAreNotPictures) {
    moviefixtures::MakeSound(folder / "media/tone.wav", {"-c:a", "pcm_s16le"}, 0.5);
    ASSERT_TRUE(std::filesystem::exists(folder / "media/tone.wav"));
    std::filesystem::copy_file(std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/Canon.jpg", folder / "media/c.jpg");
    AddAndSelect({"media/tone.wav", "media/c.jpg"});
    const FSSpec out = Folder("out");
    ConvertSummary summary;
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Sound, view, nullptr, false, &out, &summary), noErr);
    ASSERT_EQ(summary.outcomes.size(), 2u);
    EXPECT_EQ(summary.outcomes[0].reason, 0);
    EXPECT_EQ(summary.outcomes[1].reason, kReasonWrongKind);
    EXPECT_FALSE(summary.outcomes[1].failed);
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Image, view, nullptr, false, &out, &summary), noErr);
    EXPECT_EQ(summary.outcomes[0].reason, kReasonWrongKind);
    EXPECT_EQ(summary.outcomes[1].reason, 0);
    EXPECT_EQ(Names("out"), (std::vector<std::string>{"c.jpg", "tone.aif"}));
}
