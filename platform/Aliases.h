// Alias records: a stored reference to a file or folder that still finds it after it was
// renamed within its folder or after its disk was mounted somewhere else.
//
// The record is our own layout (all numbers big-endian, so a catalog carries it between
// machines unchanged):
//   0  'LxAl'            magic
//   4  u16 version       1
//   6  u16 size          the whole record
//   8  u8  kind          0 full (absolute path), 1 minimal (the name only)
//   9  u8  flags         bit 0: the target is a folder
//  10  u16 path length   UTF-8 bytes at offset 52
//  12  u16 mount length  how many leading bytes of the path are the volume's mount point
//  14  u16 reserved
//  16  u32 volume serial (0 when the volume has none)
//  20  u64 device        st_dev when the alias was made
//  28  u64 inode         st_ino of the target
//  36  u64 parent inode  st_ino of its folder
//  44  i64 modified      modification time of a file in nanoseconds (0 for a folder)
//  52  path (full) or name (minimal)
// Inode numbers are reused at once on Linux, so a renamed file is recognised by its inode and
// its modification time together, and only when nothing holds its old name any more.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <string>
#include <vector>

using AliasHandle = Handle;

inline constexpr OSType kAliasMagic = 'LxAl';
inline constexpr int kAliasHeaderSize = 52;

// A full alias of target. fromFile is accepted for the callers' sake; paths are absolute.
// fnfErr when the target does not exist, bdNamErr when the path cannot be held (65,535 bytes).
OSErr NewAlias(const FSSpec* fromFile, const FSSpec* target, AliasHandle* alias);
// A minimal alias: the identity of the target and its name only; it resolves inside the
// folder of fromFile, the file it was stored beside.
OSErr NewAliasMinimal(const FSSpec* target, AliasHandle* alias);

// Finds the alias's target. wasChanged is set when the target was found anywhere but at the
// stored path with the stored identity (the caller may then store a fresh alias).
// paramErr for a record that is not an alias; fnfErr when the target cannot be found.
OSErr ResolveAlias(const FSSpec* fromFile, AliasHandle alias, FSSpec* target, Boolean* wasChanged);

// The stored path (full alias) or name (minimal alias) as text; empty for a bad record.
std::string AliasStoredPath(AliasHandle alias);

// ---- the resolver itself, over an explicit list of mounted volumes ----

struct AliasVolume {
    std::string mountPath;
    UInt32 serial = 0;
};
// The mounted volumes of block devices, with their serials.
std::vector<AliasVolume> AliasMountedVolumes();
OSErr ResolveAliasWithVolumes(const FSSpec* fromFile, const void* record, long size,
                              const std::vector<AliasVolume>& volumes, FSSpec* target,
                              Boolean* wasChanged);
