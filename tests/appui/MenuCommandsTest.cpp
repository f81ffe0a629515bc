// The catalog window's commands as the menus run them: the enable and check rules over the
// window's states (selection, view mode, file and changes, playback bytes, side panel), labels
// assigned and shown through the commands and kept by the catalog, the label and Open With
// menus of the window, and the file actions (Copy, Move, Transfer, Batch Rename) reached from the
// menu with their conflicts answered and their failures reported by file.
#include "appui/AppTestSupport.h"

#include "app/helpers/HelperApplications.h"
#include "app/ui/CHelpersDlg.h"
#include "app/ui/CLabelMenu.h"
#include "app/ui/commands/CMenuHandler.h"
#include "app/ui/commands/CommandTable.h"
#include "app/ui/commands/FileActionCommands.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/tables/CatalogTables.h"
#include "catalog/tables/Labels.h"
#include "foundation/settings/PreferencesRec.h"
#include "foundation/ui/Clxsavechanges.h"
#include "foundation/ui/CommandIds.h"
#include "import/adding/AddFiles.h"
#include "output/fileactions/BatchRename.h"
#include "output/ui/fileactions/CXferToFolder.h"
#include "output/ui/fileactions/Clxbatchrn.h"
#include "support/ImageFixtures.h"
#include "window/ui/CGridContainer.h"
#include "window/ui/CGridView.h"
#include "window/ui/CSidePanel.h"
#include "window/view/ViewModes.h"
#include "window/view/ViewSelection.h"

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/testing.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// Answers a modal dialog of type T from a function, without showing it.
template <class T>
class Answer : public wxExpectModalBase<T, Answer<T>> {
public:
    explicit Answer(std::function<int(T*)> answer) : answer_(std::move(answer)) {}

protected:
    int OnInvoked(T* dialog) const override { return answer_(dialog); }

private:
    std::function<int(T*)> answer_;
};

// Answers file conflicts from a script and remembers what it was asked.
class ScriptedAsker : public FileConflictAsker {
public:
    explicit ScriptedAsker(std::vector<int> answers) : answers_(std::move(answers)) {}
    int Ask(const FileConflict& c) override {
        asked.push_back(c.destination.path);
        return next_ < answers_.size() ? answers_[next_++] : kConflictSkip;
    }
    std::vector<std::string> asked;

private:
    std::vector<int> answers_;
    std::size_t next_ = 0;
};

class MenuCommandsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(Start({}));
        frame_ = Frame(0);
        ASSERT_NE(nullptr, frame_);
        saved_ = GetFileActionChoosers();
    }
    void TearDown() override {
        if (frame_) {
            GetFileActionChoosers() = saved_;
            SetCommandConflictAsker(nullptr);
        }
        AppTest::TearDown();
    }

    // Writes pictures into a folder of the test and adds them to the window's catalog.
    void Catalogue(const std::vector<std::string>& names) {
        std::vector<FSSpec> specs;
        int seed = 0;
        for (const std::string& name : names) {
            const std::string path = source_ / name;
            std::ofstream(path, std::ios::binary) << fixtures::Jpeg(16 + 8 * seed, 16 + 4 * seed);
            ++seed;
            FSSpec spec;
            ASSERT_EQ(noErr, FSMakeFSSpecFromPath(path, &spec));
            specs.push_back(spec);
        }
        SInt32 added = 0;
        ASSERT_EQ(noErr, CatalogAddFiles(Catalog(), 0, specs.data(), long(specs.size()), nullptr, 0, &added));
        ASSERT_EQ(SInt32(names.size()), added);
        frame_->GetGridView()->RedrawAll();
    }
    void Select(std::initializer_list<SInt32> items) {
        ViewDeselectAll(View());
        bool first = true;
        for (SInt32 i : items) {
            ViewSelectItem(View(), i, first ? kSelectAlone : kSelectAdd, false);
            first = false;
        }
    }
    std::string ItemPath(SInt32 n) {
        FSSpec file;
        return CatalogFindItemPath(Catalog(), n, &file) == noErr ? file.path : std::string();
    }
    void ChooseFolder(const std::string& folder) {
        GetFileActionChoosers().folder = [folder](wxWindow*, const wxString&, const wxString&, wxString* chosen) {
            *chosen = wxString::FromUTF8(folder.c_str());
            return true;
        };
    }
    bool Enabled(int id) { return CommandIsEnabled(CommandContext{frame_, id}); }
    bool Checked(int id) {
        const CommandRow* row = FindCommandRow(id);
        return row && row->checked.IsSet() && row->checked(CommandContext{frame_, id});
    }
    bool Run(int id) { return frame_->GetMenuHandler()->Execute(id); }
    CatalogRec* Catalog() { return frame_->GetCatalog(); }
    ViewRec* View() { return frame_->GetViewRec(); }

    CMainFrame* frame_ = nullptr;
    FileActionChoosers saved_;
    TempFolder source_;
    TempFolder destination_;
};

