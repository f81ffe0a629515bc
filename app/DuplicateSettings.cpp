#include "app/DuplicateSettings.h"

#include "app/PreferencesPages.h"
#include "window/view/ViewFilters.h"

#include <algorithm>
#include <cstring>

DuplicateSettings DuplicateSettingsFrom(const PreferencesRec& prefs) {
    DuplicateSettings s;
    s.matchSelected = PreferenceByte(prefs, kPrefsDuplicatesOffset) != 0;
    s.ignoreBrightness = PreferenceByte(prefs, kPrefsDuplicatesOffset + 1) != 0;
    s.similarNames = PreferenceByte(prefs, kPrefsDuplicatesOffset + 2) != 0;
    std::memcpy(&s.tolerance, reinterpret_cast<const UInt8*>(&prefs) + kPrefsDuplicatesOffset + 4, 4);
    return s;
}

void DuplicateSettingsInto(const DuplicateSettings& s, PreferencesRec* prefs) {
    *PreferenceByte(prefs, kPrefsDuplicatesOffset) = s.matchSelected;
    *PreferenceByte(prefs, kPrefsDuplicatesOffset + 1) = s.ignoreBrightness;
    *PreferenceByte(prefs, kPrefsDuplicatesOffset + 2) = s.similarNames;
    const UInt32 tolerance = std::min<UInt32>(s.tolerance, 2);
    std::memcpy(PreferenceByte(prefs, kPrefsDuplicatesOffset + 4), &tolerance, 4);
}

DuplicateCriteria DuplicateCriteriaOf(const DuplicateSettings& s) {
    DuplicateCriteria criteria;
    criteria.sameName = s.similarNames;
    criteria.tolerance1 = s.ignoreBrightness ? 1 : 0;
    criteria.tolerance2 = long(s.tolerance & 0xFF);
    return criteria;
}

void ShowDuplicatesWith(ViewRec* view, const DuplicateSettings& s) {
    ViewShowDuplicates(view, s.matchSelected, DuplicateCriteriaOf(s));
}
