// The sensor-data decoder of Olympus E-10 and C-series ORF files: the raw strips named by the
// TIFF tags are read one at a time, each sample becomes an 8-bit grey value of a 32-bit
// offscreen, the two missing colours of every pixel are filled in from its neighbours
// (bilinear demosaic of the Bayer mosaic) and red and blue are boosted. A full-size picture of
// the sensor, made for thumbnails.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

#include <vector>

struct OlympusRawInput {
    UInt32 width = 0, height = 0;
    std::vector<UInt32> stripOffsets;
    std::vector<UInt32> stripByteCounts;  // as many as offsets are used
};

// Mosaic pattern 1: red where x and y are even, blue where both are odd; pattern 2 the other
// way round; green elsewhere.
// 16-bit samples, keeping the first (byteSelect 0) or second byte of each.
OSErr OlympusDecode16(const FSSpec* spec, GWorldPtr* out, const OlympusRawInput& input, int pattern, int byteSelect);
// 12-bit samples packed two in three bytes; rows interlaced (even rows first, then odd).
OSErr OlympusDecode12(const FSSpec* spec, GWorldPtr* out, const OlympusRawInput& input, int pattern);

// The colour steps on a world whose pixels are grey samples of the mosaic.
void BayerInterpolateRGGB(GWorldPtr world);  // pattern 1
void BayerInterpolateBGGR(GWorldPtr world);  // pattern 2
void OlympusBalanceRedBlue(GWorldPtr world);
