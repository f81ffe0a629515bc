#include "foundation/files/FileMoves.h"

#include "foundation/files/FileNames.h"
#include "platform/MacDates.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

bool IsFolder(const std::string& path) {
    struct stat st{};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Copies one file to a new path that must not exist yet; answers an errno value (0 on
// success). A partial target is removed.
int CopyNewFile(const std::string& from, const std::string& to) {
    int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return errno;
    struct stat st{};
    if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        int e = S_ISDIR(st.st_mode) ? EISDIR : errno;
        close(in);
        return e ? e : EINVAL;
    }
    int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
    if (out < 0) {
        int e = errno;
        close(in);
        return e;
    }
    int e = 0;
    off_t remaining = st.st_size;
    while (remaining > 0) {
        ssize_t n = copy_file_range(in, nullptr, out, nullptr, size_t(remaining), 0);
        if (n > 0) {
            remaining -= n;
            continue;
        }
        if (n == 0) break;   // the source shrank meanwhile
        if (errno == EINTR) continue;
        if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
            e = errno;
            break;
        }
        // No kernel copy between these file systems: plain reads and writes.
        std::vector<char> buf(1 << 20);
        for (;;) {
            ssize_t r = read(in, buf.data(), buf.size());
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) {
                e = errno;
                break;
            }
            if (r == 0) break;
            for (ssize_t done = 0; done < r;) {
                ssize_t w = write(out, buf.data() + done, size_t(r - done));
                if (w < 0 && errno == EINTR) continue;
                if (w <= 0) {
                    e = w < 0 ? errno : ENOSPC;
                    break;
                }
                done += w;
            }
            if (e) break;
        }
        break;
    }
    if (!e) {
        struct timespec times[2] = {st.st_atim, st.st_mtim};
        futimens(out, times);
    }
    if (close(out) != 0 && !e) e = errno;
    close(in);
    if (e) unlink(to.c_str());
    return e;
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

}  // namespace

OSErr SwapFiles(const FSSpec* a, const FSSpec* b) {
    if (!a || !b) return -1;
    return FSpExchangeFiles(a, b) == noErr ? OSErr(noErr) : OSErr(-1);
}

OSErr SwapFilesAndStamp(const FSSpec* a, const FSSpec* b, bool stamp) {
    OSErr err = SwapFiles(a, b);
    if (err || !stamp) return err;
    UInt32 now = 0;
    GetDateTime(&now);
    return FSpSetFileDates(a, &now, &now);
}

OSErr ShellFileOpA(const FSSpec* spec) {
    if (!spec || spec->path.empty()) return paramErr;
    GFile* file = g_file_new_for_path(spec->path.c_str());
    GError* error = nullptr;
    gboolean ok = g_file_trash(file, nullptr, &error);
    if (error) g_error_free(error);
    g_object_unref(file);
    return ok ? OSErr(noErr) : OSErr(paramErr);
}

OSErr DeleteFileSpec(const FSSpec* spec) {
    if (!spec || spec->path.empty() || spec->path == "/") return paramErr;
    std::error_code ec;
    auto status = std::filesystem::symlink_status(spec->path, ec);
    if (ec || !std::filesystem::exists(status)) return fnfErr;
    std::filesystem::remove_all(spec->path, ec);
    if (ec) return OSErrFromErrno(ec.value());
    return noErr;
}

OSErr CreateDirectoryPath(std::string_view path) {
    if (path.empty()) return noErr;
    std::string p(path);
    if (mkdir(p.c_str(), 0777) == 0) return noErr;
    int e = errno;
    if (e == EEXIST) return IsFolder(p) ? OSErr(noErr) : OSErr(dupFNErr);
    if (e != ENOENT) return OSErrFromErrno(e);
    std::string parent = p;
    while (!parent.empty() && parent.back() == '/') parent.pop_back();
    size_t slash = parent.rfind('/');
    if (slash == std::string::npos) return dirNFErr;
    parent.resize(slash);
    while (!parent.empty() && parent.back() == '/') parent.pop_back();
    if (parent.empty()) return dirNFErr;
    OSErr err = CreateDirectoryPath(parent);
    if (err) return err;
    if (mkdir(p.c_str(), 0777) == 0) return noErr;
    e = errno;
    if (e == EEXIST) return IsFolder(p) ? OSErr(noErr) : OSErr(dupFNErr);
    return OSErrFromErrno(e);
}

