#include "platform/UserData.h"

#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <cstring>
#include <new>
#include <vector>

struct UserDataRecord {
    struct TypeList {
        OSType type;
        std::vector<std::vector<std::uint8_t>> items;
    };
    std::vector<TypeList> types;  // in the order the types first appeared
};

namespace {

constexpr OSType kUdtaAtom = 'udta';
constexpr std::size_t kAtomHeader = 8;
constexpr std::size_t kTextEntryHeader = 4;

UserDataRecord::TypeList* FindType(UserData ud, OSType type) {
    for (auto& t : ud->types)
        if (t.type == type) return &t;
    return nullptr;
}

std::vector<std::uint8_t>* FindItem(UserData ud, OSType type, long index) {
    UserDataRecord::TypeList* t = FindType(ud, type);
    if (!t || index < 1 || static_cast<std::size_t>(index) > t->items.size()) return nullptr;
    return &t->items[static_cast<std::size_t>(index - 1)];
}

// Copies bytes into a handle, resizing it; reports the memory error.
OSErr CopyToHandle(Handle h, const std::uint8_t* bytes, std::size_t size) {
    SetHandleSize(h, static_cast<Size>(size));
    if (OSErr err = MemError()) return err;
    if (size) std::memcpy(*h, bytes, size);
    return noErr;
}

bool HandleBytes(Handle h, const std::uint8_t** bytes, std::size_t* size) {
    Size n = GetHandleSize(h);
    if (MemError()) return false;
    *bytes = n ? reinterpret_cast<const std::uint8_t*>(*h) : nullptr;
    *size = static_cast<std::size_t>(n);
    return true;
}

// Text entries inside a text item: (u16 size, u16 region code, text). A malformed tail (an
// entry that runs past the item) ends the walk; whatever follows it is not text.
struct TextEntry {
    std::size_t offset;  // of the entry header
    std::size_t size;    // text bytes
    short region;
};

// Calls f(entry) for each well-formed entry, in order, until f answers true; answers whether
// one did.
template <class F>
bool ForTextEntries(const std::uint8_t* item, std::size_t itemSize, F&& f) {
    std::size_t pos = 0;
    while (pos + kTextEntryHeader <= itemSize) {
        std::size_t size = ReadBE16(item + pos);
        if (pos + kTextEntryHeader + size > itemSize) break;
        if (f(TextEntry{pos, size, static_cast<short>(ReadBE16(item + pos + 2))})) return true;
        pos += kTextEntryHeader + size;
    }
    return false;
}

std::vector<TextEntry> TextEntries(const std::vector<std::uint8_t>& item) {
    std::vector<TextEntry> out;
    ForTextEntries(item.data(), item.size(), [&](const TextEntry& e) {
        out.push_back(e);
        return false;
    });
    return out;
}

// Walks a flattened list, calling atom(type, bytes, size) for every item in stored order; the
// whole block is checked on the way. paramErr for a malformed block (bad header, an atom that
// runs past the end or is shorter than its header), whatever atom answered before.
template <class F>
OSErr WalkFlattened(const std::uint8_t* bytes, std::size_t size, F&& atom) {
    if (!bytes || size < kAtomHeader || ReadBE32(bytes + 4) != kUdtaAtom) return paramErr;
    std::size_t end = ReadBE32(bytes);
    if (end < kAtomHeader || end > size) return paramErr;
    std::size_t pos = kAtomHeader;
    while (pos < end) {
        if (end - pos < kAtomHeader) {
            // Only the historical 32-bit zero terminator may stand here.
            if (end - pos == 4 && ReadBE32(bytes + pos) == 0) break;
            return paramErr;
        }
        std::size_t atomSize = ReadBE32(bytes + pos);
        if (atomSize < kAtomHeader || atomSize > end - pos) return paramErr;
        if (OSErr err = atom(OSType(ReadBE32(bytes + pos + 4)), bytes + pos + kAtomHeader, atomSize - kAtomHeader))
            return err;
        pos += atomSize;
    }
    return noErr;
}

}  // namespace

OSErr NewUserData(UserData* theUserData) {
    if (!theUserData) return paramErr;
    *theUserData = new (std::nothrow) UserDataRecord;
    return *theUserData ? noErr : memFullErr;
}

OSErr DisposeUserData(UserData theUserData) {
    delete theUserData;
    return noErr;
}

