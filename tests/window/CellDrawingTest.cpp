// Cell drawing read back from the view's backing offscreen: selection rings, pictures and
// their fitting, badges, mats and shadows, scale figures, list row colours, field texts, the
// empty-view hint, the error card, the decoded-thumbnail cache and pending pictures. A few
// whole cells are kept as PNG files for people to look at and compared with a tolerance.
#include "ViewTestSupport.h"

#include "catalog/items/ItemBlocks.h"
#include "import/adding/AddFiles.h"
#include "media/imaging/Offscreen.h"
#include "media/imaging/PortBridge.h"
#include "platform/imaging/Picture.h"
#include "window/view/CellPresenter.h"
#include "window/view/CellPrimitives.h"
#include "window/view/CellText.h"
#include "window/view/CellThumbnail.h"
#include "window/view/IconSource.h"
#include "window/view/ItemPicture.h"
#include "window/view/ThumbnailCache.h"
#include "window/view/ViewCommands.h"
#include "window/view/ViewPlayback.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {

const RGBColor kWhite{0xFFFF, 0xFFFF, 0xFFFF}, kBlack{0, 0, 0};

// A stored thumbnail: a picture of one colour.
Handle SolidThumbnail(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::vector<std::uint8_t> pixels(std::size_t(width) * height * 4);
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = b;
        pixels[i + 1] = g;
        pixels[i + 2] = r;
        pixels[i + 3] = 0xFF;
    }
    PicHandle pic = nullptr;
    EXPECT_EQ(RecordPixelsPicture(pixels.data(), width, height, width * 4, 72 << 16, &pic), noErr);
    return pic;
}

std::uint32_t PixelAt(GWorldPtr world, int x, int y) {
    PixelView px = GetGWorldPixels(world);
    return reinterpret_cast<const std::uint32_t*>(px.base + std::ptrdiff_t(y) * px.rowBytes)[x] & 0xFFFFFF;
}
std::uint32_t Rgb(const RGBColor& c) { return std::uint32_t(c.red >> 8) << 16 | std::uint32_t(c.green >> 8) << 8 | (c.blue >> 8); }
std::uint32_t PixelOf(cairo_surface_t* s, int x, int y) {
    cairo_surface_flush(s);
    const unsigned char* d = cairo_image_surface_get_data(s);
    return reinterpret_cast<const std::uint32_t*>(d + std::ptrdiff_t(y) * cairo_image_surface_get_stride(s))[x] & 0xFFFFFF;
}

// Icons drawn, as the icon source was asked for them.
class RecordingIcons : public IconSource {
public:
    bool DrawIcon(cairo_t*, int id, const Rect& rect) override {
        drawn.push_back({id, rect});
        return true;
    }
    std::vector<std::pair<int, Rect>> drawn;
    bool Has(int id, const Rect& r) const {
        return std::any_of(drawn.begin(), drawn.end(), [&](auto& d) { return d.first == id && d.second == r; });
    }
    bool HasAnyOf(int first, int last) const {
        return std::any_of(drawn.begin(), drawn.end(), [&](auto& d) { return d.first >= first && d.first <= last; });
    }
};

}  // namespace

class CellDrawingTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        ThumbnailCacheClear(nullptr);
    }
    void TearDown() override {
        SetIconSource(nullptr);
        ViewTest::TearDown();
        ThumbnailCacheClear(nullptr);
    }
    // An item of the kind with a stored thumbnail (none when thumbnail is null).
    void AddItem(const std::string& name, OSType kind, Handle thumbnail, UInt32 width = 640, UInt32 height = 480,
                 UInt8 label = 0) {
        ItemRec r{};
        PStrFromBytes(r.fileName, name.data(), long(name.size()));
        PStrFromBytes(r.storedName, name.data(), long(name.size()));
        r.kind = kind;
        r.fileSize = 1000;
        r.width = width;
        r.height = height;
        ASSERT_EQ(CatalogAddItem(catalog, &r, thumbnail, nullptr, nullptr, nullptr, nullptr, label), noErr);
        if (thumbnail) DisposeHandle(thumbnail);
    }
    ViewModeSettings* Thumbs() { return CatalogGetSlotRec16(catalog, kViewThumbnail); }
    void SetBackground(UInt8 mode, const RGBColor& bg, const RGBColor& text) {
        CatalogGetSlotRec24(catalog, mode)->colors[0] = bg;
        CatalogGetSlotRec24(catalog, mode)->colors[1] = text;
    }
    // The whole cell of item n as an image surface (for the golden pictures).
    cairo_surface_t* CellImage(SInt32 item) {
        Rect r;
        ViewCellRect(view, ViewItemToCell(view, item), &r);
        cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, r.right - r.left, r.bottom - r.top);
        cairo_t* cr = cairo_create(out);
        cairo_set_source_surface(cr, GetGWorldSurface(port->world), -r.left, -r.top);
        cairo_paint(cr);
        cairo_destroy(cr);
        return out;
    }
};

