// One organize list in memory: its entries in list order, and beside them what makes the
// frequent questions cheap while a catalog of thousands of items is indexed:
//   - which entries hold a given item (so re-indexing one item touches only its entries);
//   - whether the list is flat and strictly ascending (then a value is found by binary
//     search instead of a walk).
// Every change of entries or their ids goes through the members below, which keep both
// answers true. Entry numbers outside this class are 1-based; here indexes are 0-based.
#pragma once

#include "catalog/organize/OrganizeEntry.h"

#include <cstddef>
#include <memory>
#include <unordered_map>
#include <vector>

class OrganizeList {
public:
    OrganizeList() = default;
    OrganizeList(const OrganizeList&) = delete;
    OrganizeList& operator=(const OrganizeList&) = delete;

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    OrganizeEntry* at(std::size_t index) const { return entries_[index].get(); }
    // 0-based index of an entry of this list, or -1.
    long indexOf(const OrganizeEntry* entry) const;

    // Structural changes. insert takes ownership and indexes the entry's ids.
    OrganizeEntry* insert(std::size_t index, std::unique_ptr<OrganizeEntry> entry);
    void append(std::unique_ptr<OrganizeEntry> entry) { insert(entries_.size(), std::move(entry)); }
    // Takes count entries out and hands them back (their ids leave the index).
    std::vector<std::unique_ptr<OrganizeEntry>> take(std::size_t index, std::size_t count);
    void clear();
    // Entries and ids replaced wholesale (a list built or read in one go).
    void assign(std::vector<std::unique_ptr<OrganizeEntry>> entries);

    // Texts and levels: changes that may break the ascending order.
    void setText(OrganizeEntry* entry, ConstStr255Param text, bool dateEntry);
    void setLevel(OrganizeEntry* entry, UInt8 level);

    // Ids. addItem adds an id the entry does not hold yet (true when added); removeItem
    // takes every copy of it out (true when one was there).
    bool holds(const OrganizeEntry* entry, UInt32 id) const;
    bool addItem(OrganizeEntry* entry, UInt32 id);
    bool removeItem(OrganizeEntry* entry, UInt32 id);
    bool clearItems(OrganizeEntry* entry);
    // New ids for an entry in the given order (order changes and purges).
    void setItems(OrganizeEntry* entry, std::vector<UInt32> ids);
    // The entries that hold an id, in no particular order; null when none does.
    const std::vector<OrganizeEntry*>* entriesWithItem(UInt32 id) const;

    // True when every entry is at level 0 and the texts ascend strictly.
    bool isFlatSorted() const;
    // Counts every change, so that readers keeping a position can tell it went stale.
    std::uint64_t version() const { return version_; }
    // A fact a caller derives from the entries' order and texts (not their ids), worked out
    // by compute again only after entries were inserted, removed or given a new text or level.
    bool orderFact(bool (*compute)(const OrganizeList&)) const;

private:
    void indexEntry(OrganizeEntry* entry);
    void unindexEntry(OrganizeEntry* entry);
    void indexId(OrganizeEntry* entry, UInt32 id);
    void unindexId(OrganizeEntry* entry, UInt32 id);
    void touched(bool orderMayBreak);

    std::vector<std::unique_ptr<OrganizeEntry>> entries_;
    std::unordered_map<UInt32, std::vector<OrganizeEntry*>> byItem_;
    std::uint64_t version_ = 0;
    std::uint64_t structure_ = 0;  // counts inserts and removals only
    std::uint64_t shape_ = 0;      // counts changes of order, texts and levels
    mutable std::uint64_t factShape_ = ~std::uint64_t(0);
    mutable bool (*factCompute_)(const OrganizeList&) = nullptr;
    mutable bool fact_ = false;
    // -1 unknown, 0 no, 1 yes.
    mutable int flatSorted_ = 1;
    mutable std::unordered_map<const OrganizeEntry*, long> positions_;
    mutable std::uint64_t positionsFor_ = ~std::uint64_t(0);
};
