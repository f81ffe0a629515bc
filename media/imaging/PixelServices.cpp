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
    std::vector<double> sums(std::size_t(cols) * rows, 0.0);
    std::vector<long> counts(std::size_t(cols) * rows, 0);
    double total = 0;
    LockPixels(world);
    for (std::int32_t y = 0; y < v.height; ++y) {
        const std::uint8_t* p = v.base + y * v.rowBytes;
        int cy = int(std::int64_t(y) * rows / v.height);
        for (std::int32_t x = 0; x < v.width; ++x, p += 4) {
            double lum = 0.299 * p[2] + 0.587 * p[1] + 0.114 * p[0];
            int cx = int(std::int64_t(x) * cols / v.width);
            sums[std::size_t(cy) * cols + cx] += lum;
            counts[std::size_t(cy) * cols + cx] += 1;
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
        if (counts[std::size_t(i)] > 0) {
            value = sums[std::size_t(i)] / double(counts[std::size_t(i)]);
        } else {
            const std::uint8_t* p = v.base + sy * v.rowBytes + sx * 4;
            value = 0.299 * p[2] + 0.587 * p[1] + 0.114 * p[0];
        }
        signature[1 + i] = UInt8(std::lround(value));
    }
    DisposeGWorld(world);
    return noErr;
}

bool PictureSignatureCompare(const UInt8* a, const UInt8* b, long n, long tolerance1, long tolerance2) {
    if (!a || !b || n < 2) return false;
    bool raw = tolerance1 == 0;
    double scale = tolerance2 == 0 ? 0.5 : tolerance2 == 2 ? 2.0 : 1.0;
    double threshold = (raw ? 10.0 : 5.0) * scale;
    return threshold > MeanDifference(a, b, n, raw);
}
