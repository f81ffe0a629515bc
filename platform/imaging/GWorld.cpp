#include "platform/imaging/GWorld.h"

#include "platform/imaging/Ports.h"

#include <cairo.h>

#include <cstdlib>
#include <cstring>
#include <new>

struct GWorld {
    Rect bounds{};
    OSType format = 0;
    std::int16_t depth = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t rowBytes = 0;
    std::uint8_t* pixels = nullptr;
    cairo_surface_t* surface = nullptr;
    PortState port;
};

std::int16_t PixelFormatDepth(OSType pixelFormat) {
    switch (pixelFormat) {
    case 0:
    case k32ARGBPixelFormat:
    case k32BGRAPixelFormat:
    case k32CMYKPixelFormat:
        return 32;
    case k1MonochromePixelFormat:
        return 1;
    case 2:
    case 4:
    case k8IndexedPixelFormat:
    case k8IndexedGrayPixelFormat:
        return pixelFormat == k8IndexedGrayPixelFormat ? 8 : std::int16_t(pixelFormat);
    case k16BE555PixelFormat:
        return 16;
    case k24RGBPixelFormat:
        return 24;
    default:
        return 0;
    }
}

static bool IsCairoFormat(OSType format) {
    return format == 0 || format == k32ARGBPixelFormat || format == k32BGRAPixelFormat;
}

// Allocates the pixel block for the world's current width, height and format.
static OSErr AllocatePixels(GWorld* w) {
    std::int64_t pixels = std::int64_t(w->width) * w->height;
    if (w->width <= 0 || w->height <= 0) return paramErr;
    if (w->width > kMaxWorldSide || w->height > kMaxWorldSide || pixels > kMaxWorldPixels)
        return memFullErr;
    std::int64_t rowBytes;
    if (IsCairoFormat(w->format)) {
        rowBytes = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, w->width);
    } else {
        rowBytes = (std::int64_t(w->width) * w->depth + 7) / 8;
        rowBytes = (rowBytes + 3) & ~std::int64_t(3);
    }
    if (rowBytes <= 0) return memFullErr;
    std::size_t size = std::size_t(rowBytes) * std::size_t(w->height);
    auto* block = static_cast<std::uint8_t*>(std::calloc(size, 1));
    if (!block) return memFullErr;
    w->pixels = block;
    w->rowBytes = std::int32_t(rowBytes);
    if (IsCairoFormat(w->format)) {
        w->surface = cairo_image_surface_create_for_data(block, CAIRO_FORMAT_RGB24, w->width,
                                                         w->height, w->rowBytes);
        if (cairo_surface_status(w->surface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(w->surface);
            w->surface = nullptr;
            std::free(block);
            w->pixels = nullptr;
            return memFullErr;
        }
    }
    return noErr;
}

static void ReleasePixels(GWorld* w) {
    if (w->surface) {
        cairo_surface_finish(w->surface);
        cairo_surface_destroy(w->surface);
        w->surface = nullptr;
    }
    std::free(w->pixels);
    w->pixels = nullptr;
}

OSErr NewGWorldFromFormat(GWorldPtr* out, OSType pixelFormat, const Rect* bounds) {
    if (!out) return paramErr;
    *out = nullptr;
    if (!bounds || EmptyRect(bounds)) return paramErr;
    std::int16_t depth = PixelFormatDepth(pixelFormat);
    if (depth == 0) return paramErr;
    auto* w = new (std::nothrow) GWorld;
    if (!w) return memFullErr;
    w->bounds = *bounds;
    w->format = pixelFormat;
    w->depth = depth;
    w->width = std::int32_t(bounds->right) - bounds->left;
    w->height = std::int32_t(bounds->bottom) - bounds->top;
    OSErr err = AllocatePixels(w);
    if (err != noErr) {
        delete w;
        return err;
    }
    *out = w;
    return noErr;
}

void DisposeGWorld(GWorldPtr world) {
    if (!world) return;
    if (GetGWorld() == world) SetGWorld(nullptr);
    ReleasePixels(world);
    delete world;
}

Rect GetPortBounds(GWorldPtr world) {
    return world ? world->bounds : Rect{};
}

void SetPortOrigin(GWorldPtr world, int h, int v) {
    if (!world) return;
    world->bounds.left = std::int16_t(h);
    world->bounds.top = std::int16_t(v);
    world->bounds.right = std::int16_t(h + world->width);
    world->bounds.bottom = std::int16_t(v + world->height);
}

OSType GetGWorldPixelFormat(GWorldPtr world) {
    return world ? world->format : 0;
}

std::int16_t GetGWorldDepth(GWorldPtr world) {
    return world ? world->depth : 0;
}

PixelView GetGWorldPixels(GWorldPtr world) {
    PixelView v;
    if (!world) return v;
    v.base = world->pixels;
    v.rowBytes = world->rowBytes;
    v.width = world->width;
    v.height = world->height;
    v.depth = world->depth;
    v.format = world->format == 0 ? k32ARGBPixelFormat : world->format;
    return v;
}

PortState* GetPortState(GWorldPtr world) {
    return world ? &world->port : nullptr;
}

cairo_surface_t* GetGWorldSurface(GWorldPtr world) {
    return world ? world->surface : nullptr;
}

bool LockPixels(GWorldPtr world) {
    if (!world || !world->pixels) return false;
    if (world->surface) cairo_surface_flush(world->surface);
    return true;
}

void UnlockPixels(GWorldPtr world) {
    if (world && world->surface) cairo_surface_mark_dirty(world->surface);
}

OSErr UpdateGWorldBounds(GWorldPtr world, const Rect* bounds, bool stretch) {
    if (!world || !bounds || EmptyRect(bounds)) return paramErr;
    GWorld fresh;
    fresh.bounds = *bounds;
    fresh.format = world->format;
    fresh.depth = world->depth;
    fresh.width = std::int32_t(bounds->right) - bounds->left;
    fresh.height = std::int32_t(bounds->bottom) - bounds->top;
    OSErr err = AllocatePixels(&fresh);
    if (err != noErr) return err;
    if (stretch) {
        if (world->surface && fresh.surface) {
            cairo_surface_flush(world->surface);
            cairo_t* cr = cairo_create(fresh.surface);
            cairo_scale(cr, double(fresh.width) / world->width, double(fresh.height) / world->height);
            cairo_set_source_surface(cr, world->surface, 0, 0);
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
            cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
            cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
            cairo_paint(cr);
            cairo_destroy(cr);
            cairo_surface_flush(fresh.surface);
        } else {
            // Nearest pixel for the formats cairo does not draw.
            int bpp = world->depth / 8;
            if (bpp >= 1) {
                for (std::int32_t y = 0; y < fresh.height; ++y) {
                    std::int32_t sy = std::int32_t(std::int64_t(y) * world->height / fresh.height);
                    const std::uint8_t* src = world->pixels + std::size_t(sy) * world->rowBytes;
                    std::uint8_t* dst = fresh.pixels + std::size_t(y) * fresh.rowBytes;
                    for (std::int32_t x = 0; x < fresh.width; ++x) {
                        std::int32_t sx = std::int32_t(std::int64_t(x) * world->width / fresh.width);
                        std::memcpy(dst + x * bpp, src + sx * bpp, bpp);
                    }
                }
            }
        }
    }
    ReleasePixels(world);
    world->bounds = fresh.bounds;
    world->width = fresh.width;
    world->height = fresh.height;
    world->rowBytes = fresh.rowBytes;
    world->pixels = fresh.pixels;
    world->surface = fresh.surface;
    fresh.pixels = nullptr;
    fresh.surface = nullptr;
    return noErr;
}
