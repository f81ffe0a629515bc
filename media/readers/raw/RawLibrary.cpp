#include "media/readers/raw/RawLibrary.h"

#include "media/imaging/Offscreen.h"
#include "media/kinds/CatalogThumbnail.h"
#include "platform/Handles.h"

#include <libraw/libraw.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <sys/stat.h>

namespace {

// What the progress handler of one development needs; lives on the developer's stack.
struct DevelopWatch {
    KindProgressProc progress = nullptr;
    std::uintptr_t refCon = 0;
    std::chrono::steady_clock::time_point deadline;
    int steps = 0;
};

int DevelopProgress(void* data, enum LibRaw_progress stage, int iteration, int expected) {
    auto* watch = static_cast<DevelopWatch*>(data);
    if (std::chrono::steady_clock::now() > watch->deadline) return 1;
    // One step per finished stage of the library.
    if (watch->progress && iteration == expected - 1) {
        ++watch->steps;
        if (watch->progress(1, watch->steps, 20, watch->refCon) != noErr) return 1;
    }
    (void)stage;
    return 0;
}

// The library reports damaged data on the standard error stream by default; the readers
// answer with error codes instead.
void IgnoreDataError(void*, const char*, const int) {}

std::string TextField(const char* text, std::size_t capacity) {
    return std::string(text, strnlen(text, capacity));
}

// A new 32-bit world from the library's 8-bit image (three colours or one grey).
OSErr WorldFromProcessed(const libraw_processed_image_t* image, GWorldPtr* out) {
    if (!image || image->bits != 8 || (image->colors != 3 && image->colors != 1)) return kBadMediaDataErr;
    const std::size_t need = std::size_t(image->width) * image->height * image->colors;
    if (image->width == 0 || image->height == 0 || image->data_size < need) return kBadMediaDataErr;
    if (image->colors == 3) return OffscreenFromRGB24(out, image->width, image->height, image->data);
    Rect r{0, 0, std::int16_t(image->height), std::int16_t(image->width)};
    OSErr err = NewGWorldFromFormat(out, k32ARGBPixelFormat, &r);
    if (err != noErr) return err;
    PixelView v = GetGWorldPixels(*out);
    LockPixels(*out);
    for (int y = 0; y < image->height; ++y) {
        const std::uint8_t* s = image->data + std::size_t(y) * image->width;
        std::uint8_t* d = v.base + std::size_t(y) * v.rowBytes;
        for (int x = 0; x < image->width; ++x, d += 4) d[0] = d[1] = d[2] = s[x], d[3] = 0;
    }
    UnlockPixels(*out);
    return noErr;
}

}  // namespace

OSErr RawLibraryError(int code) {
    switch (code) {
    case LIBRAW_SUCCESS: return noErr;
    case LIBRAW_UNSUFFICIENT_MEMORY: case LIBRAW_MEMPOOL_OVERFLOW: return memFullErr;
    case LIBRAW_CANCELLED_BY_CALLBACK: return userCanceledErr;
    case LIBRAW_NO_THUMBNAIL: case LIBRAW_UNSUPPORTED_THUMBNAIL: case LIBRAW_REQUEST_FOR_NONEXISTENT_IMAGE:
        return resNotFound;
    case LIBRAW_OUT_OF_ORDER_CALL: case LIBRAW_INPUT_CLOSED: return paramErr;
    default:
        if (code == ENOENT || code == ENOTDIR) return fnfErr;
        if (code > 0) return ioErr;
        return kBadMediaDataErr;
    }
}

RawFile::RawFile() = default;
RawFile::~RawFile() = default;

