// XMP packets in PNG files: international text chunks ('iTXt') with the keyword
// "XML:com.adobe.xmp".
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"

// Walks the chunks and adds one 'XMP ' item per XMP chunk, in file order (a compressed text is
// inflated). noErr when the walk reached 'IEND'; kBadMediaDataErr without the PNG signature;
// the read error (eofErr) when the file ends first. Items added before an error stay.
OSErr ScanXmpPacket(const FSSpec* spec, UserData metadata);
