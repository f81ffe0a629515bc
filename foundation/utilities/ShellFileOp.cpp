#include "foundation/utilities/ShellFileOp.h"

#include "foundation/files/FileMoves.h"
#include "foundation/files/PathSpec.h"

OSErr CShellFileOp::Delete(const std::u16string& path, int permanent) {
    if (path.empty()) return paramErr;
    if (path.size() >= 260) return bdNamErr;
    FSSpec spec;
    OSErr err = PathToFileSpec(path, &spec);
    if (err != noErr) return err;
    return permanent ? DeleteFileSpec(&spec) : ShellFileOpA(&spec);
}
