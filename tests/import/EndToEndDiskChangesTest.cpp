// The files under a catalog change while it is open: a file gone before its refresh, a file
// replaced by another picture and read again, and the catalog opened a second time without a
// work file, as the catalog finder opens it to look inside.
#include "EndToEndSupport.h"

#include "catalog/info/InfoEdit.h"
#include "catalog/info/InfoRows.h"
#include "catalog/items/ItemChanges.h"

namespace {

TEST_F(EndToEndTest, FilesChangingUnderAnOpenCatalog) {
    Put("metadata-samples/Canon.jpg", "d/a.jpg");
    Put("metadata-samples/Canon.jpg", "d/gone.jpg");
    Put("metadata-samples/Canon.jpg", "d/swapped.jpg");
    CatalogRec* c = Open();
    ASSERT_NE(c, nullptr);
    FSSpec folder = Spec(library / "d");
    ASSERT_EQ(CatalogAddFiles(c, 0, &folder, 1, nullptr, 0, nullptr), noErr);
    ASSERT_EQ(c->itemCount, 3);

    // One file vanishes before the refresh reaches it: the others are read, it keeps what the
    // import knew, and the job ends.
    std::filesystem::remove(library / "d/gone.jpg");
    RunRefresh(c);
    for (const char* rel : {"d/a.jpg", "d/swapped.jpg"}) {
        const ItemEntry* e = EntryOf(c, rel);
        ASSERT_NE(e, nullptr) << rel;
        EXPECT_EQ(FieldText(c, e, kFieldModel), "Canon EOS DIGITAL REBEL") << rel;
    }
    ASSERT_EQ(c->itemCount, 3);
    const ItemEntry* gone = nullptr;
    for (SInt32 i = 0; i < c->itemCount; ++i)
        if (FieldText(c, &c->entries[i], kFieldFileName) == "gone.jpg") gone = &c->entries[i];
    ASSERT_NE(gone, nullptr);
    EXPECT_EQ(FieldText(c, gone, kFieldPath), library / "d/gone.jpg");
    EXPECT_EQ(FieldText(c, gone, kFieldModel), "");

    // Another picture under the same name, read again: the item takes the new picture's facts.
    Put("orientation/gps_DSCN0010.jpg", "d/swapped.jpg");
    ItemEntry* swapped = EntryOf(c, "d/swapped.jpg");
    ASSERT_NE(swapped, nullptr);
    const UInt32 swappedId = swapped->id;
    FSSpec swappedSpec = Spec(library / "d/swapped.jpg");
    RefreshOptions all = RefreshOptionsAll();
    ASSERT_EQ(CatalogRefreshItemFromFile(c, swapped, &all, nullptr, &swappedSpec), noErr);
    swapped = CatalogFindEntryById(c, swappedId);
    EXPECT_EQ(FieldText(c, swapped, kFieldModel), "COOLPIX P6000");
    EXPECT_EQ(FieldText(c, swapped, kFieldDimensions), "640 x 480 pixels");

    const std::string saved = work / "Changes.lxc";
    FSSpec target = Spec(saved);
    ASSERT_EQ(CatalogSave(c, &target, nullptr, 0), noErr);

    // A second open without a work file reads everything and changes nothing.
    FSSpec file = Spec(saved);
    CatalogRec* reader = nullptr;
    ASSERT_EQ(CatalogOpen(&reader, &file, nullptr, nullptr, nullptr, nullptr, 0), noErr);
    EXPECT_EQ(CatalogGetOpenWarnings(reader), 0u);
    ASSERT_EQ(reader->itemCount, 3);
    const ItemEntry* readSwapped = EntryOf(reader, "d/swapped.jpg");
    ASSERT_NE(readSwapped, nullptr);
    EXPECT_EQ(FieldText(reader, readSwapped, kFieldModel), "COOLPIX P6000");
    InfoLoadItem(reader, readSwapped);
    UInt32 city = 0;
    for (UInt32 n = 1; n <= InfoRowCount(reader) && !city; ++n)
        if (InfoGetRow(reader, n)->fieldId == kFieldCity) city = n;
    ASSERT_NE(city, 0u);
    ASSERT_TRUE(InfoEditSetRowText(reader, city, "Oslo", 4));
    InfoEditCommit(reader, nullptr, nullptr, 0);
    EXPECT_EQ(FieldText(reader, EntryOf(reader, "d/swapped.jpg"), kFieldCity), "") << "no work file: no change";
    EXPECT_EQ(CatalogDeleteItem(reader, 1), permErr);
    EXPECT_EQ(reader->itemCount, 3);
    EXPECT_EQ(CatalogSave(reader, nullptr, nullptr, 0), permErr);
    CatalogClose(reader, false);

    // The writer's catalog is untouched by the reader's visit.
    EXPECT_EQ(FieldText(c, CatalogFindEntryById(c, swappedId), kFieldCity), "");
    ASSERT_EQ(CatalogSave(c, nullptr, nullptr, 0), noErr);
}

}  // namespace
