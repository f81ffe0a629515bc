#include "media/readers/raw/RawTestFiles.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <jpeglib.h>
#include <tiffio.h>

namespace rawtest {

Bytes MakeJpeg(int width, int height, Rgb colour) {
    jpeg_compress_struct c{};
    jpeg_error_mgr jerr{};
    c.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = JDIMENSION(width);
    c.image_height = JDIMENSION(height);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<std::uint8_t> row(std::size_t(width) * 3);
    for (int x = 0; x < width; ++x) {
        row[3 * x] = colour.r;
        row[3 * x + 1] = colour.g;
        row[3 * x + 2] = colour.b;
    }
    while (c.next_scanline < c.image_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes bytes(out, out + size);
    std::free(out);
    return bytes;
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

namespace {

void SetRgbThumbnail(TIFF* tif, const DngSpec& spec) {
    const int w = 16, h = 12;
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_REDUCEDIMAGE);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, h);
    if (spec.drawableThumbnail) {
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    } else {
        // Linear raw samples that no plain TIFF reader draws.
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, 34892);
    }
}

void WriteThumbnailPixels(TIFF* tif, const DngSpec& spec) {
    const int w = 16, h = 12;
    if (spec.drawableThumbnail) {
        std::vector<std::uint8_t> pixels(std::size_t(w) * h * 3);
        for (std::size_t i = 0; i < pixels.size(); i += 3) {
            pixels[i] = spec.thumbnailColour.r;
            pixels[i + 1] = spec.thumbnailColour.g;
            pixels[i + 2] = spec.thumbnailColour.b;
        }
        TIFFWriteEncodedStrip(tif, 0, pixels.data(), tmsize_t(pixels.size()));
    } else {
        std::vector<std::uint16_t> pixels(std::size_t(w) * h * 3, 1000);
        TIFFWriteEncodedStrip(tif, 0, pixels.data(), tmsize_t(pixels.size() * 2));
    }
}

// XYZ (D65) to linear sRGB: the test camera sees in sRGB primaries.
const float kColorMatrix[9] = {3.2406f, -1.5372f, -0.4986f, -0.9689f, 1.8758f, 0.0415f, 0.0557f, -0.2040f, 1.0570f};

}  // namespace

void WriteTestDng(const std::string& path, const DngSpec& spec) {
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif) throw std::runtime_error("cannot create " + path);
    const int subIfdCount = spec.preview ? 2 : 1;
    // IFD0: the thumbnail with the DNG tags.
    SetRgbThumbnail(tif, spec);
    static const std::uint8_t kVersion[4] = {1, 4, 0, 0};
    TIFFSetField(tif, TIFFTAG_DNGVERSION, kVersion);
    TIFFSetField(tif, TIFFTAG_MAKE, "Lyrex");
    TIFFSetField(tif, TIFFTAG_MODEL, "Test Camera");
    TIFFSetField(tif, TIFFTAG_UNIQUECAMERAMODEL, "Lyrex Test Camera");
    TIFFSetField(tif, TIFFTAG_ORIENTATION, spec.orientation);
    TIFFSetField(tif, TIFFTAG_COLORMATRIX1, 9, kColorMatrix);
    TIFFSetField(tif, TIFFTAG_CALIBRATIONILLUMINANT1, 21);
    static const float kNeutral[3] = {1.0f, 1.0f, 1.0f};
    TIFFSetField(tif, TIFFTAG_ASSHOTNEUTRAL, 3, kNeutral);
    toff_t subOffsets[2] = {0, 0};
    TIFFSetField(tif, TIFFTAG_SUBIFD, subIfdCount, subOffsets);
    WriteThumbnailPixels(tif, spec);
    TIFFWriteDirectory(tif);

    // SubIFD 1: the Bayer mosaic (red, green / green, blue) of the two-colour scene.
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, 0);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, spec.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, spec.height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, 32803);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, spec.height);
    static const std::uint16_t kRepeat[2] = {2, 2};
    TIFFSetField(tif, TIFFTAG_CFAREPEATPATTERNDIM, kRepeat);
    static const std::uint8_t kPattern[4] = {0, 1, 1, 2};
    TIFFSetField(tif, TIFFTAG_CFAPATTERN, 4, kPattern);
    const std::uint32_t white = 4095;
    TIFFSetField(tif, TIFFTAG_WHITELEVEL, 1, &white);
    std::vector<std::uint16_t> mosaic(std::size_t(spec.width) * spec.height);
    for (int y = 0; y < spec.height; ++y)
        for (int x = 0; x < spec.width; ++x) {
            const Rgb& c = x < spec.width / 2 ? spec.left : spec.right;
            const int site = (y & 1) * 2 + (x & 1);  // 0 red, 1 and 2 green, 3 blue
            const std::uint8_t v = site == 0 ? c.r : site == 3 ? c.b : c.g;
            mosaic[std::size_t(y) * spec.width + x] = std::uint16_t(v * 4095 / 255);
        }
    TIFFWriteEncodedStrip(tif, 0, mosaic.data(), tmsize_t(mosaic.size() * 2));
    TIFFWriteDirectory(tif);

    if (spec.preview) {
        // SubIFD 2: the camera's JPEG preview, stored whole as one strip.
        const Bytes jpeg = MakeJpeg(spec.previewWidth, spec.previewHeight, spec.previewColour);
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_REDUCEDIMAGE);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, spec.previewWidth);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, spec.previewHeight);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, 7);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, spec.previewHeight);
        TIFFWriteRawStrip(tif, 0, const_cast<std::uint8_t*>(jpeg.data()), tmsize_t(jpeg.size()));
        TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
}

