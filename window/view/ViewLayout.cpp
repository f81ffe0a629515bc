#include "window/view/ViewLayout.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldDef.h"
#include "catalog/tables/CatalogTables.h"
#include "window/view/ViewFonts.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

SInt16 Clamp16(SInt64 v) { return SInt16(std::clamp<SInt64>(v, -32768, 32767)); }

// Measures the mode's fonts again only when the font changed: the widest field name takes a
// layout per field.
void MeasureFonts(ViewRec* view, UInt8 mode) {
    CatalogRec* catalog = view->catalog;
    CatalogFontEntry* font = catalog ? CatalogGetFontRec(catalog, mode) : nullptr;
    CatalogFontEntry fallback{};
    if (!font) font = &fallback;
    std::string key = std::string(font->name, strnlen(font->name, sizeof(font->name))) + "/" +
                      std::to_string(font->size ? font->size : 9);
    if (key == view->measuredFont) return;
    SInt16 widest = 0;
    if (catalog) {
        for (int n = 1;; ++n) {
            FieldId id = FieldIdAt(n);
            if (id == 0) break;
            Str255 name;
            if (!FieldGetName(catalog, id, name) || name[0] == 0) continue;
            widest = std::max(widest, ViewFontTextWidth(font, true, std::string(reinterpret_cast<char*>(name + 1), name[0])));
        }
    }
    view->labelWidth = widest;
    view->colonWidth = ViewFontTextWidth(font, true, ":");
    view->lineHeight = ViewFontLineHeight(font, false);
    view->measuredFont = key;
}

int FieldEntryCount(const ViewFieldList* fields) {
    int n = 0;
    while (fields && n < 10 && fields->fields[n].fieldId != 0) ++n;
    return n;
}

// One axis of the visible range: the first and the end (exclusive) of the cells on screen.
void ClampAxis(SInt32 count, SInt32 cellExtent, SInt32 viewExtent, SInt32* first, SInt32* end, SInt32* fullyVisible) {
    SInt32 page = 0;
    bool partial = false;
    if (cellExtent > 0) {
        page = viewExtent / cellExtent;
        partial = viewExtent % cellExtent != 0;
        if (partial) ++page;
    }
    if (count < page || (count == page && !partial)) {
        *first = 0;
        *end = count;
    } else {
        if (*first < 0) *first = 0;
        if (SInt64(*first) + page > count) {
            *end = count;
            *first = count - page + (partial ? 1 : 0);
        } else {
            *end = *first + page;
        }
    }
    *fullyVisible = page - (partial ? 1 : 0);
}

}  // namespace

SInt32 ThumbCaptionHeight(const ViewFieldList* fields, SInt32 lineHeight, SInt32* linesOut) {
    int entries = FieldEntryCount(fields);
    SInt32 lines = 0;
    for (int i = 0; i < entries; ++i) lines += fields->fields[i].value;
    if (linesOut) *linesOut = lines;
    if (entries == 0) return 0;
    return lines * lineHeight + 5 * entries - 1;
}

void ViewCellSizeForMode(ViewRec* view, UInt8 mode, SInt32 width, SInt32 height, Point* out) {
    Point size{0, 0};
    MeasureFonts(view, mode);
    CatalogRec* catalog = view->catalog;
    ViewModeSettings* settings = catalog ? CatalogGetSlotRec16(catalog, mode) : nullptr;
    if (width > 0 && height > 0 && settings) {
        if (mode == kViewList) {
            size.h = Clamp16(width);
            size.v = Clamp16(std::max<SInt32>(view->lineHeight + 4, settings->sizeStep * 16 + 2) + 1);
        } else if (mode == kViewThumbnail) {
            SInt32 s = CatalogGetSlotSize(catalog, mode);
            SInt32 pw = s, ph = s;
            if (settings->aspect == 1) ph = s * 3 / 4;
            if (settings->aspect == 2) pw = s * 3 / 4;
            if (settings->frameStyle) {
                pw += 16;
                ph += 16;
            }
            SInt32 c = ThumbCaptionHeight(CatalogGetSlotRec(catalog, mode), view->lineHeight, nullptr);
            size.h = Clamp16(pw + 5);
            size.v = Clamp16(c > 0 ? ph + c + 7 : ph + 5);
        } else {
            size.h = Clamp16(width);
            size.v = Clamp16(height);
        }
    }
    if (out) *out = size;
}

void ViewGridSize(ViewRec* view, UInt8 mode, SInt32 width, SInt32 cellWidth, SInt32* rows, SInt32* columns) {
    SInt32 r = 0, c = 0;
    if (cellWidth > 0) {
        SInt32 count = ViewItemCount(view);
        if (mode == kViewThumbnail) {
            c = std::max<SInt32>(1, width / cellWidth);
            r = count / c + (count % c ? 1 : 0);
        } else {
            c = 1;
            r = count;
        }
    }
    if (rows) *rows = r;
    if (columns) *columns = c;
}

