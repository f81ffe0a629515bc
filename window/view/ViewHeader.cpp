#include "window/view/ViewHeader.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldDef.h"
#include "catalog/items/CustomFields.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/format/NumberFormat.h"
#include "foundation/interface/Cursors.h"
#include "foundation/interface/FitRect.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/settings/Preferences.h"
#include "foundation/text/Unicode.h"
#include "media/imaging/PortBridge.h"
#include "media/kinds/KindTable.h"
#include "media/presenters/MediaObject.h"
#include "platform/UiHooks.h"
#include "window/view/CellPrimitives.h"
#include "window/view/CellText.h"
#include "window/view/IconSource.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewModes.h"
#include "window/view/ViewPlayback.h"
#include "window/view/ViewPort.h"

#include <cairo.h>

#include <algorithm>
#include <cstdlib>
#include <cstddef>
#include <cstring>

namespace {

HeaderHooks gHooks;
HeaderColors gColors;

constexpr SInt16 kButton = 16;
constexpr SInt16 kBorderSlop = 3;        // pixels either side of a column border that grab it
constexpr SInt16 kClickTolerance = 6;    // a column press that moves less is a click
constexpr UInt32 kFirstRepeatTicks = 20, kNextRepeatTicks = 2;
constexpr std::uint32_t kRepeatTimerMs = 17;  // about a tick
constexpr SInt32 kFirstColumnMin = 120, kColumnMin = 40, kToolsGap = 30;
constexpr UInt8 kCategoryFont = 5;

bool Inside(const Rect& r, Point p) { return p.h >= r.left && p.h < r.right && p.v >= r.top && p.v < r.bottom; }
bool Empty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

std::string Pascal(ConstStr255Param s) { return AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(s + 1), s[0])); }
std::string Indexed(long list, long index) {
    std::string t;
    LoadResourceStringUtf8(IndexedStringId(list, index), &t);
    return t;
}

// The left edge of column i before trimming (the previous column's right, or the start).
SInt16 ColumnStart(const ViewRec* view, int i) {
    const ViewModeSettings* s = CatalogGetSlotRec16(view->catalog, kViewList);
    if (i == 0) return SInt16(view->headerRect.left + (s && s->sizeStep == 2 ? 32 : 16));
    return SInt16(view->columnRects[i - 1].right + 6);
}

int ColumnCount(const ViewRec* view) {
    int n = 0;
    while (n < 10 && !Empty(view->columnRects[n])) ++n;
    return n;
}

bool ImageStepping(ViewRec* view, UInt32* position, UInt32* count) {
    UInt32 p = 0, n = 0;
    if (!view->media || !MediaObjectGetSizeAndTime(view->media, &p, &n, nullptr, nullptr)) return false;
    if (position) *position = p;
    if (count) *count = n;
    return true;
}

void RedrawAll(ViewRec* view) {
    ViewDrawHeaderBar(view);
    ViewRedraw(view, nullptr);
}

void StopRepeat(ViewRec* view) {
    if (view->headerTrack.repeatTimer) Timers().Stop(view->headerTrack.repeatTimer);
    view->headerTrack.repeatTimer = 0;
}

void ZoomStep(ViewRec* view, bool in) {
    ViewZoom(view, in);
    view->headerTrack.lastStepTicks = TickCount();
    view->headerTrack.steps += 1;
}

// The Media view's zoom buttons repeat while held over them: the second step after 20 ticks,
// then one every 2.
void RepeatTick(ViewRec* view) {
    auto& t = view->headerTrack;
    if (!t.inside) return;
    const UInt32 wait = t.steps <= 1 ? kFirstRepeatTicks : kNextRepeatTicks;
    if (TickCount() - t.lastStepTicks > wait) ZoomStep(view, t.part == kHeaderHitZoomIn);
}

