// Ports: the current port, drawing contexts opened on a port, the saved drawing state, window
// areas drawn through a buffer, pictures drawn onto a context, and image data imported into a
// new offscreen.
#include "media/imaging/ImportToOffscreen.h"
#include "media/imaging/Offscreen.h"
#include "media/imaging/PortBridge.h"
#include "platform/Handles.h"
#include "platform/imaging/GraphicsImporter.h"
#include "platform/imaging/Ports.h"
#include "support/ImageFixtures.h"

#include <cairo.h>
#include <gtest/gtest.h>

namespace {

GWorldPtr World(int left, int top, int w, int h) {
    Rect r{std::int16_t(top), std::int16_t(left), std::int16_t(top + h), std::int16_t(left + w)};
    GWorldPtr world = nullptr;
    EXPECT_EQ(OffscreenNewFilled(&world, 32, &r, nullptr), noErr);
    return world;
}

int Red(GWorldPtr w, int x, int y) {
    PixelView v = GetGWorldPixels(w);
    return v.base[y * v.rowBytes + x * 4 + 2] | (v.base[y * v.rowBytes + x * 4 + 1] << 8);
}

TEST(Ports, TheCurrentPortAndADrawingContextInPortCoordinates) {
    GWorldPtr a = World(100, 50, 20, 10), b = World(0, 0, 5, 5);
    SetGWorld(nullptr);
    EXPECT_EQ(PortSetCurrent(a), nullptr);
    EXPECT_EQ(PortSetCurrent(b), a);
    EXPECT_EQ(GetGWorld(), b);
    PortGdiState gdi;
    ASSERT_EQ(PortBeginGdi(&gdi, a, true), noErr);
    // A black square at port (105, 52) and a larger one that the clip keeps inside the port.
    cairo_set_source_rgb(gdi.dc, 0, 0, 0);
    cairo_rectangle(gdi.dc, 105, 52, 2, 2);
    cairo_rectangle(gdi.dc, 118, 58, 50, 50);
    cairo_fill(gdi.dc);
    PortEndGdi(&gdi);
    EXPECT_EQ(gdi.dc, nullptr);
    EXPECT_EQ(Red(a, 5, 2), 0);       // black
    EXPECT_EQ(Red(a, 4, 2), 0xFFFF);  // white beside it
    EXPECT_EQ(Red(a, 19, 9), 0);
    EXPECT_EQ(PortBeginGdi(&gdi, nullptr, true), paramErr);
    DisposeGWorld(b);
    EXPECT_EQ(GetGWorld(), nullptr);  // a disposed world is no longer current
    DisposeGWorld(a);
}

TEST(Ports, RestoringTheDrawStateSetsOnlyTheFontSettingsThatDiffer) {
    GWorldPtr w = World(0, 0, 2, 2);
    PortSetCurrent(w);
    TextFont(3);
    TextSize(12);
    RGBColor red{0xFFFF, 0, 0};
    RGBForeColor(&red);
    PortDrawState saved;
    PortSaveDrawState(w, &saved);
    EXPECT_EQ(saved.fontId, 3);
    EXPECT_EQ(saved.foreColor.red, 0xFFFF);
    unsigned long before = PortTextCallCount();
    PortRestoreDrawState(w, &saved);
    EXPECT_EQ(PortTextCallCount(), before);  // nothing differed
    TextSize(9);
    before = PortTextCallCount();
    PortRestoreDrawState(w, &saved);
    EXPECT_EQ(PortTextCallCount(), before + 1);
    EXPECT_EQ(GetPortState(w)->textSize, 12);
    DisposeGWorld(w);
}

TEST(Ports, AWindowAreaIsDrawnThroughABufferInWindowCoordinates) {
    GWorldPtr window = World(0, 0, 30, 20);
    GWorldPtr other = World(0, 0, 1, 1);
    PortSetCurrent(other);
    RGBColor blue{0, 0, 0xFFFF};
    RGBForeColor(&blue);
    Rect empty{5, 5, 5, 9};
    EXPECT_EQ(OffscreenBeginForWindow(window, &empty), nullptr);
    Rect area{5, 10, 15, 20};
    WindowBuffer* buffer = OffscreenBeginForWindow(window, &area);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(GetGWorld(), buffer->world);
    RGBColor fore;
    GetForeColor(&fore);
    EXPECT_EQ(fore.blue, 0xFFFF);  // the colours of the port that was current
    PortGdiState gdi;
    ASSERT_EQ(PortBeginGdiCurrent(&gdi, true), noErr);
    cairo_set_source_rgb(gdi.dc, 0, 0, 0);
    cairo_rectangle(gdi.dc, 12, 6, 1, 1);  // window coordinates
    cairo_fill(gdi.dc);
    PortEndGdi(&gdi);
    OffscreenFlushToWindow(buffer);
    EXPECT_EQ(GetGWorld(), other);
    EXPECT_EQ(Red(window, 12, 6), 0);
    EXPECT_EQ(Red(window, 13, 6), 0);  // the buffer started black (pixels zero)
    EXPECT_EQ(Red(window, 2, 2), 0xFFFF);  // outside the area: untouched
    DisposeGWorld(other);
    DisposeGWorld(window);
}

TEST(Ports, APictureFillsTheRectangleOfAContext) {
    GWorldPtr src = World(0, 0, 4, 2);
    PixelView v = GetGWorldPixels(src);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) v.base[y * v.rowBytes + x * 4 + 1] = 0;  // magenta
    PicHandle pic = nullptr;
    ASSERT_EQ(OffscreenToPicture(src, nullptr, 0x480000, &pic), noErr);
    GWorldPtr target = World(0, 0, 20, 20);
    PortGdiState gdi;
    ASSERT_EQ(PortBeginGdi(&gdi, target, false), noErr);
    Rect dst{5, 5, 15, 15};
    ASSERT_EQ(PictureDrawToDC(pic, gdi.dc, &dst), noErr);
    PortEndGdi(&gdi);
    PixelView t = GetGWorldPixels(target);
    EXPECT_EQ(t.base[5 * t.rowBytes + 5 * 4 + 1], 0);      // covered (fill keeps the frame covered)
    EXPECT_EQ(t.base[14 * t.rowBytes + 14 * 4 + 1], 0);
    EXPECT_EQ(t.base[4 * t.rowBytes + 4 * 4 + 1], 0xFF);   // outside: untouched
    EXPECT_EQ(PictureDrawToDC(nullptr, gdi.dc, &dst), paramErr);
    DisposeHandle(pic);
    DisposeGWorld(src);
    DisposeGWorld(target);
}