TEST_F(CellDrawingTest, SelectionRingsAreTheBackgroundXoredOnWhiteAndOnBlack) {
    struct Case {
        RGBColor bg;
        std::uint32_t current, other;
    } cases[] = {
        {kWhite, 0x030325, 0x303052},
        {kBlack, 0xFCFCDA, 0xCFCFAD},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Rgb(c.bg));
        AddItem("a.jpg", 'JPEG', SolidThumbnail(64, 48, 255, 0, 0));
        AddItem("b.jpg", 'JPEG', SolidThumbnail(64, 48, 255, 0, 0));
        AddItem("c.jpg", 'JPEG', SolidThumbnail(64, 48, 255, 0, 0));
        SetBackground(kViewThumbnail, c.bg, kWhite);
        MakeView(kViewThumbnail, 400, 300, false);
        ViewSelectItem(view, 1, kSelectAlone, false);
        ViewBitSet(view, 2);
        ViewRedraw(view, nullptr);
        // The ring is a 2-pixel frame just inside the cell's top-left edge lines.
        for (int x : {1, 2}) EXPECT_EQ(PixelAt(port->world, x, 60), c.current);
        EXPECT_EQ(PixelAt(port->world, 133 + 1, 60), c.other);
        EXPECT_EQ(PixelAt(port->world, 133 + 60, 2), c.other);
        EXPECT_EQ(PixelAt(port->world, 266 + 1, 60), Rgb(c.bg));  // not selected
        // The cell's own top-left edge line stays in the background.
        EXPECT_EQ(PixelAt(port->world, 0, 60), Rgb(c.bg));
        TearDown();
        SetUp();
    }
}

TEST_F(CellDrawingTest, ThumbnailsAreNeverEnlargedOnScreenButScaledInPrint) {
    AddItem("small.jpg", 'JPEG', SolidThumbnail(40, 30, 255, 0, 0));
    MakeView(kViewThumbnail, 400, 300, false);
    ViewRedraw(view, nullptr);
    // Picture rectangle (3, 3)-(131, 131): the 40 x 30 thumbnail sits centred at its own size.
    EXPECT_EQ(PixelAt(port->world, 67, 67), 0xFF0000u);
    EXPECT_EQ(PixelAt(port->world, 47, 52), 0xFF0000u);
    EXPECT_EQ(PixelAt(port->world, 46, 52), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(port->world, 86, 81), 0xFF0000u);
    EXPECT_EQ(PixelAt(port->world, 87, 52), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(port->world, 60, 82), 0xFFFFFFu);
    struct Case {
        bool forPrint;
        Rect want;
    } cases[] = {{false, Rect{49, 44, 79, 84}}, {true, Rect{16, 0, 112, 128}}};
    for (const Case& c : cases) {
        ItemPictureArgs a;
        a.forPrint = c.forPrint;
        a.draw = false;
        Rect r{0, 0, 128, 128};
        EXPECT_TRUE(ItemDrawPicture(view, 1, 0, a, nullptr, &r));
        EXPECT_EQ(r, c.want) << c.forPrint;
    }
}

TEST_F(CellDrawingTest, PicturesUnder24PixelsAreLeftOutButRingAndCaptionsStay) {
    AddItem("a.jpg", 'JPEG', SolidThumbnail(64, 64, 255, 0, 0));
    CatalogGetSlotRec(catalog, kViewThumbnail)->fields[0] = ViewFieldEntry{kFieldFileName, 1, 0, 0};
    MakeView(kViewThumbnail, 400, 300, false);
    ViewSelectItem(view, 1, kSelectAlone, false);
    // Cells drawn by hand at sizes whose picture rectangles (the cell less 5 across, less 5 and
    // the caption down) are 24 and 23 pixels wide.
    for (auto [side, wantPicture] : {std::pair{29, true}, std::pair{28, false}}) {
        SCOPED_TRACE(side);
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 40, 80);
        cairo_t* cr = cairo_create(s);
        cairo_set_source_rgb(cr, 0, 1, 0);
        cairo_paint(cr);
        CellDrawArgs a;
        a.view = view;
        a.cr = cr;
        a.mode = kViewThumbnail;
        a.item = 1;
        a.cell = Rect{0, 0, SInt16(side + view->lineHeight + 8), SInt16(side)};
        a.visible = a.cell;
        a.selected = a.current = true;
        ViewCellPartRects parts;
        ViewCellParts(view, kViewThumbnail, Thumbs(), CatalogGetSlotRec(catalog, kViewThumbnail), &a.cell, &parts);
        ASSERT_EQ(RectWidth(parts.picture), wantPicture ? 24 : 23);
        CellDrawThumbnail(a);
        cairo_surface_flush(s);
        const int cx = (parts.picture.left + parts.picture.right) / 2, cy = (parts.picture.top + parts.picture.bottom) / 2;
        EXPECT_EQ(PixelOf(s, cx, cy) == 0xFF0000u, wantPicture);
        EXPECT_EQ(PixelOf(s, 1, cy), 0x030325u);   // the ring
        // The caption line is filled in the label column colour either way.
        EXPECT_EQ(PixelOf(s, parts.values[0].left + 3, parts.values[0].top + 3),
                  Rgb(CatalogGetSlotRec24(catalog, kViewThumbnail)->colors[2]));
        cairo_destroy(cr);
        cairo_surface_destroy(s);
    }
}

TEST_F(CellDrawingTest, ScaleFigureIsTheShownWidthOverTheImageWidth) {
    struct Case {
        SInt32 shown;
        UInt32 width;
        const char* text;
    } cases[] = {{200, 800, "25%"}, {100, 300, "33%"}, {128, 128, "100%"}, {640, 320, "200%"}, {50, 0, ""}};
    for (const Case& c : cases) EXPECT_EQ(ScaleFigureText(c.shown, c.width), c.text) << c.shown << "/" << c.width;
    // Drawn as a box of the text colour at the picture's top right, only with a known width.
    for (UInt32 width : {400u, 0u}) {
        SCOPED_TRACE(width);
        AddItem("a.jpg", 'JPEG', SolidThumbnail(100, 76, 255, 0, 0), width, 300);
        Thumbs()->scaleFigure = 1;
        SetBackground(kViewThumbnail, kWhite, RGBColor{0, 0, 0x8000});
        MakeView(kViewThumbnail, 400, 300, false);
        ViewRedraw(view, nullptr);
        // The picture runs from (17, 29) to (117, 105).
        EXPECT_EQ(PixelAt(port->world, 116, 30), width ? 0x000080u : 0xFF0000u);
        EXPECT_EQ(PixelAt(port->world, 20, 100), 0xFF0000u);
        TearDown();
        SetUp();
    }
}

