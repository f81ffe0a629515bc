// TIFF through libtiff. Every directory of the file is one image. CMYK and 8-bit grey images
// are delivered as they are stored so that they can be colour-matched through their profile;
// everything else goes through libtiff's RGBA conversion, a band of rows at a time.
#include "platform/imaging/codecs/ImageDecoder.h"

#include "platform/imaging/GWorld.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>

namespace {

struct Client {
    ByteSource* src;
    std::uint64_t pos = 0;
    int errors = 0;
};

tmsize_t ReadProc(thandle_t h, void* buf, tmsize_t n) {
    auto* c = static_cast<Client*>(h);
    if (n <= 0) return 0;
    std::size_t got = c->src->ReadSome(c->pos, buf, std::size_t(n));
    c->pos += got;
    return tmsize_t(got);
}
tmsize_t WriteProc(thandle_t, void*, tmsize_t) {
    return 0;
}
toff_t SeekProc(thandle_t h, toff_t off, int whence) {
    auto* c = static_cast<Client*>(h);
    std::uint64_t base = whence == SEEK_CUR ? c->pos : whence == SEEK_END ? c->src->Size() : 0;
    c->pos = base + off;
    return c->pos;
}
int CloseProc(thandle_t) {
    return 0;
}
toff_t SizeProc(thandle_t h) {
    return static_cast<Client*>(h)->src->Size();
}
int MapProc(thandle_t, void**, toff_t*) {
    return 0;
}
void UnmapProc(thandle_t, void*, toff_t) {}

int OnError(TIFF*, void* user, const char*, const char*, va_list) {
    if (user) static_cast<Client*>(user)->errors++;
    return 1;
}
int OnWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

// An open TIFF over a source; closed when it goes out of scope.
class TiffFile {
public:
    explicit TiffFile(ByteSource& src) : client_{&src} {
        TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
        TIFFOpenOptionsSetMaxSingleMemAlloc(opts, 256 * 1024 * 1024);
        TIFFOpenOptionsSetErrorHandlerExtR(opts, OnError, &client_);
        TIFFOpenOptionsSetWarningHandlerExtR(opts, OnWarning, nullptr);
        tif_ = TIFFClientOpenExt("image", "rm", &client_, ReadProc, WriteProc, SeekProc, CloseProc,
                                 SizeProc, MapProc, UnmapProc, opts);
        TIFFOpenOptionsFree(opts);
    }
    ~TiffFile() {
        if (tif_) TIFFClose(tif_);
    }
    TIFF* get() const { return tif_; }
    int errors() const { return client_.errors; }

private:
    Client client_;
    TIFF* tif_ = nullptr;
};

struct DirFacts {
    std::uint32_t width = 0, height = 0;
    std::uint16_t spp = 1, bps = 1, photometric = PHOTOMETRIC_MINISBLACK, planar = PLANARCONFIG_CONTIG;
    std::uint16_t inkset = INKSET_CMYK;
    std::uint16_t extraCount = 0;
    bool tiled = false;
    bool alpha = false;
};

bool ReadFacts(TIFF* tif, DirFacts* f) {
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &f->width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &f->height))
        return false;
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &f->spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &f->bps);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &f->photometric))
        f->photometric = f->spp >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &f->planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_INKSET, &f->inkset);
    std::uint16_t* extra = nullptr;
    if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &f->extraCount, &extra) && f->extraCount > 0 && extra)
        f->alpha = extra[0] == EXTRASAMPLE_ASSOCALPHA || extra[0] == EXTRASAMPLE_UNASSALPHA;
    f->tiled = TIFFIsTiled(tif) != 0;
    return DimensionsAcceptable(f->width, f->height);
}

bool IsPlainCmyk(const DirFacts& f) {
    return f.photometric == PHOTOMETRIC_SEPARATED && f.inkset == INKSET_CMYK && f.spp == 4 &&
           f.bps == 8 && f.planar == PLANARCONFIG_CONTIG && !f.tiled;
}
bool IsPlainGray(const DirFacts& f) {
    return f.photometric == PHOTOMETRIC_MINISBLACK && f.spp == 1 && f.bps == 8 && !f.tiled;
}

