#include "media/imaging/ImageDescColor.h"

#include "platform/imaging/GWorld.h"

void ImageDescGetColorSpace(const ImageDescriptionRec& rec, UInt32* depthOut, OSType* spaceOut) {
    std::int16_t stored = rec.desc.depth;
    UInt32 depth = UInt32(stored > 32 ? stored - 32 : stored < 0 ? 0 : stored);
    OSType space = 0;
    OSType format = rec.pixelFormatExtension;
    switch (format) {
    case 0:
        space = stored > 32 ? 'GRAY' : stored > 8 ? 'RGB ' : stored == 1 ? 'BW  ' : 'INDX';
        break;
    case 1:
        space = 'BW  ';
        break;
    case 2: case 4: case 8:
        space = 'INDX';
        break;
    case 16: case 24: case 32:
        space = 'RGB ';
        break;
    case 34: case 36: case 40:
        space = 'GRAY';
        break;
    case 'b48r': case 'r84b':
        space = 'RGB ';
        depth = 48;
        break;
    case 'cmyk': case 'kymc':
        space = 'CMYK';
        break;
    default:
        space = 0;
        depth = UInt32(PixelFormatDepth(format));
        break;
    }
    if (depthOut) *depthOut = depth;
    if (spaceOut) *spaceOut = space;
}

void ImageDescriptionColorInfo(ImageDescriptionHandle desc, OSType* colorSpace, UInt32* depth) {
    ImageDescriptionRec rec;
    if (!GetImageDescriptionRec(desc, &rec)) {
        if (colorSpace) *colorSpace = 0;
        if (depth) *depth = 0;
        return;
    }
    ImageDescGetColorSpace(rec, depth, colorSpace);
}
