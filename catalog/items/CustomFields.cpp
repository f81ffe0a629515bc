#include "catalog/items/CustomFields.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldIds.h"
#include "foundation/text/CodePages.h"
#include "media/metadata/IptcBlock.h"
#include "platform/Handles.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

long NameCount(Handle names) {
    if (!names || !*names) return 0;
    return GetHandleSize(names) / kCustomFieldNameSize;
}

ConstStr255Param NameAt(Handle names, long i) {
    return reinterpret_cast<ConstStr255Param>(*names + i * kCustomFieldNameSize);
}

}  // namespace

bool CustomFieldNamesEqual(ConstStr255Param a, ConstStr255Param b) {
    if (a[0] != b[0]) return false;
    for (int i = 1; i <= a[0]; ++i)
        if (AnsiToUpper(a[i]) != AnsiToUpper(b[i])) return false;
    return true;
}

SInt32 CatalogGetCustomFieldCount(const CatalogRec* catalog) {
    return catalog ? SInt32(NameCount(catalog->customFieldNames)) : 0;
}

UInt32 CatalogFindCustomFieldByName(const CatalogRec* catalog, ConstStr255Param name) {
    if (!catalog || !name) return 0;
    long count = NameCount(catalog->customFieldNames);
    if (count > kMaxCustomFields) count = kMaxCustomFields;
    for (long i = 0; i < count; ++i)
        if (CustomFieldNamesEqual(NameAt(catalog->customFieldNames, i), name))
            return UInt32(kFieldCustomFirst + i);
    return 0;
}

OSErr ItemCollectCustomFields(const CatalogRec* catalog, const ItemEntry* entry, Handle* block) {
    if (!catalog || !entry || !block) return paramErr;
    long count = NameCount(catalog->customFieldNames);
    if (count > kMaxCustomFields) count = kMaxCustomFields;
    for (long i = 0; i < count; ++i) {
        FieldValue value;
        const FieldId id = FieldId(kFieldCustomFirst + i);
        if (ItemGetFieldByEntry(catalog, entry, id, &value, 1) != kFieldTypeText || value.text.length <= 0)
            continue;
        if (!*block) {
            *block = NewHandle(0);
            if (!*block) return memFullErr;
        }
        const UInt8 marker = value.text.encoding == kFieldTextUtf8 ? IptcMarkerUtf8 : IptcMarkerAnsi;
        if (!IptcSetDataset(UInt16(id), 1, value.text.bytes, value.text.length, *block, kIptcAppend, marker) &&
            MemError() != noErr)
            return memFullErr;
    }
    return noErr;
}

bool CustomFieldsMerge(Handle destinationNames, Handle sourceNames, UInt8 map[17]) {
    std::memset(map, 0, 17);
    long sources = NameCount(sourceNames);
    if (sources == 0 && NameCount(destinationNames) == 0) return false;
    // A catalog never holds more than 16 custom fields; names past them have no field.
    if (sources > kMaxCustomFields) sources = kMaxCustomFields;
    map[0] = UInt8(sources);
    bool differs = false;
    for (long i = 1; i <= sources; ++i) {
        Str255 name;
        std::memcpy(name, NameAt(sourceNames, i - 1), sizeof name);
        long destinations = NameCount(destinationNames);
        long found = 0;
        for (long d = 0; d < destinations && d < kMaxCustomFields; ++d)
            if (CustomFieldNamesEqual(NameAt(destinationNames, d), name)) {
                found = d + 1;
                break;
            }
        if (!found && destinationNames && destinations < kMaxCustomFields) {
            SetHandleSize(destinationNames, (destinations + 1) * kCustomFieldNameSize);
            if (MemError() == noErr) {
                std::memcpy(*destinationNames + destinations * kCustomFieldNameSize, name, sizeof name);
                found = destinations + 1;
            }
        }
        map[i] = UInt8(found);
        if (found != i) differs = true;
    }
    return differs;
}

bool ItemRemapCustomFields(Handle block, const UInt8 map[17]) {
    if (!block || !map) return false;
    struct Taken {
        UInt8 target;
        UInt8 marker;
        std::string value;
    };
    std::vector<Taken> taken;
    const int count = map[0] > kMaxCustomFields ? kMaxCustomFields : map[0];
    for (int i = 1; i <= count; ++i) {
        if (map[i] == i) continue;
        const UInt16 key = UInt16(kFieldCustomFirst + i - 1);
        UInt16 length = 0;
        UInt8 marker = 0;
        Ptr data = IptcFindDataset(key, 1, block, &length, &marker);
        if (!data) continue;
        taken.push_back({map[i], marker, std::string(data, length)});
        while (IptcSetDataset(key, 1, nullptr, 0, block, kIptcRemove, IptcMarkerAnsi)) {
        }
    }
    for (const Taken& t : taken) {
        if (t.target == 0 || t.target > kMaxCustomFields) continue;
        const UInt16 key = UInt16(kFieldCustomFirst + t.target - 1);
        IptcSetDataset(key, 1, t.value.data(), SInt16(t.value.size()), block, kIptcReplace, t.marker);
    }
    return !taken.empty();
}
