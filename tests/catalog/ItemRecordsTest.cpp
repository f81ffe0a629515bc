// Item entries and records: visible numbers, the one-record cache's failures, the per-item
// view settings, the variable blocks, custom-field merging between catalogs, the transfer
// package's checks, and the names and alias an item keeps of its file.
#include "ItemDataSupport.h"

#include "catalog/fields/FieldEngine.h"
#include "catalog/items/CustomFields.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/items/ItemTransfer.h"
#include "foundation/text/PString.h"
#include "media/metadata/IptcBlock.h"
#include "platform/Aliases.h"
#include "platform/Handles.h"
#include "platform/imaging/Picture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

using namespace std::string_literals;

Handle NamesHandle(const std::vector<std::string>& names) {
    Handle h = NewHandleClear(Size(names.size()) * kCustomFieldNameSize);
    for (std::size_t i = 0; i < names.size(); ++i)
        PStrFromBytes(reinterpret_cast<StringPtr>(*h + i * kCustomFieldNameSize), names[i].data(),
                      long(names[i].size()));
    return h;
}

std::vector<std::string> NamesOf(Handle h) {
    std::vector<std::string> out;
    for (long i = 0; i < GetHandleSize(h) / kCustomFieldNameSize; ++i) out.push_back(PText(reinterpret_cast<StringPtr>(*h + i * kCustomFieldNameSize)));
    return out;
}

ByteString BlockOf(Handle h) { return h ? ByteString(*h, std::size_t(GetHandleSize(h))) : ByteString(); }

class ItemRecordsTest : public ::testing::Test {
protected:
    void SetUp() override {
        catalog_ = NewCatalogWithWorkFile(tmp_);
        ASSERT_NE(catalog_, nullptr);
    }
    void TearDown() override {
        if (catalog_) CatalogClose(catalog_, false);
    }
    TempFolder tmp_;
    CatalogRec* catalog_ = nullptr;
};

TEST_F(ItemRecordsTest, BlocksAndViewSettings) {
    TestItem item = MakeTestItem("x.jpg");
    item.thumbnail = "THUMB";
    item.annotations = Dataset(617, "Caf\xE9");
    item.url = "http://x/\xE9";
    item.metadata = "C";
    item.recording = "SOUND!";
    // View settings: u32 1 (kept), u32 61 (reset), bytes 9..11 = 9, 17, 0 (17 and 0 reset).
    item.record.viewSettings0 = 1;
    item.record.viewSettings1 = 61;
    item.record.viewSettingsBytes[1] = 9;
    item.record.viewSettingsBytes[2] = 17;
    item.record.viewSettingsBytes[3] = 0;
    const SInt32 index = AppendWorkFileItem(catalog_, item);
    const ItemEntry* e = &catalog_->entries[index - 1];
    struct Case {
        int block;
        ByteString want;
    } cases[] = {{kBlockThumbnail, "THUMB"}, {kBlockAnnotations, item.annotations}, {kBlockUrl, item.url},
                 {kBlockMetadata, "C"}, {kBlockRecording, "SOUND!"}, {0, ""}, {6, ""}};
    for (const Case& c : cases) {
        Handle h = ItemReadBlock(catalog_, e, c.block);
        EXPECT_EQ(BlockOf(h), c.want) << c.block;
        if (h) DisposeHandle(h);
    }
    UInt8 settings[16];
    ASSERT_EQ(ItemReadViewSettings(catalog_, 1, settings), noErr);
    UInt32 first, second;
    std::memcpy(&first, settings, 4);
    std::memcpy(&second, settings + 4, 4);
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(second, 0u);
    EXPECT_EQ(settings[9], 9);
    EXPECT_EQ(settings[10], 0);
    EXPECT_EQ(ItemReadViewSettings(catalog_, 2, settings), paramErr);

    // Sizes that claim more than the file holds give no block and allocate nothing.
    TestItem lying = MakeTestItem("y.jpg");
    const SInt32 j = AppendWorkFileItem(catalog_, lying);
    ItemEntry* l = &catalog_->entries[j - 1];
    ItemRec r;
    ASSERT_EQ(ItemLoadRecord(catalog_, l, &r), noErr);
    r.thumbnailSize = 0x7FFFFFF0;
    ItemRecToFileOrder(&r);
    long count = sizeof r;
    ASSERT_EQ(FSWriteAt(catalog_->workRefNum, l->position, &count, &r), noErr);
    FieldEngineReset();
    EXPECT_EQ(ItemReadBlock(catalog_, l, kBlockThumbnail), nullptr);
    EXPECT_EQ(ItemReadBlock(catalog_, l, kBlockUrl), nullptr);
}

