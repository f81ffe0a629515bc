// In-place conversions of the fixed records between memory order (machine numbers,
// Windows-1252 text) and file order (big-endian numbers, Mac Roman text).
#include "catalog/file/CatalogRecords.h"

#include "foundation/text/CodePages.h"
#include "platform/ByteOrder.h"

#include <cstring>

namespace {

// Translates the text of a length-prefixed string in place. The length byte is trusted only
// up to the capacity of its area, so a damaged length never reaches the fields behind it.
void ConvertPText(unsigned char* p, int maxLength, bool toFile) {
    int length = p[0];
    if (length > maxLength) length = maxLength;
    if (toFile)
        AnsiToMacRoman(p + 1, length);
    else
        MacRomanToAnsi(p + 1, length);
}

// A zero-terminated text of at most capacity bytes; the walk never leaves the area.
void ConvertCText(char* p, long capacity, bool toFile) {
    long length = 0;
    while (length < capacity && p[length] != 0) ++length;
    if (toFile)
        AnsiToMacRoman(p, length);
    else
        MacRomanToAnsi(p, length);
}

void SwapItemRecNumbers(ItemRec* r) {
    SwapBigEndianInPlace(r->value320);
    SwapBigEndianInPlace(r->kind);
    SwapBigEndianInPlace(r->viewSettings0);
    SwapBigEndianInPlace(r->viewSettings1);
    UInt32* u32s[] = {&r->fileSize, &r->width,  &r->height, &r->resolution,
                      &r->sampleColor, &r->depth, &r->value376};
    for (UInt32* v : u32s) SwapBigEndianInPlace(*v);
    SwapBigEndianInPlace(r->aliasSize);
    SwapBigEndianInPlace(r->aliasStoredSize);
    SwapBigEndianInPlace(r->value828);
    SwapBigEndianInPlace(r->orientation);
    UInt32* dates[] = {&r->dateAdded, &r->created,      &r->modified,  &r->pages,
                       &r->poster,    &r->tracks,       &r->duration,  &r->audioChannels,
                       &r->audioRate, &r->audioBitSize, &r->annotatedDate, &r->dataRate,
                       &r->frameRate, &r->spatialQuality};
    for (UInt32* v : dates) SwapBigEndianInPlace(*v);
    SwapBigEndianInPlace(r->colorSpace);
    SwapBigEndianInPlace(r->compression);
    SwapBigEndianInPlace(r->characters);
    SwapBigEndianInPlace(r->paragraphs);
    UInt32* sizes[] = {&r->reserve, &r->recordingSize, &r->metadataSize, &r->thumbnailSize,
                       &r->annotationsSize, &r->urlSize};
    for (UInt32* v : sizes) SwapBigEndianInPlace(*v);
}

void ConvertItemRec(ItemRec* r, bool toFile) {
    ConvertPText(r->fileName, 255, toFile);
    ConvertPText(r->storedName, kStoredNameMax, toFile);
    SwapItemRecNumbers(r);
}

void ConvertEntries(ItemEntry* entries, long count, bool toFile) {
    for (long i = 0; i < count; ++i) {
        ItemEntry& e = entries[i];
        SwapBigEndianInPlace(e.position);
        SwapBigEndianInPlace(e.id);
        // Bytes 9 and 10 of the entry: the flags' second and third bytes in memory order.
        auto* bytes = reinterpret_cast<unsigned char*>(&e);
        if (toFile) {
            AnsiToMacRoman(bytes + 9, 2);
        } else {
            MacRomanToAnsi(bytes + 9, 2);
        }
    }
}

void SwapTotals(CatalogTotals* t) {
    SwapBigEndianInPlace(t->itemCount);
    SwapBigEndianInPlace(t->labelledCount);
    SwapBigEndianInPlace(t->hiddenCount);
    SwapBigEndianInPlace(t->dataSize);
    SwapBigEndianInPlace(t->mediaSize32);
}

void ConvertCustomNames(void* bytes, long byteCount, bool toFile) {
    auto* p = static_cast<unsigned char*>(bytes);
    for (long at = 0; at + kCustomFieldNameSize <= byteCount; at += kCustomFieldNameSize)
        ConvertPText(p + at, 255, toFile);
}

void SwapRankRows(void* bytes, long byteCount) {
    auto* p = static_cast<unsigned char*>(bytes);
    for (long at = 0; at + long(sizeof(RankRow)) <= byteCount; at += sizeof(RankRow)) {
        // The fourth u32 stays as it is.
        for (int k = 0; k < 3; ++k) {
            UInt32 v;
            std::memcpy(&v, p + at + 4 * k, 4);
            SwapBigEndianInPlace(v);
            std::memcpy(p + at + 4 * k, &v, 4);
        }
    }
}

void ConvertImportSettings(ImportSettingsRec* s, bool toFile) {
    ConvertPText(s->namePattern, 63, toFile);
    SwapBigEndianInPlace(s->createdDate);
    SwapBigEndianInPlace(s->modifiedDate);
    SwapBigEndianInPlace(s->sizeKB);
    SwapBigEndianInPlace(s->folderLevel);
    SwapBigEndianInPlace(s->fileType);
}

void ConvertFonts(CatalogFontPrefs* f, bool toFile) {
    for (CatalogFontEntry& e : f->entries) {
        SwapBigEndianInPlace(e.size);
        SwapBigEndianInPlace(e.style);
        ConvertCText(e.name, sizeof(e.name), toFile);
    }
}

void ConvertViewPrefs(CatalogViewPrefs* p, bool toFile) {
    SwapBigEndianInPlace(p->value0);
    SwapBigEndianInPlace(p->prefWord);
    SwapBigEndianInPlace(p->value16);
    SwapBigEndianInPlace(p->word28);
    SwapBigEndianInPlace(p->word30);
    SwapBigEndianInPlace(p->windowTop);
    SwapBigEndianInPlace(p->windowLeft);
    SwapBigEndianInPlace(p->windowBottom);
    SwapBigEndianInPlace(p->windowRight);
    for (ViewFieldList& list : p->slotFields) {
        for (ViewFieldEntry& f : list.fields) {
            SwapBigEndianInPlace(f.fieldId);
            SwapBigEndianInPlace(f.value);
        }
    }
    for (ViewModeSettings& s : p->slots) SwapBigEndianInPlace(s.percent);
    for (ViewColors& c : p->slotColors) {
        for (RGBColor& color : c.colors) {
            SwapBigEndianInPlace(color.red);
            SwapBigEndianInPlace(color.green);
            SwapBigEndianInPlace(color.blue);
        }
    }
    ConvertPText(p->text704, 63, toFile);
    ConvertPText(p->infoText, 255, toFile);
}

}  // namespace

