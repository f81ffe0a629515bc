#include "catalog/tables/ItemSearch.h"

#include "catalog/fields/FieldIds.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/organize/OrganizeLists.h"
#include "catalog/tables/Labels.h"
#include "catalog/tables/LookAlikeIndex.h"
#include "catalog/tables/LookAlikeSignatures.h"
#include "foundation/interface/Cursors.h"
#include "foundation/text/CodePages.h"
#include "foundation/text/FoldedSearch.h"
#include "media/metadata/IptcBlock.h"
#include "platform/Files.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

std::unordered_set<UInt32> IdSet(Handle ids) {
    std::unordered_set<UInt32> set;
    if (!ids || !*ids) return set;
    const long count = GetHandleSize(ids) / 4;
    for (long i = 0; i < count; ++i) {
        UInt32 id;
        std::memcpy(&id, *ids + 4 * i, 4);
        set.insert(id);
    }
    return set;
}

// Everything of an item the text search looks at, in one run of bytes as they are held in
// memory: the record in memory order, the annotation block and the URL as text conversion
// gives them, the metadata block as stored, the names of the sets that hold the item and,
// when asked, its label's name. One run, so a text may run from one part into the next. The
// bytes are not upper-cased: the search ignores case itself. Its buffers are kept from item
// to item, so reading an item allocates nothing.
class ItemText {
public:
    ItemText() : scratch_(NewHandle(0)) { buffer_.reserve(8192); }
    ~ItemText() {
        if (scratch_) DisposeHandle(scratch_);
    }
    ItemText(const ItemText&) = delete;
    ItemText& operator=(const ItemText&) = delete;

    const std::string& Of(const CatalogRec* catalog, const ItemEntry* entry, bool withLabel) {
        buffer_.clear();
        const SInt16 file = CatalogGetItemRefNum(catalog, entry);
        ItemRec record;
        if (ItemLoadRecord(catalog, entry, &record) == noErr)
            buffer_.append(reinterpret_cast<const char*>(&record), sizeof record);
        AppendBlock(catalog, file, entry, kBlockAnnotations);
        AppendBlock(catalog, file, entry, kBlockUrl);
        AppendBlock(catalog, file, entry, kBlockMetadata);
        UInt32 number = 0;
        for (UInt32 k = 1;; ++k) {
            const OrganizeEntry* set =
                OrganizeFindEntryWithItem(catalog, kFieldCatalogSets, k, entry->id, &number);
            if (!set) break;
            buffer_.append(reinterpret_cast<const char*>(set->text + 1), set->text[0]);
        }
        const UInt32 label = entry->flags & kEntryLabelMask;
        if (withLabel && label != 0) {
            Str255 name;
            LabelGetInfo(int(label), name, nullptr);
            buffer_.append(reinterpret_cast<const char*>(name + 1), name[0]);
        }
        return buffer_;
    }

private:
    // The block as ItemReadBlock gives it (a block that cannot be read adds nothing), read
    // straight onto the end of the buffer; the annotations go through the kept scratch handle,
    // which their conversion takes.
    void AppendBlock(const CatalogRec* catalog, SInt16 file, const ItemEntry* entry, int block) {
        if (file == 0) return;
        if (!scratch_) {
            Handle h = ItemReadBlock(catalog, entry, block);
            if (!h) return;
            buffer_.append(*h, std::size_t(GetHandleSize(h)));
            DisposeHandle(h);
            return;
        }
        SInt64 offset = 0;
        UInt32 size = 0;
        if (ItemBlockLocation(file, entry->position, block, &offset, &size) != noErr || size == 0) return;
        long count = long(size);
        if (block == kBlockAnnotations) {
            SetHandleSize(scratch_, Size(size));
            if (MemError() != noErr) return;
            if (FSReadAt(file, offset, &count, *scratch_) != noErr || count != long(size)) return;
            IptcConvertCharset(scratch_, 1);
            buffer_.append(*scratch_, size);
            return;
        }
        const std::size_t at = buffer_.size();
        buffer_.resize(at + size);
        if (FSReadAt(file, offset, &count, buffer_.data() + at) != noErr || count != long(size)) {
            buffer_.resize(at);
            return;
        }
        if (block == kBlockUrl) MacRomanToAnsi(buffer_.data() + at, long(size));
    }

