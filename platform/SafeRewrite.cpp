#include "platform/SafeRewrite.h"

#include "platform/FileDescriptors.h"
#include "platform/FileFaults.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace {

constexpr std::size_t kCopyChunk = 256 * 1024;

struct flock WholeFile(short type) {
    struct flock fl{};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0;
    fl.l_pid = 0;
    return fl;
}

// 0: locked; EAGAIN: someone else holds it; another errno: the file system cannot lock.
int TryLock(int fd) {
    struct flock fl = WholeFile(F_WRLCK);
    int r;
    do r = fcntl(fd, F_OFD_SETLK, &fl);
    while (r != 0 && errno == EINTR);
    if (r == 0) return 0;
    return errno == EACCES ? EAGAIN : errno;
}

bool SameNode(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Whether name in the folder is, without following a link, the file open as fd.
bool NameHolds(int dirFd, const std::string& name, int fd) {
    struct stat named{}, open{};
    if (fstatat(dirFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (fstat(fd, &open) != 0) return false;
    return SameNode(named, open);
}

bool IsTempName(const std::string& name, const std::string& prefix) {
    if (name.compare(0, prefix.size(), prefix) != 0) return false;
    return name.size() == prefix.size() || name[prefix.size()] == '-';
}

void RemoveStaleIn(int dirFd, const std::vector<std::string>& prefixes) {
    int listFd = openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0) return;
    DIR* dir = fdopendir(listFd);
    if (!dir) {
        close(listFd);
        return;
    }
    std::vector<std::string> names;
    while (dirent* e = readdir(dir))
        for (const std::string& prefix : prefixes)
            if (IsTempName(e->d_name, prefix)) {
                names.push_back(e->d_name);
                break;
            }
    closedir(dir);
    for (const std::string& name : names) {
        // Never through a link, never blocking on a pipe; only regular files we can lock, i.e.
        // that no writer holds: a writer locks its file before it counts it as its own.
        int fd = openat(dirFd, name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st{};
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && TryLock(fd) == 0 && NameHolds(dirFd, name, fd))
            unlinkat(dirFd, name.c_str(), 0);
        close(fd);
    }
}

std::string UniqueSuffix() {
    unsigned char random[6] = {};
    if (getrandom(random, sizeof random, GRND_NONBLOCK) != ssize_t(sizeof random)) {
        static unsigned counter = 0;
        unsigned v = unsigned(getpid()) * 2654435761u + ++counter;
        std::memcpy(random, &v, sizeof v);
    }
    char text[32];
    std::snprintf(text, sizeof text, "%d-%02x%02x%02x%02x%02x%02x", int(getpid()), random[0], random[1],
                  random[2], random[3], random[4], random[5]);
    return text;
}

mode_t CurrentUmask() {
    // Read, not set: umask() would change it for every thread for a moment.
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("Umask:", 0) == 0) return mode_t(std::strtoul(line.c_str() + 6, nullptr, 8)) & 0777;
    return 022;
}

// Copies every extended attribute this process can read (POSIX ACLs are two of them) from one
// open file to another. false when one of them could not be given.
bool CopyAttributes(int from, int to) {
    std::vector<char> names(1024);
    ssize_t n;
    while ((n = flistxattr(from, names.data(), names.size())) < 0 && errno == ERANGE) names.resize(names.size() * 4);
    if (n < 0) return errno == ENOTSUP;   // a file system without them has nothing to keep
    std::vector<char> value(256);
    for (ssize_t at = 0; at < n; at += ssize_t(std::strlen(names.data() + at)) + 1) {
        const char* name = names.data() + at;
        ssize_t size;
        while ((size = fgetxattr(from, name, value.data(), value.size())) < 0 && errno == ERANGE) {
            ssize_t need = fgetxattr(from, name, nullptr, 0);
            value.resize(std::max<std::size_t>(std::size_t(need > 0 ? need : 0), value.size() * 2));
        }
        if (size < 0) {
            if (errno == ENODATA) continue;   // gone meanwhile
            return false;
        }
        if (fsetxattr(to, name, value.data(), std::size_t(size), 0) != 0) return false;
    }
    return true;
}

}  // namespace

