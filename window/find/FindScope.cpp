#include "window/find/FindScope.h"

void BuildFindScope(FindScope* scope, FindHost& host, int kind) {
    scope->current = 0;
    if (kind != kFindScopeFront && kind != kFindScopeWindows && kind != kFindScopeRecent) return;
    scope->entries.clear();
    if (kind == kFindScopeFront) {
        if (UInt32 frame = host.FrontFrame()) scope->entries.push_back({'wind', frame, {}});
    } else if (kind == kFindScopeWindows) {
        for (UInt32 frame : host.AllFrames())
            if (frame) scope->entries.push_back({'wind', frame, {}});
    } else {
        for (const std::string& path : host.RecentCatalogs())
            if (!path.empty()) scope->entries.push_back({'spec', 0, path});
    }
}

void AddFindScopeFile(FindScope* scope, const std::string& path) {
    if (!path.empty()) scope->entries.push_back({'spec', 0, path});
}

void FindScopeFrameClosed(FindScope* scope, UInt32 frame) {
    for (std::size_t i = 0; i < scope->entries.size();) {
        const FindScopeEntry& e = scope->entries[i];
        if (e.tag == 'wind' && e.frame == frame) {
            scope->entries.erase(scope->entries.begin() + long(i));
            if (scope->current > i) --scope->current;
        } else {
            ++i;
        }
    }
}

UInt32 GetFindScopeEntry(const FindScope& scope, FindHost& host, std::size_t index, bool* openedByFind) {
    if (openedByFind) *openedByFind = false;
    if (index >= scope.entries.size()) return 0;
    const FindScopeEntry& e = scope.entries[index];
    if (e.tag == 'wind') return host.FrameView(e.frame) ? e.frame : 0;
    if (e.tag != 'spec') return 0;
    if (UInt32 frame = host.FrameForCatalog(e.path)) return frame;
    const UInt32 frame = host.OpenCatalogFrame(e.path);
    if (frame && openedByFind) *openedByFind = true;
    return frame;
}
