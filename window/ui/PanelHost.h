// How the side panel's panes and lists reach what they show: the catalog window's grid view,
// its catalog and its view record, found through the grid container they sit in. Each answer
// may be null (no catalog yet, or a pane outside a catalog window); callers do nothing then.
#pragma once

#include <functional>
#include <string>

struct CatalogRec;
struct ViewRec;
class CGridView;
class wxWindow;

CGridView* PanelGridView(const wxWindow* window);
CatalogRec* PanelCatalog(const wxWindow* window);
ViewRec* PanelView(const wxWindow* window);
// Gives the keyboard focus back to the grid view.
void PanelFocusGrid(const wxWindow* window);
// Sends a menu command to the catalog window (the frame's own dispatcher decides).
void PanelSendCommand(const wxWindow* window, int id);

// Moves the view's selected items into a folder on disk (a drop on the folder list). The
// program installs the file action with its conflict questions and failure reports; without
// one nothing moves and the drop is refused.
using PanelFolderMove = std::function<void(wxWindow* from, const std::string& folderPath)>;
void SetPanelFolderMove(PanelFolderMove move);
bool PanelMoveSelectionToFolder(wxWindow* from, const std::string& folderPath);
