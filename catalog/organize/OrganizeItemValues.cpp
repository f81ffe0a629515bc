// What an item gives the organize lists, read through the field getter.
#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldFormat.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/organize/OrganizeInternal.h"

#include <memory>

void OrganizeItemValueTexts(CatalogRec* catalog, const ItemEntry* entry, UInt32 fieldId,
                            std::vector<std::string>* out) {
    out->clear();
    auto value = std::make_unique<FieldValue>();
    const bool list = FieldIsList(fieldId);
    for (SInt32 n = 1;; ++n) {
        const UInt8 type = ItemGetField(catalog, entry, n, fieldId, value.get());
        if (type == kFieldTypeNone) break;
        Str255 text;
        FieldValueToText(value.get(), type, fieldId, text, false);
        if (text[0] != 0) out->emplace_back(reinterpret_cast<const char*>(text + 1), text[0]);
        if (!list) break;
    }
}

UInt32 OrganizeItemDate(CatalogRec* catalog, const ItemEntry* entry) {
    auto value = std::make_unique<FieldValue>();
    if (ItemGetField(catalog, entry, 1, kOrganizeDateField, value.get()) != kFieldTypeU32) return 0;
    return value->u32;
}
