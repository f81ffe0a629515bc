#include "window/view/CellText.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldFormat.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/text/Unicode.h"
#include "media/kinds/CatalogThumbnail.h"
#include "window/view/CellPrimitives.h"
#include "window/view/ViewFonts.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewRec.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstring>
#include <list>
#include <memory>
#include <unordered_map>

namespace {

// The resolution the view's fonts are measured at (see ViewFonts).
constexpr double kTextDpi = 96.0;
constexpr UInt8 kStyleBold = 1, kStyleItalic = 2, kStyleUnderline = 4;
constexpr UInt8 kValueText = 5;

// One pango context for every text drawn without a transform (the screen and the tests):
// making a context per text would look every font up again.
PangoContext* PlainContext() {
    static PangoContext* context = [] {
        PangoContext* c = pango_font_map_create_context(pango_cairo_font_map_get_default());
        pango_cairo_context_set_resolution(c, kTextDpi);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
        pango_cairo_context_set_font_options(c, options);
        cairo_font_options_destroy(options);
        return c;
    }();
    return context;
}

bool PlainTransform(cairo_t* cr) {
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    return m.xx == 1 && m.yy == 1 && m.xy == 0 && m.yx == 0;
}

PangoLayout* NewLayout(cairo_t* cr, const std::string& utf8, const CatalogFontEntry* font, UInt8 style) {
    PangoLayout* layout;
    if (PlainTransform(cr)) {
        layout = pango_layout_new(PlainContext());
    } else {
        // A scaled context (a printed page): the layout follows its transform.
        layout = pango_cairo_create_layout(cr);
        pango_cairo_context_set_resolution(pango_layout_get_context(layout), kTextDpi);
        pango_layout_context_changed(layout);
    }
    PangoFontDescription* d = ViewFontDescription(font, style & kStyleBold);
    if (style & kStyleItalic) pango_font_description_set_style(d, PANGO_STYLE_ITALIC);
    pango_layout_set_font_description(layout, d);
    pango_font_description_free(d);
    if (style & kStyleUnderline) {
        PangoAttrList* attrs = pango_attr_list_new();
        pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        pango_layout_set_attributes(layout, attrs);
        pango_attr_list_unref(attrs);
    }
    pango_layout_set_text(layout, utf8.data(), int(utf8.size()));
    return layout;
}

cairo_t* MeasuringCairo() {
    static cairo_t* cr = [] {
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
        cairo_t* c = cairo_create(s);
        cairo_surface_destroy(s);
        return c;
    }();
    return cr;
}

std::string FromField(const FieldValue& v, UInt8 type, FieldId id) {
    if (type == kValueText) {
        const int n = std::clamp<int>(v.text.length, 0, kFieldTextMax);
        std::string_view bytes(v.text.bytes, std::size_t(n));
        return v.text.encoding == kFieldTextUtf8 ? std::string(bytes) : AnsiToUtf8(bytes);
    }
    Str255 text;
    FieldValueToText(&v, type, id, text, false);
    return AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(text + 1), text[0]));
}

}  // namespace

namespace {

PangoLayout* NewTextLayout(cairo_t* cr, const std::string& utf8, int w, int h, const CatalogFontEntry* font, UInt8 style,
                           SInt16 justification, TextFit fit);

// Laid-out texts of the plain context, by everything that shapes them: the same captions and
// columns are drawn at every redraw and scroll, and shaping is the dear part of drawing text.
class LayoutCache {
public:
    PangoLayout* Find(const std::string& key) {
        auto it = map_.find(key);
        if (it == map_.end()) return nullptr;
        order_.splice(order_.begin(), order_, it->second.second);
        return it->second.first;
    }
    void Put(const std::string& key, PangoLayout* layout) {
        g_object_ref(layout);
        order_.push_front(key);
        map_[key] = {layout, order_.begin()};
        while (map_.size() > kCapacity) {
            auto last = map_.find(order_.back());
            g_object_unref(last->second.first);
            map_.erase(last);
            order_.pop_back();
        }
    }

private:
    static constexpr std::size_t kCapacity = 4096;
    std::unordered_map<std::string, std::pair<PangoLayout*, std::list<std::string>::iterator>> map_;
    std::list<std::string> order_;
};

LayoutCache& Layouts() {
    static LayoutCache cache;
    return cache;
}

std::string LayoutKey(const std::string& text, const CatalogFontEntry* font, UInt8 style, SInt16 justification, TextFit fit,
                      int w, int h) {
    std::string key;
    key.reserve(text.size() + 64);
    key += std::to_string(w) + ',' + std::to_string(h) + ',' + std::to_string(int(style)) + ',' +
           std::to_string(justification) + ',' + std::to_string(int(fit)) + ',';
    if (font) key += std::to_string(font->size) + ',' + std::string(font->name, strnlen(font->name, sizeof font->name));
    key += '\x01';
    key += text;
    return key;
}

}  // namespace

