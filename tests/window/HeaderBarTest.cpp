// The header bar: its layout, what points hit, the press-track-release state machine of its
// buttons and columns (sorting, turning, zooming with repeat, moving and resizing columns),
// and its texts.
#include "ViewTestSupport.h"

#include "window/view/CellText.h"
#include "window/view/ViewHeader.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewOperations.h"

namespace {

struct Turn {
    SInt32 item;
    long code;
};
std::vector<Turn>& Turns() {
    static std::vector<Turn> turns;
    return turns;
}
OSErr RecordTurn(void*, CatalogRec*, SInt32 item, long code) {
    Turns().push_back({item, code});
    return noErr;
}

}  // namespace

class HeaderBarTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        Turns().clear();
        HeaderHooks hooks;
        hooks.transform = RecordTurn;
        ViewSetHeaderHooks(&hooks);
    }
    void TearDown() override {
        ViewSetHeaderHooks(nullptr);
        if (headerPort) ViewPortDispose(headerPort);
        headerPort = nullptr;
        ViewTest::TearDown();
    }
    // A view with a header bar from x 0 to 300.
    void MakeHeader(UInt8 mode) {
        CatalogSetViewMode(catalog, mode);
        port = ViewPortNew(400, 300);
        headerPort = ViewPortNew(300, 20);
        ASSERT_EQ(ViewCreate(&view, port, headerPort, catalog), noErr);
        Rect r{0, 0, 300, 400};
        ViewSetRect(view, &r);
        ViewSetHeaderRect(view, 0, 0, 20, 300);
        ViewLayoutHeader(view);
    }
    void Click(Point p) {
        ASSERT_EQ(ViewHeaderMouseDown(view, p, false), 3);
        ViewHeaderMouseUp(view, p);
    }
    ViewFieldList* ListFields() { return CatalogGetSlotRec(catalog, kViewList); }
    ViewPort* headerPort = nullptr;
};

TEST_F(HeaderBarTest, LayoutOfA300PixelBar) {
    struct Case {
        UInt8 mode;
        bool images;
        Rect info;
    } cases[] = {
        {kViewThumbnail, false, Rect{1, 23, 19, 211}},
        {kViewMedia, false, Rect{1, 23, 19, 211}},
        {kViewMedia, true, Rect{1, 23, 19, 145}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.mode) * 10 + c.images);
        MakeHeader(c.mode);
        if (c.images) {
            // A picture opened as the first of five images.
            FSSpec s;
            FSMakeFSSpecFromPath(std::string(LYREX_SHARED_FIXTURES) + "/orientation/landscape_1.jpg", &s);
            ASSERT_EQ(MediaObjectOpen(view->media, &s, 'JPEG', 1, 5, 0, false), noErr);
        }
        ViewLayoutHeader(view);
        EXPECT_EQ(view->sortButton, (Rect{1, 2, 19, 18}));
        EXPECT_EQ(view->menuButton, (Rect{1, 282, 19, 298}));
        for (int i = 0; i < 4; ++i) EXPECT_EQ(view->toolButtons[i], (Rect{1, SInt16(218 + 16 * i), 19, SInt16(234 + 16 * i)}));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(view->playButtons[i], (c.images ? Rect{1, SInt16(152 + 16 * i), 19, SInt16(168 + 16 * i)} : Rect{}));
        EXPECT_EQ(view->infoRect, c.info);
        EXPECT_EQ(view->columnRects[0], Rect{});
        TearDown();
        SetUp();
    }
    // List view: columns from x 16, the last running to the tools' slot at 216.
    ListFields()->fields[0] = ViewFieldEntry{kFieldFileName, 100, 0, 0};
    ListFields()->fields[1] = ViewFieldEntry{kFieldFileSize, 80, 0, 0};
    ListFields()->fields[2] = ViewFieldEntry{0, 0, 0, 0};
    MakeHeader(kViewList);
    EXPECT_EQ(view->columnRects[0], (Rect{3, 21, 18, 110}));
    EXPECT_EQ(view->columnRects[1], (Rect{3, 121, 18, 210}));
    EXPECT_EQ(view->columnRects[2], Rect{});
    EXPECT_EQ(view->infoRect, Rect{});
    // Large icons start the columns at 32.
    CatalogGetSlotRec16(catalog, kViewList)->sizeStep = 2;
    ViewLayoutHeader(view);
    EXPECT_EQ(view->columnRects[0], (Rect{3, 37, 18, 126}));
}

