// The label table: labels 1 to 9, each a name and a colour, process-wide and not stored in
// catalogs. Label 0 means no label and is not in the table.
#pragma once

#include "platform/MacTypes.h"

inline constexpr int kLabelCount = 9;

// Fills the table with the default names (strings 13302..13310) and colours.
void LabelTableInit();
// Name and colour of labels 1..9; 0 and anything above 9 give "None" (string 13301) and
// black. Either out pointer may be null.
void LabelGetInfo(int label, StringPtr name, RGBColor* color);
// Sets the name and/or colour of labels 1..9; other labels are ignored.
void LabelSetInfo(int label, ConstStr255Param name, const RGBColor* color);
