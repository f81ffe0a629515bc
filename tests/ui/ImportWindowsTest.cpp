// The import windows: the Import Options sheet ("Set as Default" against OK against Cancel,
// as the catalog's settings, the engine's default and the preferences record see it; rules
// shown enabled with their operators; a category without kinds) and the Importing window
// (hidden for two seconds on a manual clock, numbers at most twice a second, Cancel and
// Escape only raise the flag the import reads).
#include "catalog/file/CatalogEngine.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/settings/Preferences.h"
#include "import/settings/ImportFilters.h"
#include "import/ui/CImportDialog.h"
#include "import/ui/CImportOptionsDlg.h"
#include "import/ui/CImportOptions_Filters.h"
#include "import/ui/CImportOptions_Media.h"
#include "import/ui/Clxmediaimp.h"
#include "import/ui/ImportProgress.h"
#include "media/kinds/KindEngine.h"
#include "media/kinds/KindTable.h"
#include "platform/TimerService.h"
#include "ui/WxTestSupport.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include <cstring>

namespace {

const auto kAllCategories = [](int) { return true; };

class ImportOptionsTest : public WxTest {
protected:
    void SetUp() override {
        WxTest::SetUp();
        if (IsSkipped()) return;
        CatalogGetDefaultImportSettings(&savedDefault_);
        ASSERT_EQ(noErr, CatalogOpen(&catalog_, nullptr, nullptr, nullptr, nullptr, nullptr, 0));
        CatalogGetImportSettings(catalog_, &before_);
    }
    void TearDown() override {
        if (catalog_) {
            CatalogSetDefaultImportSettings(&savedDefault_);
            std::memcpy(GetPreferences()->defaultImportSettings, &savedDefault_, sizeof savedDefault_);
            CatalogClose(catalog_, false);
        }
        WxTest::TearDown();
    }
    // Switches the size rule on with "is greater than" 250 on the sheet's Filters page.
    static void EditSizeRule(CImportOptionsDlg* sheet) {
        CImportOptions_Filters* page = sheet->FiltersPage();
        page->ClickRule(kRuleSizeKB, true);
        dynamic_cast<wxChoice*>(page->FindWindow(1005))->SetSelection(2);
        dynamic_cast<wxTextCtrl*>(page->FindWindow(1123))->ChangeValue("250");
    }
    static bool HasSizeRule(const ImportSettingsRec& s) {
        return ImportSettingsRuleOn(&s, kRuleSizeKB) && s.ruleOperators[kRuleSizeKB] == kNumberGreater &&
               s.sizeKB == 250;
    }
    ImportSettingsRec CatalogSettings() const {
        ImportSettingsRec s;
        CatalogGetImportSettings(catalog_, &s);
        return s;
    }
    static ImportSettingsRec EngineDefault() {
        ImportSettingsRec s;
        CatalogGetDefaultImportSettings(&s);
        return s;
    }

    CatalogRec* catalog_ = nullptr;
    ImportSettingsRec before_{};
    ImportSettingsRec savedDefault_{};
};

}  // namespace

TEST_F(ImportOptionsTest, SetAsDefaultThenCancelChangesTheDefaultsButNotTheCatalog) {
    CImportOptionsDlg sheet(catalog_, frame_, kAllCategories);
    WhenModal([&] {
        EditSizeRule(&sheet);
        Press(&sheet, CImportOptionsDlg::kSetAsDefaultId);
        Press(&sheet, wxID_CANCEL);
    });
    EXPECT_EQ(IDCANCEL, sheet.DoModal());
    const ImportSettingsRec now = CatalogSettings();
    EXPECT_EQ(0, std::memcmp(&before_, &now, sizeof before_));
    EXPECT_TRUE(HasSizeRule(EngineDefault()));
    ImportSettingsRec prefs;
    std::memcpy(&prefs, GetPreferences()->defaultImportSettings, sizeof prefs);
    EXPECT_TRUE(HasSizeRule(prefs));
    // A new catalog receives the new default.
    CatalogRec* fresh = nullptr;
    ASSERT_EQ(noErr, CatalogOpen(&fresh, nullptr, nullptr, nullptr, nullptr, nullptr, 0));
    ImportSettingsRec freshSettings;
    CatalogGetImportSettings(fresh, &freshSettings);
    EXPECT_TRUE(HasSizeRule(freshSettings));
    CatalogClose(fresh, false);
}

