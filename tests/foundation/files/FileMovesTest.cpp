#include "foundation/files/FileMoves.h"
#include "platform/MacDates.h"
#include "support/FileSpecs.h"
#include "support/PascalString.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

TEST(FileMoves, SwapsContents) {
    TempFolder tmp;
    FSSpec a = SpecOf(tmp.Write("a", "alpha")), b = SpecOf(tmp.Write("b", "beta"));
    ASSERT_EQ(SwapFiles(&a, &b), noErr);
    EXPECT_EQ(TempFolder::Read(a.path), "beta");
    EXPECT_EQ(TempFolder::Read(b.path), "alpha");
    EXPECT_EQ(fs::directory_iterator(tmp.path()) == fs::directory_iterator() ? 0
              : std::distance(fs::directory_iterator(tmp.path()), fs::directory_iterator()), 2);

    FSSpec missing = SpecOf(tmp / "missing");
    EXPECT_EQ(SwapFiles(&a, &missing), -1);
    EXPECT_EQ(TempFolder::Read(a.path), "beta");

    DateTimeRec d{2001, 1, 1, 0, 0, 0, 0};
    UInt32 old = 0;
    DateToSeconds(&d, &old);
    ASSERT_EQ(FSpSetFileDates(&b, nullptr, &old), noErr);   // b's file becomes a's in the swap
    ASSERT_EQ(SwapFilesAndStamp(&a, &b, true), noErr);
    UInt32 modified = 0, now = 0;
    GetDateTime(&now);
    ASSERT_EQ(FSpGetFileDates(&a, nullptr, &modified), noErr);
    EXPECT_GE(modified + 5, now);
    EXPECT_EQ(TempFolder::Read(a.path), "alpha");
}

TEST(FileMoves, DeletesForGoodWithoutFollowingLinks) {
    TempFolder tmp;
    tmp.Write("keep/precious", "p");
    tmp.Write("tree/a/b/c.txt", "c");
    ASSERT_EQ(symlink((tmp / "keep").c_str(), (tmp / "tree/a/link").c_str()), 0);
    FSSpec tree = SpecOf(tmp / "tree");
    EXPECT_EQ(DeleteFileSpec(&tree), noErr);
    EXPECT_FALSE(fs::exists(tmp / "tree"));
    EXPECT_EQ(TempFolder::Read(tmp / "keep/precious"), "p");
    EXPECT_EQ(DeleteFileSpec(&tree), fnfErr);
    FSSpec file = SpecOf(tmp / "keep/precious");
    EXPECT_EQ(DeleteFileSpec(&file), noErr);
    EXPECT_FALSE(fs::exists(file.path));
}

TEST(FileMoves, CreatesFolderPaths) {
    TempFolder tmp;
    struct Case {
        std::string path;
        OSErr want;
    } cases[] = {
        {tmp / "a", noErr},
        {tmp / "a", noErr},              // existing: unchanged
        {tmp / "a/b/c", noErr},          // two levels made
        {tmp / "x/y/z/", noErr},
        {"", noErr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CreateDirectoryPath(c.path), c.want) << c.path;
        if (!c.path.empty()) {
            EXPECT_TRUE(fs::is_directory(c.path)) << c.path;
        }
    }
    tmp.Write("f", "");
    EXPECT_EQ(CreateDirectoryPath(tmp / "f"), dupFNErr);
    EXPECT_EQ(CreateDirectoryPath(tmp / "f/sub"), dirNFErr);
}

