#include "catalog/organize/OrganizeSets.h"

#include "catalog/fields/FieldDef.h"
#include "catalog/organize/OrganizeInternal.h"
#include "platform/Handles.h"
#include "platform/UiHooks.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

// ---- moving entries in the tree ------------------------------------------------------------

bool OrganizeCanMove(const CatalogRec* catalog, UInt32 fieldId, UInt32 n, int newLevel, UInt32 count,
                     UInt32 target) {
    const OrganizeList* list = OrganizeGetList(catalog, fieldId);
    const OrganizeEntry* entry = OrganizeListEntryAt(list, n);
    if (!entry || newLevel < 0 || newLevel > 255) return false;
    const int L = newLevel;
    const int level = entry->level;
    // An entry never lands inside its own subtree: the tree would lose its shape.
    const UInt32 end = OrganizeSubtreeEnd(list, n);
    if (target > n && target <= end) return false;

    auto decidedBy = [L](const OrganizeEntry* container) {
        return container ? L <= container->level + 1 : L == 0;
    };
    if (target < 2) return L == 0;
    const UInt32 size = UInt32(list->size());
    if (target > count) {
        if (entry->container) {
            bool containerFollows = false;
            for (UInt32 i = n + 1; i <= size && !containerFollows; ++i) {
                const OrganizeEntry* e = list->at(i - 1);
                containerFollows = e->container && e->level <= level;
            }
            if (!containerFollows && L >= level) return false;
        }
        const OrganizeEntry* lastContainer = nullptr;
        for (UInt32 i = size; i >= 1 && !lastContainer; --i)
            if (list->at(i - 1)->container) lastContainer = list->at(i - 1);
        return decidedBy(lastContainer);
    }
    if (target > n && entry->container) {
        bool allPlainDeeper = true;
        for (UInt32 i = n + 1; i <= target && i <= size && allPlainDeeper; ++i) {
            const OrganizeEntry* e = list->at(i - 1);
            allPlainDeeper = !e->container && e->level > level;
        }
        if (allPlainDeeper) return false;
    }
    for (UInt32 i = std::min(target - 1, size); i >= 1; --i) {
        if (i == n) continue;
        if (list->at(i - 1)->container) return decidedBy(list->at(i - 1));
    }
    return decidedBy(nullptr);
}

UInt32 OrganizeMoveEntry(CatalogRec* catalog, UInt32 fieldId, UInt32 n, UInt32 target, int newLevel,
                         UInt32* outMoved) {
    if (outMoved) *outMoved = 0;
    OrganizeList* list = OrganizeGetList(catalog, fieldId);
    OrganizeEntry* entry = OrganizeListEntryAt(list, n);
    if (!entry) return 0;
    if (!OrganizeCanMove(catalog, fieldId, n, newLevel, UInt32(list->size()), target)) {
        UiBeep();
        return 0;
    }
    const UInt32 end = OrganizeSubtreeEnd(list, n);
    const UInt32 moved = end - n + 1;
    const int delta = newLevel - entry->level;
    auto taken = list->take(n - 1, moved);
    for (auto& e : taken) e->level = UInt8(std::clamp(e->level + delta, 0, 255));
    std::size_t after = target - 1;
    if (target > end) after -= moved;
    after = std::min(after, list->size());
    for (std::size_t i = 0; i < taken.size(); ++i) list->insert(after + i, std::move(taken[i]));
    if (outMoved) *outMoved = moved;
    return UInt32(after + 1);
}

void OrganizeClampLevel(const OrganizeEntry* before, const OrganizeEntry* after, int* level) {
    int L = std::max(*level, 0);
    if (!before) {
        if (after) L = 0;
    } else if (before->container && before->expanded && after) {
        L = before->level + 1;
    } else {
        const int highest = before->container ? before->level + 1 : before->level;
        if (L > highest)
            L = highest;
        else if (after && L < after->level)
            L = after->level;
    }
    *level = L;
}

// ---- pasted lists --------------------------------------------------------------------------

