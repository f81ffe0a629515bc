#include "platform/Volumes.h"

#include "platform/Files.h"

#include <blkid/blkid.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <vector>

namespace {

struct MountEntry {
    std::string mountPath;
    std::string device;
};

struct DirKey {
    SInt16 vRefNum;
    SInt32 dirID;
    bool operator<(const DirKey& o) const {
        return vRefNum != o.vRefNum ? vRefNum < o.vRefNum : dirID < o.dirID;
    }
};

struct Table {
    std::mutex lock;
    std::vector<VolumeInfo> volumes;          // vRefNum -1 is volumes[0]
    std::map<std::string, DirKey> idOfPath;   // folder path -> (volume, id) (roots excluded)
    std::map<DirKey, std::string> pathOfId;   // (volume, id) -> folder path (roots excluded)
    SInt32 nextDirID = 100;
};

Table& TheTable() {
    static Table t;
    return t;
}

// mountinfo escapes blanks, tabs, newlines and backslashes as \ooo.
std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size()) {
            int v = 0;
            bool ok = true;
            for (size_t k = 1; k <= 3; ++k) {
                char c = s[i + k];
                if (c < '0' || c > '7') { ok = false; break; }
                v = v * 8 + (c - '0');
            }
            if (ok) {
                out.push_back(char(v));
                i += 3;
                continue;
            }
        }
        out.push_back(s[i]);
    }
    return out;
}

bool IsPathPrefix(const std::string& mount, const std::string& path) {
    if (mount == "/") return true;
    return path.size() >= mount.size() && path.compare(0, mount.size(), mount) == 0 &&
           (path.size() == mount.size() || path[mount.size()] == '/');
}

// The mount holding a canonical path: the longest mount point above it; of equal ones the last
// mounted, which hides the others.
MountEntry FindMount(const std::string& canonical) {
    MountEntry best{"/", ""};
    size_t bestLen = 0;
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        size_t pos = 0;
        while (pos <= line.size()) {
            size_t sp = line.find(' ', pos);
            if (sp == std::string::npos) sp = line.size();
            f.push_back(line.substr(pos, sp - pos));
            pos = sp + 1;
        }
        if (f.size() < 5) continue;
        std::string mp = Unescape(f[4]);
        std::string dev;
        for (size_t i = 5; i + 2 < f.size(); ++i) {
            if (f[i] == "-") {
                dev = Unescape(f[i + 2]);
                break;
            }
        }
        if (IsPathPrefix(mp, canonical) && mp.size() >= bestLen) {
            best = MountEntry{mp, dev};
            bestLen = mp.size();
        }
    }
    return best;
}

std::string LabelOf(const std::string& device) {
    if (device.rfind("/dev/", 0) != 0) return {};
    char* v = blkid_get_tag_value(nullptr, "LABEL", device.c_str());
    if (!v) return {};
    std::string s(v);
    std::free(v);
    return s;
}

// The canonical form of the path, or of its nearest existing ancestor.
bool CanonicalExisting(const std::string& path, std::string* out) {
    std::string p = NormalizeNativePath(path);
    for (;;) {
        char buf[PATH_MAX];
        if (realpath(p.c_str(), buf)) {
            *out = buf;
            return true;
        }
        if (errno != ENOENT && errno != ENOTDIR) return false;
        if (p == "/") return false;
        size_t slash = p.rfind('/');
        p = slash == 0 ? "/" : p.substr(0, slash);
    }
}

VolumeInfo* VolumeOfMountLocked(Table& t, const MountEntry& m) {
    struct stat st{};
    if (stat(m.mountPath.c_str(), &st) != 0) return nullptr;
    for (auto& v : t.volumes)
        if (v.mountPath == m.mountPath && v.deviceId == UInt64(st.st_dev)) return &v;
    if (t.volumes.size() >= 32000) return nullptr;
    VolumeInfo v;
    v.vRefNum = SInt16(-SInt16(t.volumes.size()) - 1);
    v.mountPath = m.mountPath;
    v.device = m.device;
    v.deviceId = UInt64(st.st_dev);
    v.name = LabelOf(m.device);
    if (v.name.empty()) {
        size_t slash = m.mountPath.rfind('/');
        v.name = m.mountPath == "/" ? "/" : m.mountPath.substr(slash + 1);
    }
    struct statvfs vfs{};
    UInt64 fsid = 0;
    if (statvfs(m.mountPath.c_str(), &vfs) == 0) fsid = UInt64(vfs.f_fsid);
    if (fsid == 0) fsid = UInt64(st.st_dev);
    v.serial = UInt32(fsid ^ (fsid >> 32));
    t.volumes.push_back(v);
    return &t.volumes.back();
}

