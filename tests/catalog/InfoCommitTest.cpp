// Committing the Info panel's pending edits into the current item and the other selected
// items of a catalog: what each item's annotations become, what stays untouched, and that
// nothing is written when nothing is pending.
#include "OrganizeTestSupport.h"
#include "WorkFileCatalogTest.h"

#include "catalog/fields/FieldIds.h"
#include "catalog/info/InfoEdit.h"
#include "catalog/info/InfoRows.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/organize/OrganizeIndex.h"
#include "foundation/format/LocaleFormats.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>

namespace {

using organize_test::Shape;

class InfoCommit : public WorkFileCatalogTest {
protected:
    UInt32 Add(const ByteString& annotations) {
        TestItem item = MakeTestItem("item" + std::to_string(catalog_->itemCount) + ".jpg");
        item.annotations = annotations;
        const SInt32 index = AppendWorkFileItem(catalog_, item);
        return catalog_->entries[index - 1].id;
    }
    UInt32 AnnotatedDate(UInt32 id) {
        ItemRec r;
        EXPECT_EQ(ItemLoadRecord(catalog_, CatalogFindEntryById(catalog_, id), &r), noErr);
        return r.annotatedDate;
    }
    UInt32 Find(UInt8 kind, UInt32 field) {
        for (UInt32 i = 1; i <= InfoRowCount(catalog_); ++i)
            if (InfoGetRow(catalog_, i)->kind == kind && InfoGetRow(catalog_, i)->fieldId == field) return i;
        return 0;
    }
    bool Set(UInt32 n, const std::string& text) { return InfoEditSetRowText(catalog_, n, text.data(), long(text.size())); }

};

TEST_F(InfoCommit, EditsReachEverySelectedItemAndNothingElseChanges) {
    const ByteString utf8Keyword = Dataset(kFieldKeywords, "\xC5\x81\xC3\xB3" "d\xC5\xBA", 0x1D);
    const UInt32 first = Add(Dataset(kFieldRecordVersion, ByteString("\0\x02", 2)) + Dataset(IptcFieldId(2, 12), "subj") +
                             Dataset(kFieldKeywords, "a") + Dataset(kFieldCity, "Rome") + Dataset(kFieldKeywords, "b") +
                             utf8Keyword + Dataset(IptcFieldId(2, 60), "101010") +
                             Dataset(IptcFieldId(3, 5), "custom five") + Dataset(kFieldCaption, "old"));
    const UInt32 second = Add(Dataset(kFieldKeywords, "x") + Dataset(kFieldKeywords, "b") + Dataset(kFieldCity, "Oslo") +
                              Dataset(kFieldCountry, "Norway"));
    const UInt32 third = Add("");
    ASSERT_EQ(OrganizeBuildList(catalog_, kFieldKeywords, nullptr, 0), noErr);

    InfoLoadItem(catalog_, CatalogFindEntryById(catalog_, first));
    ASSERT_TRUE(Set(Find(kInfoRowField, kFieldCity), "Paris"));
    ASSERT_TRUE(Set(Find(kInfoRowField, kFieldEventDate), "2005-03-07"));
    const UInt32 keywords = Find(kInfoRowEditableHeader, kInfoSectionKeywords);
    ASSERT_TRUE(InfoEditRemoveValue(catalog_, keywords + 2));  // "b"
    ASSERT_TRUE(Set(Find(kInfoRowNewValue, kFieldKeywords), "c"));
    SetHandleSize(catalog_->infoCaption, 0);
    PtrAndHand("new", catalog_->infoCaption, 3);
    catalog_->infoCaptionState = kInfoStateChanged;

    Handle ids = IdHandle({first, second, third, 999});
    InfoEditCommit(catalog_, ids, nullptr, 0);
    DisposeHandle(ids);

    // The current item: the rows' changes in its own block; what the panel does not show stays,
    // the UTF-8 keyword included; the date goes in as eight digits.
    EXPECT_EQ(Annotations(first), Dataset(kFieldRecordVersion, ByteString("\0\x02", 2)) +
                                      Dataset(IptcFieldId(2, 12), "subj") + Dataset(kFieldCity, "Paris") +
                                      Dataset(IptcFieldId(2, 60), "101010") + Dataset(IptcFieldId(3, 5), "custom five") +
                                      Dataset(kFieldCaption, "new") + Dataset(kFieldEventDate, "20050307") +
                                      Dataset(kFieldKeywords, "a") + utf8Keyword + Dataset(kFieldKeywords, "c"));
    // The others: single values replaced, the removed keyword gone, the added one there,
    // untouched rows (the country, keyword "a") not applied.
    EXPECT_EQ(Annotations(second), Dataset(kFieldKeywords, "x") + Dataset(kFieldCity, "Paris") +
                                       Dataset(kFieldCountry, "Norway") + Dataset(kFieldEventDate, "20050307") +
                                       Dataset(kFieldKeywords, "c") + Dataset(kFieldCaption, "new"));
    EXPECT_EQ(Annotations(third), Dataset(kFieldEventDate, "20050307") + Dataset(kFieldCity, "Paris") +
                                      Dataset(kFieldKeywords, "c") + Dataset(kFieldCaption, "new"));
    for (UInt32 id : {first, second, third}) EXPECT_NE(AnnotatedDate(id), 0u) << id;

    // The items were indexed again, and the rows show the current item as it is now.
    const auto shape = Shape(catalog_, kFieldKeywords);
    auto has = [&](const std::string& line) { return std::find(shape.begin(), shape.end(), line) != shape.end(); };
    EXPECT_TRUE(has("b"));  // emptied, still listed
    EXPECT_TRUE(has("c[" + std::to_string(first) + "," + std::to_string(second) + "," + std::to_string(third) + "]"));
    EXPECT_TRUE(has("a[" + std::to_string(first) + "]"));
    EXPECT_FALSE(InfoEditHasPending(catalog_));
    const InfoRow* city = InfoGetRow(catalog_, Find(kInfoRowField, kFieldCity));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(city->text + 1), city->text[0]), "Paris");
}

