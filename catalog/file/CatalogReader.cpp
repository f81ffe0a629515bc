// Reading a catalog file: the header, the chunk stream with its repairs, and the rebuild of
// the entries from the records when the stream is missing or incomplete.
//
// The file is untrusted. Every length and offset is checked against the file and against the
// place it is read into before anything is read; a chunk that cannot be what it claims is
// skipped, and a file whose structure is broken answers kCatalogBadFileErr.
#include "catalog/file/CatalogRec.h"

#include "catalog/organize/OrganizeLists.h"
#include "catalog/save/WorkFile.h"
#include "catalog/foldertree/FolderTree.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"
#include "platform/UiHooks.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Reads exactly count bytes at position; a short read is eofErr.
OSErr ReadAt(SInt16 refNum, SInt64 position, void* buffer, long count) {
    long got = count;
    OSErr err = FSReadAt(refNum, position, &got, buffer);
    if (err == noErr && got != count) err = eofErr;
    return err;
}

void ProgressOrCursor(CatalogProgressProc proc, short phase, long current, long total, long refCon) {
    if (proc)
        proc(phase, current, total, refCon);
    else
        UiSetCursor(phase == 2 ? kCursorArrow : kCursorWait);
}

// Reads a chunk's data into a new handle.
OSErr ReadHandle(SInt16 refNum, SInt64 position, long length, Handle* out) {
    Handle h = NewHandle(length);
    if (!h) return memFullErr;
    OSErr err = length ? ReadAt(refNum, position, *h, length) : OSErr(noErr);
    if (err != noErr) {
        DisposeHandle(h);
        return err;
    }
    *out = h;
    return noErr;
}

void ReplaceHandle(Handle* slot, Handle h) {
    if (*slot) DisposeHandle(*slot);
    *slot = h;
}

struct ChunkScan {
    bool cellRead = false;
    bool totlRead = false;
    bool mbwdRead = false;
    long cellEntries = 0;
};

