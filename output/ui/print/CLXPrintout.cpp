#include "output/ui/print/CLXPrintout.h"

#include "foundation/ui/UiText.h"
#include "output/print/PrintSettings.h"

#include <cairo.h>
#include <wx/dc.h>

CLXPrintout::CLXPrintout(CatalogRec* catalog, ViewRec* view, PrintSettingsRec* settings, const wxString& title)
    : wxPrintout(title), catalog_(catalog), view_(view), settings_(settings) {}

void CLXPrintout::OnPreparePrinting() {
    // The user confirmed the system dialog: the settings are kept now.
    SavePrintSettings(catalog_, *settings_);
    int ppiX = 0, ppiY = 0, pageW = 0, pageH = 0;
    GetPPIPrinter(&ppiX, &ppiY);
    GetPageSizePixels(&pageW, &pageH);
    const wxRect paper = GetPaperRectPixels();
    PrintDeviceMetrics m;
    m.dpiX = ppiX > 0 ? ppiX : 72;
    m.dpiY = ppiY > 0 ? ppiY : 72;
    m.horzRes = pageW;
    m.vertRes = pageH;
    m.physicalWidth = paper.width;
    m.physicalHeight = paper.height;
    m.offsetX = -paper.x;
    m.offsetY = -paper.y;
    result_ = PrintPrepareJob(view_, settings_, m, Utf8FromWx(GetTitle()), PrintUnitIsMetric(), &job_);
    pages_.clear();
    if (result_ != noErr) return;
    for (SInt32 p = 1; p <= job_.grid.pageCount; ++p)
        if (PrintPageIsChosen(*settings_, p)) pages_.push_back(p);
}

bool CLXPrintout::OnBeginDocument(int startPage, int endPage) {
    if (result_ != noErr) return false;
    return wxPrintout::OnBeginDocument(startPage, endPage);
}

void CLXPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) {
    const int n = int(pages_.size());
    *minPage = n ? 1 : 0;
    *maxPage = n;
    *pageFrom = n ? 1 : 0;
    *pageTo = n;
}

bool CLXPrintout::HasPage(int page) { return page >= 1 && page <= int(pages_.size()); }

bool CLXPrintout::OnPrintPage(int page) {
    if (result_ != noErr || !HasPage(page)) return false;
    wxDC* dc = GetDC();
    auto* cr = static_cast<cairo_t*>(dc && dc->GetImpl() ? dc->GetImpl()->GetCairoContext() : nullptr);
    if (!cr) {
        result_ = paramErr;
        return false;
    }
    cairo_save(cr);
    // The printer context counts in printer dots from the printable area's corner.
    cairo_scale(cr, job_.context.device.dpiX / 72, job_.context.device.dpiY / 72);
    result_ = PrintRenderPage(cr, job_, pages_[std::size_t(page - 1)], false);
    cairo_restore(cr);
    // Returning false abandons the job: no further page is printed.
    return result_ == noErr;
}
