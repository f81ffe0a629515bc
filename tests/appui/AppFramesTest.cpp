// The program's catalog windows in-process: start-up with a catalog, where opened catalogs go,
// closing with and without saving (a failing save included), the command table's second look
// at a command's rule, the Window and Open Recent menus, and what a frame leaves behind.
#include "appui/AppTestSupport.h"

#include "app/ShellSettings.h"
#include "app/ui/commands/CMenuHandler.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/ui/Clxsavechanges.h"
#include "foundation/ui/CommandIds.h"
#include "window/ui/CGridView.h"
#include "window/view/ViewSelection.h"

#include <sys/stat.h>
#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/testing.h>

// Answers the alert box with a button's end code, without showing it.
template <>
class wxExpectModal<Clxsavechanges> : public wxExpectModalBase<Clxsavechanges> {
public:
    explicit wxExpectModal(int code) : code_(code) {}

protected:
    int OnInvoked(Clxsavechanges*) const override { return code_; }

private:
    int code_;
};

namespace {

constexpr int kSave = 57603, kSelectAll = 32854, kPrint = 57607, kDeselectAll = 32855, kClose = 57602;

TEST_F(AppTest, StartUpShowsTheCatalogNamedOnTheCommandLineInItsWindow) {
    const std::string trip = CopyCatalog("three-items.lxc", "Trip.lxc");
    ASSERT_TRUE(Start({trip}));
    ASSERT_EQ(1u, FrameCount());
    CMainFrame* frame = Frame(0);
    EXPECT_EQ("Trip - Lyrex Ondrel", frame->GetTitle());
    EXPECT_TRUE(frame->IsShown());
    ASSERT_NE(nullptr, frame->GetCatalog());
    EXPECT_EQ(3, frame->GetCatalog()->itemCount);
    EXPECT_EQ(frame, GetApp().GetMainWnd());
    ASSERT_EQ(1u, GetApp().Recent().Size());
    EXPECT_EQ(trip, *GetApp().Recent().At(0));
}

TEST_F(AppTest, AMissingCatalogOnTheCommandLineLeavesTheFirstFrameUntitled) {
    ASSERT_TRUE(Start({files_ / "gone.lxc"}));
    ASSERT_EQ(1u, FrameCount());
    EXPECT_TRUE(Frame(0)->GetCatalog()->fileSpec.path.empty());
    EXPECT_EQ(0u, GetApp().Recent().Size());
}

TEST_F(AppTest, ACatalogGoesToItsOwnFrameTheUntouchedFrameOrANewOne) {
    const std::string a = CopyCatalog("three-items.lxc", "A.lxc");
    const std::string b = CopyCatalog("empty.lxc", "B.lxc");
    ASSERT_TRUE(Start({}));
    CMainFrame* first = Frame(0);
    ASSERT_TRUE(GetApp().OpenCatalogInFrame(first, a));
    EXPECT_EQ(1u, FrameCount()) << "the untouched untitled frame takes it";
    EXPECT_EQ(a, first->GetCatalog()->fileSpec.path);
    ASSERT_TRUE(GetApp().OpenCatalogInFrame(first, b));
    ASSERT_EQ(2u, FrameCount()) << "a frame showing a catalog gets a new frame beside it";
    EXPECT_EQ(b, Frame(1)->GetCatalog()->fileSpec.path);
    ASSERT_TRUE(GetApp().OpenCatalogInFrame(Frame(1), a));
    EXPECT_EQ(2u, FrameCount()) << "an open catalog is brought forward, not opened twice";
    EXPECT_EQ(first, GetApp().GetMainWnd());
    EXPECT_EQ(a, GetApp().State().lastCatalog);
    // A path differing only in letter case is another file: here one that does not exist.
    EXPECT_TRUE(GetApp().OpenCatalogInFrame(first, files_ / "a.lxc"));
    EXPECT_EQ(2u, FrameCount());
}

TEST_F(AppTest, ACatalogThatCannotBeLoadedAnswersFalseAndItsNewFrameGoes) {
    const std::string a = CopyCatalog("three-items.lxc", "A.lxc");
    const std::string broken = files_.Write("Broken.lxc", "this is not a catalog file at all, only text");
    ASSERT_TRUE(Start({a}));
    bool answer = true;
    wxTEST_DIALOG(answer = GetApp().OpenCatalogInFrame(Frame(0), broken),
                  wxExpectModal<Clxsavechanges>(kAlertButton1).Describe("the read error"));
    Pump();
    EXPECT_FALSE(answer);
    EXPECT_EQ(1u, FrameCount());
    EXPECT_EQ(a, Frame(0)->GetCatalog()->fileSpec.path);
}

TEST_F(AppTest, ARuleIsCheckedAgainWhenTheCommandArrivesNotOnlyWhenTheMenuShowed) {
    const std::string a = CopyCatalog("three-items.lxc", "A.lxc");
    ASSERT_TRUE(Start({a}));
    CMainFrame* frame = Frame(0);
    CMenuHandler* handler = frame->GetMenuHandler();
    ViewRec* view = frame->GetViewRec();
    // Deselect All with nothing selected is refused, however it arrives.
    EXPECT_FALSE(handler->Execute(kDeselectAll));
    ASSERT_TRUE(handler->Execute(kSelectAll));
    EXPECT_EQ(3, ViewCountSelected(view));
    // An accelerator's event for a command whose state changed since the menu was drawn.
    ViewDeselectAll(view);
    wxCommandEvent key(wxEVT_MENU, WxIdOf(kDeselectAll));
    frame->GetEventHandler()->ProcessEvent(key);
    EXPECT_EQ(0, ViewCountSelected(view));
    // Save of an unmodified catalog that has its file: refused, the file stays untouched.
    struct stat before, after;
    ASSERT_EQ(0, stat(a.c_str(), &before));
    wxCommandEvent save(wxEVT_MENU, WxIdOf(kSave));
    frame->GetEventHandler()->ProcessEvent(save);
    ASSERT_EQ(0, stat(a.c_str(), &after));
    EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
    EXPECT_EQ(before.st_ino, after.st_ino);
    // Print is in the menus and enabled while the catalog shows items.
    EXPECT_NE(nullptr, frame->GetMenuBar()->FindItem(WxIdOf(kPrint)));
    wxUpdateUIEvent update(WxIdOf(kPrint));
    frame->GetEventHandler()->ProcessEvent(update);
    EXPECT_TRUE(update.GetEnabled());
}

TEST_F(AppTest, SaveAnswersTheQuestionAndClosesOnlyWhenTheFileWasWritten) {
    const std::string a = CopyCatalog("three-items.lxc", "A.lxc");
    const std::string b = CopyCatalog("empty.lxc", "B.lxc");
    ASSERT_TRUE(Start({a}));
    ASSERT_TRUE(GetApp().OpenCatalogInFrame(Frame(0), b));
    ASSERT_EQ(2u, FrameCount());
    CMainFrame* frame = Frame(0);
    CatalogSetModified(frame->GetCatalog());
    // The catalog's folder replaced by a file: the save cannot write, the frame must stay.
    const std::string folder = files_ / "gone";
    std::filesystem::create_directories(folder);
    ASSERT_EQ(noErr, frame->SaveTo(folder + "/A2.lxc", false));
    std::filesystem::remove_all(folder);
    files_.Write("gone", "a file where the folder was");
    CatalogSetModified(frame->GetCatalog());
    int result = 0;
    wxTEST_DIALOG(result = frame->CloseFrame(kCloseAsking),
                  wxExpectModal<Clxsavechanges>(kAlertButton1).Describe("save changes?"),
                  wxExpectModal<Clxsavechanges>(kAlertButton1).Describe("the save error"),
                  wxExpectModal<wxFileDialog>(wxString(), wxID_CANCEL).Describe("save as, cancelled"));
    EXPECT_EQ(2, result) << "a failed save keeps the frame";
    EXPECT_TRUE(CatalogIsModified(frame->GetCatalog()));
    // Don't Save closes.
    wxTEST_DIALOG(result = frame->CloseFrame(kCloseAsking),
                  wxExpectModal<Clxsavechanges>(kAlertButton3).Describe("save changes?"));
    EXPECT_EQ(1, result);
}

TEST_F(AppTest, AModifiedCatalogWithAFileButNoItemsIsAskedAbout) {
    const std::string e = CopyCatalog("empty.lxc", "Empty.lxc");
    ASSERT_TRUE(Start({e}));
    CMainFrame* frame = Frame(0);
    ASSERT_EQ(0, frame->GetCatalog()->itemCount);
    CatalogSetModified(frame->GetCatalog());
    int result = 0;
    wxTEST_DIALOG(result = frame->CloseFrame(kCloseAsking),
                  wxExpectModal<Clxsavechanges>(wxID_CANCEL).Describe("save changes?"));
    EXPECT_EQ(2, result);
}

TEST_F(AppTest, FileCloseOnTheOnlyFrameLeavesItOpenWithANewCatalogAndRemovesNothingElse) {
    const std::string a = CopyCatalog("three-items.lxc", "A.lxc");
    ASSERT_TRUE(Start({a}));
    CMainFrame* frame = Frame(0);
    ASSERT_TRUE(frame->GetMenuHandler()->Execute(kClose));
    Pump();
    ASSERT_EQ(1u, FrameCount());
    EXPECT_EQ(frame, Frame(0));
    EXPECT_TRUE(frame->GetCatalog()->fileSpec.path.empty());
    EXPECT_EQ(a, GetApp().State().lastCatalog);
}

TEST_F(AppTest, AClosedFrameTakesItsScratchFolderWithIt) {
    ASSERT_TRUE(Start({}));
    CMainFrame* second = GetApp().NewFrame(true);
    ASSERT_EQ(2u, FrameCount());
    const std::string scratch = second->ScratchFolder();
    EXPECT_EQ(0u, scratch.rfind(scratch_.path(), 0)) << "inside the scratch folder";
    EXPECT_TRUE(std::filesystem::is_directory(scratch));
    second->Close();
    Pump();
    EXPECT_EQ(1u, FrameCount());
    EXPECT_FALSE(std::filesystem::exists(scratch));
}

TEST_F(AppTest, TheWindowMenuListsTheFramesAndChecksItsOwn) {
    ASSERT_TRUE(Start({}));
    CMainFrame* second = GetApp().NewFrame(true);
    Pump();
    second->BuildWindowMenu();
    wxMenuItem* first = second->GetMenuBar()->FindItem(WxIdOf(kFirstWindowCommand));
    wxMenuItem* own = second->GetMenuBar()->FindItem(WxIdOf(kFirstWindowCommand + 1));
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, own);
    EXPECT_FALSE(first->IsChecked());
    EXPECT_TRUE(own->IsChecked());
    EXPECT_EQ(nullptr, second->GetMenuBar()->FindItem(WxIdOf(kFirstWindowCommand + 2)));
}

