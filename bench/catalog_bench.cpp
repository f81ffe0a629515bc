// The catalog engine on a catalog of 8,000 photographs with realistic fields: open, save (in
// place and as a new file), sort by name, by date and by a text annotation, quick text search
// and the look-alike scan. Every figure is the median of the rounds in milliseconds, with the
// fastest and the slowest round, the median as a ratio to reading the catalog file once from
// the page cache (`cat file > /dev/null`), so figures compare across machines, and the median
// processor time of all the program's threads. Targets:
// open within 5x of that read, any sort and the quick text search under 20 ms, the look-alike
// scan under 1 s with its time per item about level from 2,000 to 8,000 items.
//
//   catalog_bench [--items N] [--rounds N] [--folder DIR] [--only sort|search|scan|save]
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
#include <time.h>
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

// The median, fastest and slowest of rounds runs of work (each preceded by prepare, which is
// not timed), and the median processor time of the process (all its threads) over the same
// runs: on a machine others share, the wall times wander while the processor time stays put.
struct Stats {
    double median = 0, min = 0, max = 0, cpu = 0;
};

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

Stats Measure(int rounds, const std::function<void()>& work, const std::function<void()>& prepare = {}) {
    std::vector<double> times, cpu;
    for (int i = 0; i < std::max(rounds, 1); ++i) {
        if (prepare) prepare();
        const double c0 = CpuMs();
        auto t0 = Clock::now();
        work();
        times.push_back(Ms(t0, Clock::now()));
        cpu.push_back(CpuMs() - c0);
    }
    const auto [lo, hi] = std::minmax_element(times.begin(), times.end());
    return Stats{Median(times), *lo, *hi, Median(cpu)};
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
    void Line(const char* what, const Stats& t, const char* target = "") const {
        std::printf("  %-44s %9.2f ms (%8.2f .. %8.2f)  %8.2f x read  cpu %9.2f ms  %s\n", what, t.median,
                    t.min, t.max, t.median / baseline, t.cpu, target);
    }
};

// Hides every item from the n-th on (in memory only), so the look-alike scan sees the first n.
void HideAllFrom(CatalogRec* c, SInt32 n) {
    for (SInt32 i = n; i < c->itemCount; ++i) c->entries[i].flags |= kEntryHiddenFlag;
}

}  // namespace

