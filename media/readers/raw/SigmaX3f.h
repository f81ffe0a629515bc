// The Sigma X3F reader: the uncompressed preview image an X3F file holds becomes the item's
// picture, and the camera settings of its property list become EXIF metadata items. The
// directory, section headers and property list are bounds-checked against the file.
#pragma once

#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "platform/imaging/GWorld.h"

#include <string>

OSErr X3fGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata);
OSErr X3fMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation);
// Reads the file: facts into info (may be null), the preview into *offscreen, the properties
// into the list (may be null).
OSErr X3fRead(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata);
// One property of the list as the reader maps it (ANSI texts).
void X3fApplyProperty(const std::string& name, const std::string& value, UserData metadata);
