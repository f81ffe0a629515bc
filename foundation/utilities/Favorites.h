// Favorites: the remembered values an in-place editor offers in its drop-down, one text file
// per list in the folder "Favorites" of the per-user data folder, one entry a line (Windows-
// 1252 bytes, CR LF). A list only grows; the program never removes or reorders entries.
#pragma once

#include <string>
#include <vector>

// The file of a list; empty when the folder cannot be found or made.
std::string FavoritesFilePath(const std::string& listName);
// The entries (UTF-8), in file order. Reading stops at a line of 1,024 characters or more; a
// missing file or folder gives none. A file left by older versions beside the folder
// ("Favorites" + list name, no separator) is moved into place first.
std::vector<std::string> LoadFavorites(const std::string& listName);
// Appends the text unless the list already holds it (letter case aside): false when it was
// there, or when the file cannot be written (the list is then unchanged).
bool AddFavorite(const std::string& listName, const std::string& utf8Text, std::vector<std::string>* entries);
