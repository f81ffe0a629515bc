// The safe rewrite on its own: new files, files that change or appear under the writer, links,
// and what a rewrite that is given up leaves.
#include "platform/SafeRewrite.h"

#include "support/FileSpecs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

namespace {

SafeRewriteOptions Options(mode_t newFileMode = 0666) {
    SafeRewriteOptions o;
    o.tempPrefix = ".t";
    o.newFileMode = newFileMode;
    return o;
}

std::size_t EntriesIn(const std::string& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

TEST(SafeRewrite, ANewFileTakesTheGivenModeUnderTheUmask) {
    TempFolder dir;
    const mode_t old = umask(027);
    FSSpec spec = CheckedSpecOf(dir / "new.txt");
    SafeRewrite out;
    ASSERT_EQ(noErr, out.Begin(&spec, Options(0666)));
    ASSERT_EQ(noErr, out.Write("hello", 5));
    ASSERT_EQ(noErr, out.Commit());
    umask(old);
    struct stat st{};
    ASSERT_EQ(0, stat(spec.path.c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 07777);
    EXPECT_EQ("hello", TempFolder::Read(spec.path));
    EXPECT_EQ(1u, EntriesIn(dir.path()));
}

// Between Begin and Commit someone else changes the name: the rewrite never undoes their work.
TEST(SafeRewrite, ATargetReplacedOrMadeMeanwhileIsNotOverwritten) {
    struct Case {
        const char* name;
        bool existed;
        OSErr expected;
    } cases[] = {
        {"the file was replaced by another writer", true, fBsyErr},
        {"a file appeared under a new name", false, dupFNErr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        const std::string path = dir / "f.txt";
        if (c.existed) dir.Write("f.txt", "old");
        FSSpec spec = CheckedSpecOf(path);
        SafeRewrite out;
        ASSERT_EQ(noErr, out.Begin(&spec, Options()));
        ASSERT_EQ(noErr, out.Write("ours", 4));
        dir.Write("f.txt.other", "theirs");
        std::filesystem::rename(dir / "f.txt.other", path);
        EXPECT_EQ(c.expected, out.Commit());
        EXPECT_FALSE(out.Replaced());
        EXPECT_EQ("theirs", TempFolder::Read(path));
        EXPECT_EQ(1u, EntriesIn(dir.path()));
    }
}

TEST(SafeRewrite, ALinkStaysALinkAndItsFileIsRewritten) {
    TempFolder dir;
    const std::string real = dir.Write("sub/real.txt", "old");
    std::filesystem::create_symlink(real, dir / "link.txt");
    FSSpec spec = CheckedSpecOf(dir / "link.txt");
    SafeRewrite out;
    ASSERT_EQ(noErr, out.Begin(&spec, Options()));
    EXPECT_EQ(real, out.Target().path);
    ASSERT_EQ(noErr, out.Write("new", 3));
    ASSERT_EQ(noErr, out.Commit());
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.txt"));
    EXPECT_EQ("new", TempFolder::Read(real));
    EXPECT_EQ(1u, EntriesIn(dir / "sub"));
}

TEST(SafeRewrite, RefusalsAndAbandonedRewritesLeaveNothingBehind) {
    TempFolder dir;
    std::filesystem::create_directories(dir / "folder");
    const std::string path = dir.Write("f.txt", "old");
    FSSpec folder = CheckedSpecOf(dir / "folder"), file = CheckedSpecOf(path);
    SafeRewrite out;
    EXPECT_EQ(notAFileErr, out.Begin(&folder, Options()));
    SafeRewriteOptions slash = Options();
    slash.tempPrefix = "a/b";
    EXPECT_EQ(paramErr, out.Begin(&file, slash));
    ASSERT_EQ(noErr, out.Begin(&file, Options()));
    ASSERT_EQ(noErr, out.Write("never", 5));
    out.Abandon();
    EXPECT_EQ("old", TempFolder::Read(path));
    EXPECT_EQ(2u, EntriesIn(dir.path()));
    EXPECT_EQ(rfNumErr, out.Commit());
}

}  // namespace
