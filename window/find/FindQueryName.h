// The name proposed when the user saves a find query: the first row read as a sentence, such
// as `Keywords contains "beach"`, with " +" when the query has more rows.
#pragma once

#include "window/find/FindQuery.h"

struct CatalogRec;

// Field name, blank, operator text, blank, the value in double quotation marks (text as it
// is, number in decimal, date as a short date, code as its four characters), cut to fit 255
// characters, then " +" for a query of several rows (also within 255).
void FindProposedQueryName(const CatalogRec* catalog, const FindQuery& query, Str255 name);
