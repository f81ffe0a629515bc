#include "foundation/files/SideFiles.h"

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