void ItemRecToFileOrder(ItemRec* record) { ConvertItemRec(record, true); }
void ItemRecToNativeOrder(ItemRec* record) { ConvertItemRec(record, false); }

UInt64 ItemRecVarSize(const ItemRec* r) {
    return UInt64(r->recordingSize) + r->metadataSize + r->thumbnailSize + r->annotationsSize +
           r->urlSize;
}

void ItemEntriesToFileOrder(ItemEntry* entries, long count) { ConvertEntries(entries, count, true); }
void ItemEntriesToNativeOrder(ItemEntry* entries, long count) { ConvertEntries(entries, count, false); }

void ItemEntrySetNameChars(ItemEntry* entry, ConstStr255Param storedName) {
    UInt32 c1 = storedName[0] >= 1 ? storedName[1] : 0;
    UInt32 c2 = storedName[0] >= 2 ? storedName[2] : 0;
    entry->flags = (entry->flags & ~(kEntryNameChar1Mask | kEntryNameChar2Mask)) | (c1 << 8) |
                   (c2 << 16);
}

void CatalogTotalsToFileOrder(CatalogTotals* totals) { SwapTotals(totals); }
void CatalogTotalsToNativeOrder(CatalogTotals* totals) { SwapTotals(totals); }

void CustomFieldNamesToFileOrder(void* bytes, long byteCount) { ConvertCustomNames(bytes, byteCount, true); }
void CustomFieldNamesToNativeOrder(void* bytes, long byteCount) { ConvertCustomNames(bytes, byteCount, false); }

void RankRowsToFileOrder(void* bytes, long byteCount) { SwapRankRows(bytes, byteCount); }
void RankRowsToNativeOrder(void* bytes, long byteCount) { SwapRankRows(bytes, byteCount); }

void ImportSettingsToFileOrder(ImportSettingsRec* s) { ConvertImportSettings(s, true); }
void ImportSettingsToNativeOrder(ImportSettingsRec* s) { ConvertImportSettings(s, false); }

void CatalogFontPrefsToFileOrder(CatalogFontPrefs* fonts) { ConvertFonts(fonts, true); }
void CatalogFontPrefsToNativeOrder(CatalogFontPrefs* fonts) { ConvertFonts(fonts, false); }

void CatalogViewPrefsToFileOrder(CatalogViewPrefs* prefs) { ConvertViewPrefs(prefs, true); }
void CatalogViewPrefsToNativeOrder(CatalogViewPrefs* prefs) { ConvertViewPrefs(prefs, false); }
