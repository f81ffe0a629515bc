#include "output/fileactions/MissingFiles.h"

#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/notify/CatalogNotify.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/Unicode.h"
#include "output/fileactions/FileConflicts.h"
#include "platform/UiHooks.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewOperations.h"
#include "window/view/ViewSelection.h"

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <vector>

namespace {

std::string ProgressTitle() {
    Str255 title;
    LoadIndexedString(title, 136, 6);
    return AnsiToUtf8(std::string(reinterpret_cast<const char*>(title + 1), title[0]));
}

struct Missing {
    UInt32 id = 0;
    std::string recorded;   // the path the item records
    UInt32 size = 0;        // 0: unknown
    UInt32 modified = 0;
};

bool SizeMatches(const Missing& m, std::uintmax_t size) {
    if (m.size == 0) return true;
    const std::uintmax_t stored = size > 0xFFFFFFFFu ? 0xFFFFFFFFu : size;
    return stored == m.size;
}

}  // namespace

OSErr SelectMissingItems(ViewRec* view, SInt32* count) {
    *count = 0;
    CatalogRec* catalog = view->catalog;
    const SInt32 total = ViewItemCount(view);
    UiHooks& ui = GetUiHooks();
    ui.ProgressStart(ProgressTitle(), total);
    std::vector<SInt32> missing;
    OSErr result = noErr;
    for (SInt32 n = 1; n <= total; ++n) {
        if (ui.ProgressStep(n - 1, total) == userCanceledErr) {
            result = userCanceledErr;
            break;
        }
        FSSpec file;
        if (CatalogFindItemPath(catalog, n, &file) != noErr) missing.push_back(n);
    }
    ui.ProgressStep(total, total);
    ui.ProgressEnd();
    if (result != noErr) return result;
    ViewDeselectAll(view);
    bool first = true;
    for (SInt32 n : missing) {
        ViewSelectItem(view, n, first ? kSelectAlone : kSelectAdd, false);
        first = false;
    }
    *count = SInt32(missing.size());
    return noErr;
}

