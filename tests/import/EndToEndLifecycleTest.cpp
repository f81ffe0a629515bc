// The lives of the engines and of a catalog around the background work that outlives a call:
// the deferred refresh when its catalog closes or the engines stop, and what a new start of
// the engines begins with.
#include "EndToEndSupport.h"

#include "import/watch/FolderScanWorker.h"

namespace {

class EndToEndLifecycle : public EndToEndTest {
protected:
    // A catalog of three pictures waiting for their refresh, the job started and its files
    // being read by the workers.
    CatalogRec* CatalogWithRefreshUnderWay() {
        for (int i = 0; i < 3; ++i) Put("metadata-samples/Canon.jpg", "r/" + std::to_string(i) + ".jpg");
        CatalogRec* c = Open();
        if (!c) return nullptr;
        FSSpec folder = Spec(library / "r");
        EXPECT_EQ(CatalogAddFiles(c, 0, &folder, 1, nullptr, 0, nullptr), noErr);
        Handle ids = NewHandle(c->itemCount * 4);
        for (SInt32 i = 0; i < c->itemCount; ++i) std::memcpy(*ids + 4 * i, &c->entries[i].id, 4);
        RefreshOptions all = RefreshOptionsAll();
        EXPECT_EQ(StartItemRefreshTimer(c, 0, ids, nullptr, &all), noErr);
        DisposeHandle(ids);
        EXPECT_EQ(ItemRefreshJobCount(c), 1);
        return c;
    }
};

TEST_F(EndToEndLifecycle, ClosingACatalogEndsItsRefresh) {
    CatalogRec* c = CatalogWithRefreshUnderWay();
    ASSERT_NE(c, nullptr);
    CloseCatalog(c);
    EXPECT_EQ(ItemRefreshJobCount(nullptr), 0) << "no job may keep the closed catalog";
    // The clock goes on: nothing is left to tick over the freed catalog.
    for (int i = 0; i < 5; ++i) timers.Advance(kRefreshTickMs);
    EXPECT_EQ(ItemRefreshJobCount(nullptr), 0);
}

TEST_F(EndToEndLifecycle, StoppingTheEnginesEndsEveryRefreshAndAStartBeginsAfresh) {
    CatalogRec* c = CatalogWithRefreshUnderWay();
    ASSERT_NE(c, nullptr);
    // A label renamed for this session only (never stored).
    Str255 mine;
    PStrFromCString(mine, "Mine");
    LabelSetInfo(3, mine, nullptr);

    CloseCatalog(c);
    StopCoreEngines();
    EXPECT_EQ(ItemRefreshJobCount(nullptr), 0);
    ASSERT_EQ(StartCoreEngines(), noErr);
    EXPECT_EQ(ItemRefreshJobCount(nullptr), 0);
    Str255 name;
    LabelGetInfo(3, name, nullptr);
    EXPECT_NE(PText(name), "Mine") << "a new start begins with the default labels";
}

TEST_F(EndToEndLifecycle, EngineShutdownEndsARefreshItsCatalogStillRuns) {
    CatalogRec* c = CatalogWithRefreshUnderWay();
    ASSERT_NE(c, nullptr);
    CatalogEngineShutdown();
    EXPECT_EQ(ItemRefreshJobCount(nullptr), 0);
    // The catalog itself is closed after the engine stopped, as a program at exit may do.
    CloseCatalog(c);
    for (int i = 0; i < 5; ++i) timers.Advance(kRefreshTickMs);
    ASSERT_EQ(CatalogEngineInit(kEditionCodeStandard, kFormatLevelStandard), noErr);
}

// What the user stored in one session shapes the next start: the preferences (here the unit of
// dimensions), the installation's Settings.txt switches and the labels.
TEST_F(EndToEndLifecycle, WhatASessionStoredShapesTheNextStart) {
    GetPreferences()->dimensionUnit = 2;   // inches
    LabelSettingRec labels[kLabelSettingCount];
    for (int i = 0; i < kLabelSettingCount; ++i) {
        labels[i] = LabelSettingRec{};
        PStrFromCString(labels[i].name, ("Label " + std::to_string(i + 1)).c_str());
    }
    PStrFromCString(labels[2].name, "Urgent");
    SaveLabelSettings(labels);
    SettingsSandbox::WriteFile(sandbox.Root() + "/install/Plug-ins/General/Settings.txt", "alfa_detect 1\n");
    StopCoreEngines();
    EXPECT_EQ(GetPreferences()->dimensionUnit, 1) << "the defaults again until the stored ones are read";

    ASSERT_EQ(StartCoreEngines(), noErr);
    EXPECT_EQ(GetPreferences()->dimensionUnit, 2);
    EXPECT_EQ(KindEngineGlobals().importerOptionA, 1);
    Str255 name;
    LabelGetInfo(3, name, nullptr);
    EXPECT_EQ(PText(name), "Urgent");

    Put("orientation/landscape_1.jpg", "p/landscape_1.jpg");
    CatalogRec* c = Open();
    ASSERT_NE(c, nullptr);
    FSSpec file = Spec(library / "p/landscape_1.jpg");
    ASSERT_EQ(CatalogAddFiles(c, 0, &file, 1, nullptr, 0, nullptr), noErr);
    RunRefresh(c);
    EXPECT_EQ(FieldText(c, &c->entries[0], kFieldDimensions), "8.3 x 6.2 inches");   // 600 x 450 at 72 dpi, printf rounding
}

// The edition that keeps watching settings: a catalog saved while it watched its folders
// watches them again when it opens.
TEST_F(EndToEndLifecycle, ACatalogSavedWhileWatchingWatchesAgainWhenOpened) {
    StopCoreEngines();
    SetResourceModule(GetBuiltInResourceModule("en"));
    ASSERT_EQ(KindEngineInit(nullptr, 0, 500, kFormatLevelStandard), noErr);
    ASSERT_EQ(CatalogEngineInit(500, kFormatLevelStandard), noErr);
    Put("metadata-samples/Canon.jpg", "w/a.jpg");
    const std::string saved = work / "Watched.lxc";
    for (UInt8 mode : {UInt8(0), UInt8(1), UInt8(2)}) {
        SCOPED_TRACE(int(mode));
        CatalogRec* c = Open();
        ASSERT_NE(c, nullptr);
        FSSpec folder = Spec(library / "w");
        ASSERT_EQ(CatalogAddFiles(c, 0, &folder, 1, nullptr, 0, nullptr), noErr);
        c->viewPrefs.watchMode = mode;
        FSSpec target = Spec(saved);
        ASSERT_EQ(CatalogSave(c, &target, nullptr, 0), noErr);
        CloseCatalog(c);

        c = Open(saved);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->viewPrefs.watchMode, mode);
        EXPECT_EQ(FolderTreeScanWorker(c->folderTree)->timerId != 0, mode != 0);
        CloseCatalog(c);
    }
    StopCoreEngines();
    ASSERT_EQ(StartCoreEngines(), noErr);
}

}  // namespace
