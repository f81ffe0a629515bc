// The eight orientation transforms of a picture, as 16-bit codes of two ASCII letters.
//   0      identity
//   'H '   mirror left-right             'V '   mirror top-bottom
//   'HV'   half turn
//   'W '   quarter turn clockwise        'CW'   quarter turn counter-clockwise
//   'CF'   mirror about the main diagonal (top-left to bottom-right; a transpose)
//   'WF'   mirror about the other diagonal
// The two letters of 'W ' and 'CW' read the other way round from what one might guess; the
// stored codes and their meaning are what catalogs hold, so they stay.
#pragma once

#include "platform/MacTypes.h"

using TransformCode = std::uint16_t;

enum : TransformCode {
    kTransformNone = 0,
    kTransformFlipH = 0x4820,      // 'H '
    kTransformFlipV = 0x5620,      // 'V '
    kTransformRotate180 = 0x4856,  // 'HV'
    kTransformRotateCCW = 0x4357,  // 'CW'
    kTransformRotateCW = 0x5720,   // 'W '
    kTransformFlipMain = 0x4346,   // 'CF'
    kTransformFlipAnti = 0x5746,   // 'WF'
};

// True for 0 and the seven letter codes.
bool IsTransformCode(TransformCode code);
// EXIF orientation 2..8 to its transform ('H ', 'HV', 'V ', 'CF', 'W ', 'WF', 'CW'); 0 for
// anything else.
TransformCode ExifOrientationToTransform(int orientation);
// The transform that undoes code ('CW' and 'W ' swap, the others undo themselves); 0 for
// anything that is not a letter code.
TransformCode InvertTransform(TransformCode code);
// The single transform equal to applying a, then b. When a is not a letter code the result is
// b; when b is not a transform code the result is 0.
TransformCode ComposeTransforms(TransformCode a, TransformCode b);

// True when the transform exchanges width and height (the quarter turns and the diagonal
// mirrors).
bool TransformSwapsAxes(TransformCode code);
// Where the pixel (x, y) of a width x height picture lands in the transformed picture (whose
// size is height x width when the axes swap). Unknown codes leave the pixel in place.
void TransformPixel(TransformCode code, long width, long height, long x, long y, long* outX, long* outY);
