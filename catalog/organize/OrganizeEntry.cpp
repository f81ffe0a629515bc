#include "catalog/organize/OrganizeEntry.h"

#include "foundation/text/CodePages.h"
#include "platform/ByteOrder.h"

#include <algorithm>
#include <cstring>

long OrganizeEntrySizeForCount(UInt32 count) {
    if (count == 0) return kOrganizeEntryMinSize;
    return kOrganizeEntryHeaderSize + 4 * long(count);
}

long OrganizeEntryByteSize(const OrganizeEntry* entry) {
    return OrganizeEntrySizeForCount(entry ? UInt32(entry->items.size()) : 0);
}

int OrganizeCompareText(ConstStr255Param a, ConstStr255Param b) {
    const int la = a[0], lb = b[0];
    const int common = std::min(la, lb);
    if (common > 0) {
        int c = std::memcmp(a + 1, b + 1, std::size_t(common));
        if (c != 0) return c < 0 ? -1 : 1;
    }
    return la - lb;
}

bool OrganizeTextEqual(ConstStr255Param a, ConstStr255Param b) {
    return a[0] == b[0] && std::memcmp(a + 1, b + 1, a[0]) == 0;
}

void OrganizeEntrySetText(OrganizeEntry* entry, ConstStr255Param text, bool dateEntry) {
    int length = text[0];
    if (dateEntry && length > kOrganizeDateTextMax) length = kOrganizeDateTextMax;
    std::memmove(entry->text + 1, text + 1, std::size_t(length));
    entry->text[0] = UInt8(length);
}

OrganizeDate OrganizeEntryGetDate(const OrganizeEntry* entry) {
    if (!entry) return {};
    return {ReadLE16(entry->text + 248), ReadLE16(entry->text + 250), ReadLE16(entry->text + 252),
            ReadLE16(entry->text + 254)};
}

void OrganizeEntrySetDate(OrganizeEntry* entry, const OrganizeDate& date) {
    WriteLE16(entry->text + 248, date.day);
    WriteLE16(entry->text + 250, date.month);
    WriteLE16(entry->text + 252, date.year);
    WriteLE16(entry->text + 254, date.dayOfWeek);
}

const UInt32* OrganizeEntryGetItems(const OrganizeEntry* entry, UInt32* count) {
    if (!entry || entry->items.empty()) {
        if (count) *count = 0;
        return nullptr;
    }
    if (count) *count = UInt32(entry->items.size());
    return entry->items.data();
}

UInt32 OrganizeEntryGetCount(const OrganizeEntry* entry) {
    return entry ? UInt32(entry->items.size()) : 0;
}

UInt8 OrganizeEntryGetLevel(const OrganizeEntry* entry) { return entry ? entry->level : 0; }

bool OrganizeEntryIsContainer(const OrganizeEntry* entry) { return entry && entry->container; }

bool OrganizeEntryIsExpanded(const OrganizeEntry* entry) { return entry && entry->expanded; }

void OrganizeEntrySetExpanded(OrganizeEntry* entry, UInt8 expanded) {
    if (entry) entry->expanded = expanded;
}

void OrganizeEntryAppendImage(const OrganizeEntry* entry, bool fileOrder, bool dateEntry,
                              std::vector<std::uint8_t>* out) {
    const std::size_t at = out->size();
    const UInt32 count = UInt32(entry->items.size());
    out->resize(at + std::size_t(OrganizeEntrySizeForCount(count)), 0);
    std::uint8_t* p = out->data() + at;
    std::memcpy(p, entry->text, 256);
    p[256] = entry->expanded;
    p[257] = entry->level;
    p[258] = entry->container;
    p[259] = entry->mark;
    if (fileOrder) {
        int length = p[0];
        if (dateEntry && length > kOrganizeDateTextMax) length = kOrganizeDateTextMax;
        AnsiToMacRoman(p + 1, length);
        WriteBE32(p + 264, count);
        for (UInt32 i = 0; i < count; ++i) WriteBE32(p + 268 + 4 * i, entry->items[i]);
    } else {
        std::memcpy(p + 264, &count, 4);
        if (count) std::memcpy(p + 268, entry->items.data(), 4 * std::size_t(count));
    }
}

long OrganizeEntryFromImage(const std::uint8_t* bytes, long length, bool fileOrder, bool dateEntry,
                            OrganizeEntry* entry) {
    if (length < kOrganizeEntryHeaderSize) return 0;
    UInt32 count;
    if (fileOrder) {
        count = ReadBE32(bytes + 264);
    } else {
        std::memcpy(&count, bytes + 264, 4);
    }
    if (count > UInt32((length - kOrganizeEntryHeaderSize) / 4)) return 0;
    const long size = OrganizeEntrySizeForCount(count);
    if (size > length) return 0;
    std::memcpy(entry->text, bytes, 256);
    entry->expanded = bytes[256];
    entry->level = bytes[257];
    entry->container = bytes[258];
    entry->mark = bytes[259];
    entry->items.resize(count);
    if (fileOrder) {
        int textLength = entry->text[0];
        if (dateEntry && textLength > kOrganizeDateTextMax) textLength = kOrganizeDateTextMax;
        MacRomanToAnsi(entry->text + 1, textLength);
        for (UInt32 i = 0; i < count; ++i) entry->items[i] = ReadBE32(bytes + 268 + 4 * i);
    } else if (count) {
        std::memcpy(entry->items.data(), bytes + 268, 4 * std::size_t(count));
    }
    return size;
}
