#include "output/ui/print/PrintCommand.h"

#include "foundation/ui/Clxsavechanges.h"
#include "foundation/ui/UiText.h"
#include "output/ui/print/CLXPrintDlg.h"
#include "output/ui/print/CLXPrintout.h"
#include "output/ui/print/PrintSetup.h"

#include <wx/print.h>

namespace {

constexpr short kPrintingServicesAlert = 48;
constexpr short kButtonOK = 1, kButtonCancel = 2;

}  // namespace

void RunPrintCommand(wxWindow* parent, CatalogRec* catalog, ViewRec* view) {
    if (!catalog || !view) return;
    InstallPrintFontFaces();
    PrintSettingsRec settings;
    LoadPrintSettings(catalog, &settings);
    Str255 name{};
    CatalogGetDisplayName(catalog, name, true);
    const wxString title = WxFromPStr(name);
    // The pages must be computable before anything is shown.
    PrintJob probe;
    if (OSErr err = PrintPrepareJob(view, &settings, PrintSetupMetrics(), Utf8FromWx(title), PrintUnitIsMetric(), &probe)) {
        ShowAlertSimple(0, kPrintingServicesAlert, err, kButtonOK, 0, 0);
        return;
    }
    {
        CLXPrintDlg dialog(parent, view, &settings);
        if (dialog.DoModal() != IDOK) return;
    }
    wxPrintDialogData data(PrintSetupData());
    wxPrinter printer(&data);
    CLXPrintout printout(catalog, view, &settings, title);
    const bool printed = printer.Print(parent, &printout, true);
    PrintSetupData() = printer.GetPrintDialogData().GetPrintData();
    if (printed || printout.Result() == userCanceledErr || wxPrinter::GetLastError() == wxPRINTER_CANCELLED) return;
    const OSErr err = printout.Result() != noErr ? printout.Result() : OSErr(ioErr);
    ShowAlertSimple(0, kPrintingServicesAlert, err, kButtonOK, kButtonCancel, 0);
}
