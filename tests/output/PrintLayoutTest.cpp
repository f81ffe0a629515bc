// The arithmetic of printed pages as tables: page metrics from a printer's measures, margins
// raised to the unprintable edges or replaced when they leave no room, content boxes from
// margins and templates, mirrored pages, the bands and the cell area, the grid of each layout
// with its unusable cases, page ranges and page choices, and the texts of the bands.
#include "../window/ViewTestSupport.h"

#include "catalog/fields/FieldIds.h"
#include "output/print/PrintLayout.h"
#include "output/print/PrintTemplates.h"
#include "output/print/PrintText.h"

#include <cstring>
#include <fstream>

namespace {

// A4 (595 x 842 points) on a printer with 12 points it cannot print along each edge, at
// one dot a point so that every edge is a whole number.
PrintJobContext A4Printer() {
    PrintJobContext job;
    job.device.dpiX = job.device.dpiY = 72;
    job.device.physicalWidth = 595;
    job.device.physicalHeight = 842;
    job.device.offsetX = job.device.offsetY = 12;
    job.device.horzRes = 571;
    job.device.vertRes = 818;
    return job;
}

void SetText(HeaderFooterBlock* b, const std::string& ansi) {
    b->text[0] = UInt8(ansi.size());
    std::memcpy(b->text + 1, ansi.data(), ansi.size());
}

}  // namespace

class PrintLayoutTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        DefaultPrintSettings(&settings);
        ASSERT_EQ(PrintGetPageMetrics(A4Printer(), &paper, &printable), noErr);
    }
    void TearDown() override {
        ResetPrintTemplates();
        ViewTest::TearDown();
    }
    PrintPageGeometry Layout(SInt32 page = 1, bool metric = true) {
        PrintPageGeometry g;
        EXPECT_EQ(PrintComputePageLayout(paper, printable, &settings, metric, page, &g), noErr);
        return g;
    }
    PrintSettingsRec settings;
    PrintRectD paper, printable;
};

TEST_F(PrintLayoutTest, PageMetricsComeFromThePrintersMeasuresInPoints) {
    PrintJobContext fine;
    fine.device.dpiX = fine.device.dpiY = 600;
    fine.device.physicalWidth = 4960;
    fine.device.physicalHeight = 7016;
    fine.device.offsetX = fine.device.offsetY = 100;
    fine.device.horzRes = 4760;
    fine.device.vertRes = 6816;
    ASSERT_EQ(PrintGetPageMetrics(fine, &paper, &printable), noErr);
    EXPECT_DOUBLE_EQ(printable.top, 0);
    EXPECT_DOUBLE_EQ(printable.left, 0);
    EXPECT_NEAR(printable.bottom, 817.92, 1e-9);
    EXPECT_NEAR(printable.right, 571.2, 1e-9);
    EXPECT_NEAR(paper.top, -12, 1e-9);
    EXPECT_NEAR(paper.left, -12, 1e-9);
    EXPECT_NEAR(paper.bottom, 829.92, 1e-9);
    EXPECT_NEAR(paper.right, 583.2, 1e-9);
    PrintJobContext none;
    none.device.dpiX = 0;
    EXPECT_EQ(PrintGetPageMetrics(none, &paper, &printable), paramErr);
}

