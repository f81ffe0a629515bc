#include "window/panels/FolderNames.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace {

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::string FolderFreeName(const std::string& folder, const std::string& base) {
    std::string name = base;
    for (int n = 2; Exists(folder + "/" + name); ++n) name = base + " " + std::to_string(n);
    return name;
}

bool FolderNameAcceptable(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

OSErr FolderRenameOnDisk(const std::string& path, std::string_view name, std::string* newPath) {
    if (!FolderNameAcceptable(name)) return paramErr;
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return paramErr;
    const std::string target = path.substr(0, slash + 1) + std::string(name);
    if (target == path) {
        *newPath = path;
        return noErr;
    }
    // Never over what has the name already (plain rename would replace it silently).
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno == EEXIST) return dupFNErr;
        if (errno == ENOENT) return fnfErr;
        return ioErr;
    }
    *newPath = target;
    return noErr;
}
