// Helper applications as desktop entry files in the per-user "Helper Applications" folder: the
// list read from the folder, names taken from the desktop's installed applications, the
// first-start seeding from the desktop's default applications, the entries the store writes
// (their Exec quoting), the argument lists made from an entry, and launching one process per
// file with an argument list.
//
// GIO reads the desktop's application folders once per process, so every test that asks GIO
// about installed applications does so in a child process whose folders the test set up.
#include "app/helpers/HelperApplications.h"

#include "foundation/settings/ProgramKey.h"
#include "foundation/settings/RegistryKey.h"
#include "support/ChildProcess.h"
#include "support/SettingsSandbox.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

class HelperApplicationsTest : public testing::Test {
protected:
    void SetUp() override { Helpers().Clear(); }
    void TearDown() override { Helpers().Clear(); }

    static std::string Entry(const std::string& name, const std::string& exec, const std::string& type = "Application",
                             const std::string& extra = std::string()) {
        std::string text = "[Desktop Entry]\nType=" + type + "\n";
        if (!name.empty()) text += "Name=" + name + "\n";
        if (!exec.empty()) text += "Exec=" + exec + "\n";
        return text + extra;
    }
    // An executable script at path that does nothing.
    static void Program(const std::string& path) {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << "#!/bin/sh\nexit 0\n";
        chmod(path.c_str(), 0755);
    }
    static std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const HelperEntry& e : Helpers().Entries()) names.push_back(e.GetName());
        return names;
    }

    SettingsSandbox settings_;
    TempFolder files_;
};

TEST_F(HelperApplicationsTest, TheListHoldsTheFoldersApplicationEntriesInNameOrder) {
    const std::string folder = HelperFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(settings_.Root() + "/data/Lyrex/Plug-ins/Helper Applications", folder);
    std::ofstream(folder + "/b-viewer.desktop") << Entry("Bee Viewer", "/usr/bin/bee %f");
    std::ofstream(folder + "/a-editor.desktop") << Entry("Ay Editor", "\"/opt/ay tools/ay\" %F");
    std::ofstream(folder + "/c-link.desktop") << Entry("A Link", "", "Link", "URL=https://example.org/\n");
    std::ofstream(folder + "/d-noexec.desktop") << Entry("Nothing to run", "");
    std::ofstream(folder + "/e-notes.txt") << Entry("Not an entry", "/usr/bin/notes %f");
    std::ofstream(folder + "/f-broken.desktop") << "this is not a key file\n";
    CollectHelperShortcuts();
    EXPECT_EQ((std::vector<std::string>{"Ay Editor", "Bee Viewer"}), Names());
    ASSERT_EQ(2u, Helpers().Size());
    EXPECT_EQ("/opt/ay tools/ay", Helpers().At(0)->program);
    EXPECT_EQ(folder + "/a-editor.desktop", Helpers().At(0)->file);
    // Reading again replaces the list rather than adding to it.
    CollectHelperShortcuts();
    EXPECT_EQ(2u, Helpers().Size());
}

TEST_F(HelperApplicationsTest, AnEntryWithoutANameTakesTheInstalledApplicationsOrItsProgramsFileName) {
    // The desktop knows one program by name; the other is known to nobody and lives in a folder
    // whose name holds a dot.
    const std::string known = files_ / "apps/picture-viewer";
    const std::string unknown = files_ / "my.tools/convert.sh";
    Program(known);
    Program(unknown);
    const std::string data = files_ / "xdg";
    fs::create_directories(data + "/applications");
    std::ofstream(data + "/applications/lyrextest-viewer.desktop") << Entry("Picture Viewer", known + " %U");
    const std::string folder = HelperFolder();
    std::ofstream(folder + "/1.desktop") << Entry("", known + " %f");
    std::ofstream(folder + "/2.desktop") << Entry("", unknown + " %f");
    ChildProcess child([&](ChildProcess& self) {
        setenv("XDG_DATA_DIRS", data.c_str(), 1);
        CollectHelperShortcuts();
        for (const std::string& name : Names()) self.Send(name);
        self.Send(GetHelperDisplayName(files_ / "apps/../apps/picture-viewer"));
        self.Send("end");
        return 0;
    });
    EXPECT_EQ("Picture Viewer", child.Receive());
    EXPECT_EQ("convert", child.Receive());
    EXPECT_EQ("Picture Viewer", child.Receive()) << "the same program reached by another path";
    EXPECT_EQ("end", child.Receive());
    EXPECT_EQ(0, WEXITSTATUS(child.Wait()));
}

