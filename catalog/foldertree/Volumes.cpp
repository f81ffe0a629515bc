#include "catalog/foldertree/Volumes.h"

#include "foundation/text/Unicode.h"
#include "platform/Files.h"

#include <blkid/blkid.h>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/statfs.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <vector>

namespace {

// Mount-table fields escape blanks, TABs, newlines and backslashes as \ooo.
std::string UnescapeMountField(std::string_view field) {
    auto isOct = [](char c) { return c >= '0' && c <= '7'; };
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOct(field[i + 1]) && isOct(field[i + 2]) &&
            isOct(field[i + 3])) {
            out.push_back(char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                               (field[i + 3] - '0')));
            i += 3;
            continue;
        }
        out.push_back(field[i]);
    }
    return out;
}

std::vector<std::string_view> SplitBlanks(std::string_view line) {
    std::vector<std::string_view> parts;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i > start) parts.push_back(line.substr(start, i - start));
    }
    return parts;
}

// True when path equals prefix or lies below it (prefix "/" holds every absolute path).
bool PathHolds(std::string_view prefix, std::string_view path) {
    if (prefix == "/") return !path.empty() && path[0] == '/';
    if (path.size() < prefix.size() || path.compare(0, prefix.size(), prefix) != 0) return false;
    return path.size() == prefix.size() || path[prefix.size()] == '/';
}

// The part of path below prefix, beginning with "/" ("/" when they are equal).
std::string PathBelow(std::string_view prefix, std::string_view path) {
    if (prefix == "/") return std::string(path);
    std::string rest(path.substr(prefix.size()));
    return rest.empty() ? std::string("/") : rest;
}

std::string JoinFsPath(std::string_view root, std::string_view below) {
    if (root == "/" || root.empty()) return std::string(below);
    if (below == "/") return std::string(root);
    return std::string(root) + std::string(below);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

UInt32 Fnv1a32(std::string_view text) {
    UInt32 h = 2166136261u;
    for (unsigned char c : text) {
        h ^= c;
        h *= 16777619u;
    }
    return h;
}

bool ProbeWithCache(const std::string& device, VolumeIdentity* identity) {
    blkid_cache cache = nullptr;
    if (blkid_get_cache(&cache, nullptr) != 0) return false;
    char* uuid = blkid_get_tag_value(cache, "UUID", device.c_str());
    char* label = blkid_get_tag_value(cache, "LABEL", device.c_str());
    char* type = blkid_get_tag_value(cache, "TYPE", device.c_str());
    bool ok = false;
    if (uuid) {
        identity->serial = VolumeSerialFromUuid(type ? type : "", uuid);
        identity->label = label ? label : "";
        ok = identity->serial != 0;
    }
    free(uuid);
    free(label);
    free(type);
    blkid_put_cache(cache);
    return ok;
}

// The udev links name every file system by UUID and label and can be read by anyone.
bool ProbeWithDiskLinks(const std::string& device, VolumeIdentity* identity) {
    char resolved[4096];
    if (!realpath(device.c_str(), resolved)) return false;
    auto findLink = [&](const char* folder, std::string* name) {
        std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder), closedir);
        if (!dir) return false;
        while (dirent* e = readdir(dir.get())) {
            if (e->d_name[0] == '.') continue;
            std::string link = std::string(folder) + "/" + e->d_name;
            char target[4096];
            if (realpath(link.c_str(), target) && std::strcmp(target, resolved) == 0) {
                *name = e->d_name;
                return true;
            }
        }
        return false;
    };
    std::string uuid, label;
    if (!findLink("/dev/disk/by-uuid", &uuid)) return false;
    if (findLink("/dev/disk/by-label", &label)) {
        // Link names escape characters outside a safe set as \xHH.
        std::string plain;
        for (size_t i = 0; i < label.size(); ++i) {
            if (label[i] == '\\' && i + 3 < label.size() && label[i + 1] == 'x' &&
                HexValue(label[i + 2]) >= 0 && HexValue(label[i + 3]) >= 0) {
                plain.push_back(char(HexValue(label[i + 2]) * 16 + HexValue(label[i + 3])));
                i += 3;
            } else {
                plain.push_back(label[i]);
            }
        }
        identity->label = plain;
    }
    identity->serial = VolumeSerialFromUuid("", uuid);
    return identity->serial != 0;
}

}  // namespace

