// Bridges between paths and file specifications, child specifications, folders and the
// user's special folders.
//
// Names and paths in length-prefixed strings are native UTF-8 bytes here, exactly as the file
// system holds them (not Windows-1252 display text): a name read from a spec and handed back
// always names the same file. Wide paths are UTF-16. A path that does not fit the caller's
// field is refused with bdNamErr, never cut.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <string>
#include <string_view>

// A wide (UTF-16) path to a spec; the answers of FSMakeFSSpec (fnfErr when only the folder
// exists, the spec filled all the same).
OSErr PathToFileSpec(std::u16string_view path, FSSpec* spec);

enum : long {
    kPathFull = 0,       // the whole path
    kPathNameOnly = 1,   // its last component
    kPathFolderOnly = 2, // the folder part
};
// The path as UTF-16 into buffer (capacity in characters, terminating zero included).
OSErr FileSpecToPath(const FSSpec* spec, char16_t* buffer, long capacity, long flags = kPathFull);
std::u16string FileSpecToPath(const FSSpec& spec, long flags = kPathFull);
// The native path into a caller buffer of size bytes (terminating zero included).
OSErr FileSpecToNativePath(const FSSpec* spec, char* buffer, long size);
// The native path (or, with flags, its name or folder) as a length-prefixed string.
OSErr FileSpecToPathPStr(const FSSpec* spec, StringPtr path, long flags = kPathFull);
// The same limited to maximum bytes; a longer path is refused (bdNamErr), not cut.
OSErr FileSpecToPathPStrN(const FSSpec* spec, StringPtr path, long maximum);
// The path in a new handle, exactly as long as the text (no terminating zero); its length in
// *length when length is not null.
OSErr FileSpecToPathHandle(const FSSpec* spec, Handle* handle, long* length);

// The item called name inside folder: fnfErr when no such item exists (the spec is filled all
// the same), bdNamErr for "", ".", ".." or a name holding "/".
OSErr MakeChildFileSpec(const FSSpec* folder, ConstStr255Param name, FSSpec* child);
// The same spec without asking the file system whether the item exists; bdNamErr only.
OSErr MakeChildSpecNoCheck(const FSSpec* folder, ConstStr255Param name, FSSpec* child);
// The sub-folder name of folder, created when create is non-zero (an existing folder is
// fine). name may be a relative path of several components ("source/image"); the outer ones
// must exist. An empty name means folder itself.
OSErr CreateChildFolder(const FSSpec* folder, short create, ConstStr255Param name, FSSpec* child);
// Creates a folder and every missing folder above it; an existing folder is fine, an existing
// file of that name is dupFNErr. dirNFErr when no parent can be formed.
OSErr CreateDirectoryPathW(std::u16string_view path);

// Special folders: 'desk' the desktop, 'pref' the per-user data folder ($XDG_DATA_HOME), both
// created when missing; 'temp' the temporary folder ($TMPDIR, else /tmp); any other type the
// root folder. name (may be empty) is appended; the answers of FSMakeFSSpec.
OSErr FindSpecialFolder(OSType folderType, ConstStr255Param name, FSSpec* spec);
enum : short { kSpecialDesktop = 1, kSpecialPictures = 2 };
// The desktop or pictures folder of the user, created when missing; paramErr when the
// session names none.
OSErr FindSpecialFolderPath(short kind, FSSpec* spec);

// The spec itself when it names a folder, else the spec of the folder holding it.
OSErr FileSpecFolder(const FSSpec* spec, FSSpec* folder);
// True when both are null, or both name the same path (names compare case-sensitively, as
// the file system does).
bool FileSpecEqual(const FSSpec* a, const FSSpec* b);
// Names have no short form here: the copy is the spec itself.
OSErr CopyFileSpecShortName(const FSSpec* spec, FSSpec* copy);

// The catalog information of name inside the folder (vRefNum, dirID); an empty name describes
// that folder itself.
OSErr FileGetCatInfo(SInt16 vRefNum, SInt32 dirID, ConstStr255Param name, CInfoPBRec* pb);
bool FileSpecExists(const FSSpec* spec);
// For a folder: isDirectory true and *value its directory id; for a file: false and its data
// length (0x7FFFFFFF when the length needs more than 32 bits).
OSErr FileSpecGetInfo(const FSSpec* spec, bool* isDirectory, UInt32* value);
