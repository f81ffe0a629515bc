// What the current item has stored, as the Info panel shows it.
#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldDef.h"
#include "catalog/items/CustomFields.h"
#include "catalog/fields/FieldFormat.h"
#include "catalog/info/InfoEdit.h"
#include "catalog/info/InfoInternal.h"
#include "catalog/items/ItemRecords.h"
#include "foundation/text/Unicode.h"
#include "platform/Handles.h"

#include <memory>
#include <string>

bool InfoStoredValueText(const CatalogRec* catalog, UInt32 fieldId, UInt32 index, Str255 text) {
    text[0] = 0;
    const ItemEntry* entry = catalog ? CatalogFindEntryById(catalog, catalog->infoItemId) : nullptr;
    if (!entry || index == 0) return false;
    auto value = std::make_unique<FieldValue>();
    const UInt8 type = ItemGetField(catalog, entry, SInt32(index), fieldId, value.get());
    if (type == kFieldTypeNone) return false;
    FieldValueToText(value.get(), type, fieldId, text, true);
    return true;
}

Handle InfoStoredCaption(const CatalogRec* catalog) {
    return InfoItemCaption(catalog, catalog ? CatalogFindEntryById(catalog, catalog->infoItemId) : nullptr);
}

Handle InfoItemCaption(const CatalogRec* catalog, const ItemEntry* entry) {
    auto value = std::make_unique<FieldValue>();
    std::string text;
    if (entry && ItemGetField(catalog, entry, 1, kFieldCaption, value.get()) == kFieldTypeText) {
        text.assign(value->text.bytes, std::size_t(value->text.length));
        if (value->text.encoding == kFieldTextUtf8) text = Utf8ToAnsi(text);
    }
    Handle h = nullptr;
    PtrToHand(text.data(), &h, Size(text.size()));
    return h;
}

bool ItemHasFieldInGroup(const CatalogRec* catalog, const ItemEntry* entry, UInt8 group, int mode) {
    if (!catalog || !entry) return false;
    const int customCount = int(CatalogGetCustomFieldCount(catalog));
    auto value = std::make_unique<FieldValue>();
    for (int n = 0;; ++n) {
        const UInt32 field = FieldListForEdition(n, group, mode, customCount, nullptr);
        if (field == 0) return false;
        if (ItemGetField(catalog, entry, 1, field, value.get()) != kFieldTypeNone) return true;
    }
}
