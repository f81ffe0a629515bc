#include "app/ui/dialogs/Clxfind.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldDef.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/items/CustomFields.h"
#include "foundation/ui/CListDialog.h"
#include "foundation/ui/CTextDialog.h"
#include "foundation/ui/UiText.h"
#include "platform/Handles.h"
#include "platform/MacDates.h"
#include "window/find/FindQueryName.h"
#include "window/find/FindSearch.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/datectrl.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

// The controls of each row: and/or (of the row before), field, operator, value, date, unit.
struct RowIds {
    int conjunction, field, op, value, date, unit;
};
constexpr RowIds kRowIds[kFindRowCount] = {
    {0, 1026, 1027, 1028, 1053, 1045},    {1029, 1030, 1035, 1040, 1054, 1046},
    {1051, 1031, 1036, 1041, 1057, 1047}, {1052, 1032, 1037, 1042, 1058, 1048},
    {1055, 1033, 1038, 1043, 1059, 1049}, {1056, 1034, 1039, 1044, 1060, 1050},
};

constexpr int kMenuSave = 1;
constexpr int kMenuRemove = 2;
constexpr int kMenuFirstQuery = 100;

// The fields the find dialog offers for this catalog, in the order of the find list.
std::vector<FieldId> FindFields(const CatalogRec* catalog) {
    std::vector<FieldId> out;
    const int customCount = catalog ? int(CatalogGetCustomFieldCount(catalog)) : 0;
    for (int n = 0;; ++n) {
        const FieldId id = FieldListForEdition(n, 0, 3, customCount, nullptr);
        if (!id) break;
        out.push_back(id);
    }
    return out;
}

UInt32 UtcMacSeconds() {
    // Seconds from 1904 to 1970.
    return UInt32(std::time(nullptr) + 2082844800LL);
}

wxDateTime DateOf(UInt32 macSeconds) {
    DateTimeRec d{};
    SecondsToDate(macSeconds, &d);
    if (d.year < 1904) return wxDateTime::Today();
    return wxDateTime(wxDateTime::wxDateTime_t(d.day), wxDateTime::Month(d.month - 1), d.year);
}

UInt32 MacSecondsOf(const wxDateTime& date) {
    DateTimeRec d{};
    d.year = SInt16(date.GetYear());
    d.month = SInt16(date.GetMonth() + 1);
    d.day = SInt16(date.GetDay());
    UInt32 s = 0;
    DateToSeconds(&d, &s);
    return s;
}

}  // namespace

Clxfind::Clxfind(CatalogRec* catalog, wxWindow* parent) : CLyrexDialog(145, parent, IDOK, IDCANCEL), catalog_(catalog) {
    for (int r = 0; r < kFindRowCount; ++r) {
        const RowIds& ids = kRowIds[r];
        RowControls& row = rows_[r];
        row.conjunction = ids.conjunction ? Controls().Get<wxChoice>(ids.conjunction) : nullptr;
        row.field = Controls().Get<wxChoice>(ids.field);
        row.op = Controls().Get<wxChoice>(ids.op);
        row.value = Controls().Get<wxTextCtrl>(ids.value);
        row.date = Controls().Get<wxDatePickerCtrl>(ids.date);
        row.unit = Controls().Get<wxStaticText>(ids.unit);
    }
    action_ = Controls().Get<wxChoice>(1004);
    wrap_ = Controls().Get<wxCheckBox>(1018);
    more_ = Controls().Get<wxButton>(1022);
    fewer_ = Controls().Get<wxButton>(1023);
    queries_ = Controls().Get<wxButton>(1024);
    BindEvents();
}

void Clxfind::BindEvents() {
    for (int r = 0; r < kFindRowCount; ++r)
        Bind(wxEVT_CHOICE, [this, r](wxCommandEvent&) { FieldChanged(r); }, kRowIds[r].field);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { MoreRows(); }, 1022);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { FewerRows(); }, 1023);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnQueriesButton(); }, 1024);
}

bool Clxfind::OnInitDialog() {
    GetFindQuery(&working_);
    const std::vector<FieldId> fields = FindFields(catalog_);
    for (RowControls& row : rows_) {
        row.field->Clear();
        for (FieldId id : fields) {
            Str255 name;
            name[0] = 0;
            FieldGetName(catalog_, id, name);
            row.field->Append(WxFromPStr(name), reinterpret_cast<void*>(std::uintptr_t(id)));
        }
        if (row.conjunction) {
            row.conjunction->Clear();
            row.conjunction->Append(LoadUiString(kFindAndStringId));
            row.conjunction->Append(LoadUiString(kFindOrStringId));
        }
    }
    visibleRows_ = kFindRowCount;
    for (int r = 1; r < kFindRowCount; ++r) ShowRow(r, false);
    visibleRows_ = 1;
    FieldChanged(0);
    action_->Clear();
    for (UInt16 id : {8, 9, 10}) action_->Append(LoadUiString(id));
    const FindOptions options = GetFindOptions();
    // Count only has no entry of its own: the list then shows no choice.
    if (options.action != kFindActionCount) action_->SetSelection(options.action - 1);
    if (auto* label = Controls().Get<wxStaticText>(1019)) {
        Str255 name;
        name[0] = 0;
        if (catalog_) CatalogGetDisplayName(catalog_, name, false);
        label->SetLabel(LoadUiString(65002) + " \"" + WxFromPStr(name) + "\"");
    }
    wrap_->SetValue(options.wrap);
    CLyrexDialog::OnInitDialog();
    FillRows();
    return true;
}

