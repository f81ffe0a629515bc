#include "window/view/CellPresenter.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldFormat.h"
#include "catalog/info/InfoEdit.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "foundation/interface/FitRect.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/settings/Preferences.h"
#include "foundation/text/Unicode.h"
#include "media/imaging/Offscreen.h"
#include "media/kinds/KindTable.h"
#include "platform/Handles.h"
#include "window/view/CellPrimitives.h"
#include "window/view/CellText.h"
#include "window/view/ViewFonts.h"
#include "window/view/ItemPicture.h"
#include "window/view/ThumbnailCache.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewPlayback.h"
#include "window/view/ViewPort.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <memory>

namespace {

constexpr double kScreenDpi = 72.0;
constexpr OSErr kRenderingDisabled = 24;
constexpr UInt16 kTurnedClockwise = 'W ', kTurnedCounterClockwise = 'CW';

Rect ScaledOutward(const Rect& r, const Rect& origin, double f) {
    return Rect{SInt16(std::floor((r.top - origin.top) * f)), SInt16(std::floor((r.left - origin.left) * f)),
                SInt16(std::ceil((r.bottom - origin.top) * f)), SInt16(std::ceil((r.right - origin.left) * f))};
}

// A new 32-bit world of the size with a cairo context on it.
GWorldPtr NewWorld(SInt16 width, SInt16 height) {
    GWorldPtr world = nullptr;
    Rect bounds{0, 0, height, width};
    if (width <= 0 || height <= 0 || NewGWorldFromFormat(&world, k32ARGBPixelFormat, &bounds) != noErr) return nullptr;
    return world;
}

void FillWorld(GWorldPtr world, const RGBColor& c) {
    cairo_surface_t* s = GetGWorldSurface(world);
    cairo_t* cr = cairo_create(s);
    CellSetColor(cr, c);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(s);
}

// Opens a world in the presenter as an in-memory picture.
OSErr OpenWorld(MediaObject* presenter, GWorldPtr world) {
    PicHandle picture = nullptr;
    OSErr err = OffscreenToPicture(world, nullptr, 72 << 16, &picture);
    if (err != noErr) return err;
    err = MediaObjectOpenHandle(presenter, picture);
    DisposeHandle(picture);
    return err;
}

OSErr OpenThumbnail(MediaObject* presenter, GWorldPtr picture, UInt32 width, UInt32 height, UInt16 orientation) {
    if (orientation == kTurnedClockwise || orientation == kTurnedCounterClockwise) std::swap(width, height);
    if (!width || !height) width = height = 32;
    GWorldPtr world = NewWorld(SInt16(std::min<UInt32>(width, 4000)), SInt16(std::min<UInt32>(height, 4000)));
    if (!world) return memFullErr;
    FillWorld(world, RGBColor{0xFFFF, 0xFFFF, 0xFFFF});
    if (picture) {
        cairo_t* cr = cairo_create(GetGWorldSurface(world));
        DrawWorldInRect(cr, picture, GetPortBounds(world));
        cairo_destroy(cr);
    }
    OSErr err = OpenWorld(presenter, world);
    DisposeGWorld(world);
    return err;
}

// The stand-in of an item without a stored thumbnail: a 32-pixel box with its diagonals.
GWorldPtr CrossedBox() {
    GWorldPtr world = NewWorld(32, 32);
    if (!world) return nullptr;
    FillWorld(world, RGBColor{0xFFFF, 0xFFFF, 0xFFFF});
    cairo_t* cr = cairo_create(GetGWorldSurface(world));
    const RGBColor black{0, 0, 0};
    FrameRectWidth(cr, 1, Rect{0, 0, 32, 32}, black);
    DrawLineColor(cr, Point{0, 0}, Point{32, 32}, black);
    DrawLineColor(cr, Point{0, 32}, Point{32, 0}, black);
    cairo_destroy(cr);
    return world;
}

std::string ItemFileName(const CatalogRec* catalog, SInt32 item) {
    return CellFieldText(catalog, item, kFieldFileName, true);
}

}  // namespace

