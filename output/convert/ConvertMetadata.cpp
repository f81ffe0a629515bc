#include "output/convert/ConvertMetadata.h"

#include "media/metadata/JpegMetadata.h"
#include "media/metadata/TiffWriter.h"

#include <cstring>
#include <fstream>

std::vector<std::uint8_t> ReadJpegExifSegment(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    auto byte = [&]() { return in.get(); };
    if (byte() != 0xFF || byte() != 0xD8) return {};
    for (;;) {
        int m = byte();
        if (m != 0xFF) return {};
        do m = byte(); while (m == 0xFF);
        if (m < 0 || m == 0xDA || m == 0xD9) return {};   // image data or the end: no EXIF before it
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD7)) continue;
        const int hi = byte(), lo = byte();
        if (hi < 0 || lo < 0) return {};
        const int length = (hi << 8) | lo;
        if (length < 2) return {};
        std::vector<std::uint8_t> payload(std::size_t(length - 2));
        if (!in.read(reinterpret_cast<char*>(payload.data()), std::streamsize(payload.size()))) return {};
        if (m == 0xE1 && payload.size() >= 6 && std::memcmp(payload.data(), "Exif\0\0", 6) == 0) {
            std::vector<std::uint8_t> segment = {0xFF, 0xE1, std::uint8_t(hi), std::uint8_t(lo)};
            segment.insert(segment.end(), payload.begin(), payload.end());
            return segment;
        }
    }
}

bool InsertJpegSegment(std::vector<std::uint8_t>* jpeg, const std::vector<std::uint8_t>& segment) {
    if (!jpeg || jpeg->size() < 4 || (*jpeg)[0] != 0xFF || (*jpeg)[1] != 0xD8 || segment.empty()) return false;
    std::size_t at = 2;
    // JFIF readers expect APP0 right after the start of image: the segment goes behind it.
    if ((*jpeg)[2] == 0xFF && (*jpeg)[3] == 0xE0 && jpeg->size() >= 6) {
        const std::size_t length = (std::size_t((*jpeg)[4]) << 8) | (*jpeg)[5];
        if (4 + length <= jpeg->size()) at = 2 + 2 + length;
    }
    jpeg->insert(jpeg->begin() + std::ptrdiff_t(at), segment.begin(), segment.end());
    return true;
}

OSErr WriteConvertedAnnotations(const FSSpec* file, OSType format, Handle iptc) {
    if (!iptc) return noErr;
    if (format == 'JPEG') return EmbedAnnotationsInJpeg(file, iptc, nullptr);
    if (format == 'TIFF') return TiffEmbedAnnotations(file, iptc, nullptr);
    return noErr;
}