TEST_F(MenuCommandsTest, TheEnableRulesFollowTheSelectionTheViewModeAndTheItems) {
    // Columns: no items; items and none selected; one selected; two selected; two selected in
    // Media view.
    struct Row {
        int id;
        std::array<bool, 5> enabled;
    };
    const Row rows[] = {
        {57632, {false, false, true, true, true}},   // Delete
        {57633, {false, false, true, true, true}},
        {32867, {false, false, true, true, true}},   // Move to Recycle Bin
        {32801, {false, false, true, true, true}},
        {32819, {false, false, false, true, true}},  // Batch Rename needs two
        {32866, {false, false, true, true, true}},   // Rebuild Item
        {32899, {false, false, true, true, true}},   // Move to Top
        {32900, {false, false, true, true, true}},   // Move to Bottom
        {32868, {false, false, true, true, true}},   // move files to a folder
        {32869, {false, false, true, true, true}},   // copy files to a folder
        {33391, {false, true, true, true, true}},    // Transfer: any item, shown or not
        {32874, {false, true, true, true, true}},    // Backup
        {32890, {false, false, true, true, true}},   // assign label 1
        {32898, {false, false, true, true, true}},   // assign label 9
        {32937, {false, false, true, true, true}},   // Remove Label
        {32938, {false, false, false, false, false}},// the heading
        {33001, {true, true, true, true, true}},     // Any Label
        {33012, {true, true, true, true, true}},     // show label 9
        {32864, {false, true, true, true, false}},   // Find Missing Items, not in Media view
        {33104, {false, false, false, false, true}}, // Actual Size only in Media view
        {33121, {false, true, true, true, true}},    // Play
        {32888, {false, false, true, true, true}},   // Open With Default Application
        {10017, {false, false, true, true, true}},
        {32807, {false, true, true, true, true}},
        {32802, {false, false, true, true, true}},
        {33266, {false, false, true, true, true}},
        {33015, {true, true, true, true, true}},     // Define Helper Applications
        {33144, {false, false, false, false, false}},// Move Again: nothing pending
        {33105, {false, false, true, true, true}},   // Flip Horizontal
        {33106, {false, false, true, true, true}},   // Flip Vertical
        {33107, {false, false, true, true, true}},   // Default Orientation
        {33117, {true, true, true, true, true}},     // Drop Folder
        {33281, {true, true, true, true, true}},     // Getting Started
    };
    for (int state = 0; state < 5; ++state) {
        if (state == 1) Catalogue({"a.jpg", "b.jpg", "c.jpg"});
        if (state == 2) Select({2});
        if (state == 3) Select({1, 3});
        if (state == 4) {
            frame_->SetViewMode(kViewMedia);
            Pump();
            Select({1, 3});
        }
        for (const Row& r : rows) EXPECT_EQ(r.enabled[std::size_t(state)], Enabled(r.id)) << "id " << r.id << " state " << state;
    }
}

