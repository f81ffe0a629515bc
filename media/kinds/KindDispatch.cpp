#include "media/imaging/ColorMatching.h"
#include "media/imaging/ImageDescColor.h"
#include "media/kinds/CatalogThumbnail.h"
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/metadata/Exif.h"
#include "media/metadata/JpegMetadata.h"
#include "media/metadata/PhotoshopResources.h"
#include "media/metadata/TiffWriter.h"
#include "media/readers/fonts/FontReader.h"
#include "media/readers/graphics/GraphicsImporterHandler.h"
#include "media/readers/movies/MovieImporterHandler.h"
#include "media/readers/postscript/PostScriptReader.h"
#include "media/readers/raw/BuiltinRawReaders.h"
#include "media/readers/text/TextReader.h"
#include "media/readers/windowsmedia/WindowsMediaHandler.h"
#include "platform/Handles.h"


namespace {

struct HandlerReaders {
    KindInfoReaderProc info = nullptr;
    KindThumbnailProc thumbnail = nullptr;
};

HandlerReaders gReaders[10] = {
    {},
    {GraphicsImporterGetInfo, GraphicsImporterMakeThumbnail},
    {MovieGetInfo, MovieMakeThumbnail},
    {WindowsMediaGetInfo, WindowsMediaMakeThumbnail},
    {FontGetInfo, FontMakeThumbnail},
    {},
    {PostScriptGetInfo, PostScriptMakeThumbnail},
    {BuiltinReaderGetInfo, BuiltinReaderMakeThumbnail},
    {TextGetInfo, TextMakeThumbnail},
};
KindMovieMetadataWriter gMovieWriter = MovieWriteUserData;
// Each thread has its own reading state: readings run on several threads at once. The state
// of a reading stays after it returns, for its caller to look at (the preview flag, the
// orientation); a reading started inside another gives the outer one its state back.
thread_local KindReadingState tReading;
thread_local bool tCallbacksOff = false;
thread_local int tDepth = 0;

class ReadingScope {
public:
    ReadingScope() : nested_(tDepth++ > 0), saved_(tReading), savedOrientation_(LastExifOrientation()) {}
    ~ReadingScope() {
        --tDepth;
        if (!nested_) return;
        tReading = saved_;
        LastExifOrientation() = savedOrientation_;
    }
    ReadingScope(const ReadingScope&) = delete;
    ReadingScope& operator=(const ReadingScope&) = delete;

private:
    bool nested_;
    KindReadingState saved_;
    SInt16 savedOrientation_;
};

bool ReadableHandler(UInt8 handler) {
    return handler >= 1 && handler <= 9 && handler != kKindHandlerCustom;
}

}  // namespace

void KindSetThreadCallbacksOff(bool off) {
    tCallbacksOff = off;
}

KindReadingState& KindReading() {
    return tReading;
}

void KindSetHandlerReaders(UInt8 handler, KindInfoReaderProc info, KindThumbnailProc thumbnail) {
    if (handler < 1 || handler > 9 || handler == kKindHandlerCustom) return;
    gReaders[handler].info = info;
    gReaders[handler].thumbnail = thumbnail;
}

void KindSetMovieMetadataWriter(KindMovieMetadataWriter writer) {
    gMovieWriter = writer;
}

OSErr KindGetInfo(KindFileRec* file, KindInfoRec* info, bool applyOrientation, UInt32 optionA, UInt32 optionB,
                  SInt32 size, PicHandle* thumbnail, Handle* iptc, Handle* technical, Handle* recording) {
    if (!file || !info) return paramErr;
    ReadingScope scope;
    const KindEngineState& engine = KindEngineGlobals();
    info->type = KindSniffType(file->type, &file->spec, nullptr);
    info->dataSize = file->size;
    if (engine.fileHook) engine.fileHook(file);
    tReading.callback = tCallbacksOff ? nullptr : engine.infoCallback;
    tReading.refCon = engine.infoRef;
    tReading.currentSpec = file->spec;
    tReading.kodakLookApplied = 0;
    LastExifOrientation() = 0;
    UserData metadata = nullptr;
    NewUserData(&metadata);

    PicHandle picture = nullptr;
    GWorldPtr offscreen = nullptr;
    Handle profile = nullptr;
    UInt8 handler = KindGetHandler(info->type);
    OSErr result = kReaderDeclinesErr;
    if (ReadableHandler(handler) && gReaders[handler].info)
        result = gReaders[handler].info(&file->spec, info, &picture, &offscreen, metadata, &profile, optionA, optionB, size);
    if (result != kReaderDeclinesErr) {
        if (applyOrientation) info->orientation = ExifOrientationToTransform(LastExifOrientation());
        if (thumbnail)
            KindMakeCatalogThumbnail(offscreen, picture, size, info->orientation, profile, &info->sampleColor, thumbnail);
        KindGetMetadata(metadata, info, profile, iptc, technical, recording);
    }
    if (offscreen) DisposeGWorld(offscreen);
    if (picture) DisposeHandle(picture);
    if (profile) DisposeHandle(profile);
    if (metadata) DisposeUserData(metadata);
    if (engine.fileHook) engine.fileHook(nullptr);
    return result;
}