class TiffDecoder : public ImageDecoder {
public:
    bool Sniff(ByteSource& src) override {
        std::uint8_t b[4];
        if (!src.ReadAt(0, b, 4)) return false;
        return (b[0] == 'I' && b[1] == 'I' && (b[2] == 42 || b[2] == 43) && b[3] == 0) ||
               (b[0] == 'M' && b[1] == 'M' && b[2] == 0 && (b[3] == 42 || b[3] == 43));
    }

    OSErr ReadInfo(ByteSource& src, std::uint32_t imageIndex, DecodedImageInfo* info) override {
        if (!Sniff(src)) return kBadMediaDataErr;
        TiffFile file(src);
        TIFF* tif = file.get();
        if (!tif) return kBadMediaDataErr;
        std::uint32_t count = 0;
        // Counting stops a little past the point where the answer no longer matters.
        do {
            ++count;
        } while (count < 4096 && TIFFReadDirectory(tif));
        if (imageIndex < 1 || imageIndex > count) return paramErr;
        if (!TIFFSetDirectory(tif, tdir_t(imageIndex - 1))) return kBadMediaDataErr;
        DirFacts f;
        if (!ReadFacts(tif, &f)) return kBadMediaDataErr;
        info->imageCount = count;
        info->width = std::int32_t(f.width);
        info->height = std::int32_t(f.height);
        info->codecType = 'tiff';
        info->codecName = "TIFF";
        info->hasAlpha = f.alpha;
        info->pixelFormat = 0;
        switch (f.photometric) {
        case PHOTOMETRIC_MINISBLACK:
        case PHOTOMETRIC_MINISWHITE:
            info->depth = f.alpha ? 32 : f.bps == 1 ? 1 : std::int16_t(32 + std::min<int>(f.bps, 8));
            break;
        case PHOTOMETRIC_PALETTE:
            info->depth = std::int16_t(std::min<int>(f.bps, 8));
            break;
        case PHOTOMETRIC_SEPARATED:
            info->depth = 32;
            if (f.inkset == INKSET_CMYK && f.spp >= 4) info->pixelFormat = 'cmyk';
            break;
        default:
            if (f.bps == 16) {
                info->depth = 48;
                info->pixelFormat = 'b48r';
            } else {
                info->depth = f.alpha ? 32 : 24;
            }
            break;
        }
        float xres = 0, yres = 0;
        std::uint16_t unit = RESUNIT_INCH;
        TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
        if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xres) && TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yres) &&
            xres > 0 && yres > 0 && unit != RESUNIT_NONE) {
            double factor = unit == RESUNIT_CENTIMETER ? 2.54 : 1.0;
            info->hRes = xres * factor;
            info->vRes = yres * factor;
            info->hasResolution = true;
        }
        std::uint32_t iccLen = 0;
        void* icc = nullptr;
        if (TIFFGetField(tif, TIFFTAG_ICCPROFILE, &iccLen, &icc) && icc && iccLen > 0)
            info->iccProfile.assign(static_cast<std::uint8_t*>(icc), static_cast<std::uint8_t*>(icc) + iccLen);
        return noErr;
    }

    OSErr Decode(ByteSource& src, std::uint32_t imageIndex, const DecodeOptions& options,
                 RowSink& sink) override {
        if (!Sniff(src)) return kBadMediaDataErr;
        TiffFile file(src);
        TIFF* tif = file.get();
        if (!tif || imageIndex < 1 || !TIFFSetDirectory(tif, tdir_t(imageIndex - 1))) return kBadMediaDataErr;
        DirFacts f;
        if (!ReadFacts(tif, &f)) return kBadMediaDataErr;
        OSErr result;
        if (IsPlainCmyk(f) || IsPlainGray(f))
            result = DecodeScanlines(tif, f, sink);
        else
            result = DecodeRgba(tif, f, options, sink);
        if (result == noErr && options.strict && file.errors() > 0) result = kBadMediaDataErr;
        return result;
    }