TEST_F(CellDrawingTest, BadgesMarkSoundsAndMoviesAtThePicturesCorner) {
    ASSERT_EQ(KindGetCategory('MooV'), 2);
    ASSERT_EQ(KindGetCategory('WAVE'), 1);
    RecordingIcons icons;
    SetIconSource(&icons);
    AddItem("a.mov", 'MooV', nullptr);
    AddItem("b.wav", 'WAVE', nullptr);
    AddItem("c.gif", 'GIFf', nullptr);
    AddItem("d.jpg", 'JPEG', nullptr);
    MakeView(kViewThumbnail, 600, 300, false);
    ViewRedraw(view, nullptr);
    // Without thumbnails each picture is the 32-pixel category icon centred in (3, 3)-(131, 131):
    // (51, 51)-(83, 83) in the first cell; the large badge's corner is 18 pixels in from its
    // bottom right.
    EXPECT_TRUE(icons.Has(kIconCategoryBase + 2, Rect{51, 51, 83, 83}));
    EXPECT_TRUE(icons.Has(kIconBadgeVideoLarge, Rect{65, 65, 81, 81}));
    EXPECT_TRUE(icons.Has(kIconBadgeAudioLarge, Rect{65, 133 + 65, 81, 133 + 81}));
    EXPECT_EQ(std::count_if(icons.drawn.begin(), icons.drawn.end(),
                            [](auto& d) { return d.first >= kIconBadgeAudioLarge && d.first <= kIconBadgeVideoSmall; }),
              2);
    EXPECT_FALSE(ItemHasBadge('GIFf', 2));
    EXPECT_FALSE(ItemHasBadge('JPEG', 0));
    // List rows of level 1 take the small badge at 11 pixels in from the icon square's corner.
    icons.drawn.clear();
    TearDown();
    SetUp();
    SetIconSource(&icons);
    AddItem("a.mov", 'MooV', nullptr);
    MakeView(kViewList, 600, 300, false);
    ViewRedraw(view, nullptr);
    ViewCellPartRects parts;
    Rect cell;
    ViewCellRect(view, ViewCell{0, 0}, &cell);
    ViewCellParts(view, kViewList, CatalogGetSlotRec16(catalog, kViewList), CatalogGetSlotRec(catalog, kViewList), &cell,
                  &parts);
    const Rect& ir = parts.picture;
    EXPECT_TRUE(icons.Has(kIconBadgeVideoSmall,
                          Rect{SInt16(ir.bottom - 11), SInt16(ir.right - 11), SInt16(ir.bottom + 5), SInt16(ir.right + 5)}));
    // The played-item box is white with a black frame, and tells the presenter where to draw.
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 64, 64);
    cairo_t* cr = cairo_create(s);
    Rect box;
    ItemDrawBadge(cr, 'MooV', 2, Rect{0, 0, 40, 40}, &box, true, false, false);
    EXPECT_EQ(box, (Rect{22, 22, 38, 38}));
    EXPECT_EQ(PixelOf(s, 22, 22), 0x000000u);
    EXPECT_EQ(PixelOf(s, 30, 30), 0xFFFFFFu);
    ItemDrawBadge(cr, 'GIF ', 2, Rect{0, 0, 40, 40}, &box, true, false, false);
    EXPECT_EQ(box, (Rect{0, 0, 0, 0}));
    cairo_destroy(cr);
    cairo_surface_destroy(s);
}

TEST_F(CellDrawingTest, ShadowPiecesFollowTheImageUpTo388PixelsAndNeverLeaveIt) {
    // Up to 388 pixels the pieces are the image's own, at their own size.
    for (auto [w, h] : {std::pair{240, 200}, std::pair{25, 24}, std::pair{388, 388}, std::pair{100, 387}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const Rect P{100, 50, SInt16(100 + h), SInt16(50 + w)};
        ShadowPiece p[8];
        ShadowPieces(P, p);
        const int hw = (w + 1) / 2, hh = (h + 1) / 2;
        const Rect want[8] = {
            {0, 0, 6, SInt16(hw + 6)},
            {0, SInt16(400 - (P.right + 6 - (P.left + hw))), 6, 400},
            {6, 0, SInt16(hh + 6), 6},
            {SInt16(400 - (P.bottom + 6 - (P.top + hh))), 0, 394, 6},
            {394, 0, 400, SInt16(hw + 6)},
            {394, SInt16(400 - (P.right + 6 - (P.left + hw))), 400, 400},
            {6, 394, SInt16(hh + 6), 400},
            {SInt16(400 - (P.bottom + 6 - (P.top + hh))), 394, 394, 400},
        };
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(p[i].source, want[i]) << i;
            EXPECT_EQ(p[i].source.right - p[i].source.left, p[i].destination.right - p[i].destination.left) << i;
            EXPECT_EQ(p[i].source.bottom - p[i].source.top, p[i].destination.bottom - p[i].destination.top) << i;
        }
        EXPECT_EQ(p[0].destination, (Rect{94, 44, 100, SInt16(50 + hw)}));
        EXPECT_EQ(p[7].destination, (Rect{SInt16(100 + hh), SInt16(50 + w), SInt16(100 + h), SInt16(56 + w)}));
    }
    // At every size the shadow band takes, no source leaves the image or reaches past its middle.
    for (int w = 24; w <= 800; ++w) {
        for (int h : {24, w, 800}) {
            const Rect P{10, 10, SInt16(10 + h), SInt16(10 + w)};
            ShadowPiece p[8];
            ShadowPieces(P, p);
            for (int i = 0; i < 8; ++i) {
                const Rect& s = p[i].source;
                ASSERT_TRUE(s.left >= 0 && s.top >= 0 && s.right <= 400 && s.bottom <= 400 && s.left < s.right && s.top < s.bottom)
                    << w << "x" << h << " piece " << i;
            }
            ASSERT_LE(p[0].source.right, 200);
            ASSERT_GE(p[1].source.left, 200);
            ASSERT_LE(p[2].source.bottom, 200);
            ASSERT_GE(p[3].source.top, 200);
        }
    }
}

