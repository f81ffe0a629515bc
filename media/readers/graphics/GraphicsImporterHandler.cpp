#include "media/readers/graphics/GraphicsImporterHandler.h"

#include "foundation/interface/FitRect.h"
#include "media/imaging/ColorMatching.h"
#include "media/imaging/ImageDescColor.h"
#include "media/imaging/Offscreen.h"
#include "media/imaging/Orientation.h"
#include "media/kinds/KindTable.h"
#include "media/metadata/Exif.h"
#include "media/metadata/JpegMetadata.h"
#include "media/metadata/MetaValueStore.h"
#include "media/metadata/PhotoshopResources.h"
#include "media/metadata/PngXmp.h"
#include "media/readers/jpeg/JpegReader.h"
#include "media/readers/tiff/RichTiff.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

namespace {

struct ImporterListEntry {
    const GraphicsImporterComponentInfo* component = nullptr;
    OSType subtype = 0;
    GraphicsImportComponent instance = nullptr;
    bool lent = false;   // a reading is using the kept instance
};

// The list is built at start-up; readings on several threads borrow its instances.
std::mutex gListLock;
ImporterListEntry gList[kImporterListCapacity];
int gCount = 0;

// Display requests are held within this many pixels a side.
constexpr std::int16_t kMaxDisplaySide = 8192;

void CloseAll() {
    std::lock_guard<std::mutex> lock(gListLock);
    for (int i = 0; i < gCount; ++i) {
        if (gList[i].instance) CloseGraphicsImporter(gList[i].instance);
        gList[i] = ImporterListEntry{};
    }
    gCount = 0;
}

// Replaces every item of the type by the handle's bytes.
void ReplaceItems(UserData list, OSType type, Handle data, bool asText) {
    if (!list || !data) return;
    UserDataRemove(list, type, 0);
    if (asText) AddUserDataText(list, data, type, 1, 0);
    else AddUserData(list, data, type);
}

bool ColourManagementOff() {
    return KindEngineGlobals().importerOptionB != 0;
}

}  // namespace

void KindRegisterGraphicsImporterList(const GraphicsImporterComponentInfo* list, int count) {
    CloseAll();
    std::lock_guard<std::mutex> lock(gListLock);
    for (int i = 0; i < count; ++i) {
        const GraphicsImporterComponentInfo& c = list[i];
        if (c.subtype == 'grip' || c.subtype == 'GIFf' || c.subtype == 'GIF ' || c.subtype == 'PDF ') continue;
        const char* name = c.name && std::strcmp(c.name, "JFIF") == 0 ? "JPEG" : c.name;
        KindRegister(c.subtype, kKindHandlerGraphicsImporter, name, kKindCategoryImage);
        if (gCount < kImporterListCapacity) gList[gCount++] = ImporterListEntry{&c, c.subtype, nullptr};
    }
    static const struct {
        OSType type;
        const char* name;
    } kExtra[] = {
        {'DCBa', "TIFF"}, {'FAX ', "TIFF"}, {'RICH', "TIFF"}, {'EXIF', "JPEG"},
        {'JPE ', "JPEG"}, {'Expn', "JacqCAD"}, {'CRI ', "GE Medical CRI"},
    };
    for (const auto& e : kExtra) KindRegister(e.type, kKindHandlerGraphicsImporter, e.name, kKindCategoryImage);
}

void KindRegisterGraphicsImporters() {
    static std::vector<GraphicsImporterComponentInfo> components;
    components.clear();
    for (int i = 0; i < CountGraphicsImporterComponents(); ++i) components.push_back(*GetGraphicsImporterComponent(i));
    KindRegisterGraphicsImporterList(components.data(), int(components.size()));
}

void GraphicsImporterListShutdown() {
    CloseAll();
}

int GraphicsImporterListCount() {
    std::lock_guard<std::mutex> lock(gListLock);
    return gCount;
}

