// Volumes and stored paths of the folder tree.
//
// The tree stores a folder's path with its volume part replaced by a volume key, so that a
// removable disk keeps being found wherever it is mounted now. A volume key is a letter, a TAB,
// the volume's 32-bit serial number in unsigned decimal, a TAB and its label. Keys written on
// Windows carry the drive letter; on this system a volume is a mount point and its key carries
// the placeholder letter '@'. Either kind is found again by its serial number: the FAT, exFAT
// and NTFS serials are the ones Windows reports, so catalogs made there find their disks here.
//
// Stored paths are UTF-8 here (native paths are), with "\" between components; the first
// component is the volume key followed by the folder's path inside that file system (not
// inside the mount point, so bind mounts and sub-volume mounts find the same folder). A stored
// path whose first component is not a volume key is a native path and used unchanged.
#pragma once

#include "platform/MacTypes.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct FSSpec;

inline constexpr char kMountVolumeLetter = '@';

// One mounted volume (what a drive letter was on Windows).
struct VolumeTableEntry {
    char letter = kMountVolumeLetter;
    UInt32 serial = 0;
    std::string label;       // Windows-1252
    bool valid = false;      // a serial number was found
    std::string mountPoint;  // native path where it is mounted
    std::string mountRoot;   // the folder of its file system mounted there ("/" for the whole)
    std::string device;      // the mounted source ("/dev/sdb1", "tmpfs", ...)
    std::string fsType;
    std::string mountId;     // the mount table's id of this mount (a new one for every mount)
    UInt64 deviceNumber = 0; // the device number (st_dev) of every file on this mount
};

// The volumes mounted now, in mount-table order.
struct VolumeTable {
    std::vector<VolumeTableEntry> volumes;
};

// What a probe finds out about one mounted file system.
struct VolumeIdentity {
    UInt32 serial = 0;
    std::string label;       // UTF-8, as the file system holds it
};
// Probes a mount (device, mount point, file-system type are filled in); false when nothing is
// known about it.
using VolumeProbe = std::function<bool(const VolumeTableEntry& mount, VolumeIdentity* identity)>;

// The probe the program uses: libblkid on the device (FAT/exFAT/NTFS serials as Windows reports
// them, the UUID folded to 32 bits for other file systems), else the file-system id.
bool VolumeProbeSystem(const VolumeTableEntry& mount, VolumeIdentity* identity);
// libblkid on a device or an image file.
bool VolumeProbeDevice(const std::string& devicePath, VolumeIdentity* identity);
// The 32-bit serial of a file-system UUID as libblkid spells it: "ABCD-1234" (FAT, exFAT),
// 16 hex digits (NTFS: its low 32 bits), any other UUID folded to 32 bits. 0 when none.
UInt32 VolumeSerialFromUuid(std::string_view fsType, std::string_view uuid);

// Fills the table from the text of a mount table (the format of /proc/self/mountinfo). Mounts
// hidden under a later mount at the same point are left out; pseudo file systems are kept but
// serve only paths below them.
void VolumeTableFill(VolumeTable* table, std::string_view mountInfo, const VolumeProbe& probe);
// Fills the table from the running system. What a mount was found to be is remembered for as
// long as that mount lasts, so a refresh costs one read of the mount table.
void VolumeTableRefresh(VolumeTable* table);

// ---- volume keys -------------------------------------------------------------------------

// letter TAB serial TAB label (label in Windows-1252).
std::string VolumeKeyMake(char letter, UInt32 serial, std::string_view label);
// Splits at the first two TABs; false for a text with fewer than two TABs.
bool VolumeKeyParse(std::string_view key, char* letter, UInt32* serial, std::string* label);
// The key as the folder pane shows it: "label (E:)" for a drive key with a serial, "E:" for a
// serial of 0; for a mount key the label, else where the volume is mounted now (table may be
// null), else the serial as "XXXX-XXXX".
std::string VolumeKeyDisplay(std::string_view key, const VolumeTable* table);

// ---- stored paths ------------------------------------------------------------------------

// 0: ':' separators (two or more colons, or exactly one and no backslash); 1: '\' separators;
// 2: no separator (not a usable path).
int FolderPathStyle(std::string_view text);
// ':' for style 0, '\' for style 1, 0 otherwise.
char FolderPathSeparator(int pathStyle);

// A native path to its stored form (a relative or empty path stays as it is). bdNamErr for a
// path component that holds "\", which a stored path cannot tell from a separator.
OSErr FolderNativeToStored(const VolumeTable& table, std::string_view native, std::string* stored);
// A stored path to the native path of where its volume is mounted now. A text beginning with
// "\" or whose first component is not a volume key stays as it is (0). fnfErr, with an empty
// native path, when the key's volume is not mounted or a component of the path is "." or
// ".." (such a path resolves to nothing: its items are offline).
OSErr FolderStoredToNative(const VolumeTable& table, std::string_view stored, std::string* native);
// The mounted volume a key stands for: first one with the key's letter and serial, else any
// with its serial; among several, the one whose mounted folder holds inFsPath (may be empty),
// then the one with the key's label. Null when none is mounted.
const VolumeTableEntry* VolumeTableFind(const VolumeTable& table, std::string_view key,
                                        std::string_view inFsPath);

// The mount that holds a native path now: the one with the longest mount point above it (null
// for a relative path). Read from the table only: nothing on the disk is touched.
const VolumeTableEntry* VolumeTableMountOf(const VolumeTable& table, std::string_view nativePath);

// Splits a stored path at its last separator into the folder part and the last name (a
// trailing separator is dropped first). With separator '\', a text that is a network host
// ("\\host") is all name.
void FolderSplitPath(std::string_view path, char separator, std::string* folder, std::string* name);

// The UTF-16 name of the last component of a stored path as the disk holds it; empty when the
// path cannot be found on disk. longName, when given, receives that component in UTF-8.
std::u16string FolderUnicodeNameFromDisk(const VolumeTable& table, std::string_view stored,
                                         std::string* longName = nullptr);
