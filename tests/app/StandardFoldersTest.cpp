// The standard media folders that Getting Started imports: only those the desktop names and
// that exist are handed on. GLib reads the user's folder settings once per process, so each case
// runs in a child process of its own.
#include "app/StandardFolders.h"

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>

namespace {

// The folders a child finds with the given user-dirs settings, joined by "|".
std::string FoldersWith(const TempFolder& home, const std::string& userDirs) {
    std::filesystem::create_directories(home / "config");
    std::ofstream(home / "config/user-dirs.dirs") << userDirs;
    ChildProcess child([&](ChildProcess& self) {
        setenv("HOME", home.path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        std::string joined;
        for (const std::string& f : StandardMediaFolders()) joined += f + "|";
        self.Send(joined.empty() ? "none" : joined);
        return 0;
    });
    const std::string answer = child.Receive();
    child.Wait();
    return answer;
}

TEST(StandardFolders, OnlyTheFoldersThatExistAreHandedOn) {
    struct Case {
        bool pictures, videos;
        std::string expected;
    };
    const Case cases[] = {
        {true, true, "@/Movies|@/Photos|"},
        {true, false, "@/Photos|"},
        {false, true, "@/Movies|"},
        {false, false, "none"},
    };
    for (const Case& c : cases) {
        TempFolder home;
        if (c.pictures) std::filesystem::create_directories(home / "Photos");
        if (c.videos) std::filesystem::create_directories(home / "Movies");
        std::string expected = c.expected;
        for (std::size_t at; (at = expected.find('@')) != std::string::npos;) expected.replace(at, 1, home.path());
        EXPECT_EQ(expected, FoldersWith(home, "XDG_PICTURES_DIR=\"$HOME/Photos\"\nXDG_VIDEOS_DIR=\"$HOME/Movies\"\n"))
            << c.pictures << c.videos;
    }
}

}  // namespace
