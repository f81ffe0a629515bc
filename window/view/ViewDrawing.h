// Scrolling and drawing the view: moving the visible range by whole rows, drawing all visible
// cells, one cell, or the band a one-row scroll uncovers, into the port's backing offscreen.
// Drawing one cell is handed by mode to the cell drawers, which the cell drawing code installs;
// the built-in ones paint the cell's background, selection and frame.
#pragma once

#include "window/view/ViewLayout.h"
#include "window/view/ViewRec.h"
#include "platform/imaging/GWorld.h"

#include <string>

typedef struct _cairo cairo_t;

// What a cell drawer gets: the cell's item (0 none) and rectangle, its selected state, label
// and label colour, and a cairo context on the port clipped to the area being drawn.
struct CellDrawArgs {
    ViewRec* view = nullptr;
    cairo_t* cr = nullptr;
    UInt8 mode = 0;
    SInt32 item = 0;
    Rect cell{};
    bool selected = false;
    bool current = false;
    UInt8 label = 0;
    RGBColor labelColor{0, 0, 0};
    bool selectionOnly = false;
    // The part of the cell inside the view (the whole cell when printing).
    Rect visible{};
    // Printing: the page's cells are drawn with the printer's context and resolution;
    // fromMedia draws pictures from their media files at that resolution.
    bool forPrint = false;
    bool fromMedia = false;
    bool screenOnly = false;
    double resolutionH = 0;
    double resolutionV = 0;
    GWorldPtr* keeper = nullptr;
    bool offscreenWanted = false;
    // Printing: the field list and colours in place of the mode's own (null: the mode's), list
    // rows without their icons, and the presenter of a printed Media cell.
    const ViewFieldList* fields = nullptr;
    const ViewColors* colors = nullptr;
    bool noIcons = false;
    MediaObject* presenter = nullptr;   // a Media cell's presenter in place of the view's
};

struct CellDrawProcs {
    void (*listRow)(const CellDrawArgs& args) = nullptr;
    void (*thumbnail)(const CellDrawArgs& args) = nullptr;
    void (*media)(const CellDrawArgs& args) = nullptr;
    // The hint of a view without items, over the whole view rectangle.
    void (*emptyHint)(ViewRec* view, cairo_t* cr, const Rect& area) = nullptr;
    // The Media header bar, in the header port.
    void (*headerBar)(ViewRec* view) = nullptr;
};

// Installs the cell drawers (null restores the built-in ones); the table is copied.
void ViewSetCellDrawProcs(const CellDrawProcs* procs);
const CellDrawProcs& ViewGetCellDrawProcs();
// The built-in drawers.
void CellDrawListRow(const CellDrawArgs& args);
void CellDrawThumbnail(const CellDrawArgs& args);
void CellDrawMedia(const CellDrawArgs& args);
void CellDrawEmptyHint(ViewRec* view, cairo_t* cr, const Rect& area);

// The marker over the played item's cell (List and Thumbnail view).
void CellDrawPlayMarker(ViewRec* view, cairo_t* cr, const Rect& cell);
// Whether item n is the one the view's presenter plays.
bool CellItemPlayedHere(const ViewRec* view, SInt32 item);

// The text of the empty-view hint: items hidden, or none at all (UTF-8).
std::string EmptyHintText(const ViewRec* view);
// The colours of a List row: text and background XORed like the selection ring when selected,
// a labelled row keeping its label's colour for the text.
struct CellColors;
CellColors ListRowColors(const RGBColor& text, const RGBColor& background, bool selected, bool current, bool labelled);

// Selection colours: the background XORed channel by channel.
RGBColor ViewSelectionColor(const RGBColor& background, bool current);

// Moves the visible range by whole columns and rows; the deltas saturate, so the extreme
// 32-bit values reach the ends.
void ViewScrollTo(ViewRec* view, SInt32 columnsDelta, SInt32 rowsDelta);
// Moves the port's contents by one row (+1 down the grid, -1 up) and draws the uncovered band.
void ViewScrollBy(ViewRec* view, SInt32 rowsDelta);
void ViewRevealCell(ViewRec* view, ViewCell cell);
// Draws all visible cells (clipped to the area when one is given).
void ViewRedraw(ViewRec* view, const Rect* clip);
void ViewDrawVisibleCells(ViewRec* view, const Rect* clip);
void ViewDrawCellIfVisible(ViewRec* view, ViewCell cell);
// Draws the cell of one item when it is visible; nothing while deferDraw is set.
void ViewRedrawItem(ViewRec* view, SInt32 item);
void ViewDrawCell(ViewRec* view, SInt32 item, const Rect* cell);
void ViewDrawHeaderBar(ViewRec* view);
// Draws item n's cell for a printed page: the mode's cell drawer on the printer's context (in
// points, at the printer's resolution), badges and shadows left out; with fromMedia pictures
// come from their media files at that resolution.
void ViewDrawCellForPrint(ViewRec* view, cairo_t* cr, SInt32 item, const Rect& cell, double resolutionH,
                          double resolutionV, bool fromMedia);
// The same in a mode of the caller's choice (a page may be printed in another layout than the
// view shows), with the printing overrides of CellDrawArgs taken as given.
struct PrintCellOptions {
    UInt8 mode = 0;
    const ViewFieldList* fields = nullptr;
    const ViewColors* colors = nullptr;
    bool noIcons = false;
    MediaObject* presenter = nullptr;   // a Media cell's presenter in place of the view's
};
void ViewDrawCellForPrintAs(ViewRec* view, cairo_t* cr, SInt32 item, const Rect& cell, double resolutionH,
                            double resolutionV, bool fromMedia, const PrintCellOptions& options);
bool ViewParkPresenter(ViewRec* view);
void ViewRelayoutAndSelect(ViewRec* view, SInt32 item);
// Sets the selection from a handle of ids (native u32) and makes the item with currentId
// current again.
void ViewRestoreSelectionByIds(ViewRec* view, Handle ids, UInt32 currentId);