void CellDrawTextUtf8(cairo_t* cr, const std::string& utf8, const Rect& r, const CatalogFontEntry* font, UInt8 style,
                      SInt16 justification, TextFit fit, const RGBColor& color) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0 || utf8.empty()) return;
    const bool plain = PlainTransform(cr);
    const std::string key = plain ? LayoutKey(utf8, font, style, justification, fit, w, h) : std::string();
    PangoLayout* layout = plain ? Layouts().Find(key) : nullptr;
    if (layout) {
        g_object_ref(layout);
    } else {
        layout = NewTextLayout(cr, utf8, w, h, font, style, justification, fit);
        if (plain) Layouts().Put(key, layout);
    }
    cairo_save(cr);
    cairo_rectangle(cr, r.left, r.top, w, h);
    cairo_clip(cr);
    CellSetColor(cr, color);
    cairo_move_to(cr, r.left, r.top);
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
    g_object_unref(layout);
}

namespace {

PangoLayout* NewTextLayout(cairo_t* cr, const std::string& utf8, int w, int h, const CatalogFontEntry* font, UInt8 style,
                           SInt16 justification, TextFit fit) {
    std::string text = utf8;
    if (fit == TextFit::PathEllipsis) {
        text = PathEllipsis(utf8, w, [&](const std::string& t) { return CellTextWidthUtf8(t, font, style); });
        fit = TextFit::EndEllipsis;
    }
    PangoLayout* layout = NewLayout(cr, text, font, style);
    pango_layout_set_width(layout, w * PANGO_SCALE);
    pango_layout_set_alignment(layout, justification == kJustRight ? PANGO_ALIGN_RIGHT
                                       : justification == kJustCentre ? PANGO_ALIGN_CENTER : PANGO_ALIGN_LEFT);
    pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    if (fit == TextFit::Wrap) {
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        pango_layout_set_height(layout, h * PANGO_SCALE);
    } else {
        pango_layout_set_single_paragraph_mode(layout, TRUE);
        pango_layout_set_height(layout, 0);
    }
    return layout;
}

}  // namespace

int CellTextWidthUtf8(const std::string& utf8, const CatalogFontEntry* font, UInt8 style) {
    PangoLayout* layout = NewLayout(MeasuringCairo(), utf8, font, style);
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    g_object_unref(layout);
    return w;
}

std::string PathEllipsis(const std::string& text, int maxWidth, const std::function<int(const std::string&)>& width) {
    if (width(text) <= maxWidth) return text;
    const std::size_t cut = text.find_last_of("\\/:");
    const std::string ellipsis = "\xE2\x80\xA6";  // …
    if (cut == std::string::npos) return text;
    const std::string last = text.substr(cut);  // with its separator
    if (width(ellipsis + last) > maxWidth) return text.substr(cut + 1);
    // The longest start (whole UTF-8 characters) that leaves room for the rest.
    std::size_t lo = 0, hi = cut;
    while (lo < hi) {
        std::size_t mid = (lo + hi + 1) / 2;
        while (mid > 0 && (static_cast<unsigned char>(text[mid]) & 0xC0) == 0x80) --mid;
        if (mid <= lo) {
            hi = lo;
            break;
        }
        if (width(text.substr(0, mid) + ellipsis + last) <= maxWidth)
            lo = mid;
        else
            hi = mid - 1;
    }
    while (lo > 0 && (static_cast<unsigned char>(text[lo]) & 0xC0) == 0x80) --lo;
    return text.substr(0, lo) + ellipsis + last;
}

