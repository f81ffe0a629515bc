// The settings of the Backup command, kept byte for byte as the binary settings value
// "BackupOptions" (76 bytes).
#pragma once

#include "platform/MacTypes.h"

#include <cstddef>

struct BackupOptionsRec {
    UInt8 reserved0[64];
    UInt8 keepFolderStructure;  // 64: 1 off, 2 on
    UInt8 includeCatalog;       // 65: 0 or 1
    UInt8 destination;          // 66: position + 1 of the chosen destination
    UInt8 visibleOnly;          // 67: 1 only the visible media files, 0 all
    UInt8 reserved68;
    UInt8 resetPaths;           // 69: 0 or 1
    UInt8 staged;               // 70: set by the backup: the files went into a disc image
    UInt8 reserved71[5];
};
static_assert(sizeof(BackupOptionsRec) == 76);
static_assert(offsetof(BackupOptionsRec, keepFolderStructure) == 64 && offsetof(BackupOptionsRec, includeCatalog) == 65 &&
              offsetof(BackupOptionsRec, destination) == 66 && offsetof(BackupOptionsRec, visibleOnly) == 67 &&
              offsetof(BackupOptionsRec, resetPaths) == 69 && offsetof(BackupOptionsRec, staged) == 70);

// The defaults: folder structure off, no catalog, first destination, all media files.
BackupOptionsRec DefaultBackupOptions();
// The stored record; false (and *out untouched) when there is none of the right size.
bool LoadBackupOptions(BackupOptionsRec* out);
bool SaveBackupOptions(const BackupOptionsRec& options);