TEST_F(ItemRecordsTest, AFailedRecordReadZeroesTheBufferAndSaysSo) {
    AppendWorkFileItem(catalog_, MakeTestItem("x.jpg", 77));
    ItemRec r;
    ASSERT_EQ(ItemReadRecord(catalog_, 1, &r), noErr);
    EXPECT_EQ(r.fileSize, 77u);
    std::memset(&r, 0xAB, sizeof r);
    // A record position past the end of the file.
    EXPECT_NE(ItemReadRecordRaw(catalog_->workRefNum, 1 << 20, &r, 0, sizeof r), noErr);
    EXPECT_EQ(r.fileSize, 0u) << "the caller never gets stale or foreign bytes";
    EXPECT_EQ(ItemReadRecordRaw(catalog_->workRefNum, 0, &r, 1000, 30), paramErr);
    EXPECT_EQ(ItemReadRecord(catalog_, 5, &r), paramErr);
}

TEST_F(ItemRecordsTest, CustomFieldsMergeAndRemap) {
    // Source names (A, B) into a catalog whose only name is B: A is appended as 2, B is 1,
    // and the item's datasets 3:1 and 3:2 change places.
    Handle destination = NamesHandle({"b"});
    Handle source = NamesHandle({"A", "B"});
    UInt8 map[17];
    EXPECT_TRUE(CustomFieldsMerge(destination, source, map));
    EXPECT_EQ(map[0], 2);
    EXPECT_EQ(map[1], 2);
    EXPECT_EQ(map[2], 1);
    EXPECT_EQ(NamesOf(destination), (std::vector<std::string>{"b", "A"}));
    ByteString data = Dataset(617, "t") + Dataset(769, "value of A") + Dataset(770, "value of B", 0x1D);
    Handle block = nullptr;
    PtrToHand(data.data(), &block, Size(data.size()));
    EXPECT_TRUE(ItemRemapCustomFields(block, map));
    UInt16 length;
    UInt8 marker;
    Ptr p = IptcFindDataset(769, 1, block, &length, &marker);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::string(p, length), "value of B");
    EXPECT_EQ(marker, 0x1D);
    p = IptcFindDataset(770, 1, block, &length, &marker);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::string(p, length), "value of A");
    EXPECT_EQ(IptcFindDataset(770, 2, block, &length, &marker), nullptr);
    DisposeHandle(block);
    DisposeHandle(destination);
    DisposeHandle(source);

    // Same names in the same places: nothing to do.
    destination = NamesHandle({"A", "B"});
    source = NamesHandle({"a", "b"});
    EXPECT_FALSE(CustomFieldsMerge(destination, source, map));
    DisposeHandle(destination);
    DisposeHandle(source);

    // A source with more than 16 names, and a destination that is full: no map entry ever
    // points past the 16 fields, and nothing is written past the map.
    std::vector<std::string> many;
    for (int i = 0; i < 20; ++i) many.push_back("S" + std::to_string(i));
    std::vector<std::string> full;
    for (int i = 0; i < 15; ++i) full.push_back("D" + std::to_string(i));
    full.push_back("S3");
    destination = NamesHandle(full);
    source = NamesHandle(many);
    UInt8 guarded[18];
    guarded[17] = 0x5A;
    EXPECT_TRUE(CustomFieldsMerge(destination, source, guarded));
    EXPECT_EQ(guarded[17], 0x5A);
    EXPECT_EQ(guarded[0], 16);
    EXPECT_EQ(guarded[4], 16) << "S3 found as the destination's 16th name";
    EXPECT_EQ(guarded[1], 0) << "no room for S0";
    EXPECT_EQ(GetHandleSize(destination), 16 * kCustomFieldNameSize);
    DisposeHandle(destination);
    DisposeHandle(source);

    // Neither catalog has names.
    EXPECT_FALSE(CustomFieldsMerge(nullptr, nullptr, map));
    EXPECT_EQ(map[0], 0);
}

