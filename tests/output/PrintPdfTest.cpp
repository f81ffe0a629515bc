// Catalogs made by the test printed to PDF and read back with poppler's tools: the page count
// and paper size (pdfinfo), where the captions and band texts landed (pdftotext -bbox), the
// pictures in the file (pdfimages -list), and pages rasterised (pdftoppm) for ink in the right
// cells and crop marks at their offsets. A page of each kind is kept in the build folder as a
// PNG for people to look at. Escape abandons the document and leaves no file.
#include "../window/ViewTestSupport.h"

#include "catalog/fields/FieldIds.h"
#include "import/adding/AddFiles.h"
#include "output/print/PrintJob.h"
#include "output/print/PrintText.h"
#include "window/view/CellText.h"
#include "platform/imaging/Picture.h"
#include "support/RunTool.h"

#include <cairo.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace {

constexpr double kA4Width = 595.2756, kA4Height = 841.8898;

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

struct Word {
    double xMin, yMin, xMax, yMax;
    std::string text;
    int page;
};

// The words of every page, from pdftotext's bounding-box listing.
std::vector<Word> Words(const std::string& pdf) {
    std::string html;
    EXPECT_EQ(RunTool({"pdftotext", "-bbox", pdf, "-"}, &html), 0);
    std::vector<Word> out;
    std::istringstream lines(html);
    std::string line;
    int page = 0;
    const std::regex word(R"re(<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re");
    while (std::getline(lines, line)) {
        if (line.find("<page ") != std::string::npos) ++page;
        std::smatch m;
        if (!std::regex_search(line, m, word)) continue;
        std::string text = m[5];
        for (std::size_t at; (at = text.find("&amp;")) != std::string::npos;) text.replace(at, 5, "&");
        out.push_back({std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), text, page});
    }
    return out;
}

// The first word of that text (on that page, at or below minY when given).
const Word* Find(const std::vector<Word>& words, const std::string& text, int page = 0, double minY = -1e9) {
    for (const Word& w : words)
        if (w.text == text && (page == 0 || w.page == page) && w.yMin >= minY) return &w;
    return nullptr;
}

std::string Info(const std::string& pdf) {
    std::string out;
    EXPECT_EQ(RunTool({"pdfinfo", pdf}, &out), 0);
    return out;
}

int PageCount(const std::string& pdf) {
    std::smatch m;
    const std::string info = Info(pdf);
    return std::regex_search(info, m, std::regex(R"(Pages:\s+(\d+))")) ? std::stoi(m[1]) : -1;
}

// Images per page from pdfimages -list.
std::map<int, int> ImagesPerPage(const std::string& pdf) {
    std::string out;
    EXPECT_EQ(RunTool({"pdfimages", "-list", pdf}, &out), 0);
    std::map<int, int> pages;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream f(line);
        int page = 0;
        std::string kind;
        if (f >> page >> kind >> kind && kind == "image") ++pages[page];
    }
    return pages;
}

// Page p rasterised at one pixel a point, kept under keepAs in the working (build) folder.
cairo_surface_t* Rasterise(const std::string& pdf, int page, const std::string& keepAs) {
    // Beside the test program, in the build folder, wherever the test is started from.
    const std::string stem = std::filesystem::read_symlink("/proc/self/exe").parent_path() / ("print-" + keepAs);
    EXPECT_EQ(RunTool({"pdftoppm", "-png", "-r", "72", "-f", std::to_string(page), "-l", std::to_string(page), "-singlefile", pdf,
                       stem}),
              0);
    return cairo_image_surface_create_from_png((stem + ".png").c_str());
}

std::uint32_t Pixel(cairo_surface_t* s, int x, int y) {
    cairo_surface_flush(s);
    const unsigned char* d = cairo_image_surface_get_data(s);
    return reinterpret_cast<const std::uint32_t*>(d + std::ptrdiff_t(y) * cairo_image_surface_get_stride(s))[x] & 0xFFFFFF;
}

// Whether a rectangle of the page holds anything but white.
bool Inked(cairo_surface_t* s, const Rect& r) {
    for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, cairo_image_surface_get_height(s)); ++y)
        for (int x = std::max<int>(r.left, 0); x < std::min<int>(r.right, cairo_image_surface_get_width(s)); ++x)
            if (Pixel(s, x, y) != 0xFFFFFF) return true;
    return false;
}

void SetText(HeaderFooterBlock* b, const std::string& ansi) {
    b->text[0] = UInt8(ansi.size());
    std::memcpy(b->text + 1, ansi.data(), ansi.size());
}

}  // namespace

class PrintPdfTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        DefaultPrintSettings(&settings);
        pdf = folder / "printed.pdf";
    }
    // n items named itemNNN.jpg with a stored thumbnail each: red for the marked ones, else blue.
    void AddPictures(int n, std::set<int> red = {}) {
        for (int i = 1; i <= n; ++i) {
            ItemRec r{};
            char name[32];
            std::snprintf(name, sizeof name, "item%03d.jpg", i);
            PStrFromBytes(r.fileName, name, long(std::strlen(name)));
            PStrFromBytes(r.storedName, name, long(std::strlen(name)));
            r.kind = 'JPEG';
            r.fileSize = 1000;
            r.width = 640;
            r.height = 480;
            Handle thumb = red.count(i) ? SolidThumbnail(128, 96, 255, 0, 0) : SolidThumbnail(128, 96, 0, 0, 255);
            ASSERT_EQ(CatalogAddItem(catalog, &r, thumb, nullptr, nullptr, nullptr, nullptr, 0), noErr);
            DisposeHandle(thumb);
        }
    }
    // Prints on A4 with the given unprintable edges; answers the job's result.
    OSErr Print(double edge = 0, PrintJob* jobOut = nullptr) {
        PdfPrintDevice device(pdf, kA4Width, kA4Height, edge, edge, edge, edge, 150);
        PrintJob job;
        if (OSErr err = PrintPrepareJob(view, &settings, device.Metrics(), "printed", true, &job)) return err;
        const OSErr err = PrintCatalogPages(job, device, 1, job.grid.pageCount);
        if (jobOut) *jobOut = job;
        return err;
    }
    Rect CellRect(const PrintJob& job, int r, int c) const {
        const Rect& a = job.geometry.cellArea;
        const PrintGrid& g = job.grid;
        const SInt16 x = SInt16((a.right - a.left - g.columns * g.cellWidth) / 2);
        return Rect{SInt16(a.top + r * g.cellHeight), SInt16(a.left + x + c * g.cellWidth), SInt16(a.top + (r + 1) * g.cellHeight),
                    SInt16(a.left + x + (c + 1) * g.cellWidth)};
    }
    PrintSettingsRec settings;
    std::string pdf;
};

TEST_F(PrintPdfTest, AContactSheetPrintsItsCellsCaptionsAndPictures) {
    AddPictures(10, {10});
    CatalogGetSlotRec(catalog, kViewThumbnail)->fields[0] = ViewFieldEntry{kFieldFileName, 1, 0, 0};
    MakeView(kViewThumbnail, 400, 300, false);
    settings.layout = kPrintContactSheet;
    settings.margins[kMarginTop] = settings.margins[kMarginLeft] = settings.margins[kMarginBottom] =
        settings.margins[kMarginRight] = 1.5;
    settings.grids[kPrintContactSheet] = PrintGridBlock{kGridCells, 5, 3, 3, 0, 0, 0};
    PrintJob job;
    ASSERT_EQ(Print(0, &job), noErr);
    ASSERT_EQ(job.grid.pageCount, 2);
    EXPECT_EQ(PageCount(pdf), 2);
    EXPECT_NE(Info(pdf).find("595.276 x 841.89 pts (A4)"), std::string::npos) << Info(pdf);
    EXPECT_NE(Info(pdf).find("printed"), std::string::npos);

    // Every caption inside its own cell: item n in cell (n-1) of its page.
    const std::vector<Word> words = Words(pdf);
    for (int n = 1; n <= 10; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "item%03d.jpg", n);
        const int page = (n - 1) / 9 + 1, slot = (n - 1) % 9;
        const Word* w = Find(words, name, page);
        ASSERT_TRUE(w) << name;
        const Rect cell = CellRect(job, slot / 3, slot % 3);
        EXPECT_GE(w->xMin, cell.left) << name;
        EXPECT_LE(w->xMax, cell.right) << name;
        EXPECT_GE(w->yMin, cell.top) << name;
        EXPECT_LE(w->yMax, cell.bottom) << name;
    }
    // A picture for each cell.
    const std::map<int, int> images = ImagesPerPage(pdf);
    EXPECT_GE(images.count(1) ? images.at(1) : 0, 9);
    EXPECT_GE(images.count(2) ? images.at(2) : 0, 1);

    // Page 2 holds item 10 alone, in the top-left cell of the centred grid, in its own red.
    cairo_surface_t* two = Rasterise(pdf, 2, "contact-sheet-page2");
    ASSERT_EQ(cairo_surface_status(two), CAIRO_STATUS_SUCCESS);
    EXPECT_NEAR(cairo_image_surface_get_width(two), 595, 1);
    const Rect first = CellRect(job, 0, 0);
    EXPECT_TRUE(Inked(two, first));
    bool red = false;
    for (int y = first.top; y < first.bottom && !red; ++y)
        for (int x = first.left; x < first.right && !red; ++x) red = Pixel(two, x, y) == 0xFF0000;
    EXPECT_TRUE(red);
    for (int slot = 1; slot < 9; ++slot) EXPECT_FALSE(Inked(two, CellRect(job, slot / 3, slot % 3))) << slot;
    // Centred: the same room left and right of the grid.
    const Rect& a = job.geometry.cellArea;
    EXPECT_LE(std::abs((first.left - a.left) - (a.right - CellRect(job, 0, 2).right)), 1);
    cairo_surface_destroy(two);
    cairo_surface_t* one = Rasterise(pdf, 1, "contact-sheet-page1");
    cairo_surface_destroy(one);
}