std::string CellFieldText(const CatalogRec* catalog, SInt32 item, FieldId id, bool singleLine) {
    if (item == 0) {
        Str255 name;
        if (!FieldGetName(catalog, id, name)) return {};
        return AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(name + 1), name[0]));
    }
    auto value = std::make_unique<FieldValue>();
    switch (id) {
    case kFieldCatalogSets: {
        std::string joined;
        for (SInt32 index = 1;; ++index) {
            FieldValueClear(value.get());
            const UInt8 type = ItemGetFieldVisible(catalog, item, index, id, value.get());
            if (type == 0) break;
            std::string one = FromField(*value, type, id);
            if (one.empty()) continue;
            if (!joined.empty()) joined += ", ";
            joined += one;
            if (index > 4096) break;
        }
        return joined;
    }
    case kFieldCategories:
    case kFieldKeywords:
    case kFieldPeople:
    case kFieldCaption: {
        FieldValueClear(value.get());
        const UInt8 type = ItemGetFieldVisible(catalog, item, 0, id, value.get());
        if (type != kValueText) return type ? FromField(*value, type, id) : std::string();
        std::string raw(value->text.bytes, std::size_t(std::clamp<int>(value->text.length, 0, kFieldTextMax)));
        const bool utf8 = value->text.encoding == kFieldTextUtf8;
        if (id == kFieldCaption && singleLine) {
            std::string out;
            for (char c : raw) {
                if (c == '\r' || c == '\n' || c == '\0')
                    out += utf8 ? "\xC2\xAC" : "\xAC";
                else
                    out += c;
            }
            raw.swap(out);
        }
        return utf8 ? raw : AnsiToUtf8(raw);
    }
    default: {
        FieldValueClear(value.get());
        const UInt8 type = ItemGetFieldVisible(catalog, item, 0, id, value.get());
        return type ? FromField(*value, type, id) : std::string();
    }
    }
}

void CellDrawFieldValue(cairo_t* cr, ViewRec* view, SInt32 item, SInt16 just, const Rect& rect, const ViewFieldEntry& entry,
                        bool blank, bool singleLine, const CatalogFontEntry* font, const CellColors& colors) {
    const Rect R{SInt16(rect.top + 2), SInt16(rect.left + 2), SInt16(rect.bottom - 2), SInt16(rect.right - 2)};
    if (R.right <= R.left || R.bottom <= R.top) return;
    FillRectColor(cr, R, colors.background);
    if (R.right - R.left < 20) return;
    const FieldId id = FieldId(entry.fieldId);
    const UInt8 style = item == 0 ? UInt8(entry.textStyle | kStyleBold) : entry.textStyle;
    if (item != 0 && id == kFieldSampleColor) {
        auto value = std::make_unique<FieldValue>();
        FieldValueClear(value.get());
        RGBColor swatch;
        if (ItemGetFieldVisible(view->catalog, item, 1, id, value.get()) == 3 && ColorFromPackedBytes(value->u32, &swatch)) {
            const SInt16 left = just == kJustLeft ? R.left : SInt16(R.left + (R.right - R.left) / 2 - 15);
            FillRectColor(cr, Rect{R.top, left, R.bottom, std::min<SInt16>(SInt16(left + 30), R.right)}, swatch);
            return;
        }
        CellDrawTextUtf8(cr, "-", R, font, style, just, TextFit::EndEllipsis, colors.text);
        return;
    }
    std::string text = CellFieldText(view->catalog, item, id, singleLine);
    if (text.empty()) {
        if (blank) return;
        text = "-";
    }
    const TextFit fit = !singleLine ? TextFit::Wrap : id == kFieldPath && item != 0 ? TextFit::PathEllipsis : TextFit::EndEllipsis;
    CellDrawTextUtf8(cr, text, R, font, style, just, fit, colors.text);
}

void CellDrawFieldText(cairo_t* cr, ViewRec* view, const Rect& rect, SInt16 just, const ViewFieldEntry& entry,
                       const CatalogFontEntry* font, bool blank, bool singleLine, SInt32 item, const CellColors& colors) {
    CellDrawFieldValue(cr, view, item, just, rect, entry, blank, singleLine, font, colors);
}

