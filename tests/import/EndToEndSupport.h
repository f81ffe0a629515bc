// The program's main road, driven the way the program drives it: the engines started and
// stopped in the program's order with the settings store in a sandbox, a catalog window that
// listens to its catalog, the manual timer clock for the notification flush and the deferred
// refresh, and real folders of media made by the test.
#pragma once

#include "ImportTestSupport.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldFormat.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/save/CatalogSave.h"
#include "catalog/tables/LabelSettings.h"
#include "catalog/tables/Labels.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/settings/AppFolders.h"
#include "foundation/settings/Preferences.h"
#include "foundation/text/PString.h"
#include "platform/imaging/Picture.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// A length-prefixed text as a string (the fixtures' texts are ASCII).
inline std::string PText(ConstStr255Param s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

// The start-up of the core, in the program's order, and its exit.
inline OSErr StartCoreEngines() {
    SetResourceModule(GetBuiltInResourceModule("en"));
    OSErr err = KindEngineInit(nullptr, 0, kEditionCodeStandard, kFormatLevelStandard);
    if (err != noErr) return err;
    err = CatalogEngineInit(kEditionCodeStandard, kFormatLevelStandard);
    if (err != noErr) return err;
    LoadPreferences();
    ReadSettingsTxt();
    LoadLabelSettings();

    PreferencesRec* prefs = GetPreferences();
    KindSetFileHook(ImportJournalWrite);
    KindSetInfoCallback(nullptr, 0);
    KindSetThumbBackground(&prefs->backgroundColor);
    KindSetPictureOption(0);
    KindSetImporterOptionB(prefs->colorMatchingOff);
    KindSetImporterOptionA(GetSettingsSwitches()->alfa_detect);

    CatalogSetDateOptions(prefs->dimensionUnit, prefs->resolutionUnit, prefs->dateFormat);
    ImportSettingsRec defaults;
    ImportSettingsSetDefault(&defaults);
    CatalogSetDefaultImportSettings(&defaults);
    return noErr;
}

inline void StopCoreEngines() {
    SavePreferences();
    CatalogEngineShutdown();
    KindEngineShutdown();
    KindSetFileHook(nullptr);
    KindTableClear();
    ResetPreferencesState();
    SetResourceModule(nullptr);
}

// One item as a person checks it: what the file is and what the catalog must say about it.
struct ExpectedItem {
    std::string fixture;     // under the shared fixtures
    std::string rel;         // where the test puts it, under the library folder
    UInt32 width, height;
    std::string model;       // camera model, "" when the file names none
    std::string exifDate;    // the capture date as the field formatter shows it, "" for none
    std::string caption;     // "" for none
    std::set<std::string> keywords;
};

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetTimerService(&timers);
        CatalogNotificationsReset();
        ASSERT_EQ(StartCoreEngines(), noErr);
    }
    void TearDown() override {
        for (CatalogRec* c : open) CloseCatalog(c);
        open.clear();
        StopCoreEngines();
        SetUiHooks(nullptr);
        CatalogNotificationsReset();
        SetTimerService(nullptr);
    }

    // ---- catalogs ------------------------------------------------------------------------

    // A work file name no file has yet.
    FSSpec NewWorkSpec() {
        return Spec(work / ("catalog-" + std::to_string(++workCounter) + ".work"));
    }

    // Opens (or, with no path, makes) a catalog with a fresh work file, listened to by the
    // window for every catalog message.
    CatalogRec* Open(const std::string& path = {}) {
        FSSpec workSpec = NewWorkSpec();
        FSSpec file;
        if (!path.empty()) file = Spec(path);
        CatalogRec* c = nullptr;
        OSErr err = CatalogOpen(&c, path.empty() ? nullptr : &file, &workSpec, nullptr, nullptr, nullptr, 0);
        EXPECT_EQ(err, noErr) << path;
        if (err != noErr) return nullptr;
        for (UINT m = kCatalogMsgModified; m <= kCatalogMsgViewDetached; ++m) CatalogAddListener(c, &window, m);
        open.push_back(c);
        return c;
    }

    void CloseCatalog(CatalogRec* c) {
        CatalogRemoveListener(c, &window, 0);
        CatalogClose(c, true);
        open.erase(std::remove(open.begin(), open.end(), c), open.end());
    }

    // ---- the road ------------------------------------------------------------------------

    std::string Put(const std::string& fixture, const std::string& rel) { return PutFixture(fixture, library / rel); }

    // What the catalog window does after an import: queue every pending item for the refresh
    // and let the clock run until the job ends, the notifications delivered on the way.
    void RunRefresh(CatalogRec* c) {
        RefreshPendingItems(c, timers);
        if (::testing::Test::HasFatalFailure()) return;
        Deliver();
    }

    // One flush of the notification queue.
    void Deliver() { timers.Advance(kNotifyIntervalMs * 2); }

    // ---- reading items back --------------------------------------------------------------

    ItemEntry* EntryOf(CatalogRec* c, const std::string& rel) {
        const std::string want = library / rel;
        for (SInt32 i = 0; i < c->itemCount; ++i) {
            FSSpec spec;
            if (CatalogGetItemPath(c, &c->entries[i], &spec) == noErr && spec.path == want) return &c->entries[i];
        }
        return nullptr;
    }

    // The field's value (all values of a list joined) as the list columns show it.
    static std::string FieldText(CatalogRec* c, const ItemEntry* e, FieldId id, SInt32 index = 0) {
        FieldValue v;
        UInt8 type = ItemGetField(c, e, index, id, &v);
        Str255 text;
        FieldValueToText(&v, type, id, text, true);
        return PText(text);
    }

    // Every value of a list field, one by one.
    static std::set<std::string> FieldValues(CatalogRec* c, const ItemEntry* e, FieldId id) {
        std::set<std::string> out;
        for (SInt32 n = 1; n < 100; ++n) {
            FieldValue v;
            UInt8 type = ItemGetField(c, e, n, id, &v);
            if (!type) break;
            Str255 text;
            FieldValueToText(&v, type, id, text, false);
            out.insert(PText(text));
        }
        return out;
    }

    SettingsSandbox sandbox;
    TempFolder library;
    TempFolder work;
    ManualTimerService timers;
    RecordingWindow window;
    std::vector<CatalogRec*> open;
    int workCounter = 0;
};
