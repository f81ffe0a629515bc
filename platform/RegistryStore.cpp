#include "platform/RegistryStore.h"

#include "platform/AtomicFile.h"
#include "platform/Registry.h"
#include "platform/ProgramFolders.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Serialises the writers of one folder's store across processes.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder) {
        fd_ = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ < 0) return;
        while (flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                close(fd_);
                fd_ = -1;
                return;
            }
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) close(fd_);   // closing releases the lock
    }
    bool Held() const { return fd_ >= 0; }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_ = -1;
};

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash ? slash : 1);
}

std::string ErrnoText(int error) { return std::strerror(error); }

LONG RegistryErrorFromErrno(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS: return ERROR_ACCESS_DENIED;
        case ENOSPC:
        case EDQUOT: return ERROR_DISK_FULL;
        default: return ERROR_WRITE_FAULT;
    }
}

// Reads the whole file through one descriptor so that the contents and the identity belong
// to the same file even when another process renames a new one into place meanwhile.
int ReadWholeFile(const std::string& path, std::string* text, struct stat* st) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    int err = fstat(fd, st) == 0 ? 0 : errno;
    text->clear();
    char buf[65536];
    while (!err) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
        } else if (n == 0) {
            break;
        } else {
            text->append(buf, std::size_t(n));
        }
    }
    close(fd);
    return err;
}

}  // namespace

RegistryStore::RegistryStore(std::function<std::string()> folder, std::string fileName, mode_t fileMode)
    : folder_(std::move(folder)), fileName_(std::move(fileName)), fileMode_(fileMode) {}

std::string RegistryStore::Path() const {
    std::string folder = folder_();
    return folder.empty() ? std::string() : folder + "/" + fileName_;
}

RegistryStore::Identity RegistryStore::IdentityOf(const struct stat& st) {
    Identity id;
    id.exists = true;
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    id.size = st.st_size;
    id.mtimeSec = st.st_mtim.tv_sec;
    id.mtimeNsec = st.st_mtim.tv_nsec;
    return id;
}

void RegistryStore::Forget() {
    loadedPath_.clear();
    loaded_ = Identity();
    unreadable_ = false;
    tree_ = RegistryKeyNode();
}

void RegistryStore::Refresh(std::vector<RegistryProblem>* problems) { Load(Path(), false, problems); }

std::string RegistryStore::SetAside(const std::string& path, int* error) {
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
    std::string base = path + ".corrupt-" + stamp;
    for (int n = 1; n < 1000; ++n) {
        std::string target = n == 1 ? base : base + "-" + std::to_string(n);
        if (renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
            return target;
        if (errno == EEXIST) continue;
        if (errno == EINVAL) {
            // A file system without no-replace renames: check first, under the folder lock.
            if (access(target.c_str(), F_OK) == 0) continue;
            if (rename(path.c_str(), target.c_str()) == 0) return target;
        }
        *error = errno;
        return std::string();
    }
    *error = EEXIST;
    return std::string();
}

void RegistryStore::Load(const std::string& path, bool haveLock, std::vector<RegistryProblem>* problems) {
    if (path != loadedPath_) {
        Forget();
        loadedPath_ = path;
        if (path.empty()) {
            unreadable_ = true;
            problems->push_back({ERROR_REGISTRY_IO_FAILED,
                                 "settings store " + fileName_ + ": no folder to keep it in"});
            return;
        }
    }
    if (path.empty()) return;

    for (int attempt = 0; attempt < 3; ++attempt) {
        std::string text;
        struct stat st;
        int err = stat(path.c_str(), &st) == 0 ? 0 : errno;
        if (!err && IdentityOf(st) == loaded_) return;   // unchanged since last read or written
        if (!err) err = ReadWholeFile(path, &text, &st);
        if (err == ENOENT) {
            // No store yet (or it was removed): empty.
            if (loaded_.exists || unreadable_) tree_ = RegistryKeyNode();
            loaded_ = Identity();
            unreadable_ = false;
            return;
        }
        if (err) {
            struct stat now;
            Identity id = stat(path.c_str(), &now) == 0 ? IdentityOf(now) : Identity();
            if (!(unreadable_ && loaded_ == id))
                problems->push_back({ERROR_REGISTRY_IO_FAILED,
                                     "settings store " + path + " cannot be read: " + ErrnoText(err)});
            unreadable_ = true;
            loaded_ = id;
            tree_ = RegistryKeyNode();
            return;
        }
        Identity id = IdentityOf(st);

        RegistryKeyNode parsed;
        std::string parseError;
        if (ParseRegistry(text, &parsed, &parseError)) {
            tree_ = std::move(parsed);
            loaded_ = id;
            unreadable_ = false;
            return;
        }

        // Corrupt: move it out of the way, unless a writer replaced it meanwhile.
        std::optional<FolderLock> lock;
        if (!haveLock) lock.emplace(FolderOf(path));
        struct stat again;
        if (stat(path.c_str(), &again) == 0 && !(IdentityOf(again) == id)) continue;
        int moveError = 0;
        std::string aside = SetAside(path, &moveError);
        tree_ = RegistryKeyNode();
        if (!aside.empty()) {
            problems->push_back({ERROR_BADDB, "settings store " + path + " is damaged (" + parseError +
                                                  "); it was set aside as " + aside +
                                                  " and the settings start afresh"});
            loaded_ = Identity();
            unreadable_ = false;
        } else {
            problems->push_back({ERROR_BADDB, "settings store " + path + " is damaged (" + parseError +
                                                  ") and could not be set aside: " +
                                                  ErrnoText(moveError)});
            loaded_ = id;
            unreadable_ = true;
        }
        return;
    }
}

bool RegistryStore::Writable() const {
    if (unreadable_) return false;
    std::string folder = folder_();
    if (folder.empty()) return false;
    struct stat st;
    if (stat(folder.c_str(), &st) != 0) return errno == ENOENT;   // made on the first write
    return access(folder.c_str(), W_OK) == 0;
}

LONG RegistryStore::Modify(const std::function<LONG(RegistryKeyNode&, bool*)>& change,
                           std::vector<RegistryProblem>* problems) {
    std::string path = Path();
    if (path.empty()) {
        Load(path, false, problems);
        return ERROR_REGISTRY_IO_FAILED;
    }
    std::string folder = FolderOf(path);
    if (OSErr err = CreateFolderPath(folder); err != noErr) {
        problems->push_back({ERROR_REGISTRY_IO_FAILED,
                             "settings store folder " + folder + " cannot be made (" +
                                 std::to_string(err) + ")"});
        return (err == afpAccessDenied || err == vLckdErr) ? ERROR_ACCESS_DENIED
                                                           : ERROR_REGISTRY_IO_FAILED;
    }
    FolderLock lock(folder);
    if (!lock.Held()) return ERROR_REGISTRY_IO_FAILED;
    Load(path, true, problems);
    if (unreadable_) return ERROR_REGISTRY_IO_FAILED;

    RegistryKeyNode copy = tree_;
    bool changed = false;
    LONG result = change(copy, &changed);
    if (result != ERROR_SUCCESS || !changed) return result;

    if (int err = WriteFileAtomically(path, SerializeRegistry(copy), fileMode_, RegistryWritesFlushed()); err != 0) {
        problems->push_back({ERROR_REGISTRY_IO_FAILED,
                             "settings store " + path + " cannot be written: " + ErrnoText(err)});
        return RegistryErrorFromErrno(err);
    }
    tree_ = std::move(copy);
    struct stat st;
    loaded_ = stat(path.c_str(), &st) == 0 ? IdentityOf(st) : Identity();
    return ERROR_SUCCESS;
}
