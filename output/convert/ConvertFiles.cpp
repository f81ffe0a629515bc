#include "output/convert/ConvertFiles.h"

#include "platform/FileFaults.h"
#include "platform/Files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

FSSpec ConversionTargetSpec(const FSSpec& source, const std::string& extension, const FSSpec* destination) {
    std::string name = FSSpecName(source);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    name += "." + extension;
    const std::string folder = destination ? destination->path : FSSpecFolderPath(source);
    FSSpec target;
    FSMakeFSSpecFromPath(folder + "/" + name, &target);
    target.path = folder + "/" + name;
    return target;
}

OSErr MakeConversionTempFile(const std::string& folder, FSSpec* temp) {
    std::string pattern = folder + "/~Lyrex Temporary File-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    const int fd = mkstemp(buf.data());
    if (fd < 0) return OSErrFromErrno(errno);
    close(fd);
    const std::string path(buf.data());
    FSMakeFSSpecFromPath(path, temp);
    temp->path = path;
    return noErr;
}

namespace {

// Puts the bytes of the finished file on the disk before its name is trusted.
OSErr FlushFile(const FSSpec& file) {
    SInt16 ref = 0;
    OSErr err = FSpOpenDF(&file, fsRdWrPerm, &ref);
    if (err != noErr) return err;
    err = FSFlushFile(ref);
    const OSErr closed = FSClose(ref);
    return err != noErr ? err : closed;
}

}  // namespace

OSErr FinishConversion(const FSSpec& temp, const FSSpec& target, const FSSpec& source, bool inPlace) {
    // The converted file is on the disk, under its name, before an in-place source goes: a crash
    // or a failed flush never leaves the user with neither.
    OSErr err = FlushFile(temp);
    if (err == noErr) err = FileFaultCheck(0, FileFaultPoint::kReplace, 0);
    if (err == noErr && std::rename(temp.path.c_str(), target.path.c_str()) != 0) err = OSErrFromErrno(errno);
    if (err != noErr) {
        unlink(temp.path.c_str());
        return err;
    }
    if (inPlace && !(target == source)) {
        if (OSErr synced = FSpSyncFolder(&target)) return synced;
        unlink(source.path.c_str());
    }
    return noErr;
}
