#include "platform/imaging/GraphicsExporter.h"

#include "platform/AtomicFile.h"
#include "platform/ByteOrder.h"
#include "platform/Files.h"
#include "platform/Handles.h"
#include "platform/imaging/ImageCompression.h"
#include "platform/imaging/Picture.h"
#include "platform/imaging/codecs/JpegCodec.h"

#include <png.h>
#include <tiffio.h>

#include <cmath>
#include <csetjmp>
#include <cstring>
#include <new>

namespace {

const GraphicsExporterComponentInfo kExporters[] = {
    {'JPEG', 'appl', "JPEG", "jpg", "libjpeg-turbo"},
    {'PNGf', 'appl', "PNG", "png", "libpng"},
    {'TIFF', 'appl', "TIFF", "tif", "libtiff"},
    {'BMPf', 'appl', "BMP", "bmp", "own BMP writer"},
    {'PICT', 'appl', "PICT", "pct", "own picture writer"},
    {'8BPS', 'appl', "Photoshop", "psd", "own Photoshop writer"},
    {'TPIC', 'appl', "Targa", "tga", "own Targa writer"},
};

}  // namespace

struct GraphicsExporterRec {
    const GraphicsExporterComponentInfo* component = nullptr;
    GWorldPtr world = nullptr;
    std::string path;
    std::uint32_t quality = codecHighQuality;
    double hRes = 72, vRes = 72;
    std::vector<std::uint8_t> profile;
};

int CountGraphicsExporterComponents() {
    return int(sizeof kExporters / sizeof kExporters[0]);
}

const GraphicsExporterComponentInfo* GetGraphicsExporterComponent(int index) {
    return index >= 0 && index < CountGraphicsExporterComponents() ? &kExporters[index] : nullptr;
}

const GraphicsExporterComponentInfo* FindGraphicsExporterComponent(OSType subtype) {
    for (const auto& c : kExporters)
        if (c.subtype == subtype) return &c;
    return nullptr;
}

OSErr OpenGraphicsExporter(OSType subtype, GraphicsExportComponent* out) {
    if (!out) return paramErr;
    *out = nullptr;
    const auto* c = FindGraphicsExporterComponent(subtype);
    if (!c) return kNoImporterForTypeErr;
    auto* ge = new (std::nothrow) GraphicsExporterRec;
    if (!ge) return memFullErr;
    ge->component = c;
    *out = ge;
    return noErr;
}

void CloseGraphicsExporter(GraphicsExportComponent ge) {
    delete ge;
}

OSErr GraphicsExportSetInputGWorld(GraphicsExportComponent ge, GWorldPtr world) {
    if (!ge) return paramErr;
    ge->world = world;
    return noErr;
}

OSErr GraphicsExportSetOutputFile(GraphicsExportComponent ge, const std::string& path) {
    if (!ge || path.empty()) return paramErr;
    ge->path = path;
    return noErr;
}

OSErr GraphicsExportSetCompressionQuality(GraphicsExportComponent ge, std::uint32_t quality) {
    if (!ge || quality > codecMaxQuality) return paramErr;
    ge->quality = quality;
    return noErr;
}

OSErr GraphicsExportSetResolution(GraphicsExportComponent ge, Fixed horizontal, Fixed vertical) {
    if (!ge || horizontal <= 0 || vertical <= 0) return paramErr;
    ge->hRes = FixedToDouble(horizontal);
    ge->vRes = FixedToDouble(vertical);
    return noErr;
}

OSErr GraphicsExportSetColorSyncProfile(GraphicsExportComponent ge, Handle profile) {
    if (!ge) return paramErr;
    ge->profile.clear();
    if (profile && *profile)
        ge->profile.assign(reinterpret_cast<std::uint8_t*>(*profile), reinterpret_cast<std::uint8_t*>(*profile) + GetHandleSize(profile));
    return noErr;
}

