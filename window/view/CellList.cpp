// The List view's row: the item's icon (its thumbnail shrunk into a 16- or 32-pixel square, or
// its category icon) with its badge, one text column per field, the grid line, and the row's
// selection colours; and the marker of the item being played.
#include "catalog/items/ItemRecords.h"
#include "catalog/tables/CatalogTables.h"
#include "media/kinds/KindTable.h"
#include "window/view/CellPresenter.h"
#include "window/view/CellPrimitives.h"
#include "window/view/CellText.h"
#include "window/view/ItemPicture.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewLayout.h"

#include <cairo.h>


CellColors ListRowColors(const RGBColor& text, const RGBColor& background, bool selected, bool current, bool labelled) {
    if (!selected) return CellColors{text, background};
    CellColors c{ViewSelectionColor(text, current), ViewSelectionColor(background, current)};
    if (labelled) c.text = text;
    return c;
}

void CellDrawListRow(const CellDrawArgs& a) {
    ViewRec* view = a.view;
    cairo_t* cr = a.cr;
    const ViewModeSettings* settings = CatalogGetSlotRec16(view->catalog, a.mode);
    const ViewFieldList* fields = a.fields ? a.fields : CatalogGetSlotRec(view->catalog, a.mode);
    const ViewColors* colors = a.colors ? a.colors : CatalogGetSlotRec24(view->catalog, a.mode);
    const CatalogFontEntry* font = CatalogGetFontRec(view->catalog, a.mode);
    const RGBColor bg = colors ? colors->colors[0] : RGBColor{0xFFFF, 0xFFFF, 0xFFFF};
    const RGBColor text = a.label ? a.labelColor : colors ? colors->colors[1] : RGBColor{0, 0, 0};
    const RGBColor grid = colors ? colors->colors[3] : RGBColor{0xDDDD, 0xDDDD, 0xDDDD};
    const Rect& C = a.cell;
    ViewCellPartRects parts;
    ViewCellParts(view, a.mode, settings, fields, &C, &parts);
    const bool large = settings && settings->sizeStep == 2;
    const CellColors row = ListRowColors(text, bg, a.selected, a.current, a.label != 0);
    // The row's background first (a cell is drawn whole here), then the parts over it.
    FillRectColor(cr, Rect{C.top, C.left, SInt16(C.bottom - 1), C.right}, row.background);
    if (!a.selectionOnly) DrawLineColor(cr, Point{SInt16(C.bottom - 1), C.left}, Point{SInt16(C.bottom - 1), C.right}, grid);
    const Rect& IR = parts.picture;
    if (a.item && !a.selectionOnly && !a.noIcons && (!view->updateRgn || RectsIntersect(IR, *view->updateRgn))) {
        ItemRec record{};
        ItemReadRecord(view->catalog, a.item, &record);
        const UInt8 category = KindGetCategory(record.kind);
        const SInt32 state = view->media ? MediaObjectGetPictureInfo(view->media) : 0;
        const bool played = CellItemPlayedHere(view, a.item);
        Rect P = IR;
        ItemPictureArgs pa;
        pa.background = bg;
        pa.forPrint = a.forPrint;
        pa.largeIcon = large;
        pa.tryThumbnail = !(settings && settings->iconsOnly);
        if (played && state == kMediaShowsPicture) {
            PresenterDrawArgs pd = PresenterArgsFrom(a, bg);
            ItemDrawWithPresenter(view, a.item, pd, &P, view->media, a.visible);
        } else if (played && state == kMediaShowsPreview) {
            pa.draw = false;
            ItemDrawPicture(view, a.item, category, pa, cr, &P);
            Rect box;
            ItemDrawBadge(cr, record.kind, category, P, &box, large, false, a.forPrint);
            if (box.right > box.left) {
                PresenterDrawArgs pd = PresenterArgsFrom(a, bg);
                ItemDrawWithPresenter(view, a.item, pd, &box, view->media, a.visible);
            }
        } else {
            const bool thumbnail = ItemDrawPicture(view, a.item, category, pa, cr, &P);
            if (thumbnail && settings && settings->labelFrame) FrameRectWidth(cr, 1, P, text);
            ItemDrawBadge(cr, record.kind, category, IR, nullptr, large, true, a.forPrint);
        }
        const SInt16 columnLeft = parts.values[0].right > parts.values[0].left ? parts.values[0].left : C.right;
        const Rect iconColumn{C.top, C.left, SInt16(C.bottom - 1), columnLeft};
        if (!(played && state == kMediaShowsPicture)) {
            // Around the icon only: a thumbnail or icon smaller than its square keeps the row's
            // colour beside it.
            Rect inner = P;
            if (RectWidth(inner) <= 0) inner = IR;
            FillFrameGap(cr, iconColumn, inner, row.background);
        }
    }
    if (!fields) return;
    for (int i = 0; i < 10 && fields->fields[i].fieldId != 0; ++i) {
        const Rect& V = parts.values[i];
        if (V.right <= V.left || V.bottom <= V.top) break;
        CellDrawFieldText(cr, view, V, kJustLeft, fields->fields[i], font, false, true, a.item, row);
        const Rect strip{C.top, V.left, SInt16(C.bottom - 1), V.right};
        FillFrameGap(cr, strip, Rect{SInt16(V.top + 2), SInt16(V.left + 2), SInt16(V.bottom - 2), SInt16(V.right - 2)},
                     row.background);
    }
}

