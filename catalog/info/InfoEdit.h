// Annotations typed in the Info panel: the rows keep them as pending edits until they are
// reverted or committed into the current item and, optionally, the other selected items.
//
// Row states move 1 -> 2 (edited), 1 or 2 -> 3 (value removed), 2 or 3 -> 1 (reverted); rows
// added for a list field exist until they are removed or committed.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "catalog/info/InfoRow.h"
#include "platform/MacTypes.h"

// ---- rows and caption ----------------------------------------------------------------------

// Gives row n a text. Refused (false) for a fixed row, 256 bytes or more, a tab, line break
// or zero byte, a date that does not parse (event date), or a text another row of the field
// already shows. The new-value row of a list field stays as it is and a new value row goes
// before it. An empty text removes the value.
bool InfoEditSetRowText(CatalogRec* catalog, UInt32 row, const void* text, long length);
// Marks a stored value for removal, or drops a value the user added.
bool InfoEditRemoveValue(CatalogRec* catalog, UInt32 row);
// Takes back the edit of a row.
bool InfoEditRevertField(CatalogRec* catalog, UInt32 row);
// Moves row from to the place before row to.
bool InfoEditMoveRow(CatalogRec* catalog, UInt32 from, UInt32 to);
bool InfoEditHasPending(const CatalogRec* catalog);
bool InfoEditRevertCaption(CatalogRec* catalog);

// ---- commit, export, import ----------------------------------------------------------------

// Writes the pending edits into the current item and into every other item of itemIds (u32
// unique ids; null or empty for the current item alone). progress: phase 0 before, 1 after
// each further item (a non-zero answer stops), 2 at the end.
void InfoEditCommit(CatalogRec* catalog, Handle itemIds, CatalogProgressProc progress, long refCon);
// A new annotation block of the values the rows show, a copy of the catalog's custom field
// names, and an empty handle.
OSErr InfoEditExportRows(const CatalogRec* catalog, Handle* annotations, Handle* customNames, Handle* spare);
// Fills empty rows from an annotation block; list values become new rows. True when any
// row changed.
bool InfoEditImportRows(CatalogRec* catalog, Handle annotations, Handle customNames);

// ---- helpers the rows are built with -------------------------------------------------------

// True when any field of the field list (group, mode) has a value for the item.
bool ItemHasFieldInGroup(const CatalogRec* catalog, const ItemEntry* entry, UInt8 group, int mode);
// Entry n (from 0) of the media-information list of the kind's category; 0 past its end.
UInt32 FieldsForCategory(OSType kind, int n);
// Appends the rows that describe one track (a 284-byte track record, native order).
OSErr InfoEditAddTrackRows(CatalogRec* catalog, const UInt8* track, UInt32 trackNumber);

// ---- readers for the slide show and tooltips -----------------------------------------------

// For the n-th visible item, each output only when asked for: info (45 pairs of name and
// value texts), thumbnail (block 1), caption (its text and a zero byte), recording (block 5).
OSErr ItemGetSlideData(CatalogRec* catalog, UInt32 n, Handle* info, Handle* thumbnail, Handle* caption,
                       Handle* recording);
// The title lines of the n-th visible item (length-prefixed texts), or null.
Handle ItemGetTitle(CatalogRec* catalog, UInt32 n);
