// Burning a disc image onto a writable CD or DVD with libburn. Without a drive that takes a
// disc, or when the user asks for it, the image simply stays a file.
#pragma once

#include "output/fileactions/SafeFileMoves.h"

#include <string>
#include <vector>

struct OpticalDrive {
    std::string address;   // the device ("/dev/sr0")
    std::string name;      // vendor and product
};

// The optical drives that can write CD or DVD media (whatever disc they hold now).
std::vector<OpticalDrive> FindWritableDrives();

// Writes the image onto the blank or appendable disc in the drive as one data track; progress
// gets bytes written and the image's size, a non-zero answer cancels the burn. dirNFErr for a
// drive that cannot be opened, wrPermErr for a disc that is neither blank nor appendable,
// ioErr when the burn failed.
OSErr BurnDiscImage(const std::string& driveAddress, const std::string& imagePath, const CopyProgressProc& progress,
                    FileFailure* failure);
