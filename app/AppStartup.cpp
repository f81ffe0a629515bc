#include "app/AppStartup.h"

#include "app/CLanguageManager.h"
#include "app/ShellSettings.h"
#include "catalog/file/CatalogEngine.h"
#include "catalog/tables/LabelSettings.h"
#include "foundation/settings/AppFolders.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/PreferencesRec.h"
#include "foundation/settings/ProgramKey.h"
#include "import/ImportHooks.h"
#include "import/adding/AddFiles.h"
#include "media/kinds/KindEngine.h"
#include "media/kinds/KindTable.h"
#include "platform/MacDates.h"
#include "window/find/FindQuery.h"

#include <algorithm>
#include <cstring>

namespace {

static_assert(sizeof(ImportSettingsRec) == sizeof(PreferencesRec::defaultImportSettings));

bool AllZero(const UInt8* bytes, std::size_t size) {
    return std::all_of(bytes, bytes + size, [](UInt8 b) { return b == 0; });
}

// The folders the kind engine looks for importers in, found ones packed at the front.
SInt32 ImporterFolders(FSSpec folders[3]) {
    static const unsigned char kImporters[] = "\x09" "Importers";
    struct Place { SInt16 kind; bool create; };
    const Place places[3] = {{0, false}, {SInt16(0x8005), true}, {SInt16(0x8003), false}};
    SInt32 count = 0;
    for (const Place& p : places) {
        if (GetAppFolder(kImporters, p.kind, p.create, &folders[count]) == noErr) ++count;
    }
    return count;
}


}  // namespace

void HandPreferencesToEngines() {
    PreferencesRec* prefs = GetPreferences();
    KindSetFileHook(ImportJournalWrite);
    KindSetThumbBackground(&prefs->backgroundColor);
    KindSetKodakLook(prefs->rawLookProfile);
    KindSetRawOption(prefs->useEmbeddedRawPreview);
    KindSetImporterOptionB(prefs->colorMatchingOff);
    KindSetImporterOptionA(GetSettingsSwitches()->alfa_detect);
    CatalogSetDateOptions(prefs->dimensionUnit, prefs->resolutionUnit, prefs->dateFormat);
    // The user's default import settings rule; the engine's built-in ones only fill a record
    // that was never set.
    ImportSettingsRec settings;
    if (AllZero(prefs->defaultImportSettings, sizeof settings)) {
        CatalogGetDefaultImportSettings(&settings);
        std::memcpy(prefs->defaultImportSettings, &settings, sizeof settings);
    } else {
        std::memcpy(&settings, prefs->defaultImportSettings, sizeof settings);
        CatalogSetDefaultImportSettings(&settings);
    }
}

bool InstallationIsComplete() {
    CRegistryKey key;
    if (OpenMachineKey(&key, u"", 1) && key.ValueExists(kRegPath)) return true;
    CRegistryKey user;
    return OpenUserKey(&user, u"") && user.ValueExists(kRegPath);
}

StartupStop RunShellStartup(ShellState* state, const StartupReports& reports) {
    SelectLanguageDll();
    if (!InstallationIsComplete()) {
        if (reports.incompleteInstallation) reports.incompleteInstallation();
        return StartupStop::kIncompleteInstallation;
    }
    FSSpec folders[3];
    const SInt32 folderCount = ImporterFolders(folders);
    if (KindEngineInit(folders, folderCount, kEditionCodeStandard, kFormatLevelStandard) != noErr)
        return StartupStop::kKindEngine;
    state->kindEngineUp = true;
    if (CatalogEngineInit(kEditionCodeStandard, kFormatLevelStandard) != noErr) return StartupStop::kCatalogEngine;
    state->catalogEngineUp = true;
    ImportAttachToCatalogs();

    // The stored preferences first: the first-run stamp is theirs.
    LoadPreferences();
    PreferencesRec* prefs = GetPreferences();
    if (prefs->startupValue == 0) {
        std::uint32_t now = 0;
        GetDateTime(&now);
        prefs->startupValue = now;
        if (!KindHasCoreImporters() && reports.missingImporters) reports.missingImporters();
    }
    state->scratchFolder = LoadScratchFolder();
    state->lastCatalog = LoadLastCatalog();
    ReadSettingsTxt();
    LoadLabelSettings();
    LoadFindQueries();
    HandPreferencesToEngines();

    MediaFileRec journal;
    if (ImportJournalRead(&journal) == noErr) {
        // Emptied before it is shown, so a crash inside the report cannot show it again.
        ImportJournalReset();
        if (reports.crashedImport) reports.crashedImport(journal);
    }
    state->recent.Load();
    return StartupStop::kNone;
}

void RunShellExit(ShellState* state) {
    if (state->started) {
        state->recent.Save();
        SaveLastCatalog(state->lastCatalog);
        SaveScratchFolder(state->scratchFolder);
        SavePreferences();
        SaveFindQueries();
    }
    if (state->catalogEngineUp) CatalogEngineShutdown();
    if (state->kindEngineUp) KindEngineShutdown();
    state->catalogEngineUp = state->kindEngineUp = false;
    CLanguageManager::DestroyInstance();
}
