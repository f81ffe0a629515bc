// The user's arrangement of organize lists: moving entries in the sets tree, making sets
// from a field, pasting a copied list, the set paths an item carries between catalogs, and
// which entry commands and date modes apply.
//
// Set paths text: for each set holding the item, in list order, the set's name as a Str255
// image, then its parent's, up to the top level, then a 0 byte; one more 0 byte after the
// last path. An item in no set gives no bytes at all.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "catalog/organize/OrganizeLists.h"
#include "platform/MacTypes.h"

// Entry menu commands of the Organize panel.
enum : short {
    kOrganizeCmdShowContent = 1,
    kOrganizeCmdSelectContent = 2,
    kOrganizeCmdEmptyContent = 3,
    kOrganizeCmdAddSubSet = 4,
    kOrganizeCmdAddSubSetContainer = 5,
    kOrganizeCmdRename = 6,
    kOrganizeCmdDuplicate = 7,
    kOrganizeCmdDelete = 8,
    kOrganizeCmdDeleteWithContent = 9,
    kOrganizeCmdAddSelected = 10,
    kOrganizeCmdRemoveSelected = 11,
};

// Whether entry n with its subtree may land before target position t with new level L.
bool OrganizeCanMove(const CatalogRec* catalog, UInt32 fieldId, UInt32 n, int newLevel, UInt32 count,
                     UInt32 target);
// Moves entry n with its subtree before target, every level shifted by newLevel minus the
// entry's level. Answers where the moved entries now begin, their number in *outMoved; a
// refused move beeps and answers 0. Posts nothing and leaves the modified mark to the caller.
UInt32 OrganizeMoveEntry(CatalogRec* catalog, UInt32 fieldId, UInt32 n, UInt32 target, int newLevel,
                         UInt32* outMoved);
// The level a dragged entry takes between the entry before the drop point and the one after
// it (either may be null).
void OrganizeClampLevel(const OrganizeEntry* before, const OrganizeEntry* after, int* level);

// A container named after the field at the top of the sets tree, with one set per entry of
// the field's list (its text and items). Making them again replaces the container's sets.
OSErr OrganizeMakeSetsFromField(CatalogRec* catalog, UInt32 fieldId, CatalogProgressProc progress, long refCon);
// Appends the top-level entries of a copied list (memory order) that the field's list lacks,
// with their sub-entries, without items. paramErr when nothing was added.
OSErr OrganizePasteEntries(CatalogRec* catalog, UInt32 fieldId, Handle entries);

// The set paths of an item, appended to *out (made when null).
OSErr OrganizeItemSetPaths(const CatalogRec* catalog, UInt32 itemId, Handle* out);
// Files the item in the sets a paths text names, making the sets that are missing.
OSErr OrganizeAddItemToSetPaths(CatalogRec* catalog, UInt32 itemId, Handle paths);

bool OrganizeCommandAllowed(const OrganizeEntry* entry, UInt32 fieldId, short command);
bool OrganizeDateModeAllowed(UInt32 fieldId, short mode);
