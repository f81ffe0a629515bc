#include "platform/FilePermissions.h"

#include <cerrno>
#include <sys/stat.h>

OSErr FSpCopyPermissions(const FSSpec* from, const FSSpec* to) {
    if (!from || !to || from->path.empty() || to->path.empty()) return paramErr;
    struct stat st {};
    if (stat(from->path.c_str(), &st) != 0) return OSErrFromErrno(errno);
    if (chmod(to->path.c_str(), st.st_mode & 07777) != 0) return OSErrFromErrno(errno);
    return noErr;
}
