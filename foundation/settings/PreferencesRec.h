// The user's preferences: one 5,864-byte record, stored whole as the binary value
// "Preferences" in the machine's little-endian order, so the record in memory is the stored
// bytes. Fields not named here are carried along unchanged for the dialogs and views that own
// them.
#pragma once

#include "platform/MacTypes.h"

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "the preferences are stored in little-endian order, exactly as they lie in memory");

inline constexpr std::size_t kPreferencesSize = 5864;
inline constexpr int kPreferenceNameCount = 16;
inline constexpr int kPreferenceNameMaxLength = 63;

struct PreferencesRec {
    UInt32 startupValue;                 // 0x0000 read by the application at start-up
    UInt8 text1[64];                     // 0x0004 length-prefixed, at most 63 characters
    UInt8 text2[64];                     // 0x0044
    UInt8 reserved084[0x97 - 0x84];
    UInt8 startupAction;                 // 0x0097 2 open new catalog, 3 open last catalog
    UInt8 showButtonTips;                // 0x0098
    UInt8 skipLargeImages;               // 0x0099 the size limit below is on
    UInt8 sizeLimit;                     // 0x009A in units of 1,024,000 bytes, 1..100
    UInt8 reserved09B;
    UInt8 renderingQuality;              // 0x009C 0 nearest neighbour, 1 bilinear, 2 bicubic
    UInt8 playlistMode;                  // 0x009D slide show playlist mode, 1 on
    UInt8 stillsPause;                   // 0x009E slide show pause for stills: 2, 4 or 8
    UInt8 transferMode;                  // 0x009F 0 copy and re-point, 1 move, 2 duplicate
    UInt8 reserved0A0;
    UInt8 dimensionUnit;                 // 0x00A1 1 pixels .. 5 picas
    UInt8 resolutionUnit;                // 0x00A2 1 pixels/inch, 2 pixels/cm
    UInt8 reserved0A3;
    UInt8 warnWhenBatching;              // 0x00A4
    UInt8 builtInThumbnailsOff;          // 0x00A5 0: use built-in thumbnails
    UInt8 warnWhenRemoving;              // 0x00A6
    UInt8 copyPictureChoice;             // 0x00A7 0 thumbnail, 1 actual size
    UInt8 doubleClickAction;             // 0x00A8 1 switch views, 2 launch, 3 slide show
    UInt8 copyTextChoice;                // 0x00A9 0 file name, 1 path name, 2 displayed fields
    UInt8 naturalSortOrder;              // 0x00AA
    UInt8 dateFormat;                    // 0x00AB 1 short, 2 long
    UInt8 reserved0AC[0xB2 - 0xAC];
    UInt8 colorMatchingOff;              // 0x00B2 0: colour matching on
    UInt8 reserved0B3[0x1C4 - 0xB3];
    UInt8 rawLookProfile;                // 0x01C4 1 portrait, 2 product
    UInt8 useEmbeddedRawPreview;         // 0x01C5
    UInt8 reserved1C6[2];
    UInt32 photoCdSize;                  // 0x01C8 1 small, 2 normal, 3 large
    SInt32 galleryImageLevel;            // 0x01CC 1..9
    // The import settings new catalogs start with (the 116-byte record of the catalog engine,
    // in its native order); all zero until the user first sets them.
    UInt8 defaultImportSettings[116];    // 0x01D0
    UInt8 reserved244[0x278 - 0x244];
    RGBColor backgroundColor;            // 0x0278 transparency background
    UInt8 reserved27E[0x628 - 0x27E];
    UInt8 findOptions[3];                // 0x0628
    UInt8 reserved62B[0x69C - 0x62B];
    UInt8 slideShowOptions[40];          // 0x069C the application's copy of the slide-show settings
    UInt8 reserved6C4[0x7CC - 0x6C4];
    UInt16 viewDimensions[2];            // 0x07CC, 0x07CE copied to each new view
    Str255 fontSampleText;               // 0x07D0 the Media view's font sample
    UInt8 fontSampleChars[2];            // 0x08D0 the Thumbnail view's font sample
    SInt16 fontSampleSize;               // 0x08D2 points
    UInt8 thumbnailFontDisplay;          // 0x08D4 0 font name, 1 sample text
    UInt8 mediaFontDisplay;              // 0x08D5 0 full set, 1 character set, 2 sample text
    UInt8 reserved8D6[0x8E0 - 0x8D6];
    SInt32 viewOption;                   // 0x08E0 0..2
    Rect windowRect;                     // 0x08E4 default window rectangle
    UInt8 reserved8EC[2];
    UInt16 viewSetting;                  // 0x08EE
    UInt8 viewFlags[4];                  // 0x08F0..0x08F3
    UInt8 viewBlock320[320];             // 0x08F4
    UInt8 viewBlock64[64];               // 0x0A34 default view mode bytes at 0x0A38..0x0A5B
    UInt8 viewBlock96[96];               // 0x0A74
    UInt8 viewBlock2064[2064];           // 0x0AD4 exchanged with the block a view owns; its fourth
                                         // 516-byte entry (0x10E0) is the slide-show font
    SInt32 nameCount;                    // 0x12E4
    UInt8 names[kPreferenceNameCount][64];   // 0x12E8 length-prefixed, 1..63 characters
};