TEST_F(HeaderBarTest, HitCodesAndTheResizeCursor) {
    ListFields()->fields[0] = ViewFieldEntry{kFieldFileName, 100, 0, 0};
    ListFields()->fields[1] = ViewFieldEntry{kFieldFileSize, 50, 0, 0};
    ListFields()->fields[2] = ViewFieldEntry{kFieldFileType, 30, 0, 0};
    ListFields()->fields[3] = ViewFieldEntry{0, 0, 0, 0};
    MakeHeader(kViewList);
    struct Case {
        Point p;
        SInt32 hit;
    } cases[] = {
        {{10, 5}, kHeaderHitSort},       {{10, 290}, kHeaderHitMenu},      {{10, 220}, kHeaderHitRotateLeft},
        {{10, 240}, kHeaderHitRotateRight}, {{10, 255}, kHeaderHitZoomOut}, {{10, 270}, kHeaderHitZoomIn},
        {{10, 40}, kHeaderHitColumn},    {{10, 140}, kHeaderHitColumn + 1}, {{10, 180}, kHeaderHitColumn + 2},
        {{10, 116}, kHeaderHitBorder},   {{10, 113}, kHeaderHitBorder},     {{10, 166}, kHeaderHitBorder + 1},
        {{25, 40}, kHeaderHitNone},      {{10, 300}, kHeaderHitNone},
    };
    for (const Case& c : cases) EXPECT_EQ(ViewHitHeader(view, c.p), c.hit) << c.p.h << "," << c.p.v;
    EXPECT_EQ(ViewHeaderCursor(view, Point{10, 116}), kCursorResizeColumn);
    EXPECT_EQ(ViewHeaderCursor(view, Point{10, 40}), 0);
    EXPECT_EQ(ViewHeaderMouseDown(view, Point{30, 40}, false), 0);
    EXPECT_EQ(ViewHeaderMouseDown(view, Point{10, 217}, false), 1);
}

TEST_F(HeaderBarTest, RotateLeftTurnsCounterClockwiseAndRightClockwise) {
    AddItems(2);
    MakeHeader(kViewThumbnail);
    ViewSelectItem(view, 1, kSelectAlone, false);
    Click(Point{10, 225});
    Click(Point{10, 240});
    ASSERT_EQ(Turns().size(), 2u);
    EXPECT_EQ(Turns()[0].code, long('CW'));
    EXPECT_EQ(Turns()[1].code, long('W '));
    EXPECT_EQ(Turns()[0].code, kTransformRotateLeft);
    // A press released away from its button does nothing.
    ASSERT_EQ(ViewHeaderMouseDown(view, Point{10, 225}, false), 3);
    ViewHeaderMouseMove(view, Point{10, 100});
    EXPECT_FALSE(view->headerTrack.inside);
    ViewHeaderMouseUp(view, Point{10, 100});
    EXPECT_EQ(Turns().size(), 2u);
    EXPECT_EQ(view->headerTrack.part, 0);
}

TEST_F(HeaderBarTest, TheSortButtonReversesTheOrderAndItsIcon) {
    AddNamed("b.jpg");
    AddNamed("a.jpg");
    AddNamed("c.jpg");
    MakeHeader(kViewThumbnail);
    const UInt32 first = ItemGetId(catalog, 1);
    const UInt8 before = catalog->viewPrefs.byte24;
    Click(Point{10, 8});
    EXPECT_EQ(ItemGetId(catalog, 3), first);
    EXPECT_NE(catalog->viewPrefs.byte24, before);
}

