// The field definition table: for every field id, where its value lives, its type, how it is
// shown, what it is called and which lists offer it. Two tables exist, one for data-format
// levels below 300 (110 rows) and one for 300 and above (128 rows); FieldTableInit selects
// one from the engine's format level. Row order matters: it is the order of the column,
// find and Info lists and of the EXIF rows.
#pragma once

#include "catalog/fields/FieldIds.h"
#include "platform/MacTypes.h"

#include <cstdint>

struct CatalogRec;

// Value types; the field getter returns one of these (0: no value).
enum : std::uint8_t {
    kFieldTypeNone = 0,
    kFieldTypeU8 = 1,
    kFieldTypeI16 = 2,
    kFieldTypeU32 = 3,
    kFieldTypePair = 4,
    kFieldTypeText = 5,
    kFieldTypeChapter = 6,
    kFieldTypeTrack = 7,
};

// Where the value lives.
enum : std::uint8_t {
    kFieldStorageComputed = 0,
    kFieldStorageItemRec = 1,
    kFieldStorageMetadata = 2,
    kFieldStorageAnnotation = 3,
    kFieldStorageSets = 4,
};

// textKind
enum : std::uint8_t {
    kFieldTextSingle = 0,
    kFieldTextList = 1,
    kFieldTextLong = 2,
};

// Field groups (entries of string list 516).
enum : std::uint8_t {
    kFieldGroupMedia = 2,
    kFieldGroupAnnotations = 4,
    kFieldGroupExif = 9,
};

// What the find dialog offers.
enum : std::uint8_t {
    kFindKindNone = 0,
    kFindKindText = 1,
    kFindKindNumber = 2,
    kFindKindDate = 3,
    kFindKindTypeCode = 4,
};

// Special name indexes.
enum : std::uint8_t {
    kFieldNameComposite = 254,
    kFieldNameCustom = 255,
};

// String lists the field table and the formatter draw on.
enum : short {
    kStrListLabels = 133,
    kStrListLevel300Names = 501,
    kStrListFieldNames = 510,
    kStrListUnits = 511,
    kStrListByteUnits = 513,
    kStrListFieldGroups = 516,
    kStrListCodesBase = 520,
    kStrListMediaCategories = 521,
    kStrListOrientation = 530,
};

// Units of string list 511.
enum : std::uint8_t {
    kUnitSec = 1,
    kUnitBitsPerPixel = 2,
    kUnitMm = 3,
    kUnitMetres = 4,
    kUnitBits = 5,
    kUnitHz = 6,
    kUnitPixelsPerInch = 7,
    kUnitPixelsPerCm = 8,
    kUnitPixels = 9,
    kUnitInches = 10,
    kUnitCm = 11,
    kUnitPoints = 12,
    kUnitPicas = 13,
    kUnitBytes = 14,
    kUnitFps = 15,
    kUnitPerSec = 16,
};

struct FieldDef {
    std::uint32_t id;
    std::int16_t recOffset;      // offset of the value in the item record (storage 1)
    std::int16_t recLength;      // its length there
    std::uint8_t valueType;
    std::uint8_t userDataText;   // 1: read from the metadata block as a user-data text item
    std::uint8_t textKind;
    std::uint8_t storage;
    std::uint8_t displayFormat;  // 0..32
    std::uint8_t reserved[2];    // always 0
    std::uint8_t widthUnits;     // default column width in units of 30 pixels (0 means 3)
    std::uint8_t nameIndex;      // <100 list 510, >=100 list 501 (index-100), 254 composite, 255 custom
    std::uint8_t unitIndex;      // entry of string list 511, 0 none
    std::uint8_t codeList;       // n: coded values are names from string list 520 + n
    std::uint8_t showZero;
    std::uint8_t group;
    std::uint8_t findKind;
    std::uint8_t pickList;
    std::uint8_t tier;           // 0 never, 1 every edition, 2 editions 200 and 500 only
};

// The two tables, each ended by a row of zeros.
inline constexpr int kFieldTableRowsLevel200 = 110;
inline constexpr int kFieldTableRowsLevel300 = 128;
const FieldDef* FieldTableLevel200();
const FieldDef* FieldTableLevel300();

// --- the field engine's table selection and lookups ---

// Selects the table by the engine's format level and forgets what the record and
// variable-block caches held (without freeing the cached blocks).
void FieldTableInit();
// Frees the cached annotation and metadata blocks, then FieldTableInit. Called after every
// record write and at engine shutdown.
void FieldEngineReset();

// The selected table and its row count.
const FieldDef* FieldTableRows();
int FieldTableRowCount();
// The first row with that id in the selected table, or null.
const FieldDef* FieldFindDef(FieldId id);

bool FieldGetName(const CatalogRec* catalog, FieldId id, Str255 name);
void FieldGetUnitName(FieldId id, Str255 unit);
std::int32_t FieldGetColumnWidth(FieldId id);
bool FieldIsList(FieldId id);
bool FieldIsLongText(FieldId id);
std::uint8_t FieldGetGroup(FieldId id);
std::uint8_t FieldGetFindKind(FieldId id);
std::uint8_t FieldGetPickList(FieldId id);
bool FieldInTier(FieldId id);
// Id of row n (from 1) of the selected table; 0 for n < 1 or past the end.
FieldId FieldIdAt(int n);
// The n-th (from 0) field of a pop-up field list; see the .cpp for the modes.
FieldId FieldListForEdition(int n, std::uint8_t group, int mode, int customCount,
                            std::uint8_t* groupOut);
std::int16_t FieldMaxLength(FieldId id);
bool MediaCategoryName(int category, Str255 name);
