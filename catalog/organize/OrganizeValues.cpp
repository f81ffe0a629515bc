#include "catalog/organize/OrganizeValues.h"

#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldIds.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemChanges.h"
#include "catalog/items/ItemLabels.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/organize/OrganizeInternal.h"
#include "catalog/organize/OrganizeLists.h"
#include "catalog/organize/OrganizeSets.h"
#include "foundation/interface/Cursors.h"
#include "media/metadata/IptcBlock.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<UInt32> IdsOf(Handle h) {
    std::vector<UInt32> ids;
    if (!h) return ids;
    ids.resize(std::size_t(GetHandleSize(h)) / 4);
    if (!ids.empty()) std::memcpy(ids.data(), *h, ids.size() * 4);
    return ids;
}

// Stores a changed annotation block with the item (which re-indexes it).
OSErr RewriteAnnotations(CatalogRec* catalog, ItemEntry* entry, Handle block) {
    ItemRec record;
    OSErr err = ItemLoadRecord(catalog, entry, &record);
    if (err != noErr) return err;
    return CatalogUpdateItem(catalog, entry, &record, nullptr, block, nullptr, nullptr, nullptr, true);
}

// Takes every dataset of the field holding text out of the block; true when one was there.
bool RemoveText(Handle block, UInt16 key, const std::string& text) {
    bool removed = false;
    for (;;) {
        const SInt16 n = IptcGetDatasetText(key, text.data(), SInt16(text.size()), IptcMarkerAnsi, block);
        if (n <= 0) break;
        if (!IptcSetDataset(key, n, nullptr, 0, block, kIptcRemove, IptcMarkerAnsi)) break;
        removed = true;
    }
    return removed;
}

std::string TextOf(const OrganizeEntry* entry) {
    return std::string(reinterpret_cast<const char*>(entry->text + 1), entry->text[0]);
}

// Fields whose values live in the items' annotations (the date list writes the event date).
bool WritesAnnotations(UInt32 fieldId) {
    if (fieldId == kOrganizeDateField) return true;
    const FieldDef* def = FieldFindDef(fieldId);
    return def && def->storage == kFieldStorageAnnotation;
}

}  // namespace

void OrganizeAssignItems(CatalogRec* catalog, UInt32 fieldId, UInt32 n, Handle itemIds, CatalogProgressProc proc,
                         long refCon) {
    OrganizeList* list = OrganizeGetList(catalog, fieldId);
    OrganizeEntry* target = OrganizeListEntryAt(list, n);
    const std::vector<UInt32> ids = IdsOf(itemIds);
    if (!target || ids.empty() || fieldId == 0) return;

    if (fieldId == kOrganizeSetsField) {
        // Ids of items that are gone are left out.
        std::vector<UInt32> present;
        for (UInt32 id : ids)
            if (CatalogHasItemId(catalog, id)) present.push_back(id);
        OrganizeEntryAddItems(catalog, fieldId, n, present.data(), UInt32(present.size()));
        OrganizeNotifyChanged(catalog, fieldId);
    } else if (fieldId == kOrganizeLabelsField) {
        for (UInt32 id : ids)
            if (ItemEntry* e = CatalogFindEntryById(catalog, id)) CatalogSetItemLabel(catalog, e, UInt8(n - 1), false);
    } else if (WritesAnnotations(fieldId)) {
        // The value the entry stands for; a date entry gives the event date as eight digits
        // (month and day 0 in year and month entries).
        std::string text = TextOf(target);
        UInt16 key = UInt16(fieldId);
        if (fieldId == kOrganizeDateField) {
            const OrganizeDate d = OrganizeEntryGetDate(target);
            char digits[16];
            std::snprintf(digits, sizeof digits, "%04u%02u%02u", unsigned(d.year % 10000), unsigned(d.month % 100),
                          unsigned(d.day % 100));
            text = digits;
            key = UInt16(kFieldEventDate);
        }
        const bool multi = FieldIsList(fieldId);
        OrganizeProgress progress{proc, refCon};
        if (progress.Start() == noErr) {
            for (std::size_t i = 0; i < ids.size(); ++i) {
                ItemEntry* item = CatalogFindEntryById(catalog, ids[i]);
                Handle block = item ? ItemReadAnnotationsForEdit(catalog, item) : nullptr;
                if (block) {
                    bool changed;
                    if (multi) {
                        changed = IptcGetDatasetText(key, text.data(), SInt16(text.size()), IptcMarkerAnsi, block) == 0 &&
                                  IptcSetDataset(key, 0, text.data(), SInt16(text.size()), block, kIptcAppend,
                                                 IptcMarkerAnsi);
                    } else {
                        changed = IptcSetDataset(key, 1, text.data(), SInt16(text.size()), block, kIptcReplace,
                                                 IptcMarkerAnsi);
                        // A single value: the item leaves the entry of its old value.
                        if (changed) OrganizeEntryRemoveItems(catalog, fieldId, 0, &ids[i], 1);
                    }
                    if (changed && RewriteAnnotations(catalog, item, block) == noErr &&
                        (fieldId != kOrganizeDateField || target->level == 2))
                        list->addItem(target, ids[i]);
                    DisposeHandle(block);
                }
                if (progress.Step(long(i + 1), long(ids.size())) != noErr) break;
            }
        }
        progress.End();
        OrganizeNotifyChanged(catalog, fieldId);
    }
    CatalogSetModified(catalog);
}

