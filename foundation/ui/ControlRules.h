// The arithmetic and rules of the owner-drawn controls, apart from any window: the numeric
// field's filter (typed and pasted text), the round-bar button's shades, the state a themed
// button is drawn in, and the rectangles of side-panel list rows.
#pragma once

#include <wx/colour.h>
#include <wx/gdicmn.h>

#include <string>

// A character typed into a numeric field whose text is text, caret at caret: digits and
// Backspace pass; the decimal separator passes once (typed into an empty field it makes
// "0" + separator, caret after it); everything else is dropped. Answers whether it passes as
// typed; *replaced/*caret are set when the field is to become that text instead.
bool NumericCharPasses(const std::u32string& text, char32_t ch, char32_t separator, std::u32string* replaced,
                       long* caret);
// Pasted or otherwise set text as the field keeps it: digits and the first separator only.
std::u32string NumericSanitize(const std::u32string& text, char32_t separator);

// A round-bar button's shade: each channel times the factor (clamped to 0..1), integer part.
wxColour RoundBarShade(const wxColour& base, double factor);
inline constexpr double kShadeNormal = 0.85, kShadeHover = 0.75, kShadePressed = 0.6, kShadeDisabled = 0.85;

enum class ButtonLook { kNormal, kHot, kPressed, kDefaulted, kDisabled };
// Pressed wins, then hover, then focus, then disabled.
ButtonLook ThemedButtonLook(bool pressed, bool hover, bool focused, bool disabled);

// The text rectangle of a list row at an indent level: left + 16 x level + 5 (not at level 1),
// right - 48 with an icon at the right else - 3, top + 2, bottom - 2.
wxRect ListRowTextRect(int level, const wxRect& row, bool hasRightIcon);
// The box of a row's count: from right - 52 to right - 7, textHeight high (at most 20), centred.
wxRect ListRowCountRect(const wxRect& row, int textHeight);
