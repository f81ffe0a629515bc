// Copies and moves of files: a copy cut short by a crash leaves only a hidden temporary file,
// which the next copy into that folder removes, and a copy under way is never taken for such a
// leftover; a replacing copy or move that fails leaves the target's files as they were; a
// source that changes while it is copied gives no copy.
#include "output/fileactions/SafeFileMoves.h"

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<std::string> NamesIn(const std::string& path) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(path)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

TEST(SafeFileCopies, ACopyKilledHalfwayLeavesNoTargetAndItsLeftoverGoesWithTheNextCopy) {
    TempFolder folder;
    folder.Write("big.bin", std::string(3 << 20, 'b'));
    folder.Write("small.bin", "small");
    std::filesystem::create_directories(folder / "out");
    FSSpec big, small, bigCopy, smallCopy;
    FSMakeFSSpecFromPath(folder / "big.bin", &big);
    FSMakeFSSpecFromPath(folder / "small.bin", &small);
    bigCopy.path = folder / "out/big.bin";
    smallCopy.path = folder / "out/small.bin";

    // The copier stops for good after its first chunk, holding its temporary file.
    ChildProcess copier([&](ChildProcess& self) {
        CopyFileSafely(big, bigCopy, false, [&](SInt64, SInt64) -> OSErr {
            self.Send("copying");
            self.Receive(-1);
            return noErr;
        });
        return 0;
    });
    ASSERT_EQ(copier.Receive(), "copying");
    std::vector<std::string> during = NamesIn(folder / "out");
    ASSERT_EQ(during.size(), 1u);
    EXPECT_EQ(during[0].rfind(".lxc-copy-", 0), 0u);
    // Another copy meanwhile leaves the running one alone.
    ASSERT_EQ(CopyFileSafely(small, smallCopy, false, nullptr), noErr);
    EXPECT_EQ(NamesIn(folder / "out"), (std::vector<std::string>{during[0], "small.bin"}));

    copier.Kill();
    // The target never appeared; the next copy into the folder clears the leftover.
    EXPECT_FALSE(std::filesystem::exists(folder / "out/big.bin"));
    FSSpec again;
    again.path = folder / "out/again.bin";
    ASSERT_EQ(CopyFileSafely(small, again, false, nullptr), noErr);
    EXPECT_EQ(NamesIn(folder / "out"), (std::vector<std::string>{"again.bin", "small.bin"}));
}

TEST(SafeFileCopies, AnExistingTargetIsKeptUnlessReplacingWasAsked) {
    TempFolder folder;
    folder.Write("a", "new");
    folder.Write("b", "old");
    FSSpec a, b;
    FSMakeFSSpecFromPath(folder / "a", &a);
    FSMakeFSSpecFromPath(folder / "b", &b);
    FileFailure failure;
    EXPECT_EQ(CopyFileSafely(a, b, false, nullptr, &failure), dupFNErr);
    EXPECT_EQ(failure.path, folder / "b");
    EXPECT_EQ(TempFolder::Read(folder / "b"), "old");
    EXPECT_EQ(MoveFileSafely(a, b, false, nullptr, &failure), dupFNErr);
    EXPECT_EQ(TempFolder::Read(folder / "a"), "new");
    EXPECT_EQ(CopyFileSafely(a, b, true, nullptr), noErr);
    EXPECT_EQ(TempFolder::Read(folder / "b"), "new");
    EXPECT_EQ(NamesIn(folder.path()), (std::vector<std::string>{"a", "b"}));
}

namespace {

// A media file with its recorded sound beside it, and a target folder already holding files of
// the same names.
struct MediaPair {
    TempFolder folder;
    FSSpec source, target;
    MediaPair(const std::string& picture) {
        folder.Write("pics/a.jpg", picture);
        folder.Write("pics/a.wav", "sound of a");
        folder.Write("out/a.jpg", "old a");
        folder.Write("out/a.wav", "old sound");
        FSMakeFSSpecFromPath(folder / "pics/a.jpg", &source);
        target.path = folder / "out/a.jpg";
    }
};

}  // namespace