VolumeInfo* VolumeForPathLocked(Table& t, const std::string& path) {
    std::string canonical;
    if (!CanonicalExisting(path, &canonical)) return nullptr;
    // A volume seen before is found by its device without reading the mount table again.
    struct stat st{};
    if (stat(canonical.c_str(), &st) == 0) {
        for (auto& v : t.volumes)
            if (v.deviceId == UInt64(st.st_dev) && IsPathPrefix(v.mountPath, canonical)) return &v;
    }
    return VolumeOfMountLocked(t, FindMount(canonical));
}

}  // namespace

OSErr GetVolumeInfoForPath(std::string_view path, VolumeInfo* info) {
    if (!info || path.empty()) return paramErr;
    Table& t = TheTable();
    std::lock_guard<std::mutex> g(t.lock);
    VolumeInfo* v = VolumeForPathLocked(t, std::string(path));
    if (!v) return nsvErr;
    *info = *v;
    return noErr;
}

OSErr GetVolumeInfo(SInt16 vRefNum, VolumeInfo* info) {
    if (!info) return paramErr;
    Table& t = TheTable();
    std::lock_guard<std::mutex> g(t.lock);
    int index = -int(vRefNum) - 1;
    if (index < 0 || index >= int(t.volumes.size())) return nsvErr;
    *info = t.volumes[size_t(index)];
    return noErr;
}

OSErr GetDirectoryID(std::string_view folderPath, SInt16* vRefNum, SInt32* dirID) {
    if (folderPath.empty()) return paramErr;
    std::string p = NormalizeNativePath(folderPath);
    struct stat st{};
    if (stat(p.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR ? OSErr(dirNFErr) : OSErrFromErrno(errno);
    if (!S_ISDIR(st.st_mode)) return dirNFErr;
    Table& t = TheTable();
    std::lock_guard<std::mutex> g(t.lock);
    auto known = t.idOfPath.find(p);
    if (known != t.idOfPath.end()) {
        if (vRefNum) *vRefNum = known->second.vRefNum;
        if (dirID) *dirID = known->second.dirID;
        return noErr;
    }
    VolumeInfo* v = VolumeForPathLocked(t, p);
    if (!v) return nsvErr;
    SInt32 id;
    if (p == v->mountPath) {
        id = fsRtDirID;
    } else {
        if (t.nextDirID == INT32_MAX) return memFullErr;
        id = t.nextDirID++;
        t.idOfPath.emplace(p, DirKey{v->vRefNum, id});
        t.pathOfId.emplace(DirKey{v->vRefNum, id}, p);
    }
    if (vRefNum) *vRefNum = v->vRefNum;
    if (dirID) *dirID = id;
    return noErr;
}

OSErr GetDirectoryPath(SInt16 vRefNum, SInt32 dirID, std::string* folderPath) {
    if (!folderPath) return paramErr;
    Table& t = TheTable();
    std::lock_guard<std::mutex> g(t.lock);
    if (dirID == fsRtDirID) {
        int index = -int(vRefNum) - 1;
        if (index < 0 || index >= int(t.volumes.size())) return nsvErr;
        *folderPath = t.volumes[size_t(index)].mountPath;
        return noErr;
    }
    if (vRefNum != 0) {
        auto it = t.pathOfId.find(DirKey{vRefNum, dirID});
        if (it == t.pathOfId.end()) return dirNFErr;
        *folderPath = it->second;
        return noErr;
    }
    for (auto& [key, path] : t.pathOfId) {
        if (key.dirID == dirID) {
            *folderPath = path;
            return noErr;
        }
    }
    return dirNFErr;
}

OSErr GetVolumeFreeBytes(SInt16 vRefNum, UInt64* freeBytes) {
    if (!freeBytes) return paramErr;
    VolumeInfo v;
    OSErr err = GetVolumeInfo(vRefNum, &v);
    if (err) return err;
    struct statvfs vfs{};
    if (statvfs(v.mountPath.c_str(), &vfs) != 0) return OSErrFromErrno(errno);
    *freeBytes = UInt64(vfs.f_bavail) * UInt64(vfs.f_frsize);
    return noErr;
}
