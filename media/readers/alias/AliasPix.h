// Alias Pix pictures ('ALS ', 'APIX'): a 10-byte big-endian header and run-length data, 24-bit
// pictures with an optional 8-bit matte in a ".msk" file beside an ".als" one. A built-in
// reader, registered by the family only for edition codes 200 and 500. Runs never write past
// the picture, and data that ends early leaves the rest of the picture black.
#pragma once

#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

inline constexpr OSErr kAliasPixSizeErr = -8960;   // width or height below 1
inline constexpr OSErr kAliasPixDepthErr = -8961;  // bits per pixel other than asked

// 'ALS ' and 'APIX' "Alias Pix", category Image.
void KindRegisterAliasPix();
bool IsAliasPixType(OSType type);

// Decodes the file as a 24-bit picture into a new *picture, or (bits 8) as a matte over the
// picture already in *picture, blending towards the thumbnail background colour. Width,
// height and depth are reported where asked (each may be null).
OSErr AliasPixDecode(SInt16 bits, const FSSpec* spec, GWorldPtr* picture, UInt32* width, UInt32* height,
                     UInt32* depth);
// The picture with the matte of the same name ending in ".msk" applied when the file's name
// ends in ".als" and that file exists.
OSErr AliasPixRead(const FSSpec* spec, GWorldPtr* picture, UInt32* width, UInt32* height, UInt32* depth);

OSErr AliasPixGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* picture);
OSErr AliasPixMakeThumbnail(const FSSpec* spec, GWorldPtr* picture, UInt16 orientation);
