// The text of the page bands, measured and drawn with pango on cairo in points: the band's
// face (from its font number), size, bold, italic and underline, across the band or, for the
// side bands, running down the page.
#pragma once

#include "output/print/PrintSettings.h"

#include <string>

typedef struct _cairo cairo_t;

// Font numbers name faces through the program's font table, which lives with the user
// interface; it installs the lookup. Without one, or for an unknown number, the default sans
// face is used.
using PrintFontFaceProc = std::string (*)(short fontNumber);
void PrintSetFontFaceProc(PrintFontFaceProc proc);
std::string PrintFontFace(short fontNumber);

// Ascent + descent of the band's font, whole points rounded up.
int PrintBandLineHeight(const HeaderFooterBlock& band);
// Width of a UTF-8 text in the band's font, in points.
double PrintBandTextWidth(const HeaderFooterBlock& band, const std::string& utf8);
// Draws a UTF-8 text with its top-left corner at (x, y) in the band's font and text colour;
// rotated a quarter turn clockwise (running down) when down is set, (x, y) then being the
// top-right corner of the rotated line's box.
void PrintDrawBandText(cairo_t* cr, const HeaderFooterBlock& band, const std::string& utf8, double x, double y, bool down);