TEST(SafeFileCopies, AReplacingCopyThatFailsOnThePictureLeavesTheTargetsSoundAsItWas) {
    MediaPair pair(std::string(3 << 20, 'p'));
    const SInt64 pictureSize = 3 << 20;
    // Cancelled once the picture itself is being copied, after its sound was copied whole.
    FileFailure failure;
    const OSErr err = CopyMediaFile(pair.source, pair.target, true,
                                    [&](SInt64, SInt64 total) -> OSErr { return total == pictureSize ? userCanceledErr : noErr; },
                                    &failure);
    EXPECT_EQ(err, userCanceledErr);
    EXPECT_EQ(TempFolder::Read(pair.folder / "out/a.jpg"), "old a");
    EXPECT_EQ(TempFolder::Read(pair.folder / "out/a.wav"), "old sound");
    EXPECT_EQ(NamesIn(pair.folder / "out"), (std::vector<std::string>{"a.jpg", "a.wav"}));

    // Uninterrupted, both are replaced and nothing else is left there.
    ASSERT_EQ(CopyMediaFile(pair.source, pair.target, true, nullptr, nullptr), noErr);
    EXPECT_EQ(TempFolder::Read(pair.folder / "out/a.jpg").size(), std::size_t(pictureSize));
    EXPECT_EQ(TempFolder::Read(pair.folder / "out/a.wav"), "sound of a");
    EXPECT_EQ(NamesIn(pair.folder / "out"), (std::vector<std::string>{"a.jpg", "a.wav"}));
}

TEST(SafeFileCopies, AReplacingMoveThatFailsOnThePictureGivesTheTargetItsOwnSoundBack) {
    MediaPair pair("picture a");
    // The picture cannot take its place: a folder of that name is there.
    std::filesystem::remove(pair.folder / "out/a.jpg");
    pair.folder.Write("out/a.jpg/inside", "x");
    FileFailure failure;
    EXPECT_NE(MoveMediaFile(pair.source, pair.target, true, nullptr, &failure), noErr);
    EXPECT_EQ(TempFolder::Read(pair.folder / "pics/a.jpg"), "picture a");
    EXPECT_EQ(TempFolder::Read(pair.folder / "pics/a.wav"), "sound of a");
    EXPECT_EQ(TempFolder::Read(pair.folder / "out/a.wav"), "old sound");
    EXPECT_EQ(NamesIn(pair.folder / "out"), (std::vector<std::string>{"a.jpg", "a.wav"}));

    std::filesystem::remove_all(pair.folder / "out/a.jpg");
    pair.folder.Write("out/a.jpg", "old a");
    ASSERT_EQ(MoveMediaFile(pair.source, pair.target, true, nullptr, nullptr), noErr);
    EXPECT_EQ(TempFolder::Read(pair.folder / "out/a.jpg"), "picture a");
    EXPECT_EQ(TempFolder::Read(pair.folder / "out/a.wav"), "sound of a");
    EXPECT_EQ(NamesIn(pair.folder / "out"), (std::vector<std::string>{"a.jpg", "a.wav"}));
    EXPECT_TRUE(NamesIn(pair.folder / "pics").empty());
}

TEST(SafeFileCopies, ASourceChangedWhileItIsCopiedGivesNoCopy) {
    TempFolder folder;
    folder.Write("a.bin", std::string(3 << 20, 'a'));
    // An old time, so that the change below gives the file a time of its own.
    const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    utimensat(AT_FDCWD, (folder / "a.bin").c_str(), old, 0);
    FSSpec a, b;
    FSMakeFSSpecFromPath(folder / "a.bin", &a);
    b.path = folder / "b.bin";
    bool changed = false;
    // Another program writes into the part not yet copied; the length stays.
    auto writer = [&](SInt64, SInt64) -> OSErr {
        if (!changed) {
            std::FILE* f = std::fopen((folder / "a.bin").c_str(), "r+b");
            std::fseek(f, (5 << 19), SEEK_SET);
            std::fputs("changed", f);
            std::fclose(f);
            changed = true;
        }
        return noErr;
    };
    FileFailure failure;
    EXPECT_EQ(CopyFileSafely(a, b, false, writer, &failure), ioErr);
    EXPECT_EQ(failure.path, folder / "b.bin");
    EXPECT_EQ(NamesIn(folder.path()), (std::vector<std::string>{"a.bin"}));
}