TEST_F(PrintPdfTest, BandsCarryTheirTextsWhereTheyBelong) {
    AddPictures(7);
    MakeView(kViewThumbnail, 400, 300, false);
    settings.layout = kPrintContactSheet;
    settings.grids[kPrintContactSheet] = PrintGridBlock{kGridCells, 5, 1, 1, 0, 0, 0};
    settings.margins[kMarginTop] = settings.margins[kMarginLeft] = settings.margins[kMarginBottom] =
        settings.margins[kMarginRight] = 2;
    SetText(&settings.bands[kBandHeader], "a &p b &n&i&c&i&d");
    SetText(&settings.bands[kBandFooter], "Tom && Jerry, page #");
    SetText(&settings.bands[kBandLeft], "Sideways");
    settings.bands[kBandHeader].backColor[0] = 0xCCCC;   // a pink header band
    settings.bands[kBandHeader].backColor[1] = 0xEEEE;
    PrintJob job;
    ASSERT_EQ(Print(0, &job), noErr);
    ASSERT_EQ(PageCount(pdf), 7);
    const std::vector<Word> words = Words(pdf);
    const Rect& header = job.geometry.bands[kBandHeader];
    const Word* a = Find(words, "a", 3);
    const Word* three = Find(words, "3", 3);
    const Word* seven = Find(words, "7", 3);
    ASSERT_TRUE(a && three && seven);
    EXPECT_NEAR(a->xMin, header.left + 1, 1.5);
    EXPECT_GE(a->yMin, header.top - 1);
    EXPECT_LE(a->yMax, header.bottom + 1);
    EXPECT_LT(a->xMax, three->xMin);
    EXPECT_LT(three->xMax, seven->xMin);
    // The catalog's name in the middle, the date ending at the right.
    Str255 name{};
    CatalogGetDisplayName(catalog, name, false);
    std::string title(reinterpret_cast<const char*>(name + 1), name[0]);
    const std::string firstWord = title.substr(0, title.find(' '));
    const std::string lastWord = title.substr(title.rfind(' ') + 1);
    const Word* t0 = Find(words, firstWord, 3);
    const Word* t1 = Find(words, lastWord, 3);
    ASSERT_TRUE(t0 && t1) << title;
    EXPECT_NEAR((t0->xMin + t1->xMax) / 2, (header.left + header.right) / 2.0, 2);
    Word last{0, 0, 0, 0, "", 0};
    for (const Word& w : words)
        if (w.page == 3 && w.yMax <= header.bottom + 1 && w.xMax > last.xMax) last = w;
    EXPECT_NEAR(last.xMax, header.right - 2, 1.5) << last.text;
    EXPECT_NE(last.text.find_first_of("0123456789"), std::string::npos) << last.text;
    // "&&" prints one ampersand; "#" is the page number.
    const double footerTop = job.geometry.bands[kBandFooter].top - 1;
    EXPECT_TRUE(Find(words, "&", 5, footerTop));
    EXPECT_TRUE(Find(words, "5", 5, footerTop));
    EXPECT_FALSE(Find(words, "&&", 5));
    // The side band's text runs down the page: a tall, narrow box inside the band.
    const Word* side = Find(words, "Sideways", 1);
    ASSERT_TRUE(side);
    EXPECT_GT(side->yMax - side->yMin, 2 * (side->xMax - side->xMin));
    const Rect& left = job.geometry.bands[kBandLeft];
    EXPECT_GE(side->xMin, left.left - 1);
    EXPECT_LE(side->xMax, left.right + 1);
    EXPECT_NEAR(side->yMin, left.top + 1, 1.5);
    // The header band is filled with its colour.
    cairo_surface_t* page = Rasterise(pdf, 3, "bands-page3");
    EXPECT_EQ(Pixel(page, (header.left + header.right) / 2 + 120, header.top + 1), 0xCCEEFFu);
    cairo_surface_destroy(page);
}

