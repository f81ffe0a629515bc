// The media object and its presenters: which presenter a kind gets, reuse and the record that
// survives a close, pictures drawn at a size, and movies played, paused, stepped and run to
// their end under the manual timer pump with SDL's dummy sound driver.
#include "media/imaging/Offscreen.h"
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindEngine.h"
#include "media/kinds/KindTable.h"
#include "media/presenters/DirectShowPresenter.h"
#include "media/presenters/MediaObject.h"
#include "media/presenters/MoviePresenter.h"
#include "media/presenters/PicturePresenter.h"
#include "media/presenters/SoundPlayback.h"
#include "platform/movies/MovieSource.h"
#include "platform/Handles.h"
#include "platform/TimerService.h"
#include "platform/WindowMessages.h"
#include "support/FileSpecs.h"
#include "support/ImageFixtures.h"
#include "support/MovieFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace moviefixtures;

std::unique_ptr<TempFolder> gMedia;

// Runs the manual timers in real time until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, int ms = 10000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        DefaultManualTimers().Advance(10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

std::uint32_t PixelAt(GWorldPtr w, int x, int y) {
    PixelView px = GetGWorldPixels(w);
    return reinterpret_cast<const std::uint32_t*>(px.base + std::ptrdiff_t(y) * px.rowBytes)[x] & 0xFFFFFF;
}

struct Window {
    GWorldPtr world = nullptr;
    explicit Window(int w = 320, int h = 240) {
        Rect r{0, 0, SInt16(h), SInt16(w)};
        RGBColor grey{0x8080, 0x8080, 0x8080};
        OffscreenNewFilled(&world, k32BGRAPixelFormat, &r, &grey);
    }
    ~Window() { DisposeGWorld(world); }
};

// Receives the end-of-medium message.
class EventWindow : public MessageWindow {
public:
    LRESULT WindowProc(UINT message, WPARAM, LPARAM lParam) override {
        messages.push_back({message, lParam});
        return 0;
    }
    std::vector<std::pair<UINT, LPARAM>> messages;
};

int gRedraws = 0;
void CountRedraw(MediaObject*, std::uintptr_t) {
    ++gRedraws;
}

class MediaObjectTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        gMedia = std::make_unique<TempFolder>();
        const std::string& d = gMedia->path();
        ASSERT_TRUE(MakeMovie(d + "/clip.mov", {"-c:v", "mjpeg", "-c:a", "pcm_s16le"}, true, 1.0));
        ASSERT_TRUE(MakeMovie(d + "/clip.avi", {"-c:v", "mpeg4", "-c:a", "pcm_s16le"}, true, 1.0));
        ASSERT_TRUE(MakeMovie(d + "/long.mp4", {"-c:v", "mpeg4"}, false, 20.0));
        ASSERT_TRUE(MakeSound(d + "/tone.wav", {"-c:a", "pcm_s16le"}, 0.6));
        ASSERT_TRUE(MakeSound(d + "/tone.wma", {"-c:a", "wmav2"}, 0.6));
        std::string jpeg = fixtures::Jpeg(64, 32);  // red, green, blue and white quarters
        std::ofstream(d + "/red.jpg", std::ios::binary) << jpeg;
        std::ofstream(d + "/red.zzzz", std::ios::binary) << jpeg;
    }
    static void TearDownTestSuite() { gMedia.reset(); }
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr);
        gRedraws = 0;
    }
    void TearDown() override {
        KindEngineShutdown();
        KindTableClear();
    }
    static FSSpec S(const std::string& name) { return SpecOf(*gMedia / name); }
    static OSType TypeOf(const std::string& name) {
        FSSpec s = S(name);
        return KindTypeFromExtension(&s, nullptr);
    }
};

