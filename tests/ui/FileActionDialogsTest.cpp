// The Batch Rename and Transfer to Folder dialogs: they open with the settings last used, show
// only the chosen rule's controls, and hand back what was chosen.
#include "ui/WxTestSupport.h"

#include "output/ui/fileactions/CXferToFolder.h"
#include "output/ui/fileactions/Clxbatchrn.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

namespace {

template <class T>
T* Control(wxWindow* dialog, int id) {
    return dynamic_cast<T*>(dialog->FindWindow(id));
}

}  // namespace

class FileActionDialogTest : public WxTest {};

TEST_F(FileActionDialogTest, BatchRenameOpensWithTheLastValuesAndShowsOnlyTheChosenRule) {
    RenameSpec spec;
    spec.mode = kRenameReplaceString;
    spec.searchText = "IMG";
    spec.replacement = "Photo";
    spec.caseSensitive = 0;
    spec.number = 7;
    auto* dialog = new Clxbatchrn(frame_, &spec, 3);
    WhenModal([] {
        auto* d = ShownTop<Clxbatchrn>();
        ASSERT_TRUE(d);
        auto* list = Control<wxChoice>(d, 1007);
        ASSERT_TRUE(list);
        EXPECT_EQ(4u, list->GetCount());
        EXPECT_EQ(wxString("Replace String"), list->GetStringSelection());
        EXPECT_EQ(wxString("IMG"), Control<wxTextCtrl>(d, 1010)->GetValue());
        EXPECT_FALSE(Control<wxCheckBox>(d, 1014)->GetValue());
        EXPECT_EQ(wxString("7"), Control<wxTextCtrl>(d, 1009)->GetValue());
        EXPECT_TRUE(Control<wxTextCtrl>(d, 1010)->IsShown());
        EXPECT_FALSE(Control<wxTextCtrl>(d, 1008)->IsShown());
        // Choosing Incremental shows its controls instead.
        list->SetSelection(0);
        wxCommandEvent chosen(wxEVT_CHOICE, list->GetId());
        chosen.SetInt(0);
        chosen.SetEventObject(list);
        list->GetEventHandler()->ProcessEvent(chosen);
        EXPECT_TRUE(Control<wxTextCtrl>(d, 1008)->IsShown());
        EXPECT_FALSE(Control<wxTextCtrl>(d, 1010)->IsShown());
        Control<wxTextCtrl>(d, 1008)->SetValue("Trip");
        Control<wxTextCtrl>(d, 1009)->SetValue("3000000000");
        Press(d, wxID_OK);
    });
    EXPECT_EQ(IDOK, dialog->DoModal());
    dialog->Destroy();
    EXPECT_EQ(spec.mode, kRenameIncremental);
    EXPECT_EQ(spec.baseText, "Trip");
    EXPECT_EQ(spec.number, 1000000000);
    EXPECT_EQ(spec.highestNumber, 1000000002);
    // The other rule's texts are kept for next time.
    EXPECT_EQ(spec.searchText, "IMG");
}

TEST_F(FileActionDialogTest, CancelledBatchRenameLeavesTheSettings) {
    RenameSpec spec;
    spec.baseText = "Keep";
    auto* dialog = new Clxbatchrn(frame_, &spec, 1);
    WhenModal([] {
        auto* d = ShownTop<Clxbatchrn>();
        ASSERT_TRUE(d);
        Control<wxTextCtrl>(d, 1008)->SetValue("Changed");
        Press(d, wxID_CANCEL);
    });
    EXPECT_EQ(IDCANCEL, dialog->DoModal());
    dialog->Destroy();
    EXPECT_EQ(spec.baseText, "Keep");
}

TEST_F(FileActionDialogTest, TransferShowsAndStoresTheModeInItsOwnOrder) {
    // The dialog lists move first, copy second, duplicate third.
    const std::pair<UInt8, int> shown[] = {{1, 1030}, {0, 1031}, {2, 1032}, {9, 1031}};
    for (auto [mode, button] : shown) {
        UInt8 m = mode;
        auto* dialog = new CXferToFolder(frame_, &m);
        WhenModal([button = button] {
            auto* d = ShownTop<CXferToFolder>();
            ASSERT_TRUE(d);
            EXPECT_TRUE(Control<wxRadioButton>(d, button)->GetValue()) << button;
            Control<wxRadioButton>(d, 1032)->SetValue(true);
            Press(d, wxID_OK);
        });
        EXPECT_EQ(IDOK, dialog->DoModal());
        dialog->Destroy();
        EXPECT_EQ(m, 2);
    }
}
