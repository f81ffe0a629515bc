#include "window/view/CellThumbnail.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/resources/PictureResources.h"
#include "media/kinds/KindTable.h"
#include "window/view/CellPresenter.h"
#include "window/view/CellPrimitives.h"
#include "window/view/CellText.h"
#include "window/view/ViewFonts.h"
#include "window/view/ItemPicture.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewPlayback.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

namespace {

constexpr SInt16 kMatLimit = 800;   // larger pictures get the plain mat

constexpr SInt16 kFrameResource = 1000, kShadowResource = 1001;

// A picture of the program's typed resources, loaded once for the whole process; null when it
// cannot be had (the mat is then drawn plain).
struct ResourcePictures {
    std::map<SInt16, GWorldPtr> worlds;
    ~ResourcePictures() {
        for (auto& [id, world] : worlds)
            if (world) DisposeGWorld(world);
    }
};

cairo_surface_t* ResourcePicture(SInt16 id) {
    static ResourcePictures loaded;
    auto& pictures = loaded.worlds;
    auto it = pictures.find(id);
    if (it == pictures.end()) {
        GWorldPtr world = nullptr;
        if (LoadPictResource(id, &world, nullptr) != noErr) world = nullptr;
        it = pictures.emplace(id, world).first;
    }
    return it->second ? GetGWorldSurface(it->second) : nullptr;
}

cairo_surface_t* ShadowImage() {
    cairo_surface_t* s = ResourcePicture(kShadowResource);
    if (!s || cairo_image_surface_get_width(s) != kShadowImageSide || cairo_image_surface_get_height(s) != kShadowImageSide)
        return nullptr;
    return s;
}

// The frame image for a frame rectangle's size, made from the four corners of the frame
// picture, each quarter of the target from its own corner at its own size (so the corners
// never scale). One is kept for the whole process and remade when another size is asked for.
cairo_surface_t* FrameImage(SInt16 width, SInt16 height) {
    static cairo_surface_t* image = nullptr;
    static SInt16 w0 = 0, h0 = 0;
    if (image && w0 == width && h0 == height) return image;
    if (image) cairo_surface_destroy(image);
    image = nullptr;
    cairo_surface_t* source = ResourcePicture(kFrameResource);
    if (!source || width <= 0 || height <= 0) return nullptr;
    const int sw = cairo_image_surface_get_width(source), sh = cairo_image_surface_get_height(source);
    const int hw = width / 2, hh = height / 2;
    // Each quarter must come from inside its own corner of the picture.
    if (width - hw > sw / 2 || height - hh > sh / 2) return nullptr;
    image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    w0 = width;
    h0 = height;
    cairo_t* cr = cairo_create(image);
    struct Quarter {
        int x, y, w, h, sx, sy;
    } quarters[4] = {
        {0, 0, hw, hh, 0, 0},
        {hw, 0, width - hw, hh, sw - (width - hw), 0},
        {hw, hh, width - hw, height - hh, sw - (width - hw), sh - (height - hh)},
        {0, hh, hw, height - hh, 0, sh - (height - hh)},
    };
    for (const Quarter& q : quarters) {
        cairo_save(cr);
        cairo_rectangle(cr, q.x, q.y, q.w, q.h);
        cairo_clip(cr);
        cairo_set_source_surface(cr, source, q.x - q.sx, q.y - q.sy);
        cairo_paint(cr);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(image);
    return image;
}

void CopyPiece(cairo_t* cr, cairo_surface_t* image, const ShadowPiece& p) {
    const double sw = p.source.right - p.source.left, sh = p.source.bottom - p.source.top;
    const double dw = p.destination.right - p.destination.left, dh = p.destination.bottom - p.destination.top;
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
    cairo_save(cr);
    cairo_rectangle(cr, p.destination.left, p.destination.top, dw, dh);
    cairo_clip(cr);
    cairo_translate(cr, p.destination.left, p.destination.top);
    cairo_scale(cr, dw / sw, dh / sh);
    cairo_set_source_surface(cr, image, -p.source.left, -p.source.top);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
}

const ViewColors* ColorsOf(ViewRec* view, UInt8 mode) { return CatalogGetSlotRec24(view->catalog, mode); }

}  // namespace

void ShadowPieces(const Rect& P, ShadowPiece out[8]) {
    const SInt16 n = kShadowImageSide, b = kShadowBand, half = n / 2;
    const SInt16 w = SInt16(P.right - P.left), h = SInt16(P.bottom - P.top);
    const SInt16 hw = SInt16((w + 1) / 2), hh = SInt16((h + 1) / 2);
    const SInt16 L = P.left, T = P.top, R = P.right, B = P.bottom;
    // The left (upper) pieces run from the image's start, the right (lower) ones end at its
    // end; each keeps to its own half of the image.
    const SInt16 leftEnd = std::min<SInt16>(SInt16(hw + b), half);
    const SInt16 rightStart = std::max<SInt16>(SInt16(n - (R + b - (L + hw))), half);
    const SInt16 upperEnd = std::min<SInt16>(SInt16(hh + b), half);
    const SInt16 lowerStart = std::max<SInt16>(SInt16(n - (B + b - (T + hh))), half);
    out[0] = {Rect{0, 0, b, leftEnd}, Rect{SInt16(T - b), SInt16(L - b), T, SInt16(L + hw)}};
    out[1] = {Rect{0, rightStart, b, n}, Rect{SInt16(T - b), SInt16(L + hw), T, SInt16(R + b)}};
    out[2] = {Rect{b, 0, upperEnd, b}, Rect{T, SInt16(L - b), SInt16(T + hh), L}};
    out[3] = {Rect{lowerStart, 0, SInt16(n - b), b}, Rect{SInt16(T + hh), SInt16(L - b), B, L}};
    out[4] = {Rect{SInt16(n - b), 0, n, leftEnd}, Rect{B, SInt16(L - b), SInt16(B + b), SInt16(L + hw)}};
    out[5] = {Rect{SInt16(n - b), rightStart, n, n}, Rect{B, SInt16(L + hw), SInt16(B + b), SInt16(R + b)}};
    out[6] = {Rect{b, SInt16(n - b), upperEnd, n}, Rect{T, R, SInt16(T + hh), SInt16(R + b)}};
    out[7] = {Rect{lowerStart, SInt16(n - b), SInt16(n - b), n}, Rect{SInt16(T + hh), R, B, SInt16(R + b)}};
}

void DrawPictureMat(cairo_t* cr, const Rect& F, const Rect& P, const RGBColor& bg, UInt8 style, bool thumbnailDrawn,
                    bool forPrint) {
    const bool small = RectWidth(P) <= kMatLimit && RectHeight(P) <= kMatLimit;
    cairo_surface_t* shadow = !forPrint && small && style == kFrameShadow && thumbnailDrawn ? ShadowImage() : nullptr;
    if (shadow) {
        const Rect grown{SInt16(P.top - kShadowBand), SInt16(P.left - kShadowBand), SInt16(P.bottom + kShadowBand),
                         SInt16(P.right + kShadowBand)};
        // The band first in the background, then the shadow over it.
        FillFrameGap(cr, grown, P, bg);
        ShadowPiece pieces[8];
        ShadowPieces(P, pieces);
        cairo_save(cr);
        cairo_rectangle(cr, F.left, F.top, RectWidth(F), RectHeight(F));
        cairo_clip(cr);
        for (const ShadowPiece& p : pieces) CopyPiece(cr, shadow, p);
        cairo_restore(cr);
        FillFrameGap(cr, F, grown, bg);
        return;
    }
    if (!forPrint && small && style == kFrameImage) {
        if (cairo_surface_t* frame = FrameImage(RectWidth(F), RectHeight(F))) {
            cairo_save(cr);
            // Only the mat: the picture stays untouched.
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
            cairo_rectangle(cr, F.left, F.top, RectWidth(F), RectHeight(F));
            cairo_rectangle(cr, P.left, P.top, RectWidth(P), RectHeight(P));
            cairo_clip(cr);
            cairo_set_source_surface(cr, frame, F.left, F.top);
            cairo_paint(cr);
            cairo_restore(cr);
            return;
        }
    }
    FillFrameGap(cr, F, P, bg);
}

std::string ScaleFigureText(SInt32 shownWidth, UInt32 imageWidth) {
    if (imageWidth == 0) return {};
    return std::to_string(SInt64(shownWidth) * 100 / imageWidth) + "%";
}

void DrawPercentText(cairo_t* cr, SInt32 percent, const Rect& P, const CatalogFontEntry* font, const RGBColor& textColor,
                     const RGBColor& boxColor) {
    const std::string text = std::to_string(percent) + "%";
    const int width = CellTextWidthUtf8(text, font, 0);
    const SInt16 height = ViewFontLineHeight(font, false);
    const Rect box{P.top, SInt16(P.right - width - 4), SInt16(P.top + height), P.right};
    FillRectColor(cr, box, boxColor);
    CellDrawTextUtf8(cr, text, box, font, 0, kJustCentre, TextFit::EndEllipsis, textColor);
}

void ItemDrawLabelAndScale(cairo_t* cr, ViewRec* view, SInt32 item, const Rect& P, bool labelFrame, const RGBColor& scaleColor,
                           bool showScale, const RGBColor& frameColor, const CatalogFontEntry* font) {
    if (labelFrame) FrameRectWidth(cr, 1, P, frameColor);
    if (!showScale) return;
    auto value = std::make_unique<FieldValue>();
    FieldValueClear(value.get());
    if (ItemGetFieldVisible(view->catalog, item, 1, kFieldWidth, value.get()) != 3 || value->u32 == 0) return;
    DrawPercentText(cr, SInt32(SInt64(RectWidth(P)) * 100 / value->u32), P, font, scaleColor, frameColor);
}

bool CellItemPlayedHere(const ViewRec* view, SInt32 item) {
    return view->media && view->playItemId && ItemGetId(view->catalog, item) == view->playItemId;
}

void CellDrawThumbnail(const CellDrawArgs& a) {
    ViewRec* view = a.view;
    cairo_t* cr = a.cr;
    const ViewModeSettings* settings = CatalogGetSlotRec16(view->catalog, a.mode);
    const ViewFieldList* fields = a.fields ? a.fields : CatalogGetSlotRec(view->catalog, a.mode);
    const ViewColors* colors = a.colors ? a.colors : ColorsOf(view, a.mode);
    const CatalogFontEntry* font = CatalogGetFontRec(view->catalog, a.mode);
    const RGBColor bg = colors ? colors->colors[0] : RGBColor{0xFFFF, 0xFFFF, 0xFFFF};
    const RGBColor text = a.label ? a.labelColor : colors ? colors->colors[1] : RGBColor{0, 0, 0};
    const RGBColor column = colors ? colors->colors[2] : bg;
    ViewCellPartRects parts;
    ViewCellParts(view, a.mode, settings, fields, &a.cell, &parts);
    const Rect& C = a.cell;
    const Rect& F = parts.frame;
    // The cell's left and top edges, and the strip under the frame.
    DrawLineColor(cr, Point{C.bottom, C.left}, Point{C.top, C.left}, bg);
    DrawLineColor(cr, Point{C.top, C.left}, Point{C.top, C.right}, bg);
    if (F.bottom + 2 < C.bottom - 2) FillRectColor(cr, Rect{F.bottom, F.left, SInt16(F.bottom + 2), F.right}, bg);
    const Rect I{SInt16(C.top + 1), SInt16(C.left + 1), C.bottom, C.right};
    FrameRectWidth(cr, 2, I, a.selected ? ViewSelectionColor(bg, a.current) : bg);

    const bool skip = a.selectionOnly || (view->updateRgn && !RectsIntersect(F, *view->updateRgn)) ||
                      RectWidth(parts.picture) < 24 || RectHeight(parts.picture) < 24;
    if (!skip) {
        ItemRec record{};
        ItemReadRecord(view->catalog, a.item, &record);
        const UInt8 category = KindGetCategory(record.kind);
        const SInt32 state = view->media ? MediaObjectGetPictureInfo(view->media) : 0;
        const bool played = CellItemPlayedHere(view, a.item);
        Rect P = parts.picture;
        ItemPictureArgs pa;
        pa.background = bg;
        pa.forPrint = a.forPrint;
        bool drawn = false;
        if (a.fromMedia) {
            if (category == 1) {
                drawn = ItemDrawPicture(view, a.item, category, pa, cr, &P);
                ItemDrawBadge(cr, record.kind, category, P, nullptr, true, true, a.forPrint);
            } else {
                pa.draw = false;
                ItemDrawPicture(view, a.item, category, pa, cr, &P);
                PresenterDrawArgs pd = PresenterArgsFrom(a, bg);
                drawn = ItemDrawWithPresenter(view, a.item, pd, &P, view->media, a.visible);
                if (drawn) ItemDrawLabelAndScale(cr, view, a.item, P, settings && settings->labelFrame, column,
                                                 settings && settings->scaleFigure, text, font);
            }
        } else if (played) {
            if (state == kMediaShowsPicture) {
                pa.draw = false;
                ItemDrawPicture(view, a.item, category, pa, cr, &P);
                PresenterDrawArgs pd = PresenterArgsFrom(a, bg);
                ItemDrawWithPresenter(view, a.item, pd, &P, view->media, a.visible);
            } else {
                drawn = ItemDrawPicture(view, a.item, category, pa, cr, &P);
                Rect box;
                ItemDrawBadge(cr, record.kind, category, P, &box, true, false, a.forPrint);
                if (box.right > box.left) {
                    PresenterDrawArgs pd = PresenterArgsFrom(a, bg);
                    ItemDrawWithPresenter(view, a.item, pd, &box, view->media, a.visible);
                }
            }
        } else {
            drawn = ItemDrawPicture(view, a.item, category, pa, cr, &P);
            if (drawn)
                ItemDrawLabelAndScale(cr, view, a.item, P, settings && settings->labelFrame, column,
                                      settings && settings->scaleFigure, text, font);
            ItemDrawBadge(cr, record.kind, category, P, nullptr, true, true, a.forPrint);
        }
        DrawPictureMat(cr, F, P, bg, settings ? settings->frameStyle : 0, drawn, a.forPrint);
    }
    CellDrawCaptions(cr, view, a.item, parts, fields, settings, colors, font, text);
}
