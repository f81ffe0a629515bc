#include "output/optionsets/OptionSets.h"

#include "foundation/files/FileData.h"
#include "foundation/settings/AppFolders.h"
#include "foundation/settings/TypedSettings.h"
#include "foundation/text/PString.h"
#include "platform/Handles.h"
#include "platform/SafeRewrite.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

const unsigned char kOptionSetsFolder[] = "\x0BOption Sets";

std::string TypeChars(OSType type) {
    std::string s(4, ' ');
    for (int i = 0; i < 4; ++i) s[std::size_t(i)] = char((type >> (24 - 8 * i)) & 0xFF);
    return s;
}

OSErr MakeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0777) == 0) return noErr;
    if (errno == EEXIST && std::filesystem::is_directory(path)) return noErr;
    return OSErrFromErrno(errno);
}

std::string EntryPath(const FSSpec* setSpec, OSType type, SInt16 id) {
    return setSpec->path + "/" + TypeChars(type) + "/" + std::to_string(id);
}

}  // namespace

bool OptionSetNameIsValid(ConstStr255Param name) {
    if (!name || name[0] == 0) return false;
    const std::string_view s(reinterpret_cast<const char*>(name + 1), name[0]);
    if (s == "." || s == "..") return false;
    return s.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::string OptionSetKindFolderName(OptionSetKind kind) {
    // The template "[----]" with the kind's characters in reading order.
    std::string name = "[----]";
    const std::string chars = TypeChars(kind);
    std::copy(chars.begin(), chars.end(), name.begin() + 1);
    return name;
}

OSErr OpenOptionSetFile(OptionSetKind kind, ConstStr255Param name, FSSpec* outSpec, SInt32* outFolderId) {
    if (!outSpec) return paramErr;
    if (name && !OptionSetNameIsValid(name)) return bdNamErr;
    FSSpec sets;
    OSErr err = GetAppFolder(kOptionSetsFolder, kAppFolderUserData, true, &sets);
    if (err != noErr) return err;
    const std::string kindPath = sets.path + "/" + OptionSetKindFolderName(kind);
    MakeFolder(kindPath);
    if (!std::filesystem::is_directory(kindPath)) return dirNFErr;
    FSSpec kindSpec;
    err = FSMakeFSSpecFromPath(kindPath, &kindSpec);
    if (err != noErr) return err;
    CInfoPBRec pb;
    err = FSpGetCatInfo(&kindSpec, &pb);
    if (err != noErr) return err;
    if (outFolderId) *outFolderId = pb.ioDirID;
    *outSpec = kindSpec;
    if (!name) return noErr;
    const std::string setPath = kindPath + "/" + std::string(reinterpret_cast<const char*>(name + 1), name[0]);
    FSMakeFSSpecFromPath(setPath, outSpec);
    outSpec->path = setPath;
    return std::filesystem::is_directory(setPath) ? OSErr(noErr) : OSErr(fnfErr);
}

Handle ReadOptionSetResource(const FSSpec* setSpec, OSType type, SInt16 id) {
    if (!setSpec || setSpec->path.empty()) return nullptr;
    if (std::filesystem::is_directory(setSpec->path)) MakeFolder(setSpec->path + "/" + TypeChars(type));
    FSSpec entry;
    if (FSMakeFSSpecFromPath(EntryPath(setSpec, type, id), &entry) != noErr) return nullptr;
    Handle data = nullptr;
    if (LoadFileData(&entry, &data, nullptr) != noErr) {
        if (data) DisposeHandle(data);
        return nullptr;
    }
    // An empty entry file still is an entry (an empty record).
    return data ? data : NewHandle(0);
}

OSErr WriteOptionSetResource(const FSSpec* setSpec, OSType type, SInt16 id, Handle handle) {
    if (!setSpec || setSpec->path.empty()) return paramErr;
    OSErr err = MakeFolder(setSpec->path);
    if (err != noErr) return err;
    err = MakeFolder(setSpec->path + "/" + TypeChars(type));
    if (err != noErr) return err;
    const std::string path = EntryPath(setSpec, type, id);
    if (!handle) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
        return ec ? OSErrFromErrno(ec.value()) : OSErr(noErr);
    }
    FSSpec entry;
    err = FSMakeFSSpecFromPath(path, &entry);
    if (err != noErr && err != fnfErr) return err;
    entry.path = path;
    // A new file takes the old one's place only when it is whole.
    SafeRewrite rewrite;
    SafeRewriteOptions options;
    options.tempPrefix = ".lxset";
    err = rewrite.Begin(&entry, options);
    if (err != noErr) return err;
    HLock(handle);
    err = rewrite.Write(*handle, std::size_t(GetHandleSize(handle)));
    HUnlock(handle);
    if (err != noErr) return err;
    return rewrite.Commit();
}