TEST_F(MenuCommandsTest, ADisabledCommandIsRefusedEvenFromItsAccelerator) {
    Catalogue({"a.jpg", "b.jpg"});
    Select({1});
    // Batch Rename with one item: no dialog opens (the test would hang on it), nothing is renamed.
    EXPECT_FALSE(Run(32819));
    EXPECT_TRUE(fs::exists(source_ / "a.jpg"));
    Select({1, 2});
    LastRenameSpec() = RenameSpec();
    LastRenameSpec().baseText = "Trip";
    bool shown = false;
    wxTEST_DIALOG(EXPECT_TRUE(Run(32819)), Answer<Clxbatchrn>([&](Clxbatchrn*) {
                      shown = true;
                      return wxID_OK;
                  }));
    EXPECT_TRUE(shown);
    // The numbered names, zero padded to the highest number, on disk and in the catalog.
    EXPECT_EQ(source_ / "Trip1.jpg", ItemPath(1));
    EXPECT_EQ(source_ / "Trip2.jpg", ItemPath(2));
    EXPECT_TRUE(fs::exists(source_ / "Trip1.jpg"));
    EXPECT_FALSE(fs::exists(source_ / "a.jpg"));
}

TEST_F(MenuCommandsTest, RevertIsOfferedOnlyForAChangedCatalogWithAFileAndDiscardsTheChanges) {
    EXPECT_FALSE(Enabled(32825)) << "untitled";
    Catalogue({"a.jpg", "b.jpg"});
    EXPECT_FALSE(Enabled(32825)) << "changed but untitled";
    const std::string path = files_ / "Trip.lxc";
    ASSERT_EQ(noErr, frame_->SaveTo(path));
    EXPECT_FALSE(Enabled(32825)) << "saved";
    Select({1});
    ASSERT_TRUE(Run(32891));   // label 2: a change
    EXPECT_TRUE(Enabled(32825));
    // Declining keeps the change; accepting reads the file again.
    wxTEST_DIALOG(Run(32825), Answer<Clxsavechanges>([](Clxsavechanges*) { return int(wxID_CANCEL); }));
    EXPECT_EQ(2, ItemGetLabel(Catalog(), 1));
    wxTEST_DIALOG(Run(32825), Answer<Clxsavechanges>([](Clxsavechanges* box) {
                      EXPECT_NE(std::string::npos, box->Texts().message.find("discard all changes in catalog 'Trip'"));
                      return kAlertButton1;
                  }));
    EXPECT_EQ(0, ItemGetLabel(Catalog(), 1));
    EXPECT_FALSE(CatalogIsModified(Catalog()));
}

TEST_F(MenuCommandsTest, LabelsAssignedFromTheMenuFilterTheViewAndAreSavedWithTheCatalog) {
    Catalogue({"a.jpg", "b.jpg", "c.jpg"});
    Select({1, 3});
    ASSERT_TRUE(Run(32892));   // label 3
    EXPECT_EQ(3, ItemGetLabel(Catalog(), 1));
    EXPECT_EQ(0, ItemGetLabel(Catalog(), 2));
    EXPECT_EQ(3, ItemGetLabel(Catalog(), 3));
    EXPECT_EQ(2, CatalogGetLabelledCount(Catalog()));
    Select({2});
    ASSERT_TRUE(Run(32898));   // label 9
    struct Shown {
        int id;
        SInt32 count;
    };
    // A label that no item has leaves the view as it was.
    for (const Shown& s : {Shown{33006, 2}, Shown{33012, 1}, Shown{33004, 1}, Shown{33002, 1}, Shown{33001, 3}}) {
        ASSERT_TRUE(Run(s.id));
        EXPECT_EQ(s.count, ViewItemCount(View())) << s.id;
    }
    const std::string path = files_ / "Labels.lxc";
    ASSERT_EQ(noErr, frame_->SaveTo(path));
    ASSERT_TRUE(frame_->LoadCatalog(path));
    EXPECT_EQ(3, ItemGetLabel(Catalog(), 1));
    EXPECT_EQ(9, ItemGetLabel(Catalog(), 2));
    EXPECT_EQ(3, ItemGetLabel(Catalog(), 3));
    Select({1});
    ASSERT_TRUE(Run(32937));   // Remove Label
    EXPECT_EQ(0, ItemGetLabel(Catalog(), 1));
}

