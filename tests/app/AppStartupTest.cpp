// The headless start and end of the program against the real engines and a sandboxed
// settings store: the order that keeps the user's settings, the failure paths, the journal of a
// crashed import, and saving at exit only after a complete start.
#include "app/AppStartup.h"
#include "app/CLanguageManager.h"
#include "app/ShellSettings.h"

#include "catalog/file/CatalogEngine.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/PreferencesRec.h"
#include "foundation/settings/ProgramKey.h"
#include "import/adding/AddFiles.h"
#include "support/SettingsSandbox.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace {

class AppStartupTest : public ::testing::Test {
protected:
    void SetUp() override { ResetPreferencesState(); }
    void TearDown() override {
        RunShellExit(&state_);
        ResetPreferencesState();
    }
    static void MarkInstalled() {
        CRegistryKey key;
        ASSERT_TRUE(OpenMachineKey(&key, u"", 0));
        ASSERT_TRUE(key.WriteString(kRegPath, u"/opt/lyrex"));
    }
    StartupReports Recording() {
        StartupReports r;
        r.incompleteInstallation = [this] { ++incomplete_; };
        r.missingImporters = [this] { ++missingImporters_; };
        r.crashedImport = [this](const MediaFileRec& f) { crashed_.push_back(f); };
        return r;
    }
    SettingsSandbox sandbox_;
    ShellState state_;
    int incomplete_ = 0, missingImporters_ = 0;
    std::vector<MediaFileRec> crashed_;
};

TEST_F(AppStartupTest, WithoutAnInstallationPathStartUpStopsReportsAndSavesNothing) {
    EXPECT_EQ(StartupStop::kIncompleteInstallation, RunShellStartup(&state_, Recording()));
    EXPECT_EQ(1, incomplete_);
    EXPECT_FALSE(state_.kindEngineUp);
    state_.lastCatalog = "/c/x.lxc";
    state_.recent.Add("/c/x.lxc");
    RunShellExit(&state_);
    const std::string store = TempFolder::Read(sandbox_.UserStore());
    for (const char* value : {"Preferences", "LastCatalog", "Recent1", "ScratchFolder"})
        EXPECT_EQ(std::string::npos, store.find(value)) << value << " may not be written";
}

TEST_F(AppStartupTest, APathUnderThePerUserKeyAlsoCountsAsInstalled) {
    CRegistryKey key;
    ASSERT_TRUE(OpenUserKey(&key, u""));
    ASSERT_TRUE(key.WriteString(kRegPath, u"/home/me/lyrex"));
    EXPECT_TRUE(InstallationIsComplete());
}

TEST_F(AppStartupTest, TheStoredPreferencesAreReadBeforeTheFirstRunStampIsLookedAt) {
    MarkInstalled();
    // A user who has run the program before: stamp set, a scratch folder with more than the
    // directory bit, a remembered last catalog.
    GetPreferences()->startupValue = 123456;
    ASSERT_TRUE(SavePreferences());
    ResetPreferencesState();
    TempFolder scratch;
    ASSERT_EQ(0, chmod(scratch.path().c_str(), 01777));  // sticky, like /tmp
    ASSERT_TRUE(SaveScratchFolder(scratch.path()));
    ASSERT_TRUE(SaveLastCatalog("/c/last.lxc"));

    ASSERT_EQ(StartupStop::kNone, RunShellStartup(&state_, Recording()));
    EXPECT_EQ(123456u, GetPreferences()->startupValue) << "a returning user is not stamped again";
    EXPECT_EQ(0, missingImporters_);
    EXPECT_EQ(scratch.path(), state_.scratchFolder);
    EXPECT_EQ("/c/last.lxc", state_.lastCatalog);
}

TEST_F(AppStartupTest, AFirstRunIsStampedOnce) {
    MarkInstalled();
    ASSERT_EQ(StartupStop::kNone, RunShellStartup(&state_, Recording()));
    const UInt32 stamp = GetPreferences()->startupValue;
    EXPECT_NE(0u, stamp);
    EXPECT_EQ(0, missingImporters_) << "this build carries its importers";
    state_.started = true;
    RunShellExit(&state_);
    ResetPreferencesState();
    LoadPreferences();
    EXPECT_EQ(stamp, GetPreferences()->startupValue);
}

TEST_F(AppStartupTest, TheUsersDefaultImportSettingsGoIntoTheEngineNotTheOtherWayRound) {
    MarkInstalled();
    ImportSettingsRec mine{};
    mine.ignoreInvisible = 1;
    mine.folderLevel = 7;
    mine.categoryMask[0] = 0xA0;
    std::memcpy(GetPreferences()->defaultImportSettings, &mine, sizeof mine);
    ASSERT_TRUE(SavePreferences());
    ResetPreferencesState();

    ASSERT_EQ(StartupStop::kNone, RunShellStartup(&state_, Recording()));
    ImportSettingsRec engine{};
    CatalogGetDefaultImportSettings(&engine);
    EXPECT_EQ(0, std::memcmp(&engine, &mine, sizeof mine));
    EXPECT_EQ(0, std::memcmp(GetPreferences()->defaultImportSettings, &mine, sizeof mine));
}

