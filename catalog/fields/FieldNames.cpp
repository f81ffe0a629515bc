// The names the field table points at: units and media categories. Field names need the
// catalog (custom field names) and live beside the catalog record code.
#include "catalog/fields/FieldEngine.h"

#include "foundation/resources/ResourceStrings.h"

void FieldGetUnitName(FieldId id, Str255 unit) {
    if (!unit) return;
    unit[0] = 0;
    if (id == 0) return;
    const FieldDef* rows = FieldTableRows();
    int count = FieldTableRowCount();
    for (int i = 0; i < count; ++i)
        if (rows[i].id == id && rows[i].unitIndex != 0) {
            LoadIndexedString(unit, kStrListUnits, rows[i].unitIndex);
            return;
        }
}

bool MediaCategoryName(int category, Str255 name) {
    if (!name) return false;
    name[0] = 0;
    if (category < 0 || category > 7) return false;
    LoadIndexedString(name, kStrListMediaCategories, category + 1);
    return true;
}
