#include "output/print/PrintJob.h"

#include "catalog/tables/CatalogTables.h"
#include "foundation/text/Unicode.h"
#include "media/presenters/MediaObject.h"
#include "output/print/PrintText.h"
#include "platform/UiHooks.h"
#include "window/view/CellText.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewRec.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace {

// The preview's paper, so the page's own white shows against it.
constexpr double kPreviewPaper[3] = {204 / 255.0, 204 / 255.0, 1.0};
constexpr SInt16 kMediaCellInset = 2;

void Fill(cairo_t* cr, const Rect& r, const RGBColor& c) {
    cairo_set_source_rgb(cr, c.red / 65535.0, c.green / 65535.0, c.blue / 65535.0);
    cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
    cairo_fill(cr);
}

bool Empty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

ViewColors PageColors(const PrintJob& job) {
    ViewColors c{{{0xFFFF, 0xFFFF, 0xFFFF}, {0, 0, 0}, {0xFFFF, 0xFFFF, 0xFFFF}, {0xFFFF, 0xFFFF, 0xFFFF}}};
    if (job.settings->useViewColors) {
        if (const ViewColors* v = CatalogGetSlotRec24(job.view->catalog, UInt8(job.settings->layout))) c = *v;
    }
    return c;
}

void FillPageBackground(cairo_t* cr, const PrintJob& job, const Rect& content) { Fill(cr, content, PageColors(job).colors[0]); }

// The List layout's row of column labels, over the first row of a page.
void DrawLabelRow(cairo_t* cr, const PrintJob& job, const Rect& row, const ViewFieldList* fields, const ViewColors& colors) {
    CatalogRec* catalog = job.view->catalog;
    ViewCellPartRects parts;
    ViewCellParts(job.view, kPrintContentList, CatalogGetSlotRec16(catalog, kPrintContentList), fields, &row, &parts);
    const CatalogFontEntry* font = CatalogGetFontRec(catalog, kPrintContentList);
    Fill(cr, Rect{row.top, row.left, SInt16(row.bottom - 1), row.right}, colors.colors[0]);
    for (int i = 0; fields && i < 10 && fields->fields[i].fieldId != 0; ++i) {
        const Rect& r = parts.values[i];
        if (r.right - r.left < 8) continue;
        CellDrawTextUtf8(cr, CellFieldText(catalog, 0, FieldId(fields->fields[i].fieldId), true), r, font, 1, kJustLeft,
                         TextFit::EndEllipsis, colors.colors[1]);
    }
    Fill(cr, Rect{SInt16(row.bottom - 1), row.left, row.bottom, row.right}, colors.colors[1]);
}

OSErr DrawCells(cairo_t* cr, PrintJob& job, const Rect& area, SInt32 page, bool preview) {
    const PrintSettingsRec& s = *job.settings;
    const PrintGrid& g = job.grid;
    const UInt8 layout = UInt8(s.layout);
    const SInt32 items = ViewItemCount(job.view);
    const bool repeat = layout == kPrintMediaSheet && s.repeatMedia;
    SInt32 item = repeat ? page : (page - 1) * g.cellsPerPage + 1;
    const ViewColors colors = PageColors(job);
    static const ViewFieldList kNoFields{};
    const ViewFieldList* fields = CatalogGetSlotRec(job.view->catalog, layout);
    if (!fields || (layout != kPrintContentList && !s.printViewFields)) fields = &kNoFields;

    PrintCellOptions options;
    options.mode = layout;
    options.fields = fields;
    options.colors = &colors;
    options.noIcons = !s.printItemIcons;
    MediaObject* presenter = nullptr;
    if (layout == kPrintMediaSheet) {
        // A presenter of its own, for stills, at the sheet's scaling.
        presenter = MediaObjectNew(nullptr);
        if (presenter) {
            MediaObjectSetStillOnly(presenter, 1);
            MediaObjectSetShowFlag(presenter, s.scalingCode);
            MediaObjectSetPercent(presenter, s.scalingCode == kScalePercent ? s.scalePercent : 100);
        }
        options.presenter = presenter;
    }
    const SInt16 x = SInt16((area.right - area.left - g.columns * g.cellWidth) / 2);
    OSErr result = noErr;
    const SInt32 rowShift = layout == kPrintContentList && s.printLabelRow ? 1 : 0;
    for (SInt32 r = 0; r < g.rows && result == noErr; ++r) {
        for (SInt32 c = 0; c < g.columns && result == noErr; ++c) {
            if (item > items) break;
            Rect cell{SInt16(area.top + (r + rowShift) * g.cellHeight), SInt16(area.left + x + c * g.cellWidth),
                      SInt16(area.top + (r + rowShift + 1) * g.cellHeight), SInt16(area.left + x + (c + 1) * g.cellWidth)};
            if (r == 0 && c == 0 && rowShift)
                DrawLabelRow(cr, job, Rect{area.top, cell.left, SInt16(area.top + g.cellHeight), cell.right}, fields, colors);
            if (layout == kPrintMediaSheet && s.marginBetween && g.columns * g.rows > 1) {
                cell.top = SInt16(cell.top + kMediaCellInset);
                cell.left = SInt16(cell.left + kMediaCellInset);
                cell.bottom = SInt16(cell.bottom - kMediaCellInset);
                cell.right = SInt16(cell.right - kMediaCellInset);
            }
            cairo_save(cr);
            cairo_rectangle(cr, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top);
            cairo_clip(cr);
            ViewDrawCellForPrintAs(job.view, cr, item, cell, job.context.device.dpiX, job.context.device.dpiY,
                                   layout == kPrintContactSheet ? s.hiResThumbnails != 0 : layout == kPrintMediaSheet, options);
            cairo_restore(cr);
            if (!repeat) ++item;
            if (!preview && UiEscapeKeyDown()) result = userCanceledErr;
        }
        if (item > items) break;
    }
    if (presenter) MediaObjectDelete(presenter);
    return result;
}