namespace {

struct Pixels {
    const std::uint8_t* base;
    std::int32_t width, height;
    std::int32_t rowBytes;
    // Red, green, blue of pixel x of row y.
    const std::uint8_t* At(std::int32_t x, std::int32_t y) const { return base + y * rowBytes + x * 4; }
};

OSErr EncodeJpeg(const GraphicsExporterRec& ge, const Pixels& p, std::vector<std::uint8_t>* out) {
    return JpegEncodeBGRXWithProfile(p.base, p.width, p.height, p.rowBytes, JpegQualityFromCodecQuality(ge.quality),
                                     int(std::lround(ge.hRes)), int(std::lround(ge.vRes)),
                                     ge.profile.empty() ? nullptr : ge.profile.data(), ge.profile.size(), out);
}

void PngWrite(png_structp png, png_bytep data, png_size_t n) {
    auto* v = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    v->insert(v->end(), data, data + n);
}
void PngFlush(png_structp) {}
void PngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void PngWarning(png_structp, png_const_charp) {}

OSErr EncodePng(const GraphicsExporterRec& ge, const Pixels& p, std::vector<std::uint8_t>* out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (!png) return memFullErr;
    png_infop info = png_create_info_struct(png);
    std::vector<std::uint8_t> row(std::size_t(p.width) * 3);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return ioErr;
    }
    png_set_write_fn(png, out, PngWrite, PngFlush);
    png_set_IHDR(png, info, png_uint_32(p.width), png_uint_32(p.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, png_uint_32(std::lround(ge.hRes / 0.0254)), png_uint_32(std::lround(ge.vRes / 0.0254)),
                 PNG_RESOLUTION_METER);
    if (!ge.profile.empty())
        png_set_iCCP(png, info, "ICC profile", PNG_COMPRESSION_TYPE_BASE, ge.profile.data(), png_uint_32(ge.profile.size()));
    png_write_info(png, info);
    for (std::int32_t y = 0; y < p.height; ++y) {
        for (std::int32_t x = 0; x < p.width; ++x) {
            const std::uint8_t* s = p.At(x, y);
            row[std::size_t(x) * 3] = s[2];
            row[std::size_t(x) * 3 + 1] = s[1];
            row[std::size_t(x) * 3 + 2] = s[0];
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return noErr;
}

// libtiff writing into memory.
struct MemoryTiff {
    std::vector<std::uint8_t>* bytes;
    std::uint64_t pos = 0;
};
tmsize_t TiffRead(thandle_t h, void* buf, tmsize_t n) {
    auto* m = static_cast<MemoryTiff*>(h);
    if (m->pos >= m->bytes->size()) return 0;
    tmsize_t avail = tmsize_t(m->bytes->size() - m->pos);
    tmsize_t take = n < avail ? n : avail;
    std::memcpy(buf, m->bytes->data() + m->pos, std::size_t(take));
    m->pos += std::uint64_t(take);
    return take;
}
tmsize_t TiffWrite(thandle_t h, void* buf, tmsize_t n) {
    auto* m = static_cast<MemoryTiff*>(h);
    if (m->pos + std::uint64_t(n) > m->bytes->size()) m->bytes->resize(std::size_t(m->pos + std::uint64_t(n)));
    std::memcpy(m->bytes->data() + m->pos, buf, std::size_t(n));
    m->pos += std::uint64_t(n);
    return n;
}
toff_t TiffSeek(thandle_t h, toff_t off, int whence) {
    auto* m = static_cast<MemoryTiff*>(h);
    std::uint64_t base = whence == SEEK_CUR ? m->pos : whence == SEEK_END ? m->bytes->size() : 0;
    m->pos = base + off;
    return m->pos;
}
int TiffClose(thandle_t) {
    return 0;
}
toff_t TiffSize(thandle_t h) {
    return static_cast<MemoryTiff*>(h)->bytes->size();
}
int TiffMap(thandle_t, void**, toff_t*) {
    return 0;
}
void TiffUnmap(thandle_t, void*, toff_t) {}

OSErr EncodeTiff(const GraphicsExporterRec& ge, const Pixels& p, std::vector<std::uint8_t>* out) {
    MemoryTiff m{out};
    TIFF* t = TIFFClientOpen("export", "w", &m, TiffRead, TiffWrite, TiffSeek, TiffClose, TiffSize, TiffMap, TiffUnmap);
    if (!t) return ioErr;
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, std::uint32_t(p.width));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, std::uint32_t(p.height));
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
    TIFFSetField(t, TIFFTAG_XRESOLUTION, float(ge.hRes));
    TIFFSetField(t, TIFFTAG_YRESOLUTION, float(ge.vRes));
    TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    if (!ge.profile.empty()) TIFFSetField(t, TIFFTAG_ICCPROFILE, std::uint32_t(ge.profile.size()), ge.profile.data());
    std::vector<std::uint8_t> row(std::size_t(p.width) * 3);
    bool ok = true;
    for (std::int32_t y = 0; y < p.height && ok; ++y) {
        for (std::int32_t x = 0; x < p.width; ++x) {
            const std::uint8_t* s = p.At(x, y);
            row[std::size_t(x) * 3] = s[2];
            row[std::size_t(x) * 3 + 1] = s[1];
            row[std::size_t(x) * 3 + 2] = s[0];
        }
        ok = TIFFWriteScanline(t, row.data(), std::uint32_t(y), 0) >= 0;
    }
    TIFFClose(t);
    return ok ? noErr : ioErr;
}

OSErr EncodeBmp(const GraphicsExporterRec& ge, const Pixels& p, std::vector<std::uint8_t>* out) {
    std::uint32_t stride = (std::uint32_t(p.width) * 3 + 3) & ~3u;
    std::uint32_t data = stride * std::uint32_t(p.height);
    out->assign(54 + std::size_t(data), 0);
    std::uint8_t* b = out->data();
    b[0] = 'B';
    b[1] = 'M';
    WriteLE32(b + 2, 54 + data);
    WriteLE32(b + 10, 54);
    WriteLE32(b + 14, 40);
    WriteLE32(b + 18, std::uint32_t(p.width));
    WriteLE32(b + 22, std::uint32_t(p.height));
    WriteLE16(b + 26, 1);
    WriteLE16(b + 28, 24);
    WriteLE32(b + 34, data);
    WriteLE32(b + 38, std::uint32_t(std::lround(ge.hRes / 0.0254)));
    WriteLE32(b + 42, std::uint32_t(std::lround(ge.vRes / 0.0254)));
    for (std::int32_t y = 0; y < p.height; ++y) {
        std::uint8_t* row = b + 54 + std::size_t(p.height - 1 - y) * stride;
        for (std::int32_t x = 0; x < p.width; ++x) std::memcpy(row + x * 3, p.At(x, y), 3);
    }
    return noErr;
}

OSErr EncodePict(const GraphicsExporterRec& ge, const Pixels& p, std::vector<std::uint8_t>* out) {
    PicHandle pic = nullptr;
    OSErr err = RecordPixelsPicture(p.base, p.width, p.height, p.rowBytes, DoubleToFixed(ge.hRes), &pic);
    if (err != noErr) return err;
    out->assign(kPictFileHeaderSize, 0);
    out->insert(out->end(), reinterpret_cast<std::uint8_t*>(*pic), reinterpret_cast<std::uint8_t*>(*pic) + GetHandleSize(pic));
    DisposeHandle(pic);
    return noErr;
}

// A flat Photoshop document: RGB, 8 bits, the composite image stored raw.
OSErr EncodePhotoshop(const GraphicsExporterRec& ge, const Pixels& p, std::vector<std::uint8_t>* out) {
    std::vector<std::uint8_t>& v = *out;
    v.clear();
    auto put16 = [&](std::uint16_t n) { v.push_back(std::uint8_t(n >> 8)), v.push_back(std::uint8_t(n)); };
    auto put32 = [&](std::uint32_t n) { put16(std::uint16_t(n >> 16)), put16(std::uint16_t(n)); };
    put32('8BPS');
    put16(1);
    v.insert(v.end(), 6, 0);
    put16(3);
    put32(std::uint32_t(p.height));
    put32(std::uint32_t(p.width));
    put16(8);
    put16(3);
    put32(0);
    // Image resources: the resolution (1005).
    put32(28);
    put32('8BIM');
    put16(1005);
    put16(0);
    put32(16);
    put32(std::uint32_t(DoubleToFixed(ge.hRes)));
    put16(1);
    put16(1);
    put32(std::uint32_t(DoubleToFixed(ge.vRes)));
    put16(1);
    put16(1);
    put32(0);  // no layers
    put16(0);  // raw
    for (int c = 2; c >= 0; --c)
        for (std::int32_t y = 0; y < p.height; ++y)
            for (std::int32_t x = 0; x < p.width; ++x) v.push_back(p.At(x, y)[c]);
    return noErr;
}

OSErr EncodeTarga(const GraphicsExporterRec&, const Pixels& p, std::vector<std::uint8_t>* out) {
    if (p.width > 65535 || p.height > 65535) return paramErr;
    out->assign(18, 0);
    std::uint8_t* h = out->data();
    h[2] = 2;
    WriteLE16(h + 12, std::uint16_t(p.width));
    WriteLE16(h + 14, std::uint16_t(p.height));
    h[16] = 24;
    h[17] = 0x20;  // rows from the top
    for (std::int32_t y = 0; y < p.height; ++y)
        for (std::int32_t x = 0; x < p.width; ++x) out->insert(out->end(), p.At(x, y), p.At(x, y) + 3);
    return noErr;
}

}  // namespace

