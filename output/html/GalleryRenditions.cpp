#include "output/html/GalleryRenditions.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/file/CatalogRecords.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "foundation/interface/FitRect.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/TypedSettings.h"
#include "foundation/text/Unicode.h"
#include "media/imaging/Offscreen.h"
#include "media/kinds/CatalogThumbnail.h"
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindInfo.h"
#include "media/kinds/KindTable.h"
#include "output/convert/ConvertMetadata.h"
#include "output/html/GalleryCategoryIcons.h"
#include "output/html/GalleryMovieCopy.h"
#include "platform/Handles.h"
#include "platform/imaging/GraphicsExporter.h"
#include "platform/imaging/ImageCompression.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

namespace fs = std::filesystem;

struct WorldHolder {
    GWorldPtr world = nullptr;
    WorldHolder() = default;
    explicit WorldHolder(GWorldPtr w) : world(w) {}
    WorldHolder(const WorldHolder&) = delete;
    WorldHolder& operator=(const WorldHolder&) = delete;
    ~WorldHolder() { Reset(nullptr); }
    void Reset(GWorldPtr w) {
        if (world) DisposeGWorld(world);
        world = w;
    }
};

struct HandleHolder {
    Handle h = nullptr;
    ~HandleHolder() { if (h) DisposeHandle(h); }
};

OSErr EncodeAt(GWorldPtr world, std::uint32_t quality, std::vector<std::uint8_t>* bytes) {
    GraphicsExportComponent ge = nullptr;
    OSErr err = OpenGraphicsExporter('JPEG', &ge);
    if (err != noErr) return err;
    GraphicsExportSetInputGWorld(ge, world);
    GraphicsExportSetCompressionQuality(ge, quality);
    GraphicsExportSetResolution(ge, Fixed(72 << 16), Fixed(72 << 16));
    bytes->clear();
    err = GraphicsExportToBytes(ge, bytes);
    CloseGraphicsExporter(ge);
    return err;
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::error_code ec;
    fs::remove(path, ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.flush();
    return bool(out);
}

// Writes the world as the JPEG of the settings; answers its size, or -1 on failure.
long WriteJpeg(GWorldPtr world, const HtmlSettingsRec& settings, const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (EncodeGalleryJpeg(world, settings, &bytes) != noErr || !WriteBytes(path, bytes)) return -1;
    return long(bytes.size());
}

void Frame(GWorldPtr world) {
    const RGBColor black = {0, 0, 0};
    OffscreenFrame(world, &black);
}

// The stored logo drawn at one of nine places (1 top left .. 9 bottom right, by rows), 8
// pixels in from the edges, shrunk when it does not fit.
void DrawLogo(GWorldPtr world) {
    HandleHolder logo;
    LoadLogoSettings(128, &logo.h, nullptr);
    if (!logo.h || GetHandleSize(logo.h) < 10) return;
    GWorldPtr picture = nullptr;
    if (PictureToOffscreen(reinterpret_cast<PicHandle>(logo.h), k32BGRAPixelFormat, nullptr, nullptr, &picture) != noErr)
        return;
    WorldHolder held(picture);
    const Rect b = GetPortBounds(world), l = GetPortBounds(picture);
    const int margin = 8;
    Rect r = {0, 0, SInt16(l.bottom - l.top), SInt16(l.right - l.left)};
    const Point topLeft = {0, 0};
    const Point bottomRight = {SInt16(std::max(1, b.bottom - b.top - 2 * margin)), SInt16(std::max(1, b.right - b.left - 2 * margin))};
    FitRectInRect(&r, topLeft, bottomRight, kFitShrinkOnly);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int position = int(ClampPreference1to9());
    const int column = (position - 1) % 3, row = (position - 1) / 3;
    const int width = b.right - b.left, height = b.bottom - b.top;
    const int x = column == 0 ? margin : column == 1 ? (width - w) / 2 : width - w - margin;
    const int y = row == 0 ? margin : row == 1 ? (height - h) / 2 : height - h - margin;
    const Rect destination = {SInt16(y), SInt16(x), SInt16(y + h), SInt16(x + w)};
    OffscreenDrawImage(picture, world, nullptr, &destination, 1);
}

bool IsGifType(OSType t) { return t == 'GIF ' || t == 'GIFf' || t == 'gif '; }

bool IsWindowsMediaType(OSType t) {
    static const OSType kTypes[] = {'ASF ', 'WMV ', 'WM  ', 'AVI ', 'MPEG', 'MPE ', 'MPG ', 'M1V ', 'MP2 ', 'MP2V', 'MPV2'};
    return std::find(std::begin(kTypes), std::end(kTypes), t) != std::end(kTypes);
}

bool IsMovieType(OSType t) { return t == 'MOV ' || t == 'mov ' || t == 'MooV'; }

bool HasThreeLetterExtension(const std::string& name) { return name.size() >= 4 && name[name.size() - 4] == '.'; }

std::string ReplaceExtensionOf(const std::string& name, const std::string& extension) {
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && name.size() - dot >= 4 && name.size() - dot <= 5) return name.substr(0, dot + 1) + extension;
    return name + "." + extension;
}