TEST_F(AppTest, OpenRecentListsTheCatalogsThatStillExistWithClearMenuLast) {
    const std::string a = CopyCatalog("three-items.lxc", "A.lxc");
    const std::string b = CopyCatalog("empty.lxc", "B.lxc");
    ASSERT_TRUE(Start({}));
    GetApp().AddRecentFile(a);
    GetApp().AddRecentFile(files_ / "missing.lxc");
    GetApp().AddRecentFile(b);
    GetApp().BuildRecentMenu();
    wxMenu* recent = Frame(0)->GetMenuBar()->GetMenu(0)->FindItemByPosition(2)->GetSubMenu();
    ASSERT_NE(nullptr, recent);
    ASSERT_EQ(6u, recent->GetMenuItemCount());  // finder, -, A, B, -, Clear Menu
    EXPECT_EQ(WxIdOf(33178), recent->FindItemByPosition(0)->GetId());
    EXPECT_EQ("A", recent->FindItemByPosition(2)->GetItemLabelText());
    EXPECT_EQ(WxIdOf(kFirstRecentCommand + 1), recent->FindItemByPosition(3)->GetId());
    EXPECT_EQ(WxIdOf(33014), recent->FindItemByPosition(5)->GetId());
    EXPECT_EQ(2u, GetApp().Recent().Size());
    ASSERT_TRUE(Frame(0)->GetMenuHandler()->Execute(33014));
    EXPECT_EQ(1u, recent->GetMenuItemCount());
}