OSErr GraphicsExportToBytes(GraphicsExportComponent ge, std::vector<std::uint8_t>* bytes) {
    if (!ge || !bytes) return paramErr;
    PixelView v = GetGWorldPixels(ge->world);
    if (!v.base || v.depth != 32 || v.format == k32CMYKPixelFormat) return paramErr;
    Pixels p{v.base, v.width, v.height, v.rowBytes};
    bytes->clear();
    LockPixels(ge->world);
    OSErr err;
    switch (ge->component->subtype) {
    case 'JPEG': err = EncodeJpeg(*ge, p, bytes); break;
    case 'PNGf': err = EncodePng(*ge, p, bytes); break;
    case 'TIFF': err = EncodeTiff(*ge, p, bytes); break;
    case 'BMPf': err = EncodeBmp(*ge, p, bytes); break;
    case 'PICT': err = EncodePict(*ge, p, bytes); break;
    case '8BPS': err = EncodePhotoshop(*ge, p, bytes); break;
    case 'TPIC': err = EncodeTarga(*ge, p, bytes); break;
    default: err = kNoImporterForTypeErr; break;
    }
    UnlockPixels(ge->world);
    return err;
}

OSErr GraphicsExportDoExport(GraphicsExportComponent ge, std::uint32_t* bytesWritten) {
    if (bytesWritten) *bytesWritten = 0;
    if (!ge || ge->path.empty()) return paramErr;
    std::vector<std::uint8_t> bytes;
    OSErr err = GraphicsExportToBytes(ge, &bytes);
    if (err != noErr) return err;
    int e = WriteFileAtomically(ge->path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), 0644);
    if (e != 0) return OSErrFromErrno(e);
    if (bytesWritten) *bytesWritten = std::uint32_t(std::min<std::size_t>(bytes.size(), 0xFFFFFFFF));
    return noErr;
}