// The thumbnail size level (1..20) inside the 64-byte view block.
inline constexpr std::size_t kThumbnailSizeLevelOffset = 0x0A4B;

static_assert(sizeof(PreferencesRec) == kPreferencesSize);
static_assert(offsetof(PreferencesRec, startupValue) == 0x0000);
static_assert(offsetof(PreferencesRec, text1) == 0x0004);
static_assert(offsetof(PreferencesRec, text2) == 0x0044);
static_assert(offsetof(PreferencesRec, startupAction) == 0x0097);
static_assert(offsetof(PreferencesRec, showButtonTips) == 0x0098);
static_assert(offsetof(PreferencesRec, skipLargeImages) == 0x0099);
static_assert(offsetof(PreferencesRec, sizeLimit) == 0x009A);
static_assert(offsetof(PreferencesRec, renderingQuality) == 0x009C);
static_assert(offsetof(PreferencesRec, playlistMode) == 0x009D);
static_assert(offsetof(PreferencesRec, stillsPause) == 0x009E);
static_assert(offsetof(PreferencesRec, transferMode) == 0x009F);
static_assert(offsetof(PreferencesRec, dimensionUnit) == 0x00A1);
static_assert(offsetof(PreferencesRec, resolutionUnit) == 0x00A2);
static_assert(offsetof(PreferencesRec, warnWhenBatching) == 0x00A4);
static_assert(offsetof(PreferencesRec, builtInThumbnailsOff) == 0x00A5);
static_assert(offsetof(PreferencesRec, warnWhenRemoving) == 0x00A6);
static_assert(offsetof(PreferencesRec, copyPictureChoice) == 0x00A7);
static_assert(offsetof(PreferencesRec, doubleClickAction) == 0x00A8);
static_assert(offsetof(PreferencesRec, copyTextChoice) == 0x00A9);
static_assert(offsetof(PreferencesRec, naturalSortOrder) == 0x00AA);
static_assert(offsetof(PreferencesRec, dateFormat) == 0x00AB);
static_assert(offsetof(PreferencesRec, colorMatchingOff) == 0x00B2);
static_assert(offsetof(PreferencesRec, rawLookProfile) == 0x01C4);
static_assert(offsetof(PreferencesRec, useEmbeddedRawPreview) == 0x01C5);
static_assert(offsetof(PreferencesRec, photoCdSize) == 0x01C8);
static_assert(offsetof(PreferencesRec, galleryImageLevel) == 0x01CC);
static_assert(offsetof(PreferencesRec, backgroundColor) == 0x0278);
static_assert(offsetof(PreferencesRec, findOptions) == 0x0628);
static_assert(offsetof(PreferencesRec, slideShowOptions) == 0x069C);
static_assert(offsetof(PreferencesRec, viewDimensions) == 0x07CC);
static_assert(offsetof(PreferencesRec, fontSampleText) == 0x07D0);
static_assert(offsetof(PreferencesRec, fontSampleChars) == 0x08D0);
static_assert(offsetof(PreferencesRec, fontSampleSize) == 0x08D2);
static_assert(offsetof(PreferencesRec, thumbnailFontDisplay) == 0x08D4);
static_assert(offsetof(PreferencesRec, mediaFontDisplay) == 0x08D5);
static_assert(offsetof(PreferencesRec, viewOption) == 0x08E0);
static_assert(offsetof(PreferencesRec, windowRect) == 0x08E4);
static_assert(offsetof(PreferencesRec, defaultImportSettings) == 0x01D0);
static_assert(offsetof(PreferencesRec, viewSetting) == 0x08EE);
static_assert(offsetof(PreferencesRec, viewFlags) == 0x08F0);
static_assert(offsetof(PreferencesRec, viewBlock320) == 0x08F4);
static_assert(offsetof(PreferencesRec, viewBlock64) == 0x0A34);
static_assert(offsetof(PreferencesRec, viewBlock96) == 0x0A74);
static_assert(offsetof(PreferencesRec, viewBlock2064) == 0x0AD4);
static_assert(offsetof(PreferencesRec, nameCount) == 0x12E4);
static_assert(offsetof(PreferencesRec, names) == 0x12E8);
static_assert(kThumbnailSizeLevelOffset - offsetof(PreferencesRec, viewBlock64) < 64);

// The built-in defaults.
const PreferencesRec& PreferencesTemplate();