OSErr RawFile::Open(const FSSpec* spec) {
    if (!spec || spec->path.empty()) return paramErr;
    struct stat st;
    if (::stat(spec->path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return fnfErr;
    raw_ = std::make_unique<LibRaw>(LIBRAW_OPTIONS_NONE);
    if (!raw_) return memFullErr;
    libraw_data_t& d = raw_->imgdata;
    d.params.max_raw_memory_mb = kRawMaxMemoryMB;
    raw_->set_dataerror_handler(IgnoreDataError, nullptr);
    int code = raw_->open_file(spec->path.c_str());
    if (code != LIBRAW_SUCCESS) return RawLibraryError(code);
    if (std::int64_t(d.sizes.raw_width) * d.sizes.raw_height > kRawMaxPixels || d.sizes.width == 0 ||
        d.sizes.height == 0)
        return kBadMediaDataErr;
    open_ = true;
    facts_ = RawFacts{};
    facts_.make = TextField(d.idata.make, sizeof d.idata.make);
    facts_.model = TextField(d.idata.model, sizeof d.idata.model);
    facts_.width = d.sizes.width;
    facts_.height = d.sizes.height;
    facts_.rawWidth = d.sizes.raw_width;
    facts_.rawHeight = d.sizes.raw_height;
    facts_.flip = d.sizes.flip;
    facts_.iso = d.other.iso_speed;
    facts_.shutter = d.other.shutter;
    facts_.aperture = d.other.aperture;
    facts_.focalLength = d.other.focal_len;
    facts_.timestamp = d.other.timestamp;
    facts_.minFocal = d.lens.makernotes.MinFocal > 0 ? d.lens.makernotes.MinFocal : d.lens.MinFocal;
    facts_.maxFocal = d.lens.makernotes.MaxFocal > 0 ? d.lens.makernotes.MaxFocal : d.lens.MaxFocal;
    facts_.lens = TextField(d.lens.Lens, sizeof d.lens.Lens);
    facts_.previewWidth = d.thumbnail.twidth;
    facts_.previewHeight = d.thumbnail.theight;
    facts_.previewLength = d.thumbnail.tlength;
    facts_.previewIsJpeg = d.thumbnail.tformat == LIBRAW_THUMBNAIL_JPEG;
    facts_.colors = d.idata.colors;
    facts_.nikonCompression = d.makernotes.nikon.NEFCompression;
    for (int i = 0; i < 4; ++i) facts_.cameraMultipliers[i] = d.color.cam_mul[i];
    return noErr;
}

OSErr RawFile::ReadPreview(Handle* jpeg, GWorldPtr* bitmap) {
    if (!jpeg || !bitmap) return paramErr;
    *jpeg = nullptr;
    *bitmap = nullptr;
    if (!open_) return paramErr;
    if (facts_.previewLength == 0) return resNotFound;
    int code = raw_->unpack_thumb();
    if (code != LIBRAW_SUCCESS) return RawLibraryError(code);
    const libraw_thumbnail_t& t = raw_->imgdata.thumbnail;
    if (!t.thumb || t.tlength == 0) return resNotFound;
    if (t.tformat == LIBRAW_THUMBNAIL_JPEG) {
        if (t.tlength < 4 || std::uint8_t(t.thumb[0]) != 0xFF || std::uint8_t(t.thumb[1]) != 0xD8) return kBadMediaDataErr;
        return PtrToHand(t.thumb, jpeg, Size(t.tlength));
    }
    libraw_processed_image_t* image = raw_->dcraw_make_mem_thumb(&code);
    if (!image) return code != LIBRAW_SUCCESS ? RawLibraryError(code) : OSErr(resNotFound);
    OSErr err = WorldFromProcessed(image, bitmap);
    LibRaw::dcraw_clear_mem(image);
    return err;
}

OSErr RawFile::Develop(const RawDevelopOptions& options, GWorldPtr* out) {
    if (!out) return paramErr;
    *out = nullptr;
    if (!open_) return paramErr;
    libraw_output_params_t& p = raw_->imgdata.params;
    const UInt32 longSide = std::max(facts_.width, facts_.height);
    p.half_size = options.size > 0 && UInt32(options.size) * 2 <= longSide ? 1 : 0;
    p.output_bps = 8;
    p.output_color = options.colorSpace == RawColorSpace::AdobeRgb ? 2 : 1;
    p.use_camera_wb = options.whiteBalance == RawWhiteBalance::AsShot ? 1 : 0;
    p.use_auto_wb = options.whiteBalance == RawWhiteBalance::Automatic ? 1 : 0;
    p.user_flip = options.flip;
    if (options.exposureStops != 0) {
        p.exp_correc = 1;
        p.exp_shift = std::clamp(std::pow(2.0f, options.exposureStops), 0.25f, 8.0f);
        p.exp_preser = 0;
    }
    DevelopWatch watch;
    watch.progress = options.progress;
    watch.refCon = options.refCon;
    watch.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kRawMaxDevelopSeconds);
    raw_->set_progress_handler(DevelopProgress, &watch);
    if (options.progress && options.progress(0, 0, 20, options.refCon) != noErr) return userCanceledErr;

    int code = LIBRAW_SUCCESS;
    if (!unpacked_) {
        code = raw_->unpack();
        if (code == LIBRAW_SUCCESS) unpacked_ = true;
    }
    if (code == LIBRAW_SUCCESS) code = raw_->dcraw_process();
    OSErr err = RawLibraryError(code);
    if (err == noErr) {
        libraw_processed_image_t* image = raw_->dcraw_make_mem_image(&code);
        err = image ? WorldFromProcessed(image, out) : RawLibraryError(code);
        if (image) LibRaw::dcraw_clear_mem(image);
    }
    raw_->set_progress_handler(nullptr, nullptr);
    if (err == noErr && options.size > 0) {
        const std::int16_t side = std::int16_t(std::min<SInt32>(options.size, kMaxWorldSide));
        Rect box{0, 0, side, side};
        Rect bounds = GetPortBounds(*out);
        if (bounds.right - bounds.left > side || bounds.bottom - bounds.top > side) {
            GWorldPtr fitted = OffscreenScaledCopy(*out, &box, k32BGRAPixelFormat);
            if (!fitted) err = memFullErr;
            DisposeGWorld(*out);
            *out = fitted;
        }
    }
    if (err == noErr && options.sharpen) ThumbnailSharpen(*out);
    if (options.progress) options.progress(2, 20, 20, options.refCon);
    if (err != noErr && *out) {
        DisposeGWorld(*out);
        *out = nullptr;
    }
    return err;
}
