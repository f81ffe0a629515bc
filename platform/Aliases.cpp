#include "platform/Aliases.h"

#include "platform/ByteOrder.h"
#include "platform/Handles.h"
#include "platform/Volumes.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

enum : UInt8 { kAliasFull = 0, kAliasMinimal = 1 };
enum : UInt8 { kAliasFlagFolder = 1 };

struct Identity {
    UInt64 device = 0;
    UInt64 inode = 0;
    SInt64 modified = 0;
    bool folder = false;
};

bool StatPath(const std::string& path, Identity* id) {
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return false;
    id->device = UInt64(st.st_dev);
    id->inode = UInt64(st.st_ino);
    id->folder = S_ISDIR(st.st_mode);
    id->modified = id->folder ? 0 : SInt64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

std::string ParentOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return {};
    if (folder == "/") return "/" + name;
    return folder + "/" + name;
}

struct Parsed {
    UInt8 kind = 0;
    UInt8 flags = 0;
    UInt32 serial = 0;
    UInt64 device = 0;
    UInt64 inode = 0;
    UInt64 parentInode = 0;
    SInt64 modified = 0;
    std::string path;
    size_t mountLength = 0;
};

bool Parse(const void* data, long size, Parsed* out) {
    if (!data || size < kAliasHeaderSize) return false;
    auto b = static_cast<const UInt8*>(data);
    if (ReadBE32(b) != kAliasMagic || ReadBE16(b + 4) != 1) return false;
    UInt16 total = ReadBE16(b + 6);
    UInt16 pathLength = ReadBE16(b + 10);
    UInt16 mountLength = ReadBE16(b + 12);
    if (total > size || total != kAliasHeaderSize + pathLength || pathLength == 0) return false;
    if (mountLength > pathLength) return false;
    out->kind = b[8];
    out->flags = b[9];
    if (out->kind != kAliasFull && out->kind != kAliasMinimal) return false;
    out->serial = ReadBE32(b + 16);
    out->device = ReadBE64(b + 20);
    out->inode = ReadBE64(b + 28);
    out->parentInode = ReadBE64(b + 36);
    out->modified = SInt64(ReadBE64(b + 44));
    out->path.assign(reinterpret_cast<const char*>(b + kAliasHeaderSize), pathLength);
    out->mountLength = mountLength;
    if (out->path.find('\0') != std::string::npos) return false;
    if (out->kind == kAliasFull && out->path[0] != '/') return false;
    if (out->kind == kAliasMinimal && out->path.find('/') != std::string::npos) return false;
    // A path that climbs with ".." (or names "." ) is not one we made: it points nowhere.
    if (PathHasDotComponent(out->path)) return false;
    return true;
}

OSErr Build(const FSSpec* target, bool minimal, AliasHandle* alias) {
    if (!alias) return paramErr;
    *alias = nullptr;
    if (!target || target->path.empty()) return paramErr;
    Identity id;
    if (!StatPath(target->path, &id)) return fnfErr;
    Identity parent;
    StatPath(ParentOf(target->path), &parent);
    VolumeInfo volume;
    UInt32 serial = 0;
    size_t mountLength = 0;
    if (GetVolumeInfoForPath(target->path, &volume) == noErr) {
        serial = volume.serial;
        if (volume.mountPath == "/")
            mountLength = 0;
        else if (target->path.compare(0, volume.mountPath.size(), volume.mountPath) == 0)
            mountLength = volume.mountPath.size();
        else
            mountLength = 0;
    }
    std::string stored = minimal ? FSSpecName(*target) : target->path;
    if (minimal) mountLength = 0;
    if (stored.empty() || stored.size() > 0xFFFF - kAliasHeaderSize) return bdNamErr;

    long size = kAliasHeaderSize + long(stored.size());
    Handle h = NewHandleClear(size);
    if (!h) return memFullErr;
    auto b = reinterpret_cast<UInt8*>(*h);
    WriteBE32(b, kAliasMagic);
    WriteBE16(b + 4, 1);
    WriteBE16(b + 6, UInt16(size));
    b[8] = minimal ? kAliasMinimal : kAliasFull;
    b[9] = id.folder ? kAliasFlagFolder : 0;
    WriteBE16(b + 10, UInt16(stored.size()));
    WriteBE16(b + 12, UInt16(mountLength));
    WriteBE32(b + 16, serial);
    WriteBE64(b + 20, id.device);
    WriteBE64(b + 28, id.inode);
    WriteBE64(b + 36, parent.inode);
    WriteBE64(b + 44, UInt64(id.modified));
    std::memcpy(b + kAliasHeaderSize, stored.data(), stored.size());
    *alias = h;
    return noErr;
}