TEST_F(CellDrawingTest, MatsBlankShadowAndFrameAtTheLargestThumbnail) {
    // Level 20: a 640-pixel picture rectangle inside an 8-pixel mat.
    struct Case {
        UInt8 style;
        bool darkRightBand;
        bool pictureUntouched;
    } cases[] = {{kFrameBlank, false, true}, {kFrameShadow, true, true}, {kFrameImage, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.style));
        AddItem("big.jpg", 'JPEG', SolidThumbnail(640, 640, 255, 0, 0));
        Thumbs()->sizeStep = 20;
        Thumbs()->frameStyle = c.style;
        MakeView(kViewThumbnail, 700, 700, false);
        ViewRedraw(view, nullptr);
        // Picture (3 + 8, 3 + 8)-(651, 651); the right band starts at x 651.
        EXPECT_EQ(PixelAt(port->world, 300, 300), 0xFF0000u);
        EXPECT_EQ(PixelAt(port->world, 650, 650), 0xFF0000u);
        const std::uint32_t band = PixelAt(port->world, 652, 330);
        if (c.darkRightBand) {
            EXPECT_LT(band & 0xFF, 0xD0u) << std::hex << band;
        } else {
            EXPECT_EQ(band, 0xFFFFFFu);
        }
        if (c.style == kFrameShadow) {
            // Light from the top left: no shadow above the picture away from its right end.
            EXPECT_EQ(PixelAt(port->world, 300, 8), 0xFFFFFFu);
            EXPECT_EQ(PixelAt(port->world, 652, 330), PixelAt(port->world, 652, 500));  // even along the side
        }
        TearDown();
        SetUp();
    }
}

TEST_F(CellDrawingTest, ListRowColoursForSelectedCurrentAndLabelledRows) {
    const RGBColor red{0xDDDD, 0, 0};
    struct Case {
        bool selected, current, labelled;
        RGBColor text, background;
        RGBColor wantText, wantBackground;
    } cases[] = {
        {false, false, false, kBlack, kWhite, kBlack, kWhite},
        {true, true, false, kBlack, kWhite, RGBColor{0xFCFC, 0xFCFC, 0xDADA}, RGBColor{0x0303, 0x0303, 0x2525}},
        {true, false, false, kBlack, kWhite, RGBColor{0xCFCF, 0xCFCF, 0xADAD}, RGBColor{0x3030, 0x3030, 0x5252}},
        {true, true, true, red, kWhite, red, RGBColor{0x0303, 0x0303, 0x2525}},
    };
    for (const Case& c : cases) {
        const CellColors got = ListRowColors(c.text, c.background, c.selected, c.current, c.labelled);
        EXPECT_EQ(Rgb(got.text), Rgb(c.wantText));
        EXPECT_EQ(Rgb(got.background), Rgb(c.wantBackground));
    }
    // On the port: the current row's background, the grid line at its bottom.
    AddItem("a.jpg", 'JPEG', nullptr);
    AddItem("b.jpg", 'JPEG', nullptr);
    CatalogGetSlotRec24(catalog, kViewList)->colors[3] = RGBColor{0x8080, 0x8080, 0x8080};
    SetBackground(kViewList, kWhite, kBlack);
    MakeView(kViewList, 400, 300, false);
    ViewSelectItem(view, 1, kSelectAlone, false);
    ViewRedraw(view, nullptr);
    Rect row;
    ViewCellRect(view, ViewCell{0, 0}, &row);
    EXPECT_EQ(PixelAt(port->world, 398, row.top + 1), 0x030325u);
    EXPECT_EQ(PixelAt(port->world, 200, row.bottom - 1), 0x808080u);
    EXPECT_EQ(PixelAt(port->world, 398, row.bottom + 1), 0xFFFFFFu);
}

TEST_F(CellDrawingTest, FieldTextsJoinCaptionLinesAndSkipNarrowRectangles) {
    AddItem("a.jpg", 'JPEG', nullptr);
    const char caption[] = "First line\r\nSecond";
    ASSERT_EQ(ItemSetAnnotationDataset(catalog, 1, kFieldCaption, 1, caption, SInt16(sizeof caption - 1)), noErr);
    EXPECT_EQ(CellFieldText(catalog, 1, kFieldCaption, true), "First line\xC2\xAC\xC2\xACSecond");
    EXPECT_EQ(CellFieldText(catalog, 1, kFieldCaption, false), "First line\r\nSecond");
    EXPECT_EQ(CellFieldText(catalog, 1, kFieldFileName, true), "a.jpg");
    EXPECT_EQ(CellFieldText(catalog, 0, kFieldFileName, true), "File Name");
    MakeView(kViewList, 400, 300, false);
    // 23 pixels wide is 19 inside the inset: filled, no text; 60 pixels shows the name.
    for (auto [width, wantText] : {std::pair{23, false}, std::pair{60, true}}) {
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 80, 30);
        cairo_t* cr = cairo_create(s);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        ViewFieldEntry entry{kFieldFileName, 1, 0, 0};
        CellDrawFieldValue(cr, view, 1, kJustLeft, Rect{0, 0, 24, SInt16(width)}, entry, false, true, nullptr,
                           CellColors{kBlack, RGBColor{0xEEEE, 0xEEEE, 0xEEEE}});
        cairo_surface_flush(s);
        int dark = 0;
        for (int y = 2; y < 22; ++y)
            for (int x = 2; x < width - 2; ++x) dark += (PixelOf(s, x, y) & 0xFF) < 0x80;
        EXPECT_EQ(dark > 0, wantText) << width;
        EXPECT_EQ(PixelOf(s, 3, 20), 0xEEEEEEu);
        cairo_destroy(cr);
        cairo_surface_destroy(s);
    }
}

