// The Nikon NEF reader. The RAW library stands in for the vendor's browse library: its images
// are the preview stored in the file and the picture developed from the sensor data, and the
// reader picks one by the requested size as the vendor protocol did. Facts come from the
// library and the file's TIFF tags; the lens range becomes the lens text item.
#pragma once

#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "platform/imaging/GWorld.h"

#include <vector>

struct NikonImageSize {
    UInt32 width = 0, height = 0;
};

// Index (0-based) of the image to read for the requested size: starting at the first (at the
// last when the size is -1), the first whose height, or else width, is above 200 and at least
// the size; the last examined when none is. -1 for an empty list.
int NikonChooseImage(const std::vector<NikonImageSize>& images, SInt32 requestedSize);
// The format variant text of the library's compression code ("" when it names none).
const char* NikonFormatVariant(int compression);

OSErr NikonGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata, SInt32 size);
OSErr NikonMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation);