void DrawBands(cairo_t* cr, const PrintJob& job, const PrintPageGeometry& geo, SInt32 page) {
    for (int b = 0; b < 4; ++b) {
        const Rect& r = geo.bands[b];
        if (Empty(r)) continue;
        const HeaderFooterBlock* block = nullptr;
        const PrintBandTexts t =
            PrintExpandHeaderText(job.view->catalog, *job.settings, page, job.grid.pageCount, b, geo.mirrored, &block);
        Fill(cr, r, RGBColor{block->backColor[0], block->backColor[1], block->backColor[2]});
        cairo_save(cr);
        cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
        cairo_clip(cr);
        if (b <= kBandFooter) {
            PrintDrawBandText(cr, *block, t.left, r.left + 1, r.top, false);
            PrintDrawBandText(cr, *block, t.centre, (r.left + r.right - PrintBandTextWidth(*block, t.centre)) / 2, r.top, false);
            PrintDrawBandText(cr, *block, t.right, r.right - 2 - PrintBandTextWidth(*block, t.right), r.top, false);
        } else {
            PrintDrawBandText(cr, *block, t.left, r.right, r.top + 1, true);
            PrintDrawBandText(cr, *block, t.centre, r.right, (r.top + r.bottom - PrintBandTextWidth(*block, t.centre)) / 2, true);
            PrintDrawBandText(cr, *block, t.right, r.right, r.bottom - 2 - PrintBandTextWidth(*block, t.right), true);
        }
        cairo_restore(cr);
    }
}

