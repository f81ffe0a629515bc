// The repair of the item entries after reading, and the hidden-field set.
#include "catalog/file/CatalogRec.h"

#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <algorithm>
#include <new>
#include <unordered_set>
#include <vector>

SInt16 CatalogGetItemRefNum(const CatalogRec* catalog, const ItemEntry* entry) {
    if (entry && (entry->flags & kEntryInWorkFileFlag)) return catalog->workRefNum;
    return catalog->catalogRefNum;
}

void CatalogFixEntryByteOrder(CatalogRec* catalog) {
    if (catalog->itemCount <= 0) return;
    ItemRec record;
    if (CatalogReadEntryRecord(catalog, &catalog->entries[0], &record) != noErr) return;
    const unsigned char* name = record.storedName;
    if (name[0] < 2 || name[1] == name[2]) return;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&catalog->entries[0]);
    if (bytes[10] != name[1] || bytes[9] != name[2]) return;
    for (SInt32 i = 0; i < catalog->itemCount; ++i) {
        UInt32& f = catalog->entries[i].flags;
        f = (f >> 24) | ((f >> 8) & 0xFF00u) | ((f << 8) & 0xFF0000u) | (f << 24);
    }
}

OSErr CatalogCheckItems(CatalogRec* catalog) {
    CatalogFixEntryByteOrder(catalog);
    catalog->labelledCount = 0;
    UInt32 largest = 0;
    std::unordered_set<UInt32> seen;
    std::vector<SInt32> renumber;
    for (SInt32 i = 0; i < catalog->itemCount; ++i) {
        ItemEntry& e = catalog->entries[i];
        e.flags &= ~(kEntryHiddenFlag | kEntryInWorkFileFlag | kEntryUnusedMask);
        UInt32 label = e.flags & kEntryLabelMask;
        if (label >= 10)
            e.flags &= ~kEntryLabelMask;
        else if (label != 0)
            ++catalog->labelledCount;
        if (e.id > largest) largest = e.id;
        if (e.id == 0 || !seen.insert(e.id).second) renumber.push_back(i);
    }
    catalog->hiddenCount = 0;
    for (SInt32 i : renumber) catalog->entries[i].id = ++largest;
    catalog->nextItemId = largest + 1;
    if (renumber.empty()) return noErr;
    catalog->openWarnings |= kOpenEntriesRepaired;
    CatalogSetModified(catalog);
    return paramErr;
}

OSErr CatalogHiddenFieldsOpen(CatalogRec* catalog) {
    if (!catalog) return paramErr;
    delete catalog->hiddenFields;
    catalog->hiddenFields = new (std::nothrow) std::set<UInt32>;
    return catalog->hiddenFields ? noErr : memFullErr;
}

OSErr CatalogHiddenFieldsClose(CatalogRec* catalog) {
    if (!catalog) return paramErr;
    delete catalog->hiddenFields;
    catalog->hiddenFields = nullptr;
    return noErr;
}

bool CatalogHiddenFieldsContains(const CatalogRec* catalog, UInt32 id) {
    return catalog && catalog->hiddenFields && catalog->hiddenFields->count(id) != 0;
}

OSErr CatalogHiddenFieldsWrite(const CatalogRec* catalog, Handle h) {
    if (!catalog || !catalog->hiddenFields || !h) return paramErr;
    SetHandleSize(h, Size(4 * catalog->hiddenFields->size()));
    if (MemError() != noErr) return memFullErr;
    long at = 0;
    for (UInt32 id : *catalog->hiddenFields) {
        WriteBE32(*h + at, id);
        at += 4;
    }
    return noErr;
}

OSErr CatalogHiddenFieldsRead(CatalogRec* catalog, Handle h) {
    if (!catalog || !catalog->hiddenFields || !h || !*h) return paramErr;
    catalog->hiddenFields->clear();
    const long size = GetHandleSize(h);
    for (long at = 0; at + 4 <= size; at += 4) catalog->hiddenFields->insert(ReadBE32(*h + at));
    return noErr;
}
