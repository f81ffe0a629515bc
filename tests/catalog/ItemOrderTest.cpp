// Moving, showing and hiding items, visible numbers, and sorting items by the values stored
// in their records and annotation blocks.
#include "CatalogFileSupport.h"
#include "ItemDataSupport.h"

#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldIds.h"
#include "catalog/items/ItemOrder.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/sort/SortEngine.h"
#include "platform/Handles.h"
#include "support/RecordingWindow.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

Handle IdHandle(const std::vector<UInt32>& ids) {
    Handle h = NewHandle(Size(ids.size() * sizeof(UInt32)));
    if (!ids.empty()) std::memcpy(*h, ids.data(), ids.size() * sizeof(UInt32));
    return h;
}

class ItemOrderTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartCatalogEngine();
        SetTimerService(&timers_);
        CatalogNotificationsReset();
        ASSERT_EQ(CatalogOpen(&catalog_, nullptr, nullptr, nullptr, nullptr, nullptr, 0), noErr);
        for (UINT m : {kCatalogMsgModified, kCatalogMsgShownItemsChanged, kCatalogMsgItemChanged})
            ASSERT_EQ(CatalogAddListener(catalog_, &window_, m), noErr);
    }
    void TearDown() override {
        CatalogClose(catalog_, false);
        CatalogNotificationsReset();
        SetTimerService(nullptr);
        CatalogEngineShutdown();
    }

    void MakeEntries(int n, const std::vector<UInt32>& hiddenIds = {}) { MakeTestEntries(catalog_, n, hiddenIds); }
    std::vector<UInt32> Ids() const { return EntryIds(catalog_); }
    std::vector<UInt32> HiddenIds() const {
        std::vector<UInt32> ids;
        for (int i = 0; i < catalog_->itemCount; ++i)
            if (catalog_->entries[i].flags & kEntryHiddenFlag) ids.push_back(catalog_->entries[i].id);
        return ids;
    }
    Got Delivered() {
        window_.got.clear();
        timers_.Advance(kNotifyIntervalMs);
        return window_.got;
    }

    ManualTimerService timers_;
    RecordingWindow window_;
    CatalogRec* catalog_ = nullptr;
};

TEST_F(ItemOrderTest, VisibleNumbersAndIndexesMapBothWays) {
    MakeEntries(5, {2, 4});
    struct Case {
        SInt32 visible, index;
    } cases[] = {{1, 1}, {2, 3}, {3, 5}};
    for (const Case& c : cases) {
        EXPECT_EQ(CatalogVisibleToIndex(catalog_, c.visible), c.index);
        EXPECT_EQ(CatalogIndexToVisible(catalog_, c.index), c.visible);
    }
    for (SInt32 bad : {0, 4, 6, -1}) EXPECT_EQ(CatalogVisibleToIndex(catalog_, bad), 0) << bad;
    EXPECT_EQ(CatalogIndexToVisible(catalog_, 2), 0);   // hidden
    EXPECT_EQ(CatalogIndexToVisible(catalog_, 6), 0);

    MakeEntries(3);
    EXPECT_EQ(CatalogVisibleToIndex(catalog_, 3), 3);
    EXPECT_EQ(CatalogVisibleToIndex(catalog_, 4), 0);   // nothing hidden, still out of range
}