UInt8 Clxfind::KindOfRow(int r) const {
    const int sel = rows_[r].field->GetSelection();
    if (sel == wxNOT_FOUND) return kFindKindText;
    return FieldGetFindKind(FieldId(reinterpret_cast<std::uintptr_t>(rows_[r].field->GetClientData(unsigned(sel)))));
}

void Clxfind::FieldChanged(int r) {
    RowControls& row = rows_[r];
    const UInt8 kind = KindOfRow(r);
    kinds_[r] = kind;
    const int sel = row.field->GetSelection();
    const FieldId id = sel == wxNOT_FOUND ? 0 : FieldId(reinterpret_cast<std::uintptr_t>(row.field->GetClientData(unsigned(sel))));
    row.op->Clear();
    for (int op = 1; op <= FindOperatorCount(kind); ++op) row.op->Append(LoadUiString(FindOperatorStringId(kind, op)));
    row.op->SetSelection(0);
    const bool rowShown = r < visibleRows_;
    const bool date = kind == kFindKindDate;
    row.value->Show(rowShown && !date);
    row.value->Enable(rowShown && !date);
    row.date->Show(rowShown && date);
    row.date->Enable(rowShown && date);
    if (kind == kFindKindNumber) {
        row.value->SetValidator(wxTextValidator(wxFILTER_DIGITS));
        row.value->ChangeValue("0");
    } else {
        row.value->SetValidator(wxDefaultValidator);
        row.value->ChangeValue(wxString());
    }
    row.value->SetMaxLength(kFindTextMax);
    Str255 unit;
    unit[0] = 0;
    if (id) FieldGetUnitName(id, unit);
    row.unit->SetLabel(WxFromPStr(unit));
    if (r + 1 < kFindRowCount && visibleRows_ < kFindRowCount) rows_[r + 1].conjunction->SetSelection(0);
    Relayout();
}

void Clxfind::FillRow(int r) {
    RowControls& row = rows_[r];
    const FindCriterion& c = working_.rows[r];
    int found = 0;
    for (unsigned i = 0; i < row.field->GetCount(); ++i)
        if (FieldId(reinterpret_cast<std::uintptr_t>(row.field->GetClientData(i))) == c.fieldId) found = int(i);
    row.field->SetSelection(found);
    FieldChanged(r);
    const UInt8 kind = kinds_[r];
    if (c.op >= 1 && c.op <= FindOperatorCount(kind)) row.op->SetSelection(c.op - 1);
    switch (kind) {
    case kFindKindNumber: row.value->ChangeValue(wxString::Format("%d", FindRowNumber(c))); break;
    case kFindKindDate: row.date->SetValue(DateOf(FindRowDate(c))); break;
    case kFindKindTypeCode: {
        const OSType code = FindRowCode(c);
        std::string four;
        for (int shift = 24; shift >= 0; shift -= 8)
            if (const char ch = char((code >> shift) & 0xFF)) four += ch;
        row.value->ChangeValue(WxFromAnsi(four));
        break;
    }
    default: {
        Str255 text;
        FindRowText(c, text);
        row.value->ChangeValue(WxFromPStr(text));
        break;
    }
    }
    if (r + 1 < kFindRowCount) rows_[r + 1].conjunction->SetSelection(c.conjunction == kFindOr ? 1 : 0);
}

void Clxfind::FillRows() {
    const int wanted = int(working_.rowCount >= 1 && working_.rowCount <= kFindRowCount ? working_.rowCount : 1);
    while (visibleRows_ < wanted) MoreRows();
    while (visibleRows_ > wanted) FewerRows();
    for (int r = 0; r < kFindRowCount; ++r) FillRow(r);
    UpdateRowButtons();
    Relayout();
}

void Clxfind::ShowRow(int r, bool show) {
    RowControls& row = rows_[r];
    for (wxWindow* w : {static_cast<wxWindow*>(row.conjunction), static_cast<wxWindow*>(row.field),
                        static_cast<wxWindow*>(row.op), static_cast<wxWindow*>(row.unit)}) {
        if (!w) continue;
        w->Show(show);
        w->Enable(show);
    }
    const bool date = kinds_[r] == kFindKindDate;
    row.value->Show(show && !date);
    row.value->Enable(show && !date);
    row.date->Show(show && date);
    row.date->Enable(show && date);
}

void Clxfind::UpdateRowButtons() {
    if (more_) more_->Enable(visibleRows_ < kFindRowCount);
    if (fewer_) fewer_->Enable(visibleRows_ > 1);
}