void DrawButton(cairo_t* cr, const Rect& r, int icon, int state) {
    if (Empty(r)) return;
    const Rect b{SInt16(r.top + 1), r.left, SInt16(r.top + 1 + kButton), SInt16(r.left + kButton)};
    const RGBColor tl = state == 1 ? gColors.highlight : state == 2 ? gColors.shadow : gColors.face;
    const RGBColor br = state == 1 ? gColors.shadow : state == 2 ? gColors.highlight : gColors.face;
    FillRectColor(cr, Rect{b.top, b.left, SInt16(b.top + 1), b.right}, tl);
    FillRectColor(cr, Rect{b.top, b.left, b.bottom, SInt16(b.left + 1)}, tl);
    FillRectColor(cr, Rect{SInt16(b.bottom - 1), b.left, b.bottom, b.right}, br);
    FillRectColor(cr, Rect{b.top, SInt16(b.right - 1), b.bottom, b.right}, br);
    FillRectColor(cr, Rect{SInt16(b.top + 1), SInt16(b.left + 1), SInt16(b.bottom - 1), SInt16(b.right - 1)}, gColors.face);
    const SInt16 d = state == 2 ? 1 : 0;
    const Rect icon16{SInt16(b.top + 2 + d), SInt16(b.left + 2 + d), SInt16(b.top + 14 + d), SInt16(b.left + 14 + d)};
    GetIconSource().DrawIcon(cr, icon, icon16);
}

int PartState(const ViewRec* view, SInt32 part) {
    const auto& t = view->headerTrack;
    if (t.part == part) return t.inside ? 2 : 0;
    return view->hoverPart == part ? 1 : 0;
}

}  // namespace

void ViewSetHeaderHooks(const HeaderHooks* hooks) { gHooks = hooks ? *hooks : HeaderHooks{}; }
void ViewSetHeaderColors(const HeaderColors& colors) { gColors = colors; }

void ViewSetHeaderRect(ViewRec* view, SInt16 top, SInt16 left, SInt16 bottom, SInt16 right) {
    if (view) view->headerRect = Rect{top, left, bottom, right};
}

void ViewLayoutHeader(ViewRec* view) {
    view->sortButton = view->infoRect = view->menuButton = Rect{};
    for (Rect& r : view->columnRects) r = Rect{};
    for (Rect& r : view->playButtons) r = Rect{};
    for (Rect& r : view->toolButtons) r = Rect{};
    if (Empty(view->headerRect)) return;
    const Rect R{SInt16(view->headerRect.top + 1), view->headerRect.left, SInt16(view->headerRect.bottom - 1),
                 view->headerRect.right};
    view->sortButton = Rect{R.top, SInt16(R.left + 2), R.bottom, SInt16(R.left + 18)};
    view->menuButton = Rect{R.top, SInt16(R.right - 18), R.bottom, SInt16(R.right - 2)};
    SInt16 x = SInt16(R.right - 18);
    for (int i = 0; i < 4; ++i) view->toolButtons[i] = Rect{R.top, SInt16(x - 64 + 16 * i), R.bottom, SInt16(x - 48 + 16 * i)};
    x = SInt16(x - 66);
    const UInt8 mode = ViewGetMode(view);
    if (mode == kViewMedia && ImageStepping(view, nullptr, nullptr)) {
        for (int i = 0; i < 4; ++i) view->playButtons[i] = Rect{R.top, SInt16(x - 64 + 16 * i), R.bottom, SInt16(x - 48 + 16 * i)};
        x = SInt16(x - 66);
    }
    if (mode == kViewList) {
        const ViewFieldList* fields = CatalogGetSlotRec(view->catalog, kViewList);
        const ViewModeSettings* s = CatalogGetSlotRec16(view->catalog, kViewList);
        SInt32 x0 = R.left + (s && s->sizeStep == 2 ? 32 : 16);
        for (int i = 0; fields && i < 10 && fields->fields[i].fieldId != 0 && x0 < x; ++i) {
            SInt32 right = x0 + fields->fields[i].value;
            const bool last = i == 9 || (i + 1 < 10 && fields->fields[i + 1].fieldId == 0) || right > x;
            if (last) right = x;
            view->columnRects[i] = Rect{SInt16(R.top + 2), SInt16(x0 + 5), SInt16(R.bottom - 1), SInt16(right - 6)};
            if (last) break;
            x0 = right;
        }
    } else {
        view->infoRect = Rect{R.top, SInt16(R.left + 18 + 5), R.bottom, SInt16(x - 5)};
    }
}

