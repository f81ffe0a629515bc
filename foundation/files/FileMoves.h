// Moving, swapping, copying and deleting files, the Recycle Bin, folder paths, directory
// entries and shortcuts (symbolic links stand for them here).
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <string>
#include <string_view>

// Exchanges the two files (a gets b's contents and b gets a's) in one atomic step, or, where
// the file system cannot, in three moves that are undone when one fails. 0 or -1.
OSErr SwapFiles(const FSSpec* a, const FSSpec* b);
// SwapFiles, then, with stamp, a's modification date becomes now.
OSErr SwapFilesAndStamp(const FSSpec* a, const FSSpec* b, bool stamp);
// Moves the item to the Recycle Bin (the user's trash); paramErr when that fails.
OSErr ShellFileOpA(const FSSpec* spec);
// Deletes the item for good, a folder with everything in it (symbolic links are removed, never
// followed). 0 or the failure's code.
OSErr DeleteFileSpec(const FSSpec* spec);

// Creates a folder and every missing folder above it (UTF-8 path); an empty path and an
// existing folder are fine, an existing file of that name is dupFNErr; dirNFErr when no
// parent can be formed, else the code of the last failed creation.
OSErr CreateDirectoryPath(std::string_view path);

// Copies the file into the folder, under newName when given (non-empty), else under its own
// name. Never replaces: dupFNErr when the target exists. When the first try fails the folder
// is created (with its parents) and the copy tried once more. The copy keeps the source's
// modification date and permissions; a failed copy leaves no partial file behind.
OSErr CopyFileToFolder(const FSSpec* source, const FSSpec* folder, ConstStr255Param newName);
// Copies the file into the folder under newName, or, without one, under its own name made
// unique in that folder. The copy's answer.
OSErr CopyFileSpecTo(const FSSpec* source, const FSSpec* destFolder, ConstStr255Param newName);

// The catalog information of the entry name inside folderPath (the entry's full path in
// info->path). A symbolic link reports its target; a dangling one reports itself.
OSErr FindDataToFileInfo(std::string_view folderPath, std::string_view name, CInfoPBRec* info);

// The final target of a symbolic link (followed through chains, made absolute); false when
// the path is no link, the chain loops, or the target does not exist.
bool ResolveShortcut(std::string_view shortcutPath, std::string* targetPath);
