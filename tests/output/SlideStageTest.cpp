// The stage the program shows, with the real presenters: pictures opened from files fill
// their cell, a cross fade composed off screen shows a mix of both pictures half way and the
// new picture at its end, and a file that cannot be opened falls back to the stored preview.
#include "SlideShowPictures.h"

#include "media/imaging/Offscreen.h"
#include "media/kinds/KindEngine.h"
#include "output/slideshow/SlideShowMachine.h"
#include "output/slideshow/SlideStage.h"
#include "platform/Handles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

std::uint32_t PixelAt(GWorldPtr w, int x, int y) {
    const PixelView px = GetGWorldPixels(w);
    return reinterpret_cast<const std::uint32_t*>(px.base + std::ptrdiff_t(y) * px.rowBytes)[x] & 0xFFFFFF;
}
int Red(std::uint32_t p) { return int(p >> 16 & 0xFF); }
int Blue(std::uint32_t p) { return int(p & 0xFF); }

class SlideStageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr);
        SlideShowInit();
        ASSERT_TRUE(WriteFlatPng(folder / "red.png", 64, 48, 1, 0, 0));
        ASSERT_TRUE(WriteFlatPng(folder / "blue.png", 64, 48, 0, 0, 1));
        files = {folder / "red.png", folder / "blue.png", folder / "gone.png"};
    }
    void TearDown() override {
        show.reset();
        SlideShowTerm();
    }
    SlideHost Host() {
        SlideHost h;
        h.getItemPath = [this](SInt32 item, FSSpec* file, UInt16*) -> OSErr {
            file->path = files[std::size_t(item - 1)];
            return noErr;
        };
        h.loadSettings = [this](SlideShowSettings* s, SlideShowFontSetting*) -> OSErr {
            *s = settings;
            return noErr;
        };
        h.getSlideData = [this](SInt32 item, Handle*, Handle* preview, Handle*, Handle*) -> OSErr {
            if (preview && item == 3) {
                // The catalog keeps its previews as pictures.
                GWorldPtr blue = nullptr;
                const Rect r{0, 0, 30, 40};
                const RGBColor color{0, 0, 0xFFFF};
                if (OffscreenNewFilled(&blue, k32ARGBPixelFormat, &r, &color) != noErr) return memFullErr;
                PicHandle picture = nullptr;
                const OSErr err = OffscreenToPicture(blue, &r, 72 << 16, &picture);
                DisposeGWorld(blue);
                if (err != noErr) return err;
                *preview = picture;
            }
            return noErr;
        };
        return h;
    }
    void Start() {
        SlideShowRunArgs args;
        args.host = Host();
        args.itemCount = SInt32(files.size());
        args.clock = [this] { return now; };
        show = SlideShowMachine::Start(std::move(args), &stage);
        ASSERT_NE(nullptr, show);
        show->Begin(Rect{0, 0, 150, 200});
    }

    TempFolder folder;
    std::vector<std::string> files;
    SlideShowSettings settings = SlideShowDefaultSettings();
    SlideStage stage{200, 150};
    std::unique_ptr<SlideShowMachine> show;
    UInt32 now = 5000;
};

TEST_F(SlideStageTest, ACrossFadeIsComposedOffScreenFromTheOldPictureToTheNew) {
    ASSERT_TRUE(stage.Ok());
    settings.transition = 12;   // cross fade
    settings.playState = kSlideRunning;
    Start();
    ASSERT_TRUE(stage.InTransition());
    stage.Advance(now + 60);
    EXPECT_FALSE(stage.InTransition());
    EXPECT_EQ(0xFF0000u, PixelAt(stage.Screen(), 100, 75)) << "the red picture scaled to fit";

    show->Key(SlideKey::Next);
    ASSERT_TRUE(stage.InTransition());
    stage.Advance(now + 30);
    const std::uint32_t middle = PixelAt(stage.Screen(), 100, 75);
    EXPECT_GT(Red(middle), 60) << std::hex << middle;
    EXPECT_GT(Blue(middle), 60) << std::hex << middle;
    EXPECT_LT(Red(middle), 200) << std::hex << middle;
    EXPECT_LT(Blue(middle), 200) << std::hex << middle;
    stage.Advance(now + 60);
    EXPECT_EQ(0x0000FFu, PixelAt(stage.Screen(), 100, 75));
}

TEST_F(SlideStageTest, WithoutAnEffectTheNewPictureShowsAtOnce) {
    settings.transition = 1;
    Start();
    EXPECT_FALSE(stage.InTransition());
    EXPECT_EQ(0xFF0000u, PixelAt(stage.Screen(), 100, 75));
    EXPECT_EQ(0x000000u, PixelAt(stage.Screen(), 2, 2)) << "the background around a fitted picture";
}

TEST_F(SlideStageTest, AMissingFileShowsItsStoredPreview) {
    settings.transition = 1;
    settings.playState = kSlidePaused;
    Start();
    show->Key(SlideKey::Previous);   // from item 1 back to item 3, whose file is gone
    EXPECT_EQ(3, show->Current());
    EXPECT_TRUE(stage.ShowsSomething(1));
    EXPECT_EQ(0x0000FFu, PixelAt(stage.Screen(), 100, 75));
}

}  // namespace
