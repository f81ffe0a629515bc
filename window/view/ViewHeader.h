// The header bar above the cells: icon buttons at both ends (sort order, view menu, rotate,
// zoom, and in the Media view the image steppers of multi-image media), the List view's
// column headers, which can be clicked to sort, dragged to reorder and resized at their
// borders, and in the other views a line about the current item or the zoom. The engine lays
// the bar out, draws it into the header port, tells what a point hits, and follows a press as
// a state machine fed with the window's mouse events (down, moves, up) and a repeat timer; a
// moving column's frame is drawn over the bar, never XORed into it.
#pragma once

#include "window/view/ViewOperations.h"
#include "window/view/ViewRec.h"

#include <string>
#include <vector>

typedef struct _cairo cairo_t;

// Hit codes.
enum : SInt32 {
    kHeaderHitNone = 0,
    kHeaderHitSort = 1,
    kHeaderHitInfo = 2,
    kHeaderHitMenu = 3,
    kHeaderHitRotateLeft = 4,
    kHeaderHitRotateRight = 5,
    kHeaderHitZoomOut = 6,
    kHeaderHitZoomIn = 7,
    kHeaderHitFirstImage = 8,   // 8..11: first, previous, next, last image
    kHeaderHitColumn = 12,      // 12..21: column header i
    kHeaderHitBorder = 22,      // 22..29: the border after column i
};
// Icons of the buttons.
enum : int {
    kIconHeaderSort = 2001, kIconHeaderSortReversed = 2002, kIconHeaderMenu = 2003, kIconHeaderZoomOut = 2004,
    kIconHeaderZoomIn = 2005, kIconHeaderRotateLeft = 2006, kIconHeaderRotateRight = 2007,
    kIconHeaderFirst = 2009, kIconHeaderPrevious = 2010, kIconHeaderNext = 2011, kIconHeaderLast = 2012,
};
inline constexpr short kCursorResizeColumn = 17;

// What the header cannot do by itself: turn the selected items (the item transform of the
// program's transform command), and pop up its two menus.
struct HeaderHooks {
    ItemActionProc transform = nullptr;
    void* transformRef = nullptr;
    void (*viewMenu)(ViewRec* view, Point where) = nullptr;
    void (*fieldMenu)(ViewRec* view, Point where) = nullptr;
};
// Installs the hooks (null: none); the table is copied.
void ViewSetHeaderHooks(const HeaderHooks* hooks);

void ViewSetHeaderRect(ViewRec* view, SInt16 top, SInt16 left, SInt16 bottom, SInt16 right);
void ViewLayoutHeader(ViewRec* view);
SInt32 ViewHitHeader(ViewRec* view, Point where);
// The cursor over a point: the column-resize cursor over a border, else the arrow.
short ViewHeaderCursor(ViewRec* view, Point where);
void ViewHeaderSetCursor(ViewRec* view, Point where);

// A press: 0 outside the bar, 1 on no part, 2 on the information area (the header window's
// own), 3 when the press is followed (moves and the release finish it).
long ViewHeaderMouseDown(ViewRec* view, Point where, bool contextClick);
// A move: follows a press, or, without one, keeps the hover look.
void ViewHeaderMouseMove(ViewRec* view, Point where);
void ViewHeaderMouseUp(ViewRec* view, Point where);
// The hover look: the button under the mouse raised, the others flat.
void ViewHeaderHover(ViewRec* view, Point where);

// The header's two pop-up menus, as items the window shows and a choice it hands back.
struct HeaderMenuItem {
    std::string text;       // UTF-8; empty for a separator
    int command = 0;        // what the apply function takes; 0 for titles and separators
    bool enabled = true;
    bool checked = false;
};
// The view menu: List view icon sizes; Thumbnail view sizes, ratios and margins.
std::vector<HeaderMenuItem> ViewHeaderViewMenuItems(ViewRec* view);
// Applies a view-menu command; true when something changed (the view is laid out, redrawn,
// the catalog marked modified and the new value kept as the default for new catalogs).
bool ViewHeaderApplyViewMenu(ViewRec* view, int command);
// The column chooser of the List view: every field the edition offers, shown ones checked, the
// file name checked and disabled; the command is the field id.
std::vector<HeaderMenuItem> ViewHeaderFieldMenuItems(ViewRec* view);
// Removes a shown field, or adds another at the end with its default width (a beep when ten
// are shown); true when the columns changed.
bool ViewHeaderApplyFieldMenu(ViewRec* view, UInt32 fieldId);

// The line about the current item, and the zoom line shown without one (UTF-8).
std::string HeaderInfoText(ViewRec* view);
std::string HeaderZoomText(ViewRec* view);
// The position of a multi-image medium: "Page 2/5", "Composite (4)", "Layer 2/3", ...
std::string HeaderPositionText(UInt8 category, OSType kind, UInt32 position, UInt32 count);
// Draws the bar (into the header port, or the given context when not null).
void ViewDrawHeaderBarInto(ViewRec* view, cairo_t* cr);

// The bar's colours (the desktop's button face, highlight, shadow and text colours; the
// program sets them from its theme).
struct HeaderColors {
    RGBColor face{0xEDED, 0xEDED, 0xEDED};
    RGBColor highlight{0xFFFF, 0xFFFF, 0xFFFF};
    RGBColor shadow{0xA0A0, 0xA0A0, 0xA0A0};
    RGBColor text{0x1E1E, 0x1E1E, 0x1E1E};
    RGBColor grayText{0x8B8B, 0x8E8E, 0x8F8F};
};
void ViewSetHeaderColors(const HeaderColors& colors);