OSErr KindMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, OSType type, UInt32* imageIndex,
                        UInt16 orientation) {
    if (!spec || !offscreen) return paramErr;
    ReadingScope scope;
    *offscreen = nullptr;
    CInfoPBRec pb;
    if (spec->path.empty() || FSpGetCatInfo(spec, &pb) != noErr) return fnfErr;
    const KindEngineState& engine = KindEngineGlobals();
    type = KindSniffType(type, spec, nullptr);
    tReading.callback = tCallbacksOff ? nullptr : engine.thumbCallback;
    tReading.refCon = engine.thumbRef;
    tReading.currentSpec = *spec;
    tReading.previewFlag = 0;
    tReading.kodakLookApplied = 0;
    UInt8 handler = KindGetHandler(type);
    if (!ReadableHandler(handler) || !gReaders[handler].thumbnail) return kNoMediaReaderErr;
    UInt32 index = imageIndex ? *imageIndex : 1;
    OSErr err = gReaders[handler].thumbnail(spec, offscreen, size, type, &index, orientation);
    if (imageIndex) *imageIndex = index;
    return err;
}

OSErr KindWriteMetadata(const FSSpec* spec, Handle iptc, Handle annotations, UserData movieData) {
    if (!spec) return paramErr;
    OSType type = KindTypeFromExtension(spec, nullptr);
    switch (type) {
    case 'JPEG': case 'JPG ': case 'JPE ': case 'EXIF':
        return EmbedAnnotationsInJpeg(spec, iptc, annotations);
    case '8BPS': case 'PSD ':
        return EmbedAnnotationsInPhotoshop(spec, iptc, annotations);
    case 'TIFF': case 'TIF ': case 'FAX ':
        // Camera raw files in a TIFF container are left alone.
        if (TiffDetectRawKind(spec, true) != 0) return noErr;
        return TiffEmbedAnnotations(spec, iptc, annotations);
    case 'NEF ': case 'DCR ': case 'SRF ':
        return TiffEmbedAnnotations(spec, iptc, nullptr);
    case 'MooV': case 'MOV ': case 'MP4 ': case '3GP ':
        // Without a movie writer the annotations could not be written: say so.
        return gMovieWriter ? gMovieWriter(spec, movieData) : OSErr(kNoMediaReaderErr);
    default:
        return noErr;
    }
}

void KindReadImageInfo(const FSSpec* spec, bool* canEmbed, bool* hasProfile, StringPtr profileName, Handle* profile,
                       OSType* colorSpace) {
    if (canEmbed) *canEmbed = false;
    if (hasProfile) *hasProfile = false;
    if (profileName) profileName[0] = 0;
    if (profile) *profile = nullptr;
    if (colorSpace) *colorSpace = 0;
    if (!spec || KindEngineGlobals().importerOptionB) return;
    OSType type = KindSniffType(KindTypeFromExtension(spec, nullptr), spec, nullptr);
    if (KindGetHandler(type) != kKindHandlerGraphicsImporter) return;
    if ((type == 'TIFF') && TiffDetectRawKind(spec, true) != 0) return;
    GraphicsImportComponent gi = nullptr;
    if (ImporterOpen(type, spec, nullptr, &gi) != noErr) return;
    ImageDescriptionRec desc;
    if (GraphicsImportGetImageDescriptionRec(gi, &desc) == noErr) {
        OSType space = 0;
        ImageDescGetColorSpace(desc, nullptr, &space);
        if (colorSpace) *colorSpace = space;
        bool embeddable = space == 'RGB ' || space == 'CMYK' || space == 'GRAY' || space == 'INDX';
        switch (type) {
        case 'EXIF': case 'JPEG': case 'JPG ': case 'JPE ': case 'TIFF': case 'TIF ': case '8BPS': case 'PSD ':
            break;
        default:
            embeddable = false;
        }
        if (canEmbed) *canEmbed = embeddable;
    }
    if (hasProfile || profileName || profile) {
        Handle found = nullptr;
        GraphicsImportGetColorSyncProfile(gi, &found);
        if (found) {
            if (hasProfile) *hasProfile = true;
            if (profileName) ProfileGetDescription(found, profileName);
            if (profile) *profile = found;
            else DisposeHandle(found);
        }
    }
    ImporterRelease(gi);
}

OSErr KindGetEmbeddedPreview(const FSSpec* spec, OSType type, PicHandle* picture) {
    if (!spec || !picture) return paramErr;
    if (*picture) return noErr;
    ReadingScope scope;
    type = KindSniffType(type, spec, nullptr);
    if (KindGetHandler(type) != kKindHandlerGraphicsImporter) return resNotFound;
    UserData metadata = nullptr;
    if (NewUserData(&metadata) != noErr) return memFullErr;
    KindInfoRec info{};
    Handle profile = nullptr;
    ImporterReadMetadata(spec, type, &info, metadata, &profile, picture);
    if (profile) DisposeHandle(profile);
    DisposeUserData(metadata);
    return *picture ? OSErr(noErr) : OSErr(resNotFound);
}