SInt32 ViewHitHeader(ViewRec* view, Point p) {
    if (!view || !Inside(view->headerRect, p)) return kHeaderHitNone;
    ViewLayoutHeader(view);
    if (Inside(view->sortButton, p)) return kHeaderHitSort;
    if (Inside(view->menuButton, p)) return kHeaderHitMenu;
    for (int i = 0; i < 4; ++i)
        if (Inside(view->toolButtons[i], p)) return kHeaderHitRotateLeft + i;
    for (int i = 0; i < 4; ++i)
        if (Inside(view->playButtons[i], p)) return kHeaderHitFirstImage + i;
    const int n = ColumnCount(view);
    for (int i = 0; i < std::min(n - 1, 8); ++i) {
        const SInt16 border = SInt16(view->columnRects[i].right + 6);
        if (p.v >= view->headerRect.top && p.v < view->headerRect.bottom && std::abs(p.h - border) <= kBorderSlop)
            return kHeaderHitBorder + i;
    }
    for (int i = 0; i < n; ++i) {
        Rect cell = view->columnRects[i];
        cell.left = SInt16(cell.left - 5);
        cell.right = SInt16(cell.right + 6);
        cell.top = view->headerRect.top;
        cell.bottom = view->headerRect.bottom;
        if (Inside(cell, p)) return kHeaderHitColumn + i;
    }
    if (Inside(view->infoRect, p)) return kHeaderHitInfo;
    return kHeaderHitNone;
}

short ViewHeaderCursor(ViewRec* view, Point p) {
    const SInt32 hit = ViewHitHeader(view, p);
    return hit >= kHeaderHitBorder && hit < kHeaderHitBorder + 8 ? kCursorResizeColumn : short(kCursorArrow);
}

void ViewHeaderSetCursor(ViewRec* view, Point p) { SetCursorKind(ViewHeaderCursor(view, p)); }

long ViewHeaderMouseDown(ViewRec* view, Point p, bool contextClick) {
    if (!view || !Inside(view->headerRect, p)) return 0;
    const SInt32 hit = ViewHitHeader(view, p);
    if (hit == kHeaderHitNone) return 1;
    if (contextClick) {
        if (gHooks.fieldMenu) gHooks.fieldMenu(view, p);
        return 3;
    }
    if (hit == kHeaderHitInfo) return 2;
    if (hit == kHeaderHitMenu) {
        if (gHooks.viewMenu) gHooks.viewMenu(view, p);
        return 3;
    }
    StopRepeat(view);
    auto& t = view->headerTrack;
    t = ViewRec::HeaderTrack{};
    t.part = hit;
    t.inside = true;
    t.start = t.last = p;
    if ((hit == kHeaderHitZoomOut || hit == kHeaderHitZoomIn) && ViewGetMode(view) == kViewMedia) {
        ZoomStep(view, hit == kHeaderHitZoomIn);
        t.repeatTimer = Timers().Start(kRepeatTimerMs, [view](TimerId) { RepeatTick(view); });
    }
    ViewDrawHeaderBar(view);
    return 3;
}