TEST_F(HelperApplicationsTest, TheFirstStartSeedsOneHelperPerDefaultApplicationAndOnlyOnce) {
    const std::string data = files_ / "xdg";
    fs::create_directories(data + "/applications");
    const std::string viewer = files_ / "bin/viewer", player = files_ / "bin/player";
    Program(viewer);
    Program(player);
    std::ofstream(data + "/applications/lyrextest-viewer.desktop")
        << Entry("Test Viewer", viewer + " %U", "Application", "MimeType=image/jpeg;image/gif;image/bmp;\nIcon=viewer\n");
    std::ofstream(data + "/applications/lyrextest-player.desktop")
        << Entry("Test Player", player + " %F", "Application", "MimeType=audio/mpeg;\n");
    const std::string config = settings_.Root() + "/config";
    fs::create_directories(config);
    // The user's choices win over whatever else the system offers for these types.
    std::ofstream(config + "/mimeapps.list")
        << "[Default Applications]\nimage/jpeg=lyrextest-viewer.desktop\nimage/bmp=lyrextest-viewer.desktop\n"
           "image/gif=lyrextest-viewer.desktop\naudio/mpeg=lyrextest-player.desktop\n";
    const std::string folder = HelperFolder();
    auto scan = [&] {
        ChildProcess child([&](ChildProcess&) {
            // The system's MIME database tells the types of the extensions.
            setenv("XDG_DATA_DIRS", (data + ":/usr/share").c_str(), 1);
            ScanHelperApplications();
            return 0;
        });
        return WEXITSTATUS(child.Wait());
    };
    ASSERT_EQ(0, scan());
    EXPECT_TRUE(fs::exists(folder + "/lyrextest-viewer.desktop"));
    EXPECT_TRUE(fs::exists(folder + "/lyrextest-player.desktop"));
    EXPECT_FALSE(fs::exists(folder + "/lyrextest-viewer 2.desktop")) << "three types, one viewer, one helper";
    CollectHelperShortcuts();
    std::vector<std::string> names = Names();
    EXPECT_NE(std::find(names.begin(), names.end(), "Test Viewer"), names.end());
    EXPECT_EQ(1, std::count(names.begin(), names.end(), "Test Viewer"));
    for (const HelperEntry& e : Helpers().Entries())
        if (e.name == "Test Viewer") {
            EXPECT_EQ("viewer", e.icon);
        }
    CRegistryKey key;
    ASSERT_TRUE(OpenUserKey(&key, u""));
    EXPECT_EQ(1u, key.ReadDword(kRegHelpersScanned, 0));
    // The user removes the helpers; a later start does not bring them back.
    fs::remove(folder + "/lyrextest-viewer.desktop");
    fs::remove(folder + "/lyrextest-player.desktop");
    ASSERT_EQ(0, scan());
    EXPECT_FALSE(fs::exists(folder + "/lyrextest-viewer.desktop"));
    EXPECT_FALSE(fs::exists(folder + "/lyrextest-player.desktop"));
}

TEST_F(HelperApplicationsTest, AStoredHelperStartsItsProgramWithTheFileWhateverTheCharacters) {
    const std::string folder = HelperFolder();
    const std::string programs[] = {files_ / "plain/tool", files_ / "with space/my tool", files_ / "odd/q\"uote$dollar`tick\\back"};
    for (const std::string& program : programs) {
        Program(program);
        const std::string file = CreateHelperFile(program, "Tool", folder);
        ASSERT_FALSE(file.empty()) << program;
        HelperEntry entry;
        entry.file = file;
        entry.name = "Tool";
        const std::string media = "/media/a b/Ünïcode 'quote' \"pic\".jpg";
        EXPECT_EQ((std::vector<std::string>{program, media}), HelperArguments(entry, media)) << program;
    }
    // Two helpers for programs of one name get two files.
    Program(files_ / "other/tool");
    const std::string second = CreateHelperFile(files_ / "other/tool", "", folder);
    EXPECT_EQ(folder + "/tool 2.desktop", second);
    CollectHelperShortcuts();
    EXPECT_EQ(4u, Helpers().Size());
}

