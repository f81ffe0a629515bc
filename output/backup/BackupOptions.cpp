#include "output/backup/BackupOptions.h"

#include "foundation/settings/ProgramKey.h"
#include "foundation/settings/RegistryKey.h"

#include <cstring>

BackupOptionsRec DefaultBackupOptions() {
    BackupOptionsRec r;
    std::memset(&r, 0, sizeof r);
    r.keepFolderStructure = 1;
    return r;
}

bool LoadBackupOptions(BackupOptionsRec* out) {
    CRegistryKey key;
    if (!OpenUserKey(&key, kRegBackupOptions)) return false;
    BackupOptionsRec r;
    DWORD size = 0;
    if (!key.ReadBinary(kRegBackupOptions, &r, DWORD(sizeof r), &size) || size != sizeof r) return false;
    *out = r;
    return true;
}

bool SaveBackupOptions(const BackupOptionsRec& options) {
    CRegistryKey key;
    return OpenUserKey(&key, kRegBackupOptions) && key.WriteBinary(kRegBackupOptions, &options, DWORD(sizeof options));
}