void ViewHeaderMouseMove(ViewRec* view, Point p) {
    if (!view) return;
    auto& t = view->headerTrack;
    if (!t.part) {
        ViewHeaderHover(view, p);
        return;
    }
    t.last = p;
    const SInt32 part = t.part;
    if (part >= kHeaderHitBorder) {
        // The column's width follows the mouse, within its limits.
        const int i = part - kHeaderHitBorder;
        ViewFieldList* fields = CatalogGetSlotRec(view->catalog, kViewList);
        const SInt32 start = ColumnStart(view, i);
        const SInt32 least = start + (i == 0 ? kFirstColumnMin : kColumnMin);
        const SInt32 most = std::max<SInt32>(least, view->toolButtons[0].left - kToolsGap);
        const SInt32 edge = std::clamp<SInt32>(p.h, least, most);
        const UInt16 width = UInt16(edge - start);
        if (fields && fields->fields[i].value != width) {
            fields->fields[i].value = width;
            CatalogSetModified(view->catalog);
            ViewLayout(view, view->catalog);
            RedrawAll(view);
        }
        return;
    }
    if (part >= kHeaderHitColumn) {
        const Rect& cell = view->columnRects[part - kHeaderHitColumn];
        if (!t.dragging && !PointsNear(p, t.start, kClickTolerance)) t.dragging = true;
        if (t.dragging) {
            // The frame follows horizontally, right of the first column and 3 pixels short of
            // the tools.
            const SInt16 width = SInt16(cell.right - cell.left);
            SInt16 left = SInt16(cell.left + (p.h - t.start.h));
            left = std::max<SInt16>(left, view->columnRects[0].right);
            left = std::min<SInt16>(left, SInt16(view->toolButtons[0].left - 3 - width));
            t.dragFrame = Rect{cell.top, left, cell.bottom, SInt16(left + width)};
        }
        t.inside = Inside(Rect{view->headerRect.top, SInt16(cell.left - 5), view->headerRect.bottom, SInt16(cell.right + 6)}, p);
        ViewDrawHeaderBar(view);
        return;
    }
    const bool inside = ViewHitHeader(view, p) == part;
    if (inside != t.inside) {
        t.inside = inside;
        ViewDrawHeaderBar(view);
    }
}

void ViewHeaderMouseUp(ViewRec* view, Point p) {
    if (!view) return;
    auto& t = view->headerTrack;
    const SInt32 part = t.part;
    if (!part) return;
    ViewHeaderMouseMove(view, p);
    const bool inside = part >= kHeaderHitBorder ? true : t.inside;
    const bool dragging = t.dragging;
    StopRepeat(view);
    t = ViewRec::HeaderTrack{};
    const UInt8 mode = ViewGetMode(view);
    switch (part) {
    case kHeaderHitSort:
        if (inside) ViewSortByField(view, kSortReverse, 1);
        break;
    case kHeaderHitRotateLeft:
    case kHeaderHitRotateRight:
        // Left turns counter-clockwise ('CW'), right clockwise ('W '), as the menu commands do.
        if (inside && gHooks.transform)
            ViewTransformSelection(view, part == kHeaderHitRotateLeft ? kTransformRotateLeft : kTransformRotateRight,
                                   gHooks.transform, gHooks.transformRef);
        break;
    case kHeaderHitZoomOut:
    case kHeaderHitZoomIn:
        if (mode != kViewMedia && inside) ViewZoom(view, part == kHeaderHitZoomIn);
        break;
    default:
        if (part >= kHeaderHitFirstImage && part < kHeaderHitColumn && inside) {
            UInt32 position = 0, count = 0;
            ImageStepping(view, &position, &count);
            const int which = part - kHeaderHitFirstImage;
            const bool back = which < 2;
            const bool can = count > 1 && (back ? position > 1 : position < count);
            static const SInt16 kKeys[4] = {kMediaKeyFirst, kMediaKeyPrevious, kMediaKeyNext, kMediaKeyLast};
            if (can) {
                MediaObjectKey(view->media, kKeys[which]);
                RedrawAll(view);
            } else {
                UiBeep();
            }
        } else if (part >= kHeaderHitColumn && part < kHeaderHitBorder) {
            const int i = part - kHeaderHitColumn;
            ViewFieldList* fields = CatalogGetSlotRec(view->catalog, kViewList);
            if (!fields) break;
            if (!dragging) {
                if (!inside) break;
                const UInt32 field = fields->fields[i].fieldId;
                if (!ViewSortByField(view, field, GetPreferences()->naturalSortOrder) && field == view->lastColumnField)
                    ViewSortByField(view, kSortReverse, 1);
                view->lastColumnField = field;
            } else {
                // Dropped on the column under the mouse: the entries between shift by one.
                int to = -1;
                for (int k = 0; k < ColumnCount(view); ++k) {
                    const Rect& c = view->columnRects[k];
                    if (p.h >= c.left - 5 && p.h < c.right + 6) to = k;
                }
                if (to < 0) to = p.h < view->columnRects[0].left ? 0 : ColumnCount(view) - 1;
                if (to != i && to >= 0) {
                    const ViewFieldEntry moved = fields->fields[i];
                    if (to > i)
                        std::copy(fields->fields + i + 1, fields->fields + to + 1, fields->fields + i);
                    else
                        std::copy_backward(fields->fields + to, fields->fields + i, fields->fields + i + 1);
                    fields->fields[to] = moved;
                    CatalogSetModified(view->catalog);
                    ViewLayout(view, view->catalog);
                }
            }
        }
        break;
    }
    view->hoverPart = 0;
    ViewHeaderHover(view, p);
    RedrawAll(view);
}

