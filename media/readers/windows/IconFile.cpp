#include "media/readers/windows/IconFile.h"

#include <png.h>

#include <cstring>

namespace {

// Icons are small; this bounds what a damaged header can make us allocate.
constexpr std::uint32_t kMaxIconSide = 4096;

std::uint32_t Le16(std::string_view b, std::size_t at) {
    return std::uint8_t(b[at]) | (std::uint32_t(std::uint8_t(b[at + 1])) << 8);
}
std::uint32_t Le32(std::string_view b, std::size_t at) {
    return Le16(b, at) | (Le16(b, at + 2) << 16);
}
bool Fits(std::string_view b, std::uint64_t at, std::uint64_t length) {
    return at <= b.size() && length <= b.size() - at;
}

// The image's own block, or empty when the directory entry points outside the file.
std::string_view ImageBlock(std::string_view file, int index) {
    if (index < 0 || index >= IconImageCount(file)) return {};
    const std::size_t entry = 6 + std::size_t(index) * 16;
    const std::uint32_t size = Le32(file, entry + 8), offset = Le32(file, entry + 12);
    if (!Fits(file, offset, size)) return {};
    return file.substr(offset, size);
}

bool DecodePng(std::string_view block, IconImage* out) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, block.data(), block.size())) return false;
    if (image.width == 0 || image.height == 0 || image.width > kMaxIconSide || image.height > kMaxIconSide) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_BGRA;  // in memory B, G, R, A: the words 0xAARRGGBB
    std::vector<std::uint32_t> pixels(std::size_t(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    out->width = int(image.width);
    out->height = int(image.height);
    out->argb = std::move(pixels);
    return true;
}

bool DecodeBitmap(std::string_view block, IconImage* out) {
    if (!Fits(block, 0, 40)) return false;
    const std::uint32_t headerSize = Le32(block, 0);
    const std::int32_t width = std::int32_t(Le32(block, 4));
    const std::int32_t doubleHeight = std::int32_t(Le32(block, 8));
    const std::uint32_t bits = Le16(block, 14), compression = Le32(block, 16);
    std::uint32_t colours = Le32(block, 32);
    // The height counts the colour rows and the mask rows.
    const std::int32_t height = doubleHeight / 2;
    if (headerSize < 40 || width <= 0 || height <= 0 || std::uint32_t(width) > kMaxIconSide ||
        std::uint32_t(height) > kMaxIconSide)
        return false;
    if (compression != 0 && !(compression == 3 && bits == 32)) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    if (bits <= 8) {
        if (colours == 0 || colours > (1u << bits)) colours = 1u << bits;
    } else {
        colours = 0;
    }
    std::uint64_t palette = headerSize;
    if (compression == 3) palette += 12;  // the three channel masks follow the header
    const std::uint64_t stride = ((std::uint64_t(width) * bits + 31) / 32) * 4;
    const std::uint64_t maskStride = ((std::uint64_t(width) + 31) / 32) * 4;
    const std::uint64_t pixels = palette + std::uint64_t(colours) * 4;
    const std::uint64_t mask = pixels + stride * std::uint64_t(height);
    if (!Fits(block, pixels, stride * std::uint64_t(height))) return false;
    // Some writers leave the mask out of 32-bit images; its alpha then says everything.
    const bool hasMask = Fits(block, mask, maskStride * std::uint64_t(height));
    if (!hasMask && bits != 32) return false;

    out->width = width;
    out->height = height;
    out->argb.assign(std::size_t(width) * std::size_t(height), 0);
    bool anyAlpha = false;
    for (std::int32_t y = 0; y < height; ++y) {
        // Rows are stored bottom-up.
        const std::size_t row = std::size_t(pixels + stride * std::uint64_t(height - 1 - y));
        for (std::int32_t x = 0; x < width; ++x) {
            std::uint32_t argb;
            if (bits == 32) {
                argb = Le32(block, row + std::size_t(x) * 4);
                if (argb >> 24) anyAlpha = true;
            } else if (bits == 24) {
                const std::size_t p = row + std::size_t(x) * 3;
                argb = 0xFF000000u | (std::uint32_t(std::uint8_t(block[p + 2])) << 16) |
                       (std::uint32_t(std::uint8_t(block[p + 1])) << 8) | std::uint8_t(block[p]);
            } else {
                const std::size_t bit = std::size_t(x) * bits;
                const std::uint8_t byte = std::uint8_t(block[row + bit / 8]);
                const std::uint32_t index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index >= colours) return false;
                argb = 0xFF000000u | (Le32(block, std::size_t(palette) + index * 4) & 0xFFFFFF);
            }
            out->argb[std::size_t(y) * width + x] = argb;
        }
    }
    if (bits == 32 && anyAlpha) return true;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::size_t row = std::size_t(mask + maskStride * std::uint64_t(height - 1 - y));
        for (std::int32_t x = 0; x < width; ++x) {
            std::uint32_t& p = out->argb[std::size_t(y) * width + x];
            const bool transparent = hasMask && ((std::uint8_t(block[row + x / 8]) >> (7 - x % 8)) & 1);
            p = transparent ? 0 : (p | 0xFF000000u);
        }
    }
    return true;
}

}  // namespace

bool IconImage::HasTransparency() const {
    for (std::uint32_t p : argb)
        if ((p >> 24) != 0xFF) return true;
    return false;
}

int IconImageCount(std::string_view file) {
    if (file.size() < 6 || Le16(file, 0) != 0) return 0;
    const std::uint32_t type = Le16(file, 2);
    if (type != 1 && type != 2) return 0;
    const std::uint32_t count = Le16(file, 4);
    if (count == 0 || !Fits(file, 6, std::uint64_t(count) * 16)) return 0;
    return int(count);
}

bool IconDecodeImage(std::string_view file, int index, IconImage* out) {
    if (!out) return false;
    *out = IconImage{};
    const std::string_view block = ImageBlock(file, index);
    if (block.size() < 8) return false;
    static const char kPngSignature[] = "\x89PNG\r\n\x1a\n";
    const bool ok = block.substr(0, 8) == std::string_view(kPngSignature, 8) ? DecodePng(block, out)
                                                                              : DecodeBitmap(block, out);
    if (!ok) *out = IconImage{};
    return ok;
}
