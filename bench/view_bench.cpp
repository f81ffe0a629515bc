// The view engine on catalogs of generated photographs (the catalog benchmark's items): the
// layout after a resize, a redraw of the whole view, Select All, Invert Selection, a filter to an organize entry of a
// quarter of the items and back through the history, a sort by date and a type-ahead search
// that reads every item's name. Each figure in milliseconds and as a ratio to the catalog's
// own sort by name in the same run; the per-item cost at 1,000 and at the full count shows
// that nothing grows faster than the item count.
//
// Then cell drawing: a full redraw of a 1920 x 1080 Thumbnail view (160-pixel cells, three
// caption fields, the shadow mat) with a cold and with a warm thumbnail cache, a one-row
// scroll, and a full redraw of a List view of 60 rows by 10 columns; each in milliseconds, as
// frames per second, and as a ratio to one copy of the whole surface (the floor) in the same
// run.
//
//   view_bench [--items N] [--rounds N]
#include "CatalogBenchData.h"

#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/items/ItemChanges.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/organize/OrganizeLists.h"
#include "catalog/sort/SortEngine.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/settings/Preferences.h"
#include "media/kinds/KindEngine.h"
#include "platform/Files.h"
#include "platform/Handles.h"
#include "platform/imaging/GWorld.h"
#include "window/view/ThumbnailCache.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewPort.h"
#include "window/view/ViewRec.h"
#include "window/view/ViewSelection.h"

#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Best(int rounds, const std::function<void()>& prepare, const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < rounds; ++i) {
        prepare();
        auto t0 = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    return best;
}

struct Figures {
    std::vector<std::pair<std::string, double>> rows;
    double sortByName = 0;
};

Figures Run(int items, int rounds, const std::string& folder) {
    FSSpec work;
    const std::string workPath = folder + "/view-" + std::to_string(items) + ".work";
    std::filesystem::remove(workPath);
    FSMakeFSSpecFromPath(workPath, &work);
    CatalogRec* catalog = nullptr;
    Check(CatalogOpen(&catalog, nullptr, &work, nullptr, nullptr, nullptr, 0), "catalog");
    AddBenchItems(catalog, items);
    // An organize entry holding every fourth item.
    const unsigned char name[] = "\x07quarter";
    Check(OrganizeInsertNamedEntry(catalog, kOrganizeSetsField, 0, name, 0, 0), "set");
    std::vector<UInt32> quarter;
    for (SInt32 i = 1; i <= items; i += 4) quarter.push_back(ItemGetId(catalog, i));
    Check(OrganizeEntryAddItems(catalog, kOrganizeSetsField, 1, quarter.data(), UInt32(quarter.size())), "set items");

    CatalogSetViewMode(catalog, 1);
    ViewPort* port = ViewPortNew(1200, 900);
    ViewRec* view = nullptr;
    Check(ViewCreate(&view, port, nullptr, catalog), "view");
    Rect big{0, 0, 900, 1200}, small{0, 0, 700, 900};
    ViewSetRect(view, &big);

    Figures f;
    auto none = [] {};
    f.sortByName = Best(rounds, [&] { SortCatalogShuffle(catalog); }, [&] { SortCatalogByFields(catalog, 2, kSortTextNatural); });
    bool flip = false;
    f.rows.push_back({"layout after a resize", Best(rounds, none, [&] {
                          flip = !flip;
                          ViewSetRect(view, flip ? &small : &big);
                      })});
    f.rows.push_back({"redraw the whole view", Best(rounds, none, [&] { ViewRedraw(view, nullptr); })});
    f.rows.push_back({"select all", Best(rounds, [&] { ViewDeselectAll(view); ViewSelectItem(view, 1, kSelectAlone, false); },
                                         [&] { ViewSelectAll(view); })});
    f.rows.push_back({"invert selection", Best(rounds, none, [&] { ViewInvertSelection(view); })});
    f.rows.push_back({"filter to an entry and back", Best(rounds, none, [&] {
                          ViewAddFilter(view, kFilterOrganizeEntry, kOrganizeSetsField, 1, true);
                          ViewGoBack(view);
                      })});
    f.rows.push_back({"sort by date", Best(rounds, [&] { SortCatalogShuffle(catalog); },
                                          [&] { ViewSortByField(view, kSortByDate, kSortTextNatural); })});
    const unsigned char missing[] = "\x06zzzzzz";
    f.rows.push_back({"type-ahead search", Best(rounds, none, [&] { TypeAheadFind(view, 1, missing); })});

    ViewDispose(view);
    ViewPortDispose(port);
    CatalogClose(catalog, false);
    std::filesystem::remove(workPath);
    return f;
}