// The chunk stream from endOfRecords to the trailer.
OSErr ReadChunkStream(CatalogRec* catalog, SInt64 fileLength, ChunkScan* scan) {
    const SInt16 ref = catalog->catalogRefNum;
    const SInt64 streamEnd = fileLength - kCatalogTrailerSize;
    SInt64 at = catalog->endOfRecords;
    for (;;) {
        std::uint8_t head[8];
        if (at + 4 > fileLength) return eofErr;
        OSErr err = ReadAt(ref, at, head, 4);
        if (err != noErr) return err;
        const OSType tag = ReadBE32(head);
        if (tag == kCatalogFileTag) return noErr;
        err = ReadAt(ref, at + 4, head + 4, 4);
        if (err != noErr) return err;
        const SInt64 length = ReadBE32(head + 4);
        const SInt64 data = at + 8;
        // A chunk never reaches into the trailer.
        if (data > streamEnd || length > streamEnd - data) return eofErr;
        long len = long(length);

        switch (tag) {
        case 'SIGN': {
            // The password block is 256 bytes; more is never stored.
            long n = len < 256 ? len : 256;
            std::memset(catalog->password, 0, sizeof catalog->password);
            err = ReadAt(ref, data, catalog->password, n);
            if (len > 256) catalog->openWarnings |= kOpenChunksSkipped;
            break;
        }
        case 'FSM!':
            err = SetFPos64(ref, fsFromStart, data);
            if (err == noErr) err = CatalogReadFolderTree(catalog, ref, len);
            break;
        case 'CELL': {
            long n = len / 12;
            if (n > catalog->entryCapacity || len % 12 != 0) {
                // Cannot be this catalog's entries; without them the records are scanned.
                catalog->openWarnings |= kOpenChunksSkipped;
                break;
            }
            err = ReadAt(ref, data, catalog->entries, n * 12);
            if (err != noErr) break;
            ItemEntriesToNativeOrder(catalog->entries, n);
            scan->cellRead = true;
            scan->cellEntries = n;
            break;
        }
        case 'USFL':
        case 'RANK':
        case 'PRNT':
        case 'VCSF':
        case 'FLDR':
        case 'CPTF': {
            // The two tables of fixed-size entries keep their whole entries only: a tail shorter
            // than an entry would be written back as it came and shift every later reading.
            long keep = len;
            if (tag == 'USFL') keep = len - len % kCustomFieldNameSize;
            if (tag == 'RANK') keep = len - len % long(sizeof(RankRow));
            if (keep != len) catalog->openWarnings |= kOpenChunksSkipped;
            Handle h = nullptr;
            err = ReadHandle(ref, data, keep, &h);
            if (err != noErr) break;
            len = keep;
            if (tag == 'USFL') {
                CustomFieldNamesToNativeOrder(*h, len);
                ReplaceHandle(&catalog->customFieldNames, h);
            } else if (tag == 'RANK') {
                RankRowsToNativeOrder(*h, len);
                ReplaceHandle(&catalog->rankList, h);
            } else if (tag == 'PRNT') {
                ReplaceHandle(&catalog->printSettings, h);
            } else if (tag == 'VCSF') {
                ReplaceHandle(&catalog->folderRef1, h);
            } else if (tag == 'FLDR') {
                ReplaceHandle(&catalog->folderRef0, h);
            } else {
                ReplaceHandle(&catalog->folderRef2, h);
            }
            break;
        }
        case 'HFld': {
            Handle h = nullptr;
            err = ReadHandle(ref, data, len, &h);
            if (err != noErr) break;
            CatalogHiddenFieldsRead(catalog, h);
            DisposeHandle(h);
            break;
        }
        case 'CSET':
        case 'CS00':
        case 'MSOP':
        case 'MSVI':
        case 'OpMs':
        case 'VsMs': {
            std::vector<std::uint8_t> bytes;
            try {
                bytes.resize(std::size_t(len));
            } catch (const std::bad_alloc&) {
                err = memFullErr;
                break;
            }
            err = len ? ReadAt(ref, data, bytes.data(), len) : OSErr(noErr);
            if (err != noErr) break;
            if (!OrganizeListsReadChunk(catalog, tag, bytes.data(), len))
                catalog->openWarnings |= kOpenChunksSkipped;
            break;
        }
        case 'TOTL': {
            if (len != sizeof(CatalogTotals)) {
                catalog->openWarnings |= kOpenChunksSkipped;
                break;
            }
            CatalogTotals t;
            err = ReadAt(ref, data, &t, sizeof t);
            if (err != noErr) break;
            CatalogTotalsToNativeOrder(&t);
            catalog->itemCount = SInt32(t.itemCount);
            catalog->labelledCount = SInt32(t.labelledCount);
            catalog->hiddenCount = 0;
            catalog->dataSize = SInt32(t.dataSize);
            catalog->mediaSize32 = SInt32(t.mediaSize32);
            scan->totlRead = true;
            break;
        }
        case 'IMPF':
            if (len != sizeof(ImportSettingsRec)) {
                catalog->openWarnings |= kOpenChunksSkipped;
                break;
            }
            err = ReadAt(ref, data, catalog->importSettings, len);
            if (err == noErr) ImportSettingsToNativeOrder(catalog->importSettings);
            break;
        case 'FONT':
            if (len != sizeof(CatalogFontPrefs) || catalog->fontPrefs) {
                if (len != sizeof(CatalogFontPrefs)) catalog->openWarnings |= kOpenChunksSkipped;
                break;
            }
            catalog->fontPrefs = new (std::nothrow) CatalogFontPrefs{};
            if (!catalog->fontPrefs) {
                err = memFullErr;
                break;
            }
            err = ReadAt(ref, data, catalog->fontPrefs, len);
            if (err == noErr) CatalogFontPrefsToNativeOrder(catalog->fontPrefs);
            break;
        case 'PREF':
            if (len != sizeof(CatalogViewPrefs)) {
                catalog->openWarnings |= kOpenChunksSkipped;
                break;
            }
            err = ReadAt(ref, data, &catalog->viewPrefs, len);
            if (err == noErr) CatalogViewPrefsToNativeOrder(&catalog->viewPrefs);
            break;
        case 'SVar':
            if (len != 4) {
                catalog->openWarnings |= kOpenChunksSkipped;
                break;
            }
            err = ReadAt(ref, data, head, 4);
            if (err == noErr) catalog->savedEdition = ReadBE32(head);
            break;
        case 'MBWd': {
            if (len != 8) {
                catalog->openWarnings |= kOpenChunksSkipped;
                break;
            }
            std::uint8_t b[8];
            err = ReadAt(ref, data, b, 8);
            if (err == noErr) {
                catalog->mediaSize64 = ReadBE64(b);
                scan->mbwdRead = true;
            }
            break;
        }
        default:
            break;
        }
        if (err != noErr) return err;
        at = data + length;
    }
}

