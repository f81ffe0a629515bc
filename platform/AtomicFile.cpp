#include "platform/AtomicFile.h"

#include "platform/SafeRewrite.h"

#include <cerrno>

std::string AtomicTempPrefix(const std::string& target) {
    std::size_t slash = target.rfind('/');
    return (slash == std::string::npos ? target : target.substr(slash + 1)) + ".tmp";
}

int WriteFileAtomically(const std::string& target, std::string_view bytes, mode_t mode, bool durable) {
    FSSpec spec;
    OSErr err = FSMakeFSSpecFromPath(target, &spec);
    if (err != noErr && err != fnfErr) return err == dirNFErr ? ENOENT : EINVAL;
    SafeRewriteOptions options;
    options.tempPrefix = AtomicTempPrefix(spec.path);
    options.newFileMode = mode;
    options.durable = durable;
    SafeRewrite out;
    err = out.Begin(&spec, options);
    if (!err) err = out.Write(bytes.data(), bytes.size());
    if (!err) err = out.Commit();
    if (!err) return 0;
    if (out.LastErrno()) return out.LastErrno();
    switch (err) {
    case permErr: return EACCES;
    case dskFulErr: return ENOSPC;
    case notAFileErr: return EISDIR;
    default: return EIO;
    }
}
