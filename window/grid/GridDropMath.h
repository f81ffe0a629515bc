// Where a drag over the grid view would drop: the insertion number under the pointer (the
// point moved by half a cell along the order of the items, so the boundary between two cells
// is where the number changes), the rectangle of the drop marker, the rule that decides
// whether dropped files are worth taking, and the tracker that tells each change once.
#pragma once

#include "platform/MacTypes.h"

#include <functional>
#include <string>
#include <vector>

struct ViewRec;

// The view's grid as far as dropping needs it.
struct DropGeometry {
    Rect viewRect{0, 0, 0, 0};
    Point cellSize{0, 0};     // v: height, h: width
    SInt32 firstRow = 0;
    SInt32 firstColumn = 0;
    SInt32 columns = 0;
    SInt32 itemCount = 0;
};
DropGeometry DropGeometryOf(const ViewRec* view);

// The 1-based insertion number for a point in view coordinates, at most item count + 1; -1
// when the point lies outside the view or the grid has no cells.
SInt32 DropIndexAt(const DropGeometry& g, Point pt);
// The marker's rectangle for an insertion number: the cell that number sits in, relative to the
// first visible row and column (empty for -1).
Rect DropMarkerRect(const DropGeometry& g, SInt32 index);

// Whether dropped files are taken: 31 or more at once without looking; 1 to 30 when one of
// them is a folder or a file of a kind the program knows by its name; none never.
inline constexpr std::size_t kFilesTakenUnseen = 31;
bool DroppedFilesAcceptable(const std::vector<std::string>& paths,
                            const std::function<bool(const std::string&)>& isFolder,
                            const std::function<bool(const std::string&)>& knownKind);
// The same with the real file system and the media-kind engine.
bool DroppedFilesAcceptable(const std::vector<std::string>& paths);

// Follows the insertion number during a drag: Move answers true only when the number changed,
// so a listener hears each change exactly once.
class DropIndexTracker {
public:
    bool Move(SInt32 index) {
        if (index == index_) return false;
        index_ = index;
        return true;
    }
    void Reset() { index_ = -1; }
    SInt32 Index() const { return index_; }

private:
    SInt32 index_ = -1;
};

// Within this many pixels of the top or bottom edge a drag scrolls the view by a row.
inline constexpr int kDragScrollBand = 14;
// -1 scroll up, +1 down, 0 none, for a point's y inside a view from top to bottom.
int DragScrollDirection(int top, int bottom, int y);
