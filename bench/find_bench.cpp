// Find on a catalog of 8,000 photographs (the items of the catalog benchmark): a query for a
// caption word, one for a keyword, and one for a range of creation dates (two rows joined by
// "and"), each run over every item as "Select all" would, beside the engine's quick text
// search for the same caption word in the same run. Figures are the best of the rounds in
// milliseconds and as a ratio to that quick search, so they compare across machines.
//
//   find_bench [--items N] [--rounds N]
#include "CatalogBenchData.h"

#include "catalog/fields/FieldEngine.h"
#include "catalog/fields/FieldIds.h"
#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/tables/ItemSearch.h"
#include "media/kinds/KindEngine.h"
#include "platform/Files.h"
#include "platform/Handles.h"
#include "window/find/FindMatch.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Best(int rounds, const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < rounds; ++i) {
        auto t0 = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    return best;
}

FindQuery TextQuery(FieldId field, short op, const std::string& text) {
    FindQuery q;
    FindQueryDefault(&q);
    q.rows[0].fieldId = field;
    q.rows[0].op = UInt16(op);
    FindRowSetText(&q.rows[0], text.data(), long(text.size()));
    return q;
}

}  // namespace

int main(int argc, char** argv) {
    int count = 8000, rounds = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--items") count = std::atoi(argv[i + 1]);
        else if (a == "--rounds") rounds = std::atoi(argv[i + 1]);
    }
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/lyrex-find-bench";
    std::filesystem::create_directories(folder);
    Check(KindEngineInit(nullptr, 0, kEditionCodeStandard, kFormatLevelStandard), "kinds");
    Check(CatalogEngineInit(kEditionCodeStandard, kFormatLevelStandard), "catalog engine");
    FSSpec work;
    FSMakeFSSpecFromPath(folder + "/find.work", &work);
    FSpDelete(&work);
    CatalogRec* c = nullptr;
    Check(CatalogOpen(&c, nullptr, &work, nullptr, nullptr, nullptr, 0), "new catalog");
    AddBenchItems(c, count);

    const std::string word = BenchCommonWord();
    long quickHits = 0;
    const double quick = Best(rounds, [&] {
        Handle found = ItemSearchText(c, word.data(), long(word.size()), nullptr);
        quickHits = found ? GetHandleSize(found) / 4 : 0;
        if (found) DisposeHandle(found);
    });

    FindQuery dates;
    FindQueryDefault(&dates);
    dates.rowCount = 2;
    dates.rows[0].fieldId = kFieldCreated;
    dates.rows[0].op = 3;  // after 2010-06-30
    FindRowSetDate(&dates.rows[0], 3345062400u + 180u * 86400u);
    dates.rows[0].conjunction = kFindAnd;
    dates.rows[1].fieldId = kFieldCreated;
    dates.rows[1].op = 2;  // before 2011-01-01
    FindRowSetDate(&dates.rows[1], 3345062400u + 365u * 86400u);
    struct Run {
        const char* what;
        FindQuery query;
    } runs[] = {
        {"caption contains a common word", TextQuery(kFieldCaption, 2, word)},
        {"keywords is a rare word", TextQuery(kFieldKeywords, 1, BenchRareWord())},
        {"created within half a year", dates},
    };
    std::printf("find, %d items, best of %d rounds\n", count, rounds);
    std::printf("  %-40s %9.2f ms  %6.2fx   (%ld found)\n", "quick text search (reference)", quick, 1.0, quickHits);
    for (const Run& run : runs) {
        long hits = 0;
        const double ms = Best(rounds, [&] {
            hits = 0;
            for (SInt32 n = 1; n <= c->itemCount; ++n) hits += FindMatchItem(c, n, run.query) ? 1 : 0;
        });
        std::printf("  %-40s %9.2f ms  %6.2fx   (%ld found)\n", run.what, ms, ms / quick, hits);
    }
    CatalogClose(c, false);
    FSpDelete(&work);
    CatalogEngineShutdown();
    KindEngineShutdown();
    return 0;
}