TEST_F(PrintLayoutTest, MarginsMakeTheContentBox) {
    const double cm = 28.333333330972224;
    struct Case {
        double top, left, bottom, right;
        bool metric;
        Rect content;
        double writtenLeft;   // the left margin after the layout, in the unit
        int beeps;
    } cases[] = {
        // Default margins are raised to the unprintable edges: the printable area.
        {0, 0, 0, 0, true, {0, 0, 818, 571}, 12 / cm, 0},
        // 1.5 cm all round: 42.49999 points from the paper's edge, rounded to whole points.
        {1.5, 1.5, 1.5, 1.5, true, {30, 30, 788, 541}, 1.5, 0},
        // Inches: 0.5 is 36.135 points, 1.5 is 108.405, each side to its nearest point.
        {0.5, 1.5, 0.5, 1.5, false, {24, 96, 794, 475}, 1.5, 0},
        {1, 1, 1, 1, false, {60, 60, 758, 511}, 1, 0},
        // Left and right of 20 cm each leave no room on A4: both become the edges, with a beep.
        {2, 20, 2, 20, true, {45, 0, 773, 571}, 12 / cm, 1},
        // The same for top and bottom in inches.
        {6, 0.5, 6, 0.5, false, {0, 24, 818, 547}, 0.5, 1},
        // One margin under the edge is raised alone, without a beep.
        {0.1, 2, 2, 2, true, {0, 45, 773, 526}, 2, 0},
    };
    for (const Case& c : cases) {
        DefaultPrintSettings(&settings);
        settings.margins[kMarginTop] = c.top;
        settings.margins[kMarginLeft] = c.left;
        settings.margins[kMarginBottom] = c.bottom;
        settings.margins[kMarginRight] = c.right;
        hooks.beeps = 0;
        const PrintPageGeometry g = Layout(1, c.metric);
        EXPECT_EQ(g.paper, (Rect{-12, -12, 830, 583}));
        EXPECT_EQ(g.content, c.content) << c.top << " " << c.left;
        EXPECT_EQ(g.cellArea, c.content) << "no bands: the cells take the whole box";
        EXPECT_NEAR(settings.margins[kMarginLeft], c.writtenLeft, 1e-9) << c.left;
        EXPECT_EQ(hooks.beeps, c.beeps) << c.left;
    }
}

TEST_F(PrintLayoutTest, MirroredPagesSwapTheSideMarginsAndSideBands) {
    settings.mirrorMargins = 1;
    settings.margins[kMarginLeft] = 1;
    settings.margins[kMarginRight] = 3;
    SetText(&settings.bands[kBandLeft], "L");
    settings.bands[kBandRight].size = 20;
    SetText(&settings.bands[kBandRight], "R");
    const PrintPageGeometry one = Layout(1), two = Layout(2), three = Layout(3);
    EXPECT_FALSE(one.mirrored);
    EXPECT_TRUE(two.mirrored);
    EXPECT_EQ(one.content.left - one.paper.left, two.paper.right - two.content.right);
    EXPECT_EQ(one.paper.right - one.content.right, two.content.left - two.paper.left);
    EXPECT_EQ(three.content, one.content);
    // The 20-point right band of page 1 is the left band of page 2.
    const SInt16 wide = SInt16(one.bands[kBandRight].right - one.bands[kBandRight].left);
    const SInt16 narrow = SInt16(one.bands[kBandLeft].right - one.bands[kBandLeft].left);
    EXPECT_GT(wide, narrow);
    EXPECT_EQ(two.bands[kBandLeft].right - two.bands[kBandLeft].left, wide);
    EXPECT_EQ(two.bands[kBandRight].right - two.bands[kBandRight].left, narrow);
    // And the texts follow: page 2's left band shows the right block's text.
    const PrintBandTexts t = PrintExpandHeaderText(catalog, settings, 2, 2, kBandLeft, true);
    EXPECT_EQ(t.left, "R");
}

TEST_F(PrintLayoutTest, BandsSitInsideTheContentBoxWithAGapToTheCells) {
    settings.margins[kMarginTop] = settings.margins[kMarginLeft] = settings.margins[kMarginBottom] =
        settings.margins[kMarginRight] = 2;
    for (int b = 0; b < 4; ++b) SetText(&settings.bands[b], "band");
    settings.bands[kBandFooter].size = 14;
    const int h0 = PrintBandLineHeight(settings.bands[0]), h1 = PrintBandLineHeight(settings.bands[1]);
    const int h2 = PrintBandLineHeight(settings.bands[2]), h3 = PrintBandLineHeight(settings.bands[3]);
    EXPECT_GT(h0, 10);
    EXPECT_GT(h1, h0);
    const PrintPageGeometry g = Layout();
    const Rect& c = g.content;
    EXPECT_EQ(g.bands[kBandHeader], (Rect{c.top, SInt16(c.left + h2), SInt16(c.top + h0), SInt16(c.right - h3)}));
    EXPECT_EQ(g.bands[kBandFooter], (Rect{SInt16(c.bottom - h1), SInt16(c.left + h2), c.bottom, SInt16(c.right - h3)}));
    EXPECT_EQ(g.bands[kBandLeft], (Rect{c.top, c.left, c.bottom, SInt16(c.left + h2)}));
    EXPECT_EQ(g.bands[kBandRight], (Rect{c.top, SInt16(c.right - h3), c.bottom, c.right}));
    EXPECT_EQ(g.cellArea, (Rect{SInt16(c.top + h0 + 4), SInt16(c.left + h2 + 4), SInt16(c.bottom - h1 - 4),
                                SInt16(c.right - h3 - 4)}));
    // An empty band takes no room.
    settings.bands[kBandRight].text[0] = 0;
    const PrintPageGeometry g2 = Layout();
    EXPECT_EQ(g2.bands[kBandRight], (Rect{0, 0, 0, 0}));
    EXPECT_EQ(g2.cellArea.right, c.right);
    EXPECT_EQ(g2.bands[kBandHeader].right, c.right);
}

