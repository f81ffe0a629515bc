// Pixel-level services: a histogram callback for the pixel walk, and the likeness signatures
// that the duplicate search compares thumbnails by.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"
#include "platform/imaging/Picture.h"

#include <cstdint>

struct HistogramAccum {
    UInt32* luminance = nullptr;  // each array 256 counters, or null to skip
    UInt32* red = nullptr;
    UInt32* green = nullptr;
    UInt32* blue = nullptr;
    UInt32 maxLuminance = 0;
    UInt32 maxRed = 0;
    UInt32 maxGreen = 0;
    UInt32 maxBlue = 0;
    UInt32 pixels = 0;
};
// Callback for OffscreenForEachPixel with a HistogramAccum as its reference.
void HistogramAddPixel(void* accum, std::int32_t x, std::int32_t y, std::uint8_t red, std::uint8_t green,
                       std::uint8_t blue, std::uint8_t alpha);

// True when the mean difference over bytes 1..n-1 is below the threshold (10 raw; 5 when the
// offset carried by byte 0 is removed from each difference). False for fewer than two bytes.
bool SignatureIsSimilar(const UInt8* a, const UInt8* b, long n, bool raw);

inline constexpr long kPictureSignatureSize = 100;
// Reduces a picture to a likeness signature of n bytes (n = 100): byte 0 is the mean
// brightness, bytes 1..99 the mean brightness of the cells of an 11 x 9 grid laid over it.
OSErr PictureSignature(PicHandle picture, UInt8* signature, long n);
// True when two signatures are alike. tolerance1 non-zero ignores a difference in overall
// brightness; tolerance2 is the matching level 0 tight, 1 average, 2 loose (the threshold of
// SignatureIsSimilar halved, kept or doubled).
bool PictureSignatureCompare(const UInt8* a, const UInt8* b, long n, long tolerance1, long tolerance2);
// The threshold PictureSignatureCompare holds the mean difference of bytes 1..n-1 against for
// these tolerances (below it two signatures are alike): 10 ignoring nothing, 5 with the
// brightness offset removed, halved for level 0 and doubled for level 2.
double PictureSignatureThreshold(long tolerance1, long tolerance2);
