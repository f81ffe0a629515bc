// Small images of a known pattern in every format the importers read, written by the tests
// themselves: a w x h picture split into four quadrants (top-left red, top-right green,
// bottom-left blue, bottom-right white; grey formats 0, 85, 170, 255).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fixtures {

struct Rgb {
    std::uint8_t r, g, b;
};

// The colour the pattern has at (x, y); grey patterns use Grey().
Rgb Quadrant(int x, int y, int w, int h);
std::uint8_t Grey(int x, int y, int w, int h);

enum class JpegKind { Rgb, Grey, AdobeCmyk };
std::string Jpeg(int w, int h, JpegKind kind = JpegKind::Rgb, int quality = 95, int dpi = 0);
// A JPEG whose scan data is cut after `keep` bytes (header intact).
std::string Truncate(const std::string& bytes, std::size_t keep);

enum class PngKind { Rgb, RgbaHalfTransparent, Grey, Palette, Interlaced };
std::string Png(int w, int h, PngKind kind, int dpi = 0);

enum class TiffKind { RgbStrips, RgbTiled, Cmyk, Grey, Rgb16 };
// Written through libtiff into the file; `pages` directories of the same pattern.
void Tiff(const std::string& path, int w, int h, TiffKind kind, int pages = 1, int dpi = 0,
          const std::vector<std::uint8_t>& icc = {});

std::string Gif(int w, int h);

enum class BmpKind { Rgb24BottomUp, Rgb24TopDown, Palette8, Rle8, BitFields16, Rgb32 };
std::string Bmp(int w, int h, BmpKind kind);

std::string Targa(int w, int h, bool rle, bool topDown);
std::string Sgi(int w, int h, bool rle);
// A MacPaint document: the top-left 288 x 360 black, the rest white.
std::string MacPaint(bool macBinaryHeader);
enum class PsdKind { RgbRaw, RgbRle, CmykRle, Grey };
std::string Photoshop(int w, int h, PsdKind kind);
// A QuickTime Image holding a JPEG of the pattern.
std::string QuickTimeImage(int w, int h);

std::string WriteFile(const std::string& path, const std::string& bytes);

}  // namespace fixtures