UInt32 VolumeSerialFromUuid(std::string_view fsType, std::string_view uuid) {
    std::string hex;
    for (char c : uuid) {
        if (HexValue(c) >= 0)
            hex.push_back(c);
        else if (c != '-')
            return 0;
    }
    if (hex.empty()) return 0;
    auto word = [&](size_t at, size_t n) {
        UInt32 v = 0;
        for (size_t i = at; i < at + n && i < hex.size(); ++i) v = (v << 4) | UInt32(HexValue(hex[i]));
        return v;
    };
    // FAT and exFAT: the 8-digit serial itself. NTFS: 16 digits, Windows shows the low half.
    if (hex.size() <= 8) return word(0, hex.size());
    if (hex.size() == 16 && uuid.find('-') == std::string_view::npos) return word(8, 8);
    UInt32 folded = 0;
    for (size_t at = 0; at < hex.size(); at += 8) folded ^= word(at, std::min<size_t>(8, hex.size() - at));
    return folded;
}

bool VolumeProbeDevice(const std::string& devicePath, VolumeIdentity* identity) {
    blkid_probe pr = blkid_new_probe_from_filename(devicePath.c_str());
    if (!pr) return false;
    blkid_probe_enable_superblocks(pr, 1);
    blkid_probe_set_superblocks_flags(pr, BLKID_SUBLKS_LABEL | BLKID_SUBLKS_UUID | BLKID_SUBLKS_TYPE);
    bool ok = false;
    if (blkid_do_safeprobe(pr) == 0) {
        const char* uuid = nullptr;
        const char* label = nullptr;
        const char* type = nullptr;
        blkid_probe_lookup_value(pr, "TYPE", &type, nullptr);
        if (blkid_probe_lookup_value(pr, "UUID", &uuid, nullptr) == 0 && uuid) {
            identity->serial = VolumeSerialFromUuid(type ? type : "", uuid);
            ok = identity->serial != 0;
        }
        if (blkid_probe_lookup_value(pr, "LABEL", &label, nullptr) == 0 && label)
            identity->label = label;
        else
            identity->label.clear();
    }
    blkid_free_probe(pr);
    return ok;
}

bool VolumeProbeSystem(const VolumeTableEntry& mount, VolumeIdentity* identity) {
    const std::string& device = mount.device;
    const std::string& mountPoint = mount.mountPoint;
    const std::string& fsType = mount.fsType;
    if (device.rfind("/dev/", 0) == 0) {
        if (VolumeProbeDevice(device, identity)) return true;
        if (ProbeWithCache(device, identity)) return true;
        if (ProbeWithDiskLinks(device, identity)) return true;
    }
    identity->label.clear();
    struct statfs sfs{};
    if (statfs(mountPoint.c_str(), &sfs) == 0) {
        int words[2];
        std::memcpy(words, &sfs.f_fsid, sizeof(words));
        UInt32 id = UInt32(words[0]) ^ UInt32(words[1]);
        if (id != 0) {
            identity->serial = id;
            return true;
        }
    }
    // Nothing names this file system; its source and place stand for it on this machine.
    identity->serial = Fnv1a32(device + "|" + fsType + "|" + mountPoint);
    if (identity->serial == 0) identity->serial = 1;
    return true;
}

void VolumeTableFill(VolumeTable* table, std::string_view mountInfo, const VolumeProbe& probe) {
    table->volumes.clear();
    size_t at = 0;
    while (at < mountInfo.size()) {
        size_t end = mountInfo.find('\n', at);
        if (end == std::string_view::npos) end = mountInfo.size();
        std::string_view line = mountInfo.substr(at, end - at);
        at = end + 1;
        std::vector<std::string_view> f = SplitBlanks(line);
        // id parent major:minor root mountpoint options [optional...] - fstype source superoptions
        auto dash = std::find(f.begin(), f.end(), std::string_view("-"));
        if (f.size() < 6 || dash == f.end() || f.end() - dash < 3 || dash - f.begin() < 6) continue;
        VolumeTableEntry v;
        v.mountId = std::string(f[0]) + " " + std::string(f[2]);
        if (unsigned major = 0, minor = 0; std::sscanf(std::string(f[2]).c_str(), "%u:%u", &major, &minor) == 2)
            v.deviceNumber = UInt64(makedev(major, minor));
        v.mountRoot = UnescapeMountField(f[3]);
        v.mountPoint = UnescapeMountField(f[4]);
        v.fsType = UnescapeMountField(*(dash + 1));
        v.device = UnescapeMountField(*(dash + 2));
        if (v.mountPoint.empty() || v.mountPoint[0] != '/') continue;
        // A later mount at the same point hides the earlier one.
        table->volumes.erase(std::remove_if(table->volumes.begin(), table->volumes.end(),
                                            [&](const VolumeTableEntry& o) {
                                                return o.mountPoint == v.mountPoint;
                                            }),
                             table->volumes.end());
        VolumeIdentity id;
        if (probe && probe(v, &id) && id.serial != 0) {
            v.serial = id.serial;
            v.label = Utf8ToAnsi(id.label);
            // A TAB would end the label's part of a key early.
            std::replace(v.label.begin(), v.label.end(), '\t', ' ');
            v.valid = true;
        }
        table->volumes.push_back(std::move(v));
    }
}

