// Helpers shared by the organize code and not meant for its callers.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "catalog/organize/OrganizeLists.h"
#include "foundation/interface/Cursors.h"
#include "platform/MacTypes.h"

#include <string>
#include <vector>

struct CatalogRec;
struct ItemEntry;

// A long organize job's progress: the caller's procedure (phase 0 start, 1 step, 2 end), or
// the wait cursor when there is none.
struct OrganizeProgress {
    CatalogProgressProc proc;
    long refCon;
    OSErr Start() { return proc ? proc(0, 0, 0, refCon) : SetWaitCursor(0); }
    OSErr Step(long done, long total) { return proc ? proc(1, done, total, refCon) : OSErr(noErr); }
    void End() {
        if (proc) proc(2, 0, 0, refCon);
    }
};

// Tells the catalog's windows that the list of a field changed.
void OrganizeNotifyChanged(CatalogRec* catalog, UInt32 fieldId);

// One dated item while the date list is built.
struct OrganizeDatedItem {
    UInt32 itemId;
    UInt32 date;  // Mac seconds, not 0
};

// Fills an empty date list with the year, month and day entries of the items, in calendar
// order, each day's items in the order given. Answers false when memory ran out (the entries
// made so far stay).
bool OrganizeFillDateList(OrganizeList* list, const std::vector<OrganizeDatedItem>& items);

// Puts one item into the date list (no duplicate id) and answers its day entry; the entries
// the day needs are made. Item id 0 makes the entries and puts no item in.
OrganizeEntry* OrganizeDateListAdd(OrganizeList* list, UInt32 itemId, UInt32 date);

// The texts of an item's values of a field as list entries take them: every value of a list
// field, the first of any other, each formatted; empty texts are left out.
void OrganizeItemValueTexts(CatalogRec* catalog, const ItemEntry* entry, UInt32 fieldId,
                            std::vector<std::string>* out);
// The item's date for the date list (Mac seconds), 0 when it has none.
UInt32 OrganizeItemDate(CatalogRec* catalog, const ItemEntry* entry);
