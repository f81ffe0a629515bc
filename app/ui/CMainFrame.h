// The top-level window of one open catalog. It owns the command handler, the grid container
// (tabs, header bar, grid view, side panel), the tool bar and the status bar; it shows menu
// 200, keeps its title in step with the catalog, and opens, saves and closes its catalog.
// Every menu, accelerator and tool-bar command goes to its CMenuHandler.
#pragma once

#include "app/FrameRules.h"
#include "app/ui/CMultiFrameWnd.h"
#include "catalog/file/CatalogRec.h"
#include "platform/WinTypes.h"
#include "window/ui/GridViewHost.h"
#include "window/view/ViewRec.h"

#include <memory>
#include <string>
#include <vector>

class CGridContainer;
class CGridView;
class CMediaStatusBar;
class CMediaToolBar;
class CMenuHandler;
class CMyTabCtrl;

class CMainFrame : public CMultiFrameWnd, public GridViewHost {
public:
    // A new hidden frame with its menus and bars; null when it cannot be made.
    static CMainFrame* CreateFrameWindow();
    ~CMainFrame() override;

    CatalogRec* GetCatalog() const;
    CGridView* GetGridView() const;
    ViewRec* GetViewRec() const;
    CMyTabCtrl* GetTabCtrl() const;
    CGridContainer* GetGridContainer() const { return container_; }
    CMediaStatusBar* GetStatusBarWindow() const { return statusBar_; }
    CMediaToolBar* GetToolBarWindow() const { return toolBar_; }
    CMenuHandler* GetMenuHandler() const { return handler_.get(); }
    void FocusGridView();

    // A new untitled catalog, placed relative to the active frame.
    void InitNewFrame();
    // Loads the catalog file (an empty path: a new untitled catalog); false (with the error
    // shown) when it cannot be opened, the frame then shows a new untitled catalog.
    bool LoadCatalog(const std::string& path);
    void UpdateTitle();
    void PlaceFrame(CMainFrame* reference);
    // 1 closed or continuing, 2 cancelled.
    int CloseFrame(int mode, bool* stays = nullptr);
    // Save and Save As; true only when the catalog was really written.
    bool Save();
    bool SaveAs();
    // Saves to path; the engine's result, reported to the user unless reportErrors is false.
    OSErr SaveTo(const std::string& path, bool reportErrors = true);
    void ImportFromFilesFolders();
    // Adds files and folders at the end of the catalog and starts reading their media.
    OSErr AddFiles(const std::vector<std::string>& paths);
    // After items were added at the end by other means (a camera import): starts reading their
    // media, shows them and brings the view to the last one.
    void StartReadingNewItems();
    void CancelRunningTasks(bool ask);
    bool ToggleBars();
    bool BarsShown() const { return barsShown_; }
    // Switches the view mode through the tabs (0 List, 1 Thumbnail, 2 Media).
    void SetViewMode(int mode);
    bool IsBusy() const { return busy_ > 0; }
    // The status bar's busy phases: 0 on, 1 step, 2 off.
    void BusyPhase(int phase);
    void BuildWindowMenu();
    // Fills the Sort menu (headings greyed, fields by name, ids from 33199); the key of an id.
    void BuildSortMenu();
    UInt32 SortKeyOf(int command) const;
    const std::string& ScratchFolder() const { return scratchFolder_; }
    // The frame's serial number, never reused in a run, and the live frame of a serial (null
    // when that frame is gone): how windows are named where a pointer could outlive them.
    long Serial() const { return serial_; }
    static CMainFrame* FromSerial(long serial);

    // What the grid view asks of its frame (GridViewHost).
    void GridSetBusy(bool busy) override;
    void GridContextMenu(const wxPoint& where) override;
    void GridTitleChanged() override { UpdateTitle(); }
    void GridQuitNow() override;

private:
    CMainFrame() = default;
    bool OnCreate();
    void BindEvents();
    void OnClose(wxCloseEvent& event);
    void OnActivate(wxActivateEvent& event);
    void OnMenuOpen(wxMenuEvent& event);
    void OnToolDropDown(wxCommandEvent& event);
    void OnCatalogChanged(UINT message);
    std::string NextWorkPath();
    void ReportSaveError(OSErr err, bool hadFile);

    std::unique_ptr<CMenuHandler> handler_;
    CGridContainer* container_ = nullptr;
    CMediaStatusBar* statusBar_ = nullptr;
    CMediaToolBar* toolBar_ = nullptr;
    std::string scratchFolder_;   // this frame's own folder inside the scratch folder
    int workFiles_ = 0;
    bool barsShown_ = true;
    int busy_ = 0;
    long serial_ = 0;
    std::vector<UInt32> sortKeys_;   // by command id - 33199; 0 for a heading            // the save progress finds the frame by it
};

// The frame a window belongs to; null when it is not inside a catalog window.
CMainFrame* GetFrameOfWindow(wxWindow* window);
// Shows the frame, raises it and gives it the focus (its grid view when focusGrid).
void ActivateFrame(CMainFrame* frame, bool focusGrid);