void ViewComputeLayout(ViewRec* view, CatalogRec* catalog, UInt8 mode, SInt32 width, SInt32 height, Point* cellSize,
                       SInt32* rows, SInt32* columns) {
    Point size;
    ViewCellSizeForMode(view, mode, width, height, &size);
    if (cellSize) *cellSize = size;
    ViewGridSize(view, mode, width, size.h, rows, columns);
}

void ViewLayout(ViewRec* view, CatalogRec* catalog) {
    if (!view) return;
    const UInt8 mode = ViewGetMode(view);
    if (mode != kViewMedia)
        view->firstVisibleItem = view->columnCount * view->visibleCells[0] + view->visibleCells[1] + 1;
    const SInt32 w = view->viewRect.right - view->viewRect.left, h = view->viewRect.bottom - view->viewRect.top;
    ViewComputeLayout(view, catalog, mode, w, h, &view->cellSize, &view->rowCount, &view->columnCount);
    if (mode != kViewMedia && ViewItemCount(view) > 0) {
        ViewCell cell = ViewItemToCell(view, view->firstVisibleItem);
        view->visibleCells[0] = cell.row;
        view->visibleCells[1] = cell.column;
    }
    ViewUpdateVisibleRange(view);
}

SInt32 ViewPageRows(const ViewRec* view, bool* partial) {
    SInt32 h = view->viewRect.bottom - view->viewRect.top;
    SInt32 page = 0;
    bool p = false;
    if (view->cellSize.v > 0) {
        page = h / view->cellSize.v;
        p = h % view->cellSize.v != 0;
        if (p) ++page;
    }
    if (partial) *partial = p;
    return page;
}

void ViewUpdateVisibleRange(ViewRec* view) {
    if (!view) return;
    SInt32 fullRows = 0, fullColumns = 0;
    ClampAxis(view->rowCount, view->cellSize.v, view->viewRect.bottom - view->viewRect.top, &view->visibleCells[0],
              &view->visibleCells[2], &fullRows);
    ClampAxis(view->columnCount, view->cellSize.h, view->viewRect.right - view->viewRect.left, &view->visibleCells[1],
              &view->visibleCells[3], &fullColumns);
    if (view->scrollProc)
        view->scrollProc(view->scrollRefCon, view->visibleCells[0], std::max<SInt32>(0, view->rowCount - fullRows), fullRows);
}

void ViewCellRect32(const ViewRec* view, ViewCell cell, SInt32 out[4]) {
    out[0] = out[1] = out[2] = out[3] = 0;
    if (!view || cell.row < 0 || cell.column < 0 || cell.row >= view->rowCount || cell.column >= view->columnCount) return;
    out[0] = (cell.row - view->visibleCells[0]) * view->cellSize.v + view->viewRect.top;
    out[1] = (cell.column - view->visibleCells[1]) * view->cellSize.h + view->viewRect.left;
    out[2] = out[0] + view->cellSize.v;
    out[3] = out[1] + view->cellSize.h;
}

void ViewCellRect(const ViewRec* view, ViewCell cell, Rect* out) {
    SInt32 r[4];
    ViewCellRect32(view, cell, r);
    *out = Rect{Clamp16(r[0]), Clamp16(r[1]), Clamp16(r[2]), Clamp16(r[3])};
}

ViewCell ViewItemToCell(const ViewRec* view, SInt32 item) {
    if (item < 1) item = 1;
    if (view->columnCount <= 0) return ViewCell{0, item - 1};
    return ViewCell{(item - 1) / view->columnCount, (item - 1) % view->columnCount};
}

SInt32 ViewCellToIndex(const ViewRec* view, ViewCell cell) { return view->columnCount * cell.row + cell.column + 1; }

bool ViewIsCellVisible(const ViewRec* view, ViewCell cell) {
    return view->visibleCells[0] <= cell.row && cell.row < view->visibleCells[2] && view->visibleCells[1] <= cell.column &&
           cell.column < view->visibleCells[3];
}

