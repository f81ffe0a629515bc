#include "catalog/save/CatalogSave.h"

#include "catalog/fields/FieldDef.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/save/CatalogLocks.h"
#include "catalog/save/WorkFile.h"
#include "foundation/interface/Cursors.h"
#include "platform/ByteOrder.h"
#include "platform/FileLocks.h"
#include "platform/SafeRewrite.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

namespace {

constexpr SInt64 kSaveMargin = 524288;   // 512 KB beyond the two files
constexpr SInt64 kTwoGigabytes = 2147483647;

OSErr WriteAll(SInt16 refNum, SInt64 position, const void* data, long length) {
    long count = length;
    OSErr err = FSWriteAt(refNum, position, &count, data);
    if (err == noErr && count != length) err = ioErr;
    return err;
}

OSErr ProgressStep(CatalogProgressProc proc, long current, long total, long refCon) {
    SetWaitCursor(1);
    return proc ? proc(1, current, total, refCon) : OSErr(noErr);
}

// ---- the temporary file ----------------------------------------------------------------

// Temporary files of a target: "." + the target's name + ".saving-" and a unique part, in the
// target's folder, so that the rename over the target never crosses a volume.
std::string TempPrefix(const FSSpec& target) {
    std::string name = FSSpecName(target);
    if (name.size() > 200) name.resize(200);
    return "." + name + ".saving";
}

// ---- writing the new file ----------------------------------------------------------------

struct SaveJob {
    CatalogRec* catalog;
    bool inPlace;
    SafeRewrite out;        // the new file, until it takes the target's place
    SInt16 tempRef = 0;     // its reference (read/write), owned by out
    SInt16 newCatalogRef = 0;
    SInt32 endOfRecords = 0;
    std::vector<ItemEntry> oldEntries;
    bool entriesSwapped = false;
};

// Everything up to the rename. The catalog's entries carry the new positions only while the
// chunk stream is written; they are put back on any failure.
OSErr WriteNewFile(SaveJob& job, CatalogProgressProc progressProc, long refCon) {
    CatalogRec* c = job.catalog;
    std::uint8_t head[8];
    WriteBE32(head, UInt32(c->itemCount));
    WriteBE32(head + 4, kCatalogFileTag);
    OSErr err = WriteAll(job.tempRef, 0, head, 8);
    if (err) return err;

    std::vector<ItemEntry> newEntries(std::size_t(c->itemCount));
    err = CatalogCopyRecords(c, job.inPlace, job.tempRef, newEntries.data(), &job.endOfRecords,
                             progressProc, refCon);
    if (err) return err;

    job.oldEntries.assign(c->entries, c->entries + c->itemCount);
    std::copy(newEntries.begin(), newEntries.end(), c->entries);
    job.entriesSwapped = true;
    err = SetFPos64(job.tempRef, fsFromStart, job.endOfRecords);
    if (err == noErr) err = CatalogWriteChunks(job.tempRef, c);
    if (err) return err;

    WriteBE32(head, kCatalogFileTag);
    WriteBE32(head + 4, UInt32(job.endOfRecords));
    long count = 8;
    err = FSWrite(job.tempRef, &count, head);
    if (err == noErr && count != 8) err = ioErr;
    SInt64 end = 0;
    if (err == noErr) err = GetFPos64(job.tempRef, &end);
    if (err == noErr) err = SetEOF64(job.tempRef, end);
    if (err == noErr) err = FSFlushFile(job.tempRef);
    if (err) return err;

    // Read the trailer back from the disk's copy before the old file is given up.
    std::uint8_t trailer[8];
    count = 8;
    err = FSReadAt(job.tempRef, end - 8, &count, trailer);
    if (err == noErr && (count != 8 || std::memcmp(trailer, head, 8) != 0)) err = ioErr;
    if (err) return err;

    // The catalog's read-only open of its new file is made before the rename, so nothing can
    // fail once the new file has taken the old one's place.
    err = job.out.OpenResultForReading(&job.newCatalogRef);
    // Read from memory like the file it replaces.
    if (err == noErr) FSMapForReading(job.newCatalogRef);
    return err;
}

void DiscardTemp(SaveJob& job) {
    if (job.newCatalogRef) FSClose(job.newCatalogRef);
    job.newCatalogRef = 0;
    job.out.Abandon();
    job.tempRef = 0;
}

}  // namespace

OSErr CatalogCheckSaveSpace(SInt16 catalogRefNum, SInt16 workRefNum, const FSSpec* target) {
    if (catalogRefNum == 0 && workRefNum == 0) return bdNamErr;
    if (!target || target->path.empty()) return paramErr;
    SInt64 need = kSaveMargin;
    for (SInt16 ref : {catalogRefNum, workRefNum}) {
        SInt64 length = 0;
        if (ref != 0 && GetEOF64(ref, &length) == noErr) need += length;
    }
    if (need >= kTwoGigabytes) return kCatalogTooLargeErr;
    UInt64 freeBytes = 0;
    OSErr err = FSpGetFreeBytes(target, &freeBytes);
    if (err) return err;
    if (UInt64(need) >= freeBytes) return dskFulErr;
    return noErr;
}

OSErr CatalogProbeWriteAccess(const CatalogRec* catalog) {
    if (!catalog) return paramErr;
    SInt16 ref = 0;
    OSErr err = FSpOpenDF(&catalog->fileSpec, fsRdWrPerm, &ref);
    if (err) return err;
    std::uint8_t first = 0;
    long count = 1;
    err = FSReadAt(ref, 0, &count, &first);
    if (err == noErr) {
        count = 1;
        err = FSWriteAt(ref, 0, &count, &first);
    }
    OSErr closeErr = FSClose(ref);
    return err ? err : closeErr;
}

