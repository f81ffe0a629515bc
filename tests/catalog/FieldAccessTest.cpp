// The field getter over real catalog files: values from the record, the annotation block, the
// metadata list in each of its stored forms, the entry, the organize lists and computed
// fields; joined values; the caches across a rewrite and a reopen; the IPTC export block.
#include "ItemDataSupport.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldEngine.h"
#include "catalog/fields/FieldFormat.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemRecords.h"
#include "foundation/format/DateParse.h"
#include "foundation/format/LocaleFormats.h"
#include "foundation/text/PString.h"
#include "catalog/organize/OrganizeLists.h"
#include "catalog/foldertree/FolderTree.h"
#include "media/kinds/KindTable.h"
#include "media/metadata/IptcBlock.h"
#include "platform/Handles.h"
#include "platform/MacDates.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace std::string_literals;

ByteString Rational(UInt32 n, UInt32 d) { return BE32(n) + BE32(d); }

ByteString Chapter(const std::string& name, UInt32 start) {
    ByteString rec(260, '\0');
    rec[0] = char(name.size());
    std::memcpy(rec.data() + 1, name.data(), name.size());
    ByteString s = BE32(start);
    std::memcpy(rec.data() + 256, s.data(), 4);
    return rec;
}

const UInt32 kCreated = 3100000000u;

TestItem RichItem() {
    TestItem t = MakeTestItem("beach.jpg", 1536);
    t.record.created = kCreated;
    t.record.orientation = 'CW';
    t.record.encoding[0] = 12;
    std::memcpy(t.record.encoding + 1, "Photo - JPEG", 12);
    t.flags = 3;  // label 3
    t.annotations = Dataset(617, "Sunset") + Dataset(537, "sea") + Dataset(537, "sand") +
                    Dataset(537, "sun") + Dataset(567, "20050307") + Dataset(602, "Nice") +
                    Dataset(632, "Caf\xC3\xA9 au lait", 0x1D) + Dataset(769, "Alpha") +
                    Dataset(630, "Ann") + Dataset(630, "Z\xC3\xBC", 0x1D) + Dataset(592, "\xC9mile");
    t.url = "http://example.org/\xE9t\xE9";
    ByteString track(284, '\0');
    track[0] = 5;
    std::memcpy(track.data() + 1, "Video", 5);
    t.metadata = FlattenedUserData({
        {ExifFieldId(0x9003), "2004:12:31 23:59:58\0"s},
        {ExifFieldId(0x829A), Rational(10, 2500)},
        {ExifFieldId(0x8827), BE16(400)},
        {ExifFieldId(0x9000), "0220"},
        {kFieldMaker, "Canon", true},
        {kFieldModel, "EOS 10D\0"s, true},
        {GpsFieldId(1), "N\0"s},
        {GpsFieldId(2), Rational(51, 1) + Rational(30, 1) + Rational(2640, 100)},
        {GpsFieldId(3), "W\0"s},
        {GpsFieldId(4), Rational(0, 1) + Rational(7, 1) + Rational(3990, 100)},
        {GpsFieldId(5), "\x01"s},
        {GpsFieldId(6), Rational(1250, 100)},
        {kFieldChapters, Chapter("Intro", 0) + Chapter("Main", 36005)},
        {kFieldTracksList, track},
    });
    return t;
}

class FieldAccessTest : public ::testing::Test {
protected:
    void SetUp() override {
        catalog_ = NewCatalogWithWorkFile(tmp_);
        ASSERT_NE(catalog_, nullptr);
        KindTableClear();
        KindRegister('JPEG', 1, "JPEG Image", 0);
        KindRegister('MooV', 2, "QuickTime Movie", 2);
        SetFormatLocale("C");
    }
    void TearDown() override {
        if (catalog_) CatalogClose(catalog_, false);
        SetFormatLocale(nullptr);
    }
    const ItemEntry* Add(const TestItem& item) {
        SInt32 index = AppendWorkFileItem(catalog_, item);
        EXPECT_GT(index, 0);
        return &catalog_->entries[index - 1];
    }
    std::string Text(const ItemEntry* e, FieldId id, SInt32 index = 1, bool withUnit = false,
                     UInt8* typeOut = nullptr) {
        return TextIn(catalog_, e, id, index, withUnit, typeOut);
    }
    static std::string TextIn(const CatalogRec* catalog, const ItemEntry* e, FieldId id, SInt32 index = 1,
                              bool withUnit = false, UInt8* typeOut = nullptr) {
        FieldValue v;
        UInt8 type = ItemGetField(catalog, e, index, id, &v);
        if (typeOut) *typeOut = type;
        Str255 text;
        FieldValueToText(&v, type, id, text, withUnit);
        return PText(text);
    }
    TempFolder tmp_;
    CatalogRec* catalog_ = nullptr;
};