TEST_F(MenuCommandsTest, FlipAndDefaultOrientationTurnOnlyTheSelectedItems) {
    Catalogue({"a.jpg", "b.jpg"});
    auto orientation = [&](SInt32 n) {
        ItemRec r;
        EXPECT_EQ(noErr, ItemReadRecord(Catalog(), n, &r));
        return r.orientation;
    };
    Select({1});
    ASSERT_TRUE(Run(33105));
    EXPECT_EQ(0x4820, orientation(1));
    EXPECT_EQ(0, orientation(2));
    ASSERT_TRUE(Run(33106));
    EXPECT_EQ(0x4856, orientation(1)) << "mirrored both ways is a half turn";
    ASSERT_TRUE(Run(33107));
    EXPECT_EQ(0, orientation(1));
}

TEST_F(MenuCommandsTest, TheCheckRulesFollowTheStoredBytesAndTheShownPane) {
    PreferencesRec* p = GetPreferences();
    struct Case {
        UInt8 playlist, pause;
        bool playlistChecked;
        std::array<bool, 3> pauseChecked;
    };
    for (const Case& c : {Case{0, 2, true, {true, false, false}}, Case{1, 4, false, {false, true, false}},
                          Case{0, 8, true, {false, false, true}}}) {
        p->playlistMode = c.playlist;
        p->stillsPause = c.pause;
        EXPECT_EQ(c.playlistChecked, Checked(261));
        for (int i = 0; i < 3; ++i) EXPECT_EQ(c.pauseChecked[std::size_t(i)], Checked(263 + i)) << c.pause;
    }
    // The commands set the bytes.
    ASSERT_TRUE(Run(261));
    EXPECT_EQ(1, p->playlistMode);
    ASSERT_TRUE(Run(261));
    EXPECT_EQ(0, p->playlistMode);
    ASSERT_TRUE(Run(264));
    EXPECT_EQ(4, p->stillsPause);
    // The side panel: a pane shows; choosing it again hides the panel and the grid has the focus.
    CSidePanel* panel = frame_->GetGridContainer()->GetSidePanel();
    ASSERT_TRUE(Run(202));
    EXPECT_EQ(1, panel->GetShownPane());
    EXPECT_TRUE(Checked(202));
    EXPECT_FALSE(Checked(203));
    ASSERT_TRUE(Run(203));
    EXPECT_EQ(2, panel->GetShownPane());
    ASSERT_TRUE(Run(203));
    EXPECT_EQ(0, panel->GetShownPane());
    EXPECT_TRUE(Checked(201));
}

TEST_F(MenuCommandsTest, MoveToTopAndMoveAgainWorkInTheViewAndAcrossWindows) {
    Catalogue({"a.jpg", "b.jpg", "c.jpg"});
    Select({3});
    ASSERT_TRUE(Run(32899));
    EXPECT_EQ(source_ / "c.jpg", ItemPath(1));
    EXPECT_TRUE(Enabled(33144));
    // Move Again from another window adds that window's selected items at the position.
    CMainFrame* other = GetApp().NewFrame(true);
    ASSERT_NE(nullptr, other);
    FSSpec spec;
    const std::string extra = source_ / "z.jpg";
    std::ofstream(extra, std::ios::binary) << fixtures::Jpeg(40, 30);
    ASSERT_EQ(noErr, FSMakeFSSpecFromPath(extra, &spec));
    SInt32 added = 0;
    ASSERT_EQ(noErr, CatalogAddFiles(other->GetCatalog(), 0, &spec, 1, nullptr, 0, &added));
    ViewSelectAll(other->GetViewRec());
    ASSERT_TRUE(other->GetMenuHandler()->Execute(33144));
    ASSERT_EQ(4, Catalog()->itemCount);
    EXPECT_EQ(extra, ItemPath(1));
    EXPECT_EQ(source_ / "c.jpg", ItemPath(2));
    EXPECT_EQ(1, other->GetCatalog()->itemCount) << "the other window keeps its item";
    // A window that closed takes its pending move with it.
    ViewSelectAll(other->GetViewRec());
    ASSERT_TRUE(other->GetMenuHandler()->Execute(32900));
    EXPECT_TRUE(Enabled(33144));
    other->Destroy();
    Pump();
    EXPECT_FALSE(Enabled(33144));
}

