#include "output/ui/fileactions/WxFileConflictAsker.h"

#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemRecords.h"
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindEngine.h"
#include "media/kinds/KindInfo.h"
#include "output/ui/fileactions/CResetPathsDlg.h"
#include "platform/Handles.h"

namespace {

constexpr SInt16 kThumbnailSize = 128;

PicHandle ItemThumbnail(const FileConflict& c) {
    if (!c.catalog || c.item <= 0) return nullptr;
    const ItemEntry* entry = CatalogGetItemEntry(c.catalog, c.item);
    if (!entry) return nullptr;
    return ItemGetThumbnailPicture(c.catalog, entry, kThumbnailSize, kThumbnailSize);
}

PicHandle FileThumbnail(const FSSpec& file) {
    KindFileRec rec;
    if (KindTypeOfFileSpec(&file, &rec) != noErr || rec.type == 0) return nullptr;
    KindInfoRec info{};
    PicHandle picture = nullptr;
    // Reader option 1: a picture without a preview of its own is drawn whole for it.
    KindGetInfo(&rec, &info, true, 1, 0, kThumbnailSize, &picture, nullptr, nullptr, nullptr);
    return picture;
}

}  // namespace

int WxFileConflictAsker::Ask(const FileConflict& conflict) {
    auto* dialog = new CResetPathsDlg(parent_);
    dialog->SetFileInfo(conflict.variant, conflict.source, conflict.sourceRecord, ItemThumbnail(conflict),
                        conflict.destination, FileThumbnail(conflict.destination));
    dialog->DoModal();
    const int choice = dialog->GetChoice();
    dialog->Destroy();
    return choice == 0 ? kConflictSkip : choice;
}