void Clxfind::Relayout() {
    Layout();
    Fit();
}

void Clxfind::MoreRows() {
    if (visibleRows_ >= kFindRowCount) return;
    const int r = visibleRows_++;
    ShowRow(r, true);
    FieldChanged(r);
    UpdateRowButtons();
    Relayout();
}

void Clxfind::FewerRows() {
    if (visibleRows_ <= 1) return;
    ShowRow(--visibleRows_, false);
    UpdateRowButtons();
    Relayout();
}

void Clxfind::ReadRows() {
    working_.timeStamp = UtcMacSeconds();
    working_.rowCount = UInt32(visibleRows_);
    for (int r = 0; r < visibleRows_; ++r) {
        RowControls& row = rows_[r];
        FindCriterion& c = working_.rows[r];
        const int sel = row.field->GetSelection();
        if (sel != wxNOT_FOUND) c.fieldId = FieldId(reinterpret_cast<std::uintptr_t>(row.field->GetClientData(unsigned(sel))));
        c.op = UInt16(row.op->GetSelection() + 1);
        std::memset(c.value, 0, sizeof c.value);
        switch (kinds_[r]) {
        case kFindKindNumber: FindRowSetNumber(&c, SInt32(std::strtol(row.value->GetValue().utf8_str(), nullptr, 10))); break;
        case kFindKindDate: FindRowSetDate(&c, MacSecondsOf(row.date->GetValue())); break;
        case kFindKindTypeCode: {
            // Codes shorter than four characters end in blanks, as file type codes do.
            std::string ansi = AnsiFromWx(row.value->GetValue());
            ansi.resize(4, ' ');
            FindRowSetCode(&c, OSType(UInt8(ansi[0])) << 24 | OSType(UInt8(ansi[1])) << 16 |
                                   OSType(UInt8(ansi[2])) << 8 | UInt8(ansi[3]));
            break;
        }
        default: {
            Str255 text;
            PStrFromWx(row.value->GetValue(), text, kFindTextMax);
            FindRowSetText(&c, text + 1, text[0]);
            break;
        }
        }
        if (r + 1 < visibleRows_) c.conjunction = rows_[r + 1].conjunction->GetSelection() == 1 ? kFindOr : kFindAnd;
    }
}

bool Clxfind::TransferDataFromWindow() {
    ReadRows();
    FindOptions options = GetFindOptions();
    options.wrap = wrap_->GetValue();
    if (action_->GetSelection() != wxNOT_FOUND) options.action = action_->GetSelection() + 1;
    options.scopeKind = kFindScopeFront;
    SetFindOptions(options);
    SetFindQuery(working_);
    return true;
}

void Clxfind::SaveThisQuery() {
    ReadRows();
    Str255 name;
    FindProposedQueryName(catalog_, working_, name);
    if (AskForText(name, kFindTextMax, 1, 2) != 1 || name[0] == 0) return;
    std::memcpy(working_.name, name, size_t(name[0]) + 1);
    AddSavedQuery(working_);
}

void Clxfind::RemoveQueries() {
    const UInt32 count = GetSavedQueryCount();
    if (!count) return;
    Handle names = NewHandle(long(count) * 256);
    if (!names) return;
    for (UInt32 i = 0; i < count; ++i) {
        FindQuery q;
        GetSavedQuery(i, &q);
        std::memcpy(*names + i * 256, q.name, 256);
    }
    unsigned char result[256] = {};
    if (ShowListDialog(names, result, 3)) {
        // The chosen entries come highest first, so each removal keeps the others' places.
        for (int i = 1; i <= result[0]; ++i) DeleteSavedQuery(UInt32(result[i]) - 1);
    }
    DisposeHandle(names);
}

void Clxfind::LoadSavedQuery(UInt32 index) {
    FindQuery q;
    if (!GetSavedQuery(index, &q)) return;
    working_ = q;
    FindQueryRepair(&working_);
    FillRows();
}

void Clxfind::OnQueriesButton() {
    wxMenu menu;
    menu.Append(kMenuSave, LoadUiString(172))->Enable(GetSavedQueryCount() < UInt32(kFindSavedQueryCount));
    menu.Append(kMenuRemove, LoadUiString(173))->Enable(GetSavedQueryCount() > 0);
    if (GetSavedQueryCount()) {
        menu.AppendSeparator();
        for (UInt32 i = 0; i < GetSavedQueryCount(); ++i) {
            FindQuery q;
            GetSavedQuery(i, &q);
            menu.Append(kMenuFirstQuery + int(i), WxFromPStr(q.name));
        }
    }
    int chosen = wxID_NONE;
    menu.Bind(wxEVT_MENU, [&chosen](wxCommandEvent& e) { chosen = e.GetId(); });
    queries_->PopupMenu(&menu, 0, queries_->GetSize().y);
    if (chosen == kMenuSave)
        SaveThisQuery();
    else if (chosen == kMenuRemove)
        RemoveQueries();
    else if (chosen >= kMenuFirstQuery)
        LoadSavedQuery(UInt32(chosen - kMenuFirstQuery));
}
