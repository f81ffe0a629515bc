#include "foundation/files/PathSpec.h"

#include "foundation/text/Unicode.h"
#include "platform/Handles.h"
#include "platform/ProgramFolders.h"
#include "platform/Volumes.h"

#include <glib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

std::string_view NameOf(ConstStr255Param name) {
    if (!name) return {};
    return std::string_view(reinterpret_cast<const char*>(name + 1), name[0]);
}

std::string PartOf(const FSSpec& spec, long flags) {
    switch (flags) {
    case kPathNameOnly: return FSSpecName(spec);
    case kPathFolderOnly: return FSSpecFolderPath(spec);
    default: return spec.path;
    }
}

bool IsFolder(const std::string& path) {
    struct stat st{};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// mkdir that accepts an existing folder, and only a folder.
OSErr MakeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0777) == 0) return noErr;
    int e = errno;
    if (e == EEXIST) return IsFolder(path) ? OSErr(noErr) : OSErr(dupFNErr);
    return OSErrFromErrno(e);
}

std::string TempDir() {
    const char* t = std::getenv("TMPDIR");
    if (t && *t == '/') return NormalizeNativePath(t);
    return "/tmp";
}

}  // namespace

OSErr PathToFileSpec(std::u16string_view path, FSSpec* spec) {
    if (!spec) return paramErr;
    if (path.empty()) return bdNamErr;
    return FSMakeFSSpecFromPath(Utf16ToUtf8(path), spec);
}

OSErr FileSpecToPath(const FSSpec* spec, char16_t* buffer, long capacity, long flags) {
    if (!spec || !buffer || capacity <= 0) return paramErr;
    buffer[0] = 0;
    std::u16string w = Utf8ToUtf16(PartOf(*spec, flags));
    if (long(w.size()) >= capacity) return bdNamErr;
    std::memcpy(buffer, w.c_str(), (w.size() + 1) * sizeof(char16_t));
    return noErr;
}

std::u16string FileSpecToPath(const FSSpec& spec, long flags) { return Utf8ToUtf16(PartOf(spec, flags)); }

OSErr FileSpecToNativePath(const FSSpec* spec, char* buffer, long size) {
    return FSSpecToNativePathName(spec, buffer, size, kFullNativePath);
}

OSErr FileSpecToPathPStr(const FSSpec* spec, StringPtr path, long flags) {
    if (!spec || !path) return paramErr;
    path[0] = 0;
    std::string s = PartOf(*spec, flags);
    if (s.size() > 255) return bdNamErr;
    path[0] = static_cast<unsigned char>(s.size());
    std::memcpy(path + 1, s.data(), s.size());
    return noErr;
}

OSErr FileSpecToPathPStrN(const FSSpec* spec, StringPtr path, long maximum) {
    if (!spec || !path) return paramErr;
    return FSSpecGetPathPStr(spec, path, int(maximum < 0 ? 0 : (maximum > 255 ? 255 : maximum)));
}

OSErr FileSpecToPathHandle(const FSSpec* spec, Handle* handle, long* length) {
    if (!spec || !handle) return paramErr;
    *handle = nullptr;
    if (length) *length = 0;
    if (spec->path.empty()) return bdNamErr;
    Handle h = NewHandle(Size(spec->path.size()));
    if (!h) return memFullErr;
    std::memcpy(*h, spec->path.data(), spec->path.size());
    *handle = h;
    if (length) *length = long(spec->path.size());
    return noErr;
}

OSErr MakeChildFileSpec(const FSSpec* folder, ConstStr255Param name, FSSpec* child) {
    if (!folder || !name || !child) return paramErr;
    return FSMakeChildSpec(folder, NameOf(name), child);
}

OSErr MakeChildSpecNoCheck(const FSSpec* folder, ConstStr255Param name, FSSpec* child) {
    if (!folder || !name || !child || folder->path.empty()) return paramErr;
    std::string_view n = NameOf(name);
    if (!IsValidFileName(n)) return bdNamErr;
    FSSpec out;
    out.vRefNum = folder->vRefNum;
    out.path = folder->path == "/" ? "/" : folder->path + "/";
    out.path.append(n);
    // The folder's own id, when the table knows it, without a look at the child.
    SInt16 vref = 0;
    SInt32 id = 0;
    if (GetDirectoryID(folder->path, &vref, &id) == noErr) {
        out.vRefNum = vref;
        out.parID = id;
    }
    *child = std::move(out);
    return noErr;
}

