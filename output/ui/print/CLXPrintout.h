// The printed pages on the real printer: wx drives the system print dialog and the job, and
// each page is drawn by the print engine through the printer's cairo context (GTK prints with
// cairo), scaled so that one unit is one point. Pages the page choice leaves out are not
// offered to the printer at all; Escape between cells ends the job with userCanceledErr.
#pragma once

#include "output/print/PrintJob.h"

#include <wx/print.h>

#include <vector>

class CLXPrintout : public wxPrintout {
public:
    CLXPrintout(CatalogRec* catalog, ViewRec* view, PrintSettingsRec* settings, const wxString& title);

    void OnPreparePrinting() override;
    bool OnBeginDocument(int startPage, int endPage) override;
    void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;
    bool HasPage(int page) override;
    bool OnPrintPage(int page) override;

    // 0, or the first failure (userCanceledErr after Escape).
    OSErr Result() const { return result_; }

private:
    CatalogRec* catalog_;
    ViewRec* view_;
    PrintSettingsRec* settings_;
    PrintJob job_;
    std::vector<SInt32> pages_;   // the catalog page of each printed page
    OSErr result_ = noErr;
};
