// The catalogs opened or saved lately (File > Open Recent): at most ten full paths of any
// length, oldest first, kept in the per-user settings as "Recent1".."Recent10" under
// "RecentFiles". Paths compare exactly: two names that differ only in letter case are two files.
#pragma once

#include <deque>
#include <string>
#include <vector>

inline constexpr std::size_t kRecentCatalogLimit = 10;
// Command id of the first Open Recent entry; entry i has kFirstRecentCommand + i.
inline constexpr int kFirstRecentCommand = 32844;

class RecentCatalogs {
public:
    // Appends the path when it is not listed yet (a listed one keeps its place), then drops the
    // oldest entries beyond ten. True when the path was appended.
    bool Add(const std::string& path);
    // The entry at a 0-based position from the oldest; null outside the list.
    const std::string* At(std::size_t index) const;
    void Clear() { list_.clear(); }
    std::size_t Size() const { return list_.size(); }
    const std::deque<std::string>& Entries() const { return list_; }

    // Drops the entries whose files no longer exist and answers those kept, in order: the
    // Open Recent menu lists them with ids kFirstRecentCommand + position.
    std::vector<std::string> KeepExisting();

    // The stored list (empty when the settings cannot be read); non-empty values in slot order.
    void Load();
    // Writes the ten slots, empty ones as empty strings; false when the settings refused.
    bool Save() const;

private:
    std::deque<std::string> list_;
};