void DrawCropMarks(cairo_t* cr, const PrintSettingsRec& s, const Rect& c) {
    if (!s.cropMarks) return;
    cairo_save(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    auto line = [&](double x0, double y0, double x1, double y1) {
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
    };
    for (int corner = 0; corner < 4; ++corner) {
        const bool right = corner & 1, bottom = corner & 2;
        const double x = right ? c.right : c.left, y = bottom ? c.bottom : c.top;
        const double dx = right ? 1 : -1, dy = bottom ? 1 : -1;
        line(x + 30 * dx, y, x + 10 * dx, y);
        line(x, y + 30 * dy, x, y + 10 * dy);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

}  // namespace

OSErr PrintPrepareJob(ViewRec* view, PrintSettingsRec* settings, const PrintDeviceMetrics& device,
                      const std::string& documentName, bool metric, PrintJob* job) {
    if (!view || !settings || !job) return paramErr;
    job->view = view;
    job->settings = settings;
    job->context.device = device;
    job->context.documentName = documentName;
    job->context.metric = metric;
    if (OSErr err = PrintGetPageMetrics(job->context, &job->paper, &job->printable)) return err;
    if (OSErr err = PrintComputePageLayout(job->paper, job->printable, settings, metric, 1, &job->geometry)) return err;
    const Rect& a = job->geometry.cellArea;
    return PrintCalcPageGrid(view, settings, a.right - a.left, a.bottom - a.top, &job->grid);
}

OSErr PrintRenderPage(cairo_t* cr, PrintJob& job, SInt32 page, bool preview) {
    if (!cr || !job.view || !job.settings) return paramErr;
    PrintPageGeometry geo = job.geometry;
    if (job.settings->mirrorMargins && page != 1)
        if (OSErr err = PrintComputePageLayout(job.paper, job.printable, job.settings, job.context.metric, page, &geo)) return err;
    cairo_save(cr);
    if (preview) {
        cairo_set_source_rgb(cr, kPreviewPaper[0], kPreviewPaper[1], kPreviewPaper[2]);
        cairo_rectangle(cr, geo.paper.left, geo.paper.top, geo.paper.right - geo.paper.left, geo.paper.bottom - geo.paper.top);
        cairo_fill(cr);
    }
    if (preview || job.settings->useViewColors) FillPageBackground(cr, job, geo.content);
    OSErr err = DrawCells(cr, job, geo.cellArea, page, preview);
    if (err == noErr) DrawBands(cr, job, geo, page);
    if (err == noErr) DrawCropMarks(cr, *job.settings, geo.content);
    cairo_restore(cr);
    return err;
}

OSErr PrintCatalogPages(PrintJob& job, PrintDevice& device, SInt32 first, SInt32 last) {
    if (OSErr err = device.StartDoc(job.context.documentName)) return err;
    for (SInt32 p = first; p <= last; ++p) {
        if (!PrintPageIsChosen(*job.settings, p)) continue;
        cairo_t* cr = device.StartPage();
        if (!cr) {
            device.AbortDoc();
            return ioErr;
        }
        if (OSErr err = PrintRenderPage(cr, job, p, false)) {
            // A cancelled or failed page ends the document without finishing it.
            device.AbortDoc();
            return err;
        }
        if (OSErr err = device.EndPage()) {
            device.AbortDoc();
            return err;
        }
    }
    return device.EndDoc();
}

// ---- PDF files ------------------------------------------------------------------------------

PdfPrintDevice::PdfPrintDevice(std::string path, double w, double h, double t, double l, double b, double r, double dpi)
    : path_(std::move(path)), width_(w), height_(h), top_(t), left_(l), bottom_(b), right_(r), dpi_(dpi) {}

PdfPrintDevice::~PdfPrintDevice() {
    if (surface_) AbortDoc();
}

PrintDeviceMetrics PdfPrintDevice::Metrics() const {
    const double k = dpi_ / 72;
    PrintDeviceMetrics m;
    m.dpiX = m.dpiY = dpi_;
    m.physicalWidth = width_ * k;
    m.physicalHeight = height_ * k;
    m.offsetX = left_ * k;
    m.offsetY = top_ * k;
    m.horzRes = (width_ - left_ - right_) * k;
    m.vertRes = (height_ - top_ - bottom_) * k;
    return m;
}

OSErr PdfPrintDevice::StartDoc(const std::string& documentName) {
    if (surface_) return paramErr;
    temp_ = path_ + ".part";
    surface_ = cairo_pdf_surface_create(temp_.c_str(), width_, height_);
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface_);
        surface_ = nullptr;
        return ioErr;
    }
    if (!documentName.empty()) cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_TITLE, documentName.c_str());
    pages_ = 0;
    return noErr;
}

cairo_t* PdfPrintDevice::StartPage() {
    if (!surface_ || cr_) return nullptr;
    cr_ = cairo_create(surface_);
    cairo_translate(cr_, left_, top_);
    return cr_;
}

OSErr PdfPrintDevice::EndPage() {
    if (!cr_) return paramErr;
    cairo_show_page(cr_);
    const bool ok = cairo_status(cr_) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr_);
    cr_ = nullptr;
    if (!ok) return ioErr;
    ++pages_;
    return noErr;
}

void PdfPrintDevice::Close() {
    if (cr_) cairo_destroy(cr_);
    cr_ = nullptr;
    if (surface_) {
        cairo_surface_finish(surface_);
        cairo_surface_destroy(surface_);
    }
    surface_ = nullptr;
}

OSErr PdfPrintDevice::EndDoc() {
    if (!surface_) return paramErr;
    cairo_surface_finish(surface_);
    const bool ok = cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS;
    Close();
    if (!ok || std::rename(temp_.c_str(), path_.c_str()) != 0) {
        ::unlink(temp_.c_str());
        return ioErr;
    }
    return noErr;
}

void PdfPrintDevice::AbortDoc() {
    Close();
    if (!temp_.empty()) ::unlink(temp_.c_str());
}

OSErr PrintCatalogToPdf(ViewRec* view, PrintSettingsRec* settings, const std::string& path, double paperWidth,
                        double paperHeight, bool metric) {
    PdfPrintDevice device(path, paperWidth, paperHeight);
    PrintJob job;
    Str255 name{};
    if (view && view->catalog) CatalogGetDisplayName(view->catalog, name, true);
    if (OSErr err = PrintPrepareJob(view, settings, device.Metrics(),
                                    AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(name + 1), name[0])), metric, &job))
        return err;
    return PrintCatalogPages(job, device, 1, job.grid.pageCount);
}
