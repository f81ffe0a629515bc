#include "media/metadata/IptcBlock.h"

#include "foundation/format/DateParse.h"
#include "foundation/text/CodePages.h"
#include "foundation/text/TextScan.h"
#include "foundation/text/Unicode.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kHeader = 5;

struct Dataset {
    std::size_t offset;  // of the marker
    UInt16 key;
    UInt16 length;
    UInt8 marker;
};

bool IsMarker(UInt8 b) { return b == IptcMarkerAnsi || b == IptcMarkerUtf8; }

std::uint8_t* Bytes(Handle h) { return reinterpret_cast<std::uint8_t*>(*h); }

// Walks the block, cutting it at the first byte that does not begin a whole dataset.
std::vector<Dataset> Walk(Handle block) {
    std::vector<Dataset> out;
    if (!block) return out;
    Size size = GetHandleSize(block);
    if (MemError() || size <= 0) return out;
    std::size_t end = static_cast<std::size_t>(size);
    std::size_t pos = 0;
    const std::uint8_t* p = Bytes(block);
    while (pos < end) {
        if (!IsMarker(p[pos]) || end - pos < kHeader) break;
        UInt16 length = ReadBE16(p + pos + 3);
        if (length > kIptcMaxDatasetLength || end - pos - kHeader < length) break;
        out.push_back({pos, UInt16((p[pos + 1] << 8) | p[pos + 2]), length, p[pos]});
        pos += kHeader + length;
    }
    if (pos < end) SetHandleSize(block, static_cast<Size>(pos));
    return out;
}

const Dataset* FindOccurrence(const std::vector<Dataset>& sets, UInt16 key, SInt16 occurrence) {
    if (occurrence < 1) return nullptr;
    SInt16 seen = 0;
    for (const Dataset& d : sets)
        if (d.key == key && ++seen == occurrence) return &d;
    return nullptr;
}

// The 8-bit text in its UTF-8 form.
std::string AnsiAsUtf8(const void* text, long length) {
    return AnsiToUtf8(std::string_view(static_cast<const char*>(text), static_cast<std::size_t>(length)));
}

bool SameText(const std::uint8_t* a, long lengthA, UInt8 markerA, const void* b, long lengthB, UInt8 markerB) {
    if (markerA == markerB) return lengthA == lengthB && BytesEqual(a, b, lengthA);
    if (markerA == IptcMarkerAnsi) {
        std::string u = AnsiAsUtf8(a, lengthA);
        return static_cast<long>(u.size()) == lengthB && BytesEqual(u.data(), b, lengthB);
    }
    std::string u = AnsiAsUtf8(b, lengthB);
    return static_cast<long>(u.size()) == lengthA && BytesEqual(u.data(), a, lengthA);
}

void WriteDataset(std::uint8_t* at, UInt16 key, const void* data, UInt16 length, UInt8 marker) {
    at[0] = marker;
    at[1] = UInt8(key >> 8);
    at[2] = UInt8(key);
    WriteBE16(at + 3, length);
    if (length) std::memcpy(at + kHeader, data, length);
}

// Appends a dataset at the end; false (block unchanged) when the handle cannot grow.
bool AppendDataset(Handle block, UInt16 key, const void* data, UInt16 length, UInt8 marker) {
    Size old = GetHandleSize(block);
    SetHandleSize(block, old + static_cast<Size>(kHeader + length));
    if (MemError()) return false;
    WriteDataset(Bytes(block) + old, key, data, length, marker);
    return true;
}

struct UserDataFieldRow {
    OSType type;
    SInt32 fieldId;
    UInt8 split;
};
constexpr OSType A9(char a, char b, char c) {
    return 0xA9000000u | (OSType(UInt8(a)) << 16) | (OSType(UInt8(b)) << 8) | OSType(UInt8(c));
}
constexpr UserDataFieldRow kUserDataFieldTable[20] = {
    {A9('A', 'R', 'T'), 592, 0}, {A9('a', 'u', 't'), 592, 0}, {A9('d', 'i', 'r'), 592, 0},
    {A9('i', 'n', 'f'), 617, 0}, {A9('n', 'a', 'm'), 617, 0}, {A9('a', 'l', 'b'), 517, 0},
    {A9('P', 'R', 'D'), 517, 0}, {A9('c', 'm', 't'), 632, 0}, {A9('d', 'i', 's'), 519, 0},
    {A9('g', 'e', 'n'), 737, 0}, {A9('d', 'e', 's'), 534, 0}, {A9('p', 'r', 'd'), 622, 0},
    {A9('s', 'r', 'c'), 627, 0}, {A9('c', 'p', 'y'), 628, 0}, {A9('w', 'r', 't'), 634, 0},
    {A9('r', 'e', 'q'), 552, 0}, {A9('p', 'r', 'f'), 630, 1}, {A9('k', 'e', 'y'), 537, 1},
    {A9('u', 'r', 'l'), 739, 0}, {A9('w', 'r', 'n'), 738, 0},
};

