// The two field definition tables. Neither is ever stored, so their in-memory layout is
// free; their row order is not (it is the order of every field list the program offers).
#include "catalog/fields/FieldDef.h"

#include <array>

namespace {

// Columns: id, recOffset, recLength, valueType, userDataText, textKind, storage, displayFormat,
// reserved, widthUnits, nameIndex, unitIndex, codeList, showZero, group, findKind, pickList, tier.
// Custom fields 1..16 (769..784) follow these rows.
constexpr FieldDef kLevel200Rows[] = {
    {2, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageComputed, 1, {0, 0}, 4, 3, 0, 0, 1, 2, 1, 0, 1},  // File Name
    {1, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageComputed, 1, {0, 0}, 4, 4, 0, 0, 1, 2, 1, 0, 1},  // Path
    {'VNam', 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageComputed, 1, {0, 0}, 4, 5, 0, 0, 1, 2, 1, 0, 1},  // Volume Name
    {68, 0, 0, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageComputed, 10, {0, 0}, 3, 0, 0, 0, 1, 2, 0, 0, 0},  // (no name)
    {522, 0, 0, kFieldTypeU8, 0, kFieldTextSingle, kFieldStorageComputed, 9, {0, 0}, 2, 6, 0, 0, 1, 2, 2, 0, 1},  // Labels
    {66, 332, 4, kFieldTypeU8, 0, kFieldTextSingle, kFieldStorageItemRec, 2, {0, 0}, 3, 7, 0, 1, 1, 2, 0, 0, 1},  // Media Type
    {5, 352, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 3, {0, 0}, 2, 8, 14, 0, 0, 2, 2, 0, 1},  // File Size
    {3, 332, 4, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageItemRec, 1, {0, 0}, 3, 9, 0, 0, 1, 2, 0, 0, 1},  // File Type
    {4, 332, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 5, {0, 0}, 2, 9, 0, 0, 1, 2, 4, 0, 0},  // File Type
    {23, 928, 32, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageItemRec, 1, {0, 0}, 3, 26, 0, 0, 1, 2, 1, 0, 2},  // Encoding
    {162, 0, 0, kFieldTypeText, 0, kFieldTextList, kFieldStorageSets, 1, {0, 0}, 3, 10, 0, 0, 1, 2, 1, 0, 2},  // Catalog Sets
    {161, 0, 0, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageComputed, 6, {0, 0}, 3, 11, 0, 0, 0, 2, 0, 0, 0},  // Date Finder
    {67, 0, 0, kFieldTypeText, 1, kFieldTextSingle, kFieldStorageMetadata, 1, {0, 0}, 3, 12, 0, 0, 0, 2, 0, 0, 0},  // Import Device
    {69, 830, 2, kFieldTypeI16, 0, kFieldTextSingle, kFieldStorageItemRec, 8, {0, 0}, 3, 13, 0, 0, 1, 2, 2, 0, 2},  // Orientation
    {65, 356, 16, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 11, {0, 0}, 3, 14, 0, 0, 1, 2, 0, 0, 2},  // Dimensions
    {6, 356, 16, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 12, {0, 0}, 2, 15, 9, 0, 0, 2, 2, 0, 1},  // Width
    {7, 360, 8, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 13, {0, 0}, 2, 16, 9, 0, 0, 2, 2, 0, 1},  // Height
    {8, 364, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 14, {0, 0}, 2, 17, 7, 0, 0, 2, 2, 0, 1},  // Resolution
    {9, 372, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 10, {0, 0}, 2, 18, 5, 0, 0, 2, 2, 0, 1},  // Depth
    {13, 844, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 10, {0, 0}, 2, 19, 0, 0, 0, 2, 2, 0, 1},  // Pages
    {27, 368, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 10, {0, 0}, 2, 20, 0, 0, 0, 2, 0, 0, 2},  // Sample Color
    {14, 848, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 10, {0, 0}, 2, 21, 0, 0, 0, 2, 0, 0, 0},  // Poster
    {15, 852, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 10, {0, 0}, 2, 22, 0, 0, 0, 2, 2, 0, 1},  // Tracks
    {16, 856, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 15, {0, 0}, 3, 23, 0, 0, 0, 2, 2, 0, 1},  // Duration
    {17, 860, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 16, {0, 0}, 2, 24, 0, 5, 0, 2, 2, 0, 1},  // Audio Channels
    {18, 864, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 10, {0, 0}, 2, 25, 6, 0, 0, 2, 2, 0, 1},  // Audio Rate
    {19, 868, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 10, {0, 0}, 2, 27, 5, 0, 0, 2, 2, 0, 1},  // Audio Bit Size
    {34, 876, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 4, {0, 0}, 3, 90, 16, 0, 0, 2, 2, 0, 2},  // Data Rate
    {35, 880, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 17, {0, 0}, 3, 89, 15, 0, 0, 2, 2, 0, 2},  // Frame Rate
    {20, 884, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 18, {0, 0}, 3, 28, 0, 6, 0, 2, 2, 0, 2},  // Spatial Quality
    {21, 920, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 5, {0, 0}, 2, 29, 0, 0, 0, 2, 0, 0, 2},  // Color Space
    {24, 960, 32, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageItemRec, 1, {0, 0}, 3, 31, 0, 0, 1, 2, 0, 0, 1},  // Color Profile
    {25, 992, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 10, {0, 0}, 2, 32, 0, 0, 1, 2, 2, 0, 2},  // Characters
    {26, 996, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 10, {0, 0}, 2, 33, 0, 0, 1, 2, 2, 0, 2},  // Paragraphs
    {22, 924, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 19, {0, 0}, 3, 34, 0, 0, 1, 2, 0, 0, 2},  // Compression
    {11, 836, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 6, {0, 0}, 3, 35, 0, 0, 1, 2, 3, 0, 1},  // Created
    {12, 840, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 6, {0, 0}, 3, 36, 0, 0, 1, 2, 3, 0, 1},  // Modified
    {10, 832, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 6, {0, 0}, 3, 37, 0, 0, 1, 2, 0, 0, 1},  // Archived
    {33, 872, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 6, {0, 0}, 3, 38, 0, 0, 1, 2, 3, 0, 2},  // Annotated
    {30, 1012, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 10, {0, 0}, 2, 39, 14, 0, 1, 2, 2, 0, 2},  // Thumbnail Size
    {31, 1016, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 10, {0, 0}, 2, 40, 14, 0, 1, 2, 2, 0, 2},  // Annotations Size
    {28, 1004, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 10, {0, 0}, 2, 41, 14, 0, 1, 2, 2, 0, 2},  // Recording Size
    {29, 1008, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 10, {0, 0}, 2, 42, 14, 0, 1, 2, 0, 0, 0},  // Metadata Size
    {32, 1020, 4, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageItemRec, 10, {0, 0}, 2, 43, 14, 0, 1, 2, 0, 0, 0},  // URL Size
    {'TRCK', 0, 0, kFieldTypeTrack, 0, kFieldTextList, kFieldStorageMetadata, 0, {0, 0}, 3, 0, 0, 0, 0, 2, 0, 0, 0},  // (no name)
    {'CHAP', 0, 0, kFieldTypeChapter, 0, kFieldTextList, kFieldStorageMetadata, 32, {0, 0}, 3, 0, 0, 0, 0, 2, 0, 0, 0},  // (no name)
    {kFieldMaker, 0, 0, kFieldTypeText, 1, kFieldTextSingle, kFieldStorageMetadata, 1, {0, 0}, 3, 44, 0, 0, 1, 2, 1, 0, 2},  // Maker
    {kFieldModel, 0, 0, kFieldTypeText, 1, kFieldTextSingle, kFieldStorageMetadata, 1, {0, 0}, 3, 45, 0, 0, 1, 2, 1, 0, 2},  // Model
    {kFieldSoftware, 0, 0, kFieldTypeText, 1, kFieldTextSingle, kFieldStorageMetadata, 1, {0, 0}, 3, 46, 0, 0, 1, 2, 1, 0, 2},  // Software
    {kFieldFormat, 0, 0, kFieldTypeText, 1, kFieldTextSingle, kFieldStorageMetadata, 1, {0, 0}, 3, 47, 0, 0, 1, 2, 1, 0, 2},  // Format
    {180, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageComputed, 1, {0, 0}, 4, kFieldNameComposite, 0, 0, 1, 2, 1, 0, 2},  // composite
    {ExifFieldId(0x9000), 0, 0, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageMetadata, 20, {0, 0}, 2, 48, 0, 0, 0, 9, 0, 0, 1},  // EXIF Vers.
    {ExifFieldId(0xA000), 0, 0, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageMetadata, 20, {0, 0}, 2, 49, 0, 0, 0, 9, 0, 0, 0},  // FlashPix Vers.
    {ExifFieldId(0x9003), 0, 0, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageMetadata, 6, {0, 0}, 2, 50, 0, 0, 1, 9, 3, 0, 1},  // Capture Date
    {ExifFieldId(0x829D), 0, 0, kFieldTypePair, 0, kFieldTextSingle, kFieldStorageMetadata, 22, {0, 0}, 2, 51, 0, 0, 0, 9, 0, 0, 1},  // Aperture
    {ExifFieldId(0x829A), 0, 0, kFieldTypePair, 0, kFieldTextSingle, kFieldStorageMetadata, 21, {0, 0}, 2, 52, 1, 0, 0, 9, 0, 0, 1},  // Shutter Speed
    {ExifFieldId(0x9204), 0, 0, kFieldTypePair, 0, kFieldTextSingle, kFieldStorageMetadata, 23, {0, 0}, 2, 53, 0, 0, 1, 9, 0, 0, 1},  // Exposure Bias
    {ExifFieldId(0x8822), 0, 0, kFieldTypeI16, 0, kFieldTextSingle, kFieldStorageMetadata, 24, {0, 0}, 2, 54, 0, 4, 1, 9, 0, 0, 1},  // Exposure Prg.
    {ExifFieldId(0x920A), 0, 0, kFieldTypePair, 0, kFieldTextSingle, kFieldStorageMetadata, 25, {0, 0}, 2, 55, 3, 0, 0, 9, 0, 0, 1},  // Focal Length
    {ExifFieldId(0x9206), 0, 0, kFieldTypePair, 0, kFieldTextSingle, kFieldStorageMetadata, 26, {0, 0}, 2, 56, 4, 0, 0, 9, 0, 0, 1},  // Focus Distance
    {ExifFieldId(0xA217), 0, 0, kFieldTypeI16, 0, kFieldTextSingle, kFieldStorageMetadata, 24, {0, 0}, 2, 57, 0, 7, 1, 9, 0, 0, 1},  // Sensing
    {ExifFieldId(0x9208), 0, 0, kFieldTypeI16, 0, kFieldTextSingle, kFieldStorageMetadata, 24, {0, 0}, 2, 58, 0, 2, 1, 9, 0, 0, 1},  // Light Source
    {ExifFieldId(0x9209), 0, 0, kFieldTypeI16, 0, kFieldTextSingle, kFieldStorageMetadata, 31, {0, 0}, 2, 59, 0, 8, 1, 9, 0, 0, 1},  // Flash
    {ExifFieldId(0x9207), 0, 0, kFieldTypeI16, 0, kFieldTextSingle, kFieldStorageMetadata, 24, {0, 0}, 2, 60, 0, 3, 1, 9, 0, 0, 1},  // Metering
    {ExifFieldId(0x8827), 0, 0, kFieldTypeI16, 0, kFieldTextSingle, kFieldStorageMetadata, 28, {0, 0}, 2, 61, 0, 0, 1, 9, 0, 0, 1},  // ISO Speed
    {ExifFieldId(0x9102), 0, 0, kFieldTypePair, 0, kFieldTextSingle, kFieldStorageMetadata, 29, {0, 0}, 2, 62, 2, 0, 1, 9, 0, 0, 1},  // Ratio
    {ExifFieldId(0xB001), 0, 0, kFieldTypeI16, 0, kFieldTextSingle, kFieldStorageMetadata, 24, {0, 0}, 2, 63, 0, 8, 1, 9, 0, 0, 1},  // Noise Reduction
    {ExifFieldId(0xB002), 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageMetadata, 1, {0, 0}, 2, 64, 0, 0, 0, 9, 0, 0, 1},  // Lens
    {'LATD', 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageMetadata, 1, {0, 0}, 2, 65, 0, 0, 0, 9, 0, 0, 1},  // Latitude
    {'LOTD', 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageMetadata, 1, {0, 0}, 2, 66, 0, 0, 0, 9, 0, 0, 1},  // Longitude
    {'ALTD', 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageMetadata, 1, {0, 0}, 2, 67, 0, 0, 0, 9, 0, 0, 1},  // Altitude
    {617, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageAnnotation, 1, {0, 0}, 3, 68, 0, 0, 1, 4, 1, 0, 2},  // Title
    {517, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageAnnotation, 1, {0, 0}, 3, 69, 0, 0, 1, 4, 1, 0, 2},  // Product
    {527, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageAnnotation, 1, {0, 0}, 3, 70, 0, 0, 1, 4, 1, 1, 2},  // Genre
    {534, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageAnnotation, 1, {0, 0}, 3, 71, 0, 0, 1, 4, 1, 1, 2},  // Event
    {567, 0, 0, kFieldTypeU32, 0, kFieldTextSingle, kFieldStorageAnnotation, 30, {0, 0}, 3, 72, 0, 0, 0, 4, 3, 0, 2},  // Event Date
    {592, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageAnnotation, 1, {0, 0}, 3, 73, 0, 0, 1, 4, 1, 1, 2},  // Author
    {597, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageAnnotation, 1, {0, 0}, 3, 74, 0, 0, 1, 4, 1, 1, 2},  // Author Title
    {622, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageAnnotation, 1, {0, 0}, 3, 75, 0, 0, 1, 4, 1, 1, 2},  // Credit
    {627, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageAnnotation, 1, {0, 0}, 3, 76, 0, 0, 1, 4, 1, 1, 2},  // Source
    {628, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageAnnotation, 1, {0, 0}, 3, 77, 0, 0, 1, 4, 1, 1, 2},  // Copyright
    {615, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageAnnotation, 1, {0, 0}, 3, 78, 0, 0, 1, 4, 1, 1, 2},  // Transmission
    {739, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageAnnotation, 1, {0, 0}, 4, 79, 0, 0, 1, 4, 1, 0, 2},  // URL
    {604, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageAnnotation, 1, {0, 0}, 3, 80, 0, 0, 1, 4, 1, 1, 2},  // Location
    {602, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageAnnotation, 1, {0, 0}, 3, 81, 0, 0, 1, 4, 1, 1, 2},  // City
    {607, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageAnnotation, 1, {0, 0}, 3, 82, 0, 0, 1, 4, 1, 1, 2},  // State
    {613, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageAnnotation, 1, {0, 0}, 3, 83, 0, 0, 1, 4, 1, 1, 2},  // Country
    {552, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageAnnotation, 1, {0, 0}, 3, 84, 0, 0, 1, 4, 1, 1, 2},  // Instructions
    {519, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageAnnotation, 1, {0, 0}, 3, 85, 0, 0, 1, 4, 1, 1, 2},  // Status
    {634, 0, 0, kFieldTypeText, 0, kFieldTextSingle, kFieldStorageAnnotation, 1, {0, 0}, 3, 86, 0, 0, 1, 4, 1, 1, 2},  // Writer
    {630, 0, 0, kFieldTypeText, 0, kFieldTextList, kFieldStorageAnnotation, 1, {0, 0}, 3, 88, 0, 0, 1, 4, 1, 1, 2},  // People
    {537, 0, 0, kFieldTypeText, 0, kFieldTextList, kFieldStorageAnnotation, 1, {0, 0}, 3, 91, 0, 0, 1, 4, 1, 1, 2},  // Keywords
    {532, 0, 0, kFieldTypeText, 0, kFieldTextList, kFieldStorageAnnotation, 1, {0, 0}, 3, 92, 0, 0, 1, 4, 1, 1, 2},  // Categories
    {632, 0, 0, kFieldTypeText, 0, kFieldTextLong, kFieldStorageAnnotation, 1, {0, 0}, 4, 93, 0, 0, 1, 4, 1, 0, 2},  // Caption
};
constexpr int kLevel200FixedRows = int(sizeof(kLevel200Rows) / sizeof(kLevel200Rows[0]));
static_assert(kLevel200FixedRows + 16 == kFieldTableRowsLevel200);

constexpr FieldDef CustomFieldRow(int n) {
    return FieldDef{FieldId(kFieldCustomFirst + n), 0, 0, kFieldTypeText, 0, kFieldTextSingle,
                    kFieldStorageAnnotation, 1, {0, 0}, 3, kFieldNameCustom, 0, 0, 1,
                    kFieldGroupAnnotations, kFindKindText, 1, 2};
}

constexpr std::array<FieldDef, kFieldTableRowsLevel200 + 1> BuildLevel200() {
    std::array<FieldDef, kFieldTableRowsLevel200 + 1> t{};
    int n = 0;
    for (const FieldDef& row : kLevel200Rows) t[n++] = row;
    for (int i = 0; i < 16; ++i) t[n++] = CustomFieldRow(i);
    return t;  // the last row stays all zeros
}
constexpr auto kLevel200 = BuildLevel200();

// The level-300 table: its order, the rows only it has, and what differs in the shared rows.
constexpr FieldId kLevel300Order[] = {
    2, 1, kFieldVolumeName, 68, 522, 754, 66, 5, 3, 4, 23, 162, 161, 64, 67, 69, 65, 6, 7, 8, 9,
    13, 27, 14, 15, 16, 17, 18, 19, 34, 35, 20, 21, 24, 25, 26, 22, 11, 12, 10, 33, 30, 31, 28,
    29, 32, kFieldTracksList, kFieldChapters, kFieldMaker, kFieldModel, kFieldSoftware,
    kFieldFormat, 180, ExifFieldId(0x9000), ExifFieldId(0x9003), ExifFieldId(0x829D),
    ExifFieldId(0x829A), ExifFieldId(0x9204), ExifFieldId(0x8822), ExifFieldId(0x920A),
    ExifFieldId(0x9206), ExifFieldId(0xA217), ExifFieldId(0x9208), ExifFieldId(0x9209),
    ExifFieldId(0x9207), ExifFieldId(0x8827), ExifFieldId(0xB001), ExifFieldId(0xA408),
    ExifFieldId(0xA40A), ExifFieldId(0xA409), ExifFieldId(0xB003), ExifFieldId(0xB002),
    ExifFieldId(0xA404), kFieldLatitude, kFieldLongitude, kFieldAltitude, 617, 517, 527, 534, 567,
    592, 597, 627, 628, 604, 602, 607, 613, 622, 615, 552, 519, 634, 550, 738, 737, 736, 524, 720,
    721, 722, 723, 724, 725, 726, 727, 739, 532, 537, 630, 632,
    769, 770, 771, 772, 773, 774, 775, 776, 777, 778, 779, 780, 781, 782, 783, 784,
};
static_assert(sizeof(kLevel300Order) / sizeof(kLevel300Order[0]) == kFieldTableRowsLevel300);

constexpr FieldDef OnlyRow(FieldId id, std::uint8_t name, std::uint8_t storage, std::uint8_t type,
                           std::uint8_t textKind, std::uint8_t fmt, std::uint8_t width,
                           std::uint8_t codes, std::uint8_t zero, std::uint8_t group,
                           std::uint8_t find, std::uint8_t pick, std::uint8_t tier) {
    return FieldDef{id, 0, 0, type, 0, textKind, storage, fmt, {0, 0}, width, name, 0, codes, zero,
                    group, find, pick, tier};
}
constexpr FieldDef AnnotationOnlyRow(FieldId id, std::uint8_t name, std::uint8_t textKind) {
    return OnlyRow(id, name, kFieldStorageAnnotation, kFieldTypeText, textKind, 1, 3, 0, 1,
                   kFieldGroupAnnotations, kFindKindText, 1, 2);
}

constexpr FieldDef kLevel300OnlyRows[] = {
    OnlyRow(754, 125, kFieldStorageComputed, kFieldTypeU8, kFieldTextSingle, 9, 2, 0, 1, 2, 2, 0, 1),
    OnlyRow(64, 1, kFieldStorageComputed, kFieldTypeText, kFieldTextSingle, 1, 3, 0, 0, 2, 0, 0, 2),
    OnlyRow(ExifFieldId(0xA408), 96, kFieldStorageMetadata, kFieldTypeI16, kFieldTextSingle, 24, 2, 11, 0, 9, 0, 0, 1),
    OnlyRow(ExifFieldId(0xA40A), 97, kFieldStorageMetadata, kFieldTypeI16, kFieldTextSingle, 24, 2, 13, 0, 9, 0, 0, 1),
    OnlyRow(ExifFieldId(0xA409), 98, kFieldStorageMetadata, kFieldTypeI16, kFieldTextSingle, 24, 2, 12, 0, 9, 0, 0, 1),
    OnlyRow(ExifFieldId(0xB003), 99, kFieldStorageMetadata, kFieldTypeI16, kFieldTextSingle, 24, 2, 9, 0, 9, 0, 0, 1),
    OnlyRow(ExifFieldId(0xA404), 87, kFieldStorageMetadata, kFieldTypePair, kFieldTextSingle, 25, 2, 0, 0, 9, 0, 0, 1),
    AnnotationOnlyRow(550, 130, kFieldTextSingle),
    AnnotationOnlyRow(737, 127, kFieldTextSingle),
    AnnotationOnlyRow(721, 132, kFieldTextSingle),
    AnnotationOnlyRow(722, 133, kFieldTextSingle),
    AnnotationOnlyRow(723, 134, kFieldTextSingle),
    AnnotationOnlyRow(724, 135, kFieldTextSingle),
    AnnotationOnlyRow(736, 128, kFieldTextList),
    AnnotationOnlyRow(524, 129, kFieldTextList),
    AnnotationOnlyRow(738, 126, kFieldTextLong),
    AnnotationOnlyRow(720, 131, kFieldTextLong),
    AnnotationOnlyRow(725, 136, kFieldTextLong),
    AnnotationOnlyRow(726, 137, kFieldTextLong),
    AnnotationOnlyRow(727, 138, kFieldTextLong),
};

struct NameOverride {
    FieldId id;
    std::uint8_t nameIndex;
};
constexpr NameOverride kLevel300Names[] = {
    {522, 120}, {162, 2},   {617, 106}, {517, 112}, {527, 117}, {534, 122}, {567, 119},
    {592, 108}, {597, 109}, {627, 111}, {628, 118}, {604, 123}, {602, 113}, {607, 114},
    {613, 115}, {622, 110}, {615, 116}, {552, 107}, {519, 103}, {634, 102}, {739, 121},
    {532, 104}, {537, 105}, {630, 124}, {632, 101},
};

constexpr FieldDef Level300Row(FieldId id) {
    for (const FieldDef& row : kLevel300OnlyRows)
        if (row.id == id) return row;
    FieldDef row{};
    for (const FieldDef& r : kLevel200)
        if (r.id == id) {
            row = r;
            break;
        }
    for (const NameOverride& o : kLevel300Names)
        if (o.id == id) row.nameIndex = o.nameIndex;
    switch (id) {
    case 617:
    case 628:
    case 615:
    case 552:
        row.textKind = kFieldTextLong;
        break;
    case 739:
        row.textKind = kFieldTextLong;
        row.widthUnits = 3;
        row.pickList = 1;
        break;
    case kFieldImportDevice:
        row.userDataText = 0;  // a plain user-data item at this level
        break;
    default:
        break;
    }
    return row;
}

constexpr std::array<FieldDef, kFieldTableRowsLevel300 + 1> BuildLevel300() {
    std::array<FieldDef, kFieldTableRowsLevel300 + 1> t{};
    int n = 0;
    for (FieldId id : kLevel300Order) t[n++] = Level300Row(id);
    return t;
}
constexpr auto kLevel300 = BuildLevel300();

constexpr bool EveryRowDefined(const auto& table, int rows) {
    for (int i = 0; i < rows; ++i)
        if (table[i].id == 0 || table[i].valueType == 0) return false;
    return table[rows].id == 0;
}
static_assert(EveryRowDefined(kLevel200, kFieldTableRowsLevel200));
static_assert(EveryRowDefined(kLevel300, kFieldTableRowsLevel300));

}  // namespace

const FieldDef* FieldTableLevel200() { return kLevel200.data(); }
const FieldDef* FieldTableLevel300() { return kLevel300.data(); }