TEST_F(InfoCommit, NothingPendingTouchesNoItem) {
    const UInt32 first = Add(Dataset(kFieldCity, "Rome"));
    const UInt32 second = Add(Dataset(kFieldCity, "Oslo"));
    InfoLoadItem(catalog_, CatalogFindEntryById(catalog_, first));
    const std::vector<ItemEntry> before(catalog_->entries, catalog_->entries + catalog_->itemCount);
    SInt64 eof = 0;
    GetEOF64(catalog_->workRefNum, &eof);
    Handle ids = IdHandle({first, second});
    InfoEditCommit(catalog_, ids, nullptr, 0);
    // A row edited and edited back is nothing pending either.
    const UInt32 city = Find(kInfoRowField, kFieldCity);
    ASSERT_TRUE(Set(city, "Paris"));
    ASSERT_TRUE(InfoEditRevertField(catalog_, city));
    InfoEditCommit(catalog_, ids, nullptr, 0);
    DisposeHandle(ids);
    SInt64 after = 0;
    GetEOF64(catalog_->workRefNum, &after);
    EXPECT_EQ(after, eof);
    for (SInt32 i = 0; i < catalog_->itemCount; ++i) EXPECT_EQ(catalog_->entries[i].position, before[std::size_t(i)].position);
    EXPECT_EQ(AnnotatedDate(first), 0u);
}

TEST_F(InfoCommit, ProgressCountsTheOtherItemsAndCanStop) {
    const UInt32 first = Add("");
    const UInt32 second = Add("");
    const UInt32 third = Add("");
    InfoLoadItem(catalog_, CatalogFindEntryById(catalog_, first));
    ASSERT_TRUE(Set(Find(kInfoRowField, kFieldCity), "Paris"));
    static std::vector<std::tuple<short, long, long>> calls;
    calls.clear();
    auto stopAfterOne = [](short phase, long done, long total, long) -> OSErr {
        calls.emplace_back(phase, done, total);
        return phase == 1 ? OSErr(userCanceledErr) : OSErr(noErr);
    };
    Handle ids = IdHandle({second, third});
    InfoEditCommit(catalog_, ids, stopAfterOne, 0);
    DisposeHandle(ids);
    EXPECT_EQ(calls, (std::vector<std::tuple<short, long, long>>{{0, 0, 2}, {1, 1, 2}, {2, 2, 2}}));
    EXPECT_EQ(Annotations(second), Dataset(kFieldCity, "Paris"));
    EXPECT_EQ(Annotations(third), "");
}

}  // namespace
