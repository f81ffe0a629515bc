// Fonts of the view's cells, measured with pango on cairo: the line height of the plain font
// and the widths the caption labels need. Cell drawing uses the same descriptions, so what is
// measured is what is drawn.
#pragma once

#include "catalog/file/CatalogRecords.h"
#include "platform/MacTypes.h"

#include <string>

typedef struct _PangoFontDescription PangoFontDescription;

// A new description of a view font: the entry's face name (a default sans face when empty)
// at its point size (0 counts as 9), bold when asked. The caller frees it.
PangoFontDescription* ViewFontDescription(const CatalogFontEntry* font, bool bold);
// Ascent + descent + leading of the font, in pixels.
SInt16 ViewFontLineHeight(const CatalogFontEntry* font, bool bold);
// Width of a text (Windows-1252) in the font, in pixels.
SInt16 ViewFontTextWidth(const CatalogFontEntry* font, bool bold, const std::string& text);
