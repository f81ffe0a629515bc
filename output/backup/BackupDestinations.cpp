#include "output/backup/BackupDestinations.h"

#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/Unicode.h"

#include <sys/statvfs.h>

#include <set>

namespace {

// File systems that hold no user's files.
bool IsPseudoFileSystem(const std::string& type) {
    static const std::set<std::string> pseudo = {
        "proc",     "tmpfs",   "sysfs",   "devtmpfs", "devpts",    "cgroup",     "cgroup2",  "securityfs", "debugfs",
        "tracefs",  "pstore",  "bpf",      "mqueue",    "hugetlbfs",  "configfs", "fusectl",    "autofs",
        "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs", "ramfs", "overlay", "squashfs", "fuse.portal",
        "fuse.gvfsd-fuse"};
    return pseudo.count(type) > 0;
}

bool SystemSaysReadOnly(const std::string& mountPoint) {
    struct statvfs vfs{};
    if (statvfs(mountPoint.c_str(), &vfs) != 0) return true;
    return (vfs.f_flag & ST_RDONLY) != 0;
}

// The system's own places: the root and what lies below the folders the system keeps.
bool IsSystemPlace(const std::string& mountPoint) {
    if (mountPoint == "/") return true;
    for (const char* top : {"/boot", "/proc", "/sys", "/dev", "/run", "/usr", "/var", "/etc", "/snap"}) {
        const std::string t = top;
        if (mountPoint == t || mountPoint.compare(0, t.size() + 1, t + "/") == 0) return true;
    }
    return false;
}

}  // namespace

std::vector<BackupDestination> ListBackupDestinations(const VolumeTable& volumes, const std::vector<OpticalDrive>& drives,
                                                      const std::function<bool(const std::string&)>& readOnly) {
    std::vector<BackupDestination> out;
    for (const VolumeTableEntry& v : volumes.volumes) {
        if (IsPseudoFileSystem(v.fsType) || IsSystemPlace(v.mountPoint)) continue;
        if (readOnly ? readOnly(v.mountPoint) : SystemSaysReadOnly(v.mountPoint)) continue;
        BackupDestination d;
        d.kind = BackupDestination::Kind::kVolume;
        d.path = v.mountPoint;
        d.name = v.label.empty() ? v.mountPoint : AnsiToUtf8(v.label) + " (" + v.mountPoint + ")";
        out.push_back(d);
    }
    for (const OpticalDrive& drive : drives) {
        BackupDestination d;
        d.kind = BackupDestination::Kind::kDrive;
        d.path = drive.address;
        d.name = drive.name + " (" + drive.address + ")";
        out.push_back(d);
    }
    BackupDestination image;
    image.kind = BackupDestination::Kind::kImage;
    LoadResourceStringUtf8(62710, &image.name);
    out.push_back(image);
    return out;
}