TEST_F(FieldAccessTest, ValuesFromEveryStorage) {
    const ItemEntry* e = Add(RichItem());
    struct Row {
        FieldId id;
        SInt32 index;
        UInt8 type;
        std::string text;
    } rows[] = {
        // item record
        {kFieldFileSize, 1, kFieldTypeU32, "1.5  KB"},
        {kFieldFileKindName, 1, kFieldTypeText, "JPEG Image"},
        {kFieldFileType, 1, kFieldTypeU32, "JPEG"},
        {kFieldMediaType, 1, kFieldTypeU8, "Image"},
        {kFieldDimensions, 1, kFieldTypeU32, "640 x 480"},
        {kFieldOrientation, 1, kFieldTypeI16, "90\xB0 CCW"},
        {kFieldEncoding, 1, kFieldTypeText, "Photo - JPEG"},
        {kFieldColorProfile, 1, kFieldTypeNone, ""},
        {kFieldFileSize, 2, kFieldTypeNone, ""},
        // entry and computed
        {kFieldLabel, 1, kFieldTypeU8, "3"},
        {kFieldItemId, 1, kFieldTypeU32, "1"},
        {kFieldUrl, 1, kFieldTypeText, "http://example.org/\xE9t\xE9"},
        {kFieldUrl, 2, kFieldTypeNone, ""},
        // annotation block
        {kFieldTitle, 1, kFieldTypeText, "Sunset"},
        {kFieldTitle, 2, kFieldTypeNone, ""},
        {kFieldKeywords, 2, kFieldTypeText, "sand"},
        {kFieldKeywords, 4, kFieldTypeNone, ""},
        {kFieldCaption, 1, kFieldTypeText, "Caf\xE9 au lait"},
        {kFieldCustomFirst, 1, kFieldTypeText, "Alpha"},
        {kFieldCity, 1, kFieldTypeText, "Nice"},
        {kFieldAuthor, 1, kFieldTypeText, "\xC9mile"},
        {kFieldCountry, 1, kFieldTypeNone, ""},
        // metadata list
        {kFieldShutterSpeed, 1, kFieldTypePair, "1/250"},
        {kFieldIsoSpeed, 1, kFieldTypeI16, "400"},
        {kFieldExifVersion, 1, kFieldTypeU32, "2.2"},
        {kFieldMaker, 1, kFieldTypeText, "Canon"},
        {kFieldModel, 1, kFieldTypeText, "EOS 10D"},
        {kFieldImportDevice, 1, kFieldTypeText, "Canon EOS 10D"},
        {kFieldLatitude, 1, kFieldTypeText, "N 051\xB0 30' 26.40\""},
        {kFieldLongitude, 1, kFieldTypeText, "W 000\xB0 07' 39.90\""},
        {kFieldAltitude, 1, kFieldTypeText, "-12.50m"},
        {kFieldAperture, 1, kFieldTypeNone, ""},
        {kFieldChapters, 2, kFieldTypeChapter, "Main @ 01:00:00.5"},
        {kFieldChapters, 3, kFieldTypeNone, ""},
    };
    for (const Row& r : rows) {
        UInt8 type = 0xFF;
        EXPECT_EQ(Text(e, r.id, r.index, false, &type), r.text) << r.id << " #" << r.index;
        EXPECT_EQ(type, r.type) << r.id << " #" << r.index;
    }

    FieldValue v;
    ASSERT_EQ(ItemGetField(catalog_, e, 1, kFieldCaptureDate, &v), kFieldTypeU32);
    EXPECT_EQ(v.u32, ParseDateTimeText("2004:12:31 23:59:58"));
    ASSERT_EQ(ItemGetField(catalog_, e, 1, kFieldEventDate, &v), kFieldTypeU32);
    EXPECT_EQ(v.u32, ParseYYYYMMDD("20050307"));
    ASSERT_EQ(ItemGetField(catalog_, e, 1, kFieldTracksList, &v), kFieldTypeTrack);
    EXPECT_EQ(v.track[0], 5);
    EXPECT_EQ(v.track[283], 2);
    ASSERT_EQ(ItemGetField(catalog_, e, 1, kFieldCaption, &v), kFieldTypeText);
    EXPECT_EQ(v.text.encoding, kFieldTextUtf8);
}

