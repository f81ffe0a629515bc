#include "output/ui/print/CLXPrintDlg.h"

#include "foundation/ui/UiText.h"
#include "output/print/PrintDialogModel.h"
#include "output/print/PrintTemplates.h"
#include "output/ui/print/CLXPrintGrid.h"
#include "output/ui/print/CLXPrintHeaderFooter.h"
#include "output/ui/print/CLXPrintMargins.h"
#include "output/ui/print/CLXPrintPreview.h"
#include "output/ui/print/PrintSetup.h"
#include "window/view/ViewRec.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/spinbutt.h>
#include <wx/stattext.h>

namespace {

constexpr int kTemplateId = 7140;
// Strings of list 630.
constexpr UInt16 kLayoutNames = 63003, kRangeNames = 63007, kFullPage = 63011, kScalingNames = 63013;

struct OptionBox {
    int id;
    UInt8 PrintSettingsRec::*field;
};
constexpr OptionBox kOptions[] = {
    {kPrintLabelRow, &PrintSettingsRec::printLabelRow},     {kPrintHiRes, &PrintSettingsRec::hiResThumbnails},
    {kPrintMarginBetween, &PrintSettingsRec::marginBetween}, {kPrintItemIcons, &PrintSettingsRec::printItemIcons},
    {kPrintViewFields, &PrintSettingsRec::printViewFields},  {kPrintCropMarks, &PrintSettingsRec::cropMarks},
    {kPrintViewColors, &PrintSettingsRec::useViewColors},    {kPrintRepeatMedia, &PrintSettingsRec::repeatMedia},
};

// Puts a window of our own in the place the description kept for it.
template <class T>
T* TakePlace(wxWindow* placeholder, T* replacement) {
    if (!placeholder) return replacement;
    if (wxSizer* sizer = placeholder->GetContainingSizer()) sizer->Replace(placeholder, replacement, true);
    placeholder->Destroy();
    return replacement;
}

}  // namespace

CLXPrintDlg::CLXPrintDlg(wxWindow* parent, ViewRec* view, PrintSettingsRec* settings)
    : CLyrexDialog(kTemplateId, parent, IDOK, IDCANCEL), view_(view), settings_(settings) {
    InstallPrintFontFaces();
    BindEvents();
}

void CLXPrintDlg::BindEvents() {
    Bind(wxEVT_CHOICE, &CLXPrintDlg::OnLayout, this, kPrintLayoutList);
    Bind(wxEVT_CHOICE, &CLXPrintDlg::OnOption, this, kPrintRangeList);
    Bind(wxEVT_CHOICE, &CLXPrintDlg::OnPrintBox, this, kPrintBoxList);
    Bind(wxEVT_CHOICE, &CLXPrintDlg::OnOption, this, kPrintScalingList);
    for (const OptionBox& o : kOptions) Bind(wxEVT_CHECKBOX, &CLXPrintDlg::OnOption, this, o.id);
    Bind(wxEVT_BUTTON, &CLXPrintDlg::OnMargins, this, kPrintMarginsButton);
    Bind(wxEVT_BUTTON, &CLXPrintDlg::OnHeaders, this, kPrintHeadersButton);
    Bind(wxEVT_BUTTON, &CLXPrintDlg::OnGrid, this, kPrintGridButton);
    Bind(wxEVT_BUTTON, &CLXPrintDlg::OnPageSetup, this, kPrintPageSetupButton);
}

