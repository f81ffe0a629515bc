// The selection, the current item and keyboard navigation of a view: one selection routine
// with five kinds, the whole-selection commands, selection by lists of ids, the arrow, Home,
// End and page keys, type-ahead and Go To.
//
// Every change of the current item is bracketed by the catalog messages 0x806e (before, so
// the Info panel can store its pending edits) and 0x8070 (after).
#pragma once

#include "window/view/ViewRec.h"

// Kinds of ViewSelectItem.
enum : int {
    kSelectRemove = 0,     // remove one item from the selection
    kSelectAlone = 1,      // select one item alone and make it current
    kSelectAdd = 2,        // add one item
    kSelectExtend = 3,     // select the range from the anchor to the item
    kSelectAddCurrent = 4, // add one item and make it current
};

// Virtual-key codes of ViewKeyNavigate (the grid view maps its keys to these).
enum : int {
    kVKSpace = 0x20, kVKPageUp = 0x21, kVKPageDown = 0x22, kVKEnd = 0x23, kVKHome = 0x24,
    kVKLeft = 0x25, kVKUp = 0x26, kVKRight = 0x27, kVKDown = 0x28,
    kVK0 = 0x30, kVK9 = 0x39, kVKEquals = 0x3D, kVKUnderscore = 0x5F,
    kVKNumpad0 = 0x60, kVKNumpad9 = 0x69, kVKAdd = 0x6B, kVKSubtract = 0x6D,
    kVKOemPlus = 0xBB, kVKOemMinus = 0xBD, kVKSlash = 0xBF,
};

inline constexpr std::uint32_t kTypeAheadMs = 500;
inline constexpr std::uint32_t kBlinkMs = 200;   // 12 ticks

void ViewSelectItem(ViewRec* view, SInt32 item, int kind, bool reveal);
void ViewSelectByKind(ViewRec* view, int kind, SInt32 item, bool reveal);
void ViewSelectMediaItem(ViewRec* view, SInt32 item, int kind);
// Makes the item the media view's only selected and current item, redraws it and the header
// bar, and posts the selection change around it.
void ViewMakeMediaItemCurrent(ViewRec* view, SInt32 item);
void ViewSetCurrent(ViewRec* view, SInt32 item);
void ViewSelectAll(ViewRec* view);
void ViewDeselectAll(ViewRec* view);
void ViewInvertSelection(ViewRec* view);
// Adds the items whose unique ids (native u32) the handle lists; beeps when none was new.
void ViewSelectItems(ViewRec* view, Handle ids);
bool ViewAddItemsById(ViewRec* view, Handle ids);
bool ViewNextSelected(const ViewRec* view, SInt32* item);
SInt32 ViewCountSelected(const ViewRec* view);
bool ViewKeyNavigate(ViewRec* view, int key, bool shift, bool control);
void ViewTypeAhead(ViewRec* view, unsigned char character);
// The first item after start (wrapping to item 1) whose File Name begins with the text, letter
// case ignored; 0 when none but the start item matches.
SInt32 TypeAheadFind(const ViewRec* view, SInt32 start, ConstStr255Param text);
void ViewCommitInfoEdits(ViewRec* view, SInt32 item);
// what: 1 item number, 2 next item matching the text, 3 next labelled item.
void ViewGoToItem(ViewRec* view, int what, SInt32 itemNumber, bool backwards, ConstStr255Param text);