OSErr GetUserData(UserData theUserData, Handle data, OSType udType, long index) {
    if (!theUserData) return paramErr;
    const std::vector<std::uint8_t>* item = FindItem(theUserData, udType, index);
    if (!item) return userDataItemNotFound;
    if (!data) return noErr;
    return CopyToHandle(data, item->data(), item->size());
}

OSErr AddUserData(UserData theUserData, Handle data, OSType udType) {
    if (!theUserData || !data) return paramErr;
    const std::uint8_t* bytes;
    std::size_t size;
    if (!HandleBytes(data, &bytes, &size)) return nilHandleErr;
    try {
        std::vector<std::uint8_t> item(bytes, bytes + size);
        UserDataRecord::TypeList* t = FindType(theUserData, udType);
        if (!t) {
            theUserData->types.push_back({udType, {}});
            t = &theUserData->types.back();
        }
        t->items.push_back(std::move(item));
    } catch (const std::bad_alloc&) {
        return memFullErr;
    }
    return noErr;
}

OSErr RemoveUserData(UserData theUserData, OSType udType, long index) {
    if (!theUserData) return paramErr;
    UserDataRecord::TypeList* t = FindType(theUserData, udType);
    if (!t || index < 1 || static_cast<std::size_t>(index) > t->items.size()) return userDataItemNotFound;
    t->items.erase(t->items.begin() + (index - 1));
    if (t->items.empty()) {
        for (auto it = theUserData->types.begin(); it != theUserData->types.end(); ++it)
            if (it->type == udType) {
                theUserData->types.erase(it);
                break;
            }
    }
    return noErr;
}

short CountUserDataType(UserData theUserData, OSType udType) {
    if (!theUserData) return 0;
    UserDataRecord::TypeList* t = FindType(theUserData, udType);
    if (!t) return 0;
    return t->items.size() > 0x7FFF ? short(0x7FFF) : static_cast<short>(t->items.size());
}

long GetNextUserDataType(UserData theUserData, OSType udType) {
    if (!theUserData) return 0;
    auto& types = theUserData->types;
    if (udType == 0) return types.empty() ? 0 : static_cast<long>(types.front().type);
    for (std::size_t i = 0; i + 1 < types.size(); ++i)
        if (types[i].type == udType) return static_cast<long>(types[i + 1].type);
    return 0;
}

OSErr AddUserDataText(UserData theUserData, Handle data, OSType udType, long index, short itlRegionTag) {
    if (!theUserData || !data || index < 1) return paramErr;
    const std::uint8_t* bytes;
    std::size_t size;
    if (!HandleBytes(data, &bytes, &size)) return nilHandleErr;
    if (size > 0xFFFF) return paramErr;  // the entry's byte count is 16 bits
    try {
        std::vector<std::uint8_t> entry(kTextEntryHeader + size);
        WriteBE16(entry.data(), static_cast<std::uint16_t>(size));
        WriteBE16(entry.data() + 2, static_cast<std::uint16_t>(itlRegionTag));
        if (size) std::memcpy(entry.data() + kTextEntryHeader, bytes, size);

        std::vector<std::uint8_t>* item = FindItem(theUserData, udType, index);
        if (!item) {
            UserDataRecord::TypeList* t = FindType(theUserData, udType);
            if (!t) {
                theUserData->types.push_back({udType, {}});
                t = &theUserData->types.back();
            }
            t->items.push_back(std::move(entry));
            return noErr;
        }
        for (const TextEntry& e : TextEntries(*item)) {
            if (e.region != itlRegionTag) continue;
            auto first = item->begin() + static_cast<long>(e.offset);
            auto last = first + static_cast<long>(kTextEntryHeader + e.size);
            item->insert(item->erase(first, last), entry.begin(), entry.end());
            return noErr;
        }
        item->insert(item->end(), entry.begin(), entry.end());
    } catch (const std::bad_alloc&) {
        return memFullErr;
    }
    return noErr;
}

OSErr GetUserDataText(UserData theUserData, Handle data, OSType udType, long index, short itlRegionTag) {
    if (!theUserData) return paramErr;
    const std::vector<std::uint8_t>* item = FindItem(theUserData, udType, index);
    if (!item) return userDataItemNotFound;
    for (const TextEntry& e : TextEntries(*item)) {
        if (e.region != itlRegionTag) continue;
        if (!data) return noErr;
        return CopyToHandle(data, item->data() + e.offset + kTextEntryHeader, e.size);
    }
    return userDataItemNotFound;
}

