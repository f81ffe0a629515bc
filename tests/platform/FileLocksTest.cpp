// Exclusive create-and-open, whole-file locks held through one open, deleting a file only
// while its name still names it, and the write fault hook.
#include "platform/FileFaults.h"
#include "platform/FileLocks.h"
#include "platform/Files.h"
#include "support/ChildProcess.h"
#include "support/FileSpecs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class FileLocksTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetFileFaultHook(nullptr);
        for (SInt16 r : refs) FSClose(r);
    }
    SInt16 OpenRef(const std::string& path, SInt8 permission) {
        FSSpec s = SpecOf(path);
        SInt16 r = 0;
        EXPECT_EQ(noErr, FSpOpenDF(&s, permission, &r));
        refs.push_back(r);
        return r;
    }
    TempFolder dir;
    std::vector<SInt16> refs;
};

TEST_F(FileLocksTest, CreateOpenIsExclusiveAndGivesAWritableOpen) {
    FSSpec s = SpecOf(dir / "new");
    SInt16 ref = 0;
    ASSERT_EQ(noErr, FSpCreateOpen(&s, &ref));
    refs.push_back(ref);
    long n = 3;
    EXPECT_EQ(noErr, FSWrite(ref, &n, "abc"));
    SInt16 again = 7;
    EXPECT_EQ(dupFNErr, FSpCreateOpen(&s, &again));
    EXPECT_EQ(0, again);
    EXPECT_EQ("abc", TempFolder::Read(dir / "new"));
    FSSpec bad = SpecOf(dir.path());
    bad.path += "/..";
    EXPECT_NE(noErr, FSpCreateOpen(&bad, &again));
}

TEST_F(FileLocksTest, ALockBelongsToOneOpenAndEndsWithItsClose) {
    std::string p = dir.Write("f", "x");
    SInt16 a = OpenRef(p, fsRdWrPerm), b = OpenRef(p, fsRdWrPerm), r = OpenRef(p, fsRdPerm);
    bool locked = true;
    EXPECT_EQ(noErr, FSIsFileLockedElsewhere(r, &locked));
    EXPECT_FALSE(locked);
    ASSERT_EQ(noErr, FSLockFile(a));
    EXPECT_EQ(noErr, FSLockFile(a)) << "taking it again through the same open";
    EXPECT_EQ(fBsyErr, FSLockFile(b)) << "another open of the same process conflicts";
    EXPECT_EQ(noErr, FSIsFileLockedElsewhere(r, &locked));
    EXPECT_TRUE(locked);
    EXPECT_EQ(wrPermErr, FSLockFile(r)) << "a read-only open cannot hold an exclusive lock";
    FSClose(a);
    refs.erase(refs.begin());
    EXPECT_EQ(noErr, FSLockFile(b));
    EXPECT_EQ(noErr, FSUnlockFile(b));
    EXPECT_EQ(noErr, FSIsFileLockedElsewhere(r, &locked));
    EXPECT_FALSE(locked);
}

TEST_F(FileLocksTest, ALockDiesWithAKilledProcess) {
    std::string p = dir.Write("f", "x");
    ChildProcess child([&](ChildProcess& self) {
        FSSpec s = SpecOf(p);
        SInt16 ref = 0;
        FSpOpenDF(&s, fsRdWrPerm, &ref);
        self.Send(std::to_string(FSLockFile(ref)));
        self.Receive(-1);
        return 0;
    });
    ASSERT_EQ("0", child.Receive());
    SInt16 mine = OpenRef(p, fsRdWrPerm);
    EXPECT_EQ(fBsyErr, FSLockFile(mine));
    child.Kill();
    EXPECT_EQ(noErr, FSLockFile(mine));
}

TEST_F(FileLocksTest, DeletingAnOpenFileOnlyWhileItsNameStillNamesIt) {
    std::string p = dir.Write("f", "old");
    SInt16 ref = OpenRef(p, fsRdWrPerm);
    bool same = false;
    EXPECT_EQ(noErr, FSIsOpenFileAtPath(ref, &same));
    EXPECT_TRUE(same);
    // Someone replaces the file under its name.
    std::filesystem::remove(p);
    dir.Write("f", "new");
    EXPECT_EQ(noErr, FSIsOpenFileAtPath(ref, &same));
    EXPECT_FALSE(same);
    EXPECT_EQ(fnfErr, FSDeleteOpenFile(ref));
    EXPECT_EQ("new", TempFolder::Read(p));

    SInt16 other = OpenRef(p, fsRdWrPerm);
    EXPECT_EQ(noErr, FSDeleteOpenFile(other));
    EXPECT_FALSE(std::filesystem::exists(p));
    EXPECT_EQ(fnfErr, FSDeleteOpenFile(other));
}

TEST_F(FileLocksTest, TheFaultHookFailsWritesLengthsFlushesAndReplacesBeforeTheyHappen) {
    std::string p = dir.Write("f", "0123456789");
    SInt16 ref = OpenRef(p, fsRdWrPerm);
    std::vector<FileFaultPoint> seen;
    SetFileFaultHook([&](SInt16 r, FileFaultPoint point, long) -> OSErr {
        EXPECT_EQ(ref, r == 0 ? ref : r);
        seen.push_back(point);
        return dskFulErr;
    });
    long n = 3;
    EXPECT_EQ(dskFulErr, FSWrite(ref, &n, "abc"));
    EXPECT_EQ(0, n);
    n = 3;
    EXPECT_EQ(dskFulErr, FSWriteAt(ref, 5, &n, "abc"));
    EXPECT_EQ(dskFulErr, SetEOF64(ref, 2));
    EXPECT_EQ(dskFulErr, FSFlushFile(ref));
    std::string q = dir.Write("g", "other");
    FSSpec from = SpecOf(q), to = SpecOf(p);
    EXPECT_EQ(dskFulErr, FSpReplaceFile(&from, &to));
    EXPECT_EQ((std::vector<FileFaultPoint>{FileFaultPoint::kWrite, FileFaultPoint::kWrite, FileFaultPoint::kSetLength,
                                           FileFaultPoint::kFlush, FileFaultPoint::kReplace}),
              seen);
    EXPECT_EQ("0123456789", TempFolder::Read(p));
    EXPECT_EQ("other", TempFolder::Read(q));
    SetFileFaultHook(nullptr);
    n = 3;
    EXPECT_EQ(noErr, FSWrite(ref, &n, "abc"));
    EXPECT_EQ("abc3456789", TempFolder::Read(p));
}

}  // namespace