TEST_F(ItemRecordsTest, CustomFieldNamesOfACatalog) {
    DisposeHandle(catalog_->customFieldNames);
    catalog_->customFieldNames = NamesHandle({"Client", "R\xE9sum\xE9"});
    Str255 name;
    PStrFromCString(name, "R\xC9SUM\xC9");
    EXPECT_EQ(CatalogGetCustomFieldCount(catalog_), 2);
    EXPECT_EQ(CatalogFindCustomFieldByName(catalog_, name), 770u);
    PStrFromCString(name, "client");
    EXPECT_EQ(CatalogFindCustomFieldByName(catalog_, name), 769u);
    PStrFromCString(name, "Other");
    EXPECT_EQ(CatalogFindCustomFieldByName(catalog_, name), 0u);

    TestItem item = MakeTestItem("x.jpg");
    item.annotations = Dataset(617, "t") + Dataset(770, "two") + Dataset(771, "three, nameless");
    const SInt32 index = AppendWorkFileItem(catalog_, item);
    Handle block = nullptr;
    ASSERT_EQ(ItemCollectCustomFields(catalog_, &catalog_->entries[index - 1], &block), noErr);
    EXPECT_EQ(BlockOf(block), Dataset(770, "two"));
    DisposeHandle(block);
}

TEST_F(ItemRecordsTest, TransferPackagesAreCheckedBeforeUse) {
    DisposeHandle(catalog_->customFieldNames);
    catalog_->customFieldNames = NamesHandle({"A", "B"});
    TestItem item = MakeTestItem("x.jpg");
    item.thumbnail = "pic";
    item.annotations = Dataset(617, "Caf\xE9") + Dataset(769, "a");
    item.url = "u";
    item.flags = 4;
    const SInt32 index = AppendWorkFileItem(catalog_, item);
    Handle package = ItemPackVisible(catalog_, index);
    ASSERT_NE(package, nullptr);
    TransferParts parts;
    ASSERT_EQ(ItemTransferSplit(package, &parts), noErr);
    EXPECT_EQ(parts.recordSize, kItemRecSize + 3 + item.annotations.size() + 1);
    EXPECT_EQ(ByteString(reinterpret_cast<const char*>(parts.record) + kItemRecSize + 3, item.annotations.size()),
              item.annotations) << "annotations travel in Windows-1252";
    EXPECT_EQ(parts.namesSize, 2u * kCustomFieldNameSize);
    EXPECT_TRUE(parts.hasLabel);
    EXPECT_EQ(parts.label, 4);
    EXPECT_EQ(parts.setsSize, 0u);
    EXPECT_NE(parts.processId, 0u);

    const ByteString good(*package, std::size_t(GetHandleSize(package)));
    DisposeHandle(package);
    struct Damage {
        const char* what;
        ByteString bytes;
    } damages[] = {
        {"empty", ""},
        {"header only", good.substr(0, 16)},
        {"cut short", good.substr(0, good.size() - 1)},
        {"grown", good + "x"},
        {"record size too small", [&] { ByteString b = good; UInt32 v = 100; std::memcpy(b.data(), &v, 4); return b; }()},
        {"record size past the end", [&] { ByteString b = good; UInt32 v = 0xFFFFFFF0u; std::memcpy(b.data(), &v, 4); return b; }()},
        {"names not whole", [&] { ByteString b = good; UInt32 v = 300; std::memcpy(b.data() + 4, &v, 4); return b; }()},
        {"label of two bytes", [&] { ByteString b = good; UInt32 v = 2; std::memcpy(b.data() + 8, &v, 4); return b; }()},
        {"sizes overflowing", [&] { ByteString b = good; UInt32 v = 0xFFFFFFFFu; std::memcpy(b.data() + 12, &v, 4); return b; }()},
        {"block sizes disagree", [&] { ByteString b = good; b[16 + 1012 + 3] ^= 1; return b; }()},
        {"label 12", [&] { ByteString b = good; b[b.size() - 9] = 12; return b; }()},
    };
    for (const Damage& d : damages) {
        Handle h = nullptr;
        PtrToHand(d.bytes.data(), &h, Size(d.bytes.size()));
        TransferParts p;
        EXPECT_EQ(ItemTransferSplit(h, &p), paramErr) << d.what;
        DisposeHandle(h);
    }
    EXPECT_EQ(ItemTransferSplit(nullptr, &parts), paramErr);
}