UInt32 FileSizeOf(const std::string& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    return ec ? 0 : UInt32(std::min<std::uintmax_t>(size, 0xFFFFFFFFu));
}

void IconFallback(UInt8 category, const std::string& folder, std::string* name, SInt16* width, SInt16* height,
                  UInt32* fileSize) {
    WriteCategoryIcon(category, folder, name);
    *width = 32;
    *height = 32;
    *fileSize = 0;
}

}  // namespace

std::uint32_t GalleryCodecQuality(UInt8 code) {
    switch (code) {
        case 1: return 0x000;
        case 2: return 0x100;
        case 4: return 0x300;
        case 5: return 0x3FF;
        default: return 0x200;
    }
}

std::uint32_t GalleryTargetBytes(const HtmlSettingsRec& settings) {
    if (settings.jpegQuality != kHtmlQualityTargetSize) return 0;
    return std::uint32_t(std::max<SInt32>(1, settings.targetKilobytes)) * 1024u;
}

OSErr EncodeGalleryJpeg(GWorldPtr world, const HtmlSettingsRec& settings, std::vector<std::uint8_t>* bytes) {
    const std::uint32_t target = GalleryTargetBytes(settings);
    if (target == 0) return EncodeAt(world, GalleryCodecQuality(settings.jpegQuality), bytes);
    // Bisection over the codec's quality scale for the highest quality that still fits.
    OSErr err = EncodeAt(world, codecMaxQuality, bytes);
    if (err != noErr || bytes->size() <= target) return err;
    std::uint32_t low = codecMinQuality, high = codecMaxQuality - 1;
    std::vector<std::uint8_t> best, trial;
    bool found = false;
    while (low <= high) {
        const std::uint32_t middle = (low + high) / 2;
        err = EncodeAt(world, middle, &trial);
        if (err != noErr) return err;
        if (trial.size() <= target) {
            best.swap(trial);
            found = true;
            low = middle + 1;
        } else {
            if (middle == 0) break;
            high = middle - 1;
        }
    }
    if (!found) return EncodeAt(world, codecMinQuality, bytes);
    bytes->swap(best);
    return noErr;
}

GWorldPtr ScaleRendition(GWorldPtr picture, UInt8 mode, SInt16 boxWidth, SInt16 boxHeight) {
    if (!picture) return nullptr;
    const Rect bounds = GetPortBounds(picture);
    Rect r = {0, 0, SInt16(bounds.bottom - bounds.top), SInt16(bounds.right - bounds.left)};
    short percent = 100;
    if (mode != 1) {
        const Point topLeft = {0, 0};
        const Point bottomRight = {std::max<SInt16>(1, boxHeight), std::max<SInt16>(1, boxWidth)};
        percent = FitRectInRect(&r, topLeft, bottomRight, mode == 3 ? kFitFill : kFitShrinkOnly);
        OffsetRect(&r, SInt16(-r.left), SInt16(-r.top));
    }
    GWorldPtr out = nullptr;
    if (NewGWorldFromFormat(&out, k32BGRAPixelFormat, &r) != noErr || !out) return nullptr;
    if (OffscreenDrawImage(picture, out, nullptr, nullptr, 1) != noErr) {
        DisposeGWorld(out);
        return nullptr;
    }
    if (percent < 50) ThumbnailSharpen(out);
    return out;
}

bool WriteCategoryIcon(UInt8 category, const std::string& folder, std::string* name) {
    *name = "icon" + std::to_string(unsigned(category)) + ".gif";
    const std::string path = folder + "/" + *name;
    std::error_code ec;
    if (fs::exists(path, ec)) return true;
    return WriteBytes(path, CategoryIconGif(category));
}

