#include "window/grid/GridDropMath.h"

#include "media/kinds/KindEngine.h"
#include "platform/Files.h"
#include "window/view/ViewRec.h"

#include <sys/stat.h>

DropGeometry DropGeometryOf(const ViewRec* view) {
    DropGeometry g;
    if (!view) return g;
    g.viewRect = view->viewRect;
    g.cellSize = view->cellSize;
    g.firstRow = view->visibleCells[0];
    g.firstColumn = view->visibleCells[1];
    g.columns = view->columnCount;
    g.itemCount = ViewItemCount(view);
    return g;
}

SInt32 DropIndexAt(const DropGeometry& g, Point pt) {
    if (g.cellSize.v <= 0 || g.cellSize.h <= 0 || g.columns <= 0) return -1;
    if (pt.h < g.viewRect.left || pt.h >= g.viewRect.right || pt.v < g.viewRect.top || pt.v >= g.viewRect.bottom)
        return -1;
    SInt32 x = pt.h - g.viewRect.left;
    SInt32 y = pt.v - g.viewRect.top;
    // Items follow each other down a single column, else across a row: the half-cell shift goes
    // that way, so the pointer over the second half of a cell means "after it".
    if (g.columns == 1) y += g.cellSize.v / 2;
    else x += g.cellSize.h / 2;
    SInt32 row = y / g.cellSize.v + g.firstRow;
    SInt32 column = x / g.cellSize.h + g.firstColumn;
    SInt32 index;
    if (column >= g.columns) {
        // Past the last column: after the row's last item, which is before the next row's first.
        index = (row + 1) * g.columns + 1;
    } else {
        index = row * g.columns + column + 1;
    }
    if (index > g.itemCount + 1) index = g.itemCount + 1;
    return std::max<SInt32>(1, index);
}

Rect DropMarkerRect(const DropGeometry& g, SInt32 index) {
    if (index < 1 || g.columns <= 0) return Rect{0, 0, 0, 0};
    const SInt32 row = (index - 1) / g.columns, column = (index - 1) % g.columns;
    const SInt32 left = (column - g.firstColumn) * g.cellSize.h + g.viewRect.left;
    const SInt32 top = (row - g.firstRow) * g.cellSize.v + g.viewRect.top;
    return Rect{SInt16(top), SInt16(left), SInt16(top + g.cellSize.v), SInt16(left + g.cellSize.h)};
}

bool DroppedFilesAcceptable(const std::vector<std::string>& paths,
                            const std::function<bool(const std::string&)>& isFolder,
                            const std::function<bool(const std::string&)>& knownKind) {
    if (paths.size() >= kFilesTakenUnseen) return true;
    for (const std::string& p : paths)
        if (isFolder(p) || knownKind(p)) return true;
    return false;
}

bool DroppedFilesAcceptable(const std::vector<std::string>& paths) {
    return DroppedFilesAcceptable(
        paths,
        [](const std::string& p) {
            struct stat st{};
            return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        },
        [](const std::string& p) {
            FSSpec spec;
            spec.path = p;
            return KindTypeFromExtension(&spec, nullptr) != 0;
        });
}

int DragScrollDirection(int top, int bottom, int y) {
    if (y >= top && y <= top + kDragScrollBand) return -1;
    if (y >= bottom - kDragScrollBand && y <= bottom) return 1;
    return 0;
}
