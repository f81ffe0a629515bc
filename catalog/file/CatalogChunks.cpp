// Writing the chunk stream of a catalog file, in the order the reader expects.
#include "catalog/file/CatalogRec.h"

#include "catalog/organize/OrganizeLists.h"
#include "catalog/foldertree/FolderTree.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <cstring>
#include <vector>

namespace {

OSErr WriteExact(SInt16 refNum, const void* data, long length) {
    long count = length;
    OSErr err = FSWrite(refNum, &count, data);
    if (err == noErr && count != length) err = ioErr;
    return err;
}

std::vector<std::uint8_t> HandleBytes(Handle h) {
    if (!h) return {};
    return std::vector<std::uint8_t>(*h, *h + GetHandleSize(h));
}

}  // namespace

OSErr ChunkWriteHead(SInt16 refNum, OSType tag, UInt32 length) {
    std::uint8_t head[8];
    WriteBE32(head, tag);
    WriteBE32(head + 4, length);
    return WriteExact(refNum, head, 8);
}

OSErr ChunkWrite(SInt16 refNum, OSType tag, const void* data, long length) {
    if (!data || length <= 0) return noErr;
    OSErr err = ChunkWriteHead(refNum, tag, UInt32(length));
    if (err == noErr) err = WriteExact(refNum, data, length);
    return err;
}

OSErr CatalogWriteChunks(SInt16 refNum, CatalogRec* catalog) {
    OSErr err = noErr;
    if (catalog->password[0] != 0) err = ChunkWrite(refNum, 'SIGN', catalog->password, 256);
    if (err == noErr) err = CatalogWriteFolderTreeChunk(refNum, catalog);

    if (err == noErr && catalog->itemCount > 0) {
        std::vector<ItemEntry> entries(catalog->entries, catalog->entries + catalog->itemCount);
        ItemEntriesToFileOrder(entries.data(), long(entries.size()));
        err = ChunkWrite(refNum, 'CELL', entries.data(), long(entries.size() * sizeof(ItemEntry)));
    }
    if (err == noErr && catalog->customFieldNames) {
        std::vector<std::uint8_t> names = HandleBytes(catalog->customFieldNames);
        CustomFieldNamesToFileOrder(names.data(), long(names.size()));
        err = ChunkWrite(refNum, 'USFL', names.data(), long(names.size()));
    }
    if (err == noErr && catalog->rankList) {
        std::vector<std::uint8_t> rows = HandleBytes(catalog->rankList);
        RankRowsToFileOrder(rows.data(), long(rows.size()));
        err = ChunkWrite(refNum, 'RANK', rows.data(), long(rows.size()));
    }
    const struct {
        OSType tag;
        Handle h;
    } opaque[] = {{'PRNT', catalog->printSettings},
                  {'VCSF', catalog->folderRef1},
                  {'FLDR', catalog->folderRef0},
                  {'CPTF', catalog->folderRef2}};
    for (const auto& o : opaque) {
        if (err != noErr) break;
        if (o.h) err = ChunkWrite(refNum, o.tag, *o.h, GetHandleSize(o.h));
    }
    if (err == noErr) {
        Handle hidden = NewHandle(0);
        if (!hidden) return memFullErr;
        err = CatalogHiddenFieldsWrite(catalog, hidden);
        if (err == noErr) err = ChunkWrite(refNum, 'HFld', *hidden, GetHandleSize(hidden));
        DisposeHandle(hidden);
    }
    if (err == noErr) err = OrganizeListsWriteChunks(refNum, catalog);
    if (err == noErr) {
        // The hidden count is not kept: hidden items show again when the file is opened.
        CatalogTotals t{UInt32(catalog->itemCount), UInt32(catalog->labelledCount), 0,
                        UInt32(catalog->dataSize), UInt32(catalog->mediaSize32)};
        CatalogTotalsToFileOrder(&t);
        err = ChunkWrite(refNum, 'TOTL', &t, sizeof t);
    }
    if (err == noErr && catalog->importSettings) {
        ImportSettingsRec s = *catalog->importSettings;
        ImportSettingsToFileOrder(&s);
        err = ChunkWrite(refNum, 'IMPF', &s, sizeof s);
    }
    if (err == noErr && catalog->fontPrefs) {
        CatalogFontPrefs f = *catalog->fontPrefs;
        CatalogFontPrefsToFileOrder(&f);
        err = ChunkWrite(refNum, 'FONT', &f, sizeof f);
    }
    if (err == noErr) {
        CatalogViewPrefs p = catalog->viewPrefs;
        CatalogViewPrefsToFileOrder(&p);
        err = ChunkWrite(refNum, 'PREF', &p, sizeof p);
    }
    if (err == noErr) {
        std::uint8_t edition[4];
        WriteBE32(edition, UInt32(CatalogGetEditionCode()));
        err = ChunkWrite(refNum, 'SVar', edition, 4);
    }
    if (err == noErr) {
        std::uint8_t size[8];
        WriteBE64(size, catalog->mediaSize64);
        err = ChunkWrite(refNum, 'MBWd', size, 8);
    }
    return err;
}
