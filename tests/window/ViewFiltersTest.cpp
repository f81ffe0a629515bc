// Shown items: organize filters (set entries and folders) with their history, labels, Show and
// Hide, sorting, and a folder deleted while the history still names it, on real catalogs.
#include "ViewTestSupport.h"

#include "catalog/organize/OrganizeLists.h"
#include "catalog/sort/SortEngine.h"
#include "import/adding/AddFiles.h"
#include "catalog/foldertree/FolderTree.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewOperations.h"

#include <filesystem>

using Ids = std::vector<UInt32>;

class FilterTest : public ViewTest {
protected:
    // Items 1..12; sets "even" (2, 4, .. 12) and "low" (1..4) in the Catalog Sets list.
    void SetUp() override {
        ViewTest::SetUp();
        AddItems(12);
        evenSet = MakeSet("even", {2, 4, 6, 8, 10, 12});
        lowSet = MakeSet("low", {1, 2, 3, 4});
        MakeView(kViewThumbnail, 400, 300);
    }
    SInt32 MakeSet(const char* name, std::vector<SInt32> items) {
        Str255 text;
        PStrFromBytes(text, name, long(std::strlen(name)));
        const UInt32 n = OrganizeGetEntryCount(catalog, kOrganizeSetsField);
        EXPECT_EQ(OrganizeInsertNamedEntry(catalog, kOrganizeSetsField, n, text, 0, 0), noErr);
        std::vector<UInt32> ids;
        for (SInt32 i : items) ids.push_back(ItemGetId(catalog, i));
        EXPECT_EQ(OrganizeEntryAddItems(catalog, kOrganizeSetsField, n + 1, ids.data(), UInt32(ids.size())), noErr);
        return SInt32(n + 1);
    }
    // The ids of the shown items, in order, as item numbers of the unfiltered catalog (ids are
    // numbered 1.. in adding order).
    Ids Shown() {
        Ids out;
        for (SInt32 i = 1; i <= ViewItemCount(view); ++i) out.push_back(ItemGetId(catalog, i));
        return out;
    }
    Ids IdsOfItems(std::vector<SInt32> items) {
        Ids out;
        for (SInt32 i : items) out.push_back(allIds[std::size_t(i - 1)]);
        return out;
    }
    void RememberIds() {
        allIds.clear();
        for (SInt32 i = 1; i <= ViewItemCount(view); ++i) allIds.push_back(ItemGetId(catalog, i));
    }
    SInt32 evenSet = 0, lowSet = 0;
    Ids allIds;
};

TEST_F(FilterTest, SetFiltersShowTheUnionAndRecordTheHistory) {
    RememberIds();
    ViewAddFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, lowSet, true);
    EXPECT_EQ(Shown(), IdsOfItems({1, 2, 3, 4}));
    ViewAddFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, evenSet, true);
    // The set order names "even" first (entry 1), then "low".
    EXPECT_EQ(Shown(), IdsOfItems({2, 4, 6, 8, 10, 12, 1, 3}));
    EXPECT_EQ(view->history.states.size(), 3u);
    EXPECT_TRUE(ViewCanGoBack(view));
    EXPECT_FALSE(ViewCanGoForward(view));
    // Shown in the union's order, which the catalog keeps: "low" now lists 2 and 4 first.
    ViewRemoveFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, evenSet);
    EXPECT_EQ(Shown(), IdsOfItems({2, 4, 1, 3}));
    ViewRemoveFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, lowSet);
    EXPECT_EQ(ViewItemCount(view), 12);
    Str255 text;
    ViewAddFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, lowSet, true);
    ViewGetFilterText(view, text);
    EXPECT_EQ(PText(text), "Catalog Sets: low");
}

