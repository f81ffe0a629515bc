// The status bar of a catalog window (id 59393): pane 0 the catalog's information text, pane 1
// the status (the view's counts, or the drop position while items are dragged), pane 2 the
// busy icon while tasks run. A click on the busy icon offers "Cancel Running Tasks".
#pragma once

#include "window/frame/StatusBusy.h"

#include <wx/statusbr.h>

class wxStaticBitmap;

class CMediaStatusBar : public wxStatusBar {
public:
    enum : int { kId = 59393 };
    explicit CMediaStatusBar(wxWindow* parent);

    // Pane 1's text; kept but not shown while in drag mode or while suppressed.
    void SetText(const wxString& text);
    void SetInfoText(const wxString& text) { SetStatusText(text, 0); }
    void SetDragMode(bool on);
    void ShowDropPosition(long position);
    void SetSuppressText(bool on);
    void SetBusy(bool on);
    void StepBusyIcon();
    int BusyCount() const { return busy_.Count(); }
    void ClearBusy();
    wxString ShownText() const { return GetStatusText(1); }

private:
    void BindEvents();
    void OnSize(wxSizeEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void Relayout();
    void ShowPaneText();

    StatusBusy busy_;
    wxStaticBitmap* icon_ = nullptr;
    wxString text_;
    wxString dropText_;
    bool dragMode_ = false;
    bool suppressed_ = false;
};