TEST_F(CellDrawingTest, PathEllipsisKeepsTheLastComponent) {
    auto chars = [](const std::string& t) { return int(t.size()); };  // one unit a byte
    const std::string path = "C:\\Photos\\2004\\holiday.jpg";
    struct Case {
        int width;
        std::string want;
    } cases[] = {
        {40, path},
        {26, path},
        {25, "C:\\Photos\\\xE2\x80\xA6\\holiday.jpg"},
        {18, "C:\\\xE2\x80\xA6\\holiday.jpg"},
        {17, "C:\xE2\x80\xA6\\holiday.jpg"},
        {15, "\xE2\x80\xA6\\holiday.jpg"},
        {10, "holiday.jpg"},
    };
    for (const Case& c : cases) {
        const std::string got = PathEllipsis(path, c.width, chars);
        EXPECT_EQ(got, c.want) << c.width;
        if (c.width >= 15) {
            EXPECT_LE(int(got.size()), c.width);
        }
    }
    EXPECT_EQ(PathEllipsis("no separators at all", 5, chars), "no separators at all");
}

TEST_F(CellDrawingTest, EmptyViewHintGeometryAndText) {
    MakeView(kViewThumbnail, 800, 600, false);
    ViewRedraw(view, nullptr);
    EXPECT_NE(EmptyHintText(view).find("Import Items"), std::string::npos);
    // The bar: 1 x 50 at (cx - 125, cy - 25) in the text colour.
    EXPECT_EQ(PixelAt(port->world, 275, 275), 0x000000u);
    EXPECT_EQ(PixelAt(port->world, 275, 324), 0x000000u);
    EXPECT_EQ(PixelAt(port->world, 275, 325), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(port->world, 276, 300), 0xFFFFFFu);
    // An update region away from the view draws nothing.
    PortGdiState gdi;
    ASSERT_EQ(PortBeginGdi(&gdi, port->world, true), noErr);
    cairo_set_source_rgb(gdi.dc, 0, 1, 0);
    cairo_paint(gdi.dc);
    Rect away{700, 900, 720, 920};
    view->updateRgn = &away;
    CellDrawEmptyHint(view, gdi.dc, view->viewRect);
    view->updateRgn = nullptr;
    PortEndGdi(&gdi);
    EXPECT_EQ(PixelAt(port->world, 275, 300), 0x00FF00u);
    // Items that are all hidden give the other hint.
    AddItems(12);
    Deliver();
    EXPECT_NE(EmptyHintText(view).find("Show All"), std::string::npos);
}

TEST_F(CellDrawingTest, ErrorCardsNameTheItemTheKindAndTheReason) {
    struct Case {
        OSErr code;
        const char* message;
    } cases[] = {{-43, "File not found"}, {-1, "Unknown error"}, {-8961, "Can't find media importer"}, {24, "Rendering disabled"}};
    for (const Case& c : cases) {
        const auto t = ErrorCardTexts(c.code, "holiday.jpg", 'JPEG');
        EXPECT_EQ(t[0], "holiday.jpg");
        EXPECT_EQ(t[1], "JPEG");
        EXPECT_EQ(t[2], c.message) << c.code;
        EXPECT_EQ(t[3], "[" + std::to_string(c.code) + "]");
    }
    PicHandle card = MakeErrorCard(-43, "holiday.jpg", 'JPEG', nullptr);
    ASSERT_NE(card, nullptr);
    GWorldPtr w = nullptr;
    ASSERT_EQ(PictureToOffscreen(card, k32ARGBPixelFormat, nullptr, nullptr, &w), noErr);
    EXPECT_EQ(GetPortBounds(w), (Rect{0, 0, 80, 250}));
    // Two red frames, white inside.
    EXPECT_EQ(PixelAt(w, 0, 40), 0xDD0000u);
    EXPECT_EQ(PixelAt(w, 1, 40), 0xDD0000u);
    EXPECT_EQ(PixelAt(w, 249, 79), 0xDD0000u);
    EXPECT_EQ(PixelAt(w, 5, 40), 0xFFFFFFu);
    // Some red text (the message) in the lower half of the text column.
    int red = 0;
    for (int y = 42; y < 70; ++y)
        for (int x = 16; x < 200; ++x) red += PixelAt(w, x, y) == 0xDD0000u || ((PixelAt(w, x, y) >> 16) > 0xA0 && (PixelAt(w, x, y) & 0xFF) < 0x60);
    EXPECT_GT(red, 10);
    DisposeGWorld(w);
    DisposeHandle(card);
}

