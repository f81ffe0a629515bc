#include "media/metadata/MetaValueStore.h"

#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <cmath>
#include <algorithm>
#include <cstring>

namespace {

std::uint8_t* Bytes(Handle h) { return reinterpret_cast<std::uint8_t*>(*h); }
std::size_t SizeOf(Handle h) {
    Size n = GetHandleSize(h);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

// Native (little-endian) 32-bit values to big-endian, or back: the same reversal.
void Swap32s(std::uint8_t* p, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) WriteBE32(p + 4 * i, ReadLE32(p + 4 * i));
}

bool StoreHandle(UserData list, Handle value, OSType type) { return AddUserData(list, value, type) == noErr; }

bool StoreRationals(UserData list, Handle value, OSType type, std::size_t count, bool needDenominators) {
    if (SizeOf(value) < 8 * count) return false;
    std::uint8_t* p = Bytes(value);
    if (needDenominators)
        for (std::size_t i = 0; i < count; ++i)
            if (ReadLE32(p + 8 * i + 4) == 0) return false;
    Swap32s(p, 2 * count);
    return StoreHandle(list, value, type);
}

bool StoreShort(UserData list, Handle value, OSType type) {
    if (SizeOf(value) < 2) return false;
    std::uint8_t* p = Bytes(value);
    WriteBE16(p, ReadLE16(p));
    return StoreHandle(list, value, type);
}

// The last non-zero 16-bit value of the array, alone and big-endian in a 2-byte handle.
bool StoreIso(UserData list, Handle value) {
    std::size_t n = SizeOf(value) / 2;
    std::uint16_t iso = 0;
    for (std::size_t i = 0; i < n; ++i) {
        std::uint16_t v = ReadLE16(Bytes(value) + 2 * i);
        if (v) iso = v;
    }
    if (!iso) return false;
    SetHandleSize(value, 2);
    if (MemError()) return false;
    WriteBE16(Bytes(value), iso);
    return StoreHandle(list, value, ExifFieldId(0x8827));
}

bool IsOneOf(std::uint16_t tag, std::initializer_list<std::uint16_t> tags) {
    for (std::uint16_t t : tags)
        if (t == tag) return true;
    return false;
}

}  // namespace

bool ApexShutterToExposureTime(Handle value) {
    if (SizeOf(value) < 8) return false;
    std::uint8_t* p = Bytes(value);
    auto num = static_cast<std::int32_t>(ReadLE32(p));
    auto den = static_cast<std::int32_t>(ReadLE32(p + 4));
    if (den == 0) return false;
    double tv = double(num) / double(den);
    double v = std::round(10.0 * std::pow(2.0, std::fabs(tv)));
    // A value the rational cannot hold is refused rather than wrapped.
    if (!(v >= 1.0 && v <= 4294967295.0)) return false;
    std::uint32_t rounded = static_cast<std::uint32_t>(v);
    if (tv >= 0) {
        WriteLE32(p, 10);
        WriteLE32(p + 4, rounded);
    } else {
        WriteLE32(p, rounded);
        WriteLE32(p + 4, 10);
    }
    return true;
}

bool ApexApertureToFNumber(Handle value) {
    if (SizeOf(value) < 8) return false;
    std::uint8_t* p = Bytes(value);
    auto num = static_cast<std::int32_t>(ReadLE32(p));
    auto den = static_cast<std::int32_t>(ReadLE32(p + 4));
    if (den == 0) return false;
    double av = double(num) / double(den);
    double v = std::round(10.0 * std::pow(2.0, av * 0.5));
    if (!(v >= 0.0 && v <= 4294967295.0)) return false;
    WriteLE32(p, static_cast<std::uint32_t>(v));
    WriteLE32(p + 4, 10);
    return true;
}

bool RationalToShortHandle(Handle value) {
    if (SizeOf(value) < 8) return false;
    std::uint8_t* p = Bytes(value);
    std::uint32_t num = ReadLE32(p);
    std::uint32_t den = ReadLE32(p + 4);
    std::uint16_t v = den ? static_cast<std::uint16_t>(num / den) : 0;
    SetHandleSize(value, 2);
    if (MemError()) return false;
    WriteLE16(Bytes(value), v);
    return true;
}

bool SwapLongAt256(Handle value) {
    if (SizeOf(value) < 260) return false;
    Swap32s(Bytes(value) + 256, 1);
    return true;
}

void RecordListSwapBytes(void* trackRecord) { Swap32s(static_cast<std::uint8_t*>(trackRecord) + 240, 10); }

bool TrackListSwapBytes(Handle value) {
    std::size_t size = SizeOf(value);
    if (size % kTrackRecordSize) return false;
    for (std::size_t off = 0; off < size; off += kTrackRecordSize) RecordListSwapBytes(Bytes(value) + off);
    return true;
}

