// Organize lists built from real items (records and annotation blocks in a work file) and
// kept current item by item.
#include "OrganizeTestSupport.h"
#include "WorkFileCatalogTest.h"
#include "support/RecordingWindow.h"

#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldEngine.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/organize/OrganizeIndex.h"
#include "foundation/format/LocaleFormats.h"
#include "platform/Handles.h"
#include "platform/TimerService.h"

#include <gtest/gtest.h>

using organize_test::Shape;

namespace {

struct ItemSpec {
    std::vector<std::pair<FieldId, std::string>> values;
    UInt32 flags = 0;
    UInt32 created = 0;
};

class OrganizeIndexing : public WorkFileCatalogTest {
protected:
    // Adds items; answers their ids.
    std::vector<UInt32> Add(const std::vector<ItemSpec>& specs) {
        std::vector<UInt32> ids;
        for (const ItemSpec& s : specs) {
            TestItem item = MakeTestItem("item" + std::to_string(catalog_->itemCount) + ".jpg");
            for (const auto& [field, text] : s.values) item.annotations += Dataset(field, text);
            item.flags = s.flags;
            item.record.created = s.created;
            const SInt32 index = AppendWorkFileItem(catalog_, item);
            EXPECT_GT(index, 0);
            ids.push_back(catalog_->entries[index - 1].id);
        }
        return ids;
    }
    ItemEntry* Entry(UInt32 id) {
        for (SInt32 i = 0; i < catalog_->itemCount; ++i)
            if (catalog_->entries[i].id == id) return &catalog_->entries[i];
        return nullptr;
    }
    std::string Ids(std::initializer_list<UInt32> ids) {
        std::string s;
        for (UInt32 id : ids) s += (s.empty() ? "" : ",") + std::to_string(id);
        return "[" + s + "]";
    }
};

TEST_F(OrganizeIndexing, ValuesGroupInByteOrderWithIdsInItemOrder) {
    const auto ids = Add({
        {{{kFieldKeywords, "b"}}},
        {{{kFieldKeywords, "A"}, {kFieldKeywords, "x"}, {kFieldKeywords, "x"}}},  // one value twice
        {{{kFieldKeywords, "a"}}},
        {{{kFieldKeywords, "b"}}, kEntryPendingFlag},  // not read yet: left out
        {{{kFieldKeywords, "b"}, {kFieldCity, "Rome"}}},
        {{{kFieldKeywords, ""}}},                       // an empty value makes no entry
    });
    ASSERT_EQ(OrganizeBuildList(catalog_, kFieldKeywords, nullptr, 0), noErr);
    EXPECT_EQ(Shape(catalog_, kFieldKeywords),
              (std::vector<std::string>{"A" + Ids({ids[1]}), "a" + Ids({ids[2]}), "b" + Ids({ids[0], ids[4]}),
                                        "x" + Ids({ids[1]})}));
    EXPECT_TRUE(OrganizeGetList(catalog_, kFieldKeywords)->isFlatSorted());

    // A single-value field takes its first value only; a field nobody has gives no entries.
    ASSERT_EQ(OrganizeBuildList(catalog_, kFieldCity, nullptr, 0), noErr);
    EXPECT_EQ(Shape(catalog_, kFieldCity), (std::vector<std::string>{"Rome" + Ids({ids[4]})}));
    ASSERT_EQ(OrganizeBuildList(catalog_, kFieldCountry, nullptr, 0), noErr);
    EXPECT_EQ(OrganizeGetEntryCount(catalog_, kFieldCountry), 0u);
    // A custom field past the names in use gets no list; the sets are never built.
    EXPECT_EQ(OrganizeBuildList(catalog_, 770, nullptr, 0), noErr);
    EXPECT_FALSE(OrganizeHasList(catalog_, 770));
    EXPECT_EQ(OrganizeBuildList(catalog_, kOrganizeSetsField, nullptr, 0), noErr);
    EXPECT_EQ(OrganizeGetEntryCount(catalog_, kOrganizeSetsField), 0u);
}

TEST_F(OrganizeIndexing, LabelsListHasItsTenEntriesWhateverTheItems) {
    const auto ids = Add({{{}, 3}, {{}, 0}, {{}, 3}});
    ASSERT_EQ(OrganizeBuildList(catalog_, kOrganizeLabelsField, nullptr, 0), noErr);
    EXPECT_EQ(Shape(catalog_, kOrganizeLabelsField),
              (std::vector<std::string>{"0" + Ids({ids[1]}), "1", "2", "3" + Ids({ids[0], ids[2]}), "4", "5", "6", "7",
                                        "8", "9"}));
    // A new label: only the labels list follows it.
    Entry(ids[0])->flags = (Entry(ids[0])->flags & ~kEntryLabelMask) | 7;
    EXPECT_TRUE(OrganizeIndexItemField(catalog_, kOrganizeLabelsField, Entry(ids[0])));
    EXPECT_EQ(Shape(catalog_, kOrganizeLabelsField)[3], "3" + Ids({ids[2]}));
    EXPECT_EQ(Shape(catalog_, kOrganizeLabelsField)[7], "7" + Ids({ids[0]}));
    // Built once: a second build leaves it alone.
    Entry(ids[1])->flags |= 9;
    EXPECT_EQ(OrganizeBuildList(catalog_, kOrganizeLabelsField, nullptr, 0), noErr);
    EXPECT_EQ(Shape(catalog_, kOrganizeLabelsField)[0], "0" + Ids({ids[1]}));
}

TEST_F(OrganizeIndexing, DateListHoldsEveryDatedItem) {
    const auto ids = Add({
        {{{kFieldEventDate, "20050307"}}},
        {{{kFieldEventDate, "19750602"}}},   // before 1980
        {{{kFieldEventDate, "20150809"}}},   // after September 2011
        {{}, 0, 0},                           // no date at all
        {{{kFieldEventDate, "20050307"}}},
    });
    ASSERT_EQ(OrganizeBuildList(catalog_, kOrganizeDateField, nullptr, 0), noErr);
    EXPECT_EQ(Shape(catalog_, kOrganizeDateField),
              (std::vector<std::string>{"1975+", "  June+", "    Monday 02" + Ids({ids[1]}), "2005+", "  March+",
                                        "    Monday 07" + Ids({ids[0], ids[4]}), "2015+", "  August+",
                                        "    Sunday 09" + Ids({ids[2]})}));
}

TEST_F(OrganizeIndexing, ProgressIsReportedAndCanStop) {
    Add({{{{kFieldKeywords, "a"}}}, {{{kFieldKeywords, "b"}}}, {{{kFieldKeywords, "c"}}}});
    static std::vector<std::pair<short, long>> calls;
    calls.clear();
    auto stopAtTwo = [](short phase, long done, long, long refCon) -> OSErr {
        calls.push_back({phase, done});
        return phase == 1 && done == 2 ? OSErr(userCanceledErr) : OSErr(noErr);
    };
    EXPECT_EQ(OrganizeBuildList(catalog_, kFieldKeywords, stopAtTwo, 0), userCanceledErr);
    EXPECT_EQ(calls, (std::vector<std::pair<short, long>>{{0, 0}, {1, 1}, {1, 2}, {2, 0}}));
    // What was read before the stop stays.
    EXPECT_EQ(OrganizeGetEntryCount(catalog_, kFieldKeywords), 2u);
}

// Re-indexing one item after its record changed (here: its entry points at another record).
TEST_F(OrganizeIndexing, ReindexingOneItemMovesItBetweenEntries) {
    const auto ids = Add({
        {{{kFieldKeywords, "a"}, {kFieldKeywords, "b"}, {kFieldEventDate, "20050307"}}},
        {{{kFieldKeywords, "b"}, {kFieldKeywords, "c"}, {kFieldEventDate, "19990101"}}},
        {{{kFieldKeywords, "zz"}, {kFieldEventDate, "20050307"}}},
    });
    for (UInt32 f : {UInt32(kFieldKeywords), UInt32(kOrganizeDateField)})
        ASSERT_EQ(OrganizeBuildList(catalog_, f, nullptr, 0), noErr);
    ManualTimerService timers;
    SetTimerService(&timers);
    RecordingWindow window;
    ASSERT_EQ(CatalogAddListener(catalog_, &window, kCatalogMsgOrganizeChanged), noErr);

    // The first item now carries what the third carries.
    Entry(ids[0])->position = Entry(ids[2])->position;
    FieldEngineReset();
    OrganizeIndexItem(catalog_, Entry(ids[0]), false);  // annotations not flagged: keywords wait
    EXPECT_EQ(Shape(catalog_, kFieldKeywords)[0], "a" + Ids({ids[0]}));
    OrganizeIndexItem(catalog_, Entry(ids[0]), true);
    EXPECT_EQ(Shape(catalog_, kFieldKeywords),
              (std::vector<std::string>{"a", "b" + Ids({ids[1]}), "c" + Ids({ids[1]}), "zz" + Ids({ids[2], ids[0]})}));
    timers.Advance(kNotifyIntervalMs);
    // Two lists changed in one tick: one message for several fields.
    EXPECT_EQ(window.Params(kCatalogMsgOrganizeChanged), (std::vector<WPARAM>{0}));

    // Taken out of every list; the emptied entries stay.
    window.got.clear();
    OrganizeRemoveItemFromAll(catalog_, ids[1]);
    timers.Advance(kNotifyIntervalMs);
    EXPECT_EQ(window.Params(kCatalogMsgOrganizeChanged), (std::vector<WPARAM>{0}));
    EXPECT_EQ(Shape(catalog_, kFieldKeywords), (std::vector<std::string>{"a", "b", "c", "zz" + Ids({ids[2], ids[0]})}));
    EXPECT_EQ(Shape(catalog_, kOrganizeDateField),
              (std::vector<std::string>{"1999+", "  January+", "    Friday 01", "2005+", "  March+",
                                        "    Monday 07" + Ids({ids[0], ids[2]})}));
    CatalogRemoveListener(catalog_, &window, 0);
    SetTimerService(nullptr);
}

}  // namespace
