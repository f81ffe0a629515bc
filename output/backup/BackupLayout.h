// Where each file of a backup goes, worked out before anything is copied: with the folder
// structure kept, every file keeps its path below the parent of the deepest folder all files
// share (so that folder itself appears on the backup); without it, every file lies in one
// folder, and a later file whose name is taken gets a name of its own ("name_1.jpg"), so no
// copy ever replaces another and no two items point at one copy.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The folder whose name leads every relative path: the parent of the deepest folder common to
// all paths ("/" when they share none; empty for no paths). Paths are absolute, "/" separated.
std::string BackupCommonParent(const std::vector<std::string>& paths);
// The relative target of each path, in order. taken holds relative names already used in the
// target (compared exactly); every answer is added to it. occupied, when given, tells whether
// a relative name is held by a file already there.
std::vector<std::string> BackupRelativeTargets(const std::vector<std::string>& paths, bool keepStructure,
                                               std::vector<std::string>* taken,
                                               const std::function<bool(const std::string&)>& occupied = {});
// name with "_n" before its extension.
std::string NumberedName(const std::string& name, int n);
