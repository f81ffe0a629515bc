// Where a backup can go: the mounted volumes that take files (removable disks, other disks,
// network shares), each optical drive that can burn a disc, and a disc image kept as a file.
// The file system the system runs from is never offered, nor file systems of the kernel's own
// (proc, sysfs, ...), nor volumes mounted read-only.
#pragma once

#include "catalog/foldertree/Volumes.h"
#include "output/backup/DiscBurner.h"

#include <functional>
#include <string>
#include <vector>

struct BackupDestination {
    enum class Kind { kVolume, kDrive, kImage };
    Kind kind = Kind::kVolume;
    std::string path;    // the volume's mount point, or the drive's device; empty for an image
    std::string name;    // what the list shows: the volume's label or mount point, the drive's name
};

// The destinations in list order: volumes in mount-table order, then drives, then the image.
// readOnly tells whether a mount point takes no files (the system's answer when not given).
std::vector<BackupDestination> ListBackupDestinations(
    const VolumeTable& volumes, const std::vector<OpticalDrive>& drives,
    const std::function<bool(const std::string& mountPoint)>& readOnly = {});
