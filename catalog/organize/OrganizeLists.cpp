#include "catalog/organize/OrganizeLists.h"

#include "catalog/file/CatalogRec.h"
#include "foundation/text/CodePages.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <cstring>
#include <vector>

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

namespace {

constexpr UInt32 kSetsField = 162;
constexpr UInt32 kLabelsField = 522;
constexpr UInt32 kDateField = 161;

int RowForPosition(UInt32 position) {
    for (int r = 0; r < kOrganizeRowCount; ++r)
        if (kOrganizeFieldTable[r].position == position) return r;
    return -1;
}

// Converts the entries of a list between memory and file order (count and ids big-endian,
// text Mac Roman); flags and the date bytes stay. The walk never leaves the bytes: answers how
// many bytes hold whole entries.
long ConvertListBytes(std::uint8_t* p, long length, bool toFile, bool dateList) {
    long at = 0;
    while (length - at >= kOrganizeEntryHeaderSize) {
        std::uint8_t* e = p + at;
        UInt32 count;
        std::memcpy(&count, e + 264, 4);
        if (!toFile) SwapBigEndianInPlace(count);
        const long size = OrganizeEntrySizeForCount(count);
        if (count > UInt32((length - at - kOrganizeEntryHeaderSize) / 4) || size > length - at) break;
        int textLength = e[0];
        if (dateList && textLength > 247) textLength = 247;
        if (toFile)
            AnsiToMacRoman(e + 1, textLength);
        else
            MacRomanToAnsi(e + 1, textLength);
        for (UInt32 i = 0; i <= count; ++i) {
            // i == count is the count itself.
            std::uint8_t* word = i < count ? e + 268 + 4 * i : e + 264;
            UInt32 v;
            std::memcpy(&v, word, 4);
            SwapBigEndianInPlace(v);
            std::memcpy(word, &v, 4);
        }
        at += size;
    }
    return at;
}

// A list read from the file, in memory order, cut after its last whole entry.
Handle ListFromFile(const std::uint8_t* data, long length, bool dateList, bool* cut) {
    std::vector<std::uint8_t> bytes(data, data + length);
    long whole = ConvertListBytes(bytes.data(), length, false, dateList);
    if (whole != length) *cut = true;
    Handle h = nullptr;
    if (PtrToHand(bytes.data(), &h, whole) != noErr) return nullptr;
    return h;
}

std::vector<std::uint8_t> ListToFile(Handle list, bool dateList) {
    std::vector<std::uint8_t> bytes;
    if (!list) return bytes;
    long length = GetHandleSize(list);
    bytes.assign(*list, *list + length);
    long whole = ConvertListBytes(bytes.data(), length, true, dateList);
    bytes.resize(std::size_t(whole));
    return bytes;
}

bool IsDateRow(int row) { return kOrganizeFieldTable[row].fieldId == kDateField; }

}  // namespace

int OrganizeFieldRowIndex(UInt32 fieldId) {
    if (fieldId == 0) return -1;
    for (int r = 0; r < kOrganizeRowCount; ++r)
        if (kOrganizeFieldTable[r].fieldId == fieldId) return r;
    return -1;
}

long OrganizeEntrySizeForCount(UInt32 count) {
    if (count == 0) return kOrganizeEntryMinSize;
    return kOrganizeEntryHeaderSize + 4 * long(count);
}

bool OrganizeListCheck(Handle list) {
    if (!list) return true;
    const long length = GetHandleSize(list);
    long at = 0;
    while (length - at >= kOrganizeEntryHeaderSize) {
        UInt32 count;
        std::memcpy(&count, *list + at + 264, 4);
        if (count > UInt32((length - at - kOrganizeEntryHeaderSize) / 4)) break;
        long size = OrganizeEntrySizeForCount(count);
        if (size > length - at) break;
        at += size;
    }
    if (at == length) return true;
    SetHandleSize(list, at);
    return false;
}

OSErr OrganizeListsAlloc(CatalogRec* catalog) {
    auto* block = new (std::nothrow) OrganizeLists{};
    if (!block) return memFullErr;
    catalog->organizeLists = block;
    return noErr;
}

void OrganizeListsFree(CatalogRec* catalog) {
    OrganizeLists* block = catalog->organizeLists;
    if (!block) return;
    for (Handle& h : block->lists) {
        if (h) DisposeHandle(h);
        h = nullptr;
    }
    delete block;
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
    int sets = OrganizeFieldRowIndex(kSetsField);
    if (!block->lists[sets]) {
        block->lists[sets] = NewHandle(0);
        if (!block->lists[sets]) return memFullErr;
    }
    return noErr;
}

