#include "import/ImportHooks.h"

#include "catalog/file/CatalogHooks.h"
#include "catalog/file/CatalogRec.h"
#include "import/adding/AddFiles.h"
#include "import/watch/FolderWatch.h"

namespace {

void StopAllRefreshJobs() { StopItemRefreshTimer(nullptr); }

// Watching resumes as the catalog was saved: a watching catalog starts its timer afresh.
void ResumeWatching(CatalogRec* catalog) {
    FolderWatchEnable(catalog, false);
    if (catalog->viewPrefs.watchMode == 1 || catalog->viewPrefs.watchMode == 2) FolderWatchEnable(catalog, true);
}

}  // namespace

void ImportAttachToCatalogs() {
    CatalogRegisterEngineStartHook(ResetAddFilesState);
    CatalogRegisterEngineStopHook(StopAllRefreshJobs);
    CatalogRegisterCloseHook(StopItemRefreshTimer);
    CatalogRegisterOpenHook(ResumeWatching);
}
