// Movies and sounds through the kind dispatch: the facts the readers report agree with what
// ffprobe says of the same file, the poster frame is a real picture taken at the poster time,
// damaged files give error codes, and the shared sample files all pass.
#include "media/imaging/Offscreen.h"
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/readers/movies/MovieAtoms.h"
#include "media/readers/movies/MovieImporterHandler.h"
#include "media/readers/windowsmedia/WindowsMediaHandler.h"
#include "support/MovieFixtures.h"
#include "platform/Handles.h"
#include "platform/movies/MovieSource.h"
#include "support/FileSpecs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>

namespace {

using namespace moviefixtures;

// Movies made once for the whole suite.
std::unique_ptr<TempFolder> gMedia;

std::string PStr(const unsigned char* p) {
    return std::string(reinterpret_cast<const char*>(p + 1), p[0]);
}

struct Reading {
    OSErr err = noErr;
    KindFileRec file;
    KindInfoRec info{};
    PicHandle thumbnail = nullptr;
    Handle iptc = nullptr, technical = nullptr, recording = nullptr;
    ~Reading() {
        for (Handle h : {thumbnail, iptc, technical, recording})
            if (h) DisposeHandle(h);
    }
};

void Read(const std::string& path, Reading* r) {
    FSSpec s = SpecOf(path);
    if (KindTypeOfFileSpec(&s, &r->file) != noErr) r->file.spec = s;
    r->err = KindGetInfo(&r->file, &r->info, true, 1, 1, 160, &r->thumbnail, &r->iptc, &r->technical, &r->recording);
}

// Distinct colours in a world, to tell a picture from a blank.
std::size_t Colours(GWorldPtr w) {
    std::set<std::uint32_t> seen;
    PixelView px = GetGWorldPixels(w);
    for (int y = 0; y < px.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(px.base + std::ptrdiff_t(y) * px.rowBytes);
        for (int x = 0; x < px.width; ++x) seen.insert(row[x] & 0xFFFFFF);
    }
    return seen.size();
}

std::string Pixels(GWorldPtr w) {
    PixelView px = GetGWorldPixels(w);
    std::string out;
    for (int y = 0; y < px.height; ++y)
        out.append(reinterpret_cast<const char*>(px.base + std::ptrdiff_t(y) * px.rowBytes), std::size_t(px.width) * 4);
    return out;
}

class MovieReaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        gMedia = std::make_unique<TempFolder>();
        const std::string& d = gMedia->path();
        ASSERT_TRUE(MakeMovie(d + "/h264.mp4", {"-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac"}, true));
        ASSERT_TRUE(MakeMovie(d + "/mjpeg.mov", {"-c:v", "mjpeg", "-c:a", "pcm_s16be"}, true, 3.0));
        ASSERT_TRUE(MakeMovie(d + "/mpeg4.avi", {"-c:v", "mpeg4", "-c:a", "pcm_s16le"}, true, 3.0));
        ASSERT_TRUE(MakeMovie(d + "/wmv.wmv", {"-c:v", "wmv2", "-c:a", "wmav2"}, true));
        ASSERT_TRUE(MakeMovie(d + "/h264.mkv", {"-c:v", "libx264", "-pix_fmt", "yuv420p"}));
        ASSERT_TRUE(MakeSound(d + "/tone.wav", {"-c:a", "pcm_s16le"}));
        ASSERT_TRUE(MakeSound(d + "/tone.aif", {"-c:a", "pcm_s16be"}, 1.5, 44100, 2));
        ASSERT_TRUE(MakeSound(d + "/tone.mp3", {"-c:a", "libmp3lame"}));
        ASSERT_TRUE(MakeSound(d + "/tone.m4a", {"-c:a", "aac", "-metadata", "title=Night Train",
                                                "-metadata", "artist=Ana Ruiz"}));
    }
    static void TearDownTestSuite() { gMedia.reset(); }
    void SetUp() override { ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr); }
    void TearDown() override {
        KindEngineShutdown();
        KindTableClear();
    }
    static std::string M(const std::string& name) { return *gMedia / name; }
};