// The entry of folder with the alias's inode (and, for a file, its modification time).
std::string FindInodeInFolder(const std::string& folder, UInt64 inode, SInt64 modified,
                              bool wantFolder) {
    std::string found;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return found;
    while (struct dirent* e = ::readdir(dir)) {
        if (UInt64(e->d_ino) != inode) continue;
        if (!std::strcmp(e->d_name, ".") || !std::strcmp(e->d_name, "..")) continue;
        std::string path = Join(folder, e->d_name);
        Identity id;
        // d_ino of a mount point is the covered inode; confirm with stat.
        if (StatPath(path, &id) && id.inode == inode && id.folder == wantFolder &&
            id.modified == modified) {
            found = path;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

OSErr Finish(const std::string& path, bool changed, FSSpec* target, Boolean* wasChanged) {
    OSErr err = FSMakeFSSpecFromPath(path, target);
    if (err == fnfErr || err == dirNFErr) return fnfErr;
    if (err != noErr) return err;
    if (wasChanged) *wasChanged = changed;
    return noErr;
}

std::string UnescapeMount(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size()) {
            int v = 0;
            bool ok = true;
            for (int k = 1; k <= 3; ++k) {
                char c = s[i + k];
                if (c < '0' || c > '7') ok = false;
                v = v * 8 + (c - '0');
            }
            if (ok) {
                out += char(v);
                i += 3;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

}  // namespace

OSErr NewAlias(const FSSpec* fromFile, const FSSpec* target, AliasHandle* alias) {
    return Build(target, false, alias);
}

OSErr NewAliasMinimal(const FSSpec* target, AliasHandle* alias) {
    return Build(target, true, alias);
}

std::string AliasStoredPath(AliasHandle alias) {
    Parsed p;
    if (!alias || !*alias || !Parse(*alias, GetHandleSize(alias), &p)) return {};
    return p.path;
}

std::vector<AliasVolume> AliasMountedVolumes() {
    std::vector<AliasVolume> out;
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    while (std::getline(in, line)) {
        // id parent major:minor root mountpoint options ... - fstype source superoptions
        std::istringstream fields(line);
        std::string id, parent, devno, root, mount;
        if (!(fields >> id >> parent >> devno >> root >> mount)) continue;
        size_t dash = line.find(" - ");
        if (dash == std::string::npos) continue;
        std::istringstream tail(line.substr(dash + 3));
        std::string fstype, source;
        if (!(tail >> fstype >> source)) continue;
        if (source.rfind("/dev/", 0) != 0) continue;  // only volumes of real devices move
        AliasVolume v;
        v.mountPath = UnescapeMount(mount);
        VolumeInfo info;
        if (GetVolumeInfoForPath(v.mountPath, &info) != noErr || info.mountPath != v.mountPath)
            continue;
        v.serial = info.serial;
        out.push_back(v);
    }
    return out;
}

OSErr ResolveAliasWithVolumes(const FSSpec* fromFile, const void* record, long size,
                              const std::vector<AliasVolume>& volumes, FSSpec* target,
                              Boolean* wasChanged) {
    if (wasChanged) *wasChanged = false;
    if (!target) return paramErr;
    Parsed p;
    if (!Parse(record, size, &p)) return paramErr;
    const bool wantFolder = (p.flags & kAliasFlagFolder) != 0;
    auto sameObject = [&](const std::string& path) {
        Identity id;
        return StatPath(path, &id) && id.inode == p.inode && id.folder == wantFolder;
    };
    auto exists = [&](const std::string& path) {
        Identity id;
        return StatPath(path, &id) && id.folder == wantFolder;
    };

    // Where the target may be now: its stored path, the same place on its volume mounted
    // elsewhere, or (minimal alias) the folder of fromFile.
    std::vector<std::string> places;
    if (p.kind == kAliasFull) {
        Identity id;
        // Unchanged only when the very same file is there: a new file can get a freed inode.
        if (StatPath(p.path, &id) && id.device == p.device && id.inode == p.inode &&
            id.folder == wantFolder && id.modified == p.modified)
            return Finish(p.path, false, target, wasChanged);
        places.push_back(p.path);
        if (p.serial != 0) {
            std::string relative = p.path.substr(p.mountLength);
            if (relative.empty() || relative[0] != '/') relative.insert(relative.begin(), '/');
            for (const AliasVolume& v : volumes) {
                if (v.serial != p.serial) continue;
                std::string moved = v.mountPath == "/" ? relative : v.mountPath + relative;
                if (moved != p.path) places.push_back(moved);
            }
        }
    } else {
        if (fromFile && !fromFile->path.empty())
            places.push_back(Join(FSSpecFolderPath(*fromFile), p.path));
    }

    // 1. The same object at one of those places.
    for (const std::string& place : places)
        if (sameObject(place)) return Finish(place, place != p.path, target, wasChanged);
    // 2. Replaced by a file of the same name (a program that saves by writing a new file).
    for (const std::string& place : places)
        if (exists(place)) return Finish(place, true, target, wasChanged);
    // 3. Renamed within its folder: the object with its identity in one of those folders.
    for (const std::string& place : places) {
        std::string found = FindInodeInFolder(ParentOf(place), p.inode, p.modified, wantFolder);
        if (!found.empty()) return Finish(found, true, target, wasChanged);
    }
    return fnfErr;
}

OSErr ResolveAlias(const FSSpec* fromFile, AliasHandle alias, FSSpec* target, Boolean* wasChanged) {
    if (!alias || !*alias || !target) return paramErr;
    Parsed p;
    if (!Parse(*alias, GetHandleSize(alias), &p)) return paramErr;
    // Fast path without reading the mount table: the target where it was.
    Identity id;
    if (p.kind == kAliasFull && StatPath(p.path, &id) && id.device == p.device && id.inode == p.inode &&
        id.modified == p.modified)
        return ResolveAliasWithVolumes(fromFile, *alias, GetHandleSize(alias), {}, target, wasChanged);
    std::vector<AliasVolume> volumes;
    if (p.kind == kAliasFull && p.serial != 0) volumes = AliasMountedVolumes();
    return ResolveAliasWithVolumes(fromFile, *alias, GetHandleSize(alias), volumes, target, wasChanged);
}
