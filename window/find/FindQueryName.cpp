#include "window/find/FindQueryName.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldDef.h"
#include "foundation/format/DateFormat.h"
#include "foundation/resources/ResourceStrings.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

std::string PText(ConstStr255Param s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

std::string ValueText(const FindCriterion& row, UInt8 kind) {
    Str255 s;
    switch (kind) {
    case kFindKindNumber: return std::to_string(FindRowNumber(row));
    case kFindKindDate:
        FormatDateTime(s, FindRowDate(row), true, false, false);
        return PText(s);
    case kFindKindTypeCode: {
        const OSType c = FindRowCode(row);
        std::string t;
        for (int shift = 24; shift >= 0; shift -= 8) t += char((c >> shift) & 0xFF);
        return t;
    }
    default:
        FindRowText(row, s);
        return PText(s);
    }
}

}  // namespace

void FindProposedQueryName(const CatalogRec* catalog, const FindQuery& query, Str255 name) {
    const FindCriterion& row = query.rows[0];
    const UInt8 kind = FieldGetFindKind(row.fieldId);
    Str255 field, op;
    field[0] = op[0] = 0;
    FieldGetName(catalog, row.fieldId, field);
    if (const UInt16 id = FindOperatorStringId(kind, row.op)) LoadIndexedString(op, id / 100, id % 100);
    std::string text = PText(field) + " " + PText(op) + " \"" + ValueText(row, kind) + "\"";
    const bool more = query.rowCount > 1 && query.rowCount <= UInt32(kFindRowCount);
    const std::size_t room = more ? 253 : 255;
    if (text.size() > room) text.resize(room);
    if (more) text += " +";
    name[0] = UInt8(text.size());
    std::copy(text.begin(), text.end(), name + 1);
}
