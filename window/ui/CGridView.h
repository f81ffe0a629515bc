// The grid view window: the catalog window's list of items, drawn by the view engine. It owns
// the window's catalog (CatalogRec) and the engine's record of it (ViewRec) with the two ports
// the engine draws into (this window's and the header bar's); it turns clicks, keys and the
// wheel into engine calls, runs the in-place edit of a file name or caption, adds dropped or
// chosen files through the import engine, listens to the catalog's notifications, and only
// copies the engine's offscreen to the screen when it paints. Its clipboard and drag and drop
// live in GridClipboard.cpp and CGridDropTarget.cpp. User-interface thread only.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "platform/Files.h"
#include "platform/ui/WindowMessageEvent.h"
#include "window/grid/GridDropMath.h"
#include "window/grid/GridGestures.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewPort.h"
#include "window/view/ViewRec.h"

#include <functional>
#include <string>
#include <vector>
#include <wx/window.h>

class CMediaHeaderBar;
class CMediaStatusBar;
class CRenameEdit;
class CSidePanel;
class GridViewHost;
class ReceivedData;
class wxDataObject;
class wxDataObjectComposite;

class CGridView : public wxWindow {
public:
    CGridView(wxWindow* parent, wxWindowID id);
    ~CGridView() override;

    // Closes the shown catalog (if any) and opens the one at path with its work file at
    // workPath, or makes a new untitled catalog for an empty path. The error of the open (the
    // old catalog is gone either way, the window then shows none).
    OSErr SetCatalog(const std::string& path, const std::string& workPath);
    // Closes the catalog and drops the view.
    void ReleaseView();

    CatalogRec* GetCatalog() const { return catalog_; }
    ViewRec* GetViewRec() const { return view_; }
    ViewPort* HeaderPort() const { return headerPort_; }
    void SetHeaderBar(CMediaHeaderBar* header) { header_ = header; }
    void SetHost(GridViewHost* host) { host_ = host; }
    // The view's serial number: never reused while the program runs; drag data names it.
    UInt64 Serial() const { return serial_; }
    // The live grid view with that serial, or null.
    static CGridView* FindLive(UInt64 serial);

    // After an engine call that drew: repaint what it drew here and in the header bar.
    void ShowDamage();
    // Lays the view out again and redraws everything (a notification that changed the items).
    void RedrawAll();

    // The vertical scroll bar's owner hears of range changes (first row, last first row, page).
    using ScrollListener = std::function<void(SInt32 first, SInt32 lastFirst, SInt32 page)>;
    void SetScrollListener(ScrollListener listener) { scrollListener_ = std::move(listener); }
    // Told after every catalog notification (title, status bar).
    void SetChangeListener(std::function<void(UINT message)> listener) { changeListener_ = std::move(listener); }
    // Told of each catalog the window shows, right after it opened, and with null right before
    // the catalog closes (its windows store what they hold and stop listening).
    void SetCatalogObserver(std::function<void(CatalogRec*)> observer) { catalogObserver_ = std::move(observer); }

    // ---- commands ----------------------------------------------------------------------------
    // Adds files and folders at the drop index (or after the last item) with progress; the
    // frame is busy meanwhile. The import engine's answer (userCanceledErr after a cancel).
    OSErr AddFiles(const std::vector<FSSpec>& specs);
    // Reads the pending items' media again (mode 0 after an open or import) and drives the
    // status bar's busy icon meanwhile.
    void RebuildItems();
    // Opens the selected items' files with their default applications (asks from 10 on).
    void OpenSelected();
    // Shows the current item's file in the file manager.
    void ShowMediaFile();
    // The next button release places the selection there.
    void BeginMoveToLocation();
    bool InMoveToLocation() const { return mode_ == kModeMoveToLocation; }
    // The position Move to Location or a drop inside the view moved the selection to last.
    SInt32 PendingMovePosition() const { return pendingMove_; }
    void TogglePlay();
    // Switches to List (0), Thumbnail (1) or Media (2) view; the tabs follow.
    void SetViewMode(int mode);
    // Undo in the focused edit field, if any.
    static void UndoInFocusedEdit();

