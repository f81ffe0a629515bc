// The view engine's record of one catalog window: which catalog it shows, the port it draws
// into, the cell grid, the selection, the current and the played item, the active organize
// filters with their history, and the engine's timers. Every operation of the engine takes it
// first; the grid view owns one per catalog window. The view mode is not kept here: it is the
// catalog's view-mode byte.
//
// Item numbers are 1-based positions among the catalog's shown items; 0 means no item.
// Folders appear in filters and history snapshots by their node ids, never by address, so a
// folder deleted later can only be skipped, never reached.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "foundation/settings/ViewDefaults.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/TimerService.h"

#include <compare>
#include <list>
#include <set>
#include <string>
#include <vector>

struct MediaObject;
struct ViewPort;

enum : UInt8 { kViewList = 0, kViewThumbnail = 1, kViewMedia = 2 };

// Catalog messages the view engine posts or sends.
enum : UInt32 {
    kMsgShownItemsChanged = 0x806D,
    kMsgSelectionChanging = 0x806E,
    kMsgPlaybackChanged = 0x806F,
    kMsgSelectionChanged = 0x8070,
    kMsgSlotSizeGrew = 0x8072,
    kMsgStatusBar = 0x8075,
    kMsgViewTornDown = 0x8076,
};

// One entry of the filter set: kind 1 an entry of a field's organize list (key the field id,
// value the entry number), kind 2 a folder (key 0, value the folder node's id). Ordered by
// kind, key, value, each a signed 32-bit number.
struct FilterEntry {
    SInt32 kind = 0;
    SInt32 key = 0;
    SInt32 value = 0;
    auto operator<=>(const FilterEntry&) const = default;
};
enum : SInt32 { kFilterOrganizeEntry = 1, kFilterFolder = 2 };
using FilterSet = std::set<FilterEntry>;

inline constexpr std::size_t kHistoryLimit = 64;

// The filter sets the user can step back and forth through; pos is a node or states.end().
struct ViewHistory {
    std::list<FilterSet> states;
    std::list<FilterSet>::iterator pos;
};

using ViewScrollProc = void (*)(UInt32 refCon, SInt32 firstRow, SInt32 lastFirstRow, SInt32 pageRows);

// A fresh id naming a view in drag data (never 0, never reused while the program runs), so a
// drop compares ids and never trusts an address read from the data.
UInt32 ViewNextDragId();

struct ViewRec {
    ViewPort* headerPort = nullptr;
    ViewPort* viewPort = nullptr;
    CatalogRec* catalog = nullptr;
    MediaObject* media = nullptr;
    SInt32 rowCount = 0;
    SInt32 columnCount = 0;
    std::vector<UInt8> selection;          // capacity bits, item n = bit n-1, top bit first
    SInt32 visibleCells[4] = {0, 0, 0, 0}; // top row, left column, bottom row, right column (exclusive)
    Rect viewRect{0, 0, 0, 0};
    Rect headerRect{0, 0, 0, 0};
    const Rect* updateRgn = nullptr;       // clip while a redraw runs
    UInt8 deferDraw = 0;
    UInt8 selectionOnly = 0;
    UInt8 active = 0;
    ViewScrollProc scrollProc = nullptr;
    UInt32 scrollRefCon = 0;
    SInt32 anchorItem = 0;
    SInt32 extendItem = 0;
    SInt32 firstVisibleItem = 0;
    SInt32 autoAdvanced = 0;
    FilterSet filters;
    ViewHistory history;
    Point cellSize{0, 0};
    SInt16 lineHeight = 0;
    SInt16 labelWidth = 0;
    SInt16 colonWidth = 0;                 // width of ":" in the bold font (caption labels)
    std::string measuredFont;              // the font the three measures above belong to
    // Header bar layout.
    Rect sortButton{}, infoRect{}, columnRects[10]{}, playButtons[4]{}, toolButtons[4]{}, menuButton{};
    SInt32 hoverPart = 0;
    // A press in the header bar followed until its release (see ViewHeader.h).
    struct HeaderTrack {
        SInt32 part = 0;          // the hit code pressed, 0 when no press is followed
        bool inside = false;      // the mouse is over the pressed part now
        Point start{0, 0};
        Point last{0, 0};
        bool dragging = false;    // a column moved more than the click tolerance
        Rect dragFrame{};         // the moving column's frame, drawn over the bar
        UInt32 lastStepTicks = 0;
        int steps = 0;
        TimerId repeatTimer = 0;
    } headerTrack;
    UInt32 lastColumnField = 0;   // the column header clicked last
    // The file of the item shown in the Media view, kept by cell drawing.
    UInt32 shownFileCache[2] = {0, 0};
    UInt32 shownFileValid = 0;
    FSSpec shownFile;
    UInt32 playStartTicks = 0;
    TimerId playTimer = 0;
    Str255 typeAhead = {};
    TimerId typeAheadTimer = 0;
    UInt64 statsTotal = 0;
    SInt32 statsNext = 0;
    TimerId statsTimer = 0;
    TimerId blinkTimer = 0;
    SInt32 blinkItem = 0;
    SInt32 doneCount = 0;
    SInt32 failedCount = 0;
    UInt32 playItemId = 0;
    SInt32 currentItem = 0;
    OSErr currentFileErr = 0;
    FSSpec currentFile;
    UInt8 currentCaps[3] = {0, 0, 0};      // time-based; visual; rotatable
    // Pending items whose pictures are read from their files, one a tick, after the paint
    // that met them (ids, in the order met).
    std::vector<UInt32> pendingPictures;
    std::set<UInt32> unreadablePictures;   // read once and failed: not tried again
    TimerId pictureTimer = 0;
    // The display defaults exchanged with the preferences, kept in their own record.
    ViewPrefsFields defaults{};
    UInt32 dragId = ViewNextDragId();
};

