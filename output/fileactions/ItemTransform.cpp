#include "output/fileactions/ItemTransform.h"

#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemChanges.h"
#include "catalog/items/ItemMediaInfo.h"
#include "catalog/items/ItemRecords.h"
#include "foundation/interface/Orientation.h"
#include "import/adding/AddFiles.h"
#include "media/imaging/Offscreen.h"
#include "media/imaging/Orientation.h"
#include "platform/Handles.h"
#include "platform/imaging/GWorld.h"

namespace {

// The stored thumbnail turned by code; null when the item has none or it cannot be drawn.
Handle TurnedThumbnail(const CatalogRec* catalog, SInt32 item, TransformCode code) {
    Handle block = ItemGetThumbnailBlock(catalog, item);
    if (!block) return nullptr;
    GWorldPtr world = nullptr;
    OSErr err = PictureToOffscreen(reinterpret_cast<PicHandle>(block), 0, nullptr, nullptr, &world);
    DisposeHandle(block);
    if (err != noErr || !world) return nullptr;
    err = ApplyOrientation(&world, code);
    PicHandle turned = nullptr;
    if (err == noErr) err = OffscreenToPicture(world, nullptr, 72 << 16, &turned);
    DisposeGWorld(world);
    return err == noErr ? reinterpret_cast<Handle>(turned) : nullptr;
}

}  // namespace

OSErr TransformItem(void*, CatalogRec* catalog, SInt32 item, long parameter) {
    const auto code = TransformCode(parameter);
    if (code == kTransformNone) {
        // Back to what the file says: its orientation and a thumbnail drawn that way.
        RefreshOptions options{{0, 1, 0, 0, 0, 1, 1, 0}};
        CatalogRefreshVisibleItem(catalog, item, &options, nullptr);
        return noErr;
    }
    if (!IsTransformCode(code)) return noErr;
    ItemRec record;
    if (ItemReadRecord(catalog, item, &record) != noErr) return noErr;
    const TransformCode before = IsTransformCode(record.orientation) ? record.orientation : kTransformNone;
    record.orientation = ComposeTransforms(before, code);
    // The stored thumbnail already shows the item turned by its old code: it only needs the new
    // step.
    Handle thumbnail = TurnedThumbnail(catalog, item, code);
    CatalogUpdateVisibleItem(catalog, item, &record, thumbnail, nullptr, nullptr, nullptr, nullptr, false);
    if (thumbnail) DisposeHandle(thumbnail);
    return noErr;
}
