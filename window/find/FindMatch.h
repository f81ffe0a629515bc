// Whether one catalog item satisfies a find query: each row compares the item's values of its
// field by the field's find kind, and the rows combine left to right by their conjunctions.
#pragma once

#include "window/find/FindQuery.h"

struct CatalogRec;

// One row against the visible item n (1-based). Text: values compared case-insensitively
// (a missing value is the empty text; values of other types as their display text). Number:
// 8-, 16- and 32-bit values, the 16-bit ones (signed fields) compared as signed numbers and
// the others as unsigned. Date: by calendar day. Code: equal letters ignoring case, operator 2
// its negation. A field with several values (keywords, people, catalog sets) is visited value by value:
// for "doesn't contain" every value must pass, for "is", "contains", "starts with" and "ends
// with" one value is enough; the last comparison is the answer.
bool FindMatchRow(const CatalogRec* catalog, SInt32 item, const FindCriterion& row);

// The whole query: row 1, then for each further row with c the conjunction stored in the row
// before: true and "or" ends with true; true and "and" takes this row's answer; false and
// "or" takes this row's answer; false and "and" skips the row.
bool FindMatchItem(const CatalogRec* catalog, SInt32 item, const FindQuery& query);
