// QuickDraw pictures (PICT): a 16-bit size word, the frame rectangle (big-endian), then
// drawing opcodes. We write the two kinds the program stores (a 32-bit pixel image, and an
// image compressed by a codec such as JPEG inside the compressed-QuickTime opcode) and read
// the pixel-image kinds a picture file can hold (bit maps, pixel maps with or without colour
// tables, direct pixels, compressed images), skipping the drawing opcodes we do not render.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"
#include "platform/imaging/ImageDescription.h"

#include <cstdint>
#include <vector>

using PicHandle = Handle;

inline constexpr std::size_t kPictFileHeaderSize = 512;

// The frame stored at bytes 2..9, in host order; false for a picture too short to hold one.
bool GetPictureFrame(PicHandle pic, Rect* frame);
bool GetPictureFrameBytes(const std::uint8_t* data, std::size_t size, Rect* frame);

// Records 32-bit pixels (blue, green, red, unused; width x height) as a version 2 picture of
// one direct-pixels opcode, at the resolution (both axes), with the frame (0,0,h,w).
OSErr RecordPixelsPicture(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                          std::ptrdiff_t stride, Fixed resolution, PicHandle* out);
// Records a compressed image (description and data) as a version 2 picture of one
// compressed-QuickTime opcode, at the resolution, with the frame (0,0,height,width).
OSErr RecordCompressedPicture(const ImageDescriptionRec& desc, const std::uint8_t* data, std::size_t size,
                              Fixed resolution, PicHandle* out);

// What a picture holds, as far as reading it is concerned.
struct PictureFacts {
    Rect frame{};
    int version = 0;           // 1 or 2
    Fixed hRes = 72 << 16;     // from the version 2 header, else 72
    Fixed vRes = 72 << 16;
    int maxPixelSize = 0;      // deepest pixel image met (bits)
    OSType compressedCodec = 0;  // codec of the first compressed image, 0 when none
    bool hasImage = false;
};
// Walks the opcodes without drawing. `data` is the picture without any file header.
OSErr ExaminePicture(const std::uint8_t* data, std::size_t size, PictureFacts* facts);

// Draws the picture at its frame size into a 32-bit buffer (blue, green, red, unused) that the
// caller filled with the background first; width and height are the frame's.
OSErr RenderPicture(const std::uint8_t* data, std::size_t size, std::uint8_t* pixels, std::int32_t width,
                    std::int32_t height, std::ptrdiff_t stride);

// Draws a picture into a 32-bit world, its frame mapped onto dstRect (in the world's port
// coordinates; the frame itself when null), scaled when the sizes differ. Pixels outside the
// picture's images keep what the world held.
OSErr DrawPicture(PicHandle pic, GWorldPtr world, const Rect* dstRect);

// Finds the start of the picture in the bytes of a picture file: 0 when the picture begins at
// once, 512 when the file carries the usual header; -1 when neither looks like a picture.
long PictureStartInFile(const std::uint8_t* data, std::size_t size);