TEST_F(MediaObjectTest, TheKindChoosesThePresenter) {
    struct Case {
        const char* file;
        bool stillOnly;
        SInt32 type;
        OSErr err;
    };
    const Case cases[] = {
        {"clip.mov", false, kMediaPresenterMovie, noErr},
        {"clip.mov", true, kMediaPresenterPicture, noErr},
        {"clip.avi", false, kMediaPresenterWindowsMedia, noErr},
        {"red.jpg", false, kMediaPresenterPicture, noErr},
        // An unregistered kind goes to the picture presenter, whose reader has no importer for it
        // (a movie presenter would answer -2048).
        {"red.zzzz", false, kMediaPresenterNone, kNoImporterForTypeErr},
        {"tone.wav", false, kMediaPresenterMovie, noErr},
    };
    Window w;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        MediaObject* o = MediaObjectNew(w.world);
        MediaObjectSetStillOnly(o, c.stillOnly);
        FSSpec s = S(c.file);
        OSType kind = KindTypeFromExtension(&s, nullptr);
        if (std::string(c.file) == "red.zzzz") kind = 'ZZZZ';
        EXPECT_EQ(MediaObjectOpen(o, &s, kind, 1, 1, 0, false), c.err);
        EXPECT_EQ(o->presenterType, c.type);
        MediaObjectDelete(o);
    }
}

TEST_F(MediaObjectTest, ReuseKeepsTheOpenPresenterAndTheRecordOutlivesAClose) {
    Window w;
    MediaObject* o = MediaObjectNew(w.world);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->volume, 7);
    EXPECT_EQ(o->percent, 100);
    EXPECT_EQ(o->sizeMode, 1);
    FSSpec movie = S("clip.mov");
    ASSERT_EQ(MediaObjectOpen(o, &movie, 'MooV', 0, 0, 0, false), noErr);
    MediaBackend* first = o->backend.get();
    EXPECT_EQ(MediaObjectOpen(o, &movie, 'MooV', 0, 0, 0, true), noErr);
    EXPECT_EQ(o->backend.get(), first);
    MediaObjectSetVolume(o, 3);
    MediaObjectSetPercent(o, 50);
    MediaObjectSetDrawOptionA(o, 1);
    MediaObjectSetUserValue(o, 0xABCD);
    MediaObjectClose(o);
    EXPECT_EQ(o->presenterType, kMediaPresenterNone);
    EXPECT_FALSE(MediaObjectGetFileSpec(o, nullptr));
    EXPECT_EQ(MediaObjectGetUserValue(o), 0u);
    EXPECT_EQ(o->volume, 3);
    EXPECT_EQ(MediaObjectGetPercent(o), 50);
    EXPECT_EQ(o->drawOption, 1);
    // The next open hands the stored level to the new presenter.
    ASSERT_EQ(MediaObjectOpen(o, &movie, 'MooV', 0, 0, 0, false), noErr);
    EXPECT_EQ(MoviePresenterVolume(o), 0x80);
    FSSpec back;
    EXPECT_TRUE(MediaObjectGetFileSpec(o, &back));
    EXPECT_EQ(back.path, movie.path);
    MediaObjectDelete(o);
}

TEST_F(MediaObjectTest, VolumeLevelsMapToMovieVolumesAndDecibels) {
    const SInt16 movie[8] = {0x00, 0x30, 0x60, 0x80, 0xA0, 0xC0, 0xE0, 0x100};
    const SInt32 db[8] = {-10000, -3000, -2500, -2000, -1500, -1000, -500, 0};
    for (UInt16 level = 0; level < 8; ++level) {
        EXPECT_EQ(MediaVolumeToMovieVolume(level), movie[level]);
        EXPECT_EQ(MediaVolumeToDecibels(level), db[level]);
    }
}

