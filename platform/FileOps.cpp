// Operations on items by specification: create, delete, rename and move (never replacing),
// exchange, safe replacement, catalog information, dates and free space.
#include "platform/FileFaults.h"
#include "platform/Files.h"
#include "platform/MacDates.h"
#include "platform/Volumes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif
#ifndef RENAME_EXCHANGE
#define RENAME_EXCHANGE (1 << 1)
#endif

OSErr OSErrFromErrno(int err) {
    switch (err) {
    case 0: return noErr;
    case ENOENT: return fnfErr;
    case ENOTDIR: return dirNFErr;
    case EEXIST: return dupFNErr;
    case ENOTEMPTY: return fBsyErr;
    case EBUSY:
    case ETXTBSY: return fBsyErr;
    case ENOSPC:
    case EDQUOT: return dskFulErr;
    case EACCES:
    case EPERM: return afpAccessDenied;
    case EROFS: return vLckdErr;
    case ENAMETOOLONG: return bdNamErr;
    case EISDIR: return notAFileErr;
    case EXDEV: return diffVolErr;
    case EFBIG:
    case EOVERFLOW: return fileBoundsErr;
    case EMFILE:
    case ENFILE: return tmfoErr;
    case ENOMEM: return memFullErr;
    case EBADF: return rfNumErr;
    case EINVAL: return paramErr;
    case ELOOP: return dirNFErr;
    case ENXIO:
    case ENODEV: return nsvErr;
    default: return ioErr;
    }
}

