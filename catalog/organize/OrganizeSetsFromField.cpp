// Sets made from the values of a field: one container named after the field at the top of
// the sets tree, one set per value below it.
#include "catalog/fields/FieldDef.h"
#include "catalog/organize/OrganizeIndex.h"
#include "catalog/organize/OrganizeInternal.h"
#include "catalog/organize/OrganizeSets.h"

#include <new>

OSErr OrganizeMakeSetsFromField(CatalogRec* catalog, UInt32 fieldId, CatalogProgressProc progress, long refCon) {
    Str255 name;
    if (fieldId == kOrganizeSetsField || OrganizeFieldRowIndex(fieldId) < 0 || !FieldGetName(catalog, fieldId, name) ||
        name[0] == 0)
        return paramErr;
    OSErr err = noErr;
    if (!OrganizeHasList(catalog, fieldId)) err = OrganizeBuildList(catalog, fieldId, progress, refCon);
    if (err != noErr) return err;
    if (!OrganizeHasList(catalog, kOrganizeSetsField)) OrganizeResetList(catalog, kOrganizeSetsField);
    OrganizeList* sets = OrganizeGetList(catalog, kOrganizeSetsField);
    const OrganizeList* source = OrganizeGetList(catalog, fieldId);
    if (!sets) return memFullErr;
    if (!source) return paramErr;

    UInt32 container = 0;
    if (OrganizeFindChild(catalog, kOrganizeSetsField, name, 0, 0, false, nullptr, &container)) {
        const UInt32 end = OrganizeSubtreeEnd(sets, container);
        sets->take(container, end - container);
    } else {
        err = OrganizeInsertNamedEntry(catalog, kOrganizeSetsField, 0, name, 0, 1);
        if (err != noErr) return err;
        container = 1;
    }
    try {
        for (std::size_t i = 0; i < source->size(); ++i) {
            const OrganizeEntry* value = source->at(i);
            auto set = std::make_unique<OrganizeEntry>();
            OrganizeEntrySetText(set.get(), value->text, false);
            set->level = 1;
            set->items = value->items;
            sets->insert(container + i, std::move(set));
        }
    } catch (const std::bad_alloc&) {
        err = memFullErr;
    }
    sets->at(container - 1)->container = 1;
    OrganizeNotifyChanged(catalog, kOrganizeSetsField);
    return err;
}
