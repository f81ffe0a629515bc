// The side panel's headless models: the pane split and round-bar arithmetic, which Info rows
// the field list shows and how its keys move, the Organize list's rows, what a click on them
// does to the view's filters and what a drop assigns, and the drag hover and drag ids.
#include "ViewTestSupport.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldFormat.h"
#include "catalog/fields/FieldIds.h"
#include "catalog/info/InfoEdit.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/info/InfoRow.h"
#include "catalog/organize/OrganizeIndex.h"
#include "catalog/organize/OrganizeLists.h"
#include "window/panels/FolderNames.h"
#include "window/panels/InfoListModel.h"
#include "window/panels/OrganizeRows.h"
#include "support/SettingsSandbox.h"
#include "window/panels/FieldOrganizer.h"
#include "window/panels/PaneSplit.h"
#include "window/panels/PanelDrag.h"
#include "window/view/ViewFilters.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

TEST(PaneSplit, ADragSnapsNearTheEdgesAndKeepsTenPercentElsewhere) {
    const PaneRect client{0, 0, 200, 1000};
    struct Case { int y; int split; };
    for (const Case c : {Case{30, 0}, {49, 0}, {50, 100}, {70, 100}, {500, 500}, {930, 900}, {950, 900},
                         {951, 1000}, {970, 1000}, {-20, 0}, {1200, 1000}})
        EXPECT_EQ(c.split, SplitFromY(client, c.y)) << "y " << c.y;
}

TEST(PaneSplit, AStoredWordRestoresTheSplitAndANeverStoredOneGivesTheDefault) {
    struct Case { UInt16 word; int fallback; int split; };
    for (const Case c : {Case{0, 800, 800}, {500, 500, 500}, {999, 800, 800}, {2001, 800, 800}, {1030, 800, 0},
                         {1050, 800, 0}, {1960, 800, 1000}, {1950, 500, 1000}, {1070, 800, 100}, {1930, 800, 900},
                         {1420, 500, 420}})
        EXPECT_EQ(c.split, SplitFromStoredWord(c.word, c.fallback)) << "word " << c.word;
    EXPECT_EQ(1000 + 420, SplitToStoredWord(420));
}

TEST(PaneSplit, SectionRectanglesLeaveTheBarBetweenThemAndFoldToTheHeader) {
    const PaneRect client{0, 0, 240, 400};
    struct Case { int split; int upperBottom; int lowerTop; };
    for (const Case c : {Case{0, 21, 27}, {1000, 373, 379}, {500, 200, 206}, {333, 133, 139}}) {
        PaneRect upper, lower;
        SplitComputeRects(client, c.split, 15, &upper, &lower);
        EXPECT_EQ(c.upperBottom, upper.bottom) << c.split;
        EXPECT_EQ(c.lowerTop, lower.top) << c.split;
        EXPECT_EQ(0, upper.top);
        EXPECT_EQ(400, lower.bottom);
        EXPECT_EQ(kSplitBarHeight, lower.top - upper.bottom);
    }
    PaneRect upper, lower;
    SplitComputeRects(client, 500, 15, &upper, &lower);
    const PaneRect hit = SplitHitRect(client, upper);
    EXPECT_EQ(198, hit.top) << "2 pixels above the bar";
    EXPECT_EQ(209, hit.bottom) << "up to 9 pixels below the upper section";
}

TEST(RoundBar, TheHeaderGrowsWithTheFontButNeverBelowFifteen) {
    struct Case { int font; int header; };
    for (const Case c : {Case{9, 15}, {15, 15}, {22, 22}}) EXPECT_EQ(c.header, RoundBarHeaderHeight(c.font));
    const PaneRect client{0, 0, 100, 300};
    EXPECT_EQ((PaneRect{0, 0, 100, 21}), RoundBarHeaderRect(client, 15));
    EXPECT_EQ((PaneRect{1, 21, 99, 299}), RoundBarBodyRect(client, 15));
    EXPECT_EQ((PaneRect{1, 6, 99, 6}), RoundBarBodyRect(PaneRect{0, 0, 100, 3}, 0)) << "never upside down";
}

