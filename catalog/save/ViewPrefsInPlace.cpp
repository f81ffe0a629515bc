#include "catalog/save/ViewPrefsInPlace.h"

#include "catalog/file/CatalogRec.h"
#include "platform/ByteOrder.h"

void CatalogWriteViewPrefsInPlace(const FSSpec* spec, SInt32 endOfRecords,
                                  const CatalogViewPrefs* prefsInFileOrder) {
    if (!spec || !prefsInFileOrder || endOfRecords < kCatalogHeaderSize) return;
    UInt32 modified = 0;
    bool haveDate = FSpGetFileDates(spec, nullptr, &modified) == noErr;
    SInt16 ref = 0;
    if (FSpOpenDF(spec, fsRdWrPerm, &ref) != noErr) return;
    SInt64 length = 0;
    if (GetEOF64(ref, &length) == noErr) {
        SInt64 at = endOfRecords;
        while (at + 8 <= length) {
            std::uint8_t head[8];
            long count = 8;
            if (FSReadAt(ref, at, &count, head) != noErr) break;
            OSType tag = ReadBE32(head);
            if (tag == kCatalogFileTag) break;
            SInt64 dataLength = ReadBE32(head + 4);
            if (tag == 'PREF') {
                if (dataLength >= kViewPrefsInPlaceBytes && at + 8 + dataLength <= length) {
                    count = kViewPrefsInPlaceBytes;
                    FSWriteAt(ref, at + 8, &count, prefsInFileOrder);
                }
                break;
            }
            at += 8 + dataLength;
        }
    }
    FSClose(ref);
    if (haveDate) FSpSetFileDates(spec, nullptr, &modified);
}