void OrganizeUnassignItems(CatalogRec* catalog, UInt32 fieldId, UInt32 n, Handle itemIds, CatalogProgressProc proc,
                           long refCon) {
    const OrganizeFieldRow* row = OrganizeFieldRowFor(fieldId);
    OrganizeList* list = OrganizeGetList(catalog, fieldId);
    OrganizeEntry* target = OrganizeListEntryAt(list, n);
    const std::vector<UInt32> ids = IdsOf(itemIds);
    if (!row || !row->removableValue || !target || ids.empty()) return;

    if (fieldId == kOrganizeSetsField) {
        const UInt32 end = target->container ? OrganizeSubtreeEnd(list, n) : n;
        bool changed = false;
        for (UInt32 i = n; i <= end; ++i)
            changed |= OrganizeEntryRemoveItems(catalog, fieldId, i, ids.data(), UInt32(ids.size()));
        if (changed) {
            OrganizeNotifyChanged(catalog, fieldId);
            CatalogSetModified(catalog);
        }
        return;
    }
    if (fieldId == kOrganizeLabelsField) {
        // Only items that carry this entry's label lose it; entry "0" takes nothing away.
        if (n == 1) return;
        for (UInt32 id : ids) {
            ItemEntry* e = CatalogFindEntryById(catalog, id);
            if (e && (e->flags & kEntryLabelMask) == n - 1) CatalogSetItemLabel(catalog, e, 0, false);
        }
        return;
    }
    const std::string text = TextOf(target);
    OrganizeProgress progress{proc, refCon};
    if (progress.Start() == noErr) {
        for (std::size_t i = 0; i < ids.size(); ++i) {
            ItemEntry* item = CatalogFindEntryById(catalog, ids[i]);
            Handle block = item ? ItemReadBlock(catalog, item, kBlockAnnotations) : nullptr;
            if (block) {
                if (RemoveText(block, UInt16(fieldId), text) && RewriteAnnotations(catalog, item, block) == noErr) {
                    list->removeItem(target, ids[i]);
                    CatalogSetModified(catalog);
                }
                DisposeHandle(block);
            }
            if (progress.Step(long(i + 1), long(ids.size())) != noErr) break;
        }
    }
    progress.End();
    OrganizeNotifyChanged(catalog, fieldId);
}

void OrganizeRemoveEntry(CatalogRec* catalog, UInt32 fieldId, UInt32 n, CatalogProgressProc proc, long refCon) {
    const OrganizeFieldRow* row = OrganizeFieldRowFor(fieldId);
    OrganizeList* list = OrganizeGetList(catalog, fieldId);
    OrganizeEntry* target = OrganizeListEntryAt(list, n);
    if (!row || !target) return;

    if (fieldId == kOrganizeLabelsField) {
        if (n == 1 || target->items.empty()) return;
        // The ids are copied first: each label change takes the item out of this entry.
        const std::vector<UInt32> ids = target->items;
        for (UInt32 id : ids)
            if (ItemEntry* e = CatalogFindEntryById(catalog, id)) CatalogSetItemLabel(catalog, e, 0, false);
    } else if (fieldId == kOrganizeSetsField) {
        OrganizeReplaceEntry(catalog, fieldId, n, nullptr, 0);
    } else {
        // The items of the entry and of everything below it (a year of the date list holds its
        // items in its days); copied, since deleting items changes the entries.
        Handle collected = NewHandle(0);
        if (!collected) return;
        OrganizeCollectItems(catalog, fieldId, n, true, collected);
        std::vector<UInt32> ids = IdsOf(collected);
        DisposeHandle(collected);
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        const std::string text = TextOf(target);

        OrganizeProgress progress{proc, refCon};
        if (!ids.empty() && progress.Start() == noErr) {
            for (std::size_t i = 0; i < ids.size(); ++i) {
                if (!row->removableValue) {
                    const SInt32 index = CatalogFindEntryIndexById(catalog, ids[i]);
                    if (index > 0) CatalogDeleteItem(catalog, index);
                } else if (ItemEntry* item = CatalogFindEntryById(catalog, ids[i])) {
                    if (Handle block = ItemReadBlock(catalog, item, kBlockAnnotations)) {
                        if (RemoveText(block, UInt16(fieldId), text)) RewriteAnnotations(catalog, item, block);
                        DisposeHandle(block);
                    }
                }
                if (progress.Step(long(i + 1), long(ids.size())) != noErr) break;
            }
            progress.End();
        }
        // The entry may have moved while its items changed.
        const UInt32 at = OrganizeEntryNumber(catalog, fieldId, target);
        if (at) OrganizeReplaceEntry(catalog, fieldId, at, nullptr, 0);
    }
    OrganizeNotifyChanged(catalog, fieldId);
    CatalogSetModified(catalog);
}