TEST_F(HeaderBarTest, ColumnBordersResizeWithinTheirLimits) {
    ListFields()->fields[0] = ViewFieldEntry{kFieldFileName, 150, 0, 0};
    ListFields()->fields[1] = ViewFieldEntry{kFieldFileSize, 50, 0, 0};
    ListFields()->fields[2] = ViewFieldEntry{0, 0, 0, 0};
    MakeHeader(kViewList);
    struct Case {
        int border;
        SInt16 to;
        UInt16 width;
    } cases[] = {
        {0, 50, 120},    // the first column keeps 120 pixels
        {0, 150, 134},   // 150 - its start at 16
        {0, 600, 172},   // up to 30 pixels before the tools (218 - 30 - 16)
        {0, 100, 120},
    };
    for (const Case& c : cases) {
        const SInt16 border = SInt16(view->columnRects[c.border].right + 6);
        ASSERT_EQ(ViewHitHeader(view, Point{10, border}), kHeaderHitBorder + c.border);
        ASSERT_EQ(ViewHeaderMouseDown(view, Point{10, border}, false), 3);
        ViewHeaderMouseMove(view, Point{10, c.to});
        ViewHeaderMouseUp(view, Point{10, c.to});
        EXPECT_EQ(ListFields()->fields[c.border].value, c.width) << c.to;
    }
    // The second of three columns keeps 40.
    ListFields()->fields[0].value = 100;
    ListFields()->fields[2] = ViewFieldEntry{kFieldFileType, 30, 0, 0};
    ViewLayoutHeader(view);
    const SInt16 border = SInt16(view->columnRects[1].right + 6);
    ASSERT_EQ(ViewHeaderMouseDown(view, Point{10, border}, false), 3);
    ViewHeaderMouseMove(view, Point{10, 120});
    ViewHeaderMouseUp(view, Point{10, 120});
    EXPECT_EQ(ListFields()->fields[1].value, 40);
}

TEST_F(HeaderBarTest, AColumnClickSortsAndADragMovesTheColumn) {
    AddNamed("b.jpg", 300);
    AddNamed("a.jpg", 100);
    AddNamed("c.jpg", 200);
    ListFields()->fields[0] = ViewFieldEntry{kFieldFileName, 80, 0, 0};
    ListFields()->fields[1] = ViewFieldEntry{kFieldFileSize, 60, 0, 0};
    ListFields()->fields[2] = ViewFieldEntry{kFieldFileType, 40, 0, 0};
    ListFields()->fields[3] = ViewFieldEntry{0, 0, 0, 0};
    MakeHeader(kViewList);
    // A click (a move within 6 pixels) sorts by the column's field.
    ASSERT_EQ(ViewHeaderMouseDown(view, Point{10, 40}, false), 3);
    ViewHeaderMouseMove(view, Point{12, 44});
    EXPECT_FALSE(view->headerTrack.dragging);
    ViewHeaderMouseUp(view, Point{12, 44});
    EXPECT_EQ(CellFieldText(catalog, 1, kFieldFileName, true), "a.jpg");
    EXPECT_EQ(CellFieldText(catalog, 3, kFieldFileName, true), "c.jpg");
    EXPECT_EQ(view->lastColumnField, UInt32(kFieldFileName));
    // A drag shows the column's frame and drops the column where the mouse is.
    ASSERT_EQ(ViewHeaderMouseDown(view, Point{10, 40}, false), 3);
    ViewHeaderMouseMove(view, Point{10, 140});
    EXPECT_TRUE(view->headerTrack.dragging);
    EXPECT_FALSE(view->headerTrack.dragFrame.right <= view->headerTrack.dragFrame.left);
    ViewHeaderMouseUp(view, Point{10, 140});
    EXPECT_EQ(ListFields()->fields[0].fieldId, UInt32(kFieldFileSize));
    EXPECT_EQ(ListFields()->fields[1].fieldId, UInt32(kFieldFileName));
    EXPECT_EQ(ListFields()->fields[2].fieldId, UInt32(kFieldFileType));
    EXPECT_EQ(view->headerTrack.dragFrame, Rect{});
}

