// The Windows picture kinds of the built-in readers: metafiles ('EMF ', 'WMF ': enhanced and
// placeable metafiles, measured at 96 dots per inch) and icons ('ICO '), registered by the family
// only for edition codes 200 and 500. The file is read whole and its picture rendered into a
// 32-bit offscreen: at most the thumbnail size for the catalog, at its own size for the views;
// transparent parts show the engine's thumbnail background colour.
#pragma once

#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

// Answer for a file that cannot be read or holds no picture we can load.
inline constexpr OSErr kWindowsPictureOpenErr = -19;

// Registers the kinds in the family's order.
void KindRegisterWindowsPictures();

// Fills width, height, depth 32, one page and 'RGB ' and renders the picture fitted into
// size x size (never enlarged) into *offscreen (may be null: the facts only).
OSErr WindowsPictureGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, SInt16 size);
// The picture at its own size; nothing is rendered when the file cannot be opened.
OSErr WindowsPictureMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen);
