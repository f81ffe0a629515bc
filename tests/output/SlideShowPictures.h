// Pictures of one flat colour, written as PNG files by cairo, for the slide-show tests: a
// transition's frames are easy to tell apart from either picture.
#pragma once

#include <cairo.h>

#include <string>

inline bool WriteFlatPng(const std::string& path, int width, int height, double red, double green, double blue) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, red, green, blue);
    cairo_paint(cr);
    cairo_destroy(cr);
    const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}
