// The catalog engine on a catalog of 8,000 photographs with realistic fields: open, save (in
// place and as a new file), sort by name, by date and by a text annotation, quick text search
// and the look-alike scan. Every figure is printed in milliseconds and as a ratio to reading
// the catalog file once from the page cache (`cat file > /dev/null`), so figures compare
// across machines. Targets: open within 5x of that read, any sort under 20 ms.
//
//   catalog_bench [--items N] [--rounds N] [--folder DIR]
//
// The catalog is generated once under $TMPDIR/lyrex-bench-catalog (or DIR) and reused while
// its item count matches.
#include "CatalogBenchData.h"

#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldEngine.h"
#include "catalog/fields/FieldIds.h"
#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/items/ItemChanges.h"
#include "catalog/organize/OrganizeIndex.h"
#include "catalog/organize/OrganizeLists.h"
#include "catalog/save/CatalogSave.h"
#include "catalog/sort/SortEngine.h"
#include "catalog/tables/ItemSearch.h"
#include "platform/Files.h"
#include "platform/Handles.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// The best of rounds runs of work (each preceded by prepare, which is not timed).
double Best(int rounds, const std::function<void()>& work, const std::function<void()>& prepare = {}) {
    double best = 1e300;
    for (int i = 0; i < rounds; ++i) {
        if (prepare) prepare();
        auto t0 = Clock::now();
        work();
        best = std::min(best, Ms(t0, Clock::now()));
    }
    return best;
}

// `cat path > /dev/null`, started with an argument list.
void CatToNull(const std::string& path) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::string prog = "cat";
    char* argv[] = {prog.data(), const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "cat", &actions, nullptr, argv, environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
}

FSSpec SpecOf(const std::string& path) {
    FSSpec spec;
    FSMakeFSSpecFromPath(path, &spec);
    return spec;
}

void Check(OSErr err, const char* what) {
    if (err != noErr) {
        std::fprintf(stderr, "%s failed: %d\n", what, int(err));
        std::exit(1);
    }
}

// ---- the catalog ----------------------------------------------------------------------

// Makes the catalog the way the program does: a new catalog whose default organize lists
// exist, every item added with its record, thumbnail, annotations and metadata (indexed and
// filed in the folder tree as it comes), then the first save under the file's name. The
// time per add of the first and the last hundred items shows whether adding stays flat.
void Generate(const std::string& path, const std::string& workPath, int count) {
    std::printf("generating %d items ...\n", count);
    auto t0 = Clock::now();
    FSSpec work = SpecOf(workPath);
    FSpDelete(&work);
    CatalogRec* c = nullptr;
    Check(CatalogOpen(&c, nullptr, &work, nullptr, nullptr, nullptr, 0), "new catalog");
    for (UInt32 field = OrganizeNextField(c, 0, true); field; field = OrganizeNextField(c, field, true))
        if (field != kOrganizeSetsField) OrganizeBuildList(c, field, nullptr, 0);

    double addMs = 0, firstHundred = 0, lastHundred = 0;
    for (int n = 0; n < count; ++n) {
        BenchItem item;
        Check(MakeBenchItem(n, &item), "item");
        auto a = Clock::now();
        Check(CatalogAddItem(c, &item.record, item.thumbnail, item.annotations, nullptr, item.metadata,
                             nullptr, item.label),
              "add item");
        double ms = Ms(a, Clock::now());
        addMs += ms;
        if (n < 100) firstHundred += ms;
        if (n >= count - 100) lastHundred += ms;
        FreeBenchItem(&item);
    }
    std::printf("  %-34s %9.2f ms   (%.1f us per item; first 100: %.1f us, last 100: %.1f us)\n",
                "add items", addMs, addMs * 1000 / count, firstHundred * 10, lastHundred * 10);
    FSSpec spec = SpecOf(path);
    FSpDelete(&spec);
    auto s0 = Clock::now();
    Check(CatalogSave(c, &spec, nullptr, 0), "first save");
    std::printf("  %-34s %9.2f ms\n", "first save", Ms(s0, Clock::now()));
    CatalogClose(c, false);
    std::printf("generated in %.1f s\n", Ms(t0, Clock::now()) / 1000.0);
}

struct Report {
    double baseline = 0;
    void Line(const char* what, double ms, const char* target = "") const {
        std::printf("  %-34s %9.2f ms   %7.2f x read   %s\n", what, ms, ms / baseline, target);
    }
};

}  // namespace

