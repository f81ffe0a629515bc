#include "output/html/GallerySite.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldFormat.h"
#include "catalog/fields/FieldValue.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/interface/ProgressCalls.h"
#include "foundation/resources/ResourceStrings.h"
#include "output/html/GalleryNames.h"
#include "output/html/GalleryRenditions.h"
#include "output/html/GalleryState.h"
#include "output/html/HtmlExpand.h"
#include "output/html/HtmlIndexTable.h"
#include "output/html/HtmlTemplates.h"
#include "platform/ProgramFolders.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

namespace {

namespace fs = std::filesystem;

enum : long { kStringGenerating = 13660, kStringMediaFolders = 13661, kStringSources = 13662 };

// The progress window counts in 16 bits: long builds are shown in proportion.
class BuildProgress {
public:
    explicit BuildProgress(SInt32 steps) : steps_(std::max<SInt32>(steps, 1)) {
        total_ = short(std::min<SInt32>(steps_, 32767));
        Str255 title = {0};
        LoadIndexedString(title, kStringGenerating / 100, kStringGenerating % 100);
        ProgressStartPStr(0, total_, title);
    }
    ~BuildProgress() { ProgressEndPStr(); }
    OSErr Update(SInt32 done, long lineId) {
        const long value = long(double(done) * total_ / steps_);
        Str255 line = {0};
        if (lineId) LoadIndexedString(line, lineId / 100, lineId % 100);
        return ProgressUpdatePStr(&value, nullptr, lineId ? line : nullptr, nullptr);
    }

private:
    SInt32 steps_;
    short total_;
};

bool WritePage(const std::string& path, const std::string& text) {
    std::error_code ec;
    fs::remove(path, ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), std::streamsize(text.size()));
    out.flush();
    return bool(out);
}

std::string FilenameText(const CatalogRec* catalog, SInt32 n) {
    auto value = std::make_unique<FieldValue>();
    FieldValueClear(value.get());
    const UInt8 type = ItemGetFieldVisible(catalog, n, 1, 2, value.get());
    Str255 text = {0};
    if (type != 0) FieldValueToText(value.get(), type, 2, text, false);
    return std::string(reinterpret_cast<const char*>(text + 1), text[0]);
}

bool MakeFolder(const fs::path& path) {
    std::error_code ec;
    fs::create_directories(path, ec);
    return fs::is_directory(path, ec);
}

}  // namespace

UInt16 BuildIndexPage(const GalleryBuildState& state, SInt32 page, std::string* text) {
    const SInt32 perPage = state.PerPage();
    const SInt32 first = (page - 1) * perPage + 1;
    SInt32 rows = state.rows;
    const SInt32 excess = page * perPage - state.ItemCount();
    if (excess > 0) rows -= excess / state.columns;
    const SInt32 last = first + rows * state.columns - 1;
    if (!LoadBuiltInTemplate(kGalleryIndexTemplate, text)) return kGalleryTemplateError;
    if (WriteGalleryIndexTable(state, state.columns, rows, first, last, text) != noErr) return kGalleryTemplateError;
    if (ExpandPageTokens(state, page, text) != noErr) return kGalleryTemplateError;
    return kGalleryDone;
}

bool CopyReferencedAssets(const std::string& page, const std::string& destination, const std::string& setName,
                          const std::string& templatesFolder) {
    static const std::string kMarker = "\"assets/";
    bool all = true;
    bool first = true;
    FSSpec assets;
    bool haveAssets = false;
    for (std::size_t at = page.find(kMarker); at != std::string::npos; at = page.find(kMarker, at + 1)) {
        const std::size_t start = at + kMarker.size();
        const std::size_t end = page.find('"', start);
        std::string name = page.substr(start, (end == std::string::npos ? page.size() : end) - start);
        if (name.size() > 63) name.resize(63);
        // A name must stay inside the assets folder.
        if (name.empty() || name.find('/') != std::string::npos || name.find("..") != std::string::npos ||
            name.find('\\') != std::string::npos) {
            all = false;
            continue;
        }
        if (first) {
            first = false;
            MakeFolder(fs::path(destination) / "assets");
            haveAssets = FindTemplateItem(templatesFolder, 5, setName, &assets) == noErr;
        }
        if (!haveAssets) return false;
        const fs::path target = fs::path(destination) / "assets" / name;
        std::error_code ec;
        if (fs::exists(target, ec)) continue;
        if (!fs::copy_file(fs::path(assets.path) / name, target, ec) || ec) return false;
    }
    return all;
}