TEST_F(ImportOptionsTest, OkStoresThePagesInTheCatalogAndLeavesTheDefaultAlone) {
    const ImportSettingsRec defaultBefore = EngineDefault();
    CImportOptionsDlg sheet(catalog_, frame_, kAllCategories);
    WhenModal([&] {
        EditSizeRule(&sheet);
        dynamic_cast<wxCheckBox*>(sheet.MediaPage()->FindWindow(1206))->SetValue(true);  // Text documents
        Press(&sheet, wxID_OK);
    });
    EXPECT_EQ(IDOK, sheet.DoModal());
    const ImportSettingsRec after = CatalogSettings();
    EXPECT_TRUE(HasSizeRule(after));
    EXPECT_TRUE(ImportSettingsCategoryOn(&after, kCategoryText));
    const ImportSettingsRec defaultNow = EngineDefault();
    EXPECT_EQ(0, std::memcmp(&defaultBefore, &defaultNow, sizeof defaultBefore));
}

TEST_F(ImportOptionsTest, CancelLeavesTheCatalogAndTheDefaultAsTheyWere) {
    const ImportSettingsRec defaultBefore = EngineDefault();
    CImportOptionsDlg sheet(catalog_, frame_, kAllCategories);
    WhenModal([&] {
        EditSizeRule(&sheet);
        Press(&sheet, wxID_CANCEL);
    });
    EXPECT_EQ(IDCANCEL, sheet.DoModal());
    const ImportSettingsRec now = CatalogSettings();
    EXPECT_EQ(0, std::memcmp(&before_, &now, sizeof before_));
    const ImportSettingsRec defaultNow = EngineDefault();
    EXPECT_EQ(0, std::memcmp(&defaultBefore, &defaultNow, sizeof defaultBefore));
}

TEST_F(ImportOptionsTest, ReopeningShowsEachSwitchedOnRuleEnabledWithItsOperator) {
    ImportSettingsRec s = before_;
    ImportSettingsSetRule(&s, kRuleFolderLevel, true);
    s.ruleOperators[kRuleFolderLevel] = kNumberLessOrEqual;
    s.folderLevel = 2;
    CatalogSetImportSettings(catalog_, &s);
    CImportOptionsDlg sheet(catalog_, frame_, kAllCategories);
    CImportOptions_Filters* page = sheet.FiltersPage();
    EXPECT_TRUE(page->RuleControlsEnabled(kRuleFolderLevel));
    EXPECT_EQ(3, dynamic_cast<wxChoice*>(page->FindWindow(1006))->GetSelection());
    EXPECT_EQ("2", dynamic_cast<wxTextCtrl*>(page->FindWindow(1124))->GetValue());
    for (int rule : {kRuleName, kRuleCreated, kRuleModified, kRuleSizeKB, kRuleFileType})
        EXPECT_FALSE(page->RuleControlsEnabled(rule)) << rule;
    EXPECT_FALSE(page->FindWindow(1207)->IsThisEnabled()) << "the KB label follows the size rule";
    // A click on a rule's box enables its controls.
    auto* box = dynamic_cast<wxCheckBox*>(page->FindWindow(1132));
    box->SetValue(true);
    wxCommandEvent click(wxEVT_CHECKBOX, box->GetId());
    click.SetEventObject(box);
    click.SetInt(1);
    box->GetEventHandler()->ProcessEvent(click);
    EXPECT_TRUE(page->RuleControlsEnabled(kRuleSizeKB));
    EXPECT_TRUE(page->FindWindow(1207)->IsThisEnabled());
    EXPECT_EQ(5, int(dynamic_cast<wxChoice*>(page->FindWindow(1005))->GetCount()));
    EXPECT_EQ(7, int(dynamic_cast<wxChoice*>(page->FindWindow(1192))->GetCount()));
}

TEST_F(ImportOptionsTest, ACategoryWithoutKindsIsDisabledAndOkClearsItsBit) {
    ImportSettingsRec s = before_;
    ImportSettingsSetCategory(&s, kCategoryFont, true);
    CatalogSetImportSettings(catalog_, &s);
    CImportOptionsDlg sheet(catalog_, frame_, [](int category) { return category != kCategoryFont; });
    auto* fonts = dynamic_cast<wxCheckBox*>(sheet.MediaPage()->FindWindow(1205));
    ASSERT_TRUE(fonts);
    EXPECT_FALSE(fonts->IsThisEnabled());
    EXPECT_FALSE(fonts->GetValue());
    WhenModal([&] { Press(&sheet, wxID_OK); });
    sheet.DoModal();
    const ImportSettingsRec after = CatalogSettings();
    EXPECT_FALSE(ImportSettingsCategoryOn(&after, kCategoryFont));
    EXPECT_TRUE(ImportSettingsCategoryOn(&after, kCategoryImage));
}

