// What the print dialogs show, worked out without a window: the scaling list's entries and the
// code and percent each stands for, the two-line summary under the preview, the margins as the
// user reads and types them (two decimals, the locale's separator), and the Grid dialog's cell
// sizes in its units.
#pragma once

#include "output/print/PrintLayout.h"

#include <string>

// The scaling list: 14 entries numbered 1, 2, 4-8 and 10-16 (the separator rows 3 and 9 of the
// string list are not entries).
inline constexpr int kScalingEntryCount = 14;
int ScalingEntryNumber(int position);
// Entries 1 and 4-8 are their code with percent 0; 10-16 are code 10 with 25 .. 1600 percent;
// anything else is "Scale to Fit".
void ScalingFromEntry(int number, UInt8* code, UInt16* percent);
// The list position showing a code and percent (a percent the list does not have, or an unknown
// code: "Scale to Fit").
int ScalingPositionOf(UInt8 code, UInt16 percent);

// "Page p of n @ w by h unit" and "c by r Cells @ w by h unit", lengths in cm or inches.
std::string PrintFormatSummary(SInt32 page, SInt32 pageCount, const Rect& content, const PrintGrid& grid, bool metric);
// The unit's name: "cm" or "in.".
std::string PrintUnitName(bool metric);

// A margin as shown: two decimals with the locale's decimal separator.
std::string MarginText(double value);
// A margin as typed: either separator, blanks around; false when it is not a number of at
// least 0.
bool ParseMarginText(const std::string& text, double* value);

// A cell length in points shown in a Grid unit (1 pixels .. 5 picas, 72 to the inch), rounded
// to one decimal; and a typed length back to whole points.
double GridLengthInUnit(UInt16 points, short unit);
UInt16 GridLengthToPoints(double length, short unit);
