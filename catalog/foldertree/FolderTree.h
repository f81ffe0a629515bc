// The tree of volumes and folders of one catalog, each folder holding the ids of the items
// filed in it. The catalog owns its tree; the tree is stored in the catalog file as the
// 'FSM!' chunk.
//
// Names: every node has an 8-bit name (Windows-1252; for a volume node the volume key) and,
// when known, its name in UTF-16. A node is found by its path component: the UTF-16 name
// when it has one (volume nodes always use their key), compared exactly, as file names
// compare on this system. Children are kept ordered by name without regard to case.
#pragma once

#include "catalog/foldertree/Volumes.h"
#include "platform/MacTypes.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

struct CatalogRec;
struct FSSpec;
struct FolderScanWorker;
struct FolderTree;

enum : UInt32 {
    kFolderExpanded = 2,      // unfolded in the folder pane
    kFolderMissing = 8,       // not found at the last check
    kFolderScanWaiting = 16,  // scan results wait for this folder
    kFolderWatched = 32,      // scanned by folder watching
    kFolderBatchMark = 64,    // mark of an add batch
};

inline constexpr char kFolderRootName[] = "<root>";
inline constexpr char kFolderDummyName[] = "<dummyname>";

struct FolderNode {
    FolderTree* tree = nullptr;
    std::u16string unicodeName;          // may be empty
    std::string name;                    // Windows-1252; a volume node's name is its key
    Handle alias = nullptr;              // opaque folder alias carried through the file, owned
    SInt32 depth = -1;                   // -1 root, 0 volume, parent + 1 below
    UInt32 flags = 0;
    FolderNode* parent = nullptr;
    std::vector<UInt32> items;           // display order, stored with the tree
    std::map<UInt32, std::u16string> itemNames;
    std::vector<FolderNode*> children;   // owned, ordered by name
    UInt8 relocationGuard = 0;
    UInt32 nodeId = 0;                   // never reused while the program runs; windows and
                                         // messages refer to a node by it
};

// A visitor: one operation applied to a node. Visitors recurse themselves, as a rule through
// FolderNodeVisitChildren, which walks a copy of the children so a visitor may remove some.
class FolderVisitor {
public:
    virtual ~FolderVisitor() = default;
    virtual void Visit(FolderNode* node) = 0;
};
void FolderNodeVisitChildren(FolderNode* node, FolderVisitor& visitor);

struct FolderNodeIdOrder {
    bool operator()(const FolderNode* a, const FolderNode* b) const { return a->nodeId < b->nodeId; }
};

struct FolderTree {
    // Folder watching (import/) attaches its worker here and says how the tree tells it about
    // a node going away and how it is ended with the tree; the tree never looks inside it.
    FolderScanWorker* scanWorker = nullptr;
    void (*scanWorkerForgetNode)(FolderScanWorker*, const FolderNode*) = nullptr;
    void (*scanWorkerDelete)(FolderScanWorker*) = nullptr;
    std::unordered_map<std::string, FolderNode*> pathMap;     // stored path -> node (not the root)
    std::unordered_map<UInt32, FolderNode*> itemMap;          // item id -> node
    FolderNode* root = nullptr;
    std::set<FolderNode*, FolderNodeIdOrder> pendingRemoval;
    SInt32 pathStyle = 1;                                     // 0 ':' separators, 1 '\'
    UInt8 loaded = 0;                                         // read from the file without error
    CatalogRec* catalog = nullptr;
    std::vector<FolderNode*> visibleRows;
    VolumeTable volumes;
    // Told about every node just before it is destroyed, parents before their children, so
    // that windows can drop what refers to it.
    std::function<void(FolderNode*)> nodeDestroyed;
};

// ---- tree and nodes ------------------------------------------------------------------------

// A tree with the root only, path style 1, and the volume table of the volumes mounted now.
FolderTree* FolderTreeNew(CatalogRec* catalog);
// The same without looking at the system's volumes (the table stays empty).
FolderTree* FolderTreeNewDetached(CatalogRec* catalog);
void FolderTreeFree(FolderTree* tree);
// The node with that id in any folder tree of the program (node ids are never reused while
// it runs), and its tree; null when no live tree has it.
FolderNode* FolderTreeFindLiveNode(UInt32 nodeId, FolderTree** tree);

FolderNode* FolderNodeNew(FolderTree* tree, std::string name, std::u16string unicodeName, Handle alias);
// Destroys a node and its subtree: out of the pending set, announced, children last to first,
// unlinked from its parent, alias disposed. The maps are not touched (FolderTreeFlushNode).
void FolderNodeDestroy(FolderTree* tree, FolderNode* node);
// Replaces the node's alias, disposing of the previous one when it differs.
void FolderNodeSetAlias(FolderNode* node, Handle alias);

char FolderTreeSeparator(const FolderTree* tree);
// The node's component of a stored path: the key of a volume node, else the UTF-16 name in
// UTF-8, else the 8-bit name in UTF-8.
std::string FolderNodePathComponent(const FolderNode* node);
// The node's stored path: its components from the volume node down, joined by the tree's
// separator (empty for the root). The path map is keyed by it.
std::string FolderNodeStoredPath(const FolderNode* node);
// The path map's key of a stored path (':' separators become '\').
std::string FolderTreePathKey(const FolderTree* tree, std::string_view storedPath);
// The 8-bit names from the volume node down, joined by the separator.
std::string FolderNodeFullPath(const FolderNode* node);