TEST_F(AppTest, ExitClosesEveryFrameAndACancelledQuestionStopsIt) {
    const std::string a = CopyCatalog("three-items.lxc", "A.lxc");
    const std::string b = CopyCatalog("empty.lxc", "B.lxc");
    ASSERT_TRUE(Start({a}));
    ASSERT_TRUE(GetApp().OpenCatalogInFrame(Frame(0), b));
    ASSERT_EQ(2u, FrameCount());
    CatalogSetModified(Frame(0)->GetCatalog());
    bool allClosed = true;
    wxTEST_DIALOG(allClosed = GetApp().CloseAllFrames(),
                  wxExpectModal<Clxsavechanges>(wxID_CANCEL).Describe("save changes to A?"));
    Pump();
    EXPECT_FALSE(allClosed);
    ASSERT_EQ(1u, FrameCount()) << "B closed first, A stayed";
    EXPECT_EQ(a, Frame(0)->GetCatalog()->fileSpec.path);
    wxTEST_DIALOG(allClosed = GetApp().CloseAllFrames(),
                  wxExpectModal<Clxsavechanges>(kAlertButton1).Describe("save changes to A?"));
    Pump();
    EXPECT_TRUE(allClosed);
    EXPECT_EQ(0u, FrameCount());
}

TEST_F(AppTest, TheImportFolderIsRememberedWhole) {
    const std::string deep = "/" + std::string(120, 'a') + "/" + std::string(120, 'b') + "/" + std::string(60, 'c');
    ASSERT_TRUE(SaveImportDirectory(deep));
    EXPECT_EQ(deep, LoadImportDirectory());
}

}  // namespace

