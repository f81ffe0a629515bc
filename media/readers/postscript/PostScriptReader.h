// The PostScript kinds (handler 6): PostScript, EPS and Illustrator files, registered by the
// kind engine only for edition codes 200 and 500. Their information comes from the header
// comments; their pictures from, in turn, the DOS EPS preview, the page drawn by Ghostscript,
// and the Illustrator thumbnail or Photoshop preview inside the comments. PDF files (and the
// PDF-compatible Illustrator files that are recognised as PDF) are the document readers' own.
#pragma once

#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

// Answer for PDF files and while the readers are switched off.
inline constexpr OSErr kPostScriptRefusedErr = -8961;

// 'EPSF', 'EPSP', 'EPS ' "PostScript" and 'AI  ' "Adobe Illustrator", category Illustration;
// switches the readers on.
void KindRegisterPostScript();
// The process-wide switch of the readers: 1 on (set by the registration), anything else off.
UInt8& EpsEnabled();

// The preview of the file: the DOS EPS preview, else the first page drawn by Ghostscript
// cropped to the bounding box (width x height points; the box is read from the file when
// both are 0) with its longer side `side` pixels. Nothing is made when neither works.
OSErr EpsRenderPreview(const FSSpec* spec, double boxWidth, double boxHeight, SInt32 side, GWorldPtr* preview);

OSErr PostScriptGetInfo(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, GWorldPtr* offscreen,
                        UserData metadata, Handle* colorProfile, UInt32 optionA, UInt32 optionB, SInt32 size);
OSErr PostScriptMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, OSType type, UInt32* imageIndex,
                              UInt16 orientation);
