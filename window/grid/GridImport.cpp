#include "window/grid/GridImport.h"

#include "import/adding/AddFiles.h"
#include "platform/UiHooks.h"

namespace {

int gRunning = 0;
bool gQuitRequested = false;
GridImportStep gStep = AddFilesUiProgress;

}  // namespace

GridImportScope::GridImportScope() { ++gRunning; }
GridImportScope::~GridImportScope() { --gRunning; }

bool GridImportRunning() { return gRunning > 0; }

bool RequestQuitDuringImport() {
    if (gRunning == 0) return false;
    gQuitRequested = true;
    return true;
}

bool TakeQuitRequest() {
    const bool was = gQuitRequested;
    gQuitRequested = false;
    return was;
}

void SetGridImportStep(GridImportStep step) { gStep = step ? step : AddFilesUiProgress; }

OSErr GridImportProgress(short phase, long added, long scanned, long refCon) {
    if (phase != 1) return gStep(phase, added, scanned, refCon);
    if (gQuitRequested || UiEscapeKeyDown()) return userCanceledErr;
    // The step pumps the events; a quit or an Escape may arrive meanwhile.
    const OSErr err = gStep(phase, added, scanned, refCon);
    if (err != noErr || gQuitRequested || UiEscapeKeyDown()) return userCanceledErr;
    return noErr;
}
