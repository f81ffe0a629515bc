#include "catalog/organize/OrganizeLists.h"

#include "catalog/file/CatalogRec.h"
#include "platform/Handles.h"

#include <new>

const OrganizeFieldRow kOrganizeFieldTable[kOrganizeRowCount] = {
    {0, 522, 0, 0, 1, 0, 0},   {43, 754, 1, 1, 1, 1, 0},  {38, 162, 0, 0, 1, 1, 1},
    {5, 161, 0, 1, 0, 1, 0},   {1, 3, 0, 1, 0, 0, 0},     {2, 67, 1, 1, 0, 0, 0},
    {3, 24, 1, 1, 0, 0, 0},    {4, 27, 1, 1, 1, 0, 0},    {11, 517, 1, 1, 1, 1, 1},
    {13, 527, 1, 1, 1, 1, 1},  {6, 534, 0, 1, 1, 1, 1},   {15, 519, 1, 1, 1, 1, 1},
    {12, 592, 0, 1, 1, 1, 1},  {36, 622, 1, 1, 1, 1, 1},  {14, 627, 1, 1, 1, 1, 1},
    {35, 615, 1, 1, 1, 1, 1},  {37, 628, 1, 1, 1, 1, 1},  {9, 613, 1, 1, 1, 1, 1},
    {34, 607, 1, 1, 1, 1, 1},  {8, 602, 1, 1, 1, 1, 1},   {7, 604, 0, 1, 1, 1, 1},
    {10, 630, 0, 1, 1, 1, 1},  {16, 537, 0, 1, 1, 1, 1},  {17, 532, 1, 1, 1, 1, 1},
    {39, 736, 1, 1, 1, 1, 1},  {40, 524, 1, 1, 1, 1, 0},  {41, 64, 1, 1, 1, 1, 0},
    {42, 737, 1, 1, 1, 1, 0},  {18, 769, 1, 1, 1, 1, 1},  {19, 770, 1, 1, 1, 1, 1},
    {20, 771, 1, 1, 1, 1, 1},  {21, 772, 1, 1, 1, 1, 1},  {22, 773, 1, 1, 1, 1, 1},
    {23, 774, 1, 1, 1, 1, 1},  {24, 775, 1, 1, 1, 1, 1},  {25, 776, 1, 1, 1, 1, 1},
    {26, 777, 1, 1, 1, 1, 1},  {27, 778, 1, 1, 1, 1, 1},  {28, 779, 1, 1, 1, 1, 1},
    {29, 780, 1, 1, 1, 1, 1},  {30, 781, 1, 1, 1, 1, 1},  {31, 782, 1, 1, 1, 1, 1},
    {32, 783, 1, 1, 1, 1, 1},  {33, 784, 1, 1, 1, 1, 1},  {44, 0, 0, 0, 0, 0, 0},
};

int OrganizeFieldRowIndex(UInt32 fieldId) {
    if (fieldId == 0) return -1;
    for (int r = 0; r < kOrganizeRowCount; ++r)
        if (kOrganizeFieldTable[r].fieldId == fieldId) return r;
    return -1;
}

const OrganizeFieldRow* OrganizeFieldRowFor(UInt32 fieldId) {
    int row = OrganizeFieldRowIndex(fieldId);
    return row < 0 ? nullptr : &kOrganizeFieldTable[row];
}

OSErr OrganizeListsAlloc(CatalogRec* catalog) {
    auto* block = new (std::nothrow) OrganizeLists{};
    if (!block) return memFullErr;
    catalog->organizeLists = block;
    return noErr;
}

void OrganizeListsFree(CatalogRec* catalog) {
    delete catalog->organizeLists;
    catalog->organizeLists = nullptr;
}

OSErr OrganizeListsInitFlags(CatalogRec* catalog, bool isNew) {
    OrganizeLists* block = catalog->organizeLists;
    if (!block) return paramErr;
    if (isNew) {
        for (int r = 0; r < kOrganizeRowCount; ++r) {
            if (kOrganizeFieldTable[r].offInNewCatalog == 0) {
                block->enabled[r] = 1;
                block->expanded[r] = 0;
            }
        }
    }
    int sets = OrganizeFieldRowIndex(kOrganizeSetsField);
    if (!block->lists[sets]) {
        block->lists[sets].reset(new (std::nothrow) OrganizeList);
        if (!block->lists[sets]) return memFullErr;
    }
    return noErr;
}

OrganizeList* OrganizeGetList(const CatalogRec* catalog, UInt32 fieldId) {
    int row = OrganizeFieldRowIndex(fieldId);
    if (row < 0 || !catalog || !catalog->organizeLists) return nullptr;
    return catalog->organizeLists->lists[row].get();
}

