#include "output/slideshow/SlideStage.h"

#include "media/kinds/KindTable.h"
#include "media/presenters/MediaObject.h"
#include "media/presenters/SoundPlayback.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cstring>

namespace {

void CopyWorld(GWorldPtr from, GWorldPtr to) {
    const PixelView a = GetGWorldPixels(from), b = GetGWorldPixels(to);
    if (!a.base || !b.base || a.width != b.width || a.height != b.height) return;
    LockPixels(from);
    LockPixels(to);
    for (int y = 0; y < a.height; ++y)
        std::memcpy(b.base + std::ptrdiff_t(y) * b.rowBytes, a.base + std::ptrdiff_t(y) * a.rowBytes,
                    std::size_t(a.width) * 4);
    UnlockPixels(from);
    UnlockPixels(to);
}

void FillWorld(GWorldPtr world, const RGBColor& color, const Rect* area) {
    cairo_surface_t* surface = GetGWorldSurface(world);
    if (!surface) return;
    cairo_surface_flush(surface);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, color.red / 65535.0, color.green / 65535.0, color.blue / 65535.0);
    if (area)
        cairo_rectangle(cr, area->left, area->top, area->right - area->left, area->bottom - area->top);
    else
        cairo_paint(cr);
    if (area) cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_mark_dirty(surface);
}

PangoFontDescription* FontOf(const SlideShowFontSetting& font) {
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, font.face[0] ? font.face : "Sans");
    const int points = (font.size >= 10 && font.size <= 100) ? font.size : 10;
    pango_font_description_set_absolute_size(description, points * 96.0 / 72.0 * PANGO_SCALE);
    return description;
}

}  // namespace

SlideStage::SlideStage(int width, int height) {
    const Rect bounds{0, 0, SInt16(height), SInt16(width)};
    if (NewGWorldFromFormat(&screen_, k32ARGBPixelFormat, &bounds) != noErr) screen_ = nullptr;
    if (NewGWorldFromFormat(&compose_, k32ARGBPixelFormat, &bounds) != noErr) compose_ = nullptr;
    if (NewGWorldFromFormat(&old_, k32ARGBPixelFormat, &bounds) != noErr) old_ = nullptr;
    font_ = SlideShowDefaultFont();
    for (int slot = 0; slot < kSlideSlots; ++slot) {
        media_[slot] = MediaObjectNew(compose_);
        MediaObjectSetRedrawProc(media_[slot], &SlideStage::OnRedraw, reinterpret_cast<std::uintptr_t>(this));
        MediaObjectSetUserValue(media_[slot], UInt32(slot));
    }
}

SlideStage::~SlideStage() {
    for (MediaObject*& m : media_) {
        MediaObjectDelete(m);
        m = nullptr;
    }
    if (screen_) DisposeGWorld(screen_);
    if (compose_) DisposeGWorld(compose_);
    if (old_) DisposeGWorld(old_);
}

void SlideStage::OnRedraw(MediaObject* object, std::uintptr_t refCon) {
    auto* stage = reinterpret_cast<SlideStage*>(refCon);
    int slot = 0;
    while (slot < kSlideSlots && stage->media_[slot] != object) ++slot;
    if (slot == 0 || slot == kSlideSlots) return;   // the background sound draws nothing
    FillWorld(stage->compose_, stage->background_, &stage->rects_[slot]);
    MediaObjectDraw(object);
    if (!stage->transitionEffect_) {
        stage->CopyComposeToScreen();
        if (stage->onChanged_) stage->onChanged_();
    }
}

void SlideStage::CopyComposeToScreen() { CopyWorld(compose_, screen_); }

bool SlideStage::Open(int slot, const FSSpec& file, OSType type, Handle preview) {
    MediaObject* m = media_[slot];
    OSErr err;
    if (preview)
        err = MediaObjectOpenHandle(m, preview);
    else
        err = MediaObjectOpen(m, &file, type, 1, 1, 0, false);
    open_[slot] = err == noErr && MediaObjectIsOpen(m);
    if (!open_[slot]) MediaObjectClose(m);
    MediaObjectSetColor(m, &background_);
    if (slot > 0) {
        MediaObjectSetBounds(m, &rects_[slot]);
        MediaObjectSetDisplayRect(m, &rects_[slot]);
    }
    return open_[slot];
}

bool SlideStage::HoldsFile(int slot, const FSSpec& file) {
    FSSpec held;
    return open_[slot] && MediaObjectGetFileSpec(media_[slot], &held) && held == file;
}

void SlideStage::Close(int slot) {
    MediaObjectStop(media_[slot]);
    MediaObjectClose(media_[slot]);
    open_[slot] = false;
}

bool SlideStage::ShowsSomething(int slot) { return open_[slot] && MediaObjectIsOpen(media_[slot]); }

bool SlideStage::IsMovie(int slot) {
    return ShowsSomething(slot) && media_[slot]->presenterType == kMediaPresenterMovie &&
           KindGetCategory(media_[slot]->kind) == kKindCategoryVideo;
}

