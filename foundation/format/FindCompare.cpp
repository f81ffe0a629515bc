#include "foundation/format/FindCompare.h"

#include "foundation/text/CodePages.h"
#include "foundation/text/TextScan.h"
#include "platform/MacDates.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

std::string UpperCopy(const void* p, long n) {
    std::string s(static_cast<const char*>(p), size_t(n));
    UpperCaseBuffer(s.data(), n);
    return s;
}

bool TailEquals(const unsigned char* criterion, long criterionLength, const char* item,
                long itemLength, bool fold) {
    if (criterionLength == 0 || criterionLength > itemLength) return false;
    const char* tail = item + (itemLength - criterionLength);
    if (!fold) return std::memcmp(tail, criterion, size_t(criterionLength)) == 0;
    return UpperCopy(tail, criterionLength) == UpperCopy(criterion, criterionLength);
}

}  // namespace

long TextSearch(const void* needle, const void* haystack, long needleLength, long haystackLength,
                Boolean fold) {
    if (needleLength <= 0 || haystackLength < needleLength || !needle || !haystack) return -1;
    std::string n(static_cast<const char*>(needle), size_t(needleLength));
    std::string h(static_cast<const char*>(haystack), size_t(haystackLength));
    if (fold) {
        UpperCaseBuffer(n.data(), needleLength);
        UpperCaseBuffer(h.data(), haystackLength);
    }
    const size_t at = h.find(n);
    return at == std::string::npos ? -1 : long(at);
}

Boolean CompareTextOp(short op, ConstStr255Param criterion, const void* itemText, long itemLength,
                      Boolean exact) {
    if (itemLength < 0 || !itemText) itemLength = 0;
    const char* item = static_cast<const char*>(itemText);
    const long criterionLength = criterion ? criterion[0] : 0;
    const unsigned char* crit = criterion ? criterion + 1 : reinterpret_cast<const unsigned char*>("");
    switch (op) {
    case kTextIsEqual:
        // Equal means the whole text: a prefix, or an empty item text, is not equal.
        if (itemLength != criterionLength) return false;
        if (exact) return UpperCopy(crit, criterionLength) == UpperCopy(item, itemLength);
        return criterionLength == 0 ||
               CompareTextN(reinterpret_cast<const char*>(crit), item, SInt16(criterionLength),
                            SInt16(itemLength)) == 0;
    case kTextContains:
        return TextSearch(crit, item, criterionLength, itemLength, exact) >= 0;
    case kTextDoesNotContain:
        return TextSearch(crit, item, criterionLength, itemLength, exact) < 0;
    case kTextBeginsWith:
        return TextSearch(crit, item, criterionLength, itemLength, exact) == 0;
    case kTextEndsWith:
        // The tail itself, not only the first occurrence: "ab" ends "abab".
        return TailEquals(crit, criterionLength, item, itemLength, exact);
    case kTextIsEmpty:
        return itemLength == 0;
    case kTextIsNotEmpty:
        return itemLength != 0;
    default:
        return false;
    }
}

Boolean CompareNumberOp(short op, UInt32 criterion, UInt32 item) {
    switch (op) {
    case kNumberIsEqual: return item == criterion;
    case kNumberIsLess: return item < criterion;
    case kNumberIsGreater: return item > criterion;
    case kNumberIsLessOrEqual: return item <= criterion;
    case kNumberIsGreaterOrEqual: return item >= criterion;
    default: return false;
    }
}

Boolean CompareSignedNumberOp(short op, SInt32 criterion, SInt32 item) {
    switch (op) {
    case kNumberIsEqual: return item == criterion;
    case kNumberIsLess: return item < criterion;
    case kNumberIsGreater: return item > criterion;
    case kNumberIsLessOrEqual: return item <= criterion;
    case kNumberIsGreaterOrEqual: return item >= criterion;
    default: return false;
    }
}

Boolean CompareDateOp(short op, UInt32 criterion, UInt32 item) {
    DateTimeRec c, i;
    SecondsToDate(criterion, &c);
    SecondsToDate(item, &i);
    // Year, then month, then day.
    const long critDay = long(c.year) * 10000 + c.month * 100 + c.day;
    const long itemDay = long(i.year) * 10000 + i.month * 100 + i.day;
    switch (op) {
    case kDateSameDay: return itemDay == critDay;
    case kDateBefore: return itemDay < critDay;
    case kDateAfter: return itemDay > critDay;
    default: return false;
    }
}

Boolean OSTypeEqualNoCase(OSType a, OSType b) {
    for (int shift = 0; shift < 32; shift += 8) {
        unsigned ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        if (ca >= 'a' && ca <= 'z') ca -= 'a' - 'A';
        if (cb >= 'a' && cb <= 'z') cb -= 'a' - 'A';
        if (ca != cb) return false;
    }
    return true;
}
