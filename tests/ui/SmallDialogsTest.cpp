// The small dialogs: what each hands back for what the user did, and what it stores.
#include "catalog/tables/CatalogTables.h"
#include "catalog/ui/CFolderDialogBase.h"
#include "catalog/ui/Clxpassword.h"
#include "foundation/settings/Preferences.h"
#include "foundation/ui/CListDialog.h"
#include "foundation/ui/CPicCopyDlg.h"
#include "foundation/ui/CQXDatePicker.h"
#include "foundation/ui/CTextCopyDlg.h"
#include "foundation/ui/CTextDialog.h"
#include "foundation/ui/Clxsavechanges.h"
#include "support/PascalString.h"
#include "support/TempFolder.h"
#include "ui/WxTestSupport.h"

#include <wx/button.h>
#include <wx/datectrl.h>
#include <wx/stattext.h>
#include <wx/listbox.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <cstring>
#include <filesystem>

namespace {

Handle Names(const std::vector<std::string>& names) {
    Handle h = NewHandleClear(Size(names.size() * 256));
    for (size_t i = 0; i < names.size(); ++i) {
        PStr255 p(names[i]);
        std::memcpy(*h + i * 256, p.s, 256);
    }
    return h;
}

}  // namespace

class SmallDialogTest : public WxTest {};

TEST_F(SmallDialogTest, TheListDialogAnswersTheChosenEntriesHighestFirst) {
    Handle names = Names({"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta"});
    unsigned char result[256] = {};
    WhenModal([] {
        auto* d = ShownTop<CListDialog>();
        ASSERT_TRUE(d);
        EXPECT_EQ("Remove Queries", d->GetTitle());
        EXPECT_EQ(6u, d->List()->GetCount());
        d->List()->SetSelection(2);
        d->List()->SetSelection(5);
        Press(d, wxID_OK);
    });
    EXPECT_TRUE(ShowListDialog(names, result, 3));
    EXPECT_EQ(2, result[0]);
    EXPECT_EQ(6, result[1]);
    EXPECT_EQ(3, result[2]);
    DisposeHandle(names);
}

TEST_F(SmallDialogTest, TheListDialogWithNothingChosenOrCancelledAnswersFalse) {
    Handle names = Names({"One", "Two"});
    unsigned char result[256] = {};
    WhenModal([] { Press(ShownTop<CListDialog>(), wxID_OK); });
    EXPECT_FALSE(ShowListDialog(names, result, 1));
    WhenModal([] {
        auto* d = ShownTop<CListDialog>();
        d->List()->SetSelection(0);
        Press(d, wxID_CANCEL);
    });
    EXPECT_FALSE(ShowListDialog(names, result, 1));
    DisposeHandle(names);
}

TEST_F(SmallDialogTest, AskForTextCutsTheTextToTheMaximumOrLeavesItOnCancel) {
    PStr255 text("old name");
    WhenModal([] {
        auto* d = ShownTop<CTextDialog>();
        ASSERT_TRUE(d);
        EXPECT_EQ("Rename Field:", d->GetTitle());
        EXPECT_EQ("old name", d->Edit()->GetValue());
        d->Edit()->ChangeValue(wxString('x', 80));
        Press(d, wxID_OK);
    });
    EXPECT_EQ(1, AskForText(text.s, 63, 1, 10));
    EXPECT_EQ(std::string(63, 'x'), text.str());

    WhenModal([] {
        auto* d = ShownTop<CTextDialog>();
        d->Edit()->ChangeValue("something else");
        Press(d, wxID_CANCEL);
    });
    EXPECT_EQ(2, AskForText(text.s, 63, 1, 10));
    EXPECT_EQ(std::string(63, 'x'), text.str());

    // Text outside Windows-1252 arrives as '?', accented letters as themselves.
    WhenModal([] {
        auto* d = ShownTop<CTextDialog>();
        d->Edit()->ChangeValue(wxString::FromUTF8("caf\xC3\xA9 \xE2\x86\x92"));
        Press(d, wxID_OK);
    });
    EXPECT_EQ(1, AskForText(text.s, 255, 3, 2));
    EXPECT_EQ("caf\xE9 ?", text.str());
}

