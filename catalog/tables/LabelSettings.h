// The nine labels as the user named and coloured them, kept in the per-user settings as the
// typed setting 'LABL' 1: read once at start-up, written when the user changes them.
#pragma once

#include "foundation/settings/TypedSettings.h"

// Sets labels 1 to 9 from the stored setting, only when it holds exactly nine records.
void LoadLabelSettings();
// Sets labels 1 to 9 from the caller's records and stores them.
void SaveLabelSettings(const LabelSettingRec labels[kLabelSettingCount]);