TEST_F(MediaObjectTest, APictureIsDrawnAtAnySizeAndTurned) {
    Window w(200, 100);
    MediaObject* o = MediaObjectNew(w.world);
    Rect bounds{0, 0, 100, 200};
    MediaObjectSetBounds(o, &bounds);
    MediaObjectSetDisplayRect(o, nullptr);
    RGBColor black{0, 0, 0};
    MediaObjectSetColor(o, &black);
    FSSpec s = S("red.jpg");
    ASSERT_EQ(MediaObjectOpen(o, &s, 'JPEG', 1, 1, 0, false), noErr);
    Rect natural;
    MediaObjectUpdateRect(o, &natural);
    EXPECT_EQ(natural.right, 64);
    EXPECT_EQ(natural.bottom, 32);
    // Actual size, centred, the rest painted in the background colour.
    ASSERT_EQ(MediaObjectDraw(o), noErr);
    Rect image;
    MediaObjectGetImageRect(o, &image);
    EXPECT_EQ(image.left, 68);
    EXPECT_EQ(image.top, 34);
    EXPECT_EQ(image.right - image.left, 64);
    std::uint32_t topLeft = PixelAt(w.world, 78, 39);  // in the red quarter
    EXPECT_GT((topLeft >> 16) & 0xFF, 200u);
    EXPECT_LT(topLeft & 0xFFFF, 0x3030u);
    EXPECT_EQ(PixelAt(w.world, 5, 5), 0u);
    // 200 percent: twice the size.
    MediaObjectSetShowFlag(o, 0);
    MediaObjectSetPercent(o, 200);
    MediaObjectDraw(o);
    MediaObjectGetImageRect(o, &image);
    EXPECT_EQ(image.right - image.left, 128);
    EXPECT_EQ(image.bottom - image.top, 64);
    // Turning: a quarter turn and back leaves nothing turned; code 0 undoes a turn.
    ASSERT_TRUE(PicturePresenterRotate(o, 'W ', false));
    MediaObjectUpdateRect(o, &natural);
    EXPECT_EQ(natural.right, 32);
    EXPECT_EQ(natural.bottom, 64);
    ASSERT_TRUE(PicturePresenterRotate(o, 'CW', false));
    EXPECT_EQ(PicturePresenterOrientation(o), 0);
    ASSERT_TRUE(PicturePresenterRotate(o, 'HV', false));
    ASSERT_TRUE(PicturePresenterRotate(o, 0, false));
    EXPECT_EQ(PicturePresenterOrientation(o), 0);
    // A picture presenter does not play.
    EXPECT_EQ(MediaObjectGetPlayState(o, 0), 0);
    EXPECT_FALSE(MediaObjectHasSound(o));
    MediaObjectDelete(o);
}

TEST_F(MediaObjectTest, AMemoryPictureIsDrawnAtItsSizeAndIgnoresKeys) {
    Rect r{0, 0, 10, 20};
    RGBColor blue{0, 0, 0xFFFF};
    GWorldPtr src = nullptr;
    ASSERT_EQ(OffscreenNewFilled(&src, k32BGRAPixelFormat, &r, &blue), noErr);
    PicHandle pic = nullptr;
    ASSERT_EQ(OffscreenToPicture(src, nullptr, 0x480000, &pic), noErr);
    Window w(100, 50);
    MediaObject* o = MediaObjectNew(w.world);
    Rect bounds{0, 0, 50, 100};
    MediaObjectSetBounds(o, &bounds);
    ASSERT_EQ(MediaObjectOpenHandle(o, pic), noErr);
    EXPECT_EQ(o->presenterType, kMediaPresenterMemoryPicture);
    EXPECT_FALSE(MediaObjectGetFileSpec(o, nullptr));
    int before = gRedraws;
    EXPECT_FALSE(MediaObjectKey(o, 0));
    EXPECT_EQ(gRedraws, before);
    ASSERT_EQ(MediaObjectDraw(o), noErr);
    Rect image;
    MediaObjectGetImageRect(o, &image);
    EXPECT_EQ(image.left, 40);
    EXPECT_EQ(image.top, 20);
    EXPECT_EQ(PixelAt(w.world, 50, 25), 0x0000FFu);
    EXPECT_EQ(MediaObjectGetPictureInfo(o), 4);
    MediaObjectDelete(o);
    DisposeHandle(pic);
    DisposeGWorld(src);
}

