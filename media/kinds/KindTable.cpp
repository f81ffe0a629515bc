#include "media/kinds/KindTable.h"

#include <cstring>

namespace {

KindTable gTable;

// Row of the type, or -1. Rows are searched from the first, and types are unique.
int FindRow(OSType type) {
    for (UInt32 i = 0; i < gTable.count; ++i)
        if (gTable.types[i] == type) return int(i);
    return -1;
}

}  // namespace

void KindTableClear() {
    std::memset(&gTable, 0, sizeof gTable);
}

SInt32 KindRegister(OSType type, UInt8 handler, const void* name, SInt16 nameLength, UInt8 category) {
    if (gTable.count >= kKindTableMaxRows) return 0;
    if ((type >> 24) == '.') return 0;
    if (FindRow(type) >= 0) return 0;
    UInt32 row = gTable.count;
    gTable.types[row] = type;
    gTable.handlers[row] = handler;
    gTable.categories[row] = category;
    int length = nameLength < 0 ? 0 : nameLength > 63 ? 63 : nameLength;
    if (!name) length = 0;
    gTable.names[row][0] = static_cast<unsigned char>(length);
    if (length) std::memcpy(&gTable.names[row][1], name, std::size_t(length));
    gTable.count = row + 1;
    return SInt32(gTable.count);
}

SInt32 KindRegister(OSType type, UInt8 handler, const char* name, UInt8 category) {
    std::size_t n = name ? std::strlen(name) : 0;
    return KindRegister(type, handler, name, SInt16(n > 255 ? 255 : n), category);
}

UInt8 KindGetCategory(OSType type) {
    int row = FindRow(type);
    return row < 0 ? UInt8(kKindCategoryImage) : gTable.categories[row];
}

UInt8 KindGetHandler(OSType type) {
    int row = FindRow(type);
    return row < 0 ? UInt8(kKindHandlerGraphicsImporter) : gTable.handlers[row];
}

bool KindGetName(OSType type, StringPtr name) {
    int row = FindRow(type);
    if (row < 0) {
        if (name) name[0] = 0;
        return false;
    }
    if (name) std::memcpy(name, gTable.names[row], std::size_t(gTable.names[row][0]) + 1);
    return true;
}

const OSType* KindGetTable(UInt32* count) {
    if (count) *count = gTable.count;
    return gTable.types;
}

const KindTable& KindGetTableRecord() {
    return gTable;
}

bool KindHasCategory(UInt8 category) {
    for (UInt32 i = 0; i < gTable.count; ++i)
        if (gTable.categories[i] == category) return true;
    return false;
}

bool KindHasCoreImporters() {
    int found = 0;
    for (UInt32 i = 0; i < gTable.count; ++i) {
        OSType t = gTable.types[i];
        if (t == '8BPS' || t == 'TIFF' || t == 'BMP ') {
            if (++found >= 3) return true;
        }
    }
    return false;
}

// The type with its first character in the first byte of memory.
static UInt32 FirstCharFirst(OSType type) {
    return __builtin_bswap32(type);
}

void KindListByCategory(UInt8 category, KindListEntry* entries, UInt32* count) {
    UInt32 n = 0;
    for (UInt32 row = 0; row < gTable.count; ++row) {
        if (gTable.categories[row] != category) continue;
        const unsigned char* name = gTable.names[row];
        bool taken = false;
        for (UInt32 e = 0; e < n && !taken; ++e) {
            if (std::memcmp(entries[e].name, name, std::size_t(name[0]) + 1) != 0) continue;
            for (int slot = 1; slot < 5; ++slot) {
                if (entries[e].types[slot] == 0) {
                    entries[e].types[slot] = FirstCharFirst(gTable.types[row]);
                    taken = true;
                    break;
                }
            }
        }
        if (taken) continue;
        if (n >= kKindTableMaxRows) break;
        KindListEntry& entry = entries[n++];
        std::memset(&entry, 0, sizeof entry);
        std::memcpy(entry.name, name, std::size_t(name[0]) + 1);
        entry.types[0] = FirstCharFirst(gTable.types[row]);
        UInt8 handler = gTable.handlers[row];
        entry.creator = handler == kKindHandlerGraphicsImporter || handler == kKindHandlerMovieImporter
                            ? kKindCreatorQuickTime
                            : kKindCreatorProgram;
    }
    if (count) *count = n;
}

void KindGetCapabilities(OSType type, bool* timeBased, bool* rotatable, bool* visual, bool* graphicsImporter) {
    UInt8 h = KindGetHandler(type);
    if (timeBased) *timeBased = h == 2 || h == 3;
    if (rotatable) *rotatable = h == 1 || h == 2 || h == 6 || h == 7;
    if (visual) *visual = h == 1 || h == 2 || h == 3 || h == 6 || h == 7;
    if (graphicsImporter) *graphicsImporter = h == 1;
}