OSErr CopyFileToFolder(const FSSpec* source, const FSSpec* folder, ConstStr255Param newName) {
    if (!source || !folder || source->path.empty() || folder->path.empty()) return paramErr;
    std::string name = newName && newName[0]
                           ? std::string(reinterpret_cast<const char*>(newName + 1), newName[0])
                           : FSSpecName(*source);
    if (!IsValidFileName(name)) return bdNamErr;
    std::string target = Join(folder->path, name);
    int e = CopyNewFile(source->path, target);
    if (e == 0) return noErr;
    if (e == EEXIST) return dupFNErr;
    if (e == ENOENT && !IsFolder(folder->path)) {
        OSErr err = CreateDirectoryPath(folder->path);
        if (err) return err;
        e = CopyNewFile(source->path, target);
        if (e == 0) return noErr;
    }
    return OSErrFromErrno(e);
}

OSErr CopyFileSpecTo(const FSSpec* source, const FSSpec* destFolder, ConstStr255Param newName) {
    if (!source || !destFolder) return paramErr;
    if (newName && newName[0]) return CopyFileToFolder(source, destFolder, newName);
    Str255 name;
    OSErr err = FSSpecGetName(source, name);
    if (err) return err;
    if (IsFolder(destFolder->path)) {
        err = MakeUniqueFileName(destFolder, name);
        if (err) return err;
    }
    return CopyFileToFolder(source, destFolder, name);
}

OSErr FindDataToFileInfo(std::string_view folderPath, std::string_view name, CInfoPBRec* info) {
    if (!info || folderPath.empty()) return paramErr;
    FSSpec folder;
    folder.path = NormalizeNativePath(folderPath);
    FSSpec entry;
    OSErr err = FSMakeChildSpec(&folder, name, &entry);
    if (err) return err;
    err = FSpGetCatInfo(&entry, info);
    if (err != fnfErr) return err;
    // A dangling symbolic link: described as itself, an empty file.
    struct stat lst{};
    if (lstat(entry.path.c_str(), &lst) != 0 || !S_ISLNK(lst.st_mode)) return err;
    CInfoPBRec out;
    out.path = entry.path;
    out.isSymlink = true;
    out.ioVRefNum = entry.vRefNum;
    out.ioFlParID = entry.parID;
    out.ioDirID = entry.parID;
    std::string n(name);
    out.ioFlFndrInfo.fdFlags = n[0] == '.' ? kIsInvisible : 0;
    std::int64_t t = UnixToLocalMacSeconds(lst.st_mtime);
    out.ioFlCrDat = out.ioFlMdDat = UInt32(t < 0 ? 0 : (t > 0xFFFFFFFFll ? 0xFFFFFFFFll : t));
    *info = std::move(out);
    return noErr;
}

bool ResolveShortcut(std::string_view shortcutPath, std::string* targetPath) {
    if (!targetPath || shortcutPath.empty()) return false;
    std::string path = NormalizeNativePath(shortcutPath);
    struct stat st{};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return false;
    for (int hops = 0; hops < 40; ++hops) {
        if (lstat(path.c_str(), &st) != 0) return false;
        if (!S_ISLNK(st.st_mode)) {
            *targetPath = path;
            return true;
        }
        std::vector<char> buf(size_t(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        ssize_t n = readlink(path.c_str(), buf.data(), buf.size());
        if (n < 0 || size_t(n) >= buf.size()) return false;
        std::string link(buf.data(), size_t(n));
        if (link.empty()) return false;
        std::string base = path.substr(0, path.rfind('/'));
        path = NormalizeNativePath(link[0] == '/' ? link : (base.empty() ? "/" : base) + "/" + link);
    }
    return false;
}
