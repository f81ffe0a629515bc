#include "catalog/tables/CatalogTables.h"

#include "catalog/notify/CatalogNotify.h"
#include "foundation/files/PathSpec.h"
#include "foundation/text/PString.h"
#include "platform/Aliases.h"
#include "platform/Handles.h"

#include <cstring>
#include <vector>

namespace {

Handle* FolderRefSlot(CatalogRec* catalog, int n) {
    switch (n) {
    case kFolderRefFirst: return &catalog->folderRef0;
    case kFolderRefSecond: return &catalog->folderRef1;
    case kFolderRefCamera: return &catalog->folderRef2;
    default: return nullptr;
    }
}

template <typename Keep>
Handle CopyIds(const CatalogRec* catalog, Keep keep) {
    std::vector<UInt32> ids;
    if (catalog && catalog->entries)
        for (SInt32 i = 0; i < catalog->itemCount; ++i)
            if (keep(catalog->entries[i])) ids.push_back(catalog->entries[i].id);
    if (ids.empty()) return NewHandle(0);
    Handle h = nullptr;
    if (PtrToHand(ids.data(), &h, Size(ids.size() * 4)) != noErr) return nullptr;
    return h;
}

}  // namespace

void CatalogHiddenFieldsChange(CatalogRec* catalog, UInt32 id, bool hide) {
    if (!catalog || !catalog->hiddenFields) return;
    if (hide)
        catalog->hiddenFields->insert(id);
    else
        catalog->hiddenFields->erase(id);
    CatalogNotifyNow(catalog, kCatalogMsgHiddenFieldsChanged, 0);
    CatalogSetModified(catalog);
}

OSErr CatalogGetFolderRef(CatalogRec* catalog, int n, FSSpec* spec) {
    if (!spec) return paramErr;
    *spec = FSSpec{};
    if (!catalog) return paramErr;
    Handle* slot = FolderRefSlot(catalog, n);
    if (!slot) return resNotFound;
    if (!*slot || GetHandleSize(*slot) == 0) {
        if (n == kFolderRefFirst) return FindSpecialFolderPath(kSpecialDesktop, spec);
        return resNotFound;
    }
    Boolean changed = false;
    OSErr err = ResolveAlias(nullptr, *slot, spec, &changed);
    if (err != noErr) {
        *spec = FSSpec{};
        return n == kFolderRefSecond ? OSErr(resFNotFound) : err;
    }
    return noErr;
}

bool CatalogSetFolderRef(CatalogRec* catalog, int n, const FSSpec* spec) {
    if (!catalog || !spec) return false;
    Handle* slot = FolderRefSlot(catalog, n);
    if (!slot) return false;
    CatalogSetModified(catalog);
    AliasHandle alias = nullptr;
    if (NewAlias(nullptr, spec, &alias) != noErr) return false;
    if (*slot) DisposeHandle(*slot);
    *slot = alias;
    return true;
}

void CatalogGetInfoText(const CatalogRec* catalog, Str255 text) {
    if (!text) return;
    text[0] = 0;
    if (catalog) PStrCopy(text, catalog->viewPrefs.infoText);
}

void CatalogSetInfoText(CatalogRec* catalog, ConstStr255Param text) {
    if (!catalog || !text) return;
    PStrCopy(catalog->viewPrefs.infoText, text);
    CatalogSetModified(catalog);
}

void CatalogGetImportSettings(const CatalogRec* catalog, ImportSettingsRec* settings) {
    if (catalog && catalog->importSettings && settings) *settings = *catalog->importSettings;
}

void CatalogSetImportSettings(CatalogRec* catalog, const ImportSettingsRec* settings) {
    if (!catalog || !catalog->importSettings || !settings) return;
    *catalog->importSettings = *settings;
    CatalogSetModified(catalog);
}

SInt32 CatalogGetItemCount(const CatalogRec* catalog) {
    if (!catalog) return 0;
    SInt32 n = catalog->itemCount - catalog->hiddenCount;
    return n < 0 ? 0 : n;
}

SInt32 CatalogGetLabelledCount(const CatalogRec* catalog) { return catalog ? catalog->labelledCount : 0; }
SInt32 CatalogGetDataSize(const CatalogRec* catalog) { return catalog ? catalog->dataSize : 0; }
UInt64 CatalogGetTotalMediaSize(const CatalogRec* catalog) { return catalog ? catalog->mediaSize64 : 0; }

