// The decoders behind the graphics importers. Each reads one file format from a byte source:
// first the facts of an image (size, resolution, depth, colour space, profile), then its
// pixels, delivered row by row to a sink so that a large image never has to sit in memory
// whole when it is only wanted small.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/codecs/ByteSource.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// How the delivered pixels are laid out, one row after the other.
enum class PixelLayout : std::uint8_t {
    Gray8,    // one byte, 0 black
    BGRX32,   // blue, green, red, unused (the layout of 32-bit worlds)
    BGRA32,   // blue, green, red, straight (not premultiplied) alpha
    CMYK32,   // cyan, magenta, yellow, black; 0 no ink
};
int LayoutBytesPerPixel(PixelLayout layout);

struct DecodedImageInfo {
    std::int32_t width = 0;
    std::int32_t height = 0;
    double hRes = 72;          // dots per inch
    double vRes = 72;
    bool hasResolution = false;
    std::int16_t depth = 24;   // as an image description gives it (40 = 8-bit grey)
    OSType codecType = 0;
    std::string codecName;
    OSType pixelFormat = 0;    // 'cmyk' for CMYK images, else 0
    std::uint32_t imageCount = 1;
    bool hasAlpha = false;
    std::vector<std::uint8_t> iccProfile;
};

class RowSink {
public:
    virtual ~RowSink() = default;
    // Called once before any row with the size and layout the decoder delivers.
    virtual OSErr Begin(std::int32_t width, std::int32_t height, PixelLayout layout) = 0;
    // Rows arrive top to bottom, y from 0.
    virtual void Row(std::int32_t y, const std::uint8_t* pixels) = 0;
};

struct DecodeOptions {
    // The smallest size wanted; a decoder that can shrink while decoding (JPEG, JPEG 2000)
    // delivers no less than this in either direction. 0 means the natural size.
    std::int32_t wantWidth = 0;
    std::int32_t wantHeight = 0;
    // Treat damaged data that the format's library only warns about as an error.
    bool strict = true;
    // Deliver the alpha channel (BGRA32) when the image has one; else it is dropped.
    bool wantAlpha = false;
};

class ImageDecoder {
public:
    virtual ~ImageDecoder() = default;
    // Cheap check of the first bytes: does the data look like this format?
    virtual bool Sniff(ByteSource& src) = 0;
    // The facts of one image (index from 1). -8969 for data that is not readable.
    virtual OSErr ReadInfo(ByteSource& src, std::uint32_t imageIndex, DecodedImageInfo* info) = 0;
    virtual OSErr Decode(ByteSource& src, std::uint32_t imageIndex, const DecodeOptions& options,
                         RowSink& sink) = 0;
};

// Largest image a decoder agrees to read, in pixels: beyond it the data is refused as
// unreadable rather than allocated or walked for minutes.
inline constexpr std::int64_t kMaxDecodePixels = 1LL << 29;
// Largest image a decoder agrees to hold whole in memory (formats that cannot be read row by
// row: interlaced, run-length coded from the bottom, pictures).
inline constexpr std::int64_t kMaxBufferedPixels = 1LL << 25;
bool DimensionsAcceptable(std::int64_t width, std::int64_t height);

std::unique_ptr<ImageDecoder> NewJpegDecoder();
std::unique_ptr<ImageDecoder> NewPngDecoder();
std::unique_ptr<ImageDecoder> NewTiffDecoder();
std::unique_ptr<ImageDecoder> NewGifDecoder();
std::unique_ptr<ImageDecoder> NewJpeg2000Decoder();
std::unique_ptr<ImageDecoder> NewBmpDecoder();
std::unique_ptr<ImageDecoder> NewPictDecoder();
std::unique_ptr<ImageDecoder> NewTargaDecoder();
std::unique_ptr<ImageDecoder> NewSgiDecoder();
std::unique_ptr<ImageDecoder> NewMacPaintDecoder();
std::unique_ptr<ImageDecoder> NewPhotoshopDecoder();
std::unique_ptr<ImageDecoder> NewQuickTimeImageDecoder();

// Sink that keeps the whole delivered image in memory (for small images and for callers that
// want the pixels as they come).
class BufferSink : public RowSink {
public:
    OSErr Begin(std::int32_t width, std::int32_t height, PixelLayout layout) override;
    void Row(std::int32_t y, const std::uint8_t* pixels) override;
    std::int32_t width = 0;
    std::int32_t height = 0;
    PixelLayout layout = PixelLayout::BGRX32;
    std::int32_t rowsDelivered = 0;
    std::vector<std::uint8_t> pixels;
};
