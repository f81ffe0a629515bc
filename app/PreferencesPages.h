// What each page of the Preferences sheet shows, as plain values, and how they come from and
// go back into the preferences record: list choices stored as their position plus an offset,
// check boxes stored inverted where the record keeps an "off" byte, the font size and sample
// characters with their repairs. The pages move these values to and from their controls; the
// record is changed only when the sheet is confirmed.
#pragma once

#include "foundation/settings/PreferencesRec.h"

#include <cstddef>
#include <string>

// Bytes of the record that have no named field.
inline constexpr std::size_t kPrefsLastPageOffset = 0x94;       // 0 General .. 3 Media
inline constexpr std::size_t kPrefsLastMediaTypeOffset = 0x95;  // 1 images, 2 fonts, 3 camera raw
inline constexpr std::size_t kPrefsNoUpdateCheckOffset = 0xA3;  // 1: no update check at start-up
// The Show Duplicates settings: three flag bytes, one unused, and the tolerance, whose 32 bits
// are the record's viewOption field (0..2).
inline constexpr std::size_t kPrefsDuplicatesOffset = 0x8DC;
static_assert(kPrefsLastPageOffset >= offsetof(PreferencesRec, reserved084) &&
              kPrefsLastMediaTypeOffset < offsetof(PreferencesRec, startupAction));
static_assert(kPrefsNoUpdateCheckOffset == offsetof(PreferencesRec, reserved0A3));
static_assert(kPrefsDuplicatesOffset >= offsetof(PreferencesRec, reserved8D6) &&
              kPrefsDuplicatesOffset + 4 == offsetof(PreferencesRec, viewOption));

UInt8* PreferenceByte(PreferencesRec* prefs, std::size_t offset);
UInt8 PreferenceByte(const PreferencesRec& prefs, std::size_t offset);

// List positions are 0-based; a stored value out of range shows the nearest choice.
struct GeneralPage {
    bool buttonTips = false;
    bool naturalSort = false;
    bool warnRemoving = false;
    bool warnBatching = false;
    int startup = 0;      // 0 open a new catalog, 1 open the last catalog
    int doubleClick = 0;  // 0 switch views, 1 launch with creator, 2 start slide show
    int dimensions = 0;   // 0 pixels .. 4 picas
    int resolution = 0;   // 0 pixels/inch, 1 pixels/cm
    int date = 0;         // 0 short, 1 long
};
GeneralPage GeneralPageFrom(const PreferencesRec& prefs);
void GeneralPageInto(const GeneralPage& page, PreferencesRec* prefs);

struct ImagesPage {
    bool skipLarge = false;
    int sizeLimit = 5;    // 1..100, units of 1,024,000 bytes
    RGBColor background{};
    bool builtInThumbnails = true;
    bool colorMatching = true;
    int rendering = 0;    // 0 nearest neighbour, 1 bilinear, 2 bicubic
};
ImagesPage ImagesPageFrom(const PreferencesRec& prefs);
void ImagesPageInto(const ImagesPage& page, PreferencesRec* prefs);

struct FontsPage {
    int size = 18;                // points; outside 6..256 it is stored as 18
    std::string sampleText;       // Windows-1252, at most 255 bytes
    std::string sampleChars;      // Windows-1252; the first two characters are stored
    int mediaDisplay = 0;         // 0 full character set, 1 character set, 2 sample text
    int thumbnailDisplay = 0;     // 0 font name, 1 sample text
};
FontsPage FontsPageFrom(const PreferencesRec& prefs);
void FontsPageInto(const FontsPage& page, PreferencesRec* prefs);

struct RawPage {
    bool embeddedPreview = false;
    int photoCdSize = 1;  // 0 small, 1 normal, 2 large
    int lookProfile = 0;  // 0 portrait, 1 product
};
RawPage RawPageFrom(const PreferencesRec& prefs);
void RawPageInto(const RawPage& page, PreferencesRec* prefs);

// The Media page's "Type:" list: 0 images, 1 fonts, 2 camera raw.
int MediaTypeFrom(const PreferencesRec& prefs);
void MediaTypeInto(int type, PreferencesRec* prefs);
