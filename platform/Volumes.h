// The process-wide table behind the numbers of an FSSpec: volume references stand for mount
// points, directory ids for folder paths. Numbers are handed out on first use and stay the same
// for the life of the process; they are never stored in files.
#pragma once

#include "platform/MacTypes.h"

#include <string>
#include <string_view>

struct VolumeInfo {
    SInt16 vRefNum = 0;         // -1, -2, ... in order of first use
    std::string mountPath;      // where the volume is mounted
    std::string name;           // its label, else the last component of its mount path ("/")
    std::string device;         // the mounted source ("/dev/sda1", "tmpfs", ...)
    UInt32 serial = 0;          // from the file-system id; stable across mounts of one volume
    UInt64 deviceId = 0;        // st_dev of the mount point
};

// The volume holding an existing path (its nearest existing ancestor for one that does not
// exist yet); registers the volume on first use.
OSErr GetVolumeInfoForPath(std::string_view path, VolumeInfo* info);
OSErr GetVolumeInfo(SInt16 vRefNum, VolumeInfo* info);

// The directory id of an existing folder, registered on first use (fsRtDirID for the root of
// its volume). dirNFErr when the path is not a folder.
OSErr GetDirectoryID(std::string_view folderPath, SInt16* vRefNum, SInt32* dirID);
// The folder path of a directory id (vRefNum 0 accepts any volume for ids other than the root).
OSErr GetDirectoryPath(SInt16 vRefNum, SInt32 dirID, std::string* folderPath);

// Free bytes for an unprivileged user on the volume.
OSErr GetVolumeFreeBytes(SInt16 vRefNum, UInt64* freeBytes);