TEST_F(MediaObjectTest, AMoviePlaysToItsEndPausesStepsAndSeeks) {
    Window w;
    MediaObject* o = MediaObjectNew(w.world);
    Rect bounds{0, 0, 240, 320};
    MediaObjectSetBounds(o, &bounds);
    MediaObjectSetRedrawProc(o, CountRedraw, 0);
    FSSpec s = S("clip.mov");
    ASSERT_EQ(MediaObjectOpen(o, &s, 'MooV', 0, 0, 0, false), noErr);
    ASSERT_TRUE(MediaObjectHasSound(o));
    // Opened paused at the start; the first frame arrives through the timer.
    ASSERT_TRUE(PumpUntil([] { return gRedraws > 0; }));
    EXPECT_EQ(MediaObjectGetPlayState(o, 0), 1);
    MediaObjectDraw(o);
    EXPECT_NE(PixelAt(w.world, 160, 120), 0x808080u);
    ASSERT_EQ(MediaObjectStart(o, 0), noErr);
    EXPECT_EQ(MediaObjectGetPlayState(o, 0), 2);
    ASSERT_TRUE(PumpUntil([&] { return MediaObjectGetPlayState(o, 0) == 0; }));
    UInt32 now = 0;
    ASSERT_TRUE(MediaObjectGetCurrentTime(o, &now));
    UInt32 scale = MoviePresenterTimeScale(o);
    EXPECT_NEAR(double(now) / scale, 1.0, 0.15);
    // Start at the end plays again from the beginning.
    ASSERT_EQ(MediaObjectStart(o, 0), noErr);
    ASSERT_TRUE(MediaObjectGetCurrentTime(o, &now));
    EXPECT_LT(double(now) / scale, 0.5);
    PumpUntil([] { return false; }, 200);
    MediaObjectStop(o);
    EXPECT_EQ(MediaObjectGetPlayState(o, 0), 1);
    // Keys: to the beginning, one frame on, to the end.
    MediaObjectKey(o, 3);
    PumpUntil([] { return false; }, 100);
    ASSERT_TRUE(MediaObjectGetCurrentTime(o, &now));
    EXPECT_EQ(now, 0u);
    MediaObjectKey(o, 0);
    ASSERT_TRUE(PumpUntil([&] {
        UInt32 t = 0;
        MediaObjectGetCurrentTime(o, &t);
        return t > 0;
    }));
    MediaObjectGetCurrentTime(o, &now);
    EXPECT_NEAR(double(now) / scale, 0.1, 0.02);  // one frame at 10 frames a second
    MediaObjectKey(o, 2);
    MediaObjectGetCurrentTime(o, &now);
    EXPECT_NEAR(double(now) / scale, 1.0, 0.05);
    MediaObjectDelete(o);
    EXPECT_EQ(DefaultManualTimers().ActiveCount(), 0u);
}

// The owner's view polls "still playing" to move on: true only while a movie or a Windows
// medium runs, never for a picture or a closed object.
TEST_F(MediaObjectTest, StillPlayingIsTrueOnlyWhileAMediumRuns) {
    Window w;
    MediaObject* o = MediaObjectNew(w.world);
    EXPECT_FALSE(MediaObjectIsOpen(o));
    EXPECT_FALSE(MediaObjectGetPosition(o));
    FSSpec picture = S("red.jpg");
    ASSERT_EQ(MediaObjectOpen(o, &picture, 'JPEG', 1, 1, 0, false), noErr);
    EXPECT_TRUE(MediaObjectIsOpen(o));
    EXPECT_EQ(MediaObjectGetPictureInfo(o), kMediaShowsPicture);
    MediaObjectStart(o, 0);
    EXPECT_FALSE(MediaObjectGetPosition(o));
    for (const char* name : {"clip.mov", "clip.avi"}) {
        SCOPED_TRACE(name);
        FSSpec s = S(name);
        ASSERT_EQ(MediaObjectOpen(o, &s, TypeOf(name), 0, 0, 0, false), noErr);
        EXPECT_FALSE(MediaObjectGetPosition(o));  // opened paused
        ASSERT_EQ(MediaObjectStart(o, 0), noErr);
        EXPECT_TRUE(MediaObjectGetPosition(o));
        MediaObjectStop(o);
        EXPECT_FALSE(MediaObjectGetPosition(o));
        MediaObjectStart(o, 0);
        MediaObjectClose(o);
        EXPECT_FALSE(MediaObjectIsOpen(o));
        EXPECT_FALSE(MediaObjectGetPosition(o));
    }
    MediaObjectDelete(o);
}

