// Organize lists on a catalog of 8,000 photographs (the items of the catalog benchmark: five
// keywords each from a vocabulary of 500, people, places, dates, labels): every list built
// from all items, one item re-indexed, items indexed one by one as an import adds them, and
// an entry renamed. Figures in milliseconds or microseconds; none of them may grow with the
// square of the item count, so the per-item figures are printed for the first and the last
// items added.
//
//   organize_bench [--items N] [--rounds N]
#include "CatalogBenchData.h"

#include "catalog/fields/FieldEngine.h"
#include "catalog/fields/FieldIds.h"
#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/organize/OrganizeIndex.h"
#include "catalog/organize/OrganizeLists.h"
#include "catalog/organize/OrganizeValues.h"
#include "catalog/save/WorkFile.h"
#include "media/kinds/KindEngine.h"
#include "platform/Files.h"
#include "platform/Handles.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

double Best(int rounds, const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < rounds; ++i) {
        auto t0 = Clock::now();
        work();
        best = std::min(best, Ms(t0, Clock::now()));
    }
    return best;
}

// Appends one generated item to the catalog's work file and entries, as an import does.
ItemEntry* AddItem(CatalogRec* c, int n) {
    BenchItem item;
    Check(MakeBenchItem(n, &item), "item");
    ItemRec r = item.record;
    r.thumbnailSize = UInt32(item.thumbnail ? GetHandleSize(item.thumbnail) : 0);
    r.annotationsSize = UInt32(item.annotations ? GetHandleSize(item.annotations) : 0);
    r.metadataSize = UInt32(item.metadata ? GetHandleSize(item.metadata) : 0);
    SInt32 size = 0;
    const SInt32 at = ItemWriteRecord(&r, item.thumbnail, item.annotations, nullptr, item.metadata, nullptr,
                                      c->workRefNum, -1, &size);
    if (at < 0) Check(ioErr, "write item");
    ItemEntry& e = c->entries[c->itemCount++];
    e = ItemEntry{at, c->nextItemId++, item.label | kEntryInWorkFileFlag};
    ItemEntrySetNameChars(&e, item.record.storedName);
    c->dataSize += size;
    FreeBenchItem(&item);
    return &e;
}

const UInt32 kFields[] = {kOrganizeLabelsField, kOrganizeDateField, 3, 67, 24, 27, kFieldProduct, kFieldKeywords,
                          kFieldPeople, kFieldCity, kFieldCountry, kFieldAuthor, kFieldCredit, kFieldSource,
                          kFieldCopyright, kFieldCategories, kFieldEvent, kFieldLocation};

}  // namespace

int main(int argc, char** argv) {
    int count = 8000, rounds = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--items") count = std::atoi(argv[i + 1]);
        else if (a == "--rounds") rounds = std::atoi(argv[i + 1]);
    }
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/lyrex-organize-bench";
    std::filesystem::create_directories(folder);

    Check(KindEngineInit(nullptr, 0, kEditionCodeStandard, kFormatLevelStandard), "kinds");
    CatalogEngineInit(kEditionCodeStandard, kFormatLevelStandard);
    FieldEngineSetCodes(kEditionCodeStandard, kFormatLevelStandard);
    FieldTableInit();
    FSSpec work;
    FSMakeFSSpecFromPath(folder + "/organize.work", &work);
    FSpDelete(&work);
    CatalogRec* c = nullptr;
    Check(CatalogOpen(&c, nullptr, &work, nullptr, nullptr, nullptr, 0), "new catalog");

    // An import: every list present from the start, each item indexed as it is added.
    for (UInt32 f : kFields) {
        OrganizeSetEnabled(c, f, true);
        Check(OrganizeBuildList(c, f, nullptr, 0), "empty list");
    }
    std::printf("organize lists, %d items, %zu lists\n", count, std::size(kFields));
    std::vector<double> perItem;
    perItem.reserve(std::size_t(count));
    for (int n = 0; n < count; ++n) {
        ItemEntry* e = AddItem(c, n);
        auto t0 = Clock::now();
        OrganizeIndexItem(c, e, true);
        perItem.push_back(Ms(t0, Clock::now()) * 1000.0);
    }
    auto mean = [&](std::size_t from, std::size_t to) {
        double sum = 0;
        for (std::size_t i = from; i < to; ++i) sum += perItem[i];
        return sum / double(to - from);
    };
    const std::size_t window = std::min<std::size_t>(500, perItem.size() / 4);
    std::printf("  %-44s %9.1f us\n", "index on add, first items (mean)", mean(window, 2 * window));
    std::printf("  %-44s %9.1f us\n", "index on add, last items (mean)", mean(perItem.size() - window, perItem.size()));

    // Every list built again from all items.
    double total = 0;
    for (UInt32 f : kFields) {
        const double ms = Best(rounds, [&] {
            // The labels list is built once and then kept: drop it so that it is built again.
            if (f == kOrganizeLabelsField) OrganizeSetEnabled(c, f, false), OrganizeSetEnabled(c, f, true);
            Check(OrganizeBuildList(c, f, nullptr, 0), "build");
        });
        total += ms;
        char what[64];
        std::snprintf(what, sizeof what, "build list %u (%u entries)", unsigned(f), unsigned(OrganizeGetEntryCount(c, f)));
        std::printf("  %-44s %9.2f ms\n", what, ms);
    }
    std::printf("  %-44s %9.2f ms\n", "build all lists", total);

    // One item re-indexed in every list, items spread over the catalog.
    const int samples = std::min(count, 500);
    const double reindex = Best(rounds, [&] {
        for (int i = 0; i < samples; ++i) OrganizeIndexItem(c, &c->entries[(i * 7919) % count], true);
    });
    std::printf("  %-44s %9.1f us\n", "re-index one item (all lists)", reindex * 1000.0 / samples);

    // An entry renamed: the entry moves to its new place and each of its items is rewritten.
    // A keyword of middling use, renamed to a new text and back.
    UInt32 entryNumber = 1;
    for (UInt32 n = 1; n <= OrganizeGetEntryCount(c, kFieldKeywords); ++n) {
        const UInt32 held = OrganizeEntryGetCount(OrganizeGetEntry(c, kFieldKeywords, n));
        if (held >= 40 && held <= 120) {
            entryNumber = n;
            break;
        }
    }
    const OrganizeEntry* entry = OrganizeGetEntry(c, kFieldKeywords, entryNumber);
    const UInt32 held = OrganizeEntryGetCount(entry);
    const std::string oldName(reinterpret_cast<const char*>(entry->text + 1), entry->text[0]);
    const std::string newName = "zz renamed " + oldName;
    double renameMs = 1e300;
    for (int i = 0; i < rounds; ++i) {
        auto t0 = Clock::now();
        UInt32 at = OrganizeRenameEntry(c, kFieldKeywords, entryNumber, newName.data(), long(newName.size()), nullptr, 0);
        renameMs = std::min(renameMs, Ms(t0, Clock::now()));
        entryNumber = OrganizeRenameEntry(c, kFieldKeywords, at, oldName.data(), long(oldName.size()), nullptr, 0);
    }
    char what[64];
    std::snprintf(what, sizeof what, "rename an entry of %u items", unsigned(held));
    std::printf("  %-44s %9.2f ms   (%.1f us an item)\n", what, renameMs, renameMs * 1000.0 / held);

    CatalogClose(c, false);
    FSpDelete(&work);
    CatalogEngineShutdown();
    KindEngineShutdown();
    return 0;
}
