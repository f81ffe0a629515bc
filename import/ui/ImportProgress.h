// The Importing window around an import (CatalogAddFiles and the camera download): one window
// per process, made hidden by ImportProgressShow, shown and refreshed by ImportProgressUpdate
// once the import has lasted two seconds and then at most twice a second, read through
// ImportProgressIsCancelled, and removed by ImportProgressClose. ImportProgressCallback is the
// CatalogAddFiles progress procedure that drives it; ImportProgressScope does Show and Close
// on every path. User-interface thread only.
#pragma once

#include "platform/MacTypes.h"

class wxWindow;
class CImportDialog;

// Makes the hidden window with owner as parent, every other window of the program taking no
// input until it closes. Does nothing while a window exists (its counters stay).
void ImportProgressShow(wxWindow* owner);
// When due: shows the window and puts the numbers in. Nothing without a window.
void ImportProgressUpdate(long imported, long scanned);
// The cancelled flag (false without a window).
bool ImportProgressIsCancelled();
// Gives the program's windows their input back and destroys the window.
void ImportProgressClose();
// The window while one exists (tests look at it), else null.
CImportDialog* ImportProgressWindow();

// A CatalogAddFiles progress procedure: phase 1 answers userCanceledErr once the user pressed
// Escape or Cancel, otherwise handles the waiting events and updates the window. refCon is
// not used.
OSErr ImportProgressCallback(short phase, long added, long scanned, long refCon);

// The same as a whole progress procedure: phase 0 makes the window (owned by the window that
// has the focus, else the program's top window), 1 is ImportProgressCallback, 2 closes it.
OSErr ImportWindowProgress(short phase, long added, long scanned, long refCon);

class ImportProgressScope {
public:
    explicit ImportProgressScope(wxWindow* owner) { ImportProgressShow(owner); }
    ~ImportProgressScope() { ImportProgressClose(); }
    ImportProgressScope(const ImportProgressScope&) = delete;
    ImportProgressScope& operator=(const ImportProgressScope&) = delete;
};
