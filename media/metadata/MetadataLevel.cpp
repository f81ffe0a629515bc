#include "media/metadata/MetadataLevel.h"

namespace {
SInt16 gFormatLevel = 200;
}

void MetadataSetFormatLevel(SInt16 level) { gFormatLevel = level; }
SInt16 MetadataFormatLevel() { return gFormatLevel; }
