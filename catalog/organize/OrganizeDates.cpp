// The date list: years at level 0, their months at level 1 and the days at level 2, in
// calendar order; only the days hold items. Every entry carries its date in the entry's date
// bytes, and the order of the list is the order of the key (year x 25 + month) x 40 + day.
#include "catalog/organize/OrganizeIndex.h"
#include "catalog/organize/OrganizeInternal.h"
#include "foundation/format/DateConvert.h"
#include "foundation/format/LocaleFormats.h"
#include "foundation/text/PString.h"

#include <algorithm>
#include <new>

namespace {

UInt32 DateKey(UInt32 year, UInt32 month, UInt32 day) { return (year * 25 + month) * 40 + day; }

UInt32 EntryKey(const OrganizeEntry* entry) {
    OrganizeDate d = OrganizeEntryGetDate(entry);
    return DateKey(d.year, d.month, d.day);
}

bool KeysAscend(const OrganizeList& list) {
    for (std::size_t i = 1; i < list.size(); ++i)
        if (EntryKey(list.at(i - 1)) >= EntryKey(list.at(i))) return false;
    return true;
}

std::unique_ptr<OrganizeEntry> MakeDateEntry(UInt8 level, const OrganizeDate& date) {
    auto entry = std::make_unique<OrganizeEntry>();
    Str255 text;
    text[0] = 0;
    switch (level) {
    case 0:
        PStrAppendNumber(text, date.year);
        entry->expanded = 0;
        entry->container = 1;
        break;
    case 1:
        GetMonthName(short(date.month), text);
        entry->expanded = 1;
        entry->container = 1;
        break;
    default: {
        GetDayName(short(date.dayOfWeek), text);
        Str255 gap;
        PStrFromCString(gap, !UsesDayLeadingZero() || date.day > 9 ? " " : " 0");
        PStrAppend(text, gap);
        PStrAppendNumber(text, date.day);
        entry->expanded = 1;
        entry->container = 0;
        break;
    }
    }
    entry->level = level;
    OrganizeEntrySetText(entry.get(), text, true);
    OrganizeEntrySetDate(entry.get(), date);
    return entry;
}

OrganizeDate SplitDate(UInt32 seconds) {
    LongDateRec r;
    DateFromCatalogDate(&r, seconds);
    return {UInt16(r.day), UInt16(r.month), UInt16(r.year), UInt16(r.dayOfWeek)};
}

}  // namespace

bool OrganizeFillDateList(OrganizeList* list, const std::vector<OrganizeDatedItem>& items) {
    struct Dated {
        OrganizeDate date;
        UInt32 key;
        UInt32 itemId;
    };
    std::vector<Dated> dated;
    try {
        dated.reserve(items.size());
        for (const OrganizeDatedItem& item : items) {
            if (item.date == 0) continue;
            OrganizeDate d = SplitDate(item.date);
            dated.push_back({d, DateKey(d.year, d.month, d.day), item.itemId});
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    // Calendar order; a day's items keep the order they came in.
    std::stable_sort(dated.begin(), dated.end(), [](const Dated& a, const Dated& b) { return a.key < b.key; });

    std::vector<std::unique_ptr<OrganizeEntry>> entries;
    const Dated* previous = nullptr;
    OrganizeEntry* day = nullptr;
    std::vector<UInt32> dayItems;
    auto closeDay = [&] {
        if (day) day->items.swap(dayItems);
        dayItems.clear();
    };
    bool ok = true;
    try {
        for (const Dated& d : dated) {
            if (previous && previous->key == d.key) {
                if (std::find(dayItems.begin(), dayItems.end(), d.itemId) == dayItems.end())
                    dayItems.push_back(d.itemId);
                continue;
            }
            closeDay();
            if (!previous || previous->date.year != d.date.year)
                entries.push_back(MakeDateEntry(0, {0, 0, d.date.year, 0}));
            if (!previous || previous->date.year != d.date.year || previous->date.month != d.date.month)
                entries.push_back(MakeDateEntry(1, {0, d.date.month, d.date.year, 0}));
            entries.push_back(MakeDateEntry(2, d.date));
            day = entries.back().get();
            dayItems.push_back(d.itemId);
            previous = &d;
        }
        closeDay();
    } catch (const std::bad_alloc&) {
        closeDay();
        ok = false;
    }
    list->assign(std::move(entries));
    return ok;
}

OrganizeEntry* OrganizeDateListAdd(OrganizeList* list, UInt32 itemId, UInt32 date) {
    const OrganizeDate d = SplitDate(date);
    const UInt32 key = DateKey(d.year, d.month, d.day);
    std::size_t place = list->size();
    if (list->orderFact(KeysAscend)) {
        // The walk below stops at the first entry whose key is not smaller: bisect to it.
        std::size_t lo = 0, hi = list->size();
        while (lo < hi) {
            std::size_t mid = lo + (hi - lo) / 2;
            if (EntryKey(list->at(mid)) < key)
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo < list->size() && EntryKey(list->at(lo)) == key) {
            if (itemId) list->addItem(list->at(lo), itemId);
            return list->at(lo);
        }
        place = lo;
    } else {
        for (std::size_t i = 0; i < list->size(); ++i) {
            OrganizeEntry* e = list->at(i);
            const OrganizeDate ed = OrganizeEntryGetDate(e);
            const UInt32 ek = DateKey(ed.year, ed.month, ed.day);
            if (ek == key) {
                if (itemId) list->addItem(e, itemId);
                return e;
            }
            if (ek > key || ed.year > d.year || (ed.year == d.year && ed.month > d.month)) {
                place = i;
                break;
            }
        }
    }
    const OrganizeEntry* before = place > 0 ? list->at(place - 1) : nullptr;
    const OrganizeDate bd = OrganizeEntryGetDate(before);
    try {
        std::unique_ptr<OrganizeEntry> year, month;
        if (!before || bd.year != d.year) year = MakeDateEntry(0, {0, 0, d.year, 0});
        if (!before || bd.year != d.year || bd.month != d.month) month = MakeDateEntry(1, {0, d.month, d.year, 0});
        std::unique_ptr<OrganizeEntry> day = MakeDateEntry(2, d);
        if (itemId) day->items.push_back(itemId);
        if (year) list->insert(place++, std::move(year));
        if (month) list->insert(place++, std::move(month));
        return list->insert(place, std::move(day));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

UInt32 OrganizeAddItemDate(CatalogRec* catalog, UInt32 itemId, UInt32 date) {
    OrganizeList* list = OrganizeGetList(catalog, kOrganizeDateField);
    if (!list || date == 0) return 0;
    OrganizeEntry* day = OrganizeDateListAdd(list, itemId, date);
    if (!day) return 0;
    OrganizeNotifyChanged(catalog, kOrganizeDateField);
    return UInt32(list->indexOf(day) + 1);
}
