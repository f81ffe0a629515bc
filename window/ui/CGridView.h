// The grid view window: the catalog window's list of items, drawn by the view engine. It owns
// the window's catalog (CatalogRec) and the engine's record of it (ViewRec) with the two ports
// the engine draws into (this window's and the header bar's); it passes sizes, scrolling,
// clicks and keys to the engine, listens to the catalog's notifications, and only copies the
// engine's offscreen to the screen when it paints. User-interface thread only.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "platform/ui/WindowMessageEvent.h"
#include "window/view/ViewPort.h"
#include "window/view/ViewRec.h"

#include <functional>
#include <string>
#include <wx/window.h>

class CMediaHeaderBar;

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

private:
    void BindEvents();
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnMouseWheel(wxMouseEvent& event);
    void OnCatalogMessage(WindowMessageEvent& event);
    static void ScrollProc(UInt32 refCon, SInt32 firstRow, SInt32 lastFirstRow, SInt32 pageRows);
    void Listen(bool on);

    CatalogRec* catalog_ = nullptr;
    ViewRec* view_ = nullptr;
    ViewPort* port_ = nullptr;
    ViewPort* headerPort_ = nullptr;
    CMediaHeaderBar* header_ = nullptr;
    WindowMessageBridge bridge_;
    ScrollListener scrollListener_;
    std::function<void(UINT)> changeListener_;
    UInt32 scrollRef_ = 0;
    std::function<void(CatalogRec*)> catalogObserver_;
};