TEST_F(SmallDialogTest, TheDatePromptAnswersThePickedDate) {
    CQXDatePicker* seen = nullptr;
    auto* d = new CQXDatePicker(frame_);
    WhenModal([&] {
        seen = ShownTop<CQXDatePicker>();
        seen->Picker()->SetValue(wxDateTime(29, wxDateTime::Feb, 2024));
        Press(seen, wxID_OK);
    });
    EXPECT_EQ(IDOK, d->DoModal());
    EXPECT_EQ(d, seen);
    EXPECT_EQ(2024, d->Date().year);
    EXPECT_EQ(2, d->Date().month);
    EXPECT_EQ(29, d->Date().day);
    EXPECT_EQ(5, d->Date().dayOfWeek);  // a Thursday
    d->Destroy();
}

TEST_F(SmallDialogTest, TheCopyDialogsShowAndStoreTheChoiceInThePreferences) {
    GetPreferences()->copyPictureChoice = 1;
    auto* pic = new CPicCopyDlg(frame_);
    WhenModal([this] {
        auto* d = ShownTop<CPicCopyDlg>();
        auto* actual = dynamic_cast<wxRadioButton*>(d->FindWindow(1518));
        EXPECT_TRUE(actual->GetValue());
        EXPECT_EQ(wxString::Format("%d dpi", d->GetDPI().x), actual->GetLabel());
        dynamic_cast<wxRadioButton*>(d->FindWindow(1517))->SetValue(true);
        Press(d, wxID_OK);
    });
    EXPECT_EQ(IDOK, pic->DoModal());
    EXPECT_EQ(0, GetPreferences()->copyPictureChoice);
    pic->Destroy();

    GetPreferences()->copyTextChoice = 0;
    auto* text = new CTextCopyDlg(frame_);
    WhenModal([] {
        auto* d = ShownTop<CTextCopyDlg>();
        dynamic_cast<wxRadioButton*>(d->FindWindow(1514))->SetValue(true);
        Press(d, wxID_OK);
    });
    EXPECT_EQ(IDOK, text->DoModal());
    EXPECT_EQ(2, GetPreferences()->copyTextChoice);
    text->Destroy();
}

class PasswordTest : public WxTest {
protected:
    void SetUp() override {
        WxTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_EQ(noErr, CatalogOpen(&catalog_, nullptr, nullptr, nullptr, nullptr, nullptr, 0));
        PStr255 secret("Secret");
        std::memcpy(catalog_->password, secret.s, 256);
    }
    void TearDown() override {
        if (catalog_) CatalogClose(catalog_, false);
        WxTest::TearDown();
    }
    CatalogRec* catalog_ = nullptr;
};

TEST_F(PasswordTest, TheRightPasswordOpens) {
    WhenModal([] {
        auto* d = ShownTop<Clxpassword>();
        ASSERT_TRUE(d);
        d->Edit()->ChangeValue("Secret");
        Press(d, wxID_OK);
    });
    EXPECT_EQ(noErr, CatalogPasswordPrompt(catalog_));
}

TEST_F(PasswordTest, AWrongPasswordThenCancelInTheAlertEndsWithTheError) {
    WhenModal([] {
        auto* d = ShownTop<Clxpassword>();
        d->Edit()->ChangeValue("secret");  // letter case counts
        WhenModal([] {
            auto* alert = ShownTop<Clxsavechanges>();
            ASSERT_TRUE(alert);
            EXPECT_EQ("Access denied!", alert->MessageStatic()->GetLabel());
            EXPECT_EQ("&Retry", alert->Button(1)->GetLabel());
            Press(alert, wxID_CANCEL);
        });
        Press(d, wxID_OK);
    });
    EXPECT_EQ(kWrongPasswordErr, CatalogPasswordPrompt(catalog_));
}