TEST_F(HelperApplicationsTest, FieldCodesBecomeArguments) {
    struct Case {
        std::string exec;
        std::vector<std::string> expected;
    };
    const std::string f = "/pics/a b.jpg";
    const Case cases[] = {
        {"/bin/viewer %f", {"/bin/viewer", f}},
        {"/bin/viewer %F", {"/bin/viewer", f}},
        {"/bin/viewer --new %U", {"/bin/viewer", "--new", "file:///pics/a%20b.jpg"}},
        {"/bin/viewer", {"/bin/viewer", f}},
        {"/bin/viewer %i --title %c %k %d %m", {"/bin/viewer", "--icon", "pic-icon", "--title", "Viewer", "@FILE@"}},
        {"/bin/viewer --rate=100%% %f", {"/bin/viewer", "--rate=100%", f}},
        {"sh -c 'echo hi' %f", {"/bin/sh", "-c", "echo hi", f}},
    };
    for (const Case& c : cases) {
        const std::string file = files_.Write("entry.desktop", Entry("Viewer", c.exec));
        HelperEntry entry;
        entry.file = file;
        entry.name = "Viewer";
        entry.icon = "pic-icon";
        std::vector<std::string> expected = c.expected;
        for (std::string& e : expected)
            if (e == "@FILE@") e = file;
        if (c.exec == "/bin/viewer %i --title %c %k %d %m") expected.push_back(f);
        std::vector<std::string> got = HelperArguments(entry, f);
        // "sh" is found in PATH; where it is does not matter here.
        if (!got.empty() && c.exec.rfind("sh ", 0) == 0) got.front() = "/bin/sh";
        EXPECT_EQ(expected, got) << c.exec;
    }
}

TEST_F(HelperApplicationsTest, ALaunchStartsOneProcessPerFileAndAMissingProgramStartsNothing) {
    // The program notes how many arguments each start gave it, and the file.
    const std::string log = files_ / "starts.log";
    const std::string program = files_ / "bin/note starts";
    fs::create_directories(fs::path(program).parent_path());
    std::ofstream(program) << "#!/bin/sh\necho \"$#:$1\" >> '" << log << "'\n";
    chmod(program.c_str(), 0755);
    const std::string a = files_.Write("in/a one.jpg", "A"), b = files_.Write("in/b'two $x.jpg", "B");
    const std::string file = CreateHelperFile(program, "Noter", files_.path());
    ASSERT_FALSE(file.empty());
    HelperEntry entry;
    entry.file = file;
    entry.program = program;
    std::string error;
    ASSERT_EQ(LaunchResult::kStarted, LaunchHelper(entry, {a, b}, &error)) << error;
    std::string starts;
    for (int i = 0; i < 500; ++i) {
        starts = fs::exists(log) ? TempFolder::Read(log) : std::string();
        if (std::count(starts.begin(), starts.end(), '\n') >= 2) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Two starts of one argument each, in whichever order they finished.
    EXPECT_NE(std::string::npos, starts.find("1:" + a + "\n")) << starts;
    EXPECT_NE(std::string::npos, starts.find("1:" + b + "\n")) << starts;
    EXPECT_EQ(2, std::count(starts.begin(), starts.end(), '\n')) << starts;

    const std::string gone = files_.Write("gone.desktop", Entry("Gone", "\"" + (files_ / "nowhere/tool") + "\" %f"));
    HelperEntry missing;
    missing.file = gone;
    EXPECT_EQ(LaunchResult::kProgramMissing, LaunchHelper(missing, {a}, &error));
    EXPECT_NE(std::string::npos, error.find("nowhere/tool"));
}

TEST_F(HelperApplicationsTest, AddingWithoutANameUsesTheProgramsFileNameAndRemovingClosesTheGap) {
    HelperList list;
    list.AddHelper("/h/1.desktop", "/opt/some.where/gimp-2.10", "");
    list.AddHelper("/h/2.desktop", "/usr/bin/eog", "Image Viewer");
    list.AddHelper("/h/3.desktop", "/usr/bin/vlc", "Media Player");
    EXPECT_EQ("gimp-2", list.At(0)->GetName());
    list.RemoveHelper(1);
    ASSERT_EQ(2u, list.Size());
    EXPECT_EQ("Media Player", list.At(1)->GetName());
    list.RemoveHelper(7);
    EXPECT_EQ(2u, list.Size());
    HelperEntry nameless;
    EXPECT_EQ("Helper Application", nameless.GetName());
}

}  // namespace