void CellDrawCaptions(cairo_t* cr, ViewRec* view, SInt32 item, const ViewCellPartRects& parts, const ViewFieldList* fields,
                      const ViewModeSettings* settings, const ViewColors* colors, const CatalogFontEntry* font,
                      const RGBColor& textColor) {
    if (!fields || !colors) return;
    const bool labels = settings && settings->labelsShown;
    const bool aligned = settings && settings->alignedCaptions;
    const RGBColor column = colors->colors[2];
    for (int i = 0; i < 10 && fields->fields[i].fieldId != 0; ++i) {
        const Rect& L = parts.labels[i];
        const Rect& V = parts.values[i];
        if (V.right <= V.left || V.bottom <= V.top) break;
        const ViewFieldEntry& entry = fields->fields[i];
        if (labels) {
            FrameRectWidth(cr, 2, L, column);
            FillRectColor(cr, Rect{L.top, L.right, L.bottom, V.left}, column);
            CellDrawFieldValue(cr, view, 0, aligned ? kJustRight : kJustLeft, L, entry, false, true, font,
                               CellColors{textColor, column});
        }
        FrameRectWidth(cr, 2, V, column);
        CellDrawFieldText(cr, view, V, aligned && !labels ? kJustCentre : kJustLeft, entry, font, false, entry.value == 1, item,
                          CellColors{textColor, column});
        if (i > 0)
            FillRectColor(cr, Rect{SInt16(V.top - 1), labels ? L.left : V.left, V.top, V.right}, colors->colors[0]);
    }
}

namespace {

// The entry of the current item's cell the edit opens on, and its value rectangle.
int FindEditEntry(ViewRec* view, const Point* click, UInt32 wanted, Rect* rect) {
    const UInt8 mode = ViewGetMode(view);
    const ViewFieldList* fields = CatalogGetSlotRec(view->catalog, mode);
    if (!fields) return -1;
    const ViewCell cell = ViewItemToCell(view, view->currentItem);
    if (!ViewIsCellVisible(view, cell)) return -1;
    SInt32 r32[4];
    ViewCellRect32(view, cell, r32);
    const Rect cellRect{SInt16(r32[0]), SInt16(r32[1]), SInt16(r32[2]), SInt16(r32[3])};
    ViewCellPartRects parts;
    ViewCellParts(view, mode, CatalogGetSlotRec16(view->catalog, mode), fields, &cellRect, &parts);
    for (int i = 0; i < 10 && fields->fields[i].fieldId != 0; ++i) {
        const UInt32 id = fields->fields[i].fieldId;
        const Rect& v = parts.values[i];
        if (click) {
            const bool editable = id == kFieldFileName || id == kFieldCaption;
            if (editable && click->h >= v.left && click->h < v.right && click->v >= v.top && click->v < v.bottom) {
                *rect = v;
                return i;
            }
        } else if (id == wanted) {
            *rect = v;
            return i;
        }
    }
    return -1;
}

}  // namespace

bool ViewFindEditField(ViewRec* view, const Point* click, SInt32* item, Rect* rect, SInt16* lines, UInt32* fieldId) {
    if (!view || view->currentItem < 1 || view->currentItem > ViewItemCount(view)) return false;
    const UInt32 wanted = fieldId && *fieldId ? *fieldId : UInt32(kFieldFileName);
    Rect r{};
    int entry = FindEditEntry(view, click, wanted, &r);
    if (entry < 0) return false;
    const UInt8 mode = ViewGetMode(view);
    if (mode != kViewMedia && r.bottom > view->viewRect.bottom) {
        ViewRevealCell(view, ViewItemToCell(view, view->currentItem));
        entry = FindEditEntry(view, click, wanted, &r);
        if (entry < 0 || r.bottom > view->viewRect.bottom) return false;
    }
    const ViewFieldEntry& e = CatalogGetSlotRec(view->catalog, mode)->fields[entry];
    if (item) *item = view->currentItem;
    if (rect) *rect = r;
    if (lines) *lines = mode == kViewList ? 1 : SInt16(e.value);
    if (fieldId) *fieldId = e.fieldId;
    return true;
}