OSErr ImporterOpen(OSType type, const FSSpec* spec, Handle data, GraphicsImportComponent* out) {
    if (!out) return paramErr;
    *out = nullptr;
    GraphicsImportComponent gi = nullptr;
    {
        std::lock_guard<std::mutex> lock(gListLock);
        ImporterListEntry* entry = nullptr;
        for (int i = 0; i < gCount; ++i)
            if (gList[i].subtype == type) {
                entry = &gList[i];
                break;
            }
        if (!entry || !entry->component) return kNoImporterForTypeErr;
        if (!entry->lent) {
            if (!entry->instance && OpenGraphicsImporter(entry->subtype, &entry->instance) != noErr)
                return kNoImporterForTypeErr;
            entry->lent = true;
            gi = entry->instance;
        }
    }
    // Another reading (another thread, or a reading inside this one) holds the kept importer:
    // this one gets an importer of its own.
    if (!gi && OpenGraphicsImporter(type, &gi) != noErr) return kNoImporterForTypeErr;
    GraphicsImportSetLenient(gi, false);
    GraphicsImportSetGraphicsMode(gi, ditherCopy, nullptr);
    OSErr err = spec ? GraphicsImportSetDataFile(gi, spec->path) : GraphicsImportSetDataHandle(gi, data);
    if (err != noErr) {
        ImporterRelease(gi);
        return err;
    }
    bool valid = false;
    if (GraphicsImportValidate(gi, &valid) != noErr || !valid) {
        ImporterRelease(gi);
        return kBadMediaDataErr;
    }
    *out = gi;
    return noErr;
}

void ImporterRelease(GraphicsImportComponent gi) {
    if (!gi) return;
    GraphicsImportSetDataHandle(gi, nullptr);
    {
        std::lock_guard<std::mutex> lock(gListLock);
        for (int i = 0; i < gCount; ++i)
            if (gList[i].instance == gi) {
                gList[i].lent = false;
                return;
            }
    }
    CloseGraphicsImporter(gi);
}

Handle ImporterSourceProfile(GraphicsImportComponent gi) {
    if (ColourManagementOff()) return nullptr;
    Handle override = KindEngineGlobals().profileOverride;
    if (override == kKindProfileNone) return nullptr;
    if (override != kKindProfileFromFile) {
        Handle copy = override;
        return HandToHand(&copy) == noErr ? copy : nullptr;
    }
    Handle profile = nullptr;
    GraphicsImportGetColorSyncProfile(gi, &profile);
    return profile;
}

OSErr ImporterReadMetadata(const FSSpec* spec, OSType codecType, KindInfoRec* info, UserData metadata, Handle* profile,
                           PicHandle* picture) {
    Handle photoshop = nullptr, sound = nullptr, icc = nullptr, iptc = nullptr, url = nullptr, exif = nullptr;
    GWorldPtr preview = nullptr;
    bool wantPreview = picture && !*picture;
    OSErr err = noErr;
    switch (codecType) {
    case 'JPEG': case 'JPG ': case 'jpeg':
        err = WalkJpegMarkers(spec, &photoshop, wantPreview ? &preview : nullptr, &sound, profile ? &icc : nullptr,
                              metadata);
        break;
    case '8BPS': case 'PSD ':
        err = PhotoshopReadResources(spec, &photoshop);
        break;
    case 'png ': case 'PNG ': case 'PNGf':
        err = ScanXmpPacket(spec, metadata);
        break;
    case 'PICT': case 'qdrw':
        if (profile) icc = PictFileReadProfile(spec);
        break;
    case 'TIFF': case 'tiff':
        err = ExifReadFromFile(spec, 0, metadata, profile ? &icc : nullptr);
        break;
    default:
        break;
    }
    if (photoshop) {
        SInt32 resolution = 0;
        // The EXIF thumbnail of a JPEG comes first; the Photoshop one only stands in for it.
        PhotoshopParseResources(photoshop, &resolution, metadata, wantPreview ? &preview : nullptr,
                                profile ? &icc : nullptr, &iptc, &url, &exif);
        if (resolution > 0 && info) info->resolution = UInt32(resolution);
        // The EXIF data of Photoshop files is read from memory, never through a shared
        // temporary file.
        if (exif && *exif) ExifReadFromBytes(*exif, std::size_t(GetHandleSize(exif)), metadata, profile && !icc ? &icc : nullptr);
    }
    if (sound) ReplaceItems(metadata, 'talk', sound, false);
    if (iptc) ReplaceItems(metadata, 'iptc', iptc, false);
    if (url) ReplaceItems(metadata, kUdText_url, url, true);
    if (preview && wantPreview) {
        PicHandle pic = nullptr;
        if (OffscreenToPicture(preview, nullptr, 0x480000, &pic) == noErr) *picture = pic;
    }
    if (preview) DisposeGWorld(preview);
    if (profile && icc && !*profile) {
        *profile = icc;
        icc = nullptr;
    }
    for (Handle h : {photoshop, sound, icc, iptc, url, exif})
        if (h) DisposeHandle(h);
    return err;
}

