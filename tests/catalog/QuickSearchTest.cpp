// The quick text search against the plain way of doing it: every item's record, annotations,
// URL, metadata, set names and label name put together, upper-cased, and searched. On a table
// of texts (letter case, Windows-1252 accents, UTF-8 values, texts running from one part of an
// item into the next) both must find the same items, for the whole catalog, within a restricting
// id list, in another item order, and item by item.
#include "ItemDataSupport.h"
#include "OrganizeTestSupport.h"

#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/organize/OrganizeLists.h"
#include "catalog/sort/SortEngine.h"
#include "catalog/tables/ItemSearch.h"
#include "catalog/tables/Labels.h"
#include "foundation/text/CodePages.h"
#include "media/metadata/IptcBlock.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

// Everything of the item in one buffer, upper-cased, as the search is defined.
std::string PlainText(const CatalogRec* c, const ItemEntry* e, bool withLabel) {
    std::string text;
    ItemRec record;
    if (ItemLoadRecord(c, e, &record) == noErr)
        text.append(reinterpret_cast<const char*>(&record), sizeof record);
    for (int block : {kBlockAnnotations, kBlockUrl, kBlockMetadata}) {
        if (Handle h = ItemReadBlock(c, e, block)) {
            text.append(*h, std::size_t(GetHandleSize(h)));
            DisposeHandle(h);
        }
    }
    UInt32 number = 0;
    for (UInt32 k = 1;; ++k) {
        const OrganizeEntry* set = OrganizeFindEntryWithItem(c, kFieldCatalogSets, k, e->id, &number);
        if (!set) break;
        text.append(reinterpret_cast<const char*>(set->text + 1), set->text[0]);
    }
    if (withLabel && (e->flags & kEntryLabelMask)) {
        Str255 name;
        LabelGetInfo(int(e->flags & kEntryLabelMask), name, nullptr);
        text.append(reinterpret_cast<const char*>(name + 1), name[0]);
    }
    UpperCaseBuffer(text.data(), long(text.size()));
    return text;
}

std::vector<UInt32> PlainSearch(const CatalogRec* c, const std::string& query,
                                const std::set<UInt32>* scope) {
    std::string needle = query;
    UpperCaseBuffer(needle.data(), long(needle.size()));
    std::vector<UInt32> hits;
    for (SInt32 i = 0; i < c->itemCount; ++i) {
        const ItemEntry* e = &c->entries[i];
        if (scope && !scope->count(e->id)) continue;
        if (!needle.empty() && PlainText(c, e, true).find(needle) != std::string::npos) hits.push_back(e->id);
    }
    return hits;
}

class QuickSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        catalog_ = NewCatalogWithWorkFile(tmp_);
        ASSERT_NE(catalog_, nullptr);
        LabelTableInit();

        TestItem cafe = MakeTestItem("cafe.jpg");
        cafe.annotations =
            Dataset(kFieldKeywords, "Caf\xE9 cr\xE8me") + Dataset(kFieldCaption, "ends with tail");
        cafe.url = std::string("http://example.org/Stra\xDF") + "e";
        TestItem zurich = MakeTestItem("zurich.jpg");
        zurich.annotations = Dataset(kFieldCity, "Z\xC3\xBCrich", IptcMarkerUtf8);
        zurich.metadata = FlattenedUserData({{kFieldMaker, "Canon", true}});
        zurich.flags = 1;  // label 1, "Red"
        TestItem plain = MakeTestItem("PLAIN.JPG");
        plain.metadata = FlattenedUserData({{kFieldModel, "\x9Aoupe \xFF", true}});
        TestItem hidden = MakeTestItem("hidden.jpg");
        hidden.annotations = Dataset(kFieldCaption, "CAF\xC9 noir");
        hidden.flags = kEntryHiddenFlag;
        for (const TestItem* t : {&cafe, &zurich, &plain, &hidden})
            ASSERT_GT(AppendWorkFileItem(catalog_, *t), 0);
        // Sets: Fav holds items 2 and 3, Trips item 3.
        organize_test::SetList(catalog_, kFieldCatalogSets,
                               {{"Fav", 0, false, {2, 3}}, {"Trips", 0, false, {3}}});
    }
    void TearDown() override {
        if (catalog_) CatalogClose(catalog_, false);
    }

    void ExpectSameHits(const char* when) {
        const std::set<UInt32> scope{1, 3};
        Handle scopeIds = nullptr;
        const std::vector<UInt32> scopeList(scope.begin(), scope.end());
        PtrToHand(scopeList.data(), &scopeIds, Size(scopeList.size() * 4));
        for (const std::string& q : queries_) {
            EXPECT_EQ(Ids(ItemSearchText(catalog_, q.data(), long(q.size()), nullptr)),
                      PlainSearch(catalog_, q, nullptr))
                << when << ": " << q;
            EXPECT_EQ(Ids(ItemSearchText(catalog_, q.data(), long(q.size()), scopeIds)),
                      PlainSearch(catalog_, q, &scope))
                << when << ", restricted: " << q;
            std::string needle = q;
            UpperCaseBuffer(needle.data(), long(needle.size()));
            for (SInt32 n = 1; n <= 3; ++n)
                EXPECT_EQ(
                    ItemMatchesText(catalog_, n, q.data(), long(q.size())),
                    !q.empty() && PlainText(catalog_, CatalogGetItemEntry(catalog_, n), false).find(needle) !=
                                      std::string::npos)
                    << when << ", item " << n << ": " << q;
        }
        DisposeHandle(scopeIds);
    }

    // clang-format off
    const std::vector<std::string> queries_ = {
        "caf\xC9", "CAF\xE9 CR\xC8ME", "cafe", "\xE9", "e",          // case and accents
        "z\xC3\xBCrich", "Z\xC3\xBCRICH", "z\xFCrich",              // a UTF-8 value, and 1252 for it
        "stra\xDF\x65", "\x8AOUPE \x9F", "canon", "plain.jpg",       // URL, metadata, record
        "tailhttp", "canonfav", "favtrips", "tripsred", "favred",   // across the parts of an item
        "red", "noir", "nowhere at all", "",
    };
    // clang-format on
    TempFolder tmp_;
    CatalogRec* catalog_ = nullptr;
};

