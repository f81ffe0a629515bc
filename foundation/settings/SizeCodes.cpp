#include "foundation/settings/SizeCodes.h"

#include <iterator>

namespace {

constexpr SInt16 kScaledMode = 10;
constexpr SInt16 kFirstScaledCode = 10;
constexpr SInt16 kPercents[] = {25, 50, 100, 200, 400, 800, 1600};
constexpr SInt16 kOtherMode = 2;

bool IsPlainMode(SInt16 v) { return v == 1 || (v >= 4 && v <= 8); }

}  // namespace

void SizeCodeToScale(SInt16 sizeCode, SInt16* mode, SInt16* percent) {
    SInt16 m = kOtherMode, p = 0;
    if (IsPlainMode(sizeCode)) {
        m = sizeCode;
    } else if (sizeCode >= kFirstScaledCode && sizeCode < kFirstScaledCode + SInt16(std::size(kPercents))) {
        m = kScaledMode;
        p = kPercents[sizeCode - kFirstScaledCode];
    }
    if (mode) *mode = m;
    if (percent) *percent = p;
}

SInt16 ScaleToSizeCode(SInt16 mode, SInt16 percent) {
    if (IsPlainMode(mode) || mode == kOtherMode) return mode;
    for (std::size_t i = 0; i < std::size(kPercents); ++i)
        if (kPercents[i] == percent) return SInt16(kFirstScaledCode + SInt16(i));
    return 0;
}