TEST_F(MediaObjectTest, AMoviePresenterClosedWhilePlayingFreesEverything) {
    Window w;
    for (const char* name : {"long.mp4", "clip.avi", "tone.wav"}) {
        SCOPED_TRACE(name);
        MediaObject* o = MediaObjectNew(w.world);
        FSSpec s = S(name);
        ASSERT_EQ(MediaObjectOpen(o, &s, TypeOf(name), 0, 0, 0, false), noErr);
        MediaObjectStart(o, 0);
        PumpUntil([] { return false; }, 150);
        MediaObjectDelete(o);  // the decoding thread is stopped and every frame freed
        EXPECT_EQ(DefaultManualTimers().ActiveCount(), 0u);
    }
}

TEST_F(MediaObjectTest, AWindowsMediumReportsItsEndToTheOwnersWindow) {
    Window w;
    EventWindow events;
    MediaObject* o = MediaObjectNew(w.world);
    FSSpec s = S("clip.avi");
    ASSERT_EQ(MediaObjectOpen(o, &s, 'AVI ', 0, 0, 0, false), noErr);
    ASSERT_EQ(o->presenterType, kMediaPresenterWindowsMedia);
    MediaObjectSetVideoWindow(o, &events, 77);
    EXPECT_EQ(MediaObjectGetPlayState(o, 0), 1);  // paused
    UInt32 size = 0, second = 0;
    UInt8 category = 0;
    OSType kind = 0;
    ASSERT_TRUE(MediaObjectGetSizeAndTime(o, &size, &second, &category, &kind));
    EXPECT_EQ(second, 10u);  // tenths of a second
    EXPECT_EQ(category, kKindCategoryVideo);
    EXPECT_EQ(kind, OSType('AVI '));
    MediaObjectStart(o, 0);
    EXPECT_EQ(MediaObjectGetPlayState(o, 0), 2);
    ASSERT_TRUE(PumpUntil([&] { return !events.messages.empty(); }));
    EXPECT_EQ(events.messages[0].first, kDirectShowEventMessage);
    EXPECT_EQ(events.messages[0].second, 77);
    MediaObjectProcessEvents(o);
    EXPECT_EQ(MediaObjectGetPlayState(o, 0), 0);
    MediaObjectDelete(o);
}

TEST_F(MediaObjectTest, WindowsMediaRatesFollowTheKeys) {
    Window w;
    MediaObject* o = MediaObjectNew(w.world);
    FSSpec s = S("long.mp4");
    // An MPEG-4 file here is a movie importer kind: open it as a Windows medium by its path.
    ASSERT_EQ(MediaObjectOpen(o, &s, 'AVI ', 0, 0, 0, false), noErr);
    ASSERT_EQ(o->presenterType, kMediaPresenterWindowsMedia);
    MediaObjectStart(o, 0);
    EXPECT_DOUBLE_EQ(DirectShowRate(o), 1.0);
    MediaObjectKey(o, 0);
    EXPECT_DOUBLE_EQ(DirectShowRate(o), 2.0);
    MediaObjectKey(o, 1);
    EXPECT_DOUBLE_EQ(DirectShowRate(o), 1.0);
    MediaObjectKey(o, 1);
    EXPECT_DOUBLE_EQ(DirectShowRate(o), 0.5);
    MediaObjectKey(o, 1);
    EXPECT_DOUBLE_EQ(DirectShowRate(o), 0.25);
    MediaObjectKey(o, 0);
    EXPECT_DOUBLE_EQ(DirectShowRate(o), 0.5);
    // Jump keys while paused: to the end and back to the start.
    MediaObjectStop(o);
    MediaObjectKey(o, 2);
    UInt32 t = 0;
    MediaObjectGetCurrentTime(o, &t);
    EXPECT_EQ(t, 200u);
    MediaObjectKey(o, 3);
    MediaObjectGetCurrentTime(o, &t);
    EXPECT_EQ(t, 0u);
    MediaObjectDelete(o);
}

TEST_F(MediaObjectTest, WindowsMediaWithoutPictureOrFileIsRefused) {
    Window w;
    MediaObject* o = MediaObjectNew(w.world);
    FSSpec sound = S("tone.wma");
    FSSpec missing = S("gone.avi");
    EXPECT_EQ(MediaObjectOpen(o, &sound, 'WMA ', 0, 0, 0, false), -19);
    EXPECT_EQ(MediaObjectOpen(o, &missing, 'AVI ', 0, 0, 0, false), -19);
    EXPECT_EQ(o->presenterType, kMediaPresenterNone);
    MediaObjectDelete(o);
}