TEST(FileMoves, CopiesIntoFoldersNeverOverTargets) {
    TempFolder tmp;
    FSSpec src = SpecOf(tmp.Write("src/photo.jpg", "image bytes"));
    chmod(src.path.c_str(), 0640);
    DateTimeRec d{2010, 5, 6, 7, 8, 9, 0};
    UInt32 when = 0;
    DateToSeconds(&d, &when);
    FSpSetFileDates(&src, nullptr, &when);

    // Into a folder that does not exist yet: it is made, then the copy is done.
    FSSpec dest = SpecOf(tmp / "out/deeper");
    ASSERT_EQ(CopyFileToFolder(&src, &dest, nullptr), noErr);
    FSSpec copy = SpecOf(tmp / "out/deeper/photo.jpg");
    EXPECT_EQ(TempFolder::Read(copy.path), "image bytes");
    UInt32 modified = 0;
    FSpGetFileDates(&copy, nullptr, &modified);
    EXPECT_EQ(modified, when);
    struct stat st{};
    stat(copy.path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // A target that exists makes the copy fail and stays as it was.
    tmp.Write("out/deeper/taken.jpg", "older");
    EXPECT_EQ(CopyFileToFolder(&src, &dest, PStr255("taken.jpg").s), dupFNErr);
    EXPECT_EQ(TempFolder::Read(tmp / "out/deeper/taken.jpg"), "older");
    EXPECT_EQ(CopyFileSpecTo(&src, &dest, PStr255("taken.jpg").s), dupFNErr);

    // Without a name, the source's own name made unique.
    ASSERT_EQ(CopyFileSpecTo(&src, &dest, nullptr), noErr);
    EXPECT_EQ(TempFolder::Read(tmp / "out/deeper/photo 1.jpg"), "image bytes");

    FSSpec missing = SpecOf(tmp / "src/none.jpg");
    EXPECT_EQ(CopyFileToFolder(&missing, &dest, nullptr), fnfErr);
    EXPECT_FALSE(fs::exists(tmp / "out/deeper/none.jpg"));
    FSSpec srcFolder = SpecOf(tmp / "src");
    EXPECT_EQ(CopyFileToFolder(&srcFolder, &dest, PStr255("folder-copy").s), notAFileErr);
    EXPECT_FALSE(fs::exists(tmp / "out/deeper/folder-copy"));
    EXPECT_EQ(CopyFileToFolder(&src, &dest, PStr255("a/b").s), bdNamErr);
}

TEST(FileMoves, DirectoryEntriesToCatalogInformation) {
    TempFolder tmp;
    tmp.Write("d/small.txt", "12");
    tmp.Write("d/.invisible", "");
    tmp.Write("d/sub/x", "");
    ASSERT_EQ(symlink("nowhere", (tmp / "d/dangling").c_str()), 0);
    ASSERT_EQ(symlink("small.txt", (tmp / "d/alias").c_str()), 0);
    {
        // A sparse file past 4 GB: the 32-bit length says 0x7FFFFFFF.
        FSSpec big = SpecOf(tmp.Write("d/big.bin", ""));
        SInt16 r = 0;
        ASSERT_EQ(FSpOpenDF(&big, fsRdWrPerm, &r), noErr);
        OSErr err = SetEOF64(r, (SInt64(1) << 32) + 1);
        FSClose(r);
        if (err) GTEST_SKIP() << "no sparse files here";
    }
    struct Case {
        std::string name;
        bool dir;
        UInt16 flags;
        UInt32 length;
        bool link;
    } cases[] = {
        {"small.txt", false, 0, 2, false},
        {".invisible", false, kIsInvisible, 0, false},
        {"sub", true, 0, 0, false},
        {"big.bin", false, 0, 0x7FFFFFFF, false},
        {"dangling", false, 0, 0, true},
        {"alias", false, 0, 2, true},
    };
    for (const auto& c : cases) {
        CInfoPBRec info;
        ASSERT_EQ(FindDataToFileInfo(tmp / "d", c.name, &info), noErr) << c.name;
        EXPECT_EQ(info.path, tmp / ("d/" + c.name));
        EXPECT_EQ((info.ioFlAttrib & kioFlAttribDirMask) != 0, c.dir) << c.name;
        EXPECT_EQ(info.ioFlFndrInfo.fdFlags, c.flags) << c.name;
        EXPECT_EQ(info.ioFlLgLen, c.length) << c.name;
        EXPECT_EQ(info.isSymlink, c.link) << c.name;
        EXPECT_NE(info.ioFlMdDat, 0u) << c.name;
    }
    CInfoPBRec info;
    EXPECT_EQ(FindDataToFileInfo(tmp / "d", "gone", &info), fnfErr);
    EXPECT_EQ(FindDataToFileInfo(tmp / "d", "..", &info), bdNamErr);
}

TEST(FileMoves, ResolvesSymbolicLinks) {
    TempFolder tmp;
    tmp.Write("real/target.jpg", "t");
    ASSERT_EQ(symlink("real/target.jpg", (tmp / "one").c_str()), 0);
    ASSERT_EQ(symlink((tmp / "one").c_str(), (tmp / "two").c_str()), 0);
    ASSERT_EQ(symlink("loopB", (tmp / "loopA").c_str()), 0);
    ASSERT_EQ(symlink("loopA", (tmp / "loopB").c_str()), 0);
    ASSERT_EQ(symlink("missing", (tmp / "dangling").c_str()), 0);
    ASSERT_EQ(symlink("../real", (tmp / "real/up").c_str()), 0);
    struct Case {
        std::string link;
        bool ok;
        std::string target;
    } cases[] = {
        {"one", true, tmp / "real/target.jpg"},
        {"two", true, tmp / "real/target.jpg"},
        {"real/up", true, tmp / "real"},
        {"loopA", false, ""},
        {"dangling", false, ""},
        {"real/target.jpg", false, ""},   // not a link
    };
    for (const auto& c : cases) {
        std::string target;
        EXPECT_EQ(ResolveShortcut(tmp / c.link, &target), c.ok) << c.link;
        if (c.ok) {
            EXPECT_EQ(target, c.target) << c.link;
        }
    }
}

TEST(FileMoves, RecycleBin) {
    TempFolder tmp;
    FSSpec f = SpecOf(tmp.Write("to-bin.txt", "bin me"));
    // The trash of this user lives under the data folder; keep the test's own.
    std::string trashFiles = std::string(g_get_user_data_dir()) + "/Trash/files";
    OSErr err = ShellFileOpA(&f);
    if (err) GTEST_SKIP() << "no trash available for " << tmp.path();
    EXPECT_FALSE(fs::exists(f.path));
    // Find what went to a trash and take it out again.
    bool found = false;
    for (const auto& root : {trashFiles, tmp.path()}) {
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(fs::path(root).parent_path(), ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (it->path().filename().string().rfind("to-bin", 0) == 0 &&
                it->path().parent_path().filename() == "files") {
                EXPECT_EQ(TempFolder::Read(it->path()), "bin me");
                fs::path info = it->path().parent_path().parent_path() / "info" /
                                (it->path().filename().string() + ".trashinfo");
                fs::remove(it->path());
                fs::remove(info);
                found = true;
                break;
            }
        }
        if (found) break;
    }
    EXPECT_TRUE(found);
    FSSpec missing = SpecOf(tmp / "missing");
    EXPECT_EQ(ShellFileOpA(&missing), paramErr);
}

}  // namespace