void ViewHeaderHover(ViewRec* view, Point p) {
    if (!view) return;
    const SInt32 hit = ViewHitHeader(view, p);
    const SInt32 hover = hit == kHeaderHitSort || hit == kHeaderHitMenu || (hit >= kHeaderHitRotateLeft && hit < kHeaderHitColumn)
                             ? hit
                             : 0;
    if (hover == view->hoverPart) return;
    view->hoverPart = hover;
    ViewDrawHeaderBar(view);
}

std::string HeaderPositionText(UInt8 category, OSType kind, UInt32 p, UInt32 n) {
    const std::string pn = std::to_string(p) + "/" + std::to_string(n);
    if (category == kCategoryFont) return Indexed(203, 5) + " " + pn;
    if (kind == '8BPS') {
        if (p <= 1) return Indexed(203, 1) + " (" + std::to_string(n) + ")";
        return Indexed(203, 2) + " " + std::to_string(p - 1) + "/" + std::to_string(n - 1);
    }
    if (kind == 'TIFF') return Indexed(203, 3) + " " + pn;
    return Indexed(203, 4) + " " + pn;
}

std::string HeaderZoomText(ViewRec* view) {
    const UInt8 mode = ViewGetMode(view);
    const ViewModeSettings* s = CatalogGetSlotRec16(view->catalog, mode);
    if (mode == kViewMedia) {
        std::string t;
        LoadResourceStringUtf8(12842, &t);
        const UInt8 level = s ? s->sizeStep : 2;
        if (level >= 1 && level < 9) return t + " " + Indexed(202, level);
        return t + " " + std::to_string(s ? s->percent : 100) + "%";
    }
    std::string t, pixels;
    LoadResourceStringUtf8(12841, &t);
    LoadResourceStringUtf8(12820, &pixels);
    return t + " " + std::to_string(32 * (s ? s->sizeStep : 4)) + pixels;
}

std::string HeaderInfoText(ViewRec* view) {
    const SInt32 item = view->currentItem;
    if (!item) return {};
    const std::string sep = "  |  ";
    if (view->currentFileErr != noErr) {
        Str255 message;
        LoadIndexedString(message, 131, ErrorMessageIndex(view->currentFileErr));
        return CellFieldText(view->catalog, item, kFieldPath, true) + " " + Pascal(message) + " [" +
               std::to_string(view->currentFileErr) + "]";
    }
    ItemRec record{};
    ItemReadRecord(view->catalog, item, &record);
    const bool media = ViewGetMode(view) == kViewMedia;
    UInt32 w = record.width, h = record.height;
    if (media && view->media && MediaObjectIsOpen(view->media)) {
        Rect natural;
        MediaObjectUpdateRect(view->media, &natural);
        if (!Empty(natural)) {
            w = UInt32(natural.right - natural.left);
            h = UInt32(natural.bottom - natural.top);
        }
    }
    std::string text;
    const short unit = GetPreferences()->resolutionUnit ? GetPreferences()->resolutionUnit : 1;
    if (w && h) {
        Str255 a, b;
        FormatResolution(SInt32(w), 72, unit, a);
        FormatResolution(SInt32(h), 72, unit, b);
        text = Pascal(a) + "x" + Pascal(b);
        if (media && view->media && MediaObjectIsOpen(view->media))
            text += " @ " + std::to_string(MediaObjectGetStateWord(view->media)) + "%";
        text += sep;
    }
    UInt32 now = 0;
    const bool timed = media && view->media && MediaObjectGetCurrentTime(view->media, &now);
    if (!timed && record.duration) {
        Str255 d;
        FormatDuration(record.duration, d, true, false);
        text += Pascal(d) + sep;
    }
    Str255 size;
    FormatByteSize(record.fileSize, size, 0);
    text += Pascal(size);
    Str255 kind;
    if (KindGetName(record.kind, kind)) text += sep + Pascal(kind);
    UInt32 p = 0, n = 0;
    if (media && ImageStepping(view, &p, &n)) text += sep + HeaderPositionText(KindGetCategory(record.kind), record.kind, p, n);
    return text;
}

