#include "catalog/save/CatalogProgress.h"

#include "foundation/interface/Cursors.h"

namespace {

OSErr Call(CatalogProgressProc proc, short phase, long current, long total, long refCon) {
    if (proc) return proc(phase, current, total, refCon);
    SetWaitCursor(phase == 0 ? 0 : 1);
    return noErr;
}

}  // namespace

OSErr CatalogProgressBegin(CatalogProgressProc proc, long current, long total, long refCon) {
    return Call(proc, 0, current, total, refCon);
}

OSErr CatalogProgressStep(CatalogProgressProc proc, long current, long total, long refCon) {
    return Call(proc, 1, current, total, refCon);
}

OSErr CatalogProgressEnd(CatalogProgressProc proc, long current, long total, long refCon) {
    return Call(proc, 2, current, total, refCon);
}
