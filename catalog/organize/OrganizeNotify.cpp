#include "catalog/notify/CatalogNotify.h"
#include "catalog/organize/OrganizeInternal.h"

void OrganizeNotifyChanged(CatalogRec* catalog, UInt32 fieldId) {
    CatalogPostNotification(catalog, kCatalogMsgOrganizeChanged, WPARAM(fieldId));
}
