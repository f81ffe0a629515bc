// JPEG through libjpeg-turbo: the decoder behind the JPEG importer and the JPEG image
// compressor of pictures and exporters.
#pragma once

#include "platform/MacTypes.h"

#include <cstdint>
#include <vector>

// Compresses 32-bit pixels (blue, green, red, unused) as a baseline JFIF stream at the given
// libjpeg quality (1-100) with the resolution in dots per inch in its header.
OSErr JpegEncodeBGRX(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                     std::ptrdiff_t stride, int quality, int dpi, std::vector<std::uint8_t>* out);
// The same with separate horizontal and vertical resolutions and an ICC profile to embed
// (profile may be null).
OSErr JpegEncodeBGRXWithProfile(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                                std::ptrdiff_t stride, int quality, int hDpi, int vDpi, const std::uint8_t* profile,
                                std::size_t profileSize, std::vector<std::uint8_t>* out);
// Same from one-byte grey pixels.
OSErr JpegEncodeGray(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                     std::ptrdiff_t stride, int quality, int dpi, std::vector<std::uint8_t>* out);

// The libjpeg quality that stands for an image-compression quality of 0 (lowest) to 0x3FF
// (lossless): the range is spread linearly over 1..100, so codecHighQuality (0x300) is 75.
int JpegQualityFromCodecQuality(std::uint32_t codecQuality);

// The smallest DCT scale (numerator over 8) at which an image of w x h still covers wantW x wantH.
int JpegScaleNumerator(std::int32_t w, std::int32_t h, std::int32_t wantW, std::int32_t wantH);