void CellDrawPlayMarker(ViewRec* view, cairo_t* cr, const Rect& C) {
    const UInt8 mode = ViewGetMode(view);
    const ViewColors* colors = CatalogGetSlotRec24(view->catalog, mode);
    const RGBColor bg = colors ? colors->colors[0] : RGBColor{0xFFFF, 0xFFFF, 0xFFFF};
    const RGBColor ink = bg.red > 0x4040 ? RGBColor{0, 0, 0} : RGBColor{0xFFFF, 0xFFFF, 0xFFFF};
    if (mode == kViewThumbnail) {
        // Four corner brackets, each two 16-pixel strokes of a 2-pixel pen.
        const SInt16 l = SInt16(C.left + 1), t = SInt16(C.top + 1), r = SInt16(C.right - 2), b = SInt16(C.bottom - 2);
        FillRectColor(cr, Rect{t, l, SInt16(t + 2), SInt16(l + 16)}, ink);
        FillRectColor(cr, Rect{t, l, SInt16(t + 16), SInt16(l + 2)}, ink);
        FillRectColor(cr, Rect{t, SInt16(r - 14), SInt16(t + 2), SInt16(r + 2)}, ink);
        FillRectColor(cr, Rect{t, r, SInt16(t + 16), SInt16(r + 2)}, ink);
        FillRectColor(cr, Rect{b, l, SInt16(b + 2), SInt16(l + 16)}, ink);
        FillRectColor(cr, Rect{SInt16(b - 14), l, SInt16(b + 2), SInt16(l + 2)}, ink);
        FillRectColor(cr, Rect{b, SInt16(r - 14), SInt16(b + 2), SInt16(r + 2)}, ink);
        FillRectColor(cr, Rect{SInt16(b - 14), r, SInt16(b + 2), SInt16(r + 2)}, ink);
    } else if (mode == kViewList) {
        const SInt16 t = C.top, b = SInt16(C.top + (C.bottom - C.top) - 2);
        const SInt16 l = SInt16(C.left + 8), r = SInt16(C.right - 9);
        // Left bracket: 8 pixels left, down, 8 pixels right; the right one mirrored.
        FillRectColor(cr, Rect{t, SInt16(l - 8), SInt16(t + 1), SInt16(l + 1)}, ink);
        FillRectColor(cr, Rect{t, SInt16(l - 8), SInt16(b + 1), SInt16(l - 7)}, ink);
        FillRectColor(cr, Rect{b, SInt16(l - 8), SInt16(b + 1), SInt16(l + 1)}, ink);
        FillRectColor(cr, Rect{t, r, SInt16(t + 1), SInt16(r + 9)}, ink);
        FillRectColor(cr, Rect{t, SInt16(r + 8), SInt16(b + 1), SInt16(r + 9)}, ink);
        FillRectColor(cr, Rect{b, r, SInt16(b + 1), SInt16(r + 9)}, ink);
    }
}