void RunDrawing(int rounds, const std::string& folder) {
    FSSpec work;
    const std::string workPath = folder + "/cells.work";
    std::filesystem::remove(workPath);
    FSMakeFSSpecFromPath(workPath, &work);
    CatalogRec* catalog = nullptr;
    Check(CatalogOpen(&catalog, nullptr, &work, nullptr, nullptr, nullptr, 0), "catalog");
    AddBenchItems(catalog, 600);
    ViewModeSettings* thumbs = CatalogGetSlotRec16(catalog, kViewThumbnail);
    thumbs->sizeStep = 5;
    thumbs->frameStyle = 2;
    thumbs->aspect = 0;
    ViewFieldList* captions = CatalogGetSlotRec(catalog, kViewThumbnail);
    const UInt32 captionFields[3] = {2, 5, 6};  // file name, size, width
    for (int i = 0; i < 10; ++i) captions->fields[i] = ViewFieldEntry{i < 3 ? captionFields[i] : 0, 1, 0, 0};
    ViewFieldList* columns = CatalogGetSlotRec(catalog, kViewList);
    const UInt32 columnFields[10] = {2, 5, 4, 6, 7, 16, 1, 532, 537, 632};
    for (int i = 0; i < 10; ++i) columns->fields[i] = ViewFieldEntry{columnFields[i], 180, 0, 0};

    CatalogSetViewMode(catalog, kViewThumbnail);
    ViewPort* port = ViewPortNew(1920, 1080);
    ViewRec* view = nullptr;
    Check(ViewCreate(&view, port, nullptr, catalog), "view");
    Rect screen{0, 0, 1080, 1920};
    ViewSetRect(view, &screen);

    // The floor: one copy of the whole surface.
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1920, 1080);
    const double floor = Best(rounds * 4, [] {}, [&] {
        cairo_t* cr = cairo_create(copy);
        cairo_set_source_surface(cr, GetGWorldSurface(port->world), 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(copy);
    });
    cairo_surface_destroy(copy);
    std::vector<std::pair<std::string, double>> rows;
    rows.push_back({"thumbnails, cold cache", Best(rounds, [] { ThumbnailCacheClear(nullptr); }, [&] { ViewRedraw(view, nullptr); })});
    ViewRedraw(view, nullptr);
    rows.push_back({"thumbnails, warm cache", Best(rounds, [] {}, [&] { ViewRedraw(view, nullptr); })});
    bool down = false;
    rows.push_back({"thumbnails, one-row scroll", Best(rounds * 2, [] {}, [&] {
                        down = !down;
                        ViewScrollTo(view, 0, down ? 1 : -1);
                    })});
    CatalogSetViewMode(catalog, kViewList);
    ViewLayout(view, catalog);
    Point cell;
    ViewGetCellSize(view, &cell);
    Rect sixty{0, 0, SInt16(std::min<int>(60 * cell.v, 2000)), 1920};
    ViewSetRect(view, &sixty);
    ViewRedraw(view, nullptr);
    rows.push_back({"list of 60 rows x 10 columns", Best(rounds, [] {}, [&] { ViewRedraw(view, nullptr); })});

    std::printf("\ncell drawing, best of %d rounds (one surface copy of 1920 x 1080: %.3f ms)\n", rounds, floor);
    std::printf("%-32s %10s %10s %12s\n", "", "ms", "frames/s", "x copy");
    for (auto& [name, ms] : rows) std::printf("%-32s %10.2f %10.1f %12.1f\n", name.c_str(), ms, 1000.0 / ms, ms / floor);
    const ThumbnailCacheStats stats = ThumbnailCacheGetStats();
    std::printf("thumbnail cache: %llu decodes, %llu hits, %zu pictures\n", (unsigned long long)stats.decodes,
                (unsigned long long)stats.hits, stats.entries);

    ViewDispose(view);
    ViewPortDispose(port);
    CatalogClose(catalog, false);
    std::filesystem::remove(workPath);
    ThumbnailCacheClear(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    int items = 8000, rounds = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--items")) items = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--rounds")) rounds = std::max(1, std::atoi(argv[i + 1]));
    }
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/lyrex-view-bench";
    std::filesystem::create_directories(folder);
    SetResourceModule(GetBuiltInResourceModule("en"));
    Check(KindEngineInit(nullptr, 0, kEditionCodeStandard, kFormatLevelStandard), "kinds");
    Check(CatalogEngineInit(kEditionCodeStandard, kFormatLevelStandard), "catalog engine");

    const int small = std::min(1000, items);
    const Figures a = Run(small, rounds, folder);
    const Figures b = Run(items, rounds, folder);
    std::printf("view engine, Thumbnail view 1200 x 900, best of %d rounds\n", rounds);
    std::printf("catalog sort by name: %.2f ms (%d items), %.2f ms (%d items)\n\n", a.sortByName, small, b.sortByName, items);
    std::printf("%-30s %10s %12s %14s %14s\n", "", "ms", "x sort", "us/item@small", "us/item@full");
    for (std::size_t i = 0; i < b.rows.size(); ++i) {
        std::printf("%-30s %10.2f %12.3f %14.3f %14.3f\n", b.rows[i].first.c_str(), b.rows[i].second,
                    b.rows[i].second / b.sortByName, a.rows[i].second * 1000.0 / small, b.rows[i].second * 1000.0 / items);
    }
    RunDrawing(rounds, folder);
    CatalogEngineShutdown();
    KindEngineShutdown();
    return 0;
}
