// The side panel on the generated catalog of 8,000 photographs (five keywords each: 40,000
// keyword values over a vocabulary of 500) with one more list of 40,000 entries: the Organize
// panel's Catalog Index built and painted with every list unfolded, and the Info panel
// loaded for a selection of 100 items, in milliseconds and as ratios to the catalog engine's
// own build of the keywords list in the same run. Run under xvfb-run (it paints real windows).
//
//   sidepanel_bench [--items N] [--entries N] [--rounds N]
#include "CatalogBenchData.h"

#include "catalog/fields/FieldEngine.h"
#include "catalog/fields/FieldIds.h"
#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/info/InfoRows.h"
#include "catalog/organize/OrganizeIndex.h"
#include "catalog/organize/OrganizeLists.h"
#include "media/kinds/KindEngine.h"
#include "platform/Files.h"
#include "window/ui/CPaneInfoList.h"
#include "window/ui/CPaneViewList.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>

namespace {

using Clock = std::chrono::steady_clock;

double Best(int rounds, const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < rounds; ++i) {
        const auto t0 = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    int count = 8000, entries = 40000, rounds = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--items") count = std::atoi(argv[i + 1]);
        else if (a == "--entries") entries = std::atoi(argv[i + 1]);
        else if (a == "--rounds") rounds = std::atoi(argv[i + 1]);
    }
    wxApp::SetInstance(new wxApp);
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    if (!wxEntryStart(wxArgc, wxArgv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "no display (run under xvfb-run)\n");
        return 1;
    }
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/lyrex-sidepanel-bench";
    std::filesystem::create_directories(folder);
    Check(KindEngineInit(nullptr, 0, kEditionCodeStandard, kFormatLevelStandard), "kinds");
    CatalogEngineInit(kEditionCodeStandard, kFormatLevelStandard);
    FieldEngineSetCodes(kEditionCodeStandard, kFormatLevelStandard);
    FieldTableInit();
    FSSpec work;
    FSMakeFSSpecFromPath(folder + "/sidepanel.work", &work);
    FSpDelete(&work);
    CatalogRec* c = nullptr;
    Check(CatalogOpen(&c, nullptr, &work, nullptr, nullptr, nullptr, 0), "new catalog");
    AddBenchItems(c, count);
    for (UInt32 f = OrganizeNextField(c, 0, false); f; f = OrganizeNextField(c, f, false)) OrganizeSetEnabled(c, f, false);
    for (UInt32 f : {UInt32(kFieldKeywords), UInt32(kFieldPeople), UInt32(kFieldLocation)}) OrganizeSetEnabled(c, f, true);
    OrganizeSetExpanded(c, 0, true);
    Check(OrganizeBuildList(c, kFieldPeople, nullptr, 0), "people");
    // A long list: entries of their own in the Location list.
    OrganizeResetList(c, kFieldLocation);
    for (int n = 0; n < entries; ++n) {
        char text[32];
        const int length = std::snprintf(text, sizeof text, "place %06d", n);
        Str255 p;
        p[0] = UInt8(length);
        std::memcpy(p + 1, text, std::size_t(length));
        Check(OrganizeInsertNamedEntry(c, kFieldLocation, UInt32(n), p, 0, 0), "entry");
    }

    const double engine = Best(rounds, [&] { Check(OrganizeBuildList(c, kFieldKeywords, nullptr, 0), "keywords"); });
    std::printf("side panel, %d items, %u keyword entries, %d entries in one more list\n", count,
                unsigned(OrganizeGetEntryCount(c, kFieldKeywords)), entries);
    std::printf("  %-48s %9.2f ms\n", "engine: build the keywords list (reference)", engine);

    auto* frame = new wxFrame(nullptr, wxID_ANY, "bench", wxDefaultPosition, wxSize(300, 700));
    auto* organize = new CPaneViewList(frame, wxID_ANY);
    frame->Show();
    wxTheApp->Yield();
    const double build = Best(rounds, [&] {
        organize->AttachCatalog(nullptr);
        organize->AttachCatalog(c);
        organize->Update();
    });
    std::printf("  %-48s %9.2f ms  (x%.2f)\n", "Organize panel: rows built and painted", build, build / engine);
    const double scroll = Best(rounds, [&] {
        for (int i = 0; i < 200; ++i) {
            organize->ScrollToRow(std::size_t(i * (organize->GetRowCount() / 200)));
            organize->Update();
        }
    });
    std::printf("  %-48s %9.3f ms  (x%.3f)\n", "Organize panel: one scroll step painted", scroll / 200, scroll / 200 / engine);
    organize->AttachCatalog(nullptr);
    organize->Destroy();

    auto* info = new CPaneInfoList(frame, wxID_ANY);
    frame->SendSizeEvent();
    wxTheApp->Yield();
    info->AttachCatalog(c);
    // The Info panel's work when the selection grows to 100 items: the rows of the current
    // item, the list's rows for a multiple selection, the paint.
    const double load = Best(rounds, [&] {
        for (int item = 1; item <= 100; ++item) {
            InfoLoadVisibleItem(c, item);
            info->Load(true);
        }
        info->Update();
    });
    std::printf("  %-48s %9.2f ms  (x%.2f)\n", "Info panel: loaded for 100 selected items", load, load / engine);
    info->AttachCatalog(nullptr);
    frame->Destroy();
    wxTheApp->Yield();
    CatalogClose(c, false);
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
