#include "app/CatalogSearch.h"

#include "catalog/file/CatalogRec.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/format/DateFormat.h"
#include "foundation/settings/TypedSettings.h"
#include "platform/Files.h"
#include "platform/MacDates.h"
#include "foundation/text/Unicode.h"
#include "platform/Handles.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <utility>

namespace {

// Kernel file systems with nothing of the user's: never entered.
bool IsPseudoFileSystem(const std::string& path) {
    struct statfs fs{};
    if (statfs(path.c_str(), &fs) != 0) return true;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x9fa0:      // proc
    case 0x62656572:  // sysfs
    case 0x1cd1:      // devpts
    case 0x27e0eb:    // cgroup
    case 0x63677270:  // cgroup2
    case 0x64626720:  // debugfs
    case 0x73636673:  // securityfs
    case 0x74726163:  // tracefs
    case 0x6e736673:  // nsfs
    case 0xcafe4a11:  // bpf
    case 0x42494e4d:  // binfmt_misc
        return true;
    default:
        return false;
    }
}

bool HasCatalogExtension(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext == ".lxc";
}

struct Walk {
    const std::function<void(const FoundCatalog&)>& found;
    const std::atomic<bool>& stop;
    std::set<std::pair<dev_t, ino_t>> visited;

    bool Folder(const std::string& path) {
        struct stat st{};
        if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return true;
        if (!visited.insert({st.st_dev, st.st_ino}).second) return true;  // met before: a loop
        if (IsPseudoFileSystem(path)) return true;
        DIR* dir = opendir(path.c_str());
        if (!dir) return true;
        std::vector<std::string> files, folders;
        while (dirent* e = readdir(dir)) {
            const std::string name = e->d_name;
            if (name.empty() || name[0] == '.') continue;  // hidden, ".", ".."
            const std::string full = path == "/" ? "/" + name : path + "/" + name;
            struct stat s{};
            if (stat(full.c_str(), &s) != 0) continue;  // a broken link
            if (S_ISDIR(s.st_mode))
                folders.push_back(full);
            else if (S_ISREG(s.st_mode) && HasCatalogExtension(name))
                files.push_back(name);
        }
        closedir(dir);
        std::sort(files.begin(), files.end());
        std::sort(folders.begin(), folders.end());
        for (const std::string& name : files) {
            if (stop.load()) return false;
            found(FoundCatalog{name, path == "/" ? "/" + name : path + "/" + name});
        }
        for (const std::string& folder : folders) {
            if (stop.load()) return false;
            if (!Folder(folder)) return false;
        }
        return true;
    }
};

void PutU32(std::vector<UInt8>* out, UInt32 v) {
    const auto* b = reinterpret_cast<const UInt8*>(&v);
    out->insert(out->end(), b, b + 4);
}

void PutText(std::vector<UInt8>* out, const std::string& utf8) {
    std::u16string text = Utf8ToUtf16(utf8);
    text.push_back(u'\0');
    PutU32(out, UInt32(text.size() * 2));
    const auto* b = reinterpret_cast<const UInt8*>(text.data());
    out->insert(out->end(), b, b + text.size() * 2);
}

struct Reader {
    const std::vector<UInt8>& bytes;
    std::size_t at = 0;
    bool U32(UInt32* v) {
        if (bytes.size() - at < 4) return false;
        std::memcpy(v, bytes.data() + at, 4);
        at += 4;
        return true;
    }
    bool Text(std::string* utf8) {
        UInt32 n = 0;
        if (!U32(&n) || n < 2 || n % 2 || bytes.size() - at < n) return false;
        std::u16string text(n / 2, u'\0');
        std::memcpy(text.data(), bytes.data() + at, n);
        at += n;
        if (text.back() != u'\0') return false;
        text.pop_back();
        *utf8 = Utf16ToUtf8(text);
        return true;
    }
};

}  // namespace

bool SearchForCatalogs(const std::string& root, const std::function<void(const FoundCatalog&)>& found,
                       const std::atomic<bool>& stop) {
    Walk walk{found, stop, {}};
    std::string start = root;
    while (start.size() > 1 && start.back() == '/') start.pop_back();
    return walk.Folder(start) && !stop.load();
}

std::vector<UInt8> EncodeCatalogSearchResult(const CatalogSearchResult& result) {
    std::vector<UInt8> out;
    PutText(&out, result.volume);
    PutU32(&out, UInt32(result.rows.size()));
    for (const FoundCatalog& row : result.rows) {
        PutText(&out, row.name);
        PutText(&out, row.path);
    }
    return out;
}

bool DecodeCatalogSearchResult(const std::vector<UInt8>& bytes, CatalogSearchResult* out) {
    Reader r{bytes};
    CatalogSearchResult result;
    UInt32 count = 0;
    if (!r.Text(&result.volume) || !r.U32(&count)) return false;
    // Each row takes at least 12 bytes: a count beyond what is there is damage, not a result.
    if (count > (bytes.size() - r.at) / 12) return false;
    for (UInt32 i = 0; i < count; ++i) {
        FoundCatalog row;
        if (!r.Text(&row.name) || !r.Text(&row.path)) return false;
        result.rows.push_back(std::move(row));
    }
    if (r.at != bytes.size()) return false;
    *out = std::move(result);
    return true;
}

bool LoadCatalogSearchResult(CatalogSearchResult* out) {
    Handle h = LoadTypedSetting(kCatalogSearchSettingType, kCatalogSearchSettingIndex, nullptr, 0);
    if (!h) return false;
    std::vector<UInt8> bytes(std::size_t(GetHandleSize(h)));
    if (!bytes.empty()) std::memcpy(bytes.data(), *h, bytes.size());
    DisposeHandle(h);
    return DecodeCatalogSearchResult(bytes, out);
}

void SaveCatalogSearchResult(const CatalogSearchResult& result) {
    const std::vector<UInt8> bytes = EncodeCatalogSearchResult(result);
    Handle h = nullptr;
    if (PtrToHand(bytes.data(), &h, Size(bytes.size())) != noErr || !h) return;
    SaveTypedSetting(kCatalogSearchSettingType, kCatalogSearchSettingIndex, h);
    DisposeHandle(h);
}

bool ReadCatalogSummary(const std::string& path, SInt16 width, SInt16 height, CatalogSummary* out) {
    FSSpec spec;
    if (FSMakeFSSpecFromPath(path, &spec) != noErr) return false;
    CatalogRec* catalog = nullptr;
    // No work file and no password procedure: a look at the file that changes nothing.
    if (CatalogOpen(&catalog, &spec, nullptr, nullptr, nullptr, nullptr, 0) != noErr || !catalog) return false;
    out->items = catalog->itemCount;
    Str255 info;
    CatalogGetInfoText(catalog, info);
    out->comments.assign(reinterpret_cast<const char*>(info + 1), info[0]);
    if (catalog->itemCount > 0) out->preview = ItemGetThumbnailPicture(catalog, &catalog->entries[0], width, height);
    CatalogClose(catalog, false);
    struct stat st{};
    if (stat(path.c_str(), &st) == 0) {
        Str255 date;
        FormatDateTime(date, UInt32(UnixToLocalMacSeconds(st.st_mtime)), true, true, false);
        out->savedOn.assign(reinterpret_cast<const char*>(date + 1), date[0]);
    }
    return true;
}
