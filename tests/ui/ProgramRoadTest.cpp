// The real program under the X display: started with a catalog it shows that catalog's window;
// a second start hands media files over and ends at once, and the files land in the catalog;
// Save and Exit through the keyboard leave a catalog file that the engine opens with every item.
#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/items/ItemFiles.h"
#include "foundation/settings/ProgramKey.h"
#include "platform/Files.h"
#include "support/RunTool.h"
#include "support/SettingsSandbox.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <signal.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

bool HaveDisplayAndTools() {
    const char* display = std::getenv("DISPLAY");
    return display && *display && RunTool({"xdotool", "version"}) == 0;
}

// The program as a child process with the test's environment.
class Program {
public:
    explicit Program(const std::vector<std::string>& args) {
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(LYREX_PROGRAM_PATH));
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        if (posix_spawn(&pid_, LYREX_PROGRAM_PATH, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Program() {
        if (pid_ > 0 && !done_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    // The exit status once the program ended within the time; -1 when it still runs.
    int WaitExit(std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done_) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                done_ = true;
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                break;
            }
            if (std::chrono::steady_clock::now() > end) return -1;
            std::this_thread::sleep_for(50ms);
        }
        return status_;
    }
    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    bool done_ = false;
    int status_ = -1;
};

// The id of the program's window with exactly this title; empty when none shows in time.
std::string WaitForWindow(const std::string& title, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        std::string out;
        if (RunTool({"xdotool", "search", "--name", "^" + title + "$"}, &out) == 0 && !out.empty())
            return out.substr(0, out.find('\n'));
        std::this_thread::sleep_for(100ms);
    }
    return {};
}

void PressKeys(const std::string& window, const std::string& keys) {
    RunTool({"xdotool", "windowfocus", "--sync", window});
    RunTool({"xdotool", "key", "--clearmodifiers", keys});
}

// The catalog's items' file names (or numbers), read by the engine (read-only, beside the running program).
std::set<std::string> ItemNames(const std::string& path) {
    std::set<std::string> names;
    FSSpec spec;
    if (FSMakeFSSpecFromPath(path, &spec) != noErr) return names;
    CatalogRec* catalog = nullptr;
    if (CatalogOpen(&catalog, &spec, nullptr, nullptr, nullptr, nullptr, 0) != noErr) return names;
    for (SInt32 n = 1; n <= catalog->itemCount; ++n) {
        FSSpec file;
        // The fixture's own items name files that are not here: they count by number.
        names.insert(CatalogFindItemPath(catalog, n, &file) == noErr ? FSSpecName(file) : "#" + std::to_string(n));
    }
    CatalogClose(catalog, false);
    return names;
}

class ProgramRoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveDisplayAndTools()) GTEST_SKIP() << "needs an X display and xdotool";
        // The program finds its installation through the machine-wide store.
        CRegistryKey key;
        ASSERT_TRUE(OpenMachineKey(&key, u"", 0));
        ASSERT_TRUE(key.WriteString(kRegPath, u"/opt/lyrex"));
        runtime_ = work_ / "runtime";
        std::filesystem::create_directories(runtime_);
        std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all);
        sandbox_.Set("XDG_RUNTIME_DIR", runtime_);
        sandbox_.Set("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
        sandbox_.Set("GDK_BACKEND", "x11");
        ASSERT_EQ(noErr, CatalogEngineInit(kEditionCodeStandard, kFormatLevelStandard));
    }
    void TearDown() override { CatalogEngineShutdown(); }
    SettingsSandbox sandbox_;
    TempFolder work_;
    std::string runtime_;
};

TEST_F(ProgramRoadTest, StartWithACatalogHandOverMediaSaveExitAndReopen) {
    const std::string catalog = work_ / "Trip.lxc";
    std::filesystem::copy_file(LYREX_TEST_FIXTURES "/catalog/three-items.lxc", catalog);
    const std::set<std::string> before = ItemNames(catalog);
    ASSERT_EQ(3u, before.size());
    const std::string pictures = work_ / "pictures";
    std::filesystem::create_directories(pictures);
    const std::string a = pictures + "/first picture.jpg", b = pictures + "/second.jpg";
    std::filesystem::copy_file(LYREX_SHARED_FIXTURES "/orientation/landscape_1.jpg", a);
    std::filesystem::copy_file(LYREX_SHARED_FIXTURES "/orientation/landscape_2.jpg", b);

    Program first({catalog});
    const std::string window = WaitForWindow("Trip - Lyrex Ondrel", 20s);
    ASSERT_FALSE(window.empty()) << "the catalog's window with its title";

    Program second({a, b});
    EXPECT_EQ(0, second.WaitExit(15s)) << "a second start hands over and ends";
    EXPECT_EQ(-1, first.WaitExit(0ms)) << "the first keeps running";

    // Saved through the keyboard until the two pictures are in the file.
    std::set<std::string> names;
    const auto end = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < end) {
        PressKeys(window, "ctrl+s");
        std::this_thread::sleep_for(500ms);
        names = ItemNames(catalog);
        if (names.size() == 5) break;
    }
    ASSERT_EQ(5u, names.size());
    EXPECT_TRUE(names.count("first picture.jpg"));
    EXPECT_TRUE(names.count("second.jpg"));

    // Exit; should the reading of the new items have changed the catalog again, the save
    // question's default button saves it.
    PressKeys(window, "ctrl+q");
    int status = -1;
    for (int i = 0; i < 20 && (status = first.WaitExit(1s)) == -1; ++i) {
        RunTool({"xdotool", "key", "Return"});
    }
    EXPECT_EQ(0, status);
    EXPECT_EQ(5u, ItemNames(catalog).size()) << "the saved catalog opens with every item";
    EXPECT_FALSE(std::filesystem::exists(runtime_ + "/LYREX_UNIQUEID_{A3A1B36A-195B-496d-AF6C-87F9DBF51055}.sock"));
}

