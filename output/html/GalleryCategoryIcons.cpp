#include "output/html/GalleryCategoryIcons.h"

#include <cairo.h>
#include <gif_lib.h>

#include <array>
#include <cmath>
#include <cstring>

namespace {

constexpr int kSize = 32;

struct Rgb {
    double r, g, b;
};

// The band colour of each category's page.
constexpr std::array<Rgb, 8> kBand = {{
    {0.20, 0.55, 0.25},  // image
    {0.60, 0.20, 0.60},  // audio
    {0.75, 0.25, 0.15},  // video
    {0.90, 0.55, 0.10},  // illustration
    {0.15, 0.45, 0.70},  // page layout
    {0.35, 0.35, 0.35},  // font
    {0.25, 0.35, 0.60},  // text
    {0.10, 0.55, 0.60},  // web page
}};

void Line(cairo_t* cr, double x0, double y0, double x1, double y1) {
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
}

void DrawIcon(cairo_t* cr, int category) {
    const Rgb band = kBand[std::size_t(category)];
    // A white page with a dark edge and a coloured head band.
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
    cairo_rectangle(cr, 4, 2, 24, 28);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, 5, 3, 22, 26);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, band.r, band.g, band.b);
    cairo_rectangle(cr, 5, 3, 22, 5);
    cairo_fill(cr);
    cairo_set_line_width(cr, 2);
    switch (category) {
        case 1:  // a note
            cairo_arc(cr, 13, 23, 3, 0, 2 * M_PI);
            cairo_fill(cr);
            cairo_rectangle(cr, 15, 11, 2, 12);
            cairo_rectangle(cr, 15, 11, 6, 2);
            cairo_fill(cr);
            break;
        case 2:  // a film strip
            cairo_rectangle(cr, 9, 11, 14, 15);
            cairo_fill(cr);
            cairo_set_source_rgb(cr, 1, 1, 1);
            for (int y = 12; y < 25; y += 4) {
                cairo_rectangle(cr, 10, y, 2, 2);
                cairo_rectangle(cr, 20, y, 2, 2);
            }
            cairo_fill(cr);
            break;
        case 3:  // a pen stroke
            Line(cr, 9, 26, 23, 12);
            cairo_arc(cr, 10, 14, 2, 0, 2 * M_PI);
            cairo_fill(cr);
            break;
        case 4:  // two columns of lines
            for (int y = 12; y <= 26; y += 3) {
                Line(cr, 8, y, 15, y);
                Line(cr, 17, y, 24, y);
            }
            break;
        case 5:  // the letter A
            Line(cr, 10, 26, 16, 11);
            Line(cr, 16, 11, 22, 26);
            Line(cr, 12, 21, 20, 21);
            break;
        case 6:  // lines of text
            for (int y = 12; y <= 26; y += 3) Line(cr, 8, y, y == 26 ? 18 : 24, y);
            break;
        case 7:  // angle brackets
            Line(cr, 13, 13, 8, 19);
            Line(cr, 8, 19, 13, 25);
            Line(cr, 19, 13, 24, 19);
            Line(cr, 24, 19, 19, 25);
            break;
        default:  // a landscape under a sun
            cairo_arc(cr, 21, 14, 3, 0, 2 * M_PI);
            cairo_fill(cr);
            cairo_move_to(cr, 7, 26);
            cairo_line_to(cr, 14, 15);
            cairo_line_to(cr, 20, 22);
            cairo_line_to(cr, 23, 19);
            cairo_line_to(cr, 26, 26);
            cairo_close_path(cr);
            cairo_fill(cr);
            break;
    }
}

int WriteToVector(GifFileType* gif, const GifByteType* bytes, int count) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), bytes, bytes + count);
    return count;
}

}  // namespace

std::vector<std::uint8_t> CategoryIconGif(UInt8 category) {
    const int which = category <= 7 ? int(category) : 0;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSize, kSize);
    cairo_t* cr = cairo_create(surface);
    // Without smoothing the picture holds only the few colours drawn, so it needs no dithering.
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    DrawIcon(cr, which);
    cairo_destroy(cr);
    cairo_surface_flush(surface);

    std::array<GifColorType, 256> colours{};
    int colourCount = 0;
    std::array<GifByteType, kSize * kSize> pixels{};
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            std::uint32_t v;
            std::memcpy(&v, data + y * stride + x * 4, 4);
            const GifColorType c = {GifByteType(v >> 16), GifByteType(v >> 8), GifByteType(v)};
            int i = 0;
            while (i < colourCount && !(colours[i].Red == c.Red && colours[i].Green == c.Green && colours[i].Blue == c.Blue)) ++i;
            if (i == colourCount && colourCount < 256) colours[colourCount++] = c;
            pixels[std::size_t(y * kSize + x)] = GifByteType(std::min(i, 255));
        }
    }
    cairo_surface_destroy(surface);

    int bits = 1;
    while ((1 << bits) < colourCount) ++bits;
    ColorMapObject* map = GifMakeMapObject(1 << bits, nullptr);
    std::vector<std::uint8_t> out;
    if (!map) return out;
    for (int i = 0; i < colourCount; ++i) map->Colors[i] = colours[std::size_t(i)];
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToVector, &error);
    bool ok = gif != nullptr;
    if (ok) {
        EGifSetGifVersion(gif, true);
        ok = EGifPutScreenDesc(gif, kSize, kSize, bits, 0, map) == GIF_OK &&
             EGifPutImageDesc(gif, 0, 0, kSize, kSize, false, nullptr) == GIF_OK;
        for (int y = 0; ok && y < kSize; ++y) ok = EGifPutLine(gif, pixels.data() + y * kSize, kSize) == GIF_OK;
        if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
    }
    GifFreeMapObject(map);
    if (!ok) out.clear();
    return out;
}
