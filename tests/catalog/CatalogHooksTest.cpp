// Work attached to the catalog engine's life by the libraries above it: each hook runs once per
// event however often it was registered, open hooks see the opened catalog before the caller
// gets it, close hooks see it before it is freed.
#include "catalog/file/CatalogHooks.h"

#include "CatalogFileSupport.h"
#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> gEvents;
bool gArmed = false;

void OnOpen(CatalogRec* c) {
    // The catalog is whole when its open hooks run: its folder tree is there to attach to.
    if (gArmed) gEvents.push_back(c && c->folderTree ? "open" : "open without tree");
}
void OnClose(CatalogRec* c) {
    if (gArmed) gEvents.push_back(c && c->folderTree ? "close" : "close without tree");
}
void OnStart() {
    if (gArmed) gEvents.push_back("start");
}
void OnStop() {
    if (gArmed) gEvents.push_back("stop");
}

TEST(CatalogHooks, EachRegisteredHookRunsOncePerEventOfTheEngineAndOfACatalog) {
    for (int twice = 0; twice < 2; ++twice) {
        CatalogRegisterOpenHook(OnOpen);
        CatalogRegisterCloseHook(OnClose);
        CatalogRegisterEngineStartHook(OnStart);
        CatalogRegisterEngineStopHook(OnStop);
    }
    gEvents.clear();
    gArmed = true;
    CatalogEngineShutdown();
    ASSERT_EQ(CatalogEngineInit(kEditionCodeStandard, kFormatLevelStandard), noErr);
    CatalogRec* c = nullptr;
    ASSERT_EQ(CatalogOpen(&c, nullptr, nullptr, nullptr, nullptr, nullptr, 0), noErr);
    CatalogClose(c, false);
    gArmed = false;
    EXPECT_EQ(gEvents, (std::vector<std::string>{"stop", "start", "open", "close"}));
}

}  // namespace
