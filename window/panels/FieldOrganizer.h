// The choice of fields the Catalog Index shows: the organizer menu's fixed order of headings
// and fields, turning one field on or off, and the user's saved default choice, which a
// catalog can take over. No toolkit here: the Organize list builds its menu from these.
#pragma once

#include "platform/MacTypes.h"

#include <vector>

struct CatalogRec;

// The menu's codes in order: a field id, or one of the four-character codes below.
enum : UInt32 {
    kOrganizerSeparator = '----',
    kOrganizerListHeading = 'LIST',
    kOrganizerSaveDefault = 'SAVE',
    kOrganizerLoadDefault = 'LOAD',
    kOrganizerQuickHeading = 'DSC1',
    kOrganizerMediaHeading = 'DSC2',
    kOrganizerAnnotationHeading = 'DSC3',
};
const std::vector<UInt32>& FieldOrganizerCodes();

// Shows or hides a field in the Catalog Index; a field shown builds its list at once.
void FieldOrganizerSetShown(CatalogRec* catalog, UInt32 fieldId, bool shown);
// Saves the fields the catalog shows now as the user's default.
void FieldOrganizerSaveDefault(const CatalogRec* catalog);
bool FieldOrganizerHasDefault();
// Shows exactly the saved default fields; false (nothing changed) without a saved default.
bool FieldOrganizerLoadDefault(CatalogRec* catalog);