void ViewDrawHeaderBarInto(ViewRec* view, cairo_t* given) {
    if (!view || Empty(view->headerRect)) return;
    PortGdiState gdi{};
    cairo_t* cr = given;
    if (!cr) {
        if (!view->headerPort || !view->headerPort->world || PortBeginGdi(&gdi, view->headerPort->world, true) != noErr) return;
        cr = gdi.dc;
    }
    ViewLayoutHeader(view);
    const Rect& H = view->headerRect;
    FillRectColor(cr, H, gColors.face);
    FillRectColor(cr, Rect{SInt16(H.bottom - 1), H.left, H.bottom, H.right}, gColors.shadow);
    DrawButton(cr, view->sortButton, view->catalog->viewPrefs.byte24 ? kIconHeaderSortReversed : kIconHeaderSort,
               PartState(view, kHeaderHitSort));
    static const int kTools[4] = {kIconHeaderRotateLeft, kIconHeaderRotateRight, kIconHeaderZoomOut, kIconHeaderZoomIn};
    for (int i = 0; i < 4; ++i) DrawButton(cr, view->toolButtons[i], kTools[i], PartState(view, kHeaderHitRotateLeft + i));
    DrawButton(cr, view->menuButton, kIconHeaderMenu, PartState(view, kHeaderHitMenu));
    static const int kSteps[4] = {kIconHeaderFirst, kIconHeaderPrevious, kIconHeaderNext, kIconHeaderLast};
    for (int i = 0; i < 4; ++i) DrawButton(cr, view->playButtons[i], kSteps[i], PartState(view, kHeaderHitFirstImage + i));
    CatalogFontEntry font{};
    if (ViewGetMode(view) == kViewList) {
        const ViewFieldList* fields = CatalogGetSlotRec(view->catalog, kViewList);
        for (int i = 0; fields && i < ColumnCount(view); ++i) {
            const Rect& c = view->columnRects[i];
            if (view->headerTrack.part == kHeaderHitColumn + i && view->headerTrack.inside && !view->headerTrack.dragging)
                FillRectColor(cr, Rect{SInt16(c.top + 1), SInt16(c.left + 1), SInt16(c.bottom - 1), SInt16(c.right - 1)},
                              RGBColor{0xEEEE, 0xEEEE, 0xFFFF});
            if (c.right - c.left > 16)
                CellDrawTextUtf8(cr, CellFieldText(view->catalog, 0, FieldId(fields->fields[i].fieldId), true), c, &font, 0,
                                 kJustLeft, TextFit::EndEllipsis, gColors.text);
            if (i > 0) {
                const SInt16 x = SInt16(c.left - 5);
                FillRectColor(cr, Rect{SInt16(c.top + 1), SInt16(x - 1), SInt16(c.bottom - 1), x}, gColors.shadow);
                FillRectColor(cr, Rect{SInt16(c.top + 1), x, SInt16(c.bottom - 1), SInt16(x + 1)}, gColors.highlight);
            }
        }
        // A moving column's frame, over everything.
        const Rect& f = view->headerTrack.dragFrame;
        if (!Empty(f)) FrameRectWidth(cr, 1, f, gColors.text);
    } else if (view->currentItem) {
        const Rect& r = view->infoRect;
        const RGBColor colour = view->currentFileErr ? RGBColor{0xDDDD, 0, 0} : view->active ? gColors.text : gColors.grayText;
        const std::string details = HeaderInfoText(view);
        const std::string name = CellFieldText(view->catalog, view->currentItem, kFieldFileName, true);
        const int detailsWidth = view->currentFileErr ? 0 : CellTextWidthUtf8(details, &font, 0);
        if (view->currentFileErr || r.right - r.left - detailsWidth - 8 < 100) {
            CellDrawTextUtf8(cr, view->currentFileErr ? details : name, r, &font, 0, kJustLeft, TextFit::PathEllipsis, colour);
        } else {
            CellDrawTextUtf8(cr, name, Rect{r.top, r.left, r.bottom, SInt16(r.right - detailsWidth - 8)}, &font, 0, kJustLeft,
                             TextFit::PathEllipsis, colour);
            CellDrawTextUtf8(cr, details, r, &font, 0, kJustRight, TextFit::EndEllipsis, colour);
        }
    } else {
        const Rect& r = view->infoRect;
        const std::string zoom = HeaderZoomText(view);
        if (CellTextWidthUtf8(zoom, &font, 0) + 12 <= r.right - r.left)
            CellDrawTextUtf8(cr, zoom, Rect{r.top, r.left, r.bottom, SInt16(r.right - 6)}, &font, 0, kJustRight,
                             TextFit::EndEllipsis, gColors.grayText);
    }
    if (!given) {
        PortEndGdi(&gdi);
        ViewPortAddDamage(view->headerPort, &view->headerRect);
    }
}

