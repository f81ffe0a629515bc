// Building organize lists from the items and keeping them current one item at a time.
//
// A whole list is built by reading every item's values once, grouping equal texts by sorting
// (each group's ids stay in item order) and laying the groups out in ascending order. One item
// is re-indexed through the list's index of the entries that hold each item, so its cost does
// not grow with the number of items in the catalog.
#include "catalog/organize/OrganizeIndex.h"

#include "catalog/fields/FieldDef.h"
#include "catalog/items/CustomFields.h"
#include "catalog/organize/OrganizeInternal.h"
#include "foundation/interface/Cursors.h"
#include "foundation/text/PString.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_set>

namespace {

bool IsCustomField(UInt32 fieldId) { return fieldId >= 769 && fieldId <= 784; }


// Fields whose lists follow every change of an item, whether or not annotations came with it.
bool FollowsEveryChange(UInt32 fieldId) {
    switch (fieldId) {
    case 3:
    case 24:
    case 27:
    case 67:
    case kOrganizeDateField:
    case kOrganizeLabelsField:
        return true;
    default:
        return false;
    }
}

void TextToPStr(const std::string& text, Str255 out) {
    const std::size_t n = std::min<std::size_t>(text.size(), 255);
    out[0] = UInt8(n);
    std::memcpy(out + 1, text.data(), n);
}

// The texts an item gives a list: the label digit for the labels list, else its values.
void ItemListTexts(CatalogRec* catalog, const ItemEntry* entry, UInt32 fieldId, std::vector<std::string>* out) {
    out->clear();
    if (fieldId == kOrganizeLabelsField) {
        out->push_back(std::string(1, char('0' + (entry->flags & kEntryLabelMask))));
        return;
    }
    OrganizeItemValueTexts(catalog, entry, fieldId, out);
}

struct ValueRecord {
    std::string text;
    UInt32 itemId;
};

// Finds the top-level entry of a text, or makes it at its place in the order.
OrganizeEntry* FindOrInsertValue(CatalogRec* catalog, UInt32 fieldId, OrganizeList* list, const std::string& text,
                                 bool* inserted) {
    Str255 s;
    TextToPStr(text, s);
    UInt32 position = 0;
    *inserted = false;
    if (OrganizeFindChild(catalog, fieldId, s, 0, 0, true, nullptr, &position)) return list->at(position - 1);
    auto entry = std::make_unique<OrganizeEntry>();
    OrganizeEntrySetText(entry.get(), s, false);
    entry->expanded = 1;
    *inserted = true;
    return list->insert(position - 1, std::move(entry));
}

OSErr BuildValueList(CatalogRec* catalog, UInt32 fieldId, OrganizeList* list, OrganizeProgress* progress) {
    std::vector<ValueRecord> records;
    std::vector<std::string> texts;
    OSErr answer = noErr;
    try {
        for (SInt32 i = 0; i < catalog->itemCount; ++i) {
            const ItemEntry* entry = &catalog->entries[i];
            if (entry->flags & kEntryPendingFlag) continue;
            ItemListTexts(catalog, entry, fieldId, &texts);
            for (auto& t : texts) records.push_back({std::move(t), entry->id});
            if ((answer = progress->Step(i + 1, catalog->itemCount)) != noErr) break;
        }
        // Equal texts side by side, each group's ids still in item order.
        std::stable_sort(records.begin(), records.end(),
                         [](const ValueRecord& a, const ValueRecord& b) { return a.text < b.text; });
        const bool direct = list->empty();
        for (std::size_t i = 0; i < records.size();) {
            std::size_t j = i;
            std::vector<UInt32> ids;
            for (; j < records.size() && records[j].text == records[i].text; ++j)
                if (ids.empty() || ids.back() != records[j].itemId) ids.push_back(records[j].itemId);
            if (direct) {
                // Texts come in ascending byte order: each group goes at the end.
                Str255 s;
                TextToPStr(records[i].text, s);
                auto e = std::make_unique<OrganizeEntry>();
                OrganizeEntrySetText(e.get(), s, false);
                e->expanded = 1;
                e->items = std::move(ids);
                list->append(std::move(e));
            } else {
                bool inserted;
                OrganizeEntry* e = FindOrInsertValue(catalog, fieldId, list, records[i].text, &inserted);
                for (UInt32 id : ids) list->addItem(e, id);
            }
            i = j;
        }
    } catch (const std::bad_alloc&) {
        return memFullErr;
    }
    return answer;
}

OSErr BuildDateList(CatalogRec* catalog, OrganizeList* list, OrganizeProgress* progress) {
    std::vector<OrganizeDatedItem> dated;
    OSErr answer = noErr;
    const long total = 2L * catalog->itemCount;
    try {
        dated.reserve(std::size_t(catalog->itemCount));
        for (SInt32 i = 0; i < catalog->itemCount; ++i) {
            const ItemEntry* entry = &catalog->entries[i];
            if (entry->flags & kEntryPendingFlag) continue;
            // Every dated item has its day, whatever the year; 0 is no date.
            UInt32 date = OrganizeItemDate(catalog, entry);
            if (date != 0) dated.push_back({entry->id, date});
            if ((answer = progress->Step(i + 1, total)) != noErr) break;
        }
    } catch (const std::bad_alloc&) {
        return memFullErr;
    }
    if (!OrganizeFillDateList(list, dated)) return memFullErr;
    if (answer == noErr) answer = progress->Step(total, total);
    return answer;
}

}  // namespace

