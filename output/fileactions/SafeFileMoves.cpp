#include "output/fileactions/SafeFileMoves.h"

#include "foundation/files/SideFiles.h"
#include "platform/SafeRewrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <vector>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace {

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int Close() {
        int r = 0;
        if (fd_ >= 0) r = close(fd_);
        fd_ = -1;
        return r;
    }

private:
    int fd_;
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}
std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
std::string Join(const std::string& folder, std::string_view name) {
    std::string p = folder;
    if (p.empty() || p.back() != '/') p += '/';
    p.append(name);
    return p;
}

// The names of copies under way: the prefix, "-" and a unique part.
constexpr const char* kCopyPrefix = ".lxc-copy";

// A name no file of the folder has yet; the caller's exclusive create or no-replace rename
// settles a race.
std::string TemporaryName(const char* tag) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    char buf[48];
    std::snprintf(buf, sizeof buf, ".lxc-%s-%012llx", tag, static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
    return buf;
}

// Renames inside or between folders of one file system; with replace false an existing target
// is never touched (a hard link where the file system lacks the flag).
int RenameAt(int fromDir, const std::string& from, int toDir, const std::string& to, bool replace) {
    if (replace) return renameat(fromDir, from.c_str(), toDir, to.c_str()) == 0 ? 0 : errno;
    if (renameat2(fromDir, from.c_str(), toDir, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
    if (linkat(fromDir, from.c_str(), toDir, to.c_str(), 0) != 0) return errno;
    if (unlinkat(fromDir, from.c_str(), 0) != 0) {
        const int e = errno;
        unlinkat(toDir, to.c_str(), 0);
        return e;
    }
    return 0;
}

void SyncFolder(const std::string& folder) {
    Fd d(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (d.get() >= 0) fsync(d.get());
}

// Copies every byte of in to out (both open), telling progress after each chunk.
int CopyBytes(int in, int out, SInt64 total, const CopyProgressProc& progress, OSErr* stopped) {
    std::vector<char> buf(1 << 20);
    SInt64 done = 0;
    for (;;) {
        const ssize_t r = read(in, buf.data(), buf.size());
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return errno;
        if (r == 0) break;
        for (ssize_t put = 0; put < r;) {
            const ssize_t w = write(out, buf.data() + put, std::size_t(r - put));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0) return errno;
            if (w == 0) return ENOSPC;
            put += w;
        }
        done += r;
        if (progress) {
            if (OSErr e = progress(done, total)) {
                *stopped = e;
                return ECANCELED;
            }
        }
    }
    return 0;
}

// The copy itself: source into a new temporary file of the target's folder, which on success
// takes the target's name. keepAside, when not null, is where an existing target was put
// before (a cross-volume move that may have to put it back); replace then is false.
OSErr CopyInto(const FSSpec& source, const FSSpec& target, bool replace, const CopyProgressProc& progress,
               FileFailure* failure) {
    Fd in(open(source.path.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) return RecordFailure(failure, OSErrFromErrno(errno), source.path);
    struct stat st{};
    if (fstat(in.get(), &st) != 0) return RecordFailure(failure, OSErrFromErrno(errno), source.path);
    if (!S_ISREG(st.st_mode)) return RecordFailure(failure, notAFileErr, source.path);

    const std::string folder = FolderOf(target.path);
    const std::string name = NameOf(target.path);
    if (!IsValidFileName(name)) return RecordFailure(failure, bdNamErr, target.path);
    Fd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0) return RecordFailure(failure, OSErrFromErrno(errno), folder);
    if (!replace) {
        struct stat existing{};
        if (fstatat(dir.get(), name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0)
            return RecordFailure(failure, dupFNErr, target.path);
    }

    // Copies a crashed process left behind go first; a copy under way holds a lock on its file
    // from its creation to its rename, so it is never taken for one.
    RemoveStaleTemporaryFiles(folder, kCopyPrefix);
    std::string temp;
    int outFd = -1;
    for (int tries = 0; tries < 100 && outFd < 0; ++tries) {
        temp = TemporaryName("copy");
        outFd = openat(dir.get(), temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (outFd < 0 && errno != EEXIST) return RecordFailure(failure, OSErrFromErrno(errno), target.path);
    }
    if (outFd < 0) return RecordFailure(failure, dupFNErr, target.path);
    Fd out(outFd);
    struct flock lock{};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    fcntl(out.get(), F_OFD_SETLK, &lock);
    auto dropTemp = [&] { unlinkat(dir.get(), temp.c_str(), 0); };

    OSErr stopped = noErr;
    int e = CopyBytes(in.get(), out.get(), SInt64(st.st_size), progress, &stopped);
    if (e == ECANCELED && stopped) {
        dropTemp();
        return RecordFailure(failure, stopped, source.path);
    }
    if (e) {
        dropTemp();
        return RecordFailure(failure, OSErrFromErrno(e), target.path);
    }
    // The copy must hold what the source holds now; a source that changed length meanwhile is
    // not copied whole.
    struct stat after{}, written{};
    if (fstat(in.get(), &after) != 0 || fstat(out.get(), &written) != 0 || after.st_size != st.st_size ||
        written.st_size != st.st_size) {
        dropTemp();
        return RecordFailure(failure, ioErr, target.path);
    }
    fchmod(out.get(), st.st_mode & 07777);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    futimens(out.get(), times);
    if (fsync(out.get()) != 0) {
        e = errno;
        dropTemp();
        return RecordFailure(failure, OSErrFromErrno(e), target.path);
    }
    if (int r = RenameAt(dir.get(), temp, dir.get(), name, replace)) {
        dropTemp();
        return RecordFailure(failure, OSErrFromErrno(r), target.path);
    }
    out.Close();
    fsync(dir.get());
    return noErr;
}

bool IsRegularFile(const std::string& path) {
    struct stat st{};
    return lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

OSErr CopyFileSafely(const FSSpec& source, const FSSpec& target, bool replace, const CopyProgressProc& progress,
                     FileFailure* failure) {
    if (source.path.empty() || target.path.empty()) return RecordFailure(failure, paramErr, source.path);
    if (source.path == target.path) return RecordFailure(failure, dupFNErr, target.path);
    return CopyInto(source, target, replace, progress, failure);
}

OSErr MoveFileSafely(const FSSpec& source, const FSSpec& target, bool replace, const CopyProgressProc& progress,
                     FileFailure* failure) {
    if (source.path.empty() || target.path.empty()) return RecordFailure(failure, paramErr, source.path);
    const std::string name = NameOf(target.path);
    if (!IsValidFileName(name)) return RecordFailure(failure, bdNamErr, target.path);
    if (source.path == target.path) return noErr;
    struct stat st{};
    if (lstat(source.path.c_str(), &st) != 0) return RecordFailure(failure, OSErrFromErrno(errno), source.path);
    if (!S_ISREG(st.st_mode)) return RecordFailure(failure, notAFileErr, source.path);
    const std::string fromFolder = FolderOf(source.path);
    const std::string toFolder = FolderOf(target.path);

    const int r = RenameAt(AT_FDCWD, source.path, AT_FDCWD, target.path, replace);
    if (r == 0) {
        SyncFolder(toFolder);
        if (fromFolder != toFolder) SyncFolder(fromFolder);
        return noErr;
    }
    if (r == EEXIST) return RecordFailure(failure, dupFNErr, target.path);
    if (r != EXDEV) return RecordFailure(failure, OSErrFromErrno(r), r == ENOENT ? source.path : target.path);

    // Another file system: an existing target to be replaced is first put aside in its own
    // folder, so that it can come back if the move cannot be finished.
    std::string aside;
    if (replace && lstat(target.path.c_str(), &st) == 0) {
        for (int tries = 0; tries < 100; ++tries) {
            aside = Join(toFolder, TemporaryName("keep"));
            const int a = RenameAt(AT_FDCWD, target.path, AT_FDCWD, aside, false);
            if (a == 0) break;
            if (a != EEXIST) return RecordFailure(failure, OSErrFromErrno(a), target.path);
            aside.clear();
        }
        if (aside.empty()) return RecordFailure(failure, dupFNErr, target.path);
    }
    auto putBack = [&] {
        if (!aside.empty()) RenameAt(AT_FDCWD, aside, AT_FDCWD, target.path, false);
    };
    OSErr err = CopyInto(source, target, false, progress, failure);
    if (err != noErr) {
        putBack();
        return err;
    }
    if (unlink(source.path.c_str()) != 0) {
        const int e = errno;
        // The source stays, so the copy goes: the move did not happen.
        unlink(target.path.c_str());
        putBack();
        SyncFolder(toFolder);
        return RecordFailure(failure, OSErrFromErrno(e), source.path);
    }
    SyncFolder(fromFolder);
    if (!aside.empty()) {
        unlink(aside.c_str());
        SyncFolder(toFolder);
    }
    return noErr;
}

OSErr SafeRenameFile(const FSSpec& file, std::string_view newName, FSSpec* renamed) {
    if (file.path.empty()) return paramErr;
    if (!IsValidFileName(newName)) return bdNamErr;
    const std::string folder = FolderOf(file.path);
    const std::string target = Join(folder, newName);
    if (target == file.path) {
        if (renamed) *renamed = file;
        return IsRegularFile(file.path) || FSpExists(&file) ? noErr : fnfErr;
    }
    std::string temp;
    int r = EEXIST;
    for (int tries = 0; tries < 100 && r == EEXIST; ++tries) {
        temp = Join(folder, TemporaryName("name"));
        r = RenameAt(AT_FDCWD, file.path, AT_FDCWD, temp, false);
    }
    if (r) return OSErrFromErrno(r);
    r = RenameAt(AT_FDCWD, temp, AT_FDCWD, target, false);
    if (r) {
        // The file gets its own name back rather than keep the temporary one.
        RenameAt(AT_FDCWD, temp, AT_FDCWD, file.path, false);
        return OSErrFromErrno(r);
    }
    SyncFolder(folder);
    if (renamed) return FSMakeFSSpecFromPath(target, renamed);
    return noErr;
}

bool SameFolderPath(const std::string& a, const std::string& b) {
    struct stat sa{}, sb{};
    if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return a == b;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

namespace {

struct SideStep {
    FSSpec from, to;
};

// The side files of source with the places they take beside target.
std::vector<SideStep> SideSteps(const FSSpec& source, const std::string& targetPath) {
    std::vector<SideStep> steps;
    const std::string folder = FolderOf(targetPath);
    const std::string mediaName = NameOf(targetPath);
    for (const FSSpec& side : FindMediaSideFiles(source)) {
        SideStep s;
        s.from = side;
        s.to.path = Join(folder, MediaSideFileName(NameOf(side.path), mediaName));
        steps.push_back(s);
    }
    return steps;
}

}  // namespace

OSErr CopyMediaFile(const FSSpec& source, const FSSpec& target, bool replace, const CopyProgressProc& progress,
                    FileFailure* failure) {
    if (!replace && FSpExists(&target)) return RecordFailure(failure, dupFNErr, target.path);
    if (!IsRegularFile(source.path) && !FSpExists(&source)) return RecordFailure(failure, fnfErr, source.path);
    std::vector<SideStep> steps = SideSteps(source, target.path);
    std::vector<const SideStep*> made;
    auto takeBack = [&] {
        for (const SideStep* s : made) unlink(s->to.path.c_str());
    };
    for (const SideStep& s : steps) {
        const bool existed = FSpExists(&s.to);
        if (OSErr err = CopyFileSafely(s.from, s.to, replace, progress, failure)) {
            takeBack();
            return err;
        }
        if (!existed) made.push_back(&s);
    }
    if (OSErr err = CopyFileSafely(source, target, replace, progress, failure)) {
        takeBack();
        return err;
    }
    return noErr;
}

OSErr MoveMediaFile(const FSSpec& source, const FSSpec& target, bool replace, const CopyProgressProc& progress,
                    FileFailure* failure) {
    if (source.path == target.path) return noErr;
    if (!replace && FSpExists(&target)) return RecordFailure(failure, dupFNErr, target.path);
    if (!FSpExists(&source)) return RecordFailure(failure, fnfErr, source.path);
    std::vector<SideStep> steps = SideSteps(source, target.path);
    std::vector<const SideStep*> moved;
    auto takeBack = [&] {
        for (auto it = moved.rbegin(); it != moved.rend(); ++it)
            MoveFileSafely((*it)->to, (*it)->from, false, nullptr, nullptr);
    };
    for (const SideStep& s : steps) {
        if (OSErr err = MoveFileSafely(s.from, s.to, replace, progress, failure)) {
            takeBack();
            return err;
        }
        moved.push_back(&s);
    }
    if (OSErr err = MoveFileSafely(source, target, replace, progress, failure)) {
        takeBack();
        return err;
    }
    return noErr;
}

OSErr RenameMediaFile(const FSSpec& file, std::string_view newName, bool throughTemporaryName, FSSpec* renamed,
                      FileFailure* failure) {
    if (!IsValidFileName(newName)) return RecordFailure(failure, bdNamErr, Join(FolderOf(file.path), newName));
    const std::string target = Join(FolderOf(file.path), newName);
    if (target == file.path) {
        if (renamed) *renamed = file;
        return noErr;
    }
    std::vector<SideStep> steps = SideSteps(file, target);
    std::vector<const SideStep*> done;
    auto step = [&](const FSSpec& from, const std::string& to) -> OSErr {
        if (throughTemporaryName) return SafeRenameFile(from, NameOf(to), nullptr);
        return FSpRenameTo(&from, NameOf(to), nullptr);
    };
    auto takeBack = [&] {
        for (auto it = done.rbegin(); it != done.rend(); ++it) step((*it)->to, (*it)->from.path);
    };
    for (const SideStep& s : steps) {
        if (s.to.path == s.from.path) continue;
        if (OSErr err = step(s.from, s.to.path)) {
            takeBack();
            return RecordFailure(failure, err, s.to.path);
        }
        done.push_back(&s);
    }
    if (OSErr err = step(file, target)) {
        takeBack();
        return RecordFailure(failure, err, err == fnfErr ? file.path : target);
    }
    if (renamed) return FSMakeFSSpecFromPath(target, renamed);
    return noErr;
}
