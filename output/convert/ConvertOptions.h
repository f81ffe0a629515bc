// The conversion dialogs' two settings records: the 160-byte options record (entry 3 for
// images, 5 for movies, 7 for sounds) and the exporter's own settings (entries 4, 6 and 8), a
// small text of "key=value" lines behind a version line, read back only by the exporter kind
// that wrote it. Both live in the typed settings and in option sets exactly as held.
//
// A stored record of another size than 160 bytes (written by another version, or damaged) is
// not trusted: the kind's defaults take its place.
#pragma once

#include "platform/MacTypes.h"

#include <bit>
#include <cstddef>
#include <map>
#include <string>

static_assert(std::endian::native == std::endian::little, "the options record is stored as it lies in memory");

#pragma pack(push, 1)
struct ConvertOptionsRec {
    UInt32 position;          // 0   1-based position of the chosen exporter in its list
    OSType subType;           // 4   its four-character code
    UInt8 loaded;             // 8   set to 1 whenever a dialog loads the record
    UInt8 unused9[2];         // 9
    UInt8 keepMetadata;       // 11  carry EXIF, IPTC and XMP over
    UInt8 keepProfile;        // 12  embed the source's colour profile
    UInt8 zero13[140 - 13];
    UInt16 value140;          // 140 100 for images
    UInt8 zero142;            // 142
    UInt8 sizeMode;           // 143 0 natural bounds, 1 scale to fit
    UInt32 width;             // 144
    UInt32 height;            // 148
    UInt32 resolutionMode;    // 152 0 the image's own, 1 custom
    UInt32 dpi;               // 156
};
#pragma pack(pop)
static_assert(sizeof(ConvertOptionsRec) == 160);
static_assert(offsetof(ConvertOptionsRec, keepMetadata) == 11 && offsetof(ConvertOptionsRec, value140) == 140 &&
              offsetof(ConvertOptionsRec, sizeMode) == 143 && offsetof(ConvertOptionsRec, width) == 144 &&
              offsetof(ConvertOptionsRec, resolutionMode) == 152 && offsetof(ConvertOptionsRec, dpi) == 156);

enum class ConvertMediaKind { Image, Sound, Movie };

// Entry ids of the two records and the option-set kind of each media kind.
struct ConvertEntryIds {
    SInt16 options;
    SInt16 settings;
    UInt32 optionSetKind;
};
ConvertEntryIds ConvertEntries(ConvertMediaKind kind);

ConvertOptionsRec DefaultConvertOptions(ConvertMediaKind kind);
// The record a handle holds, or the kind's defaults when the handle is null or not 160 bytes.
ConvertOptionsRec ConvertOptionsFromHandle(Handle h, ConvertMediaKind kind);
// A new 160-byte handle holding the record.
Handle ConvertOptionsToHandle(const ConvertOptionsRec& options);

// The exporter settings: key=value pairs of one exporter kind.
struct ExporterSettings {
    OSType subType = 0;
    std::map<std::string, std::string> values;

    int Int(const std::string& key, int fallback) const;
    std::string Text(const std::string& key, const std::string& fallback = {}) const;
};
// The defaults of an exporter (JPEG quality 85; the other formats have no settings of their own,
// and movies and sounds leave every choice to the encoder).
ExporterSettings DefaultExporterSettings(OSType subType);
// The settings a handle holds for that exporter; the exporter's defaults when the handle is
// null, damaged, or written for another exporter.
ExporterSettings ExporterSettingsFromHandle(Handle h, OSType subType);
Handle ExporterSettingsToHandle(const ExporterSettings& settings);
// The settings as the dialogs show them, one line a setting ("Quality: 85").
std::string ExporterSettingsText(const ExporterSettings& settings);