bool SlideStage::HasEnded(int slot) {
    if (!ShowsSomething(slot)) return true;
    if (media_[slot]->presenterType != kMediaPresenterMovie) return false;
    return MediaObjectGetPlayState(media_[slot], media_[slot]->playOption) == 0;
}

void SlideStage::SetRect(int slot, const Rect& rect) {
    rects_[slot] = rect;
    MediaObjectSetBounds(media_[slot], &rect);
    MediaObjectSetDisplayRect(media_[slot], &rect);
}

void SlideStage::SetScale(int slot, UInt8 mode, UInt16 percent) {
    MediaObjectSetShowFlag(media_[slot], mode);
    MediaObjectSetPercent(media_[slot], percent);
}

UInt16 SlideStage::Percent(int slot) { return MediaObjectGetPercent(media_[slot]); }
void SlideStage::SetVolume(int slot, UInt16 level) { MediaObjectSetVolume(media_[slot], level); }
void SlideStage::Start(int slot) { MediaObjectStart(media_[slot], media_[slot]->playOption); }
void SlideStage::Stop(int slot) { MediaObjectStop(media_[slot]); }
void SlideStage::ProcessEvents(int slot) { MediaObjectProcessEvents(media_[slot]); }

void SlideStage::Click(int slot, Point where, bool allTogether) {
    if (allTogether) {
        for (int s = 1; s < kSlideSlots; ++s)
            if (ShowsSomething(s)) MediaObjectTrackControllerStill(media_[s], where);
        return;
    }
    MediaObjectMouseDown(media_[slot], where, 0, true);
    MediaObjectTrackController(media_[slot], where);
}

void SlideStage::SetBackground(const RGBColor& color) {
    background_ = color;
    for (MediaObject* m : media_) MediaObjectSetColor(m, &background_);
}

void SlideStage::KeepOldPicture() {
    if (transitionEffect_) {
        CopyComposeToScreen();   // a transition cut short ends on its new picture
        transitionEffect_ = 0;
    }
    CopyWorld(screen_, old_);
}

void SlideStage::Erase() { FillWorld(compose_, background_, nullptr); }

void SlideStage::DrawCell(int slot, const SlideCellText& text) {
    FillWorld(compose_, background_, &rects_[slot]);
    if (ShowsSomething(slot)) MediaObjectDraw(media_[slot]);
    if (!text.text.empty()) DrawText(text);
}

void SlideStage::DrawText(const SlideCellText& t) {
    cairo_surface_t* surface = GetGWorldSurface(compose_);
    if (!surface || t.area.right <= t.area.left) return;
    cairo_surface_flush(surface);
    cairo_t* cr = cairo_create(surface);
    FillWorld(compose_, background_, &t.area);
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* description = FontOf(font_);
    pango_layout_set_font_description(layout, description);
    pango_layout_set_text(layout, t.text.c_str(), -1);
    pango_layout_set_width(layout, (t.area.right - t.area.left) * PANGO_SCALE);
    pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    pango_layout_set_alignment(layout, t.alignment == 1   ? PANGO_ALIGN_LEFT
                                       : t.alignment == 2 ? PANGO_ALIGN_RIGHT
                                                          : PANGO_ALIGN_CENTER);
    cairo_set_source_rgb(cr, t.color.red / 65535.0, t.color.green / 65535.0, t.color.blue / 65535.0);
    cairo_move_to(cr, t.area.left, t.area.top + 1);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(description);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_mark_dirty(surface);
}

void SlideStage::Present(int effect, UInt32 now, UInt32 ticks) {
    TransitionEffect e;
    if (effect == 0 || ticks == 0 || !TransitionGetEffect(effect, &e)) {
        transitionEffect_ = 0;
        CopyComposeToScreen();
    } else {
        transitionEffect_ = effect;
        transitionStart_ = now;
        transitionTicks_ = ticks;
        Advance(now);
    }
    if (onChanged_) onChanged_();
}

bool SlideStage::Advance(UInt32 now) {
    if (!transitionEffect_) return false;
    const UInt32 passed = now - transitionStart_;
    if (passed >= transitionTicks_) {
        transitionEffect_ = 0;
        CopyComposeToScreen();
        return true;
    }
    TransitionEffect e;
    TransitionGetEffect(transitionEffect_, &e);
    TransitionRenderFrame(e, old_, compose_, double(passed) / transitionTicks_, screen_);
    return true;
}

int SlideStage::TextLineHeight(const SlideShowFontSetting& font) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* cr = cairo_create(surface);
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* description = FontOf(font);
    pango_layout_set_font_description(layout, description);
    pango_layout_set_text(layout, "Ag", -1);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    pango_font_description_free(description);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return height;
}

bool SlideStage::PlayVoice(Handle sound) { return SoundFileProbe(sound, nullptr, 0) == noErr; }

void SlideStage::Beep() {
    if (onBeep_) onBeep_();
}
