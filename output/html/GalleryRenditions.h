// The pictures and media files of one gallery item: a JPEG preview (the thumbnail on the index
// pages) and a source for its media page, a JPEG rendition of the item's picture or a copy of
// its sound or movie, each falling back to a small category icon when the item gives no
// picture. Renditions are scaled (and sharpened when shrunk below half) by our imaging code,
// framed, marked with the stored logo and annotated as the settings ask; a JPEG with a target
// size is encoded at the best quality whose file fits.
#pragma once

#include "output/html/GalleryNames.h"
#include "output/html/GalleryState.h"
#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

#include <cstdint>
#include <string>
#include <vector>

// The codec quality of a JPEG quality code: 1 Least 0x000, 2 Low 0x100, 3 Medium 0x200,
// 4 High 0x300, 5 Best 0x3FF, any other 0x200.
std::uint32_t GalleryCodecQuality(UInt8 code);
// The byte size a JPEG must fit: target kilobytes x 1024 for code 7, else 0 (no target).
std::uint32_t GalleryTargetBytes(const HtmlSettingsRec& settings);

// Encodes the world as a baseline JPEG at 72 dpi: at the quality of the settings, or, with a
// target size, at the highest quality whose bytes fit it (the lowest when none does).
OSErr EncodeGalleryJpeg(GWorldPtr world, const HtmlSettingsRec& settings, std::vector<std::uint8_t>* bytes);

// A new 32-bit world of the picture: mode 1 unscaled, 2 fitted inside the box without being
// enlarged, 3 covering the box; proportions kept; sharpened when the scale is below 50 %.
// Null on failure.
GWorldPtr ScaleRendition(GWorldPtr picture, UInt8 mode, SInt16 boxWidth, SInt16 boxHeight);

// Writes "icon<category>.gif" (a 32 x 32 GIF89a of our own) into folder unless it is there;
// name receives the name. False when it could not be written.
bool WriteCategoryIcon(UInt8 category, const std::string& folder, std::string* name);

// The item's preview in previewFolder and source in imageFolder, its record filled in; the
// name sets keep the names unique across items. False when the item's file was not found
// (icons stand in for what could not be made).
bool MakeItemRenditions(GalleryBuildState* state, SInt32 n, const std::string& previewFolder,
                        const std::string& imageFolder, GalleryNameSet* previewNames, GalleryNameSet* sourceNames);
