// Text-table export: chosen fields of the selected (or all shown) items written as a table of
// text, one row per item, each row ended by CR LF. Four styles: tab separated, comma
// separated with every value in quotation marks, merge (a custom separator, quotation marks,
// always a header row) and custom separated without quotation marks. Values are cleaned so
// that a row stays one line: a quotation mark becomes an apostrophe, line feed, carriage
// return and tab become a space, and in the style without quotation marks a space becomes
// "_". An empty or missing value is written "-". The file is UTF-8.
//
// The table replaces the file whole: after a failure an existing file keeps its old contents
// and a new one is not left behind.
#pragma once

#include "catalog/fields/FieldIds.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <string>
#include <vector>

struct CatalogRec;
struct ViewRec;

enum : UInt8 {
    kTextTableTabs = 1,
    kTextTableCommas = 2,
    kTextTableMerge = 3,
    kTextTableCustom = 4,
};

struct TextTableSpec {
    UInt8 style = kTextTableTabs;
    UInt8 headerRow = 0;              // write the fields' names first (always in the merge style)
    std::vector<FieldId> fields;
    Str255 separator = {0};           // the custom separator (ANSI), styles 3 and 4
};

// Appends one value of a row to row: the separator before every value but the first (index
// 0), the quotation marks of styles 2 and 3, the cleaned value (UTF-8).
void WriteTextTableValue(std::string* row, const TextTableSpec& spec, UInt8 style, int index, std::string value);

// The header row (the fields' display names) and CR LF; written by the custom rules in the
// merge style.
std::string TextTableHeader(const CatalogRec* catalog, const TextTableSpec& spec);
// One item's row (the n-th shown item) and CR LF.
std::string TextTableRow(const CatalogRec* catalog, SInt32 item, const TextTableSpec& spec);

// Writes the table of the view's selected items (all shown items with allItems; a progress
// window from 100 items on) into file. noErr, without touching the file, when the spec has no
// field; userCanceledErr when cancelled; else the first file error.
OSErr ExportTextTable(CatalogRec* catalog, ViewRec* view, const TextTableSpec& spec, const FSSpec* file,
                      bool allItems);
