// QuarkXPress documents ('QXD ', 'XDOC'), catalogued from the text block a companion extension
// appends when the document is saved: the page count, the page size and one JPEG preview per
// page, each as a tagged element. The layout itself is never read. A built-in reader
// registered by the family only for edition codes 200 and 500.
#pragma once

#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

#include <string_view>

enum : OSErr {
    kQuarkNoBlockErr = -192,
};

void KindRegisterQuarkXPress();
bool IsQuarkXPressType(OSType type);

// True when `tag` starts at *position of the block: *position moves to the value's first byte
// and *end to where the matching closing tag begins (the block's end when it has none).
bool XtFindTagValue(std::string_view tag, std::string_view block, std::size_t* position, std::size_t* end);
// The decimal integer at the start of the text (blanks skipped; 0 when there is none).
SInt32 XtParseInt(std::string_view text);

// Reads the block: into info (page count, page size in pixels at 72 dpi) when one is given, and
// the wanted preview (1-based; the first when wanted is null) into *offscreen when the block
// holds that many. -192 without a block, file errors as they come.
OSErr ReadQuarkXPressPreview(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, const UInt32* wanted);

OSErr QuarkGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen);
// The wanted preview (the first when null), turned by the orientation code.
OSErr QuarkMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, UInt16 orientation, const UInt32* wanted);