TEST_F(PrintLayoutTest, ATemplateSetsTheBoxCentredOrWhereItSays) {
    const std::filesystem::path dir = std::filesystem::path(folder / "templates");
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "a-centred") << "-1 -1 4 6 i";
    std::ofstream(dir / "b-placed") << "2,5 2,5 10 15 c";
    std::ofstream(dir / "c-empty") << "5 5 0 0 p";
    ResetPrintTemplates();
    ASSERT_TRUE(AddPrintTemplateFile((dir / "a-centred").string()));
    ASSERT_TRUE(AddPrintTemplateFile((dir / "b-placed").string()));
    ASSERT_TRUE(AddPrintTemplateFile((dir / "c-empty").string()));
    struct Case {
        UInt8 box;
        Rect content;
    } cases[] = {
        // 289.08 x 433.62 centred on the paper {-12, -12, 830, 583}.
        {2, {192, 141, 626, 430}},
        {3, {71, 71, 496, 354}},
        // An empty box is widened to one point.
        {4, {5, 5, 6, 6}},
        // A template number beyond the table: the margins.
        {9, {0, 0, 818, 571}},
        {1, {0, 0, 818, 571}},
    };
    for (const Case& c : cases) {
        settings.printBox = c.box;
        EXPECT_EQ(Layout().content, c.content) << int(c.box);
    }
}

