#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += std::size_t(n);
    }
    return 0;
}

int SyncFolder(const std::string& folder) {
    int dfd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return errno;
    int err = fsync(dfd) == 0 ? 0 : errno;
    close(dfd);
    // Some file systems cannot flush a folder; the rename itself has still happened.
    return (err == EINVAL || err == EROFS) ? 0 : err;
}

}  // namespace

std::string AtomicTempPrefix(const std::string& target) { return target + ".tmp-"; }

int WriteFileAtomically(const std::string& target, std::string_view bytes, mode_t mode, bool durable) {
    std::string pattern = AtomicTempPrefix(target) + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return errno;
    int err = fchmod(fd, mode) == 0 ? 0 : errno;
    if (!err) err = WriteAll(fd, bytes);
    if (!err && durable && fsync(fd) != 0) err = errno;
    if (close(fd) != 0 && !err) err = errno;
    if (!err && rename(name.data(), target.c_str()) != 0) err = errno;
    if (err) {
        unlink(name.data());
        return err;
    }
    return durable ? SyncFolder(FolderOf(target)) : 0;
}

void RemoveStaleAtomicTemps(const std::string& target) {
    std::string folder = FolderOf(target);
    std::string prefix = AtomicTempPrefix(target).substr(folder.size() + (folder == "/" ? 0 : 1));
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    while (dirent* e = readdir(dir)) {
        std::string_view n = e->d_name;
        if (n.size() == prefix.size() + 6 && n.substr(0, prefix.size()) == prefix)
            unlinkat(dirfd(dir), e->d_name, 0);
    }
    closedir(dir);
}
