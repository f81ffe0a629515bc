#include "foundation/ui/OffscreenBitmap.h"

#include <cairo.h>
#include <wx/image.h>

#include <cstdint>

wxBitmap BitmapFromGWorld(GWorldPtr world) {
    cairo_surface_t* surface = world ? GetGWorldSurface(world) : nullptr;
    if (!surface) return wxBitmap();
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    if (width <= 0 || height <= 0 || !data) return wxBitmap();
    wxImage image(width, height, false);
    unsigned char* rgb = image.GetData();
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = row[x];
            *rgb++ = (v >> 16) & 0xFF;
            *rgb++ = (v >> 8) & 0xFF;
            *rgb++ = v & 0xFF;
        }
    }
    return wxBitmap(image);
}
