#include "output/ui/print/PrintSetup.h"

#include "foundation/ui/MacFonts.h"
#include "output/print/PrintSettings.h"
#include "output/print/PrintText.h"

#include <wx/paper.h>
#include <wx/printdlg.h>

namespace {

constexpr double kPreviewDpi = 300;

}  // namespace

wxPrintData& PrintSetupData() {
    static wxPrintData data;
    return data;
}

PrintDeviceMetrics PrintSetupMetrics() {
    const wxPrintData& data = PrintSetupData();
    wxSize mm = data.GetPaperSize();
    if (data.GetPaperId() != wxPAPER_NONE && wxThePrintPaperDatabase) {
        if (wxPrintPaperType* type = wxThePrintPaperDatabase->FindPaperType(data.GetPaperId())) {
            const wxSize tenths = type->GetSize();
            mm = wxSize(tenths.x / 10, tenths.y / 10);
        }
    }
    double w = mm.x / 25.4 * 72, h = mm.y / 25.4 * 72;
    if (mm.x <= 0 || mm.y <= 0) {
        // No paper known yet: the one the locale measures in.
        const bool metric = PrintUnitIsMetric();
        w = metric ? 595.2756 : 612;
        h = metric ? 841.8898 : 792;
    }
    if (data.GetOrientation() == wxLANDSCAPE) std::swap(w, h);
    PrintDeviceMetrics m;
    m.dpiX = m.dpiY = kPreviewDpi;
    m.physicalWidth = m.horzRes = w * kPreviewDpi / 72;
    m.physicalHeight = m.vertRes = h * kPreviewDpi / 72;
    return m;
}

bool RunPageSetup(wxWindow* parent) {
    wxPageSetupDialogData setup(PrintSetupData());
    setup.EnableMargins(false);
    wxPageSetupDialog dialog(parent, &setup);
    if (dialog.ShowModal() != wxID_OK) return false;
    PrintSetupData() = dialog.GetPageSetupDialogData().GetPrintData();
    return true;
}

void InstallPrintFontFaces() {
    PrintSetFontFaceProc([](short number) { return FontNameFromNumber(number); });
}