TEST_F(AppStartupTest, PreferencesThatNeverHeldImportSettingsTakeTheEnginesDefaults) {
    MarkInstalled();
    ASSERT_EQ(StartupStop::kNone, RunShellStartup(&state_, Recording()));
    ImportSettingsRec engine{};
    CatalogGetDefaultImportSettings(&engine);
    EXPECT_EQ(0, std::memcmp(GetPreferences()->defaultImportSettings, &engine, sizeof engine));
}

TEST_F(AppStartupTest, AMissingScratchFolderFallsBackToTheTemporaryFolder) {
    MarkInstalled();
    ASSERT_TRUE(SaveScratchFolder("/no/such/folder"));
    TempFolder tmp;
    sandbox_.Set("TMPDIR", tmp.path());
    ASSERT_EQ(StartupStop::kNone, RunShellStartup(&state_, Recording()));
    EXPECT_EQ(tmp.path(), state_.scratchFolder);
}

TEST_F(AppStartupTest, TheJournalOfACrashedImportIsOfferedOnceThenEmptied) {
    MarkInstalled();
    TempFolder files;
    const std::string path = files.Write("crash.jpg", "not really a picture");
    MediaFileRec record{};
    ASSERT_EQ(noErr, FSMakeFSSpecFromPath(path, &record.spec));
    record.type = 'JPEG';
    ImportJournalWrite(&record);  // a reader started and the process died

    ASSERT_EQ(StartupStop::kNone, RunShellStartup(&state_, Recording()));
    ASSERT_EQ(1u, crashed_.size());
    EXPECT_EQ(path, FSSpecFolderPath(crashed_[0].spec) + "/" + FSSpecName(crashed_[0].spec));
    RunShellExit(&state_);

    ShellState again;
    ASSERT_EQ(StartupStop::kNone, RunShellStartup(&again, Recording()));
    EXPECT_EQ(1u, crashed_.size()) << "offered once only";
    RunShellExit(&again);
}

TEST_F(AppStartupTest, ExitSavesTheRecentListLastCatalogAndScratchFolderOnlyAfterACompleteStart) {
    MarkInstalled();
    ASSERT_EQ(StartupStop::kNone, RunShellStartup(&state_, Recording()));
    state_.recent.Add("/c/a.lxc");
    state_.lastCatalog = "/c/a.lxc";
    RunShellExit(&state_);  // start-up never reached its end (no frame shown)
    EXPECT_EQ("", LoadLastCatalog());

    ShellState second;
    ASSERT_EQ(StartupStop::kNone, RunShellStartup(&second, Recording()));
    second.started = true;
    second.recent.Add("/c/b.lxc");
    second.lastCatalog = "/c/b.lxc";
    RunShellExit(&second);
    EXPECT_EQ("/c/b.lxc", LoadLastCatalog());
    RecentCatalogs stored;
    stored.Load();
    ASSERT_EQ(1u, stored.Size());
    EXPECT_EQ("/c/b.lxc", *stored.At(0));
}

TEST_F(AppStartupTest, ALongLastCatalogPathIsKeptWhole) {
    const std::string path = "/c/" + std::string(400, 'x') + ".lxc";
    ASSERT_TRUE(SaveLastCatalog(path));
    EXPECT_EQ(path, LoadLastCatalog());
    ASSERT_TRUE(SaveLastCatalog("/short.lxc"));
    EXPECT_EQ("/short.lxc", LoadLastCatalog());
}

TEST_F(AppStartupTest, TheInstallerLanguagePicksTheLanguageModule) {
    struct Case { const char16_t* value; long number; const char* file; };
    const Case cases[] = {{u"1036", 1036, "Lang_FRA.txt"}, {u" +1031", 1031, "Lang_DEU.txt"}, {u"1040", 1040, "Lang_ITA.txt"},
                          {u"1041", 1041, "Lang_JPN.txt"}, {u"0x40c", 0, ""},  {u"", 0, ""}, {u"2057", 2057, ""},
                          {u"abc", 0, ""}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.number, ParseLanguageValue(c.value));
        EXPECT_EQ(c.file, LanguageModuleFor(ParseLanguageValue(c.value)));
    }
}

TEST_F(AppStartupTest, AnInstalledLanguageModuleTranslatesStringsAndAMissingOneLeavesEnglish) {
    sandbox_.Set("LYREX_DATA_DIR", sandbox_.Root() + "/install");
    SettingsSandbox::WriteFile(LanguageModuleFolder() + "/Lang_FRA.txt", "73\tLyrex Ondrel (fr)\n");
    CRegistryKey key;
    ASSERT_TRUE(OpenUserKey(&key, u""));
    ASSERT_TRUE(key.WriteString(kRegInstallerLanguage, u"1036"));
    SelectLanguageDll();
    std::string text;
    ASSERT_TRUE(LoadResourceStringUtf8(73, &text));
    EXPECT_EQ("Lyrex Ondrel (fr)", text);
    ASSERT_TRUE(LoadResourceStringUtf8(13705, &text));
    EXPECT_EQ("List", text) << "ids the module lacks come from English";

    ASSERT_TRUE(key.WriteString(kRegInstallerLanguage, u"1031"));  // no German module installed
    SelectLanguageDll();
    ASSERT_TRUE(LoadResourceStringUtf8(73, &text));
    EXPECT_EQ("Lyrex Ondrel", text);
    CLanguageManager::DestroyInstance();
}

}  // namespace
