// The File Manager the core is written against, over POSIX.
//
// An FSSpec names one item by its absolute, normalised native path (UTF-8, as the file system
// holds it) beside a volume reference and the id of its parent directory. Both numbers come from
// a process-wide table (platform/Volumes.h): a volume is a mount point, a directory id stands for
// a folder path. They are valid for the life of the process only; what goes into a stored record
// is the path (FSSpecToRecord), never cut: a path that does not fit is an error.
//
// Every 8-bit name or path handed to these calls (Str255 or C text) is native UTF-8 bytes.
// A single name must not hold "/" nor be "." or ".."; such names are refused with bdNamErr.
// Renames never replace an existing item (dupFNErr); the one deliberate overwrite is
// FSpReplaceFile, the last step of a safe save.
//
// Files have no resource fork, no type and no creator here. The Finder information reports a
// type made from the name's extension (upper-cased, blank-padded) and creator 0; names beginning
// with "." count as invisible.
#pragma once

#include "platform/MacTypes.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// ---- specifications ---------------------------------------------------------------------

struct FSSpec {
    SInt16 vRefNum = 0;
    SInt32 parID = 0;
    std::string path;   // absolute, no trailing "/" except for the root; empty: no item
};

inline bool operator==(const FSSpec& a, const FSSpec& b) { return a.path == b.path; }

enum : SInt32 {
    fsRtParID = 1,      // the parent id of a volume's root folder
    fsRtDirID = 2,      // the directory id of a volume's root folder
};

// Stored form of a specification: the volume reference, the parent id and the full path as a
// length-prefixed string, 262 bytes (two-byte alignment). Numbers are in memory order; the
// record that embeds it converts them with the rest of its fields.
#pragma pack(push, 2)
struct FSSpecRecord {
    SInt16 vRefNum;
    SInt32 parID;
    Str255 name;
};
#pragma pack(pop)
static_assert(sizeof(FSSpecRecord) == 262, "FSSpecRecord must be 262 bytes");
static_assert(offsetof(FSSpecRecord, parID) == 2 && offsetof(FSSpecRecord, name) == 6);

// Makes a spec. fileName is an absolute path, or a name or relative path (components separated
// by "/") inside the folder (vRefNum, dirID); with dirID 0 a relative name starts from the
// current folder. Answers noErr when the item exists, fnfErr when only its folder exists (the
// spec is filled all the same), dirNFErr when the folder is missing, nsvErr for an unknown
// volume, bdNamErr for a bad name; on dirNFErr the spec holds the path with zero numbers.
OSErr FSMakeFSSpec(SInt16 vRefNum, SInt32 dirID, ConstStr255Param fileName, FSSpec* spec);
OSErr FSMakeFSSpecFromPath(std::string_view path, FSSpec* spec);
// The item called name (a single name, refused when it holds "/" or is "." or "..") inside the
// folder named by folder; the same answers as FSMakeFSSpec.
OSErr FSMakeChildSpec(const FSSpec* folder, std::string_view name, FSSpec* spec);

enum : long {
    kFullNativePath = 0,
    kFileNameOnly = 1,
    kDirectoryPathOnly = 2,
};
// The spec's path, its last component only, or its folder's path, into a caller buffer with a
// terminating zero. bdNamErr (nothing written but an empty string) when it does not fit.
OSErr FSSpecToNativePathName(const FSSpec* spec, char* buffer, long bufferSize, long flags);
OSErr NativePathNameToFSSpec(const char* path, FSSpec* spec, long flags);

// The last component of the path ("/" for the root), and the folder part ("/" for items in the
// root; empty for a null spec).
std::string FSSpecName(const FSSpec& spec);
std::string FSSpecFolderPath(const FSSpec& spec);
// The last component as a length-prefixed string; bdNamErr when longer than 255 bytes.
OSErr FSSpecGetName(const FSSpec* spec, StringPtr name);
// The full path as a length-prefixed string of at most maxLength (<= 255) bytes; bdNamErr when
// it does not fit (never cut).
OSErr FSSpecGetPathPStr(const FSSpec* spec, StringPtr path, int maxLength = 255);

OSErr FSSpecToRecord(const FSSpec* spec, FSSpecRecord* record);
// Rebuilds the spec from the stored path (the stored numbers are re-derived); the answers are
// those of FSMakeFSSpec.
OSErr FSSpecFromRecord(const FSSpecRecord* record, FSSpec* spec);

