// Field ids: every piece of information the catalog keeps about an item is reached by one.
//   1..69      file and media properties (item record or computed)
//   161, 162, 180  computed: date finder, catalog sets, the URL block
//   512 + n    IPTC-IIM record 2, dataset n (annotation block); 522 label, 754 rating
//   769..784   custom fields 1..16 (annotation block, record 3)
//   'ex'<<16 | tag      EXIF values in the metadata block
//   0x0677<<16 | tag    GPS values in the metadata block
//   0xA9 + three letters   QuickTime user-data text items (maker, model, software, format)
#pragma once

#include "media/metadata/MetaValueStore.h"  // ExifFieldId, GpsFieldId: the metadata list's keys

#include <cstdint>

using FieldId = std::uint32_t;

constexpr FieldId IptcFieldId(unsigned record, unsigned dataset) {
    return FieldId(record * 256 + dataset);
}
constexpr bool IsExifFieldId(FieldId id) { return (id >> 16) == 0x6578u; }
constexpr bool IsGpsFieldId(FieldId id) { return (id >> 16) == 0x0677u; }
// The byte 0xA9 followed by three ASCII letters.
constexpr FieldId UserDataTextId(char a, char b, char c) {
    return (0xA9u << 24) | (FieldId(std::uint8_t(a)) << 16) | (FieldId(std::uint8_t(b)) << 8) |
           FieldId(std::uint8_t(c));
}

enum : FieldId {
    kFieldPath = 1,
    kFieldFileName = 2,
    kFieldFileKindName = 3,
    kFieldFileType = 4,
    kFieldFileSize = 5,
    kFieldWidth = 6,
    kFieldHeight = 7,
    kFieldResolution = 8,
    kFieldDepth = 9,
    kFieldArchived = 10,   // the date the item was added to the catalog
    kFieldCreated = 11,
    kFieldModified = 12,
    kFieldPages = 13,
    kFieldPoster = 14,
    kFieldTracks = 15,
    kFieldDuration = 16,
    kFieldAudioChannels = 17,
    kFieldAudioRate = 18,
    kFieldAudioBitSize = 19,
    kFieldSpatialQuality = 20,
    kFieldColorSpace = 21,
    kFieldCompression = 22,
    kFieldEncoding = 23,
    kFieldColorProfile = 24,
    kFieldCharacters = 25,
    kFieldParagraphs = 26,
    kFieldSampleColor = 27,
    kFieldRecordingSize = 28,
    kFieldMetadataSize = 29,
    kFieldThumbnailSize = 30,
    kFieldAnnotationsSize = 31,
    kFieldUrlSize = 32,
    kFieldAnnotated = 33,
    kFieldDataRate = 34,
    kFieldFrameRate = 35,
    kFieldLocationPath = 64,
    kFieldDimensions = 65,
    kFieldMediaType = 66,
    kFieldImportDevice = 67,
    kFieldItemId = 68,
    kFieldOrientation = 69,
    kFieldDateFinder = 161,
    kFieldCatalogSets = 162,
    kFieldUrl = 180,

