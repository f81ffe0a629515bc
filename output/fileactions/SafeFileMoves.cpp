#include "output/fileactions/SafeFileMoves.h"

#include "foundation/files/SideFiles.h"
#include "platform/SafeRewrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <cstdio>
#include <cstring>
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
    void Reset(int fd) {
        Close();
        fd_ = fd;
    }
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

// The names of copies under way and of replaced files kept until a step is done: the prefix,
// "-" and a unique part.
constexpr const char* kCopyPrefix = ".lxc-copy";
constexpr const char* kKeepPrefix = ".lxc-keep";

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

// Reads both files from their starts and answers whether they hold the same bytes. The copy's
// pages are dropped from the cache first (they are clean after fsync), so where the file
// system allows, its bytes come back from the disk rather than from what was just written.
bool SameBytes(int a, int b) {
    posix_fadvise(b, 0, 0, POSIX_FADV_DONTNEED);
    std::vector<char> bufA(1 << 20), bufB(1 << 20);
    for (off_t at = 0;;) {
        const ssize_t ra = pread(a, bufA.data(), bufA.size(), at);
        if (ra < 0) return false;
        for (ssize_t got = 0; got < ra;) {
            const ssize_t rb = pread(b, bufB.data() + got, std::size_t(ra - got), at + got);
            if (rb <= 0) return false;
            got += rb;
        }
        if (ra == 0) {
            char extra;
            return pread(b, &extra, 1, at) == 0;
        }
        if (std::memcmp(bufA.data(), bufB.data(), std::size_t(ra)) != 0) return false;
        at += ra;
    }
}

bool SameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// A copy written whole into a temporary file of the target's folder and flushed, waiting to
// take its name. Until Commit it holds a lock on its file, so a sweep for leftovers never takes
// it; dropped without a commit, the temporary file goes.
class StagedCopy {
public:
    StagedCopy() = default;
    StagedCopy(const StagedCopy&) = delete;
    StagedCopy& operator=(const StagedCopy&) = delete;
    ~StagedCopy() { Drop(); }

    // verify: the copy is read back and compared with the source, for a move that deletes the
    // source afterwards.
    OSErr Stage(const FSSpec& source, const FSSpec& target, bool replace, bool verify,
                const CopyProgressProc& progress, FileFailure* failure);
    // Gives the copy the target's name (over an existing file only with replace).
    OSErr Commit(bool replace, FileFailure* failure);

private:
    void Drop() {
        if (!temp_.empty() && dir_.get() >= 0) unlinkat(dir_.get(), temp_.c_str(), 0);
        temp_.clear();
    }

    Fd dir_;
    Fd out_;
    std::string temp_;
    std::string name_;
    std::string targetPath_;
};

