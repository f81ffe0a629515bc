// Seattle Filmworks pictures ('SFW ', 'SFWI'): JPEG streams whose marker bytes were replaced and
// whose Huffman tables were left out. They are turned back into a standard JPEG (markers mapped
// back, the standard tables put in) and read as one; the stored picture is upside down. A
// built-in reader, registered by the family only for edition codes 200 and 500.
#pragma once

#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

#include <string>
#include <string_view>

// 'SFW ' and 'SFWI' "Seattle Filmworks", category Image.
void KindRegisterSeattleFilmworks();
bool IsSeattleFilmworksType(OSType type);

// The standard JPEG for the bytes of a Seattle Filmworks file; empty when they cannot be
// converted. Every segment length is checked against the data.
std::string SfwToJpeg(std::string_view bytes);

OSErr SfwGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* picture);
OSErr SfwMakeThumbnail(const FSSpec* spec, GWorldPtr* picture, UInt16 orientation);
