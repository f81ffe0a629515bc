// The font kinds (TrueType and OpenType files): their registration, which the kind engine runs
// only for edition codes 200 and 500, and their readers. A font is described by its family name
// from its own 'name' table; it is made available privately for the time of one call (a
// fontconfig set of its own, never the process's) and drawn with pango and cairo: a square
// sample of the family name for the catalog, a specimen with a caption for the views.
#pragma once

#include "media/kinds/KindEngine.h"
#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "platform/imaging/GWorld.h"

#include <string>

// 'TTF ' "TrueType Font" and 'OTF ' "OpenType Font", handler 4, category Font.
void KindRegisterFonts();

// The sample text by the sample choice of the settings (0 the full text, 2 the user's text,
// anything else the short text), as UTF-8.
std::string GetFontSampleText(const KindFontSample& settings);

// The styles the font file holds for the family (at least 1 for a usable font; 0 when the
// file cannot be loaded or holds no face of that family).
int CountFontStyles(const std::string& path, const std::string& family);

// Draws the sample into the rectangle of a 32-bit world: white ground, the text (UTF-8; the two
// preview letters at size 100 when the preview style is 1) in the family's first style, at the
// largest size from the start size down to 1 whose word-wrapped, centred text fits. Answers the
// size used, 0 when the font could not be used.
int DrawFontSample(GWorldPtr world, const Rect& rect, const std::string& text, const std::string& path,
                   const std::string& family, const KindFontSample& settings);

// The readers of the kind engine's handler 4. The thumbnail's image index is the style shown
// (0 becomes 1 and is written back); the specimen is drawn at its natural size.
OSErr FontGetInfo(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, GWorldPtr* offscreen, UserData metadata,
                  Handle* colorProfile, UInt32 optionA, UInt32 optionB, SInt32 size);
OSErr FontMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, OSType type, UInt32* imageIndex,
                        UInt16 orientation);
