// The Organize panel's folder list: the catalog's volumes and folders as a tree with their
// item counts; a click filters the view by a folder (Ctrl adds or removes it, Shift takes a
// range), the triangle folds and unfolds (Alt: the whole subtree). Whether a folder is on
// disk is never asked while painting: a worker thread looks the shown folders up and hands
// the answers back to the window (if it still exists), on rebuilds, on the folder watcher's
// messages and every few seconds, so a slow or unmounted disk never stalls the window.
#pragma once

#include "platform/ui/WindowMessageEvent.h"
#include "window/ui/CPaneListBase.h"

#include <memory>
#include <unordered_map>
#include <wx/timer.h>

class CPaneFolderList : public CPaneListBase {
public:
    CPaneFolderList(wxWindow* parent, wxWindowID id);
    ~CPaneFolderList() override;

    void AttachCatalog(CatalogRec* catalog) override;
    void Rebuild(bool force);
    // Starts a look-up of the shown folders on disk (answers arrive later).
    void CheckDisks();
    // The node id of a row, 0 for none.
    UInt32 NodeAt(int row) const;
    int RowOfNode(UInt32 nodeId) const;
    // Whether the last look-up (or the folder watcher) found the row's folder missing.
    bool IsMissing(int row) const;
    int ChecksDone() const { return checksDone_; }

    // The folder menu's commands on a row: 1 remove from the catalog, 2 open, 3 create a new
    // folder in it, 4 rename, 5 move to the trash. Those that remove ask first.
    void DoCommand(int row, int command);
    bool BeginRename(int row);
    class CInplaceEdit* Editor() const { return editor_; }

    // Items dragged from the window's grid view: a folder row on disk takes them (they move
    // there); resting on a folder with sub-folders unfolds it, with Ctrl held empty folders
    // are pruned from the tree instead.
    bool TrackGridDrag(int x, int y, bool leaving) override;
    bool DropGridItems(int x, int y, ViewRec* view) override;
    bool ToggleRowForDrag(int row, bool panelDrag, bool expandOnly) override;
    // Whether a row can take dropped items: a folder (not a volume) found on disk.
    bool RowTakesDrops(int row) const;
    int DropRow() const { return dropRow_; }

    bool CanClickRow(int, int, int) override { return true; }
    bool OnRowClick(int row, int x, int y, bool doubleClick) override;

protected:
    void DrawRow(wxDC& dc, const wxRect& rect, int row) override;

private:
    struct Row {
        UInt32 nodeId = 0;
        wxString name;
        int depth = 0;
        bool hasChildren = false, expanded = false, volume = false;
        long count = 0;
    };
    void BindEvents();
    void OnMessage(WindowMessageEvent& event);
    void SyncSelection();
    void TakeDiskState(const std::unordered_map<UInt32, bool>& missing);
    void ShowFolderMenu(int row, const wxPoint& at);
    void OnKeyDown(wxKeyEvent& event);
    void EndRename(bool accept);
    void RemoveFolder(UInt32 nodeId);
    // The folder's path on this machine; empty when its volume is not mounted.
    std::string NativePath(UInt32 nodeId) const;

    std::vector<Row> rows_;
    std::unordered_map<UInt32, bool> missing_;
    WindowMessageBridge bridge_;
    wxTimer timer_;
    std::shared_ptr<bool> alive_;
    class CInplaceEdit* editor_ = nullptr;
    UInt32 renamedNode_ = 0;
    int menuRow_ = -1;
    int checksDone_ = 0;
    int dropRow_ = -1;
    bool checking_ = false;
};