TEST(ImportToOffscreen, ImageDataInAHandleBecomesAWorld) {
    std::string png = fixtures::Png(20, 10, fixtures::PngKind::Rgb);
    Handle h = nullptr;
    PtrToHand(png.data(), &h, Size(png.size()));
    OSErr err = 1;
    GWorldPtr w = GraphicsImportToOffscreen(h, 'PNGf', 32, ditherCopy, nullptr, &err);
    ASSERT_EQ(err, noErr);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(GetPortBounds(w).right, 20);
    EXPECT_EQ(Red(w, 2, 2) & 0xFF, 255);
    DisposeGWorld(w);
    EXPECT_EQ(GraphicsImportToOffscreen(h, 'zzzz', 32, ditherCopy, nullptr, &err), nullptr);
    EXPECT_EQ(err, kNoDecompressorErr);
    EXPECT_EQ(GraphicsImportToOffscreen(h, 'JPEG', 32, ditherCopy, nullptr, &err), nullptr);
    EXPECT_EQ(err, kBadMediaDataErr);
    EXPECT_EQ(GetHandleSize(h), Size(png.size()));  // the handle stays the caller's
    DisposeHandle(h);
}

}  // namespace

namespace {

// The bit map of a port is its world's pixels, as the copying calls read them; a world handed
// back through the dispose callback is freed (the sanitizer pass sees a leak otherwise).
TEST(Ports, TheBitMapOfAPortAndTheDisposeCallback) {
    const Rect bounds{10, 20, 15, 30};   // top, left, bottom, right
    const RGBColor red{0xFFFF, 0, 0};
    GWorldPtr world = nullptr;
    ASSERT_EQ(OffscreenNewFilled(&world, 32, &bounds, &red), noErr);
    const PixelView view = PortGetBitMap(world);
    EXPECT_EQ(view.width, 10);
    EXPECT_EQ(view.height, 5);
    EXPECT_EQ(view.depth, 32);
    ASSERT_NE(view.base, nullptr);
    EXPECT_EQ(view.base[2], 0xFF) << "red, in the byte order of 32-bit worlds";
    EXPECT_EQ(view.base[0], 0x00);
    EXPECT_EQ(PortGetBitMap(nullptr).base, nullptr);

    EXPECT_EQ(DisposeGWorldCallback(nullptr, world), noErr);
    int refCon = 0;
    EXPECT_EQ(DisposeGWorldCallback(&refCon, nullptr), noErr);
}

}  // namespace

namespace {

// The procedure a movie calls with the area it uncovered: that area takes the colour, the rest
// of the port stays, and the port's own foreground colour is what it was.
TEST(Ports, RegionPaintColoredPaintsOnlyTheRegionAndKeepsTheForeColour) {
    const Rect bounds{0, 0, 12, 16};
    const RGBColor white{0xFFFF, 0xFFFF, 0xFFFF}, blue{0, 0, 0xFFFF}, pen{0x1234, 0x5678, 0x9ABC};
    GWorldPtr world = nullptr;
    ASSERT_EQ(OffscreenNewFilled(&world, 32, &bounds, &white), noErr);
    GWorldPtr previous = PortSetCurrent(world);
    RGBForeColor(&pen);
    // What a 16 x 12 picture leaves when it shrinks to its left 10 columns.
    RgnHandle was = NewRgn(), now = NewRgn();
    const Rect before{0, 0, 12, 16}, after{0, 0, 12, 10};
    RectRgn(was, &before);
    RectRgn(now, &after);
    DiffRgn(was, now, was);
    EXPECT_EQ(RegionPaintColored(nullptr, was, &blue), noErr);
    RGBColor fore{};
    GetForeColor(&fore);
    EXPECT_EQ(fore.red, pen.red);
    EXPECT_EQ(fore.green, pen.green);
    EXPECT_EQ(fore.blue, pen.blue);
    PortSetCurrent(previous);
    const PixelView px = GetGWorldPixels(world);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) {
            const std::uint8_t* p = px.base + std::ptrdiff_t(y) * px.rowBytes + x * 4;
            const bool blueWanted = x >= 10;
            ASSERT_EQ(p[0], 0xFF) << x << "," << y;                     // blue in both
            ASSERT_EQ(p[2], blueWanted ? 0x00 : 0xFF) << x << "," << y;  // red only where white
        }
    // No region, no colour: nothing happens.
    EXPECT_EQ(RegionPaintColored(nullptr, nullptr, &blue), noErr);
    EXPECT_EQ(RegionPaintColored(nullptr, was, nullptr), noErr);
    DisposeRgn(was);
    DisposeRgn(now);
    DisposeGWorld(world);
}

}  // namespace