int main(int argc, char** argv) {
    int count = 8000, rounds = 5;
    std::string only;
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/lyrex-bench-catalog";
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--items") count = std::atoi(argv[i + 1]);
        else if (a == "--rounds") rounds = std::atoi(argv[i + 1]);
        else if (a == "--folder") folder = argv[i + 1];
        else if (a == "--only") only = argv[i + 1];
    }
    // With --only, open and one group of figures: sort, search, scan or save.
    auto wanted = [&](const char* group) { return only.empty() || only == group; };
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/bench-" + std::to_string(count) + ".lxc";
    const std::string workPath = folder + "/bench.work";

    CatalogEngineInit(kEditionCodeStandard, kFormatLevelStandard);
    FieldEngineSetCodes(kEditionCodeStandard, kFormatLevelStandard);
    FieldTableInit();
    if (!std::filesystem::exists(path)) Generate(path, workPath, count);

    Report report;
    CatToNull(path);
    const Stats read = Measure(rounds, [&] { CatToNull(path); });
    report.baseline = read.median;
    std::printf("catalog: %s, %d items, %.1f MB\n", path.c_str(), count,
                double(std::filesystem::file_size(path)) / 1e6);
    std::printf("  %-44s %9.2f ms (%8.2f .. %8.2f)   medians (fastest .. slowest) of %d rounds\n",
                "read once (cat > /dev/null)", read.median, read.min, read.max, rounds);

    FSSpec spec = SpecOf(path), work = SpecOf(workPath);
    CatalogRec* c = nullptr;
    Stats open = Measure(rounds, [&] {
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
    report.Line("open", open,
                open.median <= 5 * report.baseline ? "(target 5x: met)" : "(target 5x: missed)");

    struct SortCase {
        const char* what;
        UInt32 field;
    } sorts[] = {{"sort by name", kFieldFileName},
                 {"sort by date taken", kFieldCaptureDate},
                 {"sort by created", kFieldCreated},
                 {"sort by keyword (annotation)", kFieldKeywords},
                 {"sort by caption (annotation)", kFieldCaption}};
    for (UInt8 mode : {kSortTextNatural, kSortTextByteOrder}) {
        if (!wanted("sort")) break;
        for (const SortCase& s : sorts) {
            Stats ms = Measure(rounds, [&] { SortCatalogByFields(c, s.field, mode); },
                               [&] { SortCatalogShuffle(c); });
            std::string what = std::string(s.what) + (mode == kSortTextNatural ? ", natural" : ", bytes");
            report.Line(what.c_str(), ms, ms.median < 20 ? "(target 20 ms: met)" : "(target 20 ms: missed)");
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
        if (!wanted("search")) break;
        long hits = 0;
        Stats ms = Measure(rounds, [&] {
            Handle found = ItemSearchText(c, q.word.data(), long(q.word.size()), nullptr);
            hits = found ? long(GetHandleSize(found) / 4) : 0;
            if (found) DisposeHandle(found);
        });
        std::string what = std::string(q.what) + " (" + std::to_string(hits) + " hits)";
        report.Line(what.c_str(), ms, ms.median < 20 ? "(target 20 ms: met)" : "(target 20 ms: missed)");
    }

    // The look-alike scan over the first 2,000, 4,000 and all items (the rest hidden), first
    // with every thumbnail decoded to its signature (none kept from an earlier scan), then
    // again with the signatures kept; the time per item shows how the scan grows.
    struct ScanCase {
        const char* what;
        long tolerance1, tolerance2;
    } scans[] = {{"look-alike scan", 0, 1}, {"look-alike scan, brightness ignored", 1, 1}};
    std::vector<UInt32> flags(std::size_t(c->itemCount));
    for (SInt32 i = 0; i < c->itemCount; ++i) flags[std::size_t(i)] = c->entries[i].flags;
    auto restoreFlags = [&] {
        for (SInt32 i = 0; i < c->itemCount; ++i) c->entries[i].flags = flags[std::size_t(i)];
    };
    std::vector<SInt32> sizes;
    for (SInt32 n : {count / 4, count / 2, count})
        if (n > 0 && (sizes.empty() || sizes.back() != n)) sizes.push_back(n);
    for (const ScanCase& sc : scans) {
        if (!wanted("scan")) break;
        for (SInt32 n : sizes) {
            if (sc.tolerance1 && n != count) continue;
            restoreFlags();
            HideAllFrom(c, n);
            long grouped = 0;
            auto scan = [&] {
                Handle found =
                    ItemScanWithProgress(c, false, sc.tolerance1, sc.tolerance2, nullptr, nullptr, 0);
                grouped = found ? long(GetHandleSize(found) / 4) : 0;
                if (found) DisposeHandle(found);
            };
            Stats first = Measure(rounds, scan, [&] { c->lookAlikeSignatures.reset(); });
            Stats again = Measure(rounds, scan);
            char what[160];
            std::snprintf(what, sizeof what, "%s, %d items (%ld grouped)", sc.what, int(n), grouped);
            report.Line(what, first, first.median < 1000 ? "(target 1 s: met)" : "(target 1 s: missed)");
            std::printf("  %-44s %9.2f us per item\n", "  per item", first.median * 1000 / double(n));
            report.Line("  again, signatures kept", again);
            std::printf("  %-44s %9.2f us per item\n", "  per item", again.median * 1000 / double(n));
        }
    }
    restoreFlags();

    const std::string names[2] = {folder + "/saved-a.lxc", folder + "/saved-b.lxc"};
    if (wanted("save")) {
        // Saving writes a whole new file beside the old one and renames it over it; in place after
        // the order changed, and as a new file (alternating between two names).
        Stats inPlace = Measure(rounds, [&] { Check(CatalogSave(c, nullptr, nullptr, 0), "save in place"); },
                              [&] { SortCatalogShuffle(c); });
        report.Line("save in place (order changed)", inPlace);
        int turn = 0;
        Stats saveAs = Measure(rounds, [&] {
            FSSpec target = SpecOf(names[turn]);
            Check(CatalogSave(c, &target, nullptr, 0), "save as");
        }, [&] {
            turn ^= 1;
            std::filesystem::remove(names[turn]);
        });
        report.Line("save as a new file", saveAs);
    }

    CatalogClose(c, false);
    for (const std::string& n : names) std::filesystem::remove(n);
    CatalogEngineShutdown();
    return 0;
}