namespace {

enum : int {
    kMenuSmallIcons = 1, kMenuLargeIcons = 2,
    kMenuSizeBase = 100,    // + level
    kMenuRatioBase = 200,   // + ratio 0..2
    kMenuMarginBase = 300,  // + margin 0..3
};
constexpr int kLevels[] = {1, 2, 3, 4, 5, 6, 7, 8, 10, 16, 20};
constexpr int kMaxFieldChoices = 128;

std::string SizeText(int level, UInt8 aspect) {
    const int side = level * 32, shortSide = level * 24;
    const int w = aspect == 2 ? shortSide : side, h = aspect == 1 ? shortSide : side;
    return std::to_string(w) + " x " + std::to_string(h);
}

// Copies bytes of the mode's settings into the defaults new catalogs take.
void KeepAsDefault(UInt8 mode, const ViewModeSettings& s, std::size_t offset, std::size_t size) {
    UInt8* slot = GetPreferences()->viewBlock64 + mode * sizeof(ViewModeSettings);
    std::memcpy(slot + offset, reinterpret_cast<const UInt8*>(&s) + offset, size);
}

void AfterMenuChange(ViewRec* view) {
    CatalogSetModified(view->catalog);
    ViewLayout(view, view->catalog);
    ViewKeepCurrentVisible(view);
    RedrawAll(view);
}

}  // namespace

std::vector<HeaderMenuItem> ViewHeaderViewMenuItems(ViewRec* view) {
    std::vector<HeaderMenuItem> items;
    const UInt8 mode = ViewGetMode(view);
    const ViewModeSettings* s = CatalogGetSlotRec16(view->catalog, mode);
    if (!s) return items;
    if (mode == kViewList) {
        items.push_back({Indexed(200, 1), kMenuSmallIcons, true, s->sizeStep != 2});
        items.push_back({Indexed(200, 2), kMenuLargeIcons, true, s->sizeStep == 2});
        return items;
    }
    if (mode != kViewThumbnail) return items;
    items.push_back({Indexed(201, 1), 0, false, false});
    items.push_back({SizeText(s->sizeStep, s->aspect), 0, false, false});
    items.push_back({});
    for (int level : kLevels) items.push_back({SizeText(level, s->aspect), kMenuSizeBase + level, true, s->sizeStep == level});
    items.push_back({});
    items.push_back({Indexed(201, 2), 0, false, false});
    for (int r = 0; r < 3; ++r) items.push_back({Indexed(201, 3 + r), kMenuRatioBase + r, true, s->aspect == r});
    items.push_back({});
    items.push_back({Indexed(201, 6), 0, false, false});
    for (int m = 0; m < 4; ++m) items.push_back({Indexed(201, 7 + m), kMenuMarginBase + m, true, s->frameStyle == m});
    return items;
}