bool MetaStoreValue(UserData list, Handle value, OSType type) {
    if (!list || !value || GetHandleSize(value) < 0 || MemError()) return false;
    const std::uint16_t high = std::uint16_t(type >> 16);
    const std::uint16_t tag = std::uint16_t(type);

    if (high == 'ex') {
        switch (tag) {
        case 0x9201:
            if (!ApexShutterToExposureTime(value)) return false;
            UserDataRemove(list, ExifFieldId(0x829A), 0);
            return StoreRationals(list, value, ExifFieldId(0x829A), 1, false);
        case 0x9202:
            if (!ApexApertureToFNumber(value)) return false;
            UserDataRemove(list, ExifFieldId(0x829D), 0);
            return StoreRationals(list, value, ExifFieldId(0x829D), 1, false);
        case 0x9215:
            if (!RationalToShortHandle(value)) return false;
            UserDataRemove(list, ExifFieldId(0x8827), 0);
            return StoreIso(list, value);
        case 0x8827:
            return StoreIso(list, value);
        case 0xA404: {
            if (SizeOf(value) < 8) return false;
            std::uint32_t num = ReadLE32(Bytes(value)), den = ReadLE32(Bytes(value) + 4);
            if (num == 0 || den == 0 || num == den) return false;
            return StoreRationals(list, value, type, 1, false);
        }
        case 0x9000:
        case 0xA000:
            if (SizeOf(value) < 4) return false;
            Swap32s(Bytes(value), 1);
            return StoreHandle(list, value, type);
        case 0x9003:
        case 0xB002:
            return StoreHandle(list, value, type);
        default:
            break;
        }
        if (IsOneOf(tag, {0x829A, 0x829D, 0x9102, 0x9204, 0x9206, 0x920A}))
            return StoreRationals(list, value, type, 1, false);
        if (IsOneOf(tag, {0x8822, 0x9207, 0x9208, 0x9209, 0xA217, 0xA408, 0xA409, 0xA40A, 0xB001, 0xB003}))
            return StoreShort(list, value, type);
        return false;
    }
    if (high == 0x0677) {
        switch (tag) {
        case 0x0001:
        case 0x0003:
            return StoreHandle(list, value, type);
        case 0x0002:
        case 0x0004:
            return StoreRationals(list, value, type, 3, true);
        case 0x0005:
            // The altitude reference (1: below sea level) as it is: without it an altitude
            // below the sea would read as one above.
            return SizeOf(value) >= 1 && StoreHandle(list, value, type);
        case 0x0006:
            return StoreRationals(list, value, type, 1, true);
        default:
            return false;
        }
    }
    switch (type) {
    case 'CHAP':
        return SwapLongAt256(value) && StoreHandle(list, value, type);
    case 'TRCK':
        return TrackListSwapBytes(value) && StoreHandle(list, value, type);
    case kUdText_mak:
    case kUdText_mod:
    case kUdText_swr:
    case kUdText_fmt:
        return AddUserDataText(list, value, type, 1, 0) == noErr;
    default:
        return false;
    }
}

void UserDataRemove(UserData list, OSType type, long index) {
    if (!list) return;
    if (index != 0) {
        RemoveUserData(list, type, index);
        return;
    }
    for (short n = CountUserDataType(list, type); n > 0; --n) RemoveUserData(list, type, 1);
}

OSErr AppendToMetaList(UserData list, OSType type, const void* bytes, long count) {
    Handle h = nullptr;
    if (OSErr err = PtrToHand(bytes, &h, count)) return err;
    OSErr err = AddUserData(list, h, type);
    DisposeHandle(h);
    return err;
}

OSErr UserDataAddTextBytes(UserData list, OSType type, const void* bytes, long count) {
    Handle h = nullptr;
    if (OSErr err = PtrToHand(bytes, &h, count)) return err;
    OSErr err = AddUserDataText(list, h, type, 1, 0);
    DisposeHandle(h);
    return err;
}

OSErr MetaGetValue(UserData list, OSType type, long index, short mode, long capacity, void* out, long* actualSize) {
    if (actualSize) *actualSize = 0;
    if (!list || !out || capacity < 0) return paramErr;
    Handle h = NewHandle(0);
    if (!h) return MemError();
    OSErr err = mode == 0 ? GetUserDataText(list, h, type, index, 0) : GetUserData(list, h, type, index);
    if (err == noErr) {
        const std::uint8_t* p = Bytes(h);
        std::size_t size = SizeOf(h);
        if (mode == 2) {
            std::int32_t v = 0;
            if (size == 2) {
                v = static_cast<std::int16_t>(ReadLE16(p));
            } else if (size == 4) {
                v = static_cast<std::int32_t>(ReadLE32(p));
            } else if (size == 8 && ReadLE32(p + 4) != 0) {
                std::int64_t q = std::int64_t(static_cast<std::int32_t>(ReadLE32(p))) /
                                 std::int64_t(static_cast<std::int32_t>(ReadLE32(p + 4)));
                v = static_cast<std::int32_t>(q);  // only INT_MIN / -1 does not fit; it wraps
            } else {
                err = userDataItemNotFound;
            }
            if (err == noErr) {
                if (capacity < 4) {
                    err = paramErr;
                } else {
                    std::memcpy(out, &v, 4);
                    if (actualSize) *actualSize = 4;
                }
            }
        } else {
            std::size_t n = std::min<std::size_t>(size, static_cast<std::size_t>(capacity));
            if (n) std::memcpy(out, p, n);
            if (actualSize) *actualSize = static_cast<long>(n);
        }
    }
    DisposeHandle(h);
    return err;
}