// The entries read agree with the counts and lie inside the records.
// Where the records begin, walking them from the header: each record is followed by its
// blocks, so a record starts where the previous one's blocks end. Empty when the walk cannot
// reach the end of the records in count steps (a size field that lies).
std::vector<SInt32> RecordStarts(const CatalogRec* catalog, UInt32 count) {
    std::vector<SInt32> starts;
    starts.reserve(count);
    SInt64 at = kCatalogHeaderSize;
    const UInt32 sizeOffset = offsetof(ItemRec, recordingSize);
    for (UInt32 n = 0; n < count; ++n) {
        if (at + SInt64(kItemRecSize) > catalog->endOfRecords) return {};
        std::uint8_t sizes[20];
        if (ReadAt(catalog->catalogRefNum, at + sizeOffset, sizes, sizeof sizes) != noErr) return {};
        SInt64 blocks = 0;
        for (int i = 0; i < 5; ++i) blocks += ReadBE32(sizes + 4 * i);
        starts.push_back(SInt32(at));
        at += SInt64(kItemRecSize) + blocks;
    }
    return starts;
}

bool EntriesConsistent(const CatalogRec* catalog, UInt32 headerCount, const ChunkScan& scan) {
    if (catalog->itemCount < 0 || catalog->itemCount > catalog->entryCapacity) return false;
    if (UInt32(catalog->itemCount) != headerCount) return false;
    if (catalog->itemCount != (scan.cellRead ? scan.cellEntries : 0)) return false;
    for (SInt32 i = 0; i < catalog->itemCount; ++i) {
        const SInt32 pos = catalog->entries[i].position;
        if (pos < kCatalogHeaderSize || SInt64(pos) + SInt64(kItemRecSize) > catalog->endOfRecords)
            return false;
    }
    // Every entry must point at the start of a record, each record once: an entry pointing
    // into the middle of one would make its bytes an item, and be saved as one.
    const std::vector<SInt32> starts = RecordStarts(catalog, headerCount);
    if (starts.size() != headerCount) return false;
    std::vector<SInt32> positions(std::size_t(catalog->itemCount));
    for (SInt32 i = 0; i < catalog->itemCount; ++i) positions[std::size_t(i)] = catalog->entries[i].position;
    std::sort(positions.begin(), positions.end());
    return positions == starts;
}

}  // namespace

OSErr CatalogReadEntryRecord(const CatalogRec* catalog, const ItemEntry* entry, ItemRec* record) {
    if (!catalog || !entry) return paramErr;
    const SInt16 ref = CatalogGetItemRefNum(catalog, entry);
    if (ref == 0) return rfNumErr;
    return ItemReadRecordAtPos(ref, entry->position, record);
}

OSErr CatalogCheckPassword(const CatalogRec* catalog, ConstStr255Param password) {
    const unsigned char* stored = catalog->password;
    if (!password) return kWrongPasswordErr;
    if (password[0] != stored[0]) return kWrongPasswordErr;
    return std::memcmp(password + 1, stored + 1, stored[0]) == 0 ? noErr : kWrongPasswordErr;
}

