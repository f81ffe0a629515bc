// Turning and mirroring items: the record's orientation combines the steps, the stored thumbnail
// turns with it, the media file is left alone, and Default Orientation reads the file's own
// orientation and thumbnail again.
#include "FileActionsSupport.h"

#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemMediaInfo.h"
#include "foundation/interface/Orientation.h"
#include "media/imaging/Offscreen.h"
#include "output/fileactions/ItemTransform.h"

namespace {

class ItemTransformTest : public FileActionsTest {
protected:
    // The stored thumbnail's width and height.
    std::pair<int, int> ThumbnailSize(SInt32 n) {
        Handle block = ItemGetThumbnailBlock(catalog, n);
        if (!block) return {0, 0};
        Rect frame{};
        PictureGetFrame(reinterpret_cast<PicHandle>(block), &frame);
        DisposeHandle(block);
        return {frame.right - frame.left, frame.bottom - frame.top};
    }
    UInt16 Orientation(SInt32 n) {
        ItemRec r;
        EXPECT_EQ(noErr, ItemReadRecord(catalog, n, &r));
        return r.orientation;
    }
};

TEST_F(ItemTransformTest, StepsCombineInTheRecordAndTheThumbnailTurnsWithThem) {
    Catalogue({{"wide.jpg", fixtures::Jpeg(96, 48)}});
    const RefreshOptions all = RefreshOptionsAll();
    ASSERT_EQ(noErr, CatalogRefreshVisibleItem(catalog, 1, &all, nullptr));
    const auto [w, h] = ThumbnailSize(1);
    ASSERT_GT(w, h) << "a landscape thumbnail to start with";
    const std::string bytes = Bytes("wide.jpg");
    struct Step {
        long code;
        UInt16 orientation;
        bool upright;  // the thumbnail is as wide as at the start
    };
    const Step steps[] = {
        {kTransformRotateCW, kTransformRotateCW, false},
        {kTransformRotateCW, kTransformRotate180, true},
        {kTransformFlipH, kTransformFlipV, true},
        {kTransformRotateCCW, kTransformFlipAnti, false},
        {0, 0, true},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(noErr, TransformItem(nullptr, catalog, 1, s.code));
        EXPECT_EQ(s.orientation, Orientation(1)) << s.code;
        const auto [tw, th] = ThumbnailSize(1);
        EXPECT_EQ(s.upright ? std::make_pair(w, h) : std::make_pair(h, w), std::make_pair(tw, th)) << s.code;
    }
    EXPECT_EQ(bytes, Bytes("wide.jpg")) << "the file is never changed";
}

TEST_F(ItemTransformTest, AnItemWithoutAThumbnailOrWithAnUnknownCodeStaysAsItWas) {
    Catalogue({{"a.jpg", fixtures::Jpeg(40, 20)}});
    EXPECT_EQ(noErr, TransformItem(nullptr, catalog, 1, 0x1234));
    EXPECT_EQ(0, Orientation(1));
    EXPECT_EQ(noErr, TransformItem(nullptr, catalog, 1, kTransformFlipH));
    EXPECT_EQ(kTransformFlipH, Orientation(1)) << "the orientation is kept even before a thumbnail exists";
    EXPECT_EQ(noErr, TransformItem(nullptr, catalog, 7, kTransformFlipH)) << "no such item: nothing, and the run goes on";
}

}  // namespace
