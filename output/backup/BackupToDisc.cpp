#include "output/backup/BackupToDisc.h"

#include "catalog/foldertree/FolderTreeOps.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/save/CatalogSave.h"
#include "foundation/files/FileMoves.h"
#include "foundation/files/SideFiles.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/Unicode.h"
#include "output/backup/BackupLayout.h"
#include "output/backup/DiscBurner.h"
#include "output/backup/DiscImage.h"
#include "platform/UiHooks.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewLayout.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

enum : int {
    kAlertFilesMissing = 61,
    kAlertNoDestination = 62,
    kAlertNotAdded = 63,
    kAlertNotSaved = 64,
    kAlertIoError = 65,
};

struct Source {
    UInt32 id = 0;
    FSSpec file;
};

// The progress window of one backup: a title, steps, and the cancel it reports.
class Progress {
public:
    Progress(long total, const char* title) : total_(total) {
        GetUiHooks().ProgressOpen(0, total, title);
    }
    ~Progress() { GetUiHooks().ProgressEnd(); }
    OSErr Step() {
        ++done_;
        return GetUiHooks().ProgressUpdate(&done_, nullptr, nullptr, nullptr) == userCanceledErr ? OSErr(userCanceledErr)
                                                                                                : OSErr(noErr);
    }
    OSErr Text(const std::string& line) {
        return GetUiHooks().ProgressUpdate(nullptr, &line, nullptr, nullptr) == userCanceledErr ? OSErr(userCanceledErr)
                                                                                               : OSErr(noErr);
    }
    // Bytes of a long step (a copy, the image, the burn) only pump the window.
    CopyProgressProc Pump() const {
        return [](SInt64 done, SInt64 total) -> OSErr {
            return GetUiHooks().ProgressFraction(1, total > 0 ? double(done) / double(total) : 1.0) == userCanceledErr
                       ? OSErr(userCanceledErr)
                       : OSErr(noErr);
        };
    }

private:
    long total_;
    long done_ = 0;
};

BackupReport& Failed(BackupReport& r, OSErr err, int alert, const std::string& path) {
    r.err = err;
    // A cancel ends the backup without a word.
    r.alert = err == userCanceledErr ? 0 : alert;
    r.failure = {err, path};
    return r;
}

std::string Join(const std::string& folder, const std::string& rel) {
    return folder.back() == '/' ? folder + rel : folder + "/" + rel;
}
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Copies a media file (and its side files) to target, never over an existing file: a taken
// name gets a number. *placed is where it went.
OSErr CopyWithoutReplacing(const FSSpec& source, const std::string& target, const CopyProgressProc& progress,
                           std::string* placed, FileFailure* failure) {
    if (OSErr err = CreateDirectoryPath(FolderOf(target))) {
        failure->err = err;
        failure->path = FolderOf(target);
        return err;
    }
    const std::string folder = FolderOf(target);
    const std::string name = target.substr(target.rfind('/') + 1);
    for (int n = 0; n < 10000; ++n) {
        FSSpec to;
        to.path = n == 0 ? target : Join(folder, NumberedName(name, n));
        const OSErr err = CopyMediaFile(source, to, false, progress, failure);
        if (err == dupFNErr) continue;
        if (err == noErr) *placed = to.path;
        return err;
    }
    failure->err = dupFNErr;
    failure->path = target;
    return dupFNErr;
}

// Gathers a media file and its side files for a disc: a hard link where the file system allows
// one (nothing is copied), else a copy.
OSErr Gather(const FSSpec& source, const std::string& target, const CopyProgressProc& progress, FileFailure* failure) {
    if (OSErr err = CreateDirectoryPath(FolderOf(target))) {
        failure->err = err;
        failure->path = FolderOf(target);
        return err;
    }
    std::vector<std::pair<FSSpec, std::string>> steps;
    for (const FSSpec& side : FindMediaSideFiles(source))
        steps.push_back({side, Join(FolderOf(target), MediaSideFileName(FSSpecName(side), target.substr(target.rfind('/') + 1)))});
    steps.push_back({source, target});
    for (const auto& [from, to] : steps) {
        if (link(from.path.c_str(), to.c_str()) == 0) continue;
        FSSpec t;
        t.path = to;
        if (OSErr err = CopyFileSafely(from, t, false, progress, failure)) return err;
    }
    return noErr;
}

