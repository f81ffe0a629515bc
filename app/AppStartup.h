// The headless half of the program's start and end: the engines, the preferences and the
// small settings of the application, in the order the program depends on, and their saving at
// exit. The windows (first frame, command line, showing) follow in the application object.
//
// The order differs from the historical one where that one lost data: the stored preferences
// are read before the first-run stamp is looked at (so the stamp and the importer check run
// only on a real first run), the preferences' default import settings go into the catalog
// engine (not the engine's built-in defaults over the user's), any existing folder is a valid
// scratch folder, and nothing is saved at exit unless start-up ran to its end.
#pragma once

#include "app/GoToRequest.h"
#include "app/RecentCatalogs.h"
#include "catalog/items/ItemMediaInfo.h"
#include "window/find/FindScope.h"

#include <functional>
#include <string>

struct StartupReports {
    // The installation is incomplete (string 60063); start-up stops.
    std::function<void()> incompleteInstallation;
    // The image importers the program relies on are missing (alert 56); start-up goes on.
    std::function<void()> missingImporters;
    // The last run stopped while it read this file; shown once, then the journal is emptied.
    std::function<void(const MediaFileRec&)> crashedImport;
};

enum class StartupStop { kNone, kIncompleteInstallation, kKindEngine, kCatalogEngine };

// What the application keeps from start-up to exit.
struct ShellState {
    bool kindEngineUp = false;
    bool catalogEngineUp = false;
    bool started = false;          // set by the application once the first frame is shown
    std::string scratchFolder;
    std::string lastCatalog;
    RecentCatalogs recent;
    // Where Find and Find Again look; windows leave it when they close.
    FindScope findScope;
    // The last Go To, which Go Again repeats in any window.
    GoToRequest goTo;
};

// Pushes the preference values into the media-kind and catalog engines, as at start-up and
// again after the Preferences sheet was confirmed.
void HandPreferencesToEngines();
// Runs the headless start-up steps; kNone when the program may go on to its first frame.
StartupStop RunShellStartup(ShellState* state, const StartupReports& reports);

// True when the installation is complete: the value "Path" under the program's machine-wide
// key, else under its per-user key.
bool InstallationIsComplete();

// The end: when start-up completed, the recent catalogs, the last catalog, the scratch folder,
// the preferences and the find queries are saved; the engines that started are shut down in any case.
void RunShellExit(ShellState* state);