TEST_F(FieldAccessTest, JoinedValues) {
    const ItemEntry* e = Add(RichItem());
    EXPECT_EQ(Text(e, kFieldKeywords, 0), "sea, sand, sun");
    EXPECT_EQ(Text(e, kFieldTitle, 0), "Sunset") << "a single-value field gives its first value";
    // One ANSI and one UTF-8 value: the result is in one encoding.
    FieldValue v;
    ASSERT_EQ(ItemGetField(catalog_, e, 0, kFieldPeople, &v), kFieldTypeText);
    EXPECT_EQ(v.text.encoding, kFieldTextAnsi);
    EXPECT_EQ(std::string(v.text.bytes, v.text.length), "Ann, Z\xFC");

    // A value that would pass 4096 bytes is left out; a later short one still fits.
    TestItem big = MakeTestItem("big.jpg");
    big.annotations = Dataset(537, std::string(3000, 'a')) + Dataset(537, std::string(1500, 'b')) +
                      Dataset(537, "c");
    const ItemEntry* b = Add(big);
    ASSERT_EQ(ItemGetField(catalog_, b, 0, kFieldKeywords, &v), kFieldTypeText);
    EXPECT_EQ(std::string(v.text.bytes, v.text.length), std::string(3000, 'a') + ", c");
    EXPECT_EQ(ItemGetField(catalog_, b, 0, kFieldCategories, &v), kFieldTypeNone);
}

TEST_F(FieldAccessTest, DateFinderFallsBackInOrder) {
    TestItem iptc = RichItem();
    TestItem exif = RichItem();
    exif.annotations = Dataset(617, "x");
    TestItem none = MakeTestItem("plain.jpg");
    none.record.created = kCreated;
    const ItemEntry* a = Add(iptc);
    const ItemEntry* b = Add(exif);
    const ItemEntry* c = Add(none);
    struct Case {
        const ItemEntry* e;
        UInt32 want;
    } cases[] = {{a, ParseYYYYMMDD("20050307")},
                 {b, ParseDateTimeText("2004:12:31 23:59:58")},
                 {c, kCreated}};
    for (const Case& k : cases) {
        FieldValue v;
        ASSERT_EQ(ItemGetField(catalog_, k.e, 1, kFieldDateFinder, &v), kFieldTypeU32);
        EXPECT_EQ(v.u32, k.want);
    }
}

TEST_F(FieldAccessTest, StoredMetadataFormsGiveTheSameValues) {
    // The same EXIF values as a flattened user-data list and as compact EXIF lists in both
    // byte orders; the "C" form holds none.
    TestItem flat = MakeTestItem("a.jpg");
    flat.metadata = FlattenedUserData({{ExifFieldId(0x829A), Rational(1, 60)},
                                       {ExifFieldId(0x8827), BE16(200)},
                                       {ExifFieldId(0x920A), Rational(50, 1)}});
    TestItem intel = MakeTestItem("b.jpg");
    intel.metadata = CompactExif('I', {{0x829A, 5, 1, LE32(1) + LE32(60)},
                                       {0x8827, 3, 1, LE16(200)},
                                       {0x920A, 5, 1, LE32(50) + LE32(1)}});
    TestItem motorola = MakeTestItem("c.jpg");
    motorola.metadata = CompactExif('M', {{0x829A, 5, 1, BE32(1) + BE32(60)},
                                          {0x8827, 3, 1, BE16(200)},
                                          {0x920A, 5, 1, BE32(50) + BE32(1)}});
    TestItem none = MakeTestItem("d.jpg");
    none.metadata = "C";
    TestItem damaged = MakeTestItem("e.jpg");
    damaged.metadata = BE32(400) + "udta" + BE32(100) + "abcd";  // an atom past the end
    for (const TestItem* item : {&flat, &intel, &motorola}) {
        const ItemEntry* e = Add(*item);
        EXPECT_EQ(Text(e, kFieldShutterSpeed), "1/60");
        EXPECT_EQ(Text(e, kFieldIsoSpeed), "200");
        EXPECT_EQ(Text(e, kFieldFocalLength, 1, true), "50.0 mm");
    }
    for (const TestItem* item : {&none, &damaged}) {
        const ItemEntry* e = Add(*item);
        UInt8 type = 0xFF;
        EXPECT_EQ(Text(e, kFieldShutterSpeed, 1, false, &type), "");
        EXPECT_EQ(type, kFieldTypeNone);
    }
}