namespace {

bool NoSpec(const FSSpec* spec) { return !spec || spec->path.empty(); }

// The name part of the spec must be one the file system can hold, and never "." or "..".
OSErr CheckTargetName(const FSSpec* spec) {
    if (NoSpec(spec)) return paramErr;
    if (spec->path == "/") return bdNamErr;
    return IsValidFileName(FSSpecName(*spec)) ? noErr : bdNamErr;
}

bool Exists(const std::string& path) {
    struct stat st{};
    return lstat(path.c_str(), &st) == 0;
}

// Renames without ever replacing the target. Where the file system does not take the flag,
// a hard link (which fails on an existing name) moves files; folders are checked first.
int RenameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
    struct stat st{};
    if (lstat(from.c_str(), &st) != 0) return errno;
    if (!S_ISDIR(st.st_mode)) {
        if (link(from.c_str(), to.c_str()) == 0) {
            if (unlink(from.c_str()) == 0) return 0;
            int e = errno;
            unlink(to.c_str());
            return e;
        }
        if (errno == EEXIST) return EEXIST;
    }
    if (Exists(to)) return EEXIST;
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

OSErr FSpCreate(const FSSpec* spec, OSType creator, OSType fileType, SInt16 scriptTag) {
    OSErr err = CheckTargetName(spec);
    if (err) return err;
    int fd = open(spec->path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return OSErrFromErrno(errno);
    if (close(fd) != 0) return OSErrFromErrno(errno);
    return noErr;
}

OSErr FSpDirCreate(const FSSpec* spec, SInt16 scriptTag, SInt32* createdDirID) {
    OSErr err = CheckTargetName(spec);
    if (err) return err;
    if (mkdir(spec->path.c_str(), 0777) != 0) return OSErrFromErrno(errno);
    if (createdDirID) {
        SInt16 vref = 0;
        err = GetDirectoryID(spec->path, &vref, createdDirID);
        if (err) return err;
    }
    return noErr;
}

OSErr FSpDelete(const FSSpec* spec) {
    if (NoSpec(spec)) return paramErr;
    struct stat st{};
    if (lstat(spec->path.c_str(), &st) != 0) return OSErrFromErrno(errno);
    int r = S_ISDIR(st.st_mode) ? rmdir(spec->path.c_str()) : unlink(spec->path.c_str());
    if (r != 0) return OSErrFromErrno(errno == EEXIST ? ENOTEMPTY : errno);
    return noErr;
}

OSErr FSpRenameTo(const FSSpec* spec, std::string_view newName, FSSpec* newSpec) {
    if (NoSpec(spec)) return paramErr;
    if (!IsValidFileName(newName)) return bdNamErr;
    FSSpec target;
    target.path = FSSpecFolderPath(*spec);
    if (target.path != "/") target.path += '/';
    target.path.append(newName);
    if (target.path == spec->path) return Exists(spec->path) ? noErr : fnfErr;
    if (int e = RenameNoReplace(spec->path, target.path)) return OSErrFromErrno(e);
    if (newSpec) {
        OSErr err = FSMakeFSSpecFromPath(target.path, newSpec);
        if (err) return err;
    }
    return noErr;
}

OSErr FSpRename(const FSSpec* spec, ConstStr255Param newName) {
    if (!newName) return paramErr;
    return FSpRenameTo(spec, std::string_view(reinterpret_cast<const char*>(newName + 1), newName[0]),
                       nullptr);
}

OSErr FSpMoveTo(const FSSpec* source, const FSSpec* target) {
    if (NoSpec(source)) return paramErr;
    OSErr err = CheckTargetName(target);
    if (err) return err;
    if (source->path == target->path) return Exists(source->path) ? noErr : fnfErr;
    if (int e = RenameNoReplace(source->path, target->path)) return OSErrFromErrno(e);
    return noErr;
}

OSErr FSpCatMove(const FSSpec* source, const FSSpec* destFolder) {
    if (NoSpec(source) || NoSpec(destFolder)) return paramErr;
    FSSpec target;
    OSErr err = FSMakeChildSpec(destFolder, FSSpecName(*source), &target);
    if (err != noErr && err != fnfErr) return err;
    if (err == noErr) return dupFNErr;
    return FSpMoveTo(source, &target);
}

OSErr FSpExchangeFiles(const FSSpec* a, const FSSpec* b) {
    if (NoSpec(a) || NoSpec(b)) return paramErr;
    if (a->path == b->path) return Exists(a->path) ? noErr : fnfErr;
    if (renameat2(AT_FDCWD, a->path.c_str(), AT_FDCWD, b->path.c_str(), RENAME_EXCHANGE) == 0)
        return noErr;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return OSErrFromErrno(errno);
    // No atomic exchange on this file system: three moves, each undone if a later one fails.
    if (!Exists(a->path) || !Exists(b->path)) return fnfErr;
    std::string temp;
    for (int n = 0;; ++n) {
        temp = a->path + ".exchange" + std::to_string(n);
        if (!Exists(temp)) break;
        if (n > 1000) return dupFNErr;
    }
    if (int e = RenameNoReplace(a->path, temp)) return OSErrFromErrno(e);
    if (int e = RenameNoReplace(b->path, a->path)) {
        RenameNoReplace(temp, a->path);
        return OSErrFromErrno(e);
    }
    if (int e = RenameNoReplace(temp, b->path)) {
        RenameNoReplace(a->path, b->path);
        RenameNoReplace(temp, a->path);
        return OSErrFromErrno(e);
    }
    return noErr;
}

OSErr FSpReplaceFile(const FSSpec* replacement, const FSSpec* target) {
    if (NoSpec(replacement)) return paramErr;
    OSErr err = CheckTargetName(target);
    if (err) return err;
    struct stat st{};
    if (lstat(replacement->path.c_str(), &st) != 0) return OSErrFromErrno(errno);
    if (S_ISDIR(st.st_mode)) return notAFileErr;
    if (OSErr fault = FileFaultCheck(0, FileFaultPoint::kReplace, 0)) return fault;
    if (rename(replacement->path.c_str(), target->path.c_str()) != 0) return OSErrFromErrno(errno);
    return noErr;
}

OSErr FSpSyncFolder(const FSSpec* spec) {
    if (NoSpec(spec)) return paramErr;
    if (OSErr fault = FileFaultCheck(0, FileFaultPoint::kFlushFolder, 0)) return fault;
    std::string folder = FSSpecFolderPath(*spec);
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return OSErrFromErrno(errno);
    int r = fsync(fd);
    int e = errno;
    close(fd);
    // Some file systems cannot sync a folder; that is no loss of what was written.
    if (r != 0 && e != EINVAL && e != EROFS) return OSErrFromErrno(e);
    return noErr;
}

OSErr FSpGetCatInfo(const FSSpec* spec, CInfoPBRec* pb) {
    if (NoSpec(spec) || !pb) return paramErr;
    struct stat lst{};
    if (lstat(spec->path.c_str(), &lst) != 0) return OSErrFromErrno(errno);
    struct statx sx{};
    if (statx(AT_FDCWD, spec->path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
        return OSErrFromErrno(errno);
    CInfoPBRec out;
    out.path = spec->path;
    out.isSymlink = S_ISLNK(lst.st_mode);
    bool dir = S_ISDIR(sx.stx_mode);
    out.ioFlAttrib = dir ? kioFlAttribDirMask : 0;
    std::string name = FSSpecName(*spec);
    out.ioFlFndrInfo.fdType = dir ? 0 : FileTypeFromName(name);
    out.ioFlFndrInfo.fdFlags = (!name.empty() && name[0] == '.') ? kIsInvisible : 0;
    out.dataLength = dir ? 0 : SInt64(sx.stx_size);
    out.ioFlLgLen = out.dataLength > 0xFFFFFFFFll ? 0x7FFFFFFFu : UInt32(out.dataLength);
    std::int64_t created = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime.tv_sec : sx.stx_mtime.tv_sec;
    auto clamp = [](std::int64_t s) {
        return UInt32(s < 0 ? 0 : (s > 0xFFFFFFFFll ? 0xFFFFFFFFll : s));
    };
    out.ioFlCrDat = clamp(UnixToLocalMacSeconds(std::time_t(created)));
    out.ioFlMdDat = clamp(UnixToLocalMacSeconds(std::time_t(sx.stx_mtime.tv_sec)));
    out.ioVRefNum = spec->vRefNum;
    out.ioFlParID = spec->parID;
    if (dir) {
        SInt16 vref = 0;
        SInt32 id = 0;
        if (GetDirectoryID(spec->path, &vref, &id) == noErr) {
            out.ioDirID = id;
            out.ioVRefNum = vref;
        }
    } else {
        out.ioDirID = spec->parID;
    }
    *pb = std::move(out);
    return noErr;
}

OSErr FSpGetFInfo(const FSSpec* spec, FInfo* info) {
    if (!info) return paramErr;
    CInfoPBRec pb;
    OSErr err = FSpGetCatInfo(spec, &pb);
    if (err) return err;
    if (pb.ioFlAttrib & kioFlAttribDirMask) return notAFileErr;
    *info = pb.ioFlFndrInfo;
    return noErr;
}

OSErr FSpGetFileDates(const FSSpec* spec, UInt32* created, UInt32* modified) {
    CInfoPBRec pb;
    OSErr err = FSpGetCatInfo(spec, &pb);
    if (err) return err;
    if (created) *created = pb.ioFlCrDat;
    if (modified) *modified = pb.ioFlMdDat;
    return noErr;
}

OSErr FSpSetFileDates(const FSSpec* spec, const UInt32* created, const UInt32* modified) {
    if (NoSpec(spec)) return paramErr;
    if (!Exists(spec->path)) return fnfErr;
    if (!modified) return noErr;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = LocalMacSecondsToUnix(*modified);
    times[1].tv_nsec = 0;
    if (utimensat(AT_FDCWD, spec->path.c_str(), times, 0) != 0) return OSErrFromErrno(errno);
    return noErr;
}

OSErr FSpGetDataLength(const FSSpec* spec, SInt64* length) {
    if (!length) return paramErr;
    CInfoPBRec pb;
    OSErr err = FSpGetCatInfo(spec, &pb);
    if (err) return err;
    *length = pb.dataLength;
    return noErr;
}

bool FSpExists(const FSSpec* spec) { return !NoSpec(spec) && Exists(spec->path); }

bool FSpIsDirectory(const FSSpec* spec) {
    struct stat st{};
    return !NoSpec(spec) && stat(spec->path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

OSErr FSpGetFreeBytes(const FSSpec* spec, UInt64* freeBytes) {
    if (NoSpec(spec) || !freeBytes) return paramErr;
    std::string p = spec->path;
    struct statvfs vfs{};
    while (statvfs(p.c_str(), &vfs) != 0) {
        if ((errno != ENOENT && errno != ENOTDIR) || p == "/") return OSErrFromErrno(errno);
        size_t slash = p.rfind('/');
        p = slash == 0 ? "/" : p.substr(0, slash);
    }
    *freeBytes = UInt64(vfs.f_bavail) * UInt64(vfs.f_frsize);
    return noErr;
}