TEST_F(FilterTest, TwoStepsBackAndOneForwardAndANewFilterAfterGoingBackTruncates) {
    RememberIds();
    ViewAddFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, lowSet, true);     // {low}
    ViewAddFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, evenSet, true);    // {even, low}
    ViewRemoveFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, lowSet);        // {even}
    ViewGoBack(view);
    ViewGoBack(view);
    ViewGoForward(view);
    EXPECT_EQ(view->filters, (FilterSet{{1, SInt32(kOrganizeSetsField), evenSet}, {1, SInt32(kOrganizeSetsField), lowSet}}));
    EXPECT_EQ(ViewItemCount(view), 8);
    EXPECT_TRUE(ViewCanGoForward(view));
    ViewGoBack(view);
    ViewClearFilters(view, true);
    EXPECT_FALSE(ViewCanGoForward(view));
    EXPECT_EQ(view->history.states.size(), 3u);   // {}, {low}, {}
    EXPECT_EQ(ViewItemCount(view), 12);
}

TEST_F(FilterTest, AFilterThatHidesTheCurrentItemLeavesNothingCurrentAtTheTop) {
    ViewSelectItem(view, 9, kSelectAlone, true);
    Deliver();
    window.got.clear();
    ViewAddFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, lowSet, true);
    EXPECT_EQ(view->currentItem, 0);
    EXPECT_EQ(ViewCountSelected(view), 0);
    EXPECT_EQ(view->visibleCells[0], 0);
    Deliver();
    EXPECT_EQ(SelectionMessages(), (std::vector<UINT>{kCatalogMsgSelectionChanging, kCatalogMsgSelectionChanged}));
}

TEST_F(FilterTest, TheCurrentItemAndTheSelectionSurviveAFilterThatKeepsThem) {
    RememberIds();
    ViewSelectItem(view, 2, kSelectAlone, false);
    ViewSelectItem(view, 3, kSelectAdd, false);
    ViewSelectItem(view, 9, kSelectAdd, false);
    ViewAddFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, lowSet, true);
    EXPECT_EQ(ItemGetId(catalog, view->currentItem), allIds[1]);
    EXPECT_EQ(Selected(), (std::vector<SInt32>{2, 3}));
}

TEST_F(FilterTest, FileNameEntriesAreNeverCombinedWithOthers) {
    ViewAddFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, lowSet, false);
    ViewAddFilter(view, kFilterOrganizeEntry, 2, 1, false);
    EXPECT_EQ(view->filters, (FilterSet{{1, 2, 1}}));
    ViewAddFilter(view, kFilterOrganizeEntry, 2, 3, false);
    EXPECT_EQ(view->filters.size(), 2u);
    ViewAddFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, evenSet, false);
    EXPECT_EQ(view->filters, (FilterSet{{1, SInt32(kOrganizeSetsField), evenSet}}));
    EXPECT_TRUE(ViewHasFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, 0));
    EXPECT_FALSE(ViewHasFilter(view, kFilterOrganizeEntry, 2, 0));
}

TEST_F(FilterTest, ShowLabelWithActiveFiltersShowsOnlyMatchedLabelledItems) {
    RememberIds();
    for (SInt32 i : {3, 5, 6}) {
        ViewSelectItem(view, i, kSelectAlone, false);
        ViewAssignLabel(view, 2);
    }
    ViewDeselectAll(view);
    ViewAddFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, evenSet, true);
    ViewShowLabel(view, 2);
    EXPECT_EQ(Shown(), IdsOfItems({6}));
    EXPECT_EQ(ViewCountFilters(view), 1);   // the filter set does not change
    EXPECT_EQ(hooks.beeps, 0);
    ViewShowLabel(view, 7);
    EXPECT_EQ(hooks.beeps, 1);
    ViewAddFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, lowSet, false);
    ViewRemoveFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, evenSet);   // {low}: items 1..4
    ViewShowLabel(view, kLabelAny);
    EXPECT_EQ(Shown(), IdsOfItems({3}));
    ViewShowAll(view);
    ViewShowLabel(view, kLabelAny);
    EXPECT_EQ(Shown(), IdsOfItems({3, 5, 6}));
}

