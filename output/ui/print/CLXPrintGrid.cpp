#include "output/ui/print/CLXPrintGrid.h"

#include "foundation/ui/UiText.h"
#include "output/print/PrintDialogModel.h"

#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <algorithm>
#include <charconv>

namespace {

constexpr UInt16 kUnitNames = 63306;   // "Pixels" .. "Picas"

std::string LengthText(double v) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 6);
    return std::string(buf, r.ptr);
}

bool ReadNumber(const wxTextCtrl* e, double* v) {
    if (!e) return false;
    std::string t = Utf8FromWx(e->GetValue());
    std::replace(t.begin(), t.end(), ',', '.');
    t.erase(0, t.find_first_not_of(' '));
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), *v);
    return ec == std::errc() && *v >= 0;
}

}  // namespace

CLXPrintGrid::CLXPrintGrid(wxWindow* parent, PrintGridBlock* block)
    : CLyrexDialog(7143, parent, IDOK, IDCANCEL), block_(block), width_(block->cellWidth), height_(block->cellHeight),
      unit_(block->unit >= 1 && block->unit <= 5 ? block->unit : 1) {
    BindEvents();
}

void CLXPrintGrid::BindEvents() { Bind(wxEVT_CHOICE, &CLXPrintGrid::OnUnit, this, kGridUnitList); }

bool CLXPrintGrid::OnInitDialog() {
    const int radio = block_->sizing == kGridCells ? kGridCellsRadio : block_->sizing == kGridSize ? kGridSizeRadio : kGridDefaultRadio;
    if (auto* r = Controls().Get<wxRadioButton>(radio)) r->SetValue(true);
    if (auto* e = Controls().Get<wxTextCtrl>(kGridColumnsEdit)) e->ChangeValue(wxString::Format("%d", block_->columns));
    if (auto* e = Controls().Get<wxTextCtrl>(kGridRowsEdit)) e->ChangeValue(wxString::Format("%d", block_->rows));
    if (auto* list = Controls().Get<wxChoice>(kGridUnitList)) {
        for (int i = 0; i < 5; ++i) list->Append(LoadUiString(UInt16(kUnitNames + i)));
        list->SetSelection(unit_ - 1);
    }
    for (int id : {kGridColumnsEdit, kGridRowsEdit, kGridWidthEdit, kGridHeightEdit})
        if (wxWindow* e = FindWindow(id)) e->Bind(wxEVT_SET_FOCUS, &CLXPrintGrid::OnEditFocus, this);
    ShowSizes();
    return CLyrexDialog::OnInitDialog();
}

void CLXPrintGrid::ShowSizes() {
    if (auto* e = Controls().Get<wxTextCtrl>(kGridWidthEdit)) e->ChangeValue(WxFromUtf8(LengthText(GridLengthInUnit(width_, unit_))));
    if (auto* e = Controls().Get<wxTextCtrl>(kGridHeightEdit)) e->ChangeValue(WxFromUtf8(LengthText(GridLengthInUnit(height_, unit_))));
}

void CLXPrintGrid::OnUnit(wxCommandEvent& event) {
    // The lengths typed so far, in the old unit, then shown in the new one.
    double w = 0, h = 0;
    if (ReadNumber(Controls().Get<wxTextCtrl>(kGridWidthEdit), &w)) width_ = GridLengthToPoints(w, unit_);
    if (ReadNumber(Controls().Get<wxTextCtrl>(kGridHeightEdit), &h)) height_ = GridLengthToPoints(h, unit_);
    unit_ = short(std::clamp(event.GetSelection() + 1, 1, 5));
    ShowSizes();
}

void CLXPrintGrid::OnEditFocus(wxFocusEvent& event) {
    const int id = event.GetId();
    const int radio = id == kGridColumnsEdit || id == kGridRowsEdit ? kGridCellsRadio : kGridSizeRadio;
    if (auto* r = Controls().Get<wxRadioButton>(radio)) r->SetValue(true);
    event.Skip();
}

bool CLXPrintGrid::TransferDataFromWindow() {
    UInt8 sizing = kGridDefault;
    if (auto* r = Controls().Get<wxRadioButton>(kGridCellsRadio); r && r->GetValue()) sizing = kGridCells;
    if (auto* r = Controls().Get<wxRadioButton>(kGridSizeRadio); r && r->GetValue()) sizing = kGridSize;
    double columns = 0, rows = 0, w = 0, h = 0;
    const bool cellsOk = ReadNumber(Controls().Get<wxTextCtrl>(kGridColumnsEdit), &columns) &&
                         ReadNumber(Controls().Get<wxTextCtrl>(kGridRowsEdit), &rows);
    const bool sizeOk = ReadNumber(Controls().Get<wxTextCtrl>(kGridWidthEdit), &w) &&
                        ReadNumber(Controls().Get<wxTextCtrl>(kGridHeightEdit), &h);
    if ((sizing == kGridCells && !cellsOk) || (sizing == kGridSize && !sizeOk)) {
        wxBell();
        return false;
    }
    block_->sizing = sizing;
    block_->unit = UInt8(unit_);
    if (cellsOk) {
        block_->columns = UInt8(std::clamp(int(columns), 0, 255));
        block_->rows = UInt8(std::clamp(int(rows), 0, 255));
        if (sizing == kGridCells) {
            if (block_->columns == 0) block_->columns = 1;
            if (block_->rows == 0) block_->rows = 1;
        }
    }
    if (sizeOk) {
        block_->cellWidth = GridLengthToPoints(w, unit_);
        block_->cellHeight = GridLengthToPoints(h, unit_);
    }
    return true;
}