OSErr StagedCopy::Stage(const FSSpec& source, const FSSpec& target, bool replace, bool verify,
                        const CopyProgressProc& progress, FileFailure* failure) {
    Fd in(open(source.path.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) return RecordFailure(failure, OSErrFromErrno(errno), source.path);
    struct stat st{};
    if (fstat(in.get(), &st) != 0) return RecordFailure(failure, OSErrFromErrno(errno), source.path);
    if (!S_ISREG(st.st_mode)) return RecordFailure(failure, notAFileErr, source.path);

    const std::string folder = FolderOf(target.path);
    name_ = NameOf(target.path);
    targetPath_ = target.path;
    if (!IsValidFileName(name_)) return RecordFailure(failure, bdNamErr, target.path);
    dir_.Reset(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir_.get() < 0) return RecordFailure(failure, OSErrFromErrno(errno), folder);
    if (!replace) {
        struct stat existing{};
        if (fstatat(dir_.get(), name_.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0)
            return RecordFailure(failure, dupFNErr, target.path);
    }

    // Copies and kept files a crashed process left behind go first; one under way holds a lock
    // on its file, so it is never taken for a leftover.
    RemoveStaleTemporaryFiles(folder, std::vector<std::string>{kCopyPrefix, kKeepPrefix});
    int outFd = -1;
    for (int tries = 0; tries < 100 && outFd < 0; ++tries) {
        temp_ = TemporaryName("copy");
        outFd = openat(dir_.get(), temp_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (outFd < 0 && errno != EEXIST) {
            temp_.clear();
            return RecordFailure(failure, OSErrFromErrno(errno), target.path);
        }
    }
    if (outFd < 0) {
        temp_.clear();
        return RecordFailure(failure, dupFNErr, target.path);
    }
    out_.Reset(outFd);
    struct flock lock{};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    fcntl(out_.get(), F_OFD_SETLK, &lock);

    OSErr stopped = noErr;
    int e = CopyBytes(in.get(), out_.get(), SInt64(st.st_size), progress, &stopped);
    if (e == ECANCELED && stopped) {
        Drop();
        return RecordFailure(failure, stopped, source.path);
    }
    if (e) {
        Drop();
        return RecordFailure(failure, OSErrFromErrno(e), target.path);
    }
    // The copy must hold what the source holds now: a source that changed meanwhile (its length
    // or its modification time) was not copied whole.
    struct stat after{}, written{};
    if (fstat(in.get(), &after) != 0 || fstat(out_.get(), &written) != 0 || after.st_size != st.st_size ||
        !SameTime(after.st_mtim, st.st_mtim) || written.st_size != st.st_size) {
        Drop();
        return RecordFailure(failure, ioErr, target.path);
    }
    fchmod(out_.get(), st.st_mode & 07777);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    futimens(out_.get(), times);
    if (fsync(out_.get()) != 0) {
        e = errno;
        Drop();
        return RecordFailure(failure, OSErrFromErrno(e), target.path);
    }
    if (verify && !SameBytes(in.get(), out_.get())) {
        Drop();
        return RecordFailure(failure, ioErr, target.path);
    }
    return noErr;
}

OSErr StagedCopy::Commit(bool replace, FileFailure* failure) {
    if (temp_.empty()) return RecordFailure(failure, paramErr, targetPath_);
    if (int r = RenameAt(dir_.get(), temp_, dir_.get(), name_, replace)) {
        Drop();
        return RecordFailure(failure, r == EEXIST ? OSErr(dupFNErr) : OSErrFromErrno(r), targetPath_);
    }
    temp_.clear();
    out_.Close();
    fsync(dir_.get());
    return noErr;
}

// The copy itself: source staged in the target's folder, then given the target's name.
OSErr CopyInto(const FSSpec& source, const FSSpec& target, bool replace, bool verify,
               const CopyProgressProc& progress, FileFailure* failure) {
    StagedCopy copy;
    if (OSErr err = copy.Stage(source, target, replace, verify, progress, failure)) return err;
    return copy.Commit(replace, failure);
}

// An existing file about to be replaced keeps a second, hidden name in its folder until the
// whole step is done: a step that fails puts it back, and a crash meanwhile never leaves its
// own name empty (it holds either the old file or the complete new one). The second name is a
// hard link, or where the file system has none, a flushed copy. A read lock on it tells a
// sweep for leftovers that it is in use.
class KeptFile {
public:
    KeptFile() = default;
    KeptFile(const KeptFile&) = delete;
    KeptFile& operator=(const KeptFile&) = delete;

    // Nothing to keep when no file has that name.
    OSErr Keep(const std::string& path) {
        path_ = path;
        struct stat st{};
        if (lstat(path.c_str(), &st) != 0) return errno == ENOENT ? OSErr(noErr) : OSErrFromErrno(errno);
        if (!S_ISREG(st.st_mode)) return notAFileErr;
        const std::string folder = FolderOf(path);
        // A name a crashed step left on this very file goes first: once this step holds its lock
        // on the file, a sweep could no longer tell that one from ours.
        RemoveStaleTemporaryFiles(folder, kKeepPrefix);
        for (int tries = 0; tries < 100 && kept_.empty(); ++tries) {
            const std::string name = Join(folder, TemporaryName("keep"));
            if (link(path.c_str(), name.c_str()) == 0) {
                kept_ = name;
            } else if (errno == EEXIST) {
                continue;
            } else if (errno == EPERM || errno == ENOTSUP || errno == EOPNOTSUPP || errno == EMLINK ||
                       errno == ENOSYS) {
                FSSpec from, to;
                from.path = path;
                to.path = name;
                const OSErr err = CopyInto(from, to, false, false, nullptr, nullptr);
                if (err == dupFNErr) continue;
                if (err != noErr) return err;
                kept_ = name;
            } else {
                return OSErrFromErrno(errno);
            }
        }
        if (kept_.empty()) return dupFNErr;
        lock_.Reset(open(kept_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        if (lock_.get() >= 0) {
            struct flock lock{};
            lock.l_type = F_RDLCK;
            lock.l_whence = SEEK_SET;
            fcntl(lock_.get(), F_OFD_SETLK, &lock);
        }
        SyncFolder(folder);
        return noErr;
    }
    bool HasKept() const { return !kept_.empty(); }
    // The kept file takes its name back, over whatever holds it now.
    OSErr Restore() {
        if (kept_.empty()) return noErr;
        const int r = RenameAt(AT_FDCWD, kept_, AT_FDCWD, path_, true);
        // Renaming a link onto the file it already names does nothing: the hidden name stays.
        unlink(kept_.c_str());
        kept_.clear();
        lock_.Close();
        SyncFolder(FolderOf(path_));
        return r ? OSErrFromErrno(r) : OSErr(noErr);
    }
    // The step is done: the second name goes.
    void Release() {
        if (kept_.empty()) return;
        unlink(kept_.c_str());
        kept_.clear();
        lock_.Close();
    }

private:
    std::string path_;
    std::string kept_;
    Fd lock_;
};

bool IsRegularFile(const std::string& path) {
    struct stat st{};
    return lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

OSErr CopyFileSafely(const FSSpec& source, const FSSpec& target, bool replace, const CopyProgressProc& progress,
                     FileFailure* failure) {
    if (source.path.empty() || target.path.empty()) return RecordFailure(failure, paramErr, source.path);
    if (source.path == target.path) return RecordFailure(failure, dupFNErr, target.path);
    return CopyInto(source, target, replace, false, progress, failure);
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

    // Another file system: a copy read back and compared, then the source is deleted. A target
    // to be replaced keeps a second name until then, so it can come back if the source cannot go.
    KeptFile kept;
    if (replace) {
        if (OSErr err = kept.Keep(target.path)) return RecordFailure(failure, err, target.path);
    }
    if (OSErr err = CopyInto(source, target, replace, true, progress, failure)) {
        kept.Release();   // the target was never touched
        return err;
    }
    if (unlink(source.path.c_str()) != 0) {
        const int e = errno;
        // The source stays, so the copy goes: the move did not happen.
        if (kept.HasKept())
            kept.Restore();
        else
            unlink(target.path.c_str());
        SyncFolder(toFolder);
        return RecordFailure(failure, OSErrFromErrno(e), source.path);
    }
    SyncFolder(fromFolder);
    kept.Release();
    SyncFolder(toFolder);
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
    if (source.path.empty() || target.path.empty()) return RecordFailure(failure, paramErr, source.path);
    if (source.path == target.path) return RecordFailure(failure, dupFNErr, target.path);
    if (!replace && FSpExists(&target)) return RecordFailure(failure, dupFNErr, target.path);
    if (!IsRegularFile(source.path) && !FSpExists(&source)) return RecordFailure(failure, fnfErr, source.path);
    // Every copy is written and flushed before any file of the target's folder is touched, so a
    // copy that fails halfway (a full disk, a cancel) leaves the target's files as they were.
    std::vector<SideStep> steps = SideSteps(source, target.path);
    std::vector<SideStep> all = steps;
    all.push_back(SideStep{source, target});
    std::vector<std::unique_ptr<StagedCopy>> staged;
    for (const SideStep& s : all) {
        staged.push_back(std::make_unique<StagedCopy>());
        if (OSErr err = staged.back()->Stage(s.from, s.to, replace, false, progress, failure)) return err;
    }
    // Then each takes its name; a replaced file keeps a second name until all have theirs.
    std::vector<std::unique_ptr<KeptFile>> kept;
    if (replace) {
        for (const SideStep& s : all) {
            kept.push_back(std::make_unique<KeptFile>());
            if (OSErr err = kept.back()->Keep(s.to.path)) {
                for (auto& k : kept) k->Release();
                return RecordFailure(failure, err, s.to.path);
            }
        }
    }
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (OSErr err = staged[i]->Commit(replace, failure)) {
            for (std::size_t j = 0; j < i; ++j) {
                if (replace && kept[j]->HasKept())
                    kept[j]->Restore();
                else
                    unlink(all[j].to.path.c_str());
            }
            for (auto& k : kept) k->Release();
            return err;
        }
    }
    for (auto& k : kept) k->Release();
    return noErr;
}

OSErr MoveMediaFile(const FSSpec& source, const FSSpec& target, bool replace, const CopyProgressProc& progress,
                    FileFailure* failure) {
    if (source.path == target.path) return noErr;
    if (!replace && FSpExists(&target)) return RecordFailure(failure, dupFNErr, target.path);
    if (!FSpExists(&source)) return RecordFailure(failure, fnfErr, source.path);
    std::vector<SideStep> steps = SideSteps(source, target.path);
    // Files of the target that are replaced keep a second name until the media file has moved
    // too, so a failed move gives the target back its own side files.
    std::vector<std::unique_ptr<KeptFile>> kept;
    auto releaseKept = [&] {
        for (auto& k : kept) k->Release();
    };
    if (replace) {
        for (const SideStep& s : steps) {
            kept.push_back(std::make_unique<KeptFile>());
            if (OSErr err = kept.back()->Keep(s.to.path)) {
                releaseKept();
                return RecordFailure(failure, err, s.to.path);
            }
        }
    }
    std::vector<std::size_t> moved;
    auto takeBack = [&] {
        for (auto it = moved.rbegin(); it != moved.rend(); ++it) {
            const SideStep& s = steps[*it];
            MoveFileSafely(s.to, s.from, false, nullptr, nullptr);
            if (replace) kept[*it]->Restore();
        }
        releaseKept();
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (OSErr err = MoveFileSafely(steps[i].from, steps[i].to, replace, progress, failure)) {
            takeBack();
            return err;
        }
        moved.push_back(i);
    }
    if (OSErr err = MoveFileSafely(source, target, replace, progress, failure)) {
        takeBack();
        return err;
    }
    releaseKept();
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
