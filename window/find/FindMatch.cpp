#include "window/find/FindMatch.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldFormat.h"
#include "foundation/format/FindCompare.h"
#include "foundation/text/TextEncoding.h"

#include <memory>
#include <string>

namespace {

// Fields that can hold several values: the annotation block's (keywords, people...) and the
// other list fields (catalog sets), whose later values would otherwise never be looked at.
bool HasSeveralValues(FieldId id) {
    const FieldDef* def = FieldFindDef(id);
    return def && (def->storage == kFieldStorageAnnotation || def->textKind == kFieldTextList);
}

bool CompareText(const FindCriterion& row, UInt8 type, const FieldValue& value, FieldId id) {
    Str255 criterion;
    FindRowText(row, criterion);
    if (type == kFieldTypeText) {
        if (value.text.encoding != kFieldTextUtf8)
            return CompareTextOp(SInt16(row.op), criterion, value.text.bytes, value.text.length, true);
        // The criterion is Windows-1252, so a UTF-8 value is brought to the same bytes first
        // (a UTF-8 text never grows when it becomes 1252).
        std::string ansi(size_t(value.text.length) + 1, '\0');
        long length = 0;
        ConvertToAnsi(value.text.bytes, value.text.length, ansi.data(), long(ansi.size()), &length, kTextEncodingUtf8);
        return CompareTextOp(SInt16(row.op), criterion, ansi.data(), length, true);
    }
    Str255 shown;
    shown[0] = 0;
    if (type != kFieldTypeNone) FieldValueToText(&value, type, id, shown, false);
    return CompareTextOp(SInt16(row.op), criterion, shown + 1, shown[0], true);
}

// Number kind; nullopt-like through the changed flag: types that are no number leave the
// result as it was.
bool CompareNumber(const FindCriterion& row, UInt8 type, const FieldValue& value, bool previous) {
    const SInt32 criterion = FindRowNumber(row);
    switch (type) {
    case kFieldTypeU8: return CompareNumberOp(SInt16(row.op), UInt32(criterion), value.u8);
    case kFieldTypeI16: return CompareSignedNumberOp(SInt16(row.op), criterion, value.i16);
    case kFieldTypeU32: return CompareNumberOp(SInt16(row.op), UInt32(criterion), value.u32);
    default: return previous;
    }
}

bool CompareDate(const FindCriterion& row, UInt8 type, const FieldValue& value, bool previous) {
    if (type != kFieldTypeU32) return previous;
    return CompareDateOp(SInt16(row.op), FindRowDate(row), value.u32);
}

bool CompareCode(const FindCriterion& row, UInt8 type, const FieldValue& value) {
    const OSType item = type == kFieldTypeU32 ? value.u32 : 0;
    const bool equal = OSTypeEqualNoCase(FindRowCode(row), item);
    return row.op == 2 ? !equal : equal;
}

// Whether a text row goes on to the next value after this comparison.
bool VisitNext(short op, bool matched) {
    if (matched) return op == kTextDoesNotContain;
    return op == kTextIsEqual || op == kTextContains || op == kTextBeginsWith || op == kTextEndsWith;
}

}  // namespace

bool FindMatchRow(const CatalogRec* catalog, SInt32 item, const FindCriterion& row) {
    const FieldId id = row.fieldId;
    const UInt8 kind = FieldGetFindKind(id);
    const bool several = HasSeveralValues(id);
    auto value = std::make_unique<FieldValue>();
    bool result = false;
    for (SInt32 index = 1;; ++index) {
        FieldValueClear(value.get());
        const UInt8 type = ItemGetFieldVisible(catalog, item, index, id, value.get());
        if (type == kFieldTypeNone && index > 1) break;  // no further value
        switch (kind) {
        case kFindKindNumber: result = CompareNumber(row, type, *value, result); break;
        case kFindKindDate: result = CompareDate(row, type, *value, result); break;
        case kFindKindTypeCode: result = CompareCode(row, type, *value); break;
        default: result = CompareText(row, type, *value, id); break;
        }
        // Only text fields hold several values; the rule of going on is one of text
        // operators, so other kinds look at the first value only.
        if (!several || type == kFieldTypeNone) break;
        if (kind == kFindKindNumber || kind == kFindKindDate || kind == kFindKindTypeCode) break;
        if (!VisitNext(SInt16(row.op), result)) break;
    }
    return result;
}

bool FindMatchItem(const CatalogRec* catalog, SInt32 item, const FindQuery& query) {
    const UInt32 rows = query.rowCount >= 1 && query.rowCount <= UInt32(kFindRowCount) ? query.rowCount : 1;
    bool result = FindMatchRow(catalog, item, query.rows[0]);
    for (UInt32 r = 1; r < rows; ++r) {
        const bool orWithPrevious = query.rows[r - 1].conjunction == kFindOr;
        if (result && orWithPrevious) return true;
        if (result || orWithPrevious) result = FindMatchRow(catalog, item, query.rows[r]);
    }
    return result;
}
