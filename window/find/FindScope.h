// Where a find looks: a list of catalogs, each an open catalog window ('wind', known by its
// frame's id) or a catalog file ('spec', known by its path), with the entry the search is at.
// The windows themselves belong to the application; the scope reaches them only through a
// FindHost, so a window that closed can only be missed, never touched.
#pragma once

#include "platform/MacTypes.h"

#include <string>
#include <vector>

struct ViewRec;

// Scope kinds of BuildFindScope.
enum : int {
    kFindScopeFront = 1,    // the front catalog window
    kFindScopeWindows = 2,  // every catalog window
    kFindScopeRecent = 4,   // the recent catalogs
};

struct FindScopeEntry {
    OSType tag = 0;         // 'wind' or 'spec'
    UInt32 frame = 0;       // 'wind': the frame's id
    std::string path;       // 'spec': the catalog file
};

struct FindScope {
    std::vector<FindScopeEntry> entries;
    std::size_t current = 0;
};

// What the search needs of the application's windows. Frame ids are never reused; 0 is none.
class FindHost {
public:
    virtual ~FindHost() = default;
    virtual UInt32 FrontFrame() = 0;
    virtual std::vector<UInt32> AllFrames() = 0;
    virtual std::vector<std::string> RecentCatalogs() = 0;
    // The view of a frame that still exists, else null.
    virtual ViewRec* FrameView(UInt32 frame) = 0;
    // The frame that shows the catalog file already, or 0.
    virtual UInt32 FrameForCatalog(const std::string& path) = 0;
    // A new frame with the catalog file opened for the search, or 0 when it cannot be opened.
    virtual UInt32 OpenCatalogFrame(const std::string& path) = 0;
    virtual void CloseFrame(UInt32 frame) = 0;
    // Brings the frame to the front.
    virtual void ActivateFrame(UInt32 frame) = 0;
    // The view's shown items or selection changed: the window draws again.
    virtual void ViewChanged(UInt32 frame) = 0;
};

// Resets the current entry to 0. Kinds 1, 2 and 4 first empty the scope and then list the
// front window, every window, or every recent catalog; any other kind keeps the entries a
// caller put there with AddFindScopeFile.
void BuildFindScope(FindScope* scope, FindHost& host, int kind);
void AddFindScopeFile(FindScope* scope, const std::string& path);
// A catalog window closed: its entries leave the scope, the ones behind move up, and the
// current entry keeps pointing at the same catalog where it can.
void FindScopeFrameClosed(FindScope* scope, UInt32 frame);
// The frame of entry index: a 'wind' entry's frame while it exists; for a 'spec' entry the
// frame already showing it or a new one opened for the search (openedByFind then true).
// 0 when the window is gone or the catalog cannot be opened.
UInt32 GetFindScopeEntry(const FindScope& scope, FindHost& host, std::size_t index, bool* openedByFind);