OSErr ImporterDrawImage(GraphicsImportComponent gi, OSType codecType, SInt32 size, UInt32* imageIndex,
                        Handle* deferredProfile, GWorldPtr* out) {
    if (!out) return paramErr;
    *out = nullptr;
    std::uint32_t count = 1;
    GraphicsImportGetImageCount(gi, &count);
    UInt32 index = imageIndex ? *imageIndex : 1;
    if (index == 0 || index > count) index = 1;
    if (imageIndex) *imageIndex = index;
    GraphicsImportSetImageIndex(gi, index);
    Rect bounds;
    OSErr err = GraphicsImportGetNaturalBounds(gi, &bounds);
    if (err != noErr) return err;
    std::int16_t side = size > 0 && size != kKindDisplaySize ? std::int16_t(std::min<SInt32>(size, kMaxWorldSide))
                                                              : kMaxDisplaySide;
    FitRectInRect(&bounds, Point{0, 0}, Point{side, side}, kFitShrinkOnly);
    OffsetRect(&bounds, -bounds.left, -bounds.top);
    GraphicsImportSetBoundsRect(gi, &bounds);

    const KindEngineState& engine = KindEngineGlobals();
    bool alphaKind = codecType == 'png ' || codecType == '8BPS' || codecType == 'tiff';
    std::int32_t mode = srcCopy;
    if (engine.importerOptionA && alphaKind) mode = GraphicsImportDefaultGraphicsMode(gi);

    Handle profile = ImporterSourceProfile(gi);
    OSType space = 0;
    if (profile) IccProfileGetInfo(profile, nullptr, &space);
    OSType format = space == 'CMYK' ? k32CMYKPixelFormat : space == 'GRAY' ? k8IndexedGrayPixelFormat : k32BGRAPixelFormat;
    GWorldPtr world = nullptr;
    err = NewGWorldFromFormat(&world, format, &bounds);
    if (err != noErr) {
        if (profile) DisposeHandle(profile);
        return err;
    }
    if (format == k32BGRAPixelFormat && engine.importerOptionA && alphaKind) {
        RGBColor bg = engine.thumbBackground;
        PixelView v = GetGWorldPixels(world);
        for (std::int32_t y = 0; y < v.height; ++y)
            for (std::int32_t x = 0; x < v.width; ++x) {
                std::uint8_t* p = v.base + y * v.rowBytes + x * 4;
                p[0] = std::uint8_t(bg.blue >> 8);
                p[1] = std::uint8_t(bg.green >> 8);
                p[2] = std::uint8_t(bg.red >> 8);
                p[3] = 0xFF;
            }
    }
    GraphicsImportSetGraphicsMode(gi, format == k32BGRAPixelFormat ? mode : srcCopy, nullptr);
    GraphicsImportSetGWorld(gi, world);
    err = GraphicsImportDraw(gi);
    GraphicsImportSetGWorld(gi, nullptr);
    if (err != noErr) {
        DisposeGWorld(world);
        if (profile) DisposeHandle(profile);
        return err;
    }
    if (format != k32BGRAPixelFormat) {
        // CMYK and grey go through their profile into colour; should that fail, draw plainly.
        GWorldPtr colour = nullptr;
        const KindReadingState& reading = KindReading();
        OSErr matched = IccConvertToBGRA(world, profile, &colour, space, nullptr, reading.callback, reading.refCon);
        DisposeGWorld(world);
        world = nullptr;
        if (matched == noErr) {
            world = colour;
        } else {
            err = NewGWorldFromFormat(&world, k32BGRAPixelFormat, &bounds);
            if (err == noErr) {
                GraphicsImportSetGraphicsMode(gi, srcCopy, nullptr);
                GraphicsImportSetGWorld(gi, world);
                err = GraphicsImportDraw(gi);
                GraphicsImportSetGWorld(gi, nullptr);
            }
            if (err != noErr) {
                if (world) DisposeGWorld(world);
                DisposeHandle(profile);
                return err;
            }
        }
        DisposeHandle(profile);
        profile = nullptr;
    } else if (profile && space == 'RGB ') {
        if (deferredProfile) {
            // Matched after the thumbnail step has scaled the image.
            *deferredProfile = profile;
            profile = nullptr;
        } else {
            const KindReadingState& reading = KindReading();
            PixMapColorMatch(world, profile, nullptr, 'dply', nullptr, reading.callback, reading.refCon);
        }
    }
    if (profile) DisposeHandle(profile);
    *out = world;
    return noErr;
}