    std::string buffer_;
    Handle scratch_;
};

// Threads for a search over count items: one for small catalogs, where starting threads costs
// more than it saves, else one per core up to eight.
std::size_t SearchThreadCount(std::size_t count) {
    constexpr std::size_t kItemsPerThread = 1000;
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return std::max<std::size_t>(1, std::min({cores, std::size_t(8), count / kItemsPerThread}));
}

OSErr Progress(CatalogProgressProc proc, short phase, long current, long total, long refCon) {
    if (proc) return proc(phase, current, total, refCon);
    SetWaitCursor(phase == 0 ? 0 : 1);
    return noErr;
}

}  // namespace

Handle ItemSearchText(const CatalogRec* catalog, const void* text, long length, Handle restrictIds) {
    if (!catalog || !catalog->entries || !text || length <= 0) return nullptr;
    const FoldedSearch needle(text, std::size_t(length));
    const bool restricted = restrictIds != nullptr;
    const std::unordered_set<UInt32> scope = IdSet(restrictIds);
    // The items are read in the order their records lie in the files (the catalog file's,
    // then the work file's), which moves forward through each file; the answer keeps item
    // order.
    std::vector<SInt32> readOrder;
    readOrder.reserve(size_t(catalog->itemCount));
    for (SInt32 i = 0; i < catalog->itemCount; ++i)
        if (!restricted || scope.count(catalog->entries[i].id)) readOrder.push_back(i);
    auto place = [catalog](SInt32 i) {
        const ItemEntry& e = catalog->entries[i];
        return std::pair<bool, SInt32>((e.flags & kEntryInWorkFileFlag) != 0, e.position);
    };
    std::sort(readOrder.begin(), readOrder.end(), [&](SInt32 a, SInt32 b) { return place(a) < place(b); });
    // Large catalogs are searched on several cores, each thread over its own stretch of the
    // read order with its own buffers; the reading underneath (files, records, the organize
    // lists' item index) only reads. The label names are filled in before the threads start.
    std::vector<UInt8> matched(size_t(catalog->itemCount), 0);
    auto searchStretch = [&](std::size_t from, std::size_t to) {
        ItemText item;
        for (std::size_t k = from; k < to; ++k) {
            const SInt32 i = readOrder[k];
            const std::string& bytes = item.Of(catalog, &catalog->entries[i], true);
            matched[size_t(i)] = needle.FoundIn(bytes.data(), bytes.size()) ? 1 : 0;
        }
    };
    const std::size_t threads = SearchThreadCount(readOrder.size());
    if (threads <= 1) {
        searchStretch(0, readOrder.size());
    } else {
        Str255 unused;
        LabelGetInfo(1, unused, nullptr);
        std::vector<std::thread> workers;
        const std::size_t per = (readOrder.size() + threads - 1) / threads;
        for (std::size_t t = 1; t < threads; ++t) {
            const std::size_t from = std::min(readOrder.size(), t * per);
            workers.emplace_back(searchStretch, from, std::min(readOrder.size(), from + per));
        }
        searchStretch(0, std::min(readOrder.size(), per));
        for (std::thread& w : workers) w.join();
    }
    std::vector<UInt32> hits;
    for (SInt32 i = 0; i < catalog->itemCount; ++i)
        if (matched[size_t(i)]) hits.push_back(catalog->entries[i].id);
    if (hits.empty()) return nullptr;
    Handle h = nullptr;
    if (PtrToHand(hits.data(), &h, Size(hits.size() * 4)) != noErr) return nullptr;
    return h;
}

