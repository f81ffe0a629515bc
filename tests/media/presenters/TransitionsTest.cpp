// The transitions: each one starts on the first picture and ends on the second, halfway it
// shows both, and a run calls back before, during and after.
#include "media/imaging/Offscreen.h"
#include "media/presenters/Transitions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct World {
    GWorldPtr w = nullptr;
    World(int width, int height, RGBColor c) {
        Rect r{0, 0, SInt16(height), SInt16(width)};
        OffscreenNewFilled(&w, k32BGRAPixelFormat, &r, &c);
    }
    ~World() { DisposeGWorld(w); }
    std::uint32_t At(int x, int y) const {
        PixelView px = GetGWorldPixels(w);
        return reinterpret_cast<const std::uint32_t*>(px.base + std::ptrdiff_t(y) * px.rowBytes)[x] & 0xFFFFFF;
    }
    std::string Bytes() const {
        PixelView px = GetGWorldPixels(w);
        std::string out;
        for (int y = 0; y < px.height; ++y)
            for (int x = 0; x < px.width; ++x) out += std::to_string(At(x, y)) + ",";
        return out;
    }
};

const RGBColor kRed{0xFFFF, 0, 0}, kBlue{0, 0, 0xFFFF}, kBlack{0, 0, 0};

TEST(Transitions, EveryTransitionStartsOnTheFirstPictureAndEndsOnTheSecond) {
    World a(64, 48, kRed), b(64, 48, kBlue), out(64, 48, kBlack);
    for (SInt32 n = 1; n <= 10; ++n) {
        SCOPED_TRACE(n);
        TransitionEffect e;
        ASSERT_TRUE(TransitionGetEffect(n, &e));
        ASSERT_EQ(TransitionRenderFrame(e, a.w, b.w, 0.0, out.w), noErr);
        EXPECT_EQ(out.Bytes(), a.Bytes());
        ASSERT_EQ(TransitionRenderFrame(e, a.w, b.w, 1.0, out.w), noErr);
        EXPECT_EQ(out.Bytes(), b.Bytes());
        // Halfway both pictures (or, for the dissolve, their mix) are seen.
        ASSERT_EQ(TransitionRenderFrame(e, a.w, b.w, 0.5, out.w), noErr);
        int red = 0, blue = 0, mixed = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                std::uint32_t p = out.At(x, y);
                if (p == 0xFF0000) ++red;
                else if (p == 0x0000FF) ++blue;
                else ++mixed;
            }
        if (e.type == 'dslv') {
            EXPECT_EQ(mixed, 64 * 48);
            EXPECT_EQ(out.At(10, 10), 0x7F007Fu);
        } else {
            EXPECT_GT(red, 0);
            EXPECT_GT(blue, 0);
            EXPECT_EQ(mixed, 0);
        }
    }
    EXPECT_FALSE(TransitionGetEffect(0, nullptr));
    EXPECT_FALSE(TransitionGetEffect(11, nullptr));
}

TEST(Transitions, WipesUncoverInTheirDirection) {
    World a(40, 40, kRed), b(40, 40, kBlue), out(40, 40, kBlack);
    struct Case {
        SInt32 number;
        int x1, y1;  // uncovered at 0.3
        int x2, y2;  // still covered at 0.3
    };
    const Case cases[] = {
        {7, 2, 20, 38, 20},   // left to right
        {8, 20, 2, 20, 38},   // top to bottom
        {2, 20, 20, 1, 20},   // opens from the middle sideways
        {1, 20, 20, 20, 1},   // opens from the middle up and down
        {6, 20, 20, 1, 1},    // a box from the middle
        {5, 20, 20, 1, 1},    // a circle from the middle
        {10, 24, 2, 10, 30},  // a clock hand from twelve o'clock
        {4, 0, 20, 4, 20},    // eight wipes across: each tile starts at its left
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        TransitionEffect e;
        ASSERT_TRUE(TransitionGetEffect(c.number, &e));
        ASSERT_EQ(TransitionRenderFrame(e, a.w, b.w, 0.3, out.w), noErr);
        EXPECT_EQ(out.At(c.x1, c.y1), 0x0000FFu);
        EXPECT_EQ(out.At(c.x2, c.y2), 0xFF0000u);
    }
}

std::vector<SInt32> gSteps;
OSErr Record(SInt32 step, GWorldPtr, std::uintptr_t) {
    if (gSteps.empty() || gSteps.back() != step) gSteps.push_back(step);
    return noErr;
}

TEST(Transitions, ARunCallsBackAroundItsFramesAndOnlyForKnownNumbers) {
    World a(30, 20, kRed), b(60, 40, kBlue);
    Rect area{0, 0, 20, 30};
    gSteps.clear();
    ASSERT_EQ(TransitionRun(9, a.w, b.w, &area, 3, Record, 0), noErr);
    EXPECT_EQ(gSteps, (std::vector<SInt32>{0, 1, 2}));
    gSteps.clear();
    EXPECT_EQ(TransitionRun(11, a.w, b.w, &area, 3, Record, 0), noErr);
    EXPECT_TRUE(gSteps.empty());
    World small(10, 10, kRed);
    EXPECT_EQ(TransitionRenderFrame(TransitionEffect{'dslv', 0, 0, 0}, a.w, small.w, 0.5, small.w), paramErr);
}

}  // namespace