OSErr CreateChildFolder(const FSSpec* folder, short create, ConstStr255Param name, FSSpec* child) {
    if (!folder || !child || folder->path.empty()) return paramErr;
    std::string_view rel = NameOf(name);
    std::string path = folder->path;
    size_t pos = 0;
    while (pos < rel.size()) {
        size_t slash = rel.find('/', pos);
        std::string_view part = rel.substr(pos, slash == std::string_view::npos ? rel.npos : slash - pos);
        if (!IsValidFileName(part)) return bdNamErr;
        if (path != "/") path += '/';
        path.append(part);
        if (slash == std::string_view::npos) break;
        pos = slash + 1;
        if (pos == rel.size()) return bdNamErr;   // a trailing "/" leaves an empty name
    }
    if (create) {
        OSErr err = path == folder->path ? (IsFolder(path) ? OSErr(noErr) : MakeFolder(path)) : MakeFolder(path);
        if (err) return err == fnfErr ? OSErr(dirNFErr) : err;
    }
    return FSMakeFSSpecFromPath(path, child);
}

OSErr CreateDirectoryPathW(std::u16string_view path) {
    if (path.empty()) return noErr;
    return CreateFolderPath(Utf16ToUtf8(path));
}

OSErr FindSpecialFolder(OSType folderType, ConstStr255Param name, FSSpec* spec) {
    if (!spec) return paramErr;
    std::string base;
    switch (folderType) {
    case 'desk': {
        const char* d = g_get_user_special_dir(G_USER_DIRECTORY_DESKTOP);
        if (!d) return paramErr;
        base = d;
        break;
    }
    case 'pref':
        base = UserDataFolder();
        if (base.empty()) return fnfErr;  // no home folder to put it in
        break;
    case 'temp': base = TempDir(); break;
    default: base = "/"; break;
    }
    if (folderType == 'desk' || folderType == 'pref') {
        OSErr err = CreateFolderPath(base);
        if (err) return err;
    }
    std::string_view n = NameOf(name);
    if (n.empty()) return FSMakeFSSpecFromPath(base, spec);
    if (n.find('\0') != n.npos) return bdNamErr;
    return FSMakeFSSpecFromPath(base + "/" + std::string(n), spec);
}

OSErr FindSpecialFolderPath(short kind, FSSpec* spec) {
    if (!spec) return paramErr;
    GUserDirectory which;
    if (kind == kSpecialDesktop) which = G_USER_DIRECTORY_DESKTOP;
    else if (kind == kSpecialPictures) which = G_USER_DIRECTORY_PICTURES;
    else return paramErr;
    const char* d = g_get_user_special_dir(which);
    if (!d || !*d) return paramErr;
    OSErr err = CreateFolderPath(d);
    if (err) return err;
    return FSMakeFSSpecFromPath(d, spec);
}

OSErr FileSpecFolder(const FSSpec* spec, FSSpec* folder) {
    if (!spec || !folder || spec->path.empty()) return paramErr;
    if (IsFolder(spec->path)) {
        *folder = *spec;
        return noErr;
    }
    return FSMakeFSSpecFromPath(FSSpecFolderPath(*spec), folder);
}

bool FileSpecEqual(const FSSpec* a, const FSSpec* b) {
    if (!a || !b) return a == b;
    return a->path == b->path;
}

OSErr CopyFileSpecShortName(const FSSpec* spec, FSSpec* copy) {
    if (!spec || !copy) return paramErr;
    *copy = *spec;
    return noErr;
}

OSErr FileGetCatInfo(SInt16 vRefNum, SInt32 dirID, ConstStr255Param name, CInfoPBRec* pb) {
    if (!pb) return paramErr;
    FSSpec spec;
    static const unsigned char kEmpty[1] = {0};
    OSErr err = FSMakeFSSpec(vRefNum, dirID, name ? name : kEmpty, &spec);
    if (err) return err;
    return FSpGetCatInfo(&spec, pb);
}

bool FileSpecExists(const FSSpec* spec) {
    if (!spec || spec->path.empty()) return false;
    CInfoPBRec pb;
    return FSpGetCatInfo(spec, &pb) != fnfErr;
}

OSErr FileSpecGetInfo(const FSSpec* spec, bool* isDirectory, UInt32* value) {
    CInfoPBRec pb;
    OSErr err = FSpGetCatInfo(spec, &pb);
    if (err) return err;
    bool dir = (pb.ioFlAttrib & kioFlAttribDirMask) != 0;
    if (isDirectory) *isDirectory = dir;
    if (value) *value = dir ? UInt32(pb.ioDirID) : pb.ioFlLgLen;
    return noErr;
}
