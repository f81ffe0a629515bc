#include "window/view/IconSource.h"

#include <cairo.h>

#include <algorithm>

namespace {

// Plain shapes in the spirit of the freedesktop item icons: a sheet with a folded corner,
// marked by category (picture: a mountain, movie: film holes, sound: a note, other: lines).
class BuiltInIcons : public IconSource {
public:
    static bool DrawHeaderIcon(cairo_t* cr, int id, const Rect& r);
    bool DrawIcon(cairo_t* cr, int id, const Rect& r) override {
        const double w = r.right - r.left, h = r.bottom - r.top;
        if (w <= 0 || h <= 0) return false;
        if (id >= kIconHeaderFirstId && id <= kIconHeaderLastId) return DrawHeaderIcon(cr, id, r);
        const bool category = id >= kIconCategoryBase && id < kIconCategoryBase + 10;
        const bool badge = id >= kIconBadgeFirst && id <= kIconBadgeLast;
        if (!category && !badge && id != kIconEmptyHint) return false;
        cairo_save(cr);
        cairo_translate(cr, r.left, r.top);
        cairo_scale(cr, w / 16.0, h / 16.0);
        cairo_set_line_width(cr, 1.0);
        if (badge) {
            cairo_rectangle(cr, 1, 3, 14, 10);
            cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
            cairo_fill(cr);
            cairo_move_to(cr, 6, 5);
            cairo_line_to(cr, 11, 8);
            cairo_line_to(cr, 6, 11);
            cairo_close_path(cr);
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_fill(cr);
        } else {
            cairo_move_to(cr, 2.5, 0.5);
            cairo_line_to(cr, 10.5, 0.5);
            cairo_line_to(cr, 13.5, 3.5);
            cairo_line_to(cr, 13.5, 15.5);
            cairo_line_to(cr, 2.5, 15.5);
            cairo_close_path(cr);
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_fill_preserve(cr);
            cairo_set_source_rgb(cr, 0.33, 0.34, 0.32);
            cairo_stroke(cr);
            const int c = category ? id - kIconCategoryBase : 0;
            if (c == 0) {  // picture
                cairo_move_to(cr, 4, 13);
                cairo_line_to(cr, 7, 8);
                cairo_line_to(cr, 9, 11);
                cairo_line_to(cr, 10, 10);
                cairo_line_to(cr, 12, 13);
                cairo_close_path(cr);
                cairo_set_source_rgb(cr, 0.3, 0.6, 0.02);
                cairo_fill(cr);
            } else if (c == 1) {  // movie
                cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
                for (int y = 3; y < 14; y += 3) {
                    cairo_rectangle(cr, 4, y, 1.5, 1.5);
                    cairo_rectangle(cr, 10.5, y, 1.5, 1.5);
                }
                cairo_fill(cr);
            } else if (c == 2) {  // sound
                cairo_set_source_rgb(cr, 0.2, 0.2, 0.5);
                cairo_arc(cr, 6.5, 12, 1.8, 0, 6.2832);
                cairo_fill(cr);
                cairo_rectangle(cr, 7.6, 5, 1, 7);
                cairo_fill(cr);
            } else {
                cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
                for (int y = 5; y < 14; y += 2) cairo_rectangle(cr, 4, y, 8, 0.8);
                cairo_fill(cr);
            }
        }
        cairo_restore(cr);
        return true;
    }
};

// The header bar's glyphs, in the bar's text colour: sort order arrows, the menu triangle,
// zoom minus and plus, turn arrows, and the image steppers.
bool BuiltInIcons::DrawHeaderIcon(cairo_t* cr, int id, const Rect& r) {
    const double w = r.right - r.left, h = r.bottom - r.top;
    cairo_save(cr);
    cairo_translate(cr, r.left, r.top);
    cairo_scale(cr, w / 12.0, h / 12.0);
    cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
    cairo_set_line_width(cr, 1.4);
    auto triangle = [&](double x0, double y0, double x1, double y1, double x2, double y2) {
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_line_to(cr, x2, y2);
        cairo_close_path(cr);
        cairo_fill(cr);
    };
    switch (id) {
    case 2001:  // ascending
        triangle(6, 2, 10, 9, 2, 9);
        break;
    case 2002:  // descending
        triangle(2, 3, 10, 3, 6, 10);
        break;
    case 2003:  // menu
        triangle(2, 4, 10, 4, 6, 9);
        break;
    case 2004:
    case 2005:  // zoom out, in
        cairo_arc(cr, 5, 5, 3.6, 0, 6.2832);
        cairo_move_to(cr, 7.6, 7.6);
        cairo_line_to(cr, 11, 11);
        cairo_move_to(cr, 3.2, 5);
        cairo_line_to(cr, 6.8, 5);
        if (id == 2005) {
            cairo_move_to(cr, 5, 3.2);
            cairo_line_to(cr, 5, 6.8);
        }
        cairo_stroke(cr);
        break;
    case 2006:
    case 2007: {  // turn left (counter-clockwise), right (clockwise)
        const bool left = id == 2006;
        if (left)
            cairo_arc_negative(cr, 6, 6.5, 3.8, -0.3, 3.6);
        else
            cairo_arc(cr, 6, 6.5, 3.8, 3.44, 0.3 + 6.2832);
        cairo_stroke(cr);
        if (left)
            triangle(0.6, 4.2, 4.6, 4.2, 2.2, 7.6);
        else
            triangle(11.4, 4.2, 7.4, 4.2, 9.8, 7.6);
        break;
    }
    case 2009:  // first
        cairo_rectangle(cr, 2, 2, 1.6, 8);
        cairo_fill(cr);
        triangle(10, 2, 10, 10, 4, 6);
        break;
    case 2010:  // previous
        triangle(9, 2, 9, 10, 3, 6);
        break;
    case 2011:  // next
        triangle(3, 2, 3, 10, 9, 6);
        break;
    case 2012:  // last
        triangle(2, 2, 2, 10, 8, 6);
        cairo_rectangle(cr, 8.4, 2, 1.6, 8);
        cairo_fill(cr);
        break;
    default:
        cairo_restore(cr);
        return false;
    }
    cairo_restore(cr);
    return true;
}

BuiltInIcons gBuiltIn;
IconSource* gSource = nullptr;

}  // namespace

void SetIconSource(IconSource* source) { gSource = source; }
IconSource& GetIconSource() { return gSource ? *gSource : gBuiltIn; }