namespace {

TEST_F(AppTest, MediaPathsOfAHandOverLandInTheActiveCatalogAndOneNamesAnEmptyCatalog) {
    ASSERT_TRUE(Start({}));
    const std::string folder = files_ / "Summer";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(LYREX_SHARED_FIXTURES "/orientation/landscape_1.jpg", folder + "/one.jpg");
    CMainFrame* frame = GetApp().ProcessForeignCommandLine({folder});
    ASSERT_EQ(Frame(0), frame);
    EXPECT_EQ(1, frame->GetCatalog()->itemCount);
    EXPECT_EQ("Summer - Lyrex Ondrel", frame->GetTitle()) << "the untouched catalog takes the folder's name";
    // With items already there, two more paths are added in their order and the name stays.
    const std::string b = files_.Write("b.jpg", ""), c = files_.Write("c.jpg", "");
    std::filesystem::copy_file(LYREX_SHARED_FIXTURES "/orientation/landscape_2.jpg", b,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(LYREX_SHARED_FIXTURES "/orientation/landscape_3.jpg", c,
                               std::filesystem::copy_options::overwrite_existing);
    GetApp().ProcessForeignCommandLine({b, c});
    EXPECT_EQ(3, frame->GetCatalog()->itemCount);
    EXPECT_EQ("Summer - Lyrex Ondrel", frame->GetTitle());
    EXPECT_EQ(1u, FrameCount());
}

TEST_F(AppTest, AHandedOverCatalogOpensWhereItBelongs) {
    const std::string a = CopyCatalog("three-items.lxc", "A.lxc");
    ASSERT_TRUE(Start({}));
    GetApp().ProcessForeignCommandLine({a, "/ignored.jpg"});
    ASSERT_EQ(1u, FrameCount());
    EXPECT_EQ(a, Frame(0)->GetCatalog()->fileSpec.path);
    GetApp().ProcessForeignCommandLine({});  // a start without arguments only brings it forward
    EXPECT_EQ(1u, FrameCount());
    EXPECT_EQ(3, Frame(0)->GetCatalog()->itemCount);
}

}  // namespace

#include "catalog/items/ItemRecords.h"

namespace {

TEST_F(AppTest, TheSortMenuListsHeadingsAndFieldsAndInvertSortOrderReversesTheItems) {
    const std::string a = CopyCatalog("three-items.lxc", "A.lxc");
    ASSERT_TRUE(Start({a}));
    CMainFrame* frame = Frame(0);
    wxMenu* sort = nullptr;
    ASSERT_NE(nullptr, frame->GetMenuBar()->FindItem(WxIdOf(33199), &sort));
    ASSERT_EQ(14u, sort->GetMenuItemCount());
    EXPECT_EQ("View:", sort->FindItemByPosition(0)->GetItemLabelText());
    EXPECT_FALSE(sort->FindItemByPosition(0)->IsEnabled());
    EXPECT_EQ(0u, frame->SortKeyOf(33199));
    EXPECT_EQ(8000u, frame->SortKeyOf(33200));
    EXPECT_FALSE(frame->GetMenuHandler()->Execute(33199)) << "a heading does nothing";
    CatalogRec* catalog = frame->GetCatalog();
    const UInt32 firstBefore = ItemGetId(catalog, 1), lastBefore = ItemGetId(catalog, 3);
    ASSERT_TRUE(frame->GetMenuHandler()->Execute(32920));
    EXPECT_EQ(lastBefore, ItemGetId(catalog, 1));
    EXPECT_EQ(firstBefore, ItemGetId(catalog, 3));
}

}  // namespace
