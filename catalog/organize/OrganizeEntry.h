// One value of an organize list: its text, its place in the list's hierarchy and the unique
// ids of the items that carry it.
//
// In memory an entry is a record of its own with its ids in a growable array; lists hold
// entries by pointer, so an entry stays where it is while the list around it changes. The
// byte image that the catalog file, the clipboard and pasted lists use is:
//   0    256 bytes  Str255 text; in date-list entries only bytes 0..247 carry text and
//                   248..255 hold four u16 (day, month, year, day of week), low byte first
//   256  u8         expanded
//   257  u8         level (0 top level)
//   258  u8         container: the next entry lies one level deeper
//   259  u8         scratch mark, 0 at rest
//   260  4 bytes    zero
//   264  u32        item count
//   268  u32 each   item ids
// An entry with no items still takes 272 bytes (one empty id slot).
#pragma once

#include "platform/MacTypes.h"

#include <cstdint>
#include <vector>

inline constexpr long kOrganizeEntryHeaderSize = 268;
inline constexpr long kOrganizeEntryMinSize = 272;
// Text bytes a date-list entry can hold beside its date.
inline constexpr int kOrganizeDateTextMax = 247;

struct OrganizeEntry {
    UInt8 text[256] = {};   // Str255 image, bytes past the text kept as they came
    UInt8 expanded = 0;
    UInt8 level = 0;
    UInt8 container = 0;
    UInt8 mark = 0;
    std::vector<UInt32> items;
};

// Byte size of the image of an entry holding count ids: 268 + 4 x count, at least 272.
long OrganizeEntrySizeForCount(UInt32 count);
long OrganizeEntryByteSize(const OrganizeEntry* entry);

// Byte-wise, case-sensitive order of two texts; a text that is a prefix of the other sorts
// first. Negative, 0 or positive.
int OrganizeCompareText(ConstStr255Param a, ConstStr255Param b);
bool OrganizeTextEqual(ConstStr255Param a, ConstStr255Param b);

// The entry's text; a date entry's text is cut at 247 bytes so that it never covers the date.
void OrganizeEntrySetText(OrganizeEntry* entry, ConstStr255Param text, bool dateEntry);

// The four date components of a date-list entry (day, month, year, day of week).
struct OrganizeDate {
    UInt16 day;
    UInt16 month;
    UInt16 year;
    UInt16 dayOfWeek;
};
OrganizeDate OrganizeEntryGetDate(const OrganizeEntry* entry);
void OrganizeEntrySetDate(OrganizeEntry* entry, const OrganizeDate& date);

// Entry accessors; a null entry reads as 0.
const UInt32* OrganizeEntryGetItems(const OrganizeEntry* entry, UInt32* count);
UInt32 OrganizeEntryGetCount(const OrganizeEntry* entry);
UInt8 OrganizeEntryGetLevel(const OrganizeEntry* entry);
bool OrganizeEntryIsContainer(const OrganizeEntry* entry);
bool OrganizeEntryIsExpanded(const OrganizeEntry* entry);
void OrganizeEntrySetExpanded(OrganizeEntry* entry, UInt8 expanded);

// ---- byte images ---------------------------------------------------------------------------

// Appends the image of an entry in memory order (ids in the machine's order, text ANSI), or
// in file order (count and ids big-endian, text Mac Roman; flags and date bytes unchanged).
void OrganizeEntryAppendImage(const OrganizeEntry* entry, bool fileOrder, bool dateEntry,
                              std::vector<std::uint8_t>* out);

// Reads one entry image at the start of bytes. Answers its byte size, or 0 when the bytes do
// not hold a whole entry (too short, or a count that runs past the end).
long OrganizeEntryFromImage(const std::uint8_t* bytes, long length, bool fileOrder, bool dateEntry,
                            OrganizeEntry* entry);