TEST_F(PasswordTest, RetryKeepsTheDialogForAnotherTry) {
    int tries = 0;
    WhenModal([&] {
        auto* d = ShownTop<Clxpassword>();
        d->Edit()->ChangeValue("wrong");
        WhenModal([&] {
            Press(ShownTop<Clxsavechanges>(), kAlertButton1Id);  // Retry
            WhenTrue([] { return ShownTop<Clxsavechanges>() == nullptr && ShownTop<Clxpassword>() != nullptr; }, [&] {
                auto* again = ShownTop<Clxpassword>();
                ASSERT_TRUE(again);
                ++tries;
                again->Edit()->ChangeValue("Secret");
                Press(again, wxID_OK);
            });
        });
        Press(d, wxID_OK);
    });
    EXPECT_EQ(noErr, CatalogPasswordPrompt(catalog_));
    EXPECT_EQ(1, tries);
}

TEST_F(PasswordTest, CancellingThePromptRefusesTheOpen) {
    WhenModal([] { Press(ShownTop<Clxpassword>(), wxID_CANCEL); });
    EXPECT_EQ(userCanceledErr, CatalogPasswordPrompt(catalog_));
}

TEST_F(PasswordTest, SetModeChangesOrRemovesThePasswordAndMarksTheCatalog) {
    auto* d = new Clxpassword(catalog_, kPasswordSet, nullptr, nullptr, frame_);
    WhenModal([] {
        auto* dlg = ShownTop<Clxpassword>();
        EXPECT_EQ("Secret", dlg->Edit()->GetValue());
        dlg->Edit()->ChangeValue("");
        Press(dlg, wxID_OK);
    });
    EXPECT_FALSE(CatalogIsModified(catalog_));
    EXPECT_EQ(IDOK, d->DoModal());
    EXPECT_EQ(0, catalog_->password[0]);
    EXPECT_TRUE(CatalogIsModified(catalog_));
    d->Destroy();

    Str255 output{};
    auto* handing = new Clxpassword(catalog_, kPasswordSet, nullptr, output, frame_);
    WhenModal([] {
        auto* dlg = ShownTop<Clxpassword>();
        dlg->Edit()->ChangeValue("New");
        Press(dlg, wxID_OK);
    });
    EXPECT_EQ(IDOK, handing->DoModal());
    EXPECT_EQ("New", std::string(reinterpret_cast<char*>(output + 1), output[0]));
    EXPECT_EQ(0, catalog_->password[0]);  // left for the caller to apply
    handing->Destroy();
}

class DropFolderTest : public PasswordTest {};

TEST_F(DropFolderTest, AChosenFolderIsStoredInTheCatalogOnOk) {
    TempFolder temp;
    const std::string drops = temp / "drops";
    std::filesystem::create_directories(drops);
    auto* d = new CDropFolderDlg(catalog_, frame_);
    d->Browser().SetChooser([&](wxWindow*, const wxString& prompt, const wxString&, wxString* chosen) {
        EXPECT_EQ("Choose a drop folder:", prompt);
        *chosen = drops;
        return int(wxID_OK);
    });
    WhenModal([] {
        auto* dlg = ShownTop<CDropFolderDlg>();
        Press(dlg, 1191);
        Press(dlg, wxID_OK);
    });
    EXPECT_EQ(IDOK, d->DoModal());
    EXPECT_TRUE(d->Changed());
    FSSpec stored;
    ASSERT_EQ(noErr, CatalogGetFolderRef(catalog_, kFolderRefFirst, &stored));
    EXPECT_EQ(drops, stored.path);
    d->Destroy();
}

TEST_F(DropFolderTest, CancelLeavesTheCatalogsFolderAlone) {
    auto* d = new CDropFolderDlg(catalog_, frame_);
    d->Browser().SetChooser([](wxWindow*, const wxString&, const wxString&, wxString* chosen) {
        *chosen = "/tmp";
        return int(wxID_OK);
    });
    WhenModal([] {
        auto* dlg = ShownTop<CDropFolderDlg>();
        Press(dlg, 1191);
        Press(dlg, wxID_CANCEL);
    });
    EXPECT_EQ(IDCANCEL, d->DoModal());
    FSSpec stored;
    CatalogGetFolderRef(catalog_, kFolderRefFirst, &stored);
    EXPECT_NE("/tmp", stored.path);
    d->Destroy();
}