TEST_F(FieldAccessTest, AFlattenedListDamagedAfterTheWantedItemGivesNoValue) {
    // Items are read where they lie in the stored block, but only out of a block that would
    // make a whole list: damage after the item still means no metadata at all.
    const ByteString good = FlattenedUserData({{ExifFieldId(0x9003), "2004:12:31 23:59:58\0"s},
                                               {ExifFieldId(0x8827), BE16(400)}});
    ByteString damaged = good + BE32(100) + "abcd";   // a last atom running past the end
    const ByteString total = BE32(UInt32(damaged.size()));
    damaged.replace(0, 4, total);
    TestItem sound = MakeTestItem("a.jpg"), bad = MakeTestItem("b.jpg");
    sound.metadata = good;
    bad.metadata = damaged;
    const ItemEntry* s = Add(sound);
    const ItemEntry* b = Add(bad);
    UInt8 type = 0xFF;
    EXPECT_EQ(Text(b, kFieldIsoSpeed, 1, false, &type), "");
    EXPECT_EQ(type, kFieldTypeNone);
    FieldValue v;
    EXPECT_EQ(ItemGetField(catalog_, b, 1, kFieldCaptureDate, &v), kFieldTypeNone);
    EXPECT_EQ(ItemCachedMetadata(), nullptr);

    EXPECT_EQ(Text(s, kFieldIsoSpeed), "400");
    ASSERT_EQ(ItemGetField(catalog_, s, 1, kFieldCaptureDate, &v), kFieldTypeU32);
    EXPECT_EQ(v.u32, ParseDateTimeText("2004:12:31 23:59:58"));
    // The whole list, made when asked for, holds what the single reads gave.
    UserData list = ItemCachedMetadata();
    ASSERT_NE(list, nullptr);
    Handle iso = NewHandle(0);
    ASSERT_EQ(GetUserData(list, iso, ExifFieldId(0x8827), 1), noErr);
    EXPECT_EQ(ByteString(*iso, size_t(GetHandleSize(iso))), BE16(400));
    DisposeHandle(iso);
    EXPECT_EQ(Text(s, kFieldIsoSpeed), "400");
}

TEST_F(FieldAccessTest, AnnotationsReadOneByOneAndAsAWholeBlockAgree) {
    // Single datasets are turned into Windows-1252 as they are read, the whole block when it
    // is asked for; a dataset read after that must not be converted a second time.
    const ItemEntry* e = Add(RichItem());
    EXPECT_EQ(Text(e, kFieldAuthor), "\xC9mile");
    Handle block = ItemCachedAnnotationBlock();
    ASSERT_NE(block, nullptr);
    UInt16 length = 0;
    UInt8 marker = 0;
    Ptr data = IptcFindDataset(592, 1, block, &length, &marker);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(data, length), "\xC9mile");
    data = IptcFindDataset(632, 1, block, &length, &marker);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(data, length), "Caf\xC3\xA9 au lait") << "UTF-8 datasets stay as they are";
    EXPECT_EQ(Text(e, kFieldAuthor), "\xC9mile");
    EXPECT_EQ(Text(e, kFieldCaption), "Caf\xE9 au lait");
}

