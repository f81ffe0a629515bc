#include "window/view/ViewFonts.h"

#include "foundation/text/Unicode.h"

#include <pango/pangocairo.h>

#include <cstring>

namespace {

// Cells are laid out in pixels at the desktop's usual 96 dots per inch, the resolution the
// point sizes of the stored font settings were chosen for.
constexpr double kViewDpi = 96.0;

PangoContext* MeasuringContext() {
    static PangoContext* context = [] {
        PangoFontMap* map = pango_cairo_font_map_get_default();
        PangoContext* c = pango_font_map_create_context(map);
        pango_cairo_context_set_resolution(c, kViewDpi);
        return c;
    }();
    return context;
}

}  // namespace

PangoFontDescription* ViewFontDescription(const CatalogFontEntry* font, bool bold) {
    PangoFontDescription* d = pango_font_description_new();
    const char* face = "Sans";
    if (font && font->name[0]) face = font->name;
    std::string name = font && font->name[0] ? AnsiToUtf8(std::string(face, strnlen(face, sizeof(font->name)))) : face;
    pango_font_description_set_family(d, name.c_str());
    int points = font && font->size ? font->size : 9;
    pango_font_description_set_size(d, points * PANGO_SCALE);
    pango_font_description_set_weight(d, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    return d;
}

SInt16 ViewFontLineHeight(const CatalogFontEntry* font, bool bold) {
    PangoFontDescription* d = ViewFontDescription(font, bold);
    PangoFontMetrics* m = pango_context_get_metrics(MeasuringContext(), d, nullptr);
    int ascent = pango_font_metrics_get_ascent(m);
    int descent = pango_font_metrics_get_descent(m);
    pango_font_metrics_unref(m);
    pango_font_description_free(d);
    return SInt16(PANGO_PIXELS_CEIL(ascent) + PANGO_PIXELS_CEIL(descent));
}

SInt16 ViewFontTextWidth(const CatalogFontEntry* font, bool bold, const std::string& text) {
    PangoFontDescription* d = ViewFontDescription(font, bold);
    PangoLayout* layout = pango_layout_new(MeasuringContext());
    pango_layout_set_font_description(layout, d);
    std::string utf8 = AnsiToUtf8(text);
    pango_layout_set_text(layout, utf8.data(), int(utf8.size()));
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    g_object_unref(layout);
    pango_font_description_free(d);
    return SInt16(w);
}
