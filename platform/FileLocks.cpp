#include "platform/FileLocks.h"

#include "platform/FileDescriptors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

struct flock WholeFile(short type) {
    struct flock fl{};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0;   // to the end, however long the file grows
    fl.l_pid = 0;   // required for open-file description locks
    return fl;
}

bool SameFile(int fd, const FSSpec& spec) {
    struct stat open{}, named{};
    if (fstat(fd, &open) != 0) return false;
    if (lstat(spec.path.c_str(), &named) != 0) return false;
    return open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

}  // namespace

OSErr FSLockFile(SInt16 refNum) {
    return WithOpenFileDescriptor(refNum, [](int fd, const FSSpec&) -> OSErr {
        struct flock fl = WholeFile(F_WRLCK);
        int r;
        do r = fcntl(fd, F_OFD_SETLK, &fl);
        while (r != 0 && errno == EINTR);
        if (r == 0) return noErr;
        if (errno == EAGAIN || errno == EACCES) return fBsyErr;
        if (errno == EBADF) return wrPermErr;
        return OSErrFromErrno(errno);
    });
}

OSErr FSUnlockFile(SInt16 refNum) {
    return WithOpenFileDescriptor(refNum, [](int fd, const FSSpec&) -> OSErr {
        struct flock fl = WholeFile(F_UNLCK);
        if (fcntl(fd, F_OFD_SETLK, &fl) != 0) return OSErrFromErrno(errno);
        return noErr;
    });
}

OSErr FSIsFileLockedElsewhere(SInt16 refNum, bool* locked) {
    if (!locked) return paramErr;
    *locked = false;
    return WithOpenFileDescriptor(refNum, [&](int fd, const FSSpec&) -> OSErr {
        struct flock fl = WholeFile(F_WRLCK);
        if (fcntl(fd, F_OFD_GETLK, &fl) != 0) return OSErrFromErrno(errno);
        *locked = fl.l_type != F_UNLCK;
        return noErr;
    });
}

OSErr FSIsOpenFileAtPath(SInt16 refNum, bool* same) {
    if (!same) return paramErr;
    *same = false;
    return WithOpenFileDescriptor(refNum, [&](int fd, const FSSpec& spec) -> OSErr {
        *same = SameFile(fd, spec);
        return noErr;
    });
}

OSErr FSDeleteOpenFile(SInt16 refNum) {
    return WithOpenFileDescriptor(refNum, [](int fd, const FSSpec& spec) -> OSErr {
        if (!SameFile(fd, spec)) return fnfErr;
        if (unlink(spec.path.c_str()) != 0) return OSErrFromErrno(errno);
        return noErr;
    });
}
