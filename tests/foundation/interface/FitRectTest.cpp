#include "foundation/interface/FitRect.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

Rect R(int left, int top, int right, int bottom) {
    Rect r;
    SetRect(&r, left, top, right, bottom);
    return r;
}

bool Same(const Rect& a, const Rect& b) { return EqualRect(&a, &b); }

std::string Show(const Rect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

TEST(FitRectInRect, ModesAndRounding) {
    struct Case {
        Rect in;
        Point tl, br;
        short mode;
        short pct;
        Rect out;
    } cases[] = {
        // 100 x 50 into 200 x 200
        {R(0, 0, 100, 50), {0, 0}, {200, 200}, 1, 100, R(50, 75, 150, 125)},
        {R(0, 0, 100, 50), {0, 0}, {200, 200}, 2, 200, R(0, 50, 200, 150)},
        {R(0, 0, 100, 50), {0, 0}, {200, 200}, 3, 400, R(-100, 0, 300, 200)},
        {R(0, 0, 100, 50), {0, 0}, {200, 200}, 4, 200, R(0, 50, 200, 150)},
        {R(0, 0, 100, 50), {0, 0}, {200, 200}, 5, 400, R(-100, 0, 300, 200)},
        {R(0, 0, 100, 50), {0, 0}, {200, 200}, 6, 100, R(50, 75, 150, 125)},
        {R(0, 0, 100, 50), {0, 0}, {200, 200}, 0, 100, R(50, 75, 150, 125)},
        {R(0, 0, 100, 50), {0, 0}, {200, 200}, 9, 100, R(50, 75, 150, 125)},
        // 300 x 70: too wide for the frame; floors for 1 and 2, ceilings for 3 and 6
        {R(5, 5, 305, 75), {0, 0}, {200, 200}, 1, 66, R(0, 77, 200, 123)},
        {R(5, 5, 305, 75), {0, 0}, {200, 200}, 2, 66, R(0, 77, 200, 123)},
        {R(5, 5, 305, 75), {0, 0}, {200, 200}, 3, 286, R(-328, 0, 529, 200)},
        {R(5, 5, 305, 75), {0, 0}, {200, 200}, 6, 286, R(-328, 0, 529, 200)},
        // 3 x 7 into 10 x 10, frame away from the origin
        {R(0, 0, 3, 7), {/*v*/ 20, /*h*/ 10}, {/*v*/ 30, /*h*/ 20}, 2, 142, R(13, 20, 17, 30)},
        {R(0, 0, 3, 7), {/*v*/ 20, /*h*/ 10}, {/*v*/ 30, /*h*/ 20}, 3, 334, R(10, 14, 20, 37)},
        // less than a pixel keeps a side of 1; an empty rectangle counts as 1 x 1
        {R(0, 0, 1000, 1), {0, 0}, {100, 100}, 2, 10, R(0, 49, 100, 50)},
        {R(0, 0, 0, 0), {0, 0}, {10, 10}, 2, 1000, R(0, 0, 10, 10)},
    };
    for (const auto& c : cases) {
        Rect r = c.in;
        EXPECT_EQ(FitRectInRect(&r, c.tl, c.br, c.mode), c.pct) << Show(c.in) << " mode " << c.mode;
        EXPECT_TRUE(Same(r, c.out)) << Show(c.in) << " mode " << c.mode << " gave " << Show(r);
    }
}

TEST(FitRectInRect, HugeScalesStayWithin16Bits) {
    Rect r = R(0, 0, 1, 1);
    short pct = FitRectInRect(&r, {0, 0}, {30000, 30000}, 2);
    EXPECT_EQ(pct, 32767);
    EXPECT_EQ(r.right - r.left, 30000);
}

TEST(ScaleRectInRect, ViewModes) {
    struct Case {
        short viewMode;
        short percent;
        short pct;
        Rect out;
    } cases[] = {
        {1, 0, 100, R(50, 75, 150, 125)},
        {2, 0, 100, R(50, 75, 150, 125)},
        {3, 50, 50, R(75, 87, 125, 112)},     // by the given percentage, centred
        {4, 0, 200, R(0, 50, 200, 150)},
        {5, 0, 400, R(-100, 0, 300, 200)},
        {6, 0, 400, R(-100, 0, 300, 200)},
        {7, 0, 200, R(0, 50, 200, 150)},
        {8, 0, 100, R(0, 0, 200, 200)},
        {9, 150, 150, R(25, 62, 175, 137)},
    };
    for (const auto& c : cases) {
        Rect r = R(30, 40, 130, 90);   // 100 x 50, not at the origin
        EXPECT_EQ(ScaleRectInRect(&r, {0, 0}, {200, 200}, c.percent, c.viewMode), c.pct) << c.viewMode;
        EXPECT_TRUE(Same(r, c.out)) << c.viewMode << " gave " << Show(r);
    }
}

TEST(FitRectInRectAt, ScrollsInsideOversizedPictures) {
    struct Case {
        Rect in;
        short offH, offV;
        short wantH, wantV;
        Rect out;
    } cases[] = {
        {R(10, 10, 50, 50), 7, 7, 0, 0, R(10, 10, 50, 50)},                // inside: nothing moves
        {R(0, 0, 400, 300), 500, 10, 100, 10, R(0, -40, 400, 260)},       // clamped to the overflow
        {R(0, 0, 400, 300), -500, -10, -100, -10, R(-200, -60, 200, 240)},
        {R(0, 0, 400, 100), 9, 20, 9, 0, R(-91, 50, 309, 150)},           // no vertical overflow
    };
    for (const auto& c : cases) {
        Rect r = c.in;
        Point off;
        off.h = c.offH;
        off.v = c.offV;
        Point tl{0, 0}, br;
        br.h = 200;
        br.v = 200;
        FitRectInRectAt(&r, tl, br, &off);
        EXPECT_EQ(off.h, c.wantH) << Show(c.in);
        EXPECT_EQ(off.v, c.wantV) << Show(c.in);
        EXPECT_TRUE(Same(r, c.out)) << Show(c.in) << " gave " << Show(r);
    }
}

TEST(Geometry, SmallConversions) {
    EXPECT_TRUE(PointsNear({10, 10}, {12, 8}, 2));
    EXPECT_FALSE(PointsNear({10, 10}, {13, 10}, 2));
    EXPECT_FALSE(PointsNear({10, 10}, {10, 7}, 2));

    RECT w{1, 2, 3, 4};
    Rect m;
    RECTToMacRect(&w, &m);
    EXPECT_TRUE(Same(m, R(1, 2, 3, 4)));
    RECT back{};
    MacRectToRECT(&m, &back);
    EXPECT_EQ(back.left, 1);
    EXPECT_EQ(back.bottom, 4);

    RGBColor rgb;
    ColorRefToRGBColor(0x00336699u, &rgb);
    EXPECT_EQ(rgb.red, 0x9999);
    EXPECT_EQ(rgb.green, 0x6666);
    EXPECT_EQ(rgb.blue, 0x3333);
    std::uint32_t ref = 0;
    RGBColor odd{0x12FF, 0xAB00, 0x0001};
    EXPECT_EQ(RGBColorToColorRef(&odd, &ref), 0x00ABu << 8 | 0x12u);
    EXPECT_EQ(ref, 0x0000AB12u);

    Handle pict = NewHandleClear(12);
    const unsigned char bytes[10] = {0, 12, 0, 1, 0xFF, 0xFE, 0, 100, 0, 200};
    std::memcpy(*pict, bytes, 10);
    Rect frame;
    ASSERT_EQ(GetPictFrame(pict, &frame), noErr);
    EXPECT_TRUE(Same(frame, R(-2, 1, 200, 100)));
    SetHandleSize(pict, 9);
    EXPECT_EQ(GetPictFrame(pict, &frame), paramErr);
    DisposeHandle(pict);
}

}  // namespace