    // ---- in-place editing --------------------------------------------------------------------
    // Starts editing the current item's field under the point (null point: the field asked for,
    // 0 meaning the first editable one). False when no field can be edited there.
    bool BeginFieldEdit(const Point* where, UInt32 fieldId);
    // Ends an open edit as if it lost the focus (commits it).
    void CommitEdit();
    CRenameEdit* Editor() const { return editor_; }

    // ---- clipboard and drag and drop (GridClipboard.cpp) ------------------------------------
    enum : int { kCut = 1, kCopy = 2 };
    // Cut or Copy of the selected items; answers how many items reached the clipboard (a Cut
    // removes exactly those). addFormats may add what the view mode shows (text, a picture).
    SInt32 CopySelection(int mode, const std::function<void(wxDataObjectComposite&)>& addFormats = {});
    // Pastes items (or imports files) from the clipboard at the end of the catalog.
    void Paste();
    // Whether Paste has something to take: an edit field with text, or items or files.
    static bool CanPaste();
    // The data a drag of the selection carries: the view reference, and the selected items'
    // files as a URI list and as paths. Null when nothing is selected or no file resolves.
    wxDataObject* MakeDragData() const;
    void StartDrag();
    // Follows the pointer during a drag (view coordinates); noTrack hides the marker.
    void TrackDropPosition(int x, int y, bool noTrack);
    void SetDragState(bool on);
    bool InDragState() const { return mode_ == kModeDragging; }
    SInt32 DropIndex() const { return dropIndex_; }
    // Takes dropped data at a point: items of another view are added there, items of this view
    // moved there, files imported there. False when refused.
    bool DropData(const ReceivedData& data, const wxPoint& where);

private:
    enum : int { kModeNormal = 0, kModeMoveToLocation = 1, kModeDragging = 2 };

    void BindEvents();
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnButtonDown(wxMouseEvent& event);
    void OnButtonUp(wxMouseEvent& event);
    void OnDoubleClick(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnMouseWheel(wxMouseEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnSetFocus(wxFocusEvent& event);
    void OnSetCursor(wxSetCursorEvent& event);
    void OnWindowMessage(WindowMessageEvent& event);
    void OnCatalogMessage(UINT message, WPARAM wParam);
    void OnEditDone(long ending);
    void OnEditCancel();
    void DoubleClickAction();
    bool HandleKey(wxKeyEvent& event);
    void SendCommandToFrame(int command);
    void DiscardEditor();
    bool PointOnName(ViewCell cell, Point pt) const;
    void ImportPendingDrop();
    CMediaStatusBar* StatusBar() const;
    CSidePanel* SidePanel() const;
    void SendFrameMessage(UINT message, WPARAM wParam);
    static void ScrollProc(UInt32 refCon, SInt32 firstRow, SInt32 lastFirstRow, SInt32 pageRows);
    void Listen(bool on);

    CatalogRec* catalog_ = nullptr;
    ViewRec* view_ = nullptr;
    ViewPort* port_ = nullptr;
    ViewPort* headerPort_ = nullptr;
    CMediaHeaderBar* header_ = nullptr;
    GridViewHost* host_ = nullptr;
    WindowMessageBridge bridge_;
    ScrollListener scrollListener_;
    std::function<void(UINT)> changeListener_;
    UInt32 scrollRef_ = 0;
    std::function<void(CatalogRec*)> catalogObserver_;
    UInt64 serial_ = 0;
    // Input state.
    bool buttonDown_ = false;
    int clickKind_ = kClickNone;
    int mode_ = kModeNormal;
    Point press_{0, 0};
    WheelSteps wheel_;
    wxSize lastSize_;
    // In-place edit.
    CRenameEdit* editor_ = nullptr;
    UInt32 editField_ = 0;
    // Dropping.
    DropIndexTracker drop_;
    SInt32 dropIndex_ = -1;
    bool markerShown_ = false;
    Rect markerRect_{0, 0, 0, 0};
    std::vector<FSSpec> pendingImport_;
    bool importPending_ = false;
    SInt32 pendingImportAt_ = -1;
    SInt32 pendingMove_ = 0;
    bool importing_ = false;
};