Handle OrganizeGetList(const CatalogRec* catalog, UInt32 fieldId) {
    int row = OrganizeFieldRowIndex(fieldId);
    if (row < 0 || !catalog->organizeLists) return nullptr;
    return catalog->organizeLists->lists[row];
}

bool OrganizeListsReadChunk(CatalogRec* catalog, OSType tag, const std::uint8_t* data, long length) {
    OrganizeLists* block = catalog->organizeLists;
    if (!block || length < 0) return false;
    bool cut = false;
    switch (tag) {
    case 'CSET': {
        int row = OrganizeFieldRowIndex(kSetsField);
        Handle list = ListFromFile(data, length, false, &cut);
        if (!list) return false;
        if (block->lists[row]) DisposeHandle(block->lists[row]);
        block->lists[row] = list;
        break;
    }
    case 'CS00': {
        long at = 0;
        while (length - at >= 8) {
            UInt32 position = ReadBE32(data + at);
            UInt32 size = ReadBE32(data + at + 4);
            if (size > UInt32(length - at - 8)) {
                cut = true;
                break;
            }
            int row = position < kOrganizeRowCount ? RowForPosition(position) : -1;
            if (row >= 0 && !block->lists[row]) {
                block->lists[row] = ListFromFile(data + at + 8, long(size), IsDateRow(row), &cut);
            }
            at += 8 + long(size);
        }
        if (at != length) cut = true;
        break;
    }
    case 'MSOP':
    case 'MSVI': {
        UInt8* flags = tag == 'MSOP' ? block->expanded : block->enabled;
        for (int r = 0; r < kOrganizeRowCount; ++r) {
            UInt32 p = kOrganizeFieldTable[r].position;
            flags[r] = long(p) < length ? data[p] : 0;
        }
        break;
    }
    case 'OpMs':
    case 'VsMs': {
        if (length != 5) return false;
        UInt8* flags = tag == 'OpMs' ? block->expanded : block->enabled;
        for (int r = 0; r < kOrganizeRowCount; ++r) {
            UInt32 p = kOrganizeFieldTable[r].position;
            UInt8 value = 0;
            if (p >= 1 && p <= 33) {
                UInt32 bit = p - 1;
                value = (data[bit / 8] & (0x80 >> (bit % 8))) ? 1 : 0;
            }
            flags[r] = value;
        }
        UInt8 forced = tag == 'OpMs' ? 0 : 1;
        flags[OrganizeFieldRowIndex(kLabelsField)] = forced;
        flags[OrganizeFieldRowIndex(kSetsField)] = forced;
        break;
    }
    default:
        return false;
    }
    return !cut;
}

OSErr OrganizeListsWriteChunks(SInt16 refNum, CatalogRec* catalog) {
    OrganizeLists* block = catalog->organizeLists;
    if (!block) return paramErr;

    int setsRow = OrganizeFieldRowIndex(kSetsField);
    std::vector<std::uint8_t> sets = ListToFile(block->lists[setsRow], false);
    OSErr err = ChunkWrite(refNum, 'CSET', sets.data(), long(sets.size()));
    if (err != noErr) return err;

    std::vector<std::uint8_t> stored;
    for (int r = 0; r < kOrganizeRowCount; ++r) {
        Handle list = block->lists[r];
        if (!list || GetHandleSize(list) == 0 || !kOrganizeFieldTable[r].storedList) continue;
        std::vector<std::uint8_t> bytes = ListToFile(list, IsDateRow(r));
        std::uint8_t head[8];
        WriteBE32(head, kOrganizeFieldTable[r].position);
        WriteBE32(head + 4, UInt32(bytes.size()));
        stored.insert(stored.end(), head, head + 8);
        stored.insert(stored.end(), bytes.begin(), bytes.end());
    }
    err = ChunkWrite(refNum, 'CS00', stored.data(), long(stored.size()));
    if (err != noErr) return err;

    std::uint8_t expanded[kOrganizeRowCount] = {}, enabled[kOrganizeRowCount] = {};
    for (int r = 0; r < kOrganizeRowCount; ++r) {
        expanded[kOrganizeFieldTable[r].position] = block->expanded[r];
        enabled[kOrganizeFieldTable[r].position] = block->enabled[r];
    }
    err = ChunkWrite(refNum, 'MSOP', expanded, kOrganizeRowCount);
    if (err != noErr) return err;
    return ChunkWrite(refNum, 'MSVI', enabled, kOrganizeRowCount);
}