// The catalog's own file, copied into folder; its answer and where it went.
OSErr CopyCatalogFile(CatalogRec* catalog, const std::string& folder, const CopyProgressProc& progress,
                      std::string* placed, FileFailure* failure) {
    FSSpec spec;
    if (!CatalogGetFileSpec(catalog, &spec, nullptr)) {
        failure->err = fnfErr;
        return fnfErr;
    }
    const std::string name = FSSpecName(spec);
    for (int n = 0; n < 10000; ++n) {
        FSSpec to;
        to.path = Join(folder, n == 0 ? name : NumberedName(name, n));
        const OSErr err = CopyFileSafely(spec, to, false, progress, failure);
        if (err == dupFNErr) continue;
        if (err == noErr) *placed = to.path;
        return err;
    }
    return dupFNErr;
}

// The copy of the catalog gathered for a disc, its items pointed at the gathered files, its
// folders that hold nothing any more pruned, and saved in place. The work file lives apart and
// goes away; so does the lock slot beside the copy.
OSErr PointCatalogCopyAtGathered(const std::string& copyPath, const std::string& workFolder,
                                 const std::vector<std::pair<UInt32, std::string>>& gathered, FileFailure* failure) {
    FSSpec copySpec, workSpec;
    FSMakeFSSpecFromPath(copyPath, &copySpec);
    workSpec.path = Join(workFolder, "backup.work");
    CatalogRec* copy = nullptr;
    OSErr err = CatalogOpen(&copy, &copySpec, &workSpec, nullptr, nullptr, nullptr, 0);
    if (err != noErr) {
        *failure = {err, copyPath};
        return err;
    }
    for (const auto& [id, path] : gathered) {
        const SInt32 n = CatalogFindItemById(copy, id);
        if (!n) continue;
        FSSpec file;
        err = FSMakeFSSpecFromPath(path, &file);
        if (err == noErr) err = CatalogSetItemFileSpec(copy, n, &file, false);
        if (err != noErr) {
            *failure = {err, path};
            break;
        }
    }
    if (err == noErr) {
        CatalogPruneFolders(copy, true);
        err = CatalogSave(copy, nullptr, nullptr, 0);
        if (err != noErr) *failure = {err, copyPath};
    }
    CatalogClose(copy, false);
    std::error_code ec;
    std::filesystem::remove(workSpec.path, ec);
    for (int slot = 0; slot <= 9; ++slot) std::filesystem::remove(copyPath + "_" + std::to_string(slot), ec);
    return err;
}

std::string MakeTemporaryFolder(const std::string& besides, const char* tag) {
    std::string pattern = Join(FolderOf(besides), std::string(".") + tag + "-XXXXXX");
    if (!mkdtemp(pattern.data())) return {};
    return pattern;
}

// A name that can stand as a folder and a disc name: the text with "/" and control characters
// replaced.
std::string FolderNameFrom(const std::string& text) {
    std::string out;
    for (unsigned char c : text) out.push_back(c == '/' || c < 0x20 ? '_' : char(c));
    if (out.empty() || out == "." || out == "..") out = "Backup";
    return out;
}

}  // namespace

