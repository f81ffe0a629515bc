#include "foundation/format/Units.h"

#include <cmath>
#include <cstdint>

namespace {

// Truncation toward zero that stays defined for NaN, infinities and huge values.
SInt32 TruncateToInt32(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return SInt32(v);
}

}  // namespace

SInt32 ScaleValueByUnit(double length, short unit, double resolution) {
    double pixels;
    switch (unit) {
    case kUnitInches: pixels = length * resolution; break;
    case kUnitCentimeters: pixels = length * resolution * 100.0 * (1.0 / 254.0); break;
    case kUnitPoints: pixels = length * resolution / 72.0; break;
    case kUnitPicas: pixels = length * resolution / 6.0; break;
    default: return TruncateToInt32(length);
    }
    return TruncateToInt32(pixels + 0.5);
}

double PixelsToUnitValue(SInt32 pixels, short unit, double resolution) {
    switch (unit) {
    case kUnitInches: return pixels / resolution;
    case kUnitCentimeters: return pixels * 254.0 / (resolution * 100.0);
    case kUnitPoints: return pixels * 72.0 / resolution;
    case kUnitPicas: return pixels * 6.0 / resolution;
    default: return pixels;
    }
}
