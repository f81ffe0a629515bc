// Drawing printed pages: one routine draws a page of the catalog through a cairo context in
// points, whatever receives it (a PDF file, the printer, the print dialog's preview), and the
// job runs the chosen pages through a print device. Escape while the cells are drawn ends the
// job with userCanceledErr (-128): the document is abandoned, no further page is drawn.
#pragma once

#include "output/print/PrintLayout.h"

#include <string>

typedef struct _cairo cairo_t;
struct ViewRec;

// Where the pages go. StartPage answers a context whose unit is one point and whose origin is
// the top-left corner of the printable area (null: the page could not be started).
class PrintDevice {
public:
    virtual ~PrintDevice() = default;
    virtual PrintDeviceMetrics Metrics() const = 0;
    virtual OSErr StartDoc(const std::string& documentName) = 0;
    virtual cairo_t* StartPage() = 0;
    virtual OSErr EndPage() = 0;
    virtual OSErr EndDoc() = 0;
    // Abandons the document: nothing of it is kept.
    virtual void AbortDoc() = 0;
};

// Everything the pages of one job are drawn from: computed once by PrintPrepareJob, the
// geometry recomputed for mirrored pages as they are drawn.
struct PrintJob {
    ViewRec* view = nullptr;
    PrintSettingsRec* settings = nullptr;
    PrintJobContext context;
    PrintRectD paper{};
    PrintRectD printable{};
    PrintPageGeometry geometry{};   // page 1
    PrintGrid grid{};
};

// Page metrics, the layout of page 1 and the grid; the first failure's code (paramErr for an
// unusable grid, an empty catalog among them).
OSErr PrintPrepareJob(ViewRec* view, PrintSettingsRec* settings, const PrintDeviceMetrics& device,
                      const std::string& documentName, bool metric, PrintJob* job);

// Draws page p into cr (points, origin at the printable area). With preview set the paper is
// first filled with the preview's paper colour, the content box always gets its background,
// and Escape is not looked at. 0, or userCanceledErr when Escape was pressed between cells.
OSErr PrintRenderPage(cairo_t* cr, PrintJob& job, SInt32 page, bool preview);

// Prints pages first..last (those the page choice keeps) on the device: 0, the device's
// error, or userCanceledErr after Escape (the document abandoned, no further page).
OSErr PrintCatalogPages(PrintJob& job, PrintDevice& device, SInt32 first, SInt32 last);

// A PDF file as the print device: a paper size in points with unprintable edges of its own
// (as a printer has), drawn at dpi dots per inch. The file appears whole at EndDoc, written
// beside its final name and renamed; an abandoned document leaves nothing behind.
class PdfPrintDevice : public PrintDevice {
public:
    PdfPrintDevice(std::string path, double paperWidth, double paperHeight, double edgeTop = 0, double edgeLeft = 0,
                   double edgeBottom = 0, double edgeRight = 0, double dpi = 300);
    ~PdfPrintDevice() override;
    PrintDeviceMetrics Metrics() const override;
    OSErr StartDoc(const std::string& documentName) override;
    cairo_t* StartPage() override;
    OSErr EndPage() override;
    OSErr EndDoc() override;
    void AbortDoc() override;
    int PagesWritten() const { return pages_; }

private:
    void Close();
    std::string path_, temp_;
    double width_, height_, top_, left_, bottom_, right_, dpi_;
    struct _cairo_surface* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
    int pages_ = 0;
};

// Prints the whole catalog as the view shows it to a PDF file on paper of the given size
// (points); the convenience of the "print to file" road and of tests.
OSErr PrintCatalogToPdf(ViewRec* view, PrintSettingsRec* settings, const std::string& path, double paperWidth,
                        double paperHeight, bool metric);
