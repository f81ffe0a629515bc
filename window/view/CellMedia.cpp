// The Media view's one cell (the current item through the presenter at the chosen zoom, with
// its caption lines) and the hint a view without visible items shows instead of cells.
#include "catalog/items/ItemMediaInfo.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/resources/ResourceStrings.h"
#include "import/adding/AddFiles.h"
#include "window/view/CellPresenter.h"
#include "window/view/CellPrimitives.h"
#include "window/view/CellText.h"
#include "window/view/IconSource.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewLayout.h"

#include <cairo.h>

void CellDrawMedia(const CellDrawArgs& a) {
    ViewRec* view = a.view;
    cairo_t* cr = a.cr;
    if (a.item) {
        // A pending item is read from its file first, so that what is shown is current.
        const ItemEntry* entry = CatalogGetItemEntry(view->catalog, a.item);
        if (entry && (entry->flags & kEntryPendingFlag)) {
            RefreshOptions options{{1, 1, 1, 1, 1, 1, 0, 0}};
            CatalogRefreshVisibleItem(view->catalog, a.item, &options, nullptr);
        }
    }
    const ViewModeSettings* settings = CatalogGetSlotRec16(view->catalog, a.mode);
    const ViewFieldList* fields = a.fields ? a.fields : CatalogGetSlotRec(view->catalog, a.mode);
    const ViewColors* colors = a.colors ? a.colors : CatalogGetSlotRec24(view->catalog, a.mode);
    const CatalogFontEntry* font = CatalogGetFontRec(view->catalog, a.mode);
    const RGBColor bg = colors ? colors->colors[0] : RGBColor{0xFFFF, 0xFFFF, 0xFFFF};
    const RGBColor text = a.label ? a.labelColor : colors ? colors->colors[1] : RGBColor{0, 0, 0};
    ViewCellPartRects parts;
    ViewCellParts(view, a.mode, settings, fields, &a.cell, &parts);
    Rect P = parts.picture;
    FillRectColor(cr, P, bg);
    if (a.item && RectWidth(P) >= 16 && RectHeight(P) >= 16 && (!a.selectionOnly || a.screenOnly)) {
        PresenterDrawArgs pd = PresenterArgsFrom(a, bg);
        pd.scaleDisplay = settings && settings->scaleFigure;
        ItemDrawWithPresenter(view, a.item, pd, &P, a.presenter ? a.presenter : view->media, a.visible);
    }
    if (parts.values[0].right > parts.values[0].left)
        CellDrawCaptions(cr, view, a.item, parts, fields, settings, colors, font, text);
}

std::string EmptyHintText(const ViewRec* view) {
    std::string text;
    LoadResourceStringUtf8(IndexedStringId(134, view->catalog->itemCount != 0 ? 13 : 15), &text);
    return text;
}

void CellDrawEmptyHint(ViewRec* view, cairo_t* cr, const Rect& area) {
    const UInt8 mode = ViewGetMode(view);
    const ViewColors* colors = CatalogGetSlotRec24(view->catalog, mode);
    const CatalogFontEntry* font = CatalogGetFontRec(view->catalog, mode);
    const RGBColor bg = colors ? colors->colors[0] : RGBColor{0xFFFF, 0xFFFF, 0xFFFF};
    const RGBColor ink = colors ? colors->colors[1] : RGBColor{0, 0, 0};
    Rect clip = view->viewRect;
    if (!SectRect(&clip, &area, &clip)) return;
    if (view->updateRgn && !SectRect(&clip, view->updateRgn, &clip)) return;
    cairo_save(cr);
    cairo_rectangle(cr, clip.left, clip.top, RectWidth(clip), RectHeight(clip));
    cairo_clip(cr);
    FillRectColor(cr, view->viewRect, bg);
    const SInt16 cx = SInt16((view->viewRect.left + view->viewRect.right) / 2);
    const SInt16 cy = SInt16((view->viewRect.top + view->viewRect.bottom) / 2);
    FillRectColor(cr, Rect{SInt16(cy - 25), SInt16(cx - 125), SInt16(cy + 25), SInt16(cx - 124)}, ink);
    const Rect icon{SInt16(cy - 15), SInt16(cx - 172), SInt16(cy + 17), SInt16(cx - 140)};
    FillRectColor(cr, icon, RGBColor{0xFFFF, 0xFFFF, 0xFFFF});
    GetIconSource().DrawIcon(cr, kIconEmptyHint, icon);
    const std::string text = EmptyHintText(view);
    CellDrawTextUtf8(cr, text, Rect{SInt16(cy - 13), SInt16(cx - 112), SInt16(cy + 47), SInt16(cx + 288)}, font, 0, kJustLeft,
                     TextFit::Wrap, ink);
    cairo_restore(cr);
}
