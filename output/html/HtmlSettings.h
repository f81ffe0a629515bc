// The HTML gallery's settings: one 628-byte record kept per user as the binary value
// "HTMLSettings" under the sub-key of the same name, stored exactly as it lies in memory
// (little-endian). Loading repairs what is out of range, so a build never sees a value it
// cannot use; a stored record of another version or size gives the defaults. Also the two
// values the gallery keeps outside the record: the catalog's site title and the
// "launch browser when done" preference.
#pragma once

#include "platform/MacTypes.h"

#include <bit>
#include <cstddef>
#include <string>

static_assert(std::endian::native == std::endian::little,
              "the HTML settings are stored in little-endian order, exactly as they lie in memory");

struct CatalogRec;

inline constexpr UInt32 kHtmlSettingsVersion = 0x20001;

#pragma pack(push, 2)
struct HtmlSettingsRec {
    UInt32 version;              // 0
    UInt8 numberedPages;         // 4 media pages named by item number
    UInt8 embedAnnotations;      // 5 annotations written into the JPEG renditions
    UInt8 extensionCode;         // 6 1 htm, 2 html, 3 shtml, 4 php, 5 asp, 6 xml; other htm
    UInt8 mediaSizeCode;         // 7 1..4
    SInt16 thumbnailSize;        // 8 pixels, 16..512
    UInt8 thumbnailSizeCode;     // 10 1..4
    UInt8 jpegQuality;           // 11 1..5, 7 target size; other Medium
    UInt8 htmlInCaptions;        // 12
    UInt8 textEncoding;          // 13 2 Japanese (Shift-JIS), other Western
    UInt8 includeFileNames;      // 14
    UInt8 includeMediaInfo;      // 15
    UInt32 templateChoice;       // 16
    UInt8 templateSet[64];       // 20 length byte + up to 63 bytes; empty: the built-in templates
    SInt32 columns;              // 84
    SInt32 rows;                 // 88
    UInt8 border;                // 92 one-pixel black frame on previews and renditions
    UInt8 logo;                  // 93 stored logo drawn onto the renditions
    UInt8 previewFit;            // 94 2 fit inside, 3 cover
    UInt8 mediaFit;              // 95 1 natural size, 2 fit inside, 3 cover
    SInt16 mediaWidth;           // 96
    SInt16 mediaHeight;          // 98
    RGBColor background;         // 100
    RGBColor link;               // 106
    RGBColor text;               // 112
    RGBColor textBackground;     // 118
    UInt8 reserved124;           // 124
    UInt8 autoPlay;              // 125
    UInt8 continuous;            // 126
    UInt8 showController;        // 127
    SInt32 targetKilobytes;      // 128
    UInt32 reserved132;          // 132
    UInt8 reserved136[492];      // 136
};
#pragma pack(pop)

static_assert(sizeof(HtmlSettingsRec) == 628);
static_assert(offsetof(HtmlSettingsRec, thumbnailSize) == 8 && offsetof(HtmlSettingsRec, jpegQuality) == 11);
static_assert(offsetof(HtmlSettingsRec, templateChoice) == 16 && offsetof(HtmlSettingsRec, templateSet) == 20);
static_assert(offsetof(HtmlSettingsRec, columns) == 84 && offsetof(HtmlSettingsRec, rows) == 88);
static_assert(offsetof(HtmlSettingsRec, border) == 92 && offsetof(HtmlSettingsRec, mediaWidth) == 96);
static_assert(offsetof(HtmlSettingsRec, background) == 100 && offsetof(HtmlSettingsRec, link) == 106);
static_assert(offsetof(HtmlSettingsRec, text) == 112 && offsetof(HtmlSettingsRec, textBackground) == 118);
static_assert(offsetof(HtmlSettingsRec, autoPlay) == 125 && offsetof(HtmlSettingsRec, showController) == 127);
static_assert(offsetof(HtmlSettingsRec, targetKilobytes) == 128 && offsetof(HtmlSettingsRec, reserved136) == 136);

enum : UInt8 { kHtmlQualityTargetSize = 7, kHtmlEncodingJapanese = 2 };

// A record holding the defaults.
HtmlSettingsRec HtmlSettingsDefaults();
// Rows and columns below 1 become 4; a thumbnail size outside 16..512 becomes 96; a media
// width or height outside 16..16000 becomes 640 or 480; fit modes outside their values become
// 2; target kilobytes below 1 become 100.
void ValidateHtmlSettings(HtmlSettingsRec* settings);
// Reads the stored record (the defaults when it is missing, of another size or version) and
// validates it. A template-set name whose index template cannot be found in templatesFolder
// is cleared (template choice 1) and the answer is false.
bool LoadHtmlSettings(HtmlSettingsRec* settings, const std::string& templatesFolder);
// Writes the record with the current version: 0 written, -192 the write failed, -193 the key
// could not be opened.
OSErr SaveHtmlSettings(HtmlSettingsRec* settings);

// The quality code the Settings page shows: 1..5 as stored, anything else (0, or the target
// size) as Medium, which is what a build makes of it.
UInt8 HtmlQualityCodeShown(UInt8 stored);
// Thumbnail pixels of a size code 1..4: (code + 1) x 32.
SInt16 HtmlThumbnailSizeForCode(UInt8 code);
// The media box of a size code: 1 320 x 240, 2 480 x 360, 3 640 x 480, other 800 x 600.
void HtmlMediaBoxForCode(UInt8 code, SInt16* width, SInt16* height);
// The page extension without its dot: 2 "html", 3 "shtml", 4 "php", 5 "asp", 6 "xml", else "htm".
std::string PageExtensionText(UInt8 code);

// The Layout page's summary: "Output: 3 Pages for 33 catalog items" (Windows-1252), or "--"
// unless columns and rows are both above 0.
std::string HtmlOutputSummary(SInt32 items, SInt32 columns, SInt32 rows);

// The catalog's gallery title (the "Site Title:" field), at most 63 bytes of Windows-1252 text,
// kept with the catalog's view settings.
std::string GalleryGetSiteTitle(const CatalogRec* catalog);
// Stores the title (cut to 63 bytes); the catalog is marked modified when it changed.
void GallerySetSiteTitle(CatalogRec* catalog, const std::string& title);

// The preference byte "launch browser when done".
bool GalleryLaunchBrowserPreference();
void GallerySetLaunchBrowserPreference(bool on);
