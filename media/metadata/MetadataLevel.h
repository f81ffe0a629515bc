// The data-format level the metadata code works at. The kind engine hands it in at start-up
// (200 for this edition); it decides which EXIF walker runs and which marker the XMP reads
// give their text datasets (8-bit text below 300, UTF-8 from 300 on).
#pragma once

#include "platform/MacTypes.h"

void MetadataSetFormatLevel(SInt16 level);
SInt16 MetadataFormatLevel();