OSErr OrganizePasteEntries(CatalogRec* catalog, UInt32 fieldId, Handle entries) {
    OrganizeList* list = OrganizeGetList(catalog, fieldId);
    if (!list || !entries || GetHandleSize(entries) == 0) return paramErr;
    std::vector<std::unique_ptr<OrganizeEntry>> pasted;
    OrganizeListFromBytes(reinterpret_cast<const std::uint8_t*>(*entries), GetHandleSize(entries), false, false,
                          &pasted);

    std::unordered_set<std::string> topLevel;
    for (std::size_t i = 0; i < list->size(); ++i) {
        const OrganizeEntry* e = list->at(i);
        if (e->level == 0) topLevel.emplace(reinterpret_cast<const char*>(e->text + 1), e->text[0]);
    }
    bool added = false;
    // Entries deeper than this level are left out: the sub-entries of a top-level entry the
    // list has already, and of an entry without a text (which names nothing and would end a
    // set path early). At the start nothing has been taken, so sub-entries wait for a top.
    int skipDeeperThan = 0;
    int previousLevel = 0;
    for (auto& e : pasted) {
        if (e->level > skipDeeperThan) continue;
        skipDeeperThan = 255;
        const std::string text(reinterpret_cast<const char*>(e->text + 1), e->text[0]);
        if (text.empty() || (e->level == 0 && topLevel.count(text))) {
            skipDeeperThan = e->level;
            continue;
        }
        if (e->level == 0) topLevel.insert(text);
        // A sub-entry is never more than one level below the entry before it.
        e->level = UInt8(std::min<int>(e->level, previousLevel + 1));
        previousLevel = e->level;
        e->mark = 0;
        e->items.clear();
        list->append(std::move(e));
        added = true;
    }
    if (!added) return paramErr;
    OrganizeUpdateContainers(catalog, fieldId);
    CatalogSetModified(catalog);
    return noErr;
}

// ---- set paths -----------------------------------------------------------------------------

OSErr OrganizeItemSetPaths(const CatalogRec* catalog, UInt32 itemId, Handle* out) {
    if (!out) return paramErr;
    std::vector<std::uint8_t> bytes;
    UInt32 number = 0;
    for (UInt32 k = 1; const OrganizeEntry* set = OrganizeFindEntryWithItem(catalog, kOrganizeSetsField, k, itemId, &number);
         ++k) {
        UInt32 at = number;
        const OrganizeEntry* e = set;
        while (e) {
            bytes.insert(bytes.end(), e->text, e->text + 1 + e->text[0]);
            at = OrganizeFindParent(catalog, kOrganizeSetsField, e, at);
            e = at ? OrganizeGetEntry(catalog, kOrganizeSetsField, at) : nullptr;
        }
        bytes.push_back(0);
    }
    if (!bytes.empty()) bytes.push_back(0);
    if (!*out) return PtrToHand(bytes.data(), out, Size(bytes.size()));
    return bytes.empty() ? OSErr(noErr) : PtrAndHand(bytes.data(), *out, Size(bytes.size()));
}

OSErr OrganizeAddItemToSetPaths(CatalogRec* catalog, UInt32 itemId, Handle paths) {
    OrganizeList* sets = OrganizeGetList(catalog, kOrganizeSetsField);
    if (!sets || !paths) return paramErr;
    const long length = GetHandleSize(paths);
    const std::uint8_t* p = reinterpret_cast<const std::uint8_t*>(*paths);
    bool changed = false;
    long at = 0;
    while (at < length && p[at] != 0) {
        // One path, deepest name first; a name running past the end ends the reading.
        std::vector<const std::uint8_t*> names;
        while (at < length && p[at] != 0) {
            if (at + 1 + p[at] > length) return paramErr;
            names.push_back(p + at);
            at += 1 + p[at];
        }
        if (at >= length) return paramErr;
        ++at;  // the 0 byte after the path
        std::reverse(names.begin(), names.end());
        UInt32 parent = 0;
        bool making = false;
        for (std::size_t depth = 0; depth < names.size(); ++depth) {
            const UInt8 level = UInt8(std::min<std::size_t>(depth, 255));
            const bool deepest = depth + 1 == names.size();
            UInt32 found = 0;
            if (!making &&
                OrganizeFindChild(catalog, kOrganizeSetsField, names[depth], level, parent, false, nullptr, &found)) {
                parent = found;
                continue;
            }
            // Missing from here down: the first new set goes after its parent's subtree (the
            // end of the list at the top), each deeper one right after the one made before.
            const UInt32 after = making ? parent : parent ? OrganizeSubtreeEnd(sets, parent) : UInt32(sets->size());
            OSErr err = OrganizeInsertNamedEntry(catalog, kOrganizeSetsField, after, names[depth], level,
                                                 deepest ? 0 : 1);
            if (err != noErr) return err;
            if (parent) sets->at(parent - 1)->container = 1;
            making = true;
            changed = true;
            parent = after + 1;
        }
        if (parent) changed |= sets->addItem(sets->at(parent - 1), itemId);
    }
    if (changed) OrganizeNotifyChanged(catalog, kOrganizeSetsField);
    return noErr;
}