// A user's road through the catalog window: files handed over land in the catalog, the List
// view's first item is renamed in place with F2, and the saved catalog and the disk agree.
TEST_F(ProgramRoadTest, HandOverAFolderRenameAnItemInPlaceSaveAndQuit) {
    const std::string catalog = work_ / "Road.lxc";
    std::filesystem::copy_file(LYREX_TEST_FIXTURES "/catalog/empty.lxc", catalog);
    const std::string pictures = work_ / "road pictures";
    std::filesystem::create_directories(pictures);
    for (int i = 1; i <= 3; ++i)
        std::filesystem::copy_file(std::string(LYREX_SHARED_FIXTURES "/orientation/landscape_") + std::to_string(i) + ".jpg",
                                   pictures + "/p" + std::to_string(i) + ".jpg");

    Program first({catalog});
    const std::string window = WaitForWindow("Road - Lyrex Ondrel", 20s);
    ASSERT_FALSE(window.empty());
    Program second({pictures});
    EXPECT_EQ(0, second.WaitExit(15s));

    auto saveUntil = [&](const std::function<bool(const std::set<std::string>&)>& done) {
        std::set<std::string> names;
        const auto end = std::chrono::steady_clock::now() + 30s;
        while (std::chrono::steady_clock::now() < end) {
            PressKeys(window, "ctrl+s");
            std::this_thread::sleep_for(500ms);
            names = ItemNames(catalog);
            if (done(names)) break;
        }
        return names;
    };
    ASSERT_EQ((std::set<std::string>{"p1.jpg", "p2.jpg", "p3.jpg"}),
              saveUntil([](const std::set<std::string>& n) { return n.size() == 3; }));

    // List view, the first item, F2: the name without its extension is selected, so typing
    // replaces it and the extension stays.
    PressKeys(window, "ctrl+1");
    PressKeys(window, "Home");
    PressKeys(window, "F2");
    // A loaded machine may take a while to open the edit field.
    std::this_thread::sleep_for(1500ms);
    RunTool({"xdotool", "type", "--delay", "20", "renamed"});
    RunTool({"xdotool", "key", "Return"});
    const std::set<std::string> names =
        saveUntil([](const std::set<std::string>& n) { return n.count("renamed.jpg") == 1; });
    EXPECT_EQ(1u, names.count("renamed.jpg"));
    EXPECT_EQ(3u, names.size());
    std::set<std::string> onDisk;
    for (const auto& entry : std::filesystem::directory_iterator(pictures)) onDisk.insert(entry.path().filename());
    EXPECT_EQ(names, onDisk) << "the file on disk has the new name; nothing else moved";

    PressKeys(window, "ctrl+q");
    int status = -1;
    for (int i = 0; i < 20 && (status = first.WaitExit(1s)) == -1; ++i) RunTool({"xdotool", "key", "Return"});
    EXPECT_EQ(0, status);
}

}  // namespace

namespace {

// The menu commands in the real program: handed-over pictures are selected with the keyboard,
// then deleted through its accelerator (the deletion's question answered with
// its default button), and the saved catalog keeps only the fixture's own items.
TEST_F(ProgramRoadTest, SelectAllDeleteWithItsQuestionSaveAndQuit) {
    const std::string catalog = work_ / "Road.lxc";
    std::filesystem::copy_file(LYREX_TEST_FIXTURES "/catalog/empty.lxc", catalog);
    const std::string pictures = work_ / "pictures";
    std::filesystem::create_directories(pictures);
    const std::string a = pictures + "/one.jpg", b = pictures + "/two.jpg";
    std::filesystem::copy_file(LYREX_SHARED_FIXTURES "/orientation/landscape_1.jpg", a);
    std::filesystem::copy_file(LYREX_SHARED_FIXTURES "/orientation/landscape_2.jpg", b);

    Program first({catalog});
    const std::string window = WaitForWindow("Road - Lyrex Ondrel", 20s);
    ASSERT_FALSE(window.empty());
    Program second({a, b});
    ASSERT_EQ(0, second.WaitExit(15s));
    // Saved until both pictures are in the file.
    auto end = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < end && ItemNames(catalog).size() != 2) {
        PressKeys(window, "ctrl+s");
        std::this_thread::sleep_for(500ms);
    }
    ASSERT_EQ(2u, ItemNames(catalog).size());

    // Select All, Delete; the question (when the preferences ask it) is answered with Return.
    PressKeys(window, "ctrl+a");
    PressKeys(window, "Delete");
    end = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < end && !ItemNames(catalog).empty()) {
        std::this_thread::sleep_for(300ms);
        RunTool({"xdotool", "key", "Return"});
        std::this_thread::sleep_for(300ms);
        PressKeys(window, "ctrl+s");
        std::this_thread::sleep_for(300ms);
    }
    EXPECT_TRUE(ItemNames(catalog).empty());
    EXPECT_TRUE(std::filesystem::exists(a)) << "Delete takes items out of the catalog, never files";
    PressKeys(window, "ctrl+q");
    int status = -1;
    for (int i = 0; i < 20 && (status = first.WaitExit(1s)) == -1; ++i) RunTool({"xdotool", "key", "Return"});
    EXPECT_EQ(0, status);
}

}  // namespace
