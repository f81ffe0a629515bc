#include "foundation/settings/AppFolders.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/ProgramKey.h"

#include "support/SettingsSandbox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const unsigned char kGeneral[] = "\x07General";

class AppFoldersTest : public ::testing::Test {
protected:
    SettingsSandbox sandbox;
    void SetUp() override { ResetPreferencesState(); }
    void TearDown() override { ResetPreferencesState(); }
    void SetInstallPath(const std::u16string& path) {
        CRegistryKey key;
        ASSERT_TRUE(OpenMachineKey(&key, u"", 0));
        ASSERT_TRUE(key.WriteString(kRegPath, path));
    }
};

TEST_F(AppFoldersTest, PerUserFoldersAreMadeWhenAsked) {
    const std::string expected = sandbox.Root() + "/data/Lyrex/Plug-ins/General";
    FSSpec spec;
    EXPECT_EQ(GetAppFolder(kGeneral, kAppFolderUserData, false, &spec), fnfErr);
    EXPECT_FALSE(fs::exists(sandbox.Root() + "/data"));

    ASSERT_EQ(GetAppFolder(kGeneral, kAppFolderUserData, true, &spec), noErr);
    EXPECT_EQ(spec.path, expected);
    EXPECT_TRUE(fs::is_directory(expected));

    // Now found without creating; without a sub-folder name, "Plug-ins" itself.
    ASSERT_EQ(GetAppFolder(kGeneral, kAppFolderUserData, false, &spec), noErr);
    EXPECT_EQ(spec.path, expected);
    ASSERT_EQ(GetAppFolder(nullptr, kAppFolderUserData, false, &spec), noErr);
    EXPECT_EQ(spec.path, sandbox.Root() + "/data/Lyrex/Plug-ins");

    ASSERT_EQ(GetAppFolder(kGeneral, kAppFolderCommonData, true, &spec), noErr);
    EXPECT_EQ(spec.path, sandbox.Root() + "/common/Lyrex/Plug-ins/General");
}

TEST_F(AppFoldersTest, OtherKindsAndBadNamesAreRefused) {
    FSSpec spec;
    EXPECT_EQ(GetAppFolder(kGeneral, SInt16(0x8004), true, &spec), fnfErr);
    EXPECT_EQ(GetAppFolder(kGeneral, 1, true, &spec), fnfErr);
    const unsigned char escape[] = "\x05../..";
    EXPECT_EQ(GetAppFolder(escape, kAppFolderUserData, true, &spec), bdNamErr);
    const unsigned char slash[] = "\x03a/b";
    EXPECT_EQ(GetAppFolder(slash, kAppFolderUserData, true, &spec), bdNamErr);
    EXPECT_FALSE(fs::exists(sandbox.Root() + "/data/Lyrex/Plug-ins/a"));
}

TEST_F(AppFoldersTest, TheInstallationFolderComesFromTheMachineKeyOrTheProgram) {
    FSSpec spec;
    // No machine-wide "Path": the installed program's data folder.
    fs::create_directories(sandbox.Root() + "/install/Plug-ins");
    ASSERT_EQ(GetAppFolder(nullptr, kAppFolderInstall, false, &spec), noErr);
    EXPECT_EQ(spec.path, sandbox.Root() + "/install/Plug-ins");

    // A "Path" value names it.
    fs::create_directories(sandbox.Root() + "/opt/lyrex");
    SetInstallPath(u"" + std::u16string(sandbox.Root().begin(), sandbox.Root().end()) + u"/opt/lyrex/");
    EXPECT_EQ(GetAppFolder(nullptr, kAppFolderInstall, false, &spec), fnfErr);
    ASSERT_EQ(GetAppFolder(kGeneral, kAppFolderInstall, true, &spec), noErr);
    EXPECT_EQ(spec.path, sandbox.Root() + "/opt/lyrex/Plug-ins/General");

    // An empty or relative "Path" would depend on the current folder: the program's own is used.
    for (const char16_t* bad : {u"", u"relative/dir"}) {
        SetInstallPath(bad);
        ASSERT_EQ(GetAppFolder(nullptr, kAppFolderInstall, false, &spec), noErr);
        EXPECT_EQ(spec.path, sandbox.Root() + "/install/Plug-ins");
    }
}

TEST_F(AppFoldersTest, SettingsTxtSetsOnlyExactNames) {
    struct Case {
        const char* what;
        std::string text;
        SettingsSwitches expected;
    };
    const std::vector<Case> cases = {
        {"one switch", "alfa_detect 1\n", {0, 1, 0}},
        {"all three, tabs and CR LF", "usb_detect\t2\r\nalfa_detect  3\r\ninspector_key 4\r\n", {2, 3, 4}},
        {"name in capitals", "ALFA_DETECT 1\n", {0, 0, 0}},
        {"longer name", "alfa_detect_x 1\nalfa_detect2 1\n", {0, 0, 0}},
        {"equals sign", "alfa_detect=1\n", {0, 0, 0}},
        {"no number", "alfa_detect\nusb_detect x\n", {0, 0, 0}},
        {"low byte of the number", "alfa_detect 257\nusb_detect -1\ninspector_key 512\n", {0xFF, 1, 0}},
        {"leading blanks and trailing text", "   alfa_detect  +7 and more\n", {0, 7, 0}},
        {"last line without end", "usb_detect 5", {5, 0, 0}},
        {"later lines win", "alfa_detect 1\nalfa_detect 0\n", {0, 0, 0}},
        {"other lines ignored", "# comment\n\nsomething 12\nalfa_detect 1\n", {0, 1, 0}},
        {"a very long token", std::string(100000, 'a') + " 1\nalfa_detect 6\n", {0, 6, 0}},
    };
    const std::string folder = sandbox.Root() + "/install/Plug-ins/General";
    for (const Case& c : cases) {
        *GetSettingsSwitches() = SettingsSwitches{};
        SettingsSandbox::WriteFile(folder + "/Settings.txt", c.text);
        ReadSettingsTxt();
        const SettingsSwitches& s = *GetSettingsSwitches();
        EXPECT_EQ(s.usb_detect, c.expected.usb_detect) << c.what;
        EXPECT_EQ(s.alfa_detect, c.expected.alfa_detect) << c.what;
        EXPECT_EQ(s.inspector_key, c.expected.inspector_key) << c.what;
    }
    // A missing file or folder leaves the switches alone.
    *GetSettingsSwitches() = SettingsSwitches{1, 2, 3};
    fs::remove(folder + "/Settings.txt");
    ReadSettingsTxt();
    fs::remove_all(sandbox.Root() + "/install");
    ReadSettingsTxt();
    EXPECT_EQ(GetSettingsSwitches()->alfa_detect, 2);
    EXPECT_FALSE(fs::exists(sandbox.Root() + "/install"));
}

}  // namespace