// ---- creation and teardown --------------------------------------------------------------------

// 0, paramErr when out or catalog is null, memFullErr when memory runs out (nothing stays
// allocated and *out is null then).
OSErr ViewCreate(ViewRec** out, ViewPort* viewPort, ViewPort* headerPort, CatalogRec* catalog);
// Stops playback, kills the timers, clears the current item, tells the catalog's windows
// (0x8076, at once), closes the presenter and frees the record.
void ViewDispose(ViewRec* view);

// ---- queries ------------------------------------------------------------------------------------

CatalogRec* ViewGetCatalog(const ViewRec* view);
UInt8 ViewGetMode(const ViewRec* view);
SInt32 ViewGetCurrentItem(const ViewRec* view);
UInt8 ViewCanRotateCurrent(const ViewRec* view);
// Any out pointer may be null.
void ViewGetItemCapabilities(const ViewRec* view, UInt8* canRotate, UInt8* flag, bool* actualSize);
void ViewGetVisibleGrid(const ViewRec* view, SInt32 out[4]);
void ViewGetRect(const ViewRec* view, Rect* rect);
// A null, empty-width or inverted rectangle is ignored; else the view is laid out again.
void ViewSetRect(ViewRec* view, const Rect* rect);
void ViewGetCellSize(const ViewRec* view, Point* size);
void ViewSetScrollProc(ViewRec* view, ViewScrollProc proc, UInt32 refCon);
SInt32 ViewCountFilters(const ViewRec* view);
// The number of shown items of the view's catalog.
SInt32 ViewItemCount(const ViewRec* view);

// ---- current item -------------------------------------------------------------------------------

void ViewClearCurrent(ViewRec* view);
void ViewLoadCurrentInfo(ViewRec* view, SInt32 item);

void ItemLoopCountDone(ViewRec* view);
void ItemLoopCountFailed(ViewRec* view);

// ---- selection bits -------------------------------------------------------------------------------

bool ViewBitTest(const ViewRec* view, SInt32 item);
void ViewBitSet(ViewRec* view, SInt32 item);
void ViewBitClear(ViewRec* view, SInt32 item);

// ---- history ------------------------------------------------------------------------------------

void ViewHistoryPush(ViewRec* view, const FilterSet& set);

// ---- display defaults -----------------------------------------------------------------------------

// The view's display defaults from the preferences (when the grid view makes its view) and
// back (when it releases it).
void ViewTakeDefaults(ViewRec* view);
void ViewGiveBackDefaults(const ViewRec* view);

// Posting and sending catalog messages of the engine.
void ViewPost(ViewRec* view, UInt32 message, UInt32 parameter = 0);