TEST_F(MovieReaderTest, FactsAgreeWithFfprobe) {
    struct Case {
        const char* file;
        UInt8 handler;        // of the recognised kind
        const char* encoding;  // the movie importers' codec name; null for the Windows media family
    };
    const Case cases[] = {
        {"h264.mp4", 2, "H.264"}, {"mjpeg.mov", 2, "Photo - JPEG"}, {"mpeg4.avi", 3, nullptr},
        {"wmv.wmv", 3, nullptr},  {"tone.wav", 2, ""},              {"tone.aif", 2, ""},
        {"tone.mp3", 2, ""},      {"tone.m4a", 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Probe p = ProbeFile(M(c.file));
        Reading r;
        Read(M(c.file), &r);
        ASSERT_NE(r.file.type, 0u);
        EXPECT_EQ(KindGetHandler(r.file.type), c.handler);
        ASSERT_EQ(r.err, noErr);
        double duration = std::stod(Get(p, "format.duration"));
        EXPECT_NEAR(double(r.info.duration), std::floor(duration * 10), 1.0);
        int v = StreamOf(p, "video");
        int a = StreamOf(p, "audio");
        if (v >= 0) {
            EXPECT_EQ(r.info.width, UInt32(std::stoi(StreamValue(p, v, "width"))));
            EXPECT_EQ(r.info.height, UInt32(std::stoi(StreamValue(p, v, "height"))));
            EXPECT_NE(r.thumbnail, nullptr);
        } else {
            EXPECT_EQ(r.info.width, 0u);
            EXPECT_EQ(r.thumbnail, nullptr);  // a sound has no picture
        }
        if (c.handler != 2) continue;
        EXPECT_EQ(r.info.tracks, UInt32(std::stoi(Get(p, "format.nb_streams"))));
        if (v >= 0) {
            EXPECT_EQ(PStr(r.info.encoding), c.encoding);
            std::string rate = StreamValue(p, v, "avg_frame_rate");  // "10/1"
            double fps = std::stod(rate.substr(0, rate.find('/'))) / std::stod(rate.substr(rate.find('/') + 1));
            EXPECT_NEAR(r.info.frameRate / 1000.0, fps, fps * 0.02);
            EXPECT_EQ(r.info.depth, 24u);
            EXPECT_EQ(r.info.colorSpace, OSType('RGB '));
        }
        if (a >= 0) {
            EXPECT_EQ(r.info.audioChannels, UInt32(std::stoi(StreamValue(p, a, "channels"))));
            EXPECT_EQ(r.info.audioRate >> 16, UInt32(std::stoi(StreamValue(p, a, "sample_rate"))));
            int bits = std::stoi(StreamValue(p, a, "bits_per_sample"));
            EXPECT_EQ(r.info.audioBitSize, UInt32(bits > 0 ? bits : 16));
        }
    }
}

TEST_F(MovieReaderTest, MatroskaIsReadThoughNoImporterListsIt) {
    FSSpec s = SpecOf(M("h264.mkv"));
    EXPECT_EQ(KindTypeFromExtension(&s, nullptr), 0u);
    MovieFacts facts;
    ASSERT_EQ(MovieReadFacts(M("h264.mkv"), &facts), noErr);
    Probe p = ProbeFile(M("h264.mkv"));
    EXPECT_EQ(facts.width, std::stoi(StreamValue(p, 0, "width")));
    EXPECT_EQ(facts.tracks.size(), std::size_t(std::stoi(Get(p, "format.nb_streams"))));
    EXPECT_EQ(facts.tracks[0].codec, StreamValue(p, 0, "codec_name"));
    EXPECT_NEAR(facts.durationSeconds, std::stod(Get(p, "format.duration")), 0.05);
}

// Sets the poster time of a QuickTime movie header in place.
void SetPosterTime(const std::string& path, UInt32 posterTime) {
    std::string bytes = TempFolder::Read(path);
    std::size_t at = bytes.find("mvhd");
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(bytes[at + 4], 0);  // version 0
    std::size_t poster = at + 4 + 4 + 4 + 4 + 4 + 4 + 4 + 2 + 10 + 36 + 8;
    for (int i = 0; i < 4; ++i) bytes[poster + std::size_t(i)] = char(posterTime >> (24 - 8 * i));
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST_F(MovieReaderTest, PosterFrameIsAPictureTakenAtThePosterTime) {
    TempFolder t;
    std::string path = t / "poster.mov";
    ASSERT_TRUE(MakeMovie(path, {"-c:v", "mjpeg"}, false, 3.0));
    FSSpec s = SpecOf(path);
    GWorldPtr first = nullptr, later = nullptr;
    UInt32 index = 1;
    ASSERT_EQ(KindMakeThumbnail(&s, &first, 96, 'MooV', &index, 0), noErr);
    ASSERT_NE(first, nullptr);
    Rect b = GetPortBounds(first);
    EXPECT_EQ(b.right - b.left, 96);
    EXPECT_EQ(b.bottom - b.top, 72);
    EXPECT_GT(Colours(first), 20u);

    QtMovieLayout layout;
    ASSERT_EQ(QtReadMovieLayout(&s, &layout), noErr);
    SetPosterTime(path, layout.timeScale * 2);
    ASSERT_EQ(KindMakeThumbnail(&s, &later, 96, 'MooV', &index, 0), noErr);
    ASSERT_NE(later, nullptr);
    EXPECT_NE(Pixels(first), Pixels(later));
    Reading r;
    Read(path, &r);
    EXPECT_EQ(r.info.poster, layout.timeScale * 2);
    EXPECT_NE(r.thumbnail, nullptr);
    DisposeGWorld(first);
    DisposeGWorld(later);
}

TEST_F(MovieReaderTest, WindowsMediaPosterIsAFrameNumber) {
    KindInfoRec info{};
    GWorldPtr start = nullptr, frame15 = nullptr;
    ASSERT_EQ(WindowsMediaProbe(M("mpeg4.avi"), &info, &start, 0), noErr);
    EXPECT_EQ(info.duration, 30u);
    info.poster = 15;
    ASSERT_EQ(WindowsMediaProbe(M("mpeg4.avi"), &info, &frame15, 0), noErr);
    ASSERT_TRUE(start && frame15);
    EXPECT_GT(Colours(start), 20u);
    EXPECT_NE(Pixels(start), Pixels(frame15));
    // The same frame taken straight from the movie at 1.5 s.
    MovieSource movie;
    ASSERT_EQ(movie.Open(M("mpeg4.avi")), noErr);
    GWorldPtr direct = nullptr;
    ASSERT_EQ(movie.FrameAt(1.5, 0, &direct), noErr);
    EXPECT_EQ(Pixels(direct), Pixels(frame15));
    for (GWorldPtr w : {start, frame15, direct}) DisposeGWorld(w);
}

TEST_F(MovieReaderTest, ASoundWithoutPictureFailsTheWindowsMediaProbeAfterStoringItsDuration) {
    TempFolder t;
    std::string path = t / "voice.wma";
    ASSERT_TRUE(MakeSound(path, {"-c:a", "wmav2"}, 2.0));
    KindInfoRec info{};
    GWorldPtr preview = nullptr;
    EXPECT_EQ(WindowsMediaProbe(path, &info, &preview, 0), -1);
    EXPECT_EQ(preview, nullptr);
    EXPECT_NEAR(double(info.duration), 20.0, 1.0);
    Reading r;
    Read(path, &r);
    EXPECT_EQ(KindGetHandler(r.file.type), kKindHandlerWindowsMedia);
    EXPECT_EQ(r.err, -1);
    EXPECT_EQ(r.thumbnail, nullptr);
}

TEST_F(MovieReaderTest, UserDataAndAudioTagsBecomeItemFields) {
    TempFolder t;
    std::string path = t / "tagged.mov";
    ASSERT_TRUE(MakeMovie(path, {"-c:v", "mjpeg", "-metadata", "title=Harbour at Dawn", "-metadata",
                                 "comment=first light"}));
    Reading movie, sound;
    Read(path, &movie);
    ASSERT_EQ(movie.err, noErr);
    ASSERT_NE(movie.iptc, nullptr);
    std::string block(*movie.iptc, std::size_t(GetHandleSize(movie.iptc)));
    EXPECT_NE(block.find("Harbour at Dawn"), std::string::npos);
    EXPECT_NE(block.find("first light"), std::string::npos);
    // A lone MPEG-4 sound keeps its tags outside the movie's user data; the file scan finds them.
    Read(M("tone.m4a"), &sound);
    ASSERT_EQ(sound.err, noErr);
    ASSERT_NE(sound.iptc, nullptr);
    std::string tags(*sound.iptc, std::size_t(GetHandleSize(sound.iptc)));
    EXPECT_NE(tags.find("Night Train"), std::string::npos);
    EXPECT_NE(tags.find("Ana Ruiz"), std::string::npos);
}

TEST_F(MovieReaderTest, ChaptersTravelAsTheChapterList) {
    TempFolder t;
    std::string meta = t.Write("chapters.txt",
                               ";FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=1000\ntitle=Opening\n"
                               "[CHAPTER]\nTIMEBASE=1/1000\nSTART=1000\nEND=2000\ntitle=Finale\n");
    std::string path = t / "chapters.mp4";
    ASSERT_EQ(RunTool({"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                       "testsrc=duration=2:size=64x48:rate=10", "-i", meta, "-map_metadata", "1", "-map_chapters", "1",
                       "-c:v", "mpeg4", path}),
              0);
    Reading r;
    Read(path, &r);
    ASSERT_EQ(r.err, noErr);
    ASSERT_NE(r.technical, nullptr);
    UserData list = nullptr;
    ASSERT_EQ(NewUserDataFromHandle(r.technical, &list), noErr);
    ASSERT_EQ(CountUserDataType(list, 'CHAP'), 2);
    Handle h = NewHandle(0);
    ASSERT_EQ(GetUserData(list, h, 'CHAP', 2), noErr);
    std::string second(*h, std::size_t(GetHandleSize(h)));
    EXPECT_EQ(second, std::string("\0\0\0\x0A", 4) + "Finale");
    DisposeHandle(h);
    DisposeUserData(list);
}

TEST_F(MovieReaderTest, DamagedAndHostileFilesGiveErrorCodes) {
    TempFolder t;
    std::string good = TempFolder::Read(M("mjpeg.mov"));
    std::string avi = TempFolder::Read(M("mpeg4.avi"));
    std::string noise(8192, '\0');
    std::uint32_t x = 12345;
    for (char& c : noise) c = char((x = x * 1103515245 + 12345) >> 16);
    // A movie whose frames claim 7000 x 7000 pixels (more than a frame may have).
    std::string huge = good;
    const std::string sof("\xFF\xC0\x00\x11\x08", 5);
    int patched = 0;
    for (std::size_t at = huge.find(sof); at != std::string::npos; at = huge.find(sof, at + 1), ++patched)
        huge.replace(at + 5, 4, std::string("\x1B\x58\x1B\x58", 4));
    ASSERT_GT(patched, 10);
    std::string lyingWave = std::string("RIFF\xFF\xFF\xFF\x7FWAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xAC\0\0\x10\xB1\x02\0\x04\0\x10\0data\xF0\xFF\xFF\x7F", 44) +
                            std::string(100, '\x01');
    struct Case {
        const char* name;
        std::string bytes;
        std::set<OSErr> allowed;
        bool picture;  // a thumbnail may come out
    };
    const Case cases[] = {
        {"empty.mov", "", {kMovieNotFoundErr}, false},
        {"noise.mp4", noise, {kMovieNotFoundErr}, false},
        {"movie-atom-gone.mov", good.substr(0, good.rfind("moov") - 4), {kMovieNotFoundErr, kMovieInvalidErr}, false},
        {"cut.avi", avi.substr(0, avi.size() / 3), {noErr, -1}, true},
        {"header-only.avi", avi.substr(0, 600), {-1}, false},
        {"huge-frame.mov", huge, {kBadMediaDataErr}, false},
        {"lying.wav", lyingWave, {noErr, kMovieNotFoundErr, kMovieInvalidErr}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = t.Write(c.name, c.bytes);
        Reading r;
        Read(path, &r);
        EXPECT_TRUE(c.allowed.count(r.err)) << r.err;
        if (!c.picture) {
            EXPECT_EQ(r.thumbnail, nullptr);
        }
        FSSpec s = SpecOf(path);
        GWorldPtr w = nullptr;
        UInt32 index = 1;
        KindMakeThumbnail(&s, &w, 96, r.file.type, &index, 0);
        if (!c.picture) {
            EXPECT_EQ(w, nullptr);
        }
        if (w) DisposeGWorld(w);
    }
}

TEST_F(MovieReaderTest, EverySampleMovieAndSoundPassesRecognitionInfoAndThumbnail) {
    const std::string samples = std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/";
    int seen = 0;
    DIR* dir = opendir(samples.c_str());
    ASSERT_NE(dir, nullptr);
    while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        FSSpec s = SpecOf(samples + name);
        OSType type = KindTypeFromExtension(&s, nullptr);
        UInt8 handler = type ? KindGetHandler(type) : 0;
        UInt8 category = type ? KindGetCategory(type) : 0;
        if (handler != 2 && handler != 3) continue;
        SCOPED_TRACE(name);
        ++seen;
        EXPECT_TRUE(category == kKindCategoryVideo || category == kKindCategoryAudio);
        Reading r;
        Read(samples + name, &r);
        EXPECT_TRUE(r.err == noErr || r.err == -1 || r.err == kMovieNotFoundErr || r.err == kMovieInvalidErr ||
                    r.err == kBadMediaDataErr)
            << r.err;
        GWorldPtr w = nullptr;
        UInt32 index = 1;
        KindMakeThumbnail(&s, &w, 96, type, &index, 0);
        if (w) DisposeGWorld(w);
        // These two keep their headers but lost their media data: facts, and no picture.
        if (name == "QuickTime.mov" || name == "RIFF.avi") {
            EXPECT_EQ(r.info.width, 320u);
            EXPECT_EQ(r.thumbnail, nullptr);
        }
    }
    closedir(dir);
    EXPECT_GE(seen, 7);  // MOV, AVI, WMV, MP3, AIFF, WAV, GIF
}

TEST_F(MovieReaderTest, SoundRatesBeyondSixteenBitsAreHeldAtTheLargestRate) {
    TempFolder t;
    struct Case {
        int rate;
        UInt32 stored;
    };
    const Case cases[] = {{48000, 48000u << 16}, {65535, 65535u << 16}, {96000, 0xFFFF0000u}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        std::string path = t / ("rate" + std::to_string(c.rate) + ".wav");
        ASSERT_TRUE(MakeSound(path, {"-c:a", "pcm_s16le"}, 0.2, c.rate));
        Reading r;
        Read(path, &r);
        ASSERT_EQ(r.err, noErr);
        EXPECT_EQ(r.info.audioRate, c.stored);
    }
}

}  // namespace