void VolumeTableRefresh(VolumeTable* table) {
    std::ifstream in("/proc/self/mountinfo");
    std::stringstream text;
    text << in.rdbuf();
    // A mount keeps its identity until it is unmounted; a new mount gets a new id, so a disk
    // swapped under the same device name is probed afresh.
    static std::mutex cacheLock;
    static std::map<std::string, std::pair<bool, VolumeIdentity>> cache;
    VolumeTableFill(table, text.str(), [](const VolumeTableEntry& mount, VolumeIdentity* id) {
        const std::string key = mount.mountId + "|" + mount.device + "|" + mount.mountPoint;
        {
            std::lock_guard<std::mutex> lock(cacheLock);
            auto it = cache.find(key);
            if (it != cache.end()) {
                *id = it->second.second;
                return it->second.first;
            }
        }
        bool ok = VolumeProbeSystem(mount, id);
        std::lock_guard<std::mutex> lock(cacheLock);
        if (cache.size() > 4096) cache.clear();
        cache[key] = {ok, *id};
        return ok;
    });
}

// ---- volume keys ---------------------------------------------------------------------------

std::string VolumeKeyMake(char letter, UInt32 serial, std::string_view label) {
    std::string key(1, letter);
    key += '\t';
    key += std::to_string(serial);
    key += '\t';
    key += label;
    return key;
}

bool VolumeKeyParse(std::string_view key, char* letter, UInt32* serial, std::string* label) {
    size_t tab1 = key.find('\t');
    if (tab1 == std::string_view::npos) return false;
    size_t tab2 = key.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos) return false;
    UInt32 value = 0;
    for (size_t i = tab1 + 1; i < tab2 && key[i] >= '0' && key[i] <= '9'; ++i)
        value = value * 10 + UInt32(key[i] - '0');
    if (letter) *letter = key.empty() ? 0 : key[0];
    if (serial) *serial = value;
    if (label) *label = std::string(key.substr(tab2 + 1));
    return true;
}

std::string VolumeKeyDisplay(std::string_view key, const VolumeTable* table) {
    char letter = 0;
    UInt32 serial = 0;
    std::string label;
    if (!VolumeKeyParse(key, &letter, &serial, &label)) return std::string(key);
    if (letter != kMountVolumeLetter) {
        if (serial == 0) return std::string(1, letter) + ":";
        return label + " (" + std::string(1, letter) + ":)";
    }
    if (!label.empty()) return label;
    if (table) {
        if (const VolumeTableEntry* v = VolumeTableFind(*table, key, ""))
            return Utf8ToAnsi(v->mountPoint);
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "%04X-%04X", unsigned(serial >> 16), unsigned(serial & 0xFFFF));
    return hex;
}

// ---- stored paths --------------------------------------------------------------------------

int FolderPathStyle(std::string_view text) {
    size_t colons = std::count(text.begin(), text.end(), ':');
    size_t backslashes = std::count(text.begin(), text.end(), '\\');
    if (colons >= 2) return 0;
    if (backslashes > 0) return 1;
    if (colons == 1) return 0;
    return 2;
}

char FolderPathSeparator(int pathStyle) {
    if (pathStyle == 0) return ':';
    if (pathStyle == 1) return '\\';
    return 0;
}

const VolumeTableEntry* VolumeTableFind(const VolumeTable& table, std::string_view key,
                                        std::string_view inFsPath) {
    char letter = 0;
    UInt32 serial = 0;
    std::string label;
    if (!VolumeKeyParse(key, &letter, &serial, &label)) return nullptr;
    // The label part of a stored key is UTF-8 here; the table holds Windows-1252.
    std::string labelAnsi = Utf8ToAnsi(label);
    const VolumeTableEntry* best = nullptr;
    int bestScore = -1;
    for (const VolumeTableEntry& v : table.volumes) {
        if (!v.valid || v.serial != serial) continue;
        int score = 0;
        if (inFsPath.empty() || PathHolds(v.mountRoot, inFsPath)) score += 4;
        if (v.letter == letter) score += 2;
        if (v.label == labelAnsi || v.label == label) score += 1;
        if (score > bestScore) {
            best = &v;
            bestScore = score;
        }
    }
    return best;
}

