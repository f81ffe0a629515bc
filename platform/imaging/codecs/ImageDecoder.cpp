#include "platform/imaging/codecs/ImageDecoder.h"

#include "platform/imaging/GWorld.h"

#include <cstring>

int LayoutBytesPerPixel(PixelLayout layout) {
    return layout == PixelLayout::Gray8 ? 1 : 4;
}

bool DimensionsAcceptable(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= (1 << 20) && height <= (1 << 20) &&
           width * height <= kMaxDecodePixels;
}

OSErr BufferSink::Begin(std::int32_t w, std::int32_t h, PixelLayout l) {
    if (std::int64_t(w) * h > kMaxBufferedPixels) return memFullErr;
    width = w;
    height = h;
    layout = l;
    rowsDelivered = 0;
    try {
        pixels.assign(std::size_t(w) * std::size_t(h) * LayoutBytesPerPixel(l), 0);
    } catch (...) {
        return memFullErr;
    }
    return noErr;
}

void BufferSink::Row(std::int32_t y, const std::uint8_t* row) {
    if (y < 0 || y >= height) return;
    std::size_t rowBytes = std::size_t(width) * LayoutBytesPerPixel(layout);
    std::memcpy(pixels.data() + std::size_t(y) * rowBytes, row, rowBytes);
    if (y + 1 > rowsDelivered) rowsDelivered = y + 1;
}