OSErr CatalogRebuildEntries(CatalogRec* catalog) {
    const SInt16 ref = catalog->catalogRefNum;
    SInt64 fileLength = 0;
    OSErr err = GetEOF64(ref, &fileLength);
    if (err != noErr) return err;
    catalog->itemCount = 0;
    catalog->labelledCount = 0;
    catalog->hiddenCount = 0;
    catalog->dataSize = SInt32(fileLength);
    catalog->mediaSize32 = 0;
    catalog->mediaSize64 = 0;

    std::uint8_t head[4];
    err = ReadAt(ref, 0, head, 4);
    UInt32 count = err == noErr ? ReadBE32(head) : 0;
    if (err == noErr && count > UInt32(catalog->entryCapacity)) err = kCatalogBadFileErr;
    SInt64 at = kCatalogHeaderSize;
    for (UInt32 n = 1; err == noErr && n <= count; ++n) {
        if (at + SInt64(kItemRecSize) > fileLength) {
            err = eofErr;
            break;
        }
        ItemRec record;
        err = ReadAt(ref, at, &record, sizeof record);
        if (err != noErr) break;
        ItemRecToNativeOrder(&record);
        ItemEntry& e = catalog->entries[n - 1];
        e.position = SInt32(at);
        e.id = n;
        e.flags &= ~kEntryLabelMask;
        ItemEntrySetNameChars(&e, record.storedName);
        catalog->itemCount = SInt32(n);
        catalog->mediaSize32 = SInt32(UInt32(catalog->mediaSize32) + record.fileSize);
        catalog->mediaSize64 += record.fileSize;
        at += SInt64(kItemRecSize) + SInt64(ItemRecVarSize(&record));
    }
    catalog->endOfRecords = SInt32(fileLength);
    // Entries past the records found keep nothing from a table read before.
    for (SInt32 i = catalog->itemCount; i < catalog->entryCapacity; ++i) catalog->entries[i] = ItemEntry{};
    if (err != noErr && (UiModifierKeys() & kModAlt)) {
        catalog->openWarnings |= kOpenScanErrorIgnored;
        return noErr;
    }
    return err;
}

OSErr CatalogRecomputeMediaSize(CatalogRec* catalog, CatalogProgressProc progressProc, long refCon) {
    catalog->mediaSize64 = 0;
    for (SInt32 n = 1; n <= catalog->itemCount; ++n) {
        if (progressProc) {
            OSErr answer = progressProc(1, n, catalog->itemCount, refCon);
            if (answer != noErr) return answer;
        } else {
            UiSetCursor(kCursorWait);
        }
        ItemRec record;
        if (CatalogReadEntryRecord(catalog, &catalog->entries[n - 1], &record) == noErr)
            catalog->mediaSize64 += record.fileSize;
    }
    return noErr;
}

OSErr CatalogReadChunks(CatalogRec* catalog, CatalogProgressProc progressProc, long refCon) {
    const SInt16 ref = catalog->catalogRefNum;
    catalog->savedEdition = kSavedEditionUnknown;
    catalog->mediaSize64 = 0;

    SInt64 fileLength = 0;
    OSErr err = GetEOF64(ref, &fileLength);
    if (err != noErr) return kCatalogBadFileErr;
    std::uint8_t b[8];
    if (ReadAt(ref, 0, b, 4) != noErr || ReadAt(ref, fileLength - 4, b + 4, 4) != noErr)
        return kCatalogBadFileErr;
    const UInt32 headerCount = ReadBE32(b);
    const SInt64 endOfRecords = ReadBE32(b + 4);
    // The stream lies between the header and the trailer.
    if (endOfRecords < kCatalogHeaderSize || endOfRecords > fileLength - kCatalogTrailerSize)
        return kCatalogBadFileErr;
    catalog->endOfRecords = SInt32(endOfRecords);

    ChunkScan scan;
    OSErr streamErr = ReadChunkStream(catalog, fileLength, &scan);
    const bool missingEntries = (!scan.cellRead && headerCount > 0) || !scan.totlRead;
    if (missingEntries || (streamErr == noErr && !EntriesConsistent(catalog, headerCount, scan))) {
        catalog->openWarnings |= kOpenRebuiltEntries;
        if (streamErr != noErr) catalog->openWarnings |= kOpenChunkReadError;
        err = CatalogRebuildEntries(catalog);
        if (err != noErr) return err;
    } else if (streamErr != noErr) {
        return streamErr;
    }
    if (!scan.mbwdRead) return CatalogRecomputeMediaSize(catalog, progressProc, refCon);
    return noErr;
}

