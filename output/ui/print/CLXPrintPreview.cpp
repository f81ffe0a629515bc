#include "output/ui/print/CLXPrintPreview.h"

#include "output/print/PrintSettings.h"
#include "output/ui/print/PrintSetup.h"

#include <cairo.h>
#include <wx/dcbuffer.h>
#include <wx/image.h>

#include <algorithm>

namespace {

constexpr int kInset = 5;

}  // namespace

CLXPrintPreview::CLXPrintPreview(wxWindow* parent, wxWindowID id)
    : wxWindow(parent, id, wxDefaultPosition, wxSize(240, 320), wxBORDER_SUNKEN | wxFULL_REPAINT_ON_RESIZE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetMinSize(wxSize(240, 320));
    BindEvents();
}

void CLXPrintPreview::BindEvents() {
    wxWindow::Bind(wxEVT_PAINT, &CLXPrintPreview::OnPaint, this);
    wxWindow::Bind(wxEVT_SIZE, &CLXPrintPreview::OnSize, this);
}

void CLXPrintPreview::Bind(ViewRec* view, PrintSettingsRec* settings) {
    view_ = view;
    settings_ = settings;
}

OSErr CLXPrintPreview::Compute() {
    ok_ = false;
    page_ = wxBitmap();
    if (!view_ || !settings_) return paramErr;
    const OSErr err = PrintPrepareJob(view_, settings_, PrintSetupMetrics(), std::string(), PrintUnitIsMetric(), &job_);
    if (err != noErr) {
        Refresh();
        return err;
    }
    if (settings_->currentPage == 0) settings_->currentPage = UInt32(PrintPageOfCurrentItem(view_, job_.grid.cellsPerPage));
    settings_->currentPage = UInt32(std::clamp<SInt32>(SInt32(settings_->currentPage), 1, job_.grid.pageCount));
    ok_ = true;
    Render();
    Refresh();
    return noErr;
}

void CLXPrintPreview::Render() {
    page_ = wxBitmap();
    if (!ok_) return;
    const Rect& paper = job_.geometry.paper;
    const double pw = paper.right - paper.left, ph = paper.bottom - paper.top;
    const wxSize client = GetClientSize();
    const double room = std::min((client.x - 2 * kInset) / pw, (client.y - 2 * kInset) / ph);
    if (room <= 0) return;
    const int w = std::max(1, int(pw * room)), h = std::max(1, int(ph * room));
    pageRect_ = wxRect((client.x - w) / 2, (client.y - h) / 2, w, h);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_scale(cr, room, room);
    cairo_translate(cr, -paper.left, -paper.top);
    const OSErr err = PrintRenderPage(cr, job_, SInt32(settings_->currentPage), true);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    if (err == noErr) {
        wxImage image(w, h);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        unsigned char* rgb = image.GetData();
        for (int y = 0; y < h; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
            for (int x = 0; x < w; ++x, rgb += 3) {
                rgb[0] = (row[x] >> 16) & 0xFF;
                rgb[1] = (row[x] >> 8) & 0xFF;
                rgb[2] = row[x] & 0xFF;
            }
        }
        page_ = wxBitmap(image);
    }
    cairo_surface_destroy(surface);
}

void CLXPrintPreview::OnSize(wxSizeEvent& event) {
    Render();
    Refresh();
    event.Skip();
}

void CLXPrintPreview::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(GetBackgroundColour()));
    dc.Clear();
    if (page_.IsOk()) dc.DrawBitmap(page_, pageRect_.x, pageRect_.y);
}
