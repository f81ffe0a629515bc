// Option sets on disk: where entries go, what they hold, listing, removal, names that must
// never become folders, loading from a set versus the typed settings, and the view sets made
// from older layout sets.
#include "output/optionsets/OptionSetMenu.h"
#include "output/optionsets/OptionSets.h"

#include "foundation/settings/Preferences.h"
#include "foundation/settings/TypedSettings.h"
#include "foundation/resources/ResourceStrings.h"
#include "platform/Handles.h"
#include "support/SettingsSandbox.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<unsigned char> P(const std::string& s) {
    std::vector<unsigned char> p(256, 0);
    p[0] = (unsigned char)std::min<std::size_t>(s.size(), 255);
    std::memcpy(p.data() + 1, s.data(), p[0]);
    return p;
}

Handle H(const std::string& bytes) {
    Handle h = nullptr;
    PtrToHand(bytes.data(), &h, Size(bytes.size()));
    return h;
}

std::string S(Handle h) { return h ? std::string(*h, std::size_t(GetHandleSize(h))) : std::string("<null>"); }

class OptionSetsTest : public ::testing::Test {
protected:
    std::string KindFolder(const std::string& kind) const {
        return sandbox.Root() + "/data/Lyrex/Plug-ins/Option Sets/[" + kind + "]";
    }
    FSSpec Set(OptionSetKind kind, const std::string& name, OSErr expect = fnfErr) {
        FSSpec spec;
        EXPECT_EQ(OpenOptionSetFile(kind, P(name).data(), &spec, nullptr), expect) << name;
        return spec;
    }
    SettingsSandbox sandbox;
};

}  // namespace

TEST_F(OptionSetsTest, TheFirstSaveMakesTheFoldersAndEachEntryFileHoldsExactlyTheRecordsBytes) {
    FSSpec web = Set('IMGC', "Web");
    std::string record(160, '\0');
    record[0] = 4;
    record[159] = char(0xEE);
    Handle a = H(record), b = H("settings\0blob");
    SaveExportSettings(&web, a, 3, b, 4, nullptr, 0);
    EXPECT_EQ(SettingsSandbox::ReadFile(KindFolder("IMGC") + "/Web/EXPO/3"), record);
    EXPECT_EQ(SettingsSandbox::ReadFile(KindFolder("IMGC") + "/Web/EXPO/4"), S(b));
    // Nothing else beside the two entries: no header files, no leftovers of the writes.
    std::vector<std::string> files;
    for (auto& e : fs::directory_iterator(KindFolder("IMGC") + "/Web/EXPO")) files.push_back(e.path().filename());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"3", "4"}));
    // Saving a set never touches the typed settings.
    EXPECT_EQ(LoadTypedSetting('EXPO', 3, nullptr, 0), nullptr);
    DisposeHandle(a);
    DisposeHandle(b);

    Set('IMGC', "Web", noErr);
    Handle back = nullptr, back2 = nullptr;
    LoadExportSettings(&web, &back, 3, nullptr, 0, &back2, 4, nullptr, 0);
    EXPECT_EQ(S(back), record);
    EXPECT_EQ(S(back2), std::string("settings\0blob"));
    DisposeHandle(back);
    DisposeHandle(back2);
}

TEST_F(OptionSetsTest, ANullHandleDeletesOnlyThatEntry) {
    FSSpec set = Set('MOVC', "Small");
    Handle a = H("five!"), b = H("six");
    SaveExportSettings(&set, a, 5, b, 6, nullptr, 0);
    SaveExportSettings(&set, nullptr, 5, nullptr, 0, nullptr, 0);
    EXPECT_FALSE(fs::exists(KindFolder("MOVC") + "/Small/EXPO/5"));
    EXPECT_EQ(SettingsSandbox::ReadFile(KindFolder("MOVC") + "/Small/EXPO/6"), "six");
    DisposeHandle(a);
    DisposeHandle(b);
}

TEST_F(OptionSetsTest, LoadingFromASetNeverReadsTheTypedSettingsAndMissingEntriesComeBackNull) {
    Handle stored = H("from the settings store");
    SaveTypedSetting('EXPO', 7, stored);
    SaveTypedSetting('EXPO', 8, stored);
    FSSpec set = Set('SNDC', "Voice");
    Handle only7 = H("set record");
    SaveExportSettings(&set, only7, 7, nullptr, 0, nullptr, 0);

    Handle first = nullptr, second = H("untouched");
    Handle keep = second;
    LoadExportSettings(&set, &first, 7, nullptr, 0, &second, 8, nullptr, 0);
    EXPECT_EQ(S(first), "set record");
    EXPECT_EQ(second, nullptr);   // missing from the set: null, not the stored setting
    DisposeHandle(first);
    DisposeHandle(keep);

    // Without a set: the typed settings, and the default record when the first is absent.
    Handle t7 = nullptr, t8 = nullptr;
    LoadExportSettings(nullptr, &t7, 7, nullptr, 0, &t8, 8, nullptr, 0);
    EXPECT_EQ(S(t7), "from the settings store");
    EXPECT_EQ(S(t8), "from the settings store");
    DisposeHandle(t7);
    DisposeHandle(t8);
    const char defaults[4] = {1, 2, 3, 4};
    Handle d = nullptr;
    LoadExportSettings(nullptr, &d, 5, defaults, 4, nullptr, 0, nullptr, 0);
    EXPECT_EQ(S(d), std::string(defaults, 4));
    DisposeHandle(d);
    DisposeHandle(stored);
    DisposeHandle(only7);
}