TEST_F(FieldAccessTest, ShortOrOddMetadataItemsAreNotOverRead) {
    struct Case {
        const char* what;
        std::vector<TestUdItem> items;
        FieldId id;
        UInt8 type;
        std::string text;
    } cases[] = {
        {"latitude of 20 bytes", {{GpsFieldId(1), "N"}, {GpsFieldId(2), ByteString(20, 1)}}, kFieldLatitude, kFieldTypeNone, ""},
        {"latitude without reference", {{GpsFieldId(2), Rational(1, 1) + Rational(2, 1) + Rational(3, 1)}}, kFieldLatitude, kFieldTypeNone, ""},
        {"altitude zero denominator", {{GpsFieldId(6), Rational(5, 0)}}, kFieldAltitude, kFieldTypeText, ""},
        {"altitude above sea level", {{GpsFieldId(6), Rational(1250, 100)}}, kFieldAltitude, kFieldTypeText, "12.50m"},
        {"altitude of 4 bytes", {{GpsFieldId(6), BE32(5)}}, kFieldAltitude, kFieldTypeNone, ""},
        {"rational of 4 bytes", {{ExifFieldId(0x829A), BE32(5)}}, kFieldShutterSpeed, kFieldTypeNone, ""},
        {"short of 1 byte", {{ExifFieldId(0x8827), "\x01"}}, kFieldIsoSpeed, kFieldTypeNone, ""},
        {"chapter record cut short", {{kFieldChapters, Chapter("A", 10) + ByteString(100, 'x')}}, kFieldChapters, kFieldTypeChapter, "A @ 00:00:01.0"},
        {"track list cut short", {{kFieldTracksList, ByteString(200, 1)}}, kFieldTracksList, kFieldTypeNone, ""},
    };
    for (const Case& c : cases) {
        TestItem item = MakeTestItem("x.jpg");
        item.metadata = FlattenedUserData(c.items);
        const ItemEntry* e = Add(item);
        UInt8 type = 0xFF;
        EXPECT_EQ(Text(e, c.id, 1, false, &type), c.text) << c.what;
        EXPECT_EQ(type, c.type) << c.what;
    }
}

TEST_F(FieldAccessTest, WorkFileAndCatalogFileRecordsAtTheSamePositionStayApart) {
    TestItem inFile = MakeTestItem("infile.jpg", 111);
    inFile.annotations = Dataset(617, "from the catalog file");
    const std::string path = tmp_ / "cat.lxc";
    ASSERT_EQ(WriteCatalogWithItems(path, catalog_, {inFile}), noErr);
    CatalogClose(catalog_, false);
    catalog_ = OpenCatalogWithWorkFile(path, tmp_, "work2");
    ASSERT_NE(catalog_, nullptr);
    ASSERT_EQ(catalog_->entries[0].position, 8);

    // Pad the work file so its first record lies at position 8 as well.
    long count = 8;
    ASSERT_EQ(FSWriteAt(catalog_->workRefNum, 0, &count, "padding!"), noErr);
    TestItem inWork = MakeTestItem("inwork.jpg", 222);
    inWork.annotations = Dataset(617, "from the work file");
    const ItemEntry* w = Add(inWork);
    ASSERT_EQ(w->position, 8);
    const ItemEntry* f = &catalog_->entries[0];
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(Text(f, kFieldTitle), "from the catalog file");
        EXPECT_EQ(Text(w, kFieldTitle), "from the work file");
        EXPECT_EQ(Text(f, kFieldFileSize), "111  bytes");
        EXPECT_EQ(Text(w, kFieldFileSize), "222  bytes");
    }
}

TEST_F(FieldAccessTest, NoStaleValueAfterARewriteAndAReopenOnTheSameFileReference) {
    const std::string path = tmp_ / "cat.lxc";
    TestItem before = MakeTestItem("one.jpg", 1000);
    before.annotations = Dataset(617, "before");
    ASSERT_EQ(WriteCatalogWithItems(path, catalog_, {before}), noErr);
    CatalogClose(catalog_, false);
    catalog_ = nullptr;
    // Made now: nothing between the two opens may start the engines again.
    CatalogRec* writer = NewCatalogWithWorkFile(tmp_, "work3");

    CatalogRec* first = nullptr;
    FSSpec spec;
    ASSERT_EQ(FSMakeFSSpecFromPath(path, &spec), noErr);
    ASSERT_EQ(CatalogOpen(&first, &spec, nullptr, nullptr, nullptr, nullptr, 0), noErr);
    const SInt16 firstRef = first->catalogRefNum;
    EXPECT_EQ(TextIn(first, &first->entries[0], kFieldTitle), "before");
    EXPECT_EQ(TextIn(first, &first->entries[0], kFieldFileSize), "1000  bytes");

    // The catalog is rewritten (as a save does) with another record at the same position.
    TestItem after = MakeTestItem("two.jpg", 2000);
    after.annotations = Dataset(617, "after");
    ASSERT_EQ(WriteCatalogWithItems(path, writer, {after}), noErr);
    CatalogClose(first, false);

    CatalogRec* second = nullptr;
    ASSERT_EQ(CatalogOpen(&second, &spec, nullptr, nullptr, nullptr, nullptr, 0), noErr);
    CatalogClose(writer, false);
    ASSERT_EQ(second->catalogRefNum, firstRef) << "the test needs the file reference reused";
    ASSERT_EQ(second->entries[0].position, 8);
    catalog_ = second;
    EXPECT_EQ(Text(&second->entries[0], kFieldTitle), "after");
    EXPECT_EQ(Text(&second->entries[0], kFieldFileSize), "2  KB");
}

