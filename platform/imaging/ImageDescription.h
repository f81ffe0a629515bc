// The image description: what an importer or a compressed picture says about one image
// (codec, size, resolution, depth, codec name). In memory the record is in host order; inside
// a picture it is stored big-endian, 86 bytes, followed by optional extension atoms.
#pragma once

#include "platform/MacTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct ImageDescription {
    std::int32_t idSize;          // 86 plus the extensions
    OSType cType;                 // codec type: 'jpeg', 'png ', 'tiff', 'raw ' ...
    std::int32_t resvd1;
    std::int16_t resvd2;
    std::int16_t dataRefIndex;
    std::int16_t version;
    std::int16_t revisionLevel;
    OSType vendor;
    std::uint32_t temporalQuality;
    std::uint32_t spatialQuality;
    std::int16_t width;
    std::int16_t height;
    Fixed hRes;
    Fixed vRes;
    std::int32_t dataSize;
    std::int16_t frameCount;
    unsigned char name[32];       // Str31: the codec's name
    std::int16_t depth;           // 1-32; 33-40 grey levels (depth - 32 bits)
    std::int16_t clutID;
} __attribute__((packed));
static_assert(sizeof(ImageDescription) == 86);
static_assert(offsetof(ImageDescription, width) == 32);
static_assert(offsetof(ImageDescription, dataSize) == 44);
static_assert(offsetof(ImageDescription, name) == 50);
static_assert(offsetof(ImageDescription, depth) == 82);

inline constexpr std::int32_t kImageDescriptionSize = 86;

// A description with one extension of type 'cspc' (pixel format) when that is non-zero.
struct ImageDescriptionRec {
    ImageDescription desc{};
    OSType pixelFormatExtension = 0;  // the 'cspc' extension, 0 when absent
};

// Fills a description: the codec type and name, size, resolution (dots per inch) and depth.
ImageDescription MakeImageDescription(OSType codec, const char* codecName, std::int32_t width,
                                      std::int32_t height, double hRes, double vRes,
                                      std::int16_t depth);

// To and from the stored big-endian form (86 bytes plus extension atoms). The reader checks
// that idSize covers what it reads and that the atoms lie inside it.
void ImageDescriptionToBytes(const ImageDescriptionRec& rec, std::vector<std::uint8_t>& out);
OSErr ImageDescriptionFromBytes(const std::uint8_t* data, std::size_t size, ImageDescriptionRec* rec,
                                std::size_t* consumed);

// A handle holding the record (host order), as the importers hand it to their callers.
using ImageDescriptionHandle = Handle;
ImageDescriptionHandle NewImageDescriptionHandle(const ImageDescriptionRec& rec);
bool GetImageDescriptionRec(ImageDescriptionHandle h, ImageDescriptionRec* rec);
