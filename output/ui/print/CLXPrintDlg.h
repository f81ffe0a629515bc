// The Print dialog: the layout, the pages, the print box (the whole page within the margins, or
// a print template), the options of the layout, the Media Sheet's scaling, and a live preview
// of one page with its summary and page arrows. It edits the caller's settings record; the
// margins, headers and grid have dialogs of their own, and Page Setup reaches the system's.
#pragma once

#include "foundation/ui/CLyrexDialog.h"
#include "output/print/PrintSettings.h"

class CLXPrintPreview;
class wxSpinButton;
class wxSpinEvent;
struct ViewRec;

class CLXPrintDlg : public CLyrexDialog {
public:
    CLXPrintDlg(wxWindow* parent, ViewRec* view, PrintSettingsRec* settings);

    CLXPrintPreview* Preview() const { return preview_; }
    wxString Summary() const;

protected:
    bool OnInitDialog() override;
    bool TransferDataFromWindow() override;

private:
    void BindEvents();
    void ShowForLayout();
    void SetControls();
    void StoreControls();
    void Recompute();
    void OnLayout(wxCommandEvent& event);
    void OnOption(wxCommandEvent& event);
    void OnPrintBox(wxCommandEvent& event);
    void OnPageArrow(wxSpinEvent& event);
    void OnMargins(wxCommandEvent& event);
    void OnHeaders(wxCommandEvent& event);
    void OnGrid(wxCommandEvent& event);
    void OnPageSetup(wxCommandEvent& event);

    ViewRec* view_;
    PrintSettingsRec* settings_;
    CLXPrintPreview* preview_ = nullptr;
    wxSpinButton* arrows_ = nullptr;
};

// Control ids of the dialog (tests and the sub-dialogs name them).
enum : int {
    kPrintLayoutList = 1401,
    kPrintRangeList = 1402,
    kPrintBoxList = 1403,
    kPrintScalingList = 1404,
    kPrintLabelRow = 1405,
    kPrintHiRes = 1406,
    kPrintMarginBetween = 1407,
    kPrintItemIcons = 1408,
    kPrintViewFields = 1409,
    kPrintCropMarks = 1410,
    kPrintViewColors = 1411,
    kPrintRepeatMedia = 1412,
    kPrintMarginsButton = 1413,
    kPrintHeadersButton = 1414,
    kPrintGridButton = 1415,
    kPrintPageSetupButton = 1416,
    kPrintPreviewWindow = 1417,
    kPrintSummaryText = 1418,
    kPrintPageArrows = 1419,
    kPrintScalingLabel = 1420,
};
