#include "catalog/save/WorkFile.h"

#include "catalog/fields/FieldDef.h"
#include "foundation/text/CodePages.h"
#include "media/metadata/IptcBlock.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr SInt64 kMaxCatalogPosition = std::numeric_limits<SInt32>::max();

OSErr WriteAll(SInt16 refNum, SInt64 position, const void* data, long length) {
    long count = length;
    OSErr err = FSWriteAt(refNum, position, &count, data);
    if (err == noErr && count != length) err = ioErr;
    return err;
}

OSErr ReadAll(SInt16 refNum, SInt64 position, void* data, long length) {
    long count = length;
    OSErr err = FSReadAt(refNum, position, &count, data);
    if (err == eofErr || (err == noErr && count != length)) err = eofErr;
    return err;
}

// The five blocks in file order, with the record offset of each size field.
struct BlockSlot {
    std::size_t sizeOffset;
};
constexpr BlockSlot kBlocks[5] = {{1012}, {1016}, {1020}, {1008}, {1004}};
enum { kThumbnail, kAnnotations, kUrl, kMetadata, kRecording };

UInt32 NativeSize(const ItemRec& r, int block) {
    UInt32 v;
    std::memcpy(&v, reinterpret_cast<const std::uint8_t*>(&r) + kBlocks[block].sizeOffset, 4);
    return v;
}

UInt32 FileOrderSize(const std::uint8_t* fileRecord, int block) {
    return ReadBE32(fileRecord + kBlocks[block].sizeOffset);
}

}  // namespace

SInt32 ItemWriteRecord(ItemRec* record, Handle thumbnail, Handle annotations, Handle url,
                       Handle metadata, Handle recording, SInt16 refNum, SInt32 position,
                       SInt32* outSize) {
    if (outSize) *outSize = 0;
    if (!record) return -1;
    SInt32 result = -1;
    SInt64 at = position;
    OSErr err = noErr;
    if (position == -1) {
        err = GetEOF64(refNum, &at);
        if (err == noErr) record->reserve = kWorkFileReserve;
    } else if (position < 0) {
        err = paramErr;
    }

    const Handle handles[5] = {thumbnail, annotations, url, metadata, recording};
    UInt64 blockBytes = 0;
    for (int b = 0; b < 5 && err == noErr; ++b) {
        UInt32 size = NativeSize(*record, b);
        if (size == 0) continue;
        // A size field that promises more than its handle holds would write foreign memory.
        if (!handles[b] || UInt64(GetHandleSize(handles[b])) < size) err = paramErr;
        blockBytes += size;
    }
    if (err == noErr && at + SInt64(kItemRecSize + blockBytes) > kMaxCatalogPosition) err = fileBoundsErr;

    if (err == noErr) {
        // The record and the text blocks are converted in copies: a write that fails halfway
        // leaves the caller's data in memory order.
        ItemRec fileOrder = *record;
        ItemRecToFileOrder(&fileOrder);
        err = WriteAll(refNum, at, &fileOrder, long(kItemRecSize));
    }
    SInt64 next = at + SInt64(kItemRecSize);
    for (int b = 0; b < 5 && err == noErr; ++b) {
        UInt32 size = NativeSize(*record, b);
        if (size == 0) continue;
        const void* bytes = *handles[b];
        std::vector<std::uint8_t> converted;
        if (b == kAnnotations) {
            Handle copy = nullptr;
            err = PtrToHand(*handles[b], &copy, Size(size));
            if (err == noErr) {
                IptcConvertCharset(copy, 0);
                // Conversion keeps the length of every dataset, so the size field holds.
                converted.assign(*copy, *copy + size);
                DisposeHandle(copy);
                bytes = converted.data();
            }
        } else if (b == kUrl) {
            converted.assign(*handles[b], *handles[b] + size);
            AnsiToMacRoman(converted.data(), long(size));
            bytes = converted.data();
        }
        if (err == noErr) err = WriteAll(refNum, next, bytes, long(size));
        next += size;
    }
    if (err == noErr && position == -1) {
        Handle reserve = CatalogGetReserveBlock();
        if (reserve && GetHandleSize(reserve) >= Size(kWorkFileReserve)) {
            err = WriteAll(refNum, next, *reserve, long(kWorkFileReserve));
        } else {
            std::vector<std::uint8_t> zeros(kWorkFileReserve, 0);
            err = WriteAll(refNum, next, zeros.data(), long(kWorkFileReserve));
        }
    }
    if (err == noErr) {
        if (outSize) *outSize = SInt32(kItemRecSize + blockBytes);
        result = SInt32(at);
    }
    FieldEngineReset();
    return result;
}

