// Selection kinds, the whole-selection commands, selection by ids, and the messages that
// bracket every change of the current item.
#include "ViewTestSupport.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldFormat.h"
#include "catalog/info/InfoEdit.h"

using Items = std::vector<SInt32>;

TEST_F(ViewTest, SelectAloneBracketsTheChangeAndLoadsTheInfoPanelForTheNewItem) {
    AddItems(5);
    MakeView(kViewThumbnail, 400, 300);
    std::vector<UInt32> infoAtMessage;
    window.onMessage = [&](UINT m, WPARAM) {
        if (m == kCatalogMsgSelectionChanging || m == kCatalogMsgSelectionChanged) infoAtMessage.push_back(catalog->infoItemId);
    };
    ViewSelectItem(view, 3, kSelectAlone, true);
    EXPECT_EQ(view->currentItem, 3);
    EXPECT_EQ(catalog->infoItemId, ItemGetId(catalog, 3));
    Deliver();
    EXPECT_EQ(SelectionMessages(), (std::vector<UINT>{kCatalogMsgSelectionChanging, kCatalogMsgSelectionChanged}));
    EXPECT_EQ(Selected(), Items{3});
    EXPECT_EQ(view->anchorItem, 3);
    EXPECT_EQ(view->extendItem, 0);
    // Selection changes draw only selection states, and the flag is back off afterwards.
    ASSERT_FALSE(DrawLog().empty());
    EXPECT_TRUE(std::all_of(DrawLog().begin(), DrawLog().end(), [](const DrawnCell& d) { return d.selectionOnly; }));
    EXPECT_EQ(view->selectionOnly, 0);
}

TEST_F(ViewTest, KindsOfSelectionTable) {
    AddItems(12);
    MakeView(kViewThumbnail, 400, 600);
    struct Step { int kind; SInt32 item; Items selected; SInt32 current, anchor, extend; };
    struct Case { const char* name; std::vector<Step> steps; };
    const std::vector<Case> cases = {
        {"add keeps the current item",
         {{kSelectAlone, 2, {2}, 2, 2, 0}, {kSelectAdd, 5, {2, 5}, 2, 5, 5}}},
        {"add to nothing makes the item current",
         {{kSelectAlone, 2, {2}, 2, 2, 0}, {kSelectRemove, 2, {}, 0, 0, 0}, {kSelectAdd, 7, {7}, 7, 7, 7}}},
        {"removing the current item makes the lowest remaining one current",
         {{kSelectAlone, 6, {6}, 6, 6, 0}, {kSelectAdd, 9, {6, 9}, 6, 9, 9}, {kSelectAdd, 3, {3, 6, 9}, 6, 3, 3},
          {kSelectRemove, 6, {3, 9}, 3, 0, 0}}},
        {"removing another item keeps the current one",
         {{kSelectAlone, 6, {6}, 6, 6, 0}, {kSelectAdd, 9, {6, 9}, 6, 9, 9}, {kSelectRemove, 9, {6}, 6, 0, 0}}},
        {"extend below the anchor then above it",
         {{kSelectAlone, 6, {6}, 6, 6, 0}, {kSelectExtend, 9, {6, 7, 8, 9}, 6, 6, 9},
          {kSelectExtend, 4, {4, 5, 6}, 6, 6, 4}}},
        {"extend without an anchor selects alone",
         {{kSelectAlone, 6, {6}, 6, 6, 0}, {kSelectRemove, 6, {}, 0, 0, 0}, {kSelectExtend, 4, {4}, 4, 4, 0}}},
        {"extend keeps items selected outside the range",
         {{kSelectAlone, 1, {1}, 1, 1, 0}, {kSelectAdd, 10, {1, 10}, 1, 10, 10}, {kSelectExtend, 12, {1, 10, 11, 12}, 1, 10, 12}}},
        {"add and make current",
         {{kSelectAlone, 2, {2}, 2, 2, 0}, {kSelectAddCurrent, 8, {2, 8}, 8, 8, 0}}},
    };
    for (const Case& c : cases) {
        ViewSelectAll(view);
        ViewDeselectAll(view);
        for (const Step& s : c.steps) {
            ViewSelectItem(view, s.item, s.kind, false);
            EXPECT_EQ(Selected(), s.selected) << c.name << " after kind " << s.kind << " on " << s.item;
            EXPECT_EQ(view->currentItem, s.current) << c.name;
            EXPECT_EQ(view->anchorItem, s.anchor) << c.name;
            EXPECT_EQ(view->extendItem, s.extend) << c.name;
        }
    }
}