constexpr UInt16 kKeyDateCreated = 567;
constexpr UInt16 kKeyCaption = 632;

}  // namespace

Ptr IptcFindDataset(UInt16 key, SInt16 occurrence, Handle block, UInt16* outLength, UInt8* outMarker) {
    if (outLength) *outLength = 0;
    if (outMarker) *outMarker = 0;
    if (!block) return nullptr;
    std::vector<Dataset> sets = Walk(block);
    const Dataset* d = FindOccurrence(sets, key, occurrence);
    if (!d) return nullptr;
    Ptr data = *block + d->offset + kHeader;
    if (d->length) IptcBlankNuls(data, d->length);
    if (outLength) *outLength = d->length;
    if (outMarker) *outMarker = d->marker;
    return data;
}

SInt16 IptcFindDatasetValue(UInt16 key, const void* text, SInt16 length, UInt8 marker, Handle block) {
    if (!block || length <= 0 || !text) return 0;
    for (SInt16 occurrence = 1; occurrence > 0; ++occurrence) {
        UInt16 foundLength = 0;
        UInt8 foundMarker = 0;
        Ptr found = IptcFindDataset(key, occurrence, block, &foundLength, &foundMarker);
        if (!found) break;
        if (SameText(reinterpret_cast<const std::uint8_t*>(found), foundLength, foundMarker, text, length, marker))
            return occurrence;
    }
    return 0;
}

Boolean IptcSetDataset(UInt16 key, SInt16 occurrence, const void* data, SInt16 length, Handle block,
                       SInt16 mode, UInt8 marker) {
    if (!block) return mode != kIptcRemove;
    if (length < 0 || (length > 0 && !data)) return false;
    const UInt16 newLength = static_cast<UInt16>(length);

    // Keep a copy of the new data: it may point into the block itself.
    std::vector<std::uint8_t> copy(static_cast<const std::uint8_t*>(data),
                                   static_cast<const std::uint8_t*>(data) + newLength);

    std::vector<Dataset> sets = Walk(block);
    const Dataset* old = nullptr;
    if (mode != kIptcAppend && !sets.empty()) {
        old = FindOccurrence(sets, key, occurrence);
        if (old && mode == kIptcAddIfAbsent) return false;
        if (old && mode == kIptcReplace && old->length == newLength &&
            BytesEqual(*block + old->offset + kHeader, copy.data(), newLength))
            return false;
    }
    if (!old && mode == kIptcRemove) return false;

    if (old) {
        const std::size_t oldTotal = kHeader + old->length;
        const std::size_t offset = old->offset;
        const Size size = GetHandleSize(block);
        if (mode == kIptcRemove || newLength == 0) {
            std::memmove(Bytes(block) + offset, Bytes(block) + offset + oldTotal, size - offset - oldTotal);
            SetHandleSize(block, size - static_cast<Size>(oldTotal));
            return true;
        }
        // Replace in place: grow first, so a failure leaves the old value where it was.
        const std::size_t newTotal = kHeader + newLength;
        const std::size_t tail = static_cast<std::size_t>(size) - offset - oldTotal;
        if (newTotal > oldTotal) {
            SetHandleSize(block, size + static_cast<Size>(newTotal - oldTotal));
            if (MemError()) return false;
        }
        std::memmove(Bytes(block) + offset + newTotal, Bytes(block) + offset + oldTotal, tail);
        if (newTotal < oldTotal) SetHandleSize(block, size - static_cast<Size>(oldTotal - newTotal));
        WriteDataset(Bytes(block) + offset, key, copy.data(), newLength, marker);
        return true;
    }
    if (newLength == 0) return false;
    return AppendDataset(block, key, copy.data(), newLength, marker);
}