void LoadExportSettings(const FSSpec* setSpec, Handle* outFirst, SInt16 firstId, const void* defaultRecord,
                        Size defaultSize, Handle* outSecond, SInt16 secondId, Handle* outThird, SInt16 thirdId) {
    const std::pair<Handle*, SInt16> pairs[] = {{outFirst, firstId}, {outSecond, secondId}, {outThird, thirdId}};
    for (const auto& [out, id] : pairs) {
        if (!out || id == 0) continue;
        *out = setSpec ? ReadOptionSetResource(setSpec, kOptionSetEntryType, id)
                       : LoadTypedSetting(kOptionSetEntryType, id, nullptr, 0);
    }
    if (defaultRecord && outFirst && !*outFirst) PtrToHand(defaultRecord, outFirst, defaultSize);
}

void SaveExportSettings(const FSSpec* setSpec, Handle first, SInt16 firstId, Handle second, SInt16 secondId,
                        Handle third, SInt16 thirdId) {
    const std::pair<Handle, SInt16> pairs[] = {{first, firstId}, {second, secondId}, {third, thirdId}};
    for (const auto& [h, id] : pairs) {
        if (id == 0) continue;
        if (setSpec)
            WriteOptionSetResource(setSpec, kOptionSetEntryType, id, h);
        else
            SaveTypedSetting(kOptionSetEntryType, id, h);
    }
}

OSErr ForEachOptionSet(OptionSetKind kind, Handle names) {
    if (!names) return paramErr;
    FSSpec kindSpec;
    OSErr err = OpenOptionSetFile(kind, nullptr, &kindSpec, nullptr);
    if (err != noErr) return err;
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(kindSpec.path, ec)) {
        std::string n = e.path().filename().string();
        if (!n.empty() && n[0] != '.' && e.is_directory(ec)) found.push_back(n);
    }
    std::sort(found.begin(), found.end());
    for (const std::string& n : found) {
        unsigned char record[kOptionSetNameRecordSize] = {};
        PStrFromBytes(record, n.data(), long(std::min<std::size_t>(n.size(), 255)));
        if (PtrAndHand(record, names, kOptionSetNameRecordSize) != noErr) break;
    }
    return noErr;
}

std::vector<std::string> OptionSetNames(Handle names) {
    std::vector<std::string> out;
    if (!names) return out;
    const Size count = GetHandleSize(names) / kOptionSetNameRecordSize;
    for (Size i = 0; i < count; ++i) {
        const unsigned char* r = reinterpret_cast<const unsigned char*>(*names) + i * kOptionSetNameRecordSize;
        out.emplace_back(reinterpret_cast<const char*>(r + 1), r[0]);
    }
    return out;
}

OSErr DeleteOptionSet(OptionSetKind kind, ConstStr255Param name) {
    if (!OptionSetNameIsValid(name)) return bdNamErr;
    FSSpec setSpec;
    const OSErr err = OpenOptionSetFile(kind, name, &setSpec, nullptr);
    if (err != noErr) return err;
    std::error_code ec;
    std::filesystem::remove_all(setSpec.path, ec);
    return ec ? OSErrFromErrno(ec.value()) : OSErr(noErr);
}