TEST_F(FilterTest, ShowSelectedHideSelectedAndShowHidden) {
    RememberIds();
    ViewShowSelected(view);
    EXPECT_EQ(hooks.beeps, 1);
    EXPECT_EQ(ViewItemCount(view), 12);
    ViewSelectItem(view, 4, kSelectAlone, false);
    ViewSelectItem(view, 7, kSelectAdd, false);
    ViewHideSelected(view);
    EXPECT_EQ(ViewItemCount(view), 10);
    ViewShowHidden(view);
    EXPECT_EQ(Shown(), IdsOfItems({4, 7}));
    ViewSelectAll(view);
    DrawLog().clear();
    ViewHideSelected(view);
    EXPECT_EQ(ViewItemCount(view), 0);
    EXPECT_EQ(view->currentItem, 0);
    EXPECT_EQ(DrawnItems(), std::vector<SInt32>{-1});   // the empty-view hint
    ViewShowAll(view);
    EXPECT_EQ(ViewItemCount(view), 12);
}

TEST_F(FilterTest, SortKeepsTheSelectionAndTheCurrentItemByIdAndFiltersTakeTheNewOrder) {
    RememberIds();
    ViewSelectItem(view, 2, kSelectAlone, false);
    ViewSelectItem(view, 5, kSelectAdd, false);
    ViewAddFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, evenSet, false);
    EXPECT_TRUE(ViewSortByField(view, kSortReverse, kSortTextNatural));
    EXPECT_EQ(ItemGetId(catalog, view->currentItem), allIds[1]);
    EXPECT_EQ(view->currentItem, 11);
    EXPECT_EQ(Selected(), (std::vector<SInt32>{8, 11}));
    UInt32 count = 0;
    const UInt32* ids = OrganizeEntryGetItems(OrganizeGetEntry(catalog, kOrganizeSetsField, evenSet), &count);
    EXPECT_EQ(Ids(ids, ids + count), IdsOfItems({12, 10, 8, 6, 4, 2}));
    EXPECT_FALSE(ViewSortByField(view, 0, kSortTextNatural));
}

class FolderFilterTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        const std::string samples = std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/";
        std::vector<FSSpec> specs;
        for (const char* f : {"a/Canon.jpg", "a/Nikon.jpg", "b/GIF.gif", "b/BMP.bmp", "c/PNG.png"}) {
            const std::string to = folder / ("library/" + std::string(f));
            std::filesystem::create_directories(std::filesystem::path(to).parent_path());
            std::filesystem::copy_file(samples + std::filesystem::path(f).filename().string(), to);
        }
        for (const char* d : {"a", "b", "c"}) {
            FSSpec s;
            FSMakeFSSpecFromPath(folder / ("library/" + std::string(d)), &s);
            specs.push_back(s);
        }
        SInt32 added = 0;
        ASSERT_EQ(CatalogAddFiles(catalog, 0, specs.data(), long(specs.size()), nullptr, 0, &added), noErr);
        ASSERT_EQ(added, 5);
        MakeView(kViewList, 400, 300);
        for (SInt32 i = 1; i <= 5; ++i) {
            FolderNode* node = FolderTreeFindItemNode(catalog->folderTree, ItemGetId(catalog, i));
            ASSERT_NE(node, nullptr);
            nodes[node->name] = node->nodeId;
        }
        ASSERT_EQ(nodes.size(), 3u);
    }
    std::map<std::string, UInt32> nodes;
};

TEST_F(FolderFilterTest, FolderFiltersShowTheFoldersItems) {
    ViewAddFilter(view, kFilterFolder, 0, SInt32(nodes["b"]), true);
    EXPECT_EQ(ViewItemCount(view), 2);
    ViewAddFilter(view, kFilterFolder, 0, SInt32(nodes["c"]), true);
    EXPECT_EQ(ViewItemCount(view), 3);
    Str255 text;
    ViewGetFilterText(view, text);
    EXPECT_EQ(PText(text), "bc");
}

