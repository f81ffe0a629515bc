// Pieces the folder-tree operations share.
#pragma once

#include "import/foldertree/FolderTree.h"

struct CatalogRec;

// The catalog's notifications, queued and sent at once.
void ImportPostNotification(CatalogRec* catalog, UInt32 message, UInt32 parameter);
void ImportNotifyNow(CatalogRec* catalog, UInt32 message, UInt32 parameter);
// Tells the windows that the tree changed (queued).
void FolderTreePostChanged(CatalogRec* catalog);
// The same, sent at once.
void FolderTreeSendChanged(CatalogRec* catalog);