OSErr OrganizeBuildList(CatalogRec* catalog, UInt32 fieldId, CatalogProgressProc proc, long refCon) {
    if (!catalog || OrganizeFieldRowIndex(fieldId) < 0) return paramErr;
    if (fieldId == kOrganizeSetsField) return noErr;
    if (IsCustomField(fieldId) && SInt32(fieldId - 769) >= CatalogGetCustomFieldCount(catalog)) return noErr;
    if (fieldId == kOrganizeLabelsField && OrganizeHasList(catalog, fieldId)) return noErr;

    OrganizeProgress progress{proc, refCon};
    OSErr err = progress.Start();
    if (err != noErr) return err;
    OrganizeList* list = OrganizeResetList(catalog, fieldId);
    if (!list) return memFullErr;
    if (fieldId == kOrganizeDateField) {
        err = BuildDateList(catalog, list, &progress);
        CatalogSetModified(catalog);
    } else {
        if (fieldId == kOrganizeLabelsField) {
            for (char digit = '0'; digit <= '9'; ++digit) {
                Str255 s = {1, UInt8(digit)};
                auto e = std::make_unique<OrganizeEntry>();
                OrganizeEntrySetText(e.get(), s, false);
                e->expanded = 1;
                list->append(std::move(e));
            }
        }
        err = BuildValueList(catalog, fieldId, list, &progress);
        if (!list->empty()) CatalogSetModified(catalog);
    }
    progress.End();
    return err;
}

bool OrganizeIndexItemField(CatalogRec* catalog, UInt32 fieldId, const ItemEntry* entry) {
    OrganizeList* list = OrganizeGetList(catalog, fieldId);
    if (!list || !entry || fieldId == kOrganizeSetsField) return false;
    const UInt32 id = entry->id;
    bool changed = false;
    std::unordered_set<const OrganizeEntry*> keep;
    try {
        if (fieldId == kOrganizeDateField) {
            const UInt32 date = OrganizeItemDate(catalog, entry);
            if (date != 0) {
                OrganizeEntry* day = OrganizeDateListAdd(list, id, date);
                if (day) {
                    keep.insert(day);
                    changed = true;
                }
            }
        } else {
            std::vector<std::string> texts;
            ItemListTexts(catalog, entry, fieldId, &texts);
            for (const std::string& text : texts) {
                bool inserted;
                OrganizeEntry* e = FindOrInsertValue(catalog, fieldId, list, text, &inserted);
                list->addItem(e, id);
                keep.insert(e);
                changed = true;
            }
        }
    } catch (const std::bad_alloc&) {
        return changed;
    }
    // Entries that no longer stand for one of the item's values lose it.
    if (const auto* holders = list->entriesWithItem(id)) {
        const std::vector<OrganizeEntry*> copy = *holders;
        for (OrganizeEntry* e : copy)
            if (!keep.count(e)) changed |= list->removeItem(e, id);
    }
    return changed;
}

void OrganizeIndexItem(CatalogRec* catalog, const ItemEntry* entry, bool annotationsChanged) {
    if (!catalog || !entry) return;
    for (UInt32 field = OrganizeNextField(catalog, 0, false); field; field = OrganizeNextField(catalog, field, false)) {
        if (field == kOrganizeSetsField || !OrganizeHasList(catalog, field)) continue;
        if (!annotationsChanged && !FollowsEveryChange(field)) continue;
        if (OrganizeIndexItemField(catalog, field, entry)) OrganizeNotifyChanged(catalog, field);
    }
}

void OrganizeRemoveItemFromAll(CatalogRec* catalog, UInt32 itemId) {
    if (!catalog) return;
    for (UInt32 field = OrganizeNextField(catalog, 0, false); field; field = OrganizeNextField(catalog, field, false)) {
        if (OrganizeEntryRemoveItems(catalog, field, 0, &itemId, 1)) OrganizeNotifyChanged(catalog, field);
    }
}