TEST_F(ItemRecordsTest, ShortPathAndAlias) {
    struct Case {
        std::string rel;
        bool wholePath;
    } cases[] = {{"a.jpg", true}, {std::string(70, 'n') + ".jpg", false}};
    for (const Case& c : cases) {
        std::string file = tmp_.Write(c.rel, "x");
        FSSpec spec;
        ASSERT_EQ(FSMakeFSSpecFromPath(file, &spec), noErr);
        ItemRec record{};
        ItemEntry entry{};
        ASSERT_EQ(ItemMakeShortPath(nullptr, &spec, &entry, &record), noErr);
        EXPECT_EQ(PText(record.fileName), FSSpecName(spec));
        ASSERT_LE(record.storedName[0], 63);
        std::string stored = PText(record.storedName);
        if (c.wholePath && file.size() < 64)
            EXPECT_EQ(stored, file);
        else
            EXPECT_EQ(stored, FSSpecName(spec).substr(0, 63));
        EXPECT_EQ((entry.flags >> 8) & 0xFF, UInt32(UInt8(stored[0])));
        EXPECT_EQ((entry.flags >> 16) & 0xFF, UInt32(UInt8(stored[1])));
        ASSERT_GT(record.aliasStoredSize, 0);
        ASSERT_LE(record.aliasStoredSize, 444);
        EXPECT_EQ(record.aliasSize, record.aliasStoredSize);

        // The stored alias finds the file after a rename within its folder.
        std::filesystem::rename(file, file + ".renamed");
        Handle alias = nullptr;
        PtrToHand(record.alias, &alias, record.aliasStoredSize);
        FSSpec found;
        Boolean changed = false;
        ASSERT_EQ(ResolveAlias(nullptr, alias, &found, &changed), noErr);
        EXPECT_EQ(found.path, file + ".renamed");
        DisposeHandle(alias);
    }
    // A path too long for a full alias in 444 bytes keeps a minimal one.
    std::string deep = tmp_.path();
    for (int i = 0; i < 5; ++i) deep += "/" + std::string(90, char('a' + i));
    std::filesystem::create_directories(deep);
    std::string file = deep + "/f.jpg";
    { std::ofstream(file) << "x"; }
    FSSpec spec;
    ASSERT_EQ(FSMakeFSSpecFromPath(file, &spec), noErr);
    ItemRec record{};
    ASSERT_EQ(ItemMakeShortPath(nullptr, &spec, nullptr, &record), noErr);
    ASSERT_GT(record.aliasStoredSize, 0);
    Handle alias = nullptr;
    PtrToHand(record.alias, &alias, record.aliasStoredSize);
    EXPECT_EQ(AliasStoredPath(alias), "f.jpg");
    DisposeHandle(alias);
}

TEST_F(ItemRecordsTest, ThumbnailPictureFitsTheBox) {
    std::vector<std::uint8_t> px(80 * 40 * 4, 0x80);
    PicHandle pic = nullptr;
    ASSERT_EQ(RecordPixelsPicture(px.data(), 80, 40, 80 * 4, 0x00480000, &pic), noErr);
    TestItem item = MakeTestItem("x.jpg");
    item.thumbnail.assign(*pic, std::size_t(GetHandleSize(pic)));
    DisposeHandle(pic);
    const SInt32 index = AppendWorkFileItem(catalog_, item);
    const ItemEntry* e = &catalog_->entries[index - 1];
    struct Case {
        SInt16 w, h, wantW, wantH;
    } cases[] = {{40, 40, 40, 20}, {200, 10, 20, 10}, {4, 4, 6, 6}};
    for (const Case& c : cases) {
        Handle picture = ItemGetThumbnailPicture(catalog_, e, c.w, c.h);
        ASSERT_NE(picture, nullptr);
        Rect frame;
        ASSERT_TRUE(GetPictureFrame(picture, &frame));
        EXPECT_EQ(frame.right - frame.left, c.wantW) << c.w << "x" << c.h;
        EXPECT_EQ(frame.bottom - frame.top, c.wantH) << c.w << "x" << c.h;
        DisposeHandle(picture);
    }
    const SInt32 bare = AppendWorkFileItem(catalog_, MakeTestItem("y.jpg"));
    EXPECT_EQ(ItemGetThumbnailPicture(catalog_, &catalog_->entries[bare - 1], 40, 40), nullptr);
}

}  // namespace

#include "catalog/fields/FieldAccess.h"
#include "platform/MacDates.h"