// ---- what applies to an entry --------------------------------------------------------------

bool OrganizeCommandAllowed(const OrganizeEntry* entry, UInt32 fieldId, short command) {
    if (!entry) return false;
    const bool items = !entry->items.empty();
    switch (fieldId) {
    case 3:
    case 24:
    case 67:
        // File properties: only showing, selecting and deleting the items themselves.
        return command == kOrganizeCmdShowContent || command == kOrganizeCmdSelectContent
                   ? items
                   : command == kOrganizeCmdDeleteWithContent;
    case 27:
        // The sample colour is measured from the picture, not written into annotations, so
        // no value can be given to items by hand.
        switch (command) {
        case kOrganizeCmdShowContent:
        case kOrganizeCmdSelectContent:
        case kOrganizeCmdEmptyContent:
        case kOrganizeCmdRemoveSelected:
            return items;
        case kOrganizeCmdDelete:
            return true;
        default:
            return false;
        }
    case kOrganizeDateField:
        switch (command) {
        case kOrganizeCmdShowContent:
        case kOrganizeCmdSelectContent:
            return items;
        case kOrganizeCmdDeleteWithContent:
            return true;
        case kOrganizeCmdAddSelected:
            return entry->level > 1;
        case kOrganizeCmdRemoveSelected:
            return entry->level > 1 && items;
        default:
            return false;
        }
    case kOrganizeLabelsField: {
        const bool labelZero = entry->text[0] == 1 && entry->text[1] == '0';
        switch (command) {
        case kOrganizeCmdShowContent:
        case kOrganizeCmdSelectContent:
            return items;
        case kOrganizeCmdEmptyContent:
            return items && !labelZero;
        case kOrganizeCmdAddSelected:
            return true;
        case kOrganizeCmdRemoveSelected:
            return !labelZero;
        default:
            return false;
        }
    }
    default:
        break;
    }
    if (fieldId == kOrganizeSetsField && entry->container) {
        switch (command) {
        case kOrganizeCmdShowContent:
        case kOrganizeCmdSelectContent:
        case kOrganizeCmdAddSubSet:
        case kOrganizeCmdAddSubSetContainer:
        case kOrganizeCmdRename:
        case kOrganizeCmdDelete:
            return true;
        default:
            return false;
        }
    }
    switch (command) {
    case kOrganizeCmdShowContent:
    case kOrganizeCmdSelectContent:
    case kOrganizeCmdEmptyContent:
    case kOrganizeCmdRemoveSelected:
        return items;
    case kOrganizeCmdRename:
    case kOrganizeCmdDuplicate:
    case kOrganizeCmdDelete:
    case kOrganizeCmdAddSelected:
        return true;
    default:
        return false;
    }
}

bool OrganizeDateModeAllowed(UInt32 fieldId, short mode) {
    if (mode < 1 || mode > 8) return false;
    if (fieldId == kOrganizeDateField) return mode == 3 || mode == 4 || mode == 8;
    if (fieldId == kOrganizeSetsField) return mode != 3;
    return FieldGetGroup(fieldId) == kFieldGroupAnnotations && mode >= 3;
}
