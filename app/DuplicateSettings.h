// The Show Duplicates settings as the preferences record keeps them (three flag bytes, one
// unused, and the 32-bit matching tolerance 0..2), and the duplicate scan they ask for.
#pragma once

#include "foundation/settings/PreferencesRec.h"
#include "window/view/ViewFilters.h"

struct DuplicateSettings {
    bool matchSelected = false;
    bool ignoreBrightness = false;
    bool similarNames = false;
    UInt32 tolerance = 0;  // 0 tight, 1 average, 2 loose
};

DuplicateSettings DuplicateSettingsFrom(const PreferencesRec& prefs);
// Writes the three flags and the tolerance (clamped to 0..2); the unused byte stays.
void DuplicateSettingsInto(const DuplicateSettings& settings, PreferencesRec* prefs);
// The scan's criteria: names compared, brightness ignored (the first tolerance), and the
// tolerance's low byte (the second).
DuplicateCriteria DuplicateCriteriaOf(const DuplicateSettings& settings);
// Shows the view's duplicates as the settings ask: among the selected items only or all,
// names compared or not, brightness ignored or not, at the tolerance's low byte.
void ShowDuplicatesWith(ViewRec* view, const DuplicateSettings& settings);
