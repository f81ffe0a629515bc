#include "app/RecentCatalogs.h"

#include "app/ShellSettings.h"
#include "foundation/settings/ProgramKey.h"

#include <algorithm>
#include <sys/stat.h>

namespace {

std::u16string SlotName(std::size_t slot) {
    const std::string name = "Recent" + std::to_string(slot);
    return std::u16string(name.begin(), name.end());
}

}  // namespace

bool RecentCatalogs::Add(const std::string& path) {
    if (path.empty()) return false;
    if (std::find(list_.begin(), list_.end(), path) != list_.end()) return false;
    list_.push_back(path);
    while (list_.size() > kRecentCatalogLimit) list_.pop_front();
    return true;
}

const std::string* RecentCatalogs::At(std::size_t index) const {
    return index < list_.size() ? &list_[index] : nullptr;
}

std::vector<std::string> RecentCatalogs::KeepExisting() {
    std::deque<std::string> kept;
    for (const std::string& path : list_) {
        struct stat st;
        if (stat(path.c_str(), &st) == 0) kept.push_back(path);
    }
    list_ = kept;
    return std::vector<std::string>(kept.begin(), kept.end());
}

void RecentCatalogs::Load() {
    list_.clear();
    for (std::size_t slot = 1; slot <= kRecentCatalogLimit; ++slot) {
        const std::string path = LoadSettingText(kRegRecentFiles, SlotName(slot));
        if (!path.empty()) Add(path);
    }
}

bool RecentCatalogs::Save() const {
    bool ok = true;
    for (std::size_t slot = 1; slot <= kRecentCatalogLimit; ++slot)
        ok = SaveSettingText(kRegRecentFiles, SlotName(slot), slot <= list_.size() ? list_[slot - 1] : std::string()) && ok;
    return ok;
}