TEST_F(PrintLayoutTest, GridsOfEachLayout) {
    AddItems(10);
    MakeView(kViewThumbnail, 400, 300);
    struct Case {
        UInt16 layout;
        UInt8 sizing, columns, rows;
        UInt16 cellWidth, cellHeight;
        bool labelRow, repeat;
        SInt32 width, height;
        OSErr result;
        PrintGrid grid;
    } cases[] = {
        // Contact Sheet of 3 x 3 cells: 10 items on 2 pages.
        {kPrintContactSheet, kGridCells, 3, 3, 0, 0, false, false, 540, 720, noErr, {3, 3, 180, 240, 9, 2}},
        // Given cell sizes: as many as fit.
        {kPrintContactSheet, kGridSize, 0, 0, 100, 120, false, false, 540, 720, noErr, {5, 6, 100, 120, 30, 1}},
        // The view's own 133-point cells.
        {kPrintContactSheet, kGridDefault, 0, 0, 0, 0, false, false, 540, 720, noErr, {4, 5, 135, 144, 20, 1}},
        // A cell area narrower than one such cell still has one column.
        {kPrintContactSheet, kGridDefault, 0, 0, 0, 0, false, false, 100, 720, noErr, {1, 5, 100, 144, 5, 2}},
        // Cells under 32 x 16 points, and fewer than one column, are unusable.
        {kPrintContactSheet, kGridCells, 1, 3, 0, 0, false, false, 31, 720, paramErr, {}},
        {kPrintContactSheet, kGridCells, 3, 50, 0, 0, false, false, 540, 720, paramErr, {}},
        {kPrintContactSheet, kGridCells, 0, 3, 0, 0, false, false, 540, 720, paramErr, {}},
        {kPrintContactSheet, kGridSize, 0, 0, 600, 100, false, false, 540, 720, paramErr, {}},
        // Media Sheet: one cell a page by default; "Repeat media" puts item n on page n.
        {kPrintMediaSheet, kGridDefault, 0, 0, 0, 0, false, false, 540, 720, noErr, {1, 1, 540, 720, 1, 10}},
        {kPrintMediaSheet, kGridCells, 2, 2, 0, 0, false, true, 540, 720, noErr, {2, 2, 270, 360, 1, 10}},
        {kPrintMediaSheet, kGridCells, 2, 2, 0, 0, false, false, 540, 720, noErr, {2, 2, 270, 360, 4, 3}},
        // A layout number that does not exist.
        {7, kGridCells, 2, 2, 0, 0, false, false, 540, 720, paramErr, {}},
    };
    for (const Case& c : cases) {
        DefaultPrintSettings(&settings);
        settings.layout = c.layout;
        settings.repeatMedia = c.repeat;
        if (c.layout <= kPrintMediaSheet)
            settings.grids[c.layout] = PrintGridBlock{c.sizing, 1, c.columns, c.rows, c.cellWidth, c.cellHeight, 0};
        PrintGrid g;
        const OSErr err = PrintCalcPageGrid(view, &settings, c.width, c.height, &g);
        const std::string what = std::to_string(c.layout) + "/" + std::to_string(c.sizing) + " " + std::to_string(c.width);
        ASSERT_EQ(err, c.result) << what;
        if (err) continue;
        EXPECT_EQ(g.columns, c.grid.columns) << what;
        EXPECT_EQ(g.rows, c.grid.rows) << what;
        EXPECT_EQ(g.cellWidth, c.grid.cellWidth) << what;
        EXPECT_EQ(g.cellHeight, c.grid.cellHeight) << what;
        EXPECT_EQ(g.cellsPerPage, c.grid.cellsPerPage) << what;
        EXPECT_EQ(g.pageCount, c.grid.pageCount) << what;
        // What was computed is written back into the layout's block.
        const PrintGridBlock& b = settings.grids[c.layout];
        EXPECT_EQ(b.columns, c.grid.columns);
        EXPECT_EQ(b.rows, c.grid.rows);
        EXPECT_EQ(b.cellWidth, c.grid.cellWidth);
        EXPECT_EQ(b.cellHeight, c.grid.cellHeight);
    }
}

TEST_F(PrintLayoutTest, ContentListRowsLeaveRoomForTheLabelRow) {
    AddItems(100);
    MakeView(kViewList, 400, 300);
    Point cell;
    SInt32 rows, columns;
    ViewComputeLayout(view, catalog, kViewList, 500, 700, &cell, &rows, &columns);
    ASSERT_GT(cell.v, 0);
    const SInt16 measured = view->lineHeight;
    settings.layout = kPrintContentList;
    for (bool labelRow : {false, true}) {
        settings.printLabelRow = labelRow;
        PrintGrid g;
        ASSERT_EQ(PrintCalcPageGrid(view, &settings, 500, 700, &g), noErr);
        EXPECT_EQ(g.columns, 1);
        EXPECT_EQ(g.cellWidth, 500);
        EXPECT_EQ(g.cellHeight, cell.v);
        EXPECT_EQ(g.rows, 700 / cell.v - (labelRow ? 1 : 0));
        EXPECT_EQ(g.pageCount, (100 + g.rows - 1) / g.rows);
    }
    // Measuring for the page leaves the view's own measures alone.
    settings.layout = kPrintContactSheet;
    PrintGrid g;
    PrintCalcPageGrid(view, &settings, 500, 700, &g);
    EXPECT_EQ(view->lineHeight, measured);
}

TEST_F(PrintLayoutTest, AnEmptyCatalogCannotBePrinted) {
    MakeView(kViewThumbnail, 400, 300);
    for (UInt16 layout : {kPrintContentList, kPrintContactSheet, kPrintMediaSheet}) {
        settings.layout = layout;
        PrintGrid g;
        EXPECT_EQ(PrintCalcPageGrid(view, &settings, 540, 720, &g), paramErr) << layout;
    }
}

