// The catalog thumbnail: the reader's image scaled into a square of the thumbnail size, turned
// upright, sharpened when strongly reduced, reduced to a sample colour, and kept as a
// QuickDraw picture holding a JPEG-compressed image at 72 dots per inch.
#pragma once

#include "foundation/interface/Orientation.h"
#include "media/kinds/KindEngine.h"
#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"
#include "platform/imaging/Picture.h"

// Makes the thumbnail picture from the reader's offscreen or picture (either may be null; with
// neither there is no thumbnail and *thumbnail stays null). profile (may be null) is the
// reader's colour profile, matched to the display after scaling; it stays the caller's. When
// sampleColor is given it receives the packed sample colour (0 when none).
OSErr KindMakeCatalogThumbnail(GWorldPtr offscreen, PicHandle picture, SInt32 size, TransformCode orientation,
                               Handle profile, UInt32* sampleColor, PicHandle* thumbnail);
// The offscreen of the catalog thumbnail before it is recorded: the reader's image scaled,
// matched, turned and (below 50 percent) sharpened; percent receives the scale.
OSErr KindThumbnailOffscreen(GWorldPtr offscreen, PicHandle picture, SInt32 size, TransformCode orientation,
                             Handle profile, GWorldPtr* out, short* percent);
// QuickTime's sharpen effect as the thumbnails use it: a 3 x 3 kernel of weight 7 at the
// centre and -1 at the four neighbours, summing to 1.
void ThumbnailSharpen(GWorldPtr world);
// The dominant colour of a 32-bit world, skipping near-white and near-black pixels; black when
// no pixel counts.
RGBColor KindThumbnailSampleColor(GWorldPtr world);
// Packs a colour: mark 0xFF in the low byte, the top four bits of blue, green and red in bits
// 8-11, 16-19 and 24-27.
UInt32 KindSampleColorPack(const RGBColor& color);
// Back to a colour (each 4-bit value shifted left by 12); false and black without the mark.
bool ColorFromPackedBytes(UInt32 packed, RGBColor* color);

inline constexpr Fixed kThumbnailResolution = 0x480000;  // 72 dpi
