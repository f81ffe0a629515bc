// Small camera RAW files the RAW reader tests write themselves: JPEG bytes of one colour, DNG
// files through libtiff (a Bayer mosaic of a two-colour scene, an embedded JPEG preview, a
// small thumbnail), and byte-built CRW and X3F files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rawtest {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    std::uint8_t r, g, b;
};

Bytes MakeJpeg(int width, int height, Rgb colour);
void WriteBytes(const std::string& path, const Bytes& bytes);
Bytes ReadBytes(const std::string& path);

// The scene of a DNG mosaic: the left half in one colour, the right half in the other.
struct DngSpec {
    int width = 64, height = 48;
    std::uint16_t orientation = 1;
    Rgb left{230, 30, 30}, right{30, 30, 230};
    bool preview = true;            // a second SubIFD holding a JPEG preview
    Rgb previewColour{20, 200, 40};
    int previewWidth = 40, previewHeight = 30;
    bool drawableThumbnail = true;  // IFD0 an 8-bit RGB thumbnail (else a linear one the TIFF importer refuses)
    Rgb thumbnailColour{200, 200, 20};
};
void WriteTestDng(const std::string& path, const DngSpec& spec);

// A CIFF heap file: a root heap with the JPEGs, and a sub-heap (0x300A) with the image and
// shooting facts.
struct CrwSpec {
    std::uint32_t width = 3072, height = 2048, rotation = 0;
    Bytes largeJpeg, smallJpeg;     // tags 0x2007 and 0x2008 (either may be empty)
    bool smallFirst = true;
    std::string make = "Canon", model = "Canon EOS TEST";
    std::int16_t shortFocal = 17, longFocal = 40;
    std::int16_t baseIso = 160, aperture = 128, exposureTime = 192, compensation = -16, whiteBalance = 1;
    std::int16_t flashMode = 3, meteringMode = 1, exposureMode = 2;
    std::uint32_t captureTime = 1000000000;  // 2001-09-09 01:46:40 UTC
    std::uint32_t colorSpace = 0;            // 0x10B4 (its size field) when not 0: 1 sRGB, 2 Adobe RGB
};
Bytes MakeCrw(const CrwSpec& spec);

struct X3fImageSpec {
    std::uint32_t columns, rows;
    Rgb colour;
    std::uint32_t type = 2, format = 3;
};
struct X3fSpec {
    std::uint32_t version = 0x00020001;
    std::uint32_t columns = 2268, rows = 1512, rotation = 0;
    std::vector<X3fImageSpec> images;
    std::vector<std::pair<std::string, std::string>> properties;
};
Bytes MakeX3f(const X3fSpec& spec);

// Little-endian TIFF structures built byte by byte: blobs are appended (kept at even offsets),
// directories are written from entries whose values longer than four bytes go out of line.
struct TiffEntry {
    std::uint16_t tag, type;
    std::uint32_t count;
    Bytes value;  // count x the type's size bytes
};
TiffEntry TiffLong(std::uint16_t tag, std::uint32_t value);
TiffEntry TiffLongs(std::uint16_t tag, const std::vector<std::uint32_t>& values);
TiffEntry TiffShort(std::uint16_t tag, std::uint16_t value);
TiffEntry TiffAscii(std::uint16_t tag, const std::string& text);
TiffEntry TiffUndefined(std::uint16_t tag, const Bytes& bytes);
TiffEntry TiffRational(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator);

class TiffBuilder {
public:
    TiffBuilder();  // "II", 42, first directory at 0 until set
    std::uint32_t Add(const Bytes& blob);
    // Writes a directory (entries sorted by tag as given) and answers its offset.
    std::uint32_t AddIfd(const std::vector<TiffEntry>& entries, std::uint32_t next = 0);
    void SetFirstIfd(std::uint32_t offset);
    std::uint32_t Size() const { return std::uint32_t(bytes_.size()); }
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

}  // namespace rawtest
