// The look-alike scan of a catalog against the scan that compares every pair of thumbnails:
// the same groups, members and order for every tolerance, with equal names only, with a
// restricting id list, in another item order and after a save; signatures kept from an
// earlier scan never outlive the thumbnail they were made of; and a damaged stored name's
// length never takes the comparison past the name's field.
#include "ItemDataSupport.h"

#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/save/CatalogSave.h"
#include "catalog/sort/SortEngine.h"
#include "catalog/tables/ItemSearch.h"
#include "media/imaging/PixelServices.h"
#include "platform/Handles.h"
#include "platform/imaging/Picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

namespace {

// A 33 x 27 grey picture: a family's pattern (a slope and a bright square), its whole
// brightness shifted, and a patch of it lightened, each by the amounts given.
ByteString Picture(int family, int shift, int patch) {
    const int w = 33, h = 27;
    std::vector<std::uint8_t> px(std::size_t(w * h * 4));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int v = 40 + family * 23 % 120 + (family % 2 ? x * 3 : y * 4);
            if (x / 11 == family % 3 && y / 9 == family % 3) v += 70;
            v += shift;
            if (x < 12 && y < 9) v += patch;
            std::uint8_t* p = &px[std::size_t((y * w + x) * 4)];
            p[0] = p[1] = p[2] = std::uint8_t(std::clamp(v, 0, 255));
            p[3] = 0;
        }
    PicHandle pic = nullptr;
    EXPECT_EQ(RecordPixelsPicture(px.data(), w, h, w * 4, 0x00480000, &pic), noErr);
    ByteString bytes(*pic, std::size_t(GetHandleSize(pic)));
    DisposeHandle(pic);
    return bytes;
}

// The scan as it is defined, comparing every later item with every item in turn: the answer
// the indexed scan must give.
std::vector<UInt32> EveryPairScan(const CatalogRec* c, bool sameName, long tolerance1, long tolerance2,
                                  const std::set<UInt32>* scope) {
    struct Work {
        UInt32 id;
        bool has = false;
        UInt32 group = 0;
        UInt8 signature[kPictureSignatureSize] = {};
        unsigned char name[64] = {};
    };
    std::vector<Work> items;
    for (SInt32 i = 0; i < c->itemCount; ++i) {
        const ItemEntry* e = &c->entries[i];
        if (e->flags & kEntryHiddenFlag) continue;
        Work w;
        w.id = e->id;
        if (Handle pic = ItemReadBlock(c, e, kBlockThumbnail)) {
            w.has = PictureSignature(pic, w.signature, kPictureSignatureSize) == noErr;
            DisposeHandle(pic);
        }
        ItemRec r;
        if (ItemLoadRecord(c, e, &r) == noErr) std::memcpy(w.name, r.storedName, sizeof w.name);
        items.push_back(w);
    }
    UInt32 groups = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        Work& a = items[i];
        if ((scope && !scope->count(a.id)) || !a.has) continue;
        for (std::size_t j = i + 1; j < items.size(); ++j) {
            Work& b = items[j];
            if (!b.has || (a.group && b.group)) continue;
            if (sameName && (a.name[0] != b.name[0] || std::memcmp(a.name + 1, b.name + 1, a.name[0]) != 0))
                continue;
            if (!PictureSignatureCompare(a.signature, b.signature, kPictureSignatureSize, tolerance1,
                                         tolerance2))
                continue;
            if (!a.group) a.group = b.group ? b.group : ++groups;
            b.group = a.group;
        }
    }
    std::vector<UInt32> ids;
    for (UInt32 g = 1; g <= groups; ++g)
        for (const Work& w : items)
            if (w.group == g) ids.push_back(w.id);
    return ids;
}

class LookAlikeScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        catalog_ = NewCatalogWithWorkFile(tmp_);
        ASSERT_NE(catalog_, nullptr);
        // Six families of pictures, each member shifted in brightness and patched by amounts
        // that put pairs on both sides of every threshold; names repeat across families; some
        // items have no thumbnail, one is hidden.
        const int shifts[] = {0, 3, -6, 12, 25, -40};
        const int patches[] = {0, 8, 20, 45, 90, 5};
        for (int n = 0; n < 36; ++n) {
            const int family = n % 6, member = n / 6;
            TestItem t = MakeTestItem(n % 4 ? "photo.jpg" : "other.jpg");
            if (n % 11 != 7) t.thumbnail = Picture(family, shifts[member], patches[(member + family) % 6]);
            if (n == 20) t.flags = kEntryHiddenFlag;
            ASSERT_GT(AppendWorkFileItem(catalog_, t), 0);
        }
    }
    void TearDown() override {
        if (catalog_) CatalogClose(catalog_, false);
    }

    // Every way of scanning against every pair compared; the answers of the tolerance levels
    // are returned so a test can see that they differ.
    std::set<std::vector<UInt32>> ExpectEveryScanAsEveryPair(const char* when) {
        std::set<std::vector<UInt32>> answers;
        const std::set<UInt32> scope{3, 8, 14, 30};
        Handle scopeIds = nullptr;
        std::vector<UInt32> scopeList(scope.begin(), scope.end());
        PtrToHand(scopeList.data(), &scopeIds, Size(scopeList.size() * 4));
        for (bool sameName : {false, true})
            for (long t1 : {0, 1})
                for (long t2 : {0, 1, 2})
                    for (bool restricted : {false, true}) {
                        const std::vector<UInt32> expected =
                            EveryPairScan(catalog_, sameName, t1, t2, restricted ? &scope : nullptr);
                        EXPECT_EQ(Ids(ItemScanWithProgress(catalog_, sameName, t1, t2,
                                                           restricted ? scopeIds : nullptr, nullptr, 0)),
                                  expected)
                            << when << ": same name " << sameName << ", tolerance " << t1 << "/" << t2
                            << ", restricted " << restricted;
                        if (!sameName && !restricted) answers.insert(expected);
                    }
        DisposeHandle(scopeIds);
        return answers;
    }

    TempFolder tmp_;
    CatalogRec* catalog_ = nullptr;
};

