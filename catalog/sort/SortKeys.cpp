#include "catalog/sort/SortKeys.h"

#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldIds.h"
#include "foundation/text/CodePages.h"
#include "foundation/text/Unicode.h"

#include <cstring>
#include <string_view>

namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

int Sign(long long v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

template <typename T>
int Order(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// A rational as a signed numerator over a positive denominator; false when it has no value
// (a zero denominator).
bool NormalisedPair(const SortKey& k, long long* num, long long* den) {
    if (k.signedPair) {
        *num = SInt32(k.first);
        *den = SInt32(k.second);
    } else {
        *num = k.first;
        *den = k.second;
    }
    if (*den == 0) return false;
    if (*den < 0) {
        *num = -*num;
        *den = -*den;
    }
    return true;
}

int ComparePairs(const SortKey& a, const SortKey& b) {
    long long an, ad, bn, bd;
    bool aValid = NormalisedPair(a, &an, &ad);
    bool bValid = NormalisedPair(b, &bn, &bd);
    if (aValid != bValid) return aValid ? 1 : -1;
    if (!aValid) return Order(an, bn);
    // |numerator| < 2^32 and denominator <= 2^32: products below 2^64 in magnitude. Unsigned
    // pairs can reach that bound, so they multiply in 128 bits.
    __int128 left = static_cast<__int128>(an) * bd;
    __int128 right = static_cast<__int128>(bn) * ad;
    return Order(left, right);
}

}  // namespace

bool SortFieldIsSignedRational(UInt32 fieldId) {
    switch (fieldId) {
        case ExifFieldId(0x9201):  // shutter speed value (APEX)
        case ExifFieldId(0x9203):  // brightness value
        case ExifFieldId(0x9204):  // exposure bias
            return true;
        default:
            return false;
    }
}

void SortKeyTableAdd(SortKeyTable* table, UInt32 fieldId, UInt8 type, const FieldValue* value) {
    SortKey key;
    key.type = value ? type : 0;
    switch (key.type) {
        case kFieldTypeU8:
            key.first = value->u8;
            break;
        case kFieldTypeI16:
            key.first = UInt32(SInt32(value->i16));
            break;
        case kFieldTypeU32:
            key.first = value->u32;
            break;
        case kFieldTypePair:
            key.first = value->pair.first;
            key.second = value->pair.second;
            key.signedPair = SortFieldIsSignedRational(fieldId);
            break;
        case kFieldTypeText: {
            long length = value->text.length;
            if (length < 0) length = 0;
            if (length > kFieldTextMax) length = kFieldTextMax;
            std::string_view bytes(value->text.bytes, size_t(length));
            bytes = bytes.substr(0, bytes.find('\0'));
            key.textOffset = UInt32(table->text.size());
            if (value->text.encoding == kFieldTextUtf8) {
                std::string ansi = Utf8ToAnsi(bytes);
                table->text.append(ansi.c_str());
            } else {
                table->text.append(bytes);
            }
            key.textLength = UInt32(table->text.size() - key.textOffset);
            UpperCaseBuffer(table->text.data() + key.textOffset, long(key.textLength));
            break;
        }
        case kFieldTypeChapter:
        case kFieldTypeTrack:
            break;
        default:
            key.type = 0;
            break;
    }
    table->keys.push_back(key);
}

int SortCompareTextBytes(const unsigned char* a, long aLength, const unsigned char* b,
                         long bLength) {
    long n = aLength < bLength ? aLength : bLength;
    if (n > 0) {
        int c = std::memcmp(a, b, size_t(n));
        if (c != 0) return c < 0 ? -1 : 1;
    }
    // A text goes before a longer one that begins with it: treating the two as equal would
    // make the order inconsistent ("AB" = "A" = "AA" but "AA" < "AB").
    return Order(aLength, bLength);
}

int SortCompareTextNatural(const unsigned char* a, long aLength, const unsigned char* b,
                           long bLength) {
    long i = 0, j = 0;
    int zeroBalance = 0;  // leading zeros skipped in a, less those skipped in b
    for (;;) {
        bool aEnded = i >= aLength, bEnded = j >= bLength;
        if (aEnded || bEnded) return aEnded && bEnded ? 0 : (aEnded ? -1 : 1);
        unsigned char ca = a[i], cb = b[j];
        if (!IsDigit(ca) || !IsDigit(cb)) {
            if (ca != cb) return ca < cb ? -1 : 1;
            ++i;
            ++j;
            continue;
        }
        // Leading zeros are skipped, keeping a run's last digit.
        while (a[i] == '0' && i + 1 < aLength && IsDigit(a[i + 1])) {
            ++i;
            ++zeroBalance;
        }
        while (b[j] == '0' && j + 1 < bLength && IsDigit(b[j + 1])) {
            ++j;
            --zeroBalance;
        }
        long aEnd = i, bEnd = j;
        while (aEnd < aLength && IsDigit(a[aEnd])) ++aEnd;
        while (bEnd < bLength && IsDigit(b[bEnd])) ++bEnd;
        // Digit runs of any length compare without conversion: the longer is the greater.
        if (aEnd - i != bEnd - j) return aEnd - i < bEnd - j ? -1 : 1;
        int c = std::memcmp(a + i, b + j, size_t(aEnd - i));
        if (c != 0) return c < 0 ? -1 : 1;
        // Equal numbers: the one written with more leading zeros goes after ("2" before "02").
        if (zeroBalance != 0) return Sign(zeroBalance);
        i = aEnd;
        j = bEnd;
    }
}

int SortCompareKeyValues(const SortContext* context, long a, long b) {
    const SortKeyTable& table = *context->keys;
    const SortKey& ka = table.keys[size_t(a)];
    const SortKey& kb = table.keys[size_t(b)];
    if (ka.type != kb.type) return Order(ka.type, kb.type);
    switch (ka.type) {
        case kFieldTypeU8:
        case kFieldTypeU32:
            return Order(ka.first, kb.first);
        case kFieldTypeI16:
            return Order(SInt32(ka.first), SInt32(kb.first));
        case kFieldTypePair:
            return ComparePairs(ka, kb);
        case kFieldTypeText: {
            auto* pool = reinterpret_cast<const unsigned char*>(table.text.data());
            if (context->textMode == kSortTextNatural)
                return SortCompareTextNatural(pool + ka.textOffset, ka.textLength,
                                              pool + kb.textOffset, kb.textLength);
            return SortCompareTextBytes(pool + ka.textOffset, ka.textLength, pool + kb.textOffset,
                                        kb.textLength);
        }
        default:
            return 0;
    }
}

bool SortCompareKeys(const SortContext* context, long a, long b) {
    int c = SortCompareKeyValues(context, a, b);
    return context->descending ? c > 0 : c < 0;
}
