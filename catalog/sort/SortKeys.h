// Sort keys and their comparison. A sort reads every item's value once, through the field
// getter, into a key; the comparisons then touch only the keys. A key keeps just what its
// comparison needs (a number, a pair, or the text upper-cased in one shared pool), so 8,000
// keys take a few hundred kilobytes instead of one 4,100-byte value area each.
//
// The comparison is a strict weak order for every mix of keys, so a stable sort of any list
// comes out sorted:
//   - no value (type 0) goes before every value;
//   - values of different types go by their type code;
//   - numbers by value; pairs (rationals) by value, with 64-bit products so that typical EXIF
//     denominators cannot overflow; a pair with a zero denominator has no value and goes
//     before the others;
//   - texts in byte order (a text before every longer text that begins with it) or in natural
//     order (runs of digits compared as numbers);
//   - chapters and tracks are all equal to each other.
#pragma once

#include "catalog/fields/FieldValue.h"
#include "platform/MacTypes.h"

#include <string>
#include <vector>

struct CatalogRec;

// Text modes of a sort.
enum : UInt8 {
    kSortTextByteOrder = 0,
    kSortTextNatural = 1,   // digit runs compared as numbers
};

struct SortKey {
    UInt8 type = 0;           // the value type the getter returned; 0 no value
    bool signedPair = false;  // type 4: numerator and denominator are signed
    UInt32 first = 0;         // types 1, 2 (sign-extended), 3; the numerator of type 4
    UInt32 second = 0;        // type 4: the denominator
    UInt32 textOffset = 0;    // type 5: the text in the table's pool
    UInt32 textLength = 0;
};

struct SortKeyTable {
    std::vector<SortKey> keys;
    std::string text;         // the texts of all keys, upper-cased Windows-1252
};

// What one sort compares by.
struct SortContext {
    CatalogRec* catalog = nullptr;
    UInt32 fieldId = 0;
    UInt8 textMode = kSortTextByteOrder;
    bool descending = false;
    const SortKeyTable* keys = nullptr;
};

// Appends the key of one value as the getter returned it (type 0: no value; the value area
// may then be null). A text key ends at its first zero byte; UTF-8 text is turned into
// Windows-1252 first so that texts of both encodings sort together; then it is upper-cased.
void SortKeyTableAdd(SortKeyTable* table, UInt32 fieldId, UInt8 type, const FieldValue* value);

// True for the fields whose rationals are signed (the EXIF SRATIONAL tags the catalog keeps).
bool SortFieldIsSignedRational(UInt32 fieldId);

// Keys a and b (0-based indexes into the context's table) in ascending order: negative when
// a goes first, 0 when they are equal, positive when b goes first.
int SortCompareKeyValues(const SortContext* context, long a, long b);
// True when key a goes before key b in the context's direction.
bool SortCompareKeys(const SortContext* context, long a, long b);

// The two text orders over raw bytes (already upper-cased by the caller when case should not
// count), three-way.
int SortCompareTextBytes(const unsigned char* a, long aLength, const unsigned char* b, long bLength);
int SortCompareTextNatural(const unsigned char* a, long aLength, const unsigned char* b,
                           long bLength);