TEST_F(FieldAccessTest, IptcExportBlock) {
    TestItem item = MakeTestItem("x.jpg");
    item.flags = 3;
    item.annotations = Dataset(567, "20050307") + Dataset(537, "one") + Dataset(537, "two") +
                       Dataset(592, std::string(40, 'A')) + Dataset(550, std::string(300, 's')) +
                       Dataset(630, "Z\xC3\xBC", 0x1D);
    const ItemEntry* e = Add(item);
    const FieldId ids[] = {522, 567, 537, 592, 550, 630, 0x12345, 0};
    Handle block = nullptr;
    ASSERT_EQ(ItemBuildIptcBlock(catalog_, e, ids, &block, true), noErr);
    ASSERT_NE(block, nullptr);
    ByteString want = "\x1C\x02\x00\x00\x02\x00\x02"s + Dataset(522, "3") + Dataset(567, "20050307") +
                      Dataset(537, "one") + Dataset(537, "two") + Dataset(592, std::string(31, 'A'));
    // 550 has no row at this level; 630 is converted to 8-bit text.
    want += Dataset(630, "Z\xFC");
    EXPECT_EQ(ByteString(*block, GetHandleSize(block)), want);
    DisposeHandle(block);

    // A field without a longest length is not emptied by clipping (level 300 has a row for 550).
    FieldEngineSetCodes(400, 300);
    FieldTableInit();
    const FieldId scene[] = {550, 0};
    ASSERT_EQ(ItemBuildIptcBlock(catalog_, e, scene, &block, true), noErr);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GetHandleSize(block), 7 + 5 + 300);
    DisposeHandle(block);
    FieldEngineSetCodes(400, 200);
    FieldTableInit();

    TestItem empty = MakeTestItem("y.jpg");
    const ItemEntry* n = Add(empty);
    block = reinterpret_cast<Handle>(1);
    ASSERT_EQ(ItemBuildIptcBlock(catalog_, n, ids, &block, true), noErr);
    EXPECT_EQ(block, nullptr);
}

TEST_F(FieldAccessTest, FieldNames) {
    Handle names = NewHandleClear(5 * kCustomFieldNameSize);
    for (int i = 0; i < 5; ++i) {
        std::string n = "Custom " + std::to_string(i + 1);
        PStrFromBytes(reinterpret_cast<StringPtr>(*names + i * kCustomFieldNameSize), n.data(), long(n.size()));
    }
    if (catalog_->customFieldNames) DisposeHandle(catalog_->customFieldNames);
    catalog_->customFieldNames = names;
    struct Case {
        FieldId id;
        bool ok;
        const char* name;
    } cases[] = {
        {180, true, "Source-URL"}, {2, true, "File Name"},  {617, true, "Title"},
        {'VNam', true, "Volume Name"}, {ExifFieldId(0x829A), true, "Shutter Speed"},
        {773, true, "Custom 5"},   {774, false, "<?>"},     {68, false, ""},
        {0x12345678, false, ""},
    };
    for (const Case& c : cases) {
        Str255 name;
        EXPECT_EQ(FieldGetName(catalog_, c.id, name), c.ok) << c.id;
        EXPECT_EQ(PText(name), c.name) << c.id;
    }
    Str255 name;
    EXPECT_FALSE(FieldGetName(nullptr, 769, name));
    EXPECT_EQ(PText(name), "");
}

}  // namespace