TEST_F(HeaderBarTest, MediaZoomRepeatsWhileHeldAfter20TicksThenEvery2) {
    MakeHeader(kViewMedia);
    ViewModeSettings* media = CatalogGetSlotRec16(catalog, kViewMedia);
    media->sizeStep = kShowPercent;
    media->percent = 100;
    const Point zoomIn{10, 270};
    ASSERT_EQ(ViewHeaderMouseDown(view, zoomIn, false), 3);
    EXPECT_EQ(media->percent, 125);   // a step at once
    timers.Advance(300);              // 18 ticks
    EXPECT_EQ(media->percent, 125);
    timers.Advance(60);               // past 20 ticks
    EXPECT_EQ(media->percent, 150);
    timers.Advance(60);               // then every 3rd tick (more than 2)
    EXPECT_GE(media->percent, 175);
    // Away from the button nothing repeats.
    const UInt16 held = media->percent;
    ViewHeaderMouseMove(view, Point{10, 100});
    timers.Advance(500);
    EXPECT_EQ(media->percent, held);
    ViewHeaderMouseUp(view, Point{10, 100});
    timers.Advance(500);
    EXPECT_EQ(media->percent, held);
    EXPECT_EQ(view->headerTrack.repeatTimer, 0u);
}

TEST_F(HeaderBarTest, PositionAndZoomTexts) {
    struct Case {
        UInt8 category;
        OSType kind;
        UInt32 p, n;
        const char* want;
    } cases[] = {
        {0, 'TIFF', 2, 5, "Page 2/5"},
        {0, '8BPS', 1, 4, "Composite (4)"},
        {0, '8BPS', 3, 4, "Layer 2/3"},
        {2, 'MooV', 7, 90, "Frame 7/90"},
        {5, 'FFIL', 2, 3, "Family ID: 2/3"},
    };
    for (const Case& c : cases) EXPECT_EQ(HeaderPositionText(c.category, c.kind, c.p, c.n), c.want);
    MakeHeader(kViewThumbnail);
    EXPECT_EQ(HeaderZoomText(view), "Thumbnail Size: 128 pixels");
    TearDown();
    SetUp();
    CatalogGetSlotRec16(catalog, kViewMedia)->sizeStep = kShowScaledToFit;
    MakeHeader(kViewMedia);
    EXPECT_EQ(HeaderZoomText(view), "Scaling: Scale to Fit");
    CatalogGetSlotRec16(catalog, kViewMedia)->sizeStep = kShowPercent;
    CatalogGetSlotRec16(catalog, kViewMedia)->percent = 150;
    EXPECT_EQ(HeaderZoomText(view), "Scaling: 150%");
}

TEST_F(HeaderBarTest, TheInformationLineOfTheCurrentItem) {
    AddNamed("a.jpg", 2048);
    MakeHeader(kViewThumbnail);
    ViewSelectItem(view, 1, kSelectAlone, false);
    view->currentFileErr = noErr;
    const std::string info = HeaderInfoText(view);
    EXPECT_EQ(info.rfind("640x480  |  ", 0), 0u) << info;
    EXPECT_NE(info.find("  |  JPEG"), std::string::npos) << info;
    view->currentFileErr = -43;
    EXPECT_NE(HeaderInfoText(view).find("File not found [-43]"), std::string::npos) << HeaderInfoText(view);
    // Drawn into the header port: the face colour and something darker for the text.
    ViewDrawHeaderBar(view);
    PixelView px = GetGWorldPixels(headerPort->world);
    std::set<std::uint32_t> colours;
    for (int x = 0; x < 300; ++x) colours.insert(reinterpret_cast<const std::uint32_t*>(px.base + 10 * px.rowBytes)[x] & 0xFFFFFF);
    EXPECT_GT(colours.size(), 4u);
    EXPECT_TRUE(colours.count(0xEDEDED));
}