OSErr RemoveUserDataText(UserData theUserData, OSType udType, long index, short itlRegionTag) {
    if (!theUserData) return paramErr;
    std::vector<std::uint8_t>* item = FindItem(theUserData, udType, index);
    if (!item) return userDataItemNotFound;
    for (const TextEntry& e : TextEntries(*item)) {
        if (e.region != itlRegionTag) continue;
        auto first = item->begin() + static_cast<long>(e.offset);
        item->erase(first, first + static_cast<long>(kTextEntryHeader + e.size));
        if (item->empty()) return RemoveUserData(theUserData, udType, index);
        return noErr;
    }
    return userDataItemNotFound;
}

OSErr PutUserDataIntoHandle(UserData theUserData, Handle h) {
    if (!theUserData || !h) return paramErr;
    std::uint64_t total = kAtomHeader;
    for (const auto& t : theUserData->types)
        for (const auto& item : t.items) total += kAtomHeader + item.size();
    if (total > 0x7FFFFFFF) return paramErr;  // the sizes are 32-bit fields

    SetHandleSize(h, static_cast<Size>(total));
    if (OSErr err = MemError()) return err;
    auto* out = reinterpret_cast<std::uint8_t*>(*h);
    WriteBE32(out, static_cast<std::uint32_t>(total));
    WriteBE32(out + 4, kUdtaAtom);
    std::size_t pos = kAtomHeader;
    for (const auto& t : theUserData->types) {
        for (const auto& item : t.items) {
            WriteBE32(out + pos, static_cast<std::uint32_t>(kAtomHeader + item.size()));
            WriteBE32(out + pos + 4, t.type);
            if (!item.empty()) std::memcpy(out + pos + kAtomHeader, item.data(), item.size());
            pos += kAtomHeader + item.size();
        }
    }
    return noErr;
}

OSErr NewUserDataFromHandle(Handle h, UserData* theUserData) {
    if (!theUserData) return paramErr;
    *theUserData = nullptr;
    const std::uint8_t* bytes;
    std::size_t size;
    if (!h || !HandleBytes(h, &bytes, &size)) return paramErr;

    UserData ud = nullptr;
    if (OSErr err = NewUserData(&ud)) return err;
    OSErr err = WalkFlattened(bytes, size, [&](OSType type, const std::uint8_t* data, std::size_t length) -> OSErr {
        try {
            UserDataRecord::TypeList* t = FindType(ud, type);
            if (!t) {
                ud->types.push_back({type, {}});
                t = &ud->types.back();
            }
            t->items.emplace_back(data, data + length);
        } catch (const std::bad_alloc&) {
            return memFullErr;
        }
        return noErr;
    });
    if (err) {
        DisposeUserData(ud);
        return err;
    }
    *theUserData = ud;
    return noErr;
}

OSErr FindFlattenedUserData(const void* flat, Size size, OSType udType, long index, const UInt8** data,
                            Size* length) {
    if (!data || !length) return paramErr;
    *data = nullptr;
    *length = 0;
    if (size < 0) return paramErr;
    long seen = 0;
    OSErr err = WalkFlattened(static_cast<const std::uint8_t*>(flat), std::size_t(size),
                              [&](OSType type, const std::uint8_t* bytes, std::size_t n) -> OSErr {
                                  if (type == udType && ++seen == index) {
                                      *data = bytes;
                                      *length = Size(n);
                                  }
                                  return noErr;
                              });
    if (err) {
        *data = nullptr;
        *length = 0;
        return err;
    }
    if (index < 1 || seen < index) return userDataItemNotFound;
    return noErr;
}

bool FindUserDataTextEntry(const UInt8* item, Size size, short itlRegionTag, const UInt8** text, Size* length) {
    if (!text || !length) return false;
    *text = nullptr;
    *length = 0;
    if (!item || size <= 0) return false;
    return ForTextEntries(item, std::size_t(size), [&](const TextEntry& e) {
        if (e.region != itlRegionTag) return false;
        *text = item + e.offset + kTextEntryHeader;
        *length = Size(e.size);
        return true;
    });
}