namespace {

// A save copies every record with its blocks; one whose blocks reach past the end of the file
// cannot be copied, so such a catalog is said at once not to be savable, rather than failing
// every save later and losing the user's edits without warning.
bool RecordsCanBeSaved(const CatalogRec* catalog) {
    SInt64 fileLength = 0;
    if (GetEOF64(catalog->catalogRefNum, &fileLength) != noErr) return false;
    SInt64 total = kCatalogHeaderSize;
    for (SInt32 i = 0; i < catalog->itemCount; ++i) {
        const SInt32 pos = catalog->entries[i].position;
        std::uint8_t sizes[20];
        if (pos < 0 || ReadAt(catalog->catalogRefNum, SInt64(pos) + SInt64(offsetof(ItemRec, recordingSize)), sizes,
                              sizeof sizes) != noErr)
            return false;
        SInt64 blocks = 0;
        for (int b = 0; b < 5; ++b) blocks += ReadBE32(sizes + 4 * b);
        if (SInt64(pos) + SInt64(kItemRecSize) + blocks > fileLength) return false;
        total += SInt64(kItemRecSize) + blocks;
    }
    return total <= INT32_MAX;
}

}  // namespace

OSErr CatalogOpenFile(CatalogRec* catalog, const FSSpec* spec, CatalogPasswordProc passwordProc,
                      ConstStr255Param password, CatalogProgressProc progressProc, long refCon) {
    if (!spec) return paramErr;
    ProgressOrCursor(progressProc, 0, 0, 1, refCon);
    SInt16 ref = 0;
    OSErr err = FSpOpenDF(spec, fsRdPerm, &ref);
    if (err != noErr) {
        ProgressOrCursor(progressProc, 2, 0, 0, refCon);
        return err;
    }
    catalog->catalogRefNum = ref;
    // The catalog file stays open for reading until it is closed or replaced by a save, and
    // the field getters read records and blocks from it item by item: from memory, that costs
    // no system call per read.
    FSMapForReading(ref);

    SInt64 fileLength = 0;
    std::uint8_t head[8];
    err = GetEOF64(ref, &fileLength);
    // Positions are 32-bit; a larger file cannot be a catalog.
    if (err == noErr && (fileLength < kCatalogHeaderSize || fileLength > INT32_MAX)) err = kCatalogBadFileErr;
    if (err == noErr && ReadAt(ref, 0, head, 8) != noErr) err = kCatalogBadFileErr;
    if (err == noErr && (ReadBE32(head + 4) != kCatalogFileTag ||
                         ReadBE32(head) > UInt32(catalog->entryCapacity)))
        err = kCatalogBadFileErr;

    if (err == noErr) {
        std::uint8_t trailer[4] = {};
        bool hasTrailer = fileLength >= kCatalogHeaderSize + kCatalogTrailerSize &&
                          ReadAt(ref, fileLength - 8, trailer, 4) == noErr &&
                          ReadBE32(trailer) == kCatalogFileTag;
        if (hasTrailer) {
            err = CatalogReadChunks(catalog, progressProc, refCon);
        } else {
            catalog->openWarnings |= kOpenRebuiltEntries;
            err = CatalogRebuildEntries(catalog);
        }
    }

    if (err == noErr && catalog->password[0] != 0) {
        if (password)
            err = CatalogCheckPassword(catalog, password);
        else if (passwordProc)
            err = passwordProc(catalog);
        else
            err = paramErr;
    }

    if (err == noErr && !RecordsCanBeSaved(catalog)) catalog->openWarnings |= kOpenCannotSave;
    if (err == noErr) {
        catalog->lowestHole = catalog->endOfRecords;
        catalog->fileSpec = *spec;
        catalog->itemCountAtSave = catalog->itemCount;
        ProgressOrCursor(progressProc, 2, catalog->itemCount, catalog->itemCount, refCon);
    } else {
        ProgressOrCursor(progressProc, 2, 0, 0, refCon);
        FSClose(ref);
        catalog->catalogRefNum = 0;
    }
    return err;
}