bool CLXPrintDlg::OnInitDialog() {
    // The layout the view shows, and the page of its current item.
    settings_->layout = view_ ? ViewGetMode(view_) : kPrintContentList;
    if (settings_->layout > kPrintMediaSheet) settings_->layout = kPrintContentList;
    settings_->currentPage = 0;
    preview_ = TakePlace(FindWindow(kPrintPreviewWindow), new CLXPrintPreview(this, kPrintPreviewWindow));
    preview_->Bind(view_, settings_);
    arrows_ = TakePlace(FindWindow(kPrintPageArrows), new wxSpinButton(this, kPrintPageArrows, wxDefaultPosition, wxDefaultSize,
                                                                       wxSP_VERTICAL | wxSP_ARROW_KEYS));
    arrows_->Bind(wxEVT_SPIN, &CLXPrintDlg::OnPageArrow, this);

    auto* layouts = Controls().Get<wxChoice>(kPrintLayoutList);
    for (int i = 0; layouts && i < 3; ++i) layouts->Append(LoadUiString(UInt16(kLayoutNames + i)));
    auto* ranges = Controls().Get<wxChoice>(kPrintRangeList);
    for (int i = 0; ranges && i < 4; ++i) ranges->Append(LoadUiString(UInt16(kRangeNames + i)));
    LoadPrintTemplates();
    if (auto* box = Controls().Get<wxChoice>(kPrintBoxList)) {
        box->Append(LoadUiString(kFullPage));
        for (int i = 0; i < GetPrintTemplateCount(); ++i) box->Append(WxFromAnsi(GetPrintTemplateName(i)));
    }
    auto* scaling = Controls().Get<wxChoice>(kPrintScalingList);
    for (int i = 0; scaling && i < kScalingEntryCount; ++i) scaling->Append(LoadUiString(UInt16(kScalingNames + i)));
    // Room for the longest entries, and for the summary's two lines.
    for (int id : {kPrintLayoutList, kPrintRangeList, kPrintBoxList, kPrintScalingList})
        if (auto* c = Controls().Get<wxChoice>(id)) c->SetMinSize(wxSize(std::max(c->GetBestSize().x, 190), -1));
    if (auto* t = dynamic_cast<wxStaticText*>(FindWindow(kPrintSummaryText)))
        t->SetMinSize(wxSize(std::max(t->GetMinSize().x, 300), 2 * t->GetCharHeight() + 4));
    SetControls();
    ShowForLayout();
    Recompute();
    return CLyrexDialog::OnInitDialog();
}

void CLXPrintDlg::SetControls() {
    const PrintSettingsRec& s = *settings_;
    if (auto* c = Controls().Get<wxChoice>(kPrintLayoutList)) c->SetSelection(s.layout);
    if (auto* c = Controls().Get<wxChoice>(kPrintRangeList))
        c->SetSelection(s.pageChoice >= 1 && s.pageChoice <= 4 ? s.pageChoice - 1 : 0);
    if (auto* c = Controls().Get<wxChoice>(kPrintBoxList)) {
        const int box = s.printBox >= 2 && s.printBox - 2 < GetPrintTemplateCount() ? s.printBox - 1 : 0;
        c->SetSelection(box);
        if (auto* b = Controls().Get<wxButton>(kPrintMarginsButton)) b->Enable(box == 0);
    }
    if (auto* c = Controls().Get<wxChoice>(kPrintScalingList)) c->SetSelection(ScalingPositionOf(s.scalingCode, s.scalePercent));
    for (const OptionBox& o : kOptions)
        if (auto* c = Controls().Get<wxCheckBox>(o.id)) c->SetValue(s.*o.field != 0);
}

void CLXPrintDlg::StoreControls() {
    PrintSettingsRec& s = *settings_;
    if (auto* c = Controls().Get<wxChoice>(kPrintRangeList); c && c->GetSelection() >= 0) s.pageChoice = UInt8(c->GetSelection() + 1);
    if (auto* c = Controls().Get<wxChoice>(kPrintBoxList); c && c->GetSelection() >= 0) s.printBox = UInt8(c->GetSelection() + 1);
    if (auto* c = Controls().Get<wxChoice>(kPrintScalingList); c && c->GetSelection() >= 0)
        ScalingFromEntry(ScalingEntryNumber(c->GetSelection()), &s.scalingCode, &s.scalePercent);
    for (const OptionBox& o : kOptions)
        if (auto* c = Controls().Get<wxCheckBox>(o.id)) s.*o.field = c->GetValue() ? 1 : 0;
}