bool ViewHeaderApplyViewMenu(ViewRec* view, int command) {
    const UInt8 mode = ViewGetMode(view);
    ViewModeSettings* s = CatalogGetSlotRec16(view->catalog, mode);
    if (!s) return false;
    bool changed = false;
    std::size_t offset = offsetof(ViewModeSettings, sizeStep), size = 1;
    if (mode == kViewList && (command == kMenuSmallIcons || command == kMenuLargeIcons)) {
        const UInt8 level = command == kMenuLargeIcons ? 2 : 1;
        changed = s->sizeStep != level;
        s->sizeStep = level;
    } else if (mode == kViewThumbnail && command > kMenuSizeBase && command <= kMenuSizeBase + 20) {
        changed = CatalogSetSlotSize(view->catalog, command - kMenuSizeBase, kViewThumbnail);
    } else if (mode == kViewThumbnail && command >= kMenuRatioBase && command < kMenuRatioBase + 3) {
        changed = s->aspect != command - kMenuRatioBase;
        offset = offsetof(ViewModeSettings, aspect);
        s->aspect = UInt8(command - kMenuRatioBase);
    } else if (mode == kViewThumbnail && command >= kMenuMarginBase && command < kMenuMarginBase + 4) {
        changed = s->frameStyle != command - kMenuMarginBase;
        offset = offsetof(ViewModeSettings, frameStyle);
        s->frameStyle = UInt8(command - kMenuMarginBase);
    }
    if (!changed) return false;
    AfterMenuChange(view);
    const ViewModeSettings& now = *CatalogGetSlotRec16(view->catalog, mode);
    KeepAsDefault(mode, now, offset, size);
    // The List view's icon size goes with its percent.
    if (mode == kViewList) KeepAsDefault(mode, now, offsetof(ViewModeSettings, percent), sizeof now.percent);
    return true;
}

std::vector<HeaderMenuItem> ViewHeaderFieldMenuItems(ViewRec* view) {
    std::vector<HeaderMenuItem> items;
    const ViewFieldList* fields = CatalogGetSlotRec(view->catalog, kViewList);
    const int customCount = int(CatalogGetCustomFieldCount(view->catalog));
    UInt8 lastGroup = 0;
    for (int n = 0; n < kMaxFieldChoices; ++n) {
        UInt8 group = 0;
        const FieldId id = FieldListForEdition(n, 0, 2, customCount, &group);
        if (id == 0) break;
        if (n > 0 && group != lastGroup) items.push_back({});
        lastGroup = group;
        bool shown = false;
        for (int i = 0; fields && i < 10 && fields->fields[i].fieldId; ++i) shown = shown || fields->fields[i].fieldId == id;
        items.push_back({CellFieldText(view->catalog, 0, id, true), int(id), id != kFieldFileName, shown || id == kFieldFileName});
    }
    return items;
}

bool ViewHeaderApplyFieldMenu(ViewRec* view, UInt32 fieldId) {
    ViewFieldList* fields = CatalogGetSlotRec(view->catalog, kViewList);
    if (!fields || fieldId == 0 || fieldId == kFieldFileName) return false;
    int count = 0;
    while (count < 10 && fields->fields[count].fieldId) ++count;
    int at = -1;
    for (int i = 0; i < count; ++i)
        if (fields->fields[i].fieldId == fieldId) at = i;
    if (at >= 0) {
        std::copy(fields->fields + at + 1, fields->fields + count, fields->fields + at);
        fields->fields[count - 1] = ViewFieldEntry{0, 0, 0, 0};
    } else if (count < 10) {
        fields->fields[count] = ViewFieldEntry{fieldId, UInt16(std::max<std::int32_t>(FieldGetColumnWidth(FieldId(fieldId)), 16)), 0, 0};
    } else {
        UiBeep();
        return false;
    }
    AfterMenuChange(view);
    return true;
}