TEST(PaneList, ARowIsScrolledIntoViewByWholeRows) {
    struct Case { int top; int row; int newTop; };
    // 10 rows of 19 pixels fit in 190.
    for (const Case c : {Case{0, 5, 0}, {0, 9, 0}, {0, 10, 1}, {0, 12, 3}, {5, 4, 4}, {5, 0, 0}, {5, 5, 5}})
        EXPECT_EQ(c.newTop, ListTopForRow(c.top, c.row, 19, 190)) << c.top << " " << c.row;
    EXPECT_EQ(1, ListTopForRow(0, 9, 19, 185)) << "a partly hidden last row scrolls by at least one";
}

// Info rows built by hand, as the catalog engine lays them out.
class InfoListTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        if (catalog->infoRows) DisposeHandle(catalog->infoRows);
        catalog->infoRows = NewHandle(0);
        Row(kInfoRowHeader, kInfoStateFixed, kInfoSectionMedia);            // 1
        Row(kInfoRowField, kInfoStateFixed, 2, "a.jpg");                    // 2
        Row(kInfoRowEditableHeader, kInfoStateFixed, kInfoSectionAnnotations);  // 3
        Row(kInfoRowField, kInfoStateUnchanged, kFieldCaption, "cap");      // 4
        Row(kInfoRowField, kInfoStateUnchanged, 770, "custom");            // 5
        Row(kInfoRowEditableHeader, kInfoStateFixed, kInfoSectionKeywords);  // 6
        Row(kInfoRowValue, kInfoStateUnchanged, kFieldKeywords, "sun");     // 7
        Row(kInfoRowValue, kInfoStateUnchanged, kFieldKeywords, "sea");     // 8
        Row(kInfoRowNewValue, kInfoStateUnchanged, kFieldKeywords);         // 9
        Row(kInfoRowEditableHeader, kInfoStateFixed, kInfoSectionPeople);   // 10
        Row(kInfoRowValue, kInfoStateUnchanged, kFieldPeople, "ann");       // 11
        Row(kInfoRowNewValue, kInfoStateUnchanged, kFieldPeople);           // 12
    }
    void Row(UInt8 kind, UInt8 state, UInt32 field, const std::string& text = "") {
        Str255 t;
        PStrFromBytes(t, text.data(), long(text.size()));
        ASSERT_EQ(noErr, InfoAppendRow(catalog->infoRows, kind, 0, state, 0, field, t));
    }
    InfoListModel model;
};

