#include "output/ui/backup/Clxbackup.h"

#include "foundation/ui/UiText.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>

namespace {

constexpr int kDestinations = 1300;
constexpr int kAllFiles = 1301, kVisibleFiles = 1302;
constexpr int kResetPaths = 1303, kKeepStructure = 1304, kIncludeCatalog = 1305;

}  // namespace

Clxbackup::Clxbackup(wxWindow* parent, std::vector<BackupDestination> destinations)
    : CLyrexDialog(7050, parent, IDOK, IDCANCEL), destinations_(std::move(destinations)), options_(DefaultBackupOptions()) {}

const BackupDestination* Clxbackup::Chosen() const {
    const int n = options_.destination;
    return n >= 1 && n <= int(destinations_.size()) ? &destinations_[std::size_t(n - 1)] : nullptr;
}

bool Clxbackup::OnInitDialog() {
    const bool stored = LoadBackupOptions(&options_);
    auto* list = Controls().Get<wxChoice>(kDestinations);
    if (list) {
        for (const BackupDestination& d : destinations_) list->Append(WxFromUtf8(d.name));
        int select = -1;
        if (stored && options_.destination >= 1 && options_.destination <= destinations_.size())
            select = options_.destination - 1;
        if (select < 0) {
            // Without a choice stored: the first drive that burns discs, else the first entry.
            for (std::size_t i = 0; i < destinations_.size() && select < 0; ++i)
                if (destinations_[i].kind == BackupDestination::Kind::kDrive) select = int(i);
            if (select < 0 && !destinations_.empty()) select = 0;
        }
        if (select >= 0) list->SetSelection(select);
    }
    if (auto* r = Controls().Get<wxRadioButton>(options_.visibleOnly ? kVisibleFiles : kAllFiles)) r->SetValue(true);
    if (auto* c = Controls().Get<wxCheckBox>(kResetPaths)) c->SetValue(options_.resetPaths != 0);
    if (auto* c = Controls().Get<wxCheckBox>(kKeepStructure)) c->SetValue(options_.keepFolderStructure == 2);
    if (auto* c = Controls().Get<wxCheckBox>(kIncludeCatalog)) c->SetValue(options_.includeCatalog != 0);
    return CLyrexDialog::OnInitDialog();
}

bool Clxbackup::TransferDataFromWindow() {
    auto* list = Controls().Get<wxChoice>(kDestinations);
    options_.destination = UInt8(list && list->GetSelection() >= 0 ? list->GetSelection() + 1 : 0);
    auto* visible = Controls().Get<wxRadioButton>(kVisibleFiles);
    options_.visibleOnly = visible && visible->GetValue() ? 1 : 0;
    auto checked = [this](int id) {
        auto* c = Controls().Get<wxCheckBox>(id);
        return c && c->GetValue();
    };
    options_.resetPaths = checked(kResetPaths) ? 1 : 0;
    options_.keepFolderStructure = checked(kKeepStructure) ? 2 : 1;
    options_.includeCatalog = checked(kIncludeCatalog) ? 1 : 0;
    SaveBackupOptions(options_);
    return true;
}