SInt32 CatalogCountMarked(const CatalogRec* catalog) {
    SInt32 n = 0;
    if (catalog && catalog->entries)
        for (SInt32 i = 0; i < catalog->itemCount; ++i)
            if (catalog->entries[i].flags & kEntryAddedFlag) ++n;
    return n;
}

UInt8 CatalogGetViewKind(const CatalogRec* catalog) {
    if (!catalog) return 0;
    UInt8 kind = catalog->viewPrefs.sidePanelKind;
    return kind == 1 || kind == 2 ? kind : 0;
}

void CatalogSetSidePanelMode(CatalogRec* catalog, UInt8 mode) {
    if (catalog) catalog->viewPrefs.sidePanelKind = mode;
}

UInt8 CatalogGetViewMode(const CatalogRec* catalog) { return catalog ? catalog->viewPrefs.viewMode : 0; }

void CatalogSetViewMode(CatalogRec* catalog, UInt8 mode) {
    if (catalog) catalog->viewPrefs.viewMode = mode;
}

UInt16 CatalogGetPrefWord(const CatalogRec* catalog) { return catalog ? catalog->viewPrefs.prefWord : 0; }
UInt8 CatalogGetPrefByte(const CatalogRec* catalog) { return catalog ? catalog->viewPrefs.prefByte : 0; }

ViewFieldList* CatalogGetSlotRec(CatalogRec* catalog, int slot) {
    if (!catalog || slot < 0 || slot >= kViewSlotCount) return nullptr;
    return &catalog->viewPrefs.slotFields[slot];
}

ViewModeSettings* CatalogGetSlotRec16(CatalogRec* catalog, int slot) {
    if (!catalog || slot < 0 || slot >= kViewSlotCount) return nullptr;
    return &catalog->viewPrefs.slots[slot];
}

ViewColors* CatalogGetSlotRec24(CatalogRec* catalog, int slot) {
    if (!catalog || slot < 0 || slot >= kViewSlotCount) return nullptr;
    return &catalog->viewPrefs.slotColors[slot];
}

SInt32 CatalogGetSlotSize(const CatalogRec* catalog, int slot) {
    if (!catalog || slot < 0 || slot >= kViewSlotCount) return 0;
    return 32 * SInt32(catalog->viewPrefs.slots[slot].sizeStep);
}

bool CatalogSetSlotSize(CatalogRec* catalog, int step, int slot) {
    if (!catalog || slot < 0 || slot >= kViewSlotCount || step < 1 || step > 20) return false;
    UInt8& stored = catalog->viewPrefs.slots[slot].sizeStep;
    if (stored == step) return false;
    stored = UInt8(step);
    // Every stored change is saved; only growing past the kept thumbnails needs the windows.
    CatalogSetModified(catalog);
    if (step > catalog->viewPrefs.keptThumbnailStep && catalog->itemCount > 0)
        CatalogPostNotification(catalog, kCatalogMsgSlotSizeGrew, 0);
    return true;
}

Handle ItemListCopyIds(const CatalogRec* catalog) {
    return CopyIds(catalog, [](const ItemEntry&) { return true; });
}

Handle ItemListCopyVisibleIds(const CatalogRec* catalog) {
    return CopyIds(catalog, [](const ItemEntry& e) { return !(e.flags & kEntryHiddenFlag); });
}

Handle ItemListCopyIdsWithLabel(const CatalogRec* catalog, UInt8 label, bool visibleOnly) {
    return CopyIds(catalog, [&](const ItemEntry& e) {
        if (visibleOnly && (e.flags & kEntryHiddenFlag)) return false;
        UInt32 l = e.flags & kEntryLabelMask;
        return label == 0xFF ? l != 0 : l == label;
    });
}

Handle ItemListCopyIdsMark2(const CatalogRec* catalog) {
    Handle h = CopyIds(catalog, [](const ItemEntry& e) { return (e.flags & kEntryPendingFlag) != 0; });
    if (h && GetHandleSize(h) == 0) {
        DisposeHandle(h);
        return nullptr;
    }
    return h;
}

Handle ItemListCopyMarkedIds(const CatalogRec* catalog) {
    return CopyIds(catalog, [](const ItemEntry& e) { return (e.flags & kEntryAddedFlag) != 0; });
}
