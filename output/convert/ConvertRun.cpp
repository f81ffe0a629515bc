#include "output/convert/ConvertRun.h"

#include "catalog/file/CatalogRecords.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "foundation/resources/ResourceStrings.h"
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "output/convert/ConvertFiles.h"
#include "output/convert/ConvertPicture.h"
#include "output/convert/ExporterLists.h"
#include "output/optionsets/OptionSets.h"
#include "platform/Handles.h"
#include "platform/UiHooks.h"
#include "platform/imaging/GraphicsExporter.h"
#include "platform/movies/MovieExport.h"
#include "platform/movies/MovieSource.h"
#include "window/view/ViewOperations.h"
#include "window/view/ViewRec.h"

#include <unistd.h>

#include <algorithm>

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

// The item's file and record, or false (counted as having no file) when its file is not found.
bool FindItemFile(ConvertJob& job, CatalogRec* catalog, SInt32 item, FSSpec* source, ItemRec* record) {
    if (CatalogFindItemPath(catalog, item, source) != noErr) {
        Count(job, catalog, item, kReasonNoFile, false);
        return false;
    }
    ItemReadRecord(catalog, item, record);
    return true;
}

OSErr ConvertImageItem(void* refCon, CatalogRec* catalog, SInt32 item, long) {
    ConvertJob& job = *static_cast<ConvertJob*>(refCon);
    FSSpec source;
    ItemRec record{};
    if (!FindItemFile(job, catalog, item, &source, &record)) return noErr;
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
    FSSpec temp;
    OSErr err = MakeConversionTempFile(FSSpecFolderPath(target), &temp);
    int reason = kReasonWrongKind;
    if (err == noErr) {
        err = ConvertPictureFile(source, record.kind, record.resolution, job.options, job.settings, job.format, temp,
                                 &reason);
        if (err != noErr) unlink(temp.path.c_str());
    }
    if (err != noErr) {
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
    ItemRec record{};
    if (!FindItemFile(job, catalog, item, &source, &record)) return noErr;
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