OSErr GraphicsImporterGetInfo(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, GWorldPtr* offscreen,
                              UserData metadata, Handle* colorProfile, UInt32 optionA, UInt32 optionB, SInt32 size) {
    if (!spec || !info) return paramErr;
    OSType type = info->type;
    if (type == 'TIFF') {
        // RichTIFF files are read by their own reader; it declines every other TIFF.
        GWorldPtr preview = nullptr;
        OSErr rich = RichTiffGetInfo(spec, info, &preview, metadata);
        if (rich != kReaderDeclinesErr) {
            if (offscreen && !*offscreen) *offscreen = preview;
            else if (preview) DisposeGWorld(preview);
            return rich;
        }
    }
    GraphicsImportComponent gi = nullptr;
    OSErr err = ImporterOpen(type, spec, nullptr, &gi);
    if (err == noErr) {
        ImageDescriptionRec desc;
        OSType codec = type;
        if (GraphicsImportGetImageDescriptionRec(gi, &desc) == noErr) {
            codec = desc.desc.cType;
            // The true size, even for images larger than a description's 16-bit fields hold.
            std::int32_t w = 0, h = 0;
            GraphicsImportGetImageSize(gi, &w, &h);
            info->width = UInt32(w);
            info->height = UInt32(h);
            info->resolution = UInt32(std::max(desc.desc.hRes, desc.desc.vRes) >> 16);
            ImageDescGetColorSpace(desc, &info->depth, &info->colorSpace);
            std::memcpy(info->encoding, desc.desc.name, std::size_t(desc.desc.name[0]) + 1);
            std::uint32_t count = 1;
            GraphicsImportGetImageCount(gi, &count);
            info->pages = (codec == 'tiff' || codec == '8BPS') && count <= 512 ? count : 1;
        }
        UInt32 index = info->poster;
        Handle fileProfile = nullptr;
        ImporterReadMetadata(spec, codec, info, metadata, &fileProfile,
                             optionB == 0 && picture && !*picture ? picture : nullptr);
        if (colorProfile && !*colorProfile && !ColourManagementOff()) {
            // The profile the drawing uses, for its name and for matching after scaling.
            *colorProfile = ImporterSourceProfile(gi);
            if (!*colorProfile && KindEngineGlobals().profileOverride == kKindProfileFromFile) {
                *colorProfile = fileProfile;
                fileProfile = nullptr;
            }
        }
        if (fileProfile) DisposeHandle(fileProfile);
        if (picture && !*picture && optionA && offscreen && !*offscreen) {
            Handle deferred = nullptr;
            OSErr drawn = ImporterDrawImage(gi, codec, size, &index, &deferred, offscreen);
            if (deferred) DisposeHandle(deferred);  // the caller has the same profile
            if (drawn != noErr) err = drawn;
        }
        info->poster = index == 0 ? 1 : index;
        ImporterRelease(gi);
    }
    // Camera files in a TIFF container keep their image in a SubIFD: its size is the image's.
    if (err == noErr && type == 'TIFF' && TiffDetectRawKind(spec, true) == 'DCB ') TiffSubIfdGetInfo(spec, info, metadata);
    if (err != noErr && (type == 'JPEG')) {
        if (offscreen && *offscreen) {
            DisposeGWorld(*offscreen);
            *offscreen = nullptr;
        }
        if (JpegReaderGetInfo(spec, info, offscreen, metadata, size) == noErr) err = noErr;
    }
    return err;
}

OSErr GraphicsImporterMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, OSType type,
                                    UInt32* imageIndex, UInt16 orientation) {
    if (!spec || !offscreen) return paramErr;
    *offscreen = nullptr;
    OSErr err = kNoWordTextErr;
    if (type == 'TIFF') {
        err = RichTiffMakeThumbnail(spec, offscreen);
        if (err == noErr && *offscreen && size > 0 && size != kKindDisplaySize) {
            // The reader gives the whole picture; the request is for at most size x size.
            Rect box{0, 0, std::int16_t(std::min<SInt32>(size, kMaxWorldSide)), std::int16_t(std::min<SInt32>(size, kMaxWorldSide))};
            if (GWorldPtr fitted = OffscreenScaledCopy(*offscreen, &box, k32BGRAPixelFormat)) {
                DisposeGWorld(*offscreen);
                *offscreen = fitted;
            }
        }
        if (err == noErr && orientation != 0 && *offscreen) ApplyOrientation(offscreen, orientation);
        if (err != kNoWordTextErr) return err;
    }
    GraphicsImportComponent gi = nullptr;
    err = ImporterOpen(type, spec, nullptr, &gi);
    if (err == noErr) {
        ImageDescriptionRec desc;
        OSType codec = GraphicsImportGetImageDescriptionRec(gi, &desc) == noErr ? desc.desc.cType : type;
        err = ImporterDrawImage(gi, codec, size, imageIndex, nullptr, offscreen);
        ImporterRelease(gi);
    }
    if (err != noErr && type == 'JPEG' && JpegReaderMakeThumbnail(spec, offscreen, size) == noErr) err = noErr;
    if (err == noErr && orientation != 0 && *offscreen) ApplyOrientation(offscreen, orientation);
    return err;
}