bool ItemMatchesText(const CatalogRec* catalog, SInt32 n, const void* text, long length) {
    const ItemEntry* entry = CatalogGetItemEntry(catalog, n);
    if (!entry || !text || length <= 0) return false;
    const FoldedSearch needle(text, std::size_t(length));
    ItemText item;
    const std::string& bytes = item.Of(catalog, entry, false);
    return needle.FoundIn(bytes.data(), bytes.size());
}

Handle ItemScanWithProgress(const CatalogRec* catalog, bool sameName, long tolerance1, long tolerance2,
                            Handle restrictIds, CatalogProgressProc progress, long refCon) {
    if (!catalog || !catalog->entries) return nullptr;
    std::vector<const ItemEntry*> items;
    for (SInt32 i = 0; i < catalog->itemCount; ++i)
        if (!(catalog->entries[i].flags & kEntryHiddenFlag)) items.push_back(&catalog->entries[i]);
    const long count = long(items.size());
    Progress(progress, 0, 0, count, refCon);
    std::vector<UInt8> signatures, present;
    CatalogLookAlikeSignatures(catalog, items, &signatures, &present);

    // With sameName, equal stored names get equal numbers, so that the index compares only
    // items of one name.
    std::vector<UInt32> nameClass;
    if (sameName) {
        std::unordered_map<std::string, UInt32> classes;
        nameClass.resize(items.size(), 0);
        for (std::size_t i = 0; i < items.size(); ++i) {
            ItemRec record;
            unsigned char name[sizeof record.storedName] = {};
            if (ItemLoadRecord(catalog, items[i], &record) == noErr)
                std::memcpy(name, record.storedName, sizeof name);
            // The length byte and the characters it covers; a length past the field (a damaged
            // record) covers only what the field holds.
            const std::size_t length = std::min<std::size_t>(name[0], sizeof name - 1);
            std::string key(reinterpret_cast<const char*>(name), 1 + length);
            nameClass[i] = classes.emplace(std::move(key), UInt32(classes.size())).first->second;
        }
    }
    LookAlikeIndex index(signatures.data(), present, sameName ? &nameClass : nullptr, tolerance1, tolerance2);

    const bool restricted = restrictIds != nullptr;
    const std::unordered_set<UInt32> scope = IdSet(restrictIds);
    std::vector<UInt32> group(items.size(), 0);
    std::vector<UInt8> grouped(items.size(), 0);  // group != 0, as the index's skip list
    std::vector<long> alike;
    UInt32 groups = 0;
    for (long i = 0; i < count; ++i) {
        if (Progress(progress, 1, i + 1, count, refCon) != noErr) break;
        if (restricted && !scope.count(items[std::size_t(i)]->id)) continue;
        // An item without a thumbnail has nothing to compare.
        if (!present[std::size_t(i)]) continue;
        UInt32& mine = group[std::size_t(i)];
        // Once this item has a group, later items that have one stay where they are, so they
        // need no comparing.
        index.AlikeAfter(i, mine ? grouped.data() : nullptr, &alike);
        for (long j : alike) {
            UInt32& theirs = group[std::size_t(j)];
            if (mine && theirs) continue;
            if (!mine) mine = theirs ? theirs : ++groups;
            theirs = mine;
            grouped[std::size_t(i)] = grouped[std::size_t(j)] = 1;
        }
    }
    Progress(progress, 2, 0, 0, refCon);

    std::vector<std::vector<UInt32>> members(groups + 1);
    for (std::size_t k = 0; k < items.size(); ++k)
        if (group[k]) members[group[k]].push_back(items[k]->id);
    std::vector<UInt32> ids;
    for (UInt32 g = 1; g <= groups; ++g) ids.insert(ids.end(), members[g].begin(), members[g].end());
    if (ids.empty()) return NewHandle(0);
    Handle h = nullptr;
    if (PtrToHand(ids.data(), &h, Size(ids.size() * 4)) != noErr) return nullptr;
    return h;
}
