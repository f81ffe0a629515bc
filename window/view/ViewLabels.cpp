#include "window/view/ViewOperations.h"

#include "catalog/items/ItemLabels.h"
#include "platform/Handles.h"
#include "platform/UiHooks.h"
#include "window/view/ViewFilters.h"

void ViewAssignLabel(ViewRec* view, UInt8 label) {
    Handle ids = ViewCollectIds(view, true);
    if (!ids || GetHandleSize(ids) == 0) {
        if (ids) DisposeHandle(ids);
        UiBeep();
        return;
    }
    CatalogSetLabelForIds(view->catalog, ids, label);
    DisposeHandle(ids);
}
