#include "catalog/foldertree/FolderTreeFields.h"

#include "catalog/file/CatalogRec.h"
#include "catalog/items/ItemRecords.h"
#include "foundation/text/Unicode.h"
#include "catalog/foldertree/FolderTree.h"
#include "platform/Handles.h"

namespace {

const FolderNode* ItemNode(const CatalogRec* catalog, const ItemEntry* entry) {
    if (!catalog || !entry || !catalog->folderTree) return nullptr;
    return FolderTreeFindItemNode(catalog->folderTree, entry->id);
}

// The item's file name in UTF-8: the name filed with its node, else its record's.
std::string FileNameUtf8(const CatalogRec* catalog, const ItemEntry* entry, const FolderNode* node) {
    if (node) {
        auto it = node->itemNames.find(entry->id);
        if (it != node->itemNames.end() && !it->second.empty()) return Utf16ToUtf8(it->second);
    }
    ItemRec record;
    if (ItemLoadRecord(catalog, entry, &record) != noErr) return {};
    return AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(record.fileName + 1),
                                       record.fileName[0]));
}

const FolderNode* VolumeNodeOf(const FolderNode* node) {
    while (node && node->depth > 0) node = node->parent;
    return node && node->depth == 0 ? node : nullptr;
}

OSErr ToHandle(const std::string& text, Handle* out) {
    if (!out) return paramErr;
    *out = nullptr;
    if (text.empty()) return noErr;
    return PtrToHand(text.data(), out, Size(text.size()));
}

}  // namespace

std::string FolderTreeItemPathText(const CatalogRec* catalog, const ItemEntry* entry) {
    const FolderNode* node = ItemNode(catalog, entry);
    if (!node) return {};
    const FolderTree* tree = catalog->folderTree;
    std::string stored = FolderNodeStoredPath(node);
    std::string folder;
    if (FolderStoredToNative(tree->volumes, stored, &folder) != noErr || folder.empty()) {
        // Not mounted now: the stored form, its volume shown by name.
        const char sep = FolderTreeSeparator(tree);
        size_t cut = stored.find(sep);
        std::string key = stored.substr(0, cut);
        folder = VolumeKeyDisplay(key, &tree->volumes);
        if (cut != std::string::npos) folder += stored.substr(cut);
        for (char& c : folder)
            if (c == sep) c = '/';
    }
    if (folder.empty() || folder.back() != '/') folder += '/';
    return Utf8ToAnsi(folder + FileNameUtf8(catalog, entry, node));
}

std::string FolderTreeItemFileNameText(const CatalogRec* catalog, const ItemEntry* entry) {
    if (!catalog || !entry) return {};
    return Utf8ToAnsi(FileNameUtf8(catalog, entry, ItemNode(catalog, entry)));
}

std::string FolderTreeItemVolumeText(const CatalogRec* catalog, const ItemEntry* entry) {
    const FolderNode* volume = VolumeNodeOf(ItemNode(catalog, entry));
    if (!volume) return {};
    char letter;
    UInt32 serial;
    std::string label;
    if (VolumeKeyParse(volume->name, &letter, &serial, &label)) {
        if (!label.empty()) return label;
        return Utf8ToAnsi(VolumeKeyDisplay(volume->name, &catalog->folderTree->volumes));
    }
    return volume->unicodeName.empty() ? volume->name : Utf16ToAnsi(volume->unicodeName);
}

OSErr FolderTreeItemPathField(const CatalogRec* catalog, const ItemEntry* entry, Handle* text) {
    return ToHandle(FolderTreeItemPathText(catalog, entry), text);
}

OSErr FolderTreeItemFileNameField(const CatalogRec* catalog, const ItemEntry* entry, Handle* text) {
    return ToHandle(FolderTreeItemFileNameText(catalog, entry), text);
}
