// The reset-path and file-conflict dialog: its texts in each of its three situations, the rows
// of the two files, and the answer of each button and of Escape.
#include "ui/WxTestSupport.h"

#include "output/ui/fileactions/CResetPathsDlg.h"
#include "platform/MacDates.h"
#include "support/TempFolder.h"

#include <wx/button.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <cstring>

namespace {

wxString LabelOf(wxWindow* dialog, int id) {
    wxWindow* w = dialog->FindWindow(id);
    return w ? w->GetLabel() : wxString("<none>");
}

}  // namespace

class ResetPathsDialogTest : public WxTest {
protected:
    // Shows the dialog in the mode, lets check look at it, then does what answer does; answers
    // GetChoice.
    int Run(int mode, const std::function<void(CResetPathsDlg*)>& check, const std::function<void(CResetPathsDlg*)>& answer) {
        folder_.Write("mine.jpg", "x");
        folder_.Write("theirs.tif", "y");
        FSSpec source, destination;
        FSMakeFSSpecFromPath(folder_ / "mine.jpg", &source);
        FSMakeFSSpecFromPath(folder_ / "theirs.tif", &destination);
        auto* dialog = new CResetPathsDlg(frame_);
        dialog->SetFileInfo(mode, source, &record_, nullptr, destination, nullptr);
        WhenModal([&] {
            auto* shown = ShownTop<CResetPathsDlg>();
            ASSERT_TRUE(shown);
            check(shown);
            answer(shown);
        });
        dialog->DoModal();
        const int choice = dialog->GetChoice();
        dialog->Destroy();
        Pump();
        return choice;
    }

    TempFolder folder_;
    ItemRec record_{};
};

TEST_F(ResetPathsDialogTest, EachModeShowsItsOwnTexts) {
    struct Case {
        int mode;
        const char *caption, *sourceGroup, *destinationGroup, *b1, *b2, *all, *stopAll;
    };
    const Case cases[] = {
        {0, "Reset Path", "Original:", "Reset to:", "&Accept", "&Find Other", "Accept A&ll", "Ca&ncel All"},
        {1, "Replace File", "Copying original file:", "File in folder:", "&Replace", "&Skip", "Replace A&ll", "S&kip All"},
        {2, "Replace File", "Moving original file:", "File in folder:", "&Replace", "&Skip", "Replace A&ll", "S&kip All"},
    };
    for (const Case& c : cases) {
        Run(c.mode,
            [&](CResetPathsDlg* d) {
                EXPECT_EQ(wxString(c.caption), d->GetTitle());
                EXPECT_EQ(wxString(c.sourceGroup), LabelOf(d, 1088));
                EXPECT_EQ(wxString(c.destinationGroup), LabelOf(d, 1089));
                EXPECT_EQ(wxString(c.b1), LabelOf(d, wxID_OK));
                EXPECT_EQ(wxString(c.b2), LabelOf(d, wxID_CANCEL));
                EXPECT_EQ(wxString(c.all), LabelOf(d, 1086));
                EXPECT_EQ(wxString(c.stopAll), LabelOf(d, 1087));
            },
            [](CResetPathsDlg* d) { Press(d, wxID_CANCEL); });
    }
}

TEST_F(ResetPathsDialogTest, TheRowsShowBothFilesAndAnInvalidDateSaysSo) {
    record_.kind = 'JPEG';
    record_.created = UInt32(UnixToLocalMacSeconds(86400 * 365));
    record_.modified = 0;   // no date the system can show
    Run(1,
        [&](CResetPathsDlg* d) {
            EXPECT_EQ(wxString(folder_ / "mine.jpg"), LabelOf(d, 1094));
            EXPECT_EQ(wxString("JPEG"), LabelOf(d, 1095));
            EXPECT_EQ(wxString("Fri Jan  1 00:00:00 1971"), LabelOf(d, 1096));
            EXPECT_EQ(wxString("Invalid DateTime"), LabelOf(d, 1097));
            EXPECT_EQ(wxString(folder_ / "theirs.tif"), LabelOf(d, 1098));
            EXPECT_EQ(wxString("TIF "), LabelOf(d, 1099));
            EXPECT_NE(wxString("Invalid DateTime"), LabelOf(d, 1101));
        },
        [](CResetPathsDlg* d) { Press(d, wxID_OK); });
}