// A catalog large enough to be searched on several threads finds what the plain search finds,
// wherever an item's text lies and whichever thread reads it.
TEST(QuickSearchThreads, ALargeCatalogFindsWhatThePlainSearchFinds) {
    TempFolder tmp;
    CatalogRec* catalog = NewCatalogWithWorkFile(tmp);
    ASSERT_NE(catalog, nullptr);
    LabelTableInit();
    constexpr int kItems = 4000;
    std::vector<UInt32> inSet;
    for (int i = 0; i < kItems; ++i) {
        TestItem item = MakeTestItem("item" + std::to_string(i) + ".jpg");
        std::string caption = "picture " + std::to_string(i);
        if (i % 7 == 0) caption += " harbour";
        if (i % 997 == 0) caption += " lighthouse";
        item.annotations = Dataset(kFieldCaption, caption);
        if (i % 11 == 0) item.url = "http://example.org/quay" + std::to_string(i);
        if (i % 13 == 0) item.flags = 2;
        ASSERT_GT(AppendWorkFileItem(catalog, item), 0);
        if (i % 500 == 0) inSet.push_back(UInt32(i + 1));
    }
    organize_test::SetList(catalog, kFieldCatalogSets, {{"Selects", 0, false, inSet}});
    for (const std::string q : {"HARBOUR", "lighthouse", "quay", "selects", "picture 3999", "nowhere"}) {
        const std::vector<UInt32> expected = PlainSearch(catalog, q, nullptr);
        const std::vector<UInt32> got = Ids(ItemSearchText(catalog, q.data(), long(q.size()), nullptr));
        std::vector<UInt32> onlyGot, onlyExpected;
        std::set_difference(got.begin(), got.end(), expected.begin(), expected.end(), std::back_inserter(onlyGot));
        std::set_difference(expected.begin(), expected.end(), got.begin(), got.end(), std::back_inserter(onlyExpected));
        EXPECT_EQ(onlyGot, std::vector<UInt32>{}) << q;
        EXPECT_EQ(onlyExpected, std::vector<UInt32>{}) << q;
    }
    Str255 label;
    LabelGetInfo(2, label, nullptr);
    const std::string labelName(reinterpret_cast<const char*>(label + 1), label[0]);
    EXPECT_EQ(Ids(ItemSearchText(catalog, labelName.data(), long(labelName.size()), nullptr)).size(),
              PlainSearch(catalog, labelName, nullptr).size());
    CatalogClose(catalog, false);
}

TEST_F(QuickSearchTest, FindsWhatThePlainSearchFinds) {
    // Texts that run from one part of an item into the next are found.
    EXPECT_EQ(Ids(ItemSearchText(catalog_, "tailhttp", 8, nullptr)), (std::vector<UInt32>{1}));
    EXPECT_EQ(Ids(ItemSearchText(catalog_, "favred", 6, nullptr)), (std::vector<UInt32>{2}));
    EXPECT_FALSE(ItemMatchesText(catalog_, 2, "favred", 6)) << "the label's name is not the item's data";
    EXPECT_EQ(Ids(ItemSearchText(catalog_, "CAF\xE9", 4, nullptr)), (std::vector<UInt32>{1, 4}));
    ExpectSameHits("as added");
    ASSERT_TRUE(CatalogReverseOrder(catalog_));
    ExpectSameHits("reversed");
}

}  // namespace
