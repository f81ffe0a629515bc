// The Go To dialog and Go Again across windows, and the Catalog Info dialog's comments and
// password, over real catalog windows.
#include "appui/AppTestSupport.h"

#include "app/ui/commands/CMenuHandler.h"
#include "app/ui/dialogs/CGoToDlg.h"
#include "app/ui/dialogs/Clxcatinfo.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/text/PString.h"
#include "foundation/ui/UiText.h"
#include "window/view/ViewSelection.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/stattext.h>
#include <wx/testing.h>
#include <wx/textctrl.h>

#include <cstring>

namespace {

constexpr int kGoTo = 33139, kGoAgain = 33140, kCatalogInfo = 32830;

bool OkEnabled(CGoToDlg& d) { return d.FindWindow(wxID_OK)->IsEnabled(); }

// Answers the Go To dialog: initialised, set by the test, then OK as the button would.
class AnswerGoTo : public wxExpectModalBase<CGoToDlg> {
public:
    AnswerGoTo(int entry, const char* number) : entry_(entry), number_(number) {}

protected:
    int OnInvoked(CGoToDlg* d) const override {
        d->InitDialog();
        d->Kind()->SetSelection(entry_);
        d->NumberEdit()->ChangeValue(number_);
        d->UpdateControls();
        return d->TransferDataFromWindow() ? wxID_OK : wxID_CANCEL;
    }

private:
    int entry_;
    const char* number_;
};

class GoToDialogTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(Start({CopyCatalog("three-items.lxc", "A.lxc")}));
        GetApp().State().goTo = GoToRequest{};
    }
};

TEST_F(GoToDialogTest, TheFirstGoToProposesItemOneAndOkFollowsTheRequestsValidity) {
    CMainFrame* frame = Frame(0);
    CGoToDlg dialog(frame, &GetApp().State().goTo);
    dialog.InitDialog();
    EXPECT_EQ(dialog.Kind()->GetSelection(), 0);
    EXPECT_EQ(dialog.NumberEdit()->GetValue(), "1");
    EXPECT_TRUE(dialog.NumberEdit()->IsShown());
    EXPECT_FALSE(dialog.TextEdit()->IsShown());
    EXPECT_TRUE(OkEnabled(dialog));
    for (const char* bad : {"0", "4", ""}) {
        dialog.NumberEdit()->ChangeValue(bad);
        dialog.UpdateControls();
        EXPECT_FALSE(OkEnabled(dialog)) << bad;
    }
    dialog.Kind()->SetSelection(1);
    dialog.UpdateControls();
    EXPECT_TRUE(dialog.TextEdit()->IsShown());
    EXPECT_FALSE(dialog.NumberEdit()->IsShown());
    EXPECT_FALSE(OkEnabled(dialog)) << "an empty text";
    dialog.TextEdit()->ChangeValue("x");
    dialog.UpdateControls();
    EXPECT_TRUE(OkEnabled(dialog));
    // Next labelled item: only in a catalog with a labelled item.
    dialog.Kind()->SetSelection(2);
    dialog.UpdateControls();
    EXPECT_FALSE(dialog.NumberEdit()->IsShown() || dialog.TextEdit()->IsShown());
    EXPECT_EQ(OkEnabled(dialog), CatalogGetLabelledCount(frame->GetCatalog()) > 0);
    dialog.Destroy();
}

TEST_F(GoToDialogTest, AGoToInOneWindowIsRepeatedByGoAgainInAnother) {
    CMainFrame* a = Frame(0);
    ASSERT_TRUE(GetApp().OpenCatalogInFrame(GetApp().NewFrame(true), CopyCatalog("three-items.lxc", "B.lxc")));
    Pump();
    ASSERT_EQ(FrameCount(), 2u);
    CMainFrame* b = Frame(1);
    EXPECT_FALSE(b->GetMenuHandler()->Execute(kGoAgain)) << "nothing to repeat yet";
    wxTEST_DIALOG(a->GetMenuHandler()->Execute(kGoTo), AnswerGoTo(0, "3"));
    EXPECT_EQ(ViewGetCurrentItem(a->GetViewRec()), 3);
    EXPECT_EQ(GetApp().State().goTo.kind, kGoToItemNumber);
    EXPECT_EQ(GetApp().State().goTo.number, 3);
    ASSERT_TRUE(b->GetMenuHandler()->Execute(kGoAgain));
    EXPECT_EQ(ViewGetCurrentItem(b->GetViewRec()), 3);
}

TEST_F(GoToDialogTest, CatalogInfoShowsTheCountsAndOnlyOkStoresCommentsAndPassword) {
    CMainFrame* frame = Frame(0);
    CatalogRec* catalog = frame->GetCatalog();
    Str255 before;
    PStrCopy(before, catalog->password);
    {
        Clxcatinfo dialog(frame);
        dialog.InitDialog();
        auto* items = dynamic_cast<wxStaticText*>(dialog.FindWindow(1123));
        ASSERT_NE(items, nullptr);
        EXPECT_TRUE(items->GetLabel().StartsWith("3 ( ")) << items->GetLabel();
        EXPECT_TRUE(dialog.GetTitle().EndsWith(" info"));
        // A password set, comments typed, then Cancel: nothing reaches the catalog.
        const Str255 secret = {6, 's', 'e', 'c', 'r', 'e', 't'};
        dialog.TakeNewPassword(secret);
        dialog.Comments()->ChangeValue("never stored");
        dialog.Destroy();
    }
    EXPECT_EQ(std::memcmp(before, catalog->password, size_t(before[0]) + 1), 0);
    Str255 info;
    CatalogGetInfoText(catalog, info);
    EXPECT_NE(std::string(reinterpret_cast<char*>(info + 1), info[0]), "never stored");

    // Through the command with OK: a long comment is cut to 255 bytes, the password is set.
    class AnswerInfo : public wxExpectModalBase<Clxcatinfo> {
    protected:
        int OnInvoked(Clxcatinfo* d) const override {
            d->InitDialog();
            d->Comments()->ChangeValue(wxString(std::string(300, 'c')));
            const Str255 secret = {6, 's', 'e', 'c', 'r', 'e', 't'};
            d->TakeNewPassword(secret);
            return d->TransferDataFromWindow() ? wxID_OK : wxID_CANCEL;
        }
    };
    wxTEST_DIALOG(frame->GetMenuHandler()->Execute(kCatalogInfo), AnswerInfo());
    CatalogGetInfoText(catalog, info);
    EXPECT_EQ(info[0], 255);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(catalog->password + 1), catalog->password[0]), "secret");
    EXPECT_TRUE(CatalogIsModified(catalog));
}

}  // namespace