TEST_F(PrintPdfTest, AContentListPrintsItsLabelRowAndRowsInOrder) {
    AddPictures(30);
    MakeView(kViewList, 400, 300, false);
    settings.layout = kPrintContentList;
    PrintJob job;
    ASSERT_EQ(Print(18, &job), noErr);
    EXPECT_EQ(PageCount(pdf), job.grid.pageCount);
    const std::vector<Word> words = Words(pdf);
    double lastY = -1;
    for (int n = 1; n <= std::min(30, int(job.grid.rows)); ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "item%03d.jpg", n);
        const Word* w = Find(words, name, 1);
        ASSERT_TRUE(w) << name;
        EXPECT_GT(w->yMin, lastY) << name;
        lastY = w->yMin;
        if (n == 1) {
            // The first row sits one row down, below the labels; an edge of 18 points shifts it all.
            EXPECT_GE(w->yMin, 18 + job.geometry.cellArea.top + job.grid.cellHeight - 1);
        }
    }
    // The label row names the columns above the first row of each page.
    std::string label = CellFieldText(catalog, 0, kFieldFileName, true);
    label = label.substr(0, label.find(' '));
    const Word* l = Find(words, label, 1);
    ASSERT_TRUE(l) << label;
    EXPECT_LT(l->yMax, Find(words, "item001.jpg", 1)->yMin);
}

TEST_F(PrintPdfTest, PageChoicesPrintOnlyTheirPages) {
    AddPictures(5);
    MakeView(kViewThumbnail, 400, 300, false);
    settings.layout = kPrintContactSheet;
    settings.grids[kPrintContactSheet] = PrintGridBlock{kGridCells, 5, 1, 1, 0, 0, 0};
    struct Case {
        UInt8 choice;
        UInt32 current;
        int pages;
    } cases[] = {{kPageChoiceOdd, 0, 3}, {kPageChoiceEven, 0, 2}, {kPageChoiceCurrent, 4, 1}, {kPageChoiceDialog, 0, 5}};
    for (const Case& c : cases) {
        settings.pageChoice = c.choice;
        settings.currentPage = c.current;
        ASSERT_EQ(Print(), noErr);
        EXPECT_EQ(PageCount(pdf), c.pages) << int(c.choice);
    }
    // Odd pages: items 1, 3 and 5.
    settings.pageChoice = kPageChoiceOdd;
    CatalogGetSlotRec(catalog, kViewThumbnail)->fields[0] = ViewFieldEntry{kFieldFileName, 1, 0, 0};
    ASSERT_EQ(Print(), noErr);
    const std::vector<Word> words = Words(pdf);
    EXPECT_TRUE(Find(words, "item001.jpg", 1) && Find(words, "item003.jpg", 2) && Find(words, "item005.jpg", 3));
    EXPECT_FALSE(Find(words, "item002.jpg"));
}

TEST_F(PrintPdfTest, CropMarksStandOutsideTheCornersOfTheContent) {
    AddPictures(1);
    MakeView(kViewThumbnail, 400, 300, false);
    settings.layout = kPrintContactSheet;
    settings.cropMarks = 1;
    settings.margins[kMarginTop] = settings.margins[kMarginLeft] = settings.margins[kMarginBottom] =
        settings.margins[kMarginRight] = 3;
    PrintJob job;
    ASSERT_EQ(Print(0, &job), noErr);
    cairo_surface_t* page = Rasterise(pdf, 1, "crop-marks");
    const Rect& c = job.geometry.content;
    // A one-point line on a point boundary covers the two pixel rows (or columns) beside it.
    auto dark = [&](int x, int y, bool horizontal) {
        const std::uint32_t a = Pixel(page, x, y), b = horizontal ? Pixel(page, x, y - 1) : Pixel(page, x - 1, y);
        return std::min(a & 0xFF, b & 0xFF) < 0xC0;
    };
    struct Corner {
        int x, y, dx, dy;
    } corners[] = {{c.left, c.top, -1, -1}, {c.right, c.top, 1, -1}, {c.left, c.bottom, -1, 1}, {c.right, c.bottom, 1, 1}};
    for (const Corner& k : corners) {
        for (int d : {12, 20, 28}) {
            EXPECT_TRUE(dark(k.x + d * k.dx, k.y, true)) << k.x << "," << k.y << " +" << d;
            EXPECT_TRUE(dark(k.x, k.y + d * k.dy, false)) << k.x << "," << k.y << " +" << d;
        }
        for (int d : {5, 35}) {
            EXPECT_FALSE(dark(k.x + d * k.dx, k.y, true)) << k.x << "," << k.y << " +" << d;
            EXPECT_FALSE(dark(k.x, k.y + d * k.dy, false)) << k.x << "," << k.y << " +" << d;
        }
    }
    cairo_surface_destroy(page);
}