TEST_F(FolderFilterTest, AFolderDeletedWhileTheHistoryNamesItIsForgottenEverywhere) {
    const SInt32 a = SInt32(nodes["a"]), b = SInt32(nodes["b"]);
    ViewAddFilter(view, kFilterFolder, 0, a, true);   // {a}
    ViewAddFilter(view, kFilterFolder, 0, b, true);   // {a, b}
    ViewRemoveFilter(view, kFilterFolder, 0, a);       // {b}
    ASSERT_EQ(ViewItemCount(view), 2);
    // The window drops the folder when the tree tells it a node goes away.
    bool reapply = false;
    window.onMessage = [&](UINT m, WPARAM p) {
        if (m == kMsgFolderNodeDestroyed) reapply |= ViewForgetFolder(view, UInt32(p));
    };
    ViewShowAll(view);
    FolderTree* tree = nullptr;
    FolderNode* nodeA = FolderTreeFindLiveNode(UInt32(a), &tree);
    ASSERT_NE(nodeA, nullptr);
    ASSERT_EQ(FolderTreeRemoveFolder(catalog, nodeA), noErr);
    window.onMessage = nullptr;
    EXPECT_EQ(FolderTreeFindLiveNode(UInt32(a), &tree), nullptr);
    for (const FilterSet& s : view->history.states) EXPECT_EQ(s.count(FilterEntry{kFilterFolder, 0, a}), 0u);
    // Back through the states: {b}, then {b} (was {a, b}), then {} (was {a}).
    ViewGoBack(view);
    EXPECT_EQ(ViewItemCount(view), 2);
    ViewGoBack(view);
    EXPECT_EQ(ViewItemCount(view), 2);
    ViewGoBack(view);
    EXPECT_EQ(ViewItemCount(view), 3);   // a's two items left the catalog with their folder
    // An id that names no folder is skipped.
    ViewAddFilter(view, kFilterFolder, 0, a, false);
    Handle ids = ViewFilterItemIds(view);
    ASSERT_NE(ids, nullptr);
    EXPECT_EQ(GetHandleSize(ids), 0);
    DisposeHandle(ids);
    Str255 text;
    ViewGetFilterText(view, text);
    EXPECT_EQ(PText(text), "?   ");
}

TEST_F(FolderFilterTest, ShowLastImportShowsTheImportedItems) {
    ViewSelectItem(view, 1, kSelectAlone, false);
    ViewHideSelected(view);
    ASSERT_EQ(ViewItemCount(view), 4);
    ViewShowLastImport(view);
    EXPECT_EQ(ViewItemCount(view), 5);
}

TEST_F(FilterTest, ShowMatchingTextSearchesWithinTheFilters) {
    RememberIds();
    const unsigned char none[] = "\x07nowhere";
    ViewShowMatchingText(view, none);
    EXPECT_EQ(hooks.beeps, 1);
    const unsigned char ten[] = "\x07item010";
    ViewShowMatchingText(view, ten);
    EXPECT_EQ(Shown(), IdsOfItems({10}));
    ViewShowAll(view);
    ViewAddFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, lowSet, true);
    ViewShowMatchingText(view, ten);
    EXPECT_EQ(hooks.beeps, 2);   // item 10 is not in "low"
}

TEST_F(FilterTest, RelayoutAfterAnImportSelectsTheNewItem) {
    ViewSelectItem(view, 2, kSelectAlone, false);
    AddItems(3);
    ViewRelayoutAndSelect(view, 14);
    EXPECT_EQ(view->rowCount, 5);
    EXPECT_EQ(view->currentItem, 14);
    EXPECT_EQ(Selected(), std::vector<SInt32>{14});
    EXPECT_TRUE(ViewIsCellVisible(view, ViewItemToCell(view, 14)));
}
