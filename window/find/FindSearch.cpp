#include "window/find/FindSearch.h"

#include "catalog/items/ItemRecords.h"
#include "foundation/settings/Preferences.h"
#include "platform/Handles.h"
#include "platform/UiHooks.h"
#include "window/find/FindMatch.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewRec.h"
#include "window/view/ViewSelection.h"

#include <cstring>
#include <vector>

namespace {

Handle IdsHandle(const std::vector<UInt32>& ids) {
    Handle h = NewHandle(long(ids.size() * 4));
    if (h && !ids.empty()) std::memcpy(*h, ids.data(), ids.size() * 4);
    return h;
}

// Searches one entry; closes a catalog opened only for this search when it holds no match
// (or, with closeAlways, in any case).
FindOutcome SearchEntry(const FindScope& scope, FindHost& host, std::size_t index, const FindQuery& query,
                        bool fromCurrent, bool toCurrent, int action, bool closeAlways) {
    bool opened = false;
    const UInt32 frame = GetFindScopeEntry(scope, host, index, &opened);
    ViewRec* view = frame ? host.FrameView(frame) : nullptr;
    if (!view) return {};
    SInt32 first = 1, last = ViewItemCount(view);
    if (fromCurrent) first = ViewGetCurrentItem(view) + 1;
    if (toCurrent) last = ViewGetCurrentItem(view);
    FindOutcome out;
    if (first <= last) out = SearchCatalog(host, frame, view, query, first, last, action);
    if (opened && (out.found == 0 || closeAlways)) host.CloseFrame(frame);
    return out;
}

}  // namespace

FindOptions GetFindOptions() {
    const UInt8* bytes = GetPreferences()->findOptions;
    FindOptions o;
    o.wrap = bytes[0] != 0;
    o.action = bytes[1] >= 1 && bytes[1] <= 4 ? int(bytes[1]) : int(kFindActionNext);
    o.scopeKind = bytes[2];
    return o;
}

void SetFindOptions(const FindOptions& options) {
    UInt8* bytes = GetPreferences()->findOptions;
    bytes[0] = options.wrap ? 1 : 0;
    bytes[1] = UInt8(options.action);
    bytes[2] = UInt8(options.scopeKind);
}

FindOutcome SearchCatalog(FindHost& host, UInt32 frame, ViewRec* view, const FindQuery& query, SInt32 first,
                          SInt32 last, int action) {
    FindOutcome out;
    CatalogRec* catalog = ViewGetCatalog(view);
    if (!catalog) return out;
    if (first < 1) first = 1;
    if (last > ViewItemCount(view)) last = ViewItemCount(view);
    std::vector<UInt32> ids;
    SInt32 hit = 0;
    for (SInt32 item = first; item <= last; ++item) {
        if (item > first) {
            UiSetCursor(kCursorWait);
            if (GetUiHooks().EscapeKeyDown()) {
                out.cancelled = true;
                break;
            }
        }
        if (!FindMatchItem(catalog, item, query)) continue;
        if (++out.found == 1) host.ActivateFrame(frame);
        if (!hit) hit = item;
        ids.push_back(ItemGetId(catalog, item));
        if (action == kFindActionNext) break;
    }
    if (out.cancelled || action == kFindActionCount || out.found == 0) return out;
    if (action == kFindActionSelect) {
        ViewDeselectAll(view);
        Handle h = IdsHandle(ids);
        ViewSelectItems(view, h);
        if (h) DisposeHandle(h);
    } else if (action == kFindActionShow) {
        Handle h = IdsHandle(ids);
        ViewShowOnlyItems(view, h, kPlaceTopTop, true);
        if (h) DisposeHandle(h);
    } else {
        ViewSelectItem(view, hit, kSelectAlone, true);
    }
    host.ViewChanged(frame);
    return out;
}

FindOutcome FindAll(FindScope* scope, FindHost& host, const FindQuery& query, int action) {
    FindOutcome total;
    UiSetCursor(kCursorWait);
    const FindQuery copy = query;
    for (; scope->current < scope->entries.size(); ++scope->current) {
        const FindOutcome one = SearchEntry(*scope, host, scope->current, copy, false, false, action,
                                            action == kFindActionCount);
        total.found += one.found;
        if (one.cancelled) {
            total.cancelled = true;
            break;
        }
    }
    if (total.found == 0 && !total.cancelled) UiBeep();
    UiSetCursor(kCursorArrow);
    return total;
}

FindOutcome FindNext(FindScope* scope, FindHost& host, const FindQuery& query, bool wrap) {
    FindOutcome out;
    const std::size_t start = scope->current;
    if (start >= scope->entries.size()) {
        UiBeep();
        return out;
    }
    const FindQuery copy = query;
    // The current entry after its current item, then every following entry whole.
    for (std::size_t i = start; i < scope->entries.size(); ++i) {
        out = SearchEntry(*scope, host, i, copy, i == start, false, kFindActionNext, false);
        if (out.cancelled) return out;
        if (out.found) {
            scope->current = i;
            return out;
        }
    }
    // Round again: the entries before the start were never searched in this call, so they are
    // searched whole, as is the start entry (its items up to the current one are new).
    if (wrap) {
        for (std::size_t i = 0; i <= start && i < scope->entries.size(); ++i) {
            out = SearchEntry(*scope, host, i, copy, false, false, kFindActionNext, false);
            if (out.cancelled) return out;
            if (out.found) {
                scope->current = i;
                return out;
            }
        }
    }
    UiBeep();
    return out;
}

FindOutcome RunFind(FindScope* scope, FindHost& host) {
    const FindOptions options = GetFindOptions();
    BuildFindScope(scope, host, options.scopeKind);
    if (scope->entries.empty()) return {};
    FindQuery query;
    GetFindQuery(&query);
    if (options.action == kFindActionNext) return FindNext(scope, host, query, options.wrap);
    return FindAll(scope, host, query, options.action);
}