int main(int argc, char** argv) {
    int count = 8000, rounds = 5;
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/lyrex-bench-catalog";
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--items") count = std::atoi(argv[i + 1]);
        else if (a == "--rounds") rounds = std::atoi(argv[i + 1]);
        else if (a == "--folder") folder = argv[i + 1];
    }
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/bench-" + std::to_string(count) + ".lxc";
    const std::string workPath = folder + "/bench.work";

    CatalogEngineInit(kEditionCodeStandard, kFormatLevelStandard);
    FieldEngineSetCodes(kEditionCodeStandard, kFormatLevelStandard);
    FieldTableInit();
    if (!std::filesystem::exists(path)) Generate(path, workPath, count);

    Report report;
    CatToNull(path);
    report.baseline = Best(rounds, [&] { CatToNull(path); });
    std::printf("catalog: %s, %d items, %.1f MB\n", path.c_str(), count,
                double(std::filesystem::file_size(path)) / 1e6);
    std::printf("  %-34s %9.2f ms\n", "read once (cat > /dev/null)", report.baseline);

    FSSpec spec = SpecOf(path), work = SpecOf(workPath);
    CatalogRec* c = nullptr;
    double open = Best(rounds, [&] {
        FSpDelete(&work);
        Check(CatalogOpen(&c, &spec, &work, nullptr, nullptr, nullptr, 0), "open");
    }, [&] {
        if (c) CatalogClose(c, false);
        c = nullptr;
    });
    if (c->itemCount != count) {
        std::fprintf(stderr, "the catalog opened with %d items, not %d\n", int(c->itemCount), count);
        return 1;
    }
    report.Line("open", open, open <= 5 * report.baseline ? "(target 5x: met)" : "(target 5x: missed)");

    struct SortCase {
        const char* what;
        UInt32 field;
    } sorts[] = {{"sort by name", kFieldFileName},
                 {"sort by date taken", kFieldCaptureDate},
                 {"sort by created", kFieldCreated},
                 {"sort by keyword (annotation)", kFieldKeywords},
                 {"sort by caption (annotation)", kFieldCaption}};
    for (UInt8 mode : {kSortTextNatural, kSortTextByteOrder}) {
        for (const SortCase& s : sorts) {
            double ms = Best(rounds, [&] { SortCatalogByFields(c, s.field, mode); },
                             [&] { SortCatalogShuffle(c); });
            std::string what = std::string(s.what) + (mode == kSortTextNatural ? ", natural" : ", bytes");
            report.Line(what.c_str(), ms, ms < 20 ? "(target 20 ms: met)" : "(target 20 ms: missed)");
        }
    }

    // Quick text search over every item's data, for a word many items hold, one few hold and
    // one none holds.
    struct SearchCase {
        const char* what;
        std::string word;
    } searches[] = {{"search, common word", BenchCommonWord()},
                    {"search, rare word", BenchRareWord()},
                    {"search, missing word", BenchMissingWord()}};
    for (const SearchCase& q : searches) {
        long hits = 0;
        double ms = Best(rounds, [&] {
            Handle found = ItemSearchText(c, q.word.data(), long(q.word.size()), nullptr);
            hits = found ? long(GetHandleSize(found) / 4) : 0;
            if (found) DisposeHandle(found);
        });
        std::string what = std::string(q.what) + " (" + std::to_string(hits) + " hits)";
        report.Line(what.c_str(), ms);
    }

    // The look-alike scan: every thumbnail's signature, then every pair compared.
    long groups = 0;
    double scan = Best(rounds > 2 ? 2 : rounds, [&] {
        Handle found = ItemScanWithProgress(c, false, 0, 1, nullptr, nullptr, 0);
        groups = found ? long(GetHandleSize(found) / 4) : 0;
        if (found) DisposeHandle(found);
    });
    std::string what = "look-alike scan (" + std::to_string(groups) + " items grouped)";
    report.Line(what.c_str(), scan);

    // Saving writes a whole new file beside the old one and renames it over it; in place after
    // the order changed, and as a new file (alternating between two names).
    double inPlace = Best(rounds, [&] { Check(CatalogSave(c, nullptr, nullptr, 0), "save in place"); },
                          [&] { SortCatalogShuffle(c); });
    report.Line("save in place (order changed)", inPlace);
    const std::string names[2] = {folder + "/saved-a.lxc", folder + "/saved-b.lxc"};
    int turn = 0;
    double saveAs = Best(rounds, [&] {
        FSSpec target = SpecOf(names[turn]);
        Check(CatalogSave(c, &target, nullptr, 0), "save as");
    }, [&] {
        turn ^= 1;
        std::filesystem::remove(names[turn]);
    });
    report.Line("save as a new file", saveAs);

    CatalogClose(c, false);
    for (const std::string& n : names) std::filesystem::remove(n);
    CatalogEngineShutdown();
    return 0;
}
