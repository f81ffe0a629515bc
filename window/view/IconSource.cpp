#include "window/view/IconSource.h"

#include <cairo.h>

#include <algorithm>

namespace {

// Plain shapes in the spirit of the freedesktop item icons: a sheet with a folded corner,
// marked by category (picture: a mountain, movie: film holes, sound: a note, other: lines).
class BuiltInIcons : public IconSource {
public:
    bool DrawIcon(cairo_t* cr, int id, const Rect& r) override {
        const double w = r.right - r.left, h = r.bottom - r.top;
        if (w <= 0 || h <= 0) return false;
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

BuiltInIcons gBuiltIn;
IconSource* gSource = nullptr;

}  // namespace

void SetIconSource(IconSource* source) { gSource = source; }
IconSource& GetIconSource() { return gSource ? *gSource : gBuiltIn; }
