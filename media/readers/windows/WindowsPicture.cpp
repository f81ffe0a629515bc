#include "media/readers/windows/WindowsPicture.h"

#include "foundation/files/FileData.h"
#include "media/kinds/KindEngine.h"
#include "media/kinds/KindTable.h"
#include "media/readers/windows/IconFile.h"
#include "media/readers/windows/Metafile.h"
#include "platform/Handles.h"

#include <cairo.h>

#include <algorithm>

#include <filesystem>
#include <string>
#include <system_error>

namespace {

// Pictures of these kinds are small; a larger file is not read into memory.
constexpr std::uintmax_t kMaxPictureFileBytes = 16u << 20;

// A loaded picture: the decoded icon image, or the metafile's bytes and frame.
struct WindowsPictureData {
    IconImage image;
    std::string metafile;
    MetafileFrame frame;
    bool transparent = false;
    int Width() const { return metafile.empty() ? image.width : frame.width; }
    int Height() const { return metafile.empty() ? image.height : frame.height; }
};

bool WindowsPictureOpen(const FSSpec* spec, WindowsPictureData* out) {
    if (!spec) return false;
    std::error_code ec;
    const std::uintmax_t length = std::filesystem::file_size(spec->path, ec);
    if (ec || length == 0 || length > kMaxPictureFileBytes) return false;
    Handle data = nullptr;
    long size = 0;
    if (LoadFileData(spec, &data, &size) != noErr || !data) return false;
    HLock(data);
    const std::string_view bytes(reinterpret_cast<const char*>(*data), std::size_t(size));
    bool ok = false;
    MetafileFrame frame;
    if (MetafileMeasure(bytes, false, &frame)) {
        out->metafile.assign(bytes);
        out->frame = frame;
        ok = true;
    } else {
        // Icon pictures are the file's first image, as the platform's picture loader takes it.
        ok = IconImageCount(bytes) > 0 && IconDecodeImage(bytes, 0, &out->image);
    }
    DisposeHandle(data);
    // Icons draw through their mask and metafiles only where they draw: both are transparent.
    if (ok) out->transparent = true;
    return ok;
}

OSErr Render(const WindowsPictureData& picture, int width, int height, GWorldPtr* offscreen) {
    const Rect bounds{0, 0, SInt16(height), SInt16(width)};
    GWorldPtr world = nullptr;
    if (OSErr err = NewGWorldFromFormat(&world, k32BGRAPixelFormat, &bounds)) return err;
    if (!LockPixels(world)) {
        DisposeGWorld(world);
        return memFullErr;
    }
    cairo_surface_t* target = GetGWorldSurface(world);
    cairo_t* cr = cairo_create(target);
    if (picture.transparent) {
        const RGBColor& back = KindEngineGlobals().thumbBackground;
        cairo_set_source_rgb(cr, (back.red >> 8) / 255.0, (back.green >> 8) / 255.0, (back.blue >> 8) / 255.0);
        cairo_paint(cr);
    }
    if (!picture.metafile.empty()) {
        MetafilePlay(picture.metafile, false, cr, width, height);
        cairo_destroy(cr);
        cairo_surface_flush(target);
        UnlockPixels(world);
        *offscreen = world;
        return noErr;
    }
    const IconImage& image = picture.image;
    cairo_surface_t* source = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    cairo_surface_flush(source);
    unsigned char* base = cairo_image_surface_get_data(source);
    const int stride = cairo_image_surface_get_stride(source);
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(base + std::size_t(y) * stride);
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.argb[std::size_t(y) * image.width + x];
            const std::uint32_t a = p >> 24;
            auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
            row[x] = (a << 24) | (mul((p >> 16) & 0xFF) << 16) | (mul((p >> 8) & 0xFF) << 8) | mul(p & 0xFF);
        }
    }
    cairo_surface_mark_dirty(source);
    cairo_scale(cr, double(width) / image.width, double(height) / image.height);
    cairo_set_source_surface(cr, source, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(source);
    cairo_surface_flush(target);
    UnlockPixels(world);
    *offscreen = world;
    return noErr;
}

}  // namespace

void KindRegisterWindowsPictures() {
    KindRegister('EMF ', kKindHandlerBuiltin, "Windows Metafile", kKindCategoryIllustration);
    KindRegister('WMF ', kKindHandlerBuiltin, "Windows Metafile", kKindCategoryIllustration);
    KindRegister('ICO ', kKindHandlerBuiltin, "Windows Icon", kKindCategoryImage);
}

OSErr WindowsPictureGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, SInt16 size) {
    if (!info) return paramErr;
    if (offscreen) *offscreen = nullptr;
    info->depth = 32;
    info->pages = 1;
    info->colorSpace = 'RGB ';
    WindowsPictureData picture;
    if (!WindowsPictureOpen(spec, &picture)) return kWindowsPictureOpenErr;
    int width = picture.Width(), height = picture.Height();
    info->width = UInt32(width);
    info->height = UInt32(height);
    if (!offscreen) return noErr;
    if (size > 0 && (width >= size || height >= size)) {
        if (height < width) {
            height = std::max(1, height * size / width);
            width = size;
        } else {
            width = std::max(1, width * size / height);
            height = size;
        }
    }
    return Render(picture, width, height, offscreen);
}

OSErr WindowsPictureMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    WindowsPictureData picture;
    if (!WindowsPictureOpen(spec, &picture)) return kWindowsPictureOpenErr;
    return Render(picture, picture.Width(), picture.Height(), offscreen);
}
