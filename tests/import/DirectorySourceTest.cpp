// The listing of a watched folder on its own thread: what it files where, its pacing, and
// stopping it while it sleeps or while it is stuck.
#include "import/watch/DirectorySource.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Files every folder as 'fldr' and every file whose name ends in ".jpg" as 'JPEG'; the rest 0.
void ClassifyByName(const DirectorySource&, const CInfoPBRec& info, ScanEntry* entry) {
    if (info.ioFlAttrib & kioFlAttribDirMask)
        entry->type = kScanFolderType;
    else if (info.path.size() > 4 && info.path.compare(info.path.size() - 4, 4, ".jpg") == 0)
        entry->type = 'JPEG';
}

std::vector<std::string> Names(const ScanEntrySet& set) {
    std::vector<std::string> out;
    for (const ScanEntry& e : set) out.push_back(ScanEntryName(e));
    return out;
}

ImportSettingsRec Settings() {
    ImportSettingsRec s;
    ImportSettingsSetDefault(&s);
    return s;
}

std::shared_ptr<DirectorySource> Source(const std::string& path, ScanClassifyProc classify = ClassifyByName) {
    FSSpec spec;
    spec.path = path;
    return DirectorySourceNew(spec, Settings(), std::move(classify));
}

TEST(DirectorySource, ListsOneLevelIntoFilesAndFolders) {
    TempFolder dir;
    dir.Write("a.jpg", "x");
    dir.Write("a.jpg.bak", "x");   // not taken by the classifier: dropped, not a "new file"
    dir.Write("A.jpg", "x");       // another name than a.jpg on this system
    dir.Write("b.jpg", "x");
    dir.Write("sub/deep.jpg", "x");
    std::filesystem::create_directories(dir / "empty");
    auto source = Source(dir.path());
    std::thread t([source] { ScanThreadRun(source); });
    t.join();
    ASSERT_TRUE(source->IsDone());
    EXPECT_EQ(Names(source->Files()), (std::vector<std::string>{"A.jpg", "a.jpg", "b.jpg"}));
    EXPECT_EQ(Names(source->Folders()), (std::vector<std::string>{"empty", "sub"}));
    for (const ScanEntry& e : source->Files()) EXPECT_EQ(e.spec.path, dir / ScanEntryName(e));
}

TEST(DirectorySource, NamesThatBeginAlikeAreTwoEntries) {
    TempFolder dir;
    dir.Write("a.jpg", "x");
    dir.Write("a.jpg.jpg", "x");
    auto source = Source(dir.path());
    ScanThreadRun(source);
    EXPECT_EQ(Names(source->Files()), (std::vector<std::string>{"a.jpg", "a.jpg.jpg"}));
}

TEST(DirectorySource, AFolderThatCannotBeListedEndsAtOnce) {
    TempFolder dir;
    auto source = Source(dir / "missing");
    EXPECT_FALSE(source->NextEntry());
    ScanThreadRun(source);
    EXPECT_TRUE(source->IsDone());
    EXPECT_TRUE(source->Files().empty());
    EXPECT_TRUE(source->Folders().empty());
}

TEST(DirectorySource, PacingSlowsDownAndSpeedsUpWithinItsBounds) {
    ScanPacing p;
    // A busy disk: the pause doubles up to 100 ms.
    for (int i = 0; i < 20; ++i) ScanPacingUpdate(&p, 0.050);
    EXPECT_EQ(p.state, 1);
    EXPECT_DOUBLE_EQ(p.pause, 0.1);
    // An idle one: it shrinks by 0.1 ms a step down to 0.5 ms.
    ScanPacing q;
    ScanPacingUpdate(&q, 0.0);
    EXPECT_EQ(q.state, 2);
    EXPECT_NEAR(q.pause, 0.0009, 1e-12);
    for (int i = 0; i < 20; ++i) ScanPacingUpdate(&q, 0.0);
    EXPECT_DOUBLE_EQ(q.pause, 0.0005);
    // In between nothing changes, and the smoothing weighs the new sample by 0.7.
    ScanPacing r;
    r.smoothed = 0.001;
    ScanPacingUpdate(&r, 0.001);
    EXPECT_EQ(r.state, 0);
    EXPECT_DOUBLE_EQ(r.pause, 0.001);
    EXPECT_NEAR(r.smoothed, 0.001, 1e-12);
    ScanPacing s;
    ScanPacingUpdate(&s, 0.010);
    EXPECT_NEAR(s.smoothed, 0.007, 1e-12);
}

// The longest pause is 100 ms; a stop request ends it instead of waiting it out, and the
// thread reads nothing more.
TEST(DirectorySource, AStopDuringALongPauseEndsTheThread) {
    TempFolder dir;
    for (int i = 0; i < 50; ++i) dir.Write("f" + std::to_string(i) + ".jpg", "x");
    std::atomic<int> seen{0};
    auto slow = [&seen](const DirectorySource& src, const CInfoPBRec& info, ScanEntry* entry) {
        std::this_thread::sleep_for(10ms);   // a slow disk: the pause climbs to 100 ms
        ClassifyByName(src, info, entry);
        ++seen;
    };
    auto source = Source(dir.path(), slow);
    std::thread t([source] { ScanThreadRun(source); });
    while (seen.load() < 10) std::this_thread::sleep_for(1ms);
    source->RequestStop(true);
    auto done = std::async(std::launch::async, [&t] { t.join(); });
    ASSERT_EQ(done.wait_for(1000ms), std::future_status::ready);
    EXPECT_TRUE(source->IsDone());
    EXPECT_LE(seen.load(), 11);
    EXPECT_DOUBLE_EQ(source->Pacing().pause, 0.1);
}

}  // namespace
