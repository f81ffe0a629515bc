// Pending edits of the Info panel's rows: typing, removing, reverting and moving values.
#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldIds.h"
#include "catalog/info/InfoEdit.h"
#include "catalog/info/InfoInternal.h"
#include "platform/Handles.h"

#include <cstring>

namespace {

bool SameText(ConstStr255Param a, const void* bytes, long length) {
    return a[0] == length && std::memcmp(a + 1, bytes, std::size_t(length)) == 0;
}

void SetText(InfoRow* row, const void* bytes, long length) {
    std::memmove(row->text + 1, bytes, std::size_t(length));
    row->text[0] = UInt8(length);
}

OSErr InsertRow(CatalogRec* catalog, UInt32 before, const InfoRow& row) {
    const long offset = long(before - 1) * long(sizeof(InfoRow));
    if (Munger(catalog->infoRows, offset, nullptr, 0, &row, sizeof row) < 0) return memFullErr;
    return MemError();
}

void DeleteRow(CatalogRec* catalog, UInt32 n) {
    Munger(catalog->infoRows, long(n - 1) * long(sizeof(InfoRow)), nullptr, sizeof(InfoRow), "", 0);
}

// A value the user added to a list field, not a stored one.
bool IsAddedListValue(const InfoRow* row) { return row->kind == kInfoRowValue && row->value == 0; }

}  // namespace

bool InfoEditSetRowText(CatalogRec* catalog, UInt32 n, const void* text, long length) {
    if (length == 0) return InfoEditRemoveValue(catalog, n);
    InfoRow* row = InfoGetRow(catalog, n);
    if (!row || row->state == kInfoStateFixed || !text || length < 0 || length >= 256) return false;
    const auto* bytes = static_cast<const UInt8*>(text);
    for (long i = 0; i < length; ++i)
        if (bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n' || bytes[i] == 0) return false;

    Str255 shown;
    std::memcpy(shown + 1, bytes, std::size_t(length));
    shown[0] = UInt8(length);
    if (row->fieldId == kFieldEventDate) {
        Str255 typed, digits;
        std::memcpy(typed, shown, 256);
        if (!InfoParseEventDate(typed, shown, digits)) return false;
    } else {
        for (UInt32 i = 1; i <= InfoRowCount(catalog); ++i) {
            const InfoRow* other = InfoGetRow(catalog, i);
            if (other->fieldId == row->fieldId && other->state != kInfoStateFixed &&
                SameText(other->text, shown + 1, shown[0]))
                return false;
        }
    }
    if (row->kind == kInfoRowNewValue) {
        InfoRow added{};
        added.kind = kInfoRowValue;
        added.state = kInfoStateChanged;
        added.fieldId = row->fieldId;
        std::memcpy(added.text, shown, std::size_t(shown[0]) + 1);
        return InsertRow(catalog, n, added) == noErr;
    }
    SetText(row, shown + 1, shown[0]);
    row->state = kInfoStateChanged;
    return true;
}

bool InfoEditRemoveValue(CatalogRec* catalog, UInt32 n) {
    InfoRow* row = InfoGetRow(catalog, n);
    if (!row || row->state == kInfoStateFixed || row->kind == kInfoRowNewValue || row->text[0] == 0) return false;
    if (row->value != 0) {
        // A stored value keeps showing what is stored until the commit removes it.
        Str255 stored;
        InfoStoredValueText(catalog, row->fieldId, row->value, stored);
        row = InfoGetRow(catalog, n);
        std::memcpy(row->text, stored, std::size_t(stored[0]) + 1);
        row->state = kInfoStateRemoved;
        return true;
    }
    if (row->kind == kInfoRowValue) {
        DeleteRow(catalog, n);
        return true;
    }
    row->text[0] = 0;
    row->state = kInfoStateUnchanged;
    return true;
}

bool InfoEditRevertField(CatalogRec* catalog, UInt32 n) {
    InfoRow* row = InfoGetRow(catalog, n);
    if (!row || row->state == kInfoStateFixed || row->kind == kInfoRowNewValue) return false;
    if (IsAddedListValue(row)) return InfoEditRemoveValue(catalog, n);
    if (row->state == kInfoStateUnchanged) {
        // The value as it stands goes into the other selected items at the commit.
        row->state = kInfoStateChanged;
        return true;
    }
    Str255 stored;
    stored[0] = 0;
    if (row->value != 0) InfoStoredValueText(catalog, row->fieldId, row->value, stored);
    row = InfoGetRow(catalog, n);
    std::memcpy(row->text, stored, std::size_t(stored[0]) + 1);
    row->state = kInfoStateUnchanged;
    return true;
}

bool InfoEditMoveRow(CatalogRec* catalog, UInt32 from, UInt32 to) {
    const UInt32 count = InfoRowCount(catalog);
    if (from == 0 || from > count || to == 0 || to > count + 1 || to == from || to == from + 1) return false;
    const InfoRow moving = *InfoGetRow(catalog, from);
    DeleteRow(catalog, from);
    const UInt32 before = to > from ? to - 1 : to;
    if (InsertRow(catalog, before, moving) != noErr) {
        InsertRow(catalog, from, moving);
        return false;
    }
    InfoGetRow(catalog, 1)->moved = 1;
    return true;
}

bool InfoEditHasPending(const CatalogRec* catalog) {
    if (!catalog || catalog->infoItemId == 0 || !catalog->infoRows) return false;
    if (catalog->infoCaptionState == kInfoStateChanged || catalog->infoCaptionState == kInfoStateRemoved)
        return true;
    for (UInt32 i = 1; i <= InfoRowCount(catalog); ++i) {
        const InfoRow* row = InfoGetRow(catalog, i);
        if (row->state == kInfoStateChanged || row->state == kInfoStateRemoved || row->moved) return true;
    }
    return false;
}

bool InfoEditRevertCaption(CatalogRec* catalog) {
    if (!catalog || catalog->infoCaptionState == kInfoStateFixed) return false;
    if (catalog->infoCaptionState == kInfoStateUnchanged) {
        catalog->infoCaptionState = kInfoStateChanged;
        return true;
    }
    Handle stored = InfoStoredCaption(catalog);
    if (!stored) return false;
    if (catalog->infoCaption) DisposeHandle(catalog->infoCaption);
    catalog->infoCaption = stored;
    catalog->infoCaptionState = kInfoStateUnchanged;
    return true;
}
