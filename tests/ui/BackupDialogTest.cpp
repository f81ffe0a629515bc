// The Backup dialog: it opens with the settings stored last, and "Backup" stores what was chosen
// and tells which destination that is.
#include "ui/WxTestSupport.h"

#include "output/ui/backup/Clxbackup.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>

namespace {

Clxbackup* ShownBackup() {
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* t = dynamic_cast<Clxbackup*>(w); t && t->IsShown()) return t;
    return nullptr;
}

std::vector<BackupDestination> Destinations() {
    std::vector<BackupDestination> d(3);
    d[0] = {BackupDestination::Kind::kVolume, "/media/u/STICK", "STICK (/media/u/STICK)"};
    d[1] = {BackupDestination::Kind::kDrive, "/dev/sr0", "ACME Writer (/dev/sr0)"};
    d[2] = {BackupDestination::Kind::kImage, "", "Disc image file"};
    return d;
}

}  // namespace

class BackupDialogTest : public WxTest {};

TEST_F(BackupDialogTest, WithNothingStoredTheBurningDriveIsChosenAndBackupStoresTheChoice) {
    auto* dialog = new Clxbackup(frame_, Destinations());
    WhenModal([] {
        auto* d = ShownBackup();
        ASSERT_TRUE(d);
        auto* list = dynamic_cast<wxChoice*>(d->FindWindow(1300));
        ASSERT_TRUE(list);
        EXPECT_EQ(3u, list->GetCount());
        EXPECT_EQ(1, list->GetSelection());
        EXPECT_TRUE(dynamic_cast<wxRadioButton*>(d->FindWindow(1301))->GetValue());
        EXPECT_FALSE(dynamic_cast<wxCheckBox*>(d->FindWindow(1304))->GetValue());
        list->SetSelection(2);
        dynamic_cast<wxRadioButton*>(d->FindWindow(1302))->SetValue(true);
        dynamic_cast<wxCheckBox*>(d->FindWindow(1304))->SetValue(true);
        dynamic_cast<wxCheckBox*>(d->FindWindow(1305))->SetValue(true);
        wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
        ok.SetEventObject(d->FindWindow(wxID_OK));
        d->FindWindow(wxID_OK)->GetEventHandler()->ProcessEvent(ok);
    });
    EXPECT_EQ(IDOK, dialog->DoModal());
    ASSERT_TRUE(dialog->Chosen());
    EXPECT_EQ(dialog->Chosen()->kind, BackupDestination::Kind::kImage);
    dialog->Destroy();
    BackupOptionsRec stored;
    ASSERT_TRUE(LoadBackupOptions(&stored));
    EXPECT_EQ(stored.destination, 3);
    EXPECT_EQ(stored.visibleOnly, 1);
    EXPECT_EQ(stored.keepFolderStructure, 2);
    EXPECT_EQ(stored.includeCatalog, 1);
    EXPECT_EQ(stored.resetPaths, 0);

    // The next time it opens as it was left.
    auto* again = new Clxbackup(frame_, Destinations());
    WhenModal([] {
        auto* d = ShownBackup();
        ASSERT_TRUE(d);
        EXPECT_EQ(2, dynamic_cast<wxChoice*>(d->FindWindow(1300))->GetSelection());
        EXPECT_TRUE(dynamic_cast<wxRadioButton*>(d->FindWindow(1302))->GetValue());
        EXPECT_TRUE(dynamic_cast<wxCheckBox*>(d->FindWindow(1304))->GetValue());
        d->EndModal(wxID_CANCEL);
    });
    EXPECT_EQ(IDCANCEL, again->DoModal());
    again->Destroy();
}
