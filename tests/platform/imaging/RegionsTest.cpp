// Regions as lists of rectangles: what union, difference and intersection cover (checked pixel
// by pixel against the same sets computed point by point), that no pixel is counted twice,
// and that painting fills exactly the region on a port in port coordinates.
#include "platform/imaging/GWorld.h"
#include "platform/imaging/Ports.h"
#include "platform/imaging/Regions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace {

bool In(const Rect& r, int h, int v) { return h >= r.left && h < r.right && v >= r.top && v < r.bottom; }

struct RegionOwner {
    RgnHandle r = NewRgn();
    ~RegionOwner() { DisposeRgn(r); }
};

RgnHandle Of(RegionOwner& owner, const std::vector<Rect>& rects) {
    SetEmptyRgn(owner.r);
    RegionOwner one;
    for (const Rect& rect : rects) {
        RectRgn(one.r, &rect);
        UnionRgn(owner.r, one.r, owner.r);
    }
    return owner.r;
}

TEST(Regions, SetOperationsCoverExactlyTheirPointsOnce) {
    using Pred = std::function<bool(bool, bool)>;
    const struct {
        const char* name;
        void (*op)(RgnHandle, RgnHandle, RgnHandle);
        Pred expected;
    } ops[] = {{"union", UnionRgn, [](bool a, bool b) { return a || b; }},
               {"difference", DiffRgn, [](bool a, bool b) { return a && !b; }},
               {"intersection", SectRgn, [](bool a, bool b) { return a && b; }}};
    const struct {
        const char* name;
        std::vector<Rect> a, b;
    } shapes[] = {
        {"overlapping corners", {{0, 0, 10, 10}}, {{5, 5, 15, 15}}},
        {"hole in the middle", {{0, 0, 20, 20}}, {{5, 5, 15, 15}}},
        {"b holds a", {{5, 5, 8, 8}}, {{0, 0, 20, 20}}},
        {"apart", {{0, 0, 4, 4}}, {{10, 10, 12, 14}}},
        {"touching edges", {{0, 0, 10, 5}}, {{0, 5, 10, 10}}},
        {"a of two overlapping parts", {{0, 0, 10, 10}, {5, 5, 15, 15}}, {{3, 3, 12, 12}}},
        {"empty b", {{2, 2, 9, 9}}, {}},
        {"empty a", {}, {{2, 2, 9, 9}}},
        {"negative coordinates", {{-8, -8, 2, 2}}, {{-3, -12, 0, 1}}},
    };
    for (const auto& op : ops)
        for (const auto& shape : shapes) {
            SCOPED_TRACE(std::string(op.name) + ", " + shape.name);
            RegionOwner a, b, out;
            Of(a, shape.a);
            Of(b, shape.b);
            op.op(a.r, b.r, out.r);
            std::int64_t count = 0;
            for (int v = -16; v < 24; ++v)
                for (int h = -16; h < 24; ++h) {
                    bool inA = false, inB = false;
                    for (const Rect& r : shape.a) inA = inA || In(r, h, v);
                    for (const Rect& r : shape.b) inB = inB || In(r, h, v);
                    const bool want = op.expected(inA, inB);
                    count += want;
                    ASSERT_EQ(PtInRgn(Point{SInt16(v), SInt16(h)}, out.r), want) << "at " << h << "," << v;
                    if (want) {
                        ASSERT_TRUE(In(out.r->bounds, h, v)) << "bounds miss " << h << "," << v;
                    }
                }
            // Area is the sum of the parts: equal to the point count only when no part overlaps.
            EXPECT_EQ(RegionArea(out.r), count);
            EXPECT_EQ(EmptyRgn(out.r), count == 0);
        }
}

TEST(Regions, AnOperationMayWriteIntoItsOwnSource) {
    RegionOwner a, b;
    const Rect big{0, 0, 10, 10}, corner{0, 0, 5, 5};
    RectRgn(a.r, &big);
    RectRgn(b.r, &corner);
    DiffRgn(a.r, b.r, a.r);
    EXPECT_EQ(RegionArea(a.r), 75);
    EXPECT_FALSE(PtInRgn(Point{2, 2}, a.r));
    UnionRgn(a.r, b.r, b.r);
    EXPECT_EQ(RegionArea(b.r), 100);
    OffsetRgn(b.r, 3, -2);
    EXPECT_TRUE(PtInRgn(Point{-2, 3}, b.r));
    EXPECT_FALSE(PtInRgn(Point{0, 2}, b.r));
    EXPECT_EQ(b.r->bounds.left, 3);
    EXPECT_EQ(b.r->bounds.top, -2);
    const Rect empty{4, 4, 4, 9};
    RectRgn(a.r, &empty);
    EXPECT_TRUE(EmptyRgn(a.r));
}

TEST(Regions, PaintFillsTheRegionInTheForegroundColourInPortCoordinates) {
    // A port whose rectangle does not start at 0,0: the region is in port coordinates.
    const Rect bounds{100, 200, 120, 230};
    GWorldPtr world = nullptr;
    ASSERT_EQ(NewGWorldFromFormat(&world, k32BGRAPixelFormat, &bounds), noErr);
    RegionOwner ring, hole;
    const Rect outer{102, 202, 118, 228}, inner{106, 206, 114, 224};
    RectRgn(ring.r, &outer);
    RectRgn(hole.r, &inner);
    DiffRgn(ring.r, hole.r, ring.r);
    GWorldPtr previous = GetGWorld();
    SetGWorld(world);
    const RGBColor green{0, 0xFFFF, 0};
    RGBForeColor(&green);
    PaintRgn(ring.r);
    SetGWorld(previous);
    PixelView px = GetGWorldPixels(world);
    int painted = 0;
    for (int y = 0; y < px.height; ++y)
        for (int x = 0; x < px.width; ++x) {
            std::uint32_t p = reinterpret_cast<const std::uint32_t*>(px.base + std::ptrdiff_t(y) * px.rowBytes)[x];
            const bool want = In(outer, x + 200, y + 100) && !In(inner, x + 200, y + 100);
            ASSERT_EQ((p & 0xFFFFFF) == 0x00FF00, want) << x << "," << y;
            ASSERT_EQ((p & 0xFFFFFF) == 0, !want) << x << "," << y;
            painted += want;
        }
    EXPECT_EQ(painted, RegionArea(ring.r));
    DisposeGWorld(world);
}

}  // namespace
