// The named conditions that enable or check the catalog window's commands, shared by every
// file that adds command rows, so one state question is answered the same way everywhere.
#pragma once

#include "app/ui/commands/CommandTable.h"

struct CatalogRec;
struct ViewRec;

// The frame's catalog and view record; either may be null (an empty window).
CatalogRec* CommandCatalog(const CommandContext& c);
ViewRec* CommandView(const CommandContext& c);

extern const Rule kHasView;
extern const Rule kHasItems;
extern const Rule kHasSelection;
extern const Rule kInMediaView;
extern const Rule kHasHiddenItems;
extern const Rule kHasFile;
extern const Rule kModified;
extern const Rule kRecentNotEmpty;
extern const Rule kCanGoBack;
extern const Rule kCanGoForward;
extern const Rule kTasksRunning;
extern const Rule kRecentEntry;
extern const Rule kWindowEntry;
extern const Rule kTabIsThis;
extern const Rule kBarsShown;
