// The find query records as the settings store keeps them, byte for byte in the machine's
// little-endian order: one query of up to six criteria rows (field, operator, value, and the
// conjunction with the next row), and the set of up to sixteen saved queries, newest first.
// Also the process-wide current query and saved set with their load and save, and the few
// facts about operators that the dialog and the matcher share.
#pragma once

#include "platform/MacTypes.h"

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "find queries are stored in little-endian order, exactly as they lie in memory");

inline constexpr int kFindRowCount = 6;
inline constexpr int kFindSavedQueryCount = 16;
inline constexpr int kFindTextMax = 63;

enum : UInt16 { kFindAnd = 0, kFindOr = 1 };

// One criterion. The value depends on the field's find kind: text a length-prefixed string of
// at most 63 characters, number a signed 32-bit integer, date 32-bit seconds since 1904, code
// the four characters in their reading order (big-endian).
struct FindCriterion {
    UInt32 fieldId;
    UInt16 conjunction;  // with the next row
    UInt16 op;           // 1-based within the kind's operator list
    UInt8 value[64];
};

struct FindQuery {
    Str255 name;
    UInt32 rowCount;   // 1..6
    UInt32 timeStamp;  // seconds since 1904, universal time
    FindCriterion rows[kFindRowCount];
};

struct FindQuerySet {
    UInt32 count;  // 0..16
    FindQuery slots[kFindSavedQueryCount];
};

static_assert(sizeof(FindCriterion) == 72);
static_assert(offsetof(FindCriterion, conjunction) == 4 && offsetof(FindCriterion, op) == 6 &&
              offsetof(FindCriterion, value) == 8);
static_assert(sizeof(FindQuery) == 696);
static_assert(offsetof(FindQuery, rowCount) == 256 && offsetof(FindQuery, timeStamp) == 260 &&
              offsetof(FindQuery, rows) == 264);
static_assert(sizeof(FindQuerySet) == 11140 && offsetof(FindQuerySet, slots) == 4);

// ---- values of a row --------------------------------------------------------------------------

SInt32 FindRowNumber(const FindCriterion& row);
void FindRowSetNumber(FindCriterion* row, SInt32 number);
UInt32 FindRowDate(const FindCriterion& row);
void FindRowSetDate(FindCriterion* row, UInt32 macSeconds);
OSType FindRowCode(const FindCriterion& row);
void FindRowSetCode(FindCriterion* row, OSType code);
// The text value, never longer than 63 characters whatever the stored length byte says.
void FindRowText(const FindCriterion& row, Str255 text);
// Stores at most 63 bytes of the text.
void FindRowSetText(FindCriterion* row, const void* bytes, long length);

// ---- operators ---------------------------------------------------------------------------------

// How many operators a find kind offers (any kind other than 2, 3, 4 has the text operators).
int FindOperatorCount(UInt8 findKind);
// The string id of operator op (1-based) of the kind; 0 when op is out of range.
UInt16 FindOperatorStringId(UInt8 findKind, int op);
inline constexpr UInt16 kFindAndStringId = 59411;
inline constexpr UInt16 kFindOrStringId = 59412;

// ---- records ------------------------------------------------------------------------------------

// The default query: no name, one row, every row on field 2 with operator 1 and "and".
void FindQueryDefault(FindQuery* query);
// Repairs what a stored query may hold out of range: a row count outside 1..6 becomes 1 (and
// the text values cannot be read past 63 characters anyway).
void FindQueryRepair(FindQuery* query);

// Saved set: the query goes to slot 0, the others move down one, slot 15 is lost.
void FindQuerySetAdd(FindQuerySet* set, const FindQuery& query);
// Slot index leaves the set, the ones behind move up; false for an index not in use.
bool FindQuerySetDelete(FindQuerySet* set, UInt32 index);
// The count as it may be trusted (a stored count above 16 reads as 16).
UInt32 FindQuerySetCount(const FindQuerySet& set);

// ---- the process-wide queries -----------------------------------------------------------------

// Reads "FindQuery" and "FindQuerySet" from the per-user settings. A current query that is
// missing or not exactly 696 bytes becomes the default query; a set that is missing or not
// exactly 11,140 bytes stays empty.
void LoadFindQueries();
// Writes both values back; false when either could not be stored.
bool SaveFindQueries();
// The default query and an empty set again (for tests and a fresh start).
void ResetFindQueries();

void GetFindQuery(FindQuery* out);
void SetFindQuery(const FindQuery& query);
// True once a query was set or loaded (Find Again needs one).
bool HasFindQuery();
UInt32 GetSavedQueryCount();
bool GetSavedQuery(UInt32 index, FindQuery* out);
void AddSavedQuery(const FindQuery& query);
bool DeleteSavedQuery(UInt32 index);