namespace {

TEST_F(FieldAccessTest, ComputedFromTheFolderTreeAndTheSets) {
    // One item on a volume that is mounted (the test's own folder), one on a disk that is not.
    std::string file = tmp_.Write("photos/a.jpg", "x");
    FSSpec spec;
    ASSERT_EQ(FSMakeFSSpecFromPath(file, &spec), noErr);
    std::string stored;
    ASSERT_EQ(FolderTreeSpecToStored(catalog_->folderTree, &spec, &stored), noErr);
    const ItemEntry* mounted = Add(MakeTestItem("a.jpg"));
    FolderNode* node = FolderTreeAddItemPath(catalog_->folderTree, stored, mounted->id, nullptr, nullptr);
    ASSERT_NE(node, nullptr);
    const ItemEntry* away = Add(MakeTestItem("Caf\xE9.jpg"));
    ASSERT_NE(FolderTreeAddItemPath(catalog_->folderTree, "@\t305441741\tDATA\\trip\\Caf\xC3\xA9.jpg",
                                    away->id, nullptr, nullptr),
              nullptr);
    const ItemEntry* unfiled = Add(MakeTestItem("loose.jpg"));

    EXPECT_EQ(Text(mounted, kFieldPath), file);
    EXPECT_EQ(Text(mounted, kFieldFileName), "a.jpg");
    EXPECT_EQ(Text(away, kFieldPath), "DATA/trip/Caf\xE9.jpg");
    EXPECT_EQ(Text(away, kFieldFileName), "Caf\xE9.jpg");
    EXPECT_EQ(Text(away, kFieldVolumeName), "DATA");
    UInt8 type = 0xFF;
    EXPECT_EQ(Text(unfiled, kFieldPath, 1, false, &type), "");
    EXPECT_EQ(type, kFieldTypeText) << "the path field shows empty values";
    EXPECT_EQ(Text(unfiled, kFieldFileName), "loose.jpg") << "the record's name without a node";

    // Catalog sets: the index-th set that holds the item, in list order.
    ASSERT_NE(OrganizeGetList(catalog_, kFieldCatalogSets), nullptr);
    const char* names[] = {"Holidays", "Empty", "Best"};
    for (UInt32 n = 0; n < 3; ++n) {
        Str255 text;
        PStrFromCString(text, names[n]);
        ASSERT_EQ(OrganizeInsertNamedEntry(catalog_, kFieldCatalogSets, n, text, 0, 0), noErr);
    }
    const UInt32 holidays[] = {away->id, mounted->id};
    ASSERT_EQ(OrganizeEntryAddItems(catalog_, kFieldCatalogSets, 1, holidays, 2), noErr);
    ASSERT_EQ(OrganizeEntryAddItems(catalog_, kFieldCatalogSets, 3, &mounted->id, 1), noErr);
    EXPECT_EQ(Text(mounted, kFieldCatalogSets, 1), "Holidays");
    EXPECT_EQ(Text(mounted, kFieldCatalogSets, 2), "Best");
    EXPECT_EQ(Text(mounted, kFieldCatalogSets, 3, false, &type), "");
    EXPECT_EQ(type, kFieldTypeNone);
    EXPECT_EQ(Text(mounted, kFieldCatalogSets, 0), "Holidays, Best");
    EXPECT_EQ(Text(away, kFieldCatalogSets, 0), "Holidays");
}

}  // namespace

#include "catalog/save/CatalogSave.h"
#include "catalog/save/WorkFile.h"
#include "catalog/tables/CatalogNameMaps.h"

