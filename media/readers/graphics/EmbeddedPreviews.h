// Preview images stored inside image files: the EXIF thumbnail of a JPEG file and the
// thumbnail resource of Photoshop image resources.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "platform/imaging/GWorld.h"

// The EXIF thumbnail named by the metadata list (compression 6 and the offset and length of
// IFD 1) decoded into a new 32-bit offscreen. -192 when the file has none.
OSErr ExifThumbnailFromFile(const FSSpec* spec, UserData metadata, GWorldPtr* out);
// The first thumbnail resource (1033 or 1036) of a Photoshop resource block decoded into a
// new 32-bit offscreen (1033 stores blue and red exchanged). -192 when there is none, -8962
// when it is not stored as JPEG.
OSErr PhotoshopThumbnail(Handle resources, GWorldPtr* out);
// Decodes JPEG data in memory into a new 32-bit offscreen at its own size.
OSErr DecodeJpegToOffscreen(const void* data, std::size_t size, GWorldPtr* out);
