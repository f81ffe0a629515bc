// Making and renaming folders from the folder list, apart from any window: the first free
// "Untitled Folder" name in a folder, which names a rename accepts, and the rename itself,
// which never replaces what already has the new name.
#pragma once

#include "platform/MacTypes.h"

#include <string>
#include <string_view>

// base, then base 2, base 3 ... : the first that names nothing in the folder.
std::string FolderFreeName(const std::string& folder, const std::string& base);
// A folder's new name must stay in its folder: not empty, not "." or "..", no "/" (nor "\",
// the separator of stored paths) and no NUL.
bool FolderNameAcceptable(std::string_view name);
// Renames the folder at path to name in the same parent: paramErr for a name that is not
// acceptable, dupFNErr when something has that name already, fnfErr when the folder is gone;
// *newPath is the new path on success.
OSErr FolderRenameOnDisk(const std::string& path, std::string_view name, std::string* newPath);
