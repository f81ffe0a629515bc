// The arithmetic of the side panel's pane frames: two round-bar sections stacked in a pane with
// a 6-pixel split bar between them, the split kept in per-mille of the pane height (0: upper
// section folded to its header, 1000: lower one folded), the catalog's split words (per-mille
// + 1000, so a word below 1000 says "never stored"), and the round-bar header and body
// rectangles. No toolkit here: the wx panes call these and place their children.
#pragma once

#include "platform/MacTypes.h"

inline constexpr int kSplitBarHeight = 6;
inline constexpr int kRoundBarMinHeader = 15;

// A rectangle as the panes use it: left, top, right and bottom (exclusive).
struct PaneRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Height() const { return bottom - top; }
    int Width() const { return right - left; }
    bool operator==(const PaneRect&) const = default;
};

struct SplitLimits {
    int snapLo = 50, snapHi = 950;    // nearer an edge than this folds a section
    int rangeLo = 100, rangeHi = 900; // otherwise no section gets smaller than this
};

// y in the client as per-mille of its height, clamped to 0..1000 (0 for an empty client).
int SplitYToPerMille(const PaneRect& client, int y);
// The split a drag to y gives: folded below snapLo / above snapHi, else clamped to the range.
int SplitFromY(const PaneRect& client, int y, const SplitLimits& limits = {});
// The split a stored word gives: word - 1000 snapped and clamped as a drag would be; a word
// that was never stored (outside 1000..2000) gives fallback.
int SplitFromStoredWord(UInt16 word, int fallback, const SplitLimits& limits = {});
inline UInt16 SplitToStoredWord(int perMille) { return UInt16(perMille + 1000); }

// The sections' rectangles for a split, with headerHeight the round bars' header height.
void SplitComputeRects(const PaneRect& client, int split, int headerHeight, PaneRect* upper, PaneRect* lower);
// Where a press grabs the bar: the bar strip below the upper section, grown by 2 up and down.
PaneRect SplitHitRect(const PaneRect& client, const PaneRect& upper);

// The round bar's header height for a font whose characters are fontHeight high.
inline int RoundBarHeaderHeight(int fontHeight) { return fontHeight > kRoundBarMinHeader ? fontHeight : kRoundBarMinHeader; }
// The header strip: the client's top, header height + 6 high.
PaneRect RoundBarHeaderRect(const PaneRect& client, int headerHeight);
// The body under the header: top moved down by header height + 5, then inset by one pixel.
PaneRect RoundBarBodyRect(const PaneRect& client, int headerHeight);

// The first visible row that keeps row in view, or top when it is in view already: a row
// below the view scrolls down by whole rows, one above it up, each at least one row.
int ListTopForRow(int top, int row, int rowHeight, int clientHeight);