TEST_F(CellDrawingTest, HighResolutionFactorAndPercent) {
    struct Case {
        double scale, dpi;
        UInt8 level;
        double factor;
        bool setPercent;
        UInt16 percent;
    } cases[] = {
        {0.25, 300, kShowScaledToFit, 4.0, true, 100},
        {0.25, 150, kShowScaledToFit, 150.0 / 72, true, 53},
        {0.5, 144, kShowScaledToFit, 2.0, true, 100},
        {1.0, 96, kShowActualSize, 1.0, true, 100},
        {0.25, 300, kShowKeepPercent, 300.0 / 72, false, 100},
        {0.0, 300, kShowScaledToFit, 300.0 / 72, true, 1},
    };
    for (const Case& c : cases) {
        const HighResolutionPlan p = PlanHighResolution(c.scale, c.dpi, c.level);
        EXPECT_NEAR(p.factor, c.factor, 1e-9) << c.scale << " @ " << c.dpi;
        EXPECT_EQ(p.setPercent, c.setPercent);
        if (c.setPercent) {
            EXPECT_EQ(p.percent, c.percent) << c.scale << " @ " << c.dpi;
        }
    }
}

TEST_F(CellDrawingTest, ThumbnailsAreDecodedOnceUntilTheirBytesChange) {
    for (int i = 0; i < 6; ++i) AddItem("p" + std::to_string(i) + ".jpg", 'JPEG', SolidThumbnail(64, 48, 0, 0, 255));
    const std::uint64_t base = ThumbnailCacheGetStats().decodes;
    MakeView(kViewThumbnail, 400, 300, false);
    ViewRedraw(view, nullptr);
    const ThumbnailCacheStats first = ThumbnailCacheGetStats();
    EXPECT_EQ(first.decodes - base, 6u);
    for (int i = 0; i < 3; ++i) {
        ViewScrollTo(view, 0, 1);
        ViewScrollTo(view, 0, -1);
        ViewRedraw(view, nullptr);
    }
    EXPECT_EQ(ThumbnailCacheGetStats().decodes - base, 6u);
    EXPECT_GT(ThumbnailCacheGetStats().hits, first.hits);
    EXPECT_EQ(PixelAt(port->world, 67, 67), 0x0000FFu);
    // A new thumbnail for item 1 is decoded (once) and shown.
    Handle green = SolidThumbnail(64, 48, 0, 255, 0);
    ASSERT_EQ(ItemReplaceBlock(catalog, 1, kBlockThumbnail, green), noErr);
    DisposeHandle(green);
    ViewRedraw(view, nullptr);
    ViewRedraw(view, nullptr);
    EXPECT_EQ(ThumbnailCacheGetStats().decodes - base, 7u);
    EXPECT_EQ(PixelAt(port->world, 67, 67), 0x00FF00u);
    // A small budget keeps the cache small.
    ThumbnailCacheSetBudget(64 * 48 * 4 * 2);
    EXPECT_LE(ThumbnailCacheGetStats().entries, 2u);
    ThumbnailCacheSetBudget(std::size_t(256) << 20);
}

TEST_F(CellDrawingTest, PendingItemsShowTheirIconFirstAndTheirPictureOnALaterTick) {
    const std::string from = std::string(LYREX_SHARED_FIXTURES) + "/orientation/landscape_1.jpg";
    std::filesystem::create_directories(folder / "pictures");
    const std::string to = folder / "pictures/landscape.jpg";
    std::filesystem::copy_file(from, to);
    FSSpec spec;
    FSMakeFSSpecFromPath(to, &spec);
    SInt32 added = 0;
    ASSERT_EQ(CatalogAddFiles(catalog, 0, &spec, 1, nullptr, 0, &added), noErr);
    ASSERT_EQ(added, 1);
    ASSERT_TRUE(CatalogGetItemEntry(catalog, 1)->flags & kEntryPendingFlag);
    ASSERT_EQ(ItemGetThumbnailBlock(catalog, 1), nullptr);
    MakeView(kViewThumbnail, 400, 300, false);
    ViewRedraw(view, nullptr);
    // The paint drew the icon and left the file for later.
    EXPECT_EQ(view->pendingPictures, std::vector<UInt32>{ItemGetId(catalog, 1)});
    EXPECT_EQ(ThumbnailCacheGetPending(catalog, ItemGetId(catalog, 1)), nullptr);
    const std::uint32_t before = PixelAt(port->world, 67, 40);
    timers.Advance(20);
    EXPECT_TRUE(view->pendingPictures.empty());
    ASSERT_NE(ThumbnailCacheGetPending(catalog, ItemGetId(catalog, 1)), nullptr);
    // The cell was drawn again with the picture (600 x 450 shrunk into 128 x 96).
    std::set<std::uint32_t> colours;
    for (int x = 10; x < 125; x += 5) colours.insert(PixelAt(port->world, x, 40));
    EXPECT_GT(colours.size(), 3u);
    EXPECT_NE(PixelAt(port->world, 67, 40), before);
    EXPECT_EQ(view->pictureTimer, 0u);
}