UInt32 OrganizeRenameEntry(CatalogRec* catalog, UInt32 fieldId, UInt32 n, const void* text, long length,
                           CatalogProgressProc proc, long refCon) {
    const OrganizeFieldRow* row = OrganizeFieldRowFor(fieldId);
    OrganizeList* list = OrganizeGetList(catalog, fieldId);
    OrganizeEntry* target = OrganizeListEntryAt(list, n);
    if (!row || !row->renamable || !target || !text || length < 1) return 0;
    Str255 name;
    name[0] = UInt8(std::min<long>(length, 255));
    std::memcpy(name + 1, text, name[0]);

    if (fieldId == kOrganizeSetsField) {
        const UInt32 parent = OrganizeFindParent(catalog, fieldId, target, n);
        UInt32 sibling = 0;
        // A sibling of that name refuses the rename: nothing changes.
        if (OrganizeFindChild(catalog, fieldId, name, target->level, parent, false, nullptr, &sibling))
            return sibling == n ? n : 0;
        list->setText(target, name, false);
        OrganizeNotifyChanged(catalog, fieldId);
        CatalogSetModified(catalog);
        return n;
    }

    UInt32 existing = 0;
    if (OrganizeFindChild(catalog, fieldId, name, 0, 0, true, nullptr, &existing)) return existing == n ? n : 0;
    const std::string oldText = TextOf(target);
    const std::string newText(reinterpret_cast<const char*>(name + 1), name[0]);
    const std::vector<UInt32> ids = target->items;
    // Where the new text belongs among the other top-level entries.
    UInt32 place = UInt32(list->size()) + 1;
    for (UInt32 i = 1; i <= list->size(); ++i) {
        const OrganizeEntry* e = list->at(i - 1);
        if (i != n && e->level == 0 && OrganizeCompareText(e->text, name) > 0) {
            place = i;
            break;
        }
    }
    list->setText(target, name, false);
    UInt32 moved = 0;
    UInt32 position = OrganizeMoveEntry(catalog, fieldId, n, place, 0, &moved);
    if (position == 0) position = n;

    const UInt16 key = UInt16(fieldId);
    const bool multi = FieldIsList(fieldId);
    OrganizeProgress progress{proc, refCon};
    if (progress.Start() == noErr) {
        for (std::size_t i = 0; i < ids.size(); ++i) {
            ItemEntry* item = CatalogFindEntryById(catalog, ids[i]);
            Handle block = item ? ItemReadAnnotationsForEdit(catalog, item) : nullptr;
            if (block) {
                SInt16 occurrence = 1;
                if (multi) {
                    occurrence = IptcGetDatasetText(key, oldText.data(), SInt16(oldText.size()), IptcMarkerAnsi, block);
                    if (occurrence <= 0) occurrence = SInt16(0x7FFF);  // none holds it: one is added
                }
                if (IptcSetDataset(key, occurrence, newText.data(), SInt16(newText.size()), block, kIptcReplace,
                                   IptcMarkerAnsi))
                    RewriteAnnotations(catalog, item, block);
                DisposeHandle(block);
            }
            if (progress.Step(long(i + 1), long(ids.size())) != noErr) break;
        }
    }
    progress.End();
    OrganizeNotifyChanged(catalog, fieldId);
    CatalogSetModified(catalog);
    const UInt32 now = OrganizeEntryNumber(catalog, fieldId, target);
    return now ? now : position;
}
