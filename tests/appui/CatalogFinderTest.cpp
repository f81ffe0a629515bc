// The Catalog Finder over a folder tree made by the test: a search in the background that
// lists the catalogs (not the hidden ones, and once despite a symbolic link loop), the chosen
// catalog's details and "Open", a catalog deleted since it was listed, and the kept result,
// shown again next time and left alone by a dialog closed without a search.
#include "appui/AppTestSupport.h"

#include "app/CatalogSearch.h"
#include "app/ui/dialogs/CFindCatalogDialog.h"

#include <unistd.h>

#include <wx/listctrl.h>
#include <wx/stattext.h>

#include <filesystem>

namespace {

class CatalogFinderTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(Start({}));
        root_ = files_ / "disk";
        std::filesystem::create_directories(root_ + "/photos/.cache");
        std::filesystem::copy_file(LYREX_TEST_FIXTURES "/catalog/three-items.lxc", root_ + "/photos/Trips.lxc");
        std::filesystem::copy_file(LYREX_TEST_FIXTURES "/catalog/empty.lxc", root_ + "/Empty.lxc");
        std::filesystem::copy_file(LYREX_TEST_FIXTURES "/catalog/empty.lxc", root_ + "/photos/.cache/Hidden.lxc");
        ASSERT_EQ(symlink(root_.c_str(), (root_ + "/photos/loop").c_str()), 0);
    }
    std::vector<std::string> Names(CFindCatalogDialog& d) {
        std::vector<std::string> out;
        for (long i = 0; i < d.List()->GetItemCount(); ++i) out.push_back(d.List()->GetItemText(i).ToStdString());
        return out;
    }
    static wxString Label(wxDialog& d, int id) { return dynamic_cast<wxStaticText*>(d.FindWindow(id))->GetLabel(); }
    std::string root_;
};

TEST_F(CatalogFinderTest, ASearchListsTheCatalogsAndTheChosenOneShowsItsDetails) {
    auto* d = new CFindCatalogDialog(Frame(0));
    d->InitDialog();
    d->StartSearch(root_);
    EXPECT_TRUE(d->Searching());
    ASSERT_TRUE(PumpUntil([&] { return d->DrainFound(); }));
    EXPECT_EQ(Names(*d), (std::vector<std::string>{"Empty.lxc", "Trips.lxc"}));
    EXPECT_FALSE(d->FindWindow(wxID_OK)->IsEnabled());

    d->ShowRow(1);
    EXPECT_TRUE(d->FindWindow(wxID_OK)->IsEnabled());
    EXPECT_EQ(d->Path(), root_ + "/photos/Trips.lxc");
    EXPECT_TRUE(Label(*d, 1437).StartsWith("Items in catalog: 3\nLast saved on: ")) << Label(*d, 1437);
    EXPECT_EQ(Label(*d, 1438), root_ + "/photos/Trips.lxc");

    // Deleted since it was listed: nothing to show, nothing to open.
    std::filesystem::remove(root_ + "/Empty.lxc");
    d->ShowRow(0);
    EXPECT_EQ(Label(*d, 1437), "--");
    EXPECT_EQ(Label(*d, 1439), "--");
    EXPECT_FALSE(d->FindWindow(wxID_OK)->IsEnabled());
    EXPECT_TRUE(d->Path().empty());
    d->Finish(wxID_CANCEL);
    d->Destroy();
    Pump();

    // The result was kept: the next dialog shows it without searching.
    CatalogSearchResult saved;
    ASSERT_TRUE(LoadCatalogSearchResult(&saved));
    EXPECT_EQ(saved.volume, root_);
    auto* again = new CFindCatalogDialog(Frame(0));
    again->InitDialog();
    EXPECT_FALSE(again->Searching());
    EXPECT_EQ(Names(*again), (std::vector<std::string>{"Empty.lxc", "Trips.lxc"}));
    again->Destroy();
    Pump();
}

TEST_F(CatalogFinderTest, ClosingWithoutASearchLeavesTheKeptResultAndAStopEndsASearch) {
    CatalogSearchResult kept;
    kept.volume = "/";
    kept.rows = {{"Old.lxc", "/nowhere/Old.lxc"}};
    SaveCatalogSearchResult(kept);
    auto* d = new CFindCatalogDialog(Frame(0));
    d->InitDialog();
    d->StartSearch("/");
    d->StopSearch();  // at once: the walk of the whole disk ends early
    EXPECT_FALSE(d->Searching());
    d->Destroy();
    Pump();
    CatalogSearchResult after;
    ASSERT_TRUE(LoadCatalogSearchResult(&after));
    EXPECT_EQ(after.rows.size(), 1u) << "a dialog closed without Open or Cancel keeps nothing new";
    auto* e = new CFindCatalogDialog(Frame(0));
    e->InitDialog();
    e->Finish(wxID_CANCEL);
    e->Destroy();
    Pump();
    ASSERT_TRUE(LoadCatalogSearchResult(&after));
    ASSERT_EQ(after.rows.size(), 1u);
    EXPECT_EQ(after.rows[0].path, "/nowhere/Old.lxc");
}

}  // namespace
