#include "import/ui/CImportOptions_Media.h"

#include "import/ui/Clxmediaimp.h"
#include "media/kinds/KindTable.h"

#include <wx/button.h>
#include <wx/checkbox.h>

namespace {
constexpr int kFirstBoxId = 1200;  // categories 0..7 are boxes 1200..1207
constexpr int kViewMediaTypesId = 1117;
}  // namespace

CImportOptions_Media::CImportOptions_Media(CatalogRec* catalog, ImportSettingsRec* settings,
                                           std::function<bool(int)> hasCategory)
    : CPropertyPage(244), catalog_(catalog), settings_(settings), hasCategory_(std::move(hasCategory)) {
    if (!hasCategory_) hasCategory_ = [](int category) { return KindHasCategory(UInt8(category)); };
}

void CImportOptions_Media::InitPage() {
    if (auto* button = Controls().Get<wxButton>(kViewMediaTypesId))
        button->Bind(wxEVT_BUTTON, &CImportOptions_Media::OnViewMediaTypes, this);
    FormToControls(ImportMediaFormFromSettings(*settings_, hasCategory_));
}

void CImportOptions_Media::SaveToSettings() { ImportMediaFormToSettings(FormFromControls(), settings_); }

ImportMediaForm CImportOptions_Media::FormFromControls() const {
    ImportMediaForm form;
    for (int n = 0; n < kImportFormCategories; ++n) {
        auto* box = Controls().Get<wxCheckBox>(kFirstBoxId + n);
        form.enabled[n] = box && box->IsThisEnabled();
        form.ticked[n] = box && box->GetValue();
    }
    return form;
}

void CImportOptions_Media::FormToControls(const ImportMediaForm& form) {
    for (int n = 0; n < kImportFormCategories; ++n) {
        if (auto* box = Controls().Get<wxCheckBox>(kFirstBoxId + n)) {
            box->SetValue(form.ticked[n]);
            box->Enable(form.enabled[n]);
        }
    }
}

void CImportOptions_Media::OnViewMediaTypes(wxCommandEvent&) {
    Clxmediaimp dialog(this);
    dialog.DoModal();
}
