#include "foundation/interface/FolderWalk.h"

#include "foundation/files/FileMoves.h"
#include "platform/Volumes.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace {

// Reads the names of a folder in byte order; false (errno kept) when it cannot be listed or
// the listing breaks off.
bool ListFolder(const std::string& path, std::vector<std::string>* names, bool* opened) {
    *opened = false;
    DIR* dir = opendir(path.c_str());
    if (!dir) return false;
    *opened = true;
    bool ok = true;
    for (;;) {
        errno = 0;
        dirent* e = readdir(dir);
        if (!e) {
            if (errno) ok = false;
            break;
        }
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        names->emplace_back(e->d_name);
    }
    closedir(dir);
    std::sort(names->begin(), names->end());
    return ok;
}

bool MarkVisited(FolderIterState* s, const std::string& path) {
    struct stat st{};
    if (stat(path.c_str(), &st) != 0) return false;
    return s->visited.emplace(std::uint64_t(st.st_dev), std::uint64_t(st.st_ino)).second;
}

void IterateFolderLevel(FolderIterState* s) {
    UInt32 savedValue = s->folderValue;
    if (s->folderProc) {
        FSSpec spec;
        FSMakeFSSpecFromPath(s->path, &spec);
        s->folderValue = s->folderProc(&spec, &s->quitFlag, s->userData);
    }
    struct Restore {
        FolderIterState* s;
        UInt32 value;
        ~Restore() { s->folderValue = value; }
    } restore{s, savedValue};
    if (s->quitFlag == kWalkQuit) return;

    if (s->maxDepth != 0 && s->depth >= s->maxDepth) return;
    std::vector<std::string> names;
    bool opened = false;
    bool complete = ListFolder(s->path, &names, &opened);
    if (!opened) {
        s->result = 1;
        return;
    }
    ++s->depth;
    const std::string folder = s->path;
    for (const std::string& name : names) {
        if (FindDataToFileInfo(folder, name, &s->pb) != noErr) continue;   // gone meanwhile
        s->pb.ioVRefNum = s->vRefNum ? s->vRefNum : s->pb.ioVRefNum;
        s->result = noErr;
        s->entryProc(s->depth, &s->pb, &s->quitFlag, s->userData);
        if (s->quitFlag == kWalkQuit) break;
        if (s->pb.ioFlAttrib & kioFlAttribDirMask) {
            if (s->quitFlag == kWalkContinue && MarkVisited(s, s->pb.path)) {
                s->path = s->pb.path;
                IterateFolderLevel(s);
                s->path = folder;
                if (s->quitFlag == kWalkQuit) break;
            }
            if (s->quitFlag == kWalkSkipFolder) s->quitFlag = kWalkContinue;
        }
    }
    if (s->quitFlag != kWalkQuit) s->result = complete ? OSErr(noErr) : OSErr(-1);
    --s->depth;
}

}  // namespace

OSErr StartFolderIteration(SInt16 vRefNum, SInt32 folderId, const std::string& path, UInt16 maxDepth,
                           FolderEntryProc entryProc, void* userData, FolderEnterProc folderProc,
                           FolderIterState* state) {
    if (!state || !entryProc) return paramErr;
    *state = FolderIterState{};
    state->entryProc = entryProc;
    state->userData = userData;
    state->folderProc = folderProc;
    state->maxDepth = maxDepth;
    state->vRefNum = vRefNum;
    if (!path.empty()) {
        state->path = NormalizeNativePath(path);
    } else if (GetDirectoryPath(vRefNum, folderId, &state->path) != noErr) {
        state->result = 1;
        return state->result;
    }
    MarkVisited(state, state->path);
    IterateFolderLevel(state);
    return state->result;
}
