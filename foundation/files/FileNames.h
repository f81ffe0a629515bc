// File names: extensions, their four-character types, and names not yet used in a folder.
// Names are native UTF-8 bytes in length-prefixed strings; a cut never splits a character.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"

// Replaces a 3- or 4-letter extension ("." four or five bytes from the end) with extension
// (given without the "."), or adds one; the stem is cut first so the result stays within 255
// bytes.
void ReplaceExtension(StringPtr name, const char* extension);
// The name's 1..4 letter extension as a four-character code, upper-cased and blank-padded;
// 0 when the name ends with "." or has no extension.
OSType ExtensionToOSType(ConstStr255Param name);
// Keeps name when nothing of that name is in folder; otherwise makes "stem n.ext" with n = 1,
// 2, ... until a free name is found (the stem cut so the name stays within 255 bytes). Any
// answer other than "not found" from the folder (it is missing, the name is bad) ends the
// search with that answer and leaves name as it was; so does running out of numbers.
OSErr MakeUniqueFileName(const FSSpec* folder, StringPtr name);
