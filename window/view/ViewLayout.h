// Cell geometry of the view: the size of a cell in each mode, the grid of rows and columns,
// which cells are on screen, the conversions between item numbers, cells and pixels, and the
// rectangles of the parts inside a cell that cell drawing fills.
//
// A cell is (row, column), both from 0; item n sits in cell ((n-1) div columns, (n-1) mod
// columns).
#pragma once

#include "window/view/ViewRec.h"

struct ViewCell {
    SInt32 row = 0;
    SInt32 column = 0;
    bool operator==(const ViewCell&) const = default;
};

// The parts of one cell: frame and picture (List: the icon), ten value and ten label rects.
struct ViewCellPartRects {
    Rect frame{};
    Rect picture{};
    Rect values[10]{};
    Rect labels[10]{};
};

void ViewLayout(ViewRec* view, CatalogRec* catalog);
void ViewComputeLayout(ViewRec* view, CatalogRec* catalog, UInt8 mode, SInt32 width, SInt32 height, Point* cellSize,
                       SInt32* rows, SInt32* columns);
// Also sets lineHeight and labelWidth from the mode's font.
void ViewCellSizeForMode(ViewRec* view, UInt8 mode, SInt32 width, SInt32 height, Point* out);
void ViewGridSize(ViewRec* view, UInt8 mode, SInt32 width, SInt32 cellWidth, SInt32* rows, SInt32* columns);
// The caption block height of a field list (at most ten entries, ended by field id 0); the
// number of lines in *lines when asked.
SInt32 ThumbCaptionHeight(const ViewFieldList* fields, SInt32 lineHeight, SInt32* lines);
void ViewCellParts(const ViewRec* view, UInt8 mode, const ViewModeSettings* settings, const ViewFieldList* fields,
                   const Rect* cell, ViewCellPartRects* out);
void ViewUpdateVisibleRange(ViewRec* view);
// Pixel rectangle of a cell in the port; empty (all 0) outside the grid.
void ViewCellRect(const ViewRec* view, ViewCell cell, Rect* out);
void ViewCellRect32(const ViewRec* view, ViewCell cell, SInt32 out[4]);
ViewCell ViewItemToCell(const ViewRec* view, SInt32 item);
SInt32 ViewCellToIndex(const ViewRec* view, ViewCell cell);
bool ViewIsCellVisible(const ViewRec* view, ViewCell cell);
// The cell under a point (port coordinates); true only when the cell holds an item. Cells are
// half-open: a cell's right and bottom edges belong to the next cell.
bool ViewHitTest(const ViewRec* view, Point pt, ViewCell* cell, bool* selected);
// Whether the cell's item is selected; with search, moves on to the next selected item's cell.
bool ViewFindSelectedFrom(const ViewRec* view, ViewCell* cell, bool search);
bool ViewFirstSelectedCell(const ViewRec* view, ViewCell* cell);

// Rows that fit in the view height, counting a partly visible one, and whether there is one.
SInt32 ViewPageRows(const ViewRec* view, bool* partial);
