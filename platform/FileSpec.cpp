// Making specifications and turning them back into paths and stored records.
#include "platform/Files.h"
#include "platform/Volumes.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

bool PathHasDotComponent(std::string_view path, char separator) {
    while (!path.empty()) {
        const size_t cut = path.find(separator);
        const std::string_view part = path.substr(0, cut);
        if (part == "." || part == "..") return true;
        if (cut == std::string_view::npos) break;
        path.remove_prefix(cut + 1);
    }
    return false;
}

bool IsValidFileName(std::string_view name) {
    if (name.empty() || name.size() > 255) return false;
    if (name == "." || name == "..") return false;
    return name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

std::string NormalizeNativePath(std::string_view path) {
    std::string full;
    if (path.empty() || path[0] != '/') {
        std::vector<char> buf(4096);
        while (!getcwd(buf.data(), buf.size())) {
            if (errno != ERANGE) break;
            buf.resize(buf.size() * 2);
        }
        full = buf.data();
        full += '/';
    }
    full.append(path);
    std::vector<std::string_view> parts;
    std::string_view rest(full);
    while (!rest.empty()) {
        size_t slash = rest.find('/');
        std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    if (parts.empty()) return "/";
    std::string out;
    for (auto p : parts) {
        out += '/';
        out.append(p);
    }
    return out;
}

std::string FSSpecName(const FSSpec& spec) {
    if (spec.path.empty()) return {};
    if (spec.path == "/") return "/";
    return spec.path.substr(spec.path.rfind('/') + 1);
}

std::string FSSpecFolderPath(const FSSpec& spec) {
    if (spec.path.empty()) return {};
    size_t slash = spec.path.rfind('/');
    if (slash == 0 || slash == std::string::npos) return "/";
    return spec.path.substr(0, slash);
}

namespace {

// Fills the spec of an absolute normalised path and answers whether the item exists.
OSErr MakeSpecOfPath(const std::string& path, FSSpec* spec) {
    spec->vRefNum = 0;
    spec->parID = 0;
    spec->path = path;
    if (path == "/") {
        SInt16 vref = 0;
        SInt32 id = 0;
        OSErr err = GetDirectoryID("/", &vref, &id);
        if (err) return err;
        spec->vRefNum = vref;
        spec->parID = fsRtParID;
        return noErr;
    }
    std::string folder = FSSpecFolderPath(*spec);
    SInt16 vref = 0;
    SInt32 parent = 0;
    OSErr err = GetDirectoryID(folder, &vref, &parent);
    if (err) return err == nsvErr ? err : OSErr(dirNFErr);
    struct stat st{};
    if (lstat(path.c_str(), &st) != 0) {
        spec->vRefNum = vref;
        spec->parID = parent;
        return errno == ENOENT ? OSErr(fnfErr) : OSErrFromErrno(errno);
    }
    // A folder on another device than its parent is the root of a mounted volume.
    struct stat parentSt{};
    VolumeInfo vol;
    if (S_ISDIR(st.st_mode) && stat(folder.c_str(), &parentSt) == 0 && parentSt.st_dev != st.st_dev &&
        GetVolumeInfoForPath(path, &vol) == noErr && vol.mountPath == path) {
        spec->vRefNum = vol.vRefNum;
        spec->parID = fsRtParID;
        return noErr;
    }
    spec->vRefNum = vref;
    spec->parID = parent;
    return noErr;
}

}  // namespace

OSErr FSMakeFSSpecFromPath(std::string_view path, FSSpec* spec) {
    if (!spec) return paramErr;
    if (path.empty() || path.find('\0') != std::string_view::npos) return bdNamErr;
    return MakeSpecOfPath(NormalizeNativePath(path), spec);
}

OSErr FSMakeFSSpec(SInt16 vRefNum, SInt32 dirID, ConstStr255Param fileName, FSSpec* spec) {
    if (!spec) return paramErr;
    std::string_view name;
    if (fileName) name = std::string_view(reinterpret_cast<const char*>(fileName + 1), fileName[0]);
    if (name.find('\0') != std::string_view::npos) return bdNamErr;
    if (!name.empty() && name[0] == '/') return MakeSpecOfPath(NormalizeNativePath(name), spec);
    std::string base;
    if (dirID != 0 || vRefNum != 0) {
        OSErr err = GetDirectoryPath(vRefNum, dirID == 0 ? fsRtDirID : dirID, &base);
        if (err) return err;
    } else if (name.empty()) {
        return bdNamErr;
    } else {
        return MakeSpecOfPath(NormalizeNativePath(name), spec);
    }
    if (name.empty()) return MakeSpecOfPath(base, spec);
    return MakeSpecOfPath(NormalizeNativePath(base + "/" + std::string(name)), spec);
}

OSErr FSMakeChildSpec(const FSSpec* folder, std::string_view name, FSSpec* spec) {
    if (!folder || !spec || folder->path.empty()) return paramErr;
    if (!IsValidFileName(name)) return bdNamErr;
    std::string p = folder->path;
    if (p != "/") p += '/';
    p.append(name);
    return MakeSpecOfPath(p, spec);
}

OSErr FSSpecToNativePathName(const FSSpec* spec, char* buffer, long bufferSize, long flags) {
    if (!spec || !buffer || bufferSize <= 0) return paramErr;
    buffer[0] = 0;
    std::string s;
    switch (flags) {
    case kFullNativePath: s = spec->path; break;
    case kFileNameOnly: s = FSSpecName(*spec); break;
    case kDirectoryPathOnly: s = FSSpecFolderPath(*spec); break;
    default: return paramErr;
    }
    if (long(s.size()) >= bufferSize) return bdNamErr;
    std::memcpy(buffer, s.c_str(), s.size() + 1);
    return noErr;
}

OSErr NativePathNameToFSSpec(const char* path, FSSpec* spec, long flags) {
    if (!path) return paramErr;
    return FSMakeFSSpecFromPath(path, spec);
}

namespace {
OSErr ToPStr(const std::string& s, StringPtr out, int maxLength) {
    if (!out) return paramErr;
    out[0] = 0;
    if (maxLength > 255) maxLength = 255;
    if (maxLength < 0 || s.size() > size_t(maxLength)) return bdNamErr;
    out[0] = static_cast<unsigned char>(s.size());
    std::memcpy(out + 1, s.data(), s.size());
    return noErr;
}
}  // namespace

OSErr FSSpecGetName(const FSSpec* spec, StringPtr name) {
    if (!spec) return paramErr;
    return ToPStr(FSSpecName(*spec), name, 255);
}

OSErr FSSpecGetPathPStr(const FSSpec* spec, StringPtr path, int maxLength) {
    if (!spec) return paramErr;
    return ToPStr(spec->path, path, maxLength);
}

OSErr FSSpecToRecord(const FSSpec* spec, FSSpecRecord* record) {
    if (!spec || !record) return paramErr;
    std::memset(record, 0, sizeof *record);
    OSErr err = ToPStr(spec->path, record->name, 255);
    if (err) return err;
    record->vRefNum = spec->vRefNum;
    record->parID = spec->parID;
    return noErr;
}

OSErr FSSpecFromRecord(const FSSpecRecord* record, FSSpec* spec) {
    if (!record || !spec) return paramErr;
    if (record->name[0] == 0) {
        *spec = FSSpec{};
        return bdNamErr;
    }
    std::string_view path(reinterpret_cast<const char*>(record->name + 1), record->name[0]);
    return FSMakeFSSpecFromPath(path, spec);
}

OSType FileTypeFromName(std::string_view name) {
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return 0;
    std::string_view ext = name.substr(dot + 1);
    if (ext.empty() || ext.size() > 4 || ext.find('/') != std::string_view::npos) return 0;
    OSType t = 0;
    for (size_t i = 0; i < 4; ++i) {
        unsigned char c = i < ext.size() ? static_cast<unsigned char>(ext[i]) : ' ';
        if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
        t = (t << 8) | c;
    }
    return t;
}