TEST_F(MenuCommandsTest, CopyToFolderAsksAboutATakenNameAndReplacesWhenToldTo) {
    Catalogue({"a.jpg", "b.jpg", "c.jpg"});
    const std::string b = TempFolder::Read(source_ / "b.jpg");
    destination_.Write("b.jpg", "older file");
    ChooseFolder(destination_.path());
    ScriptedAsker asker({kConflictReplace});
    SetCommandConflictAsker(&asker);
    Select({1, 2, 3});
    ASSERT_TRUE(Run(32869));
    EXPECT_EQ((std::vector<std::string>{destination_ / "b.jpg"}), asker.asked);
    EXPECT_EQ(b, TempFolder::Read(destination_ / "b.jpg"));
    EXPECT_TRUE(fs::exists(destination_ / "a.jpg"));
    EXPECT_TRUE(fs::exists(destination_ / "c.jpg"));
    // A copy leaves the items where they were.
    EXPECT_EQ(source_ / "a.jpg", ItemPath(1));
}

TEST_F(MenuCommandsTest, MoveToFolderSkipsATakenNameAndThePointersFollowTheMovedFiles) {
    Catalogue({"a.jpg", "b.jpg", "c.jpg"});
    destination_.Write("b.jpg", "keep me");
    ChooseFolder(destination_.path());
    ScriptedAsker asker({kConflictSkip});
    SetCommandConflictAsker(&asker);
    Select({1, 2, 3});
    ASSERT_TRUE(Run(32868));
    EXPECT_EQ("keep me", TempFolder::Read(destination_ / "b.jpg"));
    EXPECT_EQ(destination_ / "a.jpg", ItemPath(1));
    EXPECT_EQ(source_ / "b.jpg", ItemPath(2));
    EXPECT_EQ(destination_ / "c.jpg", ItemPath(3));
    EXPECT_FALSE(fs::exists(source_ / "a.jpg"));
    EXPECT_TRUE(fs::exists(source_ / "b.jpg"));
}

TEST_F(MenuCommandsTest, TransferRunsWithTheDialogsModeAndAFailureNamesTheFile) {
    Catalogue({"a.jpg", "b.jpg"});
    GetPreferences()->transferMode = kTransferMove;
    ChooseFolder(destination_.path());
    // A folder stands where b's file should go: replacing it cannot work.
    fs::create_directories(destination_ / "b.jpg/inside");
    ScriptedAsker asker({kConflictReplace});
    SetCommandConflictAsker(&asker);
    Select({1, 2});
    std::string message;
    wxTEST_DIALOG(ASSERT_TRUE(Run(33391)),
                  Answer<CXferToFolder>([](CXferToFolder*) { return int(wxID_OK); }),
                  Answer<Clxsavechanges>([&](Clxsavechanges* box) {
                      message = box->Texts().message;
                      return kAlertButton1;
                  }));
    EXPECT_EQ(destination_ / "a.jpg", ItemPath(1));
    EXPECT_FALSE(fs::exists(source_ / "a.jpg"));
    EXPECT_EQ(source_ / "b.jpg", ItemPath(2)) << "the item stays with its file";
    EXPECT_TRUE(fs::exists(source_ / "b.jpg"));
    EXPECT_NE(std::string::npos, message.find("b.jpg")) << message;
    // A cancelled dialog does nothing.
    Select({2});
    wxTEST_DIALOG(Run(33391), Answer<CXferToFolder>([](CXferToFolder*) { return int(wxID_CANCEL); }));
    EXPECT_EQ(source_ / "b.jpg", ItemPath(2));
}

