#include "import/ui/CImportOptions_Filters.h"

#include "foundation/ui/UiText.h"
#include "platform/MacDates.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/datectrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {

struct RuleControls {
    int box;
    int operators;
    int value;
};
// Rule by rule: its check box, operator list and value control.
constexpr RuleControls kRules[kImportFormRules] = {
    {1129, 1192, 1193},  // file name
    {1130, 1003, 1194},  // date created
    {1131, 1004, 1168},  // date modified
    {1132, 1005, 1123},  // size (with the "KB" label)
    {1133, 1006, 1124},  // folder level
    {1134, 1007, 1125},  // file type
};
constexpr int kKbLabelId = 1207;
constexpr int kIgnoreShortcutsId = 1195;
constexpr int kIgnoreInvisibleId = 1196;
constexpr UInt32 kSecondsPerDay = 86400;

wxDateTime DateOfMacSeconds(UInt32 seconds) {
    DateTimeRec d{};
    SecondsToDate(seconds, &d);
    return wxDateTime(wxDateTime::wxDateTime_t(d.day), wxDateTime::Month(d.month - 1), d.year);
}

UInt32 MacSecondsOfDate(const wxDateTime& date, UInt32 timeOfDay) {
    if (!date.IsValid()) return timeOfDay;
    DateTimeRec d{};
    d.year = std::int16_t(date.GetYear());
    d.month = std::int16_t(date.GetMonth() + 1);
    d.day = std::int16_t(date.GetDay());
    UInt32 seconds = 0;
    DateToSeconds(&d, &seconds);
    return seconds + timeOfDay;
}

}  // namespace

CImportOptions_Filters::CImportOptions_Filters(CatalogRec* catalog, ImportSettingsRec* settings)
    : CPropertyPage(243), catalog_(catalog), settings_(settings) {}

void CImportOptions_Filters::InitPage() {
    for (int rule = 0; rule < kImportFormRules; ++rule) {
        if (auto* list = Controls().Get<wxChoice>(kRules[rule].operators)) {
            const UInt16* ids = ImportRuleOperatorTextIds(rule);
            for (int i = 0; i < ImportRuleOperatorCount(rule); ++i) list->Append(LoadUiString(ids[i]));
        }
        if (auto* box = Controls().Get<wxCheckBox>(kRules[rule].box))
            box->Bind(wxEVT_CHECKBOX, &CImportOptions_Filters::OnRuleBox, this);
        EnableRule(rule, false);
    }
    if (auto* edit = Controls().Get<wxTextCtrl>(1193)) edit->SetMaxLength(63);
    for (int id : {1123, 1124})
        if (auto* edit = Controls().Get<wxTextCtrl>(id)) edit->SetMaxLength(6);
    if (auto* edit = Controls().Get<wxTextCtrl>(1125)) edit->SetMaxLength(4);
    FormToControls(ImportFiltersFormFromSettings(*settings_));
    Layout();
}

void CImportOptions_Filters::SaveToSettings() { ImportFiltersFormToSettings(FormFromControls(), settings_); }

ImportFiltersForm CImportOptions_Filters::FormFromControls() const {
    ImportFiltersForm form;
    for (int rule = 0; rule < kImportFormRules; ++rule) {
        auto* box = Controls().Get<wxCheckBox>(kRules[rule].box);
        auto* list = Controls().Get<wxChoice>(kRules[rule].operators);
        form.ruleOn[rule] = box && box->GetValue();
        form.operatorChoice[rule] = list ? list->GetSelection() : -1;
    }
    auto text = [this](int id) {
        auto* edit = Controls().Get<wxTextCtrl>(id);
        return edit ? Utf8FromWx(edit->GetValue()) : std::string();
    };
    form.pattern = text(1193);
    form.sizeText = text(1123);
    form.levelText = text(1124);
    form.typeText = text(1125);
    auto ticked = [this](int id) {
        auto* box = Controls().Get<wxCheckBox>(id);
        return box && box->GetValue();
    };
    form.ignoreShortcuts = ticked(kIgnoreShortcutsId);
    form.ignoreInvisible = ticked(kIgnoreInvisibleId);
    auto* created = Controls().Get<wxDatePickerCtrl>(1194);
    auto* modified = Controls().Get<wxDatePickerCtrl>(1168);
    form.createdDate = created ? MacSecondsOfDate(created->GetValue(), createdTimeOfDay_) : settings_->createdDate;
    form.modifiedDate = modified ? MacSecondsOfDate(modified->GetValue(), modifiedTimeOfDay_) : settings_->modifiedDate;
    return form;
}

void CImportOptions_Filters::FormToControls(const ImportFiltersForm& form) {
    for (int rule = 0; rule < kImportFormRules; ++rule) {
        ClickRule(rule, form.ruleOn[rule]);
        if (auto* list = Controls().Get<wxChoice>(kRules[rule].operators)) list->SetSelection(form.operatorChoice[rule]);
    }
    auto setText = [this](int id, const std::string& utf8) {
        if (auto* edit = Controls().Get<wxTextCtrl>(id)) edit->ChangeValue(WxFromUtf8(utf8));
    };
    setText(1193, form.pattern);
    setText(1123, form.sizeText);
    setText(1124, form.levelText);
    setText(1125, form.typeText);
    if (auto* box = Controls().Get<wxCheckBox>(kIgnoreShortcutsId)) box->SetValue(form.ignoreShortcuts);
    if (auto* box = Controls().Get<wxCheckBox>(kIgnoreInvisibleId)) box->SetValue(form.ignoreInvisible);
    createdTimeOfDay_ = form.createdDate % kSecondsPerDay;
    modifiedTimeOfDay_ = form.modifiedDate % kSecondsPerDay;
    if (auto* picker = Controls().Get<wxDatePickerCtrl>(1194)) picker->SetValue(DateOfMacSeconds(form.createdDate));
    if (auto* picker = Controls().Get<wxDatePickerCtrl>(1168)) picker->SetValue(DateOfMacSeconds(form.modifiedDate));
}

bool CImportOptions_Filters::RuleControlsEnabled(int rule) const {
    wxWindow* list = Controls().Find(kRules[rule].operators);
    wxWindow* value = Controls().Find(kRules[rule].value);
    return list && value && list->IsThisEnabled() && value->IsThisEnabled();
}

void CImportOptions_Filters::ClickRule(int rule, bool on) {
    if (auto* box = Controls().Get<wxCheckBox>(kRules[rule].box)) box->SetValue(on);
    EnableRule(rule, on);
}

void CImportOptions_Filters::EnableRule(int rule, bool on) {
    if (wxWindow* list = Controls().Find(kRules[rule].operators)) list->Enable(on);
    if (wxWindow* value = Controls().Find(kRules[rule].value)) value->Enable(on);
    if (rule == 3)
        if (wxWindow* label = Controls().Find(kKbLabelId)) label->Enable(on);
}

void CImportOptions_Filters::OnRuleBox(wxCommandEvent& event) {
    for (int rule = 0; rule < kImportFormRules; ++rule)
        if (ControlIdFromWxId(event.GetId()) == kRules[rule].box) EnableRule(rule, event.IsChecked());
}
