// The places a backup may go: volumes that take files, drives that burn discs, and an image file.
#include "output/backup/BackupDestinations.h"

#include "foundation/resources/ResourceStrings.h"

#include <gtest/gtest.h>

TEST(BackupDestinationsTest, OnlyVolumesThatTakeFilesThenDrivesThenTheImage) {
    SetResourceModule(GetBuiltInResourceModule("en"));
    const char* mountInfo =
        "20 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
        "21 20 0:5 / /proc rw - proc proc rw\n"
        "22 20 0:6 / /tmp rw - tmpfs tmpfs rw\n"
        "23 20 8:2 / /boot rw - ext4 /dev/sda2 rw\n"
        "24 20 8:17 / /media/u/STICK rw - vfat /dev/sdb1 rw\n"
        "25 20 8:33 / /media/u/CDROM ro - iso9660 /dev/sr1 ro\n"
        "26 20 8:49 / /home rw - ext4 /dev/sdc1 rw\n";
    VolumeTable table;
    VolumeTableFill(&table, mountInfo, [](const VolumeTableEntry& mount, VolumeIdentity* id) {
        if (mount.device != "/dev/sdb1") return false;
        id->serial = 0x1234ABCD;
        id->label = "STICK";
        return true;
    });
    const std::vector<OpticalDrive> drives = {{"/dev/sr0", "ACME Writer"}};
    const auto list = ListBackupDestinations(table, drives, [](const std::string& mountPoint) {
        return mountPoint == "/media/u/CDROM";   // a pressed disc takes no files
    });
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].path, "/media/u/STICK");
    EXPECT_EQ(list[0].name, "STICK (/media/u/STICK)");
    EXPECT_EQ(list[1].path, "/home");
    EXPECT_EQ(list[1].name, "/home");
    EXPECT_EQ(list[2].kind, BackupDestination::Kind::kDrive);
    EXPECT_EQ(list[2].name, "ACME Writer (/dev/sr0)");
    EXPECT_EQ(list[3].kind, BackupDestination::Kind::kImage);
    EXPECT_EQ(list[3].name, "Disc image file");
    SetResourceModule(nullptr);
}
