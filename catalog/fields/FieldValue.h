// One field's value as it passes between the field getter and its callers (the list columns,
// the Info panel, find, sort). The caller provides the whole 4,100-byte area; sort keys hold
// exactly that much. Its layout depends on the value type the getter returns:
//   1 u8, 2 i16, 3 u32 (numbers, Mac dates), 4 two u32 (numerator and denominator; for
//   dimensions a third u32, the resolution), 5 text (i16 encoding flag 0 ANSI / 1 UTF-8, i16
//   byte count 0..4096, the bytes, not terminated), 6 chapter (Str255 name, u32 start in tenths
//   of a second), 7 one 284-byte track record in native order, its last byte set to 2.
#pragma once

#include "media/metadata/MetaValueStore.h"  // kTrackRecordSize
#include "platform/MacTypes.h"

#include <cstddef>
#include <cstdint>

inline constexpr int kFieldTextMax = 4096;
inline constexpr int kChapterRecordSize = 260;

enum : std::int16_t {
    kFieldTextAnsi = 0,
    kFieldTextUtf8 = 1,
};

struct FieldText {
    std::int16_t encoding;
    std::int16_t length;
    char bytes[kFieldTextMax];
};

struct FieldChapter {
    Str255 name;
    std::uint32_t start;  // tenths of a second
};

struct FieldNumbers {
    std::uint32_t first;
    std::uint32_t second;
    std::uint32_t third;
    std::uint32_t fourth;
};

union FieldValue {
    std::uint8_t u8;
    std::int16_t i16;
    std::uint32_t u32;
    FieldNumbers pair;
    FieldText text;
    FieldChapter chapter;
    std::uint8_t track[kTrackRecordSize];
    std::uint8_t raw[4100];
};

static_assert(sizeof(FieldValue) == 4100);
static_assert(sizeof(FieldText) == 4100 && offsetof(FieldText, length) == 2 &&
              offsetof(FieldText, bytes) == 4);
static_assert(sizeof(FieldChapter) == kChapterRecordSize && offsetof(FieldChapter, start) == 256);
static_assert(alignof(FieldValue) == 4);

// Clears the first two 32-bit words, as the getter does before it reads.
inline void FieldValueClear(FieldValue* value) {
    if (value) {
        value->pair.first = 0;
        value->pair.second = 0;
    }
}

// Stores text of a given encoding, cut at 4096 bytes; answers the length kept.
int FieldValueSetText(FieldValue* value, const void* bytes, long length, std::int16_t encoding);