const VolumeTableEntry* VolumeTableMountOf(const VolumeTable& table, std::string_view nativePath) {
    if (nativePath.empty() || nativePath[0] != '/') return nullptr;
    const VolumeTableEntry* best = nullptr;
    for (const VolumeTableEntry& v : table.volumes) {
        if (PathHolds(v.mountPoint, nativePath) && (!best || v.mountPoint.size() >= best->mountPoint.size()))
            best = &v;
    }
    return best;
}

OSErr FolderNativeToStored(const VolumeTable& table, std::string_view native, std::string* stored) {
    if (native.empty() || native[0] != '/') {
        *stored = std::string(native);
        return noErr;
    }
    std::string path(native);
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const VolumeTableEntry* best = nullptr;
    for (const VolumeTableEntry& v : table.volumes) {
        if (PathHolds(v.mountPoint, path) && (!best || v.mountPoint.size() >= best->mountPoint.size()))
            best = &v;
    }
    if (!best || !best->valid) {
        *stored = path;
        return noErr;
    }
    std::string inFs = JoinFsPath(best->mountRoot, PathBelow(best->mountPoint, path));
    if (inFs.find('\\') != std::string::npos) return bdNamErr;
    std::string result = AnsiToUtf8(VolumeKeyMake(best->letter, best->serial, best->label));
    if (inFs != "/") {
        for (char c : inFs) result.push_back(c == '/' ? '\\' : c);
    }
    *stored = std::move(result);
    return noErr;
}

OSErr FolderStoredToNative(const VolumeTable& table, std::string_view stored, std::string* native) {
    // A stored path never climbs: one holding "." or ".." would let a damaged or crafted catalog
    // point its items (and the moves, renames and write-backs made on them) anywhere.
    if (PathHasDotComponent(stored, '\\') || PathHasDotComponent(stored, '/')) {
        native->clear();
        return fnfErr;
    }
    if (stored.empty() || stored[0] == '\\') {
        *native = std::string(stored);
        return noErr;
    }
    size_t cut = stored.find('\\');
    std::string_view first = stored.substr(0, cut);
    std::string_view rest = cut == std::string_view::npos ? std::string_view() : stored.substr(cut);
    if (!VolumeKeyParse(first, nullptr, nullptr, nullptr)) {
        *native = std::string(stored);
        return noErr;
    }
    std::string inFs;
    for (char c : rest) inFs.push_back(c == '\\' ? '/' : c);
    while (inFs.size() > 1 && inFs.back() == '/') inFs.pop_back();
    if (inFs.empty()) inFs = "/";
    const VolumeTableEntry* v = VolumeTableFind(table, first, inFs);
    if (!v || !PathHolds(v->mountRoot, inFs)) {
        native->clear();
        return fnfErr;
    }
    std::string below = PathBelow(v->mountRoot, inFs);
    if (v->mountPoint == "/")
        *native = below;
    else
        *native = below == "/" ? v->mountPoint : v->mountPoint + below;
    return noErr;
}

void FolderSplitPath(std::string_view path, char separator, std::string* folder, std::string* name) {
    std::string_view p = path;
    size_t pos = separator ? p.rfind(separator) : std::string_view::npos;
    if (pos != std::string_view::npos && pos + 1 == p.size()) {
        p.remove_suffix(1);
        pos = p.rfind(separator);
    }
    if (pos == std::string_view::npos) {
        *folder = "";
        *name = std::string(p);
        return;
    }
    if (separator == '\\' && pos == 1 && p[0] == '\\') {
        *folder = "";
        *name = std::string(p);
        return;
    }
    *folder = std::string(p.substr(0, pos));
    *name = std::string(p.substr(pos + 1));
}

std::u16string FolderUnicodeNameFromDisk(const VolumeTable& table, std::string_view stored,
                                         std::string* longName) {
    std::string native;
    if (FolderStoredToNative(table, stored, &native) != noErr || native.empty() || native[0] != '/')
        return {};
    struct stat st{};
    if (lstat(native.c_str(), &st) != 0) return {};
    std::string last = native;
    if (last != "/") {
        size_t slash = last.rfind('/');
        last = last.substr(slash + 1);
    }
    if (longName) *longName = last;
    return Utf8ToUtf16(last);
}