TEST_F(LookAlikeScanTest, GivesTheGroupsOfComparingEveryPair) {
    const auto answers = ExpectEveryScanAsEveryPair("as added");
    // The levels and the brightness setting lead to different groups.
    EXPECT_GE(answers.size(), 4u);
    // A second scan, from kept signatures, in another item order.
    ASSERT_TRUE(CatalogReverseOrder(catalog_));
    ExpectEveryScanAsEveryPair("reversed");
    // After a save the records lie elsewhere in another file.
    FSSpec spec;
    FSMakeFSSpecFromPath(tmp_ / "saved.lxc", &spec);
    ASSERT_EQ(CatalogSave(catalog_, &spec, nullptr, 0), noErr);
    ExpectEveryScanAsEveryPair("saved");
}

TEST_F(LookAlikeScanTest, AChangedThumbnailIsSignedAfresh) {
    // Item 1 (family 0) alike with item 7 (family 0, a little brighter) at the average level.
    const std::vector<UInt32> before = Ids(ItemScanWithProgress(catalog_, false, 0, 1, nullptr, nullptr, 0));
    ASSERT_EQ(before, EveryPairScan(catalog_, false, 0, 1, nullptr));
    ASSERT_NE(std::find(before.begin(), before.end(), 1u), before.end());

    // Its thumbnail becomes another family's picture of exactly the same length, so the
    // record is rewritten where it lies: only the bytes tell the change.
    const ByteString other = Picture(2, 0, 0);
    const ItemEntry* entry = CatalogGetItemEntry(catalog_, 1);
    const SInt32 position = entry->position;
    Handle old = ItemReadBlock(catalog_, entry, kBlockThumbnail);
    ASSERT_NE(old, nullptr);
    ASSERT_EQ(std::size_t(GetHandleSize(old)), other.size());
    DisposeHandle(old);
    Handle h = nullptr;
    PtrToHand(other.data(), &h, Size(other.size()));
    ASSERT_EQ(ItemReplaceBlock(catalog_, 1, kBlockThumbnail, h), noErr);
    DisposeHandle(h);
    ASSERT_EQ(CatalogGetItemEntry(catalog_, 1)->position, position);

    const std::vector<UInt32> after = Ids(ItemScanWithProgress(catalog_, false, 0, 1, nullptr, nullptr, 0));
    EXPECT_EQ(after, EveryPairScan(catalog_, false, 0, 1, nullptr));
    EXPECT_NE(after, before);

    // Removing it leaves the item out of every group.
    ASSERT_EQ(ItemReplaceBlock(catalog_, 1, kBlockThumbnail, nullptr), noErr);
    const std::vector<UInt32> without = Ids(ItemScanWithProgress(catalog_, false, 0, 1, nullptr, nullptr, 0));
    EXPECT_EQ(without, EveryPairScan(catalog_, false, 0, 1, nullptr));
    EXPECT_EQ(std::find(without.begin(), without.end(), 1u), without.end());
}

}  // namespace

namespace {

TEST(LookAlikeScanNames, ALengthPastTheNameFieldComparesOnlyTheField) {
    TempFolder tmp;
    CatalogRec* catalog = NewCatalogWithWorkFile(tmp);
    ASSERT_NE(catalog, nullptr);
    // Three alike pictures whose stored names fill the field; the first two claim the same
    // impossible length (beyond the 63 characters the field holds), the third another one.
    const std::string name(63, 'n');
    for (UInt8 length : {200, 200, 199}) {
        TestItem t = MakeTestItem(name);
        t.record.storedName[0] = length;
        t.thumbnail = Picture(1, 0, 0);
        ASSERT_GT(AppendWorkFileItem(catalog, t), 0);
    }
    EXPECT_EQ(Ids(ItemScanWithProgress(catalog, true, 0, 1, nullptr, nullptr, 0)), (std::vector<UInt32>{1, 2}));
    EXPECT_EQ(Ids(ItemScanWithProgress(catalog, false, 0, 1, nullptr, nullptr, 0)),
              (std::vector<UInt32>{1, 2, 3}));
    CatalogClose(catalog, false);
}

}  // namespace
