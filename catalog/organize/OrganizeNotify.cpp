#include "catalog/organize/OrganizeInternal.h"

void OrganizeNotifyChanged(CatalogRec* catalog, UInt32 fieldId) {
    (void)catalog;
    (void)fieldId;
}