TEST_F(InfoListTest, TheListLeavesOutHiddenAndFoldedRowsAndShowsOnlyEditableSectionsForSeveralItems) {
    struct Case {
        const char* name;
        int selected;
        std::vector<UInt32> hidden;
        std::set<UInt32> folded;
        std::vector<UInt32> rows;
    };
    const UInt32 mediaGroup = UInt32(kFieldGroupTag) | kInfoSectionMedia;
    const std::vector<Case> cases = {
        {"one item: everything", 1, {}, {}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {"three items: the annotations only", 3, {}, {}, {3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {"a hidden group goes with its header", 1, {mediaGroup}, {}, {3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {"a hidden field goes, a custom field never", 1, {kFieldCaption, 770}, {}, {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12}},
        {"a folded section keeps its header", 1, {}, {kInfoSectionKeywords}, {1, 2, 3, 4, 5, 6, 10, 11, 12}},
    };
    for (const Case& c : cases) {
        for (UInt32 h : c.hidden) CatalogHiddenFieldsChange(catalog, h, true);
        model.folded = c.folded;
        InfoListBuild(catalog, c.selected, &model);
        EXPECT_EQ(c.rows, model.rows) << c.name;
        for (UInt32 h : c.hidden) CatalogHiddenFieldsChange(catalog, h, false);
    }
}

TEST_F(InfoListTest, DownOnTheRowAboveAFoldedSectionOpensItAndUpComesBackToItsLastRow) {
    model.folded = {kInfoSectionKeywords};
    InfoListBuild(catalog, 1, &model);
    const int custom = InfoListIndexOf(model, 5);
    // Down from the custom field meets the folded Keywords header: it opens, its first value is chosen.
    const int next = InfoListSelectNext(catalog, 1, &model, custom);
    EXPECT_TRUE(model.folded.empty());
    EXPECT_EQ(7u, model.rows[std::size_t(next)]);
    // Down from a value to the next value, then to the add-a-value row, then nothing (a header).
    EXPECT_EQ(8u, model.rows[std::size_t(InfoListSelectNext(catalog, 1, &model, next))]);
    EXPECT_EQ(-1, InfoListSelectNext(catalog, 1, &model, InfoListIndexOf(model, 9)));
    // Up from the people value skips the people header to the add-a-value row of the keywords...
    EXPECT_EQ(9u, model.rows[std::size_t(InfoListSelectPrevious(catalog, 1, &model, InfoListIndexOf(model, 11)))]);
    // ...and with the keywords folded it opens them and lands on their last row.
    model.folded = {kInfoSectionKeywords};
    InfoListBuild(catalog, 1, &model);
    const int up = InfoListSelectPrevious(catalog, 1, &model, InfoListIndexOf(model, 11));
    ASSERT_GE(up, 0);
    EXPECT_EQ(9u, model.rows[std::size_t(up)]);
    EXPECT_TRUE(model.folded.empty());
    // Up from the first editable row stops at the fixed rows.
    EXPECT_EQ(-1, InfoListSelectPrevious(catalog, 1, &model, InfoListIndexOf(model, 4)));
}

TEST_F(InfoListTest, AValueMovesOnlyAmongTheValuesOfItsOwnField) {
    InfoListBuild(catalog, 1, &model);
    const int sun = InfoListIndexOf(model, 7), sea = InfoListIndexOf(model, 8);
    const int keywordsEnd = InfoListIndexOf(model, 9), ann = InfoListIndexOf(model, 11);
    EXPECT_TRUE(InfoListDropAllowed(catalog, model, sea, sun)) << "before the first keyword";
    EXPECT_TRUE(InfoListDropAllowed(catalog, model, sun, keywordsEnd)) << "after the last keyword";
    EXPECT_FALSE(InfoListDropAllowed(catalog, model, sun, sun + 1)) << "where it is already";
    EXPECT_FALSE(InfoListDropAllowed(catalog, model, sun, ann)) << "a keyword among the people";
    EXPECT_FALSE(InfoListDropAllowed(catalog, model, sun, ann + 1));
    EXPECT_FALSE(InfoListDropAllowed(catalog, model, InfoListIndexOf(model, 4), sun)) << "a field row is no value";
    EXPECT_EQ(9u, InfoListDropTarget(catalog, model, keywordsEnd));
    EXPECT_EQ(13u, InfoListDropTarget(catalog, model, int(model.rows.size())));
}

class OrganizeRowsTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        AddItems(6);
        MakeView(kViewList, 400, 300);
        for (UInt32 f = OrganizeNextField(catalog, 0, true); f; f = OrganizeNextField(catalog, f, true))
            OrganizeSetEnabled(catalog, f, false);
        OrganizeSetEnabled(catalog, kFieldKeywords, true);
        OrganizeSetEnabled(catalog, kFieldPeople, true);
        OrganizeSetExpanded(catalog, 0, true);
        OrganizeBuildList(catalog, kFieldKeywords, nullptr, 0);
        OrganizeBuildList(catalog, kFieldPeople, nullptr, 0);
        // keywords: animals > (cats, dogs), sea, sun
        Insert(kFieldKeywords, 0, "animals", 0, 1);
        Insert(kFieldKeywords, 1, "cats", 1, 0);
        Insert(kFieldKeywords, 2, "dogs", 1, 0);
        Insert(kFieldKeywords, 3, "sea", 0, 0);
        Insert(kFieldKeywords, 4, "sun", 0, 0);
    }
    void Insert(UInt32 field, UInt32 after, const std::string& text, UInt8 level, UInt8 container) {
        Str255 t;
        PStrFromBytes(t, text.data(), long(text.size()));
        ASSERT_EQ(noErr, OrganizeInsertNamedEntry(catalog, field, after, t, level, container));
    }
    std::vector<std::string> Shape(const std::vector<OrganizeRow>& rows) {
        std::vector<std::string> out;
        for (const OrganizeRow& r : rows) {
            if (r.entry == kOrganizeRowHeader) out.push_back("#" + std::to_string(r.field));
            else if (r.entry == kOrganizeRowEmpty) out.push_back("-");
            else out.push_back(PText(OrganizeGetEntry(catalog, r.field, UInt32(r.entry))->text));
        }
        return out;
    }
    std::vector<UInt32> Ids(std::initializer_list<SInt32> items) {
        std::vector<UInt32> out;
        for (SInt32 i : items) out.push_back(ItemGetId(catalog, i));
        return out;
    }
};

TEST_F(OrganizeRowsTest, FoldedContainersHideWhatTheyHoldAndAnEmptyListShowsOneRow) {
    using S = std::vector<std::string>;
    // People come before keywords in the catalog's field order.
    EXPECT_EQ((S{"#630", "-", "#537", "animals", "cats", "dogs", "sea", "sun"}), Shape(OrganizeBuildRows(catalog)));
    OrganizeGetEntry(catalog, kFieldKeywords, 1)->expanded = 0;
    EXPECT_EQ((S{"#630", "-", "#537", "animals", "sea", "sun"}), Shape(OrganizeBuildRows(catalog)));
    OrganizeSetExpanded(catalog, kFieldKeywords, false);
    EXPECT_EQ((S{"#630", "-", "#537"}), Shape(OrganizeBuildRows(catalog)));
}

TEST_F(OrganizeRowsTest, ClicksMakeFiltersPlainAloneCtrlToggledShiftAsARange) {
    auto rows = OrganizeBuildRows(catalog);
    const int cats = OrganizeFindRow(rows, kFieldKeywords, 2), sea = OrganizeFindRow(rows, kFieldKeywords, 4);
    const int sun = OrganizeFindRow(rows, kFieldKeywords, 5), header = OrganizeFindRow(rows, kFieldPeople, kOrganizeRowHeader);
    const auto filterOf = [](SInt32 n) { return FilterEntry{kFilterOrganizeEntry, SInt32(kFieldKeywords), n}; };
    EXPECT_TRUE(OrganizeClickFilter(view, rows, sea, OrganizeClick::kPlain, -1));
    EXPECT_EQ((FilterSet{filterOf(4)}), view->filters);
    EXPECT_FALSE(OrganizeClickFilter(view, rows, sea, OrganizeClick::kPlain, -1)) << "already the filter";
    EXPECT_TRUE(OrganizeClickFilter(view, rows, sun, OrganizeClick::kToggle, -1));
    EXPECT_EQ((FilterSet{filterOf(4), filterOf(5)}), view->filters);
    EXPECT_TRUE(OrganizeClickFilter(view, rows, sea, OrganizeClick::kToggle, -1));
    EXPECT_EQ((FilterSet{filterOf(5)}), view->filters);
    EXPECT_TRUE(OrganizeClickFilter(view, rows, cats, OrganizeClick::kRange, sun));
    EXPECT_EQ((FilterSet{filterOf(2), filterOf(3), filterOf(4), filterOf(5)}), view->filters);
    EXPECT_FALSE(OrganizeClickFilter(view, rows, sea, OrganizeClick::kPlain, -1))
        << "a plain press on one of the filters keeps them all (it may start a drag)";
    const int animals = OrganizeFindRow(rows, kFieldKeywords, 1);
    EXPECT_TRUE(OrganizeClickFilter(view, rows, animals, OrganizeClick::kPlain, -1)) << "narrows to one";
    EXPECT_EQ((FilterSet{filterOf(1)}), view->filters);
    EXPECT_FALSE(OrganizeClickFilter(view, rows, header, OrganizeClick::kPlain, -1)) << "headers are no filters";
    EXPECT_TRUE(ViewCanGoBack(view)) << "clicks are steps of the history";
}

TEST_F(OrganizeRowsTest, DroppedItemsTakeTheEntrysValueAndAFilterOnItShowsThem) {
    auto rows = OrganizeBuildRows(catalog);
    const int sea = OrganizeFindRow(rows, kFieldKeywords, 4);
    EXPECT_FALSE(OrganizeDropItems(catalog, rows[std::size_t(OrganizeFindRow(rows, kFieldPeople, kOrganizeRowEmpty))],
                                   Ids({1})));
    ASSERT_TRUE(OrganizeDropItems(catalog, rows[std::size_t(sea)], Ids({2, 5})));
    // The value is in the items' annotations: a list built again from the items finds it.
    OrganizeBuildList(catalog, kFieldKeywords, nullptr, 0);
    rows = OrganizeBuildRows(catalog);
    UInt32 number = 0;
    for (const OrganizeRow& r : rows)
        if (r.IsEntry() && PText(OrganizeGetEntry(catalog, r.field, UInt32(r.entry))->text) == "sea") number = UInt32(r.entry);
    ASSERT_NE(0u, number);
    EXPECT_EQ(2u, OrganizeEntryGetCount(OrganizeGetEntry(catalog, kFieldKeywords, number)));
    ASSERT_TRUE(OrganizeClickFilter(view, rows, OrganizeFindRow(rows, kFieldKeywords, SInt32(number)),
                                    OrganizeClick::kPlain, -1));
    EXPECT_EQ(2, ViewItemCount(view));
    // The marking pass flags the entry while one of its items is selected.
    ViewSelectItem(view, 1, kSelectAlone, false);
    EXPECT_TRUE(OrganizeMarkRows(catalog, view, &rows));
    EXPECT_TRUE(rows[std::size_t(OrganizeFindRow(rows, kFieldKeywords, SInt32(number)))].selectedItems);
    EXPECT_FALSE(OrganizeMarkRows(catalog, view, &rows)) << "nothing changed since";
}

TEST_F(OrganizeRowsTest, TheOrganizerShowsAndHidesFieldsAndTakesOverTheSavedDefault) {
    SettingsSandbox settings;
    const auto shown = [&] {
        std::vector<UInt32> out;
        for (UInt32 f = OrganizeNextField(catalog, 0, true); f; f = OrganizeNextField(catalog, f, true)) out.push_back(f);
        std::sort(out.begin(), out.end());
        return out;
    };
    using V = std::vector<UInt32>;
    const V start = shown();
    ASSERT_EQ(1, std::count(start.begin(), start.end(), UInt32(kFieldKeywords)));
    ASSERT_EQ(0, std::count(start.begin(), start.end(), UInt32(kFieldCity)));
    EXPECT_FALSE(FieldOrganizerHasDefault());
    EXPECT_FALSE(FieldOrganizerLoadDefault(catalog)) << "nothing saved: nothing changes";
    EXPECT_EQ(start, shown());

    // Every field of the menu can be organized; the headings and commands are not fields.
    for (UInt32 code : FieldOrganizerCodes())
        if (code < 0x10000) EXPECT_GE(OrganizeFieldRowIndex(code), 0) << code;

    // Showing a field builds its list: its values are there at once.
    ASSERT_EQ(noErr, ItemSetAnnotationDataset(catalog, 1, kFieldCity, 1, "Lyon", 4));
    FieldOrganizerSetShown(catalog, kFieldCity, true);
    EXPECT_TRUE(OrganizeIsEnabled(catalog, kFieldCity));
    ASSERT_EQ(1u, OrganizeGetEntryCount(catalog, kFieldCity));
    EXPECT_EQ("Lyon", PText(OrganizeGetEntry(catalog, kFieldCity, 1)->text));
    FieldOrganizerSaveDefault(catalog);
    EXPECT_TRUE(FieldOrganizerHasDefault());
    const V saved = shown();

    // Hiding one and showing another, then the default: exactly the saved fields again.
    FieldOrganizerSetShown(catalog, kFieldKeywords, false);
    FieldOrganizerSetShown(catalog, kOrganizeLabelsField, true);
    EXPECT_NE(saved, shown());
    EXPECT_TRUE(FieldOrganizerLoadDefault(catalog));
    EXPECT_EQ(saved, shown());
    EXPECT_TRUE(OrganizeHasList(catalog, kFieldKeywords)) << "a field shown again has its list";
    EXPECT_TRUE(CatalogIsModified(catalog));
}

TEST(PanelDrag, DataOfAnotherListOrProcessIsRefused) {
    const UInt32 list = PanelDragNewSourceId(), other = PanelDragNewSourceId();
    EXPECT_NE(list, other);
    const PanelDragRef mine{PanelDragThisProcess(), list, 7};
    const auto bytes = PanelDragEncode(mine);
    const auto back = PanelDragDecode(bytes.data(), bytes.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(7, back->row);
    EXPECT_TRUE(PanelDragFromHere(*back, list));
    EXPECT_FALSE(PanelDragFromHere(*back, other)) << "the Organize list's row on the Info list";
    EXPECT_FALSE(PanelDragFromHere(PanelDragRef{PanelDragThisProcess() + 1, list, 7}, list)) << "another program";
    EXPECT_FALSE(PanelDragDecode(bytes.data(), 11)) << "a short block";
}

TEST(PanelDrag, ARestingDragOpensItsRowOnceAndTheIndentClosesIt) {
    DragHover hover;
    EXPECT_EQ(DragHoverAction::kNone, DragHoverStep(&hover, 3, 40, 1000));
    EXPECT_EQ(DragHoverAction::kNone, DragHoverStep(&hover, 3, 40, 1900));
    EXPECT_EQ(DragHoverAction::kOpen, DragHoverStep(&hover, 3, 40, 2100));
    EXPECT_EQ(DragHoverAction::kNone, DragHoverStep(&hover, 3, 40, 3500)) << "once";
    EXPECT_EQ(DragHoverAction::kClose, DragHoverStep(&hover, 3, 10, 3600));
    EXPECT_EQ(DragHoverAction::kNone, DragHoverStep(&hover, 3, 10, 3700));
    EXPECT_EQ(DragHoverAction::kNone, DragHoverStep(&hover, 4, 40, 3800)) << "a new row starts its own wait";
    EXPECT_EQ(DragHoverAction::kOpen, DragHoverStep(&hover, 4, 40, 4801));
    struct Case { int y; int dir; };
    for (const Case c : {Case{0, -1}, {13, -1}, {14, 0}, {185, 0}, {186, 1}, {199, 1}})
        EXPECT_EQ(c.dir, DragScrollDirection(c.y, 200)) << c.y;
}

}  // namespace

namespace {

TEST_F(ViewTest, TheInfoPanelHearsOfAComingChangeWhileTheRowsStillShowTheOldItem) {
    AddItems(2);
    MakeView(kViewList, 400, 300);
    ViewSelectItem(view, 1, kSelectAlone, false);
    Deliver();
    // A caption typed for item 1 and not yet stored; the panel commits when it hears 0x806e.
    SetHandleSize(catalog->infoCaption, 0);
    PtrAndHand("typed", catalog->infoCaption, 5);
    catalog->infoCaptionState = kInfoStateChanged;
    UInt32 rowsOf = 0;
    window.onMessage = [&](UINT m, WPARAM) {
        if (m != kCatalogMsgSelectionChanging) return;
        rowsOf = catalog->infoItemId;
        ViewCommitInfoEdits(view, view->currentItem);
    };
    ViewSelectItem(view, 2, kSelectAlone, false);
    EXPECT_EQ(ItemGetId(catalog, 1), rowsOf);
    FieldValue v;
    const UInt8 type = ItemGetFieldVisible(catalog, 1, 1, kFieldCaption, &v);
    Str255 text;
    FieldValueToText(&v, type, kFieldCaption, text, false);
    EXPECT_EQ("typed", PText(text)) << "the caption reached item 1 before its rows were dropped";
}

}  // namespace

namespace {

class SetDragTest : public OrganizeRowsTest {
protected:
    void SetUp() override {
        OrganizeRowsTest::SetUp();
        OrganizeSetEnabled(catalog, kOrganizeSetsField, true);
        OrganizeSetExpanded(catalog, kOrganizeSetsField, true);
        // trips > (june, july), work, home
        Insert(kOrganizeSetsField, 0, "trips", 0, 1);
        Insert(kOrganizeSetsField, 1, "june", 1, 0);
        Insert(kOrganizeSetsField, 2, "july", 1, 0);
        Insert(kOrganizeSetsField, 3, "work", 0, 0);
        Insert(kOrganizeSetsField, 4, "home", 0, 0);
        OrganizeGetEntry(catalog, kOrganizeSetsField, 1)->expanded = 1;
    }
    std::vector<std::string> Sets() {
        std::vector<std::string> out;
        for (UInt32 n = 1; n <= OrganizeGetEntryCount(catalog, kOrganizeSetsField); ++n) {
            const OrganizeEntry* e = OrganizeGetEntry(catalog, kOrganizeSetsField, n);
            out.push_back(std::string(e->level, '>') + PText(e->text));
        }
        return out;
    }
};

TEST_F(SetDragTest, ASetDroppedBelowTheLastOneIsAppendedAndAMovedSubtreeKeepsEverySet) {
    using S = std::vector<std::string>;
    auto rows = OrganizeBuildRows(catalog);
    const int home = OrganizeFindRow(rows, kOrganizeSetsField, 5);
    // The drop level follows the pointer, limited by the sets around the drop point.
    EXPECT_EQ(0, OrganizeSetDropLevel(catalog, rows, home + 1, 60)) << "after a plain top-level set";
    EXPECT_EQ(1, OrganizeSetDropLevel(catalog, rows, OrganizeFindRow(rows, kOrganizeSetsField, 2), 5))
        << "inside an open container";
    EXPECT_EQ(-1, OrganizeSetDropLevel(catalog, rows, OrganizeFindRow(rows, kFieldPeople, kOrganizeRowEmpty) + 1, 20))
        << "among other fields no set lands";
    // "work" dropped after the last set: appended.
    ASSERT_TRUE(OrganizeDropSet(catalog, view, rows, 4, home + 1, 0));
    EXPECT_EQ((S{"trips", ">june", ">july", "home", "work"}), Sets());
    // The "trips" container with its two sets moved before "work" while a set is the filter:
    // all five sets stay, the filter goes.
    rows = OrganizeBuildRows(catalog);
    ViewAddFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, 2, true);
    const int work = OrganizeFindRow(rows, kOrganizeSetsField, 5);
    ASSERT_TRUE(OrganizeDropSet(catalog, view, rows, 1, work, 0));
    EXPECT_EQ((S{"home", "trips", ">june", ">july", "work"}), Sets());
    EXPECT_TRUE(view->filters.empty());
}

TEST_F(SetDragTest, ASetsPathNamesItAndTheSetsAroundItInnermostFirst) {
    EXPECT_EQ((std::vector<UInt32>{3, 1}), InfoSetPath(catalog, 3)) << "july in trips";
    EXPECT_EQ((std::vector<UInt32>{4}), InfoSetPath(catalog, 4)) << "work stands alone";
    EXPECT_TRUE(InfoSetPath(catalog, 99).empty());
}

}  // namespace

namespace {

TEST(FolderNames, ANewFolderTakesTheFirstFreeUntitledName) {
    TempFolder dir;
    EXPECT_EQ("Untitled Folder", FolderFreeName(dir.path(), "Untitled Folder"));
    std::filesystem::create_directory(dir / "Untitled Folder");
    std::filesystem::create_directory(dir / "Untitled Folder 2");
    EXPECT_EQ("Untitled Folder 3", FolderFreeName(dir.path(), "Untitled Folder"));
}

TEST(FolderNames, ARenameStaysInItsFolderAndNeverReplacesWhatIsThere) {
    struct Case { const char* name; bool ok; };
    for (const Case c : {Case{"trip", true}, {"", false}, {".", false}, {"..", false}, {"a/b", false},
                         {"..\\up", false}, {"x.y", true}, {"...", true}})
        EXPECT_EQ(c.ok, FolderNameAcceptable(c.name)) << c.name;
    EXPECT_FALSE(FolderNameAcceptable(std::string_view("a\0b", 3)));
    TempFolder dir;
    std::filesystem::create_directory(dir / "old");
    std::filesystem::create_directory(dir / "taken");
    std::ofstream(dir / "taken/keep.txt") << "x";
    std::string renamed;
    EXPECT_EQ(dupFNErr, FolderRenameOnDisk(dir / "old", "taken", &renamed));
    EXPECT_TRUE(std::filesystem::exists(dir / "taken/keep.txt")) << "nothing was replaced";
    EXPECT_EQ(paramErr, FolderRenameOnDisk(dir / "old", "../escaped", &renamed));
    EXPECT_TRUE(std::filesystem::exists(dir / "old"));
    EXPECT_EQ(noErr, FolderRenameOnDisk(dir / "old", "new", &renamed));
    EXPECT_EQ(dir / "new", renamed);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "new"));
    EXPECT_EQ(fnfErr, FolderRenameOnDisk(dir / "old", "again", &renamed));
}

}  // namespace
