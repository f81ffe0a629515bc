// The Show Duplicates dialog: "Match selected items" only with a current item (otherwise shown
// unticked and its stored value kept), the other options and the tolerance read back, and the
// command remembering the choices in the preferences.
#include "appui/AppTestSupport.h"

#include "app/DuplicateSettings.h"
#include "app/ui/commands/CMenuHandler.h"
#include "app/ui/dialogs/CDuplicatesDialog.h"

#include <wx/checkbox.h>
#include <wx/slider.h>
#include <wx/testing.h>

namespace {

class DuplicatesDialogTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(Start({CopyCatalog("three-items.lxc", "A.lxc")}));
    }
};

TEST_F(DuplicatesDialogTest, WithoutACurrentItemMatchSelectedIsOffAndItsValueIsKept) {
    for (bool current : {false, true}) {
        DuplicateSettings s;
        s.matchSelected = true;
        s.tolerance = 1;
        CDuplicatesDialog dialog(&s, current, Frame(0));
        dialog.InitDialog();
        auto* selected = dynamic_cast<wxCheckBox*>(dialog.FindWindow(1133));
        auto* slider = dynamic_cast<wxSlider*>(dialog.FindWindow(1130));
        ASSERT_TRUE(selected && slider);
        EXPECT_EQ(selected->IsEnabled(), current);
        EXPECT_EQ(selected->GetValue(), current);
        EXPECT_EQ(slider->GetMax(), 2);
        EXPECT_EQ(slider->GetValue(), 1);
        selected->SetValue(false);
        slider->SetValue(2);
        dynamic_cast<wxCheckBox*>(dialog.FindWindow(1132))->SetValue(true);
        ASSERT_TRUE(dialog.TransferDataFromWindow());
        EXPECT_EQ(s.matchSelected, !current) << "kept without a current item, read with one";
        EXPECT_EQ(s.tolerance, 2u);
        EXPECT_TRUE(s.similarNames);
        dialog.Destroy();
    }
}

TEST_F(DuplicatesDialogTest, TheCommandRemembersTheChoicesInThePreferences) {
    class AnswerSearch : public wxExpectModalBase<CDuplicatesDialog> {
    protected:
        int OnInvoked(CDuplicatesDialog* d) const override {
            d->InitDialog();
            dynamic_cast<wxSlider*>(d->FindWindow(1130))->SetValue(2);
            dynamic_cast<wxCheckBox*>(d->FindWindow(1121))->SetValue(true);
            return d->TransferDataFromWindow() ? wxID_OK : wxID_CANCEL;
        }
    };
    wxTEST_DIALOG(Frame(0)->GetMenuHandler()->Execute(32861), AnswerSearch());
    const DuplicateSettings s = DuplicateSettingsFrom(*GetPreferences());
    EXPECT_EQ(s.tolerance, 2u);
    EXPECT_TRUE(s.ignoreBrightness);
}

}  // namespace