TEST_F(ImportOptionsTest, MediaImportersListsTheFormatsOfTheChosenCategory) {
    ASSERT_EQ(noErr, KindEngineInit(nullptr, 0, kEditionCodeStandard, kFormatLevelStandard));
    Clxmediaimp dialog(frame_);
    dialog.InitDialog();
    ASSERT_TRUE(dialog.CategoryList() && dialog.FormatList());
    EXPECT_EQ(3, dialog.CategoryList()->GetItemCount());
    const int images = dialog.FormatList()->GetItemCount();
    EXPECT_GT(images, 0);
    bool jpeg = false;
    for (int row = 0; row < images; ++row)
        jpeg = jpeg || dialog.FormatList()->GetItemText(row, 1).Contains("JPEG");
    EXPECT_TRUE(jpeg) << "the JPEG reader is listed with its type";
    dialog.ShowCategory(1);
    EXPECT_NE(images, dialog.FormatList()->GetItemCount());
    dialog.Destroy();
    KindEngineShutdown();
    KindTableClear();
}

namespace {

class ImportingWindowTest : public WxTest {
protected:
    void SetUp() override {
        WxTest::SetUp();
        if (IsSkipped()) return;
        SetTimerService(&clock_);
    }
    void TearDown() override {
        if (frame_) {
            ImportProgressClose();
            SetTimerService(nullptr);
        }
        WxTest::TearDown();
    }
    ManualTimerService clock_;
};

}  // namespace

TEST_F(ImportingWindowTest, TheWindowStaysHiddenForTwoSecondsThenShowsNumbersAtMostTwiceASecond) {
    ImportProgressShow(frame_);
    CImportDialog* dialog = ImportProgressWindow();
    ASSERT_TRUE(dialog);
    ImportProgressUpdate(1, 1);
    clock_.Advance(1999);
    ImportProgressUpdate(3, 5);
    EXPECT_FALSE(dialog->IsShown()) << "an import under two seconds shows nothing";
    clock_.Advance(1);
    ImportProgressUpdate(4, 6);
    EXPECT_TRUE(dialog->IsShown());
    EXPECT_EQ("4", dialog->ImportedText());
    EXPECT_EQ("6", dialog->ScannedText());
    clock_.Advance(499);
    ImportProgressUpdate(9, 12);
    EXPECT_EQ("4", dialog->ImportedText()) << "no change within half a second";
    clock_.Advance(1);
    ImportProgressUpdate(10, 14);
    EXPECT_EQ("10", dialog->ImportedText());
    EXPECT_EQ("14", dialog->ScannedText());
    ImportProgressClose();
    EXPECT_EQ(nullptr, ImportProgressWindow());
}

TEST_F(ImportingWindowTest, ASecondShowKeepsTheFirstWindowAndItsCounters) {
    ImportProgressShow(frame_);
    CImportDialog* first = ImportProgressWindow();
    clock_.Advance(2000);
    ImportProgressUpdate(7, 8);
    ImportProgressShow(frame_);
    EXPECT_EQ(first, ImportProgressWindow());
    EXPECT_EQ("7", first->ImportedText());
}

TEST_F(ImportingWindowTest, CancelAndEscapeOnlyRaiseTheFlagTheImportReads) {
    for (bool escape : {false, true}) {
        ImportProgressShow(frame_);
        CImportDialog* dialog = ImportProgressWindow();
        EXPECT_EQ(noErr, ImportProgressCallback(1, 1, 1, 0));
        if (escape) {
            wxKeyEvent key(wxEVT_CHAR_HOOK);
            key.m_keyCode = WXK_ESCAPE;
            key.SetEventObject(dialog);
            dialog->GetEventHandler()->ProcessEvent(key);
        } else {
            Press(dialog, wxID_CANCEL);
        }
        Pump();
        EXPECT_TRUE(ImportProgressIsCancelled()) << escape;
        EXPECT_EQ(dialog, ImportProgressWindow()) << "the window stays until its owner closes it";
        EXPECT_EQ(userCanceledErr, ImportProgressCallback(1, 2, 2, 0));
        ImportProgressClose();
        EXPECT_FALSE(ImportProgressIsCancelled());
    }
}

TEST_F(ImportingWindowTest, WhileTheWindowExistsTheOtherWindowsTakeNoInput) {
    frame_->Show();
    ImportProgressShow(frame_);
    EXPECT_FALSE(frame_->IsEnabled());
    EXPECT_TRUE(ImportProgressWindow()->IsEnabled());
    ImportProgressClose();
    EXPECT_TRUE(frame_->IsEnabled());
}