TEST_F(PrintPdfTest, EscapeAbandonsTheDocumentWithoutAFile) {
    AddPictures(20);
    MakeView(kViewThumbnail, 400, 300, false);
    settings.layout = kPrintContactSheet;
    settings.grids[kPrintContactSheet] = PrintGridBlock{kGridCells, 5, 2, 2, 0, 0, 0};
    hooks.escape = true;
    PdfPrintDevice device(pdf, kA4Width, kA4Height);
    PrintJob job;
    ASSERT_EQ(PrintPrepareJob(view, &settings, device.Metrics(), "printed", true, &job), noErr);
    EXPECT_EQ(PrintCatalogPages(job, device, 1, job.grid.pageCount), userCanceledErr);
    EXPECT_EQ(device.PagesWritten(), 0);
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_FALSE(std::filesystem::exists(pdf + ".part"));
    // A file that was there before an abandoned print stays as it was.
    {
        std::ofstream(pdf) << "earlier";
    }
    PdfPrintDevice again(pdf, kA4Width, kA4Height);
    EXPECT_EQ(PrintCatalogPages(job, again, 1, job.grid.pageCount), userCanceledErr);
    std::ifstream in(pdf);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "earlier");
    // The preview does not look at Escape.
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 600, 850);
    cairo_t* cr = cairo_create(s);
    EXPECT_EQ(PrintRenderPage(cr, job, 1, true), noErr);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
}

TEST_F(PrintPdfTest, AMediaSheetPrintsPicturesFromTheirFilesAndRepeatsThemWhenAsked) {
    std::filesystem::create_directories(folder / "pictures");
    std::vector<FSSpec> specs;
    for (const char* name : {"landscape_1.jpg", "gps_DSCN0010.jpg"}) {
        const std::string to = folder / (std::string("pictures/") + name);
        std::filesystem::copy_file(std::string(LYREX_SHARED_FIXTURES) + "/orientation/" + name, to);
        FSSpec spec;
        FSMakeFSSpecFromPath(to, &spec);
        specs.push_back(spec);
    }
    SInt32 added = 0;
    ASSERT_EQ(CatalogAddFiles(catalog, 0, specs.data(), long(specs.size()), nullptr, 0, &added), noErr);
    ASSERT_EQ(catalog->itemCount, 2);
    MakeView(kViewMedia, 400, 300, false);
    settings.layout = kPrintMediaSheet;
    settings.margins[kMarginTop] = settings.margins[kMarginLeft] = settings.margins[kMarginBottom] =
        settings.margins[kMarginRight] = 1;
    PrintJob job;
    ASSERT_EQ(Print(0, &job), noErr);
    EXPECT_EQ(PageCount(pdf), 2);
    std::map<int, int> images = ImagesPerPage(pdf);
    EXPECT_EQ(images[1], 1);
    EXPECT_EQ(images[2], 1);
    // Scaled to fit: the picture reaches the sides of the cell (a landscape picture on a
    // portrait page), not only its middle.
    cairo_surface_t* page = Rasterise(pdf, 1, "media-sheet-page1");
    const Rect& a = job.geometry.cellArea;
    const int y = (a.top + a.bottom) / 2;
    EXPECT_TRUE(Inked(page, Rect{SInt16(y - 2), SInt16(a.left + 1), SInt16(y + 2), SInt16(a.left + 6)}));
    EXPECT_TRUE(Inked(page, Rect{SInt16(y - 2), SInt16(a.right - 6), SInt16(y + 2), SInt16(a.right - 1)}));
    cairo_surface_destroy(page);

    // "Repeat media" on a 2 x 2 grid: page n shows item n four times.
    settings.repeatMedia = 1;
    settings.grids[kPrintMediaSheet] = PrintGridBlock{kGridCells, 1, 2, 2, 0, 0, 0};
    ASSERT_EQ(Print(), noErr);
    EXPECT_EQ(PageCount(pdf), 2);
    images = ImagesPerPage(pdf);
    EXPECT_EQ(images[1], 4);
    EXPECT_EQ(images[2], 4);
}