private:
    static OSErr DecodeScanlines(TIFF* tif, const DirFacts& f, RowSink& sink) {
        PixelLayout layout = f.spp == 4 ? PixelLayout::CMYK32 : PixelLayout::Gray8;
        tmsize_t lineSize = TIFFScanlineSize(tif);
        std::size_t need = std::size_t(f.width) * LayoutBytesPerPixel(layout);
        if (lineSize <= 0 || std::size_t(lineSize) < need) return kBadMediaDataErr;
        OSErr err = sink.Begin(std::int32_t(f.width), std::int32_t(f.height), layout);
        if (err != noErr) return err;
        std::vector<std::uint8_t> line(std::size_t(lineSize), 0);
        for (std::uint32_t y = 0; y < f.height; ++y) {
            if (TIFFReadScanline(tif, line.data(), y, 0) < 0) return kBadMediaDataErr;
            sink.Row(std::int32_t(y), line.data());
        }
        return noErr;
    }

    static OSErr DecodeRgba(TIFF* tif, const DirFacts& f, const DecodeOptions& options, RowSink& sink) {
        char message[1024];
        if (!TIFFRGBAImageOK(tif, message)) return kBadMediaDataErr;
        TIFFRGBAImage img;
        if (!TIFFRGBAImageBegin(&img, tif, 0, message)) return kBadMediaDataErr;
        img.req_orientation = ORIENTATION_TOPLEFT;
        bool keepAlpha = options.wantAlpha && f.alpha;
        PixelLayout layout = keepAlpha ? PixelLayout::BGRA32 : PixelLayout::BGRX32;
        // A band as tall as a strip or a tile row, so that no strip is decoded twice.
        std::uint32_t band = 64;
        if (f.tiled) {
            std::uint32_t th = 0;
            if (TIFFGetField(tif, TIFFTAG_TILELENGTH, &th) && th > 0) band = th;
        } else {
            std::uint32_t rps = 0;
            if (TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rps) && rps > 0) band = rps;
        }
        band = std::min(band, f.height);
        std::uint64_t bandBytes = std::uint64_t(f.width) * band * 4;
        if (bandBytes > 512ull * 1024 * 1024) {
            TIFFRGBAImageEnd(&img);
            return memFullErr;
        }
        OSErr err = sink.Begin(std::int32_t(f.width), std::int32_t(f.height), layout);
        if (err != noErr) {
            TIFFRGBAImageEnd(&img);
            return err;
        }
        std::vector<std::uint32_t> raster;
        std::vector<std::uint8_t> row(std::size_t(f.width) * 4);
        try {
            raster.assign(std::size_t(f.width) * band, 0);
        } catch (...) {
            TIFFRGBAImageEnd(&img);
            return memFullErr;
        }
        OSErr result = noErr;
        for (std::uint32_t y = 0; y < f.height; y += band) {
            std::uint32_t rows = std::min(band, f.height - y);
            img.row_offset = int(y);
            img.col_offset = 0;
            std::fill(raster.begin(), raster.end(), 0u);
            if (!TIFFRGBAImageGet(&img, raster.data(), f.width, rows)) {
                if (options.strict) {
                    result = kBadMediaDataErr;
                    break;
                }
            }
            for (std::uint32_t r = 0; r < rows; ++r) {
                const std::uint32_t* px = raster.data() + std::size_t(r) * f.width;
                for (std::uint32_t x = 0; x < f.width; ++x) {
                    std::uint32_t v = px[x];
                    std::uint8_t* o = &row[std::size_t(x) * 4];
                    o[0] = std::uint8_t(TIFFGetB(v));
                    o[1] = std::uint8_t(TIFFGetG(v));
                    o[2] = std::uint8_t(TIFFGetR(v));
                    o[3] = keepAlpha ? std::uint8_t(TIFFGetA(v)) : 0xFF;
                }
                sink.Row(std::int32_t(y + r), row.data());
            }
        }
        TIFFRGBAImageEnd(&img);
        return result;
    }
};

}  // namespace

std::unique_ptr<ImageDecoder> NewTiffDecoder() {
    return std::make_unique<TiffDecoder>();
}
