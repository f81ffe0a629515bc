// The arithmetic of printed pages, in points (72 to the inch): the paper and printable area
// from the device's measures, the page's content box (paper less margins, or a template's box),
// the header, footer and side bands, the cell area, the grid of cells and the page count, the
// page range, which pages a page choice prints, and the texts of the bands.
//
// Coordinates: (0, 0) is the top-left corner of the printable area; the paper rectangle starts
// at minus the unprintable offsets. Rectangles are {top, left, bottom, right}.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "output/print/PrintSettings.h"
#include "platform/MacTypes.h"

#include <string>

struct ViewRec;

// The measures a printer answers, in its dots.
struct PrintDeviceMetrics {
    double dpiX = 72;
    double dpiY = 72;
    double horzRes = 0;       // printable width
    double vertRes = 0;       // printable height
    double physicalWidth = 0;
    double physicalHeight = 0;
    double offsetX = 0;       // unprintable left edge
    double offsetY = 0;       // unprintable top edge
};

struct PrintRectD {
    double top = 0, left = 0, bottom = 0, right = 0;
};

// One printing run: the device, the document's name, and the unit of the margins.
struct PrintJobContext {
    PrintDeviceMetrics device;
    std::string documentName;   // UTF-8
    bool metric = true;
};

struct PrintPageGeometry {
    Rect paper{};
    Rect content{};
    Rect cellArea{};
    Rect bands[4]{};            // header, footer, left, right; empty when the band's text is
    bool mirrored = false;
};

struct PrintGrid {
    SInt16 columns = 0;
    SInt16 rows = 0;
    SInt16 cellWidth = 0;
    SInt16 cellHeight = 0;
    SInt32 cellsPerPage = 0;
    SInt32 pageCount = 0;
};

// paramErr when the device has no resolution or size.
OSErr PrintGetPageMetrics(const PrintJobContext& job, PrintRectD* paper, PrintRectD* printable);

// Lays out page n. Margins below the unprintable offsets are raised (written back into the
// settings); a pair that leaves no room is replaced by the offsets with a beep.
OSErr PrintComputePageLayout(const PrintRectD& paper, const PrintRectD& printable, PrintSettingsRec* settings, bool metric,
                             SInt32 page, PrintPageGeometry* out);

// The grid for the settings' layout over a cell area of width x height points; writes the
// columns, rows and cell size back into the layout's grid block. paramErr (-50) when the grid
// is unusable: no visible items, fewer than one column or row, cells under 32 x 16 points.
OSErr PrintCalcPageGrid(ViewRec* view, PrintSettingsRec* settings, SInt32 width, SInt32 height, PrintGrid* out);

// The pages a print dialog asked for, clamped to 1 .. pageCount; paramErr for a selection.
struct PrintDialogRange {
    bool selection = false;
    bool pageNumbers = false;
    SInt32 minPage = 1, maxPage = 1, fromPage = 1, toPage = 1;
};
OSErr PrintGetPageRange(const PrintDialogRange& range, SInt32 pageCount, SInt32* first, SInt32* last);

// Whether page p is printed under the settings' page choice.
bool PrintPageIsChosen(const PrintSettingsRec& settings, SInt32 page);

// The 1-based page holding the view's current item (or, with none, its first visible item).
SInt32 PrintPageOfCurrentItem(const ViewRec* view, SInt32 cellsPerPage);

// The three parts of band i's text on a page (UTF-8), codes replaced; the block used (the
// other side's for the side bands of a mirrored page) through *block when asked.
struct PrintBandTexts {
    std::string left, centre, right;
};
PrintBandTexts PrintExpandHeaderText(const CatalogRec* catalog, const PrintSettingsRec& settings, SInt32 page,
                                     SInt32 pageCount, int band, bool mirrored, const HeaderFooterBlock** block = nullptr);
// The same for a text of Windows-1252 bytes, with the date, time and catalog name given.
PrintBandTexts ExpandBandText(const std::string& ansi, SInt32 page, SInt32 pageCount, const std::string& date,
                              const std::string& time, const std::string& catalogName, bool swapSides);

// Half-up rounding to whole points, as the layout rounds.
SInt16 PrintRoundPoints(double v);
