// The text kinds (handler 8): plain text files shown as a page of text, registered by the kind
// engine only for edition codes 200 and 500. The text is normalised (leading blanks and control
// bytes dropped, every line break one CR) and laid out with pango in the engine's text preview
// font and size, black on white, framed.
#pragma once

#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

#include <string>

// Answer for word-processor documents whose text this platform never supplies.
inline constexpr OSErr kTextDocumentErr = -8962;
// At most this many characters are laid out; a longer text shows "....." at the bottom.
inline constexpr std::size_t kTextPageCharacters = 10000;

enum : UInt8 { kLineEndingMac = 1, kLineEndingUnix = 2, kLineEndingDos = 3 };

// 'TEXT', 'TXT ', 'ttro' "Text" and 'CWWP' "AppleWorks Document", category Text.
void KindRegisterText();

// The page size of text thumbnails (400 x 400 until set); an empty size or one above 640 in
// either dimension draws 640 x 640.
void TextSetThumbnailPageSize(SInt16 width, SInt16 height);

struct NormalizedText {
    std::string text;       // line breaks as CR
    UInt8 lineEnding = 0;   // kLineEnding...
    UInt32 lines = 0;       // 1 + the line breaks
    UInt32 characters = 0;  // the file's bytes without CR and LF
};
// Normalises the bytes of a text file.
NormalizedText NormalizeText(std::string_view bytes);
// The file's text; *err is -8962 for 'CWWP' documents, the read's error otherwise.
NormalizedText LoadNormalizedText(const FSSpec* spec, OSType type, OSErr* err);
// The name of a line-ending style: "Macintosh", "UNIX" or "DOS".
const char* LineEndingName(UInt8 style);

// Draws the text on a white page of width x height, framed, into a new 32-bit offscreen.
OSErr DrawTextPage(const std::string& text, SInt16 width, SInt16 height, GWorldPtr* offscreen);

OSErr TextGetInfo(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, GWorldPtr* offscreen, UserData metadata,
                  Handle* colorProfile, UInt32 optionA, UInt32 optionB, SInt32 size);
OSErr TextMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, OSType type, UInt32* imageIndex,
                        UInt16 orientation);