TEST_F(ItemOrderTest, MoveItemsCases) {
    struct Case {
        const char* what;
        SInt32 place;
        std::vector<UInt8> marks;
        std::vector<UInt32> expected;
        std::vector<UInt8> marksAfter;
    } cases[] = {
        {"to the start", 1, {0, 0, 1, 0, 1}, {3, 5, 1, 2, 4}, {1, 1, 0, 0, 0}},
        {"into the middle", 3, {1, 0, 0, 0, 1}, {2, 1, 5, 3, 4}, {0, 1, 1, 0, 0}},
        {"to the end", 6, {1, 1, 0, 0, 0}, {3, 4, 5, 1, 2}, {0, 0, 0, 1, 1}},
        {"past the end is the end", 99, {0, 1, 0, 0, 0}, {1, 3, 4, 5, 2}, {0, 0, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        MakeEntries(5);
        catalog_->modifiedStamp = 0;
        std::vector<UInt8> marks = c.marks;
        EXPECT_TRUE(CatalogMoveItems(catalog_, c.place, marks.data())) << c.what;
        EXPECT_EQ(Ids(), c.expected) << c.what;
        EXPECT_EQ(marks, c.marksAfter) << c.what;
        EXPECT_TRUE(CatalogIsModified(catalog_)) << c.what;
        EXPECT_EQ(Delivered(), (Got{{kCatalogMsgModified, 0}})) << c.what;
    }
}

TEST_F(ItemOrderTest, MoveItemsThatStayPutChangesNothing) {
    MakeEntries(4);
    std::vector<UInt8> marks = {0, 1, 1, 0};
    EXPECT_FALSE(CatalogMoveItems(catalog_, 2, marks.data()));
    EXPECT_FALSE(CatalogMoveItems(catalog_, 4, marks.data()));
    std::vector<UInt8> none = {0, 0, 0, 0};
    EXPECT_FALSE(CatalogMoveItems(catalog_, 1, none.data()));
    EXPECT_EQ(Ids(), (std::vector<UInt32>{1, 2, 3, 4}));
    EXPECT_FALSE(CatalogIsModified(catalog_));
    EXPECT_TRUE(Delivered().empty());
}

TEST_F(ItemOrderTest, MoveItemsLeavesHiddenItemsInTheirSlots) {
    MakeEntries(5, {2});
    std::vector<UInt8> marks = {0, 0, 0, 1};   // visible 1,3,4,5: move item 5 to the front
    ASSERT_TRUE(CatalogMoveItems(catalog_, 1, marks.data()));
    EXPECT_EQ(Ids(), (std::vector<UInt32>{5, 2, 1, 3, 4}));
    EXPECT_EQ(HiddenIds(), (std::vector<UInt32>{2}));
}

TEST_F(ItemOrderTest, ShowAllAndInvertHidden) {
    MakeEntries(4, {1, 3});
    CatalogInvertHidden(catalog_);
    EXPECT_EQ(HiddenIds(), (std::vector<UInt32>{2, 4}));
    EXPECT_EQ(catalog_->hiddenCount, 2);
    EXPECT_EQ(Delivered(), (Got{{kCatalogMsgShownItemsChanged, 0}}));

    CatalogShowAll(catalog_);
    EXPECT_TRUE(HiddenIds().empty());
    EXPECT_EQ(catalog_->hiddenCount, 0);
    EXPECT_EQ(Delivered(), (Got{{kCatalogMsgShownItemsChanged, 0}}));
    EXPECT_FALSE(CatalogIsModified(catalog_));
}

TEST_F(ItemOrderTest, ShowOnlyCases) {
    struct Case {
        const char* what;
        bool null;
        std::vector<UInt32> listed;
        bool reorder;
        std::vector<UInt32> order, hidden;
    } cases[] = {
        {"null shows all", true, {}, false, {1, 2, 3, 4}, {}},
        {"an empty list hides all", false, {}, false, {1, 2, 3, 4}, {1, 2, 3, 4}},
        {"listed ones shown", false, {4, 2}, false, {1, 2, 3, 4}, {1, 3}},
        {"repeated and unknown ids", false, {2, 2, 9, 2}, false, {1, 2, 3, 4}, {1, 3, 4}},
        {"in the list's order", false, {4, 1}, true, {4, 2, 3, 1}, {2, 3}},
    };
    for (const Case& c : cases) {
        MakeEntries(4, {1});
        Handle h = c.null ? nullptr : IdHandle(c.listed);
        CatalogShowOnly(catalog_, h, c.reorder);
        if (h) DisposeHandle(h);
        EXPECT_EQ(Ids(), c.order) << c.what;
        EXPECT_EQ(HiddenIds(), c.hidden) << c.what;
        EXPECT_EQ(catalog_->hiddenCount, SInt32(c.hidden.size())) << c.what;
        EXPECT_EQ(Delivered(), (Got{{kCatalogMsgShownItemsChanged, 0}})) << c.what;
    }
}

// ---- sorting items by their stored values ---------------------------------------------------

class SortItemsTest : public ::testing::Test {
protected:
    void SetUp() override {
        catalog_ = NewCatalogWithWorkFile(folder_);
        ASSERT_NE(catalog_, nullptr);
    }
    void TearDown() override {
        CatalogClose(catalog_, false);
        CatalogEngineShutdown();
    }
    void Add(const std::string& name, UInt32 size, UInt32 created, const ByteString& annotations) {
        TestItem t = MakeTestItem("/photos/" + name, size);
        t.record.created = created;
        t.annotations = annotations;
        ASSERT_GT(AppendWorkFileItem(catalog_, t), 0);
    }
    std::vector<UInt32> Ids() const {
        std::vector<UInt32> ids;
        for (int i = 0; i < catalog_->itemCount; ++i) ids.push_back(catalog_->entries[i].id);
        return ids;
    }

    TempFolder folder_;
    CatalogRec* catalog_ = nullptr;
};

TEST_F(SortItemsTest, SortsByRecordFieldsAndAnnotations) {
    const UInt32 day = 86400;
    Add("a.jpg", 3000, 5 * day, Dataset(kFieldKeywords, "zebra") + Dataset(kFieldKeywords, "apple") +
                                    Dataset(kFieldProduct, "shot 10"));
    Add("b.jpg", 1000, 7 * day, Dataset(kFieldKeywords, "Mango") + Dataset(kFieldProduct, "Shot 9"));
    Add("c.jpg", 2000, 6 * day, Dataset(kFieldProduct, "shot 09"));
    Add("d.jpg", 2000, 4 * day, Dataset(kFieldKeywords, "apple"));
    const std::vector<UInt32> ids = Ids();
    auto in = [&](std::initializer_list<int> order) {
        std::vector<UInt32> out;
        for (int k : order) out.push_back(ids[size_t(k)]);
        return out;
    };

    struct Case {
        const char* what;
        UInt32 field;
        UInt8 mode;
        UInt8 descending;
        std::vector<UInt32> expected;
    } cases[] = {
        {"file size, ties in entry order", kFieldFileSize, kSortTextByteOrder, 0, in({1, 2, 3, 0})},
        {"created, descending", kFieldCreated, kSortTextByteOrder, 1, in({1, 2, 0, 3})},
        {"first keyword; none first", kFieldKeywords, kSortTextByteOrder, 0, in({2, 3, 1, 0})},
        {"object name, natural", kFieldProduct, kSortTextNatural, 0, in({3, 1, 2, 0})},
        {"object name, byte order", kFieldProduct, kSortTextByteOrder, 0, in({3, 2, 0, 1})},
    };
    for (const Case& c : cases) {
        catalog_->viewPrefs.byte24 = c.descending;
        SortCatalogByFields(catalog_, c.field, c.mode);
        EXPECT_EQ(Ids(), c.expected) << c.what;
        EXPECT_EQ(catalog_->viewPrefs.sortField, c.field) << c.what;
    }
}

}  // namespace
