#include "output/print/PrintText.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>

namespace {

PrintFontFaceProc gFaceProc = nullptr;

PangoFontDescription* Description(const HeaderFooterBlock& b) {
    PangoFontDescription* d = pango_font_description_new();
    const std::string face = PrintFontFace(short(b.fontNumber));
    pango_font_description_set_family(d, face.c_str());
    pango_font_description_set_absolute_size(d, double(b.size > 0 ? b.size : 10) * PANGO_SCALE);
    pango_font_description_set_weight(d, b.style & 1 ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(d, b.style & 2 ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    return d;
}

// Layouts in points, unhinted, so what is measured for the page is what a PDF or printer gets.
PangoLayout* MakeLayout(cairo_t* cr, const HeaderFooterBlock& b, const std::string& utf8) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoContext* ctx = pango_layout_get_context(layout);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(ctx, options);
    cairo_font_options_destroy(options);
    pango_cairo_context_set_resolution(ctx, 72);
    pango_layout_context_changed(layout);
    PangoFontDescription* d = Description(b);
    pango_layout_set_font_description(layout, d);
    pango_font_description_free(d);
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    pango_layout_set_text(layout, utf8.c_str(), int(utf8.size()));
    if (b.style & 4) {
        PangoAttrList* attrs = pango_attr_list_new();
        pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        pango_layout_set_attributes(layout, attrs);
        pango_attr_list_unref(attrs);
    }
    return layout;
}

// A context for measuring only.
struct Measurer {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(surface);
    ~Measurer() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
};

}  // namespace

void PrintSetFontFaceProc(PrintFontFaceProc proc) { gFaceProc = proc; }

std::string PrintFontFace(short fontNumber) {
    std::string face = gFaceProc ? gFaceProc(fontNumber) : std::string();
    return face.empty() ? std::string("Sans") : face;
}

int PrintBandLineHeight(const HeaderFooterBlock& band) {
    Measurer m;
    PangoLayout* layout = MakeLayout(m.cr, band, "Ag");
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    g_object_unref(layout);
    return int(std::ceil(double(logical.height) / PANGO_SCALE));
}

double PrintBandTextWidth(const HeaderFooterBlock& band, const std::string& utf8) {
    Measurer m;
    PangoLayout* layout = MakeLayout(m.cr, band, utf8);
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    g_object_unref(layout);
    return double(logical.width) / PANGO_SCALE;
}

void PrintDrawBandText(cairo_t* cr, const HeaderFooterBlock& band, const std::string& utf8, double x, double y, bool down) {
    if (utf8.empty()) return;
    cairo_save(cr);
    cairo_set_source_rgb(cr, band.textColor[0] / 65535.0, band.textColor[1] / 65535.0, band.textColor[2] / 65535.0);
    cairo_translate(cr, x, y);
    if (down) cairo_rotate(cr, M_PI / 2);
    PangoLayout* layout = MakeLayout(cr, band, utf8);
    cairo_move_to(cr, 0, 0);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
    cairo_restore(cr);
}