void RemoveStaleTemporaryFiles(const std::string& folder, const std::string& prefix) {
    RemoveStaleTemporaryFiles(folder, std::vector<std::string>{prefix});
}

void RemoveStaleTemporaryFiles(const std::string& folder, const std::vector<std::string>& prefixes) {
    int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return;
    RemoveStaleIn(dirFd, prefixes);
    close(dirFd);
}

SafeRewrite::~SafeRewrite() { Abandon(); }

OSErr SafeRewrite::Fail(int e) {
    lastErrno_ = e;
    return OSErrFromErrno(e);
}

OSErr SafeRewrite::Begin(const FSSpec* target, const SafeRewriteOptions& options) {
    Abandon();
    lastErrno_ = 0;
    replaced_ = false;
    inPlace_ = false;
    written_ = 0;
    if (!target || target->path.empty() || target->path == "/" || options.tempPrefix.empty() ||
        options.tempPrefix.find('/') != std::string::npos)
        return paramErr;
    options_ = options;

    // A link keeps pointing at its file: the file it names is the one rewritten.
    target_ = *target;
    struct stat linkStat{};
    if (lstat(target->path.c_str(), &linkStat) == 0 && S_ISLNK(linkStat.st_mode)) {
        if (char* real = realpath(target->path.c_str(), nullptr)) {
            OSErr err = FSMakeFSSpecFromPath(real, &target_);
            std::free(real);
            if (err != noErr && err != fnfErr) return err;
        }
    }
    name_ = FSSpecName(target_);
    if (!IsValidFileName(name_)) return bdNamErr;
    // Everything from here works relative to the folder as opened now.
    dirFd_ = open(FSSpecFolderPath(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd_ < 0) return Fail(errno);

    originalFd_ = openat(dirFd_, name_.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat st{};
    if (originalFd_ < 0) {
        int e = errno;
        if (e == ENOENT) {
            mode_ = options_.newFileMode & ~CurrentUmask() & 07777;
        } else {
            Abandon();
            lastErrno_ = e;
            // May not write the file itself (whatever the folder allows), or it is no file.
            if (e == EACCES || e == EPERM) return permErr;
            if (e == EISDIR || e == ELOOP || e == ENXIO) return notAFileErr;
            return OSErrFromErrno(e);
        }
    } else if (fstat(originalFd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        int e = errno;
        bool regular = S_ISREG(st.st_mode);
        Abandon();
        if (!regular) return notAFileErr;
        return Fail(e);
    } else {
        mode_ = st.st_mode & 07777;
        originalDevice_ = st.st_dev;
        originalInode_ = st.st_ino;
    }

    RemoveStaleIn(dirFd_, {options_.tempPrefix});
    if (OSErr err = CreateTemp()) {
        Abandon();
        return err;
    }
    if (originalFd_ >= 0) {
        if (OSErr err = MatchIdentity()) {
            Abandon();
            return err;
        }
    }
    return noErr;
}

OSErr SafeRewrite::CreateTemp() {
    for (int tries = 0; tries < 100; ++tries) {
        std::string name = options_.tempPrefix + "-" + UniqueSuffix();
        if (name.size() > 255) return bdNamErr;
        // Private until it is complete: the original's mode is given at the end.
        int fd = openat(dirFd_, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return Fail(errno);
        }
        // The file is ours once it is locked and its name still holds it: a cleaner that took
        // it between the create and the lock either holds the lock or has removed the name.
        // (A file system without locks has no cleaner that could take it either.)
        int lock = TryLock(fd);
        const bool noLocks = lock == ENOLCK || lock == EINVAL || lock == ENOTSUP;
        if (lock != 0 && lock != EAGAIN && !noLocks) {
            if (NameHolds(dirFd_, name, fd)) unlinkat(dirFd_, name.c_str(), 0);
            close(fd);
            return Fail(lock);
        }
        if (lock == EAGAIN || !NameHolds(dirFd_, name, fd)) {
            close(fd);
            continue;
        }
        struct stat st{};
        if (fstat(fd, &st) != 0) {
            int e = errno;
            unlinkat(dirFd_, name.c_str(), 0);
            close(fd);
            return Fail(e);
        }
        tempName_ = name;
        tempDevice_ = st.st_dev;
        tempInode_ = st.st_ino;
        FSSpec spec;
        std::string path = FSSpecFolderPath(target_);
        OSErr err = FSMakeFSSpecFromPath((path == "/" ? path : path + "/") + name, &spec);
        if (err != noErr && err != fnfErr) spec.path = path + "/" + name;
        err = AdoptFileDescriptor(fd, true, true, spec, &tempRef_);
        if (err) {
            tempRef_ = 0;
            unlinkat(dirFd_, name.c_str(), 0);
            tempName_.clear();
            return err;
        }
        return noErr;
    }
    return dupFNErr;
}

// Gives the temporary file the original's owner, group and extended attributes, or decides to
// rewrite the original in place where a new file cannot keep them (or its other links).
OSErr SafeRewrite::MatchIdentity() {
    struct stat st{};
    if (fstat(originalFd_, &st) != 0) return Fail(errno);
    if (st.st_nlink > 1) {
        inPlace_ = true;
        return noErr;
    }
    return WithOpenFileDescriptor(tempRef_, [&](int fd, const FSSpec&) -> OSErr {
        // An owner or group this user may not give (a file of another user, or of a group
        // the user is not in) is kept by keeping the original file.
        if (fchown(fd, st.st_uid, st.st_gid) != 0) {
            if (errno != EPERM) return Fail(errno);
            inPlace_ = true;
            return noErr;
        }
        if (!CopyAttributes(originalFd_, fd)) inPlace_ = true;
        return noErr;
    });
}

OSErr SafeRewrite::Write(const void* bytes, std::size_t count) {
    if (!tempRef_) return rfNumErr;
    const auto* p = static_cast<const char*>(bytes);
    while (count > 0) {
        long n = long(std::min<std::size_t>(count, std::size_t(1) << 30));
        long asked = n;
        if (OSErr err = FSWrite(tempRef_, &n, p)) return err;
        if (n != asked) return dskFulErr;
        p += n;
        count -= std::size_t(n);
        written_ += n;
    }
    return noErr;
}

OSErr SafeRewrite::OpenResultForReading(SInt16* refNum) {
    if (!refNum) return paramErr;
    *refNum = 0;
    if (!tempRef_) return rfNumErr;
    int source = -1;
    if (inPlace_) {
        source = originalFd_;
    } else {
        WithOpenFileDescriptor(tempRef_, [&](int fd, const FSSpec&) {
            source = fd;
            return noErr;
        });
    }
    // A new open of the same file through the process's own descriptor, never by its name.
    std::string self = "/proc/self/fd/" + std::to_string(source);
    int fd = open(self.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) fd = fcntl(source, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) return Fail(errno);
    struct stat opened{}, meant{};
    if (fstat(fd, &opened) != 0 || fstat(source, &meant) != 0 || !SameNode(opened, meant)) {
        close(fd);
        return ioErr;
    }
    return AdoptFileDescriptor(fd, true, false, target_, refNum);
}

OSErr SafeRewrite::Commit() {
    if (!tempRef_) return rfNumErr;
    OSErr err = options_.durable ? FSFlushFile(tempRef_) : OSErr(noErr);
    if (!err) err = inPlace_ ? CommitInPlace() : CommitByRename();
    if (err) Abandon();
    return err;
}

OSErr SafeRewrite::CommitByRename() {
    OSErr err = WithOpenFileDescriptor(tempRef_, [&](int fd, const FSSpec&) -> OSErr {
        // After the owner: a change of owner clears the set-id bits the mode restores.
        if (fchmod(fd, mode_) != 0) return Fail(errno);
        // The name must still hold our file (a neighbour may have put a link there) and the
        // target must still be the file we read: otherwise we would move a stranger's file
        // into place, or undo another writer's change.
        if (!NameHolds(dirFd_, tempName_, fd)) return ioErr;
        if (originalFd_ >= 0 && !NameHolds(dirFd_, name_, originalFd_)) return fBsyErr;
        return noErr;
    });
    if (err) return err;
    if (OSErr fault = FileFaultCheck(0, FileFaultPoint::kReplace, 0)) return fault;
    int r;
    if (originalFd_ >= 0) {
        r = renameat(dirFd_, tempName_.c_str(), dirFd_, name_.c_str());
    } else {
        // A file that appeared under the name since Begin is not ours to replace.
        r = renameat2(dirFd_, tempName_.c_str(), dirFd_, name_.c_str(), RENAME_NOREPLACE);
        if (r != 0 && (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP))
            r = renameat(dirFd_, tempName_.c_str(), dirFd_, name_.c_str());
    }
    if (r != 0) return Fail(errno);
    tempName_.clear();
    replaced_ = true;
    // What was renamed must be our file: a swap between the check and the rename is told.
    bool ours = false;
    WithOpenFileDescriptor(tempRef_, [&](int fd, const FSSpec&) {
        ours = NameHolds(dirFd_, name_, fd);
        return noErr;
    });
    OSErr result = ours ? FlushFolder() : OSErr(ioErr);
    FSClose(tempRef_);
    tempRef_ = 0;
    Abandon();
    return result;
}

OSErr SafeRewrite::CommitInPlace() {
    SInt64 length = 0;
    if (OSErr err = GetEOF64(tempRef_, &length)) return err;
    int dupFd = fcntl(originalFd_, F_DUPFD_CLOEXEC, 0);
    if (dupFd < 0) return Fail(errno);
    SInt16 originalRef = 0;
    if (OSErr err = AdoptFileDescriptor(dupFd, true, true, target_, &originalRef)) return err;
    // Room for the new bytes first, so a full disk stops the copy before it changes anything.
    struct stat st{};
    if (fstat(originalFd_, &st) == 0 && length > st.st_size) {
        if (fallocate(originalFd_, FALLOC_FL_KEEP_SIZE, 0, off_t(length)) != 0 && errno == ENOSPC) {
            FSClose(originalRef);
            return Fail(ENOSPC);
        }
    }
    std::vector<char> buffer(std::size_t(std::min<SInt64>(std::max<SInt64>(length, 1), SInt64(kCopyChunk))));
    OSErr err = noErr;
    for (SInt64 at = 0; at < length && !err;) {
        long n = long(std::min<SInt64>(length - at, SInt64(buffer.size())));
        long got = n;
        err = FSReadAt(tempRef_, at, &got, buffer.data());
        if (!err && got != n) err = ioErr;
        if (!err) err = FSWriteAt(originalRef, at, &got, buffer.data());
        if (!err && got != n) err = dskFulErr;
        at += n;
    }
    if (!err) err = SetEOF64(originalRef, length);
    if (!err && options_.durable) err = FSFlushFile(originalRef);
    OSErr closeErr = FSClose(originalRef);
    if (!err) err = closeErr;
    // From the first write on, the original holds some of the new bytes: it is changed.
    replaced_ = true;
    if (err) return err;
    WithOpenFileDescriptor(tempRef_, [&](int fd, const FSSpec&) {
        if (NameHolds(dirFd_, tempName_, fd)) unlinkat(dirFd_, tempName_.c_str(), 0);
        return noErr;
    });
    tempName_.clear();
    FSClose(tempRef_);
    tempRef_ = 0;
    Abandon();
    return noErr;
}

OSErr SafeRewrite::FlushFolder() {
    if (!options_.durable) return noErr;
    if (OSErr fault = FileFaultCheck(0, FileFaultPoint::kFlushFolder, 0)) return fault;
    if (fsync(dirFd_) != 0 && errno != EINVAL) return Fail(errno);   // EINVAL: cannot flush a folder
    return noErr;
}

void SafeRewrite::Abandon() {
    if (tempRef_) {
        if (!tempName_.empty()) {
            WithOpenFileDescriptor(tempRef_, [&](int fd, const FSSpec&) {
                if (NameHolds(dirFd_, tempName_, fd)) unlinkat(dirFd_, tempName_.c_str(), 0);
                return noErr;
            });
        }
        FSClose(tempRef_);
        tempRef_ = 0;
    }
    tempName_.clear();
    if (originalFd_ >= 0) close(originalFd_);
    originalFd_ = -1;
    if (dirFd_ >= 0) close(dirFd_);
    dirFd_ = -1;
}