TEST_F(HeaderBarTest, TheViewMenuSetsSizesRatiosAndMarginsAndKeepsThemAsDefaults) {
    AddItems(3);
    MakeHeader(kViewThumbnail);
    ViewModeSettings* thumbs = CatalogGetSlotRec16(catalog, kViewThumbnail);
    thumbs->aspect = 1;   // 4:3
    auto items = ViewHeaderViewMenuItems(view);
    auto find = [&](const std::string& text) {
        return std::find_if(items.begin(), items.end(), [&](const HeaderMenuItem& i) { return i.text == text; });
    };
    ASSERT_NE(find("Thumbnail Size:"), items.end());
    EXPECT_FALSE(find("Thumbnail Size:")->enabled);
    auto level16 = find("512 x 384");
    ASSERT_NE(level16, items.end());
    EXPECT_TRUE(ViewHeaderApplyViewMenu(view, level16->command));
    EXPECT_EQ(thumbs->sizeStep, 16);
    EXPECT_EQ(CatalogGetSlotSize(catalog, kViewThumbnail), 512);
    EXPECT_FALSE(ViewHeaderApplyViewMenu(view, level16->command));   // no change, nothing done
    const UInt8* defaults = GetPreferences()->viewBlock64 + kViewThumbnail * sizeof(ViewModeSettings);
    EXPECT_EQ(defaults[offsetof(ViewModeSettings, sizeStep)], 16);
    items = ViewHeaderViewMenuItems(view);
    auto shadow = find("Shadow");
    ASSERT_NE(shadow, items.end());
    EXPECT_TRUE(ViewHeaderApplyViewMenu(view, shadow->command));
    EXPECT_EQ(thumbs->frameStyle, 2);
    EXPECT_EQ(defaults[offsetof(ViewModeSettings, frameStyle)], 2);
    items = ViewHeaderViewMenuItems(view);
    EXPECT_TRUE(find("Shadow")->checked);
    EXPECT_TRUE(find("4:3 Landscape")->checked);
}

TEST_F(HeaderBarTest, TheColumnChooserAddsAndRemovesColumns) {
    ListFields()->fields[0] = ViewFieldEntry{kFieldFileName, 100, 0, 0};
    ListFields()->fields[1] = ViewFieldEntry{kFieldFileSize, 60, 0, 0};
    for (int i = 2; i < 10; ++i) ListFields()->fields[i] = ViewFieldEntry{};
    MakeHeader(kViewList);
    auto items = ViewHeaderFieldMenuItems(view);
    auto byId = [&](UInt32 id) {
        return std::find_if(items.begin(), items.end(), [&](const HeaderMenuItem& i) { return i.command == int(id); });
    };
    ASSERT_NE(byId(kFieldFileName), items.end());
    EXPECT_TRUE(byId(kFieldFileName)->checked);
    EXPECT_FALSE(byId(kFieldFileName)->enabled);
    EXPECT_TRUE(byId(kFieldFileSize)->checked);
    ASSERT_NE(byId(kFieldWidth), items.end());
    EXPECT_FALSE(byId(kFieldWidth)->checked);
    EXPECT_TRUE(std::any_of(items.begin(), items.end(), [](const HeaderMenuItem& i) { return i.text.empty(); }));
    // Adding puts the field last with its own width; choosing a shown one removes it.
    EXPECT_TRUE(ViewHeaderApplyFieldMenu(view, kFieldWidth));
    EXPECT_EQ(ListFields()->fields[2].fieldId, UInt32(kFieldWidth));
    EXPECT_GT(ListFields()->fields[2].value, 0);
    EXPECT_TRUE(ViewHeaderApplyFieldMenu(view, kFieldFileSize));
    EXPECT_EQ(ListFields()->fields[1].fieldId, UInt32(kFieldWidth));
    EXPECT_EQ(ListFields()->fields[2].fieldId, 0u);
    EXPECT_FALSE(ViewHeaderApplyFieldMenu(view, kFieldFileName));
    // Ten shown: nothing more, with a beep.
    const UInt32 more[] = {kFieldFileSize, kFieldFileType, kFieldHeight, kFieldDuration, kFieldPath, kFieldCaption, kFieldKeywords, kFieldPeople};
    for (UInt32 id : more) ASSERT_TRUE(ViewHeaderApplyFieldMenu(view, id));
    const int beeps = hooks.beeps;
    EXPECT_FALSE(ViewHeaderApplyFieldMenu(view, kFieldCategories));
    EXPECT_EQ(hooks.beeps, beeps + 1);
}