OSErr CatalogCopyRecords(CatalogRec* c, bool inPlace, SInt16 targetRefNum, ItemEntry* newEntries,
                         SInt32* endOfRecords, CatalogProgressProc progressProc, long refCon) {
    if (!c || !endOfRecords) return paramErr;
    const SInt32 count = c->itemCount;
    // A catalog without items has no entries to plan (and its caller may hand no array).
    if (count > 0 && !newEntries) return paramErr;
    std::vector<SInt32> fromCatalog, fromWork;
    for (SInt32 i = 0; i < count; ++i) {
        newEntries[i] = c->entries[i];
        newEntries[i].flags &= ~kEntryInWorkFileFlag;
        (c->entries[i].flags & kEntryInWorkFileFlag ? fromWork : fromCatalog).push_back(i);
    }
    if (!fromCatalog.empty() && c->catalogRefNum == 0) return paramErr;
    if (!fromWork.empty() && c->workRefNum == 0) return permErr;
    if (inPlace) {
        // In the order they lie in the file: the records below the lowest hole come first and
        // keep their places, the others close up behind them.
        std::stable_sort(fromCatalog.begin(), fromCatalog.end(), [&](SInt32 a, SInt32 b) {
            return c->entries[a].position < c->entries[b].position;
        });
    }

    SInt64 at = kCatalogHeaderSize;
    long done = 0;
    auto copy = [&](SInt16 source, SInt32 index) -> OSErr {
        SInt64 written = 0;
        OSErr err = CatalogCopyOneRecordChecked(source, c->entries[index].position, targetRefNum,
                                                at, &written);
        if (err) return err;
        newEntries[index].position = SInt32(at);
        at += written;
        ++done;
        return ProgressStep(progressProc, done, count, refCon);
    };
    for (SInt32 i : fromCatalog)
        if (OSErr err = copy(c->catalogRefNum, i)) return err;
    for (SInt32 i : fromWork)
        if (OSErr err = copy(c->workRefNum, i)) return err;
    if (at > std::numeric_limits<SInt32>::max()) return kCatalogTooLargeErr;
    *endOfRecords = SInt32(at);
    return noErr;
}

OSErr CatalogSave(CatalogRec* catalog, const FSSpec* newSpec, CatalogProgressProc progressProc,
                  long refCon) {
    if (!catalog) return paramErr;
    CatalogRec* c = catalog;
    if (c->workRefNum == 0) return permErr;
    const bool inPlace = newSpec == nullptr;
    const FSSpec* target = inPlace ? &c->fileSpec : newSpec;
    if (target->path.empty()) target = nullptr;
    if (inPlace && target && CatalogCountOtherUsers(c, target) > 0) return opWrErr;
    OSErr err = CatalogCheckSaveSpace(c->catalogRefNum, c->workRefNum, target);
    if (err) return err;
    if (inPlace) {
        err = CatalogProbeWriteAccess(c);
        if (err) return err;
    }

    SetWaitCursor(1);
    if (progressProc) progressProc(0, 0, 0, refCon);

    SaveJob job;
    job.catalog = c;
    job.inPlace = inPlace;
    SafeRewriteOptions options;
    options.tempPrefix = TempPrefix(*target);
    err = job.out.Begin(target, options);
    if (err == noErr) {
        job.tempRef = job.out.RefNum();
        err = WriteNewFile(job, progressProc, refCon);
    }
    if (err == noErr) err = job.out.Commit();
    if (progressProc) progressProc(2, 0, 0, refCon);

    if (err && !job.out.Replaced()) {
        if (job.entriesSwapped) std::copy(job.oldEntries.begin(), job.oldEntries.end(), c->entries);
        DiscardTemp(job);
        SetWaitCursor(2);
        // The open catalog, its file and its work file are as they were: the user can save
        // elsewhere. A target this user may not write and a full disk are told as such,
        // everything else as a failed save.
        if (err == permErr) return permErr;
        return err == dskFulErr || err == fileBoundsErr ? OSErr(dskFulErr) : OSErr(abortErr);
    }

    // The new file is in place: from here on nothing can fail. Only its folder may not have
    // been flushed (err): the catalog lives on in the new file, but stays marked as changed so
    // that the user saves again rather than trust a save that may not outlive a crash.
    const OSErr notFlushed = err;
    if (c->catalogRefNum) FSClose(c->catalogRefNum);
    c->catalogRefNum = job.newCatalogRef;
    c->endOfRecords = job.endOfRecords;
    c->lowestHole = job.endOfRecords;
    SetEOF64(c->workRefNum, 0);
    // The field engine's caches are keyed by file reference and position, both of which changed.
    FieldEngineReset();

    const FSSpec oldSpec = c->fileSpec;
    c->fileSpec = *target;
    if (!notFlushed) c->modifiedStamp = 0;
    c->itemCountAtSave = c->itemCount;
    CatalogSetDisplayName(c, &c->fileSpec);
    if (!inPlace && !(oldSpec == c->fileSpec)) {
        // Other users of the new file must see this one, as if it had been opened there.
        if (c->lockRefNum || !oldSpec.path.empty()) CatalogReleaseLock(c, &oldSpec);
        CatalogCreateLock(c, &c->fileSpec);
    }
    if (!notFlushed) CatalogPostNotification(c, kCatalogMsgModified, 0);
    SetWaitCursor(2);
    return notFlushed;
}