PresenterDrawArgs PresenterArgsFrom(const CellDrawArgs& c, const RGBColor& background) {
    PresenterDrawArgs p;
    p.cr = c.cr;
    p.background = background;
    p.screenOnly = c.screenOnly;
    p.resolutionH = c.resolutionH;
    p.resolutionV = c.resolutionV;
    p.keeper = c.keeper;
    p.offscreenWanted = c.offscreenWanted;
    return p;
}

HighResolutionPlan PlanHighResolution(double s, double resolution, UInt8 showLevel) {
    HighResolutionPlan plan;
    const double d = resolution / kScreenDpi;
    const double m = s > 0 ? 1.0 / s : 1e10;
    if (showLevel == kShowKeepPercent) {
        plan.factor = d;
        return plan;
    }
    plan.setPercent = true;
    if (d < m) {
        plan.factor = d;
        plan.percent = UInt16(std::clamp(std::ceil(d * s * 100 - 1e-9), 1.0, 65535.0));
    } else {
        plan.factor = m;
        plan.percent = 100;
    }
    return plan;
}

std::array<std::string, 4> ErrorCardTexts(OSErr code, const std::string& itemName, OSType kind) {
    std::array<std::string, 4> out;
    out[0] = itemName;
    char k[5] = {char(kind >> 24), char(kind >> 16), char(kind >> 8), char(kind), 0};
    for (char& c : k)
        if (c == 0 && &c != k + 4) c = ' ';
    out[1] = AnsiToUtf8(std::string_view(k, 4));
    Str255 message;
    LoadIndexedString(message, 131, ErrorMessageIndex(code));
    out[2] = AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(message + 1), message[0]));
    out[3] = "[" + std::to_string(code) + "]";
    return out;
}

PicHandle MakeErrorCard(OSErr code, const std::string& itemName, OSType kind, GWorldPtr thumbnail) {
    GWorldPtr world = NewWorld(kErrorCardWidth, kErrorCardHeight);
    if (!world) return nullptr;
    const RGBColor red{0xDDDD, 0, 0}, white{0xFFFF, 0xFFFF, 0xFFFF}, black{0, 0, 0};
    cairo_surface_t* s = GetGWorldSurface(world);
    cairo_t* cr = cairo_create(s);
    const Rect card{0, 0, kErrorCardHeight, kErrorCardWidth};
    FillRectColor(cr, card, white);
    FrameRectWidth(cr, 1, card, red);
    FrameRectWidth(cr, 1, Rect{1, 1, SInt16(kErrorCardHeight - 1), SInt16(kErrorCardWidth - 1)}, red);
    const Rect content{10, 10, SInt16(kErrorCardHeight - 10), SInt16(kErrorCardWidth - 10)};
    SInt16 column = 16;
    if (thumbnail) {
        Rect r = GetPortBounds(thumbnail);
        CellFitRect(&r, Rect{content.top, content.left, SInt16(content.top + 32), SInt16(content.left + 32)}, kCellFitShrink);
        DrawWorldInRect(cr, thumbnail, r);
        column = 56;
    }
    const auto texts = ErrorCardTexts(code, itemName, kind);
    CatalogFontEntry font{};
    font.size = 8;
    const SInt16 lineHeight = ViewFontLineHeight(&font, false);
    // Text boxes whose baselines fall at 25, 37, 54 and 66.
    auto line = [&](const std::string& t, int baseline, bool bold, const RGBColor& colour, TextFit fit) {
        const SInt16 top = SInt16(baseline - lineHeight + lineHeight / 4);
        CellDrawTextUtf8(cr, t, Rect{top, column, SInt16(top + lineHeight + 2), SInt16(kErrorCardWidth - 16)}, &font,
                         bold ? 1 : 0, kJustLeft, fit, colour);
    };
    line(texts[0], 25, true, black, TextFit::PathEllipsis);
    line(texts[1], 37, false, black, TextFit::EndEllipsis);
    line(texts[2], 54, false, red, TextFit::EndEllipsis);
    line(texts[3], 66, false, red, TextFit::EndEllipsis);
    cairo_destroy(cr);
    cairo_surface_flush(s);
    PicHandle picture = nullptr;
    if (OffscreenToPicture(world, nullptr, 72 << 16, &picture) != noErr) picture = nullptr;
    DisposeGWorld(world);
    return picture;
}