TEST_F(MenuCommandsTest, TheWindowsMenusShowTheLabelTableAndTheHelpers) {
    // The bar was made at start with the default names; a window made now shows the table's.
    Str255 name;
    name[0] = 3;
    std::memcpy(name + 1, "Sky", 3);
    LabelSetInfo(3, name, nullptr);
    Helpers().Clear();
    Helpers().AddHelper("/h/1.desktop", "/usr/bin/first", "First Helper");
    Helpers().AddHelper("/h/2.desktop", "/usr/bin/second", "Fish & Chips");
    CMainFrame* frame = GetApp().NewFrame(true);
    ASSERT_NE(nullptr, frame);
    wxMenuBar* bar = frame->GetMenuBar();
    wxMenuItem* blue = bar->FindItem(WxIdOf(33006));
    ASSERT_NE(nullptr, blue);
    EXPECT_EQ("Sky [3]", blue->GetItemLabelText());
    EXPECT_TRUE(blue->GetBitmap().IsOk());
    wxMenu* openWith = nullptr;
    ASSERT_NE(nullptr, bar->FindItem(WxIdOf(32888), &openWith));
    std::vector<int> ids;
    for (wxMenuItem* item : openWith->GetMenuItems()) ids.push_back(item->IsSeparator() ? -1 : CommandOf(item->GetId()));
    EXPECT_EQ((std::vector<int>{32888, -1, 10001, 10002, -1, 33015}), ids);
    EXPECT_EQ("Fish & Chips", bar->FindItem(10002)->GetItemLabelText());
    // A swatch is the label's colour.
    RGBColor red;
    LabelGetInfo(1, nullptr, &red);
    const wxImage swatch = LabelSwatch(1).ConvertToImage();
    EXPECT_EQ(red.red >> 8, swatch.GetRed(8, 8));
    EXPECT_EQ(red.green >> 8, swatch.GetGreen(8, 8));
    CLabelMenu menu;
    EXPECT_FALSE(menu.IsBuilt());
    EXPECT_TRUE(menu.Build(kLabelMenuAssign));
    EXPECT_TRUE(menu.IsBuilt());
    EXPECT_EQ(11u, menu.GetMenuItemCount());
    EXPECT_FALSE(menu.FindItemByPosition(1)->IsEnabled());
    EXPECT_TRUE(menu.FindItemByPosition(2)->GetBitmap().IsOk());
    LabelTableInit();
    Helpers().Clear();
}

TEST_F(MenuCommandsTest, AHelperWhoseProgramIsGoneIsRemovedOnceAndLeavesTheMenus) {
    Catalogue({"a.jpg", "b.jpg", "c.jpg"});
    Helpers().Clear();
    const std::string gone = CreateHelperFile(files_ / "nowhere/viewer", "Gone Viewer", files_.path());
    ASSERT_FALSE(gone.empty());
    Helpers().AddHelper(gone, files_ / "nowhere/viewer", "Gone Viewer");
    Helpers().AddHelper(files_ / "x.desktop", "/usr/bin/x", "Still Here");
    FillOpenWithMenus(frame_->GetMenuBar());
    Select({1, 2, 3});
    ASSERT_TRUE(Enabled(10001));
    ASSERT_TRUE(Run(10001));
    ASSERT_EQ(1u, Helpers().Size());
    EXPECT_EQ("Still Here", Helpers().At(0)->name);
    wxMenu* openWith = nullptr;
    ASSERT_NE(nullptr, frame_->GetMenuBar()->FindItem(WxIdOf(32888), &openWith));
    EXPECT_EQ("Still Here", frame_->GetMenuBar()->FindItem(10001)->GetItemLabelText());
    EXPECT_EQ(nullptr, frame_->GetMenuBar()->FindItem(10002));
    EXPECT_FALSE(Enabled(10002));
    Helpers().Clear();
}