TEST(DirectShowBarText, ShowsTimePlayedOrLeft) {
    struct Case {
        double position, duration;
        UInt8 mode;
        const char* text;
    };
    const Case cases[] = {
        {59, 100, 0, "0:59"}, {3725, 4000, 0, "1:02:05"}, {70, 100, 1, "-0:30"}, {0, 0, 2, "0:00"},
    };
    for (const Case& c : cases) EXPECT_EQ(DirectShowBarText(c.position, c.duration, c.mode), c.text);
}

OSErr CountPasses(SInt32 phase, SInt32, SInt32, std::uintptr_t ref) {
    auto* phases = reinterpret_cast<std::vector<SInt32>*>(ref);
    if (phases->empty() || phases->back() != phase) phases->push_back(phase);
    return noErr;
}

OSErr StopAtOnce(SInt32 phase, SInt32, SInt32, std::uintptr_t) {
    return phase == 1 ? OSErr(1) : OSErr(noErr);
}

TEST_F(MediaObjectTest, SoundDataInAHandlePlaysToItsEnd) {
    std::string wav = TempFolder::Read(*gMedia / "tone.wav");
    Handle h = NewHandle(Size(wav.size()));
    std::memcpy(*h, wav.data(), wav.size());
    EXPECT_EQ(SoundDataKind(*h, wav.size()), OSType('WAVE'));
    EXPECT_EQ(SoundDataKind("FORM\0\0\0\0AIFC", 12), OSType('AIFC'));
    EXPECT_EQ(SoundDataKind("FORM\0\0\0\0TEXT", 12), 0u);
    std::vector<SInt32> phases;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SoundFileProbe(h, CountPasses, reinterpret_cast<std::uintptr_t>(&phases)), noErr);
    double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(phases, (std::vector<SInt32>{0, 1, 2}));
    EXPECT_GT(took, 0.4);  // it played (0.6 s of sound), it did not just return
    // A callback that answers non-zero stops it at once.
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(SoundFileProbe(h, StopAtOnce, 0), noErr);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.4);
    EXPECT_EQ(SoundFileProbe(nullptr, nullptr, 0), paramErr);
    DisposeHandle(h);
    // A movie without sound has no sound track to play.
    OSErr err = noErr;
    EXPECT_EQ(SoundTrackPlayerNew(*gMedia / "long.mp4", &err), nullptr);
    EXPECT_EQ(err, kMovieNoSoundTrackErr);
    SoundTrackPlayer* p = SoundTrackPlayerNew(*gMedia / "tone.wav", &err);
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(SoundTrackPlayerIsDone(p));
    SoundTrackPlayerStart(p);
    ASSERT_TRUE(PumpUntil([&] {
        SoundTrackPlayerIdle(p);
        return SoundTrackPlayerIsDone(p);
    }));
    SoundTrackPlayerDispose(p, true);
}

TEST_F(MediaObjectTest, APictureWithPagesIsPagedByTheKeys) {
    std::string path = *gMedia / "pages.tif";
    fixtures::Tiff(path, 16, 8, fixtures::TiffKind::RgbStrips, 4);
    Window w;
    MediaObject* o = MediaObjectNew(w.world);
    FSSpec s = SpecOf(path);
    ASSERT_EQ(MediaObjectOpen(o, &s, 'TIFF', 1, 4, 0, false), noErr);
    UInt32 page = 0;
    ASSERT_TRUE(MediaObjectGetCurrentTime(o, &page));
    EXPECT_EQ(page, 1u);
    UInt32 first = 0, count = 0;
    ASSERT_TRUE(MediaObjectGetSizeAndTime(o, &first, &count, nullptr, nullptr));
    EXPECT_EQ(count, 4u);
    struct Step {
        SInt16 key;
        bool changed;
        UInt32 page;
    };
    const Step steps[] = {{2, true, 4}, {0, false, 4}, {1, true, 3}, {3, true, 1}, {1, false, 1}, {0, true, 2}};
    for (const Step& st : steps) {
        SCOPED_TRACE(st.key);
        EXPECT_EQ(MediaObjectKey(o, st.key), st.changed);
        MediaObjectGetCurrentTime(o, &page);
        EXPECT_EQ(page, st.page);
    }
    MediaObjectDelete(o);
}