void CLXPrintDlg::ShowForLayout() {
    const UInt16 L = settings_->layout;
    const struct {
        int id;
        bool shown;
    } rows[] = {
        {kPrintLabelRow, L == kPrintContentList},      {kPrintItemIcons, L == kPrintContentList},
        {kPrintHiRes, L == kPrintContactSheet},        {kPrintViewFields, L != kPrintContentList},
        {kPrintGridButton, L != kPrintContentList},    {kPrintMarginBetween, L == kPrintMediaSheet},
        {kPrintScalingLabel, L == kPrintMediaSheet},   {kPrintScalingList, L == kPrintMediaSheet},
        {kPrintViewColors, false},                     {kPrintRepeatMedia, false},
    };
    for (const auto& r : rows)
        if (wxWindow* w = FindWindow(r.id)) w->Show(r.shown);
    Layout();
}

void CLXPrintDlg::Recompute() {
    const OSErr err = preview_ ? preview_->Compute() : paramErr;
    if (err == noErr) {
        const PrintJob& job = preview_->Job();
        const std::string summary = PrintFormatSummary(SInt32(settings_->currentPage), job.grid.pageCount, job.geometry.content,
                                                       job.grid, job.context.metric);
        if (auto* t = dynamic_cast<wxStaticText*>(FindWindow(kPrintSummaryText))) t->SetLabel(WxFromUtf8(summary));
        if (arrows_) {
            arrows_->SetRange(1, std::max<SInt32>(1, job.grid.pageCount));
            arrows_->SetValue(int(settings_->currentPage));
        }
    }
    // A failed computation keeps the summary it had; the preview stays blank.
    Layout();
}

wxString CLXPrintDlg::Summary() const {
    auto* t = dynamic_cast<wxStaticText*>(FindWindow(kPrintSummaryText));
    return t ? t->GetLabel() : wxString();
}

void CLXPrintDlg::OnLayout(wxCommandEvent& event) {
    settings_->layout = UInt16(std::max(0, event.GetSelection()));
    settings_->currentPage = 0;
    StoreControls();
    ShowForLayout();
    Recompute();
}

void CLXPrintDlg::OnOption(wxCommandEvent&) {
    StoreControls();
    Recompute();
}

void CLXPrintDlg::OnPrintBox(wxCommandEvent& event) {
    if (auto* b = Controls().Get<wxButton>(kPrintMarginsButton)) b->Enable(event.GetSelection() == 0);
    StoreControls();
    Recompute();
}

void CLXPrintDlg::OnPageArrow(wxSpinEvent& event) {
    const SInt32 count = preview_ ? preview_->PageCount() : 0;
    if (count < 1) return;
    settings_->currentPage = UInt32(std::clamp<SInt32>(event.GetPosition(), 1, count));
    Recompute();
}

void CLXPrintDlg::OnMargins(wxCommandEvent&) {
    CLXPrintMargins dialog(this, settings_);
    if (dialog.DoModal() == IDOK) Recompute();
}

void CLXPrintDlg::OnHeaders(wxCommandEvent&) {
    CLXPrintHeaderFooter dialog(this, settings_);
    if (dialog.DoModal() == IDOK) Recompute();
}

void CLXPrintDlg::OnGrid(wxCommandEvent&) {
    const UInt16 L = settings_->layout <= kPrintMediaSheet ? settings_->layout : kPrintContentList;
    CLXPrintGrid dialog(this, &settings_->grids[L]);
    if (dialog.DoModal() == IDOK) Recompute();
}

void CLXPrintDlg::OnPageSetup(wxCommandEvent&) {
    if (RunPageSetup(this)) Recompute();
}

bool CLXPrintDlg::TransferDataFromWindow() {
    StoreControls();
    return true;
}
