// The "File Filters" page of the Import Options sheet: the six filter rules (a check box that
// switches the rule on and enables its operator list and value), the name pattern, the two
// dates, size, folder level and file type, and the shortcut and invisible-file switches. It
// edits the sheet's copy of the catalog's import settings through ImportFiltersForm.
#pragma once

#include "catalog/file/CatalogRecords.h"
#include "foundation/ui/CPropertyPage.h"
#include "import/settings/ImportOptionsForm.h"

struct CatalogRec;

class CImportOptions_Filters : public CPropertyPage {
public:
    // settings: the sheet's copy, shared with the other page; it outlives the page.
    CImportOptions_Filters(CatalogRec* catalog, ImportSettingsRec* settings);

    // After the page is on the sheet: fills the operator lists and shows the settings.
    void InitPage();
    // Writes the controls into the settings copy.
    void SaveToSettings();

    ImportFiltersForm FormFromControls() const;
    void FormToControls(const ImportFiltersForm& form);
    // Whether the rule's operator list and value take input (follows its check box).
    bool RuleControlsEnabled(int rule) const;
    // Ticks or clears a rule's box as a click would.
    void ClickRule(int rule, bool on);

private:
    void EnableRule(int rule, bool on);
    void OnRuleBox(wxCommandEvent& event);

    CatalogRec* catalog_;
    ImportSettingsRec* settings_;
    // A date picker holds the day only; the time of day shown last is kept with it.
    UInt32 createdTimeOfDay_ = 0;
    UInt32 modifiedTimeOfDay_ = 0;
};