// True for a usable single name: not empty, at most 255 bytes, no "/" and no zero byte, not
// "." or "..".
bool IsValidFileName(std::string_view name);
// True when a component of the path (split at separator) is "." or "..": a stored path that
// climbs out of where it claims to lie. Stored paths and aliases holding one are refused, so
// that a damaged or crafted record cannot point an item anywhere on the disk.
bool PathHasDotComponent(std::string_view path, char separator = '/');
// The lexically normal absolute form of a path (relative paths start from the current
// folder): "." components and repeated "/" dropped, ".." taken back, no trailing "/".
std::string NormalizeNativePath(std::string_view path);

// ---- files ------------------------------------------------------------------------------

enum : SInt8 {
    fsCurPerm = 0,      // read and write when allowed, else read only
    fsRdPerm = 1,
    fsWrPerm = 2,
    fsRdWrPerm = 3,
    fsRdWrShPerm = 4,
};

enum : SInt16 {
    fsAtMark = 0,
    fsFromStart = 1,
    fsFromLEOF = 2,
    fsFromMark = 3,
};

// Creates an empty file; dupFNErr when the name is taken. Type, creator and script are
// accepted for the callers' sake and not kept.
OSErr FSpCreate(const FSSpec* spec, OSType creator, OSType fileType, SInt16 scriptTag);
// Creates an empty file exclusively and opens it for reading and writing in one step, so that
// the file is ours from the moment it exists; dupFNErr when the name is taken.
OSErr FSpCreateOpen(const FSSpec* spec, SInt16* refNum);
// Creates a folder; dupFNErr when the name is taken. createdDirID may be null.
OSErr FSpDirCreate(const FSSpec* spec, SInt16 scriptTag, SInt32* createdDirID);
// Opens the data fork; every open has its own mark. notAFileErr for a folder.
OSErr FSpOpenDF(const FSSpec* spec, SInt8 permission, SInt16* refNum);
// Reads *count bytes at the mark; fewer bytes before the end answer eofErr with *count set to
// what was read.
OSErr FSRead(SInt16 refNum, long* count, void* buffer);
// Writes *count bytes at the mark, growing the file; *count is set to what was written.
OSErr FSWrite(SInt16 refNum, long* count, const void* buffer);
// Moves the mark. A position before the start answers posErr (mark unchanged); one past the
// end answers eofErr with the mark at the end.
OSErr SetFPos(SInt16 refNum, SInt16 posMode, long posOff);
OSErr GetFPos(SInt16 refNum, long* filePos);
OSErr GetEOF(SInt16 refNum, long* logEOF);
// Sets the length (growing fills with zeros); a mark past the new end moves to it.
OSErr SetEOF(SInt16 refNum, long logEOF);
// The same with explicit 64-bit positions.
OSErr SetFPos64(SInt16 refNum, SInt16 posMode, SInt64 posOff);
OSErr GetFPos64(SInt16 refNum, SInt64* filePos);
OSErr GetEOF64(SInt16 refNum, SInt64* logEOF);
OSErr SetEOF64(SInt16 refNum, SInt64 logEOF);
// Reads or writes at a position without moving the mark.
OSErr FSReadAt(SInt16 refNum, SInt64 position, long* count, void* buffer);
OSErr FSWriteAt(SInt16 refNum, SInt64 position, long* count, const void* buffer);
// The length of an open file as this process knows it, without asking the system: the
// length found when the file was last opened or measured (GetEOF), moved by every write and
// length change this process made through any of its opens of the file. Changes made by other
// processes are not seen, so it serves as a quick bound that a caller confirms with GetEOF64
// before it refuses anything.
OSErr FSGetKnownEOF(SInt16 refNum, SInt64* logEOF);
// Serves the reads of an open file (FSRead, FSReadAt) from a shared read-only memory map of
// the file, without a system call per read; bytes past the mapped length, or past a shorter
// length this process has since given the file, are read from the file as before, and once
// the file has grown well past the map (by this process's writes) the map is remade over the
// whole file. Writes made meanwhile are seen either way. Meant for files the program keeps
// open (a catalog file and its work file). Another program may still shorten or rewrite such a
// file in place (truncate, a copy over it): a read that meets a page the file no longer holds
// answers ioErr, and from then on every read of the file goes to the file itself. Files on
// network or user-space file systems (NFS, SMB, FUSE ...), where another machine may replace a
// shared catalog, are never mapped. An empty file, or one the system will not map, keeps
// ordinary reads (noErr); permErr for an open without read access.
OSErr FSMapForReading(SInt16 refNum);
// True once a read of the file (through any of this process's opens of it) found it shortened
// under its memory map by another program; the file's contents are then no longer the ones
// this process read before.
bool FSReadFaulted(SInt16 refNum);
// Whether files on a file system of this statfs type are mapped (false for network and
// user-space file systems).
bool FSFileSystemMayBeMapped(unsigned long fsType);
// Makes what was written durable (fsync).
OSErr FSFlushFile(SInt16 refNum);
OSErr FSClose(SInt16 refNum);
// The spec of an open file (as it was opened).
OSErr FSGetOpenFileSpec(SInt16 refNum, FSSpec* spec);