// Order of children: by name without regard to ASCII case, byte by byte.
int FolderNameCompare(std::string_view a, std::string_view b);
void FolderNodeSortChildren(FolderNode* node);
// Makes child a child of parent at its place by name, out of the pending set, with the depths
// of its subtree recomputed.
void FolderNodeInsertChild(FolderTree* tree, FolderNode* parent, FolderNode* child);
// The child whose path component equals component exactly; null when none.
FolderNode* FolderNodeFindChild(const FolderNode* node, std::string_view component);

// Appends an item (the node leaves the pending set) and maps the id to the node.
void FolderNodeAddItem(FolderTree* tree, FolderNode* node, UInt32 itemId, std::u16string unicodeName);
// Erases the first equal id and its name; the item map is not touched.
void FolderNodeRemoveItem(FolderNode* node, UInt32 itemId);
// Brings the node's items into the order of ids (ids not in the node are skipped).
void FolderNodeReorderItems(FolderNode* node, const UInt32* ids, long count);

// ---- operations over the tree ----------------------------------------------------------------

FolderNode* FolderTreeFindItemNode(const FolderTree* tree, UInt32 itemId);
// The node of a stored path, null when the tree has none.
FolderNode* FolderTreeFindNodeByPath(const FolderTree* tree, std::string_view storedPath);
// Removes an item from its node and from the item map; answers the node or null.
FolderNode* FolderTreeRemoveItem(FolderTree* tree, UInt32 itemId);
// Removes a node with its subtree: item-map and path-map entries, children last to first,
// then the node itself. Answers its former parent (null for the root, which stays).
FolderNode* FolderTreeFlushNode(FolderTree* tree, FolderNode* node);
void FolderTreeFlushPending(FolderTree* tree);
// The rows of the folder pane: every node whose ancestors below the root are expanded.
void FolderTreeRebuildVisible(FolderTree* tree);

// Finds or makes the nodes of a stored folder path, each new one named from the path and
// given its UTF-16 name from the disk. Null for an empty path.
FolderNode* FolderTreeInsertPath(FolderTree* tree, std::string_view storedPath, const FSSpec* catalogSpec);
// Files an item under the folder of its stored path (or under node when given).
FolderNode* FolderTreeAddItemPath(FolderTree* tree, std::string_view storedItemPath, UInt32 itemId,
                                  const FSSpec* catalogSpec, FolderNode* node);
// The stored path of an item's folder followed by the separator; empty when it has no node.
std::string FolderTreeItemFolderPath(const FolderTree* tree, UInt32 itemId);
// The stored form of a file spec's path (a trailing separator removed).
OSErr FolderTreeSpecToStored(const FolderTree* tree, const FSSpec* spec, std::string* stored);

// Resolves a node to its folder on disk. For a network host, the first child that resolves.
OSErr FolderNodeResolve(const FolderTree* tree, const FolderNode* node, FSSpec* spec);
// The same for the catalog's tree, with the pending removals flushed after.
OSErr FolderTreeResolveNode(CatalogRec* catalog, FolderNode* node, FSSpec* spec);
// Looks at the nodes under node (the root when null; with recursive clear only its children)
// on disk; with removeVanished, a node that cannot be found and holds nothing and is not
// watched is queued for removal. Flushes at the end.
void FolderTreeCheckFolders(FolderTree* tree, const FSSpec* catalogSpec, bool removeVanished,
                            bool recursive, FolderNode* node);
// Refreshes the volume table and looks at the volume nodes again; when something changed the
// catalog is marked modified.
void FolderTreeRefreshVolumes(FolderTree* tree);

// ---- the 'FSM!' chunk ----------------------------------------------------------------------

// The chunk data of the whole tree: nested 'fldr' node chunks in pre-order.
OSErr FolderTreeWriteToBytes(FolderTree* tree, std::vector<std::uint8_t>* out);
// Replaces the tree by the one in the chunk data. Every count, length and offset is checked
// against the data: eofErr when something runs past its end, kCatalogBadFileErr for a child
// table that leads back into the tree; the tree then holds what was read so far and is not
// marked loaded.
OSErr FolderTreeReadFromBytes(FolderTree* tree, const std::uint8_t* data, std::size_t length);
// Writes the chunk data at the file's mark, leaving the mark after it.
OSErr FolderTreeWrite(FolderTree* tree, SInt16 refNum);
// Reads length bytes of chunk data from the file's mark and replaces the tree by them.
OSErr FolderTreeRead(FolderTree* tree, SInt16 refNum, long length);

// ---- the catalog's tree ----------------------------------------------------------------------

OSErr CatalogFolderTreeCreate(CatalogRec* catalog);
OSErr CatalogFolderTreeDelete(CatalogRec* catalog);
// Writes the whole 'FSM!' chunk (tag, length, data) at the file's mark.
OSErr CatalogWriteFolderTreeChunk(SInt16 refNum, CatalogRec* catalog);
// Reads the 'FSM!' chunk data (length bytes at the mark) into the catalog's tree.
OSErr CatalogReadFolderTree(CatalogRec* catalog, SInt16 refNum, long length);
// Files every item of the catalog in its tree. With opened clear (a new catalog) or a tree
// read from the file, only flushes; else builds the tree from the items' stored paths.
OSErr FolderTreeAddCatalogItems(CatalogRec* catalog, bool opened);
// Looks at the volume nodes on disk once the catalog is open.
OSErr CatalogFolderTreeCheckOnOpen(CatalogRec* catalog);
