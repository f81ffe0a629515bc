// The "Media Types" page of the Import Options sheet: one box per media category (Images to
// HTML documents) that says whether files of that category are imported. A category that no
// installed reader handles is disabled and unticked, so saving clears its bit. "View Media
// Types..." opens the Media Importers dialog.
#pragma once

#include "catalog/file/CatalogRecords.h"
#include "foundation/ui/CPropertyPage.h"
#include "import/settings/ImportOptionsForm.h"

#include <functional>

struct CatalogRec;

class CImportOptions_Media : public CPropertyPage {
public:
    // hasCategory: whether any registered kind has the category (KindHasCategory by default).
    CImportOptions_Media(CatalogRec* catalog, ImportSettingsRec* settings,
                         std::function<bool(int)> hasCategory = {});

    void InitPage();
    void SaveToSettings();

    ImportMediaForm FormFromControls() const;
    void FormToControls(const ImportMediaForm& form);

private:
    void OnViewMediaTypes(wxCommandEvent& event);

    CatalogRec* catalog_;
    ImportSettingsRec* settings_;
    std::function<bool(int)> hasCategory_;
};