BackupReport BackupToDisc(ViewRec* view, BackupRequest* request) {
    BackupReport report;
    CatalogRec* catalog = view->catalog;
    BackupOptionsRec& options = request->options;
    const bool toDisc = request->target == BackupTarget::kDisc;
    options.staged = 0;

    if (options.includeCatalog) {
        FSSpec spec;
        if (!CatalogGetFileSpec(catalog, &spec, nullptr) || CatalogIsModified(catalog))
            return Failed(report, paramErr, kAlertNotSaved, spec.path);
    }
    if (!options.visibleOnly) ViewShowAll(view);

    const SInt32 count = ViewItemCount(view);
    Progress progress(2 * long(count), "Preparing files for backup...");

    // The first pass finds every file before anything is copied.
    std::vector<Source> sources;
    for (SInt32 n = 1; n <= count; ++n) {
        Source s;
        s.id = ItemGetId(catalog, n);
        const OSErr err = CatalogFindItemPath(catalog, n, &s.file);
        if (err != noErr) return Failed(report, err, kAlertFilesMissing, s.file.path);
        sources.push_back(s);
        if (OSErr e = progress.Step()) return Failed(report, e, 0, {});
    }
    std::vector<std::string> paths;
    for (const Source& s : sources) paths.push_back(s.file.path);
    std::vector<std::string> taken;
    const bool keepStructure = options.keepFolderStructure == 2;
    std::function<bool(const std::string&)> occupied;
    if (!toDisc)
        occupied = [&](const std::string& r) {
            struct stat st{};
            return lstat(Join(request->folder, r).c_str(), &st) == 0;
        };
    std::vector<std::string> rel = BackupRelativeTargets(paths, keepStructure, &taken, occupied);
    if (OSErr e = progress.Text("Transferring files to backup destination...")) return Failed(report, e, 0, {});

    // The destination root.
    std::string root, workFolder;
    std::string volumeId = request->volumeId;
    if (volumeId.empty()) {
        Str255 name;
        CatalogGetDisplayName(catalog, name, false);
        volumeId = AnsiToUtf8(std::string(reinterpret_cast<const char*>(name + 1), name[0]));
    }
    if (toDisc) {
        root = MakeTemporaryFolder(request->imagePath, "lyrex-backup");
        workFolder = MakeTemporaryFolder(request->imagePath, "lyrex-backup-work");
        if (root.empty() || workFolder.empty()) {
            if (!root.empty()) rmdir(root.c_str());
            return Failed(report, ioErr, kAlertIoError, request->imagePath);
        }
        options.staged = 1;
        // Files without a folder of their own go into one named like the disc, so that the
        // catalog on the disc finds them by the folder's name wherever the disc is mounted.
        if (!keepStructure)
            for (std::string& r : rel) r = FolderNameFrom(volumeId) + "/" + r;
    } else {
        struct statvfs vfs{};
        struct stat st{};
        if (request->folder.empty() || statvfs(request->folder.c_str(), &vfs) != 0 ||
            stat(request->folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return Failed(report, dirNFErr, kAlertNoDestination, request->folder);
        root = request->folder;
    }
    // Whatever happens from here on, a disc's gathering folders go.
    struct Cleanup {
        std::string a, b;
        ~Cleanup() {
            std::error_code ec;
            if (!a.empty()) std::filesystem::remove_all(a, ec);
            if (!b.empty()) std::filesystem::remove_all(b, ec);
        }
    } cleanup{toDisc ? root : std::string(), workFolder};

    std::vector<std::pair<UInt32, std::string>> gathered;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const Source& s = sources[i];
        const std::string target = Join(root, rel[i]);
        FileFailure failure;
        std::string placed = target;
        const OSErr err = toDisc ? Gather(s.file, target, progress.Pump(), &failure)
                                 : CopyWithoutReplacing(s.file, target, progress.Pump(), &placed, &failure);
        if (err != noErr) return Failed(report, err, kAlertNotAdded, failure.path.empty() ? target : failure.path);
        if (toDisc) {
            gathered.push_back({s.id, placed});
            report.copied.push_back({s.file.path, "/" + rel[i]});
        } else {
            report.copied.push_back({s.file.path, placed});
            if (options.resetPaths) {
                FSSpec copy;
                OSErr r = FSMakeFSSpecFromPath(placed, &copy);
                const SInt32 n = CatalogFindItemById(catalog, s.id);
                if (r == noErr && n) r = RepointItem(view, catalog, n, copy, false);
                if (r != noErr) return Failed(report, r, kAlertNotAdded, placed);
            }
        }
        if (OSErr e = progress.Step()) return Failed(report, e, 0, {});
    }

    if (options.includeCatalog) {
        FileFailure failure;
        std::string placed;
        if (!toDisc && options.resetPaths) {
            // The saved catalog refers to the copies.
            CatalogPruneFolders(catalog, true);
            if (OSErr err = CatalogSave(catalog, nullptr, nullptr, 0)) return Failed(report, err, kAlertNotAdded, {});
        }
        OSErr err = CopyCatalogFile(catalog, root, progress.Pump(), &placed, &failure);
        if (err == noErr && toDisc) err = PointCatalogCopyAtGathered(placed, workFolder, gathered, &failure);
        if (err != noErr) return Failed(report, err, kAlertNotAdded, failure.path);
        report.catalogCopy = toDisc ? "/" + placed.substr(root.size() + 1) : placed;
    }

    if (toDisc) {
        FileFailure failure;
        if (OSErr err = WriteDiscImage(root, request->imagePath, volumeId, progress.Pump(), &failure))
            return Failed(report, err, err == dupFNErr || err == dirNFErr ? kAlertNoDestination : kAlertIoError,
                          failure.path);
        report.image = request->imagePath;
        if (!request->driveAddress.empty()) {
            if (OSErr err = BurnDiscImage(request->driveAddress, request->imagePath, progress.Pump(), &failure))
                return Failed(report, err, kAlertIoError, failure.path);
            report.burnt = true;
            if (!request->keepImage) {
                unlink(request->imagePath.c_str());
                report.image.clear();
            }
        }
    }
    return report;
}