TEST_F(ResetPathsDialogTest, EveryButtonAndEscapeGiveTheirChoice) {
    const std::pair<int, int> presses[] = {{wxID_OK, 1}, {wxID_CANCEL, 2}, {1086, 3}, {1087, 4}};
    for (auto [button, choice] : presses)
        EXPECT_EQ(choice, Run(1, [](CResetPathsDlg*) {}, [button = button](CResetPathsDlg* d) { Press(d, button); }))
            << button;
    const int escaped = Run(
        0, [](CResetPathsDlg*) {},
        [](CResetPathsDlg* d) {
            wxKeyEvent key(wxEVT_CHAR_HOOK);
            key.m_keyCode = WXK_ESCAPE;
            key.SetEventObject(d);
            d->GetEventHandler()->ProcessEvent(key);
        });
    EXPECT_EQ(2, escaped);
}

#include "foundation/ui/Clxsavechanges.h"
#include "output/ui/fileactions/WxResetPathsPrompts.h"

TEST_F(ResetPathsDialogTest, TheMissingFilesAlertNamesTheCatalogAndCountAndAnswersItsButtons) {
    WxResetPathsPrompts prompts(frame_);
    for (int press : {1, 2, 3}) {
        wxString text;
        wxString labels[3];
        WhenModal([&] {
            for (wxWindow* w : wxTopLevelWindows)
                if (auto* box = dynamic_cast<Clxsavechanges*>(w); box && box->IsShown()) {
                    // The box wraps long messages into lines.
                    text = box->MessageStatic()->GetLabel();
                    text.Replace("\n", " ");
                    for (int i = 1; i <= 3; ++i) labels[i - 1] = box->Button(i)->GetLabel();
                    Press(box, box->Button(press)->GetId());
                    return;
                }
        });
        EXPECT_EQ(press, prompts.MissingFiles("Holiday.lxc", press == 1 ? 1 : 12));
        EXPECT_EQ(press == 1 ? wxString("Catalog 'Holiday.lxc' contains 1 catalog item not found in mounted volumes.")
                             : wxString("Catalog 'Holiday.lxc' contains 12 catalog items not found in mounted volumes."),
                  text) << text.ToStdString();
        EXPECT_EQ(wxString("&Search..."), labels[0]);
        EXPECT_EQ(wxString("Cancel"), labels[1]);
        EXPECT_EQ(wxString("&Remove"), labels[2]);
    }
}

#include "foundation/ui/CPictureStatic.h"
#include "media/kinds/KindEngine.h"
#include "media/kinds/KindTable.h"
#include "output/ui/fileactions/WxFileConflictAsker.h"
#include "support/ImageFixtures.h"

// The program's asker shows the dialog for any file in the way, a picture of it only when the
// program can read one, and never answers for the user.
TEST_F(ResetPathsDialogTest, TheAskerShowsTheDialogForEveryFileAndAPictureWhereOneCanBeRead) {
    ASSERT_EQ(KindEngineInit(nullptr, 0, kEditionCodeStandard, kFormatLevelStandard), noErr);
    folder_.Write("theirs.jpg", fixtures::Jpeg(64, 48));
    folder_.Write("notes.txt", "not a picture");
    WxFileConflictAsker asker(frame_);
    struct Case {
        const char* file;
        int press;
        bool picture;
    };
    const Case cases[] = {{"theirs.jpg", wxID_OK, true}, {"notes.txt", 1087, false}};
    for (const Case& c : cases) {
        FileConflict conflict;
        conflict.variant = kConflictMove;
        FSMakeFSSpecFromPath(folder_ / "mine.jpg", &conflict.source);
        FSMakeFSSpecFromPath(folder_ / c.file, &conflict.destination);
        bool shown = false, hasPicture = false;
        wxString title;
        WhenModal([&] {
            auto* d = ShownTop<CResetPathsDlg>();
            ASSERT_TRUE(d);
            shown = true;
            title = d->GetTitle();
            auto* picture = dynamic_cast<CPictureStatic*>(d->FindWindow(1103));
            hasPicture = picture && picture->Picture();
            Press(d, c.press);
        });
        const int answer = asker.Ask(conflict);
        EXPECT_TRUE(shown) << c.file;
        EXPECT_EQ(wxString("Replace File"), title);
        EXPECT_EQ(c.picture, hasPicture) << c.file;
        EXPECT_EQ(c.press == wxID_OK ? kConflictReplace : kConflictSkipAll, answer) << c.file;
    }
    KindEngineShutdown();
    KindTableClear();
}
