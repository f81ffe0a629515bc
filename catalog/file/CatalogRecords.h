// The fixed records of a catalog file: the item record, the item entry, and the records kept as
// chunks ('TOTL', 'USFL', 'RANK', 'IMPF', 'FONT', 'PREF').
//
// In memory a record holds numbers in the machine's order and text in Windows-1252; in the file
// numbers are big-endian and text is Mac Roman. Each record has one pair of in-place
// conversions that touch exactly the same fields; every other byte is copied as it is, so a
// record converted to file order and back is byte-identical. A writer converts, writes and
// converts back; a reader reads and converts.
#pragma once

#include "platform/MacTypes.h"

#include <cstddef>
#include <cstdint>

// ---- item record ---------------------------------------------------------------------------

// The 1024-byte record of one item. Field meanings belong to the field table; the offsets are
// the file's.
struct ItemRec {
    Str255 fileName;                 // 0: the item's file name or full path
    unsigned char storedName[64];    // 256: length-prefixed, at most 63 characters
    UInt32 value320;                 // 320
    unsigned char bytes324[8];       // 324: copied as they are
    OSType kind;                     // 332: media kind
    UInt32 viewSettings0;            // 336: per-item view settings (16 bytes)
    UInt32 viewSettings1;            // 340
    unsigned char viewSettingsBytes[8];  // 344: copied as they are
    UInt32 fileSize;                 // 352
    UInt32 width;                    // 356
    UInt32 height;                   // 360
    UInt32 resolution;               // 364
    UInt32 sampleColor;              // 368
    UInt32 depth;                    // 372
    UInt32 value376;                 // 376
    UInt16 aliasSize;                // 380
    UInt16 aliasStoredSize;          // 382
    unsigned char alias[444];        // 384: alias record bytes, copied as they are
    UInt16 value828;                 // 828
    UInt16 orientation;              // 830
    UInt32 dateAdded;                // 832
    UInt32 created;                  // 836
    UInt32 modified;                 // 840
    UInt32 pages;                    // 844
    UInt32 poster;                   // 848
    UInt32 tracks;                   // 852
    UInt32 duration;                 // 856
    UInt32 audioChannels;            // 860
    UInt32 audioRate;                // 864
    UInt32 audioBitSize;             // 868
    UInt32 annotatedDate;            // 872
    UInt32 dataRate;                 // 876
    UInt32 frameRate;                // 880
    UInt32 spatialQuality;           // 884
    unsigned char bytes888[32];      // 888: copied as they are
    UInt32 colorSpace;               // 920
    UInt32 compression;              // 924
    unsigned char encoding[32];      // 928: 32-byte text, copied as it is
    unsigned char colorProfile[32];  // 960: 32-byte text, copied as it is
    UInt32 characters;               // 992
    UInt32 paragraphs;               // 996
    UInt32 reserve;                  // 1000: unused bytes after the variable blocks
    UInt32 recordingSize;            // 1004: block 5
    UInt32 metadataSize;             // 1008: block 4
    UInt32 thumbnailSize;            // 1012: block 1
    UInt32 annotationsSize;          // 1016: block 2
    UInt32 urlSize;                  // 1020: block 3
};
static_assert(sizeof(ItemRec) == 1024);
static_assert(offsetof(ItemRec, storedName) == 256 && offsetof(ItemRec, value320) == 320);
static_assert(offsetof(ItemRec, kind) == 332 && offsetof(ItemRec, viewSettings0) == 336);
static_assert(offsetof(ItemRec, viewSettingsBytes) == 344 && offsetof(ItemRec, fileSize) == 352);
static_assert(offsetof(ItemRec, value376) == 376 && offsetof(ItemRec, aliasSize) == 380);
static_assert(offsetof(ItemRec, alias) == 384 && offsetof(ItemRec, value828) == 828);
static_assert(offsetof(ItemRec, orientation) == 830 && offsetof(ItemRec, dateAdded) == 832);
static_assert(offsetof(ItemRec, spatialQuality) == 884 && offsetof(ItemRec, bytes888) == 888);
static_assert(offsetof(ItemRec, colorSpace) == 920 && offsetof(ItemRec, encoding) == 928);
static_assert(offsetof(ItemRec, colorProfile) == 960 && offsetof(ItemRec, characters) == 992);
static_assert(offsetof(ItemRec, reserve) == 1000 && offsetof(ItemRec, recordingSize) == 1004);
static_assert(offsetof(ItemRec, urlSize) == 1020);

inline constexpr std::size_t kItemRecSize = sizeof(ItemRec);
inline constexpr int kStoredNameMax = 63;

void ItemRecToFileOrder(ItemRec* record);
void ItemRecToNativeOrder(ItemRec* record);

// Sum of the five variable-block sizes (the reserve is not counted).
UInt64 ItemRecVarSize(const ItemRec* record);

// ---- item entry ----------------------------------------------------------------------------