    kFieldRecordVersion = IptcFieldId(2, 0),
    kFieldProduct = IptcFieldId(2, 5),        // 517
    kFieldStatus = IptcFieldId(2, 7),         // 519
    kFieldLabel = IptcFieldId(2, 10),         // 522
    kFieldScene = IptcFieldId(2, 12),         // 524
    kFieldGenre = IptcFieldId(2, 15),         // 527
    kFieldCategories = IptcFieldId(2, 20),    // 532
    kFieldEvent = IptcFieldId(2, 22),         // 534
    kFieldKeywords = IptcFieldId(2, 25),      // 537
    kFieldAssigned38 = IptcFieldId(2, 38),    // 550
    kFieldInstructions = IptcFieldId(2, 40),  // 552
    kFieldEventDate = IptcFieldId(2, 55),     // 567
    kFieldAuthor = IptcFieldId(2, 80),        // 592
    kFieldAuthorTitle = IptcFieldId(2, 85),   // 597
    kFieldCity = IptcFieldId(2, 90),          // 602
    kFieldLocation = IptcFieldId(2, 92),      // 604
    kFieldState = IptcFieldId(2, 95),         // 607
    kFieldCountry = IptcFieldId(2, 101),      // 613
    kFieldTransmission = IptcFieldId(2, 103), // 615
    kFieldTitle = IptcFieldId(2, 105),        // 617
    kFieldCredit = IptcFieldId(2, 110),       // 622
    kFieldSource = IptcFieldId(2, 115),       // 627
    kFieldCopyright = IptcFieldId(2, 116),    // 628
    kFieldPeople = IptcFieldId(2, 118),       // 630
    kFieldCaption = IptcFieldId(2, 120),      // 632
    kFieldWriter = IptcFieldId(2, 122),       // 634
    kFieldUrlDataset = IptcFieldId(2, 227),   // 739
    kFieldRating = IptcFieldId(2, 242),       // 754

    kFieldCustomFirst = IptcFieldId(3, 1),    // 769
    kFieldCustomLast = IptcFieldId(3, 16),    // 784

    kFieldLatitude = 'LATD',
    kFieldLongitude = 'LOTD',
    kFieldAltitude = 'ALTD',
    kFieldTracksList = 'TRCK',
    kFieldChapters = 'CHAP',
    kFieldVolumeName = 'VNam',
    kFieldGroupTag = 'GRP\0',   // 'GRP' in the top three bytes, a group number in the low byte

    kFieldExifVersion = ExifFieldId(0x9000),
    kFieldFlashPixVersion = ExifFieldId(0xA000),
    kFieldCaptureDate = ExifFieldId(0x9003),
    kFieldAperture = ExifFieldId(0x829D),
    kFieldShutterSpeed = ExifFieldId(0x829A),
    kFieldExposureBias = ExifFieldId(0x9204),
    kFieldExposureProgram = ExifFieldId(0x8822),
    kFieldFocalLength = ExifFieldId(0x920A),
    kFieldFocusDistance = ExifFieldId(0x9206),
    kFieldSensing = ExifFieldId(0xA217),
    kFieldLightSource = ExifFieldId(0x9208),
    kFieldFlash = ExifFieldId(0x9209),
    kFieldMetering = ExifFieldId(0x9207),
    kFieldIsoSpeed = ExifFieldId(0x8827),
    kFieldCompressedRatio = ExifFieldId(0x9102),
    kFieldNoiseReduction = ExifFieldId(0xB001),
    kFieldLens = ExifFieldId(0xB002),
    kFieldExifB003 = ExifFieldId(0xB003),
    kFieldContrast = ExifFieldId(0xA408),
    kFieldSharpness = ExifFieldId(0xA40A),
    kFieldSaturation = ExifFieldId(0xA409),
    kFieldDigitalZoom = ExifFieldId(0xA404),

    kFieldGpsLatitudeRef = GpsFieldId(1),
    kFieldGpsLatitude = GpsFieldId(2),
    kFieldGpsLongitudeRef = GpsFieldId(3),
    kFieldGpsLongitude = GpsFieldId(4),
    kFieldGpsAltitudeRef = GpsFieldId(5),
    kFieldGpsAltitude = GpsFieldId(6),

    kFieldMaker = UserDataTextId('m', 'a', 'k'),
    kFieldModel = UserDataTextId('m', 'o', 'd'),
    kFieldSoftware = UserDataTextId('s', 'w', 'r'),
    kFieldFormat = UserDataTextId('f', 'm', 't'),
};

constexpr bool IsCustomFieldId(FieldId id) { return id >= kFieldCustomFirst && id <= kFieldCustomLast; }
constexpr FieldId HiddenGroupId(std::uint8_t group) { return kFieldGroupTag | group; }
