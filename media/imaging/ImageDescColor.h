// The colour space and bit depth an image description stands for.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/ImageDescription.h"

// depth: the description's depth, less 32 above 32 (grey levels). colorSpace by the 'cspc'
// pixel format when present, else by the depth: 'RGB ', 'CMYK', 'GRAY', 'INDX', 'BW  ', or 0.
void ImageDescGetColorSpace(const ImageDescriptionRec& desc, UInt32* depth, OSType* colorSpace);
// The same over a description handle (either out may be null).
void ImageDescriptionColorInfo(ImageDescriptionHandle desc, OSType* colorSpace, UInt32* depth);