TEST_F(ViewTest, SelectAllInvertAndDeselectAll) {
    AddItems(11);
    MakeView(kViewThumbnail, 400, 600);
    ViewSelectAll(view);
    EXPECT_EQ(ViewCountSelected(view), 11);
    EXPECT_EQ(view->currentItem, 1);
    Deliver();
    // Making item 1 current from nothing posts no 0x806e.
    EXPECT_EQ(SelectionMessages(), std::vector<UINT>{kCatalogMsgSelectionChanged});

    ViewInvertSelection(view);
    EXPECT_EQ(ViewCountSelected(view), 0);
    EXPECT_EQ(view->currentItem, 0);
    // Bits past the last item stay clear, whatever a whole-byte flip did.
    for (SInt32 i = 12; i <= 16; ++i) EXPECT_FALSE(ViewBitTest(view, i)) << i;

    ViewSelectItem(view, 3, kSelectAlone, false);
    ViewSelectItem(view, 10, kSelectAdd, false);
    ViewInvertSelection(view);
    EXPECT_EQ(Selected(), (Items{1, 2, 4, 5, 6, 7, 8, 9, 11}));
    EXPECT_EQ(view->currentItem, 1);

    window.got.clear();
    ViewDeselectAll(view);
    EXPECT_EQ(ViewCountSelected(view), 0);
    Deliver();
    EXPECT_EQ(SelectionMessages(), (std::vector<UINT>{kCatalogMsgSelectionChanging, kCatalogMsgSelectionChanged}));
    // Deselect All with nothing current does nothing.
    window.got.clear();
    ViewDeselectAll(view);
    Deliver();
    EXPECT_TRUE(SelectionMessages().empty());
}

TEST_F(ViewTest, SelectByIdsAddsKeepsTheCurrentItemAndBeepsWhenNothingIsNew) {
    AddItems(8);
    MakeView(kViewThumbnail, 400, 600);
    auto ids = [&](Items items) {
        Handle h = NewHandle(long(items.size() * 4));
        for (std::size_t i = 0; i < items.size(); ++i) reinterpret_cast<UInt32*>(*h)[i] = ItemGetId(catalog, items[i]);
        return h;
    };
    Handle h = ids({6, 4});
    ViewSelectItems(view, h);
    // Nothing was current: the item of the first listed id becomes current.
    EXPECT_EQ(Selected(), (Items{4, 6}));
    EXPECT_EQ(view->currentItem, 6);
    DisposeHandle(h);

    h = ids({2, 6});
    ViewSelectItems(view, h);
    EXPECT_EQ(Selected(), (Items{2, 4, 6}));
    EXPECT_EQ(view->currentItem, 6);
    EXPECT_EQ(hooks.beeps, 0);
    ViewSelectItems(view, h);
    EXPECT_EQ(hooks.beeps, 1);
    DisposeHandle(h);
}

TEST_F(ViewTest, NextSelectedVisitsTheSelectionInOrder) {
    AddItems(40);
    MakeView(kViewList, 400, 300);
    for (SInt32 i : {3, 17, 18, 39}) ViewSelectItem(view, i, kSelectAdd, false);
    Items visited;
    for (SInt32 item = 1; ViewNextSelected(view, &item); ++item) visited.push_back(item);
    EXPECT_EQ(visited, (Items{3, 17, 18, 39}));
    EXPECT_EQ(ViewCountSelected(view), 4);
}

TEST_F(ViewTest, MediaViewSelectsOneItemPerPage) {
    AddItems(4);
    MakeView(kViewMedia, 400, 300);
    ViewSelectItem(view, 3, kSelectAlone, true);
    EXPECT_EQ(Selected(), Items{3});
    EXPECT_EQ(view->currentItem, 3);
    EXPECT_EQ(view->visibleCells[0], 2);
    // Kinds 0, 3 and 4 and items past the count are ignored; kind 2 only adds the bit.
    ViewSelectItem(view, 2, kSelectRemove, false);
    ViewSelectItem(view, 1, kSelectExtend, false);
    ViewSelectItem(view, 1, kSelectAddCurrent, false);
    ViewSelectItem(view, 9, kSelectAlone, false);
    EXPECT_EQ(Selected(), Items{3});
    ViewSelectItem(view, 4, kSelectAdd, false);
    EXPECT_EQ(Selected(), (Items{3, 4}));
    EXPECT_EQ(view->currentItem, 3);
    // Select All, Deselect All and Invert do nothing in Media view.
    ViewSelectAll(view);
    ViewDeselectAll(view);
    ViewInvertSelection(view);
    EXPECT_EQ(Selected(), (Items{3, 4}));
}

TEST_F(ViewTest, CommitInfoEditsWritesAPendingCaptionIntoTheCurrentItem) {
    AddItems(2);
    MakeView(kViewList, 400, 300);
    ViewSelectItem(view, 1, kSelectAlone, false);
    ASSERT_EQ(catalog->infoItemId, ItemGetId(catalog, 1));
    // The caption is typed in the Info panel, then the panel hears 0x806e and commits.
    SetHandleSize(catalog->infoCaption, 0);
    PtrAndHand("typed", catalog->infoCaption, 5);
    catalog->infoCaptionState = kInfoStateChanged;
    ViewCommitInfoEdits(view, 1);
    FieldValue v;
    const UInt8 type = ItemGetFieldVisible(catalog, 1, 1, kFieldCaption, &v);
    Str255 text;
    FieldValueToText(&v, type, kFieldCaption, text, false);
    EXPECT_EQ(PText(text), "typed");
    // Nothing pending: nothing is written.
    ViewSelectItem(view, 2, kSelectAlone, false);
    ViewCommitInfoEdits(view, 2);
    EXPECT_EQ(ItemGetFieldVisible(catalog, 2, 1, kFieldCaption, &v), 0);
}
