// The user's standard media folders, as the desktop names them (its user-dirs settings).
#pragma once

#include <string>
#include <vector>

// The user's Videos and Pictures folders (in that order) that exist; a folder the desktop does
// not name, or that is missing, is left out rather than handed on empty.
std::vector<std::string> StandardMediaFolders();