namespace {

// Writes an item's new record to the work file, as an item change does.
void RewriteInWorkFile(CatalogRec* catalog, ItemEntry* entry, const TestItem& item) {
    ItemRec record = item.record;
    Handle annotations = nullptr;
    PtrToHand(item.annotations.data(), &annotations, Size(item.annotations.size()));
    record.annotationsSize = UInt32(item.annotations.size());
    record.thumbnailSize = record.urlSize = record.metadataSize = record.recordingSize = 0;
    SInt32 size = 0;
    SInt32 at = ItemWriteRecord(&record, nullptr, annotations, nullptr, nullptr, nullptr, catalog->workRefNum, -1, &size);
    DisposeHandle(annotations);
    ASSERT_GE(at, 0);
    entry->position = at;
    entry->flags |= kEntryInWorkFileFlag;
}

TEST_F(FieldAccessTest, NoStaleValueAcrossASaveThatMovesRecords) {
    const std::string path = tmp_ / "saved.lxc";
    TestItem one = MakeTestItem("one.jpg");
    one.annotations = Dataset(617, "one");
    ASSERT_EQ(WriteCatalogWithItems(path, catalog_, {one}), noErr);
    CatalogClose(catalog_, false);
    catalog_ = OpenCatalogWithWorkFile(path, tmp_, "work-save");
    ASSERT_NE(catalog_, nullptr);
    ItemEntry* first = &catalog_->entries[0];
    EXPECT_EQ(Text(first, kFieldTitle), "one");

    TestItem two = one;
    two.annotations = Dataset(617, "two");
    RewriteInWorkFile(catalog_, first, two);
    const SInt32 workPosition = first->position;
    EXPECT_EQ(Text(first, kFieldTitle), "two");
    CatalogSetModified(catalog_);
    ASSERT_EQ(CatalogSave(catalog_, nullptr, nullptr, 0), noErr);
    EXPECT_FALSE(first->flags & kEntryInWorkFileFlag);

    // The emptied work file takes a new record at the position the old one had; nothing is
    // read in between, so only the save's reset keeps the old record from answering.
    TestItem three = MakeTestItem("three.jpg");
    three.annotations = Dataset(617, "three");
    const SInt32 index = AppendWorkFileItem(catalog_, three);
    ASSERT_EQ(catalog_->entries[index - 1].position, workPosition);
    EXPECT_EQ(Text(&catalog_->entries[index - 1], kFieldTitle), "three");
    EXPECT_EQ(Text(&catalog_->entries[0], kFieldTitle), "two");
}

TEST_F(FieldAccessTest, BlockSizesAreCheckedAgainstTheFileAsItIsNow) {
    // The open catalog file is read from memory and its length is known without asking the
    // system; a block that seems to run past that length is measured against the file itself:
    // refused while the file is too short, read once the file holds it.
    const std::string path = tmp_ / "cat.lxc";
    TestItem item = MakeTestItem("one.jpg");
    item.url = "http://example.org/";
    ASSERT_EQ(WriteCatalogWithItems(path, catalog_, {item}), noErr);
    CatalogClose(catalog_, false);
    catalog_ = OpenCatalogWithWorkFile(path, tmp_, "work-grow");
    ASSERT_NE(catalog_, nullptr);
    const ItemEntry* e = &catalog_->entries[0];
    EXPECT_EQ(Text(e, kFieldUrl), "http://example.org/");

    const std::uintmax_t fileLength = std::filesystem::file_size(path);
    const std::uintmax_t urlAt = std::uintmax_t(e->position) + kItemRecSize + item.thumbnail.size() +
                                 item.annotations.size();
    const std::string tail = "/TAIL";
    {
        std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(std::streamoff(e->position) + std::streamoff(offsetof(ItemRec, urlSize)));
        f << BE32(UInt32(fileLength - urlAt + tail.size()));
    }
    FieldEngineReset();
    UInt8 type = 0xFF;
    EXPECT_EQ(Text(e, kFieldUrl, 1, false, &type), "");
    std::ofstream(path, std::ios::binary | std::ios::app) << tail;
    FieldValue v;
    ASSERT_EQ(ItemGetField(catalog_, e, 1, kFieldUrl, &v), kFieldTypeText);
    const std::string url(v.text.bytes, size_t(v.text.length));
    EXPECT_EQ(url.substr(0, 19), "http://example.org/");
    EXPECT_EQ(url.substr(url.size() - tail.size()), tail);
}

TEST_F(FieldAccessTest, StoredNameMaps) {
    Add(MakeTestItem("alpha.jpg"));
    TestItem hidden = MakeTestItem("beta.jpg");
    hidden.flags = kEntryHiddenFlag;
    Add(hidden);
    Add(MakeTestItem("gamma.jpg"));
    CatalogStringTable* table = CatalogStringTableNew(catalog_);
    Str255 name;
    EXPECT_TRUE(CatalogStringTableLookup(table, 2, name));
    EXPECT_EQ(PText(name), "beta.jpg");
    EXPECT_FALSE(CatalogStringTableLookup(table, 9, name));
    EXPECT_EQ(PText(name), "");
    CatalogStringTableFree(table);

    CatalogFolderMap* map = CatalogFolderMapNew(catalog_);
    EXPECT_TRUE(CatalogFolderMapAddItem(map, 2));
    EXPECT_FALSE(CatalogFolderMapAddItem(map, 3));
    Str255 text;
    PStrFromCString(text, "gamma.jpg");
    EXPECT_TRUE(CatalogFolderMapContains(map, text));
    PStrFromCString(text, "beta.jpg");
    EXPECT_FALSE(CatalogFolderMapContains(map, text)) << "visible number 2 is gamma";
    CatalogFolderMapAddText(map, text);
    EXPECT_TRUE(CatalogFolderMapContains(map, text));
    EXPECT_EQ(CatalogFolderMapCount(map), 2);
    CatalogFolderMapFree(map);
}

}  // namespace
