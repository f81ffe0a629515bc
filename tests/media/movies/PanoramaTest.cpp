// Panorama movies: the description and the whole picture read back from movies made here in
// every way a panorama can lie (a cylinder upright or on its side, said by the type or by the
// old flag; a cube), damaged and ordinary movies refused, the view from inside drawn at a pan,
// tilt and field of view (pixel checks against the picture's bands), the slow turn, the
// presenter through the media object, and the catalog's size and thumbnail of a panorama.
#include "PanoramaTestFiles.h"

#include "media/imaging/Offscreen.h"
#include "media/kinds/KindEngine.h"
#include "media/kinds/KindTable.h"
#include "media/presenters/MediaObject.h"
#include "media/presenters/PanoramaPresenter.h"
#include "media/readers/movies/MovieImporterHandler.h"
#include "media/readers/panorama/PanoramaReader.h"
#include "media/readers/panorama/PanoramaSpinner.h"
#include "media/readers/panorama/PanoramaView.h"
#include "media/readers/panorama/QuickTimeVR.h"
#include "platform/TimerService.h"
#include "support/FileSpecs.h"
#include "support/MovieFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <thread>

namespace {

using namespace panoramafiles;

constexpr int kWidth = 360, kHeight = 60, kBands = 8;
const std::uint8_t kBandColours[kBands][3] = {{230, 20, 20},  {20, 230, 20},  {20, 20, 230},  {230, 230, 20},
                                              {20, 230, 230}, {230, 20, 230}, {240, 140, 20}, {120, 60, 200}};

// Eight upright bands of 45 columns, bright above the horizon and half as bright below it.
Rgb Bands() {
    Rgb p{kWidth, kHeight, Bytes(std::size_t(kWidth) * kHeight * 3)};
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c) p.At(x, y)[c] = std::uint8_t(kBandColours[x / 45][c] >> (y < kHeight / 2 ? 0 : 1));
    return p;
}

std::uint32_t Colour(int band, bool above) {
    const auto& c = kBandColours[band];
    const int s = above ? 0 : 1;
    return (std::uint32_t(c[0] >> s) << 16) | (std::uint32_t(c[1] >> s) << 8) | std::uint32_t(c[2] >> s);
}

std::uint32_t PixelAt(GWorldPtr w, int x, int y) {
    PixelView px = GetGWorldPixels(w);
    Rect b = GetPortBounds(w);
    return reinterpret_cast<const std::uint32_t*>(px.base + std::ptrdiff_t(y - b.top) * px.rowBytes)[x - b.left] & 0xFFFFFF;
}

bool SamePicture(GWorldPtr w, const Rgb& p) {
    PixelView px = GetGWorldPixels(w);
    if (px.width != p.width || px.height != p.height) return false;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const std::uint8_t* want = p.At(x, y);
            const std::uint8_t* got = px.base + std::ptrdiff_t(y) * px.rowBytes + x * 4;
            if (got[2] != want[0] || got[1] != want[1] || got[0] != want[2]) return false;
        }
    return true;
}

// The pan at the middle of a band (the largest pan lies at the picture's left edge).
float PanOfBand(int band) { return 360.0f - (band * 45 + 22.5f); }

std::unique_ptr<TempFolder> gFiles;
std::string gCylinder;  // upright, 4 x 1 tiles

class PanoramaTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        gFiles = std::make_unique<TempFolder>();
        PanoramaFile f;
        f.across = 4;
        gCylinder = *gFiles / "cylinder.mov";
        ASSERT_TRUE(MakePanoramaMovie(gCylinder, Bands(), f));
    }
    static void TearDownTestSuite() { gFiles.reset(); }
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr);
        ASSERT_EQ(QuickTimeVRAvailability(), 1);
    }
    void TearDown() override {
        KindEngineShutdown();
        KindTableClear();
    }
};