TEST_F(MenuCommandsTest, TheHelpersDialogAddsAndRemovesHelpersAndTheirFiles) {
    Helpers().Clear();
    const std::string program = files_ / "tools/pic tool";
    fs::create_directories(files_ / "tools");
    std::ofstream(program) << "#!/bin/sh\nexit 0\n";
    chmod(program.c_str(), 0755);
    const std::string plain = files_.Write("tools/readme.txt", "not a program");
    std::vector<std::string> answers = {plain, program, program};
    CHelpersDlg::Chooser() = [&](wxWindow*, wxString* chosen) {
        *chosen = wxString::FromUTF8(answers.front().c_str());
        answers.erase(answers.begin());
        return true;
    };
    wxTEST_DIALOG(Run(33015), Answer<CHelpersDlg>([&](CHelpersDlg* d) {
                      d->InitDialog();
                      auto* add = dynamic_cast<wxButton*>(d->FindWindow(CHelpersDlg::kAdd));
                      auto* remove = dynamic_cast<wxButton*>(d->FindWindow(CHelpersDlg::kRemove));
                      auto* list = dynamic_cast<wxListCtrl*>(d->FindWindow(CHelpersDlg::kList));
                      EXPECT_TRUE(add && remove && list);
                      if (!add || !remove || !list) return int(wxID_OK);
                      EXPECT_FALSE(remove->IsEnabled());
                      for (int i = 0; i < 3; ++i) {
                          wxCommandEvent click(wxEVT_BUTTON, CHelpersDlg::kAdd);
                          click.SetEventObject(add);
                          add->GetEventHandler()->ProcessEvent(click);
                      }
                      // The text file was refused; the program came twice.
                      EXPECT_EQ(2, list->GetItemCount());
                      list->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
                      list->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
                      Pump();
                      EXPECT_TRUE(remove->IsEnabled());
                      wxCommandEvent click(wxEVT_BUTTON, CHelpersDlg::kRemove);
                      click.SetEventObject(remove);
                      remove->GetEventHandler()->ProcessEvent(click);
                      EXPECT_EQ(1, list->GetItemCount());
                      EXPECT_FALSE(remove->IsEnabled());
                      return int(wxID_OK);
                  }));
    // The last selected one went, with its file.
    ASSERT_EQ(1u, Helpers().Size());
    const std::string folder = HelperFolder();
    EXPECT_EQ(folder + "/pic tool.desktop", Helpers().At(0)->file);
    EXPECT_TRUE(fs::exists(folder + "/pic tool.desktop"));
    EXPECT_FALSE(fs::exists(folder + "/pic tool 2.desktop"));
    EXPECT_EQ((std::vector<std::string>{program, "/x/y.jpg"}), HelperArguments(*Helpers().At(0), "/x/y.jpg"));
    CHelpersDlg::Chooser() = nullptr;
    Helpers().Clear();
}

TEST_F(MenuCommandsTest, SixteenHelpersDisableAdd) {
    Helpers().Clear();
    for (int i = 0; i < 16; ++i) Helpers().AddHelper("/h/" + std::to_string(i) + ".desktop", "/usr/bin/p", "P" + std::to_string(i));
    wxTEST_DIALOG(Run(33015), Answer<CHelpersDlg>([&](CHelpersDlg* d) {
                      d->InitDialog();
                      auto* add = dynamic_cast<wxButton*>(d->FindWindow(CHelpersDlg::kAdd));
                      auto* list = dynamic_cast<wxListCtrl*>(d->FindWindow(CHelpersDlg::kList));
                      EXPECT_TRUE(add && list);
                      if (add) EXPECT_FALSE(add->IsEnabled());
                      if (list) EXPECT_EQ(16, list->GetItemCount());
                      return int(wxID_OK);
                  }));
    Helpers().Clear();
}

}  // namespace