TEST_F(MediaObjectTest, TheExposureWarningPaintsOnlyTheClippedLevels) {
    // Quarters red, green, blue and white (lightness 127, 127, 127 and 255), without loss.
    std::string path = *gMedia / "quarters.png";
    std::ofstream(path, std::ios::binary) << fixtures::Png(40, 20, fixtures::PngKind::Rgb);
    Window w(40, 20);
    MediaObject* o = MediaObjectNew(w.world);
    Rect bounds{0, 0, 20, 40};
    MediaObjectSetBounds(o, &bounds);
    FSSpec s = SpecOf(path);
    ASSERT_EQ(MediaObjectOpen(o, &s, 'PNGf', 1, 1, 0, false), noErr);
    o->pictureDrawExtras[0] = 1;
    o->pictureDrawExtras[1] = 255;
    o->pictureDrawExtras[2] = 0;
    ASSERT_EQ(MediaObjectDraw(o), noErr);
    EXPECT_EQ(PixelAt(w.world, 30, 15), 0xFF0000u);  // white: at the high level, painted red
    EXPECT_EQ(PixelAt(w.world, 30, 5), 0x00FF00u);   // green: between the levels, as it is
    EXPECT_EQ(PixelAt(w.world, 10, 15), 0x0000FFu);  // blue stays blue
    // Without the warning the white quarter is white again.
    o->pictureDrawExtras[0] = 0;
    MediaObjectDraw(o);
    EXPECT_EQ(PixelAt(w.world, 30, 15), 0xFFFFFFu);
    MediaObjectDelete(o);
}

}  // namespace

namespace {

// A movie drawn large and then in a smaller rectangle, in an object without a background colour
// of its own: the part of the old picture it no longer covers takes the kind engine's thumbnail
// background, and the window outside the old picture stays as it was.
TEST_F(MediaObjectTest, AShrunkMoviePaintsWhatItUncoveredInTheThumbnailBackground) {
    const RGBColor background{0x2020, 0x4040, 0x6060};
    KindSetThumbBackground(&background);
    Window w(400, 300);
    MediaObject* o = MediaObjectNew(w.world);
    Rect bounds{0, 0, 300, 400};
    MediaObjectSetBounds(o, &bounds);
    MediaObjectSetRedrawProc(o, CountRedraw, 0);
    FSSpec s = S("clip.mov");
    ASSERT_EQ(MediaObjectOpen(o, &s, 'MooV', 0, 0, 0, false), noErr);
    ASSERT_TRUE(PumpUntil([] { return gRedraws > 0; }));
    ASSERT_EQ(MediaObjectDraw(o), noErr);
    Rect large{};
    MediaObjectGetImageRect(o, &large);
    ASSERT_GT(large.right - large.left, 100);
    const Rect smaller{SInt16(large.top), SInt16(large.left), SInt16(large.top + 40), SInt16(large.left + 60)};
    MediaObjectSetDisplayRect(o, &smaller);
    ASSERT_EQ(MediaObjectDraw(o), noErr);
    Rect now{};
    MediaObjectGetImageRect(o, &now);
    ASSERT_LE(now.right, large.right - 20);
    const std::uint32_t backgroundPixel = 0x204060;
    const struct {
        const char* where;
        int x, y;
        bool background;
    } points[] = {{"right of the new picture, inside the old", large.right - 5, large.top + 5, true},
                  {"below the new picture, inside the old", large.left + 5, large.bottom - 5, true},
                  {"the old picture's far corner", large.right - 1, large.bottom - 1, true},
                  {"inside the new picture", (now.left + now.right) / 2, (now.top + now.bottom) / 2, false}};
    for (const auto& p : points) {
        SCOPED_TRACE(p.where);
        if (p.background) {
            EXPECT_EQ(PixelAt(w.world, p.x, p.y), backgroundPixel);
        } else {
            EXPECT_NE(PixelAt(w.world, p.x, p.y), backgroundPixel);
        }
    }
    // Outside the old picture (the movie keeps its proportions in the 400 x 300 window, so a
    // band is left) the window's grey is untouched.
    if (large.left > 0) {
        EXPECT_EQ(PixelAt(w.world, 0, 150), 0x808080u);
    }
    if (large.top > 0) {
        EXPECT_EQ(PixelAt(w.world, 200, 0), 0x808080u);
    }
    MediaObjectDelete(o);
    const RGBColor white{0xFFFF, 0xFFFF, 0xFFFF};
    KindSetThumbBackground(&white);
}

}  // namespace

