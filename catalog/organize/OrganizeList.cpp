#include "catalog/organize/OrganizeList.h"

#include <algorithm>

long OrganizeList::indexOf(const OrganizeEntry* entry) const {
    if (!entry) return -1;
    if (positionsFor_ != structure_) {
        positions_.clear();
        positions_.reserve(entries_.size());
        for (std::size_t i = 0; i < entries_.size(); ++i) positions_[entries_[i].get()] = long(i);
        positionsFor_ = structure_;
    }
    auto it = positions_.find(entry);
    return it == positions_.end() ? -1 : it->second;
}

bool OrganizeList::orderFact(bool (*compute)(const OrganizeList&)) const {
    if (factShape_ != shape_ || factCompute_ != compute) {
        fact_ = compute(*this);
        factCompute_ = compute;
        factShape_ = shape_;
    }
    return fact_;
}

void OrganizeList::touched(bool orderMayBreak) {
    ++version_;
    ++shape_;
    if (orderMayBreak) flatSorted_ = -1;
}

void OrganizeList::indexId(OrganizeEntry* entry, UInt32 id) {
    auto& holders = byItem_[id];
    if (std::find(holders.begin(), holders.end(), entry) == holders.end()) holders.push_back(entry);
}

void OrganizeList::unindexId(OrganizeEntry* entry, UInt32 id) {
    auto it = byItem_.find(id);
    if (it == byItem_.end()) return;
    auto& holders = it->second;
    holders.erase(std::remove(holders.begin(), holders.end(), entry), holders.end());
    if (holders.empty()) byItem_.erase(it);
}

void OrganizeList::indexEntry(OrganizeEntry* entry) {
    for (UInt32 id : entry->items) indexId(entry, id);
}

void OrganizeList::unindexEntry(OrganizeEntry* entry) {
    for (UInt32 id : entry->items) unindexId(entry, id);
}

OrganizeEntry* OrganizeList::insert(std::size_t index, std::unique_ptr<OrganizeEntry> entry) {
    index = std::min(index, entries_.size());
    OrganizeEntry* raw = entry.get();
    // A value that lands between its neighbours in order keeps a flat, sorted list sorted.
    bool keepsOrder = flatSorted_ == 1 && raw->level == 0;
    if (keepsOrder && index > 0) keepsOrder = OrganizeCompareText(entries_[index - 1]->text, raw->text) < 0;
    if (keepsOrder && index < entries_.size())
        keepsOrder = OrganizeCompareText(raw->text, entries_[index]->text) < 0;
    entries_.insert(entries_.begin() + long(index), std::move(entry));
    indexEntry(raw);
    ++structure_;
    touched(!keepsOrder);
    return raw;
}

std::vector<std::unique_ptr<OrganizeEntry>> OrganizeList::take(std::size_t index, std::size_t count) {
    std::vector<std::unique_ptr<OrganizeEntry>> out;
    if (index >= entries_.size()) return out;
    count = std::min(count, entries_.size() - index);
    out.reserve(count);
    for (std::size_t i = index; i < index + count; ++i) {
        unindexEntry(entries_[i].get());
        out.push_back(std::move(entries_[i]));
    }
    entries_.erase(entries_.begin() + long(index), entries_.begin() + long(index + count));
    ++structure_;
    // Taking entries out of an ascending run leaves it ascending.
    touched(false);
    return out;
}

void OrganizeList::clear() {
    entries_.clear();
    byItem_.clear();
    ++structure_;
    ++version_;
    ++shape_;
    flatSorted_ = 1;
}

void OrganizeList::assign(std::vector<std::unique_ptr<OrganizeEntry>> entries) {
    clear();
    entries_ = std::move(entries);
    for (auto& e : entries_) indexEntry(e.get());
    ++structure_;
    touched(true);
}

void OrganizeList::setText(OrganizeEntry* entry, ConstStr255Param text, bool dateEntry) {
    OrganizeEntrySetText(entry, text, dateEntry);
    touched(true);
}

void OrganizeList::setLevel(OrganizeEntry* entry, UInt8 level) {
    entry->level = level;
    touched(level != 0);
}

bool OrganizeList::holds(const OrganizeEntry* entry, UInt32 id) const {
    auto it = byItem_.find(id);
    if (it == byItem_.end()) return false;
    return std::find(it->second.begin(), it->second.end(), entry) != it->second.end();
}

bool OrganizeList::addItem(OrganizeEntry* entry, UInt32 id) {
    if (holds(entry, id)) return false;
    entry->items.push_back(id);
    indexId(entry, id);
    ++version_;
    return true;
}

bool OrganizeList::removeItem(OrganizeEntry* entry, UInt32 id) {
    if (!holds(entry, id)) return false;
    auto& items = entry->items;
    items.erase(std::remove(items.begin(), items.end(), id), items.end());
    unindexId(entry, id);
    ++version_;
    return true;
}

bool OrganizeList::clearItems(OrganizeEntry* entry) {
    if (entry->items.empty()) return false;
    unindexEntry(entry);
    entry->items.clear();
    ++version_;
    return true;
}

void OrganizeList::setItems(OrganizeEntry* entry, std::vector<UInt32> ids) {
    unindexEntry(entry);
    entry->items = std::move(ids);
    indexEntry(entry);
    ++version_;
}

const std::vector<OrganizeEntry*>* OrganizeList::entriesWithItem(UInt32 id) const {
    auto it = byItem_.find(id);
    return it == byItem_.end() ? nullptr : &it->second;
}

bool OrganizeList::isFlatSorted() const {
    if (flatSorted_ < 0) {
        flatSorted_ = 1;
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i]->level != 0 ||
                (i > 0 && OrganizeCompareText(entries_[i - 1]->text, entries_[i]->text) >= 0)) {
                flatSorted_ = 0;
                break;
            }
        }
    }
    return flatSorted_ == 1;
}
