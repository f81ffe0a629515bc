// The choosers: filters in both letter cases, the folder chooser's memory of the last folder,
// and our own chooser of files and folders together.
#include "foundation/ui/CFECFileDialog.h"
#include "foundation/ui/CFilesFoldersDlg.h"
#include "foundation/ui/CFolderBrowser.h"
#include "foundation/ui/FileDialogFilter.h"
#include "support/TempFolder.h"
#include "ui/WxTestSupport.h"

#include <wx/button.h>
#include <wx/dirctrl.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/textctrl.h>

#include <cstring>
#include <filesystem>
#include <fstream>

TEST(FileDialogFilterTest, AllFilesComeFirstThenEachCategoryWithExtensions) {
    std::string filter = BuildFileDialogFilter({{"Images", {"jpg", "png"}}, {"Empty", {}}, {"Movies", {"mov"}}});
    EXPECT_EQ("All Files (*.*)|*.*|Images|*.jpg; *.png|Movies|*.mov|", filter);
}

TEST(FileDialogFilterTest, GtkPatternsComeInBothLetterCases) {
    EXPECT_EQ("All Files (*.*)|*|Images|*.jpg;*.JPG;*.png;*.PNG|Movies|*.mov;*.MOV",
              FilterForGtk("All Files (*.*)|*.*|Images|*.jpg; *.png|Movies|*.Mov|"));
    EXPECT_EQ("Catalogs|*.lxc;*.LXC", FilterForGtk("Catalogs|*.LXC"));
}

namespace {

// Answers the folder chooser with a folder, as the user would, noting where it started.
CFolderBrowser::Chooser ChooseFolder(const wxString& path, wxString* started = nullptr) {
    return [path, started](wxWindow*, const wxString&, const wxString& start, wxString* chosen) {
        if (started) *started = start;
        *chosen = path;
        return int(wxID_OK);
    };
}

}  // namespace

class ChooserTest : public WxTest {};

TEST_F(ChooserTest, ABrowseWithoutAStartFolderStartsAtTheLastOneChosen) {
    TempFolder temp;
    const std::string a = temp.path() + "/first", b = temp.path() + "/second";
    std::filesystem::create_directories(a);
    std::filesystem::create_directories(b);
    CFolderBrowser::LastFolder().clear();
    CFolderBrowser browser;
    char path[kFolderPathCapacity] = {};
    browser.SetChooser(ChooseFolder(a));
    EXPECT_EQ(2, browser.Browse(frame_, path));
    EXPECT_EQ(a, std::string(path));
    EXPECT_EQ(a, CFolderBrowser::LastFolder());

    char again[kFolderPathCapacity] = {};
    wxString started;
    browser.SetChooser(ChooseFolder(b, &started));
    EXPECT_EQ(2, browser.Browse(frame_, again));
    EXPECT_EQ(a, started);
    EXPECT_EQ(b, CFolderBrowser::LastFolder());

    // Given a start folder, the last folder is neither used nor changed.
    char given[kFolderPathCapacity] = {};
    strcpy(given, a.c_str());
    browser.SetChooser(ChooseFolder(a));
    EXPECT_EQ(2, browser.Browse(frame_, given));
    EXPECT_EQ(b, CFolderBrowser::LastFolder());
    EXPECT_EQ(1, browser.Browse(frame_, nullptr));
}

TEST_F(ChooserTest, AFolderThatIsNotThereAnswersOne) {
    CFolderBrowser::LastFolder().clear();
    CFolderBrowser browser;
    char path[kFolderPathCapacity] = {};
    browser.SetChooser(ChooseFolder("/nonexistent/place/here"));
    EXPECT_EQ(1, browser.Browse(frame_, path));
    EXPECT_EQ("", std::string(path));
}

TEST_F(ChooserTest, ImportingTwoFoldersAndAFileAnswersThreeFullPaths) {
    TempFolder temp;
    const std::string a = temp.path() + "/alpha", b = temp.path() + "/beta", f = temp.path() + "/gamma.jpg";
    std::filesystem::create_directories(a);
    std::filesystem::create_directories(b);
    std::ofstream(f) << "x";
    auto* d = new CFilesFoldersDlg(wxString(), temp.path(), "Choose a media file or folder:", frame_);
    WhenModal([&] {
        wxArrayString chosen;
        chosen.Add(a);
        chosen.Add(b);
        chosen.Add(f);
        d->Tree()->SelectPaths(chosen);
        wxCommandEvent click(wxEVT_BUTTON, d->ImportButton()->GetId());
        d->ImportButton()->GetEventHandler()->ProcessEvent(click);
    });
    EXPECT_EQ(1, d->DoModal());
    wxArrayString paths = d->Paths();
    paths.Sort();
    ASSERT_EQ(3u, paths.size());
    EXPECT_EQ(a, paths[0]);
    EXPECT_EQ(b, paths[1]);
    EXPECT_EQ(f, paths[2]);
    d->Destroy();
}

TEST_F(ChooserTest, ATypedNameIsTakenInTheCurrentFolderAndCancelAnswersNothing) {
    TempFolder temp;
    const std::string a = temp.path() + "/alpha";
    std::filesystem::create_directories(a);
    auto* d = new CFilesFoldersDlg("Add", temp.path(), "Choose", frame_);
    EXPECT_EQ("Add", d->ImportButton()->GetLabel());
    WhenModal([&] {
        wxArrayString only;
        only.Add(a);
        d->Tree()->SelectPaths(only);
        d->NameField()->ChangeValue("new photo.jpg");
        wxCommandEvent click(wxEVT_BUTTON, d->ImportButton()->GetId());
        d->ImportButton()->GetEventHandler()->ProcessEvent(click);
    });
    EXPECT_EQ(1, d->DoModal());
    ASSERT_EQ(1u, d->Paths().size());
    EXPECT_EQ(a + "/new photo.jpg", d->Paths()[0]);
    WhenModal([&] { d->EndModal(wxID_CANCEL); });
    EXPECT_EQ(2, d->DoModal());
    EXPECT_TRUE(d->Paths().empty());
    d->Destroy();
}

TEST_F(ChooserTest, ASavedNameWithoutExtensionGetsTheDefaultOne) {
    CFECFileDialog save(false, "lxc", "", false, "Catalogs|*.lxc|", frame_);
    long seenStyle = 0;
    wxString seenWildcard;
    save.SetChooser([&](wxWindow*, const wxString&, const wxString&, const wxString&, const wxString& wildcard,
                        long style, wxArrayString* chosen) {
        seenStyle = style;
        seenWildcard = wildcard;
        chosen->Add("/tmp/photos");
        return int(wxID_OK);
    });
    EXPECT_EQ(1, save.DoModal());
    EXPECT_TRUE(seenStyle & wxFD_SAVE);
    EXPECT_EQ("Catalogs|*.lxc;*.LXC", seenWildcard);
    ASSERT_EQ(1u, save.Paths().size());
    EXPECT_EQ("/tmp/photos.lxc", save.Paths()[0]);
    CFECFileDialog cancelled(true, "lxc", "", true, "Catalogs|*.lxc|", frame_);
    cancelled.SetChooser([](wxWindow*, const wxString&, const wxString&, const wxString&, const wxString&, long,
                            wxArrayString*) { return int(wxID_CANCEL); });
    EXPECT_EQ(2, cancelled.DoModal());
    EXPECT_TRUE(cancelled.Paths().empty());
}
