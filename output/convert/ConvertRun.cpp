#include "output/convert/ConvertRun.h"

#include "catalog/file/CatalogRecords.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "foundation/resources/ResourceStrings.h"
#include "media/imaging/Offscreen.h"
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindEngine.h"
#include "media/kinds/KindTable.h"
#include "output/convert/ConvertFiles.h"
#include "output/convert/ConvertMetadata.h"
#include "output/convert/ExporterLists.h"
#include "output/optionsets/OptionSets.h"
#include "platform/Handles.h"
#include "platform/UiHooks.h"
#include "platform/imaging/GraphicsExporter.h"
#include "platform/imaging/ImageCompression.h"
#include "platform/imaging/codecs/JpegCodec.h"
#include "platform/movies/MovieExport.h"
#include "platform/movies/MovieSource.h"
#include "window/view/ViewOperations.h"
#include "window/view/ViewRec.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>

namespace {

ConvertPrompts gDefaultPrompts;
ConvertPrompts* gPrompts = nullptr;

struct ConvertJob {
    ConvertMediaKind kind;
    ViewRec* view;
    ConvertOptionsRec options;
    ExporterSettings settings;
    OSType format = 0;
    std::string extension;
    const MovieExportComponentInfo* movieFormat = nullptr;
    const FSSpec* destination = nullptr;
    SInt16 conflict = kConflictAsk;
    ConvertSummary summary;
};

struct GWorldHolder {
    GWorldPtr world = nullptr;
    ~GWorldHolder() { if (world) DisposeGWorld(world); }
};
struct HandleHolder {
    Handle h = nullptr;
    ~HandleHolder() { if (h) DisposeHandle(h); }
};

void Count(ConvertJob& job, CatalogRec* catalog, SInt32 item, int reason, bool failed) {
    const SInt32 id = SInt32(ItemGetId(catalog, item));
    job.summary.outcomes.push_back({id, reason, failed});
    if (reason == 0) {
        ++job.summary.done;
        ItemLoopCountDone(job.view);
    } else if (failed) {
        ++job.summary.failed;
        ItemLoopCountFailed(job.view);
    } else {
        ++job.summary.skipped;
    }
}

// Asks about an existing target unless Replace All was answered; false when the item is to be
// skipped.
bool ClearToWrite(ConvertJob& job, const FSSpec& target, const FSSpec& source) {
    if (job.conflict == kConflictReplaceAll) return true;
    if (!FSpExists(&target)) return true;
    if (!job.destination && target == source) return true;   // converting a file into itself
    job.conflict = GetConvertPrompts().AskReplace(FSSpecName(target), FSSpecFolderPath(target));
    if (job.conflict == kConflictReplace || job.conflict == kConflictReplaceAll) return true;
    job.conflict = kConflictAsk;
    return false;
}

// Points the item at its converted file when it replaced the item's own file.
void Repoint(ConvertJob& job, CatalogRec* catalog, SInt32 item, const FSSpec& target, const FSSpec& source) {
    if (!job.destination || target == source) CatalogSetItemFileSpec(catalog, item, &target, false);
}

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

// Encodes the picture into the temporary file with the job's format, settings and metadata.
OSErr WriteImage(ConvertJob& job, GWorldPtr world, const FSSpec& source, const ItemRec& record, Handle profile,
                 const FSSpec& temp) {
    GraphicsExportComponent ge = nullptr;
    OSErr err = OpenGraphicsExporter(job.format, &ge);
    if (err != noErr) return err;
    GraphicsExportSetInputGWorld(ge, world);
    if (job.format == 'JPEG') GraphicsExportSetCompressionQuality(ge, CodecQualityFor(job.settings.Int("quality", 85)));
    const UInt32 dpi = job.options.resolutionMode == 1 ? job.options.dpi : (record.resolution ? record.resolution : 72);
    if (dpi > 0 && dpi < 65536) GraphicsExportSetResolution(ge, Fixed(dpi << 16), Fixed(dpi << 16));
    if (profile) GraphicsExportSetColorSyncProfile(ge, profile);
    std::vector<std::uint8_t> bytes;
    err = GraphicsExportToBytes(ge, &bytes);
    CloseGraphicsExporter(ge);
    if (err != noErr) return err;
    if (job.options.keepMetadata && job.format == 'JPEG') InsertJpegSegment(&bytes, ReadJpegExifSegment(source.path));
    {
        std::ofstream out(temp.path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        out.flush();
        if (!out) return ioErr;
    }
    if (job.options.keepMetadata && (job.format == 'JPEG' || job.format == 'TIFF')) {
        KindFileRec file;
        file.spec = source;
        file.type = record.kind;
        KindInfoRec info{};
        HandleHolder iptc;
        KindGetInfo(&file, &info, false, 0, 0, 0, nullptr, &iptc.h, nullptr, nullptr);
        if (iptc.h && GetHandleSize(iptc.h) > 0) {
            // A temporary file has no extension: its format is said, not guessed.
            err = WriteConvertedAnnotations(&temp, job.format, iptc.h);
            if (err != noErr) return err;
        }
    }
    return noErr;
}

OSErr ConvertImageItem(void* refCon, CatalogRec* catalog, SInt32 item, long) {
    ConvertJob& job = *static_cast<ConvertJob*>(refCon);
    FSSpec source;
    if (CatalogFindItemPath(catalog, item, &source) != noErr) {
        Count(job, catalog, item, kReasonNoFile, false);
        return noErr;
    }
    ItemRec record{};
    ItemReadRecord(catalog, item, &record);
    const UInt8 category = KindGetCategory(record.kind);
    if (category != kKindCategoryImage && category != kKindCategoryVideo && category != kKindCategoryIllustration &&
        category != kKindCategoryDTP) {
        Count(job, catalog, item, kReasonWrongKind, false);
        return noErr;
    }
    const FSSpec target = ConversionTargetSpec(source, job.extension, job.destination);
    if (!ClearToWrite(job, target, source)) {
        Count(job, catalog, item, kReasonSkippedByUser, false);
        return noErr;
    }
    HandleHolder profile;
    if (job.options.keepProfile) {
        bool canEmbed = false, hasProfile = false;
        Str255 name;
        OSType space = 0;
        KindReadImageInfo(&source, &canEmbed, &hasProfile, name, &profile.h, &space);
        if (!(space == 'RGB ' && hasProfile) && profile.h) {
            DisposeHandle(profile.h);
            profile.h = nullptr;
        }
    }
    // Scaling to fit reads no more pixels than the larger side needs.
    const SInt32 size = job.options.sizeMode == 1 ? SInt32(std::max(job.options.width, job.options.height))
                                                  : kKindDisplaySize;
    GWorldHolder picture;
    // The pixels keep the source's colours when its profile goes with them.
    if (profile.h) KindSetImporterHook(kKindProfileNone);
    OSErr err = KindMakeThumbnail(&source, &picture.world, size > 0 ? size : kKindDisplaySize, record.kind, nullptr, 0);
    if (profile.h) KindSetImporterHook(kKindProfileFromFile);
    if (err != noErr || !picture.world) {
        Count(job, catalog, item, kReasonUnreadable, true);
        return noErr;
    }
    if (job.options.sizeMode == 1) {
        GWorldPtr fitted = FitInto(picture.world, job.options.width, job.options.height);
        if (!fitted) {
            Count(job, catalog, item, kReasonNotScaled, true);
            return noErr;
        }
        DisposeGWorld(picture.world);
        picture.world = fitted;
    }
    FSSpec temp;
    err = MakeConversionTempFile(FSSpecFolderPath(target), &temp);
    if (err == noErr) {
        err = WriteImage(job, picture.world, source, record, profile.h, temp);
        if (err != noErr) unlink(temp.path.c_str());
    }
    if (err != noErr) {
        Count(job, catalog, item, kReasonWrongKind, true);
        return noErr;
    }
    if (FinishConversion(temp, target, source, !job.destination) != noErr) {
        Count(job, catalog, item, kReasonFinishFailed, true);
        return noErr;
    }
    Repoint(job, catalog, item, target, source);
    Count(job, catalog, item, 0, false);
    return noErr;
}

MovieExportSettingsRec MovieSettingsOf(const ExporterSettings& s) {
    MovieExportSettingsRec r;
    r.videoCodec = s.Text("videocodec");
    r.audioCodec = s.Text("audiocodec");
    r.videoBitRate = s.Int("videobitrate", 0);
    r.width = s.Int("width", 0);
    r.height = s.Int("height", 0);
    r.audioBitRate = s.Int("audiobitrate", 0);
    r.sampleRate = s.Int("samplerate", 0);
    r.channels = s.Int("channels", 0);
    return r;
}

OSErr ConvertMovieItem(void* refCon, CatalogRec* catalog, SInt32 item, long) {
    ConvertJob& job = *static_cast<ConvertJob*>(refCon);
    FSSpec source;
    if (CatalogFindItemPath(catalog, item, &source) != noErr) {
        Count(job, catalog, item, kReasonNoFile, false);
        return noErr;
    }
    ItemRec record{};
    ItemReadRecord(catalog, item, &record);
    const UInt8 category = KindGetCategory(record.kind);
    if (category != kKindCategoryAudio && category != kKindCategoryVideo) {
        Count(job, catalog, item, kReasonWrongKind, false);
        return noErr;
    }
    if (!job.movieFormat) {
        Count(job, catalog, item, kReasonNoExporter, true);
        return noErr;
    }
    const FSSpec target = ConversionTargetSpec(source, job.extension, job.destination);
    if (!ClearToWrite(job, target, source)) {
        Count(job, catalog, item, kReasonSkippedByUser, false);
        return noErr;
    }
    FSSpec temp;
    OSErr err = MakeConversionTempFile(FSSpecFolderPath(target), &temp);
    if (err == noErr) {
        UiHooks& ui = GetUiHooks();
        ui.SetCursor(1);
        err = MovieExportToFile(source.path, temp.path, *job.movieFormat, MovieSettingsOf(job.settings),
                                job.kind == ConvertMediaKind::Sound, [&ui](double fraction) {
                                    return ui.ProgressFraction(1, fraction) == noErr && !ui.EscapeKeyDown();
                                });
        ui.ProgressFraction(2, 1.0);
        ui.SetCursor(0);
        if (err != noErr) unlink(temp.path.c_str());
    }
    if (err == userCanceledErr) return userCanceledErr;
    if (err != noErr) {
        const int reason = err == kMovieInvalidErr ? kReasonUnreadable
                           : err == kMovieNoSoundTrackErr ? kReasonNoSound : kReasonWrongKind;
        Count(job, catalog, item, reason, true);
        return noErr;
    }
    if (FinishConversion(temp, target, source, !job.destination) != noErr) {
        Count(job, catalog, item, kReasonFinishFailed, true);
        return noErr;
    }
    Repoint(job, catalog, item, target, source);
    Count(job, catalog, item, 0, false);
    return noErr;
}

}  // namespace

void SetConvertPrompts(ConvertPrompts* prompts) { gPrompts = prompts; }
ConvertPrompts& GetConvertPrompts() { return gPrompts ? *gPrompts : gDefaultPrompts; }

OSErr ExportMediaFiles(ConvertMediaKind kind, ViewRec* view, ConstStr255Param setName, bool allItems,
                       const FSSpec* destination, ConvertSummary* summary) {
    if (!view) return paramErr;
    const ConvertEntryIds ids = ConvertEntries(kind);
    FSSpec setSpec;
    const FSSpec* set = nullptr;
    if (setName && setName[0]) {
        const OSErr err = OpenOptionSetFile(ids.optionSetKind, setName, &setSpec, nullptr);
        if (err != noErr && err != fnfErr) return err;
        set = &setSpec;
    }
    Handle optionsHandle = nullptr, settingsHandle = nullptr;
    LoadExportSettings(set, &optionsHandle, ids.options, nullptr, 0, &settingsHandle, ids.settings, nullptr, 0);
    ConvertJob job;
    job.kind = kind;
    job.view = view;
    job.destination = destination;
    job.options = ConvertOptionsFromHandle(optionsHandle, kind);
    // Every run asks before it replaces a file, whether or not its options came from a set.
    job.conflict = kConflictAsk;
    CExporterList* list = kind == ConvertMediaKind::Image ? GetImageExporters()
                          : kind == ConvertMediaKind::Sound ? GetSoundExporters() : GetMovieExporters();
    const SInt32 position = FindStoredExporter(list, job.options.subType, job.options.position);
    if (position > 0) job.format = list->At(position).subType;
    job.settings = ExporterSettingsFromHandle(settingsHandle, job.format);
    if (optionsHandle) DisposeHandle(optionsHandle);
    if (settingsHandle) DisposeHandle(settingsHandle);

    ItemActionProc proc = ConvertMovieItem;
    if (kind == ConvertMediaKind::Image) {
        const GraphicsExporterComponentInfo* info = FindGraphicsExporterComponent(job.format);
        if (!info) return kNoImporterForTypeErr;
        job.extension = info->extension;
        proc = ConvertImageItem;
    } else {
        const auto found = FindMovieExportComponents(kind == ConvertMediaKind::Sound ? 'soun' : 'appl', job.format);
        if (!found.empty()) {
            job.movieFormat = found.front();
            job.extension = job.movieFormat->extension;
        }
    }
    Str255 title;
    LoadIndexedString(title, 136, 7);
    const OSErr err = ViewRunExportOnItems(view, proc, &job, allItems, true, title, kItemLoopThreshold, 0);
    if (summary) *summary = std::move(job.summary);
    return err;
}
