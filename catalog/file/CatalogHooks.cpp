#include "catalog/file/CatalogHooks.h"

#include <algorithm>
#include <vector>

namespace {

template <typename Proc>
struct HookList {
    std::vector<Proc> procs;
    void Add(Proc proc) {
        if (proc && std::find(procs.begin(), procs.end(), proc) == procs.end()) procs.push_back(proc);
    }
};

HookList<CatalogHookProc>& OpenHooks() {
    static HookList<CatalogHookProc> list;
    return list;
}
HookList<CatalogHookProc>& CloseHooks() {
    static HookList<CatalogHookProc> list;
    return list;
}
HookList<CatalogEngineHookProc>& StartHooks() {
    static HookList<CatalogEngineHookProc> list;
    return list;
}
HookList<CatalogEngineHookProc>& StopHooks() {
    static HookList<CatalogEngineHookProc> list;
    return list;
}

}  // namespace

void CatalogRegisterOpenHook(CatalogHookProc proc) { OpenHooks().Add(proc); }
void CatalogRegisterCloseHook(CatalogHookProc proc) { CloseHooks().Add(proc); }
void CatalogRegisterEngineStartHook(CatalogEngineHookProc proc) { StartHooks().Add(proc); }
void CatalogRegisterEngineStopHook(CatalogEngineHookProc proc) { StopHooks().Add(proc); }

// Copies of the lists are walked, so a hook may register another without upsetting the walk.
void CatalogRunOpenHooks(CatalogRec* catalog) {
    for (CatalogHookProc proc : std::vector(OpenHooks().procs)) proc(catalog);
}
void CatalogRunCloseHooks(CatalogRec* catalog) {
    for (CatalogHookProc proc : std::vector(CloseHooks().procs)) proc(catalog);
}
void CatalogRunEngineStartHooks() {
    for (CatalogEngineHookProc proc : std::vector(StartHooks().procs)) proc();
}
void CatalogRunEngineStopHooks() {
    for (CatalogEngineHookProc proc : std::vector(StopHooks().procs)) proc();
}