// ---- items ------------------------------------------------------------------------------

// Deletes a file, a symbolic link or an empty folder (fBsyErr when the folder is not empty).
OSErr FSpDelete(const FSSpec* spec);
// Renames the item inside its folder; dupFNErr when the new name is taken. newSpec may be null.
OSErr FSpRename(const FSSpec* spec, ConstStr255Param newName);
OSErr FSpRenameTo(const FSSpec* spec, std::string_view newName, FSSpec* newSpec);
// Moves the item to another path (folder and name) on the same volume; dupFNErr when the
// target exists, diffVolErr across volumes.
OSErr FSpMoveTo(const FSSpec* source, const FSSpec* target);
// Moves the item into the folder dest, keeping its name.
OSErr FSpCatMove(const FSSpec* source, const FSSpec* destFolder);
// Swaps the two items atomically (both must exist, same volume).
OSErr FSpExchangeFiles(const FSSpec* a, const FSSpec* b);
// The last step of a safe save: replacement (a finished temporary file, normally in the same
// folder) takes the place of target in one atomic rename; target need not exist.
OSErr FSpReplaceFile(const FSSpec* replacement, const FSSpec* target);
// Makes the folder entry of the item durable (fsync of its folder), after a create or rename.
OSErr FSpSyncFolder(const FSSpec* spec);

struct FInfo {
    OSType fdType;
    OSType fdCreator;
    UInt16 fdFlags;
    Point fdLocation;
    SInt16 fdFldr;
};
enum : UInt16 { kIsInvisible = 0x4000 };

enum : SInt8 { kioFlAttribDirMask = 0x10 };

// Catalog information of one file or folder.
struct CInfoPBRec {
    std::string path;           // full path of the item
    SInt16 ioVRefNum = 0;
    SInt8 ioFlAttrib = 0;       // 0x10 for a folder
    FInfo ioFlFndrInfo{};       // type from the extension; 0x4000 for a name beginning with "."
    SInt32 ioDirID = 0;         // a folder's own id; for a file, its parent's
    SInt32 ioFlParID = 0;
    UInt32 ioFlLgLen = 0;       // data length; 0x7FFFFFFF when it needs more than 32 bits
    UInt32 ioFlRLgLen = 0;      // resource length (always 0)
    UInt32 ioFlCrDat = 0;       // creation (birth time when the file system has one, else the
    UInt32 ioFlMdDat = 0;       // modification time), Mac seconds in local time
    SInt64 dataLength = 0;      // the true data length
    bool isSymlink = false;     // the item itself is a symbolic link (information is the target's)
};

// Fills pb for the item; a symbolic link reports its target (fnfErr when the target is gone).
OSErr FSpGetCatInfo(const FSSpec* spec, CInfoPBRec* pb);
OSErr FSpGetFInfo(const FSSpec* spec, FInfo* info);
// Creation and modification dates in Mac seconds (local time); either out pointer may be null.
OSErr FSpGetFileDates(const FSSpec* spec, UInt32* created, UInt32* modified);
// Sets the modification date; a creation date cannot be set on Linux and is ignored.
OSErr FSpSetFileDates(const FSSpec* spec, const UInt32* created, const UInt32* modified);
// The data length in bytes.
OSErr FSpGetDataLength(const FSSpec* spec, SInt64* length);
bool FSpExists(const FSSpec* spec);
bool FSpIsDirectory(const FSSpec* spec);

// Free bytes on the volume holding the item (or, for an item not yet made, its folder).
OSErr FSpGetFreeBytes(const FSSpec* spec, UInt64* freeBytes);

// A four-character type from the name's 1..4 character extension, upper-cased (ASCII) and
// padded with blanks; 0 without an extension or when the name ends with ".".
OSType FileTypeFromName(std::string_view name);

// The toolbox code for an errno value.
OSErr OSErrFromErrno(int err);