LocateReport LocateMissingFiles(ViewRec* view, const FSSpec& picked) {
    LocateReport report;
    CatalogRec* catalog = view->catalog;
    ResetConflictChoice();

    std::multimap<std::string, Missing> byName;
    std::vector<UInt32> selectedIds;
    for (SInt32 n = 1; ViewNextSelected(view, &n); ++n) {
        FSSpec file;
        if (CatalogFindItemPath(catalog, n, &file) != fnfErr || file.path.empty()) continue;
        Missing m;
        m.id = ItemGetId(catalog, n);
        m.recorded = file.path;
        ItemRec record;
        if (ItemReadRecord(catalog, n, &record) == noErr) {
            m.size = record.fileSize;
            m.modified = record.modified;
        }
        byName.emplace(FSSpecName(file), m);
        selectedIds.push_back(m.id);
    }

    struct stat st{};
    if (picked.path.empty() || stat(picked.path.c_str(), &st) != 0) {
        report.err = fnfErr;
        report.failure = {fnfErr, picked.path};
        return report;
    }
    if (S_ISREG(st.st_mode)) {
        // One item, one file: the user chose it, so neither its name nor its size must agree.
        if (ViewCountSelected(view) != 1 || byName.size() != 1) {
            report.err = paramErr;
            report.failure = {paramErr, picked.path};
            return report;
        }
        const Missing& m = byName.begin()->second;
        const SInt32 n = CatalogFindItemById(catalog, m.id);
        report.err = RepointItem(view, catalog, n, picked, false);
        if (report.err == noErr)
            report.repointed.push_back({m.recorded, picked.path});
        else
            report.failure = {report.err, picked.path};
        return report;
    }

    UiHooks& ui = GetUiHooks();
    const long total = long(byName.size());
    long found = 0;
    ui.ProgressStart(ProgressTitle(), total);
    std::error_code ec;
    namespace fs = std::filesystem;
    fs::recursive_directory_iterator it(picked.path, fs::directory_options::skip_permission_denied, ec), end;
    for (; !ec && it != end && !byName.empty(); it.increment(ec)) {
        if (ui.ProgressStep(found, total) == userCanceledErr) {
            report.err = userCanceledErr;
            break;
        }
        std::error_code sec;
        if (!it->is_regular_file(sec) || it->is_symlink(sec)) continue;
        const std::string name = it->path().filename().string();
        auto [first, last] = byName.equal_range(name);
        const std::uintmax_t size = it->file_size(sec);
        if (sec) continue;
        auto match = last;
        for (auto m = first; m != last; ++m)
            if (SizeMatches(m->second, size)) {
                match = m;
                break;
            }
        if (match == last) continue;
        const Missing m = match->second;
        byName.erase(match);
        const SInt32 n = CatalogFindItemById(catalog, m.id);
        if (!n) continue;
        FSSpec foundSpec;
        if (FSMakeFSSpecFromPath(it->path().string(), &foundSpec) != noErr) continue;
        if (ConflictChoice() != kConflictReplaceAll) {
            FileConflict c;
            c.variant = kConflictResetPath;
            FSMakeFSSpecFromPath(m.recorded, &c.source);
            c.source.path = m.recorded;
            ItemRec record;
            if (ItemReadRecord(catalog, n, &record) == noErr) c.sourceRecord = &record;
            c.destination = foundSpec;
            c.catalog = catalog;
            c.item = n;
            AskFileConflict(c);
        }
        const int choice = ConflictChoice();
        if (choice == kConflictSkipAll) {
            report.err = userCanceledErr;
            break;
        }
        if (choice != kConflictReplace && choice != kConflictReplaceAll) continue;
        UInt32 modified = 0;
        FSpGetFileDates(&foundSpec, nullptr, &modified);
        // A file changed since it was catalogued is read again; if that reading fails the item
        // still follows its file.
        OSErr err = RepointItem(view, catalog, n, foundSpec, modified != m.modified);
        if (err != noErr && modified != m.modified) err = RepointItem(view, catalog, n, foundSpec, false);
        if (err != noErr) {
            report.err = err;
            report.failure = {err, foundSpec.path};
            break;
        }
        report.repointed.push_back({m.recorded, foundSpec.path});
        ++found;
    }
    ui.ProgressStep(total, total);
    ui.ProgressEnd();
    for (UInt32 id : selectedIds) {
        const SInt32 n = CatalogFindItemById(catalog, id);
        FSSpec file;
        if (n && CatalogFindItemPath(catalog, n, &file) == fnfErr) report.stillMissing.push_back(file.path);
    }
    if (view->currentItem) ViewRedrawItem(view, view->currentItem);
    ViewRedraw(view, nullptr);
    return report;
}

OSErr ResetPaths(ViewRec* view, bool reportWhenNone, ResetPathsPrompts& prompts, LocateReport* report) {
    SInt32 count = 0;
    if (OSErr err = SelectMissingItems(view, &count)) return err;
    if (count == 0) {
        if (reportWhenNone) prompts.NoMissingFiles();
        return noErr;
    }
    Str255 name;
    CatalogGetDisplayName(view->catalog, name, true);
    const int answer = prompts.MissingFiles(AnsiToUtf8(std::string(reinterpret_cast<const char*>(name + 1), name[0])), count);
    if (answer == 3) {
        ViewRemoveItems(view, false);
        return noErr;
    }
    if (answer != 1) return userCanceledErr;
    FSSpec picked;
    if (!prompts.PickReplacement(count == 1, &picked) || picked.path.empty()) return noErr;
    const SInt32 current = view->currentItem;
    LocateReport found = LocateMissingFiles(view, picked);
    if (ViewItemCount(view) > 1 && current > 0 && current <= ViewItemCount(view))
        ViewSelectItem(view, current, kSelectAlone, true);
    if (report) *report = std::move(found);
    return noErr;
}