bool MakeItemRenditions(GalleryBuildState* state, SInt32 n, const std::string& previewFolder,
                        const std::string& imageFolder, GalleryNameSet* previewNames, GalleryNameSet* sourceNames) {
    GalleryItemRec& item = state->items[std::size_t(n - 1)];
    const HtmlSettingsRec& s = state->settings;
    FSSpec file;
    const bool found = CatalogFindItemPath(state->catalog, n, &file) == noErr;
    ItemRec record{};
    const bool haveRecord = ItemReadRecord(state->catalog, n, &record) == noErr;
    const OSType type = haveRecord ? record.kind : 0;
    const UInt8 category = KindGetCategory(type);

    WorldHolder display;
    if (found) {
        GWorldPtr world = nullptr;
        if (KindMakeThumbnail(&file, &world, kKindDisplaySize, type, nullptr, 0) == noErr) display.Reset(world);
    }
    const std::string fileName = fs::path(file.path).filename().string();
    const std::string ansiName = Utf8ToAnsi(fileName);

    // The preview.
    const std::string baseName = previewNames->MakeNameUnique(SanitizeFileName(ReplaceExtensionOf(ansiName, "jpg")));
    bool previewMade = false;
    if (display.world) {
        WorldHolder preview(ScaleRendition(display.world, s.previewFit, s.thumbnailSize, s.thumbnailSize));
        if (preview.world) {
            if (s.border) Frame(preview.world);
            const long size = WriteJpeg(preview.world, s, previewFolder + "/" + baseName);
            if (size >= 0) {
                const Rect b = GetPortBounds(preview.world);
                item.previewName = baseName;
                item.previewWidth = SInt16(b.right - b.left);
                item.previewHeight = SInt16(b.bottom - b.top);
                item.previewFileSize = UInt32(size);
                previewMade = true;
            }
        }
    }
    if (!previewMade)
        IconFallback(category, previewFolder, &item.previewName, &item.previewWidth, &item.previewHeight,
                     &item.previewFileSize);

    // The source.
    bool sourceMade = false;
    if ((category == 1 || category == 2) && found) {
        std::string name = ansiName;
        UInt32 kind = kGalleryMediaMovie;
        bool remux = false;
        if (IsGifType(type)) {
            name = ReplaceExtensionOf(name, "gif");
            kind = kGalleryMediaImage;
        } else if (IsWindowsMediaType(type)) {
            kind = kGalleryMediaWindows;
        } else {
            if (!HasThreeLetterExtension(name)) name += ".mov";
            else remux = IsMovieType(type);
        }
        name = sourceNames->MakeNameUnique(SanitizeFileName(name));
        const std::string destination = imageFolder + "/" + name;
        // A rebuild into the same folder must not keep an older file of the same name.
        std::error_code ec;
        fs::remove(destination, ec);
        bool copied = remux && GalleryCopyMovie(file.path, destination);
        if (!copied) copied = fs::copy_file(file.path, destination, fs::copy_options::overwrite_existing, ec) && !ec;
        if (copied) {
            SInt16 w = SInt16(std::min<UInt32>(record.width, 32767)), h = SInt16(std::min<UInt32>(record.height, 32767));
            if (w == 0 || h == 0) {
                w = 320;
                h = 0;
            }
            if (kind == kGalleryMediaMovie && s.showController) h = SInt16(h + 16);
            item.sourceName = name;
            item.sourceWidth = w;
            item.sourceHeight = h;
            item.sourceFileSize = FileSizeOf(destination);
            item.mediaKind = kind;
            sourceMade = true;
        }
    } else if (display.world) {
        WorldHolder rendition(ScaleRendition(display.world, s.mediaFit, s.mediaWidth, s.mediaHeight));
        if (rendition.world) {
            if (s.logo) DrawLogo(rendition.world);
            if (s.border) Frame(rendition.world);
            const std::string name = sourceNames->MakeNameUnique(baseName);
            const std::string path = imageFolder + "/" + name;
            long size = WriteJpeg(rendition.world, s, path);
            if (size >= 0 && s.embedAnnotations) {
                HandleHolder iptc;
                ItemAnnotationBlockForOutput(state->catalog, n, &iptc.h, true, false);
                FSSpec spec;
                if (iptc.h && FSMakeFSSpecFromPath(path, &spec) == noErr &&
                    WriteConvertedAnnotations(&spec, 'JPEG', iptc.h) == noErr)
                    size = long(FileSizeOf(path));
            }
            if (size >= 0) {
                const Rect b = GetPortBounds(rendition.world);
                item.sourceName = name;
                item.sourceWidth = SInt16(b.right - b.left);
                item.sourceHeight = SInt16(b.bottom - b.top);
                item.sourceFileSize = UInt32(size);
                item.mediaKind = kGalleryMediaImage;
                sourceMade = true;
            }
        }
    }
    if (!sourceMade) {
        IconFallback(category, imageFolder, &item.sourceName, &item.sourceWidth, &item.sourceHeight,
                     &item.sourceFileSize);
        item.mediaKind = kGalleryMediaImage;
    }
    if (haveRecord) {
        item.originalFileSize = record.fileSize;
        item.originalWidth = SInt16(std::min<UInt32>(record.width, 32767));
        item.originalHeight = SInt16(std::min<UInt32>(record.height, 32767));
    }
    return found;
}
