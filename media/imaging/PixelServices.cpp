#include "media/imaging/PixelServices.h"

#include "media/imaging/Offscreen.h"

#include <cmath>
#include <vector>

void HistogramAddPixel(void* ref, std::int32_t, std::int32_t, std::uint8_t red, std::uint8_t green,
                       std::uint8_t blue, std::uint8_t) {
    auto* h = static_cast<HistogramAccum*>(ref);
    if (!h) return;
    int lum = int(0.299 * red + 0.587 * green + 0.114 * blue);
    if (lum > 255) lum = 255;
    auto add = [](UInt32* counts, UInt32& max, int index) {
        if (!counts) return;
        if (++counts[index] > max) max = counts[index];
    };
    add(h->luminance, h->maxLuminance, lum);
    add(h->red, h->maxRed, red);
    add(h->green, h->maxGreen, green);
    add(h->blue, h->maxBlue, blue);
    ++h->pixels;
}

static double MeanDifference(const UInt8* a, const UInt8* b, long n, bool raw) {
    double offset = raw ? 0.0 : double(int(a[0]) - int(b[0]));
    double sum = 0;
    for (long i = 1; i < n; ++i) sum += std::fabs(double(int(a[i]) - int(b[i])) - offset);
    return sum / double(n - 1);
}

bool SignatureIsSimilar(const UInt8* a, const UInt8* b, long n, bool raw) {
    if (!a || !b || n < 2) return false;
    double threshold = raw ? 10.0 : 5.0;
    return threshold > MeanDifference(a, b, n, raw);
}

OSErr PictureSignature(PicHandle picture, UInt8* signature, long n) {
    if (!picture || !signature || n != kPictureSignatureSize) return paramErr;
    GWorldPtr world = nullptr;
    OSErr err = PictureToOffscreen(picture, k32BGRAPixelFormat, nullptr, nullptr, &world);
    if (err != noErr) return err;
    PixelView v = GetGWorldPixels(world);
    const int cols = 11, rows = 9;
    double sums[cols * rows] = {};
    long counts[cols * rows] = {};
    // The grid column of every pixel column, worked out once rather than per pixel; the sums
    // still run pixel by pixel in the same order, so every signature stays the same.
    std::vector<int> cellOfColumn(std::size_t(v.width > 0 ? v.width : 0));
    for (std::int32_t x = 0; x < v.width; ++x)
        cellOfColumn[std::size_t(x)] = int(std::int64_t(x) * cols / v.width);
    // The three products of each pixel's brightness from tables: the very same doubles, added
    // in the same order, without three conversions and multiplications per pixel.
    static const struct Weighted {
        double red[256], green[256], blue[256];
        Weighted() {
            for (int c = 0; c < 256; ++c) {
                red[c] = 0.299 * c;
                green[c] = 0.587 * c;
                blue[c] = 0.114 * c;
            }
        }
    } weighted;
    double total = 0;
    LockPixels(world);
    for (std::int32_t y = 0; y < v.height; ++y) {
        const std::uint8_t* p = v.base + y * v.rowBytes;
        double* rowSums = sums + std::int64_t(y) * rows / v.height * cols;
        long* rowCounts = counts + std::int64_t(y) * rows / v.height * cols;
        for (std::int32_t x = 0; x < v.width; ++x, p += 4) {
            const double lum = weighted.red[p[2]] + weighted.green[p[1]] + weighted.blue[p[0]];
            int cx = cellOfColumn[std::size_t(x)];
            rowSums[cx] += lum;
            rowCounts[cx] += 1;
            total += lum;
        }
    }
    UnlockPixels(world);
    signature[0] = UInt8(std::lround(total / (double(v.width) * v.height)));
    for (int i = 0; i < cols * rows; ++i) {
        // A picture narrower or shorter than the grid repeats its pixels into the empty cells.
        int cx = i % cols, cy = i / cols;
        int sx = int(std::int64_t(cx) * v.width / cols), sy = int(std::int64_t(cy) * v.height / rows);
        double value;
        if (counts[i] > 0) {
            value = sums[i] / double(counts[i]);
        } else {
            const std::uint8_t* p = v.base + sy * v.rowBytes + sx * 4;
            value = 0.299 * p[2] + 0.587 * p[1] + 0.114 * p[0];
        }
        signature[1 + i] = UInt8(std::lround(value));
    }
    DisposeGWorld(world);
    return noErr;
}

double PictureSignatureThreshold(long tolerance1, long tolerance2) {
    const bool raw = tolerance1 == 0;
    const double scale = tolerance2 == 0 ? 0.5 : tolerance2 == 2 ? 2.0 : 1.0;
    return (raw ? 10.0 : 5.0) * scale;
}

bool PictureSignatureCompare(const UInt8* a, const UInt8* b, long n, long tolerance1, long tolerance2) {
    if (!a || !b || n < 2) return false;
    return PictureSignatureThreshold(tolerance1, tolerance2) > MeanDifference(a, b, n, tolerance1 == 0);
}
