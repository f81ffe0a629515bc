#include "foundation/utilities/Favorites.h"

#include "foundation/settings/AppFolders.h"
#include "foundation/text/CodePages.h"
#include "foundation/text/PString.h"
#include "foundation/text/Unicode.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

constexpr size_t kLineLimit = 1024;

std::string Folder() {
    Str255 name{};
    PStrFromCString(name, "Favorites");
    FSSpec folder;
    if (GetAppFolder(name, kAppFolderUserData, true, &folder) != noErr) return std::string();
    return folder.path;
}

bool SameText(const std::string& a, const std::string& b) {
    const std::string x = Utf8ToAnsi(a), y = Utf8ToAnsi(b);
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i)
        if (AnsiToLower((unsigned char)x[i]) != AnsiToLower((unsigned char)y[i])) return false;
    return true;
}

}  // namespace

std::string FavoritesFilePath(const std::string& listName) {
    const std::string folder = Folder();
    if (folder.empty() || listName.empty()) return std::string();
    return folder + "/" + listName;
}

std::vector<std::string> LoadFavorites(const std::string& listName) {
    std::vector<std::string> entries;
    const std::string path = FavoritesFilePath(listName);
    if (path.empty()) return entries;
    std::error_code ec;
    const std::string legacy = Folder() + listName;
    if (!std::filesystem::exists(path, ec) && std::filesystem::is_regular_file(legacy, ec))
        std::filesystem::rename(legacy, path, ec);
    std::ifstream in(path, std::ios::binary);
    if (!in) return entries;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() >= kLineLimit) break;  // that line and the rest are not loaded
        if (!line.empty()) entries.push_back(AnsiToUtf8(line));
    }
    return entries;
}

bool AddFavorite(const std::string& listName, const std::string& utf8Text, std::vector<std::string>* entries) {
    if (utf8Text.empty()) return false;
    for (const std::string& e : *entries)
        if (SameText(e, utf8Text)) return false;
    const std::string path = FavoritesFilePath(listName);
    if (path.empty()) return false;
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out) return false;
    out << Utf8ToAnsi(utf8Text) << "\r\n";
    out.flush();
    if (!out) return false;
    entries->push_back(utf8Text);
    return true;
}
