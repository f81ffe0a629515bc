// The progress procedure of every import a grid view runs (files from the chooser, the command
// line or a drop), in one place so that the import's progress window has one call site. While
// an import runs, the user interface stays alive through the progress window's event pumping;
// Escape, the window's Cancel, or a request to quit the program end the import. A quit asked
// for meanwhile is remembered and carried out by the caller once the import has ended, so the
// catalog the import works on is never closed under it.
#pragma once

#include "platform/MacTypes.h"

// For CatalogAddFiles: phase 0 opens the progress, 1 reports (added, scanned) and answers
// userCanceledErr to stop, 2 closes it.
OSErr GridImportProgress(short phase, long added, long scanned, long refCon);

// What shows the progress and lets events through during an import, with the same phases: the
// program installs its Importing window; without one the generic progress hooks serve.
using GridImportStep = OSErr (*)(short phase, long added, long scanned, long refCon);
void SetGridImportStep(GridImportStep step);

// Marks an import as running for its lifetime (nested imports count).
class GridImportScope {
public:
    GridImportScope();
    ~GridImportScope();
    GridImportScope(const GridImportScope&) = delete;
    GridImportScope& operator=(const GridImportScope&) = delete;
};
bool GridImportRunning();

// A quit while an import runs: the import is told to stop and the quit waits for it. False
// when no import runs (the caller quits at once).
bool RequestQuitDuringImport();
// Whether a quit waits for the import that just ended (the request is consumed).
bool TakeQuitRequest();
