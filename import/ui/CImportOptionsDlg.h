// The "Import Options" sheet: edits a copy of the catalog's import settings on its "File
// Filters" and "Media Types" pages. OK stores the copy in the catalog; "Set as Default" (in
// the place of Apply) makes the pages' current state the default that new catalogs receive
// (the engine's default and the preferences' copy) without touching the catalog; Cancel
// leaves the catalog as it was.
#pragma once

#include "catalog/file/CatalogRecords.h"
#include "foundation/ui/CLyrexPropertySheet.h"

#include <functional>

struct CatalogRec;
class CImportOptions_Filters;
class CImportOptions_Media;

class CImportOptionsDlg : public CLyrexPropertySheet {
public:
    enum : int { kSetAsDefaultId = 4000 };
    // hasCategory: see CImportOptions_Media (tests pin which categories have kinds).
    CImportOptionsDlg(CatalogRec* catalog, wxWindow* parent, std::function<bool(int)> hasCategory = {});

    CImportOptions_Filters* FiltersPage() const { return filters_; }
    CImportOptions_Media* MediaPage() const { return media_; }
    const ImportSettingsRec& Settings() const { return settings_; }

    // Saves both pages into the copy and makes it the default for new catalogs.
    void SetAsDefault();

protected:
    bool OnInitDialog() override;

private:
    void BindEvents();
    void OnOk(wxCommandEvent& event);

    CatalogRec* catalog_;
    ImportSettingsRec settings_;
    CImportOptions_Filters* filters_;
    CImportOptions_Media* media_;
};

// The Import Options command: runs the sheet modally for the catalog.
void ImportOptionsCommand(CatalogRec* catalog, wxWindow* parent);
