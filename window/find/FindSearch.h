// Running a find query over a find scope: all at once (select or show every match in each
// catalog, or only count them) or item by item (the next match after the current item, on
// into the following catalogs and, when asked, round again from the first). Escape, polled
// between items through the UI hooks, cancels; nothing found beeps.
#pragma once

#include "window/find/FindQuery.h"
#include "window/find/FindScope.h"

struct ViewRec;

// What a search does with its matches.
enum : int {
    kFindActionNext = 1,    // the next match becomes the current, selected item
    kFindActionSelect = 2,  // every match selected, nothing else
    kFindActionShow = 3,    // only the matches shown
    kFindActionCount = 4,   // matches counted, the view left alone
};

// The find options of the preferences: wrap, action (outside 1..4 read as 1) and scope kind.
struct FindOptions {
    bool wrap = false;
    int action = kFindActionNext;
    int scopeKind = kFindScopeFront;
};
FindOptions GetFindOptions();
void SetFindOptions(const FindOptions& options);

struct FindOutcome {
    long found = 0;
    bool cancelled = false;
};

// Tests the visible items first..last (1-based) of the frame's view in order and acts on the
// matches (see the actions); with kFindActionNext the walk ends at the first match. The frame
// comes to the front when something matches. Nothing changes in the view after a cancel.
FindOutcome SearchCatalog(FindHost& host, UInt32 frame, ViewRec* view, const FindQuery& query, SInt32 first,
                          SInt32 last, int action);

// Every catalog from the scope's current entry on, searched whole with the action; a catalog
// opened only for the search is closed again when nothing was found in it or the action only
// counts. Beeps when nothing was found anywhere.
FindOutcome FindAll(FindScope* scope, FindHost& host, const FindQuery& query, int action);

// The next match: after the current item of the current entry, then in the following
// entries from their first item, then, with wrap, round again from the first entry (entries
// before the current one whole, the current one from its first item). The scope stays on the
// entry of the match. Beeps when nothing was found; a cancel ends silently.
FindOutcome FindNext(FindScope* scope, FindHost& host, const FindQuery& query, bool wrap);

// The commands: Find (after the dialog) and Find Again. The scope is built from the options'
// scope kind; an empty scope does nothing.
FindOutcome RunFind(FindScope* scope, FindHost& host);