namespace {

std::string TitleOf(const CatalogRec* catalog, SInt32 n, FieldId id = 617, SInt32 index = 1) {
    FieldValue v;
    if (ItemGetFieldVisible(catalog, n, index, id, &v) != kFieldTypeText) return "<none>";
    return std::string(v.text.bytes, std::size_t(v.text.length));
}

TEST_F(ItemRecordsTest, ReplacingBlocksAndDatasets) {
    TestItem item = MakeTestItem("x.jpg");
    AppendWorkFileItem(catalog_, item);
    const SInt32 before = catalog_->entries[0].position;
    const SInt32 dataSize = catalog_->dataSize;

    // Empty over empty: nothing at all happens.
    EXPECT_EQ(ItemReplaceBlock(catalog_, 1, kBlockUrl, nullptr), noErr);
    Handle empty = NewHandle(0);
    EXPECT_EQ(ItemReplaceBlock(catalog_, 1, kBlockRecording, empty), noErr);
    DisposeHandle(empty);
    EXPECT_EQ(catalog_->entries[0].position, before);
    EXPECT_EQ(catalog_->dataSize, dataSize);
    EXPECT_EQ(ItemReplaceBlock(catalog_, 1, 6, nullptr), paramErr);
    EXPECT_EQ(ItemReplaceBlock(catalog_, 2, kBlockUrl, nullptr), paramErr);

    // New annotations stamp the annotated date.
    UInt32 now = 0;
    GetDateTime(&now);
    ASSERT_EQ(ItemSetAnnotationDataset(catalog_, 1, 617, 1, "Caf\xE9", 4), noErr);
    EXPECT_EQ(TitleOf(catalog_, 1), "Caf\xE9");
    ItemRec r;
    ASSERT_EQ(ItemReadRecord(catalog_, 1, &r), noErr);
    EXPECT_GE(r.annotatedDate, now);
    EXPECT_EQ(catalog_->dataSize, dataSize + 4 + 5);

    ASSERT_EQ(ItemSetAnnotationDataset(catalog_, 1, 537, 1, "one", 3), noErr);
    ASSERT_EQ(ItemSetAnnotationDataset(catalog_, 1, 537, 2, "two", 3), noErr);
    ASSERT_EQ(ItemSetAnnotationDataset(catalog_, 1, 537, 1, "uno", 3), noErr);
    EXPECT_EQ(TitleOf(catalog_, 1, 537, 1), "uno");
    EXPECT_EQ(TitleOf(catalog_, 1, 537, 2), "two");
    ASSERT_EQ(ItemSetAnnotationDataset(catalog_, 1, 617, 1, nullptr, 0), noErr);
    EXPECT_EQ(TitleOf(catalog_, 1), "<none>");

    // The URL block replaced, then removed.
    Handle url = nullptr;
    PtrToHand("http://a/\xE9", &url, 10);
    ASSERT_EQ(ItemReplaceBlock(catalog_, 1, kBlockUrl, url), noErr);
    DisposeHandle(url);
    EXPECT_EQ(TitleOf(catalog_, 1, kFieldUrl), "http://a/\xE9");
    ASSERT_EQ(ItemReplaceBlock(catalog_, 1, kBlockUrl, nullptr), noErr);
    EXPECT_EQ(TitleOf(catalog_, 1, kFieldUrl), "");
    ASSERT_EQ(ItemReadRecord(catalog_, 1, &r), noErr);
    EXPECT_EQ(r.urlSize, 0u);
}

TEST_F(ItemRecordsTest, NoChangesWithoutAWorkFile) {
    const std::string path = tmp_ / "c.lxc";
    TestItem item = MakeTestItem("x.jpg");
    item.annotations = Dataset(617, "kept");
    ASSERT_EQ(WriteCatalogWithItems(path, catalog_, {item}), noErr);
    CatalogClose(catalog_, false);
    FSSpec spec;
    ASSERT_EQ(FSMakeFSSpecFromPath(path, &spec), noErr);
    catalog_ = nullptr;
    ASSERT_EQ(CatalogOpen(&catalog_, &spec, nullptr, nullptr, nullptr, nullptr, 0), noErr);
    EXPECT_EQ(ItemSetAnnotationDataset(catalog_, 1, 617, 1, "new", 3), permErr);
    EXPECT_EQ(TitleOf(catalog_, 1), "kept");
}

}  // namespace
