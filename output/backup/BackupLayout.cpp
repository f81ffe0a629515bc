#include "output/backup/BackupLayout.h"

#include <algorithm>
#include <set>

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) return "/";
    return path.substr(0, slash);
}

bool Taken(const std::vector<std::string>& taken, const std::string& rel) {
    return std::find(taken.begin(), taken.end(), rel) != taken.end();
}

}  // namespace

std::string BackupCommonParent(const std::vector<std::string>& paths) {
    if (paths.empty()) return {};
    // The common folder is compared by whole components, never inside a name.
    std::string common = FolderOf(paths.front());
    for (const std::string& p : paths) {
        const std::string folder = FolderOf(p);
        while (common != "/" && !(folder == common || folder.compare(0, common.size() + 1, common + "/") == 0))
            common = FolderOf(common);
    }
    return FolderOf(common);
}

std::string NumberedName(const std::string& name, int n) {
    const std::size_t dot = name.rfind('.');
    const std::string suffix = "_" + std::to_string(n);
    if (dot == std::string::npos || dot == 0) return name + suffix;
    return name.substr(0, dot) + suffix + name.substr(dot);
}

std::vector<std::string> BackupRelativeTargets(const std::vector<std::string>& paths, bool keepStructure,
                                               std::vector<std::string>* taken,
                                               const std::function<bool(const std::string&)>& occupied) {
    auto used = [&](const std::string& rel) { return Taken(*taken, rel) || (occupied && occupied(rel)); };
    std::vector<std::string> out;
    const std::string parent = BackupCommonParent(paths);
    for (const std::string& p : paths) {
        std::string rel;
        if (keepStructure)
            rel = parent == "/" ? p.substr(1) : p.substr(parent.size() + 1);
        else
            rel = p.substr(p.rfind('/') + 1);
        if (used(rel)) {
            const std::size_t slash = rel.rfind('/');
            const std::string folder = slash == std::string::npos ? std::string() : rel.substr(0, slash + 1);
            const std::string name = slash == std::string::npos ? rel : rel.substr(slash + 1);
            for (int n = 1;; ++n) {
                const std::string candidate = folder + NumberedName(name, n);
                if (!used(candidate)) {
                    rel = candidate;
                    break;
                }
            }
        }
        taken->push_back(rel);
        out.push_back(rel);
    }
    return out;
}