UInt16 BuildGallerySite(GalleryBuildState* state, const FSSpec& destination, FSSpec* firstPage,
                        const std::string& templatesFolder) {
    const SInt32 count = CatalogGetItemCount(state->catalog);
    state->columns = std::max<SInt32>(1, state->settings.columns);
    state->rows = std::max<SInt32>(1, state->settings.rows);
    const fs::path root(destination.path);
    const fs::path source = root / "source", preview = root / "preview", image = root / "source" / "image";
    if (destination.path.empty() || !MakeFolder(source) || !MakeFolder(preview) || !MakeFolder(image))
        return kGalleryFileError;
    state->items.assign(std::size_t(count), GalleryItemRec{});
    state->indexPages = (count + state->PerPage() - 1) / state->PerPage();
    const std::string setName(reinterpret_cast<const char*>(state->settings.templateSet + 1),
                              state->settings.templateSet[0]);

    UInt16 result = kGalleryDone;
    BuildProgress progress(2 * count);
    SInt32 done = 0;
    if (progress.Update(done, kStringMediaFolders) != noErr) return kGalleryCancelled;

    GalleryNameSet previewNames, sourceNames;
    for (SInt32 n = 1; n <= count; ++n) {
        if (!MakeItemRenditions(state, n, preview.string(), image.string(), &previewNames, &sourceNames))
            result = kGalleryMissingFiles;
        if (progress.Update(++done, 0) != noErr) return kGalleryCancelled;
    }

    state->side = GallerySide::Media;
    GalleryNameSet pageNames;
    for (SInt32 n = 1; n <= count; ++n)
        state->items[std::size_t(n - 1)].pageName = pageNames.MakeNameUnique(
            GalleryPageName(FilenameText(state->catalog, n), n, state->settings.numberedPages != 0, state->extension));

    if (progress.Update(done, kStringSources) != noErr) return kGalleryCancelled;
    for (SInt32 n = 1; n <= count; ++n) {
        std::string text;
        if (!LoadBuiltInTemplate(kGalleryMediaTemplate, &text)) return kGalleryTemplateError;
        if (ExpandPageTokens(*state, n, &text) != noErr) return kGalleryTemplateError;
        if (!WritePage((source / state->items[std::size_t(n - 1)].pageName).string(), text)) return kGalleryFileError;
        if (n == 1 && !CopyReferencedAssets(text, destination.path, setName, templatesFolder))
            result = kGalleryMissingFiles;
        if (progress.Update(++done, 0) != noErr) return kGalleryCancelled;
    }

    state->side = GallerySide::Index;
    for (SInt32 p = 1; p <= state->indexPages; ++p) {
        const std::string name = "index" + (p > 1 ? std::to_string(p) : std::string()) + state->extension;
        std::string text;
        const UInt16 built = BuildIndexPage(*state, p, &text);
        if (built != kGalleryDone) return built;
        const fs::path path = root / name;
        if (!WritePage(path.string(), text)) return kGalleryFileError;
        if (p == 1) {
            if (!CopyReferencedAssets(text, destination.path, setName, templatesFolder)) result = kGalleryMissingFiles;
            if (firstPage) FSMakeFSSpecFromPath(path.string(), firstPage);
        }
    }
    return result;
}

UInt16 BuildHtmlGallery(CatalogRec* catalog, const FSSpec& destination, const std::string& templatesFolder,
                        FSSpec* firstPage, UInt32 now, const HtmlSettingsRec* settings) {
    if (firstPage) *firstPage = FSSpec();
    if (!catalog) return kGalleryInvalidParameter;
    if (CreateFolderPath(UserSettingsStoreFolder()) != noErr) return kGalleryInvalidParameter;
    GalleryBuildState state;
    state.catalog = catalog;
    state.now = now;
    if (settings) {
        state.settings = *settings;
        ValidateHtmlSettings(&state.settings);
    } else if (!LoadHtmlSettings(&state.settings, templatesFolder)) {
        return kGalleryInvalidParameter;
    }
    state.extension = "." + PageExtensionText(state.settings.extensionCode);
    return BuildGallerySite(&state, destination, firstPage, templatesFolder);
}

bool GalleryShouldOpenBrowser(UInt16 result, const FSSpec& firstPage) {
    if (result != kGalleryDone && result != kGalleryMissingFiles) return false;
    if (!GalleryLaunchBrowserPreference() || firstPage.path.empty()) return false;
    std::error_code ec;
    return fs::is_regular_file(firstPage.path, ec);
}