namespace {

// The strip of a playing sound shows the loudness of what is heard in its two bands: a 440 Hz
// tone fills the first band's bar to its level and leaves the second empty, a 1000 Hz tone the
// other way round, silence neither; a paused sound shows empty bars.
TEST_F(MediaObjectTest, TheSoundStripsLevelBarsFollowTheSoundHeard) {
    const std::string& d = gMedia->path();
    const struct {
        const char* name;
        const char* source;    // lavfi source
        bool low, high;        // which band is loud
    } cases[] = {{"tone440.wav", "sine=frequency=440:sample_rate=22050:duration=3", true, false},
                 {"tone1000.wav", "sine=frequency=1000:sample_rate=22050:duration=3", false, true},
                 {"silence.wav", "anullsrc=r=22050:cl=mono:d=3", false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(RunTool({"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i", c.source, "-t", "3",
                           "-c:a", "pcm_s16le", d + "/" + c.name}),
                  0);
        Window w(400, 40);
        MediaObject* o = MediaObjectNew(w.world);
        const Rect bounds{0, 0, 40, 400};
        MediaObjectSetBounds(o, &bounds);
        o->openOptionC = 1;  // the sound gets its strip
        FSSpec s = S(c.name);
        ASSERT_EQ(MediaObjectOpen(o, &s, 'WAVE', 0, 0, 0, false), noErr);
        ASSERT_EQ(MediaObjectStart(o, 0), noErr);
        // Past the first window of sound, well before the end.
        PumpUntil([&] {
            UInt32 t = 0;
            MediaObjectGetCurrentTime(o, &t);
            return double(t) / MoviePresenterTimeScale(o) > 0.6;
        });
        ASSERT_EQ(MediaObjectGetPlayState(o, 0), 2);
        UInt8 levels[kSoundStripBands] = {0, 0};
        MoviePresenterSoundLevels(o, levels);
        // The tone source plays at an eighth of full scale (-18 dB): level 178.
        if (c.low) {
            EXPECT_NEAR(levels[0], 178, 8);
        } else {
            EXPECT_LT(levels[0], 30);
        }
        if (c.high) {
            EXPECT_NEAR(levels[1], 178, 8);
        } else {
            EXPECT_LT(levels[1], 30);
        }
        // The bars as drawn: count the bar colour along the middle row of each track.
        ASSERT_EQ(MediaObjectDraw(o), noErr);
        Rect strip{};
        MediaObjectGetImageRect(o, &strip);
        for (int band = 0; band < kSoundStripBands; ++band) {
            const Rect track = SoundStripLevelBar(strip, band);
            int lit = 0;
            for (int x = track.left; x < track.right; ++x)
                lit += PixelAt(w.world, x, (track.top + track.bottom) / 2) == 0xFAFAFA;
            const bool loud = band == 0 ? c.low : c.high;
            const int full = track.right - track.left;
            SCOPED_TRACE(band);
            if (loud) {
                EXPECT_NEAR(lit, full * 178 / 255, full / 20);
            } else {
                EXPECT_LT(lit, full / 8);
            }
        }
        // Paused: nothing is heard, the bars are empty.
        MediaObjectStop(o);
        MoviePresenterSoundLevels(o, levels);
        EXPECT_EQ(levels[0], 0);
        EXPECT_EQ(levels[1], 0);
        MediaObjectDelete(o);
    }
}

}  // namespace
