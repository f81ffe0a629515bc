// TIFF files the graphics importer hands to readers of their own first: RichTIFF (two
// directories, each a single JPEG-compressed strip: the picture and a smaller preview) and
// camera TIFFs whose image lies in a SubIFD. When these answer -2053 (information) or -8962
// (thumbnail) the importer reads the file as any TIFF.
#pragma once

#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "platform/imaging/GWorld.h"

// Fills width, height, resolution, page count, colour space and depth, compression ratio and
// the format name "TIFF (RichTIFF)"; the preview strip, when the file has one, is drawn into a
// new offscreen (preview may be null). The file's tags go into the metadata list.
OSErr RichTiffGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* preview, UserData metadata);
// The full picture (the first strip) in a new offscreen.
OSErr RichTiffMakeThumbnail(const FSSpec* spec, GWorldPtr* out);
// Size and resolution from the image's SubIFD (the second of tag 0x14A when set, else the
// first), the format name "TIFF (Camera RAW)" and the compression ratio.
OSErr TiffSubIfdGetInfo(const FSSpec* spec, KindInfoRec* info, UserData metadata);
// Camera TIFFs leave their thumbnail to the importer: always -8962.
OSErr TiffCameraThumbnailRefuse(const FSSpec* spec, GWorldPtr* out, OSType request);