TEST_F(PanoramaTest, EveryWayOfStoringACylinderReadsBackTheUprightPicture) {
    const struct {
        const char* name;
        std::uint32_t type, flags;
        bool onSide;
        int across, down;
    } cases[] = {
        {"horizontal cylinder, 4 tiles across", 'hcyl', 0, false, 4, 1},
        {"horizontal cylinder, 2 x 3 tiles", 'hcyl', 0, false, 2, 3},
        {"vertical cylinder, 1 x 4 tiles", 'vcyl', 0, true, 1, 4},
        {"vertical cylinder, 2 x 2 tiles", 'vcyl', 0, true, 2, 2},
        {"old type, horizontal flag", 0, 1, false, 3, 1},
        {"old type, no flag: on its side", 0, 0, true, 1, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PanoramaFile f;
        f.type = c.type;
        f.flags = c.flags;
        f.storedOnSide = c.onSide;
        f.across = c.across;
        f.down = c.down;
        f.minTilt = -25;
        f.maxTilt = 20;
        f.defaultPan = 123.5f;
        f.viewWidth = 200;
        f.viewHeight = 150;
        const std::string path = *gFiles / "stored.mov";
        ASSERT_TRUE(MakePanoramaMovie(path, Bands(), f));
        FSSpec spec = SpecOf(path);
        PanoramaDescription d;
        ASSERT_EQ(PanoramaReadDescription(&spec, &d), noErr);
        EXPECT_EQ(d.controllerType, OSType('qtvr'));
        EXPECT_EQ(d.shape, c.onSide ? OSType(kPanoramaVerticalCylinder) : OSType(kPanoramaHorizontalCylinder));
        EXPECT_EQ(d.tilesAcross, c.across);
        EXPECT_EQ(d.tilesDown, c.down);
        EXPECT_FLOAT_EQ(d.minTilt, -25);
        EXPECT_FLOAT_EQ(d.maxTilt, 20);
        EXPECT_FLOAT_EQ(d.defaultPan, 123.5f);
        EXPECT_EQ(d.viewWidth, 200);
        EXPECT_EQ(d.viewHeight, 150);
        EXPECT_EQ(d.imageTrack, 0);
        GWorldPtr picture = nullptr;
        ASSERT_EQ(PanoramaReadPicture(&spec, d, &picture), noErr);
        EXPECT_TRUE(SamePicture(picture, Bands()));
        DisposeGWorld(picture);
    }
}

TEST_F(PanoramaTest, OrdinaryAndDamagedMoviesAreRefused) {
    const std::string plain = *gFiles / "plain.mov";
    ASSERT_TRUE(moviefixtures::MakeMovie(plain, {"-c:v", "mjpeg"}, false, 0.5));
    FSSpec spec = SpecOf(plain);
    PanoramaDescription d;
    EXPECT_EQ(PanoramaReadDescription(&spec, &d), kReaderDeclinesErr) << "an ordinary movie";

    const struct {
        const char* name;
        std::function<void(PanoramaFile&)> change;
        OSErr description, picture;  // noErr: the step succeeds; 1: not reached
    } cases[] = {
        {"no controller type", [](PanoramaFile& f) { f.controllerType = false; }, kReaderDeclinesErr, 1},
        {"no panorama track", [](PanoramaFile& f) { f.panoramaTrack = false; }, kReaderDeclinesErr, 1},
        {"description cut short", [](PanoramaFile& f) { f.sampleBytes = 60; }, kBadMediaDataErr, 1},
        {"no such image reference", [](PanoramaFile& f) { f.imageReference = 2; }, kBadMediaDataErr, 1},
        {"tiles that do not divide the picture", [](PanoramaFile& f) { f.across = 7; }, kBadMediaDataErr, 1},
        {"unknown panorama type", [](PanoramaFile& f) { f.type = 'sphr'; }, kBadMediaDataErr, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PanoramaFile f;
        f.across = 4;
        c.change(f);
        const std::string path = *gFiles / "damaged.mov";
        // Tiles the tool can make: a description that lies about them is built from a good cut.
        PanoramaFile made = f;
        made.across = 4;
        ASSERT_TRUE(MakePanoramaMovie(path, Bands(), made));
        if (f.across != made.across) {
            // Rewrite the tile count in the description only.
            std::string bytes = TempFolder::Read(path);
            const std::size_t at = bytes.find("pdat");
            ASSERT_NE(at, std::string::npos);
            bytes[at + 16 + 56 + 1] = char(f.across);
            std::ofstream(path, std::ios::binary) << bytes;
        }
        FSSpec s = SpecOf(path);
        EXPECT_EQ(PanoramaReadDescription(&s, &d), c.description);
    }

    // A description that asks for more tiles than the track holds: the picture is refused.
    PanoramaFile f;
    f.across = 4;
    const std::string path = *gFiles / "short.mov";
    ASSERT_TRUE(MakePanoramaMovie(path, Bands(), f));
    std::string bytes = TempFolder::Read(path);
    const std::size_t at = bytes.find("pdat");
    bytes[at + 16 + 58 + 1] = 2;                          // two rows of tiles
    bytes[at + 16 + 52 + 3] = char(kHeight * 2);          // twice the height
    std::ofstream(path, std::ios::binary) << bytes;
    FSSpec s = SpecOf(path);
    ASSERT_EQ(PanoramaReadDescription(&s, &d), noErr);
    GWorldPtr picture = reinterpret_cast<GWorldPtr>(&d);
    EXPECT_EQ(PanoramaReadPicture(&s, d, &picture), kBadMediaDataErr);
    EXPECT_EQ(picture, nullptr);
}

TEST_F(PanoramaTest, TheViewShowsWhatLiesAtItsPanTiltAndFieldOfView) {
    FSSpec spec = SpecOf(gCylinder);
    PanoramaDescription d;
    ASSERT_EQ(PanoramaReadDescription(&spec, &d), noErr);
    GWorldPtr picture = nullptr;
    ASSERT_EQ(PanoramaReadPicture(&spec, d, &picture), noErr);
    // A port whose rectangle does not start at 0,0, and an area inside it.
    const Rect portRect{10, 20, 110, 180};
    const Rect area{30, 40, 90, 120};  // 80 x 60
    GWorldPtr port = nullptr;
    const RGBColor grey{0x8080, 0x8080, 0x8080}, back{0x1010, 0x2020, 0x3030};
    ASSERT_EQ(OffscreenNewFilled(&port, k32BGRAPixelFormat, &portRect, &grey), noErr);
    const int cx = (area.left + area.right) / 2, cy = (area.top + area.bottom) / 2;
    const struct {
        const char* name;
        PanoramaView view;
        int band;                // at the centre column
        std::uint32_t above, below;  // 4 rows above and below the centre; 0: the band's colours
    } cases[] = {
        {"band 0 ahead", {PanOfBand(0), 0, 60}, 0, 0, 0},
        {"band 5 ahead", {PanOfBand(5), 0, 60}, 5, 0, 0},
        {"turned 45 degrees left of band 5", {PanOfBand(5) + 45, 0, 60}, 4, 0, 0},
        {"across the seam: pan 360 + band 7", {PanOfBand(7) + 360, 0, 60}, 7, 0, 0},
        {"negative pan", {PanOfBand(6) - 360, 0, 60}, 6, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(PanoramaDrawView(picture, d, c.view, port, &area, &back), noErr);
        EXPECT_EQ(PixelAt(port, cx, cy - 4), Colour(c.band, true));
        EXPECT_EQ(PixelAt(port, cx, cy + 4), Colour(c.band, false));
        // The view is 75 degrees wide, so its edges lie in the neighbouring bands; left of the
        // centre lies the band with the larger pan: the previous one in the picture.
        EXPECT_EQ(PixelAt(port, area.left, cy - 4), Colour((c.band + 7) % 8, true)) << "left edge";
        EXPECT_EQ(PixelAt(port, area.right - 1, cy - 4), Colour((c.band + 1) % 8, true)) << "right edge";
    }
    // The port outside the area is untouched.
    EXPECT_EQ(PixelAt(port, area.left - 1, cy), 0x808080u);
    EXPECT_EQ(PixelAt(port, cx, area.bottom), 0x808080u);

    // Tilted up within the limits, the centre shows the bright upper half; tilted down, the
    // darker lower half; the limits (-30..30) keep the view on the picture.
    ASSERT_EQ(PanoramaDrawView(picture, d, {PanOfBand(2), 10, 30}, port, &area, &back), noErr);
    EXPECT_EQ(PixelAt(port, cx, cy), Colour(2, true));
    ASSERT_EQ(PanoramaDrawView(picture, d, {PanOfBand(2), -10, 30}, port, &area, &back), noErr);
    EXPECT_EQ(PixelAt(port, cx, cy), Colour(2, false));

    // Zoom: a narrow view shows one band across its width, a wide one several.
    auto bandsAcross = [&](float fov) {
        EXPECT_EQ(PanoramaDrawView(picture, d, {PanOfBand(3), 0, fov}, port, &area, &back), noErr);
        std::set<std::uint32_t> seen;
        for (int x = area.left; x < area.right; ++x) seen.insert(PixelAt(port, x, cy - 2));
        return seen.size();
    };
    EXPECT_EQ(bandsAcross(10), 1u);
    EXPECT_GE(bandsAcross(80), 3u);

    // Without tilt limits a view may look past the cylinder's top: that is the background.
    PanoramaDescription open = d;
    open.minTilt = open.maxTilt = 0;
    ASSERT_EQ(PanoramaDrawView(picture, open, {PanOfBand(1), 60, 20}, port, &area, &back), noErr);
    EXPECT_EQ(PixelAt(port, cx, cy), 0x102030u);
    DisposeGWorld(port);
    DisposeGWorld(picture);
}

TEST_F(PanoramaTest, ACubeShowsEachFaceInItsDirection) {
    constexpr int kFace = 32;
    const std::uint8_t faces[6][3] = {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}, {200, 200, 0}, {0, 200, 200}, {200, 0, 200}};
    Rgb cube{kFace * 6, kFace, Bytes(std::size_t(kFace) * 6 * kFace * 3)};
    for (int y = 0; y < kFace; ++y)
        for (int x = 0; x < kFace * 6; ++x) {
            const int f = x / kFace;
            for (int c = 0; c < 3; ++c) cube.At(x, y)[c] = faces[f][c];
            // The top face's lower half (the half that meets the front) is marked white.
            if (f == 4 && y >= kFace / 2) cube.At(x, y)[0] = cube.At(x, y)[1] = cube.At(x, y)[2] = 255;
        }
    PanoramaFile f;
    f.type = 'cube';
    f.minTilt = -90;
    f.maxTilt = 90;
    const std::string path = *gFiles / "cube.mov";
    ASSERT_TRUE(MakePanoramaMovie(path, cube, f));
    FSSpec spec = SpecOf(path);
    PanoramaDescription d;
    ASSERT_EQ(PanoramaReadDescription(&spec, &d), noErr);
    ASSERT_EQ(d.shape, OSType(kPanoramaCube));
    GWorldPtr picture = nullptr;
    ASSERT_EQ(PanoramaReadPicture(&spec, d, &picture), noErr);
    EXPECT_TRUE(SamePicture(picture, cube));
    const Rect area{0, 0, 40, 40};
    GWorldPtr port = nullptr;
    ASSERT_EQ(OffscreenNew(&port, k32BGRAPixelFormat, &area), noErr);
    auto rgb = [&](int i) { return (std::uint32_t(faces[i][0]) << 16) | (std::uint32_t(faces[i][1]) << 8) | faces[i][2]; };
    const struct {
        const char* name;
        float pan, tilt;
        std::uint32_t centre;
    } cases[] = {{"ahead: front", 0, 0, rgb(0)},       {"turned right: right", -90, 0, rgb(1)},
                 {"behind: back", 180, 0, rgb(2)},     {"turned left: left", 90, 0, rgb(3)},
                 {"up, facing front: the top's marked half", 0, 60, 0xFFFFFF},
                 {"up, facing back: the top's far half", 180, 60, rgb(4)},
                 {"down: bottom", 0, -89, rgb(5)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(PanoramaDrawView(picture, d, {c.pan, c.tilt, 30}, port, &area, nullptr), noErr);
        EXPECT_EQ(PixelAt(port, 20, 20), c.centre);
    }
    // The catalog's overview of a cube is its four side faces.
    GWorldPtr overview = nullptr;
    Rect size{};
    ASSERT_EQ(PanoramaReadOverview(&spec, 0, &overview, nullptr, &size), noErr);
    EXPECT_EQ(size.right - size.left, kFace * 4);
    EXPECT_EQ(PixelAt(overview, kFace * 3 + 5, 5), rgb(3));
    DisposeGWorld(overview);
    DisposeGWorld(port);
    DisposeGWorld(picture);
}

TEST_F(PanoramaTest, TheTurnGoesOnceAroundATenthOfADegreeATick) {
    PanoramaDescription d;
    d.minPan = d.maxPan = 0;  // no limits: 0 to 360
    PanoramaRecord* r = PanoramaStart(&d);
    ASSERT_NE(r, nullptr);
    EXPECT_FLOAT_EQ(r->minPan, 0);
    EXPECT_FLOAT_EQ(r->maxPan, 360);
    EXPECT_TRUE(PanoramaIsIdle(r));
    EXPECT_FALSE(PanoramaIdleStep(r, 1)) << "not turning yet";
    PanoramaBeginTurning(r);
    EXPECT_FALSE(PanoramaIsIdle(r));
    EXPECT_TRUE(PanoramaIdleStep(r, 1));
    EXPECT_FALSE(PanoramaIdleStep(r, 1)) << "the same tick again";
    EXPECT_NEAR(r->currentPan, 0.1, 1e-4);
    UInt32 tick = 1;
    while (!PanoramaIsIdle(r) && tick < 10000) PanoramaIdleStep(r, ++tick);
    EXPECT_FLOAT_EQ(r->currentPan, 360) << "stops at the end";
    EXPECT_NEAR(tick, 3600, 2);
    PanoramaBeginTurning(r);
    EXPECT_FLOAT_EQ(r->currentPan, 0) << "a new turn starts from the beginning";
    PanoramaStopTurning(r);
    EXPECT_TRUE(PanoramaIsIdle(r));
    PanoramaFree(r);

    d.minPan = 90;
    d.maxPan = 100;
    r = PanoramaStart(&d);
    PanoramaBeginTurning(r);
    for (UInt32 t = 1; t <= 200; ++t) PanoramaIdleStep(r, t);
    EXPECT_FLOAT_EQ(r->currentPan, 100);
    PanoramaFree(r);
    EXPECT_TRUE(PanoramaIsIdle(nullptr));
    EXPECT_EQ(PanoramaStart(nullptr), nullptr);

    // Without panorama support there is no record: the movie plays as a movie.
    QuickTimeVRShutdown();
    EXPECT_EQ(PanoramaStart(&d), nullptr);
}

bool PumpUntil(const std::function<bool()>& done, int ms = 10000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        DefaultManualTimers().Advance(20);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

int gRedraws = 0;
void CountRedraw(MediaObject*, std::uintptr_t) { ++gRedraws; }

TEST_F(PanoramaTest, TheMoviePresenterShowsAndTurnsAPanorama) {
    PanoramaFile f;
    f.across = 4;
    f.defaultPan = PanOfBand(2);
    f.defaultFov = 30;
    f.viewWidth = 160;
    f.viewHeight = 120;
    const std::string path = *gFiles / "presented.mov";
    ASSERT_TRUE(MakePanoramaMovie(path, Bands(), f));
    Rect bounds{0, 0, 120, 160};
    GWorldPtr window = nullptr;
    ASSERT_EQ(OffscreenNew(&window, k32BGRAPixelFormat, &bounds), noErr);
    MediaObject* o = MediaObjectNew(window);
    MediaObjectSetBounds(o, &bounds);
    MediaObjectSetRedrawProc(o, CountRedraw, 0);
    gRedraws = 0;
    FSSpec spec = SpecOf(path);
    ASSERT_EQ(MediaObjectOpen(o, &spec, 'MooV', 0, 0, 0, false), noErr);
    EXPECT_EQ(o->presenterType, kMediaPresenterMovie);
    Rect natural{};
    MediaObjectUpdateRect(o, &natural);
    EXPECT_EQ(natural.right - natural.left, 160);
    EXPECT_EQ(natural.bottom - natural.top, 120);
    PanoramaView view;
    ASSERT_TRUE(PanoramaPresenterGetView(o, &view));
    EXPECT_FLOAT_EQ(view.pan, PanOfBand(2));
    ASSERT_EQ(MediaObjectDraw(o), noErr);
    EXPECT_EQ(PixelAt(window, 80, 56), Colour(2, true));
    EXPECT_EQ(PixelAt(window, 80, 64), Colour(2, false));

    // Set by the owner: the view follows, within the tilt limits.
    ASSERT_TRUE(PanoramaPresenterSetView(o, {PanOfBand(6), 80, 30}));
    ASSERT_TRUE(PanoramaPresenterGetView(o, &view));
    EXPECT_FLOAT_EQ(view.tilt, 15) << "the 30-degree view stays below the 30-degree limit";
    ASSERT_TRUE(PanoramaPresenterSetView(o, {PanOfBand(6), 0, 30}));
    ASSERT_EQ(MediaObjectDraw(o), noErr);
    EXPECT_EQ(PixelAt(window, 80, 56), Colour(6, true));

    // Playing with the spin option turns it from the smallest pan, a tenth of a degree a tick.
    EXPECT_EQ(MediaObjectGetPlayState(o, 1), 0);
    ASSERT_EQ(MediaObjectStart(o, 1), noErr);
    EXPECT_EQ(MediaObjectGetPlayState(o, 1), 2);
    const int before = gRedraws;
    ASSERT_TRUE(PumpUntil([&] {
        PanoramaPresenterGetView(o, &view);
        return view.pan >= 1.0f;
    }));
    EXPECT_GT(gRedraws, before);
    MediaObjectStop(o);
    EXPECT_EQ(MediaObjectGetPlayState(o, 1), 0);
    PanoramaPresenterGetView(o, &view);
    const float stopped = view.pan;
    DefaultManualTimers().Advance(500);
    PanoramaPresenterGetView(o, &view);
    EXPECT_FLOAT_EQ(view.pan, stopped);
    MediaObjectDelete(o);
    EXPECT_EQ(DefaultManualTimers().ActiveCount(), 0u);
    DisposeGWorld(window);

    // An ordinary movie still opens as a movie; so does a panorama without panorama support.
    const std::string plain = *gFiles / "plain2.mov";
    ASSERT_TRUE(moviefixtures::MakeMovie(plain, {"-c:v", "mjpeg"}, false, 0.5));
    for (const std::string& file : {plain, path}) {
        SCOPED_TRACE(file);
        if (file == path) QuickTimeVRShutdown();
        MediaObject* m = MediaObjectNew(nullptr);
        FSSpec ps = SpecOf(file);
        ASSERT_EQ(MediaObjectOpen(m, &ps, 'MooV', 0, 0, 0, false), noErr);
        EXPECT_EQ(m->presenterType, kMediaPresenterMovie);
        EXPECT_FALSE(PanoramaPresenterGetView(m, &view));
        MediaObjectDelete(m);
    }
}

TEST_F(PanoramaTest, TheCatalogSeesTheWholePanorama) {
    FSSpec spec = SpecOf(gCylinder);
    KindInfoRec info{};
    GWorldPtr poster = nullptr;
    ASSERT_EQ(MovieGetInfo(&spec, &info, nullptr, &poster, nullptr, nullptr, 0, 0, 160), noErr);
    EXPECT_EQ(info.width, UInt32(kWidth)) << "the whole picture, not one tile";
    EXPECT_EQ(info.height, UInt32(kHeight));
    ASSERT_NE(poster, nullptr);
    Rect b = GetPortBounds(poster);
    EXPECT_EQ(b.right - b.left, MoviePosterSideForThumbnail(160));
    DisposeGWorld(poster);

    GWorldPtr thumbnail = nullptr;
    ASSERT_EQ(MovieMakeThumbnail(&spec, &thumbnail, 160, 'MooV', nullptr, 0), noErr);
    b = GetPortBounds(thumbnail);
    ASSERT_EQ(b.right - b.left, 160);
    EXPECT_NEAR(b.bottom - b.top, 160 * kHeight / kWidth, 1);
    // The first and the last band at the two ends, bright above and dark below.
    auto near = [](std::uint32_t a, std::uint32_t e) {
        for (int s = 0; s < 24; s += 8)
            if (std::abs(int((a >> s) & 0xFF) - int((e >> s) & 0xFF)) > 24) return false;
        return true;
    };
    EXPECT_TRUE(near(PixelAt(thumbnail, 4, 4), Colour(0, true)));
    EXPECT_TRUE(near(PixelAt(thumbnail, 155, 4), Colour(7, true)));
    EXPECT_TRUE(near(PixelAt(thumbnail, 4, b.bottom - 3), Colour(0, false)));
    DisposeGWorld(thumbnail);
}

}  // namespace
