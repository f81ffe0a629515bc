// The rows of the Info panel for the current item, kept in the catalog record (infoRows, a
// handle of InfoRow records back to back) and read by the panel as they are. Rows are
// numbered from 1.
#pragma once

#include "platform/MacTypes.h"

#include <cstddef>

struct CatalogRec;

struct InfoRow {
    UInt8 kind;      // kInfoRow... below
    UInt8 mark;      // media section: group 1..6; EXIF: 1 tag fields, 2 others;
                     // annotations: 1 on the last row of a group
    UInt8 state;     // kInfoState... below
    UInt8 moved;     // set in the first row when rows were reordered
    UInt32 value;    // field rows: 1 when the item has a value; value rows: the value's
                     // number (0 for one the user added); set rows: the set's entry number
    UInt32 fieldId;  // headers: the section number
    Str255 text;     // the value as text, with units
};
static_assert(sizeof(InfoRow) == 268);
static_assert(offsetof(InfoRow, kind) == 0 && offsetof(InfoRow, mark) == 1 && offsetof(InfoRow, state) == 2 &&
              offsetof(InfoRow, moved) == 3 && offsetof(InfoRow, value) == 4 && offsetof(InfoRow, fieldId) == 8 &&
              offsetof(InfoRow, text) == 12);

enum : UInt8 {
    kInfoRowHeader = 0,
    kInfoRowEditableHeader = 1,
    kInfoRowNoItemHeader = 2,
    kInfoRowField = 3,
    kInfoRowMediaProperty = 4,
    kInfoRowTrack = 5,
    kInfoRowValue = 6,
    kInfoRowNewValue = 7,
};

enum : UInt8 {
    kInfoStateFixed = 0,      // not editable
    kInfoStateUnchanged = 1,
    kInfoStateChanged = 2,    // changed or added
    kInfoStateRemoved = 3,    // to be removed
};

// Sections (entries of string list 516).
enum : UInt32 {
    kInfoSectionMedia = 2,
    kInfoSectionAnnotations = 4,
    kInfoSectionExif = 9,
    kInfoSectionSets = 10,
    kInfoSectionTracks = 13,
    kInfoSectionCuePoints = 14,
    kInfoSectionKeywords = 15,
    kInfoSectionCategories = 16,
    kInfoSectionPeople = 17,
    kInfoSectionScene = 18,
    kInfoSectionSubjectCode = 19,
};

UInt32 InfoRowCount(const CatalogRec* catalog);
// Row n (1-based), or null. Valid until the rows change.
InfoRow* InfoGetRow(const CatalogRec* catalog, UInt32 n);
// Appends a row to a row handle; the memory error when it cannot grow.
OSErr InfoAppendRow(Handle rows, UInt8 kind, UInt8 mark, UInt8 state, UInt32 value, UInt32 fieldId,
                    ConstStr255Param text);
