// The comparisons that find criteria apply to an item's text, numbers, dates and
// four-character codes.
#pragma once

#include "platform/MacTypes.h"

// Text operators.
enum : short {
    kTextIsEqual = 1,
    kTextContains = 2,
    kTextDoesNotContain = 3,
    kTextBeginsWith = 4,
    kTextEndsWith = 5,
    kTextIsEmpty = 6,
    kTextIsNotEmpty = 7,
};

// Number operators: the item compared with the criterion.
enum : short {
    kNumberIsEqual = 1,
    kNumberIsLess = 2,
    kNumberIsGreater = 3,
    kNumberIsLessOrEqual = 4,
    kNumberIsGreaterOrEqual = 5,
};

// Date operators: the item's calendar day compared with the criterion's.
enum : short {
    kDateSameDay = 1,
    kDateBefore = 2,
    kDateAfter = 3,
};

// True when the item text satisfies the operator against the criterion. The flag, named
// "exact" by the callers, makes the comparison ignore letter case (both sides upper-cased
// in Windows-1252); without it bytes compare as they are. An empty criterion is never found,
// so it contains, begins and ends nothing. Unknown operators: false.
Boolean CompareTextOp(short op, ConstStr255Param criterion, const void* itemText, long itemLength,
                      Boolean exact);

// 0-based position of the first occurrence of needle in haystack, or -1 (also for an empty
// needle or one longer than the haystack). With fold, letter case is ignored.
long TextSearch(const void* needle, const void* haystack, long needleLength, long haystackLength,
                Boolean fold);

// item = criterion, item < criterion ... as unsigned 32-bit numbers; unknown operators: false.
Boolean CompareNumberOp(short op, UInt32 criterion, UInt32 item);
// The same for fields that hold signed numbers: -1 is less than 0, not above every number.
Boolean CompareSignedNumberOp(short op, SInt32 criterion, SInt32 item);

// Both dates reduced to their calendar day (the time of day is ignored); unknown operators:
// false.
Boolean CompareDateOp(short op, UInt32 criterion, UInt32 item);

// The two codes equal byte for byte, the letters a..z taken as A..Z.
Boolean OSTypeEqualNoCase(OSType a, OSType b);
