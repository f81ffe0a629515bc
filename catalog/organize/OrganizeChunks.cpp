// The organize state in the catalog file. Lists live in memory as records and take their
// byte form only here: count and ids big-endian, text Mac Roman, flag and date bytes as
// they are.
#include "catalog/file/CatalogRec.h"
#include "catalog/organize/OrganizeLists.h"
#include "platform/ByteOrder.h"

#include <new>

namespace {

int RowForPosition(UInt32 position) {
    for (int r = 0; r < kOrganizeRowCount; ++r)
        if (kOrganizeFieldTable[r].position == position) return r;
    return -1;
}

bool IsDateRow(int row) { return kOrganizeFieldTable[row].fieldId == kOrganizeDateField; }

// A list from its file bytes; *cut is set when the bytes end in a part entry (dropped).
std::unique_ptr<OrganizeList> ListFromFile(const std::uint8_t* data, long length, bool dateList, bool* cut) {
    std::vector<std::unique_ptr<OrganizeEntry>> entries;
    if (!OrganizeListFromBytes(data, length, true, dateList, &entries)) *cut = true;
    std::unique_ptr<OrganizeList> list(new (std::nothrow) OrganizeList);
    if (list) list->assign(std::move(entries));
    return list;
}

void AppendListImage(const OrganizeList* list, bool dateList, std::vector<std::uint8_t>* out) {
    for (std::size_t i = 0; i < list->size(); ++i) OrganizeEntryAppendImage(list->at(i), true, dateList, out);
}

}  // namespace

bool OrganizeListsReadChunk(CatalogRec* catalog, OSType tag, const std::uint8_t* data, long length) {
    OrganizeLists* block = catalog->organizeLists;
    if (!block || length < 0) return false;
    bool cut = false;
    switch (tag) {
    case 'CSET': {
        auto list = ListFromFile(data, length, false, &cut);
        if (!list) return false;
        block->lists[OrganizeFieldRowIndex(kOrganizeSetsField)] = std::move(list);
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
            // Only rows that name a field take a list: the end row has none.
            int row = position < kOrganizeRowCount ? RowForPosition(position) : -1;
            if (row >= 0 && kOrganizeFieldTable[row].fieldId != 0 && !block->lists[row]) {
                block->lists[row] = ListFromFile(data + at + 8, long(size), IsDateRow(row), &cut);
                if (!block->lists[row]) return false;
            } else {
                cut = true;
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
                UInt32 bit = p - 1;  // bit 0 is the high bit of the first byte
                value = (data[bit / 8] & (0x80 >> (bit % 8))) ? 1 : 0;
            }
            flags[r] = value;
        }
        UInt8 forced = tag == 'OpMs' ? 0 : 1;
        flags[OrganizeFieldRowIndex(kOrganizeLabelsField)] = forced;
        flags[OrganizeFieldRowIndex(kOrganizeSetsField)] = forced;
        break;
    }
    default:
        return false;
    }
    return !cut;
}

std::vector<std::uint8_t> OrganizeListsChunkData(const CatalogRec* catalog, OSType tag) {
    std::vector<std::uint8_t> out;
    const OrganizeLists* block = catalog->organizeLists;
    if (!block) return out;
    switch (tag) {
    case 'CSET':
        if (const OrganizeList* sets = block->lists[OrganizeFieldRowIndex(kOrganizeSetsField)].get())
            AppendListImage(sets, false, &out);
        break;
    case 'CS00':
        for (int r = 0; r < kOrganizeRowCount; ++r) {
            const OrganizeList* list = block->lists[r].get();
            if (!list || list->empty() || !kOrganizeFieldTable[r].storedList) continue;
            const std::size_t head = out.size();
            out.resize(head + 8);
            AppendListImage(list, IsDateRow(r), &out);
            WriteBE32(out.data() + head, kOrganizeFieldTable[r].position);
            WriteBE32(out.data() + head + 4, UInt32(out.size() - head - 8));
        }
        break;
    case 'MSOP':
    case 'MSVI': {
        const UInt8* flags = tag == 'MSOP' ? block->expanded : block->enabled;
        out.assign(kOrganizeRowCount, 0);
        for (int r = 0; r < kOrganizeRowCount; ++r) out[kOrganizeFieldTable[r].position] = flags[r];
        break;
    }
    default:
        break;
    }
    return out;
}

OSErr OrganizeListsWriteChunks(SInt16 refNum, CatalogRec* catalog) {
    if (!catalog->organizeLists) return paramErr;
    for (OSType tag : {OSType('CSET'), OSType('CS00'), OSType('MSOP'), OSType('MSVI')}) {
        std::vector<std::uint8_t> data;
        try {
            data = OrganizeListsChunkData(catalog, tag);
        } catch (const std::bad_alloc&) {
            return memFullErr;
        }
        OSErr err = ChunkWrite(refNum, tag, data.data(), long(data.size()));
        if (err != noErr) return err;
    }
    return noErr;
}