// One item of a catalog, in item order (chunk 'CELL').
struct ItemEntry {
    SInt32 position;   // of the item's record in the catalog file, or the work file (bit 27)
    UInt32 id;         // unique within the catalog, never 0
    UInt32 flags;
};
static_assert(sizeof(ItemEntry) == 12 && offsetof(ItemEntry, id) == 4 &&
              offsetof(ItemEntry, flags) == 8);

enum : UInt32 {
    kEntryLabelMask = 0x0000000Fu,       // bits 0-3: label 0..9, 0 none
    kEntryRatingMask = 0x000000F0u,      // bits 4-7: rating
    kEntryNameChar1Mask = 0x0000FF00u,   // bits 8-15: first character of the stored name
    kEntryNameChar2Mask = 0x00FF0000u,   // bits 16-23: second character
    kEntryAddedFlag = 1u << 24,          // added by the latest import
    kEntryPendingFlag = 1u << 25,        // pending refresh
    kEntryHiddenFlag = 1u << 26,
    kEntryInWorkFileFlag = 1u << 27,     // the record lies in the work file
    kEntryUnusedMask = 0xF0000000u,      // always 0
};

// The flags stay in the machine's order (low byte first) in the file; only the two name
// characters are translated. Positions and ids are big-endian.
void ItemEntriesToFileOrder(ItemEntry* entries, long count);
void ItemEntriesToNativeOrder(ItemEntry* entries, long count);

// Puts the first two characters of a stored name into an entry's flags.
void ItemEntrySetNameChars(ItemEntry* entry, ConstStr255Param storedName);

// ---- 'TOTL' --------------------------------------------------------------------------------

struct CatalogTotals {
    UInt32 itemCount;
    UInt32 labelledCount;
    UInt32 hiddenCount;
    UInt32 dataSize;
    UInt32 mediaSize32;
};
static_assert(sizeof(CatalogTotals) == 20);

void CatalogTotalsToFileOrder(CatalogTotals* totals);
void CatalogTotalsToNativeOrder(CatalogTotals* totals);

// ---- 'USFL' --------------------------------------------------------------------------------

inline constexpr long kCustomFieldNameSize = 256;

// bytes holds whole 256-byte names; a trailing part shorter than a name is left alone.
void CustomFieldNamesToFileOrder(void* bytes, long byteCount);
void CustomFieldNamesToNativeOrder(void* bytes, long byteCount);

// ---- 'RANK' --------------------------------------------------------------------------------

struct RankRow {
    UInt32 itemId;
    UInt32 value1;
    UInt32 value2;
    UInt32 value3;   // kept in the machine's order in the file too
};
static_assert(sizeof(RankRow) == 16);

void RankRowsToFileOrder(void* bytes, long byteCount);
void RankRowsToNativeOrder(void* bytes, long byteCount);

// ---- 'IMPF' --------------------------------------------------------------------------------

// A catalog's import options. The catalog only stores and converts them; their meaning belongs
// to the import code.
struct ImportSettingsRec {
    UInt32 spare0;                 // 0
    unsigned char categoryMask[4]; // 4: bit string, category n = byte n/8, bit 0x80 >> n%8
    UInt16 spare8;                 // 8
    UInt8 ignoreShortcuts;         // 10
    UInt8 ignoreInvisible;         // 11
    UInt8 folderExclusion;         // 12
    UInt8 spare13[2];              // 13
    UInt8 spare15;                 // 15
    unsigned char ruleSwitches[4]; // 16: bit string, rule r on
    UInt8 ruleOperators[6];        // 20: 1-based operator of rules 0..5
    UInt8 spare26[2];              // 26
    unsigned char namePattern[64]; // 28: Str63
    UInt32 createdDate;            // 92
    UInt32 modifiedDate;           // 96
    UInt32 sizeKB;                 // 100
    UInt32 folderLevel;            // 104
    OSType fileType;               // 108
    UInt32 spare112;               // 112
};
static_assert(sizeof(ImportSettingsRec) == 116);
static_assert(offsetof(ImportSettingsRec, ignoreShortcuts) == 10 &&
              offsetof(ImportSettingsRec, ruleSwitches) == 16 &&
              offsetof(ImportSettingsRec, ruleOperators) == 20 &&
              offsetof(ImportSettingsRec, namePattern) == 28 &&
              offsetof(ImportSettingsRec, createdDate) == 92 &&
              offsetof(ImportSettingsRec, fileType) == 108 &&
              offsetof(ImportSettingsRec, spare112) == 112);

void ImportSettingsToFileOrder(ImportSettingsRec* settings);
void ImportSettingsToNativeOrder(ImportSettingsRec* settings);
// The settings a new program starts with.
void ImportSettingsSetDefault(ImportSettingsRec* settings);

// ---- 'FONT' --------------------------------------------------------------------------------

// One font setting per view slot.
struct CatalogFontEntry {
    UInt16 size;
    UInt16 style;            // QuickDraw style bits
    char name[512];          // zero-terminated; a full 512 bytes without a zero is read bounded
};
static_assert(sizeof(CatalogFontEntry) == 516);

