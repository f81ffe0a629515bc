// Kodak PhotoCD image packs ('kpcd', 'PCDI', 'PCD '), a built-in reader registered by the
// family only for edition codes 200 and 500. Our own decoder reads the three resolutions that
// a pack stores plainly (192 x 128, 384 x 256 and the 768 x 512 base, in luminance and
// chrominance rows); a larger picture is the base enlarged to the asked size, since the finer
// levels are stored as compressed differences we do not read.
#pragma once

#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "platform/imaging/GWorld.h"

#include <string_view>

enum : OSErr {
    kPhotoCDDescriptionErr = -8970,  // no description of the asked size could be made
};

void KindRegisterPhotoCD();
bool IsPhotoCDType(OSType type);

// The resolution the thumbnails decode at: 1 768 x 512, 2 1536 x 1024, 3 3072 x 2048 (the
// default); any other value chooses by the asked size.
void PhotoCDSetResolution(UInt8 choice);
UInt8 PhotoCDGetResolution();

// The picture size for the resolution choice, or for the asked size when the choice is none of
// 1 to 3: up to 192 -> 192 x 128, 384 -> 384 x 256, 768 -> 768 x 512, 1536 -> 1536 x 1024,
// else 3072 x 2048.
void PhotoCDPictureSize(UInt8 choice, SInt32 size, int* width, int* height);

// Decodes the pack's bytes at width x height (one of the sizes above) into a new 32-bit world;
// *rotation gets the pack's rotation (0 none, 1 a quarter turn counter-clockwise, 2 a half
// turn, 3 a quarter turn clockwise). kBadMediaDataErr for bytes that are no image pack or too
// short for the level they need.
OSErr PhotoCDDecode(std::string_view pack, int width, int height, GWorldPtr* offscreen, int* rotation);

OSErr PhotoCDGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata);
// At the size the resolution choice gives (by `size` when the choice is none of 1 to 3), turned
// by the orientation code.
OSErr PhotoCDMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation);