OSErr ItemReadRecordAtPos(SInt16 refNum, SInt32 position, ItemRec* record) {
    if (!record) return paramErr;
    if (position < 0) return posErr;
    ItemRec r;
    OSErr err = ReadAll(refNum, position, &r, long(kItemRecSize));
    if (err) return err;
    ItemRecToNativeOrder(&r);
    *record = r;
    return noErr;
}

SInt32 CatalogNextRecordAtOrAfter(const CatalogRec* catalog, SInt32 position) {
    if (!catalog) return -1;
    SInt32 best = -1;
    for (SInt32 i = 0; i < catalog->itemCount; ++i) {
        const ItemEntry& e = catalog->entries[i];
        if ((e.flags & kEntryInWorkFileFlag) || e.position < position) continue;
        if (best < 0 || e.position < catalog->entries[best].position) best = i;
    }
    return best;
}

OSErr ItemReadRecordWithData(Handle* out, SInt16 refNum, SInt32 position, bool convert,
                             bool allBlocks) {
    if (!out) return paramErr;
    *out = nullptr;
    if (position < 0) return posErr;
    SInt64 length = 0;
    OSErr err = GetEOF64(refNum, &length);
    if (err) return err;
    ItemRec record;
    err = ItemReadRecordAtPos(refNum, position, &record);
    if (err) return err;
    UInt64 end = UInt64(position) + kItemRecSize + ItemRecVarSize(&record);
    if (end > UInt64(length)) return eofErr;

    Handle h = NewHandle(Size(kItemRecSize));
    if (!h) return memFullErr;
    std::memcpy(*h, &record, kItemRecSize);
    SInt64 at = SInt64(position) + SInt64(kItemRecSize);
    for (int b = 0; b < 5 && err == noErr; ++b) {
        UInt32 size = NativeSize(record, b);
        if (size == 0) continue;
        if ((b == kThumbnail || b == kRecording) && !allBlocks) {
            at += size;
            continue;
        }
        Size before = GetHandleSize(h);
        SetHandleSize(h, before + Size(size));
        err = MemError();
        if (err == noErr) err = ReadAll(refNum, at, *h + before, long(size));
        if (err == noErr && convert && b == kAnnotations) {
            Handle block = nullptr;
            err = PtrToHand(*h + before, &block, Size(size));
            if (err == noErr) {
                IptcConvertCharset(block, 1);
                std::memcpy(*h + before, *block, size);
                DisposeHandle(block);
            }
        }
        if (err == noErr && convert && b == kUrl) MacRomanToAnsi(*h + before, long(size));
        at += size;
    }
    if (err) {
        DisposeHandle(h);
        return err;
    }
    *out = h;
    return noErr;
}

OSErr CatalogCopyOneRecordChecked(SInt16 sourceRefNum, SInt32 sourcePosition,
                                  SInt16 targetRefNum, SInt64 targetPosition, SInt64* written) {
    *written = 0;
    if (sourcePosition < 0 || targetPosition < 0) return posErr;
    SInt64 length = 0;
    OSErr err = GetEOF64(sourceRefNum, &length);
    if (err) return err;
    std::vector<std::uint8_t> bytes(kItemRecSize);
    err = ReadAll(sourceRefNum, sourcePosition, bytes.data(), long(kItemRecSize));
    if (err) return err;
    UInt64 blocks = 0;
    for (int b = 0; b < 5; ++b) blocks += FileOrderSize(bytes.data(), b);
    // Sizes come from a file: they must stay inside it before any memory is asked for.
    if (UInt64(sourcePosition) + kItemRecSize + blocks > UInt64(length)) return eofErr;
    if (UInt64(targetPosition) + kItemRecSize + blocks > UInt64(kMaxCatalogPosition))
        return kCatalogTooLargeErr;
    try {
        bytes.resize(kItemRecSize + std::size_t(blocks));
    } catch (const std::bad_alloc&) {
        return memFullErr;
    }
    if (blocks > 0)
        err = ReadAll(sourceRefNum, SInt64(sourcePosition) + SInt64(kItemRecSize),
                      bytes.data() + kItemRecSize, long(blocks));
    if (err) return err;
    // The copy lies in a saved file, records back to back: no reserve follows it.
    WriteBE32(bytes.data() + offsetof(ItemRec, reserve), 0);
    err = WriteAll(targetRefNum, targetPosition, bytes.data(), long(bytes.size()));
    if (err) return err;
    *written = SInt64(bytes.size());
    return noErr;
}

SInt32 CatalogCopyOneRecord(SInt16 sourceRefNum, SInt32 sourcePosition, SInt16 targetRefNum,
                            SInt32 targetPosition) {
    SInt64 written = 0;
    if (CatalogCopyOneRecordChecked(sourceRefNum, sourcePosition, targetRefNum, targetPosition,
                                    &written) != noErr)
        return 0;
    return SInt32(written);
}
