#include "window/view/ViewFilters.h"

#include "catalog/items/ItemRecords.h"
#include "platform/Handles.h"

#include <cstring>
#include <vector>

Handle ViewCollectIds(const ViewRec* view, bool selected) {
    const SInt32 count = ViewItemCount(view);
    std::vector<UInt32> ids;
    for (SInt32 item = 1; item <= count; ++item)
        if (ViewBitTest(view, item) == selected) ids.push_back(ItemGetId(view->catalog, item));
    Handle h = NewHandle(long(ids.size() * 4));
    if (h && !ids.empty()) std::memcpy(*h, ids.data(), ids.size() * 4);
    return h;
}