bool OrganizeHasList(const CatalogRec* catalog, UInt32 fieldId) {
    return OrganizeGetList(catalog, fieldId) != nullptr;
}

UInt32 OrganizeNextField(const CatalogRec* catalog, UInt32 fieldId, bool enabledOnly) {
    if (!catalog || !catalog->organizeLists) return 0;
    int row = -1;
    if (fieldId != 0) {
        row = OrganizeFieldRowIndex(fieldId);
        if (row < 0) return 0;
    }
    for (int r = row + 1; r < kOrganizeRowCount; ++r) {
        if (kOrganizeFieldTable[r].fieldId == 0) return 0;
        if (!enabledOnly || catalog->organizeLists->enabled[r]) return kOrganizeFieldTable[r].fieldId;
    }
    return 0;
}

bool OrganizeIsExpanded(const CatalogRec* catalog, UInt32 fieldId) {
    int row = OrganizeFieldRowIndex(fieldId);
    return row >= 0 && catalog->organizeLists && catalog->organizeLists->expanded[row];
}

void OrganizeSetExpanded(CatalogRec* catalog, UInt32 fieldId, bool expanded) {
    if (!catalog->organizeLists) return;
    if (fieldId == 0) {
        for (UInt8& flag : catalog->organizeLists->expanded) flag = expanded ? 1 : 0;
        return;
    }
    int row = OrganizeFieldRowIndex(fieldId);
    if (row >= 0) catalog->organizeLists->expanded[row] = expanded ? 1 : 0;
}

bool OrganizeIsEnabled(const CatalogRec* catalog, UInt32 fieldId) {
    int row = OrganizeFieldRowIndex(fieldId);
    return row >= 0 && catalog->organizeLists && catalog->organizeLists->enabled[row];
}

void OrganizeSetEnabled(CatalogRec* catalog, UInt32 fieldId, bool enabled) {
    int row = OrganizeFieldRowIndex(fieldId);
    if (row < 0 || !catalog->organizeLists) return;
    catalog->organizeLists->enabled[row] = enabled ? 1 : 0;
    // A hidden group keeps no list; the sets are the catalog's own data and always stay.
    if (!enabled && fieldId != kOrganizeSetsField) catalog->organizeLists->lists[row].reset();
    CatalogSetModified(catalog);
}

OrganizeList* OrganizeResetList(CatalogRec* catalog, UInt32 fieldId) {
    int row = OrganizeFieldRowIndex(fieldId);
    if (row < 0 || !catalog->organizeLists) return nullptr;
    catalog->organizeLists->lists[row].reset(new (std::nothrow) OrganizeList);
    return catalog->organizeLists->lists[row].get();
}

UInt32 OrganizeCountEntries(const OrganizeList* list) { return list ? UInt32(list->size()) : 0; }

OrganizeEntry* OrganizeListEntryAt(const OrganizeList* list, UInt32 n) {
    if (!list || n == 0 || n > list->size()) return nullptr;
    return list->at(n - 1);
}

UInt32 OrganizeGetEntryCount(const CatalogRec* catalog, UInt32 fieldId) {
    return OrganizeCountEntries(OrganizeGetList(catalog, fieldId));
}

OrganizeEntry* OrganizeGetEntry(const CatalogRec* catalog, UInt32 fieldId, UInt32 n) {
    return OrganizeListEntryAt(OrganizeGetList(catalog, fieldId), n);
}

OrganizeEntry* OrganizeLookupEntry(const CatalogRec* catalog, UInt32 fieldId, UInt32 n) {
    return OrganizeGetEntry(catalog, fieldId, n);
}

UInt32 OrganizeEntryNumber(const CatalogRec* catalog, UInt32 fieldId, const OrganizeEntry* entry) {
    const OrganizeList* list = OrganizeGetList(catalog, fieldId);
    if (!list) return 0;
    return UInt32(list->indexOf(entry) + 1);
}

OSErr OrganizeListToHandle(const OrganizeList* list, Handle* out) {
    std::vector<std::uint8_t> bytes;
    if (list)
        for (std::size_t i = 0; i < list->size(); ++i) OrganizeEntryAppendImage(list->at(i), false, false, &bytes);
    return PtrToHand(bytes.data(), out, Size(bytes.size()));
}

bool OrganizeListFromBytes(const std::uint8_t* bytes, long length, bool fileOrder, bool dateList,
                           std::vector<std::unique_ptr<OrganizeEntry>>* out) {
    long at = 0;
    while (at < length) {
        auto entry = std::make_unique<OrganizeEntry>();
        long size = OrganizeEntryFromImage(bytes + at, length - at, fileOrder, dateList, entry.get());
        if (size == 0) return false;
        out->push_back(std::move(entry));
        at += size;
    }
    return true;
}