void IptcConvertCharset(Handle block, UInt8 toAnsi) {
    for (const Dataset& d : Walk(block)) {
        if (d.marker != IptcMarkerAnsi || !d.length) continue;
        void* text = *block + d.offset + kHeader;
        if (toAnsi)
            MacRomanToAnsi(text, d.length);
        else
            AnsiToMacRoman(text, d.length);
    }
}

Boolean UserDataFieldLookup(OSType type, SInt32* fieldId, UInt8* split) {
    if (fieldId) *fieldId = 0;
    if (split) *split = 0;
    for (const auto& row : kUserDataFieldTable) {
        if (row.type != type) continue;
        if (fieldId) *fieldId = row.fieldId;
        if (split) *split = row.split;
        return true;
    }
    return false;
}

void IptcAddUserDataText(Handle* block, UserData userData, Handle scratch, OSType type, UInt16 key, UInt8 split) {
    if (!block || !userData || !scratch) return;
    auto ensureBlock = [&]() {
        if (!*block) *block = NewHandle(0);
        return *block != nullptr;
    };
    for (long index = 1;; ++index) {
        if (GetUserDataText(userData, scratch, type, index, 0) != noErr) break;
        Size size = GetHandleSize(scratch);
        if (split) {
            std::string line(*scratch, static_cast<std::size_t>(size));
            line.push_back('\0');
            long position = 0;
            while (position != -1) {
                long tokenLength = 0;
                const char* token = NextTextToken(line.c_str(), &tokenLength, &position);
                if (!token) break;
                if (tokenLength < 1) continue;
                if (tokenLength > kIptcMaxDatasetLength) tokenLength = kIptcMaxDatasetLength;
                if (!ensureBlock()) return;
                IptcSetDataset(key, 0, token, static_cast<SInt16>(tokenLength), *block, kIptcAppend, IptcMarkerAnsi);
            }
            continue;
        }
        // Only the first item counts for a single-valued field.
        long length = key == kKeyDateCreated ? TextToIptcDate(scratch) : TextCollapseBlanks(scratch, key != kKeyCaption);
        if (length > kIptcMaxDatasetLength) length = kIptcMaxDatasetLength;
        if (length > 0 && !(*block && IptcFindDataset(key, 1, *block, nullptr, nullptr))) {
            if (ensureBlock())
                IptcSetDataset(key, 0, *scratch, static_cast<SInt16>(length), *block, kIptcAppend, IptcMarkerAnsi);
        }
        break;
    }
}

Boolean IptcBlankNuls(void* bytes, long count) {
    auto* p = static_cast<std::uint8_t*>(bytes);
    bool any = false;
    for (long i = 0; i < count; ++i) {
        if (p[i] == 0) p[i] = ' ';
        if (p[i] != ' ') any = true;
    }
    return any;
}

long TextCollapseBlanks(Handle text, UInt8 breaksToSpace) {
    if (!text) return 0;
    Size size = GetHandleSize(text);
    auto* p = Bytes(text);
    long kept = 0;
    bool previousSpace = false;
    for (Size i = 0; i < size; ++i) {
        std::uint8_t c = p[i];
        if (c == '\t' || (breaksToSpace && (c == '\r' || c == '\n'))) c = ' ';
        if (c == 0) continue;
        if (c == ' ') {
            bool keep = kept > 0 && !previousSpace;
            previousSpace = true;
            if (!keep) continue;
        } else {
            previousSpace = false;
        }
        p[kept++] = c;
    }
    return kept;
}

long TextToIptcDate(Handle text) {
    if (!text) return 0;
    Size size = GetHandleSize(text);
    if (size < 1 || size > 255) return 0;
    Str255 source;
    source[0] = static_cast<unsigned char>(size);
    std::memcpy(source + 1, *text, static_cast<std::size_t>(size));
    Str255 normalized = {};
    if (!ParseDateText(source, normalized) || normalized[0] != 8) return 0;
    SetHandleSize(text, 8);
    if (MemError()) return 0;
    std::memcpy(*text, normalized + 1, 8);
    return 8;
}