namespace {

void Put16(Bytes& b, std::uint16_t v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}

struct HeapEntry {
    std::uint16_t tag;
    Bytes data;                 // stored in the heap
    bool inEntry = false;       // the size and offset fields hold the value
    std::uint32_t size = 0, offset = 0;
};

// A little-endian CIFF heap: the records, then the directory, then the directory's offset.
Bytes Heap(const std::vector<HeapEntry>& entries) {
    Bytes heap;
    std::vector<std::uint32_t> offsets;
    for (const auto& e : entries) {
        offsets.push_back(std::uint32_t(heap.size()));
        heap.insert(heap.end(), e.data.begin(), e.data.end());
    }
    const std::uint32_t directory = std::uint32_t(heap.size());
    Put16(heap, std::uint16_t(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Put16(heap, entries[i].tag);
        Put32(heap, entries[i].inEntry ? entries[i].size : std::uint32_t(entries[i].data.size()));
        Put32(heap, entries[i].inEntry ? entries[i].offset : offsets[i]);
    }
    Put32(heap, directory);
    return heap;
}

Bytes Shorts(std::initializer_list<std::pair<int, std::int16_t>> values, int count) {
    Bytes b(std::size_t(count) * 2, 0);
    for (auto [index, v] : values) {
        b[2 * index] = std::uint8_t(v);
        b[2 * index + 1] = std::uint8_t(std::uint16_t(v) >> 8);
    }
    return b;
}

}  // namespace

Bytes MakeCrw(const CrwSpec& s) {
    Bytes info;
    for (std::uint32_t v : {s.width, s.height, 0x3F800000u, s.rotation, 12u, 48u, 0u}) Put32(info, v);
    Bytes names(s.make.begin(), s.make.end());
    names.push_back(0);
    names.insert(names.end(), s.model.begin(), s.model.end());
    names.resize(64, 0);
    Bytes time;
    for (std::uint32_t v : {s.captureTime, 0u, 0u}) Put32(time, v);
    std::vector<HeapEntry> inner = {
        {0x1810, info},
        {0x080A, names},
        {0x102A, Shorts({{2, s.baseIso}, {4, s.aperture}, {5, s.exposureTime}, {6, s.compensation}, {7, s.whiteBalance}}, 8)},
        {0x102D, Shorts({{4, s.flashMode}, {17, s.meteringMode}, {20, s.exposureMode}, {23, s.longFocal}, {24, s.shortFocal}}, 25)},
        {0x180E, time},
        {0x5029, {}, true, std::uint32_t(50) << 16, 0},
    };
    if (s.colorSpace) inner.push_back({0x10B4, {}, true, s.colorSpace, 0});
    std::vector<HeapEntry> root;
    const HeapEntry small{0x2008, s.smallJpeg}, large{0x2007, s.largeJpeg};
    if (s.smallFirst) {
        if (!s.smallJpeg.empty()) root.push_back(small);
        if (!s.largeJpeg.empty()) root.push_back(large);
    } else {
        if (!s.largeJpeg.empty()) root.push_back(large);
        if (!s.smallJpeg.empty()) root.push_back(small);
    }
    root.push_back({0x300A, Heap(inner)});
    Bytes file = {'I', 'I'};
    Put32(file, 26);
    for (char c : std::string("HEAPCCDR")) file.push_back(std::uint8_t(c));
    Put32(file, 0x00010002);
    file.resize(26, 0);
    const Bytes heap = Heap(root);
    file.insert(file.end(), heap.begin(), heap.end());
    return file;
}

Bytes MakeX3f(const X3fSpec& s) {
    Bytes file;
    for (char c : std::string("FOVb")) file.push_back(std::uint8_t(c));
    Put32(file, s.version);
    file.resize(28, 0);
    Put32(file, s.columns);
    Put32(file, s.rows);
    Put32(file, s.rotation);
    if (s.version > 0x00020000) file.resize(file.size() + 192, 0);
    struct Entry {
        std::uint32_t offset, length;
        const char* type;
    };
    std::vector<Entry> entries;
    for (const auto& image : s.images) {
        const std::uint32_t at = std::uint32_t(file.size());
        const std::uint32_t rowSize = image.columns * 3 + 2;
        for (char c : std::string("SECi")) file.push_back(std::uint8_t(c));
        for (std::uint32_t v : {0x00020000u, image.type, image.format, image.columns, image.rows, rowSize}) Put32(file, v);
        for (std::uint32_t y = 0; y < image.rows; ++y) {
            for (std::uint32_t x = 0; x < image.columns; ++x) {
                file.push_back(image.colour.r);
                file.push_back(image.colour.g);
                file.push_back(image.colour.b);
            }
            file.push_back(0xEE);
            file.push_back(0xEE);
        }
        entries.push_back({at, std::uint32_t(file.size()) - at, "IMA2"});
    }
    if (!s.properties.empty()) {
        const std::uint32_t at = std::uint32_t(file.size());
        Bytes section;
        for (char c : std::string("SECp")) section.push_back(std::uint8_t(c));
        Put32(section, 0x00020000);
        Put32(section, std::uint32_t(s.properties.size()));
        section.resize(24, 0);
        Bytes chars;
        auto addText = [&](const std::string& text) {
            const std::uint32_t index = std::uint32_t(chars.size() / 2);
            for (char c : text) Put16(chars, std::uint16_t(std::uint8_t(c)));
            Put16(chars, 0);
            return index;
        };
        for (const auto& [name, value] : s.properties) {
            Put32(section, addText(name));
            Put32(section, addText(value));
        }
        section.insert(section.end(), chars.begin(), chars.end());
        file.insert(file.end(), section.begin(), section.end());
        entries.push_back({at, std::uint32_t(section.size()), "PROP"});
    }
    const std::uint32_t directory = std::uint32_t(file.size());
    for (char c : std::string("SECd")) file.push_back(std::uint8_t(c));
    Put32(file, 0x00020000);
    Put32(file, std::uint32_t(entries.size()));
    for (const auto& e : entries) {
        Put32(file, e.offset);
        Put32(file, e.length);
        for (int i = 0; i < 4; ++i) file.push_back(std::uint8_t(e.type[i]));
    }
    Put32(file, directory);
    return file;
}

namespace {

Bytes Le32(std::uint32_t v) { return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)}; }

}  // namespace

