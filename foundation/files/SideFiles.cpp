#include "foundation/files/SideFiles.h"

#include <sys/stat.h>

OSErr FileSpecCopy(const FSSpec* source, FSSpec* destination) {
    if (!source || !destination) return paramErr;
    *destination = *source;
    return noErr;
}

OSErr MakeSideFileSpec(const FSSpec* spec, FSSpec* sideSpec, short n) {
    if (!spec || !sideSpec || spec->path.empty() || spec->path == "/") return paramErr;
    if (n < 0 || n > 9) return paramErr;
    std::string name = FSSpecName(*spec) + "_" + char('0' + n);
    if (name.size() > 255) return bdNamErr;
    FSSpec folder;
    folder.path = FSSpecFolderPath(*spec);
    OSErr err = FSMakeChildSpec(&folder, name, sideSpec);
    return err == fnfErr ? OSErr(noErr) : err;
}

OSErr CreateHiddenSideFile(const FSSpec* spec, FSSpec* sideSpec, short n) {
    OSErr err = MakeSideFileSpec(spec, sideSpec, n);
    if (err) return err;
    return FSpCreate(sideSpec, 0, 0, -1);
}

OSErr LockFileSpec(const FSSpec* spec, FSSpec* sideSpec, short n) {
    OSErr err = MakeSideFileSpec(spec, sideSpec, n);
    if (err) return err;
    return FSpExists(sideSpec) ? OSErr(noErr) : OSErr(fnfErr);
}

std::vector<FSSpec> FindMediaSideFiles(const FSSpec& file) {
    std::vector<FSSpec> out;
    if (file.path.empty() || file.path == "/") return out;
    const std::string name = FSSpecName(file);
    const std::size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string folder = FSSpecFolderPath(file);
    for (const char* ext : {".WAV", ".wav"}) {
        const std::string path = (folder == "/" ? folder : folder + "/") + stem + ext;
        struct stat st{};
        if (path == file.path || lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        FSSpec side;
        if (FSMakeFSSpecFromPath(path, &side) == noErr) out.push_back(side);
    }
    return out;
}

std::string MediaSideFileName(std::string_view sideName, std::string_view mediaName) {
    const std::size_t sideDot = sideName.rfind('.');
    const std::size_t mediaDot = mediaName.rfind('.');
    std::string out(mediaDot == std::string_view::npos ? mediaName : mediaName.substr(0, mediaDot));
    if (sideDot != std::string_view::npos) out.append(sideName.substr(sideDot));
    return out;
}
