#include "foundation/interface/FolderWalk.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

struct Log {
    std::string root;
    std::vector<std::string> entries;          // "depth:relative path" in visiting order
    std::vector<std::string> folders;          // folders entered
    std::map<std::string, UInt8> quitAt;       // relative path -> flag set after its callback
    std::vector<UInt32> folderValueSeen;       // the folder value while each entry is reported
    FolderIterState* state = nullptr;
    UInt32 nextValue = 100;
};

std::string Rel(const Log& log, const std::string& path) {
    return path.size() > log.root.size() ? path.substr(log.root.size() + 1) : "";
}

void OnEntry(UInt16 depth, CInfoPBRec* pb, UInt8* quit, void* user) {
    auto* log = static_cast<Log*>(user);
    std::string rel = Rel(*log, pb->path);
    log->entries.push_back(std::to_string(depth) + ":" + rel);
    if (log->state) log->folderValueSeen.push_back(log->state->folderValue);
    auto it = log->quitAt.find(rel);
    if (it != log->quitAt.end()) *quit = it->second;
}

UInt32 OnFolder(const FSSpec* folder, UInt8* quit, void* user) {
    auto* log = static_cast<Log*>(user);
    log->folders.push_back(Rel(*log, folder->path));
    return log->nextValue++;
}

class FolderWalkTest : public ::testing::Test {
protected:
    TempFolder tmp;
    Log log;
    FolderIterState state;
    void SetUp() override {
        tmp.Write("a.txt", "");
        tmp.Write("b/c.txt", "");
        tmp.Write("b/d/e.txt", "");
        tmp.Write("f/g.txt", "");
        log.root = tmp.path();
        log.state = &state;
    }
    OSErr Walk(UInt16 maxDepth = 0, bool folderProc = false) {
        return StartFolderIteration(0, 0, tmp.path(), maxDepth, OnEntry, &log, folderProc ? OnFolder : nullptr,
                                    &state);
    }
};

TEST_F(FolderWalkTest, VisitsEverythingInNameOrderWithDepths) {
    EXPECT_EQ(Walk(), 0);
    EXPECT_EQ(log.entries, (std::vector<std::string>{"1:a.txt", "1:b", "2:b/c.txt", "2:b/d", "3:b/d/e.txt",
                                                     "1:f", "2:f/g.txt"}));
    EXPECT_EQ(state.depth, 0);
}

TEST_F(FolderWalkTest, QuitFlags) {
    struct Case {
        std::map<std::string, UInt8> quitAt;
        std::vector<std::string> want;
    } cases[] = {
        // 2 keeps the walk out of that folder only
        {{{"b", kWalkSkipFolder}}, {"1:a.txt", "1:b", "1:f", "2:f/g.txt"}},
        // 1 ends the walk at every level
        {{{"b/c.txt", kWalkQuit}}, {"1:a.txt", "1:b", "2:b/c.txt"}},
        {{{"b/d/e.txt", kWalkQuit}}, {"1:a.txt", "1:b", "2:b/c.txt", "2:b/d", "3:b/d/e.txt"}},
        // 2 set on a file lingers until the next folder entry, which it keeps out
        {{{"b/c.txt", kWalkSkipFolder}}, {"1:a.txt", "1:b", "2:b/c.txt", "2:b/d", "1:f", "2:f/g.txt"}},
    };
    for (const auto& c : cases) {
        log.entries.clear();
        log.quitAt = c.quitAt;
        Walk();
        EXPECT_EQ(log.entries, c.want) << c.quitAt.begin()->first;
    }
}

TEST_F(FolderWalkTest, MaximumDepth) {
    EXPECT_EQ(Walk(1), 0);
    EXPECT_EQ(log.entries, (std::vector<std::string>{"1:a.txt", "1:b", "1:f"}));
    log.entries.clear();
    EXPECT_EQ(Walk(2), 0);
    EXPECT_EQ(log.entries, (std::vector<std::string>{"1:a.txt", "1:b", "2:b/c.txt", "2:b/d", "1:f", "2:f/g.txt"}));
}

TEST_F(FolderWalkTest, FolderValuesHeldWhileTheFolderIsWalked) {
    EXPECT_EQ(Walk(0, true), 0);
    EXPECT_EQ(log.folders, (std::vector<std::string>{"", "b", "b/d", "f"}));
    // start 100, b 101, b/d 102, f 103; each restored when its folder is left
    EXPECT_EQ(log.folderValueSeen, (std::vector<UInt32>{100, 100, 101, 101, 102, 100, 103}));
    EXPECT_EQ(state.folderValue, 0u);
}

TEST_F(FolderWalkTest, SymbolicLinkLoopsEnd) {
    ASSERT_EQ(symlink("..", (tmp / "b/d/up").c_str()), 0);
    ASSERT_EQ(symlink((tmp.path()).c_str(), (tmp / "f/root").c_str()), 0);
    ASSERT_EQ(symlink("../b", (tmp / "f/tob").c_str()), 0);
    EXPECT_EQ(Walk(), 0);
    // Each link is reported; none leads into a folder walked already.
    EXPECT_EQ(log.entries, (std::vector<std::string>{"1:a.txt", "1:b", "2:b/c.txt", "2:b/d", "3:b/d/e.txt",
                                                     "3:b/d/up", "1:f", "2:f/g.txt", "2:f/root", "2:f/tob"}));
}

TEST_F(FolderWalkTest, LinkedFolderOutsideIsWalkedOnce) {
    TempFolder other;
    other.Write("x/y.txt", "");
    ASSERT_EQ(symlink((other / "x").c_str(), (tmp / "f/linked").c_str()), 0);
    EXPECT_EQ(Walk(), 0);
    EXPECT_EQ(log.entries.back(), "3:f/linked/y.txt");
}

TEST_F(FolderWalkTest, StartFolderThatCannotBeListed) {
    EXPECT_EQ(StartFolderIteration(0, 0, tmp / "missing", 0, OnEntry, &log, nullptr, &state), 1);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(StartFolderIteration(0, 0, tmp / "a.txt", 0, OnEntry, &log, nullptr, &state), 1);
    EXPECT_EQ(StartFolderIteration(0, 0, tmp.path(), 0, nullptr, &log, nullptr, &state), paramErr);
}

TEST_F(FolderWalkTest, FolderFromTheDirectoryTable) {
    FSSpec b;
    ASSERT_EQ(FSMakeFSSpecFromPath(tmp / "b/d", &b), noErr);
    CInfoPBRec pb;
    ASSERT_EQ(FSpGetCatInfo(&b, &pb), noErr);
    EXPECT_EQ(StartFolderIteration(pb.ioVRefNum, pb.ioDirID, "", 0, OnEntry, &log, nullptr, &state), 0);
    EXPECT_EQ(log.entries, (std::vector<std::string>{"1:b/d/e.txt"}));
}

}  // namespace
