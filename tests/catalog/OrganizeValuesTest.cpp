// Values given to and taken from items through the organize lists, entries removed and
// renamed, and sets made from a field, on items stored in a work file.
#include "OrganizeTestSupport.h"
#include "WorkFileCatalogTest.h"
#include "support/RecordingWindow.h"

#include "catalog/fields/FieldIds.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemOrder.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/organize/OrganizeIndex.h"
#include "catalog/organize/OrganizeSets.h"
#include "catalog/organize/OrganizeValues.h"
#include "foundation/format/LocaleFormats.h"
#include "media/kinds/KindTable.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

namespace {

using organize_test::PStr;
using organize_test::SetList;
using organize_test::Shape;
using organize_test::Text;

class OrganizeValues : public WorkFileCatalogTest {
protected:
    UInt32 Add(const ByteString& annotations, UInt32 flags = 0, OSType kind = 'JPEG') {
        TestItem item = MakeTestItem("item" + std::to_string(catalog_->itemCount) + ".jpg");
        item.annotations = annotations;
        item.flags = flags;
        item.record.kind = kind;
        const SInt32 index = AppendWorkFileItem(catalog_, item);
        return catalog_->entries[index - 1].id;
    }
    UInt8 Label(UInt32 id) { return UInt8(CatalogFindEntryById(catalog_, id)->flags & kEntryLabelMask); }
    void Assign(UInt32 field, UInt32 n, const std::vector<UInt32>& ids) {
        Handle h = IdHandle(ids);
        OrganizeAssignItems(catalog_, field, n, h, nullptr, 0);
        DisposeHandle(h);
    }
    void Unassign(UInt32 field, UInt32 n, const std::vector<UInt32>& ids) {
        Handle h = IdHandle(ids);
        OrganizeUnassignItems(catalog_, field, n, h, nullptr, 0);
        DisposeHandle(h);
    }
    UInt32 Number(UInt32 field, const std::string& text) {
        UInt32 position = 0;
        return OrganizeFindChild(catalog_, field, Text(text), 0, 0, false, nullptr, &position) ? position : 0;
    }
    static std::string L(const std::string& text, std::initializer_list<UInt32> ids) {
        std::string s = text + "[";
        bool first = true;
        for (UInt32 id : ids) s += (first ? "" : ",") + std::to_string(id), first = false;
        return s + "]";
    }
};

TEST_F(OrganizeValues, LabelsGivenAndTakenAway) {
    const UInt32 a = Add("", 5), b = Add(""), c = Add("", 3);
    ASSERT_EQ(OrganizeBuildList(catalog_, kOrganizeLabelsField, nullptr, 0), noErr);
    Assign(kOrganizeLabelsField, 4, {a, b});  // entry "3"
    EXPECT_EQ(Label(a), 3);
    EXPECT_EQ(Label(b), 3);
    EXPECT_EQ(Shape(catalog_, kOrganizeLabelsField)[3], L("3", {c, a, b}));
    // Taking label 3 away leaves items with another label alone.
    catalog_->entries[2].flags = (catalog_->entries[2].flags & ~kEntryLabelMask) | 7;
    Unassign(kOrganizeLabelsField, 4, {a, c});
    EXPECT_EQ(Label(a), 0);
    EXPECT_EQ(Label(c), 7);
    Unassign(kOrganizeLabelsField, 1, {b});  // entry "0" takes nothing away
    EXPECT_EQ(Label(b), 3);
    Assign(kOrganizeLabelsField, 1, {b});    // dropping on "0" clears
    EXPECT_EQ(Label(b), 0);
    EXPECT_EQ(catalog_->labelledCount, 1);  // only c keeps a label
}

TEST_F(OrganizeValues, AssigningKeywordsAndSingleValues) {
    const UInt32 a = Add(Dataset(kFieldKeywords, "sea") + Dataset(kFieldCity, "Oslo"));
    const UInt32 b = Add(Dataset(kFieldKeywords, "sand"));
    for (UInt32 f : {UInt32(kFieldKeywords), UInt32(kFieldCity)}) ASSERT_EQ(OrganizeBuildList(catalog_, f, nullptr, 0), noErr);
    SetList(catalog_, kFieldCity, {{"Oslo", 0, false, {a}}, {"Rome"}});

    ManualTimerService timers;
    SetTimerService(&timers);
    RecordingWindow window;
    ASSERT_EQ(CatalogAddListener(catalog_, &window, kCatalogMsgOrganizeChanged), noErr);

    Assign(kFieldKeywords, Number(kFieldKeywords, "sea"), {a, b});
    EXPECT_EQ(Annotations(a), Dataset(kFieldKeywords, "sea") + Dataset(kFieldCity, "Oslo"));  // no second "sea"
    EXPECT_EQ(Annotations(b), Dataset(kFieldKeywords, "sand") + Dataset(kFieldKeywords, "sea"));
    EXPECT_EQ(Shape(catalog_, kFieldKeywords), (std::vector<std::string>{L("sand", {b}), L("sea", {a, b})}));
    timers.Advance(kNotifyIntervalMs);
    EXPECT_EQ(window.Params(kCatalogMsgOrganizeChanged), (std::vector<WPARAM>{kFieldKeywords}));

    // A single value is replaced, and the item leaves the entry of its old value.
    Assign(kFieldCity, 2, {a, b});
    EXPECT_EQ(Annotations(a), Dataset(kFieldKeywords, "sea") + Dataset(kFieldCity, "Rome"));
    EXPECT_EQ(Shape(catalog_, kFieldCity), (std::vector<std::string>{"Oslo", L("Rome", {a, b})}));
    CatalogRemoveListener(catalog_, &window, 0);
    SetTimerService(nullptr);

    // Taking the keyword away removes it from the items that have it.
    Unassign(kFieldKeywords, Number(kFieldKeywords, "sea"), {a, b});
    EXPECT_EQ(Annotations(b), Dataset(kFieldKeywords, "sand") + Dataset(kFieldCity, "Rome"));
    EXPECT_EQ(Shape(catalog_, kFieldKeywords), (std::vector<std::string>{L("sand", {b}), "sea"}));
}

TEST_F(OrganizeValues, DatesAreWrittenAsEightDigits) {
    const UInt32 a = Add(Dataset(kFieldEventDate, "20050307"));
    const UInt32 b = Add(""), c = Add("");
    ASSERT_EQ(OrganizeBuildList(catalog_, kOrganizeDateField, nullptr, 0), noErr);
    Assign(kOrganizeDateField, 3, {b});  // the day entry
    EXPECT_EQ(Annotations(b), Dataset(kFieldEventDate, "20050307"));
    EXPECT_EQ(Shape(catalog_, kOrganizeDateField)[2], "    Monday 07" + L("", {a, b}));
    Assign(kOrganizeDateField, 1, {c});  // the year entry: year and four zeros
    EXPECT_EQ(Annotations(c), Dataset(kFieldEventDate, "20050000"));
    EXPECT_TRUE(OrganizeGetEntry(catalog_, kOrganizeDateField, 1)->items.empty());
}

TEST_F(OrganizeValues, TheSampleColourIsNotWrittenIntoAnnotations) {
    const UInt32 a = Add("");
    SetList(catalog_, 27, {{"4279173375"}});
    Assign(27, 1, {a});
    EXPECT_EQ(Annotations(a), "");
    EXPECT_FALSE(OrganizeCommandAllowed(OrganizeGetEntry(catalog_, 27, 1), 27, kOrganizeCmdAddSelected));
}

TEST_F(OrganizeValues, RemovingEntries) {
    // File types are listed by their kind names.
    KindTableClear();
    KindRegister('JPEG', kKindHandlerGraphicsImporter, "JPEG image", kKindCategoryImage);
    KindRegister('TIFF', kKindHandlerGraphicsImporter, "TIFF image", kKindCategoryImage);
    const UInt32 a = Add(Dataset(kFieldKeywords, "sea") + Dataset(kFieldEventDate, "20050307"));
    const UInt32 b = Add(Dataset(kFieldKeywords, "sea") + Dataset(kFieldKeywords, "sun"), kEntryHiddenFlag, 'TIFF');
    const UInt32 c = Add(Dataset(kFieldEventDate, "20050308"), 0, 'TIFF');
    const UInt32 d = Add(Dataset(kFieldEventDate, "20060101"), 2);
    for (UInt32 f : {UInt32(kFieldKeywords), 3u, UInt32(kOrganizeDateField), UInt32(kOrganizeLabelsField)})
        ASSERT_EQ(OrganizeBuildList(catalog_, f, nullptr, 0), noErr);

    // A keyword: taken out of its items, its entry gone; the items stay.
    OrganizeRemoveEntry(catalog_, kFieldKeywords, Number(kFieldKeywords, "sea"), nullptr, 0);
    EXPECT_EQ(Annotations(a), Dataset(kFieldEventDate, "20050307"));
    EXPECT_EQ(Annotations(b), Dataset(kFieldKeywords, "sun"));
    EXPECT_EQ(Shape(catalog_, kFieldKeywords), (std::vector<std::string>{L("sun", {b})}));
    EXPECT_EQ(catalog_->itemCount, 4);

    // A label entry: its items lose the label, the entry stays.
    OrganizeRemoveEntry(catalog_, kOrganizeLabelsField, 3, nullptr, 0);
    EXPECT_EQ(Label(d), 0);
    EXPECT_EQ(OrganizeGetEntryCount(catalog_, kOrganizeLabelsField), 10u);

    // A file type: its items leave the catalog, the hidden one among them too.
    const UInt32 types = OrganizeGetEntryCount(catalog_, 3);
    ASSERT_EQ(types, 2u);
    UInt32 tiff = 0;
    for (UInt32 n = 1; n <= types; ++n)
        if (OrganizeGetEntry(catalog_, 3, n)->items.size() == 2) tiff = n;
    ASSERT_NE(tiff, 0u);
    OrganizeRemoveEntry(catalog_, 3, tiff, nullptr, 0);
    EXPECT_EQ(catalog_->itemCount, 2);
    EXPECT_EQ(catalog_->hiddenCount, 0);
    EXPECT_EQ(CatalogFindEntryById(catalog_, b), nullptr);
    EXPECT_EQ(CatalogFindEntryById(catalog_, c), nullptr);
    EXPECT_EQ(OrganizeGetEntryCount(catalog_, 3), 1u);

    // A year of the date list with its content: the items of its days leave the catalog.
    ASSERT_EQ(PStr(OrganizeGetEntry(catalog_, kOrganizeDateField, 1)->text), "2005");
    OrganizeRemoveEntry(catalog_, kOrganizeDateField, 1, nullptr, 0);
    EXPECT_EQ(catalog_->itemCount, 1);
    EXPECT_EQ(CatalogFindEntryById(catalog_, a), nullptr);
    EXPECT_EQ(Shape(catalog_, kOrganizeDateField),
              (std::vector<std::string>{"2006+", "  January+", "    Sunday 01" + L("", {d})}));

    // A set container goes with its sets; no item is touched.
    SetList(catalog_, 162, {{"Trips", 0, true}, {"Rome", 1, false, {d}}, {"Zoo"}});
    OrganizeRemoveEntry(catalog_, 162, 1, nullptr, 0);
    EXPECT_EQ(Shape(catalog_, 162), (std::vector<std::string>{"Zoo"}));
    EXPECT_EQ(catalog_->itemCount, 1);
    KindTableClear();
}

TEST_F(OrganizeValues, RenamingEntries) {
    const UInt32 a = Add(Dataset(kFieldKeywords, "b") + Dataset(kFieldKeywords, "m"));
    const UInt32 b = Add(Dataset(kFieldKeywords, "b"));
    const UInt32 c = Add(Dataset(kFieldKeywords, "c"));
    ASSERT_EQ(OrganizeBuildList(catalog_, kFieldKeywords, nullptr, 0), noErr);
    const UInt32 bEntry = Number(kFieldKeywords, "b");
    EXPECT_EQ(OrganizeRenameEntry(catalog_, kFieldKeywords, bEntry, "c", 1, nullptr, 0), 0u);      // another's text
    EXPECT_EQ(OrganizeRenameEntry(catalog_, kFieldKeywords, bEntry, "b", 1, nullptr, 0), bEntry);  // its own
    EXPECT_EQ(OrganizeRenameEntry(catalog_, kFieldKeywords, bEntry, "", 0, nullptr, 0), 0u);
    // "b" becomes "z": the entry moves to its place, the items take the new value where the old
    // one stood.
    EXPECT_EQ(OrganizeRenameEntry(catalog_, kFieldKeywords, bEntry, "z", 1, nullptr, 0), 3u);
    EXPECT_EQ(Shape(catalog_, kFieldKeywords), (std::vector<std::string>{L("c", {c}), L("m", {a}), L("z", {a, b})}));
    EXPECT_EQ(Annotations(a), Dataset(kFieldKeywords, "z") + Dataset(kFieldKeywords, "m"));
    EXPECT_EQ(Annotations(b), Dataset(kFieldKeywords, "z"));
    // Fields whose entries cannot be renamed.
    EXPECT_EQ(OrganizeRenameEntry(catalog_, 3, 1, "x", 1, nullptr, 0), 0u);

    // Sets: a sibling's name is refused, a name used elsewhere in the tree is not.
    SetList(catalog_, 162, {{"A", 0, true}, {"x", 1}, {"y", 1}, {"x"}});
    EXPECT_EQ(OrganizeRenameEntry(catalog_, 162, 3, "x", 1, nullptr, 0), 0u);
    EXPECT_EQ(OrganizeRenameEntry(catalog_, 162, 3, "y", 1, nullptr, 0), 3u);
    EXPECT_EQ(OrganizeRenameEntry(catalog_, 162, 1, "x", 1, nullptr, 0), 0u);
    EXPECT_EQ(OrganizeRenameEntry(catalog_, 162, 3, "B", 1, nullptr, 0), 3u);
    EXPECT_EQ(Shape(catalog_, 162), (std::vector<std::string>{"A+", "  x", "  B", "x"}));
}

TEST_F(OrganizeValues, SetsMadeFromAFieldReplaceTheirEarlierCopy) {
    const UInt32 a = Add(Dataset(kFieldKeywords, "sea") + Dataset(kFieldKeywords, "sun"));
    const UInt32 b = Add(Dataset(kFieldKeywords, "sea"));
    SetList(catalog_, 162, {{"Mine"}});
    ASSERT_EQ(OrganizeMakeSetsFromField(catalog_, kFieldKeywords, nullptr, 0), noErr);
    ASSERT_EQ(OrganizeMakeSetsFromField(catalog_, kFieldKeywords, nullptr, 0), noErr);
    const auto shape = Shape(catalog_, 162);
    ASSERT_EQ(shape.size(), 4u);
    EXPECT_EQ(shape[1], "  " + L("sea", {a, b}));
    EXPECT_EQ(shape[2], "  " + L("sun", {a}));
    EXPECT_EQ(shape[3], "Mine");
    EXPECT_EQ(OrganizeGetEntry(catalog_, 162, 2)->expanded, 0);
    EXPECT_EQ(OrganizeMakeSetsFromField(catalog_, kOrganizeSetsField, nullptr, 0), paramErr);
}

}  // namespace
