// The field getter: one value of one field of one item, by field id, wherever it lives (the
// item record, the annotation block, the metadata list, the entry's flags, the folder tree,
// the organize lists, or computed from other fields).
#pragma once

#include "catalog/fields/FieldIds.h"
#include "catalog/fields/FieldValue.h"
#include "platform/MacTypes.h"

struct CatalogRec;
struct ItemEntry;

// Value index (from 1) of a field; index 0 or less joins all values of a list field with
// ", " (a single-value field gives its first value). Answers the value type, 0 for no value;
// never fails otherwise.
UInt8 ItemGetField(const CatalogRec* catalog, const ItemEntry* entry, SInt32 index, FieldId id,
                   FieldValue* value);
// The same for the item with a visible number.
UInt8 ItemGetFieldVisible(const CatalogRec* catalog, SInt32 itemNumber, SInt32 index, FieldId id,
                          FieldValue* value);
// The getter proper: value index (from 1) of the field.
UInt8 ItemGetFieldByEntry(const CatalogRec* catalog, const ItemEntry* entry, FieldId id,
                          FieldValue* value, SInt32 index);

// The display name of a field (see the .cpp for composite and custom names).
bool FieldGetName(const CatalogRec* catalog, FieldId id, Str255 name);

// Builds an IPTC-IIM block of the listed fields (a zero-terminated list) for output: the record
// version first, then one dataset per value, all 8-bit text (UTF-8 values are converted). With
// clip, texts are cut to the field's longest allowed length (a field without one is not cut).
// *block is null when no listed field has a value.
OSErr ItemBuildIptcBlock(const CatalogRec* catalog, const ItemEntry* entry, const FieldId* fieldIds,
                         Handle* block, bool clip);
// ItemBuildIptcBlock for the n-th visible item with one of the two fixed field lists.
OSErr ItemAnnotationBlockForOutput(const CatalogRec* catalog, SInt32 n, Handle* block, bool clip,
                                   bool shortList);