TEST_F(OptionSetsTest, NamesThatCouldReachOutsideTheKindFolderAreRefusedBeforeAnythingIsWrittenOrDeleted) {
    // A file beside the kind folder that a set named ".." or "../x" would reach.
    SettingsSandbox::WriteFile(sandbox.Root() + "/data/Lyrex/Plug-ins/Option Sets/EXPO/3", "keep me");
    FSSpec any;
    ASSERT_EQ(OpenOptionSetFile('IMGC', nullptr, &any, nullptr), noErr);
    for (const std::string& name : {std::string(""), std::string("."), std::string(".."), std::string("../x"),
                                   std::string("a/b"), std::string("a\\b"), std::string("nul\0in", 6)}) {
        FSSpec spec;
        EXPECT_EQ(OpenOptionSetFile('IMGC', P(name).data(), &spec, nullptr), bdNamErr) << name;
        EXPECT_EQ(DeleteOptionSet('IMGC', P(name).data()), bdNamErr) << name;
        EXPECT_FALSE(OptionSetNameIsValid(P(name).data())) << name;
    }
    EXPECT_EQ(SettingsSandbox::ReadFile(sandbox.Root() + "/data/Lyrex/Plug-ins/Option Sets/EXPO/3"), "keep me");
    // Names that merely look odd are fine.
    for (const std::string name : {".x", "a..b", "Web (large)", "Ünïcødé 写真"}) {
        EXPECT_TRUE(OptionSetNameIsValid(P(name).data())) << name;
        Set('IMGC', name);
    }
}

TEST_F(OptionSetsTest, ListingGivesEveryNameAs256ByteRecordsAndAnEmptyKindGivesNone) {
    Handle names = NewHandle(0);
    EXPECT_EQ(ForEachOptionSet('HTML', names), noErr);
    EXPECT_EQ(GetHandleSize(names), 0);
    const std::string longName(255, 'n');
    for (const std::string n : {"b", "a", "Ünï"}) {
        FSSpec s = Set('HTML', n);
        Handle h = H("x");
        WriteOptionSetResource(&s, 'EXPO', 1, h);
        DisposeHandle(h);
    }
    fs::create_directories(KindFolder("HTML") + "/" + longName);
    EXPECT_EQ(ForEachOptionSet('HTML', names), noErr);
    ASSERT_EQ(GetHandleSize(names), 4 * 256);
    std::vector<std::string> got = OptionSetNames(names);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<std::string>{"a", "b", longName, "Ünï"}));
    DisposeHandle(names);
}

TEST_F(OptionSetsTest, ReadingFromASetGoneFromDiskGivesNullAndWritingMakesItAgain) {
    FSSpec set = Set('IMGC', "Gone");
    Handle h = H("abc");
    WriteOptionSetResource(&set, 'EXPO', 3, h);
    fs::remove_all(KindFolder("IMGC") + "/Gone");
    EXPECT_EQ(ReadOptionSetResource(&set, 'EXPO', 3), nullptr);
    EXPECT_EQ(WriteOptionSetResource(&set, 'EXPO', 3, h), noErr);
    EXPECT_EQ(SettingsSandbox::ReadFile(KindFolder("IMGC") + "/Gone/EXPO/3"), "abc");
    DisposeHandle(h);
}

TEST_F(OptionSetsTest, ViewSetsAreMadeFromLayoutSetsWithTheMissingPanesFromThePreferences) {
    SetResourceModule(GetBuiltInResourceModule("en"));
    LoadPreferences();
    SetDefaultViewFontFace("DejaVu Sans");
    // No 'VIEW' set and no layout set: nothing is made.
    CreateDefaultViewOptionSets();
    EXPECT_FALSE(fs::exists(KindFolder("VIEW") + "/A"));

    // A 'LAY1' set "A": its entry 1 (24 bytes), entry 2 (16 bytes + a font block), entry 3 (80).
    FSSpec lay = Set('LAY1', "A");
    Handle e1 = H(std::string(24, 'a')), e2 = H(std::string(16, 'b') + std::string(516, 'f')),
           e3 = H(std::string(30, 'c'));   // shorter than its block: the rest stays zero
    SaveExportSettings(&lay, e1, 1, e2, 2, e3, 3);
    CreateDefaultViewOptionSets();
    const std::string pane1 = SettingsSandbox::ReadFile(KindFolder("VIEW") + "/A/EXPO/2");
    ASSERT_EQ(pane1.size(), 636u);
    EXPECT_EQ(pane1.substr(0, 24), std::string(24, 'a'));
    EXPECT_EQ(pane1.substr(24, 16), std::string(16, 'b'));
    EXPECT_EQ(pane1.substr(40, 516), std::string(516, 'f'));
    EXPECT_EQ(pane1.substr(556, 80), std::string(30, 'c') + std::string(50, '\0'));
    // Panes 0 and 2 come from the preferences, their font block starting 9, 0 and the face name.
    for (const char* id : {"1", "3"}) {
        const std::string pane = SettingsSandbox::ReadFile(KindFolder("VIEW") + "/A/EXPO/" + id);
        ASSERT_EQ(pane.size(), 636u);
        EXPECT_EQ(pane.substr(40, 4), std::string("\x09\0\0\0", 4));
        EXPECT_EQ(pane.substr(44, 12), std::string("DejaVu Sans\0", 12));
    }
    const unsigned char* prefs = reinterpret_cast<const unsigned char*>(GetPreferences());
    const std::string pane2 = SettingsSandbox::ReadFile(KindFolder("VIEW") + "/A/EXPO/3");
    EXPECT_EQ(pane2.substr(0, 24), std::string(reinterpret_cast<const char*>(prefs + 2676 + 48), 24));
    EXPECT_EQ(pane2.substr(556, 80), std::string(reinterpret_cast<const char*>(prefs + 2292 + 160), 80));
    DisposeHandle(e1);
    DisposeHandle(e2);
    DisposeHandle(e3);
    ResetPreferencesState();
    SetResourceModule(nullptr);
}
