// The Backup command's work: the media files of the view's items (all, or only those shown),
// and optionally the catalog file, copied to another place: a folder (another disk, a
// removable or network volume), or a disc image that is burnt when a writable drive is given
// and otherwise kept as a file. No file is written that would start a program on its own (no
// "autorun.inf"), and no reader program is put on the backup.
//
// A folder backup copies each file without ever replacing one already there (a taken name gets
// a number); with Reset paths the open catalog's items are pointed at the copies, and with
// Include media catalog the catalog is then saved and copied too.
//
// A disc backup gathers the files (hard links where it can, copies elsewhere) in a folder of
// its own beside the image, together with a copy of the catalog whose items point at those
// files, writes the image of that folder and removes the folder. The catalog on the disc finds
// its files wherever the disc is mounted or copied, because they lie in folders below it: with
// Keep folder structure below the deepest folder the files share, without it in one folder
// named like the disc. The open catalog is left as it was: its files are where they were.
//
// A run stops at the first failure and says which file it concerns; files copied before it stay
// (and, in a folder backup with Reset paths, the items re-pointed to them). A cancel ends it
// silently. A disc backup that fails or is cancelled leaves no image and no gathering folder.
#pragma once

#include "output/backup/BackupOptions.h"
#include "output/fileactions/FileActions.h"

#include <string>
#include <vector>

enum class BackupTarget { kFolder, kDisc };

struct BackupRequest {
    BackupOptionsRec options = DefaultBackupOptions();
    BackupTarget target = BackupTarget::kFolder;
    std::string folder;        // kFolder: the destination folder
    std::string imagePath;     // kDisc: the image file to write (must not exist)
    std::string volumeId;      // kDisc: the disc's name; empty: the catalog's display name
    std::string driveAddress;  // kDisc: a writable drive to burn on; empty: the image only
    bool keepImage = true;     // kDisc: keep the image after a successful burn
};

// What a run did, and what the user is to be told.
struct BackupReport {
    OSErr err = noErr;         // noErr, userCanceledErr, or the failure
    int alert = 0;             // the alert message to show (61..65), 0 for none
    FileFailure failure;       // the file the failure concerns
    std::vector<FileActionStep> copied;   // media file -> where it went (inside the image for a disc)
    std::string catalogCopy;   // where the catalog went (inside the image for a disc), or empty
    std::string image;         // the image written, or empty
    bool burnt = false;
};

// The staged byte of the request's options is set for a disc backup.
BackupReport BackupToDisc(ViewRec* view, BackupRequest* request);
