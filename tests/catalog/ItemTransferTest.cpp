// Items carried between catalogs by transfer packages: custom field names merged and values
// renumbered, label and sets kept, the folder found again, damaged packages refused.
#include "ItemDataSupport.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldDef.h"
#include "catalog/items/CustomFields.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/items/ItemTransfer.h"
#include "catalog/organize/OrganizeLists.h"
#include "foundation/text/PString.h"
#include "catalog/foldertree/FolderTree.h"
#include "catalog/foldertree/FolderTreeFields.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

void SetNames(CatalogRec* catalog, const std::vector<std::string>& names) {
    SetHandleSize(catalog->customFieldNames, Size(names.size()) * kCustomFieldNameSize);
    std::memset(*catalog->customFieldNames, 0, names.size() * kCustomFieldNameSize);
    for (std::size_t i = 0; i < names.size(); ++i)
        PStrFromBytes(reinterpret_cast<StringPtr>(*catalog->customFieldNames + i * kCustomFieldNameSize),
                      names[i].data(), long(names[i].size()));
}

std::string Value(const CatalogRec* catalog, const ItemEntry* e, FieldId id, SInt32 index = 1) {
    FieldValue v;
    UInt8 type = ItemGetField(catalog, e, index, id, &v);
    if (type == kFieldTypeText) return std::string(v.text.bytes, std::size_t(v.text.length));
    if (type == kFieldTypeU8) return std::to_string(v.u8);
    return "<none>";
}

class ItemTransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        source_ = NewCatalogWithWorkFile(tmp_, "work-a");
        destination_ = NewCatalogWithWorkFile(tmp_, "work-b");
        ASSERT_NE(source_, nullptr);
        ASSERT_NE(destination_, nullptr);
    }
    void TearDown() override {
        CatalogClose(source_, false);
        CatalogClose(destination_, false);
    }
    TempFolder tmp_;
    CatalogRec* source_ = nullptr;
    CatalogRec* destination_ = nullptr;
};

TEST_F(ItemTransferTest, BetweenCatalogsWithDifferentCustomFields) {
    SetNames(source_, {"A", "B"});
    SetNames(destination_, {"b"});
    TestItem item = MakeTestItem("sea.jpg");
    item.annotations = Dataset(617, "Sea") + Dataset(769, "value of A") + Dataset(770, "value of B");
    item.thumbnail = "thumb";
    item.flags = 3;
    const SInt32 index = AppendWorkFileItem(source_, item);
    const ItemEntry* from = &source_->entries[index - 1];

    // The item is filed in a folder of the source's tree and in its set "Summer".
    std::string file = tmp_.Write("pictures/sea.jpg", "x");
    FSSpec spec;
    ASSERT_EQ(FSMakeFSSpecFromPath(file, &spec), noErr);
    std::string stored;
    ASSERT_EQ(FolderTreeSpecToStored(source_->folderTree, &spec, &stored), noErr);
    ASSERT_NE(FolderTreeAddItemPath(source_->folderTree, stored, from->id, nullptr, nullptr), nullptr);
    Str255 summer;
    PStrFromCString(summer, "Summer");
    ASSERT_EQ(OrganizeInsertNamedEntry(source_, kFieldCatalogSets, 0, summer, 0, 0), noErr);
    ASSERT_EQ(OrganizeEntryAddItems(source_, kFieldCatalogSets, 1, &from->id, 1), noErr);

    // The destination already holds two items; the new one goes before the second.
    AppendWorkFileItem(destination_, MakeTestItem("one.jpg"));
    AppendWorkFileItem(destination_, MakeTestItem("two.jpg"));

    Handle package = ItemPackTransfer(source_, from);
    ASSERT_NE(package, nullptr);
    ASSERT_EQ(ItemUnpackTransfer(destination_, 2, package, 0), noErr);
    DisposeHandle(package);

    ASSERT_EQ(destination_->itemCount, 3);
    const ItemEntry* to = CatalogGetItemEntry(destination_, 2);
    ASSERT_NE(to, nullptr);
    EXPECT_EQ(Value(destination_, to, kFieldTitle), "Sea");
    // The names merged: b stays 1, A is appended as 2; the values follow their names.
    ASSERT_EQ(CatalogGetCustomFieldCount(destination_), 2);
    Str255 name;
    FieldGetName(destination_, 770, name);
    EXPECT_EQ(PText(name), "A");
    EXPECT_EQ(Value(destination_, to, 769), "value of B");
    EXPECT_EQ(Value(destination_, to, 770), "value of A");
    EXPECT_EQ(Value(destination_, to, kFieldLabel), "3");
    EXPECT_EQ(destination_->labelledCount, 1);
    EXPECT_EQ(Value(destination_, to, kFieldCatalogSets), "Summer");
    EXPECT_EQ(FolderTreeItemPathText(destination_, to), file) << "filed in the folder it came from";
    EXPECT_TRUE(CatalogIsModified(destination_));
    // The source is as it was.
    EXPECT_EQ(Value(source_, from, 769), "value of A");
    EXPECT_EQ(CatalogGetCustomFieldCount(source_), 2);
}

TEST_F(ItemTransferTest, DamagedPackagesAddNothing) {
    const SInt32 index = AppendWorkFileItem(source_, MakeTestItem("x.jpg"));
    Handle package = ItemPackVisible(source_, index);
    ASSERT_NE(package, nullptr);
    const ByteString good(*package, std::size_t(GetHandleSize(package)));
    DisposeHandle(package);
    for (std::size_t cut : {std::size_t(0), std::size_t(10), std::size_t(100), good.size() - 1}) {
        Handle h = nullptr;
        PtrToHand(good.data(), &h, Size(cut));
        EXPECT_EQ(ItemUnpackTransfer(destination_, 0, h, 0), paramErr) << cut;
        DisposeHandle(h);
    }
    Handle grown = nullptr;
    ByteString bigger = good + ByteString(4096, '\0');
    PtrToHand(bigger.data(), &grown, Size(bigger.size()));
    EXPECT_EQ(ItemUnpackTransfer(destination_, 0, grown, 0), paramErr);
    DisposeHandle(grown);
    EXPECT_EQ(ItemUnpackTransfer(destination_, 0, nullptr, 0), paramErr);
    EXPECT_EQ(destination_->itemCount, 0);

    // A package from another process: its folder node is not looked for.
    ByteString foreign = good;
    UInt32 pid = 1;
    std::memcpy(foreign.data() + foreign.size() - 8, &pid, 4);
    Handle h = nullptr;
    PtrToHand(foreign.data(), &h, Size(foreign.size()));
    EXPECT_EQ(ItemUnpackTransfer(destination_, 0, h, 0), noErr);
    DisposeHandle(h);
    EXPECT_EQ(destination_->itemCount, 1);
}

}  // namespace
