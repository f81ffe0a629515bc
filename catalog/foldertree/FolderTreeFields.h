// What the field engine asks the folder tree for: an item's full path, its file name as filed
// with its folder, and the name of the volume that holds it. Texts are Windows-1252 (the
// catalog's 8-bit text; characters outside it become '?').
#pragma once

#include "platform/MacTypes.h"

#include <string>

struct CatalogRec;
struct ItemEntry;

// The item's full native path: its folder's path on the volume where it is mounted now, "/"
// and its file name. A folder on a volume that is not mounted keeps its stored form with the
// volume shown by name. Empty when the item has no folder node.
std::string FolderTreeItemPathText(const CatalogRec* catalog, const ItemEntry* entry);
// The item's file name: the name filed with its folder node, else the name in its record.
std::string FolderTreeItemFileNameText(const CatalogRec* catalog, const ItemEntry* entry);
// The name of the volume holding the item: its volume node's label; empty without a node.
std::string FolderTreeItemVolumeText(const CatalogRec* catalog, const ItemEntry* entry);

// The same as new handles (no terminator); null when the text is empty.
OSErr FolderTreeItemPathField(const CatalogRec* catalog, const ItemEntry* entry, Handle* text);
OSErr FolderTreeItemFileNameField(const CatalogRec* catalog, const ItemEntry* entry, Handle* text);