OSErr PresenterOpenItem(MediaObject* M, ViewRec* view, SInt32 item, bool thumbnailOnly) {
    ItemRec record{};
    OSErr err = ItemReadRecord(view->catalog, item, &record);
    ThumbnailRef thumbnail = ThumbnailCacheGet(view->catalog, item);
    if (err == noErr && thumbnailOnly) {
        GWorldPtr box = nullptr;
        GWorldPtr picture = record.width && record.height && thumbnail ? thumbnail->world : nullptr;
        if (!picture) picture = box = CrossedBox();
        err = OpenThumbnail(M, picture, picture == box ? 32 : record.width, picture == box ? 32 : record.height,
                            record.orientation);
        if (box) DisposeGWorld(box);
        if (err == noErr) return noErr;
    } else if (err == noErr) {
        FSSpec file;
        err = CatalogFindItemPath(view->catalog, item, &file);
        if (err == noErr) {
            if (item == view->currentItem && view->currentFileErr != noErr) ViewLoadCurrentInfo(view, item);
            if (!IsWithinSizeLimit(SInt32(std::min<UInt32>(record.fileSize, 0x7FFFFFFF))) &&
                KindGetCategory(record.kind) != 2)
                err = kRenderingDisabled;
        }
        if (err == noErr) err = MediaObjectOpen(M, &file, record.kind, 1, 1, record.orientation, true);
        if (err == noErr) {
            if (MediaObjectGetPictureInfo(M) == kMediaShowsPreview) {
                if (Handle title = ItemGetTitle(view->catalog, UInt32(item))) {
                    MediaObjectCopyPreview(M, title);
                    DisposeHandle(title);
                }
            }
            if (M == view->media) view->playItemId = ItemGetId(view->catalog, item);
            return noErr;
        }
    }
    PicHandle card = MakeErrorCard(err, ItemFileName(view->catalog, item), record.kind, thumbnail ? thumbnail->world : nullptr);
    if (card) {
        MediaObjectOpenHandle(M, card);
        DisposeHandle(card);
    }
    return err;
}

namespace {

// Opens and draws into the presenter's window at the target; true when the open succeeded.
bool PresenterDrawItem(MediaObject* M, ViewRec* view, SInt32 item, bool thumbnailOnly, Rect* target, const RGBColor& bg) {
    const bool opened = PresenterOpenItem(M, view, item, thumbnailOnly) == noErr;
    MediaObjectSetColor(M, &bg);
    MediaObjectSetBounds(M, target);
    MediaObjectSetDisplayRect(M, target);
    MediaObjectDraw(M);
    Rect image;
    MediaObjectGetImageRect(M, &image);
    Rect clipped;
    if (SectRect(&image, target, &clipped)) *target = clipped;
    return opened;
}

}  // namespace

