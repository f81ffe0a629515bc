#include "platform/FilePermissions.h"

#include <cerrno>
#include <cstdlib>
#include <unistd.h>
#include <sys/stat.h>

OSErr FSpCopyPermissions(const FSSpec* from, const FSSpec* to) {
    if (!from || !to || from->path.empty() || to->path.empty()) return paramErr;
    struct stat st {};
    if (stat(from->path.c_str(), &st) != 0) return OSErrFromErrno(errno);
    // Owner and group first: changing them may clear the set-id bits the mode then restores.
    if (chown(to->path.c_str(), st.st_uid, st.st_gid) != 0 && errno != EPERM) return OSErrFromErrno(errno);
    if (chmod(to->path.c_str(), st.st_mode & 07777) != 0) return OSErrFromErrno(errno);
    return noErr;
}

OSErr FSpResolveLinks(const FSSpec* spec, FSSpec* resolved) {
    if (!spec || !resolved || spec->path.empty()) return paramErr;
    struct stat st {};
    if (lstat(spec->path.c_str(), &st) != 0) return OSErrFromErrno(errno);
    if (!S_ISLNK(st.st_mode)) {
        *resolved = *spec;
        return noErr;
    }
    char* real = realpath(spec->path.c_str(), nullptr);
    if (!real) return OSErrFromErrno(errno);
    OSErr err = FSMakeFSSpecFromPath(real, resolved);
    free(real);
    return err;
}
