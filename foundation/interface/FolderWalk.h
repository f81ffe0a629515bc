// A recursive walk over a folder with a callback per entry and, optionally, one per folder.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <cstdint>
#include <set>
#include <string>
#include <utility>

// The callbacks set the quit flag to end the walk or to keep it out of a folder.
enum : UInt8 {
    kWalkContinue = 0,
    kWalkQuit = 1,         // end the whole walk
    kWalkSkipFolder = 2,   // do not enter the entry just reported
};

// Per entry: the depth (1 for entries of the start folder), the entry's catalog information
// (its full path in pb->path), the quit flag and the caller's data.
using FolderEntryProc = void (*)(UInt16 depth, CInfoPBRec* pb, UInt8* quitFlag, void* userData);
// On entering each folder (the start folder included): its spec; the answer is the folder value
// held while that folder is walked.
using FolderEnterProc = UInt32 (*)(const FSSpec* folder, UInt8* quitFlag, void* userData);

struct FolderIterState {
    FolderEntryProc entryProc = nullptr;
    CInfoPBRec pb;                   // the entry being reported
    std::string path;                // the folder being walked
    OSErr result = noErr;
    UInt8 quitFlag = 0;
    UInt16 maxDepth = 0;             // 0: unlimited
    UInt16 depth = 0;
    void* userData = nullptr;
    FolderEnterProc folderProc = nullptr;
    UInt32 folderValue = 0;          // what folderProc answered for the folder being walked
    SInt16 vRefNum = 0;
    // Folders already walked (device, inode): a folder reached again through a symbolic link
    // is reported but not entered, so link loops end.
    std::set<std::pair<std::uint64_t, std::uint64_t>> visited;
};

// Walks the folder path (when empty, the folder (vRefNum, folderId) of the directory table).
// Entries come in byte order of their names, "." and ".." never. A folder entry is entered when
// the quit flag is 0 after its callback; a flag of 2 is reset after a folder entry; 1 ends the
// walk at every level. Symbolic links to folders are followed, each folder at most once.
// Answers 1 when the start folder cannot be listed, -1 when a listing ends in an error, else 0.
OSErr StartFolderIteration(SInt16 vRefNum, SInt32 folderId, const std::string& path, UInt16 maxDepth,
                           FolderEntryProc entryProc, void* userData, FolderEnterProc folderProc,
                           FolderIterState* state);
