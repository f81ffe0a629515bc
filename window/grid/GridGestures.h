// The decisions the grid view makes about the user's gestures, kept apart from the window so
// they can be checked without a display: what a button press on a cell means, when a press
// and a move become a drag, where an in-place edit goes next when it ends with a key, which
// names a rename may give a file, where added files go, and when opening items asks first.
#pragma once

#include "platform/MacTypes.h"

#include <string>
#include <vector>

// Modifier flags of a click (the values the view's click handling has always used).
enum : UInt32 { kClickControl = 256, kClickShift = 512, kClickAlt = 2048, kClickModifierMask = 0xB00 };

// Click kinds: what the button release does.
enum : int {
    kClickNone = 0,
    kClickEditField = 2,      // left release starts an edit of the field under the pointer
    kClickSelectIfNew = 3,    // select the item unless it is the current one
    kClickSelectThenEdit = 4, // as 3, then edit with the left button
    kClickToggle = 5,         // Control click: decided at release
    kClickDeselectAll = 6,    // release off every cell deselects all
};

struct PressDecision {
    int selectKind = -1;      // a ViewSelectItem kind to apply at once, -1 none
    int clickKind = kClickNone;
};

// A press in List (0), Thumbnail (1) or Media (2) view with the modifiers (kClick* flags, other
// bits ignored); onCell: the point lies on an item's cell, onName: on its name text, current:
// that item is the current one.
PressDecision DecidePress(UInt8 viewMode, UInt32 modifiers, bool onCell, bool onName, bool current);

// A press followed by a move this far (in either axis) starts a drag.
inline constexpr int kDragDistance = 11;
bool IsDragDistance(Point press, Point now);

// Endings of an in-place edit.
enum : int {
    kEditEndCommit = 0, kEditEndTab = 1, kEditEndBackTab = 2, kEditEndLeft = 3, kEditEndUp = 4, kEditEndRight = 5,
    kEditEndDown = 6,
};

// Where an edit goes after it ended: the item and the column (index in the mode's column list)
// to edit next; item 0 when the edit stops. editable: for each column of the list in order,
// whether it may be edited (at most 10).
struct EditTarget {
    SInt32 item = 0;
    int column = -1;
};
EditTarget NextEditTarget(int ending, SInt32 current, SInt32 count, SInt32 columns, int column,
                          const std::vector<bool>& editable);

// Whether a file may be given this name (UTF-8): not empty, at most 255 bytes, no "/" and no
// zero byte, and neither "." nor "..", which would move the file to another folder.
bool IsAcceptableFileName(const std::string& utf8);
// The text of an edit with blanks removed at both ends.
std::string TrimEditText(const std::string& utf8);

// The item a catalog shown in Media view opens on: the stored number, or 1 when it is out of
// range; 0 for an empty catalog.
SInt32 FirstCurrentItem(SInt32 stored, SInt32 count);
// The position new files are shown from: the drop index, or after the last item when none
// was given (0); at least 1.
SInt32 AddedItemsPosition(SInt32 dropIndex, SInt32 count);
// Opening this many selected items asks first.
inline constexpr SInt32 kOpenAskThreshold = 10;
bool OpeningAsksFirst(SInt32 selected);

// Turns wheel rotation into whole steps of one row: touchpads send many small rotations, a
// wheel one notch at a time. Positive rotation (away from the user) scrolls up (-1 rows).
class WheelSteps {
public:
    // The rows to scroll for this event (0 until a whole step has built up).
    int Add(int rotation, int delta);

private:
    int pending_ = 0;
};