struct CatalogFontPrefs {
    CatalogFontEntry entries[4];
};
static_assert(sizeof(CatalogFontPrefs) == 2064);

void CatalogFontPrefsToFileOrder(CatalogFontPrefs* fonts);
void CatalogFontPrefsToNativeOrder(CatalogFontPrefs* fonts);
void CatalogFontPrefsSetDefault(CatalogFontPrefs* fonts);

// ---- 'PREF' --------------------------------------------------------------------------------

// One column of a view slot's field list.
struct ViewFieldEntry {
    UInt32 fieldId;          // 0 ends the list
    UInt16 value;            // width (slot 0) or a small number (slots 1..3)
    UInt8 byte6;
    UInt8 textStyle;
};
static_assert(sizeof(ViewFieldEntry) == 8);

struct ViewFieldList {
    ViewFieldEntry fields[10];
};
static_assert(sizeof(ViewFieldList) == 80);

// The per-slot settings record (16 bytes).
struct ViewModeSettings {
    UInt8 bytes0[4];         // byte 2: 9 by default
    UInt16 percent;          // 4: Media percent
    UInt8 aspect;            // 6
    UInt8 sizeStep;          // 7: thumbnail side = 32 x step
    UInt8 alignedCaptions;   // 8
    UInt8 byte9;
    UInt8 labelsShown;       // 10
    UInt8 frameStyle;        // 11
    UInt8 byte12;
    UInt8 iconsOnly;         // 13
    UInt8 labelFrame;        // 14
    UInt8 scaleFigure;       // 15
};
static_assert(sizeof(ViewModeSettings) == 16 && offsetof(ViewModeSettings, percent) == 4 &&
              offsetof(ViewModeSettings, sizeStep) == 7);

struct ViewColors {
    RGBColor colors[4];      // background, text, label column, grid line
};
static_assert(sizeof(ViewColors) == 24);

// The catalog's view settings (1024 bytes).
struct CatalogViewPrefs {
    UInt32 value0;                  // 0: -1 at every open
    UInt32 sortField;               // 4: kept in the machine's order in the file
    UInt8 sidePanelKind;            // 8
    UInt8 viewMode;                 // 9: 0 List, 1 Thumbnail, 2 Media
    UInt8 watchMode;                // 10
    UInt8 bytes11[3];               // 11
    UInt16 prefWord;                // 14
    UInt32 value16;                 // 16
    UInt8 bytes20[4];               // 20
    UInt8 byte24;                   // 24
    UInt8 byte25;                   // 25
    UInt8 prefByte;                 // 26
    UInt8 byte27;                   // 27
    UInt16 word28;                  // 28
    UInt16 word30;                  // 30
    UInt8 byte32;                   // 32
    UInt8 keptThumbnailStep;        // 33
    UInt8 bytes34[2];               // 34
    UInt16 windowTop;               // 36
    UInt16 windowLeft;              // 38
    UInt16 windowBottom;            // 40
    UInt16 windowRight;             // 42
    UInt8 bytes44[40];              // 44
    ViewFieldList slotFields[4];    // 84
    ViewModeSettings slots[4];      // 404
    ViewColors slotColors[4];       // 468
    UInt8 bytes564[140];            // 564
    unsigned char text704[64];      // 704: length-prefixed
    Str255 infoText;                // 768
};
static_assert(sizeof(CatalogViewPrefs) == 1024);
static_assert(offsetof(CatalogViewPrefs, prefWord) == 14 && offsetof(CatalogViewPrefs, byte24) == 24 &&
              offsetof(CatalogViewPrefs, prefByte) == 26 && offsetof(CatalogViewPrefs, word28) == 28 &&
              offsetof(CatalogViewPrefs, keptThumbnailStep) == 33 &&
              offsetof(CatalogViewPrefs, windowTop) == 36 &&
              offsetof(CatalogViewPrefs, windowRight) == 42 &&
              offsetof(CatalogViewPrefs, slotFields) == 84 && offsetof(CatalogViewPrefs, slots) == 404 &&
              offsetof(CatalogViewPrefs, slotColors) == 468 &&
              offsetof(CatalogViewPrefs, text704) == 704 && offsetof(CatalogViewPrefs, infoText) == 768);

// The first bytes that a close writes back into the file in place.
inline constexpr long kViewPrefsInPlaceBytes = 44;

void CatalogViewPrefsToFileOrder(CatalogViewPrefs* prefs);
void CatalogViewPrefsToNativeOrder(CatalogViewPrefs* prefs);
void CatalogViewPrefsSetDefault(CatalogViewPrefs* prefs);

// Repairs after reading; the branches that depend on the edition follow the engine's edition
// code (CatalogEngineInit).
void CatalogCheckPrefs(CatalogViewPrefs* prefs);
void CatalogCheckViewPrefs(CatalogViewPrefs* prefs);
void CatalogCheckFontPrefs(CatalogFontPrefs* fonts);