bool ViewHitTest(const ViewRec* view, Point pt, ViewCell* cell, bool* selected) {
    if (selected) *selected = false;
    if (!view || view->cellSize.h <= 0 || view->cellSize.v <= 0) return false;
    const SInt64 left = SInt64(view->viewRect.left) - SInt64(view->visibleCells[1]) * view->cellSize.h;
    const SInt64 top = SInt64(view->viewRect.top) - SInt64(view->visibleCells[0]) * view->cellSize.v;
    if (pt.h < left || pt.h >= left + SInt64(view->columnCount) * view->cellSize.h) return false;
    if (pt.v < top || pt.v >= top + SInt64(view->rowCount) * view->cellSize.v) return false;
    ViewCell c{SInt32((pt.v - top) / view->cellSize.v), SInt32((pt.h - left) / view->cellSize.h)};
    if (cell) *cell = c;
    SInt32 item = ViewCellToIndex(view, c);
    if (item > ViewItemCount(view)) return false;
    if (selected) *selected = ViewBitTest(view, item);
    return true;
}

bool ViewFindSelectedFrom(const ViewRec* view, ViewCell* cell, bool search) {
    SInt32 k = view->columnCount * cell->row + cell->column;
    SInt32 count = ViewItemCount(view);
    if (k < 0 || k >= count) return false;
    if (ViewBitTest(view, k + 1)) return true;
    if (!search) return false;
    for (SInt32 item = k + 2; item <= count; ++item) {
        if (ViewBitTest(view, item)) {
            *cell = ViewItemToCell(view, item);
            return true;
        }
    }
    return false;
}

bool ViewFirstSelectedCell(const ViewRec* view, ViewCell* cell) {
    *cell = ViewCell{0, 0};
    return ViewFindSelectedFrom(view, cell, true);
}

void ViewCellParts(const ViewRec* view, UInt8 mode, const ViewModeSettings* settings, const ViewFieldList* fields,
                   const Rect* cell, ViewCellPartRects* out) {
    *out = ViewCellPartRects{};
    const Rect R = *cell;
    const SInt32 h = R.bottom - R.top;
    const SInt32 lineHeight = view->lineHeight;
    const int entries = FieldEntryCount(fields);
    if (mode == kViewList) {
        const SInt32 i = settings && settings->sizeStep == 2 ? 32 : 16;
        Rect icon;
        icon.left = Clamp16(R.left + 2);
        icon.right = Clamp16(icon.left + i);
        icon.top = Clamp16(R.top + (h - i) / 2);
        icon.bottom = Clamp16(icon.top + i);
        out->frame = out->picture = icon;
        const SInt16 bandTop = Clamp16(R.top + (h - lineHeight - 4) / 2);
        const SInt16 bandBottom = Clamp16(bandTop + lineHeight + 4);
        SInt32 left = icon.right + 2;
        for (int k = 0; k < entries; ++k) {
            SInt32 right = left + fields->fields[k].value;
            const bool last = k == entries - 1 || k == 9 || right > R.right;
            if (last) right = R.right;
            out->values[k] = Rect{bandTop, Clamp16(left), bandBottom, Clamp16(right)};
            if (last) break;
            left = right;
        }
        return;
    }
    const SInt32 p = mode == kViewThumbnail ? 2 : 0;
    const SInt32 q = mode == kViewThumbnail ? 1 : 0;
    const SInt32 f = mode == kViewThumbnail && settings && settings->frameStyle ? 8 : 0;
    const SInt32 c = ThumbCaptionHeight(fields, lineHeight, nullptr);
    const SInt32 captionTop = R.bottom - p - c;
    out->frame = Rect{Clamp16(R.top + p + q), Clamp16(R.left + p + q), Clamp16((c > 0 ? captionTop : R.bottom) - p),
                      Clamp16(R.right - p)};
    out->picture = Rect{Clamp16(out->frame.top + f), Clamp16(out->frame.left + f), Clamp16(out->frame.bottom - f),
                        Clamp16(out->frame.right - f)};
    if (c <= 0) return;
    const SInt32 blockBottom = captionTop + c;
    const SInt32 lineLeft = R.left + p + q, lineRight = R.right - p;
    const SInt32 lineWidth = lineRight - lineLeft;
    SInt32 top = captionTop;
    for (int k = 0; k < entries; ++k) {
        SInt32 bottom = top + fields->fields[k].value * lineHeight + 4;
        if (bottom > blockBottom) break;
        if (k == entries - 1 && lineHeight > 0)
            while (bottom + lineHeight <= blockBottom) bottom += lineHeight;
        Rect line{Clamp16(top), Clamp16(lineLeft), Clamp16(bottom), Clamp16(lineRight)};
        if (settings && settings->labelsShown) {
            SInt32 lw = settings->alignedCaptions ? lineWidth / 2
                                                  : std::min(view->labelWidth + view->colonWidth + 10, lineWidth * 2 / 5);
            out->labels[k] = line;
            out->labels[k].right = Clamp16(lineLeft + lw);
            out->values[k] = line;
            out->values[k].left = Clamp16(lineLeft + lw + 1);
        } else {
            out->values[k] = line;
        }
        top = bottom + 1;
    }
}