bool ItemDrawWithPresenter(ViewRec* view, SInt32 item, const PresenterDrawArgs& a, Rect* T, MediaObject* M,
                           const Rect& visible) {
    if (!view || !M || !T || T->right <= T->left || T->bottom <= T->top) return false;
    const UInt8 level = MediaObjectGetShowFlag(M);
    const UInt16 percent = MediaObjectGetPercent(M);
    GWorldPtr portWorld = view->viewPort ? view->viewPort->world : nullptr;
    double resH = a.screenOnly ? kScreenDpi : a.resolutionH;
    const double resV = a.screenOnly ? kScreenDpi : a.resolutionV;
    // The presenter draws into a world: straight into the view's port when that is where the
    // cell goes, else into an offscreen that is then painted there.
    const bool onPort = portWorld && a.cr && cairo_get_target(a.cr) == GetGWorldSurface(portWorld);
    bool direct = onPort && !a.offscreenWanted && !a.keeper && (resH == 0 || (resH <= kScreenDpi && resV <= kScreenDpi));
    if (resH <= 0) resH = kScreenDpi;
    double factor = 1;
    Rect offRect{};
    if (!direct) {
        PresenterOpenItem(M, view, item, a.thumbnailOnly);
        Rect natural;
        MediaObjectUpdateRect(M, &natural);
        if (natural.right <= natural.left || natural.bottom <= natural.top) {
            direct = onPort;
        }
        if (!direct) {
            Rect fitted = natural;
            const short fit = ScaleRectInRect(&fitted, Point{T->top, T->left}, Point{T->bottom, T->right}, short(percent),
                                              short(level));
            const HighResolutionPlan plan = PlanHighResolution(fit * 0.01, resH, level);
            factor = plan.factor > 0 ? plan.factor : 1;
            if (plan.setPercent) {
                MediaObjectSetShowFlag(M, kShowPercent);
                MediaObjectSetPercent(M, plan.percent);
            }
            Rect shown = *T;
            Rect v;
            if (visible.right > visible.left && SectRect(&visible, T, &v)) shown = v;
            offRect = ScaledOutward(shown, *T, factor);
        }
    }
    MediaObjectSetDrawOptionC(M, a.offscreenWanted ? 0 : (a.scaleDisplay ? 1 : 0));
    bool drawn = false;
    if (direct) {
        if (a.cr) cairo_surface_flush(cairo_get_target(a.cr));
        MediaObjectSetWindow(M, portWorld);
        drawn = PresenterDrawItem(M, view, item, a.thumbnailOnly, T, a.background);
        if (portWorld) ViewPortAddDamage(view->viewPort, T);
        if (a.cr) cairo_surface_mark_dirty(cairo_get_target(a.cr));
    } else {
        GWorldPtr off = a.keeper ? *a.keeper : nullptr;
        const SInt16 w = SInt16(offRect.right - offRect.left), h = SInt16(offRect.bottom - offRect.top);
        if (off) {
            Rect b = GetPortBounds(off);
            if (b.right - b.left < w || b.bottom - b.top < h) off = nullptr;
        }
        bool own = false;
        if (!off) {
            off = NewWorld(w, h);
            own = off && !(a.keeper && !*a.keeper);
            if (off && a.keeper && !*a.keeper) *a.keeper = off;
        }
        if (off) {
            FillWorld(off, a.background);
            MediaObjectSetWindow(M, off);
            Rect target{SInt16(-offRect.top), SInt16(-offRect.left), SInt16(std::lround(RectHeight(*T) * factor) - offRect.top),
                        SInt16(std::lround(RectWidth(*T) * factor) - offRect.left)};
            drawn = PresenterDrawItem(M, view, item, a.thumbnailOnly, &target, a.background);
            if (a.cr) {
                const Rect shown{SInt16(T->top + offRect.top / factor), SInt16(T->left + offRect.left / factor),
                                 SInt16(T->top + std::ceil(offRect.bottom / factor)),
                                 SInt16(T->left + std::ceil(offRect.right / factor))};
                cairo_save(a.cr);
                cairo_rectangle(a.cr, shown.left, shown.top, RectWidth(shown), RectHeight(shown));
                cairo_clip(a.cr);
                cairo_translate(a.cr, T->left + offRect.left / factor, T->top + offRect.top / factor);
                cairo_scale(a.cr, 1 / factor, 1 / factor);
                cairo_set_source_surface(a.cr, GetGWorldSurface(off), 0, 0);
                cairo_pattern_set_filter(cairo_get_source(a.cr), CAIRO_FILTER_GOOD);
                cairo_paint(a.cr);
                cairo_restore(a.cr);
            }
            // Where the picture went, back in the target's scale.
            *T = Rect{SInt16(T->top + std::floor((target.top + offRect.top) / factor)),
                      SInt16(T->left + std::floor((target.left + offRect.left) / factor)),
                      SInt16(T->top + std::floor((target.bottom + offRect.top) / factor)),
                      SInt16(T->left + std::floor((target.right + offRect.left) / factor))};
            MediaObjectSetWindow(M, portWorld);
            if (own) DisposeGWorld(off);
        }
    }
    MediaObjectSetShowFlag(M, level);
    MediaObjectSetPercent(M, percent);
    return drawn;
}
