#include "foundation/interface/Orientation.h"

namespace {

constexpr TransformCode kCodes[8] = {
    kTransformNone,      kTransformFlipH,     kTransformFlipV,    kTransformRotate180,
    kTransformRotateCCW, kTransformRotateCW,  kTransformFlipMain, kTransformFlipAnti,
};

// Row a, column b: applying a first, then b (indexes into kCodes).
constexpr unsigned char kCompose[8][8] = {
    {0, 1, 2, 3, 4, 5, 6, 7},
    {1, 0, 3, 2, 6, 7, 4, 5},
    {2, 3, 0, 1, 7, 6, 5, 4},
    {3, 2, 1, 0, 5, 4, 7, 6},
    {4, 7, 6, 5, 3, 0, 1, 2},
    {5, 6, 7, 4, 0, 3, 2, 1},
    {6, 5, 4, 7, 2, 1, 0, 3},
    {7, 4, 5, 6, 1, 2, 3, 0},
};

int IndexOf(TransformCode code) {
    for (int i = 0; i < 8; ++i)
        if (kCodes[i] == code) return i;
    return -1;
}

}  // namespace

bool IsTransformCode(TransformCode code) { return IndexOf(code) >= 0; }

TransformCode ExifOrientationToTransform(int orientation) {
    switch (orientation) {
    case 2: return kTransformFlipH;
    case 3: return kTransformRotate180;
    case 4: return kTransformFlipV;
    case 5: return kTransformFlipMain;
    case 6: return kTransformRotateCW;
    case 7: return kTransformFlipAnti;
    case 8: return kTransformRotateCCW;
    default: return kTransformNone;
    }
}

TransformCode InvertTransform(TransformCode code) {
    switch (code) {
    case kTransformRotateCW: return kTransformRotateCCW;
    case kTransformRotateCCW: return kTransformRotateCW;
    case kTransformFlipH:
    case kTransformFlipV:
    case kTransformRotate180:
    case kTransformFlipMain:
    case kTransformFlipAnti: return code;
    default: return kTransformNone;
    }
}

TransformCode ComposeTransforms(TransformCode a, TransformCode b) {
    int ia = IndexOf(a);
    if (ia <= 0) return b;
    int ib = IndexOf(b);
    if (ib < 0) return kTransformNone;
    return kCodes[kCompose[ia][ib]];
}

bool TransformSwapsAxes(TransformCode code) {
    return code == kTransformRotateCW || code == kTransformRotateCCW || code == kTransformFlipMain ||
           code == kTransformFlipAnti;
}

void TransformPixel(TransformCode code, long w, long h, long x, long y, long* outX, long* outY) {
    long nx = x, ny = y;
    switch (code) {
    case kTransformFlipH: nx = w - 1 - x; break;
    case kTransformFlipV: ny = h - 1 - y; break;
    case kTransformRotate180: nx = w - 1 - x; ny = h - 1 - y; break;
    case kTransformRotateCW: nx = h - 1 - y; ny = x; break;
    case kTransformRotateCCW: nx = y; ny = w - 1 - x; break;
    case kTransformFlipMain: nx = y; ny = x; break;
    case kTransformFlipAnti: nx = h - 1 - y; ny = w - 1 - x; break;
    default: break;
    }
    if (outX) *outX = nx;
    if (outY) *outY = ny;
}
