// Converting the media files of the selected (or all shown) items of a view into another
// format: images through our graphics exporters, sounds and movies through the FFmpeg formats.
// Each converted file takes the source's name with the format's extension, in a chosen folder
// or beside the source, replacing it. The options come from the typed settings, or from the
// option set named. Every item's outcome is counted (done, skipped or failed with a reason),
// and only a user's cancel ends the run.
//
// Nothing a user has is lost: an existing file is replaced only after the user said Replace
// (or Replace All) for it, the new file is written to a temporary file of its own and renamed
// into place when complete, a failed or cancelled conversion leaves no partial file, and a
// source converted in place is removed only after its replacement is in place.
#pragma once

#include "output/convert/ConvertOptions.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <string>
#include <vector>

struct ViewRec;
struct CatalogRec;

// Answers to the question about an existing file.
enum : SInt16 {
    kConflictAsk = 0,
    kConflictReplace = 1,
    kConflictSkip = 2,
    kConflictReplaceAll = 3,
};

// Why an item was skipped or failed.
enum : int {
    kReasonFinishFailed = 24,
    kReasonNoFile = 25,
    kReasonSkippedByUser = 26,
    kReasonWrongKind = 27,   // also: the export failed
    kReasonUnreadable = 28,
    kReasonNotScaled = 29,
    kReasonNoExporter = 31,
    kReasonNoSound = 34,
};

// The question about an existing target, installed by the user interface ("Replace file?" with
// Replace, Skip and Replace All). Without one, existing files are skipped.
class ConvertPrompts {
public:
    virtual ~ConvertPrompts() = default;
    virtual SInt16 AskReplace(const std::string& fileName, const std::string& folderPath) { return kConflictSkip; }
};
void SetConvertPrompts(ConvertPrompts* prompts);
ConvertPrompts& GetConvertPrompts();

struct ConvertOutcome {
    SInt32 itemId;
    int reason;   // 0 done
    bool failed;  // a failure rather than a skip
};

struct ConvertSummary {
    int done = 0, skipped = 0, failed = 0;
    std::vector<ConvertOutcome> outcomes;
};

// Runs a conversion of the kind. setName (length-prefixed, may be null) names an option set of
// the kind to take the options from; then the run still asks before replacing any file.
// destination null converts in place (beside the originals, replacing them). Answers noErr,
// or userCanceledErr when the user cancelled; summary (may be null) receives the outcomes.
OSErr ExportMediaFiles(ConvertMediaKind kind, ViewRec* view, ConstStr255Param setName, bool allItems,
                       const FSSpec* destination, ConvertSummary* summary = nullptr);
inline OSErr ExportImageFiles(ViewRec* view, ConstStr255Param setName, bool allItems, const FSSpec* destination) {
    return ExportMediaFiles(ConvertMediaKind::Image, view, setName, allItems, destination);
}
inline OSErr ExportSoundFiles(ViewRec* view, ConstStr255Param setName, bool allItems, const FSSpec* destination) {
    return ExportMediaFiles(ConvertMediaKind::Sound, view, setName, allItems, destination);
}
inline OSErr ExportMovieFiles(ViewRec* view, ConstStr255Param setName, bool allItems, const FSSpec* destination) {
    return ExportMediaFiles(ConvertMediaKind::Movie, view, setName, allItems, destination);
}
