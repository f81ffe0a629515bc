// The values the Info panel shows, handed out as an annotation block (to copy them to other
// items) and taken in from one.
#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldIds.h"
#include "catalog/info/InfoEdit.h"
#include "catalog/info/InfoInternal.h"
#include "catalog/items/CustomFields.h"
#include "foundation/text/Unicode.h"
#include "media/metadata/IptcBlock.h"
#include "platform/Handles.h"

#include <cstring>
#include <string>

OSErr InfoEditExportRows(const CatalogRec* catalog, Handle* annotations, Handle* customNames, Handle* spare) {
    if (!catalog || !annotations || !customNames || !spare) return paramErr;
    *annotations = *customNames = *spare = nullptr;
    Handle block = NewHandle(0);
    if (!block) return memFullErr;
    for (UInt32 i = 1; i <= InfoRowCount(catalog); ++i) {
        const InfoRow* row = InfoGetRow(catalog, i);
        if ((row->state != kInfoStateUnchanged && row->state != kInfoStateChanged) || row->text[0] == 0) continue;
        if (row->kind != kInfoRowField && row->kind != kInfoRowValue) continue;
        Str255 text;
        std::memcpy(text, row->text, std::size_t(row->text[0]) + 1);
        // The event date goes out in its stored form, eight digits.
        if (row->fieldId == kFieldEventDate) {
            Str255 shown;
            if (!InfoParseEventDate(row->text, shown, text)) continue;
        }
        const UInt16 key = UInt16(row->fieldId);
        const bool list = row->kind == kInfoRowValue && FieldIsList(row->fieldId);
        if (list && IptcGetDatasetText(key, text + 1, text[0], IptcMarkerAnsi, block) != 0) continue;
        if (!IptcSetDataset(key, 0, text + 1, text[0], block, kIptcAppend, IptcMarkerAnsi) && MemError()) {
            DisposeHandle(block);
            return MemError();
        }
    }
    Handle names = nullptr;
    OSErr err = catalog->customFieldNames
                    ? PtrToHand(*catalog->customFieldNames, &names, GetHandleSize(catalog->customFieldNames))
                    : ((names = NewHandle(0)) ? OSErr(noErr) : OSErr(memFullErr));
    Handle empty = err == noErr ? NewHandle(0) : nullptr;
    if (!empty) {
        DisposeHandle(block);
        if (names) DisposeHandle(names);
        return err != noErr ? err : OSErr(memFullErr);
    }
    *annotations = block;
    *customNames = names;
    *spare = empty;
    return noErr;
}

namespace {

// The occurrence of a field's dataset as 8-bit text (at most 255 bytes); false when absent.
bool BlockValue(Handle block, UInt16 key, SInt16 occurrence, std::string* text) {
    UInt16 length = 0;
    UInt8 marker = 0;
    Ptr data = IptcFindDataset(key, occurrence, block, &length, &marker);
    if (!data) return false;
    text->assign(data, length);
    if (marker == IptcMarkerUtf8) *text = Utf8ToAnsi(*text);
    if (text->size() > 255) text->resize(255);
    return true;
}

UInt32 FindRow(const CatalogRec* catalog, UInt8 kind, UInt32 fieldId) {
    for (UInt32 i = 1; i <= InfoRowCount(catalog); ++i) {
        const InfoRow* row = InfoGetRow(catalog, i);
        if (row->kind == kind && row->fieldId == fieldId) return i;
    }
    return 0;
}

bool FillIfEmpty(CatalogRec* catalog, UInt32 row, const std::string& text) {
    const InfoRow* r = InfoGetRow(catalog, row);
    return r && r->text[0] == 0 && !text.empty() && InfoEditSetRowText(catalog, row, text.data(), long(text.size()));
}

}  // namespace

bool InfoEditImportRows(CatalogRec* catalog, Handle annotations, Handle customNames) {
    if (!catalog || !catalog->infoRows || !annotations) return false;
    bool changed = false;
    std::string text;
    // Single values go only where the row is empty: what the item has stays.
    for (UInt32 i = 1; i <= InfoRowCount(catalog); ++i) {
        const InfoRow* row = InfoGetRow(catalog, i);
        const UInt32 field = row->fieldId;
        if (row->kind != kInfoRowField || row->state == kInfoStateFixed || FieldIsList(field) ||
            field == kFieldEventDate || IsCustomFieldId(field))
            continue;
        if (BlockValue(annotations, UInt16(field), 1, &text)) changed |= FillIfEmpty(catalog, i, text);
    }
    // List values are added through the new-value rows; the ones the rows have are refused.
    for (UInt32 field : {UInt32(kFieldCategories), UInt32(kFieldKeywords), UInt32(kFieldPeople)}) {
        for (SInt16 n = 1; BlockValue(annotations, UInt16(field), n, &text); ++n) {
            const UInt32 slot = FindRow(catalog, kInfoRowNewValue, field);
            if (slot && !text.empty()) changed |= InfoEditSetRowText(catalog, slot, text.data(), long(text.size()));
        }
    }
    // Custom values follow their names: the block's field i is the catalog's field of that name.
    const long names = customNames ? GetHandleSize(customNames) / 256 : 0;
    for (long i = 0; i < names && i < 16; ++i) {
        Str255 name;
        std::memcpy(name, *customNames + i * 256, 256);
        const UInt32 field = CatalogFindCustomFieldByName(catalog, name);
        if (!field || !BlockValue(annotations, UInt16(IptcFieldId(3, unsigned(i + 1))), 1, &text)) continue;
        if (const UInt32 row = FindRow(catalog, kInfoRowField, field)) changed |= FillIfEmpty(catalog, row, text);
    }
    return changed;
}