TiffEntry TiffLong(std::uint16_t tag, std::uint32_t value) { return {tag, 4, 1, Le32(value)}; }
TiffEntry TiffLongs(std::uint16_t tag, const std::vector<std::uint32_t>& values) {
    Bytes b;
    for (std::uint32_t v : values) Put32(b, v);
    return {tag, 4, std::uint32_t(values.size()), b};
}
TiffEntry TiffShort(std::uint16_t tag, std::uint16_t value) { return {tag, 3, 1, {std::uint8_t(value), std::uint8_t(value >> 8)}}; }
TiffEntry TiffAscii(std::uint16_t tag, const std::string& text) {
    Bytes b(text.begin(), text.end());
    b.push_back(0);
    return {tag, 2, std::uint32_t(b.size()), b};
}
TiffEntry TiffUndefined(std::uint16_t tag, const Bytes& bytes) { return {tag, 7, std::uint32_t(bytes.size()), bytes}; }
TiffEntry TiffRational(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator) {
    Bytes b;
    Put32(b, numerator);
    Put32(b, denominator);
    return {tag, 5, 1, b};
}

TiffBuilder::TiffBuilder() : bytes_{'I', 'I', 42, 0, 0, 0, 0, 0} {}

std::uint32_t TiffBuilder::Add(const Bytes& blob) {
    if (bytes_.size() & 1) bytes_.push_back(0);
    const std::uint32_t at = std::uint32_t(bytes_.size());
    bytes_.insert(bytes_.end(), blob.begin(), blob.end());
    return at;
}

std::uint32_t TiffBuilder::AddIfd(const std::vector<TiffEntry>& entries, std::uint32_t next) {
    std::vector<Bytes> fields;
    for (const auto& e : entries) fields.push_back(e.value.size() <= 4 ? e.value : Le32(Add(e.value)));
    if (bytes_.size() & 1) bytes_.push_back(0);
    const std::uint32_t at = std::uint32_t(bytes_.size());
    Put16(bytes_, std::uint16_t(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Put16(bytes_, entries[i].tag);
        Put16(bytes_, entries[i].type);
        Put32(bytes_, entries[i].count);
        Bytes field = fields[i];
        field.resize(4, 0);
        bytes_.insert(bytes_.end(), field.begin(), field.end());
    }
    Put32(bytes_, next);
    return at;
}

void TiffBuilder::SetFirstIfd(std::uint32_t offset) {
    for (int i = 0; i < 4; ++i) bytes_[4 + i] = std::uint8_t(offset >> (8 * i));
}

}  // namespace rawtest