TEST_F(PrintLayoutTest, PageRangesAndPageChoices) {
    struct Range {
        PrintDialogRange r;
        SInt32 count;
        OSErr err;
        SInt32 first, last;
    } ranges[] = {
        {{false, false, 1, 5, 3, 4}, 5, noErr, 1, 5},
        {{false, true, 1, 5, 3, 4}, 5, noErr, 3, 4},
        {{false, true, 1, 5, 0, 2}, 5, noErr, 1, 2},
        {{false, true, 1, 5, 9, 12}, 5, noErr, 5, 5},
        {{false, true, 1, 5, 4, 2}, 5, noErr, 4, 4},
        {{false, true, 1, 9, 2, 9}, 5, noErr, 2, 5},
        {{true, false, 1, 5, 1, 5}, 5, paramErr, 0, 0},
    };
    for (const Range& c : ranges) {
        SInt32 first = 0, last = 0;
        EXPECT_EQ(PrintGetPageRange(c.r, c.count, &first, &last), c.err);
        if (c.err) continue;
        EXPECT_EQ(first, c.first) << c.r.fromPage;
        EXPECT_EQ(last, c.last) << c.r.toPage;
    }
    struct Choice {
        UInt8 choice;
        UInt32 current;
        std::vector<SInt32> pages;
    } choices[] = {
        {kPageChoiceDialog, 0, {1, 2, 3, 4, 5}},
        {kPageChoiceOdd, 0, {1, 3, 5}},
        {kPageChoiceEven, 0, {2, 4}},
        {kPageChoiceCurrent, 4, {4}},
        {kPageChoiceCurrent, 9, {}},
    };
    for (const Choice& c : choices) {
        settings.pageChoice = c.choice;
        settings.currentPage = c.current;
        std::vector<SInt32> got;
        for (SInt32 p = 1; p <= 5; ++p)
            if (PrintPageIsChosen(settings, p)) got.push_back(p);
        EXPECT_EQ(got, c.pages) << int(c.choice);
    }
}

TEST_F(PrintLayoutTest, ThePageOfTheCurrentItem) {
    AddItems(30);
    MakeView(kViewThumbnail, 400, 300);
    struct Case {
        SInt32 current, cellsPerPage, page;
    } cases[] = {{1, 9, 1}, {9, 9, 1}, {10, 9, 2}, {30, 9, 4}, {30, 1, 30}};
    for (const Case& c : cases) {
        view->currentItem = c.current;
        EXPECT_EQ(PrintPageOfCurrentItem(view, c.cellsPerPage), c.page) << c.current;
    }
    // With no current item, the first visible one.
    view->currentItem = 0;
    view->visibleCells[0] = 3;
    view->visibleCells[1] = 0;
    EXPECT_EQ(PrintPageOfCurrentItem(view, 4), (3 * view->columnCount + 1 + 3) / 4);
}

TEST_F(PrintLayoutTest, BandTextsReplaceTheirCodes) {
    struct Case {
        std::string text;
        bool swap;
        std::string left, centre, right;
    } cases[] = {
        {"a &p b &n&i&c&i&d", false, "a 3 b 7", "Trip", "10.12.2026"},
        {"a &p b &n&i&c&i&d", true, "10.12.2026", "Trip", "a 3 b 7"},
        {"Page #", false, "Page 3", "", ""},
        {"Tom && Jerry &&p", false, "Tom & Jerry &p", "", ""},
        {"at &t", false, "at 09:15", "", ""},
        {"\x1A" "mid\x1A" "\xB7 of \xB8 on \xC6 \xBD", false, "", "mid", "7 of Trip on 10.12.2026 09:15"},
        {"one&itwo&ithree&ifour", false, "one", "two", "threefour"},
        {"caf\xE9 &x", false, "caf\xC3\xA9 &x", "", ""},
    };
    for (const Case& c : cases) {
        const PrintBandTexts t = ExpandBandText(c.text, 3, 7, "10.12.2026", "09:15", "Trip", c.swap);
        EXPECT_EQ(t.left, c.left) << c.text;
        EXPECT_EQ(t.centre, c.centre) << c.text;
        EXPECT_EQ(t.right, c.right) << c.text;
    }
}
