#include "output/convert/ConvertPicture.h"

#include "media/imaging/Offscreen.h"
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindEngine.h"
#include "output/convert/ConvertMetadata.h"
#include "platform/Handles.h"
#include "platform/imaging/GraphicsExporter.h"
#include "platform/imaging/ImageCompression.h"
#include "platform/imaging/codecs/JpegCodec.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <vector>

namespace {

struct GWorldHolder {
    GWorldPtr world = nullptr;
    ~GWorldHolder() { if (world) DisposeGWorld(world); }
};
struct HandleHolder {
    Handle h = nullptr;
    ~HandleHolder() { if (h) DisposeHandle(h); }
};

// The codec quality that stands for a JPEG quality of 1..100.
std::uint32_t CodecQualityFor(int jpegQuality) {
    jpegQuality = std::clamp(jpegQuality, 1, 100);
    for (std::uint32_t c = codecMinQuality; c <= codecMaxQuality; ++c)
        if (JpegQualityFromCodecQuality(c) >= jpegQuality) return c;
    return codecMaxQuality;
}

// The picture scaled to fit width x height, proportions kept (made larger or smaller).
GWorldPtr FitInto(GWorldPtr source, UInt32 width, UInt32 height) {
    Rect r = GetPortBounds(source);
    const double w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0 || width == 0 || height == 0) return nullptr;
    const double scale = std::min(double(width) / w, double(height) / h);
    const int nw = std::clamp(int(std::lround(w * scale)), 1, 32767);
    const int nh = std::clamp(int(std::lround(h * scale)), 1, 32767);
    if (nw == int(w) && nh == int(h)) return OffscreenScaledCopy(source, nullptr, k32BGRAPixelFormat);
    Rect bounds{0, 0, SInt16(nh), SInt16(nw)};
    GWorldPtr out = nullptr;
    if (NewGWorldFromFormat(&out, k32BGRAPixelFormat, &bounds) != noErr) return nullptr;
    if (OffscreenDrawImage(source, out, nullptr, nullptr, 1) != noErr) {
        DisposeGWorld(out);
        return nullptr;
    }
    return out;
}

// Encodes the picture into the file with the format, settings and metadata asked.
OSErr WriteImage(const ConvertOptionsRec& options, const ExporterSettings& settings, OSType format, GWorldPtr world,
                 const FSSpec& source, OSType sourceKind, UInt32 sourceResolution, Handle profile, const FSSpec& temp) {
    GraphicsExportComponent ge = nullptr;
    OSErr err = OpenGraphicsExporter(format, &ge);
    if (err != noErr) return err;
    GraphicsExportSetInputGWorld(ge, world);
    if (format == 'JPEG') GraphicsExportSetCompressionQuality(ge, CodecQualityFor(settings.Int("quality", 85)));
    const UInt32 dpi = options.resolutionMode == 1 ? options.dpi : (sourceResolution ? sourceResolution : 72);
    if (dpi > 0 && dpi < 65536) GraphicsExportSetResolution(ge, Fixed(dpi << 16), Fixed(dpi << 16));
    if (profile) GraphicsExportSetColorSyncProfile(ge, profile);
    std::vector<std::uint8_t> bytes;
    err = GraphicsExportToBytes(ge, &bytes);
    CloseGraphicsExporter(ge);
    if (err != noErr) return err;
    if (options.keepMetadata && format == 'JPEG') InsertJpegSegment(&bytes, ReadJpegExifSegment(source.path));
    {
        std::ofstream out(temp.path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        out.flush();
        if (!out) return ioErr;
    }
    if (options.keepMetadata && (format == 'JPEG' || format == 'TIFF')) {
        KindFileRec file;
        file.spec = source;
        file.type = sourceKind;
        KindInfoRec info{};
        HandleHolder iptc;
        KindGetInfo(&file, &info, false, 0, 0, 0, nullptr, &iptc.h, nullptr, nullptr);
        if (iptc.h && GetHandleSize(iptc.h) > 0) {
            // A temporary file has no extension: its format is said, not guessed.
            err = WriteConvertedAnnotations(&temp, format, iptc.h);
            if (err != noErr) return err;
        }
    }
    return noErr;
}

}  // namespace

OSErr ConvertPictureFile(const FSSpec& source, OSType sourceKind, UInt32 sourceResolution,
                         const ConvertOptionsRec& options, const ExporterSettings& settings, OSType format,
                         const FSSpec& file, int* reason) {
    int dummy = 0;
    int& why = reason ? *reason : dummy;
    HandleHolder profile;
    if (options.keepProfile) {
        bool canEmbed = false, hasProfile = false;
        Str255 name;
        OSType space = 0;
        KindReadImageInfo(&source, &canEmbed, &hasProfile, name, &profile.h, &space);
        if (!(space == 'RGB ' && hasProfile) && profile.h) {
            DisposeHandle(profile.h);
            profile.h = nullptr;
        }
    }
    // Scaling to fit reads no more pixels than the larger side of the box needs.
    const SInt32 size = options.sizeMode == 1 && std::max(options.width, options.height) > 0
                            ? SInt32(std::min<UInt32>(std::max(options.width, options.height), 32767))
                            : kKindDisplaySize;
    GWorldHolder picture;
    // The pixels keep the source's colours when its profile goes with them.
    if (profile.h) KindSetImporterHook(kKindProfileNone);
    OSErr err = KindMakeThumbnail(&source, &picture.world, size, sourceKind, nullptr, 0);
    if (profile.h) KindSetImporterHook(kKindProfileFromFile);
    if (err != noErr || !picture.world) {
        why = 28;
        return err != noErr ? err : OSErr(kBadMediaDataErr);
    }
    if (options.sizeMode == 1) {
        GWorldPtr fitted = FitInto(picture.world, options.width, options.height);
        if (!fitted) {
            why = 29;
            return memFullErr;
        }
        DisposeGWorld(picture.world);
        picture.world = fitted;
    }
    err = WriteImage(options, settings, format, picture.world, source, sourceKind, sourceResolution, profile.h, file);
    if (err != noErr) why = 27;
    return err;
}
