// The print dialog's preview: one page of the job as the printer would get it, drawn by the
// print engine into an image scaled to fit the window (5 pixels free on each side), on the
// preview's lilac paper. A computation that fails (an empty catalog) leaves it blank.
#pragma once

#include "output/print/PrintJob.h"

#include <wx/bitmap.h>
#include <wx/window.h>

class CLXPrintPreview : public wxWindow {
public:
    CLXPrintPreview(wxWindow* parent, wxWindowID id);

    void Bind(ViewRec* view, PrintSettingsRec* settings);
    // Page metrics, layout and grid; the current page becomes the one holding the view's
    // current item when not chosen yet, and is kept within the page count. 0 or the failure.
    OSErr Compute();

    bool Ready() const { return ok_; }
    const PrintJob& Job() const { return job_; }
    SInt32 PageCount() const { return ok_ ? job_.grid.pageCount : 0; }
    // The page as drawn last (invalid when nothing was drawn).
    const wxBitmap& PageBitmap() const { return page_; }

private:
    void BindEvents();
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void Render();

    ViewRec* view_ = nullptr;
    PrintSettingsRec* settings_ = nullptr;
    PrintJob job_;
    bool ok_ = false;
    wxBitmap page_;
    wxRect pageRect_;
};
