// Fonts named the core's way: a font number (the program's own table of the desktop's
// families, -1 for the default GUI font), a size in pixels and a style of bits (1 bold,
// 2 italic, 4 underline).
#pragma once

#include <wx/font.h>

#include <string>

enum : int { kStyleBold = 1, kStyleItalic = 2, kStyleUnderline = 4 };

// A copy of the font with the style's weight, slant and underline.
wxFont FontWithStyle(const wxFont& base, int style);
// The number of a family the desktop has (the same number for the run); -1 for an empty name
// or a family it does not have.
short FontNumberFromName(const std::string& familyName);
// The family of a number, empty when unknown.
std::string FontNameFromNumber(short fontNumber);
// The font of a number (-1 or unknown: the default GUI font's face) at the pixel size.
wxFont CreateFontForMacText(short fontNumber, int size, int style);
// Ascent + descent + leading of that font.
int FontLineHeight(short fontNumber, int size, int style);