// Whole cells kept as pictures under tests/window/golden: compared channel by channel with a
// tolerance (antialiasing and scaling may differ by a step between library versions).
// LYREX_WRITE_GOLDENS=1 writes them anew.
TEST_F(CellDrawingTest, WholeCellsMatchTheirGoldenPictures) {
    const std::filesystem::path dir = std::filesystem::path(LYREX_SOURCE_DIR) / "tests/window/golden";
    struct Case {
        const char* name;
        UInt8 style;
        OSType kind;
        bool selected;
    } cases[] = {
        {"thumbnail-shadow.png", kFrameShadow, 'JPEG', false},
        {"thumbnail-frame.png", kFrameImage, 'JPEG', true},
        {"thumbnail-movie-badge.png", kFrameBlank, 'MooV', true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A picture with a gradient, so that scaling shows.
        std::vector<std::uint8_t> pixels(96 * 72 * 4);
        for (int y = 0; y < 72; ++y)
            for (int x = 0; x < 96; ++x) {
                std::uint8_t* p = &pixels[(y * 96 + x) * 4];
                p[0] = std::uint8_t(x * 2), p[1] = std::uint8_t(y * 3), p[2] = 200, p[3] = 255;
            }
        PicHandle pic = nullptr;
        ASSERT_EQ(RecordPixelsPicture(pixels.data(), 96, 72, 96 * 4, 72 << 16, &pic), noErr);
        AddItem("g.jpg", c.kind, pic);
        Thumbs()->frameStyle = c.style;
        MakeView(kViewThumbnail, 400, 300, false);
        if (c.selected) ViewSelectItem(view, 1, kSelectAlone, false);
        ViewRedraw(view, nullptr);
        cairo_surface_t* got = CellImage(1);
        const std::string file = (dir / c.name).string();
        if (std::getenv("LYREX_WRITE_GOLDENS")) {
            std::filesystem::create_directories(dir);
            ASSERT_EQ(cairo_surface_write_to_png(got, file.c_str()), CAIRO_STATUS_SUCCESS);
        }
        cairo_surface_t* want = cairo_image_surface_create_from_png(file.c_str());
        ASSERT_EQ(cairo_surface_status(want), CAIRO_STATUS_SUCCESS) << file;
        ASSERT_EQ(cairo_image_surface_get_width(want), cairo_image_surface_get_width(got));
        ASSERT_EQ(cairo_image_surface_get_height(want), cairo_image_surface_get_height(got));
        int off = 0, total = 0;
        for (int y = 0; y < cairo_image_surface_get_height(got); ++y)
            for (int x = 0; x < cairo_image_surface_get_width(got); ++x) {
                const std::uint32_t a = PixelOf(got, x, y), b = PixelOf(want, x, y);
                int worst = 0;
                for (int shift : {0, 8, 16}) worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
                off += worst > 12;
                ++total;
            }
        EXPECT_LE(off, total / 200) << off << " of " << total << " pixels differ";
        cairo_surface_destroy(want);
        cairo_surface_destroy(got);
        TearDown();
        SetUp();
    }
}

TEST_F(CellDrawingTest, TheMediaViewShowsAnErrorCardForAMissingFile) {
    AddItem("gone.jpg", 'JPEG', SolidThumbnail(64, 48, 0, 0, 255));
    CatalogGetSlotRec16(catalog, kViewMedia)->sizeStep = kShowScaledToFit;
    CatalogGetSlotRec(catalog, kViewMedia)->fields[0].fieldId = 0;
    MakeView(kViewMedia, 400, 300, false);
    ViewSelectItem(view, 1, kSelectAlone, false);
    ViewRedraw(view, nullptr);
    EXPECT_EQ(MediaObjectGetPictureInfo(view->media), kMediaShowsMemoryPicture);
    // The 250 x 80 card, centred: its red frames, white inside, the thumbnail at its top left.
    EXPECT_EQ(PixelAt(port->world, 75, 150), 0xDD0000u);
    EXPECT_EQ(PixelAt(port->world, 76, 150), 0xDD0000u);
    EXPECT_EQ(PixelAt(port->world, 80, 185), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(port->world, 75 + 20, 110 + 20), 0x0000FFu);
    EXPECT_EQ(PresenterOpenItem(view->media, view, 1, false), OSErr(-43));
}

TEST_F(CellDrawingTest, ThumbnailOnlyDrawingOfAnItemWithoutThumbnailShowsACrossedBox) {
    AddItem("none.jpg", 'JPEG', nullptr, 0, 0);
    MakeView(kViewThumbnail, 400, 300, false);
    GWorldPtr world = nullptr;
    Rect bounds{0, 0, 32, 32};
    ASSERT_EQ(NewGWorldFromFormat(&world, k32ARGBPixelFormat, &bounds), noErr);
    MediaObject* m = MediaObjectNew(world);
    ASSERT_EQ(PresenterOpenItem(m, view, 1, true), noErr);
    MediaObjectSetShowFlag(m, kShowActualSize);
    MediaObjectSetBounds(m, &bounds);
    MediaObjectSetDisplayRect(m, &bounds);
    ASSERT_EQ(MediaObjectDraw(m), noErr);
    for (int i : {1, 6, 16, 30}) {
        EXPECT_EQ(PixelAt(world, i, i), 0x000000u) << i;       // from (0, 0) to (32, 32)
        EXPECT_EQ(PixelAt(world, 32 - i, i), 0x000000u) << i;  // from (32, 0) to (0, 32)
    }
    EXPECT_EQ(PixelAt(world, 10, 20), 0xFFFFFFu);
    MediaObjectDelete(m);
    DisposeGWorld(world);
}

TEST_F(CellDrawingTest, TheEditFieldOfTheCurrentItem) {
    for (int i = 0; i < 9; ++i) AddItem("i" + std::to_string(i) + ".jpg", 'JPEG', nullptr);
    ViewFieldList* fields = CatalogGetSlotRec(catalog, kViewThumbnail);
    fields->fields[0] = ViewFieldEntry{kFieldFileName, 1, 0, 0};
    fields->fields[1] = ViewFieldEntry{kFieldCaption, 2, 0, 0};
    fields->fields[2] = ViewFieldEntry{0, 0, 0, 0};
    MakeView(kViewThumbnail, 400, 200, false);
    SInt32 item = 0;
    Rect rect;
    SInt16 lines = 0;
    UInt32 id = 0;
    EXPECT_FALSE(ViewFindEditField(view, nullptr, &item, &rect, &lines, &id));  // no current item
    ViewSelectItem(view, 2, kSelectAlone, false);
    ASSERT_TRUE(ViewFindEditField(view, nullptr, &item, &rect, &lines, &id));
    EXPECT_EQ(item, 2);
    EXPECT_EQ(id, UInt32(kFieldFileName));
    EXPECT_EQ(lines, 1);
    Rect cell;
    ViewCellRect(view, ViewCell{0, 1}, &cell);
    EXPECT_TRUE(rect.left >= cell.left && rect.right <= cell.right && rect.bottom <= cell.bottom);
    // A click on the caption line finds the caption with its two lines; elsewhere nothing.
    ViewCellPartRects parts;
    ViewCellParts(view, kViewThumbnail, Thumbs(), fields, &cell, &parts);
    Point onCaption{SInt16(parts.values[1].top + 2), SInt16(parts.values[1].left + 5)};
    id = 0;
    ASSERT_TRUE(ViewFindEditField(view, &onCaption, &item, &rect, &lines, &id));
    EXPECT_EQ(id, UInt32(kFieldCaption));
    EXPECT_EQ(lines, 2);
    Point onPicture{SInt16(cell.top + 20), SInt16(cell.left + 20)};
    EXPECT_FALSE(ViewFindEditField(view, &onPicture, &item, &rect, &lines, &id));
    // A field the list does not show.
    id = kFieldKeywords;
    EXPECT_FALSE(ViewFindEditField(view, nullptr, &item, &rect, &lines, &id));
}

TEST_F(CellDrawingTest, PrintedCellsDrawPicturesFromTheirFilesAtThePrintersResolution) {
    const std::string from = std::string(LYREX_SHARED_FIXTURES) + "/orientation/landscape_1.jpg";
    std::filesystem::create_directories(folder / "pictures");
    const std::string to = folder / "pictures/print.jpg";
    std::filesystem::copy_file(from, to);
    FSSpec spec;
    FSMakeFSSpecFromPath(to, &spec);
    SInt32 added = 0;
    ASSERT_EQ(CatalogAddFiles(catalog, 0, &spec, 1, nullptr, 0, &added), noErr);
    // A stored thumbnail of one flat colour places the picture; the print shows the file.
    Handle flat = SolidThumbnail(128, 96, 0, 0, 255);
    ASSERT_EQ(ItemReplaceBlock(catalog, 1, kBlockThumbnail, flat), noErr);
    DisposeHandle(flat);
    Thumbs()->frameStyle = kFrameShadow;
    MakeView(kViewThumbnail, 400, 300, false);
    // A page at 300 dpi: the context is in points, the surface in printer dots.
    const double scale = 300.0 / 72;
    const int side = int(std::ceil(133 * scale));
    cairo_surface_t* page = cairo_image_surface_create(CAIRO_FORMAT_RGB24, side, side);
    cairo_t* cr = cairo_create(page);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_scale(cr, scale, scale);
    ViewDrawCellForPrint(view, cr, 1, Rect{0, 0, 133, 133}, 300, 300, true);
    cairo_destroy(cr);
    cairo_surface_flush(page);
    // The 600 x 450 picture fills the 128-point width: 533 dots, from the file itself, so
    // neighbouring dots differ (a 128-pixel thumbnail stretched would repeat each 4 times).
    const int y = int(60 * scale);
    int changes = 0;
    for (int x = int(20 * scale); x < int(100 * scale); ++x) changes += PixelOf(page, x, y) != PixelOf(page, x + 1, y);
    EXPECT_GT(changes, int(80 * scale * 0.5));
    // Printing leaves the shadow out: the mat next to the picture is the background.
    const int matY = int((3 + 8 + 16 + 96 + 3) * scale);  // below the 128 x 96 picture
    EXPECT_EQ(PixelOf(page, int(100 * scale), matY), 0xFFFFFFu);
    cairo_surface_destroy(page);
}

TEST_F(CellDrawingTest, TheFrameKeepsItsCornersAtEverySizeAndLeavesThePictureAlone) {
    auto draw = [](int side) {
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, side, side);
        cairo_t* cr = cairo_create(s);
        cairo_set_source_rgb(cr, 0, 1, 0);
        cairo_paint(cr);
        const Rect F{0, 0, SInt16(side), SInt16(side)};
        const Rect P{8, 8, SInt16(side - 8), SInt16(side - 8)};
        FillRectColor(cr, P, RGBColor{0xFFFF, 0, 0});
        DrawPictureMat(cr, F, P, kWhite, kFrameImage, true, false);
        cairo_destroy(cr);
        cairo_surface_flush(s);
        return s;
    };
    cairo_surface_t* small = draw(48);
    cairo_surface_t* large = draw(656);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(PixelOf(small, x, y), PixelOf(large, x, y)) << x << "," << y;
            EXPECT_EQ(PixelOf(small, 47 - x, 47 - y), PixelOf(large, 655 - x, 655 - y)) << x << "," << y;
            EXPECT_EQ(PixelOf(small, 47 - x, y), PixelOf(large, 655 - x, y)) << x << "," << y;
        }
    // The picture keeps its pixels; the mat is the frame, not the green that was there.
    EXPECT_EQ(PixelOf(large, 300, 300), 0xFF0000u);
    EXPECT_EQ(PixelOf(large, 8, 8), 0xFF0000u);
    EXPECT_NE(PixelOf(large, 300, 3), 0x00FF00u);
    EXPECT_NE(PixelOf(large, 3, 300), 0x00FF00u);
    cairo_surface_destroy(small);
    cairo_surface_destroy(large);
    // Printing never uses the frame: the mat is the background.
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 48, 48);
    cairo_t* cr = cairo_create(s);
    DrawPictureMat(cr, Rect{0, 0, 48, 48}, Rect{8, 8, 40, 40}, kWhite, kFrameImage, true, true);
    cairo_destroy(cr);
    EXPECT_EQ(PixelOf(s, 3, 3), 0xFFFFFFu);
    cairo_surface_destroy(s);
}
